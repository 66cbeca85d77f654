#pragma once
// The application object. A run-time error that no procedure traps reaches the event loop; the
// original runtime then reported it and ended the program, losing the open document. Here it
// is reported in a message box and the program goes on: where Qt runs the program's handler
// (ui_dispatch.h), and, as the last resort, when an error leaves an event that Qt delivers.
//
// Every text of the program is French, so Qt's own texts (standard buttons, file dialogs) are
// French too: Qt's French translation is loaded at start when it is installed.

#include <QApplication>
#include <QProcessEnvironment>
#include <QTranslator>
#include <exception>
#include <memory>
#include <thread>

class QAbstractNativeEventFilter;

namespace rt {

// Work a start needs whose results the application object does not: the system's font
// configuration, read once per process, which the first text laid out waits for, and the
// image format plugins, which the first picture read waits for. It is done on a thread of its
// own while the application object connects to the window system, and the application object
// waits for it at the end of its construction, before any window, text or picture exists, so
// that nothing of the program meets it half done.
class EarlyStartWork {
protected:
    EarlyStartWork();
    void finishEarlyStartWork();
    ~EarlyStartWork();

private:
    std::thread work_;
};

// Requests to close that Qt drops while a modal window is open reach the forms of the windows
// it blocks (Form::closeAskedWhileBlocked): the close button of such a window through the
// window manager (X11), and the end of the desktop session, which Qt answers by closing the
// modal window alone.
class Application : private EarlyStartWork, public QApplication {
public:
    Application(int& argc, char** argv);
    ~Application() override;
    bool notify(QObject* receiver, QEvent* event) override;

protected:
    bool event(QEvent* event) override;

private:
    QTranslator qtTranslation_;
    std::unique_ptr<QAbstractNativeEventFilter> closeFilter_;
};

// Whether no D-Bus session bus can be had in a process of environment Environment: none is
// named (DBUS_SESSION_BUS_ADDRESS unset), none listens in the runtime folder
// (XDG_RUNTIME_DIR/bus) and no dbus-launch (in /usr/bin or on the PATH) could start one. D-Bus
// would then still fork the process to run the missing dbus-launch when asked for the bus.
bool NoSessionBusCanBeHad(const QProcessEnvironment& Environment);

// Tells the form of each top-level window that a modal window blocks now that the window
// system asked to close it; with Window, that window's form only. True when a form was told.
bool closeAskedOfBlockedWindows(QWidget* Window = nullptr);

// Reports an error that reached the event loop: "Erreur d'exécution 'N':" and its description.
void reportUntrappedError(int32_t number, const QString& description);
// The same for an error caught as it left a handler: a run-time error with its number and
// description, any other exception as error 5 with its text.
void reportUntrappedError(const std::exception_ptr& error);

} // namespace rt
