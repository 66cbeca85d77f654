#pragma once
// The records that hold one calendar year in memory, and their enumerations.
//
// Records are plain structs with their fields in the order the ".cal" layout and the rest of the
// program know them. Widths are kept: `Integer` fields are int16_t, `Long` fields int32_t, and
// stored flags int16_t (-1 true, 0 false; any non-zero value counts as true, and the raw value
// is kept). Colours are 0x00BBGGRR values, red in the low byte.
//
// Copying a record copies texts and lists element by element and shares its pictures: an
// rt::Picture is a reference to one picture object.
//
// Lists keep `Count` beside the `Items` vector; change them through ListAppend, ListRemoveAt and
// ListClear, which keep the two consistent. A day's items are shared between copies of a
// document until one copy changes them (SharedItems).

#include "core/file_output.h"
#include "core/picture.h"
#include "core/rt_error.h"
#include "dates.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// Kinds of day items and auto-events.
struct ItemKind {
    enum : int32_t { Event = 1, Income = 2, Expense = 3 };
};

// How an auto-event recurs.
struct AERecurrence {
    enum : int32_t { Monthly = 4, Weekly = 5, EveryTwoWeeks = 6, Yearly = 7, Daily = 8 };
};

// The parts of a document that carry a modified flag.
struct DocPart {
    enum : int32_t {
        All = 0,
        Header = 1,
        AutoEvents = 2,
        DebtsSavings = 3,
        MonthDays = 4,
        MonthBackground = 5,
        MonthColours = 6,
        DefaultBackground = 7,
        DefaultColours = 8,
        Birthdays = 9,
    };
};

struct ClipboardMode {
    enum : int32_t { None = 0, Copy = 1, Cut = 2 };
};

struct ImageMode {
    enum : int32_t { AsIs = 0, Stretched = 1, Tiled = 2 };
};

// The codes of the document file's error message.
struct CalFileError {
    enum : int32_t {
        OtherError = 1,
        UnknownVersion = 2,
        EmbeddedPicture = 3,
        PictureFileError = 4,
        InvalidPassword = 5,
    };
};

// A background picture setting.
struct ImageItem {
    int32_t Mode = 0;     // ImageMode
    QString FileName;     // "" for no picture
    rt::Picture Picture;  // the loaded picture; not part of the data text
    int16_t Modified = 0; // DocPart 5 (a month's) or 7 (the default)
    int16_t UseDefault = 0;
};

// Colour settings of a month or of the document.
struct ColourSet {
    int32_t CellBack = 0;
    int32_t DayText = 0;
    int32_t TodayText = 0;
    int32_t SelCellBack = 0;
    int32_t EventText = 0;
    int32_t HeaderBack = 0;
    int32_t HeaderText = 0;
    int32_t IncomeText = 0;
    int32_t ExpenseText = 0;
    int16_t Modified = 0; // DocPart 6 (a month's) or 8 (the default)
    int16_t ShowGrid = 0;
    int16_t UseDefault = 0;
};

// A text that most records leave empty (a day item's picture file, its source key): one
// pointer, the text kept apart only when there is one, since a year holds hundreds of
// thousands of items. It reads as a QString; an empty text is kept as none.
class RareText {
public:
    RareText() = default;
    RareText(const QString& Text) { *this = Text; }
    RareText(const RareText& Other) { *this = Other.text(); }
    RareText(RareText&&) noexcept = default;
    RareText& operator=(const RareText& Other) { return *this = Other.text(); }
    RareText& operator=(RareText&&) noexcept = default;
    RareText& operator=(const QString& Text) {
        if (Text.isEmpty())
            text_.reset();
        else if (text_)
            *text_ = Text;
        else
            text_ = std::make_unique<QString>(Text);
        return *this;
    }

    const QString& text() const {
        static const QString none;
        return text_ ? *text_ : none;
    }
    operator const QString&() const { return text(); }
    bool isEmpty() const { return !text_; }
    void clear() { text_.reset(); }
    // What is asked of the texts it holds.
    bool startsWith(const QString& Prefix, Qt::CaseSensitivity Cs = Qt::CaseSensitive) const {
        return text().startsWith(Prefix, Cs);
    }
    bool startsWith(QLatin1StringView Prefix, Qt::CaseSensitivity Cs = Qt::CaseSensitive) const {
        return text().startsWith(Prefix, Cs);
    }
    QString left(qsizetype N) const { return text().left(N); }

