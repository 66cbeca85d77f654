// Controls of the user-interface runtime: units and colours, property reads, the table of
// events raised by property changes, control arrays, and the Qt behaviours the controls keep out.

#include "common/test_support.h"
#include "core/rt_error.h"
#include "platform/ui_common_controls.h"
#include "platform/ui_controls.h"
#include "platform/ui_lists.h"
#include "platform/ui_menu.h"
#include "platform/ui_picture_box.h"
#include "platform/ui_toolbar.h"
#include "ui_test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolTip>
#include <QWidgetAction>
#include <gtest/gtest.h>

using namespace rt;
using ui_test::errorNumberOf;

namespace {

void typeInto(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
    }
}

} // namespace

TEST(UiUnits, TwipsAndPixels) {
    struct Row {
        double twips;
        int pixels;
    } rows[] = {{0, 0}, {15, 1}, {7, 0}, {8, 1}, {4000, 267}, {500, 33}, {-15, -1}, {1440, 96}};
    for (const Row& r : rows)
        EXPECT_EQ(TwipsToPixels(r.twips), r.pixels) << r.twips;
    EXPECT_EQ(PixelsToTwips(267), 4005);
    // Neighbours meet: the far edge of one cell is the near edge of the next.
    const QRect a = TwipsToPixels(0, 0, 1000, 1000), b = TwipsToPixels(1000, 0, 1000, 1000);
    EXPECT_EQ(a.right() + 1, b.left());
}

TEST(UiUnits, ColoursAreBlueGreenRedWithSystemColoursFromThePalette) {
    EXPECT_EQ(ToQColor(0x000000FF), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(0x00FF0000), QColor(0, 0, 255));
    EXPECT_EQ(ToQColor(RGB(1, 2, 3)), QColor(1, 2, 3));
    EXPECT_EQ(FromQColor(QColor(10, 20, 30)), RGB(10, 20, 30));
    const QPalette pal = QApplication::palette();
    EXPECT_EQ(ToQColor(vbButtonFace), pal.color(QPalette::Button));
    EXPECT_EQ(ToQColor(vbWindowBackground), pal.color(QPalette::Base));
    EXPECT_EQ(ToQColor(vbWindowText), pal.color(QPalette::Text));
    EXPECT_EQ(ToQColor(vbHighlight), pal.color(QPalette::Highlight));
    EXPECT_TRUE(isSystemColor(vbButtonFace));
    EXPECT_LT(vbButtonFace, 0); // the high bit set, as a 32-bit value
    EXPECT_FALSE(isSystemColor(vbWhite));
}

TEST(UiControls, PropertyReadsReturnTheValueSetWhileTheWindowIsHidden) {
    ui_test::CountingForm form;
    Label lbl(form, QStringLiteral("LblTest"));
    PictureBox pic(form, QStringLiteral("PicTest"));
    Label inner(pic, QStringLiteral("LblInner"));
    CommandButton cmd(form, QStringLiteral("CmdTest"));

    ASSERT_FALSE(form.Visible());
    lbl.setCaption(QStringLiteral("17"));
    lbl.setBackColor(RGB(1, 2, 3));
    lbl.setForeColor(vbHighlight);
    lbl.setBackStyle(0);
    lbl.setBorderStyle(1);
    lbl.setFontStrikethru(true);
    lbl.Move(150, 300, 1500, 255);
    lbl.setTag(QStringLiteral("t"));
    pic.setEnabled(false);
    cmd.setVisible(true);

    EXPECT_EQ(lbl.Caption(), QStringLiteral("17"));
    EXPECT_EQ(lbl.BackColor(), RGB(1, 2, 3));
    EXPECT_EQ(lbl.ForeColor(), vbHighlight);
    EXPECT_EQ(lbl.BackStyle(), 0);
    EXPECT_EQ(lbl.BorderStyle(), 1);
    EXPECT_TRUE(lbl.FontStrikethru());
    EXPECT_EQ(lbl.Left(), 150);
    EXPECT_EQ(lbl.Top(), 300);
    EXPECT_EQ(lbl.Width(), 1500);
    EXPECT_EQ(lbl.Height(), 255);
    EXPECT_EQ(lbl.Tag(), QStringLiteral("t"));
    // Qt says hidden and disabled; the controls' own flags say what was set.
    EXPECT_FALSE(cmd.widget()->isVisible());
    EXPECT_TRUE(cmd.Visible());
    EXPECT_FALSE(inner.shownEnabled());
    EXPECT_TRUE(inner.Enabled());
    EXPECT_FALSE(pic.Enabled());
    // What is drawn follows the values (twips to pixels, strike-through).
    EXPECT_EQ(lbl.placeInHost(), QRect(10, 20, 100, 17));
    EXPECT_TRUE(lbl.shownFont().strikeOut());

    form.Show();
    EXPECT_TRUE(cmd.widget()->isVisible());
    EXPECT_EQ(lbl.Left(), 150);
    form.Hide();
    EXPECT_TRUE(lbl.Visible());
}

// Each row of the table: a control whose property changes once (one event), is set again to
// the same value (no event), and whose user input goes through the same table.
TEST(UiControls, DisabledControlsShowGreyedText) {
    ui_test::CountingForm form;
    form.Move(0, 0, 3000, 1500);
    Label lbl(form, QStringLiteral("LblTest"));
    lbl.Move(0, 0, 1500, 300);
    lbl.setCaption(QStringLiteral("██████"));
    lbl.setForeColor(RGB(255, 0, 0));
    CommandButton cmd(form, QStringLiteral("CmdTest"));
    cmd.setForeColor(RGB(255, 0, 0));
    form.Show();

    auto hasRed = [&] {
        const QImage img = lbl.host()->grab(lbl.placeInHost()).toImage();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (QColor(img.pixel(x, y)) == QColor(255, 0, 0)) return true;
        return false;
    };
    EXPECT_TRUE(hasRed());
    lbl.setEnabled(false);
    EXPECT_FALSE(hasRed());
    const QPalette pal = cmd.widget()->palette();
    EXPECT_EQ(pal.color(QPalette::Active, QPalette::ButtonText), QColor(255, 0, 0));
    EXPECT_EQ(pal.color(QPalette::Disabled, QPalette::ButtonText), ToQColor(vbGrayText));
}

