#pragma once
// Windows-1252 text, the encoding of the document's data file. Not Latin-1: bytes 0x80-0x9F
// hold € ‚ ƒ „ … † ‡ ˆ ‰ Š ‹ Œ Ž ‘ ’ “ ” • – — ˜ ™ š › œ ž Ÿ.

#include <QByteArray>
#include <QString>

namespace rt {

QString fromCp1252(const QByteArray& bytes);
// The same for size bytes at bytes, into out, whose room is used again.
void fromCp1252Into(const char* bytes, qsizetype size, QString& out);
// Characters that Windows-1252 cannot hold are written as "?".
QByteArray toCp1252(const QString& text);
// The same for size characters at text, written at to, which has room for size bytes; how
// many bytes were written (fewer where a surrogate pair made one "?").
qsizetype toCp1252Into(const QChar* text, qsizetype size, char* to);

// True when Windows-1252 holds every character of the text, so that it is written and read back
// unchanged.
bool IsCp1252Text(const QString& text);

} // namespace rt
