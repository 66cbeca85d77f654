#include "ui_common_controls.h"

#include "core/numeric.h"
#include "core/rt_error.h"
#include "core/system.h"
#include "ui_collection.h"
#include "ui_controls.h"
#include "ui_dispatch.h"
#include "ui_toolbar.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QProgressBar>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace rt {

// ---- Tab control ----

Form* TabPage::form() const {
    return owner_.form();
}

TabControl::TabControl(Container& parent, const QString& name, int index)
    : TabControl(parent, 3, name, index) {}

TabControl::TabControl(Container& parent, int tabs, const QString& name, int index)
    : Control(ControlKind::TabControl, parent, name, index) {
    tabs_ = new QTabWidget;
    // Tabs too long for their side shorten their captions first, so that every tab stays in
    // sight; scroll buttons come only when even the shortened tabs do not fit.
    tabs_->setElideMode(Qt::ElideRight);
    tabs_->setUsesScrollButtons(true);
    QObject::connect(tabs_, &QTabWidget::currentChanged, this, [this](int i) {
        if (!pushing_) dispatch([&] { userSelect(i); });
    });
    attachWidget(tabs_);
    addEventSource(tabs_->tabBar());
    setTabs(tabs);
}

TabControl::~TabControl() {
    for (auto& p : pages_)
        p.container.reset();
}

void TabControl::checkTab(int tab) const {
    if (tab < 0 || tab >= Tabs()) rt::raise(ErrInvalidProperty);
}

void TabControl::setTabs(int count) {
    if (count < 1) rt::raise(ErrInvalidProperty);
    pushing_ = true;
    while (int(pages_.size()) < count) {
        PageInfo info;
        info.caption = QStringLiteral("Tab %1").arg(pages_.size());
        info.widget = new QWidget;
        info.container = std::make_unique<TabPage>(*this, info.widget);
        tabs_->addTab(info.widget, info.caption);
        pages_.push_back(std::move(info));
    }
    while (int(pages_.size()) > count) {
        tabs_->removeTab(int(pages_.size()) - 1);
        delete pages_.back().widget;
        pages_.pop_back();
    }
    if (tab_ >= count) tab_ = count - 1;
    tabs_->setCurrentIndex(tab_);
    pushing_ = false;
}

void TabControl::setTab(int tab) {
    checkTab(tab);
    if (tab == tab_) return;
    previousTab_ = tab_;
    tab_ = tab;
    pushing_ = true;
    tabs_->setCurrentIndex(tab);
    pushing_ = false;
    changed(Property::Tab);
}

void TabControl::userSelect(int tab) {
    if (tab < 0 || tab >= Tabs()) return;
    if (!pages_[size_t(tab)].enabled) {
        pushing_ = true;
        tabs_->setCurrentIndex(tab_);
        pushing_ = false;
        return;
    }
    setTab(tab);
}

void TabControl::raiseEvent(Event event) {
    if (event == Event::Click) {
        if (onTabClick) onTabClick(previousTab_);
        return;
    }
    Control::raiseEvent(event);
}

QString TabControl::TabCaption(int tab) const {
    checkTab(tab);
    return pages_[size_t(tab)].caption;
}

void TabControl::setTabCaption(int tab, const QString& caption) {
    checkTab(tab);
    pages_[size_t(tab)].caption = caption;
    tabs_->setTabText(tab, caption);
}

bool TabControl::TabEnabled(int tab) const {
    checkTab(tab);
    return pages_[size_t(tab)].enabled;
}

void TabControl::setTabEnabled(int tab, bool on) {
    checkTab(tab);
    pages_[size_t(tab)].enabled = on;
    // Qt moves off the current tab when it becomes unusable: the tab's Click reaches the caller.
    throughQt([&] { tabs_->setTabEnabled(tab, on); });
}

bool TabControl::TabVisible(int tab) const {
    checkTab(tab);
    return pages_[size_t(tab)].visible;
}

void TabControl::setTabVisible(int tab, bool on) {
    checkTab(tab);
    pages_[size_t(tab)].visible = on;
    throughQt([&] { tabs_->setTabVisible(tab, on); });
}

