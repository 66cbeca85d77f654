#pragma once
// Forms: a class per form holds its controls (members built in its constructor) and its event
// handlers (Form_Load, Form_QueryUnload, CmdOk_Click...).
//
// Life of a form, as the original runtime had it:
//  - created: the object exists, its controls too, nothing is shown;
//  - loaded: Form_Load has run (Load, Show or the first reference through a FormSlot);
//  - shown modeless or modal (Show(vbModal) returns when the form is hidden or unloaded);
//  - unloaded: Form_QueryUnload and Form_Unload agreed; the window is hidden, the object and
//    its controls stay (a form's variables survive until it is released); Show loads it again;
//  - released: FormSlot::release() unloads it if needed, runs Form_Terminate and destroys it.
//
// A form with one shared instance is reached through a FormSlot named as the form (FrmMain),
// which is given that name and so is one of the shared forms that shutdown releases: its class
// carries the form's name with "Form" added (FrmMainForm). Several instances of one form (the
// month windows) are unnamed FormSlots in an array, and the class has the form's name.
//
// A form in short:
//     class FrmAskDemoForm : public rt::Form {
//     public:
//         FrmAskDemoForm() : rt::Form(QStringLiteral("FrmAskDemo")) {
//             CmdOk.Move(120, 120, 1215, 375);   // twips
//             CmdOk.setDefault(true);
//             CmdOk.onClick = [this] { CmdOk_Click(); };
//             for (int i : Lbl.indexes()) Lbl(i).onMouseUp = [this, i](int b, int s, float x,
//                 float y) { Lbl_MouseUp(i, b, s, x, y); };
//         }
//         rt::CommandButton CmdOk{*this, QStringLiteral("CmdOk")};
//         // An array built at once, so that later members may sit on its elements.
//         rt::ControlArray<rt::Label> Lbl{QStringLiteral("Lbl"), [this](auto& a) {
//             a.create(0, *this); a.create(4, *this); }};
//         void Form_Load() override;
//         void CmdOk_Click() { Unload(); }
//         void Lbl_MouseUp(int Index, int Button, int Shift, float X, float Y);
//     };
//     rt::FormSlot<FrmAskDemoForm> FrmAskDemo{"FrmAskDemo"}; // FrmAskDemo->Show(rt::vbModal);
// Members are built in declaration order: declare a container before what it holds.

#include "core/picture.h"
#include "ui_control.h"

#include <QEventLoop>
#include <QMdiSubWindow>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QEventLoop;
class QWidget;
class QKeyEvent;
class QMdiSubWindow;

namespace rt {

class Label;
class Menu;
class MdiForm;
class FormWindow;

enum ShowMode : int { vbModeless = 0, vbModal = 1 };
enum UnloadModeValue : int {
    vbFormControlMenu = 0, // the user's close box
    vbFormCode = 1,        // code unloaded the form
    vbAppWindows = 2,
    vbAppTaskManager = 3,
    vbFormMDIForm = 4, // the MDI parent is closing
};
enum WindowStateValue : int { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };
enum BorderStyleValue : int { vbBSNone = 0, vbFixedSingle = 1, vbSizable = 2, vbFixedDialog = 3 };

class Form : public QObject, public Container {
public:
    enum class Type { TopLevel, MdiChild, MdiParent };

    explicit Form(const QString& name, Type type = Type::TopLevel);
    ~Form() override;

    const QString& Name() const { return name_; }
    Type type() const { return type_; }
    bool isMdiChild() const { return type_ == Type::MdiChild; }
    ControlKind kind() const;

    QWidget* clientWidget() const override;
    Form* form() const override { return const_cast<Form*>(this); }
    void alignedChildChanged() override;
    // The window as Qt sees it: the top-level widget, or the MDI sub-window of a child.
    QWidget* window() const;

    // ---- Life ----
    bool Loaded() const { return loaded_; }
    // Loads the form (Form_Load) unless it is loaded.
    void Load();
    // Asks Form_QueryUnload (and the children of an MDI parent), then Form_Unload; hides and
    // unloads unless one of them cancelled. True when the form is unloaded afterwards.
    bool Unload(int unloadMode = vbFormCode);
    // Loads if needed and shows the form; vbModal returns when the form is hidden or unloaded.
    void Show(int modal = vbModeless);
    void Hide();
    // The user's close box: the form's QueryUnload decides.
    bool closeByUser();
    // The window system asked to close the window while a modal window blocked it (its close
    // button through the window manager, the end of the desktop session): Qt drops such a
    // request, and so does the form unless it overrides this (closeAskedOfBlockedWindows).
    virtual void closeAskedWhileBlocked() {}
    bool isModal() const { return modal_; }

