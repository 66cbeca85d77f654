#pragma once
// Helpers of the user-interface runtime's tests: scripted services installed for one test,
// a pause that lets the event loop run, and simple forms.

#include "core/rt_error.h"
#include "platform/form_services.h"
#include "platform/ui_controls.h"
#include "platform/ui_form.h"
#include "platform/ui_mdi.h"
#include "support/scripted_form_services.h"
#include "support/scripted_ui_services.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <memory>

namespace ui_test {

// Installs scripted form and message services for the life of the object.
struct ScriptedServices {
    std::shared_ptr<rt::ScriptedFormServices> forms = std::make_shared<rt::ScriptedFormServices>();
    std::shared_ptr<rt::ScriptedUiServices> ui = std::make_shared<rt::ScriptedUiServices>();
    std::shared_ptr<rt::FormServices> previousForms = rt::setFormServices(forms);
    std::shared_ptr<rt::UiServices> previousUi = rt::setUiServices(ui);
    ~ScriptedServices() {
        rt::setFormServices(previousForms);
        rt::setUiServices(previousUi);
    }
};

// The number of the run-time error that f raises, or 0 when it raises none.
inline int errorNumberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const rt::RtError& e) {
        return e.Number;
    }
    return 0;
}

// Lets the event loop run for a while.
inline void wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until cond() holds or ms pass; returns cond().
template <class Cond> bool waitFor(Cond cond, int ms = 2000) {
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return cond();
}

// Destroys the forms released so far (their deletion waits for the event loop).
inline void flushReleased() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A plain form that counts its events.
class CountingForm : public rt::Form {
public:
    explicit CountingForm(const QString& name = QStringLiteral("FrmTest"),
                          Type type = Type::TopLevel)
        : rt::Form(name, type) {}
    int loads = 0, activates = 0, queries = 0, unloads = 0, terminates = 0, resizes = 0;
    int lastUnloadMode = -1;
    bool cancelQuery = false;
    std::function<void(int& Cancel, int UnloadMode)> onQuery;
    void Form_Load() override { ++loads; }
    void Form_Activate() override { ++activates; }
    void Form_QueryUnload(int& Cancel, int UnloadMode) override {
        ++queries;
        lastUnloadMode = UnloadMode;
        if (cancelQuery) Cancel = 1;
        if (onQuery) onQuery(Cancel, UnloadMode);
    }
    void Form_Unload(int&) override { ++unloads; }
    void Form_Terminate() override { ++terminates; }
    void Form_Resize() override { ++resizes; }
};

// A dialog with OK and Cancel that unloads itself and reports its answer.
class OkCancelDialog : public rt::Form {
public:
    OkCancelDialog() : rt::Form(QStringLiteral("FrmOkCancel")) {
        CmdOk.setCaption(QStringLiteral("OK"));
        CmdOk.setDefault(true);
        CmdCancel.setCaption(QStringLiteral("Annuler"));
        CmdCancel.setCancel(true);
        CmdCancel.Move(1400);
        CmdOk.onClick = [this] { CmdOk_Click(); };
        CmdCancel.onClick = [this] { CmdCancel_Click(); };
    }
    rt::CommandButton CmdOk{*this, QStringLiteral("CmdOk")};
    rt::CommandButton CmdCancel{*this, QStringLiteral("CmdCancel")};
    int DialogResult = -1;
    void CmdOk_Click() {
        DialogResult = 1;
        Unload();
    }
    void CmdCancel_Click() {
        DialogResult = 0;
        Unload();
    }
};

// An MDI parent for the tests of child windows.
class TestMdi : public rt::MdiForm {
public:
    TestMdi() : rt::MdiForm(QStringLiteral("FrmMdiTest")) { Move(0, 0, 9000, 7500); }
    int mouseMoves = 0;
    void MDIForm_MouseMove(int, int, float, float) override { ++mouseMoves; }
};

} // namespace ui_test
