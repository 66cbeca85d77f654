// The main window on screens of several sizes and scale factors: where it opens, and what the
// screen shows of it and of its month windows once they are tiled.

#include "common/test_support.h"
#include "document_dialogs/ask_save.h"
#include "document_dialogs/document_dialogs.h"
#include "editors/editors.h"
#include "platform/ui_test_support.h"
#include "printing/printing.h"
#include "properties/ask_path.h"
#include "properties/properties.h"
#include "services/main_window.h"
#include "services/shell_services.h"
#include "shell/main_module.h"
#include "shell_fixture.h"

#include <QApplication>
#include <QDir>
#include <QTabBar>
#include <optional>

using namespace rt;

namespace {
// True when no ancestor up to the window cuts off any part of W.
// Whether the pixels `place` of w (all of w by default) lie inside w and each of its containers.
bool WhollyShown(const QWidget* w, std::optional<QRect> place = {}) {
    const QRect r = place.value_or(w->rect());
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        if (!p->rect().contains(QRect(w->mapTo(p, r.topLeft()), r.size()))) return false;
        if (p->isWindow()) break;
    }
    return true;
}
bool WhollyShown(const Label& label) {
    return WhollyShown(label.host(), label.placeInHost());
}
} // namespace

TEST_F(ShellTest, TheMainWindowOpensInsideTheScreensFreeAreaWithEveryControlAndWholeMonths) {
    const struct {
        const char* name;
        QRect device; // the free area in the screen's own pixels
        double scale;
        QRect area;   // the same in device-independent pixels
        QRect placed; // the window's position and outer size, from which the editors are placed
        bool maximised;
    } cases[] = {
        {"800x600", {0, 0, 800, 600}, 1, {0, 0, 800, 600}, {0, 0, 800, 600}, true},
        {"1280x720", {0, 0, 1280, 720}, 1, {0, 0, 1280, 720}, {0, 0, 1280, 720}, true},
        {"1920x1080 under a panel",
         {0, 32, 1920, 1048},
         1,
         {0, 32, 1920, 1048},
         {448, 172, 1024, 768},
         false},
        // 1024x768 at 1.5 would take 1536x1152 device pixels.
        {"1600x1000 at 1.5", {0, 0, 1600, 1000}, 1.5, {0, 0, 1067, 667}, {0, 0, 1067, 667}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::fixedSystem().Available = c.device;
        testing_support::fixedSystem().Scale = c.scale;
        ASSERT_EQ(sys().availableArea(), c.area);
        FrmMainForm& f = FrmMain.get();
        EXPECT_EQ(f.WindowState(), c.maximised ? vbMaximized : vbNormal);
        EXPECT_EQ(TwipsToPixels(f.Left(), f.Top(), f.Width(), f.Height()), c.placed);
        f.Show();
        if (c.maximised) {
            // The offscreen platform maximises over its own screen, not the fixed one: the window
            // is laid over the free area as a window manager maximises it.
            f.setWindowState(vbNormal);
            f.Move(f.Left(), f.Top(), f.Width(), f.Height());
        }
        f.setTag(QStringLiteral("Edit"));
        MonthForms(3)->Show();
        MonthForms(4)->Show();
        f.Arrange(vbTileVertical);
        QCoreApplication::processEvents();

        EXPECT_TRUE(c.area.contains(f.window()->frameGeometry()));
        for (int m : {3, 4}) {
            for (int cell = 7; cell <= 48; ++cell) {
                EXPECT_TRUE(WhollyShown(MonthForms(m)->LblDay(cell))) << m << " " << cell;
            }
        }
        const QTabBar* bar = f.TbMenu.widget()->findChild<QTabBar*>();
        for (int t = 0; t <= 5; ++t) {
            EXPECT_TRUE(bar->rect().contains(bar->tabRect(t))) << "tab " << t;
            f.TbMenu.setTab(t);
            QCoreApplication::processEvents();
            // The pages' picture boxes run on below the panel as backgrounds; what stands on
            // them is checked control by control.
            for (Control* control : f.Controls()) {
                const QWidget* w = control->widget();
                if (control->kind() == ControlKind::Label) {
                    const auto* label = static_cast<const Label*>(control);
                    if (label->Visible() && label->host()->isVisible()) {
                        EXPECT_TRUE(WhollyShown(*label))
                            << t << " " << control->Name().toStdString();
                    }
                } else if (w && w->isVisible() && control->kind() != ControlKind::PictureBox) {
                    EXPECT_TRUE(WhollyShown(w)) << t << " " << control->Name().toStdString();
                }
            }
        }

        // Closed as the shutdown closes it, for the next screen.
        CurDoc.IsSaved = -1;
        f.setTag(QStringLiteral("Unload"));
        for (int m = 1; m <= 12; ++m)
            MonthForms(m).release();
        ASSERT_TRUE(FrmMain.release());
        ui_test::flushReleased();
    }
}

namespace {
// True when some of the widget shows in its window.
bool Shows(const QWidget* w) {
    return w && w->isVisible() && w->width() > 0 && w->height() > 0 &&
           !w->visibleRegion().isEmpty();
}
QString NameOf(const Control* c) {
    if (!c) return QStringLiteral("(none)");
    return c->Index() < 0 ? c->Name() : c->Name() + QString::number(c->Index());
}
} // namespace

TEST_F(ShellTest, EachFormOpensOverItsOwnerWithTheFocusOnAShownControlAndNoHiddenTabStop) {
    testing_support::fixedSystem().Available = QRect(0, 0, 1280, 1024);
    FrmMainForm& f = FrmMain.get();
    f.Show();
    f.Move(PixelsToTwips(200), PixelsToTwips(180)); // off the screen's centre
    f.setTag(QStringLiteral("Edit"));
    CurDoc.Year = QStringLiteral("2004");
    QCoreApplication::processEvents();
    const QRect main = f.window()->frameGeometry();
    const QRect screen(0, 0, 1280, 1024);
    const QPoint overNavPanel(TwipsToPixels(mainWindow().NavPanelLeft() + 80),
                              TwipsToPixels(f.Top() + 850));
    const struct {
        const char* form;
        std::function<void()> open;
        std::optional<QPoint> placed; // where the form's own code puts it; else over the owner
        QStringList tabs;             // the first stops Tab visits from the first one, when given
    } rows[] = {
        {"FrmProp",
         [] { RunPropertiesDialog(); },
         {},
         {"TbProp", "LstVGen", "TxtGen0", "CmbGen", "TxtGen1", "TxtGen2", "CmdHelp", "CmdOk",
          "CmdCancel", "TbProp"}},
        {"FrmOpt", [] { ShowOptionsDialog(); }, {}, {}},
        {"FrmAskSave", [] { ShowAskSaveDialog(); }, {}, {}},
        {"FrmAskPass", [] { AskPassword(QStringLiteral("x")); }, {}, {}},
        {"FrmAskPath", [] { AskForPath(QDir::tempPath()); }, {}, {}},
        {"FrmAbout", [] { ShowAboutForm(); }, {}, {}},
        {"FrmCmOpPic", [] { ChoosePicture(QString()); }, {}, {}},
        {"FrmSUChart", [] { RunSummaryChart(); }, {}, {}},
        {"FrmAddEV", [] { ShowEVEditor(); }, overNavPanel, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.form);
        bool opened = false;
        services.forms->modalScripts.push_back([&](Form& form) {
            opened = true;
            EXPECT_EQ(form.Name(), QString::fromLatin1(row.form));
            QCoreApplication::processEvents();
            const QRect frame = form.window()->frameGeometry();
            EXPECT_TRUE(screen.contains(frame)) << frame.x() << "," << frame.y();
            if (row.placed) {
                EXPECT_EQ(frame.topLeft(), *row.placed);
            } else {
                EXPECT_NEAR(frame.center().x(), main.center().x(), 4);
                EXPECT_NEAR(frame.center().y(), main.center().y(), 4);
            }
            EXPECT_TRUE(Shows(QApplication::focusWidget()));
            QStringList visited{NameOf(form.focusedControl())};
            for (int i = 0; i <= int(form.tabStops().size()); ++i) {
                ASSERT_TRUE(testing_support::userTypes({Qt::Key_Tab}));
                EXPECT_TRUE(Shows(QApplication::focusWidget())) << i;
                visited << NameOf(form.focusedControl());
            }
            if (!row.tabs.isEmpty()) {
                EXPECT_EQ(visited.mid(0, row.tabs.size()), row.tabs);
            }
        });
        row.open();
        EXPECT_TRUE(opened);
        services.forms->modalScripts.clear();
    }
}
