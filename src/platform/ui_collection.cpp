#include "ui_collection.h"

#include "core/rt_error.h"

namespace rt {

void CollectionIndexOutOfBounds() {
    throw RtError(35600, QStringLiteral("Index hors limites"), QString::fromLatin1(kAppTitle));
}

void CollectionElementNotFound() {
    throw RtError(35601, QStringLiteral("Élément introuvable"), QString::fromLatin1(kAppTitle));
}

void CollectionKeyNotUnique() {
    throw RtError(35602, QStringLiteral("La clé n'est pas unique dans la collection"),
                  QString::fromLatin1(kAppTitle));
}

size_t InsertPosition(size_t count, std::optional<int> index) {
    if (!index) return count;
    if (*index < 1 || *index > int(count) + 1) CollectionElementNotFound();
    return size_t(*index - 1);
}

} // namespace rt
