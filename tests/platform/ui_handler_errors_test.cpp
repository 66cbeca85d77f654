// A run-time error that an event handler does not trap: reported where Qt ran the handler, after
// which the program goes on; and handed to the program's own code when that code set the
// property that raised the event.

#include "common/test_support.h"
#include "core/rt_error.h"
#include "platform/ui_common_controls.h"
#include "platform/ui_controls.h"
#include "platform/ui_timer.h"
#include "ui_test_support.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace rt;

namespace {

// A form whose handler under test fails the first time it runs and works afterwards.
class FailingOnceForm : public ui_test::CountingForm {
public:
    FailingOnceForm() {
        Cmd.Move(0, 0, 1200, 450);
        Txt.Move(0, 600, 1200, 450);
    }
    CommandButton Cmd{*this, QStringLiteral("Cmd")};
    TextBox Txt{*this, QStringLiteral("Txt")};
    Timer Tmr{*this, QStringLiteral("Tmr")};
    int number = 0; // the error of the first run
    int runs = 0, handled = 0;
    bool formClicks = false;

    void handler() {
        if (++runs == 1) rt::raise(number);
        ++handled;
    }
    void Form_Click() override {
        if (formClicks) handler();
    }
};

} // namespace

TEST(HandlerErrors, AnErrorOfAHandlerThatQtRunsIsReportedAndTheProgramGoesOn) {
    using Form = FailingOnceForm;
    const struct {
        const char* what;
        int number;
        std::function<void(Form&)> bind;
        std::function<void(Form&)> act; // runs the handler once more
        bool bySignal;                  // the handler runs from a widget's signal
    } cases[] = {
        {"a click of the mouse on a button", ErrSubscript,
         [](Form& f) { f.Cmd.onClick = [&f] { f.handler(); }; },
         [](Form& f) { QTest::mouseClick(f.Cmd.widget(), Qt::LeftButton); }, true},
        {"a click that Qt makes on a button", ErrDivisionByZero,
         [](Form& f) { f.Cmd.onClick = [&f] { f.handler(); }; },
         [](Form& f) { static_cast<QPushButton*>(f.Cmd.widget())->click(); }, true},
        {"a key typed into a text box", ErrTypeMismatch,
         [](Form& f) { f.Txt.onChange = [&f] { f.handler(); }; },
         [](Form& f) { QTest::keyClick(f.Txt.widget(), 'a'); }, true},
        {"a click on the form", ErrInvalidCall, [](Form& f) { f.formClicks = true; },
         [](Form& f) { QTest::mouseClick(f.window(), Qt::LeftButton, {}, QPoint(200, 200)); },
         false},
        {"a tick of a timer", ErrOverflow,
         [](Form& f) {
             f.Tmr.onTimer = [&f] { f.handler(); };
             f.Tmr.setInterval(5);
         },
         [](Form& f) {
             const int before = f.runs;
             ui_test::waitFor([&] { return f.runs > before; });
         },
         false},
    };
    for (const auto& c : cases) {
        ui_test::ScriptedServices services;
        Form form;
        form.number = c.number;
        form.Show();
        c.bind(form);
        // Other receivers of the widgets' signals, connected after the runtime's own.
        int laterReceiver = 0;
        QObject::connect(static_cast<QPushButton*>(form.Cmd.widget()), &QPushButton::clicked,
                         [&] { ++laterReceiver; });
        QObject::connect(static_cast<QLineEdit*>(form.Txt.widget()), &QLineEdit::textEdited,
                         [&] { ++laterReceiver; });

        c.act(form);
        ASSERT_EQ(form.runs, 1) << c.what;
        ASSERT_EQ(services.ui->msgBoxCalls.size(), 1u) << c.what;
        EXPECT_EQ(services.ui->msgBoxCalls[0].prompt,
                  QStringLiteral("Erreur d'exécution '%1':\r\r%2")
                      .arg(c.number)
                      .arg(errorDescription(c.number)))
            << c.what;
        EXPECT_EQ(services.ui->msgBoxCalls[0].style, vbCritical) << c.what;

        // The next event runs its handler as usual.
        c.act(form);
        EXPECT_EQ(form.runs, 2) << c.what;
        EXPECT_EQ(form.handled, 1) << c.what;
        EXPECT_EQ(services.ui->msgBoxCalls.size(), 1u) << c.what;
        // The error stayed out of Qt's signal: its other receiver heard it both times.
        EXPECT_EQ(laterReceiver, c.bySignal ? 2 : 0) << c.what;
        form.Tmr.setEnabled(false);
        form.Hide();
    }
}

TEST(HandlerErrors, CodeThatMakesAChangeThroughQtGetsTheErrorOfTheEventItRaises) {
    class Child : public ui_test::CountingForm {
    public:
        explicit Child(const QString& name) : CountingForm(name, Type::MdiChild) {}
        bool fails = false;
        void Form_Activate() override {
            if (fails) rt::raise(ErrSubscript);
        }
    };
    ui_test::TestMdi mdi;
    mdi.Show();
    const struct {
        const char* what;
        std::function<int()> run; // the number of the error that the program's code got
    } cases[] = {
        {"the current tab made unusable (its Click)",
         [] {
             ui_test::CountingForm form;
             TabControl tab(form);
             tab.onTabClick = [](int) { rt::raise(ErrSubscript); };
             return ui_test::errorNumberOf([&] { tab.setTabEnabled(0, false); });
         }},
        {"the date typed in a date picker read by code (its Change)",
         [] {
             ui_test::CountingForm form;
             DTPicker picker(form);
             picker.onChange = [] { rt::raise(ErrSubscript); };
             form.Show();
             testing_support::tabInto(picker.widget());
             if (!testing_support::userTypes({QStringLiteral("12")})) return -1;
             return ui_test::errorNumberOf([&] { picker.Value(); });
         }},
        {"a child window given the focus (its Activate)",
         [] {
             Child a(QStringLiteral("A")), b(QStringLiteral("B"));
             a.Show();
             b.Show();
             a.fails = true;
             return ui_test::errorNumberOf([&] { a.SetFocus(); });
         }},
    };
    for (const auto& c : cases) {
        ui_test::ScriptedServices services;
        EXPECT_EQ(c.run(), ErrSubscript) << c.what;
        EXPECT_TRUE(services.ui->msgBoxCalls.empty()) << c.what;
    }
}
