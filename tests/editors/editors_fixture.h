#pragma once
// The editors over a main window: a document of 2004 in the state "Edit", scripted modal forms,
// messages and help. An editor opens through its entry function; the queued script plays the
// user while the editor is shown.

#include "common/test_support.h"
#include "core/numeric.h"
#include "document/compare.h"
#include "document/doc_state.h"
#include "document/modified.h"
#include "document/money_text.h"
#include "editors/editors.h"
#include "shell/shell_fixture.h"
#include "support/scripted_services.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <functional>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

class EditorTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        previousHelp_ = rt::setHelpServices(help);
        CurDoc.Year = QStringLiteral("2004");
        FrmMain->setTag(QStringLiteral("Edit"));
        SetModified(DocPart::All, 0, 0);
    }
    void TearDown() override {
        rt::setHelpServices(previousHelp_);
        ShellTest::TearDown();
    }

    // Opens an editor through its entry function in Mode (0 add, 1 edit) on record Index; the
    // script plays the user on the form. Returns what the entry function returned.
    template <class F>
    bool open(bool (*show)(), int32_t Mode, int16_t Index, std::function<void(F&)> script) {
        Exchange.DialogMode = Mode;
        Exchange.EditIndex = Index;
        Exchange.DialogResult = 0;
        services.forms->modalScripts.push_back(
            [script](rt::Form& form) { script(dynamic_cast<F&>(form)); });
        const bool changed = show();
        EXPECT_EQ(changed, Exchange.DialogResult == 1);
        return changed;
    }

    // A key pressed while Control has the focus, as the window hands it over.
    static void press(rt::Control& Control, Qt::Key Key) {
        QKeyEvent down(QEvent::KeyPress, Key, Qt::NoModifier);
        QCoreApplication::sendEvent(Control.widget(), &down);
        QKeyEvent up(QEvent::KeyRelease, Key, Qt::NoModifier);
        QCoreApplication::sendEvent(Control.widget(), &up);
    }

    std::shared_ptr<rt::ScriptedHelp> help = std::make_shared<rt::ScriptedHelp>();

private:
    std::shared_ptr<rt::HelpServices> previousHelp_;
};

inline DEItem debt(const QString& text, int16_t isSaving = 0, DateRec start = {1, 1, 2004}) {
    DEItem d;
    d.IsSaving = isSaving;
    d.StartDate = start;
    d.Text = text;
    return d;
}

inline void click(rt::Control& Button) {
    Button.raiseEvent(rt::Event::Click);
}
