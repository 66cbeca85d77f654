// The printer check and the display's colours.

#include "common/test_support.h"
#include "platform/scripted_services.h"
#include "shell/common_sys_info.h"
#include "shell/settings.h"
#include "shell/shell_services.h"

#include <gtest/gtest.h>

using namespace rt;

namespace {
// Installs a printer collection of `count` printers for one test.
struct PrinterCollection {
    explicit PrinterCollection(int count) {
        for (int i = 0; i < count; ++i)
            printers->Printers.push_back(makeImagePrinter(QStringLiteral("P%1").arg(i)));
        printers->DefaultIndex = count - 1;
        previous = setPrinterServices(printers);
    }
    ~PrinterCollection() {
        setPrinterServices(previous);
        Settings.PrinterValue = 0;
    }
    std::shared_ptr<ScriptedPrinters> printers = std::make_shared<ScriptedPrinters>();
    std::shared_ptr<PrinterServices> previous;
};
} // namespace

TEST(CheckPrinter, FindsThePrinterToPrintOn) {
    struct Case {
        int printers;
        int32_t chosen; // Settings.PrinterValue
        bool result;
        bool defaultHandle; // the value is the default printer's handle
    } cases[] = {
        {0, 0, false, false}, {0, 4242, false, false}, // a printer chosen earlier, none installed
                                                       // now
        {1, 0, true, true},   {2, 0, true, true},      {2, 4242, true, false},
    };
    for (const Case& c : cases) {
        PrinterCollection collection(c.printers);
        Settings.PrinterValue = c.chosen;
        int32_t value = -1;
        EXPECT_EQ(CheckPrinter(value), c.result) << c.printers << " " << c.chosen;
        if (!c.result) {
            EXPECT_EQ(value, 0);
        } else if (c.defaultHandle) {
            ASSERT_NE(value, 0);
            // The default printer of the collection, the same handle on every call.
            EXPECT_EQ(deviceFromHandle(value), collection.printers->Printers.back());
            int32_t again = 0;
            CheckPrinter(again);
            EXPECT_EQ(again, value);
        } else {
            EXPECT_EQ(value, c.chosen);
        }
    }
}

TEST(GetDisplayColors, NamesSixteenAndTwoHundredFiftySixColourDisplays) {
    const std::pair<int, int32_t> cases[] = {{4, 16},  {8, 256}, {1, -1},
                                             {16, -1}, {24, -1}, {32, -1}};
    for (const auto& [depth, colours] : cases) {
        testing_support::fixedSystem().Depth = depth;
        EXPECT_EQ(GetDisplayColors(), colours) << depth;
    }
}
