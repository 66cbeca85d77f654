#pragma once
// The application object. A run-time error that no procedure traps reaches the event loop; the
// original runtime then reported it and ended the program, losing the open document. Here it
// is reported in a message box and the program goes on: where Qt runs the program's handler
// (ui_dispatch.h), and, as the last resort, when an error leaves an event that Qt delivers.
//
// Every text of the program is French, so Qt's own texts (standard buttons, file dialogs) are
// French too: Qt's French translation is loaded at start when it is installed.

#include <QApplication>
#include <QTranslator>
#include <exception>

namespace rt {

class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    QTranslator qtTranslation_;
};

// Reports an error that reached the event loop: "Erreur d'exécution 'N':" and its description.
void reportUntrappedError(int32_t number, const QString& description);
// The same for an error caught as it left a handler: a run-time error with its number and
// description, any other exception as error 5 with its text.
void reportUntrappedError(const std::exception_ptr& error);

} // namespace rt
