#include "cal_writer.h"

#include "cal_format.h"
#include "cal_limits.h"
#include "cal_reader.h"
#include "core/numeric.h"
#include "core/resources.h"
#include "core/rt_error.h"
#include "core/ui_services.h"
#include "core/zip_archive.h"
#include "doc_state.h"
#include "doc_views.h"

#include <QBuffer>
#include <QHash>
#include <QImageWriter>
#include <utility>

namespace {

void writeImageItem(CalTextWriter& out, const ImageItem& image) {
    out.L(image.Mode);
    out.S(image.FileName);
    out.B(image.UseDefault);
}

void writeColourSet(CalTextWriter& out, const ColourSet& c) {
    for (int32_t colour : {c.CellBack, c.DayText, c.TodayText, c.SelCellBack, c.EventText,
                           c.HeaderBack, c.HeaderText, c.IncomeText, c.ExpenseText})
        out.L(colour);
    out.R(); // stands where the set's modified flag lies; nothing is kept in it
    out.B(c.ShowGrid);
    out.B(c.UseDefault);
}

// The picture to store for a picture setting: the one in memory, or, when that is empty (a
// picture that could not be loaded keeps its name), the file the name points to. An empty
// result means there is nothing to store.
rt::Picture pictureToStore(const rt::Picture& picture, const QString& fileName) {
    if (!picture.isEmpty()) return picture;
    ImageItem fromFile;
    fromFile.FileName = fileName;
    LoadImageItemPicture(fromFile);
    return fromFile.Picture;
}

// A picture's entry: the picture as a bitmap file, made in memory when the archive is written;
// none when there is nothing to store (the next read reports the missing picture).
QByteArray pictureEntry(const rt::Picture& picture, const QString& fileName) {
    const rt::Picture stored = pictureToStore(picture, fileName);
    if (stored.isEmpty()) return QByteArray();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "BMP").write(stored.image())) rt::raise(rt::ErrOutOfMemory);
    return bytes;
}

void setStep(int resourceId) {
    views().SetLoadingCaption(1, rt::LoadResString(resourceId));
    rt::DoEventsNoInput();
}

// Why Doc, whose data text is Data, is beyond the limits of a document the reader takes back;
// "" when it is within them. The pictures are counted as the reader loads them, each on its
// own, shared or not: an embedded one as it will be stored (the picture in memory, or the file
// when that is empty), one of its own file as that file is. A file named by several items is
// looked at once.
QString beyondLimits(const CalDocument& Doc, const QByteArray& Data) {
    if (Data.size() > kMaxDataBytes) return DataTooLargeText();

    const bool embedded = Doc.EmbedPictures != 0;
    qint64 pictures = 0;
    qint64 decoded = 0;
    QString refusal;
    QHash<QString, QSize> fileSizes;
    const auto fileSize = [&](const QString& fileName) {
        const auto known = fileSizes.constFind(fileName);
        return known != fileSizes.cend() ? *known
                                         : *fileSizes.insert(fileName, PictureSizeOfFile(fileName));
    };
    ForEachDocumentPicture(
        Doc, [&](const rt::Picture& picture, const QString& fileName, const QString&) {
            if (!refusal.isEmpty()) return;
            ++pictures;
            const QSize size =
                embedded && !picture.isEmpty() ? picture.image().size() : fileSize(fileName);
            if (qint64(size.width()) * size.height() > kMaxPicturePixels) {
                // A file of its own beyond the limit is only not loaded (and reported) on reading.
                if (embedded) refusal = PictureTooLargeText(fileName, size);
                return;
            }
            decoded += rt::DecodedBytes(size);
        });
    if (!refusal.isEmpty()) return refusal;
    if (embedded && pictures + 1 > kMaxEntries) return TooManyPicturesText();
    if (decoded > kMaxPictureBytes) return PicturesTooLargeText();
    return QString();
}

// Whether Doc holds more day items than a document may: checked before its text is made.
bool tooManyItems(const CalDocument& Doc) {
    qint64 items = 0;
    for (const MonthRec& month : Doc.Months.Store)
        for (const DayCell& cell : month.Cells.Store)
            items += StoredCount(cell);
    return items > kMaxDayItems;
}

// The message of a document refused before anything was written.
void showRefusal(const QString& FileName, const QString& Why) {
    const QString cr = QStringLiteral("\r");
    rt::MsgBox(rt::LoadResString(10033) + cr + rt::TrimBlanks(FileName) + cr + cr + Why + cr + cr +
                   rt::LoadResString(10160),
               rt::vbCritical | rt::vbOKOnly, rt::LoadResString(10036));
}

// One whole attempt at writing; raises the first run-time error. The archive is made from
// memory straight into its new file beside FileName: nothing of the document is written
// anywhere else.
rt::FileIdentity writeArchive(const QString& FileName, CalDocument& Doc, const QByteArray& Data) {
    setStep(10025);
    rt::ZipArchive zip;
    // The window paints while the data is compressed; the user's input waits for the end.
    zip.setBetweenPieces([] { rt::DoEventsNoInput(); });
    zip.addData(
        kCalDataEntry, [&Data] { return Data; }, Doc.Password);

    setStep(10026);
    if (Doc.EmbedPictures != 0)
        ForEachDocumentPicture(std::as_const(Doc), [&](const rt::Picture& picture,
                                                       const QString& fileName,
                                                       const QString& entryName) {
            zip.addData(entryName, [picture, fileName] { return pictureEntry(picture, fileName); });
        });

    setStep(10027);
    // Saved over its own file, the document must still find there the file it came from.
    return zip.write(FileName, FileName == Doc.FileName ? Doc.FileId : rt::FileIdentity());
}