    friend bool operator==(const RareText& A, const RareText& B) { return A.text() == B.text(); }
    friend bool operator==(const RareText& A, const QString& B) { return A.text() == B; }

private:
    std::unique_ptr<QString> text_; // null while empty
};

// One day item.
struct EVItem {
    int16_t AlarmOn = 0;
    int32_t AlarmDaysBefore = 0;
    int16_t Sound = 0; // 0 none, 1 to 10
    int16_t Checked = 0;
    QString Text;       // an event's text, or the money text of an income or expense
    int32_t Kind = 0;   // ItemKind
    int32_t Colour = 0; // -1: the colour of its kind
    RareText PictureFile;
    rt::Picture Picture;
    RareText SourceKey; // key of the generating auto-event or birthday; "" otherwise
};

// One auto-event.
struct AEItem {
    int32_t Recurrence = 0; // AERecurrence
    int16_t Day = 0;        // day of the month, or weekday (Sunday = 1)
    int16_t Month = 0;      // yearly only
    DateRec StartDate;
    DateRec EndDate;
    QString Key; // "AE" and 16 digits
    QString Text;
    int32_t Kind = 0;
};

// One debt or saving.
struct DEItem {
    int16_t IsSaving = 0; // 0 debt, -1 saving
    DateRec StartDate;
    QString Text; // money text: name and opening balance
};

// One birthday.
struct BDItem {
    DateRec BirthDate;
    QString Key; // "BD" and 16 digits
    QString Name;
};

struct AEList {
    int16_t Count = 0;
    std::vector<AEItem> Items;
    int32_t NextKey = 0;
    int16_t Modified = 0;
};

struct BDList {
    int16_t Count = 0;
    std::vector<BDItem> Items;
    int32_t NextKey = 0;
    int16_t Modified = 0;
};

struct DEList {
    int16_t Count = 0;
    std::vector<DEItem> Items;
    int16_t Modified = 0;
};

// A vector of items that copies share until one of them changes: the copy of the document kept
// as saved costs nothing until the user edits a day, and then only that day's items are copied.
// Reading through a const list never copies; every non-const access makes the list its own
// first, so a reference taken through it stays its own until the list is copied again.
template <class T> class SharedItems {
public:
    using Vector = std::vector<T>;
    using value_type = T;
    using size_type = typename Vector::size_type;
    using iterator = typename Vector::iterator;
    using const_iterator = typename Vector::const_iterator;

    size_type size() const { return data_ ? data_->size() : 0; }
    bool empty() const { return size() == 0; }
    const T& operator[](size_type i) const { return (*data_)[i]; }
    T& operator[](size_type i) { return own()[i]; }
    const T& at(size_type i) const { return shared().at(i); }
    T& at(size_type i) { return own().at(i); }
    const T& back() const { return data_->back(); }
    T& back() { return own().back(); }
    const_iterator begin() const { return shared().begin(); }
    const_iterator end() const { return shared().end(); }
    const_iterator cbegin() const { return begin(); }
    const_iterator cend() const { return end(); }
    iterator begin() { return own().begin(); }
    iterator end() { return own().end(); }

    void push_back(const T& item) { own().push_back(item); }
    void push_back(T&& item) { own().push_back(std::move(item)); }
    void resize(size_type n) {
        if (n != size()) own().resize(n);
    }
    void reserve(size_type n) { own().reserve(n); }
    void assign(size_type n, const T& item) { own().assign(n, item); }
    void clear() { data_.reset(); }
    void shrink_to_fit() {
        if (data_ && data_.use_count() == 1) data_->shrink_to_fit();
    }
    // Iterators of this list, taken before the call, whether shared or not.
    iterator erase(const_iterator at) { return erase(at, at + 1); }
    iterator erase(const_iterator first, const_iterator last) {
        const auto from = first - shared().begin(), to = last - shared().begin();
        Vector& v = own();
        return v.erase(v.begin() + from, v.begin() + to);
    }
    iterator insert(const_iterator at, T item) {
        const auto pos = at - shared().begin();
        Vector& v = own();
        return v.insert(v.begin() + pos, std::move(item));
    }

private:
    const Vector& shared() const {
        static const Vector none;
        return data_ ? *data_ : none;
    }
    Vector& own() {
        if (!data_)
            data_ = std::make_shared<Vector>();
        else if (data_.use_count() > 1)
            data_ = std::make_shared<Vector>(*data_);
        return *data_;
    }
    std::shared_ptr<Vector> data_; // null while empty
};

