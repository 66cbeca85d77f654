#include "cp1252.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rt {

namespace {

// Code points of bytes 0x80-0x9F; 0 marks the five bytes that are undefined in Windows-1252,
// which map to the C1 control of the same value (as Windows itself does).
constexpr char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The character of every byte, built once.
struct ByteTable {
    char16_t chars[256];
    constexpr ByteTable() : chars() {
        for (int b = 0; b < 256; ++b)
            chars[b] =
                (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0) ? kHigh[b - 0x80] : char16_t(b);
    }
};
constexpr ByteTable kByteTable;

// The byte of a character outside ASCII and Latin-1's letters, or 0 when Windows-1252 has
// none: one of the 27 characters of bytes 0x80-0x9F, or one of the five C1 controls that
// stand for themselves.
char highByte(char16_t u) {
    for (int k = 0; k < 32; ++k)
        if (kHigh[k] == u || (kHigh[k] == 0 && u == 0x80 + k)) return char(0x80 + k);
    return 0;
}

} // namespace

QString fromCp1252(const QByteArray& bytes) {
    QString out;
    fromCp1252Into(bytes.constData(), bytes.size(), out);
    return out;
}

void fromCp1252Into(const char* bytes, qsizetype n, QString& out) {
    out.resize(n);
    const auto* in = reinterpret_cast<const unsigned char*>(bytes);
    char16_t* to = reinterpret_cast<char16_t*>(out.data());
    qsizetype i = 0;
#if defined(__SSE2__)
    // Sixteen bytes of ASCII at a time, widened as they are; the rest through the table.
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        if (_mm_movemask_epi8(chunk) != 0) {
            for (int k = 0; k < 16; ++k)
                to[i + k] = kByteTable.chars[in[i + k]];
            continue;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_unpacklo_epi8(chunk, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i + 8), _mm_unpackhi_epi8(chunk, zero));
    }
#endif
    for (; i < n; ++i)
        to[i] = kByteTable.chars[in[i]];
}

qsizetype toCp1252Into(const QChar* text, qsizetype n, char* to) {
    const char16_t* in = reinterpret_cast<const char16_t*>(text);
    qsizetype i = 0, j = 0;
    while (i < n) {
#if defined(__SSE2__)
        // Sixteen characters of ASCII at a time, narrowed as they are.
        const __m128i zero = _mm_setzero_si128();
        const __m128i beyondAscii = _mm_set1_epi16(short(0xFF80));
        for (; i + 16 <= n; i += 16, j += 16) {
            const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
            const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 8));
            const __m128i other = _mm_and_si128(_mm_or_si128(low, high), beyondAscii);
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(other, zero)) != 0xFFFF) break;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + j), _mm_packus_epi16(low, high));
        }
        if (i >= n) break;
#endif
        const char16_t u = in[i];
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            to[j] = char(u);
        } else if (const char mapped = highByte(u)) {
            to[j] = mapped;
        } else {
            // A surrogate pair is one character: one "?" for it, not two.
            if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) ++i;
            to[j] = '?';
        }
        ++i;
        ++j;
    }
    return j;
}

QByteArray toCp1252(const QString& text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    out.truncate(toCp1252Into(text.constData(), text.size(), out.data()));
    return out;
}

bool IsCp1252Text(const QString& text) {
    // A character the code page lacks is written as "?", so the text would not come back.
    return fromCp1252(toCp1252(text)) == text;
}

} // namespace rt
