#pragma once
// Room for a great many small allocations made in one go (a document's records as it is read).
// Each page of memory a process touches for the first time costs a page fault, and a fault
// costs far more than filling the page: tens of megabytes of records take thousands of them.
// While a HeapGrowth lives, the heap grows in steps of about the size expected, and what it
// grows by is offered to the system for huge pages (transparent huge pages given on request),
// so that the same records take a few faults. What is allocated, and how much memory is
// touched, stay the same. Where the C library or the system offers no such thing, it does
// nothing.
//
// Once a HeapGrowth has been active, the C library keeps its threshold for mapping large
// blocks of their own where it stands (it no longer moves it by itself).

#include <QtGlobal>

namespace rt {

class HeapGrowth {
public:
    // Nothing is done for less than a few huge pages' worth.
    explicit HeapGrowth(qint64 expectedBytes);
    ~HeapGrowth();
    HeapGrowth(const HeapGrowth&) = delete;
    HeapGrowth& operator=(const HeapGrowth&) = delete;

    // Offers huge pages for what the heap has grown by since the last call. Cheap: called now
    // and then while allocating, the sooner after the heap grows the better.
    void advise();
    bool active() const { return active_; }

private:
    bool active_ = false;
    char* advisedEnd_ = nullptr; // the end of the heap when it was last looked at
};

// Has every thread allocate from the heap the main thread allocates from, so that what a thread
// reads into memory is in the heap that a HeapGrowth grows, and is offered huge pages with it.
// Takes effect for the threads started after it; nothing where the C library cannot tell.
void OneHeapForAllThreads();

// The size of a huge page the heap can be given, or 0 when the system gives none on request
// (or the C library offers no way to ask).
qint64 HugePageSizeOnRequest();

// Offers the system huge pages for the whole huge pages within a block not touched yet (a
// large buffer about to be filled), so that filling it takes a few faults instead of one per
// page. What the block holds stays the same; nothing is done where huge pages are not given.
void OfferHugePages(void* block, qint64 bytes);

} // namespace rt
