#pragma once
// The runtime's interactive services: message box, input box, "let pending events run" and the
// hourglass pointer. One replaceable instance: the program uses the Qt one (qt_ui_services.h),
// which the application object makes the default; tests install a scripted one. Without an
// application object, a plain implementation answers each message box with its default button.

#include <QString>
#include <memory>

namespace rt {

// Message box styles: buttons + icon + default button, added together.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton1 = 0,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};

// The button a message box returns.
enum MsgBoxResult : int {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7,
};

class UiServices {
public:
    virtual ~UiServices() = default;
    // Shows a message box and returns the button chosen. Lines of the prompt may be separated
    // by a carriage return alone. An empty title shows the application's title.
    virtual int msgBox(const QString& prompt, int style, const QString& title) = 0;
    // Asks for a text; returns "" when cancelled.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
    // Lets pending window events run. With excludeUserInput, only painting and timers run.
    virtual void doEvents(bool excludeUserInput) = 0;
    // The hourglass pointer, a property that is on or off (never stacked).
    virtual void setHourglass(bool on) = 0;
    virtual bool hourglass() const = 0;
};

UiServices& ui();
// Installs new services; returns the previous ones. nullptr restores the default services.
std::shared_ptr<UiServices> setUiServices(std::shared_ptr<UiServices> services);
// Makes Services the default ones and installs them in place of the plain ones (the
// application object does it with the Qt services).
void setDefaultUiServices(std::shared_ptr<UiServices> services);

// Shorthands in the runtime's own words.
inline int MsgBox(const QString& prompt, int style = vbOKOnly, const QString& title = QString()) {
    return ui().msgBox(prompt, style, title);
}
inline QString InputBox(const QString& prompt, const QString& title = QString(),
                        const QString& defaultText = QString()) {
    return ui().inputBox(prompt, title, defaultText);
}
inline void DoEvents() {
    ui().doEvents(false);
}
// Lets pending events run with user input held back: used during reading and writing, when a
// click must not start a nested operation.
inline void DoEventsNoInput() {
    ui().doEvents(true);
}
inline void SetHourglass(bool on) {
    ui().setHourglass(on);
}

// The button a message box of this style answers when the user makes no choice of their own:
// its default button (the first one when the style names a default button it lacks).
int defaultButtonOf(int style);

// The application title shown by message boxes without a title of their own.
QString applicationTitle();

} // namespace rt