TEST(UiEventsTable, EveryRowRaisesOnceOnAChangeAndNothingOnTheSameValue) {
    ui_test::CountingForm form;
    struct Case {
        QString name;
        std::function<void(int& count)> bind; // builds the control, counts its event
        std::function<void()> change;         // a change by code
        std::function<void()> same;           // the same value again
    };
    ListBox lst(form);
    lst.AddItem(QStringLiteral("a"));
    lst.AddItem(QStringLiteral("b"));
    ListBox chk(form);
    chk.setStyle(vbListBoxCheckbox);
    chk.AddItem(QStringLiteral("a"));
    ComboBox cmb(form);
    cmb.AddItem(QStringLiteral("x"));
    cmb.AddItem(QStringLiteral("y"));
    CheckBox box(form);
    OptionButton opt1(form), opt2(form);
    TextBox txt(form);
    HScrollBar hsb(form);
    hsb.setMax(10);
    Slider sld(form);
    UpDown ud(form);
    DTPicker dtp(form);
    dtp.setValue(QDate(2004, 3, 15));
    TabControl tab(form);
    CommandButton cmd(form);

    std::vector<Case> cases = {
        {"ListBox.ListIndex", [&](int& n) { lst.onClick = [&n] { ++n; }; },
         [&] { lst.setListIndex(1); }, [&] { lst.setListIndex(1); }},
        {"ListBox tick", [&](int& n) { chk.onItemCheck = [&n](int item) { n += item == 0; }; },
         [&] { chk.setSelected(0, true); }, [&] { chk.setSelected(0, true); }},
        {"ComboBox.ListIndex", [&](int& n) { cmb.onClick = [&n] { ++n; }; },
         [&] { cmb.setListIndex(0); }, [&] { cmb.setListIndex(0); }},
        {"ComboBox.Text", [&](int& n) { cmb.onChange = [&n] { ++n; }; },
         [&] { cmb.setText(QStringLiteral("z")); }, [&] { cmb.setText(QStringLiteral("z")); }},
        {"CheckBox.Value", [&](int& n) { box.onClick = [&n] { ++n; }; }, [&] { box.setValue(1); },
         [&] { box.setValue(1); }},
        {"OptionButton.Value", [&](int& n) { opt1.onClick = [&n] { ++n; }; },
         [&] { opt1.setValue(true); }, [&] { opt1.setValue(true); }},
        {"TextBox.Text", [&](int& n) { txt.onChange = [&n] { ++n; }; },
         [&] { txt.setText(QStringLiteral("abc")); }, [&] { txt.setText(QStringLiteral("abc")); }},
        {"ScrollBar.Value", [&](int& n) { hsb.onChange = [&n] { ++n; }; }, [&] { hsb.setValue(4); },
         [&] { hsb.setValue(4); }},
        {"Slider.Value", [&](int& n) { sld.onChange = [&n] { ++n; }; }, [&] { sld.setValue(3); },
         [&] { sld.setValue(3); }},
        {"UpDown.Value", [&](int& n) { ud.onChange = [&n] { ++n; }; }, [&] { ud.setValue(2); },
         [&] { ud.setValue(2); }},
        {"DTPicker.Value", [&](int& n) { dtp.onChange = [&n] { ++n; }; },
         [&] { dtp.setValue(QDate(2004, 4, 1)); }, [&] { dtp.setValue(QDate(2004, 4, 1)); }},
        {"TabControl.Tab", [&](int& n) { tab.onTabClick = [&n](int prev) { n += prev == 0; }; },
         [&] { tab.setTab(2); }, [&] { tab.setTab(2); }},
        {"CommandButton.Value", [&](int& n) { cmd.onClick = [&n] { ++n; }; },
         [&] { cmd.setValue(true); }, [&] { cmd.setValue(false); }},
    };
    for (Case& c : cases) {
        int count = 0;
        c.bind(count);
        c.change();
        EXPECT_EQ(count, 1) << c.name.toStdString() << " on a change";
        c.same();
        EXPECT_EQ(count, 1) << c.name.toStdString() << " on the same value";
    }
    // An option button set to false raises nothing; the one set true cleared its sibling.
    int clicks2 = 0;
    opt2.onClick = [&] { ++clicks2; };
    opt2.setValue(true);
    EXPECT_FALSE(opt1.Value());
    EXPECT_EQ(clicks2, 1);
    opt2.setValue(false);
    EXPECT_EQ(clicks2, 1);
}

TEST(UiEventsTable, PropertiesOutsideTheTableRaiseNothing) {
    ui_test::CountingForm form;
    int events = 0;
    auto count = [&] { ++events; };
    Label lbl(form);
    lbl.onClick = lbl.onChange = count;
    ListBox lst(form);
    lst.onClick = count;
    lst.AddItem(QStringLiteral("a"));
    CheckBox box(form);
    box.onClick = count;
    Toolbar tb(form);
    tb.onButtonClick = [&](ToolbarButton&) { ++events; };
    tb.Buttons().Add({}, QStringLiteral("m01"), {}, tbrButtonGroup);
    Menu mnu(form);
    Menu entry(mnu);
    entry.onClick = count;

    lbl.setCaption(QStringLiteral("x"));
    lbl.setBackColor(vbRed);
    lbl.setEnabled(false);
    lbl.setVisible(false);
    box.setCaption(QStringLiteral("y"));
    box.setEnabled(false);
    lst.Clear(); // emptying a list does not click it
    tb.Buttons(QStringLiteral("m01")).setValue(1);
    entry.setEnabled(false);
    entry.setCaption(QStringLiteral("&Copier"));
    EXPECT_EQ(events, 0);
    EXPECT_EQ(eventOnChange(ControlKind::Label, Property::Value), Event::None);
    EXPECT_EQ(eventOnChange(ControlKind::Toolbar, Property::Value), Event::None);
    EXPECT_EQ(eventOnChange(ControlKind::OptionButton, Property::Value, false), Event::None);
}

