#include "ui_control.h"

#include "core/rt_error.h"
#include "ui_dispatch.h"
#include "ui_form.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace rt {

namespace {
// The key event a control handled last, and the widget it reached it through. Qt passes a key
// that the widget leaves on to its parents, one after the other, with the same event.
struct HandledKey {
    const QKeyEvent* event = nullptr;
    QEvent::Type type = QEvent::None;
    int key = 0;
    quint64 timestamp = 0;
    QPointer<QWidget> by;
    bool is(const QKeyEvent* e) const {
        return e == event && e->type() == type && e->key() == key && e->timestamp() == timestamp;
    }
};
HandledKey g_handledKey;

// The mouse event a control handled last, and the widget it reached it through. Qt passes a
// mouse event that a widget leaves on to its parent as a copy: a control whose own widget holds
// the one that handled it (a picture box's frame round its client area) has had it already.
struct HandledMouse {
    const QObject* control = nullptr;
    const QObject* through = nullptr;
    QEvent::Type type = QEvent::None;
    quint64 timestamp = 0;
    QPointF global;
    Qt::MouseButton button = Qt::NoButton;
    Qt::MouseButtons buttons;
    bool passedOn(const QObject* c, const QObject* w, const QMouseEvent* e) const {
        return c == control && w != through && e->type() == type && e->timestamp() == timestamp &&
               e->globalPosition() == global && e->button() == button && e->buttons() == buttons;
    }
};
HandledMouse g_handledMouse;

// A list draws the focus only round its current row, where the selection's colour hides it: a
// frame round the whole list shows which list has the focus. One frame serves every list, as
// one widget has the focus at a time.
QPointer<QFocusFrame>& listFocusFrame() {
    static QPointer<QFocusFrame> frame;
    return frame;
}

void showListFocus(QWidget* widget, bool focused) {
    QPointer<QFocusFrame>& frame = listFocusFrame();
    if (focused) {
        if (!qobject_cast<QAbstractItemView*>(widget)) return;
        if (!frame) frame = new QFocusFrame(widget);
        frame->setWidget(widget);
        frame->show();
    } else if (frame && frame->widget() == widget) {
        frame->setWidget(nullptr);
        frame->hide();
    }
}
} // namespace

bool keyHandledWithin(const QWidget* container, const QKeyEvent* event) {
    return container && g_handledKey.is(event) && g_handledKey.by && container != g_handledKey.by &&
           container->isAncestorOf(g_handledKey.by);
}

void raiseSubscriptError() {
    rt::raise(ErrSubscript);
}
void raiseAlreadyLoadedError() {
    throw RtError(360, QStringLiteral("Objet déjà chargé"), QString::fromLatin1(kAppTitle));
}

Control::Control(ControlKind kind, Container& parent, const QString& name, int index)
    : parent_(&parent), name_(name), kind_(kind), index_(index), backColor_(vbButtonFace),
      foreColor_(vbButtonText) {
    const QFont f = QApplication::font();
    fontName_ = f.family();
    fontSize_ = f.pointSizeF() > 0 ? f.pointSizeF() : 9;
    if (Form* form = parent.form()) form->registerControl(this);
}

Control::~Control() {
    if (Form* f = parent_->form()) f->unregisterControl(this);
    showListFocus(widget_, false);
    if (widget_) delete widget_.data();
}

void Control::attachWidget(QWidget* widget) {
    widget_ = widget;
    widget->setParent(parent_->clientWidget());
    widget->installEventFilter(this);
    widget->setMouseTracking(true);
    pushing_ = true;
    pushGeometry();
    pushColors();
    pushFont();
    pushCaption();
    pushEnabled();
    pushToolTip();
    pushing_ = false;
    pushVisible();
}

void Control::addEventSource(QWidget* source) {
    source->installEventFilter(this);
    source->setMouseTracking(true);
}

void Control::changed(Property property, bool newValueIsTrue) {
    const Event e = eventOnChange(kind_, property, newValueIsTrue);
    if (e != Event::None) raiseEvent(e);
}

void Control::raiseEvent(Event event) {
    switch (event) {
    case Event::Click:
        if (onClick) onClick();
        break;
    case Event::Change:
        if (onChange) onChange();
        break;
    default:
        break;
    }
}

