// Forms of the user-interface runtime: creation on first reference, unload and release, modal
// show (real nested loop and scripted), pop-up menus, MDI children and their arrangement,
// timers, and the scripted message box.

#include "common/test_support.h"
#include "core/rt_error.h"
#include "platform/ui_controls.h"
#include "platform/ui_menu.h"
#include "platform/ui_picture_box.h"
#include "platform/ui_timer.h"
#include "ui_test_support.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>
#include <set>

using namespace rt;
using ui_test::CountingForm;

namespace {

class ChildForm : public CountingForm {
public:
    explicit ChildForm(const QString& name = QStringLiteral("FrmChild"))
        : CountingForm(name, Type::MdiChild) {
        Move(0, 0, 3000, 3000);
        LblDay.setCaption(QStringLiteral("15"));
    }
    Label LblDay{*this, QStringLiteral("LblDay")};
    // Outside the state "Unload" a close only hides the window (as the month windows do).
    bool unloadState = false;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override {
        CountingForm::Form_QueryUnload(Cancel, UnloadMode);
        if (!unloadState) {
            Hide();
            Cancel = 1;
        }
    }
};

class MenuForm : public CountingForm {
public:
    MenuForm() {
        for (int i = 0; i <= 4; ++i) {
            Menu& e = mnuEditCmd.create(i, mnuEdit);
            e.setCaption(i == 2 ? QStringLiteral("-") : QStringLiteral("Entrée %1").arg(i));
            e.onClick = [this, i] { mnuEditCmd_Click(i); };
        }
        mnuEdit.setVisible(false);
    }
    Menu mnuEdit{*this, QStringLiteral("mnuEdit")};
    ControlArray<Menu> mnuEditCmd{QStringLiteral("mnuEditCmd")};
    std::vector<int> chosen;
    void mnuEditCmd_Click(int Index) { chosen.push_back(Index); }
};

// Controls declared in another order than they are laid out; a zero-sized box and a panel take
// no Tab stop.
class TabForm : public CountingForm {
public:
    TabForm() {
        Move(0, 0, 9000, 6000);
        CmdTop.Move(120, 120, 1200, 375);
        TxtRight.Move(4000, 600, 2000, 315);
        TxtLeft.Move(120, 640, 2000, 315); // a little lower, in the same row
        Fra.Move(120, 1200, 3000, 1500);
        for (int i = 0; i <= 2; ++i)
            Opt(i).Move(120, 240 + i * 360, 2400, 300);
        Opt(1).setValue(true);
        Pic.Move(4000, 1200, 3000, 1500);
        CmdInPic.Move(120, 120, 1200, 375);
        TxtZero.Move(120, 3000, 0, 315);
        TxtLast.Move(120, 4200, 2000, 315);
    }
    TextBox TxtLast{*this, QStringLiteral("TxtLast")};
    TextBox TxtRight{*this, QStringLiteral("TxtRight")};
    Frame Fra{*this, QStringLiteral("Fra")};
    ControlArray<OptionButton> Opt{QStringLiteral("Opt"), [this](auto& a) {
                                       for (int i = 0; i <= 2; ++i)
                                           a.create(i, Fra);
                                   }};
    TextBox TxtZero{*this, QStringLiteral("TxtZero")};
    PictureBox Pic{*this, QStringLiteral("Pic")};
    CommandButton CmdInPic{Pic, QStringLiteral("CmdInPic")};
    TextBox TxtLeft{*this, QStringLiteral("TxtLeft")};
    CommandButton CmdTop{*this, QStringLiteral("CmdTop")};
    std::function<void()> onLoad;
    void Form_Load() override {
        CountingForm::Form_Load();
        if (onLoad) onLoad();
    }
};

QString focusedName() {
    for (Form* f : loadedForms())
        if (Control* c = f->focusedControl())
            return c->Index() < 0 ? c->Name() : c->Name() + QString::number(c->Index());
    return QStringLiteral("(none)");
}

} // namespace

// A label and the field it names, captioned by the form's load.
class NamedFieldForm : public CountingForm {
public:
    NamedFieldForm() {
        LblName.Move(120, 120, 1200, 255);
        TxtName.Move(1400, 90, 2000, 315);
    }
    Label LblName{*this, QStringLiteral("LblName")};
    TextBox TxtName{*this, QStringLiteral("TxtName")};
    std::function<void()> onLoad;
    void Form_Load() override {
        CountingForm::Form_Load();
        if (onLoad) onLoad();
    }
    QString fieldName() const { return TxtName.widget()->accessibleName(); }
};