TEST(UiEventsTable, UserInputRaisesTheSameEvents) {
    ui_test::CountingForm form;
    ListBox lst(form);
    lst.setStyle(vbListBoxCheckbox);
    lst.AddItem(QStringLiteral("a"));
    lst.AddItem(QStringLiteral("b"));
    int clicks = 0, checks = 0, lastItem = -1;
    lst.onClick = [&] { ++clicks; };
    lst.onItemCheck = [&](int item) {
        ++checks;
        lastItem = item;
    };
    auto* qlist = static_cast<QListWidget*>(lst.widget());
    qlist->setCurrentRow(1); // as a click on the row
    EXPECT_EQ(lst.ListIndex(), 1);
    EXPECT_EQ(clicks, 1);
    qlist->item(0)->setCheckState(Qt::Checked); // as a click on the tick
    EXPECT_TRUE(lst.Selected(0));
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(lastItem, 0);

    CheckBox box(form);
    int boxClicks = 0;
    box.onClick = [&] { ++boxClicks; };
    static_cast<QCheckBox*>(box.widget())->click();
    EXPECT_EQ(box.Value(), 1);
    EXPECT_EQ(boxClicks, 1);

    TextBox txt(form);
    int changes = 0;
    txt.onChange = [&] { ++changes; };
    typeInto(txt.widget(), QStringLiteral("ab"));
    EXPECT_EQ(txt.Text(), QStringLiteral("ab"));
    EXPECT_EQ(changes, 2);

    TabControl tab(form);
    int tabClicks = 0, previous = -1;
    tab.onTabClick = [&](int p) {
        ++tabClicks;
        previous = p;
    };
    static_cast<QTabWidget*>(tab.widget())->setCurrentIndex(1);
    EXPECT_EQ(tab.Tab(), 1);
    EXPECT_EQ(tabClicks, 1);
    EXPECT_EQ(previous, 0);
    tab.setTabEnabled(2, false);
    static_cast<QTabWidget*>(tab.widget())->setCurrentIndex(2); // a disabled tab is refused
    EXPECT_EQ(tab.Tab(), 1);
    EXPECT_EQ(tabClicks, 1);
}

TEST(UiControls, ListIndexRaisesClickOnceAndTheSameValueNothing) {
    ui_test::CountingForm form;
    ListBox lst(form);
    for (const char* t : {"a", "b", "c"})
        lst.AddItem(QString::fromLatin1(t));
    int clicks = 0;
    lst.onClick = [&] { ++clicks; };
    lst.setListIndex(2);
    EXPECT_EQ(clicks, 1);
    lst.setListIndex(2);
    EXPECT_EQ(clicks, 1);
    lst.setListIndex(-1);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(errorNumberOf([&] { lst.setListIndex(3); }), ErrInvalidProperty);
    EXPECT_EQ(static_cast<QListWidget*>(lst.widget())->currentRow(), -1);
}

TEST(UiControls, ListRowsKeepTheirSelectionThroughInsertsAndRemovals) {
    ui_test::CountingForm form;
    ListBox lst(form);
    lst.setSorted(true);
    for (const char* t : {"pomme", "Banane", "cerise"})
        lst.AddItem(QString::fromUtf8(t));
    EXPECT_EQ(lst.List(0), QStringLiteral("Banane"));
    EXPECT_EQ(lst.List(2), QStringLiteral("pomme"));
    lst.setListIndex(1); // cerise
    lst.AddItem(QStringLiteral("abricot"));
    EXPECT_EQ(lst.NewIndex(), 0);
    EXPECT_EQ(lst.ListIndex(), 2);
    EXPECT_EQ(lst.Text(), QStringLiteral("cerise"));
    lst.RemoveItem(2);
    EXPECT_EQ(lst.ListIndex(), -1);
    EXPECT_EQ(lst.List(7), QString());
    ListBox plain(form);
    plain.setList(0, QStringLiteral("first")); // the row ListCount appends
    plain.setList(1, QStringLiteral("second"));
    plain.setList(0, QStringLiteral("one"));
    EXPECT_EQ(plain.ListCount(), 2);
    EXPECT_EQ(plain.List(0), QStringLiteral("one"));
    EXPECT_EQ(errorNumberOf([&] { plain.setList(5, QStringLiteral("x")); }), ErrInvalidCall);
}

TEST(UiControls, DoubleClickOnACheckListRowChangesItsTickFirst) {
    ui_test::CountingForm form;
    ListBox lst(form);
    lst.setStyle(vbListBoxCheckbox);
    lst.AddItem(QStringLiteral("a"));
    std::vector<QString> order;
    lst.onItemCheck = [&](int) { order.push_back(QStringLiteral("ItemCheck")); };
    lst.onDblClick = [&] { order.push_back(QStringLiteral("DblClick")); };
    lst.userDoubleClick(0);
    EXPECT_TRUE(lst.Selected(0));
    EXPECT_EQ(order,
              (std::vector<QString>{QStringLiteral("ItemCheck"), QStringLiteral("DblClick")}));
}

