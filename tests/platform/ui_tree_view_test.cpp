// The tree view (nodes by index and key, selection by code and by the user) and the list
// view's item pictures and keyboard selection.

#include "core/resources.h"
#include "core/rt_error.h"
#include "platform/ui_common_controls.h"
#include "platform/ui_toolbar.h"
#include "platform/ui_tree_view.h"
#include "ui_test_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace rt;
using ui_test::errorNumberOf;

namespace {

void pressDown(QWidget* w) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

} // namespace

TEST(UiTreeView, CodeSelectsSilentlyTheUserRaisesNodeClick) {
    ui_test::CountingForm form;
    TreeView tree(form, QStringLiteral("TreeDisp"));
    tree.Move(0, 0, 3000, 3000);
    auto& nodes = tree.Nodes();
    nodes.Add({}, tvwLast, {}, QStringLiteral("1"));
    nodes.Add({}, tvwLast, QStringLiteral("deux"), QStringLiteral("2"));
    nodes.Add(1, tvwChild, {}, QStringLiteral("1.1"));
    EXPECT_EQ(nodes(3).Parent(), &nodes(1));
    EXPECT_EQ(nodes(QStringLiteral("deux")).Index(), 2);
    EXPECT_EQ(errorNumberOf([&] { nodes(4); }), 35600);
    EXPECT_EQ(errorNumberOf([&] { nodes(QStringLiteral("x")); }), 35601);
    EXPECT_EQ(errorNumberOf([&] { nodes.Add({}, tvwLast, QStringLiteral("deux")); }), 35602);
    std::vector<int> clicked;
    tree.onNodeClick = [&](Node& n) { clicked.push_back(n.Index()); };

    nodes(2).setSelected(true);
    nodes(1).setExpanded(true);
    EXPECT_EQ(tree.SelectedItem(), &nodes(2));
    EXPECT_TRUE(static_cast<QTreeWidget*>(tree.widget())->topLevelItem(0)->isExpanded());
    EXPECT_TRUE(clicked.empty());

    // A click on 1.1, then the arrow key down to node 2.
    tree.userClick(3);
    form.Show();
    pressDown(tree.widget());
    EXPECT_EQ(clicked, (std::vector<int>{3, 2}));
    EXPECT_EQ(tree.SelectedItem(), &nodes(2));
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
    form.Show();
    pressDown(w);
    ASSERT_NE(list.SelectedItem(), nullptr);
    EXPECT_EQ(list.SelectedItem()->Text(), QStringLiteral("2004"));
    form.Unload();
}
