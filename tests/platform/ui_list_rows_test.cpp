// The rows the Qt widgets of list boxes, combo boxes and list views show, after sequences of
// adds, removals, retitles, sorts, ticks and choices: the same rows, ticks and chosen row as
// the control holds, and only the events the control raises.

#include "core/rt_error.h"
#include "platform/ui_common_controls.h"
#include "platform/ui_lists.h"
#include "platform/ui_toolbar.h"
#include "ui_test_support.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTreeWidget>
#include <algorithm>
#include <gtest/gtest.h>

using namespace rt;
using ui_test::errorNumberOf;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

QStringList rowsOf(const ListBox& lst) {
    QStringList rows;
    for (int i = 0; i < lst.ListCount(); ++i)
        rows << lst.List(i);
    return rows;
}

// The widget shows the control's rows, ticks, chosen row and (multi-select) selection.
void expectShown(ListBox& lst, const std::string& when) {
    SCOPED_TRACE(when);
    auto* w = static_cast<QListWidget*>(lst.widget());
    ASSERT_EQ(w->count(), lst.ListCount());
    for (int i = 0; i < lst.ListCount(); ++i) {
        EXPECT_EQ(w->item(i)->text(), lst.List(i)) << "row " << i;
        if (lst.Style() == vbListBoxCheckbox) {
            EXPECT_EQ(w->item(i)->checkState() == Qt::Checked, lst.Selected(i)) << "tick " << i;
        }
        const bool selected = lst.MultiSelect() != 0 ? lst.Selected(i) : i == lst.ListIndex();
        EXPECT_EQ(w->item(i)->isSelected(), selected) << "selection " << i;
    }
    EXPECT_EQ(w->currentRow(), lst.ListIndex());
}

