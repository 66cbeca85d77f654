#include "core/cp1252.h"
#include "core/numeric.h"
#include "core/rt_error.h"
#include "document/cal_format.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <utility>

namespace {

int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const rt::RtError& e) {
        return e.Number;
    }
    return 0;
}

} // namespace

TEST(CalFormat, EntryNames) {
    EXPECT_EQ(BackgroundEntryName(0), QStringLiteral("bck.00"));
    EXPECT_EQ(BackgroundEntryName(12), QStringLiteral("bck.12"));
    EXPECT_EQ(ItemPictureEntryName(3, 9, 0), QStringLiteral("ev.03090000"));
    EXPECT_EQ(ItemPictureEntryName(12, 48, 2), QStringLiteral("ev.12480002"));
    EXPECT_EQ(ItemPictureEntryName(1, 7, 12345), QStringLiteral("ev.010712345"));
    EXPECT_EQ(ItemPictureEntryName(0, 100, 32767), QStringLiteral("ev.0010032767"));
    EXPECT_EQ(ItemPictureEntryName(2, 7, -1), QStringLiteral("ev.0207-001"));
    EXPECT_EQ(ItemPictureEntryName(10, 40, 32767), QStringLiteral("ev.104032767"));
    EXPECT_EQ(ItemPictureEntryName(123, 7, 0), QStringLiteral("ev.123070000"));
}

TEST(CalFormat, DocumentPicturesAreVisitedInArchiveOrder) {
    CalDocument doc;
    doc.DefaultBackground.FileName = QStringLiteral("/p/fond.bmp");
    doc.Months(1).Background.FileName = QStringLiteral("/p/janvier.bmp");
    doc.Months(1).Background.UseDefault = -1; // shows the default background
    doc.Months(2).Background.FileName = QStringLiteral("/p/février.bmp");
    const auto item = [](const char* picture) {
        EVItem e;
        e.PictureFile = QString::fromUtf8(picture);
        return e;
    };
    ListAppend(doc.Months(2).Cells(9), item("/p/a.jpg"));
    ListAppend(doc.Months(2).Cells(9), item(""));
    ListAppend(doc.Months(2).Cells(9), item("/p/b.jpg"));
    ListAppend(doc.Months(12).Cells(48), item("/p/c.jpg"));
    doc.Months(12).Cells(48).Items.push_back(item("/p/au-delà du compte.jpg"));

    const struct {
        int16_t embed;
        QStringList visits; // "file name > entry name"
    } cases[] = {
        {0,
         {"/p/fond.bmp > bck.00", "/p/janvier.bmp > bck.01", "/p/février.bmp > bck.02",
          "/p/a.jpg > ev.02090000", "/p/b.jpg > ev.02090002", "/p/c.jpg > ev.12480000"}},
        {-1,
         {"/p/fond.bmp > bck.00", "/p/février.bmp > bck.02", "/p/a.jpg > ev.02090000",
          "/p/b.jpg > ev.02090002", "/p/c.jpg > ev.12480000"}},
    };
    for (const auto& c : cases) {
        doc.EmbedPictures = c.embed;
        QStringList visits;
        ForEachDocumentPicture(std::as_const(doc),
                               [&](const rt::Picture&, const QString& name, const QString& entry) {
                                   visits.append(name + QStringLiteral(" > ") + entry);
                               });
        EXPECT_EQ(visits, c.visits) << c.embed;
    }
    // A document that is not const hands out its settings to change.
    doc.EmbedPictures = 0;
    ForEachDocumentPicture(doc, [](rt::Picture&, auto& name, const QString&) { name.clear(); });
    EXPECT_TRUE(doc.DefaultBackground.FileName.isEmpty());
    EXPECT_TRUE(doc.Months(1).Background.FileName.isEmpty());
    EXPECT_TRUE(doc.Months(12).Cells(48).Items[0].PictureFile.isEmpty());
    EXPECT_FALSE(doc.Months(12).Cells(48).Items[1].PictureFile.isEmpty());
}