    // ---- Properties ----
    const QString& Caption() const { return caption_; }
    void setCaption(const QString& caption);
    const QString& Tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }
    const Picture& Icon() const { return icon_; }
    void setIcon(const Picture& icon);
    // Outer position and size in twips.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    void Move(int left, std::optional<int> top = {}, std::optional<int> width = {},
              std::optional<int> height = {});
    // Inner size in twips (an MDI parent: its child-window area).
    int ScaleWidth() const;
    int ScaleHeight() const;
    int WindowState() const { return windowState_; }
    void setWindowState(int state);
    bool Visible() const { return visible_; }
    // True shows the form modeless (loading it if needed); false hides it.
    void setVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    OleColor BackColor() const { return backColor_; }
    void setBackColor(OleColor color);
    // With KeyPreview the form's key events run before those of the control with the focus.
    bool KeyPreview() const { return keyPreview_; }
    void setKeyPreview(bool on) { keyPreview_ = on; }
    int BorderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);

    void ZOrder(int position = 0);
    void SetFocus();
    void Refresh();
    // Pops a menu up at the mouse pointer (or at X, Y in twips of the form); returns after the
    // chosen entry's Click handler ran. The menu opens even when every entry is disabled.
    void PopupMenu(Menu& menu, std::optional<float> X = {}, std::optional<float> Y = {});

    const std::vector<Control*>& Controls() const { return controls_; }

    // ---- Keyboard focus ----
    // The controls in the order Tab visits them: within each container top to bottom, and left
    // to right along a row; a container's own controls follow it (those of a tab control's
    // pages, page by page).
    std::vector<Control*> tabOrder() const;
    // A tab order the form gives itself: these controls first, in this order, then the others
    // in the order of the layout.
    void setTabOrder(const std::vector<Control*>& order) { givenTabOrder_ = order; }
    // True when the control can take the focus now: shown (its containers too), with a size,
    // enabled, taking the focus by Tab, and no mere container of other controls.
    bool canTakeFocus(const Control* control) const;
    // The controls Tab stops at, in tab order: those that can take the focus, of the option
    // buttons of one container only the chosen one (the first one while none is chosen).
    std::vector<Control*> tabStops() const;
    // Moves the focus to the next (or previous) tab stop, round the form. True when the form
    // handled Tab (also when it has no stop to go to).
    bool focusNextStop(bool next);
    // The control of this form that holds the keyboard focus, or nullptr.
    Control* focusedControl() const;

    // ---- Names for assistive technology ----
    // Each text box, combo box, date field, up-down and list of the form, with the label that
    // names it or nullptr: the shown label of its container just before it in the order of the
    // layout (labels among the controls where their places put them), with no tab stop between;
    // the rule that access keys follow. An up-down is named as its buddy.
    std::vector<std::pair<Control*, Label*>> fieldLabels() const;
    // Names field by label instead, where the layout puts another label just before it (a
    // heading over two columns, say).
    void setFieldLabel(Control& field, Label& label);
    // Gives each field of a loaded form the shown text of its label as its accessible name.
    void nameFields();

    // ---- Events (public: the program calls some of them directly) ----
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Deactivate() {}
    virtual void Form_QueryUnload(int& /*Cancel*/, int /*UnloadMode*/) {}
    virtual void Form_Unload(int& /*Cancel*/) {}
    virtual void Form_Resize() {}
    virtual void Form_Terminate() {}
    virtual void Form_Click() {}
    virtual void Form_KeyDown(int& /*KeyCode*/, int /*Shift*/) {}
    virtual void Form_KeyUp(int& /*KeyCode*/, int /*Shift*/) {}
    virtual void Form_KeyPress(int& /*KeyAscii*/) {}
    virtual void Form_MouseDown(int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {}
    virtual void Form_MouseUp(int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {}
    virtual void Form_MouseMove(int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {}

    // ---- For the runtime ----
    void registerControl(Control* control);
    void unregisterControl(Control* control);
    // Key handling for a control's widget: the form's preview and its default and cancel
    // buttons. Returns true when the key was used.
    bool previewKey(QKeyEvent* event, bool press);
    bool dialogKey(Control* focus, QKeyEvent* event);
    // Modal show, for the form services.
    void beginModal(QEventLoop* loop);
    void endModal();
    // Runs Form_Terminate; FormSlot calls it just before destroying the form.
    void terminate();
    // Raises Activate unless the form is the active one (or inside its own Activate).
    void activated();
    void deactivated();
    // The window's events.
    void windowResized();
    void windowMoved();
    void windowStateChangedByUser(int state);
    // Lays out the controls whose Align is not 0; the rest of the client area is returned.
    virtual QRect layoutAligned();

protected:
    // The sub-window of an MDI child, once loaded.
    QMdiSubWindow* subWindow() const { return sub_; }
    FormWindow* root() const { return root_; }

private:
    friend class MdiForm;
    void pushGeometry();
    void pushVisible();
    // Before a form is first shown after loading: centred over the form it opens from (the
    // active form, else the main window) or, with none shown, on the screen, moved inside the
    // screen's free area, unless its code gave it a position from Form_Load on.
    void placeOnOpen();
    // A form that opens keeps the focus its code gave one of its controls, else the focus goes
    // to its first tab stop; a form without any takes the focus itself.
    void focusOnOpen();
    // Appends container's controls in tab order; with withLabels the labels too, which have
    // no widget.
    void appendInTabOrder(const Container* container, std::vector<Control*>& out,
                          bool withLabels = false) const;
    // The control whose widget is or holds the widget, or nullptr.
    Control* controlOfWidget(const QWidget* widget) const;
    void attachToMdiParent();
    int frameExtraWidth() const;
    int frameExtraHeight() const;

    QString name_;
    Type type_;
    FormWindow* root_ = nullptr;  // owned: the form's client widget
    QPointer<QMdiSubWindow> sub_; // MDI children, once loaded
    QPointer<QEventLoop> modalLoop_;
    bool loaded_ = false;
    bool loading_ = false; // in Form_Load
    bool unloading_ = false;
    bool modal_ = false;
    bool inActivate_ = false;
    bool pushing_ = false;
    bool placedByCode_ = false; // Form_Load or later code set Left or Top
    bool placePending_ = false; // loaded and not shown since
    QString caption_;
    QString tag_;
    Picture icon_;
    int left_ = 0, top_ = 0, width_ = 4800, height_ = 3600;
    int windowState_ = vbNormal;
    bool visible_ = false;
    bool enabled_ = true;
    bool keyPreview_ = false;
    int borderStyle_ = vbSizable;
    OleColor backColor_;
    std::vector<Control*> controls_;
    std::vector<Control*> givenTabOrder_;
    int fields_ = 0; // controls that a label names (fieldLabels)
    std::vector<std::pair<Control*, Label*>> givenFieldLabels_;
};

// The loaded forms, in the order they were loaded (the original's Forms collection).
std::vector<Form*> loadedForms();
// The active top-level form, or nullptr.
Form* activeTopLevelForm();

// A slot of one of the program's shared forms, reached by its name. A FormSlot defined with a
// name (FormSlot<FrmAboutForm> FrmAbout{"FrmAbout"}) is one, as long as it lives.
class SharedFormSlot {
public:
    SharedFormSlot(const SharedFormSlot&) = delete;
    SharedFormSlot& operator=(const SharedFormSlot&) = delete;
    const QString& slotName() const { return slotName_; }
    // Unloads and destroys the form; false (and the form kept) when its unload was cancelled.
    virtual bool release() = 0;

protected:
    explicit SharedFormSlot(QString name);
    virtual ~SharedFormSlot();

private:
    QString slotName_;
};

// The shared forms' slots, in the order of their names (letter case aside).
std::vector<SharedFormSlot*> sharedFormSlots();
// Releases the form of every shared slot but Except, in the order of their names.
void releaseSharedForms(const SharedFormSlot* Except);

// A reference to a form that creates and loads it on first use, and releases it on demand.
template <class T> class FormSlot final : public SharedFormSlot {
public:
    FormSlot() : FormSlot(QString()) {}
    // A named slot is one of the shared forms (sharedFormSlots).
    explicit FormSlot(const char* name) : FormSlot(QString::fromLatin1(name)) {}
    explicit FormSlot(std::function<T*()> factory)
        : SharedFormSlot(QString()), factory_(std::move(factory)) {}
    ~FormSlot() override { discardAtExit(form_); }

    // The form, created and loaded first when the slot is empty.
    T& get() {
        if (!form_) {
            form_ = factory_();
            form_->Load();
        }
        return *form_;
    }
    T* operator->() { return &get(); }
    T& operator*() { return get(); }
    // The form without creating it (nullptr when the slot is empty).
    T* peek() const { return form_; }
    bool exists() const { return form_ != nullptr; }
    // Unloads the form when it is loaded (nothing when the slot is empty, nothing is created).
    bool unload() { return form_ ? form_->Unload() : true; }
    // Unloads and destroys the form; false (and the form kept) when its unload was cancelled.
    bool release() override {
        if (!form_) return true;
        if (form_->Loaded() && !form_->Unload()) return false;
        T* f = form_;
        form_ = nullptr;
        f->terminate();
        destroyForm(f);
        return true;
    }

private:
    explicit FormSlot(QString name)
        : SharedFormSlot(std::move(name)), factory_([] { return new T(); }) {}

    std::function<T*()> factory_;
    T* form_ = nullptr;

    static void discardAtExit(Form* f);
    static void destroyForm(Form* f);
};

// Destroys a released form once control returns to the event loop (its own handler may be
// running); at exit, after the application is gone, the form is left to the system.
void destroyReleasedForm(Form* form);
void discardFormAtExit(Form* form);

template <class T> void FormSlot<T>::discardAtExit(Form* f) {
    discardFormAtExit(f);
}
template <class T> void FormSlot<T>::destroyForm(Form* f) {
    destroyReleasedForm(f);
}

} // namespace rt
