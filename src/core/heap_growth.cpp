#include "heap_growth.h"

#include <QFile>

#include <algorithm>
#include <cstdint>

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#if defined(MADV_HUGEPAGE) && defined(M_TOP_PAD)
#define MRV_HEAP_GROWTH 1
#endif
#endif

namespace rt {

namespace {

#ifdef MRV_HEAP_GROWTH
// The C library's own step beyond what a growth of the heap needs (its default).
constexpr int kDefaultTopPad = 128 * 1024;
// Never more than this ahead at once.
constexpr qint64 kMostAhead = qint64(256) << 20;
#endif

[[maybe_unused]] qint64 readHugePageSize() {
    QFile enabled(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
    if (!enabled.open(QIODevice::ReadOnly)) return 0;
    const QByteArray mode = enabled.readAll();
    // "always [madvise] never": huge pages for memory that asks for them.
    if (!mode.contains("[madvise]") && !mode.contains("[always]")) return 0;
    QFile size(QStringLiteral("/sys/kernel/mm/transparent_hugepage/hpage_pmd_size"));
    if (!size.open(QIODevice::ReadOnly)) return 0;
    bool ok = false;
    const qint64 bytes = size.readAll().trimmed().toLongLong(&ok);
    // A power of two, as the alignment below needs.
    return ok && bytes > 0 && (bytes & (bytes - 1)) == 0 ? bytes : 0;
}

#ifdef MRV_HEAP_GROWTH
// Offers huge pages for the whole huge pages between begin and end; gives where they end (where
// the next whole one would begin).
uintptr_t adviseWholeHugePages(uintptr_t begin, uintptr_t end) {
    const auto page = uintptr_t(HugePageSizeOnRequest());
    const uintptr_t from = (begin + page - 1) & ~(page - 1);
    const uintptr_t to = end & ~(page - 1);
    if (from < to) madvise(reinterpret_cast<void*>(from), size_t(to - from), MADV_HUGEPAGE);
    return std::max(from, to);
}
#endif

} // namespace

qint64 HugePageSizeOnRequest() {
#ifdef MRV_HEAP_GROWTH
    static const qint64 size = readHugePageSize();
    return size;
#else
    return 0;
#endif
}

void OfferHugePages(void* block, qint64 bytes) {
#ifdef MRV_HEAP_GROWTH
    const qint64 page = HugePageSizeOnRequest();
    if (page == 0 || bytes < 2 * page) return;
    adviseWholeHugePages(uintptr_t(block), uintptr_t(block) + uintptr_t(bytes));
#else
    (void)block;
    (void)bytes;
#endif
}

void OneHeapForAllThreads() {
#ifdef MRV_HEAP_GROWTH
    mallopt(M_ARENA_MAX, 1);
#endif
}

HeapGrowth::HeapGrowth(qint64 expectedBytes) {
#ifdef MRV_HEAP_GROWTH
    const qint64 page = HugePageSizeOnRequest();
    if (page == 0 || expectedBytes < 2 * page) return;
    // The next growth of the heap reaches past what is expected, so that the huge pages of that
    // stretch are not touched before they are offered.
    if (mallopt(M_TOP_PAD, int(std::min(expectedBytes, kMostAhead))) != 1) return;
    active_ = true;
    advisedEnd_ = static_cast<char*>(sbrk(0));
#else
    (void)expectedBytes;
#endif
}

HeapGrowth::~HeapGrowth() {
#ifdef MRV_HEAP_GROWTH
    if (!active_) return;
    advise();
    mallopt(M_TOP_PAD, kDefaultTopPad);
#endif
}

void HeapGrowth::advise() {
#ifdef MRV_HEAP_GROWTH
    if (!active_) return;
    char* const end = static_cast<char*>(sbrk(0));
    if (end == reinterpret_cast<char*>(-1) || end <= advisedEnd_) return;
    // Whole huge pages only: the one the heap ended in may be in use already. A huge page the
    // heap ends in now is offered once the heap has grown past it.
    advisedEnd_ =
        reinterpret_cast<char*>(adviseWholeHugePages(uintptr_t(advisedEnd_), uintptr_t(end)));
#endif
}

} // namespace rt
