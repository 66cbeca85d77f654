#include "ui_mdi.h"

#include "ui_dispatch.h"
#include "ui_form_windows.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcut>
#include <QStyle>
#include <algorithm>
#include <utility>
#include <cmath>

namespace rt {

namespace {
MdiForm* g_current = nullptr;

Form* formOf(QMdiSubWindow* w) {
    auto* child = dynamic_cast<MdiChildWindow*>(w);
    return child ? child->form() : nullptr;
}
} // namespace

MdiForm::MdiForm(const QString& name) : Form(name, Type::MdiParent) {
    area_ = new QMdiArea(root());
    area_->setObjectName(QStringLiteral("MDIClient"));
    area_->setBackground(ToQColor(vbApplicationWorkspace));
    area_->viewport()->setMouseTracking(true);
    area_->viewport()->installEventFilter(this);
    area_->setGeometry(root()->rect());
    QObject::connect(area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (!w) {
            // Seen when the last child hides and at teardown: nothing activates.
            if (activeChild_ && !activeChild_->Visible()) activeChild_ = nullptr;
            return;
        }
        dispatch([&] { childActivated(formOf(w)); });
    });
    addKey(QKeySequence(Qt::CTRL | Qt::Key_F4), [this] { closeActiveChild(); });
    addKey(QKeySequence(Qt::CTRL | Qt::Key_F6), [this] { activateNextChild(false); });
    addKey(QKeySequence(Qt::CTRL | Qt::Key_Tab), [this] { activateNextChild(false); });
    addKey(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6), [this] { activateNextChild(true); });
    // Shift+Tab comes as Backtab, with Shift or without, as the keyboard layout has it.
    addKey(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
           [this] { activateNextChild(true); });
    addKey(QKeySequence(Qt::CTRL | Qt::Key_Backtab), [this] { activateNextChild(true); });
    g_current = this;
}

void MdiForm::addKey(const QKeySequence& key, std::function<void()> action) {
    // Anywhere in the main window, child windows included; not in the dialogs it opens.
    auto* shortcut = new QShortcut(key, root());
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, this,
                     [action = std::move(action)] { dispatch(action); });
}

void MdiForm::closeActiveChild() {
    if (!activeChild_ || !activeChild_->Visible() || !activeChild_->subWindow()) return;
    // The close box's own road: the sub-window's close event asks the form.
    activeChild_->subWindow()->close();
}

void MdiForm::activateNextChild(bool backwards) {
    // The shown children, the topmost first; minimised ones among them.
    std::vector<Form*> pile;
    const auto list = area_->subWindowList(QMdiArea::StackingOrder);
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (Form* f = formOf(*it); f && f->Loaded() && f->Visible()) pile.push_back(f);
    if (pile.size() < 2) return;
    if (backwards) {
        activateChild(*pile.back());
        return;
    }
    // The next one is the child under the active one, which goes to the bottom of the pile.
    Form* active = activeChild_ ? activeChild_ : pile.front();
    const auto at = std::find(pile.begin(), pile.end(), active);
    Form* next = (at == pile.end() || at + 1 == pile.end()) ? pile.front() : *(at + 1);
    // It goes down as the next one's activation is announced, before the next one's Activate
    // runs: the pile is then drawn once, where lowering it afterwards had what it covered drawn
    // a second time.
    lowerOnActivation_ = active != next ? active : nullptr;
    activateChild(*next);
    lowerPending();
}

MdiForm::~MdiForm() {
    // The children outlive the parent's window: take their sub-windows out of the area.
    for (Form* child : children_)
        if (child->subWindow()) area_->removeSubWindow(child->subWindow());
    children_.clear();
    if (g_current == this) g_current = nullptr;
}

MdiForm* MdiForm::current() {
    return g_current;
}

std::vector<Form*> MdiForm::children() const {
    return children_;
}

void MdiForm::addChild(Form& child) {
    if (std::find(children_.begin(), children_.end(), &child) != children_.end()) return;
    children_.push_back(&child);
    // Qt gives each sub-window's Close entry the platform's close keys: with the main window's
    // own Ctrl+F4 they would make every such key ambiguous, and none would work.
    if (QMenu* menu = child.subWindow() ? child.subWindow()->systemMenu() : nullptr)
        for (QAction* entry : menu->actions())
            entry->setShortcuts({});
}

void MdiForm::removeChild(Form& child) {
    children_.erase(std::remove(children_.begin(), children_.end(), &child), children_.end());
    if (activeChild_ == &child) activeChild_ = nullptr;
}

void MdiForm::activateChild(Form& child) {
    if (!child.subWindow()) return;
    // Qt announces the new active child at once: its Activate (and the Deactivate of the one
    // before) reaches the code that showed or activated the child.
    throughQt([&] { area_->setActiveSubWindow(child.subWindow()); });
    // Qt stays silent when it still counts the child as active (after a hide, for instance).
    if (activeChild_ != &child) childActivated(&child);
}

void MdiForm::childActivated(Form* child) {
    if (!child || child == activeChild_ || !child->Visible()) return;
    Form* previous = activeChild_;
    activeChild_ = child;
    lowerPending();
    if (previous && previous->Loaded()) previous->Form_Deactivate();
    child->activated();
}

