#pragma once
// What the keyed collections of the common controls share (list-view items, images, toolbar
// buttons, status-bar panels, tree nodes): elements numbered from 1, optional unique keys, and
// the runtime's collection errors.

#include <QHash>
#include <QString>
#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace rt {

[[noreturn]] void CollectionIndexOutOfBounds(); // 35600
[[noreturn]] void CollectionElementNotFound();  // 35601
[[noreturn]] void CollectionKeyNotUnique();     // 35602

template <class T> using OwnedItems = std::vector<std::unique_ptr<T>>;

// The element with this key, or nullptr.
template <class T> T* FindByKey(const OwnedItems<T>& items, const QString& key) {
    for (const auto& item : items)
        if (item->Key() == key) return item.get();
    return nullptr;
}

// Where Add puts a new element among `count` (0-based): at the end, or before element `index`.
// A position outside 1 to Count + 1 raises 35601.
size_t InsertPosition(size_t count, std::optional<int> index);

// The same, once a key already in use has raised 35602.
template <class T>
size_t InsertPosition(const OwnedItems<T>& items, std::optional<int> index, const QString& key) {
    if (!key.isEmpty() && FindByKey(items, key)) CollectionKeyNotUnique();
    return InsertPosition(items.size(), index);
}

// Element `index` (from 1); outside the collection `outside` raises its error.
template <class T>
T& ItemAt(const OwnedItems<T>& items, int index, void (*outside)() = CollectionElementNotFound) {
    if (index < 1 || index > int(items.size())) outside();
    return *items[size_t(index - 1)];
}

// The element with this key; raises 35601 when there is none.
template <class T> T& ItemByKey(const OwnedItems<T>& items, const QString& key) {
    if (T* item = FindByKey(items, key)) return *item;
    CollectionElementNotFound();
}

// The elements of a keyed collection in their order, with their keys indexed, so that finding
// a key, adding at the end and removing the last element take the same time however long the
// collection is. An element's key does not change once it is in the collection.
template <class T> class KeyedItems {
public:
    size_t size() const { return items_.size(); }
    // Element i, counted from 0.
    T& operator[](size_t i) const { return *items_[i]; }

    // The element with this key, or nullptr.
    T* find(const QString& key) const { return keys_.value(key, nullptr); }
    // Where Add puts a new element, with the errors of InsertPosition.
    size_t insertPosition(std::optional<int> index, const QString& key) const {
        if (!key.isEmpty() && find(key)) CollectionKeyNotUnique();
        return InsertPosition(items_.size(), index);
    }
    // Element `index` (from 1), with the errors of ItemAt.
    T& at(int index, void (*outside)() = CollectionElementNotFound) const {
        return ItemAt(items_, index, outside);
    }
    // The element with this key; raises 35601 when there is none.
    T& byKey(const QString& key) const {
        if (T* item = find(key)) return *item;
        CollectionElementNotFound();
    }

    T& insert(size_t at, std::unique_ptr<T> item) {
        T& ref = *item;
        if (!ref.Key().isEmpty()) keys_.insert(ref.Key(), &ref);
        items_.insert(items_.begin() + std::ptrdiff_t(at), std::move(item));
        return ref;
    }
    std::unique_ptr<T> take(size_t at) {
        std::unique_ptr<T> item = std::move(items_[at]);
        items_.erase(items_.begin() + std::ptrdiff_t(at));
        if (!item->Key().isEmpty()) keys_.remove(item->Key());
        return item;
    }
    void clear() {
        keys_.clear();
        items_.clear();
    }
    // Orders the elements by `less`, keeping equal ones in their order.
    template <class Less> void stableSort(Less less) {
        std::stable_sort(
            items_.begin(), items_.end(),
            [&](const std::unique_ptr<T>& a, const std::unique_ptr<T>& b) { return less(*a, *b); });
    }

private:
    OwnedItems<T> items_;
    QHash<QString, T*> keys_;
};

} // namespace rt
