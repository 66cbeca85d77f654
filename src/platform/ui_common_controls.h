#pragma once
// The common controls: tab controls with pages, list views, progress bars, sliders, up-down
// buttons bound to a text box, and date pickers (ui_date_picker.h).

#include "ui_collection.h"
#include "ui_control.h"
#include "ui_date_picker.h"

#include <QDate>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QProgressBar;
class QSlider;
class QToolButton;

namespace rt {

class TabControl;
class TextBox;
class ImageList;

// ---- Tab control ----

// One page of a tab control: the container of the controls shown under its tab.
class TabPage : public Container {
public:
    TabPage(TabControl& owner, QWidget* page) : owner_(owner), page_(page) {}
    QWidget* clientWidget() const override { return page_; }
    Form* form() const override;

private:
    TabControl& owner_;
    QWidget* page_;
};

enum TabOrientationValue : int {
    ssTabOrientationTop = 0,
    ssTabOrientationBottom = 1,
    ssTabOrientationLeft = 2,
    ssTabOrientationRight = 3
};

// Tabs numbered from 0. Setting Tab raises Click(PreviousTab), as does the user's choice of a
// tab; setting the current tab again raises nothing.
class TabControl : public Control {
public:
    explicit TabControl(Container& parent, const QString& name = {}, int index = -1);
    // A tab control with its number of tabs from the start (their pages can hold controls).
    TabControl(Container& parent, int tabs, const QString& name, int index = -1);
    ~TabControl() override;

    int Tabs() const { return int(pages_.size()); }
    void setTabs(int count);
    int Tab() const { return tab_; }
    void setTab(int tab);
    QString TabCaption(int tab) const;
    void setTabCaption(int tab, const QString& caption);
    bool TabEnabled(int tab) const;
    void setTabEnabled(int tab, bool on);
    bool TabVisible(int tab) const;
    void setTabVisible(int tab, bool on);
    int TabOrientation() const { return orientation_; }
    void setTabOrientation(int orientation);
    // The container of tab t's controls.
    TabPage& Page(int tab) const;

    std::function<void(int PreviousTab)> onTabClick;

    void userSelect(int tab);
    void raiseEvent(Event event) override;

private:
    void checkTab(int tab) const;
    struct PageInfo {
        QString caption;
        bool enabled = true;
        bool visible = true;
        std::unique_ptr<TabPage> container;
        QWidget* widget = nullptr;
    };
    std::vector<PageInfo> pages_;
    int tab_ = 0;
    int previousTab_ = 0;
    int orientation_ = ssTabOrientationTop;
    QTabWidget* tabs_;
};

// ---- List view ----

class ListView;

class ListItem {
public:
    int Index() const { return index_; }
    const QString& Key() const { return key_; }
    const QString& Text() const { return text_; }
    void setText(const QString& text);
    // Sub-item i (1-based) of a report view.
    QString SubItems(int i) const;
    void setSubItems(int i, const QString& text);
    bool Selected() const;
    void setSelected(bool on);
    bool Checked() const { return checked_; }
    void setChecked(bool on);
    // The item's picture: the key (a QString) or 1-based position (an int) of an image in the
    // list view's image list; none when null.
    const QVariant& Icon() const { return icon_; }
    void setIcon(const QVariant& keyOrIndex);
    // Scrolls the list so that the item is in view.
    void EnsureVisible();
    QString Tag;

private:
    friend class ListView;
    ListView* owner_ = nullptr;
    int index_ = 0;
    QString key_;
    QString text_;
    QVariant icon_;
    std::vector<QString> subItems_;
    bool checked_ = false;
};

enum ListViewView : int { lvwIcon = 0, lvwSmallIcon = 1, lvwList = 2, lvwReport = 3 };
enum ListSortOrder : int { lvwAscending = 0, lvwDescending = 1 };

class ListView : public Control {
public:
    explicit ListView(Container& parent, const QString& name = {}, int index = -1);

    class ItemCollection {
    public:
        ListItem& Add(std::optional<int> index = {}, const QString& key = {},
                      const QString& text = {}, const QVariant& icon = {});
        ListItem& operator()(int index) const;
        ListItem& operator()(const QString& key) const;
        int Count() const { return int(items_.size()); }
        void Clear();
        void Remove(int index);
        void Remove(const QString& key);

    private:
        friend class ListView;
        ListView* owner_ = nullptr;
        KeyedItems<ListItem> items_;
    };

    ItemCollection& ListItems() { return items_; }
    // Column headers of the report view: captions and widths in twips.
    void AddColumnHeader(const QString& text, int widthTwips = 1440);
    int ColumnHeaderCount() const { return int(columns_.size()); }

