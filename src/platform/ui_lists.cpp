#include "ui_lists.h"

#include "core/rt_error.h"
#include "ui_dispatch.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <algorithm>

namespace rt {

// ---- Rows ----

void ListRows::add(const QString& text, std::optional<int> index) {
    int at = count();
    if (index) {
        if (*index < 0 || *index > count()) rt::raise(ErrInvalidCall);
        at = *index;
        inOrder = false;
    } else if (sorted) {
        // Before the first row that compares higher, letter case ignored.
        auto higher = [&text](const Row& r) {
            return r.text.compare(text, Qt::CaseInsensitive) > 0;
        };
        if (inOrder) {
            at = int(std::partition_point(items.begin(), items.end(),
                                          [&](const Row& r) { return !higher(r); }) -
                     items.begin());
        } else {
            at = int(std::find_if(items.begin(), items.end(), higher) - items.begin());
        }
    } else {
        inOrder = false;
    }
    items.insert(items.begin() + at, Row{text, 0, false});
    if (chosen >= at) ++chosen; // the chosen row stays chosen
    added = at;
}

void ListRows::remove(int index) {
    items.erase(items.begin() + index);
    if (chosen == index)
        chosen = -1;
    else if (chosen > index)
        --chosen;
    added = -1;
}

void ListRows::setText(int index, const QString& text) {
    items[size_t(index)].text = text;
    inOrder = false;
}

void ListRows::clear() {
    items.clear();
    chosen = -1;
    added = -1;
    inOrder = true;
}

void ListRows::sort() {
    std::stable_sort(items.begin(), items.end(), [](const Row& a, const Row& b) {
        return a.text.compare(b.text, Qt::CaseInsensitive) < 0;
    });
    inOrder = true;
}

namespace {

class ComboPopup : public QComboBox {
public:
    explicit ComboPopup(ComboBox* owner) : owner_(owner) {}
    // Qt opens the list (a click, a key): DropDown runs first, and the list stays shut when
    // DropDown fails.
    void showPopup() override {
        if (owner_->onDropDown && !dispatch(owner_->onDropDown)) return;
        QComboBox::showPopup();
    }

private:
    ComboBox* owner_;
};

// A list of rows of one height measures one row only; the delegate makes that row as wide as
// the widest text, so that no row is cut and the list scrolls across to its end.
class WidestRowDelegate : public QStyledItemDelegate {
public:
    WidestRowDelegate(const ListBox* owner, QObject* parent)
        : QStyledItemDelegate(parent), owner_(owner) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const int own = option.fontMetrics.horizontalAdvance(index.data().toString());
        size.setWidth(size.width() + std::max(0, owner_->widestRowText() - own));
        return size;
    }

private:
    const ListBox* owner_;
};
} // namespace

// ---- ListBox ----

ListBox::ListBox(Container& parent, const QString& name, int index)
    : Control(ControlKind::ListBox, parent, name, index) {
    initColors(vbWindowBackground, vbWindowText);
    list_ = new QListWidget;
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Rows of one height: the widget lays out a long list without measuring every row.
    list_->setUniformItemSizes(true);
    list_->setItemDelegate(new WidestRowDelegate(this, list_));
    QObject::connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!pushing_) dispatch([&] { userSelect(row); });
    });
    QObject::connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (pushing_ || style_ != vbListBoxCheckbox) return;
        const int row = list_->row(item);
        if (row < 0 || row >= ListCount()) return;
        const bool ticked = item->checkState() == Qt::Checked;
        if (ticked != rows_.items[size_t(row)].selected) dispatch([&] { userTick(row, ticked); });
    });
    QObject::connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        dispatch([&] { userDoubleClick(list_->row(item)); });
    });
    QObject::connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        if (pushing_ || multiSelect_ == 0) return;
        for (int i = 0; i < ListCount(); ++i)
            rows_.items[size_t(i)].selected = list_->item(i)->isSelected();
    });
    attachWidget(list_);
    addEventSource(list_->viewport());
}

void ListBox::pushColors() {
    pushColorsTo(list_, QPalette::Base, QPalette::Text);
}

void ListBox::pushFont() {
    Control::pushFont();
    widestKnown_ = false;
}

