#include "ui_tree_view.h"

#include "core/rt_error.h"
#include "core/system.h"
#include "ui_collection.h"
#include "ui_dispatch.h"

#include <QApplication>
#include <QHeaderView>
#include <QTreeWidget>

namespace rt {

// ---- Node ----

void Node::setText(const QString& text) {
    text_ = text;
    if (item_) item_->setText(0, text);
}

int Node::Children() const {
    return item_ ? item_->childCount() : 0;
}

void Node::setExpanded(bool on) {
    expanded_ = on;
    if (item_ && owner_) {
        owner_->pushing_ = true;
        item_->setExpanded(on);
        owner_->pushing_ = false;
    }
}

bool Node::Selected() const {
    return owner_ && owner_->selected_ == this;
}

void Node::setSelected(bool on) {
    if (!owner_) return;
    if (on)
        owner_->select(this);
    else if (owner_->selected_ == this)
        owner_->select(nullptr);
}

void Node::EnsureVisible() {
    for (Node* p = parent_; p; p = p->parent_)
        if (!p->expanded_) p->setExpanded(true);
    if (item_ && owner_) owner_->tree_->scrollToItem(item_);
}

// ---- Nodes ----

Node& TreeView::NodeCollection::Add(std::optional<int> Relative, int Relationship,
                                    const QString& Key, const QString& Text) {
    if (Relative && Relationship != tvwChild) rt::raise(ErrInvalidCall);
    if (!Key.isEmpty() && FindByKey(nodes_, Key)) CollectionKeyNotUnique();
    Node* parent = Relative ? &(*this)(*Relative) : nullptr;

    auto node = std::make_unique<Node>();
    node->owner_ = owner_;
    node->index_ = Count() + 1;
    node->key_ = Key;
    node->text_ = Text;
    node->parent_ = parent;
    auto* item = new QTreeWidgetItem(QStringList{Text});
    item->setData(0, Qt::UserRole, node->index_);
    node->item_ = item;

    owner_->pushing_ = true;
    if (parent) {
        parent->item_->addChild(item);
        // A node collapsed in the model stays collapsed when it gets its first child.
        parent->item_->setExpanded(parent->expanded_);
    } else {
        owner_->tree_->addTopLevelItem(item);
    }
    owner_->pushing_ = false;

    Node& ref = *node;
    nodes_.push_back(std::move(node));
    return ref;
}

Node& TreeView::NodeCollection::operator()(int index) const {
    return ItemAt(nodes_, index, CollectionIndexOutOfBounds);
}

Node& TreeView::NodeCollection::operator()(const QString& key) const {
    return ItemByKey(nodes_, key);
}

void TreeView::NodeCollection::Clear() {
    owner_->pushing_ = true;
    owner_->selected_ = nullptr;
    owner_->tree_->clear();
    nodes_.clear();
    owner_->pushing_ = false;
}

// ---- Tree view ----

TreeView::TreeView(Container& parent, const QString& name, int index)
    : Control(ControlKind::TreeView, parent, name, index) {
    initColors(vbWindowBackground, vbWindowText);
    nodes_.owner_ = this;
    tree_ = new QTreeWidget;
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    // The keyboard moves the selection: that is the user's choice of a node. A mouse press
    // also moves it, but the click is raised once the button is let go.
    QObject::connect(tree_, &QTreeWidget::currentItemChanged, this,
                     [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
                         if (pushing_ || !item) return;
                         if (QApplication::mouseButtons() != Qt::NoButton) return;
                         if (Node* n = nodeOf(item)) dispatch([&] { userClick(n->index_); });
                     });
    QObject::connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        if (pushing_) return;
        if (Node* n = nodeOf(item)) dispatch([&] { userClick(n->index_); });
    });
    QObject::connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (Node* n = nodeOf(item); n && !pushing_) n->expanded_ = true;
    });
    QObject::connect(tree_, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (Node* n = nodeOf(item); n && !pushing_) n->expanded_ = false;
    });
    attachWidget(tree_);
    addEventSource(tree_->viewport());
}

Node* TreeView::nodeOf(QTreeWidgetItem* item) const {
    if (!item) return nullptr;
    const int index = item->data(0, Qt::UserRole).toInt();
    return index >= 1 && index <= nodes_.Count() ? nodes_.nodes_[size_t(index - 1)].get() : nullptr;
}

void TreeView::select(Node* node) {
    selected_ = node;
    pushing_ = true;
    if (node) {
        tree_->setCurrentItem(node->item_);
    } else {
        tree_->clearSelection();
        tree_->setCurrentItem(nullptr);
    }
    pushing_ = false;
}

void TreeView::userClick(int index) {
    Node& node = nodes_(index);
    select(&node);
    if (onNodeClick) onNodeClick(node);
    raiseEvent(Event::Click);
}

} // namespace rt