void TabControl::setTabOrientation(int orientation) {
    if (orientation < 0 || orientation > 3) rt::raise(ErrInvalidProperty);
    orientation_ = orientation;
    static const QTabWidget::TabPosition pos[] = {QTabWidget::North, QTabWidget::South,
                                                  QTabWidget::West, QTabWidget::East};
    tabs_->setTabPosition(pos[orientation]);
}

TabPage& TabControl::Page(int tab) const {
    checkTab(tab);
    return *pages_[size_t(tab)].container;
}

// ---- List view ----

void ListItem::setText(const QString& text) {
    text_ = text;
    if (owner_) owner_->keyChanged(*this);
}

QString ListItem::SubItems(int i) const {
    if (i < 1) rt::raise(ErrInvalidProperty);
    return i <= int(subItems_.size()) ? subItems_[size_t(i - 1)] : QString();
}

void ListItem::setSubItems(int i, const QString& text) {
    if (i < 1) rt::raise(ErrInvalidProperty);
    if (int(subItems_.size()) < i) subItems_.resize(size_t(i));
    subItems_[size_t(i - 1)] = text;
    if (owner_) owner_->keyChanged(*this);
}

bool ListItem::Selected() const {
    return owner_ && owner_->SelectedItem() == this;
}

void ListItem::setSelected(bool on) {
    if (!owner_) return;
    if (on)
        owner_->selected_ = this;
    else if (owner_->selected_ == this)
        owner_->selected_ = nullptr;
    owner_->showSelection();
}

void ListItem::setChecked(bool on) {
    checked_ = on;
    if (owner_) owner_->showItem(*this);
}

void ListItem::setIcon(const QVariant& keyOrIndex) {
    icon_ = keyOrIndex;
    if (owner_) owner_->showItem(*this);
}

void ListItem::EnsureVisible() {
    if (!owner_) return;
    if (QTreeWidgetItem* it = owner_->tree_->topLevelItem(index_ - 1))
        owner_->tree_->scrollToItem(it);
}

ListItem& ListView::ItemCollection::Add(std::optional<int> index, const QString& key,
                                        const QString& text, const QVariant& icon) {
    size_t at = items_.insertPosition(index, key);
    auto item = std::make_unique<ListItem>();
    item->owner_ = owner_;
    item->key_ = key;
    item->text_ = text;
    item->icon_ = icon;
    if (owner_->sorted_) at = owner_->sortedPosition(*item, at);
    ListItem& ref = items_.insert(at, std::move(item));
    owner_->inserted(at);
    return ref;
}

ListItem& ListView::ItemCollection::operator()(int index) const {
    return items_.at(index);
}

ListItem& ListView::ItemCollection::operator()(const QString& key) const {
    return items_.byKey(key);
}

void ListView::ItemCollection::Clear() {
    items_.clear();
    owner_->selected_ = nullptr;
    owner_->rebuild();
}

void ListView::ItemCollection::Remove(int index) {
    ListItem& item = (*this)(index);
    if (owner_->selected_ == &item) owner_->selected_ = nullptr;
    items_.take(size_t(index - 1));
    owner_->removed(size_t(index - 1));
}

void ListView::ItemCollection::Remove(const QString& key) {
    Remove((*this)(key).Index());
}