TEST(UiControls, ComboBoxDoesNotChooseARowByItself) {
    ui_test::CountingForm form;
    ComboBox cmb(form);
    cmb.setStyle(vbComboDropdownList);
    int clicks = 0;
    cmb.onClick = [&] { ++clicks; };
    cmb.AddItem(QStringLiteral("un"));
    cmb.AddItem(QStringLiteral("deux"));
    EXPECT_EQ(cmb.ListIndex(), -1);
    EXPECT_EQ(static_cast<QComboBox*>(cmb.widget())->currentIndex(), -1);
    EXPECT_EQ(cmb.Text(), QString());
    EXPECT_EQ(clicks, 0);
    cmb.setText(QStringLiteral("DEUX")); // a row's text chooses the row
    EXPECT_EQ(cmb.ListIndex(), 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(errorNumberOf([&] { cmb.setText(QStringLiteral("trois")); }), 383);
    static_cast<QComboBox*>(cmb.widget())->activated(0); // the user's choice
    EXPECT_EQ(cmb.ListIndex(), 0);
    EXPECT_EQ(clicks, 2);
}

TEST(UiControls, MaxLengthLimitsTypingButNotTextSetByCode) {
    ui_test::CountingForm form;
    TextBox txt(form);
    txt.setMaxLength(10);
    const QString longName = QStringLiteral("Salaire de mars 2004");
    txt.setText(longName);
    EXPECT_EQ(txt.Text(), longName);
    EXPECT_EQ(static_cast<QLineEdit*>(txt.widget())->text(), longName);
    txt.setText(QString());
    typeInto(txt.widget(), QStringLiteral("0123456789ABC"));
    EXPECT_EQ(txt.Text(), QStringLiteral("0123456789"));
}

TEST(UiControls, MultiLineTextKeepsCarriageReturnLineFeed) {
    ui_test::CountingForm form;
    TextBox txt(form);
    txt.setMultiLine(true);
    txt.setText(QStringLiteral("a\r\nb"));
    EXPECT_EQ(txt.Text(), QStringLiteral("a\r\nb"));
    typeInto(txt.widget()->focusProxy() ? txt.widget()->focusProxy() : txt.widget(),
             QStringLiteral("c"));
    EXPECT_TRUE(txt.Text().contains(QStringLiteral("\r\n")));
}

TEST(UiControls, CheckBoxClicksNeverMakeItGrey) {
    ui_test::CountingForm form;
    CheckBox box(form);
    auto* q = static_cast<QCheckBox*>(box.widget());
    const int expected[] = {1, 0, 1, 0};
    for (int e : expected) {
        q->click();
        EXPECT_EQ(box.Value(), e);
    }
    box.setValue(vbGrayed);
    EXPECT_EQ(q->checkState(), Qt::PartiallyChecked);
    q->click();
    EXPECT_EQ(box.Value(), vbChecked);
    q->click();
    EXPECT_EQ(box.Value(), vbUnchecked);
    EXPECT_EQ(q->checkState(), Qt::Unchecked);
}

TEST(UiControls, ControlArraysHaveAnyBoundsAndGaps) {
    ui_test::CountingForm form;
    ControlArray<Label> LblDay(QStringLiteral("LblDay"));
    for (int c = 7; c <= 48; ++c)
        LblDay.create(c, form);
    ControlArray<Label> LblStepTwo(QStringLiteral("LblStepTwo"));
    LblStepTwo.create(0, form);
    LblStepTwo.create(4, form);

    EXPECT_EQ(LblDay.LBound(), 7);
    EXPECT_EQ(LblDay.UBound(), 48);
    EXPECT_EQ(LblDay.Count(), 42);
    EXPECT_EQ(LblDay(7).Index(), 7);
    EXPECT_EQ(LblDay(48).Name(), QStringLiteral("LblDay"));
    EXPECT_EQ(LblStepTwo.Count(), 2);
    EXPECT_EQ(LblStepTwo(4).Index(), 4);
    struct Bad {
        const ControlArray<Label>* array;
        int index;
    } bad[] = {{&LblDay, 6},     {&LblDay, 49},    {&LblDay, 0},
               {&LblStepTwo, 1}, {&LblStepTwo, 3}, {&LblStepTwo, -1}};
    for (const Bad& b : bad)
        EXPECT_EQ(errorNumberOf([&] { (*b.array)(b.index); }), ErrSubscript) << b.index;
    EXPECT_EQ(errorNumberOf([&] { LblStepTwo.create(4, form); }), 360);
    LblStepTwo.remove(4);
    EXPECT_EQ(errorNumberOf([&] { LblStepTwo(4); }), ErrSubscript);
    ControlArray<Label> empty(QStringLiteral("LblNone"));
    EXPECT_EQ(errorNumberOf([&] { empty.UBound(); }), ErrSubscript);
}

TEST(UiControls, LabelsClickOnPressAndReleaseAndReportTheButtonInTwips) {
    ui_test::CountingForm form;
    Label lbl(form);
    int clicks = 0, upButton = 0;
    float upX = 0, upY = 0;
    lbl.onClick = [&] { ++clicks; };
    lbl.onMouseUp = [&](int b, int, float x, float y) {
        upButton = b;
        upX = x;
        upY = y;
    };
    lbl.Move(300, 300, 1500, 1500);
    // Events reach the label through the form's window that draws it.
    auto send = [&](QEvent::Type t, Qt::MouseButton b) {
        const QPointF at = QPointF(lbl.placeInHost().topLeft()) + QPointF(10, 20);
        QMouseEvent e(t, at, lbl.host()->mapToGlobal(at), b, b, Qt::NoModifier);
        QApplication::sendEvent(lbl.host(), &e);
    };
    send(QEvent::MouseButtonPress, Qt::RightButton);
    send(QEvent::MouseButtonRelease, Qt::RightButton);
    EXPECT_EQ(upButton, vbRightButton);
    EXPECT_EQ(clicks, 0);
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(upButton, vbLeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_FLOAT_EQ(upX, 150);
    EXPECT_FLOAT_EQ(upY, 300);
}

// Labels have no window: the widget of their container draws them and hands them the mouse.
// The label under the pointer runs its handlers first, then the container as before; a press
// keeps the mouse for its label; a child widget over a label takes the mouse there.
TEST(UiControls, LabelsTakeTheMouseAtTheirPlacesBeforeTheirContainer) {
    struct LogForm : ui_test::CountingForm {
        QStringList* log = nullptr;
        void Form_MouseDown(int, int, float, float) override {
            *log << QStringLiteral("form.down");
        }
    } form;
    QStringList log;
    form.log = &log;
    form.Move(0, 0, 4500, 4500);
    PictureBox pic(form, QStringLiteral("PicTest"));
    pic.setBorderStyle(0);
    pic.Move(0, 0, 3000, 3000); // 200 by 200 pixels
    Label a(pic, QStringLiteral("LblA")), b(pic, QStringLiteral("LblB"));
    a.Move(0, 0, 1500, 1500);                          // 0 to 100
    b.Move(750, 750, 1500, 1500);                      // 50 to 150, over a
    CommandButton cmd(pic, QStringLiteral("CmdOver")); // 120 to 180, over b
    cmd.Move(1800, 1800, 900, 900);
    Label onForm(form, QStringLiteral("LblForm"));
    onForm.Move(3150, 3150, 900, 900);
    auto bind = [&](Control& c, const QString& n) {
        c.onMouseDown = [&log, n](int, int, float, float) { log << n + QStringLiteral(".down"); };
        c.onMouseUp = [&log, n](int, int, float, float) { log << n + QStringLiteral(".up"); };
        c.onMouseMove = [&log, n](int bt, int, float, float) {
            if (bt) log << n + QStringLiteral(".drag");
        };
        c.onClick = [&log, n] { log << n + QStringLiteral(".click"); };
    };
    bind(a, QStringLiteral("a"));
    bind(b, QStringLiteral("b"));
    bind(pic, QStringLiteral("pic"));
    bind(onForm, QStringLiteral("lbl"));
    form.Show();
    QWindow* window = form.window()->windowHandle();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

    const struct {
        const char* name;
        std::function<void()> before;
        QPoint press, release; // pixels of the form; (-1, -1): no release
        const char* expected;
    } cases[] = {
        {"a alone",
         {},
         {20, 20},
         {30, 30},
         "a.down pic.down a.drag pic.drag a.up a.click pic.up pic.click"},
        {"b over a", {}, {70, 70}, {70, 70}, "b.down pic.down b.up b.click pic.up pic.click"},
        {"released off the label",
         {},
         {20, 20},
         {190, 10},
         "a.down pic.down a.drag pic.drag a.up pic.up pic.click"},
        {"pressed beside, dragged over",
         {},
         {190, 10},
         {20, 20},
         "pic.down pic.drag pic.up pic.click"},
        {"under a button", {}, {130, 130}, {130, 130}, ""},
        {"b hidden",
         [&] { b.setVisible(false); },
         {70, 70},
         {70, 70},
         "a.down pic.down a.up a.click pic.up pic.click"},
        {"b sent back",
         [&] {
             b.setVisible(true);
             b.ZOrder(1);
         },
         {70, 70},
         {70, 70},
         "a.down pic.down a.up a.click pic.up pic.click"},
        {"b brought back",
         [&] { b.ZOrder(0); },
         {70, 70},
         {70, 70},
         "b.down pic.down b.up b.click pic.up pic.click"},
        {"on the form, not the form's", {}, {220, 220}, {220, 220}, "lbl.down lbl.up lbl.click"},
        {"the form's own", {}, {280, 280}, {280, 280}, "form.down"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.before) c.before();
        log.clear();
        QTest::mousePress(window, Qt::LeftButton, {}, c.press);
        if (c.release != c.press) QTest::mouseMove(window, c.release);
        QTest::mouseRelease(window, Qt::LeftButton, {}, c.release);
        EXPECT_EQ(log.join(u' ').toStdString(), c.expected);
    }

    // A label's tip shows over it; one without leaves the container's.
    a.setToolTipText(QStringLiteral("Conseil"));
    pic.setToolTipText(QStringLiteral("Image"));
    for (const auto& [at, tip] :
         {std::pair{QPoint(20, 20), "Conseil"}, {QPoint(190, 10), "Image"}}) {
        QHelpEvent help(QEvent::ToolTip, at, pic.clientWidget()->mapToGlobal(at));
        QApplication::sendEvent(pic.clientWidget(), &help);
        EXPECT_EQ(QToolTip::text(), QLatin1String(tip));
    }

    // Drawn over the box's picture and under its child widgets.
    pic.setBackColor(RGB(0, 0, 255));
    b.setBackColor(RGB(255, 0, 0));
    QCoreApplication::processEvents();
    const QImage shot = pic.clientWidget()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(140, 60)), QColor(255, 0, 0));  // b
    EXPECT_EQ(QColor(shot.pixel(190, 190)), QColor(0, 0, 255)); // the box
    EXPECT_NE(QColor(shot.pixel(140, 140)), QColor(255, 0, 0)); // the button over b
}

