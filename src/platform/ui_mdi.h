#pragma once
// The multiple-document main window: aligned controls along its edges (toolbar, panels), the
// child-window area in the rest, and the child windows (MDI children) inside it.
//
// A child window closed by the user asks its form (Form_QueryUnload with vbFormControlMenu):
// the form decides whether it unloads or cancels; Qt never deletes it. Showing a child makes it
// the active child and raises its Form_Activate once; hiding the active child activates the
// topmost visible child left, as the original did. Arrange 0 to 3 are our own.
//
// The keys of the platform's MDI work wherever the focus is in the main window: Ctrl+F4
// closes the active child as its close box does, Ctrl+F6 and Ctrl+Tab activate the child
// under it (the active one going to the bottom of the pile), Shift with either the bottom one,
// each raising what a click on the child raises.

#include "ui_form.h"

#include <QPointer>
#include <functional>
#include <vector>

class QMdiArea;
class QKeySequence;

namespace rt {

enum ArrangeValue : int {
    vbCascade = 0,
    vbTileHorizontal = 1, // one above the other
    vbTileVertical = 2,   // side by side
    vbArrangeIcons = 3,   // the minimised children in a row along the bottom
};

class MdiForm : public Form {
public:
    explicit MdiForm(const QString& name);
    ~MdiForm() override;

    // The program's MDI parent (the last one created), or nullptr.
    static MdiForm* current();

    QMdiArea* mdiArea() const { return area_; }
    // The active child, or nullptr.
    Form* ActiveForm() const { return activeChild_; }
    // The loaded children, in the order they were first loaded.
    std::vector<Form*> children() const;
    void Arrange(int arrangement);
    // The MDI keys' actions: the active child's close box (its QueryUnload decides), and the
    // next (or previous) visible child activated.
    void closeActiveChild();
    void activateNextChild(bool backwards);

    // ---- Events, under the names of an MDI parent ----
    virtual void MDIForm_Load() {}
    virtual void MDIForm_Activate() {}
    virtual void MDIForm_QueryUnload(int& /*Cancel*/, int /*UnloadMode*/) {}
    virtual void MDIForm_Unload(int& /*Cancel*/) {}
    virtual void MDIForm_Resize() {}
    virtual void MDIForm_Terminate() {}
    virtual void MDIForm_Click() {}
    virtual void MDIForm_MouseDown(int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {}
    virtual void MDIForm_MouseUp(int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {}
    virtual void MDIForm_MouseMove(int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {}

    void Form_Load() final { MDIForm_Load(); }
    void Form_Activate() final { MDIForm_Activate(); }
    void Form_QueryUnload(int& Cancel, int UnloadMode) final {
        MDIForm_QueryUnload(Cancel, UnloadMode);
    }
    void Form_Unload(int& Cancel) final { MDIForm_Unload(Cancel); }
    void Form_Resize() final { MDIForm_Resize(); }
    void Form_Terminate() final { MDIForm_Terminate(); }
    void Form_Click() final { MDIForm_Click(); }
    void Form_MouseDown(int Button, int Shift, float X, float Y) final {
        MDIForm_MouseDown(Button, Shift, X, Y);
    }
    void Form_MouseUp(int Button, int Shift, float X, float Y) final {
        MDIForm_MouseUp(Button, Shift, X, Y);
    }
    void Form_MouseMove(int Button, int Shift, float X, float Y) final {
        MDIForm_MouseMove(Button, Shift, X, Y);
    }

    // ---- For the runtime ----
    void addChild(Form& child);
    void removeChild(Form& child);
    void activateChild(Form& child);
    void childActivated(Form* child);
    void childHidden(Form& child);
    QRect layoutAligned() override;
    // The mouse over the child-window area is the main window's own (MDIForm_MouseMove...).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool viewportEvent(QObject* watched, QEvent* event);
    std::vector<Form*> visibleChildrenTopFirst(bool minimised) const;
    void addKey(const QKeySequence& key, std::function<void()> action);
    void lowerPending();

    QMdiArea* area_;
    Form* activeChild_ = nullptr;
    // The child that the next activation sends to the bottom of the pile (activateNextChild).
    QPointer<Form> lowerOnActivation_;
    std::vector<Form*> children_;
};

} // namespace rt
