#include "core/rt_error.h"
#include "platform/application.h"
#include "support/scripted_ui_services.h"
#include "ui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

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

TEST(Application, StandardButtonsOfTheMessageBoxReadFrench) {
    // The Qt message box itself, with Qt's translation as the application object loaded it.
    auto previous = rt::setUiServices(nullptr);
    using B = QMessageBox::StandardButton;
    const struct {
        int style;
        std::vector<B> buttons;
        const char* texts;
        B click;
        int result;
    } cases[] = {
        {rt::vbYesNo, {B::Yes, B::No}, "Oui, Non", B::No, rt::vbNo},
        {rt::vbRetryCancel, {B::Retry, B::Cancel}, "Réessayer, Annuler", B::Retry, rt::vbRetry},
        {rt::vbAbortRetryIgnore,
         {B::Abort, B::Retry, B::Ignore},
         "Abandonner, Réessayer, Ignorer",
         B::Ignore,
         rt::vbIgnore},
    };
    for (const auto& c : cases) {
        QStringList shown;
        qsizetype count = 0;
        // Once the box is up: read the texts of its buttons, then answer it.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            answer.stop();
            count = box->buttons().size();
            for (B b : c.buttons)
                shown << (box->button(b) ? box->button(b)->text().remove(u'&') : QString());
            if (QAbstractButton* b = box->button(c.click))
                b->click();
            else
                box->reject();
        });
        answer.start(0);
        EXPECT_EQ(rt::MsgBox(QStringLiteral("Continuer ?"), c.style | rt::vbQuestion), c.result);
        EXPECT_EQ(shown.join(QStringLiteral(", ")).toStdString(), c.texts);
        EXPECT_EQ(count, qsizetype(c.buttons.size()));
    }
    rt::setUiServices(previous);
}

// A session bus can be had when one is named, listens in the runtime folder, or dbus-launch
// could start one; only without all three does the start skip D-Bus's launch of it.
TEST(Application, NoSessionBusCanBeHadOnlyWithoutAddressRuntimeBusAndLauncher) {
    QTemporaryDir runtime, emptyRuntime, withLauncher, withoutLauncher;
    ASSERT_TRUE(runtime.isValid() && emptyRuntime.isValid() && withLauncher.isValid() &&
                withoutLauncher.isValid());
    QFile bus(runtime.filePath(QStringLiteral("bus")));
    ASSERT_TRUE(bus.open(QIODevice::WriteOnly));
    bus.close();
    QFile launcher(withLauncher.filePath(QStringLiteral("dbus-launch")));
    ASSERT_TRUE(launcher.open(QIODevice::WriteOnly));
    launcher.write("#!/bin/sh\n");
    launcher.close();
    ASSERT_TRUE(launcher.setPermissions(launcher.permissions() | QFile::ExeOwner));
    const bool systemLauncher = QFileInfo(QStringLiteral("/usr/bin/dbus-launch")).isExecutable();
    const struct {
        const char* name;
        std::optional<QString> address;
        QString runtimeDir, path;
        bool noBus;
    } rows[] = {
        {"nothing", std::nullopt, emptyRuntime.path(), withoutLauncher.path(), !systemLauncher},
        {"no runtime folder", std::nullopt, QString(), withoutLauncher.path(), !systemLauncher},
        {"an address", QStringLiteral("unix:path=/nowhere"), emptyRuntime.path(),
         withoutLauncher.path(), false},
        {"an empty address", QString(), emptyRuntime.path(), withoutLauncher.path(), false},
        {"a bus in the runtime folder", std::nullopt, runtime.path(), withoutLauncher.path(),
         false},
        {"dbus-launch on the path", std::nullopt, emptyRuntime.path(),
         withoutLauncher.path() + u':' + withLauncher.path(), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QProcessEnvironment env;
        if (row.address) env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), *row.address);
        if (!row.runtimeDir.isEmpty())
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), row.runtimeDir);
        env.insert(QStringLiteral("PATH"), row.path);
        EXPECT_EQ(rt::NoSessionBusCanBeHad(env), row.noBus);
    }
}

namespace {
class PaintCounter : public QWidget {
public:
    using QWidget::QWidget;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};
} // namespace

// A window exposed before it is active has its first frame drawn after the events that came
// with the exposure; it must be drawn then, and take updates as any other window afterwards.
TEST(Application, AWindowExposedInactiveIsDrawnOnceItsPendingEventsAreHandled) {
    PaintCounter inactive(nullptr, Qt::ToolTip); // a window no one activates
    inactive.resize(120, 80);
    inactive.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&inactive));
    EXPECT_FALSE(inactive.isActiveWindow());
    EXPECT_TRUE(ui_test::waitFor([&] { return inactive.paints > 0; }));
    EXPECT_EQ(inactive.paints, 1);
    EXPECT_TRUE(inactive.updatesEnabled());
    inactive.update();
    EXPECT_TRUE(ui_test::waitFor([&] { return inactive.paints == 2; }));
}
