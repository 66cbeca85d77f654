#include "ui_date_picker.h"

#include "core/rt_error.h"
#include "core/system.h"
#include "ui_dispatch.h"

#include <QAction>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <climits>
#include <functional>
#include <vector>

namespace rt {

// The field of a date picker: a line edit whose text is the parts of a date, one of them
// selected, and which takes keys part by part instead of as free text. It holds the parts as
// typed; the picker decides when they are taken as a date.
class DateField : public QLineEdit {
public:
    DateField();

    // Splits a Qt date format into parts and literal text.
    void setFormat(const QString& format);
    // Shows the date, dropping what was typed; the selected part stays.
    void showDate(const QDate& date);
    // The parts were typed or cleared since the date was last shown.
    bool edited() const { return edited_; }
    // The date the parts make; invalid when they make none.
    QDate typedDate() const;

    std::function<void(char part, int steps)> onStep;
    std::function<void()> onCalendar;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override { mousePressEvent(event); }
    // A drag selects nothing: the selection is always one whole part.
    void mouseMoveEvent(QMouseEvent*) override {}

private:
    struct Section {
        char kind = 0;             // 'd', 'M', 'y', 'w' (weekday name, shown only) or 0 for text
        int letters = 0;           // the letters of its pattern: dd is 2, MMMM 4
        QString text;              // the literal text of a text section
        int start = 0, length = 0; // where the last text shown has it
        bool editable() const { return kind == 'd' || kind == 'M' || kind == 'y'; }
    };
    int valueOf(char kind) const;
    QString shown(const Section& s) const;
    // Ends the typing of the selected part: the digits typed become its number.
    void commitTyping();
    void select(int section);
    void moveBy(int direction);
    void typeDigit(QChar digit);
    bool isSeparator(QChar c) const;
    int firstEditable() const;
    void render();

    std::vector<Section> sections_;
    int day_ = 1, month_ = 1, year_ = 2000; // -1 for a part cleared
    QDate base_;                            // the date last shown
    int current_ = -1;                      // the selected section
    QString typing_;                        // the digits typed into it since it was selected
    bool edited_ = false;
};

// The arrow a combo box shows, drawn by the style: the icon theme's "down" is a navigation
// arrow, not the mark of a drop-down.
static QIcon dropArrowIcon(QStyle* style) {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QStyleOption option;
    option.rect = pixmap.rect();
    option.palette.setColor(QPalette::ButtonText, Qt::black);
    option.state = QStyle::State_Enabled;
    style->drawPrimitive(QStyle::PE_IndicatorArrowDown, &option, &painter);
    painter.end();
    return QIcon(pixmap);
}

DateField::DateField() {
    setContextMenuPolicy(Qt::NoContextMenu); // its entries edit free text
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    QAction* drop = addAction(dropArrowIcon(style()), TrailingPosition);
    QObject::connect(drop, &QAction::triggered, this, [this] {
        if (onCalendar) onCalendar();
    });
}

void DateField::setFormat(const QString& format) {
    sections_.clear();
    auto addText = [this](const QString& text) {
        if (sections_.empty() || sections_.back().kind != 0) sections_.push_back(Section{});
        sections_.back().text += text;
    };
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'') {
            // Quoted text; two quotes stand for one.
            const qsizetype end = format.indexOf(u'\'', i + 1);
            if (end == i + 1) {
                addText(QStringLiteral("'"));
            } else {
                addText(format.mid(i + 1, end < 0 ? -1 : end - i - 1)
                            .replace(QStringLiteral("''"), QStringLiteral("'")));
            }
            i = end < 0 ? format.size() : end + 1;
            continue;
        }
        if (c != u'd' && c != u'M' && c != u'y') {
            addText(QString(c));
            ++i;
            continue;
        }
        qsizetype n = 1;
        while (i + n < format.size() && format[i + n] == c)
            ++n;
        i += n;
        Section s;
        s.letters = int(std::min<qsizetype>(n, 4));
        s.kind = c == u'd' ? (s.letters > 2 ? 'w' : 'd') : char(c.unicode());
        if (s.kind == 'y') s.letters = s.letters == 2 ? 2 : 4;
        sections_.push_back(s);
    }
    if (current_ < 0 || current_ >= int(sections_.size()) || !sections_[current_].editable())
        current_ = firstEditable();
}

int DateField::firstEditable() const {
    for (int i = 0; i < int(sections_.size()); ++i)
        if (sections_[i].editable()) return i;
    return -1;
}

void DateField::showDate(const QDate& date) {
    base_ = date;
    day_ = date.day();
    month_ = date.month();
    year_ = date.year();
    typing_.clear();
    edited_ = false;
    render();
}

