#include "cal_format.h"

#include "core/cp1252.h"
#include "core/heap_growth.h"
#include "core/numeric.h"
#include "core/rt_error.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

QString BackgroundEntryName(int Month) {
    return QStringLiteral("bck.%1").arg(Month, 2, 10, QLatin1Char('0'));
}

QString ItemPictureEntryName(int Month, int Cell, int Index) {
    if (Month < 0 || Cell < 0 || Index < 0)
        return QStringLiteral("ev.%1%2%3")
            .arg(Month, 2, 10, QLatin1Char('0'))
            .arg(Cell, 2, 10, QLatin1Char('0'))
            .arg(Index, 4, 10, QLatin1Char('0'));
    // Named for every item that names a picture, on each read and save: written digit by
    // digit, as the form above writes numbers that are not negative.
    char16_t name[3 + 3 * 10];
    qsizetype at = 0;
    for (const char c : {'e', 'v', '.'})
        name[at++] = char16_t(c);
    const auto put = [&](int value, int width) {
        char16_t digits[10];
        int n = 0;
        do {
            digits[n++] = char16_t(u'0' + value % 10);
            value /= 10;
        } while (value > 0);
        for (; width > n; --width)
            name[at++] = u'0';
        while (n > 0)
            name[at++] = digits[--n];
    };
    put(Month, 2);
    put(Cell, 2);
    put(Index, 4);
    return QString(reinterpret_cast<const QChar*>(name), at);
}

CalLayout LayoutOfVersion(const QString& Version) {
    const QString v = rt::TrimBlanks(Version);
    if (v == QLatin1String("2.1")) return CalLayout::V21;
    if (v == QLatin1String("2.0") || v == QLatin1String("2.0 (Alpha.b)") ||
        v == QLatin1String("2.0 (Beta 1)") || v == QLatin1String("2.0 (Beta 2)"))
        return CalLayout::V20;
    return CalLayout::Unknown;
}

// ---- writing ----

void CalTextWriter::reserve(qsizetype bytes) {
    if (bytes > bytes_.size()) grow(bytes - used_);
}

char* CalTextWriter::grow(qsizetype n) {
    bytes_.resize(std::max(2 * bytes_.size(), used_ + n + 4096));
    chars_ = bytes_.data();
    // A long text's room is still untouched beyond what is in use: it is filled in a few huge
    // pages rather than a fault for each small one.
    rt::OfferHugePages(chars_ + used_, bytes_.size() - used_);
    return chars_ + used_;
}

void CalTextWriter::open() {
    put('"');
}

void CalTextWriter::close() {
    char* to = room(3);
    to[0] = '"';
    to[1] = '\r';
    to[2] = '\n';
    used_ += 3;
    ++lines_;
}

