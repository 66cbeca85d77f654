#include "core/cp1252.h"

#include <gtest/gtest.h>

using namespace rt;

TEST(Cp1252, HighBytesAreTheWindowsCharactersNotLatin1Controls) {
    QByteArray all;
    for (int b = 0x80; b <= 0x9F; ++b)
        all.append(char(b));
    const QString text = fromCp1252(all);
    EXPECT_EQ(text[0], QChar(0x20AC));           // €
    EXPECT_EQ(text[0x85 - 0x80], QChar(0x2026)); // …
    EXPECT_EQ(text[0x92 - 0x80], QChar(0x2019)); // ’
    EXPECT_EQ(text[0x9C - 0x80], QChar(0x0153)); // œ
    EXPECT_EQ(text[0x9F - 0x80], QChar(0x0178)); // Ÿ
    // Every byte, the five undefined ones included, comes back unchanged.
    QByteArray every;
    for (int b = 0; b < 256; ++b)
        every.append(char(b));
    EXPECT_EQ(toCp1252(fromCp1252(every)), every);
}

TEST(Cp1252, AccentedTextSurvivesARoundTripByteForByte) {
    const QString text = QStringLiteral("é€œ");
    const QByteArray bytes = toCp1252(text);
    EXPECT_EQ(bytes, QByteArray("\xE9\x80\x9C"));
    EXPECT_EQ(fromCp1252(bytes), text);
    EXPECT_EQ(fromCp1252(toCp1252(QStringLiteral("Noël l’été à 12 €…"))),
              QStringLiteral("Noël l’été à 12 €…"));
}

TEST(Cp1252, UnmappableCharactersBecomeOneQuestionMark) {
    EXPECT_EQ(toCp1252(QStringLiteral("a\u0101b")), QByteArray("a?b"));
    EXPECT_EQ(toCp1252(QString::fromUtf8("x\xF0\x9F\x98\x80y")), QByteArray("x?y")); // emoji
    EXPECT_EQ(toCp1252(QStringLiteral("\u4E2D")), QByteArray("?"));
}

TEST(Cp1252, LongTextsConvertTheSameWhereverTheirSpecialCharactersStand) {
    // Plain ASCII goes through in blocks: a special character at each place of a block, and a
    // surrogate pair across two blocks, must come out as in a short text.
    const struct {
        QString special;
        QByteArray bytes;
    } specials[] = {
        {QStringLiteral("€"), "\x80"},
        {QStringLiteral("é"), "\xE9"},
        {QStringLiteral("\u0081"), "\x81"},
        {QStringLiteral("\u0100"), "?"},
        {QString::fromUtf8("\xF0\x9F\x98\x80"), "?"}, // one "?" for the pair
    };
    for (const auto& s : specials)
        for (int at : {0, 7, 8, 15, 16, 31, 39}) {
            const QString text = QString(at, u'a') + s.special + QString(40 - at, u'b');
            const QByteArray bytes = QByteArray(at, 'a') + s.bytes + QByteArray(40 - at, 'b');
            EXPECT_EQ(toCp1252(text), bytes) << at;
            if (s.bytes != "?") {
                EXPECT_EQ(fromCp1252(bytes), text) << at;
            }
        }
}
