#include "platform/cp1252.h"

#include <gtest/gtest.h>

using namespace rt;

TEST(Cp1252, HighBytesAreTheWindowsCharactersNotLatin1Controls) {
    QByteArray all;
    for (int b = 0x80; b <= 0x9F; ++b) all.append(char(b));
    const QString text = fromCp1252(all);
    EXPECT_EQ(text[0], QChar(0x20AC)); // €
    EXPECT_EQ(text[0x85 - 0x80], QChar(0x2026)); // …
    EXPECT_EQ(text[0x92 - 0x80], QChar(0x2019)); // ’
    EXPECT_EQ(text[0x9C - 0x80], QChar(0x0153)); // œ
    EXPECT_EQ(text[0x9F - 0x80], QChar(0x0178)); // Ÿ
    // Every byte, the five undefined ones included, comes back unchanged.
    QByteArray every;
    for (int b = 0; b < 256; ++b) every.append(char(b));
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