// The captions a load gives its labels name their fields by its end; a form that shows during
// its load has them named as it shows, and a load that fails leaves the names to the next
// caption.
TEST(UiForms, FieldsTakeTheNamesTheirLabelsGotDuringTheLoad) {
    {
        NamedFieldForm form;
        form.onLoad = [&] {
            form.LblName.setCaption(QStringLiteral("Nom:"));
            form.LblName.setCaption(QStringLiteral("Prénom:"));
        };
        form.Load();
        EXPECT_EQ(form.fieldName(), QStringLiteral("Prénom:"));
        form.LblName.setCaption(QStringLiteral("Nom:"));
        EXPECT_EQ(form.fieldName(), QStringLiteral("Nom:"));
    }
    {
        NamedFieldForm form;
        QString asShown, afterShown;
        form.onLoad = [&] {
            form.LblName.setCaption(QStringLiteral("Nom:"));
            form.Show();
            asShown = form.fieldName();
            form.LblName.setCaption(QStringLiteral("Prénom:"));
            afterShown = form.fieldName();
        };
        form.Load();
        EXPECT_EQ(asShown, QStringLiteral("Nom:"));
        EXPECT_EQ(afterShown, QStringLiteral("Prénom:"));
        form.Hide();
    }
    {
        NamedFieldForm form;
        form.onLoad = [&] {
            form.LblName.setCaption(QStringLiteral("Nom:"));
            rt::raise(ErrInvalidProperty);
        };
        EXPECT_THROW(form.Load(), RtError);
        form.LblName.setCaption(QStringLiteral("Prénom:"));
        EXPECT_EQ(form.fieldName(), QStringLiteral("Prénom:"));
    }
}