int ListBox::widestRowText() const {
    if (!widestKnown_) {
        const QFontMetrics fm = list_->fontMetrics();
        widest_ = 0;
        for (const ListRows::Row& r : rows_.items)
            widest_ = std::max(widest_, fm.horizontalAdvance(r.text));
        widestKnown_ = true;
    }
    return widest_;
}

bool ListBox::rowTextChanged(const QString& added, const QString& removed) {
    if (!widestKnown_) return true;
    const QFontMetrics fm = list_->fontMetrics();
    const int before = widest_;
    if (!removed.isNull() && fm.horizontalAdvance(removed) >= widest_) widestKnown_ = false;
    if (widestKnown_ && !added.isNull()) widest_ = std::max(widest_, fm.horizontalAdvance(added));
    return !widestKnown_ || widest_ != before;
}

QListWidgetItem* ListBox::makeRow(const ListRows::Row& row) const {
    auto* item = new QListWidgetItem(row.text);
    if (style_ == vbListBoxCheckbox) {
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(row.selected ? Qt::Checked : Qt::Unchecked);
    }
    return item;
}

template <class Change> void ListBox::pushRowChange(Change change) {
    pushing_ = true;
    change();
    pushing_ = false;
    pushCurrent();
}

void ListBox::pushRows() {
    pushRowChange([this] {
        list_->clear();
        for (const ListRows::Row& r : rows_.items)
            list_->addItem(makeRow(r));
        if (multiSelect_ != 0)
            for (int i = 0; i < ListCount(); ++i)
                if (rows_.items[size_t(i)].selected) list_->item(i)->setSelected(true);
    });
}

void ListBox::pushCurrent() {
    pushing_ = true;
    if (multiSelect_ == 0) {
        list_->setCurrentRow(rows_.chosen, QItemSelectionModel::ClearAndSelect);
        if (rows_.chosen < 0) list_->clearSelection();
    } else {
        // The selection of a multi-select list is the rows' own.
        list_->setCurrentRow(rows_.chosen, QItemSelectionModel::NoUpdate);
    }
    pushing_ = false;
}

void ListBox::pushRowSelected(int index) {
    pushing_ = true;
    QListWidgetItem* item = list_->item(index);
    const bool selected = rows_.items[size_t(index)].selected;
    if (style_ == vbListBoxCheckbox) item->setCheckState(selected ? Qt::Checked : Qt::Unchecked);
    if (multiSelect_ != 0) item->setSelected(selected);
    pushing_ = false;
}

void ListBox::checkIndex(int index) const {
    if (index < 0 || index >= ListCount()) rt::raise(ErrInvalidCall);
}

void ListBox::setStyle(int style) {
    if (style != vbListBoxStandard && style != vbListBoxCheckbox) rt::raise(ErrInvalidProperty);
    style_ = style;
    pushRows();
}

void ListBox::setMultiSelect(int mode) {
    if (mode < 0 || mode > 2) rt::raise(ErrInvalidProperty);
    multiSelect_ = mode;
    list_->setSelectionMode(mode == 0   ? QAbstractItemView::SingleSelection
                            : mode == 1 ? QAbstractItemView::MultiSelection
                                        : QAbstractItemView::ExtendedSelection);
}

void ListBox::setSorted(bool on) {
    rows_.sorted = on;
    if (!on) return;
    rows_.sort();
    pushRows();
}

void ListBox::AddItem(const QString& item, std::optional<int> index) {
    rows_.add(item, index);
    // The widget lays its rows out again after an insert or a removal.
    rowTextChanged(item, QString());
    pushRowChange(
        [this] { list_->insertItem(rows_.added, makeRow(rows_.items[size_t(rows_.added)])); });
}

void ListBox::RemoveItem(int index) {
    checkIndex(index);
    rowTextChanged(QString(), rows_.text(index));
    rows_.remove(index);
    pushRowChange([&] { delete list_->takeItem(index); });
}

void ListBox::Clear() {
    rows_.clear();
    widest_ = 0;
    widestKnown_ = true;
    pushRowChange([this] { list_->clear(); });
}

QString ListBox::List(int index) const {
    return rows_.text(index);
}

