#include "ui_lists.h"

#include "rt_error.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <algorithm>

namespace rt {

// ---- Rows ----

void ListRows::add(const QString& text, std::optional<int> index) {
    int at = count();
    if (index) {
        if (*index < 0 || *index > count()) rt::raise(ErrInvalidCall);
        at = *index;
    } else if (sorted) {
        // After the rows that compare lower or equal, letter case ignored.
        at = 0;
        while (at < count() && items[size_t(at)].text.compare(text, Qt::CaseInsensitive) <= 0)
            ++at;
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

void ListRows::clear() {
    items.clear();
    chosen = -1;
    added = -1;
}

void ListRows::sort() {
    std::stable_sort(items.begin(), items.end(), [](const Row& a, const Row& b) {
        return a.text.compare(b.text, Qt::CaseInsensitive) < 0;
    });
}

namespace {

class ComboPopup : public QComboBox {
public:
    explicit ComboPopup(ComboBox* owner) : owner_(owner) {}
    void showPopup() override {
        if (owner_->onDropDown) owner_->onDropDown();
        QComboBox::showPopup();
    }

private:
    ComboBox* owner_;
};
} // namespace

// ---- ListBox ----

ListBox::ListBox(Container& parent, const QString& name, int index)
    : Control(ControlKind::ListBox, parent, name, index) {
    initColors(vbWindowBackground, vbWindowText);
    list_ = new QListWidget;
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    QObject::connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!pushing_) userSelect(row);
    });
    QObject::connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (pushing_ || style_ != vbListBoxCheckbox) return;
        const int row = list_->row(item);
        if (row < 0 || row >= ListCount()) return;
        const bool ticked = item->checkState() == Qt::Checked;
        if (ticked != rows_.items[size_t(row)].selected) userTick(row, ticked);
    });
    QObject::connect(list_, &QListWidget::itemDoubleClicked, this,
                     [this](QListWidgetItem* item) { userDoubleClick(list_->row(item)); });
    QObject::connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        if (pushing_ || multiSelect_ == 0) return;
        for (int i = 0; i < ListCount(); ++i)
            rows_.items[size_t(i)].selected = list_->item(i)->isSelected();
    });
    attachWidget(list_);
    addEventSource(list_->viewport());
}

void ListBox::pushColors() {
    QPalette pal = list_->palette();
    pal.setColor(QPalette::Base, ToQColor(BackColor()));
    SetTextColor(pal, QPalette::Text, ForeColor());
    list_->setPalette(pal);
}

void ListBox::pushRows() {
    pushing_ = true;
    list_->clear();
    for (const ListRows::Row& r : rows_.items) {
        auto* item = new QListWidgetItem(r.text, list_);
        if (style_ == vbListBoxCheckbox) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(r.selected ? Qt::Checked : Qt::Unchecked);
        }
    }
    pushing_ = false;
    pushSelection();
}

void ListBox::pushSelection() {
    pushing_ = true;
    list_->setCurrentRow(rows_.chosen, QItemSelectionModel::ClearAndSelect);
    if (rows_.chosen < 0) list_->clearSelection();
    if (multiSelect_ != 0) {
        for (int i = 0; i < ListCount(); ++i)
            list_->item(i)->setSelected(rows_.items[size_t(i)].selected);
    }
    if (style_ == vbListBoxCheckbox)
        for (int i = 0; i < ListCount(); ++i)
            list_->item(i)->setCheckState(rows_.items[size_t(i)].selected ? Qt::Checked
                                                                          : Qt::Unchecked);
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
    if (on) rows_.sort();
    pushRows();
}

void ListBox::AddItem(const QString& item, std::optional<int> index) {
    rows_.add(item, index);
    pushRows();
}

void ListBox::RemoveItem(int index) {
    checkIndex(index);
    rows_.remove(index);
    pushRows();
}

void ListBox::Clear() {
    rows_.clear();
    pushRows();
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
    rows_.items[size_t(index)].text = text;
    pushing_ = true;
    list_->item(index)->setText(text);
    pushing_ = false;
}

void ListBox::setListIndex(int index) {
    if (index < -1 || index >= ListCount()) rt::raise(ErrInvalidProperty);
    if (index == rows_.chosen) return;
    rows_.chosen = index;
    pushSelection();
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
        pushSelection();
        eventItem_ = index;
        changed(Property::ItemTick);
    } else if (multiSelect_ != 0) {
        rows_.items[size_t(index)].selected = selected;
        pushSelection();
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
    QObject::connect(combo_, &QComboBox::activated, this, [this](int row) { userSelect(row); });
    if (combo_->lineEdit()) {
        combo_->lineEdit()->setReadOnly(locked_);
        QObject::connect(combo_->lineEdit(), &QLineEdit::textEdited, this,
                         [this](const QString& t) { userEdited(t); });
        addEventSource(combo_->lineEdit());
    }
    attachWidget(combo_);
    delete old;
    pushRows();
}

void ComboBox::pushColors() {
    if (!combo_) return;
    QPalette pal = combo_->palette();
    pal.setColor(QPalette::Base, ToQColor(BackColor()));
    SetTextColor(pal, QPalette::Text, ForeColor());
    combo_->setPalette(pal);
}

void ComboBox::pushRows() {
    pushing_ = true;
    const QSignalBlocker block(combo_);
    combo_->clear();
    for (const ListRows::Row& r : rows_.items)
        combo_->addItem(r.text);
    pushing_ = false;
    pushCurrent();
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
    if (on) rows_.sort();
    pushRows();
}

void ComboBox::setLocked(bool on) {
    locked_ = on;
    if (combo_->lineEdit()) combo_->lineEdit()->setReadOnly(on);
}

void ComboBox::AddItem(const QString& item, std::optional<int> index) {
    rows_.add(item, index);
    pushRows();
}

void ComboBox::RemoveItem(int index) {
    if (!rows_.inRange(index)) rt::raise(ErrInvalidCall);
    rows_.remove(index);
    pushRows();
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
    rows_.items[size_t(index)].text = text;
    pushRows();
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