int DateField::valueOf(char kind) const {
    int v = kind == 'd' ? day_ : kind == 'M' ? month_ : year_;
    if (current_ >= 0 && sections_[current_].kind == kind && !typing_.isEmpty()) {
        v = typing_.toInt();
        // A year of one or two digits falls in 1930 .. 2029.
        if (kind == 'y' && typing_.size() <= 2) v += v < 30 ? 2000 : 1900;
    }
    return v;
}

QDate DateField::typedDate() const {
    // Parts the format does not show keep those of the date last shown.
    auto part = [this](char kind, int shown) {
        for (const Section& s : sections_)
            if (s.kind == kind) return valueOf(kind);
        return shown;
    };
    const int d = part('d', base_.day()), m = part('M', base_.month()), y = part('y', base_.year());
    if (d < 0 || m < 0 || y < 0) return {};
    return QDate(y, m, d); // invalid when the parts make no date
}

QString DateField::shown(const Section& s) const {
    if (s.kind == 0) return s.text;
    if (s.kind == 'w') {
        const QDate d = typedDate();
        return d.isValid() ? locale().dayName(d.dayOfWeek(), s.letters == 3 ? QLocale::ShortFormat
                                                                            : QLocale::LongFormat)
                           : QString();
    }
    if (current_ >= 0 && &s == &sections_[current_] && !typing_.isEmpty()) return typing_;
    const int v = s.kind == 'd' ? day_ : s.kind == 'M' ? month_ : year_;
    if (v < 0) return QString(s.kind == 'y' ? 4 : 2, u'-');
    if (s.kind == 'M' && s.letters > 2 && v >= 1 && v <= 12)
        return locale().monthName(v, s.letters == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
    if (s.kind == 'y')
        return s.letters == 2 ? QStringLiteral("%1").arg(v % 100, 2, 10, QLatin1Char('0'))
                              : QStringLiteral("%1").arg(v, 4, 10, QLatin1Char('0'));
    return QStringLiteral("%1").arg(v, s.letters == 1 ? 1 : 2, 10, QLatin1Char('0'));
}

void DateField::render() {
    QString text;
    for (Section& s : sections_) {
        const QString part = shown(s);
        s.start = int(text.size());
        s.length = int(part.size());
        text += part;
    }
    setText(text);
    if (current_ >= 0 && hasFocus())
        setSelection(sections_[current_].start, sections_[current_].length);
}

void DateField::commitTyping() {
    if (typing_.isEmpty()) return;
    const char kind = sections_[current_].kind;
    const int v = valueOf(kind);
    (kind == 'd' ? day_ : kind == 'M' ? month_ : year_) = v;
    typing_.clear();
}

void DateField::select(int section) {
    commitTyping();
    current_ = section;
    render();
}

void DateField::moveBy(int direction) {
    for (int i = current_ + direction; i >= 0 && i < int(sections_.size()); i += direction) {
        if (sections_[i].editable()) {
            select(i);
            return;
        }
    }
    select(current_); // at either end the part stays selected, its typing ended
}

void DateField::typeDigit(QChar digit) {
    typing_ += digit;
    edited_ = true;
    const int full = sections_[current_].kind == 'y' ? 4 : 2;
    if (typing_.size() >= full)
        moveBy(1);
    else
        render();
}

bool DateField::isSeparator(QChar c) const {
    if (c == u'/' || c == u'.' || c == u'-' || c == u' ') return true;
    for (const Section& s : sections_)
        if (s.kind == 0 && s.text.contains(c)) return true;
    return false;
}

void DateField::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        // Taken by the picker already; the key goes on to the form, as a spin box's does.
        event->ignore();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (key == Qt::Key_F4 || (alt && (key == Qt::Key_Down || key == Qt::Key_Up))) {
        if (onCalendar) onCalendar();
        return;
    }
    if (current_ < 0) return;
    const QString text = event->text();
    const QChar c = text.size() == 1 ? text[0] : QChar();
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        moveBy(key == Qt::Key_Left ? -1 : 1);
    } else if (key == Qt::Key_Up || key == Qt::Key_Down) {
        if (onStep) onStep(sections_[current_].kind, key == Qt::Key_Up ? 1 : -1);
    } else if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        typing_.clear();
        (sections_[current_].kind == 'd'   ? day_
         : sections_[current_].kind == 'M' ? month_
                                           : year_) = -1;
        edited_ = true;
        render();
    } else if (c >= u'0' && c <= u'9') {
        typeDigit(c);
    } else if (!c.isNull() && isSeparator(c) && !typing_.isEmpty()) {
        // A separator ends a part typed short; after a full part, which moved on by itself,
        // it does nothing.
        moveBy(1);
    }
}

void DateField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // Back from the calendar or another window the same part is selected; else the first.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
        current_ = firstEditable();
    select(current_);
}

