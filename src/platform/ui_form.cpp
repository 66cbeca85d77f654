#include "ui_form.h"

#include "core/rt_error.h"
#include "core/system.h"
#include "form_services.h"
#include "ui_common_controls.h"
#include "ui_controls.h"
#include "ui_dispatch.h"
#include "ui_form_windows.h"
#include "ui_label_layer.h"
#include "ui_mdi.h"
#include "ui_menu.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace rt {

namespace {
std::vector<Form*>& loadedRegistry() {
    static std::vector<Form*> forms;
    return forms;
}
Form* g_activeTopLevel = nullptr;

int stateOf(Qt::WindowStates s) {
    if (s & Qt::WindowMinimized) return vbMinimized;
    if (s & Qt::WindowMaximized) return vbMaximized;
    return vbNormal;
}
} // namespace

std::vector<Form*> loadedForms() {
    return loadedRegistry();
}
Form* activeTopLevelForm() {
    return g_activeTopLevel;
}

namespace {
std::vector<SharedFormSlot*>& sharedSlotRegistry() {
    static std::vector<SharedFormSlot*> registry;
    return registry;
}
} // namespace

SharedFormSlot::SharedFormSlot(QString name) : slotName_(std::move(name)) {
    if (slotName_.isEmpty()) return;
    auto& registry = sharedSlotRegistry();
    const auto at = std::lower_bound(registry.begin(), registry.end(), this, [](auto* a, auto* b) {
        return a->slotName().compare(b->slotName(), Qt::CaseInsensitive) < 0;
    });
    registry.insert(at, this);
}

SharedFormSlot::~SharedFormSlot() {
    // An unnamed slot never joined the registry, which may already be gone when such a slot is
    // destroyed at exit.
    if (slotName_.isEmpty()) return;
    auto& registry = sharedSlotRegistry();
    registry.erase(std::remove(registry.begin(), registry.end(), this), registry.end());
}

std::vector<SharedFormSlot*> sharedFormSlots() {
    return sharedSlotRegistry();
}

void releaseSharedForms(const SharedFormSlot* Except) {
    // A form's unload may release another shared form: the list is taken first.
    for (SharedFormSlot* slot : sharedFormSlots())
        if (slot != Except) slot->release();
}

void destroyReleasedForm(Form* form) {
    if (!form) return;
    if (QCoreApplication::instance()) form->deleteLater();
}

void discardFormAtExit(Form* form) {
    // Static slots die after the application; Qt objects cannot be destroyed then.
    if (form && QCoreApplication::instance()) delete form;
}

// ---- The windows ----

FormWindow::FormWindow(Form* form, bool topLevel) : form_(form), topLevel_(topLevel) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAutoFillBackground(true);
    setMouseTracking(true);
    // A form takes the focus itself only when none of its controls can (focusOnOpen).
    setFocusPolicy(Qt::StrongFocus);
}

bool FormWindow::focusNextPrevChild(bool next) {
    // Tab goes round the form's own stops, in the order of the layout.
    if (form_) return form_->focusNextStop(next);
    return QWidget::focusNextPrevChild(next);
}

// Each window event runs the form's handlers through dispatch: an error is reported and the
// rest of that event is left, as when the error reached the event loop.

void FormWindow::closeEvent(QCloseEvent* event) {
    event->ignore(); // the form decides, and hides itself when it unloads
    if (form_) dispatch([this] { form_->closeByUser(); });
}

void FormWindow::resizeEvent(QResizeEvent*) {
    if (form_) dispatch([this] { form_->windowResized(); });
}

void FormWindow::moveEvent(QMoveEvent*) {
    if (form_ && topLevel_) form_->windowMoved();
}

void FormWindow::changeEvent(QEvent* event) {
    if (form_ && topLevel_) {
        const bool handled = dispatch([&] {
            if (event->type() == QEvent::ActivationChange) {
                if (isActiveWindow())
                    form_->activated();
                else
                    form_->deactivated();
            } else if (event->type() == QEvent::WindowStateChange) {
                form_->windowStateChangedByUser(stateOf(windowState()));
            }
        });
        if (!handled) return;
    }
    QWidget::changeEvent(event);
}