// About the size of Doc's text, a little more: its day items take nearly all of it, each its
// texts and some 60 bytes of numbers, quotes and line ends.
qsizetype textSizeOf(const CalDocument& Doc) {
    qsizetype size = 64 * 1024;
    for (const MonthRec& month : Doc.Months.Store)
        for (const DayCell& cell : month.Cells.Store)
            for (const EVItem& ev : cell.Items)
                size +=
                    64 + ev.Text.size() + ev.PictureFile.text().size() + ev.SourceKey.text().size();
    return size;
}

} // namespace

QByteArray WriteCalData(const CalDocument& Doc) {
    CalTextWriter out;
    out.reserve(textSizeOf(Doc));
    out.S(kCalVersion);
    out.S(Doc.Author);
    out.S(Doc.OpenMonth);
    out.S(Doc.Year);
    out.B(Doc.EmbedPictures);

    const int16_t aeCount = StoredCount(Doc.AutoEvents);
    out.I(aeCount);
    out.L(Doc.AutoEvents.NextKey);
    for (int i = 0; i < aeCount; ++i) {
        const AEItem& ae = Doc.AutoEvents.Items[size_t(i)];
        out.D(ae.EndDate);
        out.D(ae.StartDate);
        out.I(ae.Day);
        out.I(ae.Month);
        out.S(ae.Key);
        out.L(ae.Recurrence);
        out.S(ae.Text);
        out.L(ae.Kind);
    }

    const int16_t deCount = StoredCount(Doc.DebtsSavings);
    out.I(deCount);
    for (int i = 0; i < deCount; ++i) {
        const DEItem& de = Doc.DebtsSavings.Items[size_t(i)];
        out.D(de.StartDate);
        out.B(de.IsSaving);
        out.S(de.Text);
    }

    const int16_t bdCount = StoredCount(Doc.Birthdays);
    out.I(bdCount);
    out.L(Doc.Birthdays.NextKey);
    for (int i = 0; i < bdCount; ++i) {
        const BDItem& bd = Doc.Birthdays.Items[size_t(i)];
        out.D(bd.BirthDate);
        out.S(bd.Key);
        out.S(bd.Name);
    }

    for (int m = 1; m <= 12; ++m) {
        for (int c = kFirstCell; c <= kLastCell; ++c) {
            const DayCell& cell = Doc.Months(m).Cells(c);
            const int16_t count = StoredCount(cell);
            out.I(count);
            for (int i = 0; i < count; ++i) {
                const EVItem& ev = cell.Items[size_t(i)];
                out.L(ev.AlarmDaysBefore);
                out.B(ev.AlarmOn);
                out.I(ev.Sound);
                out.B(ev.Checked);
                out.S(ev.Text);
                out.L(ev.Kind);
                out.L(ev.Colour);
                out.S(ev.PictureFile);
                out.S(ev.SourceKey);
            }
        }
    }

    writeImageItem(out, Doc.DefaultBackground);
    for (int m = 1; m <= 12; ++m)
        writeImageItem(out, Doc.Months(m).Background);
    writeColourSet(out, Doc.DefaultColours);
    for (int m = 1; m <= 12; ++m)
        writeColourSet(out, Doc.Months(m).Colours);
    return out.Bytes();
}

bool SaveCalFile(const QString& FileName, CalDocument& Doc) {
    rt::SetHourglass(true);
    if (views().AppState() != QLatin1String("Load")) views().SetMainMode(2);
    views().SetLoadingCaption(0, rt::LoadResString(10024));
    rt::DoEventsNoInput();

    // A document the reader would refuse is refused now, before anything is written.
    QByteArray data;
    QString refusal = tooManyItems(Doc) ? TooManyItemsText() : QString();
    if (refusal.isEmpty()) {
        data = WriteCalData(Doc);
        refusal = beyondLimits(Doc, data);
    }
    if (!refusal.isEmpty()) {
        showRefusal(FileName, refusal);
        rt::SetHourglass(false);
        rt::DoEventsNoInput();
        return false;
    }

    bool written = false;
    for (;;) {
        try {
            const rt::FileIdentity file = writeArchive(FileName, Doc, data);
            CurDoc.FileName = FileName;
            CurDoc.FileId = file;
            Doc.FileName = FileName;
            Doc.FileId = file;
            rt::DoEventsNoInput();
            written = true;
            break;
        } catch (const rt::RtError& e) {
            // Retry starts again from the first line of "caldata.cal", in a new file.
            if (ShowCalFileError(FileName, CalFileError::OtherError, 1, &e, QString()) !=
                rt::vbRetry)
                break;
        }
    }

    rt::SetHourglass(false);
    rt::DoEventsNoInput();
    return written;
}
