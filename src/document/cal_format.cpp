#include "cal_format.h"

#include "platform/cp1252.h"
#include "platform/numeric.h"
#include "platform/rt_error.h"

QString BackgroundEntryName(int Month) {
    return QStringLiteral("bck.%1").arg(Month, 2, 10, QLatin1Char('0'));
}

QString ItemPictureEntryName(int Month, int Cell, int Index) {
    return QStringLiteral("ev.%1%2%3")
        .arg(Month, 2, 10, QLatin1Char('0'))
        .arg(Cell, 2, 10, QLatin1Char('0'))
        .arg(Index, 4, 10, QLatin1Char('0'));
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

void CalTextWriter::line(const QString& value) {
    QString v = value;
    v.replace(QLatin1Char('\r'), QLatin1Char(' '));
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));
    bytes_ += '"';
    bytes_ += rt::toCp1252(v);
    bytes_ += "\"\r\n";
    ++lines_;
}

void CalTextWriter::S(const QString& Value) {
    line(Value);
}
void CalTextWriter::I(int16_t Value) {
    line(QString::number(Value));
}
void CalTextWriter::L(int32_t Value) {
    line(QString::number(Value));
}
void CalTextWriter::B(int16_t Value) {
    line(QString::number(Value));
}
void CalTextWriter::D(const DateRec& Value) {
    line(DateToText(Value));
}
void CalTextWriter::R() {
    line(QString());
}

// ---- reading ----

QString ValueOfLine(const QString& Line) {
    const qsizetype first = Line.indexOf(QLatin1Char('"'));
    if (first < 0) return Line;
    const qsizetype last = Line.lastIndexOf(QLatin1Char('"'));
    if (last == first) return Line.mid(first + 1);
    return Line.mid(first + 1, last - first - 1);
}

CalTextReader::CalTextReader(const QByteArray& Data) {
    // Lines end with CR LF; a bare LF and a last line without an end are accepted too.
    lines_ = Data.split('\n');
    if (!lines_.isEmpty() && lines_.last().isEmpty()) lines_.removeLast();
    for (QByteArray& l : lines_)
        if (l.endsWith('\r')) l.chop(1);
}

QString CalTextReader::Value() {
    if (next_ >= lines_.size()) rt::raise(rt::ErrInputPastEnd);
    return ValueOfLine(rt::fromCp1252(lines_[next_++]));
}

QString CalTextReader::S() {
    return rt::TrimBlanks(Value());
}
int16_t CalTextReader::I() {
    return rt::CInt(rt::Val(Value()));
}
int32_t CalTextReader::L() {
    return rt::CLng(rt::Val(Value()));
}
int16_t CalTextReader::B() {
    return rt::Val(Value()) != 0 ? int16_t(-1) : int16_t(0);
}
DateRec CalTextReader::D() {
    return TextToDate(Value());
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
    if (qint64(n) * LinesEach > LinesLeft()) rt::raise(rt::ErrInputPastEnd);
    return n;
}