bool FormWindow::formKey(QKeyEvent* event, bool press) {
    // Keys of a control reach the form through the control; only keys of the form itself here.
    QWidget* focus = QApplication::focusWidget();
    if (!form_ || (focus != this && focus != nullptr) || keyHandledWithin(this, event))
        return false;
    if (form_->previewKey(event, press)) return true;
    if (!press) {
        if (!form_->KeyPreview()) {
            int code = KeyCodeOf(*event);
            if (code) form_->Form_KeyUp(code, ShiftOf(event->modifiers()));
        }
        return false;
    }
    if (!form_->KeyPreview()) {
        int code = KeyCodeOf(*event);
        if (code) form_->Form_KeyDown(code, ShiftOf(event->modifiers()));
        if (code == 0 && KeyCodeOf(*event) != 0) return true;
        if (!event->text().isEmpty()) {
            int ascii = event->text().at(0).unicode();
            form_->Form_KeyPress(ascii);
            if (ascii == 0) return true;
        }
    }
    return form_->dialogKey(nullptr, event);
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    bool used = true;
    dispatch([&] { used = formKey(event, true); });
    if (!used) QWidget::keyPressEvent(event);
}

void FormWindow::keyReleaseEvent(QKeyEvent* event) {
    bool used = true;
    dispatch([&] { used = formKey(event, false); });
    if (!used) QWidget::keyReleaseEvent(event);
}

// A mouse event that a child control passed on to its window is not the form's: the form sees
// the mouse only over its own area, as the original's forms did. Its labels are controls too.
bool FormWindow::overChild(const QMouseEvent* event) const {
    const QPoint at = event->position().toPoint();
    return childAt(at) != nullptr || LabelLayer::labelAt(this, at) != nullptr;
}

void FormWindow::mousePressEvent(QMouseEvent* event) {
    if (!form_ || overChild(event)) return;
    if (event->button() == Qt::LeftButton) pressed_ = true;
    const QPointF p = event->position() * kTwipsPerPixel;
    dispatch([&] {
        form_->Form_MouseDown(MouseButtonOf(event->button()), ShiftOf(event->modifiers()),
                              float(p.x()), float(p.y()));
    });
}

void FormWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (!form_ || (overChild(event) && !pressed_)) return;
    const QPointF p = event->position() * kTwipsPerPixel;
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) pressed_ = false;
    QPointer<FormWindow> self(this);
    dispatch([&] {
        form_->Form_MouseUp(MouseButtonOf(event->button()), ShiftOf(event->modifiers()),
                            float(p.x()), float(p.y()));
        if (self && form_ && click) form_->Form_Click();
    });
}

void FormWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!form_ || overChild(event)) return;
    const QPointF p = event->position() * kTwipsPerPixel;
    dispatch([&] {
        form_->Form_MouseMove(MouseButtonsOf(event->buttons()), ShiftOf(event->modifiers()),
                              float(p.x()), float(p.y()));
    });
}