void DateField::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    if (event->button() != Qt::LeftButton || current_ < 0) return;
    // The part under the click, or the nearest one.
    const int at = cursorPositionAt(event->position().toPoint());
    int best = current_, distance = INT_MAX;
    for (int i = 0; i < int(sections_.size()); ++i) {
        const Section& s = sections_[i];
        if (!s.editable()) continue;
        const int d = at < s.start              ? s.start - at
                      : at > s.start + s.length ? at - s.start - s.length
                                                : 0;
        if (d < distance) {
            best = i;
            distance = d;
        }
    }
    select(best);
}

// ---- Date picker ----

DTPicker::DTPicker(Container& parent, const QString& name, int index)
    : Control(ControlKind::DTPicker, parent, name, index), value_(sys().today()) {
    initColors(vbWindowBackground, vbWindowText);
    edit_ = new DateField;
    edit_->onStep = [this](char part, int steps) { dispatch([&] { userStep(part, steps); }); };
    edit_->onCalendar = [this] { dispatch([&] { openCalendar(); }); };
    attachWidget(edit_);
    push();
}

void DTPicker::takeTypedDate() {
    if (pushing_ || !edit_->edited()) return;
    const QDate typed = edit_->typedDate();
    const bool taken = typed.isValid() && typed >= minDate_ && typed <= maxDate_ && typed != value_;
    if (taken) value_ = typed;
    // The field shows the date taken, or its date again; the typing is over before Change
    // runs, so a handler that reads the date takes nothing more.
    edit_->showDate(value_);
    if (taken) changed(Property::Value);
}

void DTPicker::userStep(char part, int steps) {
    takeTypedDate();
    QDate d = value_;
    auto wrap = [](int v, int steps, int count) {
        return ((v - 1 + steps) % count + count) % count + 1;
    };
    if (part == 'd') {
        d = QDate(d.year(), d.month(), wrap(d.day(), steps, d.daysInMonth()));
    } else if (part == 'M') {
        const int month = wrap(d.month(), steps, 12);
        d = QDate(d.year(), month, std::min(d.day(), QDate(d.year(), month, 1).daysInMonth()));
    } else {
        d = d.addYears(steps);
    }
    userChanged(std::clamp(d, minDate_, maxDate_));
}

void DTPicker::openCalendar() {
    takeTypedDate();
    // One calendar per field, a pop-up window that closes on a click outside it.
    auto* calendar = edit_->findChild<QCalendarWidget*>();
    if (!calendar) {
        calendar = new QCalendarWidget(edit_);
        calendar->setWindowFlags(Qt::Popup);
        QObject::connect(calendar, &QCalendarWidget::clicked, edit_, [this, calendar](QDate d) {
            calendar->hide();
            dispatch([&] { userChanged(d); });
        });
        QObject::connect(calendar, &QCalendarWidget::activated, calendar,
                         &QCalendarWidget::clicked);
    }
    calendar->setDateRange(minDate_, maxDate_);
    calendar->setSelectedDate(value_);
    calendar->adjustSize();
    calendar->move(edit_->mapToGlobal(QPoint(0, edit_->height())));
    calendar->show();
    calendar->setFocus(Qt::PopupFocusReason);
}

bool DTPicker::filterEvent(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        takeTypedDate();
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) takeTypedDate();
    }
    return Control::filterEvent(watched, event);
}

void DTPicker::pushColors() {
    pushColorsTo(edit_, QPalette::Base, QPalette::Text);
}

void DTPicker::push() {
    pushing_ = true;
    edit_->setFormat(customFormat_.isEmpty() ? QLocale().dateFormat(QLocale::ShortFormat)
                                             : customFormat_);
    edit_->showDate(value_);
    pushing_ = false;
}

void DTPicker::setValue(const QDate& date) {
    if (!date.isValid() || date < minDate_ || date > maxDate_) rt::raise(ErrInvalidProperty);
    if (date == value_) {
        // A date written by code replaces a typed one, without a Change.
        if (edit_->edited()) push();
        return;
    }
    value_ = date;
    push();
    changed(Property::Value);
}

void DTPicker::userChanged(const QDate& date) {
    if (!date.isValid() || date == value_) return;
    value_ = date;
    edit_->showDate(value_);
    changed(Property::Value);
}

void DTPicker::setMinDate(const QDate& d) {
    if (!d.isValid() || d > maxDate_) rt::raise(ErrInvalidProperty);
    minDate_ = d;
    if (value_ < d) value_ = d;
    push();
}

void DTPicker::setMaxDate(const QDate& d) {
    if (!d.isValid() || d < minDate_) rt::raise(ErrInvalidProperty);
    maxDate_ = d;
    if (value_ > d) value_ = d;
    push();
}

void DTPicker::setCustomFormat(const QString& format) {
    customFormat_ = format;
    push();
}

} // namespace rt