TEST(UiForms, TabFollowsTheLayoutAndStopsOnlyWhereTheFocusShows) {
    const QStringList cycle = {QStringLiteral("CmdTop"),   QStringLiteral("TxtLeft"),
                               QStringLiteral("TxtRight"), QStringLiteral("Opt1"),
                               QStringLiteral("CmdInPic"), QStringLiteral("TxtLast")};
    const struct {
        const char* name;
        const char* setInLoad; // the control Form_Load gives the focus to
        const char* first;     // the control that has the focus once the form is shown
    } rows[] = {{"first stop", nullptr, "CmdTop"}, {"named by the code", "TxtRight", "TxtRight"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TabForm form;
        if (row.setInLoad) form.onLoad = [&] { form.TxtRight.SetFocus(); };
        form.Show();
        QCoreApplication::processEvents();
        EXPECT_EQ(focusedName(), QString::fromLatin1(row.first));
        form.CmdTop.SetFocus();
        for (int i = 1; i <= cycle.size(); ++i) {
            ASSERT_TRUE(testing_support::userTypes({Qt::Key_Tab}));
            EXPECT_EQ(focusedName(), cycle[i % cycle.size()]) << i;
        }
        ASSERT_TRUE(testing_support::userTypes({Qt::SHIFT | Qt::Key_Tab}));
        EXPECT_EQ(focusedName(), cycle.last());
        form.Hide();
    }
}

TEST(UiForms, AFormOpensCentredOverItsOwnerInsideTheScreensFreeArea) {
    testing_support::fixedSystem().Available = QRect(0, 0, 1280, 1024);
    const struct {
        const char* name;
        QRect owner; // empty: no form is shown
        bool placedInLoad;
        QPoint expected; // the opened form's top left corner, 400 by 300 pixels
    } rows[] = {
        {"over its owner", {300, 200, 800, 600}, false, {500, 350}},
        {"kept inside at the right edge", {900, 100, 600, 400}, false, {880, 150}},
        {"on the screen without an owner", {}, false, {440, 362}},
        {"where its loading code put it", {300, 200, 800, 600}, true, {15, 30}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CountingForm owner(QStringLiteral("FrmOwner"));
        if (!row.owner.isEmpty()) owner.Show();
        owner.Move(PixelsToTwips(row.owner.x()), PixelsToTwips(row.owner.y()),
                   PixelsToTwips(row.owner.width()), PixelsToTwips(row.owner.height()));
        TabForm opened;
        opened.Move(0, 0, PixelsToTwips(400), PixelsToTwips(300));
        if (row.placedInLoad) opened.onLoad = [&] { opened.Move(225, 450); };
        opened.Show();
        // The offscreen platform's frame is 2 pixels wide.
        const QRect frame = opened.window()->frameGeometry();
        EXPECT_NEAR(frame.x(), row.expected.x(), 4);
        EXPECT_NEAR(frame.y(), row.expected.y(), 4);
        EXPECT_TRUE(QRect(0, 0, 1280, 1024).contains(frame));
        opened.Hide();
        owner.Hide();
    }
}

TEST(UiForms, ASlotCreatesAndLoadsOnFirstReferenceAndReleasesOnDemand) {
    FormSlot<CountingForm> FrmTest;
    EXPECT_FALSE(FrmTest.exists());
    EXPECT_TRUE(FrmTest.unload()); // unloading an empty slot creates nothing
    EXPECT_TRUE(FrmTest.release());
    EXPECT_FALSE(FrmTest.exists());

    FrmTest->setTag(QStringLiteral("Logo"));
    ASSERT_TRUE(FrmTest.exists());
    CountingForm* first = FrmTest.peek();
    EXPECT_EQ(first->loads, 1);
    EXPECT_TRUE(first->Loaded());
    EXPECT_EQ(FrmTest->Tag(), QStringLiteral("Logo"));
    EXPECT_EQ(FrmTest->loads, 1); // a second reference loads nothing

    // Unloaded but not released: its variables survive; Show loads it again.
    EXPECT_TRUE(FrmTest.unload());
    EXPECT_FALSE(first->Loaded());
    EXPECT_EQ(first->queries, 1);
    EXPECT_EQ(first->lastUnloadMode, vbFormCode);
    EXPECT_EQ(FrmTest->Tag(), QStringLiteral("Logo"));
    FrmTest->Show();
    EXPECT_EQ(first->loads, 2);

    // A cancelled unload keeps the form.
    first->cancelQuery = true;
    EXPECT_FALSE(FrmTest.release());
    EXPECT_TRUE(FrmTest.exists());
    first->cancelQuery = false;
    int terminates = 0;
    first->onQuery = [&](int&, int) {};
    QPointer<CountingForm> watch(first);
    struct Probe : QObject {};
    EXPECT_TRUE(FrmTest.release());
    EXPECT_FALSE(FrmTest.exists());
    ASSERT_TRUE(watch);
    terminates = watch->terminates;
    EXPECT_EQ(terminates, 1);
    ui_test::flushReleased();
    EXPECT_FALSE(watch);
    EXPECT_EQ(std::count(loadedForms().begin(), loadedForms().end(), first), 0);

    // A new reference makes a new form.
    FrmTest->setCaption(QStringLiteral("x"));
    EXPECT_EQ(FrmTest->loads, 1);
    FrmTest.release();
    ui_test::flushReleased();
}

TEST(UiForms, NamedSlotsAreTheSharedFormsReleasedInTheOrderOfTheirNames) {
    std::vector<QString> released;
    struct Slots {
        FormSlot<CountingForm> main{"FrmMainTest"};
        FormSlot<CountingForm> splash{"FrmSplashTest"};
        FormSlot<CountingForm> chart{"FrmSUChartTest"};
        FormSlot<CountingForm> about{"FrmAboutTest"};
        FormSlot<CountingForm> unnamed; // not a shared form
    };
    auto slots_ = std::make_unique<Slots>();
    Slots& s = *slots_;
    std::vector<QString> names;
    for (SharedFormSlot* slot : sharedFormSlots())
        if (slot->slotName().endsWith(QLatin1String("Test"))) names.push_back(slot->slotName());
    // Letter case aside: "Splash" comes before "SUChart".
    EXPECT_EQ(names, (std::vector<QString>{"FrmAboutTest", "FrmMainTest", "FrmSplashTest",
                                           "FrmSUChartTest"}));

    for (auto* slot : {&s.main, &s.splash, &s.chart, &s.about, &s.unnamed}) {
        const QString name = slot == &s.unnamed ? QStringLiteral("unnamed") : slot->slotName();
        slot->get().onQuery = [&released, name](int&, int) { released.push_back(name); };
    }
    releaseSharedForms(&s.main);
    EXPECT_EQ(released, (std::vector<QString>{"FrmAboutTest", "FrmSplashTest", "FrmSUChartTest"}));
    EXPECT_TRUE(s.main.exists());
    EXPECT_TRUE(s.unnamed.exists());
    EXPECT_FALSE(s.about.exists());

    // A slot that ends is no shared form any more.
    s.main.release();
    s.unnamed.release();
    ui_test::flushReleased();
    slots_.reset();
    for (SharedFormSlot* slot : sharedFormSlots())
        EXPECT_FALSE(slot->slotName().endsWith(QLatin1String("Test")));
}

TEST(UiForms, AModalFormShownFromAHandlerReturnsAfterTheScriptedOk) {
    ui_test::ScriptedServices services;
    services.forms->modalScripts.push_back([](Form& f) {
        auto& dlg = static_cast<ui_test::OkCancelDialog&>(f);
        EXPECT_TRUE(dlg.Visible());
        EXPECT_TRUE(dlg.isModal());
        dlg.CmdOk.raiseEvent(Event::Click); // the user presses OK
    });
    FormSlot<ui_test::OkCancelDialog> FrmDialog;
    CountingForm caller;
    CommandButton CmdGo(caller, QStringLiteral("CmdGo"));
    std::vector<QString> trace;
    CmdGo.onClick = [&] {
        trace.push_back(QStringLiteral("before"));
        FrmDialog->Show(vbModal);
        trace.push_back(QStringLiteral("after %1").arg(FrmDialog->DialogResult));
    };
    CmdGo.raiseEvent(Event::Click);
    EXPECT_EQ(trace, (std::vector<QString>{QStringLiteral("before"), QStringLiteral("after 1")}));
    EXPECT_EQ(services.forms->modalForms, QStringList{QStringLiteral("FrmOkCancel")});
    EXPECT_EQ(services.forms->modalClosedByDefault, 0);
    EXPECT_FALSE(FrmDialog->Loaded()); // OK unloaded it; the variable is still readable
    EXPECT_FALSE(FrmDialog->isModal());

    // No script: the service closes the form as with its close box.
    FrmDialog->Show(vbModal);
    EXPECT_EQ(services.forms->modalClosedByDefault, 1);
    EXPECT_FALSE(FrmDialog->Visible());
    FrmDialog.release();
    ui_test::flushReleased();
}

TEST(UiForms, AModalFormRunsANestedEventLoopUntilItIsHidden) {
    ui_test::OkCancelDialog dlg;
    int activations = 0;
    bool wasModalWindow = false;
    QTimer::singleShot(20, [&] {
        wasModalWindow = dlg.window()->isModal() && dlg.window()->isVisible();
        ++activations;
        static_cast<QPushButton*>(dlg.CmdCancel.widget())->click(); // a real click
    });
    dlg.Show(vbModal);
    EXPECT_EQ(activations, 1);
    EXPECT_TRUE(wasModalWindow);
    EXPECT_EQ(dlg.DialogResult, 0);
    EXPECT_FALSE(dlg.Visible());
    EXPECT_FALSE(dlg.window()->isModal());
}

TEST(UiForms, PopupMenusReturnAfterTheChosenHandlerRan) {
    ui_test::ScriptedServices services;
    MenuForm form;
    form.Load();
    services.forms->menuChoices = {3, 2, 1};
    form.PopupMenu(form.mnuEdit);
    EXPECT_EQ(form.chosen, std::vector<int>{3});
    form.PopupMenu(form.mnuEdit); // a separator cannot be chosen
    EXPECT_EQ(form.chosen, std::vector<int>{3});
    form.mnuEditCmd(1).setEnabled(false);
    form.PopupMenu(form.mnuEdit); // nor a disabled entry
    EXPECT_EQ(form.chosen, std::vector<int>{3});
    ASSERT_EQ(services.forms->popups.size(), 3u);
    EXPECT_EQ(services.forms->popups[2].captions.size(), 5);
    EXPECT_EQ(services.forms->popups[2].captions[2], QStringLiteral("-"));
    EXPECT_FALSE(services.forms->popups[2].enabled[1]);
    EXPECT_EQ(services.forms->popups[2].chosen, -1);

    // Every entry disabled: the menu still opens.
    for (int i : form.mnuEditCmd.indexes())
        form.mnuEditCmd(i).setEnabled(false);
    bool opened = false;
    services.forms->onPopup = [&](Menu& m) {
        opened = m.Name() == QStringLiteral("mnuEdit");
        return -1;
    };
    form.PopupMenu(form.mnuEdit);
    EXPECT_TRUE(opened);
}

TEST(UiForms, TheQtPopupMenuOpensWithAllEntriesDisabledAndRunsTheChoiceBeforeReturning) {
    MenuForm form;
    form.Show();
    bool sawMenu = false;
    int enabledActions = 0;
    QTimer::singleShot(30, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        sawMenu = menu != nullptr;
        if (menu) {
            for (QAction* a : menu->actions())
                enabledActions += a->isEnabled() && !a->isSeparator() ? 1 : 0;
            menu->close();
        }
    });
    for (int i : form.mnuEditCmd.indexes())
        form.mnuEditCmd(i).setEnabled(false);
    form.PopupMenu(form.mnuEdit);
    EXPECT_TRUE(sawMenu);
    EXPECT_EQ(enabledActions, 0);
    EXPECT_TRUE(form.chosen.empty());

    form.mnuEditCmd(4).setEnabled(true);
    QTimer::singleShot(30, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()))
            for (QAction* a : menu->actions())
                if (a->isEnabled() && !a->isSeparator()) a->trigger();
        if (QWidget* w = QApplication::activePopupWidget()) w->close();
    });
    form.PopupMenu(form.mnuEdit);
    EXPECT_EQ(form.chosen, std::vector<int>{4});
    form.Hide();
}