struct DayCell {
    int16_t Count = 0;
    SharedItems<EVItem> Items;
};

// Month grid cells: 0 to 48 row by row, Sunday first; row 0 holds the weekday names and is not
// stored, so a month stores cells 7 to 48.
constexpr int16_t kFirstCell = 7;
constexpr int16_t kLastCell = 48;
inline bool IsCell(int c) {
    return c >= kFirstCell && c <= kLastCell;
}
inline bool IsMonth(int m) {
    return m >= 1 && m <= 12;
}

// The 42 stored cells of a month, reached as Cells(c) with c from 7 to 48. Any other index
// raises run-time error 9 (subscript out of range).
struct CellArray {
    std::array<DayCell, 42> Store;

    DayCell& operator()(int c) {
        if (!IsCell(c)) rt::raise(rt::ErrSubscript);
        return Store[size_t(c - kFirstCell)];
    }
    const DayCell& operator()(int c) const {
        if (!IsCell(c)) rt::raise(rt::ErrSubscript);
        return Store[size_t(c - kFirstCell)];
    }
};

struct MonthRec {
    ImageItem Background;
    ColourSet Colours;
    CellArray Cells;
    int16_t DaysModified = 0; // DocPart 4 of this month
};

// The twelve months, reached as Months(m) with m from 1 (January) to 12. Any other index raises
// run-time error 9.
struct MonthArray {
    std::array<MonthRec, 12> Store;

    MonthRec& operator()(int m) {
        if (!IsMonth(m)) rt::raise(rt::ErrSubscript);
        return Store[size_t(m - 1)];
    }
    const MonthRec& operator()(int m) const {
        if (!IsMonth(m)) rt::raise(rt::ErrSubscript);
        return Store[size_t(m - 1)];
    }
};

// One calendar year.
struct CalDocument {
    QString Author;
    QString FileName; // "" while untitled; never written into the file
    // The file FileName named when the document was read or last written, so that a save
    // never lands in a file put there since; null while untitled.
    rt::FileIdentity FileId;
    int16_t IsSaved = 0;
    QString OpenMonth; // "00" for the current month, or "01" to "12"
    QString Year;      // the year as text of digits
    QString Password;  // read password, "" for none
    int16_t EmbedPictures = 0;
    AEList AutoEvents;
    BDList Birthdays;
    DEList DebtsSavings;
    MonthArray Months;
    ImageItem DefaultBackground;
    ColourSet DefaultColours;
    int16_t HeaderModified = 0; // DocPart 1
};

// The month windows' one-item clipboard.
struct ItemClipboard {
    int32_t ClipMode = 0; // ClipboardMode
    int16_t ClipMonth = 0;
    int16_t ClipCell = 0;
    int16_t ClipIndex = 0;
    EVItem ClipItem;
};

// Arguments and results that forms hand to each other.
struct FormExchange {
    int16_t EditIndex = 0;
    int16_t AlarmCell = 0;
    int16_t AlarmMonth = 0;
    QString DialogText;
    int32_t DialogMode = 0;   // 0 add, 1 edit
    int32_t DialogResult = 0; // 1 accepted and changed, 0 cancelled or unchanged
    ImageItem PrintJob;       // "" as FileName prints the calendar months
};

// List helpers: every list record has `Count` and `Items`.

template <class List> bool InList(const List& list, int index) {
    return index >= 0 && index < list.Count;
}

// Appends an item at the end. A list already holding 32767 items raises run-time error 6.
template <class List, class Item> void ListAppend(List& list, Item item) {
    if (list.Count >= 32767) rt::raise(rt::ErrOverflow);
    list.Items.resize(size_t(list.Count));
    list.Items.push_back(std::move(item));
    list.Count = int16_t(list.Items.size());
}

// Removes the item at index; the later items move up one place, keeping their order. An index
// outside the list does nothing.
template <class List> void ListRemoveAt(List& list, int index) {
    if (!InList(list, index)) return;
    list.Items.resize(size_t(list.Count));
    list.Items.erase(list.Items.begin() + index);
    list.Count = int16_t(list.Items.size());
}

// Empties the list and releases its array.
template <class List> void ListClear(List& list) {
    list.Count = 0;
    list.Items.clear();
    list.Items.shrink_to_fit();
}