void MdiForm::lowerPending() {
    const QPointer<Form> form = std::exchange(lowerOnActivation_, nullptr);
    if (form && form->subWindow()) form->subWindow()->lower();
}

void MdiForm::childHidden(Form& child) {
    if (activeChild_ != &child) return;
    activeChild_ = nullptr;
    // The original activates the topmost child still shown.
    const auto shown = visibleChildrenTopFirst(false);
    if (!shown.empty())
        activateChild(*shown.front());
    else {
        const auto icons = visibleChildrenTopFirst(true);
        if (!icons.empty()) activateChild(*icons.front());
    }
}

std::vector<Form*> MdiForm::visibleChildrenTopFirst(bool minimised) const {
    std::vector<Form*> result;
    const auto list = area_->subWindowList(QMdiArea::StackingOrder);
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        Form* f = formOf(*it);
        if (!f || !f->Loaded() || !f->Visible()) continue;
        if ((f->WindowState() == vbMinimized) == minimised) result.push_back(f);
    }
    return result;
}

QRect MdiForm::layoutAligned() {
    const QRect rest = Form::layoutAligned();
    area_->setGeometry(rest);
    return rest;
}

bool MdiForm::eventFilter(QObject* watched, QEvent* event) {
    bool used = true;
    dispatch([&] { used = viewportEvent(watched, event); });
    return used;
}

bool MdiForm::viewportEvent(QObject* watched, QEvent* event) {
    if (watched == area_->viewport()) {
        if (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(event);
            // Passed on by a child window: not over the main window's own area.
            if (area_->viewport()->childAt(me->position().toPoint()))
                return Form::eventFilter(watched, event);
            const QPointF p = QPointF(area_->viewport()->mapTo(root(), me->position().toPoint())) *
                              kTwipsPerPixel;
            const int shift = ShiftOf(me->modifiers());
            if (event->type() == QEvent::MouseMove)
                MDIForm_MouseMove(MouseButtonsOf(me->buttons()), shift, float(p.x()), float(p.y()));
            else if (event->type() == QEvent::MouseButtonPress)
                MDIForm_MouseDown(MouseButtonOf(me->button()), shift, float(p.x()), float(p.y()));
            else
                MDIForm_MouseUp(MouseButtonOf(me->button()), shift, float(p.x()), float(p.y()));
        }
    }
    return Form::eventFilter(watched, event);
}

void MdiForm::Arrange(int arrangement) {
    const QRect area = area_->viewport()->rect();
    if (arrangement == vbArrangeIcons) {
        // Minimised children in rows along the bottom, left to right.
        const auto icons = visibleChildrenTopFirst(true);
        int x = 0, y = area.height();
        for (Form* f : icons) {
            QMdiSubWindow* s = f->subWindow();
            const QSize sz = s->size();
            if (x > 0 && x + sz.width() > area.width()) {
                x = 0;
                y -= sz.height();
            }
            if (x == 0 && y == area.height()) y -= sz.height();
            s->move(x, y);
            x += sz.width();
        }
        return;
    }
    std::vector<Form*> wins = visibleChildrenTopFirst(false);
    const int n = int(wins.size());
    if (n == 0) return;
    for (Form* f : wins)
        if (f->WindowState() == vbMaximized) {
            f->windowState_ = vbNormal;
            f->pushVisible();
        }
    if (arrangement == vbCascade) {
        const int step = area_->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
        const int w = std::max(area.width() * 2 / 3, area.width() - step * (n - 1));
        const int h = std::max(area.height() * 2 / 3, area.height() - step * (n - 1));
        // The bottom child first, so that the active one ends in front, furthest in.
        for (int i = 0; i < n; ++i) {
            Form* f = wins[size_t(n - 1 - i)];
            int off = step * i;
            if (off + 40 > area.width() - w || off + 40 > area.height() - h)
                off = step * (i % std::max(1, std::min((area.width() - w) / step,
                                                       (area.height() - h) / step) +
                                                  1));
            f->subWindow()->setGeometry(off, off, w, h);
        }
        return;
    }
    // Tiles: up to three children in one row (vertical tiling) or one column (horizontal);
    // more make a grid, the remainder going to the last column (or row).
    const bool vertical = arrangement == vbTileVertical;
    int lines = 1; // rows of a vertical tiling, columns of a horizontal one
    if (n > 3) lines = int(std::floor(std::sqrt(double(n))));
    const int groups = (n + lines - 1) / lines; // columns (vertical) or rows (horizontal)
    for (int k = 0; k < n; ++k) {
        const int g = k / lines; // the column (or row) of the child
        const int inGroup = (g == groups - 1) ? n - lines * (groups - 1) : lines;
        const int pos = k % lines;
        QRect r;
        if (vertical) {
            const int x0 = area.width() * g / groups, x1 = area.width() * (g + 1) / groups;
            const int y0 = area.height() * pos / inGroup, y1 = area.height() * (pos + 1) / inGroup;
            r = QRect(x0, y0, x1 - x0, y1 - y0);
        } else {
            const int y0 = area.height() * g / groups, y1 = area.height() * (g + 1) / groups;
            const int x0 = area.width() * pos / inGroup, x1 = area.width() * (pos + 1) / inGroup;
            r = QRect(x0, y0, x1 - x0, y1 - y0);
        }
        wins[size_t(k)]->subWindow()->setGeometry(r);
    }
}

} // namespace rt
