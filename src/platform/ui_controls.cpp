#include "ui_controls.h"

#include "core/cp1252.h"
#include "core/rt_error.h"
#include "ui_accessibility.h"
#include "ui_dispatch.h"
#include "ui_form.h"
#include "ui_label_layer.h"

#include <QAccessible>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QValidator>
#include <algorithm>

namespace rt {

namespace {

class ImageWidget : public QWidget {
public:
    explicit ImageWidget(Image* image) : image_(image) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const rt::Picture& pic = image_->Picture();
        if (!pic.isEmpty()) {
            if (image_->Stretch())
                p.drawImage(rect(), pic.image());
            else
                p.drawImage(QPoint(0, 0), pic.image());
        }
        if (image_->BorderStyle() == 1) {
            p.setPen(ToQColor(vbWindowFrame));
            p.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }

private:
    Image* image_;
};

// Limits what the user types; a text set by code is not validated.
// The text without the characters that Windows-1252 cannot hold; Cursor, a position in the
// text, moves back over the characters dropped before it.
QString keepCp1252(const QString& text, int* cursor = nullptr) {
    QString kept;
    kept.reserve(text.size());
    int moved = 0;
    for (qsizetype i = 0; i < text.size();) {
        // A surrogate pair is one character.
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, n);
        if (IsCp1252Text(ch))
            kept += ch;
        else if (cursor && i < *cursor)
            moved += int(n);
        i += n;
    }
    if (cursor) *cursor -= moved;
    return kept;
}

// What a single-line text box takes from the user: at most MaxLength characters, and with
// Cp1252Only none that Windows-1252 lacks.
class TextBoxValidator : public QValidator {
public:
    TextBoxValidator(const int* max, const bool* cp1252Only, QObject* parent)
        : QValidator(parent), max_(max), cp1252Only_(cp1252Only) {}
    State validate(QString& input, int& pos) const override {
        if (*cp1252Only_) input = keepCp1252(input, &pos);
        return (*max_ > 0 && input.size() > *max_) ? Invalid : Acceptable;
    }

private:
    const int* max_;
    const bool* cp1252Only_;
};

QString toDisplayLines(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

} // namespace

// ---- Label ----

Label::Label(Container& parent, const QString& name, int index)
    : Control(ControlKind::Label, parent, name, index) {
    layer_ = &LabelLayer::of(parent.clientWidget());
    layer_->add(this);
    drawnAt_ = placeInHost();
    Refresh();
}

Label::~Label() {
    if (!layer_) return;
    layer_->remove(this);
    if (Visible()) layer_->update(drawnAt_);
}

QWidget* Label::host() const {
    return layer_ ? layer_->host() : nullptr;
}

QRect Label::placeInHost() const {
    return TwipsToPixels(Left(), Top(), Width(), Height());
}

QFont Label::shownFont() const {
    const QWidget* w = host();
    return w ? currentFont().resolve(w->font()) : currentFont();
}

bool Label::shownEnabled() const {
    const QWidget* w = host();
    return Enabled() && (!w || w->isEnabled());
}

void Label::Refresh() {
    if (layer_ && Visible()) layer_->update(placeInHost());
}

void Label::ZOrder(int position) {
    if (!layer_) return;
    layer_->restack(this, position == 0);
    Refresh();
}

void Label::pushGeometry() {
    const QRect place = placeInHost();
    if (place == drawnAt_) return;
    if (layer_ && Visible()) {
        layer_->update(drawnAt_);
        layer_->update(place);
    }
    drawnAt_ = place;
}

void Label::pushVisible() {
    if (layer_) layer_->update(placeInHost());
    accessibleChange(Visible() ? QAccessible::ObjectShow : QAccessible::ObjectHide);
}

void Label::pushEnabled() {
    Refresh();
}

void Label::pushCaption() {
    if (autoSize_) fitToCaption();
    Refresh();
    // A caption set again unchanged is no news to a screen reader, nor to the fields it names.
    if (captionChanged_) accessibleChange(QAccessible::NameChanged);
}

void Label::accessibleChange(int type) {
    if (layer_ && accessibilityListening()) {
        QAccessibleEvent event(this, QAccessible::Event(type));
        notifyAccessibility(event);
    }
    if (Form* f = form()) f->nameFields();
}

void Label::pushColors() {
    Refresh();
}

void Label::pushFont() {
    if (autoSize_) fitToCaption();
    Refresh();
}

void Label::paint(QPainter& p, const QRect& rect) const {
    QRect r = rect;
    if (BackStyle() == 1) p.fillRect(r, ToQColor(BackColor()));
    if (BorderStyle() == 1) {
        p.setPen(ToQColor(vbWindowFrame));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    // A disabled label, or one in a disabled container, shows its text greyed.
    p.setPen(ToQColor(shownEnabled() ? ForeColor() : vbGrayText));
    const QFont font = shownFont();
    p.setFont(font);
    int flags = Qt::AlignTop | Qt::TextWordWrap;
    switch (Alignment()) {
    case vbRightJustify:
        flags |= Qt::AlignRight;
        break;
    case vbCenter:
        flags |= Qt::AlignHCenter;
        break;
    default:
        flags |= Qt::AlignLeft;
        break;
    }
    flags |= UseMnemonic() ? Qt::TextShowMnemonic : 0;
    const QString text = toDisplayLines(Caption());
    // Only whole lines show: a wrapped line that would be cut in half is left out.
    const int spacing = QFontMetrics(font).lineSpacing();
    if (spacing > 0 && r.height() >= spacing) r.setHeight(r.height() / spacing * spacing);
    p.drawText(r, flags, text);
}

QString Label::shownText() const {
    const QString lines = toDisplayLines(Caption());
    return useMnemonic_ ? withoutAccessKey(lines) : lines;
}

void Label::fitToCaption() {
    const QFontMetrics fm(currentFont());
    const int border = borderStyle_ == 1 ? 2 : 0;
    // The size of the text as drawn: an ampersand that marks the next letter takes no room
    // (of "&&" one stays).
    const QString lines = toDisplayLines(Caption());
    QString text;
    text.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i] != u'&' || (i + 1 < lines.size() && lines[i + 1] == u'&')) text += lines[i];
    QRect r;
    if (wordWrap_)
        r = fm.boundingRect(QRect(0, 0, TwipsToPixels(Width()) - border, 100000), Qt::TextWordWrap,
                            text);
    else
        r = fm.boundingRect(QRect(0, 0, 100000, 100000), 0, text);
    const int w = wordWrap_ ? Width() : PixelsToTwips(r.width() + border);
    setGeometryTwips(Left(), Top(), w, PixelsToTwips(std::max(r.height(), fm.height()) + border));
}

