#include "platform/application.h"
#include "platform/rt_error.h"
#include "platform/scripted_ui_services.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {
class ThrowingObject : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) rt::raise(rt::ErrSubscript);
        return QObject::event(e);
    }
};
} // namespace

TEST(Application, AnUntrappedErrorInAnEventIsReportedAndTheProgramGoesOn) {
    auto ui = std::make_shared<rt::ScriptedUiServices>();
    auto previous = rt::setUiServices(ui);
    ui->setHourglass(true);

    ThrowingObject object;
    QEvent event(QEvent::User);
    EXPECT_TRUE(QCoreApplication::sendEvent(&object, &event));
    // A timer handler that raises an error does not end the event loop either.
    bool ranAfter = false;
    QTimer::singleShot(0, [] { rt::raise(rt::ErrOverflow); });
    QTimer::singleShot(5, [&] { ranAfter = true; });
    QTimer::singleShot(20, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();

    rt::setUiServices(previous);
    EXPECT_TRUE(ranAfter);
    ASSERT_EQ(ui->msgBoxCalls.size(), 2u);
    EXPECT_EQ(
        ui->msgBoxCalls[0].prompt,
        QStringLiteral("Erreur d'exécution '9':\r\rL'indice n'appartient pas à la sélection"));
    EXPECT_EQ(ui->msgBoxCalls[0].style, rt::vbCritical);
    EXPECT_TRUE(ui->msgBoxCalls[1].prompt.startsWith(QStringLiteral("Erreur d'exécution '6':")));
    EXPECT_FALSE(ui->hourglass());
}
