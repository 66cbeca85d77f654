// The date picker as the user types into it: a typed date is taken whole and once, before the
// form's default or cancel button acts, when the focus leaves, or when code reads the date.

#include "common/test_support.h"
#include "platform/ui_common_controls.h"
#include "platform/ui_controls.h"
#include "ui_test_support.h"

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