TEST(UiListRows, AListBoxWidgetShowsTheRowsTicksAndChoiceAfterEveryStep) {
    ui_test::CountingForm form;
    struct Case {
        const char* name;
        int style;
        int multiSelect;
        bool sorted;
        std::function<void(ListBox&)> steps;
        QStringList rows;
        int listIndex;
        std::vector<int> selected; // ticked or selected rows
        QStringList events;
    };
    const std::vector<Case> cases = {
        {"ticks and the choice follow an insert before them",
         vbListBoxCheckbox,
         0,
         false,
         [](ListBox& l) {
             for (const char* t : {"a", "b", "c"})
                 l.AddItem(S(t));
             l.setSelected(1, true);
             l.setListIndex(2);
             l.AddItem(S("z"), 0);
         },
         {"z", "a", "b", "c"},
         3,
         {2},
         {"ItemCheck(1)", "Click"}},
        {"removing the chosen row leaves none chosen and raises nothing",
         vbListBoxCheckbox,
         0,
         false,
         [](ListBox& l) {
             for (const char* t : {"a", "b", "c", "d"})
                 l.AddItem(S(t));
             l.setSelected(3, true);
             l.setListIndex(1);
             l.RemoveItem(1);
             l.RemoveItem(0);
         },
         {"c", "d"},
         -1,
         {1},
         {"ItemCheck(3)", "Click"}},
        {"a retitled row keeps its tick",
         vbListBoxCheckbox,
         0,
         false,
         [](ListBox& l) {
             l.setList(0, S("x"));
             l.setList(1, S("y"));
             l.setSelected(0, true);
             l.setList(0, S("x2"));
             l.setListIndex(0);
         },
         {"x2", "y"},
         0,
         {0},
         {"ItemCheck(0)", "Click"}},
        {"a cleared list refills with only its new ticks",
         vbListBoxCheckbox,
         0,
         false,
         [](ListBox& l) {
             l.AddItem(S("a"));
             l.AddItem(S("b"));
             l.setSelected(0, true);
             l.setListIndex(1);
             l.Clear();
             l.setList(0, S("p"));
             l.setList(1, S("q"));
             l.setSelected(1, true);
         },
         {"p", "q"},
         -1,
         {1},
         {"ItemCheck(0)", "Click", "ItemCheck(1)"}},
        {"sorted adds go after equal rows, letter case ignored",
         vbListBoxStandard,
         0,
         true,
         [](ListBox& l) {
             for (const char* t : {"pomme", "Banane", "cerise", "abricot", "banane"})
                 l.AddItem(S(t));
             l.setListIndex(2);
             l.AddItem(S("BANANE"));
         },
         {"abricot", "Banane", "banane", "BANANE", "cerise", "pomme"},
         2,
         {},
         {"Click"}},
        {"after a retitle out of order a sorted add goes before the first higher row",
         vbListBoxStandard,
         0,
         true,
         [](ListBox& l) {
             for (const char* t : {"a", "b", "d"})
                 l.AddItem(S(t));
             l.setList(0, S("zz"));
             l.AddItem(S("c"));
         },
         {"c", "zz", "b", "d"},
         -1,
         {},
         {}},
        {"a multi-select list keeps its selected rows through inserts and removals",
         vbListBoxStandard,
         1,
         false,
         [](ListBox& l) {
             for (const char* t : {"a", "b", "c", "d"})
                 l.AddItem(S(t));
             l.setSelected(1, true);
             l.setSelected(3, true);
             l.setListIndex(3);
             l.RemoveItem(0);
             l.AddItem(S("n"), 1);
             l.setSelected(0, true);
         },
         {"b", "n", "c", "d"},
         3,
         {0, 3},
         {"Click"}},
        {"a change of style shows the ticks already set",
         vbListBoxStandard,
         0,
         false,
         [](ListBox& l) {
             l.AddItem(S("a"));
             l.AddItem(S("b"));
             l.setStyle(vbListBoxCheckbox);
             l.setSelected(0, true);
             l.setListIndex(1);
             l.setStyle(vbListBoxCheckbox);
         },
         {"a", "b"},
         1,
         {0},
         {"ItemCheck(0)", "Click"}},
    };
    for (const Case& c : cases) {
        ListBox lst(form);
        lst.setStyle(c.style);
        lst.setMultiSelect(c.multiSelect);
        lst.setSorted(c.sorted);
        QStringList events;
        lst.onClick = [&] { events << S("Click"); };
        lst.onItemCheck = [&](int item) { events << QStringLiteral("ItemCheck(%1)").arg(item); };
        c.steps(lst);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rowsOf(lst), c.rows);
        EXPECT_EQ(lst.ListIndex(), c.listIndex);
        std::vector<int> selected;
        for (int i = 0; i < lst.ListCount(); ++i)
            if ((lst.Style() == vbListBoxCheckbox || lst.MultiSelect() != 0) && lst.Selected(i))
                selected.push_back(i);
        EXPECT_EQ(selected, c.selected);
        EXPECT_EQ(events, c.events);
        expectShown(lst, c.name);
        const bool inOrder =
            std::is_sorted(c.rows.begin(), c.rows.end(), [](const QString& a, const QString& b) {
                return a.compare(b, Qt::CaseInsensitive) < 0;
            });
        if (c.sorted && inOrder) { // sorting everything again finds the rows as they are
            lst.setSorted(true);
            EXPECT_EQ(rowsOf(lst), c.rows) << "sorted again";
        }
    }
}