    int View() const { return view_; }
    void setView(int view);
    // Sorting by the text (SortKey 0) or a sub-item (SortKey n), letter case ignored, equal
    // texts kept in their order; applied while Sorted is true.
    bool Sorted() const { return sorted_; }
    void setSorted(bool on);
    int SortKey() const { return sortKey_; }
    void setSortKey(int key);
    int SortOrder() const { return sortOrder_; }
    void setSortOrder(int order);
    bool Checkboxes() const { return checkboxes_; }
    void setCheckboxes(bool on);
    // The selected item, or nullptr.
    ListItem* SelectedItem() const;
    // The image list whose images the items show (nullptr for none; not owned).
    ImageList* Icons() const { return icons_; }
    void setIcons(ImageList* images);

    std::function<void(ListItem& Item)> onItemClick;
    std::function<void(int Column)> onColumnClick;
    std::function<void(ListItem& Item)> onItemCheck;

    // Sorts the items again when Sorted, numbers them and shows them all anew.
    void itemsChanged();

private:
    friend class ListItem;
    // Item a comes before item b in the sort order in force.
    bool sortsBefore(const ListItem& a, const ListItem& b) const;
    // Where an item goes among the sorted items when it stood at `at` before sorting: after
    // the items that sort before it, before those it sorts before, and among equal items at
    // `at`, as a stable sort of the whole list would put it.
    size_t sortedPosition(const ListItem& item, size_t at) const;
    void renumber(size_t from, size_t to);
    // One item's row: its texts, tick and picture.
    void showItem(QTreeWidgetItem* row, const ListItem& item) const;
    void showItem(const ListItem& item);
    // The rows of the items from `from` on, after an item was inserted there or taken away.
    void inserted(size_t at);
    void removed(size_t at);
    // An item whose sort key changed moves to its sorted place (when Sorted).
    void keyChanged(ListItem& item);
    void showSelection();
    void rebuild();
    ItemCollection items_;
    std::vector<std::pair<QString, int>> columns_;
    int view_ = lvwIcon;
    bool sorted_ = false;
    int sortKey_ = 0;
    int sortOrder_ = lvwAscending;
    bool checkboxes_ = false;
    ListItem* selected_ = nullptr;
    ImageList* icons_ = nullptr;
    QTreeWidget* tree_;
};

// ---- Progress bar, slider ----

class ProgressBar : public Control {
public:
    explicit ProgressBar(Container& parent, const QString& name = {}, int index = -1);
    double Min() const { return min_; }
    double Max() const { return max_; }
    double Value() const { return value_; }
    void setMin(double v);
    void setMax(double v);
    // Run-time error 380 outside Min .. Max.
    void setValue(double v);

private:
    void push();
    double min_ = 0, max_ = 100, value_ = 0;
    QProgressBar* bar_;
};

class Slider : public Control {
public:
    explicit Slider(Container& parent, const QString& name = {}, int index = -1);
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Value() const { return value_; }
    void setMin(int v);
    void setMax(int v);
    void setValue(int v);
    int SmallChange() const { return small_; }
    void setSmallChange(int v);
    int LargeChange() const { return large_; }
    void setLargeChange(int v);
    int TickFrequency() const { return tickFrequency_; }
    void setTickFrequency(int v);

    std::function<void()> onScroll;

private:
    void push();
    int min_ = 0, max_ = 10, value_ = 0, small_ = 1, large_ = 5, tickFrequency_ = 1;
    QSlider* slider_;
};

// ---- Up-down ----

// Two arrow buttons that step a buddy text box: each step reads the buddy's number, adds or
// takes Increment, keeps it within Min .. Max (or wraps), and writes it back into the buddy's
// text, which raises the buddy's Change. Value follows, with the up-down's own Change.
class UpDown : public Control {
public:
    explicit UpDown(Container& parent, const QString& name = {}, int index = -1);
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Value() const { return value_; }
    int Increment() const { return increment_; }
    bool Wrap() const { return wrap_; }
    void setMin(int v) { min_ = v; }
    void setMax(int v) { max_ = v; }
    void setValue(int v);
    void setIncrement(int v);
    void setWrap(bool on) { wrap_ = on; }
    TextBox* BuddyControl() const { return buddy_; }
    void setBuddyControl(TextBox* buddy) { buddy_ = buddy; }
    bool SyncBuddy() const { return syncBuddy_; }
    void setSyncBuddy(bool on) { syncBuddy_ = on; }

    std::function<void()> onUpClick;
    std::function<void()> onDownClick;

    // The user pressed an arrow: +1 up, -1 down.
    void userStep(int direction);

private:
    int min_ = 0, max_ = 10, value_ = 0, increment_ = 1;
    bool wrap_ = false;
    bool syncBuddy_ = true;
    TextBox* buddy_ = nullptr;
};

} // namespace rt