// An auto-sized label takes the size of its text as drawn: a marking ampersand takes no room,
// and of "&&" one ampersand stays.
TEST(UiControls, AutoSizedLabelsMeasureTheTextAsDrawn) {
    ui_test::CountingForm form;
    Label shown(form), plain(form);
    shown.setAutoSize(true);
    plain.setAutoSize(true);
    auto widthOf = [](Label& label, const char* caption) {
        label.setCaption(QString::fromUtf8(caption));
        return label.Width();
    };
    for (const auto& [caption, drawn] :
         {std::pair{"&Nom", "Nom"}, {"No&m", "Nom"}, {"fin&", "fin"}, {"&a&b&c", "abc"}}) {
        EXPECT_EQ(widthOf(shown, caption), widthOf(plain, drawn)) << caption;
        EXPECT_EQ(shown.Height(), plain.Height()) << caption;
    }
    EXPECT_GT(widthOf(shown, "A&&B"), widthOf(plain, "AB"));
}

TEST(UiControls, DefaultAndCancelButtonsAnswerEnterAndEscape) {
    ui_test::OkCancelDialog dlg;
    dlg.Load();
    TextBox txt(dlg);
    auto key = [&](Qt::Key k) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(txt.widget(), &e);
    };
    key(Qt::Key_Escape);
    EXPECT_EQ(dlg.DialogResult, 0);
    dlg.Load();
    key(Qt::Key_Return);
    EXPECT_EQ(dlg.DialogResult, 1);
    EXPECT_FALSE(dlg.Loaded());
}