// ---- Geometry ----

void Control::pushGeometry() {
    if (widget_) widget_->setGeometry(TwipsToPixels(left_, top_, width_, height_));
}

void Control::setGeometryTwips(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    pushGeometry();
}

void Control::setLeft(int twips) {
    Move(twips);
}
void Control::setTop(int twips) {
    Move(left_, twips);
}
void Control::setWidth(int twips) {
    Move(left_, top_, twips);
}
void Control::setHeight(int twips) {
    Move(left_, top_, width_, twips);
}

void Control::Move(int left, std::optional<int> top, std::optional<int> width,
                   std::optional<int> height) {
    if ((width && *width < 0) || (height && *height < 0)) rt::raise(ErrInvalidProperty);
    setGeometryTwips(left, top.value_or(top_), width.value_or(width_), height.value_or(height_));
    if (align_ != vbAlignNone) parent_->alignedChildChanged();
}

void Control::setAlign(int align) {
    if (align < vbAlignNone || align > vbAlignRight) rt::raise(ErrInvalidProperty);
    align_ = align;
    parent_->alignedChildChanged();
}

// ---- State ----

void Control::pushVisible() {
    if (widget_) widget_->setVisible(visible_);
}

void Control::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    pushVisible();
    if (align_ != vbAlignNone) parent_->alignedChildChanged();
}

void Control::pushEnabled() {
    if (widget_) widget_->setEnabled(enabled_);
}

void Control::setEnabled(bool enabled) {
    enabled_ = enabled;
    pushEnabled();
}

namespace {
const QString& noText() {
    static const QString none;
    return none;
}
} // namespace

Control::Rare& Control::rare() {
    if (!rare_) rare_ = std::make_unique<Rare>();
    return *rare_;
}

const QString& Control::Tag() const {
    return rare_ ? rare_->tag : noText();
}

void Control::setTag(const QString& tag) {
    if (rare_ || !tag.isNull()) rare().tag = tag;
}

const QString& Control::ToolTipText() const {
    return rare_ ? rare_->toolTip : noText();
}

void Control::setToolTipText(const QString& text) {
    if (rare_ || !text.isNull()) rare().toolTip = text;
    pushToolTip();
}

void Control::pushToolTip() {
    if (widget_) widget_->setToolTip(ToolTipText());
}

// ---- Appearance ----

void Control::pushColorsTo(QWidget* widget, QPalette::ColorRole back, QPalette::ColorRole text) {
    if (!widget) return;
    QPalette pal = widget->palette();
    pal.setColor(back, ToQColor(backColor_));
    SetTextColor(pal, text, foreColor_);
    widget->setPalette(pal);
}

void Control::pushColors() {
    pushColorsTo(widget_, QPalette::Window, QPalette::WindowText);
}

void Control::setBackColor(OleColor color) {
    backColor_ = color;
    pushColors();
}

void Control::setForeColor(OleColor color) {
    foreColor_ = color;
    pushForeColor();
}

void Control::setCaption(const QString& caption) {
    captionChanged_ = caption_ != caption;
    caption_ = caption;
    pushCaption();
}

QFont Control::currentFont() const {
    QFont f = QApplication::font();
    if (!fontName_.isEmpty()) f.setFamily(fontName_);
    if (fontSize_ > 0) f.setPointSizeF(fontSize_);
    f.setBold(fontBold_);
    f.setItalic(fontItalic_);
    f.setUnderline(fontUnderline_);
    f.setStrikeOut(fontStrikethru_);
    return f;
}

void Control::pushFont() {
    if (widget_) widget_->setFont(currentFont());
}

void Control::setFontName(const QString& name) {
    fontName_ = name;
    pushFont();
}
void Control::setFontSize(double points) {
    if (points <= 0) rt::raise(ErrInvalidProperty);
    fontSize_ = points;
    pushFont();
}
void Control::setFontBold(bool on) {
    fontBold_ = on;
    pushFont();
}
void Control::setFontItalic(bool on) {
    fontItalic_ = on;
    pushFont();
}
void Control::setFontUnderline(bool on) {
    fontUnderline_ = on;
    pushFont();
}
void Control::setFontStrikethru(bool on) {
    fontStrikethru_ = on;
    pushFont();
}

