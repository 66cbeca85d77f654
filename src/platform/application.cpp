#include "application.h"

#include "core/file_output.h"
#include "core/rt_error.h"
#include "qt_ui_services.h"
#include "ui_dispatch.h"

#include <QLibraryInfo>

namespace rt {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    prepareProcessSignals();
    setDefaultUiServices(std::make_shared<QtUiServices>());
    // Without the file Qt's texts stay in English; the program runs all the same.
    if (qtTranslation_.load(QStringLiteral("qtbase_fr"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&qtTranslation_);
}

void reportUntrappedError(int32_t number, const QString& description) {
    // The hourglass of the interrupted operation must not stay on.
    SetHourglass(false);
    MsgBox(QStringLiteral("Erreur d'exécution '%1':\r\r%2").arg(number).arg(description),
           vbCritical);
}

void reportUntrappedError(const std::exception_ptr& error) {
    int32_t number = ErrInvalidCall;
    QString description;
    try {
        std::rethrow_exception(error);
    } catch (const RtError& e) {
        number = e.Number;
        description = e.Description;
    } catch (const std::exception& e) {
        description = QString::fromLocal8Bit(e.what());
    }
    // Reported outside the catch block: the message box runs an event loop.
    reportUntrappedError(number, description);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    // An event is Qt's call, not the program's: an error in it is reported, also beneath code
    // that waits for the errors of handlers (throughQt).
    const HandlerScope scope;
    // The handlers report their errors themselves (dispatch); this is the last resort.
    std::exception_ptr error;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception&) {
        error = std::current_exception();
    }
    reportUntrappedError(error);
    return true;
}

} // namespace rt