TEST(UiControls, KeyPreviewLetsTheFormSeeKeysFirst) {
    struct F1Form : ui_test::CountingForm {
        int help = 0;
        bool keep = false; // leaves F1 to the control
        void Form_KeyDown(int& KeyCode, int) override {
            if (KeyCode == vbKeyF1) {
                ++help;
                if (!keep) KeyCode = 0;
            }
        }
    } form;
    form.setKeyPreview(true);
    TextBox txt(form);
    int controlKeys = 0;
    txt.onKeyDown = [&](int&, int) { ++controlKeys; };
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(txt.widget(), &f1);
    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(txt.widget(), &a);
    EXPECT_EQ(form.help, 1);
    EXPECT_EQ(controlKeys, 1); // F1 was swallowed by the form, A reached the box

    // A key the handlers leave goes on to the widgets around the one with the focus: typed in
    // a box inside a picture box, it still runs the form's and the box's handlers once, and
    // the picture box's never.
    form.keep = true;
    PictureBox pic(form);
    TextBox inner(pic);
    int innerKeys = 0, picKeys = 0;
    inner.onKeyDown = [&](int&, int) { ++innerKeys; };
    pic.onKeyDown = [&](int&, int) { ++picKeys; };
    form.Show();
    testing_support::tabInto(inner.widget());
    EXPECT_TRUE(testing_support::userTypes({Qt::Key_F1, Qt::Key_F2}));
    EXPECT_EQ(form.help, 2);
    EXPECT_EQ(innerKeys, 2);
    EXPECT_EQ(picKeys, 0);
    form.Hide();
}