// Decimal digits, at least minDigits of them, after a "-" for a negative value: the text of
// QString::number for minDigits 1, and of the date's parts.
void CalTextWriter::number(int64_t value, int minDigits) {
    char digits[24];
    int n = 0;
    uint64_t magnitude = value < 0 ? uint64_t(0) - uint64_t(value) : uint64_t(value);
    while (magnitude != 0) {
        digits[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    }
    while (n < minDigits)
        digits[n++] = '0';
    if (value < 0) digits[n++] = '-';
    char* to = room(n);
    for (int k = 0; k < n; ++k)
        to[k] = digits[n - 1 - k];
    used_ += n;
}

void CalTextWriter::S(const QString& Value) {
    open();
    // A character takes one byte at most.
    char* to = room(Value.size());
    const qsizetype n = rt::toCp1252Into(Value.constData(), Value.size(), to);
    // A line break inside the value would shift every later line: CR and LF are the bytes of
    // those characters alone.
    for (qsizetype i = 0; i < n; ++i)
        if (to[i] == '\r' || to[i] == '\n') to[i] = ' ';
    used_ += n;
    close();
}
void CalTextWriter::numberLine(int64_t value) {
    open();
    number(value, 1);
    close();
}
void CalTextWriter::I(int16_t Value) {
    numberLine(Value);
}
void CalTextWriter::L(int32_t Value) {
    numberLine(Value);
}
void CalTextWriter::B(int16_t Value) {
    numberLine(Value);
}
void CalTextWriter::D(const DateRec& Value) {
    // As DateToText: the year without padding, then the month and the day in two digits.
    open();
    number(Value.Year, 0);
    put('-');
    number(Value.Month, 2);
    put('-');
    number(Value.Day, 2);
    close();
}
void CalTextWriter::R() {
    open();
    close();
}

QByteArray CalTextWriter::Bytes() {
    // Cut to the text in place: the room beyond is given back without a copy.
    bytes_.truncate(used_);
    chars_ = bytes_.data();
    return bytes_;
}

// ---- reading ----

QString ValueOfLine(const QString& Line) {
    const qsizetype first = Line.indexOf(QLatin1Char('"'));
    if (first < 0) return Line;
    const qsizetype last = Line.lastIndexOf(QLatin1Char('"'));
    if (last == first) return Line.mid(first + 1);
    return Line.mid(first + 1, last - first - 1);
}

namespace {

QStringView trimmedBlanks(QStringView v, bool leading) {
    qsizetype end = v.size();
    while (end > 0 && v[end - 1] == u' ')
        --end;
    qsizetype begin = 0;
    if (leading)
        while (begin < end && v[begin] == u' ')
            ++begin;
    return v.sliced(begin, end - begin);
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The value of 1 to 9 digits (an optional "-" before them), as the writer makes every number;
// false for any other text, which the numbers read through the runtime's rules in full.
bool plainNumber(const char* chars, qsizetype size, int32_t& value) {
    const bool negative = size > 0 && chars[0] == '-';
    const char* digits = negative ? chars + 1 : chars;
    const qsizetype count = negative ? size - 1 : size;
    if (count <= 0 || count > 9) return false;
    int32_t n = 0;
    for (qsizetype i = 0; i < count; ++i) {
        if (digits[i] < '0' || digits[i] > '9') return false;
        n = n * 10 + (digits[i] - '0');
    }
    value = negative ? -n : n;
    return true;
}

int twoDigits(QStringView v, qsizetype at) {
    return (v[at].unicode() - u'0') * 10 + (v[at + 1].unicode() - u'0');
}

} // namespace

void CalLineCounter::add(const char* bytes, qsizetype size) {
    if (size <= 0) return;
    // Lines end with CR LF; a bare LF and a last line without an end are accepted too.
    ends_ += std::count(bytes, bytes + size, '\n');
    last_ = bytes[size - 1];
}

CalTextReader::CalTextReader(QByteArray Data) : bytes_(std::move(Data)), end_(bytes_.size()) {
    CalLineCounter counter;
    counter.add(bytes_.constData(), bytes_.size());
    lines_ = counter.lines();
}

CalTextReader::CalTextReader(Source Text, qsizetype Lines)
    : source_(std::move(Text)), lines_(Lines) {}

bool CalTextReader::fill() {
    if (!source_) return false;
    // The line begun goes to the front, and the block grows when one line fills it.
    constexpr qsizetype kBlock = 64 * 1024;
    const qsizetype kept = end_ - begin_;
    if (begin_ > 0 && kept > 0)
        std::memmove(bytes_.data(), bytes_.constData() + begin_, size_t(kept));
    begin_ = 0;
    end_ = kept;
    if (bytes_.size() - end_ < kBlock / 2) bytes_.resize(std::max(kBlock, 2 * bytes_.size()));
    const qsizetype n = source_(bytes_.data() + end_, bytes_.size() - end_);
    if (n <= 0) {
        source_ = nullptr;
        return false;
    }
    end_ += n;
    return true;
}

void CalTextReader::ReadToEnd() {
    CalLineCounter rest;
    do {
        rest.add(bytes_.constData() + begin_, end_ - begin_);
        begin_ = end_;
    } while (fill());
    // Uncounted, the counts of records are checked against the lines there were.
    if (lines_ == kUncounted && linesNeeded_ > next_ + rest.lines()) rt::raise(rt::ErrInputPastEnd);
}

CalTextReader::RawValue CalTextReader::rawValue() {
    // Uncounted, a line follows while any of the text does.
    if (lines_ != kUncounted ? next_ >= lines_ : begin_ == end_ && !fill())
        rt::raise(rt::ErrInputPastEnd);
    // The line's end (as an offset from its start, which a new block moves).
    qsizetype at = 0;
    for (;;) {
        const char* const line = bytes_.constData() + begin_;
        const qsizetype size = end_ - begin_;
        const void* lf = at < size ? std::memchr(line + at, '\n', size_t(size - at)) : nullptr;
        if (lf) {
            at = static_cast<const char*>(lf) - line;
            break;
        }
        at = size;
        if (!fill()) break;
    }
    const char* const chars = bytes_.constData() + begin_;
    begin_ = std::min(begin_ + at + 1, end_);
    ++next_;
    qsizetype end = at;
    if (end > 0 && chars[end - 1] == '\r') --end;
    // The value runs between the line's first and last double quote, as ValueOfLine gives it.
    // Windows-1252 has one byte a character, so the bytes' places are the characters'. As the
    // writer writes it, the line begins and ends with one: nothing lies after the last.
    if (end >= 2 && chars[0] == '"' && chars[end - 1] == '"') return {chars + 1, end - 2};
    const char* const first = static_cast<const char*>(std::memchr(chars, '"', size_t(at)));
    if (!first) return {chars, end};
    const char* last = chars + at;
    while (*--last != '"') {
    }
    if (last == first) return {first + 1, end - (first + 1 - chars)};
    return {first + 1, last - (first + 1)};
}

QStringView CalTextReader::Value() {
    return valueOf(rawValue());
}

QStringView CalTextReader::valueOf(RawValue Raw) {
    rt::fromCp1252Into(Raw.chars, Raw.size, line_);
    return QStringView(line_);
}

QString CalTextReader::kept(QStringView Text) {
    if (Text.isEmpty()) return Text.toString();
    // A slot per hash: the text read last with that hash, which a text equal to it shares. A
    // multiplicative hash of the characters spreads a year's texts well enough, at a fraction
    // of the cost of Qt's.
    if (recent_.empty()) recent_.resize(kRecentTexts);
    uint32_t hash = 0;
    for (const QChar c : Text)
        hash = (hash ^ c.unicode()) * 0x9E3779B1u;
    QString& recent = recent_[(hash >> 20) & (kRecentTexts - 1)];
    if (recent != Text) recent = Text.toString();
    return recent;
}

QString CalTextReader::S() {
    // Most strings of a day item are empty (its picture file, its source key).
    const RawValue raw = rawValue();
    if (raw.size == 0) return QStringView(u"").toString(); // empty, as kept() gives it
    return kept(trimmedBlanks(valueOf(raw), true));
}
QString CalTextReader::MS() {
    return kept(trimmedBlanks(Value(), false));
}

// The numbers are read from the line's bytes when they are plain (digits and "-" are the same
// in Windows-1252), and through the text otherwise.
int16_t CalTextReader::I() {
    int32_t plain = 0;
    const RawValue raw = rawValue();
    if (!plainNumber(raw.chars, raw.size, plain)) return rt::CInt(rt::Val(valueOf(raw).toString()));
    if (plain < INT16_MIN || plain > INT16_MAX) rt::raise(rt::ErrOverflow);
    return int16_t(plain);
}
int32_t CalTextReader::L() {
    int32_t plain = 0;
    const RawValue raw = rawValue();
    return plainNumber(raw.chars, raw.size, plain) ? plain
                                                   : rt::CLng(rt::Val(valueOf(raw).toString()));
}
int16_t CalTextReader::B() {
    int32_t plain = 0;
    const RawValue raw = rawValue();
    const bool set = plainNumber(raw.chars, raw.size, plain)
                         ? plain != 0
                         : rt::Val(valueOf(raw).toString()) != 0;
    return set ? int16_t(-1) : int16_t(0);
}
DateRec CalTextReader::D() {
    const QStringView v = Value();
    // The writer's form, four digits of year, read at once; any other text as TextToDate
    // reads it.
    if (v.size() == 10 && v[4] == u'-' && v[7] == u'-' && isDigit(v[0]) && isDigit(v[1]) &&
        isDigit(v[2]) && isDigit(v[3]) && isDigit(v[5]) && isDigit(v[6]) && isDigit(v[8]) &&
        isDigit(v[9])) {
        DateRec d;
        d.Year = int16_t(twoDigits(v, 0) * 100 + twoDigits(v, 2));
        d.Month = int16_t(twoDigits(v, 5));
        d.Day = int16_t(twoDigits(v, 8));
        return d;
    }
    return TextToDate(v.toString());
}
void CalTextReader::R() {
    Value();
}

int16_t CalTextReader::Count(int LinesEach) {
    const int line = next_ + 1;
    const int16_t n = I();
    if (n < 0)
        throw rt::RtError(ErrBadFileFormat,
                          QStringLiteral("Format de fichier incorrect : nombre négatif (%1) à la "
                                         "ligne %2")
                              .arg(n)
                              .arg(line),
                          QString::fromLatin1(rt::kAppTitle));
    if (lines_ == kUncounted)
        linesNeeded_ = std::max(linesNeeded_, qint64(next_) + qint64(n) * LinesEach);
    else if (qint64(n) * LinesEach > LinesLeft())
        rt::raise(rt::ErrInputPastEnd);
    return n;
}
