#pragma once
// The ".cal" document on disk: a zip archive holding "caldata.cal" (every kept field of the
// document, one quoted value per line) and, when the document embeds its pictures, one entry
// per picture. This header holds what the reader and the writer share: the entry names, the
// version texts and the line format of "caldata.cal".
//
// "caldata.cal" is Windows-1252 text. Every line is a value between two double quotes followed
// by CR LF; there is no escape. The writer turns a CR or LF inside a value into a blank, since
// a line break would shift every later line. The reader takes a value from the first to the
// last double quote of its line, so a quote inside a value survives; for values without inner
// quotes this is the same as stopping at the next quote.

#include "dates.h"
#include "records.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

// The version line of the layout that is written.
inline const QString kCalVersion = QStringLiteral("2.1");

// The entry of the document's data.
inline const QString kCalDataEntry = QStringLiteral("caldata.cal");

// "bck.00" for the default background, "bck.01" to "bck.12" for a month's.
QString BackgroundEntryName(int Month);
// "ev." with the month and cell (two digits each) and the item's index in its cell (four
// digits at least): "ev.03090000" is the first item of cell 9 in March.
QString ItemPictureEntryName(int Month, int Cell, int Index);

// The number of records a list stores: its Count, never more than it holds.
template <class List> int16_t StoredCount(const List& list) {
    return int16_t(std::clamp<qsizetype>(list.Count, 0, qsizetype(list.Items.size())));
}

// Hands each picture setting of Doc that the reader loads to
// Visit(Picture, FileName, EntryName), in the order of the archive: the default background,
// then month by month the month's background and its items' pictures in cell and item order.
// Only settings with a file name take part. With embedded pictures a month's background that
// uses the default is left out (it has no entry); without, its own file is read all the same.
// Doc may be const; Visit then gets const references. A background's file name comes as a
// QString, an item's as a RareText (which reads as a const QString).
template <class Document, class Visit> void ForEachDocumentPicture(Document& Doc, Visit visit) {
    const bool embedded = Doc.EmbedPictures != 0;
    if (!Doc.DefaultBackground.FileName.isEmpty())
        visit(Doc.DefaultBackground.Picture, Doc.DefaultBackground.FileName,
              BackgroundEntryName(0));
    for (int m = 1; m <= 12; ++m) {
        auto& month = Doc.Months(m);
        if (!month.Background.FileName.isEmpty() && (!embedded || month.Background.UseDefault == 0))
            visit(month.Background.Picture, month.Background.FileName, BackgroundEntryName(m));
        for (int c = kFirstCell; c <= kLastCell; ++c) {
            auto& cell = month.Cells(c);
            for (int i = 0; i < StoredCount(cell); ++i) {
                auto& item = cell.Items[size_t(i)];
                if (!item.PictureFile.isEmpty())
                    visit(item.Picture, item.PictureFile, ItemPictureEntryName(m, c, i));
            }
        }
    }
}

// The layouts of "caldata.cal".
enum class CalLayout { Unknown, V21, V20 };
// The layout named by the first line's value (blanks around it are ignored; case counts).
CalLayout LayoutOfVersion(const QString& Version);

// Run-time error for a file whose values cannot describe a document (a year outside 1 to
// 9999, a negative count).
constexpr int32_t ErrBadFileFormat = 321;

// Builds the text of "caldata.cal", one value per line, in Windows-1252 as it goes.
class CalTextWriter {
public:
    CalTextWriter() = default;
    CalTextWriter(const CalTextWriter&) = delete;
    CalTextWriter& operator=(const CalTextWriter&) = delete;

    // Makes room for a text of about this many bytes at once, so that a long text is not moved
    // as it grows.
    void reserve(qsizetype bytes);

    void S(const QString& Value); // a string, as it is (line breaks become blanks)
    void I(int16_t Value);        // a 16-bit number
    void L(int32_t Value);        // a 32-bit number
    void B(int16_t Value);        // a stored flag, its raw value
    void D(const DateRec& Value); // a date, in its text form
    void R();                     // a reserved line: an empty value