void Label::setAlignment(int alignment) {
    if (alignment < 0 || alignment > 2) rt::raise(ErrInvalidProperty);
    alignment_ = alignment;
    Refresh();
}

void Label::setBackStyle(int style) {
    if (style < 0 || style > 1) rt::raise(ErrInvalidProperty);
    backStyle_ = style;
    Refresh();
}

void Label::setBorderStyle(int style) {
    if (style < 0 || style > 1) rt::raise(ErrInvalidProperty);
    borderStyle_ = style;
    if (autoSize_) fitToCaption();
    Refresh();
}

void Label::setAutoSize(bool on) {
    autoSize_ = on;
    if (on) fitToCaption();
}

void Label::setWordWrap(bool on) {
    wordWrap_ = on;
    if (autoSize_) fitToCaption();
    Refresh();
}

void Label::setUseMnemonic(bool on) {
    useMnemonic_ = on;
    Refresh();
}

// ---- TextBox ----

TextBox::TextBox(Container& parent, const QString& name, int index)
    : Control(ControlKind::TextBox, parent, name, index) {
    initColors(vbWindowBackground, vbWindowText);
    build();
}

void TextBox::build() {
    QWidget* old = widget();
    line_ = nullptr;
    multi_ = nullptr;
    QWidget* w;
    if (multiLine_) {
        multi_ = new QPlainTextEdit;
        multi_->setReadOnly(locked_);
        QObject::connect(multi_, &QPlainTextEdit::textChanged, this, [this] {
            if (pushing_) return;
            QString t = multi_->toPlainText();
            if ((maxLength_ > 0 && t.size() > maxLength_) || (cp1252Only_ && !IsCp1252Text(t))) {
                pushText(); // typing beyond the limit, or what the code page lacks, is refused
                return;
            }
            t.replace(u'\n', QStringLiteral("\r\n"));
            dispatch([&] { userEdited(t); });
        });
        w = multi_;
    } else {
        line_ = new QLineEdit;
        line_->setValidator(new TextBoxValidator(&maxLength_, &cp1252Only_, line_));
        line_->setReadOnly(locked_);
        line_->setEchoMode(passwordChar_.isEmpty() ? QLineEdit::Normal : QLineEdit::Password);
        QObject::connect(line_, &QLineEdit::textEdited, this,
                         [this](const QString& t) { dispatch([&] { userEdited(t); }); });
        // A text put in by other means than typing (through the accessibility bus, by a screen
        // reader or a dictation tool) is the user's too, under the rule of what is typed or
        // pasted: what the code page lacks is left out, a text beyond the limit refused.
        QObject::connect(line_, &QLineEdit::textChanged, this, [this](const QString& put) {
            if (pushing_ || put == text_) return;
            QString t = put;
            int at = 0;
            if (line_->validator()->validate(t, at) == QValidator::Invalid) return pushText();
            dispatch([&] { userEdited(t); });
            if (line_ && line_->text() != text_) pushText();
        });
        w = line_;
    }
    attachWidget(w);
    if (multi_) addEventSource(multi_->viewport());
    delete old;
    setAlignment(alignment_);
    pushText();
}

