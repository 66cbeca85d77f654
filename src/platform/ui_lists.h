#pragma once
// List boxes (plain, multi-select, or with a check box per row) and combo boxes.
//
// Rows are kept by the control; the Qt widget only shows them. Setting ListIndex raises Click
// (nothing for the same value), ticking a row of a check-box list raises ItemCheck(row), and
// the user's clicks and ticks go through the same setters. A combo box never selects a row by
// itself: ListIndex stays -1 until code or the user chooses one.
//
// Each change reaches the widget as that change alone (a row added, removed, retitled, ticked
// or chosen), so that filling a list of n rows takes time in proportion to n.
//
// A list box shows every row whole: its rows are as wide as the widest, and a list narrower
// than that scrolls across.

#include "ui_control.h"

#include <cstdint>
#include <optional>
#include <vector>

class QListWidget;
class QListWidgetItem;
class QComboBox;

namespace rt {

enum ListBoxStyle : int { vbListBoxStandard = 0, vbListBoxCheckbox = 1 };
enum ComboBoxStyle : int { vbComboDropdown = 0, vbComboSimple = 1, vbComboDropdownList = 2 };

// The rows of a list or combo box: their texts, item data and ticks, the chosen row and the row
// last added. Both controls keep their rows the same way and differ only in how they show them.
struct ListRows {
    struct Row {
        QString text;
        int32_t data = 0;
        bool selected = false;
    };
    std::vector<Row> items;
    int chosen = -1; // ListIndex
    int added = -1;  // NewIndex
    bool sorted = false;
    // The rows are in sorted order: nothing was put out of place since the last sort. A sorted
    // add then finds its place by halving.
    bool inOrder = true;

    int count() const { return int(items.size()); }
    bool inRange(int index) const { return index >= 0 && index < count(); }
    // The text of a row; "" outside the rows.
    QString text(int index) const { return inRange(index) ? items[size_t(index)].text : QString(); }
    // Adds a row at index (0 to count), or at the end, or in sorted order when sorted; the chosen
    // row stays chosen. Run-time error 5 for an index outside.
    void add(const QString& text, std::optional<int> index);
    // Removes a row (the caller checks the index); the chosen row follows or is unchosen.
    void remove(int index);
    // Changes a row's text (the caller checks the index).
    void setText(int index, const QString& text);
    void clear();
    // Sorts the rows by text, letter case ignored, keeping equal texts in their order.
    void sort();
};

class ListBox : public Control {
public:
    explicit ListBox(Container& parent, const QString& name = {}, int index = -1);

    int Style() const { return style_; }
    void setStyle(int style);
    int MultiSelect() const { return multiSelect_; }
    void setMultiSelect(int mode);
    bool Sorted() const { return rows_.sorted; }
    void setSorted(bool on);

    // Adds a row (at index, or at the end; in sorted order when Sorted).
    void AddItem(const QString& item, std::optional<int> index = {});
    // Removes a row; run-time error 5 outside the rows.
    void RemoveItem(int index);
    void Clear();
    // The text of a row; "" outside the rows.
    QString List(int index) const;
    // Sets the text of a row; the index ListCount appends a row.
    void setList(int index, const QString& text);
    int ListCount() const { return rows_.count(); }
    int ListIndex() const { return rows_.chosen; }
    // -1 selects nothing; run-time error 380 outside -1 .. ListCount - 1.
    void setListIndex(int index);
    // A check-box list: the row's tick. A multi-select list: the row's selection. A plain list:
    // whether the row is ListIndex.
    bool Selected(int index) const;
    void setSelected(int index, bool selected);
    int32_t ItemData(int index) const;
    void setItemData(int index, int32_t data);
    int NewIndex() const { return rows_.added; }
    int SelCount() const;
    int TopIndex() const;
    void setTopIndex(int index);
    // The text of the row ListIndex ("" for none).
    QString Text() const { return List(rows_.chosen); }

    std::function<void(int Item)> onItemCheck;

    // The user's actions (the widget's signals; tests drive them too).
    void userSelect(int row);
    void userTick(int row, bool ticked);
    void userDoubleClick(int row);

    void raiseEvent(Event event) override;

    // The width in pixels of the widest row's text, in the list's font.
    int widestRowText() const;

protected:
    void pushColors() override;
    void pushFont() override;

private:
    // Keeps the widest row's width as a row's text comes (added) or goes (removed); true when
    // the width of the rows changes.
    bool rowTextChanged(const QString& added, const QString& removed);
    // The widget's row for a row of the list.
    QListWidgetItem* makeRow(const ListRows::Row& row) const;
    // Shows every row anew (after a change of style or order).
    void pushRows();
    // Makes one change to the widget's rows, then shows ListIndex again.
    template <class Change> void pushRowChange(Change change);
    // Shows ListIndex as the widget's current row (and, in a single-selection list, its
    // selection).
    void pushCurrent();
    // Shows a row's tick and, in a multi-select list, its selection.
    void pushRowSelected(int index);
    void checkIndex(int index) const;

    ListRows rows_;
    int style_ = vbListBoxStandard;
    int multiSelect_ = 0;
    int eventItem_ = -1;
    mutable int widest_ = 0;
    mutable bool widestKnown_ = true; // widest_ holds for the rows as they are
    QListWidget* list_;
};

class ComboBox : public Control {
public:
    explicit ComboBox(Container& parent, const QString& name = {}, int index = -1);

    int Style() const { return style_; }
    void setStyle(int style);
    bool Sorted() const { return rows_.sorted; }
    void setSorted(bool on);
    bool Locked() const { return locked_; }
    void setLocked(bool on);

    void AddItem(const QString& item, std::optional<int> index = {});
    void RemoveItem(int index);
    void Clear();
    QString List(int index) const;
    void setList(int index, const QString& text);
    int ListCount() const { return rows_.count(); }
    int ListIndex() const { return rows_.chosen; }
    void setListIndex(int index);
    int32_t ItemData(int index) const;
    void setItemData(int index, int32_t data);
    int NewIndex() const { return rows_.added; }
    // The text shown: the chosen row's, or what was typed or set (editable styles).
    QString Text() const;
    // Editable styles: any text (Change). Drop-down list: the text of a row, which selects it;
    // another text is run-time error 383.
    void setText(const QString& text);

    std::function<void()> onDropDown;

    void userSelect(int row);
    void userEdited(const QString& text);

protected:
    void pushColors() override;

private:
    void build();
    void pushRows();
    // Makes one change to the widget's rows, its signals held, then shows ListIndex and Text
    // again.
    template <class Change> void pushRowChange(Change change);
    void pushCurrent();

    ListRows rows_;
    int style_ = vbComboDropdown;
    bool locked_ = false;
    QString text_;
    QComboBox* combo_ = nullptr;
};

} // namespace rt