TEST(UiListRows, AComboBoxWidgetShowsTheRowsAndTheChosenText) {
    ui_test::CountingForm form;
    struct Case {
        const char* name;
        int style;
        std::function<void(ComboBox&)> steps;
        QStringList rows;
        int listIndex;
        QString text;
    };
    const std::vector<Case> cases = {
        {"an insert before the chosen row",
         vbComboDropdownList,
         [](ComboBox& c) {
             c.AddItem(S("un"));
             c.AddItem(S("deux"));
             c.setListIndex(1);
             c.AddItem(S("zéro"), 0);
         },
         {"zéro", "un", "deux"},
         2,
         S("deux")},
        {"the chosen row removed",
         vbComboDropdownList,
         [](ComboBox& c) {
             c.AddItem(S("un"));
             c.AddItem(S("deux"));
             c.setListIndex(0);
             c.RemoveItem(0);
         },
         {"deux"},
         -1,
         QString()},
        {"the chosen row retitled",
         vbComboDropdownList,
         [](ComboBox& c) {
             c.AddItem(S("un"));
             c.setListIndex(0);
             c.setList(0, S("one"));
         },
         {"one"},
         0,
         S("one")},
        {"typed text stays through adds and removals",
         vbComboDropdown,
         [](ComboBox& c) {
             c.AddItem(S("un"));
             c.setText(S("libre"));
             c.AddItem(S("deux"), 0);
             c.RemoveItem(1);
         },
         {"deux"},
         -1,
         S("libre")},
    };
    for (const Case& c : cases) {
        ComboBox cmb(form);
        cmb.setStyle(c.style);
        c.steps(cmb);
        SCOPED_TRACE(c.name);
        auto* w = static_cast<QComboBox*>(cmb.widget());
        QStringList rows, shown;
        for (int i = 0; i < cmb.ListCount(); ++i)
            rows << cmb.List(i);
        for (int i = 0; i < w->count(); ++i)
            shown << w->itemText(i);
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(shown, c.rows);
        EXPECT_EQ(cmb.ListIndex(), c.listIndex);
        EXPECT_EQ(w->currentIndex(), c.listIndex);
        EXPECT_EQ(cmb.Text(), c.text);
        if (w->isEditable()) {
            EXPECT_EQ(w->lineEdit()->text(), c.text);
        }
    }
}

TEST(UiListRows, AListViewShowsItsItemsInOrderWithTheirKeysTicksAndSelection) {
    ui_test::CountingForm form;
    struct Case {
        const char* name;
        bool sorted;
        int sortOrder;
        std::function<void(ListView&)> steps;
        QStringList keys; // in the order shown
        const char* selectedKey;
    };
    auto add = [](ListView& v, const char* key, const char* text, std::optional<int> at = {}) {
        v.ListItems().Add(at, S(key), S(text));
    };
    const std::vector<Case> cases = {
        {"adds and removals by position and key",
         false,
         lvwAscending,
         [&](ListView& v) {
             add(v, "k1", "b");
             add(v, "k2", "a");
             add(v, "k3", "c", 1);
             v.ListItems()(S("k2")).setSelected(true);
             v.ListItems().Remove(S("k3"));
             add(v, "k3", "d"); // a removed key is free again
         },
         {"k1", "k2", "k3"},
         "k2"},
        {"sorted adds at a position stay among equal texts where they were put",
         true,
         lvwAscending,
         [&](ListView& v) {
             add(v, "k1", "b");
             add(v, "k2", "A");
             add(v, "k3", "a");
             add(v, "k4", "a", 1);
             add(v, "k5", "c", 1);
             v.ListItems()(S("k3")).setSelected(true);
         },
         {"k4", "k2", "k3", "k1", "k5"},
         "k3"},
        {"a retitled item moves to its sorted place and stays selected",
         true,
         lvwDescending,
         [&](ListView& v) {
             for (const char* k : {"k1", "k2", "k3", "k4"})
                 add(v, k, k);
             v.ListItems()(S("k1")).setSelected(true);
             v.ListItems()(S("k1")).setText(S("k9"));
             v.ListItems()(S("k4")).setText(S("k0"));
         },
         {"k1", "k3", "k2", "k4"},
         "k1"},
        {"removing the selected item selects nothing",
         false,
         lvwAscending,
         [&](ListView& v) {
             for (const char* k : {"k1", "k2", "k3"})
                 add(v, k, k);
             v.ListItems()(2).setSelected(true);
             v.ListItems().Remove(2);
         },
         {"k1", "k3"},
         nullptr},
    };
    for (const Case& c : cases) {
        ListView lv(form);
        lv.setCheckboxes(true);
        lv.setSortOrder(c.sortOrder);
        lv.setSorted(c.sorted);
        c.steps(lv);
        SCOPED_TRACE(c.name);
        auto& items = lv.ListItems();
        auto* tree = static_cast<QTreeWidget*>(lv.widget());
        QStringList keys;
        ASSERT_EQ(tree->topLevelItemCount(), items.Count());
        for (int i = 1; i <= items.Count(); ++i) {
            ListItem& item = items(i);
            keys << item.Key();
            EXPECT_EQ(item.Index(), i);
            EXPECT_EQ(&items(item.Key()), &item);
            EXPECT_EQ(tree->topLevelItem(i - 1)->text(0), item.Text());
            item.setChecked(i % 2 == 0);
            EXPECT_EQ(tree->topLevelItem(i - 1)->checkState(0) == Qt::Checked, i % 2 == 0);
        }
        EXPECT_EQ(keys, c.keys);
        ListItem* selected = c.selectedKey ? &items(S(c.selectedKey)) : nullptr;
        EXPECT_EQ(lv.SelectedItem(), selected);
        QTreeWidgetItem* current = tree->currentItem();
        EXPECT_EQ(current ? tree->indexOfTopLevelItem(current) + 1 : 0,
                  selected ? selected->Index() : 0);
        EXPECT_EQ(tree->selectedItems().size(), selected ? 1 : 0);
        if (c.sorted) { // sorting everything again finds the items already in order
            lv.setSorted(true);
            QStringList again;
            for (int i = 1; i <= items.Count(); ++i)
                again << items(i).Key();
            EXPECT_EQ(again, c.keys) << "sorted again";
        }
        EXPECT_EQ(errorNumberOf([&] { add(lv, c.keys[0].toUtf8().constData(), "x"); }), 35602);
    }
}