MdiChildWindow::MdiChildWindow(Form* form) : form_(form) {
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void MdiChildWindow::closeEvent(QCloseEvent* event) {
    event->ignore(); // never deleted by Qt: the form's QueryUnload decides
    if (form_) dispatch([this] { form_->closeByUser(); });
}

void MdiChildWindow::resizeEvent(QResizeEvent* event) {
    QMdiSubWindow::resizeEvent(event);
    if (form_) form_->windowMoved();
}

void MdiChildWindow::moveEvent(QMoveEvent* event) {
    QMdiSubWindow::moveEvent(event);
    if (form_) form_->windowMoved();
}

void MdiChildWindow::changeEvent(QEvent* event) {
    QMdiSubWindow::changeEvent(event);
    if (form_ && event->type() == QEvent::WindowStateChange)
        form_->windowStateChangedByUser(stateOf(windowState()));
}

// ---- Form ----

Form::Form(const QString& name, Type type) : name_(name), type_(type), backColor_(vbButtonFace) {
    root_ = new FormWindow(this, type != Type::MdiChild);
    root_->setObjectName(name);
    root_->resize(TwipsToPixels(width_), TwipsToPixels(height_));
    QPalette pal = root_->palette();
    pal.setColor(QPalette::Window, ToQColor(backColor_));
    root_->setPalette(pal);
}

Form::~Form() {
    auto& reg = loadedRegistry();
    reg.erase(std::remove(reg.begin(), reg.end(), this), reg.end());
    if (g_activeTopLevel == this) g_activeTopLevel = nullptr;
    if (type_ == Type::MdiChild)
        if (MdiForm* mdi = MdiForm::current()) mdi->removeChild(*this);
    if (root_) root_->detach();
    if (sub_) {
        static_cast<MdiChildWindow*>(sub_.data())->detach();
        delete sub_.data(); // deletes the client widget with it
    } else {
        delete root_;
    }
}

ControlKind Form::kind() const {
    return type_ == Type::MdiParent ? ControlKind::MdiForm : ControlKind::Form;
}

QWidget* Form::clientWidget() const {
    return root_;
}

QWidget* Form::window() const {
    if (sub_) return sub_;
    return root_;
}

namespace {
// The kinds of control that take their accessible name from a label.
bool namedByLabel(ControlKind kind) {
    switch (kind) {
    case ControlKind::TextBox:
    case ControlKind::ComboBox:
    case ControlKind::ListBox:
    case ControlKind::ListView:
    case ControlKind::TreeView:
    case ControlKind::DTPicker:
    case ControlKind::UpDown:
    case ControlKind::DriveListBox:
    case ControlKind::DirListBox:
    case ControlKind::FileListBox:
        return true;
    default:
        return false;
    }
}
} // namespace

void Form::registerControl(Control* control) {
    controls_.push_back(control);
    if (namedByLabel(control->kind())) ++fields_;
}

void Form::unregisterControl(Control* control) {
    if (namedByLabel(control->kind())) --fields_;
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    givenTabOrder_.erase(std::remove(givenTabOrder_.begin(), givenTabOrder_.end(), control),
                         givenTabOrder_.end());
}

// ---- Life ----

void Form::Load() {
    if (loaded_) return;
    if (type_ == Type::MdiChild && !sub_) attachToMdiParent();
    loaded_ = true;
    loadedRegistry().push_back(this);
    placedByCode_ = false;
    placePending_ = type_ == Type::TopLevel;
    // A form loaded again opens on its first control, not on the one that had the focus.
    if (QWidget* remembered = root_->focusWidget()) remembered->clearFocus();
    QPointer<Form> self(this);
    // The labels that Form_Load captions name their fields once, when it is done.
    loading_ = true;
    try {
        Form_Load();
    } catch (...) {
        if (self) loading_ = false;
        throw;
    }
    if (!self) return;
    loading_ = false;
    nameFields();
}

void Form::attachToMdiParent() {
    MdiForm* mdi = MdiForm::current();
    if (!mdi)
        throw RtError(366, QStringLiteral("Aucune feuille MDI disponible pour le chargement"),
                      QString::fromLatin1(kAppTitle));
    auto* sub = new MdiChildWindow(this);
    sub_ = sub;
    sub->setWidget(root_);
    mdi->mdiArea()->addSubWindow(sub);
    sub->setAttribute(Qt::WA_DeleteOnClose, false); // addSubWindow turns it on
    sub->hide();
    sub->setWindowTitle(caption_);
    if (!icon_.isEmpty()) sub->setWindowIcon(QIcon(QPixmap::fromImage(icon_.image())));
    pushGeometry();
    mdi->addChild(*this);
}

bool Form::Unload(int unloadMode) {
    if (!loaded_) return true;
    if (unloading_) return false;
    unloading_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{unloading_};
    QPointer<Form> self(this);

    int cancel = 0;
    Form_QueryUnload(cancel, unloadMode);
    if (!self || cancel || !loaded_) return !self || !loaded_;
    if (type_ == Type::MdiParent) {
        auto* mdi = static_cast<MdiForm*>(this);
        for (Form* child : mdi->children()) {
            if (!child->Loaded()) continue;
            int c = 0;
            child->Form_QueryUnload(c, vbFormMDIForm);
            if (!self) return true;
            if (c) return false;
        }
        for (Form* child : mdi->children()) {
            if (!child->Loaded()) continue;
            int c = 0;
            child->Form_Unload(c);
            if (!self) return true;
            if (c) return false;
            child->visible_ = false;
            child->pushVisible();
            child->loaded_ = false;
            auto& reg = loadedRegistry();
            reg.erase(std::remove(reg.begin(), reg.end(), child), reg.end());
        }
    }
    cancel = 0;
    Form_Unload(cancel);
    if (!self) return true;
    if (cancel) return false;
    Hide();
    loaded_ = false;
    auto& reg = loadedRegistry();
    reg.erase(std::remove(reg.begin(), reg.end(), this), reg.end());
    return true;
}

bool Form::closeByUser() {
    return Unload(vbFormControlMenu);
}

void Form::Show(int modal) {
    Load();
    if (!loaded_) return; // Form_Load unloaded it
    if (modal == vbModal) {
        if (modal_) return;
        formServices().showModal(*this);
        return;
    }
    placeOnOpen();
    visible_ = true;
    pushVisible();
    focusOnOpen();
    if (type_ == Type::MdiChild) {
        if (MdiForm* mdi = MdiForm::current()) mdi->activateChild(*this);
    } else {
        root_->raise();
        root_->activateWindow();
        activated();
    }
}

void Form::Hide() {
    const bool wasVisible = visible_;
    visible_ = false;
    pushVisible();
    if (modalLoop_) modalLoop_->quit();
    if (wasVisible && type_ == Type::MdiChild)
        if (MdiForm* mdi = MdiForm::current()) mdi->childHidden(*this);
}

void Form::setVisible(bool visible) {
    if (visible)
        Show();
    else
        Hide();
}

void Form::pushVisible() {
    QWidget* w = window();
    if (!w) return;
    if (visible_ && loading_) nameFields();
    pushing_ = true;
    if (!visible_) {
        w->hide();
    } else {
        switch (windowState_) {
        case vbMinimized:
            w->showMinimized();
            break;
        case vbMaximized:
            w->showMaximized();
            break;
        default:
            w->showNormal();
            break;
        }
    }
    pushing_ = false;
}

void Form::beginModal(QEventLoop* loop) {
    modal_ = true;
    modalLoop_ = loop;
    if (type_ != Type::MdiChild) root_->setWindowModality(Qt::ApplicationModal);
    placeOnOpen();
    visible_ = true;
    pushVisible();
    focusOnOpen();
    if (type_ != Type::MdiChild) {
        root_->raise();
        root_->activateWindow();
        activated();
    }
}

void Form::endModal() {
    modal_ = false;
    modalLoop_ = nullptr;
    if (type_ != Type::MdiChild) {
        const bool shown = root_->isVisible();
        if (shown) root_->hide(); // modality can only change while hidden
        root_->setWindowModality(Qt::NonModal);
        if (shown && visible_) pushVisible();
    }
}

void Form::terminate() {
    Form_Terminate();
}

void Form::activated() {
    if (type_ != Type::MdiChild) {
        if (g_activeTopLevel == this) return;
        g_activeTopLevel = this;
    }
    if (eventOnChange(kind(), Property::Shown) != Event::Activate) return;
    if (inActivate_ || !loaded_) return;
    inActivate_ = true;
    QPointer<Form> self(this);
    Form_Activate();
    if (self) inActivate_ = false;
}

void Form::deactivated() {
    if (g_activeTopLevel != this) return;
    g_activeTopLevel = nullptr;
    if (loaded_) Form_Deactivate();
}

// ---- Properties ----

void Form::setCaption(const QString& caption) {
    caption_ = caption;
    root_->setWindowTitle(caption);
    if (sub_) sub_->setWindowTitle(caption);
}

void Form::setIcon(const Picture& icon) {
    icon_ = icon;
    const QIcon qi = icon.isEmpty() ? QIcon() : QIcon(QPixmap::fromImage(icon.image()));
    root_->setWindowIcon(qi);
    if (sub_) sub_->setWindowIcon(qi);
}

int Form::frameExtraWidth() const {
    if (type_ == Type::MdiChild || !root_->isVisible()) return 0;
    return std::max(0, root_->frameGeometry().width() - root_->width());
}

int Form::frameExtraHeight() const {
    if (type_ == Type::MdiChild || !root_->isVisible()) return 0;
    return std::max(0, root_->frameGeometry().height() - root_->height());
}

void Form::pushGeometry() {
    pushing_ = true;
    const QRect r = TwipsToPixels(left_, top_, width_, height_);
    if (sub_) {
        sub_->setGeometry(r);
    } else if (type_ != Type::MdiChild) {
        root_->move(r.topLeft());
        root_->resize(std::max(1, r.width() - frameExtraWidth()),
                      std::max(1, r.height() - frameExtraHeight()));
    }
    pushing_ = false;
}

void Form::setLeft(int twips) {
    Move(twips);
}
void Form::setTop(int twips) {
    Move(left_, twips);
}
void Form::setWidth(int twips) {
    Move(left_, top_, twips);
}
void Form::setHeight(int twips) {
    Move(left_, top_, width_, twips);
}

void Form::Move(int left, std::optional<int> top, std::optional<int> width,
                std::optional<int> height) {
    if ((width && *width < 0) || (height && *height < 0)) rt::raise(ErrInvalidProperty);
    // The original refuses to move a minimised or maximised window.
    if (windowState_ != vbNormal && visible_) rt::raise(384);
    // What the constructor sets is the designed layout; a position set once the form loads
    // is the code's own, and the form opens there.
    if (loaded_ && (left != left_ || (top && *top != top_))) placedByCode_ = true;
    left_ = left;
    top_ = top.value_or(top_);
    width_ = width.value_or(width_);
    height_ = height.value_or(height_);
    pushGeometry();
}

void Form::windowMoved() {
    if (pushing_) return;
    QWidget* w = window();
    if (!w || !w->isVisible() || windowState_ != vbNormal) return;
    const QRect g = sub_ ? sub_->geometry() : root_->frameGeometry();
    const QRect mine = TwipsToPixels(left_, top_, width_, height_);
    if (g.x() != mine.x()) left_ = PixelsToTwips(g.x());
    if (g.y() != mine.y()) top_ = PixelsToTwips(g.y());
    if (g.width() != mine.width()) width_ = PixelsToTwips(g.width());
    if (g.height() != mine.height()) height_ = PixelsToTwips(g.height());
}

void Form::windowResized() {
    if (type_ != Type::MdiChild) windowMoved();
    layoutAligned();
    if (loaded_) Form_Resize();
}

void Form::windowStateChangedByUser(int state) {
    if (!pushing_) windowState_ = state;
}

int Form::ScaleWidth() const {
    if (type_ == Type::MdiParent)
        return PixelsToTwips(static_cast<const MdiForm*>(this)->mdiArea()->width());
    return PixelsToTwips(root_->width());
}

int Form::ScaleHeight() const {
    if (type_ == Type::MdiParent)
        return PixelsToTwips(static_cast<const MdiForm*>(this)->mdiArea()->height());
    return PixelsToTwips(root_->height());
}

void Form::setWindowState(int state) {
    if (state < vbNormal || state > vbMaximized) rt::raise(ErrInvalidProperty);
    windowState_ = state;
    if (visible_)
        pushVisible();
    else if (QWidget* w = window()) {
        pushing_ = true;
        w->setWindowState(state == vbMinimized   ? Qt::WindowMinimized
                          : state == vbMaximized ? Qt::WindowMaximized
                                                 : Qt::WindowNoState);
        pushing_ = false;
    }
}

void Form::setEnabled(bool enabled) {
    enabled_ = enabled;
    root_->setEnabled(enabled);
}

void Form::setBackColor(OleColor color) {
    backColor_ = color;
    QPalette pal = root_->palette();
    pal.setColor(QPalette::Window, ToQColor(color));
    root_->setPalette(pal);
}

void Form::setBorderStyle(int style) {
    borderStyle_ = style;
    if (type_ == Type::MdiChild) return;
    Qt::WindowFlags flags = root_->windowFlags();
    if (style == vbBSNone)
        flags |= Qt::FramelessWindowHint;
    else
        flags &= ~Qt::FramelessWindowHint;
    if (style == vbFixedDialog) flags |= Qt::Dialog;
    const bool shown = root_->isVisible();
    root_->setWindowFlags(flags);
    if (shown) pushVisible();
}

void Form::ZOrder(int position) {
    QWidget* w = window();
    if (position == 0)
        w->raise();
    else
        w->lower();
}

void Form::SetFocus() {
    if (!visible_ || !enabled_) rt::raise(ErrInvalidCall);
    if (sub_) {
        if (MdiForm* mdi = MdiForm::current()) mdi->activateChild(*this);
    } else {
        root_->activateWindow();
    }
    root_->setFocus(Qt::OtherFocusReason);
}

void Form::Refresh() {
    root_->update();
}

void Form::PopupMenu(Menu& menu, std::optional<float> X, std::optional<float> Y) {
    QPoint global = QCursor::pos();
    if (X && Y) global = root_->mapToGlobal(QPoint(TwipsToPixels(*X), TwipsToPixels(*Y)));
    formServices().popupMenu(*this, menu, global);
}

// ---- Opening ----

namespace {
// The shown form a new form opens over: the active one, else the main window.
Form* openingOwner(const Form* opening) {
    auto shown = [opening](Form* f) {
        return f && f != opening && f->Visible() && f->window() && f->window()->isVisible() &&
               f->WindowState() != vbMinimized;
    };
    if (Form* active = activeTopLevelForm(); shown(active)) return active;
    if (Form* main = MdiForm::current(); shown(main)) return main;
    return nullptr;
}

// The free area of the screen that holds the owner (the primary screen without one).
QRect freeAreaFor(const QWidget* owner) {
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QScreen* screen = owner ? owner->screen() : primary;
    if (screen && screen != primary) return screen->availableGeometry();
    return sys().availableArea();
}

// Puts a span of length size at start, moved inside [low, low + room): a span longer than the
// room starts at low.
int keptInside(int start, int size, int low, int room) {
    return std::max(low, std::min(start, low + room - size));
}
} // namespace

void Form::placeOnOpen() {
    if (!placePending_) return;
    placePending_ = false;
    if (placedByCode_ || windowState_ != vbNormal) return;
    const Form* owner = openingOwner(this);
    const QWidget* ownerWindow = owner ? owner->window() : nullptr;
    const QRect area = freeAreaFor(ownerWindow);
    if (area.isEmpty()) return;
    // The frame the window manager puts round the form is not known before it is shown: the
    // owner's stands in for it.
    QSize frame = TwipsToPixels(0, 0, width_, height_).size();
    if (ownerWindow) frame += ownerWindow->frameGeometry().size() - ownerWindow->geometry().size();
    const QRect over = ownerWindow ? ownerWindow->frameGeometry() : area;
    const int x = keptInside(over.x() + (over.width() - frame.width()) / 2, frame.width(), area.x(),
                             area.width());
    const int y = keptInside(over.y() + (over.height() - frame.height()) / 2, frame.height(),
                             area.y(), area.height());
    left_ = PixelsToTwips(x);
    top_ = PixelsToTwips(y);
    pushGeometry();
}

void Form::focusOnOpen() {
    const std::vector<Control*> stops = tabStops();
    root_->setFocusPolicy(stops.empty() ? Qt::StrongFocus : Qt::NoFocus);
    QWidget* remembered = root_->focusWidget();
    const Control* kept = controlOfWidget(remembered);
    if (kept && canTakeFocus(kept)) {
        remembered->setFocus(Qt::OtherFocusReason);
    } else if (!stops.empty()) {
        stops.front()->widget()->setFocus(Qt::OtherFocusReason);
    } else {
        root_->setFocus(Qt::OtherFocusReason);
    }
    // The focused control shows that it has the focus from the start, not only once the user
    // has pressed Tab.
    if (QWidget* top = root_->window()) top->setAttribute(Qt::WA_KeyboardFocusChange);
}

// ---- Keyboard focus ----

namespace {
// Top to bottom, and left to right along a row: a control whose top lies within the upper half
// of a row's first control (the half of the lower of the two) stands in that row.
void sortByLayout(std::vector<Control*>& controls) {
    std::stable_sort(controls.begin(), controls.end(), [](const Control* a, const Control* b) {
        return a->Top() != b->Top() ? a->Top() < b->Top() : a->Left() < b->Left();
    });
    std::vector<Control*> sorted;
    std::vector<bool> taken(controls.size(), false);
    for (size_t i = 0; i < controls.size(); ++i) {
        if (taken[i]) continue;
        const Control* lead = controls[i];
        std::vector<Control*> row{controls[i]};
        taken[i] = true;
        for (size_t j = i + 1; j < controls.size(); ++j) {
            const Control* c = controls[j];
            if (c->Top() >= lead->Top() + std::max(1, lead->Height()) / 2) break;
            if (!taken[j] &&
                c->Top() < lead->Top() + std::max(1, std::min(lead->Height(), c->Height())) / 2) {
                row.push_back(controls[j]);
                taken[j] = true;
            }
        }
        std::stable_sort(row.begin(), row.end(),
                         [](const Control* a, const Control* b) { return a->Left() < b->Left(); });
        sorted.insert(sorted.end(), row.begin(), row.end());
    }
    controls = std::move(sorted);
}
} // namespace

void Form::appendInTabOrder(const Container* container, std::vector<Control*>& out,
                            bool withLabels) const {
    std::vector<Control*> children;
    for (Control* c : controls_)
        if (&c->Parent() == container &&
            (c->widget() || (withLabels && c->kind() == ControlKind::Label)))
            children.push_back(c);
    sortByLayout(children);
    for (Control* c : children) {
        out.push_back(c);
        if (c->kind() == ControlKind::TabControl) {
            const auto* tabs = static_cast<const TabControl*>(c);
            for (int t = 0; t < tabs->Tabs(); ++t)
                appendInTabOrder(&tabs->Page(t), out, withLabels);
        } else if (const auto* inner = dynamic_cast<const Container*>(c)) {
            appendInTabOrder(inner, out, withLabels);
        }
    }
}

std::vector<Control*> Form::tabOrder() const {
    std::vector<Control*> layout;
    appendInTabOrder(this, layout);
    if (givenTabOrder_.empty()) return layout;
    std::vector<Control*> order = givenTabOrder_;
    for (Control* c : layout)
        if (std::find(givenTabOrder_.begin(), givenTabOrder_.end(), c) == givenTabOrder_.end())
            order.push_back(c);
    return order;
}

bool Form::canTakeFocus(const Control* control) const {
    const QWidget* w = control->widget();
    if (!w || !control->Visible() || !control->Enabled() || control->Width() <= 0 ||
        control->Height() <= 0)
        return false;
    if (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() || !w->isVisibleTo(root_))
        return false;
    // Nothing of it shows: its containers cut it off.
    if (root_->isVisible() && w->visibleRegion().isEmpty()) return false;
    if (dynamic_cast<const Container*>(control))
        for (const Control* c : controls_)
            if (&c->Parent() == dynamic_cast<const Container*>(control)) return false;
    return true;
}

std::vector<Control*> Form::tabStops() const {
    std::vector<Control*> stops;
    std::vector<const Container*> groups; // containers whose option button is taken already
    const std::vector<Control*> order = tabOrder();
    for (Control* c : order) {
        if (!canTakeFocus(c)) continue;
        if (c->kind() == ControlKind::OptionButton) {
            const Container* group = &c->Parent();
            if (std::find(groups.begin(), groups.end(), group) != groups.end()) continue;
            // The chosen button of the group, else its first one.
            Control* stop = c;
            for (Control* o : order)
                if (o->kind() == ControlKind::OptionButton && &o->Parent() == group &&
                    static_cast<OptionButton*>(o)->Value() && canTakeFocus(o))
                    stop = o;
            groups.push_back(group);
            stops.push_back(stop);
            continue;
        }
        stops.push_back(c);
    }
    return stops;
}

Control* Form::controlOfWidget(const QWidget* widget) const {
    for (const QWidget* w = widget; w && w != root_; w = w->parentWidget())
        for (Control* c : controls_)
            if (c->widget() == w) return c;
    return nullptr;
}

Control* Form::focusedControl() const {
    return controlOfWidget(QApplication::focusWidget());
}

bool Form::focusNextStop(bool next) {
    const std::vector<Control*> stops = tabStops();
    if (stops.empty()) return true;
    const std::vector<Control*> order = tabOrder();
    Control* target = next ? stops.front() : stops.back();
    const auto at = std::find(order.begin(), order.end(), focusedControl());
    if (at != order.end()) {
        const auto n = std::ptrdiff_t(order.size());
        const std::ptrdiff_t from = at - order.begin();
        for (std::ptrdiff_t step = 1; step <= n; ++step) {
            Control* c = order[size_t(((from + (next ? step : -step)) % n + n) % n)];
            if (std::find(stops.begin(), stops.end(), c) != stops.end()) {
                target = c;
                break;
            }
        }
    }
    target->widget()->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

// ---- Names for assistive technology ----

std::vector<std::pair<Control*, Label*>> Form::fieldLabels() const {
    std::vector<std::pair<Control*, Label*>> pairs;
    if (fields_ == 0) return pairs;
    std::vector<Control*> order;
    appendInTabOrder(this, order, true);
    for (size_t i = 0; i < order.size(); ++i) {
        Control* field = order[i];
        if (!namedByLabel(field->kind())) continue;
        Label* label = nullptr;
        for (size_t j = i; j-- > 0;) {
            Control* c = order[j];
            if (!c->Visible()) continue;
            if (c->kind() == ControlKind::Label) {
                if (&c->Parent() != &field->Parent()) continue;
                label = static_cast<Label*>(c);
                break;
            }
            if (c->widget() && (c->widget()->focusPolicy() & Qt::TabFocus)) break;
        }
        pairs.emplace_back(field, label);
    }
    for (auto& [field, label] : pairs) {
        if (field->kind() != ControlKind::UpDown) continue;
        const Control* buddy = static_cast<const UpDown*>(field)->BuddyControl();
        for (const auto& [other, itsLabel] : pairs)
            if (other == buddy) label = itsLabel;
    }
    for (auto& [field, label] : pairs)
        for (const auto& [named, given] : givenFieldLabels_)
            if (named == field) label = given;
    return pairs;
}

void Form::setFieldLabel(Control& field, Label& label) {
    givenFieldLabels_.emplace_back(&field, &label);
    nameFields();
}

void Form::nameFields() {
    // A form still loading names its fields at the end of its load, or as it shows.
    if (!loaded_ || fields_ == 0 || (loading_ && !visible_)) return;
    // Qt tells a screen reader of every name set, changed or not.
    for (const auto& [field, label] : fieldLabels()) {
        const QString name = label ? label->shownText() : QString();
        if (QWidget* w = field->widget(); w && w->accessibleName() != name)
            w->setAccessibleName(name);
    }
}

// ---- Keys ----

bool Form::previewKey(QKeyEvent* event, bool press) {
    if (!keyPreview_) return false;
    int code = KeyCodeOf(*event);
    const int shift = ShiftOf(event->modifiers());
    if (press) {
        if (code) {
            Form_KeyDown(code, shift);
            if (code == 0) return true;
        }
        if (!event->text().isEmpty()) {
            int ascii = event->text().at(0).unicode();
            Form_KeyPress(ascii);
            if (ascii == 0) return true;
        }
    } else if (code) {
        Form_KeyUp(code, shift);
        if (code == 0) return true;
    }
    return false;
}

bool Form::dialogKey(Control* focus, QKeyEvent* event) {
    const int key = event->key();
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    auto usable = [](Control* c) { return c->Visible() && c->Enabled(); };
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (focus && focus->kind() == ControlKind::CommandButton) {
            if (usable(focus)) focus->raiseEvent(Event::Click);
            return true;
        }
        if (focus && focus->kind() == ControlKind::TextBox &&
            static_cast<TextBox*>(focus)->MultiLine())
            return false;
        for (Control* c : controls_)
            if (c->kind() == ControlKind::CommandButton &&
                static_cast<CommandButton*>(c)->Default() && usable(c)) {
                c->raiseEvent(Event::Click);
                return true;
            }
    } else if (key == Qt::Key_Escape) {
        for (Control* c : controls_)
            if (c->kind() == ControlKind::CommandButton &&
                static_cast<CommandButton*>(c)->Cancel() && usable(c)) {
                c->raiseEvent(Event::Click);
                return true;
            }
    }
    return false;
}

// ---- Aligned controls ----

void Form::alignedChildChanged() {
    layoutAligned();
}

QRect Form::layoutAligned() {
    QRect rest = root_->rect();
    for (Control* c : controls_) {
        if (&c->Parent() != this || c->Align() == vbAlignNone || !c->Visible()) continue;
        const int w = std::min(TwipsToPixels(c->Width()), std::max(0, rest.width()));
        const int h = std::min(TwipsToPixels(c->Height()), std::max(0, rest.height()));
        QRect g;
        switch (c->Align()) {
        case vbAlignTop:
            g = QRect(rest.left(), rest.top(), rest.width(), h);
            rest.setTop(rest.top() + h);
            break;
        case vbAlignBottom:
            g = QRect(rest.left(), rest.bottom() + 1 - h, rest.width(), h);
            rest.setBottom(rest.bottom() - h);
            break;
        case vbAlignLeft:
            g = QRect(rest.left(), rest.top(), w, rest.height());
            rest.setLeft(rest.left() + w);
            break;
        default:
            g = QRect(rest.right() + 1 - w, rest.top(), w, rest.height());
            rest.setRight(rest.right() - w);
            break;
        }
        // The size along the edge follows the form; the other one stays as set.
        const bool horizontal = c->Align() == vbAlignTop || c->Align() == vbAlignBottom;
        c->setGeometryTwips(PixelsToTwips(g.x()), PixelsToTwips(g.y()),
                            horizontal ? PixelsToTwips(g.width()) : c->Width(),
                            horizontal ? c->Height() : PixelsToTwips(g.height()));
    }
    return rest;
}

} // namespace rt