void ListBox::setList(int index, const QString& text) {
    if (index == ListCount()) {
        AddItem(text, index);
        return;
    }
    checkIndex(index);
    const bool wider = rowTextChanged(text, rows_.text(index));
    rows_.setText(index, text);
    pushing_ = true;
    list_->item(index)->setText(text);
    pushing_ = false;
    // A new text alone does not lay the rows out again.
    if (wider) list_->doItemsLayout();
}

void ListBox::setListIndex(int index) {
    if (index < -1 || index >= ListCount()) rt::raise(ErrInvalidProperty);
    if (index == rows_.chosen) return;
    rows_.chosen = index;
    pushCurrent();
    changed(Property::ListIndex);
}

bool ListBox::Selected(int index) const {
    checkIndex(index);
    if (style_ == vbListBoxCheckbox || multiSelect_ != 0)
        return rows_.items[size_t(index)].selected;
    return index == rows_.chosen;
}

void ListBox::setSelected(int index, bool selected) {
    checkIndex(index);
    if (style_ == vbListBoxCheckbox) {
        if (rows_.items[size_t(index)].selected == selected) return;
        rows_.items[size_t(index)].selected = selected;
        pushRowSelected(index);
        eventItem_ = index;
        changed(Property::ItemTick);
    } else if (multiSelect_ != 0) {
        rows_.items[size_t(index)].selected = selected;
        pushRowSelected(index);
    } else if (selected) {
        setListIndex(index);
    } else if (index == rows_.chosen) {
        setListIndex(-1);
    }
}

int32_t ListBox::ItemData(int index) const {
    checkIndex(index);
    return rows_.items[size_t(index)].data;
}

void ListBox::setItemData(int index, int32_t data) {
    checkIndex(index);
    rows_.items[size_t(index)].data = data;
}

int ListBox::SelCount() const {
    if (multiSelect_ == 0) return rows_.chosen >= 0 ? 1 : 0;
    int n = 0;
    for (const ListRows::Row& r : rows_.items)
        n += r.selected ? 1 : 0;
    return n;
}

int ListBox::TopIndex() const {
    const QModelIndex i = list_->indexAt(QPoint(2, 2));
    return i.isValid() ? i.row() : 0;
}

void ListBox::setTopIndex(int index) {
    checkIndex(index);
    list_->scrollToItem(list_->item(index), QAbstractItemView::PositionAtTop);
}

void ListBox::userSelect(int row) {
    if (row < -1 || row >= ListCount()) return;
    setListIndex(row);
}

void ListBox::userTick(int row, bool ticked) {
    if (row < 0 || row >= ListCount()) return;
    setSelected(row, ticked);
}

void ListBox::userDoubleClick(int row) {
    if (row < 0 || row >= ListCount()) return;
    // A double click on a row of a check-box list changes its tick first.
    if (style_ == vbListBoxCheckbox) setSelected(row, !rows_.items[size_t(row)].selected);
    if (onDblClick) onDblClick();
}

void ListBox::raiseEvent(Event event) {
    if (event == Event::ItemCheck) {
        if (onItemCheck) onItemCheck(eventItem_);
        return;
    }
    Control::raiseEvent(event);
}

// ---- ComboBox ----

ComboBox::ComboBox(Container& parent, const QString& name, int index)
    : Control(ControlKind::ComboBox, parent, name, index) {
    initColors(vbWindowBackground, vbWindowText);
    build();
}

void ComboBox::build() {
    QWidget* old = widget();
    combo_ = new ComboPopup(this);
    combo_->setEditable(style_ != vbComboDropdownList);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(combo_, &QComboBox::activated, this,
                     [this](int row) { dispatch([&] { userSelect(row); }); });
    if (combo_->lineEdit()) {
        combo_->lineEdit()->setReadOnly(locked_);
        QObject::connect(combo_->lineEdit(), &QLineEdit::textEdited, this,
                         [this](const QString& t) { dispatch([&] { userEdited(t); }); });
        addEventSource(combo_->lineEdit());
    }
    attachWidget(combo_);
    delete old;
    pushRows();
}

