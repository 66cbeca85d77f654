#include "cp1252.h"

namespace rt {

namespace {

// Code points of bytes 0x80-0x9F; 0 marks the five bytes that are undefined in Windows-1252,
// which map to the C1 control of the same value (as Windows itself does).
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

QString fromCp1252(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0) out.append(QChar(kHigh[b - 0x80]));
        else out.append(QChar(char16_t(b)));
    }
    return out;
}

QByteArray toCp1252(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.append(char(u));
            continue;
        }
        char mapped = '?';
        for (int k = 0; k < 32; ++k) {
            if (kHigh[k] == u || (kHigh[k] == 0 && u == 0x80 + k)) {
                mapped = char(0x80 + k);
                break;
            }
        }
        // A surrogate pair is one character: one "?" for it, not two.
        if (mapped == '?' && text[i].isHighSurrogate() && i + 1 < text.size() &&
            text[i + 1].isLowSurrogate())
            ++i;
        out.append(mapped);
    }
    return out;
}

} // namespace rt

namespace rt {

bool IsCp1252Text(const QString& text) {
    // A character the code page lacks is written as "?", so the text would not come back.
    return fromCp1252(toCp1252(text)) == text;
}

} // namespace rt