void TextBox::pushText() {
    pushing_ = true;
    if (line_) line_->setText(text_);
    if (multi_) multi_->setPlainText(toDisplayLines(text_));
    pushing_ = false;
}

void TextBox::pushColors() {
    pushColorsTo(widget(), QPalette::Base, QPalette::Text);
}

void TextBox::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    pushText();
    changed(Property::Text);
}

void TextBox::userEdited(const QString& text) {
    if (text == text_) return;
    text_ = text;
    changed(Property::Text);
}

void TextBox::setMaxLength(int length) {
    if (length < 0) rt::raise(ErrInvalidProperty);
    maxLength_ = length;
}

void TextBox::setLocked(bool on) {
    locked_ = on;
    if (line_) line_->setReadOnly(on);
    if (multi_) multi_->setReadOnly(on);
}

void TextBox::setMultiLine(bool on) {
    if (on == multiLine_) return;
    multiLine_ = on;
    build();
}

void TextBox::setPasswordChar(const QString& ch) {
    passwordChar_ = ch.left(1);
    if (line_)
        line_->setEchoMode(passwordChar_.isEmpty() ? QLineEdit::Normal : QLineEdit::Password);
}

void TextBox::setAlignment(int alignment) {
    if (alignment < 0 || alignment > 2) rt::raise(ErrInvalidProperty);
    alignment_ = alignment;
    const Qt::Alignment a = alignment == vbRightJustify ? Qt::AlignRight
                            : alignment == vbCenter     ? Qt::AlignHCenter
                                                        : Qt::AlignLeft;
    if (line_) line_->setAlignment(a | Qt::AlignVCenter);
}

int TextBox::SelStart() const {
    if (line_) return line_->hasSelectedText() ? line_->selectionStart() : line_->cursorPosition();
    if (multi_) return multi_->textCursor().selectionStart();
    return 0;
}

void TextBox::setSelStart(int start) {
    start = std::clamp(start, 0, int(text_.size()));
    if (line_) line_->setCursorPosition(start);
    if (multi_) {
        QTextCursor c = multi_->textCursor();
        c.setPosition(start);
        multi_->setTextCursor(c);
    }
}

int TextBox::SelLength() const {
    if (line_) return int(line_->selectedText().size());
    if (multi_) return int(multi_->textCursor().selectedText().size());
    return 0;
}

void TextBox::setSelLength(int length) {
    const int start = SelStart();
    length = std::clamp(length, 0, int(text_.size()) - start);
    if (line_) line_->setSelection(start, length);
    if (multi_) {
        QTextCursor c = multi_->textCursor();
        c.setPosition(start);
        c.setPosition(start + length, QTextCursor::KeepAnchor);
        multi_->setTextCursor(c);
    }
}

QString TextBox::SelText() const {
    if (line_) return line_->selectedText();
    if (multi_) return multi_->textCursor().selectedText();
    return {};
}

// ---- CommandButton ----

CommandButton::CommandButton(Container& parent, const QString& name, int index)
    : Control(ControlKind::CommandButton, parent, name, index) {
    button_ = new QPushButton;
    button_->setAutoDefault(false);
    QObject::connect(button_, &QPushButton::clicked, this,
                     [this] { dispatch([this] { raiseEvent(Event::Click); }); });
    attachWidget(button_);
}

void CommandButton::pushCaption() {
    button_->setText(Caption());
    nameByToolTip();
}

