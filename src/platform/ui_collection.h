#pragma once
// What the keyed collections of the common controls share (list-view items, images, toolbar
// buttons, status-bar panels, tree nodes): elements numbered from 1, optional unique keys, and
// the runtime's collection errors.

#include <QString>
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

// Where Add puts a new element (0-based): at the end, or before element `index`. A key already
// in use raises 35602, a position outside 1 to Count + 1 raises 35601.
template <class T>
size_t InsertPosition(const OwnedItems<T>& items, std::optional<int> index, const QString& key) {
    if (!key.isEmpty() && FindByKey(items, key)) CollectionKeyNotUnique();
    if (!index) return items.size();
    if (*index < 1 || *index > int(items.size()) + 1) CollectionElementNotFound();
    return size_t(*index - 1);
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

} // namespace rt