void ComboBox::pushColors() {
    pushColorsTo(combo_, QPalette::Base, QPalette::Text);
}

template <class Change> void ComboBox::pushRowChange(Change change) {
    {
        pushing_ = true;
        const QSignalBlocker block(combo_);
        change();
        pushing_ = false;
    }
    pushCurrent();
}

void ComboBox::pushRows() {
    pushRowChange([this] {
        combo_->clear();
        for (const ListRows::Row& r : rows_.items)
            combo_->addItem(r.text);
    });
}

void ComboBox::pushCurrent() {
    pushing_ = true;
    const QSignalBlocker block(combo_);
    // Qt selects row 0 by itself on the first row added: put back what the control holds.
    combo_->setCurrentIndex(rows_.chosen);
    if (combo_->isEditable()) combo_->setEditText(Text());
    pushing_ = false;
}

void ComboBox::setStyle(int style) {
    if (style < vbComboDropdown || style > vbComboDropdownList) rt::raise(ErrInvalidProperty);
    if (style == style_) return;
    style_ = style;
    build();
}

void ComboBox::setSorted(bool on) {
    rows_.sorted = on;
    if (!on) return;
    rows_.sort();
    pushRows();
}

void ComboBox::setLocked(bool on) {
    locked_ = on;
    if (combo_->lineEdit()) combo_->lineEdit()->setReadOnly(on);
}

void ComboBox::AddItem(const QString& item, std::optional<int> index) {
    rows_.add(item, index);
    pushRowChange([&] { combo_->insertItem(rows_.added, item); });
}

void ComboBox::RemoveItem(int index) {
    if (!rows_.inRange(index)) rt::raise(ErrInvalidCall);
    rows_.remove(index);
    pushRowChange([&] { combo_->removeItem(index); });
}

void ComboBox::Clear() {
    rows_.clear();
    text_.clear();
    pushRows();
}

QString ComboBox::List(int index) const {
    return rows_.text(index);
}

void ComboBox::setList(int index, const QString& text) {
    if (index == ListCount()) {
        AddItem(text, index);
        return;
    }
    if (index < 0 || index >= ListCount()) rt::raise(ErrInvalidCall);
    rows_.setText(index, text);
    pushRowChange([&] { combo_->setItemText(index, text); });
}

void ComboBox::setListIndex(int index) {
    if (index < -1 || index >= ListCount()) rt::raise(ErrInvalidProperty);
    if (index == rows_.chosen) return;
    rows_.chosen = index;
    if (index >= 0) text_ = rows_.items[size_t(index)].text;
    pushCurrent();
    changed(Property::ListIndex);
}

int32_t ComboBox::ItemData(int index) const {
    if (index < 0 || index >= ListCount()) rt::raise(ErrInvalidCall);
    return rows_.items[size_t(index)].data;
}

void ComboBox::setItemData(int index, int32_t data) {
    if (index < 0 || index >= ListCount()) rt::raise(ErrInvalidCall);
    rows_.items[size_t(index)].data = data;
}

QString ComboBox::Text() const {
    if (style_ == vbComboDropdownList) return List(rows_.chosen);
    return text_;
}

void ComboBox::setText(const QString& text) {
    if (style_ == vbComboDropdownList) {
        for (int i = 0; i < ListCount(); ++i)
            if (rows_.items[size_t(i)].text.compare(text, Qt::CaseInsensitive) == 0) {
                setListIndex(i);
                return;
            }
        throw RtError(383, QStringLiteral("La propriété 'Text' est en lecture seule"),
                      QString::fromLatin1(kAppTitle));
    }
    if (text == text_) return;
    text_ = text;
    pushCurrent();
    changed(Property::Text);
}

void ComboBox::userSelect(int row) {
    if (row < 0 || row >= ListCount()) return;
    // Choosing a row raises Click only, not Change, also in the editable styles.
    setListIndex(row);
}

void ComboBox::userEdited(const QString& text) {
    if (text == text_) return;
    text_ = text;
    // Typed text no longer names the chosen row.
    if (rows_.chosen >= 0 && rows_.items[size_t(rows_.chosen)].text != text) rows_.chosen = -1;
    changed(Property::Text);
}

} // namespace rt