ListView::ListView(Container& parent, const QString& name, int index)
    : Control(ControlKind::ListView, parent, name, index) {
    initColors(vbWindowBackground, vbWindowText);
    items_.owner_ = this;
    tree_ = new QTreeWidget;
    tree_->setRootIsDecorated(false);
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    QObject::connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* it, int) {
        if (pushing_) return;
        const int row = tree_->indexOfTopLevelItem(it);
        if (row < 0 || row >= items_.Count()) return;
        selected_ = &items_.items_[size_t(row)];
        dispatch([this] {
            if (onItemClick) onItemClick(*selected_);
            raiseEvent(Event::Click);
        });
    });
    // The arrow keys move the selection too.
    QObject::connect(tree_, &QTreeWidget::currentItemChanged, this,
                     [this](QTreeWidgetItem* it, QTreeWidgetItem*) {
                         if (pushing_ || !it) return;
                         const int row = tree_->indexOfTopLevelItem(it);
                         if (row >= 0 && row < items_.Count())
                             selected_ = &items_.items_[size_t(row)];
                     });
    QObject::connect(tree_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* it, int) {
        if (pushing_ || !checkboxes_) return;
        const int row = tree_->indexOfTopLevelItem(it);
        if (row < 0 || row >= items_.Count()) return;
        ListItem& li = items_.items_[size_t(row)];
        const bool ticked = it->checkState(0) == Qt::Checked;
        if (ticked == li.checked_) return;
        li.checked_ = ticked;
        if (onItemCheck) dispatch([&] { onItemCheck(li); });
    });
    QObject::connect(tree_->header(), &QHeaderView::sectionClicked, this, [this](int c) {
        if (onColumnClick) dispatch([&] { onColumnClick(c + 1); });
    });
    QObject::connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem*, int) {
        if (onDblClick) dispatch(onDblClick);
    });
    attachWidget(tree_);
    addEventSource(tree_->viewport());
}

void ListView::AddColumnHeader(const QString& text, int widthTwips) {
    columns_.emplace_back(text, widthTwips);
    rebuild();
}

void ListView::setView(int view) {
    if (view < lvwIcon || view > lvwReport) rt::raise(ErrInvalidProperty);
    view_ = view;
    rebuild();
}

void ListView::setSorted(bool on) {
    sorted_ = on;
    itemsChanged();
}

void ListView::setSortKey(int key) {
    if (key < 0) rt::raise(ErrInvalidProperty);
    sortKey_ = key;
    itemsChanged();
}

void ListView::setSortOrder(int order) {
    if (order != lvwAscending && order != lvwDescending) rt::raise(ErrInvalidProperty);
    sortOrder_ = order;
    itemsChanged();
}

void ListView::setCheckboxes(bool on) {
    checkboxes_ = on;
    rebuild();
}

ListItem* ListView::SelectedItem() const {
    return selected_;
}

void ListView::setIcons(ImageList* images) {
    icons_ = images;
    rebuild();
}

bool ListView::sortsBefore(const ListItem& a, const ListItem& b) const {
    const QString& keyA = sortKey_ == 0 ? a.text_ : a.SubItems(sortKey_);
    const QString& keyB = sortKey_ == 0 ? b.text_ : b.SubItems(sortKey_);
    const int c = keyA.compare(keyB, Qt::CaseInsensitive);
    return sortOrder_ == lvwAscending ? c < 0 : c > 0;
}