TEST(UiToolbar, KeyedButtonsGroupsAndClicks) {
    ui_test::CountingForm form;
    ImageList images(form), greyed(form);
    QImage red(16, 16, QImage::Format_RGB32), grey(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    grey.fill(Qt::gray);
    images.ListImages().Add({}, QStringLiteral("m01"), Picture::fromImage(red));
    images.ListImages().Add({}, QStringLiteral("m02"), Picture::fromImage(red));
    greyed.ListImages().Add({}, QStringLiteral("m01"), Picture::fromImage(grey));
    greyed.ListImages().Add({}, QStringLiteral("m02"), Picture::fromImage(grey));
    EXPECT_EQ(errorNumberOf([&] {
                  images.ListImages().Add({}, QStringLiteral("m01"), Picture::fromImage(red));
              }),
              35602);
    EXPECT_EQ(errorNumberOf([&] { images.ListImages()(QStringLiteral("nope")); }), 35601);
    EXPECT_EQ(images.ListImages()(2).Key(), QStringLiteral("m02"));

    Toolbar tb(form);
    tb.setImageList(&images);
    tb.setDisabledImageList(&greyed);
    tb.Buttons().Add({}, QStringLiteral("New"), {}, tbrDefault);
    tb.Buttons().Add({}, QStringLiteral("Sep1"), {}, tbrPlaceholder);
    tb.Buttons().Add({}, QStringLiteral("m01"), {}, tbrButtonGroup, QStringLiteral("m01"));
    tb.Buttons().Add({}, QStringLiteral("m02"), {}, tbrButtonGroup, QStringLiteral("m02"));
    EXPECT_EQ(tb.Buttons().Count(), 4);
    EXPECT_EQ(tb.Buttons(3).Key(), QStringLiteral("m01"));
    EXPECT_EQ(errorNumberOf([&] { tb.Buttons(QStringLiteral("m13")); }), 35601);
    EXPECT_EQ(errorNumberOf([&] { tb.Buttons().Add({}, QStringLiteral("New")); }), 35602);

    QStringList clicked;
    tb.onButtonClick = [&](ToolbarButton& b) { clicked << b.Key(); };
    tb.Buttons(QStringLiteral("m01")).setValue(1);
    tb.Buttons(QStringLiteral("m02")).setValue(1); // pressing one releases the other
    EXPECT_EQ(tb.Buttons(QStringLiteral("m01")).Value(), 0);
    EXPECT_EQ(tb.Buttons(QStringLiteral("m02")).Value(), 1);
    tb.Buttons(QStringLiteral("m02")).setValue(0); // none pressed is allowed
    EXPECT_TRUE(clicked.isEmpty());
    tb.userClick(tb.Buttons(QStringLiteral("m01")));
    tb.userClick(tb.Buttons(QStringLiteral("New")));
    EXPECT_EQ(clicked, (QStringList{QStringLiteral("m01"), QStringLiteral("New")}));
    EXPECT_EQ(tb.Buttons(QStringLiteral("m01")).Value(), 1);
    tb.Buttons(QStringLiteral("New")).setEnabled(false);
    tb.userClick(tb.Buttons(QStringLiteral("New")));
    EXPECT_EQ(clicked.size(), 2);
}

TEST(UiListView, SortsByTextOrSubItemKeepingEqualItemsInOrder) {
    ui_test::CountingForm form;
    ListView lv(form);
    lv.setView(lvwReport);
    const char* texts[] = {"b", "A", "c", "a"};
    int n = 0;
    for (const char* t : texts)
        lv.ListItems().Add({}, QStringLiteral("entry%1").arg(n++, 6, 10, QChar('0')),
                           QString::fromLatin1(t));
    lv.setSortKey(0);
    lv.setSortOrder(lvwAscending);
    lv.setSorted(true);
    QStringList keys;
    for (int i = 1; i <= lv.ListItems().Count(); ++i)
        keys << lv.ListItems()(i).Key();
    EXPECT_EQ(keys, (QStringList{"entry000001", "entry000003", "entry000000", "entry000002"}));
    lv.setSortOrder(lvwDescending);
    EXPECT_EQ(lv.ListItems()(1).Text(), QStringLiteral("c"));
    EXPECT_EQ(lv.ListItems()(1).Index(), 1);
    lv.ListItems().Clear();
    EXPECT_EQ(lv.ListItems().Count(), 0);
}

TEST(UiCommonControls, UpDownStepsItsBuddyText) {
    ui_test::CountingForm form;
    TextBox txt(form);
    UpDown ud(form);
    ud.setMin(0);
    ud.setMax(365);
    ud.setBuddyControl(&txt);
    int buddyChanges = 0, changes = 0;
    txt.onChange = [&] { ++buddyChanges; };
    ud.onChange = [&] { ++changes; };
    txt.setText(QStringLiteral("2.5"));
    ud.userStep(1); // reads 2 (halves to even), writes 3
    EXPECT_EQ(txt.Text(), QStringLiteral("3"));
    EXPECT_EQ(ud.Value(), 3);
    txt.setText(QStringLiteral("365"));
    ud.userStep(1);
    EXPECT_EQ(txt.Text(), QStringLiteral("365"));
    txt.setText(QStringLiteral("abc"));
    ud.userStep(-1);
    EXPECT_EQ(txt.Text(), QStringLiteral("0"));
    EXPECT_GE(buddyChanges, 5);
    EXPECT_GE(changes, 2);
}

TEST(UiCommonControls, ProgressAndDateRanges) {
    ui_test::CountingForm form;
    ProgressBar bar(form);
    bar.setValue(25);
    EXPECT_EQ(bar.Value(), 25);
    EXPECT_EQ(errorNumberOf([&] { bar.setValue(101); }), ErrInvalidProperty);
    DTPicker dtp(form);
    EXPECT_EQ(dtp.Value(), QDate(2004, 3, 15)); // the fixed clock's today
    dtp.setValue(QDate(2004, 2, 29));
    EXPECT_EQ(dtp.Day(), 29);
    EXPECT_EQ(dtp.Month(), 2);
    EXPECT_EQ(dtp.Year(), 2004);
    EXPECT_EQ(errorNumberOf([&] { dtp.setValue(QDate(1600, 1, 1)); }), ErrInvalidProperty);
}

TEST(UiControls, EditableComboTypingChangesTextAndLeavesTheRow) {
    ui_test::CountingForm form;
    ComboBox cmb(form);
    cmb.AddItem(QStringLiteral("Banque"));
    cmb.AddItem(QStringLiteral("Carte"));
    int clicks = 0, changes = 0;
    cmb.onClick = [&] { ++clicks; };
    cmb.onChange = [&] { ++changes; };
    cmb.setListIndex(1);
    EXPECT_EQ(cmb.Text(), QStringLiteral("Carte"));
    EXPECT_EQ(changes, 0); // choosing a row clicks, it does not change the text
    auto* edit = static_cast<QComboBox*>(cmb.widget())->lineEdit();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    typeInto(edit, QStringLiteral("Ca"));
    EXPECT_EQ(cmb.Text(), QStringLiteral("Ca"));
    EXPECT_EQ(cmb.ListIndex(), -1);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(clicks, 1);
}

TEST(UiControls, OptionButtonsOfOneContainerExcludeEachOther) {
    ui_test::CountingForm form;
    Frame frame(form);
    OptionButton a(frame), b(frame), other(form);
    other.setValue(true);
    int clicksA = 0;
    a.onClick = [&] { ++clicksA; };
    static_cast<QRadioButton*>(b.widget())->click();
    EXPECT_TRUE(b.Value());
    static_cast<QRadioButton*>(a.widget())->click();
    EXPECT_TRUE(a.Value());
    EXPECT_FALSE(b.Value());
    EXPECT_FALSE(static_cast<QRadioButton*>(b.widget())->isChecked());
    EXPECT_TRUE(other.Value()); // another container keeps its choice
    EXPECT_EQ(clicksA, 1);
    static_cast<QRadioButton*>(a.widget())->click(); // clicking the chosen one again
    EXPECT_TRUE(a.Value());
    EXPECT_EQ(clicksA, 1);
}

TEST(UiControls, ArrowKeysMoveTheChoiceRoundAnOptionGroupAsClicksDo) {
    ui_test::CountingForm form;
    Frame frame(form);
    frame.Move(120, 120, 3000, 1500);
    ControlArray<OptionButton> opt{QStringLiteral("Opt"), [&](auto& a) {
                                       for (int i = 0; i <= 2; ++i)
                                           a.create(i, frame).Move(120, 240 + i * 360, 2400, 300);
                                   }};
    std::vector<int> clicks;
    for (int i = 0; i <= 2; ++i)
        opt(i).onClick = [&clicks, i] { clicks.push_back(i); };
    opt(1).setValue(true);
    clicks.clear();
    form.Show();
    testing_support::tabInto(opt(1).widget());
    // Down, Right, Up, Left: round the group both ways.
    const std::vector<int> chosen = {2, 0, 2, 1};
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Up, Qt::Key_Left}) {
        ASSERT_TRUE(testing_support::userTypes({key}));
        ASSERT_FALSE(clicks.empty());
        EXPECT_EQ(QApplication::focusWidget(), opt(clicks.back()).widget());
    }
    for (int i = 0; i <= 2; ++i)
        EXPECT_EQ(opt(i).Value(), i == 1);
    EXPECT_EQ(clicks, chosen);
    form.Hide();
}

TEST(UiCommonControls, SliderChangesOnceLetGoAndStatusBarPanels) {
    ui_test::CountingForm form;
    Slider sld(form);
    int changes = 0;
    sld.onChange = [&] { ++changes; };
    static_cast<QSlider*>(sld.widget())->setValue(7); // as the user's step
    EXPECT_EQ(sld.Value(), 7);
    EXPECT_EQ(changes, 1);
    StatusBar bar(form);
    EXPECT_EQ(bar.Align(), vbAlignBottom);
    EXPECT_EQ(bar.PanelCount(), 1);
    bar.AddPanel({}, QStringLiteral("state"), QStringLiteral("Prêt"));
    EXPECT_EQ(bar.Panels(QStringLiteral("state")).Text(), QStringLiteral("Prêt"));
    EXPECT_EQ(bar.Panels(2).Index(), 2);
    EXPECT_EQ(errorNumberOf([&] { bar.Panels(3); }), 35601);
}