TEST(UiListRows, ImageListKeysAndPositionsFollowInsertsAndRemovals) {
    ui_test::CountingForm form;
    ImageList images(form);
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    auto& list = images.ListImages();
    for (const char* key : {"a", "b", "c"})
        list.Add({}, S(key), Picture::fromImage(red));
    list.Add(1, S("first"), Picture::fromImage(red));
    list.Remove(S("b"));
    list.Add({}, S("b"), Picture::fromImage(red));
    QStringList keys;
    for (int i = 1; i <= list.Count(); ++i) {
        keys << list(i).Key();
        EXPECT_EQ(list(i).Index(), i);
        EXPECT_EQ(&list(list(i).Key()), &list(i));
    }
    EXPECT_EQ(keys, (QStringList{"first", "a", "c", "b"}));
    EXPECT_EQ(images.find(S("c")), &list(3));
    list.Clear();
    EXPECT_EQ(images.find(S("c")), nullptr);
}

// A row wider than the list is shown whole: the list scrolls across to the end of its widest
// row, wherever that row stands, and no further once it is gone.
TEST(UiListRows, AListBoxScrollsAcrossToItsWidestRow) {
    ui_test::CountingForm form;
    ListBox lst(form);
    lst.Move(0, 0, 1500, 1500);
    auto* w = static_cast<QListWidget*>(lst.widget());
    const QString wide = S("(DE) - (1A le 15/03) - Assurance habitation du logement");
    const QString wider = wide + S(" et du garage");
    for (QString t : {S("a"), wide, S("b")})
        lst.AddItem(t);
    form.Show();
    auto across = [&] {
        QCoreApplication::processEvents();
        return w->horizontalScrollBar()->maximum() + w->viewport()->width();
    };
    const QFontMetrics fm = w->fontMetrics();
    EXPECT_GE(across(), fm.horizontalAdvance(wide));
    EXPECT_GE(w->visualItemRect(w->item(1)).width(), fm.horizontalAdvance(wide));
    lst.setList(2, wider);
    EXPECT_GE(across(), fm.horizontalAdvance(wider));
    lst.RemoveItem(2);
    lst.RemoveItem(1);
    EXPECT_LE(across(), w->viewport()->width());
    form.Hide();
}

} // namespace