size_t ListView::sortedPosition(const ListItem& item, size_t at) const {
    const auto& v = items_.items_;
    // The first position where `holds` stops holding, found by halving.
    auto stopsAt = [&](auto holds) {
        size_t lo = 0, hi = v.size();
        while (lo < hi) {
            const size_t mid = lo + (hi - lo) / 2;
            if (holds(v[mid]))
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    };
    const size_t first = stopsAt([&](const ListItem& x) { return sortsBefore(x, item); });
    const size_t last = stopsAt([&](const ListItem& x) { return !sortsBefore(item, x); });
    return std::clamp(at, first, last);
}

void ListView::renumber(size_t from, size_t to) {
    for (size_t i = from; i < to; ++i)
        items_.items_[i].index_ = int(i) + 1;
}

void ListView::itemsChanged() {
    if (sorted_)
        items_.items_.stableSort(
            [this](const ListItem& a, const ListItem& b) { return sortsBefore(a, b); });
    renumber(0, items_.items_.size());
    rebuild();
}

void ListView::showItem(QTreeWidgetItem* row, const ListItem& item) const {
    row->setText(0, item.text_);
    if (view_ == lvwReport)
        for (int c = 1; c < int(columns_.size()); ++c)
            row->setText(c, item.SubItems(c));
    if (checkboxes_) row->setCheckState(0, item.checked_ ? Qt::Checked : Qt::Unchecked);
    const ListImage* image = icons_ && !item.icon_.isNull() ? icons_->find(item.icon_) : nullptr;
    if (image)
        row->setIcon(0, QIcon(QPixmap::fromImage(image->Picture().image())));
    else if (!row->icon(0).isNull())
        row->setIcon(0, QIcon());
}

void ListView::showItem(const ListItem& item) {
    QTreeWidgetItem* row = tree_->topLevelItem(item.index_ - 1);
    if (!row) return;
    pushing_ = true;
    showItem(row, item);
    pushing_ = false;
}

void ListView::inserted(size_t at) {
    renumber(at, items_.items_.size());
    auto* row = new QTreeWidgetItem;
    showItem(row, items_.items_[at]);
    pushing_ = true;
    tree_->insertTopLevelItem(int(at), row);
    pushing_ = false;
}

void ListView::removed(size_t at) {
    renumber(at, items_.items_.size());
    pushing_ = true;
    delete tree_->takeTopLevelItem(int(at));
    pushing_ = false;
    // The tree moves its current row to a neighbour of the row taken away.
    showSelection();
}

void ListView::keyChanged(ListItem& item) {
    if (!sorted_) {
        showItem(item);
        return;
    }
    const size_t from = size_t(item.index_ - 1);
    std::unique_ptr<ListItem> owned = items_.items_.take(from);
    const size_t to = sortedPosition(item, from);
    items_.items_.insert(to, std::move(owned));
    renumber(std::min(from, to), std::max(from, to) + 1);
    pushing_ = true;
    QTreeWidgetItem* row = tree_->takeTopLevelItem(int(from));
    showItem(row, item);
    tree_->insertTopLevelItem(int(to), row);
    pushing_ = false;
    showSelection();
}

void ListView::showSelection() {
    pushing_ = true;
    QTreeWidgetItem* row = selected_ ? tree_->topLevelItem(selected_->index_ - 1) : nullptr;
    if (row) {
        row->setSelected(true);
        tree_->setCurrentItem(row);
    } else {
        tree_->selectionModel()->clear();
    }
    pushing_ = false;
}

void ListView::rebuild() {
    pushing_ = true;
    tree_->clear();
    const bool report = view_ == lvwReport && !columns_.empty();
    tree_->setHeaderHidden(!report);
    tree_->setColumnCount(report ? int(columns_.size()) : 1);
    if (report) {
        QStringList headers;
        for (const auto& c : columns_)
            headers << c.first;
        tree_->setHeaderLabels(headers);
        for (size_t i = 0; i < columns_.size(); ++i)
            tree_->setColumnWidth(int(i), TwipsToPixels(columns_[i].second));
    }
    QList<QTreeWidgetItem*> rows;
    rows.reserve(qsizetype(items_.items_.size()));
    for (size_t i = 0; i < items_.items_.size(); ++i) {
        auto* row = new QTreeWidgetItem;
        showItem(row, items_.items_[i]);
        rows.append(row);
    }
    tree_->addTopLevelItems(rows);
    pushing_ = false;
    showSelection();
}

// ---- Progress bar ----

ProgressBar::ProgressBar(Container& parent, const QString& name, int index)
    : Control(ControlKind::ProgressBar, parent, name, index) {
    bar_ = new QProgressBar;
    bar_->setTextVisible(false);
    attachWidget(bar_);
    push();
}

void ProgressBar::push() {
    // The bar counts in thousandths, so that fractional values show.
    bar_->setRange(0, 1000);
    const double span = max_ - min_;
    bar_->setValue(span > 0 ? int(std::lround((value_ - min_) * 1000 / span)) : 0);
}

void ProgressBar::setMin(double v) {
    if (v >= max_) rt::raise(ErrInvalidProperty);
    min_ = v;
    value_ = std::max(value_, min_);
    push();
}

void ProgressBar::setMax(double v) {
    if (v <= min_) rt::raise(ErrInvalidProperty);
    max_ = v;
    value_ = std::min(value_, max_);
    push();
}

void ProgressBar::setValue(double v) {
    if (v < min_ || v > max_) rt::raise(ErrInvalidProperty);
    value_ = v;
    push();
}

// ---- Slider ----

Slider::Slider(Container& parent, const QString& name, int index)
    : Control(ControlKind::Slider, parent, name, index) {
    slider_ = new QSlider(Qt::Horizontal);
    slider_->setTracking(false); // Change once the thumb is let go; Scroll while it moves
    slider_->setTickPosition(QSlider::TicksBelow);
    QObject::connect(slider_, &QSlider::valueChanged, this, [this](int v) {
        if (pushing_ || v == value_) return;
        value_ = v;
        dispatch([this] { changed(Property::Value); });
    });
    QObject::connect(slider_, &QSlider::sliderMoved, this, [this](int) {
        if (onScroll) dispatch(onScroll);
    });
    attachWidget(slider_);
    push();
}

void Slider::push() {
    pushing_ = true;
    slider_->setRange(min_, max_);
    slider_->setSingleStep(small_);
    slider_->setPageStep(large_);
    slider_->setTickInterval(tickFrequency_);
    slider_->setValue(value_);
    pushing_ = false;
}

void Slider::setMin(int v) {
    min_ = v;
    value_ = std::clamp(value_, min_, std::max(min_, max_));
    push();
}

void Slider::setMax(int v) {
    max_ = v;
    value_ = std::clamp(value_, std::min(min_, max_), max_);
    push();
}

void Slider::setValue(int v) {
    if (v < min_ || v > max_) rt::raise(ErrInvalidProperty);
    if (v == value_) return;
    value_ = v;
    push();
    changed(Property::Value);
}

void Slider::setSmallChange(int v) {
    small_ = v;
    push();
}

void Slider::setLargeChange(int v) {
    large_ = v;
    push();
}

void Slider::setTickFrequency(int v) {
    tickFrequency_ = v;
    push();
}

// ---- Up-down ----

UpDown::UpDown(Container& parent, const QString& name, int index)
    : Control(ControlKind::UpDown, parent, name, index) {
    auto* w = new QWidget;
    auto* layout = new QVBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* up = new QToolButton;
    auto* down = new QToolButton;
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    up->setAutoRepeat(true);
    down->setAutoRepeat(true);
    up->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    down->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(up);
    layout->addWidget(down);
    QObject::connect(up, &QToolButton::clicked, this,
                     [this] { dispatch([this] { userStep(1); }); });
    QObject::connect(down, &QToolButton::clicked, this,
                     [this] { dispatch([this] { userStep(-1); }); });
    attachWidget(w);
    setGeometryTwips(Left(), Top(), 255, 315);
}

void UpDown::setIncrement(int v) {
    if (v < 0) rt::raise(ErrInvalidProperty);
    increment_ = v;
}

void UpDown::setValue(int v) {
    if (v < std::min(min_, max_) || v > std::max(min_, max_)) rt::raise(ErrInvalidProperty);
    if (v == value_) return;
    value_ = v;
    if (buddy_ && syncBuddy_) buddy_->setText(QString::number(v));
    changed(Property::Value);
}

void UpDown::userStep(int direction) {
    if (!Enabled()) return;
    const int lo = std::min(min_, max_), hi = std::max(min_, max_);
    long long base = value_;
    if (buddy_ && syncBuddy_) {
        const double v = RoundHalfEven(Val(buddy_->Text()));
        base = std::isfinite(v) ? (long long)std::clamp(v, double(lo), double(hi)) : lo;
    }
    long long next = base + (long long)direction * increment_ * (min_ <= max_ ? 1 : -1);
    if (next > hi) next = wrap_ ? lo : hi;
    if (next < lo) next = wrap_ ? hi : lo;
    const bool same = next == value_;
    value_ = int(next);
    if (buddy_ && syncBuddy_) buddy_->setText(QString::number(value_));
    if (!same) changed(Property::Value);
    if (direction > 0) {
        if (onUpClick) onUpClick();
    } else if (onDownClick) {
        onDownClick();
    }
}

} // namespace rt