// ---- Methods ----

void Control::ZOrder(int position) {
    if (!widget_) return;
    if (position == 0)
        widget_->raise();
    else
        widget_->lower();
}

void Control::SetFocus() {
    if (!visible_ || !enabled_) rt::raise(ErrInvalidCall);
    if (widget_) widget_->setFocus(Qt::OtherFocusReason);
}

void Control::Refresh() {
    if (widget_) widget_->update();
}

// ---- User input ----

QPointF Control::toScale(QPointF pixels) const {
    return QPointF(pixels.x() * kTwipsPerPixel, pixels.y() * kTwipsPerPixel);
}

bool Control::handleKey(QKeyEvent* event, bool press) {
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) return false;
    Form* f = form();
    if (f && f->previewKey(event, press)) return true;
    int code = KeyCodeOf(*event);
    const int shift = ShiftOf(event->modifiers());
    if (press) {
        if (code != 0 && onKeyDown) {
            onKeyDown(code, shift);
            if (code == 0) return true;
        }
        if (!event->text().isEmpty() && onKeyPress) {
            int ascii = event->text().at(0).unicode();
            onKeyPress(ascii);
            if (ascii == 0) return true;
        }
        if (f && f->dialogKey(this, event)) return true;
    } else if (code != 0 && onKeyUp) {
        onKeyUp(code, shift);
        if (code == 0) return true;
    }
    return false;
}

bool Control::eventFilter(QObject* watched, QEvent* event) {
    bool used = true;
    dispatch([&] { used = filterEvent(watched, event); });
    return used;
}

bool Control::filterEvent(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (g_handledMouse.passedOn(this, watched, me)) return false;
        g_handledMouse = {
            this,         watched,      me->type(), me->timestamp(), me->globalPosition(),
            me->button(), me->buttons()};
        QPointF pos = me->position();
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && widget_ && w != widget_) pos = w->mapTo(widget_.data(), pos.toPoint());
        const QPointF at = toScale(pos);
        const int shift = ShiftOf(me->modifiers());
        const float x = float(at.x()), y = float(at.y());
        if (event->type() == QEvent::MouseMove) {
            if (onMouseMove) onMouseMove(MouseButtonsOf(me->buttons()), shift, x, y);
        } else if (event->type() == QEvent::MouseButtonPress) {
            if (me->button() == Qt::LeftButton) pressedInside_ = true;
            if (onMouseDown) onMouseDown(MouseButtonOf(me->button()), shift, x, y);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const bool click = clicksOnMouseUp() && me->button() == Qt::LeftButton &&
                               pressedInside_ && ownRect().contains(pos.toPoint());
            if (me->button() == Qt::LeftButton) pressedInside_ = false;
            QPointer<Control> self(this);
            if (onMouseUp) onMouseUp(MouseButtonOf(me->button()), shift, x, y);
            if (self && click) raiseEvent(Event::Click);
        } else if (clicksOnMouseUp() && me->button() == Qt::LeftButton) {
            if (onDblClick) onDblClick();
        }
        break;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // A key belongs to the control under the focus alone: one press runs its handlers and
        // the form's preview once, though Qt offers it to the containers around it as well
        // (after its handler's message box, the focus may be anywhere).
        auto* key = static_cast<QKeyEvent*>(event);
        if (keyHandledWithin(qobject_cast<QWidget*>(watched), key)) return false;
        const HandledKey seen{key, key->type(), key->key(), key->timestamp(),
                              qobject_cast<QWidget*>(watched)};
        g_handledKey = seen;
        const bool used = handleKey(key, event->type() == QEvent::KeyPress);
        g_handledKey = seen; // the handlers may have handled other keys meanwhile
        return used;
    }
    case QEvent::FocusIn:
        if (watched == widget_) showListFocus(widget_, true);
        if (onGotFocus) onGotFocus();
        break;
    case QEvent::FocusOut:
        if (watched == widget_) showListFocus(widget_, false);
        if (onLostFocus) onLostFocus();
        break;
    default:
        break;
    }
    return false;
}

} // namespace rt