TEST(UiMdi, AChildClosedByTheUserIsHiddenAndKeepsItsControls) {
    ui_test::TestMdi mdi;
    mdi.Load();
    mdi.Show();
    ChildForm child;
    child.Load();
    child.Show();
    ASSERT_NE(child.window(), nullptr);
    EXPECT_TRUE(child.window()->isVisible());
    EXPECT_FALSE(child.window()->testAttribute(Qt::WA_DeleteOnClose));

    child.window()->close(); // the user's close box
    EXPECT_EQ(child.queries, 1);
    EXPECT_EQ(child.lastUnloadMode, vbFormControlMenu);
    EXPECT_FALSE(child.Visible());
    EXPECT_FALSE(child.window()->isVisible());
    EXPECT_TRUE(child.Loaded());
    EXPECT_EQ(child.LblDay.Caption(), QStringLiteral("15"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(mdi.mdiArea()->subWindowList().size(), 1);

    // In the closing state the form lets the unload go on: hidden, unloaded, still there.
    child.Show();
    child.unloadState = true;
    child.window()->close();
    EXPECT_FALSE(child.Loaded());
    EXPECT_FALSE(child.window()->isVisible());
    EXPECT_EQ(child.unloads, 1);
}

TEST(UiMdi, ShowingAChildActivatesItOnceAndHidingItActivatesTheTopmostOtherOne) {
    ui_test::TestMdi mdi;
    mdi.Load();
    mdi.Show();
    ChildForm a(QStringLiteral("A")), b(QStringLiteral("B"));
    a.Load();
    b.Load();
    a.Show();
    EXPECT_EQ(a.activates, 1);
    a.Show(); // already the active child
    EXPECT_EQ(a.activates, 1);
    b.Show();
    EXPECT_EQ(b.activates, 1);
    EXPECT_EQ(mdi.ActiveForm(), &b);
    b.Hide(); // the original activates the child left on top
    EXPECT_EQ(mdi.ActiveForm(), &a);
    EXPECT_EQ(a.activates, 2);
    a.Hide();
    EXPECT_EQ(mdi.ActiveForm(), nullptr);
    a.Show();
    EXPECT_EQ(a.activates, 3);

    // An Activate handler that shows its own window again does not run twice.
    struct SelfShowing : ChildForm {
        void Form_Activate() override {
            ++activates;
            Show();
            ZOrder(0);
        }
    } c;
    c.Load();
    c.Show();
    EXPECT_EQ(c.activates, 1);
}

// The platform's MDI keys, typed: Ctrl+F6 and Ctrl+Tab go to the child under the active one
// (which goes to the bottom), Shift to the bottom one; Ctrl+F4 is the active child's close box.
TEST(UiMdi, TheMdiKeysCycleThroughTheShownChildrenAndCloseTheActiveOne) {
    ui_test::TestMdi mdi;
    mdi.Load();
    mdi.Show();
    ChildForm a(QStringLiteral("A")), b(QStringLiteral("B")), c(QStringLiteral("C")),
        hidden(QStringLiteral("H"));
    hidden.Load();
    for (ChildForm* f : {&a, &b, &c}) {
        f->Load();
        f->Show();
    }
    testing_support::tabInto(c.window());
    std::vector<QKeyCombination> keys = {Qt::CTRL | Qt::Key_F6, Qt::CTRL | Qt::Key_Tab,
                                         Qt::CTRL | Qt::SHIFT | Qt::Key_F6,
                                         Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab};
    QStringList active;
    for (QKeyCombination key : keys) {
        ASSERT_TRUE(testing_support::userTypes({key}));
        active << (mdi.ActiveForm() ? mdi.ActiveForm()->Name() : QString());
    }
    EXPECT_EQ(active, (QStringList{"B", "A", "B", "C"}));
    EXPECT_EQ(a.activates + b.activates + c.activates, 3 + 4);
    ASSERT_TRUE(testing_support::userTypes({Qt::CTRL | Qt::Key_F4}));
    EXPECT_EQ(c.queries, 1);
    EXPECT_EQ(c.lastUnloadMode, vbFormControlMenu);
    EXPECT_FALSE(c.Visible());
    EXPECT_EQ(mdi.ActiveForm(), &b);
    ASSERT_TRUE(testing_support::userTypes({Qt::CTRL | Qt::Key_F6}));
    EXPECT_EQ(mdi.ActiveForm(), &a);
    EXPECT_EQ(hidden.activates, 0);
}

TEST(UiMdi, ArrangementsTileCascadeAndLineUpIcons) {
    ui_test::TestMdi mdi;
    mdi.Load();
    mdi.Show();
    const QRect area = mdi.mdiArea()->viewport()->rect();
    ASSERT_GT(area.width(), 200);
    std::vector<std::unique_ptr<ChildForm>> kids;
    for (int i = 0; i < 2; ++i) {
        kids.push_back(std::make_unique<ChildForm>(QStringLiteral("K%1").arg(i)));
        kids.back()->Load();
        kids.back()->Show();
    }
    mdi.Arrange(vbTileVertical); // side by side, full height
    QRect g0 = kids[0]->window()->geometry(), g1 = kids[1]->window()->geometry();
    EXPECT_EQ(g0.height(), area.height());
    EXPECT_EQ(g1.height(), area.height());
    EXPECT_EQ(g0.width() + g1.width(), area.width());
    EXPECT_NE(g0.x(), g1.x());
    EXPECT_EQ(kids[0]->Width(), PixelsToTwips(g0.width())); // the model follows
    mdi.Arrange(vbTileHorizontal);                          // one above the other, full width
    g0 = kids[0]->window()->geometry();
    g1 = kids[1]->window()->geometry();
    EXPECT_EQ(g0.width(), area.width());
    EXPECT_EQ(g0.height() + g1.height(), area.height());
    EXPECT_NE(g0.y(), g1.y());

    for (int i = 2; i < 5; ++i) {
        kids.push_back(std::make_unique<ChildForm>(QStringLiteral("K%1").arg(i)));
        kids.back()->Load();
        kids.back()->Show();
    }
    kids[4]->Hide();             // hidden children take no place
    mdi.Arrange(vbTileVertical); // four children: a grid of two columns of two
    std::set<int> xs, ys;
    for (int i = 0; i < 4; ++i) {
        xs.insert(kids[size_t(i)]->window()->x());
        ys.insert(kids[size_t(i)]->window()->y());
    }
    EXPECT_EQ(xs.size(), 2u);
    EXPECT_EQ(ys.size(), 2u);

    mdi.Arrange(vbCascade);
    std::set<int> cascadeX;
    for (int i = 0; i < 4; ++i)
        cascadeX.insert(kids[size_t(i)]->window()->x());
    EXPECT_EQ(cascadeX.size(), 4u);

    kids[0]->setWindowState(vbMinimized);
    kids[1]->setWindowState(vbMinimized);
    mdi.Arrange(vbArrangeIcons);
    const QRect i0 = kids[0]->window()->geometry(), i1 = kids[1]->window()->geometry();
    EXPECT_EQ(i0.bottom(), area.bottom());
    EXPECT_EQ(i1.bottom(), area.bottom());
    EXPECT_NE(i0.x(), i1.x());
}

TEST(UiMdi, AlignedPanelsTakeTheEdgesAndTheChildAreaTheRest) {
    ui_test::TestMdi mdi;
    PictureBox PicMenu(mdi, QStringLiteral("PicMenu"));
    PicMenu.setAlign(vbAlignLeft);
    PicMenu.setWidth(4000);
    mdi.Load();
    mdi.Show();
    EXPECT_EQ(PicMenu.Left(), 0);
    EXPECT_EQ(PicMenu.Width(), 4000);
    EXPECT_EQ(PicMenu.Height(), PixelsToTwips(mdi.clientWidget()->height()));
    EXPECT_EQ(mdi.mdiArea()->x(), TwipsToPixels(4000));
    PicMenu.setWidth(500);
    EXPECT_EQ(mdi.mdiArea()->x(), TwipsToPixels(500));
    PicMenu.setVisible(false);
    EXPECT_EQ(mdi.mdiArea()->x(), 0);
}

TEST(UiMdi, TheFormSeesTheMouseOnlyOverItsOwnArea) {
    ui_test::TestMdi mdi;
    PictureBox PicMenu(mdi, QStringLiteral("PicMenu"));
    PicMenu.setAlign(vbAlignLeft);
    PicMenu.setWidth(4000);
    mdi.Load();
    mdi.Show();
    // A widget that passes mouse moves on to its parents, as a tab bar does.
    auto* child = new QWidget(PicMenu.widget());
    child->setGeometry(0, 0, 100, 100);
    child->setMouseTracking(true);
    child->show();
    auto move = [](QWidget* w, QPoint p) {
        QMouseEvent e(QEvent::MouseMove, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    };
    move(child, QPoint(10, 10));
    EXPECT_EQ(mdi.mouseMoves, 0);
    // Over the child-window area, away from any child window.
    move(mdi.mdiArea()->viewport(), QPoint(20, 20));
    EXPECT_EQ(mdi.mouseMoves, 1);
}

TEST(UiTimers, EnablingARunningTimerDoesNotRestartIt) {
    CountingForm form;
    Timer TmNavVisible(form, QStringLiteral("TmNavVisible"));
    int ticks = 0;
    TmNavVisible.onTimer = [&] { ++ticks; };
    EXPECT_TRUE(TmNavVisible.Enabled()); // a new timer is enabled, but has no interval yet
    EXPECT_FALSE(TmNavVisible.isRunning());
    TmNavVisible.setEnabled(false); // as the form sets it up: off at load
    TmNavVisible.setInterval(1000);
    EXPECT_FALSE(TmNavVisible.isRunning());
    TmNavVisible.setEnabled(true);
    ASSERT_TRUE(TmNavVisible.isRunning());
    ui_test::wait(400);
    TmNavVisible.setEnabled(true); // "a running timer is left alone"
    EXPECT_LE(TmNavVisible.remainingTime(), 700);
    EXPECT_TRUE(ui_test::waitFor([&] { return ticks == 1; }, 1500));
    TmNavVisible.setEnabled(false);
    EXPECT_FALSE(TmNavVisible.isRunning());
    EXPECT_EQ(TmNavVisible.Interval(), 1000);
    // Switching it on again starts a full countdown; a new interval restarts it.
    TmNavVisible.setEnabled(true);
    EXPECT_GT(TmNavVisible.remainingTime(), 900);
    ui_test::wait(300);
    TmNavVisible.setInterval(2000);
    EXPECT_GT(TmNavVisible.remainingTime(), 1800);
    TmNavVisible.setInterval(0); // interval 0 stops it, Enabled stays
    EXPECT_FALSE(TmNavVisible.isRunning());
    EXPECT_TRUE(TmNavVisible.Enabled());
}

TEST(UiServices, AScriptedMessageBoxAnswersAndRecordsPromptStyleAndTitle) {
    ui_test::ScriptedServices services;
    services.ui->msgBoxAnswers = {vbNo};
    const int answer = MsgBox(QStringLiteral("Ligne 1\rLigne 2"),
                              vbYesNo + vbCritical + vbDefaultButton2, QStringLiteral("Mirovanta"));
    EXPECT_EQ(answer, vbNo);
    const int byDefault = MsgBox(QStringLiteral("Encore?"), vbYesNo + vbDefaultButton2);
    EXPECT_EQ(byDefault, vbNo); // no answer queued: the default button
    ASSERT_EQ(services.ui->msgBoxCalls.size(), 2u);
    EXPECT_EQ(services.ui->msgBoxCalls[0].prompt, QStringLiteral("Ligne 1\rLigne 2"));
    EXPECT_EQ(services.ui->msgBoxCalls[0].style, 276);
    EXPECT_EQ(services.ui->msgBoxCalls[0].title, QStringLiteral("Mirovanta"));
    EXPECT_EQ(services.ui->msgBoxCalls[1].title, QString());
}

TEST(UiMdi, ClosingTheParentAsksEveryChildAndStopsWhenOneRefuses) {
    ui_test::TestMdi mdi;
    mdi.Load();
    ChildForm a(QStringLiteral("A")), b(QStringLiteral("B"));
    a.Load();
    b.Load();
    b.unloadState = true;  // B lets itself be unloaded
    a.unloadState = false; // A only hides: it refuses the close
    EXPECT_FALSE(mdi.closeByUser());
    EXPECT_EQ(a.lastUnloadMode, vbFormMDIForm);
    EXPECT_TRUE(mdi.Loaded());
    EXPECT_TRUE(b.Loaded()); // nothing unloads before every child agreed
    a.unloadState = true;
    EXPECT_TRUE(mdi.closeByUser());
    EXPECT_FALSE(a.Loaded());
    EXPECT_FALSE(b.Loaded());
    EXPECT_EQ(a.unloads, 1);
    EXPECT_FALSE(mdi.Loaded());
}

TEST(UiForms, ShowingATopLevelFormActivatesItOnce) {
    CountingForm first(QStringLiteral("First")), second(QStringLiteral("Second"));
    first.Show();
    EXPECT_EQ(first.activates, 1);
    first.Show();
    EXPECT_EQ(first.activates, 1);
    EXPECT_EQ(activeTopLevelForm(), &first);
    second.Show();
    EXPECT_EQ(second.activates, 1);
    EXPECT_EQ(activeTopLevelForm(), &second);
    first.Show(); // back to the first one: activated again
    EXPECT_EQ(first.activates, 2);
    first.Hide();
    second.Hide();
}

TEST(UiForms, FormGeometryAndStateReadBackWhileHidden) {
    CountingForm form;
    form.Move(150, 300, 6000, 4500);
    EXPECT_EQ(form.Left(), 150);
    EXPECT_EQ(form.Top(), 300);
    EXPECT_EQ(form.Width(), 6000);
    EXPECT_EQ(form.Height(), 4500);
    form.setWindowState(vbMaximized);
    EXPECT_EQ(form.WindowState(), vbMaximized);
    form.setWindowState(vbNormal);
    form.setCaption(QStringLiteral("Mirovanta - Mot de passe"));
    EXPECT_EQ(form.window()->windowTitle(), QStringLiteral("Mirovanta - Mot de passe"));
    EXPECT_EQ(form.ScaleWidth(), 6000); // no frame around an offscreen window
    form.Show();
    form.setWindowState(vbMinimized);
    EXPECT_EQ(ErrInvalidProperty, [&] {
        try {
            form.setWindowState(3);
        } catch (const RtError& e) {
            return e.Number;
        }
        return 0;
    }());
    EXPECT_NE(0, [&] { // a minimised window cannot be moved
        try {
            form.Move(0, 0);
        } catch (const RtError& e) {
            return e.Number;
        }
        return 0;
    }());
    form.setWindowState(vbNormal);
    form.Hide();
}

TEST(UiTimers, TimersTickWhileAModalFormIsOpen) {
    CountingForm form;
    Timer tick(form);
    tick.setInterval(20);
    int ticks = 0;
    tick.onTimer = [&] { ++ticks; };
    ui_test::OkCancelDialog dlg;
    QTimer::singleShot(200, [&] { dlg.CmdOk.raiseEvent(Event::Click); });
    dlg.Show(vbModal);
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(dlg.DialogResult, 1);
}

TEST(UiForms, HiddenMenuEntriesStayOutOfThePopup) {
    ui_test::ScriptedServices services;
    MenuForm form;
    form.Load();
    form.mnuEditCmd(0).setVisible(false);
    services.forms->menuChoices = {0}; // the first entry shown is entry 1
    form.PopupMenu(form.mnuEdit);
    ASSERT_EQ(services.forms->popups.size(), 1u);
    EXPECT_EQ(services.forms->popups[0].captions.size(), 4);
    EXPECT_EQ(form.chosen, std::vector<int>{1});
}
