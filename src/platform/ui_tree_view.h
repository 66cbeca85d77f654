#pragma once
// A tree view: nodes with a text, an optional key and a place in the tree, reached by their
// 1-based index (the order in which they were added) or by key. Selecting a node from code
// raises nothing; the user's choice of a node, by the mouse or the keyboard, selects it and
// raises NodeClick. A missing index or key is run-time error 35600 / 35601, a key used twice
// 35602.

#include "ui_control.h"

#include <memory>
#include <optional>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace rt {

class TreeView;

// Where Nodes.Add puts a node: at the end of the root, or as the last child of a node.
enum TreeRelationship : int { tvwLast = 1, tvwChild = 4 };

class Node {
public:
    int Index() const { return index_; }
    const QString& Key() const { return key_; }
    const QString& Text() const { return text_; }
    void setText(const QString& text);
    // The parent node, or nullptr for a node at the root.
    Node* Parent() const { return parent_; }
    // The number of children.
    int Children() const;
    bool Expanded() const { return expanded_; }
    void setExpanded(bool on);
    bool Selected() const;
    // Selects the node (or clears the selection of this node); raises nothing.
    void setSelected(bool on);
    // Expands the node's parents and scrolls the node into view.
    void EnsureVisible();
    QString Tag;

private:
    friend class TreeView;
    TreeView* owner_ = nullptr;
    int index_ = 0;
    QString key_;
    QString text_;
    Node* parent_ = nullptr;
    bool expanded_ = false;
    QTreeWidgetItem* item_ = nullptr;
};

class TreeView : public Control {
public:
    explicit TreeView(Container& parent, const QString& name = {}, int index = -1);

    class NodeCollection {
    public:
        // Adds a node at the end of the root (no Relative), or as the last child of node
        // Relative (Relationship tvwChild; any other is run-time error 5).
        Node& Add(std::optional<int> Relative = {}, int Relationship = tvwLast,
                  const QString& Key = {}, const QString& Text = {});
        Node& operator()(int index) const;
        Node& operator()(const QString& key) const;
        int Count() const { return int(nodes_.size()); }
        void Clear();

    private:
        friend class TreeView;
        TreeView* owner_ = nullptr;
        std::vector<std::unique_ptr<Node>> nodes_;
    };

    NodeCollection& Nodes() { return nodes_; }
    const NodeCollection& Nodes() const { return nodes_; }
    Node& Nodes(int index) const { return nodes_(index); }
    Node& Nodes(const QString& key) const { return nodes_(key); }
    // The selected node, or nullptr.
    Node* SelectedItem() const { return selected_; }

    std::function<void(Node& node)> onNodeClick;

    // The user chose node Index (a click, or the arrow keys): selects it and raises NodeClick.
    void userClick(int index);

private:
    friend class Node;
    Node* nodeOf(QTreeWidgetItem* item) const;
    void select(Node* node);

    NodeCollection nodes_;
    Node* selected_ = nullptr;
    QTreeWidget* tree_;
};

} // namespace rt
