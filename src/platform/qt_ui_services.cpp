#include "qt_ui_services.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

namespace rt {

int QtUiServices::msgBox(const QString& prompt, int style, const QString& title) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title.isEmpty() ? applicationTitle() : title);
    // A carriage return alone separates lines in the original's texts.
    QString text = prompt;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    box.setText(text);
    switch (style & 0xF0) {
    case vbCritical:
        box.setIcon(QMessageBox::Critical);
        break;
    case vbQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case vbExclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case vbInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    struct Btn {
        QMessageBox::StandardButton qt;
        int result;
    };
    std::vector<Btn> buttons;
    switch (style & 0x0F) {
    case vbOKCancel:
        buttons = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
        break;
    case vbAbortRetryIgnore:
        buttons = {{QMessageBox::Abort, vbAbort},
                   {QMessageBox::Retry, vbRetry},
                   {QMessageBox::Ignore, vbIgnore}};
        break;
    case vbYesNoCancel:
        buttons = {
            {QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
        break;
    case vbYesNo:
        buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
        break;
    case vbRetryCancel:
        buttons = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
        break;
    default:
        buttons = {{QMessageBox::Ok, vbOK}};
        break;
    }
    for (const Btn& b : buttons)
        box.addButton(b.qt);
    const size_t def = (style & vbDefaultButton3) ? 2 : (style & vbDefaultButton2) ? 1 : 0;
    if (def < buttons.size()) box.setDefaultButton(buttons[def].qt);
    // Escape answers Cancel where there is one, else the only button (OK).
    for (const Btn& b : buttons)
        if (b.result == vbCancel) box.setEscapeButton(b.qt);
    if (buttons.size() == 1) box.setEscapeButton(buttons[0].qt);
    const bool wasHourglass = hourglass_;
    if (wasHourglass) setHourglass(false); // the pointer must not hide the question
    box.exec();
    if (wasHourglass) setHourglass(true);
    const auto clicked = box.standardButton(box.clickedButton());
    for (const Btn& b : buttons)
        if (b.qt == clicked) return b.result;
    // Closed without a button: Cancel where there is one, else the default button.
    for (const Btn& b : buttons)
        if (b.result == vbCancel) return vbCancel;
    return buttons[def < buttons.size() ? def : 0].result;
}

QString QtUiServices::inputBox(const QString& prompt, const QString& title,
                               const QString& defaultText) {
    bool ok = false;
    QString text = QInputDialog::getText(QApplication::activeWindow(),
                                         title.isEmpty() ? applicationTitle() : title, prompt,
                                         QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

void QtUiServices::doEvents(bool excludeUserInput) {
    QCoreApplication::processEvents(excludeUserInput ? QEventLoop::ExcludeUserInputEvents
                                                     : QEventLoop::AllEvents);
}

void QtUiServices::setHourglass(bool on) {
    if (on == hourglass_) return;
    hourglass_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
}

} // namespace rt