void CommandButton::pushToolTip() {
    Control::pushToolTip();
    nameByToolTip();
}

void CommandButton::nameByToolTip() {
    // A button that shows only its picture is named by its tip for a screen reader, as the
    // toolbar's are; one with a caption by the caption.
    const QString name = Caption().isEmpty() ? ToolTipText() : QString();
    if (button_->accessibleName() != name) button_->setAccessibleName(name);
}

void CommandButton::pushColors() {
    pushColorsTo(button_, QPalette::Button, QPalette::ButtonText);
}

void CommandButton::setDefault(bool on) {
    default_ = on;
    if (on && form())
        for (Control* c : form()->Controls())
            if (c != this && c->kind() == ControlKind::CommandButton)
                static_cast<CommandButton*>(c)->default_ = false;
    button_->setDefault(on);
}

void CommandButton::setStyle(int style) {
    if (style < 0 || style > 1) rt::raise(ErrInvalidProperty);
    style_ = style;
    pushPictures();
}

void CommandButton::setPicture(const rt::Picture& picture) {
    picture_ = picture;
    pushPictures();
}

void CommandButton::setDisabledPicture(const rt::Picture& picture) {
    disabledPicture_ = picture;
    pushPictures();
}

void CommandButton::pushPictures() {
    if (style_ != 1 || picture_.isEmpty()) {
        button_->setIcon(QIcon());
        return;
    }
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(picture_.image()), QIcon::Normal);
    if (!disabledPicture_.isEmpty())
        icon.addPixmap(QPixmap::fromImage(disabledPicture_.image()), QIcon::Disabled);
    button_->setIcon(icon);
    button_->setIconSize(picture_.image().size());
}

void CommandButton::setValue(bool value) {
    changed(Property::Value, value);
}

// ---- CheckBox ----

CheckBox::CheckBox(Container& parent, const QString& name, int index)
    : Control(ControlKind::CheckBox, parent, name, index) {
    box_ = new QCheckBox;
    QObject::connect(box_, &QCheckBox::clicked, this,
                     [this] { dispatch([this] { userClicked(); }); });
    attachWidget(box_);
    pushValue();
}

void CheckBox::pushCaption() {
    box_->setText(Caption());
}

void CheckBox::pushColors() {
    pushColorsTo(box_, QPalette::Window, QPalette::WindowText);
}

void CheckBox::pushValue() {
    pushing_ = true;
    box_->setTristate(value_ == vbGrayed);
    box_->setCheckState(value_ == vbChecked  ? Qt::Checked
                        : value_ == vbGrayed ? Qt::PartiallyChecked
                                             : Qt::Unchecked);
    pushing_ = false;
}

void CheckBox::setValue(int value) {
    if (value < vbUnchecked || value > vbGrayed) rt::raise(ErrInvalidProperty);
    if (value == value_) return;
    value_ = value;
    pushValue();
    changed(Property::Value, value != vbUnchecked);
}

void CheckBox::userClicked() {
    // Checked becomes unchecked; unchecked and grey become checked. Never grey by a click.
    setValue(value_ == vbChecked ? vbUnchecked : vbChecked);
    pushValue();
}