TEST(UiToolbar, ADisabledButtonShowsTheGreyedPictureAtTheSamePosition) {
    ui_test::CountingForm form;
    ImageList images(form), greyed(form);
    auto solid = [](QColor c) {
        QImage img(16, 16, QImage::Format_RGB32);
        img.fill(c);
        return Picture::fromImage(img);
    };
    images.ListImages().Add({}, QStringLiteral("New"), solid(Qt::red));
    images.ListImages().Add({}, QStringLiteral("Open"), solid(Qt::green));
    greyed.ListImages().Add({}, QStringLiteral("New"), solid(Qt::darkGray));
    greyed.ListImages().Add({}, QStringLiteral("Open"), solid(Qt::lightGray));
    Toolbar tb(form);
    tb.setImageList(&images);
    tb.setDisabledImageList(&greyed);
    ToolbarButton& open =
        tb.Buttons().Add({}, QStringLiteral("Open"), {}, tbrDefault, QStringLiteral("Open"));
    open.setEnabled(false);
    auto* bar = static_cast<QToolBar*>(tb.widget());
    const QIcon icon = bar->actions().constFirst()->icon();
    const QImage normal = icon.pixmap(16, 16, QIcon::Normal).toImage();
    const QImage disabled = icon.pixmap(16, 16, QIcon::Disabled).toImage();
    EXPECT_EQ(QColor(normal.pixel(8, 8)), QColor(Qt::green));
    EXPECT_EQ(QColor(disabled.pixel(8, 8)), QColor(Qt::lightGray));
    EXPECT_FALSE(bar->actions().constFirst()->isEnabled());

    // The icon follows each later change of its pictures, and only those leave it as it was.
    const auto colours = [&] {
        const QIcon now = bar->actions().constFirst()->icon();
        return std::pair{QColor(now.pixmap(16, 16, QIcon::Normal).toImage().pixel(8, 8)),
                         QColor(now.pixmap(16, 16, QIcon::Disabled).toImage().pixel(8, 8))};
    };
    const qint64 before = bar->actions().constFirst()->icon().cacheKey();
    open.setToolTipText(QStringLiteral("Ouvrir"));
    open.setEnabled(true);
    EXPECT_EQ(bar->actions().constFirst()->icon().cacheKey(), before);
    open.setImage(QStringLiteral("New"));
    EXPECT_EQ(colours(), std::pair(QColor(Qt::red), QColor(Qt::darkGray)));
    images.ListImages().Add({}, QStringLiteral("Other"), solid(Qt::blue));
    ImageList others(form);
    others.ListImages().Add({}, QStringLiteral("New"), solid(Qt::yellow));
    tb.setImageList(&others);
    EXPECT_EQ(colours(), std::pair(QColor(Qt::yellow), QColor(Qt::darkGray)));
    tb.setDisabledImageList(nullptr);
    EXPECT_NE(colours().second, QColor(Qt::darkGray));
    tb.setImageList(nullptr);
    EXPECT_TRUE(bar->actions().constFirst()->icon().isNull());
}

TEST(UiToolbar, AButtonAddedAtAPositionStandsThereAmongTheOthers) {
    ui_test::CountingForm form;
    Toolbar tb(form);
    tb.Buttons().Add({}, QStringLiteral("b"), QStringLiteral("B"));
    tb.Buttons().Add({}, QStringLiteral("gap"), {}, tbrPlaceholder);
    tb.Buttons().Add({}, QStringLiteral("d"), QStringLiteral("D"));
    tb.Buttons().Add(1, QStringLiteral("a"), QStringLiteral("A"));
    tb.Buttons().Add(4, QStringLiteral("c"), QStringLiteral("C"), tbrSeparator);
    tb.Buttons().Add(6, QStringLiteral("e"), QStringLiteral("E"));
    QStringList keys;
    for (int i = 1; i <= tb.Buttons().Count(); ++i)
        keys << tb.Buttons(i).Key();
    EXPECT_EQ(keys, (QStringList{"a", "b", "gap", "c", "d", "e"}));
    // The bar shows them in that order: the gap is a widget, the separator has no text.
    auto* bar = static_cast<QToolBar*>(tb.widget());
    QStringList shown;
    for (QAction* action : bar->actions())
        shown << (action->isSeparator()                             ? QStringLiteral("|")
                  : qobject_cast<QWidgetAction*>(action) != nullptr ? QStringLiteral("_")
                                                                    : action->text());
    EXPECT_EQ(shown, (QStringList{"A", "B", "_", "|", "D", "E"}));
    // The picture list set afterwards reaches the buttons already there.
    ImageList images(form);
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::blue);
    images.ListImages().Add({}, QStringLiteral("pic"), Picture::fromImage(img));
    tb.Buttons(QStringLiteral("d")).setImage(QStringLiteral("pic"));
    EXPECT_TRUE(bar->actions().at(4)->icon().isNull());
    tb.setImageList(&images);
    EXPECT_EQ(QColor(bar->actions().at(4)->icon().pixmap(16, 16).toImage().pixel(8, 8)),
              QColor(Qt::blue));
    // A click on a button added in the middle reaches that button.
    QStringList clicked;
    tb.onButtonClick = [&](ToolbarButton& b) { clicked << b.Key(); };
    bar->actions().at(0)->trigger();
    bar->actions().at(5)->trigger();
    EXPECT_EQ(clicked, (QStringList{"a", "e"}));
}

TEST(UiToolbar, AToolbarAlongAnEdgeIsAsHighAsItsButtons) {
    ui_test::CountingForm form;
    ImageList images(form);
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::blue);
    images.ListImages().Add({}, QStringLiteral("New"), Picture::fromImage(img));
    Toolbar tb(form);
    const int emptyHeight = tb.Height();
    tb.setImageList(&images);
    tb.Buttons().Add({}, QStringLiteral("New"), {}, tbrDefault, QStringLiteral("New"));
    EXPECT_GE(tb.Height(), rt::PixelsToTwips(16));
    EXPECT_EQ(tb.Height(), rt::PixelsToTwips(tb.widget()->sizeHint().height()));
    EXPECT_GE(tb.Height(), emptyHeight);
}