TEST(CalFormat, VersionLineNamesTheLayout) {
    const struct {
        const char* line;
        CalLayout layout;
    } cases[] = {
        {"2.1", CalLayout::V21},
        {"  2.1 ", CalLayout::V21},
        {"2.10", CalLayout::Unknown},
        {"1.9", CalLayout::Unknown},
        {"\t2.1", CalLayout::Unknown},
        {"", CalLayout::Unknown},
        {"2.0", CalLayout::V20},
        {"2.0 (Alpha.b)", CalLayout::V20},
        {"2.0 (Beta 1)", CalLayout::V20},
        {" 2.0 (Beta 2) ", CalLayout::V20},
        {"2.0 (beta 2)", CalLayout::Unknown},
        {"2.0 (Beta 3)", CalLayout::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LayoutOfVersion(QString::fromUtf8(c.line)), c.layout) << c.line;
}

TEST(CalFormat, ValueRunsFromFirstToLastQuote) {
    const struct {
        const char* line;
        const char* value;
    } cases[] = {
        {"\"abc\"", "abc"},
        {"\"\"", ""},
        {"  \"x\"  ", "x"},
        {"\"Le \"grand\" livre\"", "Le \"grand\" livre"},
        {"\"open", "open"},
        {"no quotes", "no quotes"},
        {"\" padded \"", " padded "},
        {"\"", ""},
        {"x\"", ""},
        {"\"a\"b", "a"},
        {"\"a\"\r\"", "a\"\r"},
        {"\"\"\"", "\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValueOfLine(QString::fromUtf8(c.line)), QString::fromUtf8(c.value)) << c.line;
        // The reader takes the same value from the line, whatever ends it.
        for (const char* end : {"\r\n", "\n", ""})
            EXPECT_EQ(CalTextReader(QByteArray(c.line) + end).Value().toString(),
                      QString::fromUtf8(c.value))
                << c.line << " " << std::strlen(end);
    }
}

TEST(CalFormat, WriterQuotesEachValueInWindows1252WithCrLf) {
    CalTextWriter out;
    out.S(QStringLiteral(" é€œ’ "));
    out.S(QStringLiteral("two\r\nlines\nhere\r"));
    out.I(-32768);
    out.L(16777215);
    out.B(1); // a raw flag value is written as stored
    out.D(MakeDate(9, 2, 2004));
    out.R();
    EXPECT_EQ(out.LineCount(), 7);
    EXPECT_EQ(out.Bytes(), QByteArray("\" \xE9\x80\x9C\x92 \"\r\n"
                                      "\"two  lines here \"\r\n"
                                      "\"-32768\"\r\n"
                                      "\"16777215\"\r\n"
                                      "\"1\"\r\n"
                                      "\"2004-02-09\"\r\n"
                                      "\"\"\r\n"));
}

TEST(CalFormat, ReaderConvertsEachKind) {
    CalTextReader in(QByteArray("\"  \tAuthor \xE9\x80 \"\r\n" // S: blanks trimmed, tab kept
                                "\"2.5\"\r\n\"3.5\"\r\n\"&HFF\"\r\n\"1 000\"\r\n" // I
                                "\"-2147483648\"\r\n"                             // L
                                "\"1\"\r\n\"0.0\"\r\n\"abc\"\r\n\"-5\"\n"         // B, LF alone
                                "\"2004-02-09\"\r\n"                              // D
                                "\"anything\"\r\n"                                // R
                                "\"last\""));                                     // no line end
    EXPECT_EQ(in.S(), QStringLiteral("\tAuthor é€"));
    EXPECT_EQ(in.I(), 2);
    EXPECT_EQ(in.I(), 4);
    EXPECT_EQ(in.I(), 255);
    EXPECT_EQ(in.I(), 1000);
    EXPECT_EQ(in.L(), INT32_MIN);
    EXPECT_EQ(in.B(), -1);
    EXPECT_EQ(in.B(), 0);
    EXPECT_EQ(in.B(), 0);
    EXPECT_EQ(in.B(), -1);
    const DateRec d = in.D();
    EXPECT_EQ(d.Year, 2004);
    EXPECT_EQ(d.Month, 2);
    EXPECT_EQ(d.Day, 9);
    in.R();
    EXPECT_EQ(in.S(), QStringLiteral("last"));
    EXPECT_EQ(in.LinesLeft(), 0);
    EXPECT_EQ(errorOf([&] { in.Value(); }), rt::ErrInputPastEnd);
}

namespace {
// A source that gives text at most `block` bytes at a time.
CalTextReader::Source blocksOf(const QByteArray& text, qsizetype block) {
    return [text, block, at = qsizetype(0)](char* to, qsizetype size) mutable {
        const qsizetype n = std::min({size, block, text.size() - at});
        std::memcpy(to, text.constData() + at, size_t(n));
        at += n;
        return n;
    };
}
} // namespace

// A text taken a block at a time reads as the same text held whole, its lines counted before or
// not, whatever the blocks: lines across two blocks, a line longer than a block, CR LF split
// between blocks, LF alone and a last line without an end.
TEST(CalFormat, ReaderTakesTheTextInBlocksAsWhole) {
    const QByteArray text = QByteArray("\"2.1\"\r\n\"  Au \"teur\" \xE9\"\r\n\"\"\n") +
                            QByteArray("\"") + QByteArray(100000, 'x') + "\"\r\n\"-5\"\r" +
                            "\n\"\"\r\n\"last\"";
    for (bool counted : {true, false}) {
        for (qsizetype block : {1, 2, 3, 7, 4096, 70000}) {
            CalLineCounter lines;
            for (qsizetype at = 0; at < text.size(); at += block)
                lines.add(text.constData() + at, std::min(block, text.size() - at));
            CalTextReader blocks(blocksOf(text, block),
                                 counted ? lines.lines() : CalTextReader::kUncounted);
            CalTextReader whole(text);
            EXPECT_EQ(lines.lines(), whole.LinesLeft()) << block;
            while (whole.LinesLeft() > 0)
                EXPECT_EQ(blocks.Value().toString(), whole.Value().toString())
                    << block << " " << counted;
            EXPECT_EQ(errorOf([&] { blocks.Value(); }), rt::ErrInputPastEnd)
                << block << " " << counted;
        }
    }
}

// A count of records is checked against the lines left alike, the text's lines counted before
// or, uncounted, once the text has been read to its end.
TEST(CalFormat, ReaderChecksCountsOfUncountedTextsAsOfCountedOnes) {
    const struct {
        const char* text;
        int linesEach;
    } cases[] = {{"\"-1\"\r\n", 3},
                 {"\"2\"\r\n\"\"\r\n\"\"\r\n", 3},
                 {"\"1\"\r\n\"\"\r\n\"\"\r\n", 2},
                 {"\"2\"\r\n\"\"\r\n\"\"", 1},
                 {"\"3\"\r\n\"\"\r\n\"\"", 1},
                 {"\"0\"", 5},
                 {"\"1\"\n\n", 1}};
    for (const auto& c : cases) {
        const QByteArray text(c.text);
        const int expected = errorOf([&] { CalTextReader(text).Count(c.linesEach); });
        for (qsizetype block : {1, 4096})
            EXPECT_EQ(errorOf([&] {
                          CalTextReader in(blocksOf(text, block), CalTextReader::kUncounted);
                          in.Count(c.linesEach);
                          in.ReadToEnd();
                      }),
                      expected)
                << c.text << " " << block;
    }
}

TEST(CalFormat, ReaderRefusesValuesThatDoNotFit) {
    EXPECT_EQ(errorOf([] { CalTextReader(QByteArray("\"32768\"")).I(); }), rt::ErrOverflow);
    EXPECT_EQ(errorOf([] { CalTextReader(QByteArray("\"2147483648\"")).L(); }), rt::ErrOverflow);
    // Counts: negative, or more records than the rest of the file holds.
    EXPECT_EQ(errorOf([] { CalTextReader(QByteArray("\"-1\"\r\n")).Count(3); }), ErrBadFileFormat);
    EXPECT_EQ(errorOf([] { CalTextReader(QByteArray("\"2\"\r\n\"\"\r\n\"\"\r\n")).Count(3); }),
              rt::ErrInputPastEnd);
    EXPECT_EQ(errorOf([] { CalTextReader(QByteArray("\"1\"\r\n\"\"\r\n\"\"\r\n")).Count(2); }), 0);
}

TEST(CalFormat, ReaderNumbersAndDatesFollowTheRuntimeRulesWhateverTheirForm) {
    // The writer's own forms are read directly; every text must give what the runtime's rules
    // give it, errors included.
    const char* const values[] = {
        "0",          "-0",  "7",         "007",       "-32768",     "32767",
        "32768",      "-1",  "123456789", "999999999", "1234567890", "-2147483648",
        "2147483648", "+5",  " 5",        "5 ",        "1e3",        "-",
        "",           "2.5", "abc",       "&H7FFF",    "0x10"};
    for (const char* v : values) {
        const QByteArray line = QByteArray("\"") + v + "\"\r\n";
        const QString text = QString::fromLatin1(v);
        EXPECT_EQ(errorOf([&] { CalTextReader(line).I(); }),
                  errorOf([&] { rt::CInt(rt::Val(text)); }))
            << v;
        EXPECT_EQ(errorOf([&] { CalTextReader(line).L(); }),
                  errorOf([&] { rt::CLng(rt::Val(text)); }))
            << v;
        if (errorOf([&] { rt::CLng(rt::Val(text)); }) == 0) {
            EXPECT_EQ(CalTextReader(line).L(), rt::CLng(rt::Val(text))) << v;
        }
        if (errorOf([&] { rt::CInt(rt::Val(text)); }) == 0) {
            EXPECT_EQ(CalTextReader(line).I(), rt::CInt(rt::Val(text))) << v;
        }
        EXPECT_EQ(CalTextReader(line).B(), rt::Val(text) != 0 ? -1 : 0) << v;
    }
    for (const char* v : {"2004-02-09", "0999-12-31", "9999-01-01", "999-01-01", "2004-2-9",
                          "2004-02-09x", "2004/02/09", "-200-01-01", ""}) {
        const DateRec read = CalTextReader(QByteArray("\"") + v + "\"").D();
        const DateRec rule = TextToDate(QString::fromLatin1(v));
        EXPECT_TRUE(read.Year == rule.Year && read.Month == rule.Month && read.Day == rule.Day)
            << v;
    }
}

TEST(CalFormat, WriterNumbersAndDatesAreTheRuntimeTexts) {
    for (int32_t v : {0, 1, -1, 9, 10, -32768, 32767, INT32_MIN, INT32_MAX}) {
        CalTextWriter out;
        out.L(v);
        EXPECT_EQ(out.Bytes(), "\"" + QByteArray::number(v) + "\"\r\n");
    }
    for (const DateRec& d : {MakeDate(9, 2, 2004), MakeDate(31, 12, 1), MakeDate(0, 0, 0),
                             MakeDate(-5, -1, -20), MakeDate(1, 1, 32767)}) {
        CalTextWriter out;
        out.D(d);
        EXPECT_EQ(out.Bytes(), "\"" + rt::toCp1252(DateToText(d)) + "\"\r\n");
    }
}
