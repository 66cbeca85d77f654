// Command enabling: the toolbar by the state and the printer, the pages of each tab by the
// state and the current day, the list commands by the rows and the selection, the Commands
// tab with its icons.

#include "panes_fixture.h"

using namespace rt;

namespace {
const QString kStates[] = {QStringLiteral("Logo"), QStringLiteral("Load"), QStringLiteral("Edit"),
                           QString()};
} // namespace

TEST_F(PanesTest, TheToolbarFollowsTheStateAndThePrinter) {
    FrmMainForm& f = main();
    Toolbar& tb = f.TbMain;
    // Per key: E enabled in "Edit", P also needs a printer, V visible but in "Logo"; the other
    // flags, and the buttons not listed, are never set.
    QHash<QString, QString> rules = {
        {"Save", "E"}, {"Preview", "P"}, {"Print", "P"},  {"Sep3", "V"},     {"Prop", "EV"},
        {"Sep4", "V"}, {"HTile", "EV"},  {"VTile", "EV"}, {"Cascade", "EV"}, {"AIcons", "EV"}};
    for (int m = 1; m <= 12; ++m)
        rules.insert(QStringLiteral("m%1").arg(m, 2, 10, QChar('0')), "EV");
    for (int printerCount : {0, 1}) {
        setPrinters(printerCount);
        for (const QString& state : kStates) {
            f.setTag(state);
            const bool edit = state == QLatin1String("Edit");
            for (bool before : {false, true}) {
                for (int i = 1; i <= 29; ++i) {
                    tb.Buttons(i).setEnabled(before);
                    tb.Buttons(i).setVisible(before);
                }
                UpdateMainControls(true);
                for (int i = 1; i <= 29; ++i) {
                    const ToolbarButton& b = tb.Buttons(i);
                    const QString rule = rules.value(b.Key());
                    const bool enabled = rule.contains('P')   ? edit && printerCount > 0
                                         : rule.contains('E') ? edit
                                                              : before;
                    const bool visible =
                        rule.contains('V') ? state != QLatin1String("Logo") : before;
                    const std::string at = b.Key().toStdString() + " in '" + state.toStdString() +
                                           "' printers " + std::to_string(printerCount);
                    EXPECT_EQ(b.Enabled(), enabled) << at;
                    EXPECT_EQ(b.Visible(), visible) << at;
                }
            }
            tb.Buttons(QStringLiteral("Save")).setEnabled(!edit);
            UpdateMainControls(false); // without its flag the toolbar is left alone
            EXPECT_EQ(tb.Buttons(QStringLiteral("Save")).Enabled(), !edit);
        }
    }
}

TEST_F(PanesTest, EachTabShowsItsInstructionsOrItsWorkingPage) {
    FrmMainForm& f = main();
    struct Page {
        int tab;
        ControlArray<PictureBox>& pages;
        bool needsDay; // Events and Summary need a current day, the other lists a document
    } pages[] = {{4, f.PicEvents, true},
                 {3, f.PicAE, false},
                 {2, f.PicDebt, false},
                 {1, f.PicBD, false},
                 {0, f.PicSummary, true}};
    for (const QString& state : kStates) {
        for (int16_t month : {0, 3}) {
            f.setTag(state);
            selectDay(month, 15);
            const bool edit = state == QLatin1String("Edit"), dayIsCurrent = month != 0;
            const std::string at = state.toStdString() + " day " + std::to_string(month);
            for (const Page& p : pages) {
                f.TbMenu.setTab(p.tab);
                const bool working = edit && (dayIsCurrent || !p.needsDay);
                p.pages(0).setVisible(working); // the opposite, to see the update
                p.pages(1).setVisible(!working);
                UpdateMainControls(false);
                EXPECT_EQ(p.pages(0).Visible(), !working) << p.tab << " " << at;
                EXPECT_EQ(p.pages(1).Visible(), working) << p.tab << " " << at;
                // The first step shows until a document is open, the second until a day is
                // chosen.
                if (!p.needsDay) continue;
                const int label = p.tab == 4 ? 0 : 4;
                EXPECT_EQ(f.LblStepOne(label).Visible(), !edit) << at;
                EXPECT_EQ(f.LblStepTwo(label).Visible(), edit && !dayIsCurrent) << at;
            }
            EXPECT_EQ(f.CmdSUChart(1).Enabled(), edit && !dayIsCurrent) << at;
            // That chart button stands on the instruction page that shows then.
            EXPECT_EQ(&f.CmdSUChart(1).Parent(), static_cast<Container*>(&f.PicSummary(0)));
        }
    }
}

