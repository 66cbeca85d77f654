// The application state in the main window's tag and the navigation panel with its timer.

#include "shell/app_state.h"
#include "shell_fixture.h"
#include "support/scripted_services.h"

namespace {

// Runs the event loop for ms milliseconds.
void runFor(int ms) {
    ui_test::wait(ms);
}

struct Views {
    bool view, logo, loading;
};
Views shownViews() {
    FrmMainForm& f = FrmMain.get();
    return {f.PicView.Visible(), f.PicLogo.Visible(), f.PicLoading.Visible()};
}

} // namespace

TEST_F(ShellTest, EachModeSetsTheTagAndItsView) {
    FrmMainForm& f = FrmMain.get();
    EXPECT_EQ(AppState(), QString());

    SetMainMode(3);
    EXPECT_EQ(f.Tag(), QStringLiteral("Logo"));
    EXPECT_EQ(AppState(), QStringLiteral("Logo"));
    Views v = shownViews();
    EXPECT_TRUE(v.view && v.logo && !v.loading);
    EXPECT_EQ(f.PicMenu.Width(), kNavPanelExpanded);

    f.LblLoading(0).setCaption(QStringLiteral("Chargement"));
    f.LblLoading(1).setCaption(QStringLiteral("Janvier"));
    SetMainMode(2);
    EXPECT_EQ(f.Tag(), QStringLiteral("Load"));
    v = shownViews();
    EXPECT_TRUE(v.view && !v.logo && v.loading);
    EXPECT_EQ(f.LblLoading(0).Caption(), QString());
    EXPECT_EQ(f.LblLoading(1).Caption(), QString());
    // The tag is written first, so the panel collapses although the state was "Logo".
    EXPECT_EQ(f.PicMenu.Width(), kNavPanelCollapsed);
    EXPECT_FALSE(f.TmNavVisible.isRunning());

    // "Edit" shows no view and leaves the loading captions alone.
    f.LblLoading(1).setCaption(QStringLiteral("Mars"));
    SetMainMode(1);
    EXPECT_EQ(f.Tag(), QStringLiteral("Edit"));
    v = shownViews();
    EXPECT_TRUE(!v.view && !v.logo && !v.loading);
    EXPECT_EQ(f.LblLoading(1).Caption(), QStringLiteral("Mars"));
    EXPECT_EQ(f.PicMenu.Width(), kNavPanelCollapsed);

    // Any other mode hides the three views and changes nothing else.
    for (int mode : {0, 4, -1}) {
        SetMainMode(3);
        SetMainMode(mode);
        EXPECT_EQ(f.Tag(), QStringLiteral("Logo")) << mode;
        v = shownViews();
        EXPECT_TRUE(!v.view && !v.logo && !v.loading) << mode;
        EXPECT_EQ(f.PicMenu.Width(), kNavPanelExpanded) << mode;
    }
}

TEST_F(ShellTest, ThePanelExpandsAtOnceAndInLogoAlways) {
    FrmMainForm& f = FrmMain.get();
    SetMainMode(3);
    // In "Logo" even a collapse request expands the panel and stops the timer.
    f.PicMenu.setWidth(kNavPanelCollapsed);
    SetNavPanel(false, false);
    EXPECT_EQ(f.PicMenu.Width(), kNavPanelExpanded);
    EXPECT_FALSE(f.TmNavVisible.isRunning());
    SetNavPanel(false, true);
    EXPECT_EQ(f.PicMenu.Width(), kNavPanelExpanded);

    SetMainMode(1);
    // Expand while the timer runs stops it: the panel stays expanded.
    SetNavPanel(false, false);
    EXPECT_TRUE(f.TmNavVisible.isRunning());
    SetNavPanel(true, false);
    EXPECT_FALSE(f.TmNavVisible.isRunning());
    runFor(1200);
    EXPECT_EQ(f.PicMenu.Width(), kNavPanelExpanded);

    // Immediate collapse leaves a running timer alone; it fires later with the same width.
    SetNavPanel(false, false);
    SetNavPanel(false, true);
    EXPECT_EQ(f.PicMenu.Width(), kNavPanelCollapsed);
    EXPECT_TRUE(f.TmNavVisible.isRunning());
    runFor(1200);
    EXPECT_FALSE(f.TmNavVisible.isRunning());
    EXPECT_EQ(f.PicMenu.Width(), kNavPanelCollapsed);
}

TEST_F(ShellTest, RepeatedCollapseRequestsDoNotRestartTheCountdown) {
    FrmMainForm& f = FrmMain.get();
    SetMainMode(1);
    SetNavPanel(false, false);
    EXPECT_EQ(f.PicMenu.Width(), kNavPanelExpanded); // not yet
    runFor(500);
    SetNavPanel(false, false);
    // The countdown of the first request goes on: about half a second is left, where a
    // restarted one would have a whole second again.
    ASSERT_TRUE(f.TmNavVisible.isRunning());
    EXPECT_LT(f.TmNavVisible.remainingTime(), 800);
    ASSERT_TRUE(ui_test::waitFor([&] { return f.PicMenu.Width() == kNavPanelCollapsed; }, 3000));
    EXPECT_FALSE(f.TmNavVisible.isRunning());
}

TEST_F(ShellTest, ThePanelComesToTheFrontOfTheViews) {
    FrmMainForm& f = FrmMain.get();
    SetMainMode(1);
    f.PicView.ZOrder(0);
    SetNavPanel(false, true);
    const QObjectList& siblings = f.PicMenu.widget()->parentWidget()->children();
    const int panel = int(siblings.indexOf(f.PicMenu.widget()));
    const int view = int(siblings.indexOf(f.PicView.widget()));
    ASSERT_GE(panel, 0);
    ASSERT_GE(view, 0);
    EXPECT_GT(panel, view); // later children are drawn on top
}

TEST_F(ShellTest, NewAndOpenActOutsideLoadAndUnloadAndSaveOnlyInEdit) {
    auto dialogs = std::make_shared<rt::ScriptedCommonDialogs>();
    auto previous = rt::setCommonDialogServices(dialogs);
    FrmMainForm& f = FrmMain.get();
    struct Case {
        const char* state;
        int16_t busy;
        bool newOpen, save;
    } cases[] = {
        {"", 0, true, false},       {"Logo", 0, true, false},    {"Edit", 0, true, true},
        {"Load", 0, false, false},  {"Unload", 0, false, false}, {"Logo", -1, false, false},
        {"Edit", -1, false, false},
    };
    for (const Case& c : cases) {
        const QString state = QString::fromLatin1(c.state);
        SCOPED_TRACE(std::string(c.state) + (c.busy ? " busy" : ""));
        CurDoc.IsSaved = -1; // unchanged and untitled: nothing to ask before
        IsBusy = c.busy;

        f.setTag(state);
        const uint64_t generation = DocGeneration;
        f.CmdCONew_Click();
        EXPECT_EQ(DocGeneration != generation, c.newOpen);

        f.setTag(state);
        size_t asked = dialogs->fileRequests.size();
        f.CmdCOOpen_Click(); // the open dialog is cancelled
        EXPECT_EQ(dialogs->fileRequests.size() - asked, c.newOpen ? 1u : 0u);

        f.setTag(state);
        asked = dialogs->fileRequests.size();
        f.CmdCOSave_Click(); // an untitled document asks its name first; cancelled
        EXPECT_EQ(dialogs->fileRequests.size() - asked, c.save ? 1u : 0u);
    }
    IsBusy = 0;
    rt::setCommonDialogServices(previous);
}