    // The text so far.
    QByteArray Bytes();
    int LineCount() const { return lines_; }

private:
    // Where n more bytes go.
    char* room(qsizetype n) { return used_ + n <= bytes_.size() ? chars_ + used_ : grow(n); }
    char* grow(qsizetype n);
    // Appends one byte.
    void put(char c) {
        *room(1) = c;
        ++used_;
    }
    void number(int64_t value, int minDigits);
    void numberLine(int64_t value); // a line of one number, as QString::number writes it
    void open();
    void close();
    QByteArray bytes_;      // the text so far, and room for more
    char* chars_ = nullptr; // the bytes of bytes_
    qsizetype used_ = 0;    // bytes of bytes_ in use
    int lines_ = 0;
};

// Counts the lines of a text handed over a block at a time: its line ends (LF), and a last
// line without one.
class CalLineCounter {
public:
    void add(const char* bytes, qsizetype size);
    qsizetype lines() const { return ends_ + (last_ != '\n' ? 1 : 0); }

private:
    qsizetype ends_ = 0;
    char last_ = '\n'; // the last byte so far; an empty text has no line
};

// Reads the text of "caldata.cal" value by value, each line converted from Windows-1252 as it
// is read: no line is copied unless it is kept as a string field, and a text read again
// shares the characters of the one before. Reading past the last line
// raises run-time error 62; a number that does not fit its field raises 6.
class CalTextReader {
public:
    // Up to `size` more bytes of the text at `to`; how many, 0 at its end.
    using Source = std::function<qsizetype(char* to, qsizetype size)>;

    // A text held whole.
    explicit CalTextReader(QByteArray Data);
    // A text of `Lines` lines (CalLineCounter), or of lines not counted yet (kUncounted), taken
    // from Source a block at a time, so that it is never held whole. Uncounted, the counts of
    // records are checked against the lines once the text has been read to its end
    // (ReadToEnd), not as they are read.
    CalTextReader(Source Text, qsizetype Lines);
    static constexpr qsizetype kUncounted = -1;

    // The next line's value, untouched; it stays valid until the next line is read.
    QStringView Value();
    QString S();  // a string: blanks around it removed
    QString MS(); // a money text: blanks after it removed, those before it kept
    int16_t I();  // a 16-bit number: the numeric value, rounded half to even
    int32_t L();  // a 32-bit number
    int16_t B();  // a flag: -1 when the numeric value is not zero, else 0
    DateRec D();  // a date
    void R();     // a reserved line, ignored
    // A count of records that take LinesEach lines each: raises ErrBadFileFormat when
    // negative, and run-time error 62 when the rest of the file cannot hold them (for an
    // uncounted text, at ReadToEnd).
    int16_t Count(int LinesEach);

    // Lines read so far.
    int LineNumber() const { return next_; }
    // Lines not read yet, of a text whose lines are counted.
    qsizetype LinesLeft() const { return lines_ - next_; }
    // Reads what is left of the text, and so lets its source see its end; raises run-time
    // error 62 when the counts of records of an uncounted text needed more lines than it had.
    void ReadToEnd();

private:
    // The next line's value as its bytes in Windows-1252, valid until the next line is read.
    struct RawValue {
        const char* chars;
        qsizetype size;
    };
    RawValue rawValue();
    // A value read as bytes, as text (what Value gives).
    QStringView valueOf(RawValue Raw);
    // Takes more of the text behind what is left unread; false at its end.
    bool fill();
    // Text as a string field keeps it. Texts repeat in a year (an appointment, a shop, a
    // picture, an auto-event's key): one equal to a text read a little before shares its
    // characters with it, so that the document holds a repeated text about once.
    QString kept(QStringView Text);
    static constexpr size_t kRecentTexts = 4096; // a power of two

    Source source_;               // the rest of the text, until its end
    QByteArray bytes_;            // the text, or the block of it at hand, in Windows-1252
    qsizetype begin_ = 0;         // where the next line starts in bytes_
    qsizetype end_ = 0;           // the end of what bytes_ holds of the text
    QString line_;                // the value of the line read last
    std::vector<QString> recent_; // texts read before, by their hash
    qsizetype lines_ = 0;         // lines of the whole text
    int next_ = 0;                // lines read
    qint64 linesNeeded_ = 0;      // uncounted: the lines the counts read so far need in all
};

// The value of one line of "caldata.cal" (without its line end): from the first double quote
// to the last one; a line with one quote gives the rest of the line, one with none the whole.
QString ValueOfLine(const QString& Line);