TEST_F(PanesTest, ListCommandsFollowTheRowsAndTheSelection) {
    FrmMainForm& f = main();
    struct Page {
        int tab;
        ListBox& list;
        std::vector<CommandButton*> buttons; // edit, remove, clear, sort 0/1, down, up, update
    } pages[] = {
        {4,
         f.LstEV,
         {&f.CmdEVEdit, &f.CmdEVRemove, &f.CmdEVClear, &f.CmdEVSort(0), &f.CmdEVSort(1),
          &f.CmdEVDown, &f.CmdEVUp}},
        {3,
         f.LstAE,
         {&f.CmdAEEdit, &f.CmdAERemove, &f.CmdAEClear, &f.CmdAESort(0), &f.CmdAESort(1),
          &f.CmdAEDown, &f.CmdAEUp, &f.CmdAEUpdate}},
        {2,
         f.LstDE,
         {&f.CmdDEEdit, &f.CmdDERemove, &f.CmdDEClear, &f.CmdDESort(0), &f.CmdDESort(1),
          &f.CmdDEDown, &f.CmdDEUp}},
        {1,
         f.LstBD,
         {&f.CmdBDEdit, &f.CmdBDRemove, &f.CmdBDClear, &f.CmdBDSort(0), &f.CmdBDSort(1),
          &f.CmdBDDown, &f.CmdBDUp, &f.CmdBDUpdate}},
    };
    struct Case {
        int n, s;
        const char* enabled; // one letter per button, in the order above: 1 enabled
    } cases[] = {{0, -1, "00000000"}, {3, -1, "00111101"}, {1, 0, "11100001"},
                 {3, 0, "11111101"},  {3, 2, "11111011"},  {2, 1, "11111011"}};
    for (const QString& state : {QStringLiteral("Logo"), QStringLiteral("Edit")}) {
        f.setTag(state); // the list rules do not look at the state
        for (const Page& p : pages) {
            f.TbMenu.setTab(p.tab);
            for (const Case& c : cases) {
                p.list.Clear();
                for (int i = 0; i < c.n; ++i)
                    p.list.AddItem(QStringLiteral("row"));
                p.list.setListIndex(c.s);
                UpdateMainControls(false);
                for (size_t b = 0; b < p.buttons.size(); ++b)
                    EXPECT_EQ(p.buttons[b]->Enabled(), c.enabled[b] == '1')
                        << p.buttons[b]->Name().toStdString() << " n " << c.n << " s " << c.s;
            }
        }
    }
    f.TbMenu.setTab(5); // a tab that is not shown is left alone
    f.LstBD.Clear();
    UpdateMainControls(false);
    EXPECT_TRUE(f.CmdBDEdit.Enabled());
}

TEST_F(PanesTest, ShowPictureNeedsASelectedItemOfTheCurrentDayWithAPictureFile) {
    FrmMainForm& f = main();
    ListAppend(day(3, 15), item(1, QStringLiteral("Sans image")));
    ListAppend(day(3, 15), item(1, QStringLiteral("Avec"), QStringLiteral("/tmp/a.jpg")));
    f.TbMenu.setTab(4);
    struct Case {
        int16_t month, dayOfMonth; // month 0: no current day
        int rows, selected;        // the list as shown
        bool enabled;
    } cases[] = {
        {3, 15, 2, 1, true},
        {3, 15, 2, 0, false},
        {3, 15, 2, -1, false},
        // The list no longer matches the day: nothing is read beyond the day's items, and with
        // no current day no month is read at all.
        {3, 15, 4, 3, false},
        {3, 16, 2, 1, false},
        {0, 0, 2, 1, false},
    };
    for (const Case& c : cases) {
        selectDay(c.month, c.dayOfMonth);
        f.LstEV.Clear();
        for (int i = 0; i < c.rows; ++i)
            f.LstEV.AddItem(QStringLiteral("row"));
        f.LstEV.setListIndex(c.selected);
        f.CmdEVShowPic.setEnabled(!c.enabled);
        EXPECT_NO_THROW(UpdateMainControls(false));
        EXPECT_EQ(f.CmdEVShowPic.Enabled(), c.enabled)
            << c.month << " " << c.rows << " " << c.selected;
    }
}

TEST_F(PanesTest, TheCommandsTabNeedsADocumentAndForPrintingAPrinter) {
    FrmMainForm& f = main();
    f.TbMenu.setTab(5);
    for (int printerCount : {0, 2}) {
        setPrinters(printerCount);
        for (const QString& state : kStates) {
            f.setTag(state);
            UpdateMainControls(false);
            const bool edit = state == QLatin1String("Edit"), print = edit && printerCount > 0;
            const std::string at = state.toStdString() + " " + std::to_string(printerCount);
            EXPECT_EQ(f.CmdCOSave.Enabled(), edit) << at;
            EXPECT_EQ(f.CmdCOSaveAs.Enabled(), edit) << at;
            EXPECT_EQ(f.CmdCOPreview.Enabled(), print) << at;
            EXPECT_EQ(f.CmdCOPrint.Enabled(), print) << at;
            // Each icon in the normal or the greyed look of its key.
            const std::tuple<Image*, const char*, bool> icons[] = {
                {&f.ImgCOSave, "Save", edit},
                {&f.ImgCOPreview, "Preview", print},
                {&f.ImgCOPrint, "Print", print}};
            for (const auto& [image, key, normal] : icons) {
                const ImageList& list = normal ? f.ImgLstMain : f.ImgLstMain_d;
                EXPECT_EQ(image->Picture().image(),
                          list.ListImages()(QLatin1String(key)).Picture().image())
                    << key << " " << at;
            }
        }
    }
}