void CheckBox::setAlignment(int alignment) {
    if (alignment < 0 || alignment > 1) rt::raise(ErrInvalidProperty);
    alignment_ = alignment;
    box_->setLayoutDirection(alignment == vbRightJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

// ---- OptionButton ----

OptionButton::OptionButton(Container& parent, const QString& name, int index)
    : Control(ControlKind::OptionButton, parent, name, index) {
    button_ = new QRadioButton;
    button_->setAutoExclusive(false);
    QObject::connect(button_, &QRadioButton::clicked, this, [this] {
        dispatch([this] { setValue(true); });
        pushValue();
    });
    attachWidget(button_);
}

void OptionButton::pushCaption() {
    button_->setText(Caption());
}

void OptionButton::pushColors() {
    pushColorsTo(button_, QPalette::Window, QPalette::WindowText);
}

void OptionButton::pushValue() {
    pushing_ = true;
    button_->setChecked(value_);
    pushing_ = false;
}

void OptionButton::setValue(bool value) {
    if (value == value_) return;
    value_ = value;
    pushValue();
    if (value && form())
        for (Control* c : form()->Controls())
            if (c != this && c->kind() == ControlKind::OptionButton && &c->Parent() == &Parent()) {
                auto* o = static_cast<OptionButton*>(c);
                if (o->value_) {
                    o->value_ = false;
                    o->pushValue();
                }
            }
    changed(Property::Value, value);
}

bool OptionButton::filterEvent(QObject* watched, QEvent* event) {
    if (Control::filterEvent(watched, event)) return true;
    if (event->type() != QEvent::KeyPress || watched != button_ || !form()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    int step = 0;
    if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Left)
        step = -1;
    else if (key->key() == Qt::Key_Down || key->key() == Qt::Key_Right)
        step = 1;
    else
        return false;
    // The group's buttons that can take the focus, in tab order; the arrows go round them.
    std::vector<OptionButton*> group;
    for (Control* c : form()->tabOrder())
        if (c->kind() == ControlKind::OptionButton && &c->Parent() == &Parent() &&
            (c == this || form()->canTakeFocus(c)))
            group.push_back(static_cast<OptionButton*>(c));
    const auto at = std::find(group.begin(), group.end(), this);
    if (group.size() < 2 || at == group.end()) return true;
    const auto n = std::ptrdiff_t(group.size());
    OptionButton* next = group[size_t((at - group.begin() + step + n) % n)];
    QPointer<OptionButton> target(next);
    next->button_->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    if (target) target->setValue(true);
    return true;
}

// ---- Frame ----

Frame::Frame(Container& parent, const QString& name, int index)
    : Control(ControlKind::Frame, parent, name, index) {
    box_ = new QGroupBox;
    attachWidget(box_);
}

QWidget* Frame::clientWidget() const {
    return box_;
}

void Frame::pushCaption() {
    box_->setTitle(Caption());
}

// ---- Image ----

Image::Image(Container& parent, const QString& name, int index)
    : Control(ControlKind::Image, parent, name, index) {
    attachWidget(new ImageWidget(this));
}

void Image::setPicture(const rt::Picture& picture) {
    picture_ = picture;
    if (!stretch_ && !picture.isEmpty())
        setGeometryTwips(Left(), Top(), PixelsToTwips(picture.width()),
                         PixelsToTwips(picture.height()));
    Refresh();
}

void Image::setStretch(bool on) {
    stretch_ = on;
    if (!on) setPicture(picture_);
    Refresh();
}

void Image::setBorderStyle(int style) {
    if (style < 0 || style > 1) rt::raise(ErrInvalidProperty);
    borderStyle_ = style;
    Refresh();
}

// ---- ScrollBar ----

ScrollBar::ScrollBar(Qt::Orientation orientation, Container& parent, const QString& name, int index)
    : Control(ControlKind::ScrollBar, parent, name, index) {
    bar_ = new QScrollBar(orientation);
    QObject::connect(bar_, &QScrollBar::valueChanged, this, [this](int v) {
        if (pushing_ || v == value_) return;
        value_ = v;
        dispatch([this] { changed(Property::Value); });
    });
    QObject::connect(bar_, &QScrollBar::sliderMoved, this, [this](int) {
        if (onScroll) dispatch(onScroll);
    });
    attachWidget(bar_);
    pushRange();
}

void ScrollBar::pushRange() {
    pushing_ = true;
    bar_->setRange(std::min(min_, max_), std::max(min_, max_));
    bar_->setInvertedAppearance(min_ > max_);
    bar_->setSingleStep(small_);
    bar_->setPageStep(large_);
    bar_->setValue(value_);
    pushing_ = false;
}

void ScrollBar::setMin(int v) {
    min_ = v;
    if (value_ < std::min(min_, max_) || value_ > std::max(min_, max_)) value_ = min_;
    pushRange();
}

void ScrollBar::setMax(int v) {
    max_ = v;
    if (value_ < std::min(min_, max_) || value_ > std::max(min_, max_)) value_ = min_;
    pushRange();
}

void ScrollBar::setValue(int v) {
    if (v < std::min(min_, max_) || v > std::max(min_, max_)) rt::raise(ErrInvalidProperty);
    if (v == value_) return;
    value_ = v;
    pushRange();
    changed(Property::Value);
}

void ScrollBar::setSmallChange(int v) {
    if (v < 1) rt::raise(ErrInvalidProperty);
    small_ = v;
    pushRange();
}

void ScrollBar::setLargeChange(int v) {
    if (v < 1) rt::raise(ErrInvalidProperty);
    large_ = v;
    pushRange();
}

} // namespace rt
