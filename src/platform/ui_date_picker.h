#pragma once
// The date picker: a field that shows a date in parts (day, month, year in the order of the
// locale's short date, or of a custom format) and takes it typed part by part, with a drop-down
// calendar.

#include "ui_control.h"

#include <QDate>
#include <QString>

namespace rt {

class DateField;

// A date (Value); Day, Month and Year read its parts. Every change, by code or by the user,
// raises Change; writing the same date raises nothing. Dates outside MinDate .. MaxDate are
// run-time error 380.
//
// The user types the date part by part: entering the field by the keyboard selects its first
// part, a click selects the part clicked; digits replace the selected part, and a full part (two
// digits, four for the year) or a separator moves on to the next; Left and Right move between
// the parts, Up and Down step the selected one (a change taken at once), BackSpace clears it.
// F4 or Alt+Down opens the calendar.
//
// A date the user types is taken as a whole, not at every digit: when the field loses the
// focus, when Enter or Escape is pressed in it (before the form's default or cancel button
// acts), before a step or the calendar, and whenever code reads the date. Only then are the
// parts checked together, so a day that the month shown lacks can be typed before its month.
// So the date read is always the one shown, and a typed date raises Change once. Parts that
// make no date, or a date outside MinDate .. MaxDate, give the field its date back; a date that
// code writes replaces the typed parts.
class DTPicker : public Control {
public:
    explicit DTPicker(Container& parent, const QString& name = {}, int index = -1);
    QDate Value() {
        takeTypedDate();
        return value_;
    }
    void setValue(const QDate& date);
    int Day() { return Value().day(); }
    int Month() { return Value().month(); }
    int Year() { return Value().year(); }
    QDate MinDate() const { return minDate_; }
    QDate MaxDate() const { return maxDate_; }
    void setMinDate(const QDate& d);
    void setMaxDate(const QDate& d);
    // A display pattern of Qt's date format ("" for the locale's short date): d and dd for the
    // day, M and MM for the month's number, MMM and MMMM for its name, yy and yyyy for the year,
    // ddd and dddd for the weekday's name (shown, not typed), quoted text.
    const QString& CustomFormat() const { return customFormat_; }
    void setCustomFormat(const QString& format);

    // The user picked a date (in the calendar): the field shows it and raises Change when it
    // differs.
    void userChanged(const QDate& date);
    // Takes the date typed in the field, if any (raising Change when it differs).
    void takeTypedDate();

protected:
    void pushColors() override;
    bool filterEvent(QObject* watched, QEvent* event) override;

private:
    // Up or Down on a part ('d', 'M' or 'y'): the date taken, then stepped within the month
    // (day), the year (month) or by years, its day kept within the month reached.
    void userStep(char part, int steps);
    void openCalendar();
    void push();
    QDate value_;
    QDate minDate_{1601, 1, 1};
    QDate maxDate_{9999, 12, 31};
    QString customFormat_;
    DateField* edit_;
};

} // namespace rt
