// The date picker as the user types into it: a typed date is taken whole and once, before the
// form's default or cancel button acts, when the focus leaves, or when code reads the date.

#include "common/test_support.h"
#include "platform/ui_common_controls.h"
#include "platform/ui_controls.h"
#include "ui_test_support.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace rt;

TEST(DatePickerTyping, ATypedDateIsTakenOnceBeforeAnythingActsOnIt) {
    const struct {
        const char* what;
        std::vector<testing_support::KeyStep> keys;
        const char* button; // the button that acted, "" for none
        QDate date;
    } cases[] = {
        {"Enter", {"12", Qt::Key_Return}, "ok", QDate(2004, 3, 12)},
        {"Escape", {"12", Qt::Key_Escape}, "cancel", QDate(2004, 3, 12)},
        {"the focus leaving", {"12031985", Qt::Key_Tab}, "", QDate(1985, 3, 12)},
        {"code reading", {"12"}, "", QDate(2004, 3, 12)},
    };
    for (const auto& c : cases) {
        ui_test::ScriptedServices services;
        ui_test::CountingForm form;
        DTPicker picker(form); // today, 15 March 2004, shown as 15/03/2004
        TextBox next(form);
        CommandButton ok(form), cancel(form);
        ok.setDefault(true);
        cancel.setCancel(true);
        int changes = 0, changesSeen = 0;
        QDate dateSeen;
        QString button;
        picker.onChange = [&] { ++changes; };
        auto acts = [&](const char* name) {
            button = QLatin1String(name);
            changesSeen = changes;
            dateSeen = picker.Value();
        };
        ok.onClick = [&] { acts("ok"); };
        cancel.onClick = [&] { acts("cancel"); };
        form.Show();
        testing_support::tabInto(picker.widget());

        EXPECT_TRUE(testing_support::userTypes(c.keys)) << c.what;

        EXPECT_EQ(picker.Value(), c.date) << c.what;
        EXPECT_EQ(picker.Year(), c.date.year()) << c.what; // a second read takes nothing more
        EXPECT_EQ(changes, 1) << c.what;
        EXPECT_EQ(button, QLatin1String(c.button)) << c.what;
        if (!button.isEmpty()) {
            EXPECT_EQ(dateSeen, c.date) << c.what;
            EXPECT_EQ(changesSeen, 1) << c.what;
        }
    }
}

// Typed part by part in the order the field shows (jj/mm/aaaa), the parts checked together
// only when the date is taken by Enter.
TEST(DatePickerTyping, PartsTypedInTheFieldsOrderMakeTheDateTaken) {
    enum Entry { Tab, ShiftTab, Click };
    const struct {
        QDate start;
        Entry entry;
        int clickAt; // the character clicked, for a click
        std::vector<testing_support::KeyStep> keys;
        QDate taken;
        const char* format = ""; // CustomFormat
    } cases[] = {
        {{1970, 1, 1}, Tab, 0, {"29021948"}, {1948, 2, 29}},
        {{1970, 1, 1}, Tab, 0, {"29/02/1948"}, {1948, 2, 29}},
        {{1970, 2, 1}, Tab, 0, {"31121999"}, {1999, 12, 31}}, // 31 kept while February shows
        {{1970, 1, 1}, Tab, 0, {"1/3/2004"}, {2004, 3, 1}},
        {{2004, 3, 15}, ShiftTab, 0, {"22022027"}, {2027, 2, 22}},
        {{2004, 3, 15}, Click, 8, {"1999"}, {1999, 3, 15}},
        {{2004, 3, 15}, Click, 3, {"1204"}, {2004, 12, 15}},  // the year typed short: 2004
        {{2004, 3, 15}, Tab, 0, {"31022027"}, {2004, 3, 15}}, // no date
        {{2004, 3, 15}, Tab, 0, {"01012031"}, {2004, 3, 15}}, // after MaxDate
        {{2004, 3, 15}, Tab, 0, {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, "06"}, {2004, 6, 15}},
        {{2004, 3, 15}, Tab, 0, {Qt::Key_Backspace}, {2004, 3, 15}}, // a part cleared
        {{2004, 3, 15}, Tab, 0, {Qt::Key_Backspace, "7"}, {2004, 3, 7}},
        {{2004, 1, 31}, Tab, 0, {Qt::Key_Right, Qt::Key_Up}, {2004, 2, 29}},
        {{2004, 3, 31}, Tab, 0, {Qt::Key_Up}, {2004, 3, 1}}, // the day wraps in its month
        {{2004, 2, 29}, Click, 8, {Qt::Key_Up}, {2005, 2, 28}},
        {{1970, 1, 1}, Tab, 0, {"29021948"}, {1948, 2, 29}, "d MMM yyyy"},
        {{2004, 3, 15}, Tab, 0, {"122599"}, {1999, 12, 25}, "MM/dd/yy"},
    };
    for (const auto& c : cases) {
        const auto text = [](const QString& s) { return s.toStdString(); };
        const std::string what = text(QLocale().toString(c.start, QLocale::ShortFormat)) + ' ' +
                                 std::to_string(c.entry) + ' ' + std::to_string(c.clickAt);
        ui_test::ScriptedServices services;
        ui_test::CountingForm form;
        TextBox before(form);
        DTPicker picker(form);
        TextBox after(form);
        picker.setMaxDate(QDate(2030, 12, 31));
        picker.setCustomFormat(QLatin1String(c.format));
        picker.setValue(c.start);
        int changes = 0;
        picker.onChange = [&] { ++changes; };
        form.Show();
        auto* field = static_cast<QLineEdit*>(picker.widget());
        if (c.entry == Click) {
            testing_support::tabInto(after.widget());
            int x = 0; // where the click lands on character clickAt
            while (x < field->width() &&
                   field->cursorPositionAt({x, field->height() / 2}) <= c.clickAt)
                ++x;
            QTest::mouseClick(field, Qt::LeftButton, {}, {x - 1, field->height() / 2});
        } else {
            testing_support::tabInto((c.entry == Tab ? before : after).widget());
            EXPECT_TRUE(testing_support::userTypes(
                {c.entry == Tab ? QKeyCombination(Qt::Key_Tab) : Qt::SHIFT | Qt::Key_Tab}));
        }
        ASSERT_TRUE(field->hasFocus()) << what;
        EXPECT_TRUE(testing_support::userTypes(c.keys)) << what;
        QTest::keyClick(field, Qt::Key_Return);

        EXPECT_EQ(text(picker.Value().toString(Qt::ISODate)), text(c.taken.toString(Qt::ISODate)))
            << what;
        EXPECT_EQ(text(field->text()),
                  text(*c.format ? QLocale().toString(c.taken, QLatin1String(c.format))
                                 : QLocale().toString(c.taken, QLocale::ShortFormat)))
            << what; // what the field shows is its date
        EXPECT_EQ(changes, c.taken == c.start ? 0 : 1) << what;
    }
}
