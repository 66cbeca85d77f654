// The tree view: nodes by index and key, their places, selection by code and by the user, and
// the list view's item pictures and keyboard selection.

#include "platform/resources.h"
#include "platform/rt_error.h"
#include "platform/ui_common_controls.h"
#include "platform/ui_toolbar.h"
#include "platform/ui_tree_view.h"
#include "ui_test_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace rt;

namespace {

int errorNumberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const RtError& e) {
        return e.Number;
    }
    return 0;
}

void pressKey(QWidget* w, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

} // namespace

TEST(UiTreeView, NodesKeepTheirIndexWhereverTheyArePlaced) {
    ui_test::CountingForm form;
    TreeView tree(form, QStringLiteral("TreeDisp"));
    auto& nodes = tree.Nodes();
    nodes.Add({}, tvwLast, {}, QStringLiteral("A"));
    nodes.Add({}, tvwLast, QStringLiteral("b"), QStringLiteral("B"));
    nodes.Add(1, tvwChild, {}, QStringLiteral("A1"));
    nodes.Add(1, tvwChild, {}, QStringLiteral("A2"));
    nodes.Add(4, tvwPrevious, {}, QStringLiteral("A1.5"));
    nodes.Add(2, tvwFirst, {}, QStringLiteral("Z"));

    ASSERT_EQ(nodes.Count(), 6);
    EXPECT_EQ(nodes(3).Text(), QStringLiteral("A1"));
    EXPECT_EQ(nodes(3).Parent(), &nodes(1));
    EXPECT_EQ(nodes(5).Parent(), &nodes(1));
    EXPECT_EQ(nodes(6).Parent(), nullptr);
    EXPECT_EQ(nodes(1).Children(), 3);
    EXPECT_EQ(nodes(QStringLiteral("b")).Index(), 2);

    // What the widget shows: Z, A (A1, A1.5, A2), B.
    auto* w = static_cast<QTreeWidget*>(tree.widget());
    ASSERT_EQ(w->topLevelItemCount(), 3);
    EXPECT_EQ(w->topLevelItem(0)->text(0), QStringLiteral("Z"));
    EXPECT_EQ(w->topLevelItem(1)->child(1)->text(0), QStringLiteral("A1.5"));

    EXPECT_EQ(errorNumberOf([&] { nodes(7); }), 35600);
    EXPECT_EQ(errorNumberOf([&] { nodes(QStringLiteral("x")); }), 35601);
    EXPECT_EQ(errorNumberOf([&] { nodes.Add({}, tvwLast, QStringLiteral("b")); }), 35602);
    nodes.Clear();
    EXPECT_EQ(nodes.Count(), 0);
    EXPECT_EQ(tree.SelectedItem(), nullptr);
}

TEST(UiTreeView, CodeSelectsSilentlyTheUserRaisesNodeClick) {
    ui_test::CountingForm form;
    TreeView tree(form, QStringLiteral("TreeDisp"));
    tree.Move(0, 0, 3000, 3000);
    for (int i = 1; i <= 3; ++i)
        tree.Nodes().Add({}, tvwLast, {}, QString::number(i));
    tree.Nodes().Add(1, tvwChild, {}, QStringLiteral("1.1"));
    std::vector<int> clicked;
    tree.onNodeClick = [&](Node& n) { clicked.push_back(n.Index()); };

    tree.Nodes(2).setSelected(true);
    EXPECT_TRUE(tree.Nodes(2).Selected());
    EXPECT_EQ(tree.SelectedItem(), &tree.Nodes(2));
    tree.Nodes(1).setExpanded(true);
    EXPECT_TRUE(static_cast<QTreeWidget*>(tree.widget())->topLevelItem(0)->isExpanded());
    EXPECT_TRUE(clicked.empty());

    tree.userClick(4);
    // The arrow key moves from 1.1 to node 2.
    form.Show();
    pressKey(tree.widget(), Qt::Key_Down);
    EXPECT_EQ(clicked, (std::vector<int>{4, 2}));
    EXPECT_EQ(tree.SelectedItem(), &tree.Nodes(2));
    form.Unload();
}

TEST(UiListView, ItemsShowTheirImageAndTheArrowKeysMoveTheSelection) {
    ui_test::CountingForm form;
    ImageList images(form, QStringLiteral("ImgLst"));
    images.ListImages().Add({}, QStringLiteral("Month"), LoadResPicture(501, vbResBitmap));
    ListView list(form, QStringLiteral("LstV"));
    list.Move(0, 0, 3000, 3000);
    list.setIcons(&images);
    for (const char* y : {"2002", "2003", "2004"})
        list.ListItems().Add({}, {}, QString::fromLatin1(y), QStringLiteral("Month"));
    list.ListItems().Add({}, {}, QStringLiteral("sans image"));

    auto* w = static_cast<QTreeWidget*>(list.widget());
    EXPECT_FALSE(w->topLevelItem(0)->icon(0).isNull());
    EXPECT_TRUE(w->topLevelItem(3)->icon(0).isNull());

    list.ListItems()(2).setSelected(true);
    list.ListItems()(2).EnsureVisible();
    form.Show();
    w->setFocus();
    pressKey(w, Qt::Key_Down);
    ASSERT_NE(list.SelectedItem(), nullptr);
    EXPECT_EQ(list.SelectedItem()->Text(), QStringLiteral("2004"));
    form.Unload();
}
