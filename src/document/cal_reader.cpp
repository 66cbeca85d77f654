#include "cal_reader.h"

#include "doc_state.h"
#include "doc_views.h"
#include "money_text.h"
#include "platform/numeric.h"
#include "platform/resources.h"
#include "platform/rt_error.h"
#include "platform/ui_services.h"
#include "platform/zip_archive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

[[noreturn]] void badFormat(const QString& what) {
    throw rt::RtError(ErrBadFileFormat, QStringLiteral("Format de fichier incorrect : ") + what,
                      QString::fromLatin1(rt::kAppTitle));
}

void readHeader(CalDocument& Doc, CalTextReader& In) {
    Doc.Author = In.S();
    Doc.OpenMonth = In.S();
    Doc.Year = In.S();
    // Every view of the document lays out its days for this year: a year no calendar can
    // show is refused here rather than failing later, outside the reader.
    const double year = rt::Val(Doc.Year);
    if (!(year >= 1 && year <= 9999))
        badFormat(QStringLiteral("année « %1 » à la ligne %2").arg(Doc.Year).arg(In.LineNumber()));
    Doc.EmbedPictures = In.B();
}

// The text of an item whose kind is read after it: a money text keeps the blanks its name
// begins with, so that the name and the amount stay where they were written.
QString textOfKind(const QString& Text, int32_t Kind) {
    return HasMoneyText(Kind) ? Text : rt::LTrimBlanks(Text);
}

void readDebtsSavings(CalDocument& Doc, CalTextReader& In) {
    const int16_t count = In.Count(3);
    DEList& list = Doc.DebtsSavings;
    list.Items.assign(size_t(count), DEItem());
    for (DEItem& de : list.Items) {
        de.StartDate = In.D();
        de.IsSaving = In.B();
        de.Text = In.MS();
    }
    list.Count = count;
}

void readDayItems(CalDocument& Doc, CalTextReader& In, bool WithSourceKey) {
    const int linesEach = WithSourceKey ? 9 : 8;
    for (int m = 1; m <= 12; ++m) {
        for (int c = kFirstCell; c <= kLastCell; ++c) {
            DayCell& cell = Doc.Months(m).Cells(c);
            const int16_t count = In.Count(linesEach);
            cell.Items.assign(size_t(count), EVItem());
            for (EVItem& ev : cell.Items) {
                ev.AlarmDaysBefore = In.L();
                ev.AlarmOn = In.B();
                ev.Sound = In.I();
                ev.Checked = In.B();
                const QString text = In.MS();
                ev.Kind = In.L();
                ev.Text = textOfKind(text, ev.Kind);
                ev.Colour = In.L();
                ev.PictureFile = In.S();
                if (WithSourceKey) ev.SourceKey = In.S();
            }
            cell.Count = count;
        }
    }
}

void readImageItem(ImageItem& Image, CalTextReader& In) {
    Image.Mode = In.L();
    Image.FileName = In.S();
    Image.UseDefault = In.B();
}

void readColourSet(ColourSet& Colours, CalTextReader& In) {
    for (int32_t* colour : {&Colours.CellBack, &Colours.DayText, &Colours.TodayText,
                            &Colours.SelCellBack, &Colours.EventText, &Colours.HeaderBack,
                            &Colours.HeaderText, &Colours.IncomeText, &Colours.ExpenseText})
        *colour = In.L();
    In.R();
    Colours.ShowGrid = In.B();
    Colours.UseDefault = In.B();
}

// Backgrounds and colours, the same in every layout.
void readDisplay(CalDocument& Doc, CalTextReader& In) {
    readImageItem(Doc.DefaultBackground, In);
    for (int m = 1; m <= 12; ++m)
        readImageItem(Doc.Months(m).Background, In);
    readColourSet(Doc.DefaultColours, In);
    for (int m = 1; m <= 12; ++m)
        readColourSet(Doc.Months(m).Colours, In);
}

void setStep(int resourceId) {
    views().SetLoadingCaption(1, rt::LoadResString(resourceId));
    rt::DoEventsNoInput();
}

// Loads the pictures the document names: from the archive's entries, or from their own files.
void loadPictures(CalDocument& Doc, const QDir& Work, const QString& FileName) {
    if (Doc.EmbedPictures != 0) {
        // The setting keeps the path the user chose; only the picture comes from the entry.
        const auto fromEntry = [&](ImageItem& image, const QString& entry) {
            const QString kept = image.FileName;
            image.FileName = Work.filePath(entry);
            if (!LoadImageItemPicture(image))
                ShowCalFileError(FileName, CalFileError::EmbeddedPicture, 0, nullptr, kept);
            image.FileName = kept;
        };
        if (!Doc.DefaultBackground.FileName.isEmpty())
            fromEntry(Doc.DefaultBackground, BackgroundEntryName(0));
        for (int m = 1; m <= 12; ++m) {
            MonthRec& month = Doc.Months(m);
            if (!month.Background.FileName.isEmpty() && month.Background.UseDefault == 0)
                fromEntry(month.Background, BackgroundEntryName(m));
            for (int c = kFirstCell; c <= kLastCell; ++c) {
                DayCell& cell = month.Cells(c);
                for (int i = 0; i < cell.Count; ++i) {
                    EVItem& item = cell.Items[size_t(i)];
                    if (item.PictureFile.isEmpty()) continue;
                    ImageItem work;
                    work.FileName = Work.filePath(ItemPictureEntryName(m, c, i));
                    if (!LoadImageItemPicture(work))
                        ShowCalFileError(FileName, CalFileError::EmbeddedPicture, 0, nullptr,
                                         item.PictureFile);
                    item.Picture = work.Picture;
                }
            }
        }
        return;
    }

    const auto fromFile = [&](ImageItem& image) {
        if (LoadImageItemPicture(image)) return;
        ShowCalFileError(FileName, CalFileError::PictureFileError, 0, nullptr, image.FileName);
        image.FileName.clear();
    };
    if (!Doc.DefaultBackground.FileName.isEmpty()) fromFile(Doc.DefaultBackground);
    for (int m = 1; m <= 12; ++m) {
        MonthRec& month = Doc.Months(m);
        if (!month.Background.FileName.isEmpty()) fromFile(month.Background);
        for (int c = kFirstCell; c <= kLastCell; ++c) {
            DayCell& cell = month.Cells(c);
            for (int i = 0; i < cell.Count; ++i) {
                EVItem& item = cell.Items[size_t(i)];
                if (item.PictureFile.isEmpty()) continue;
                ImageItem work;
                work.FileName = item.PictureFile;
                if (!LoadImageItemPicture(work)) {
                    ShowCalFileError(FileName, CalFileError::PictureFileError, 0, nullptr,
                                     item.PictureFile);
                    item.PictureFile.clear();
                }
                item.Picture = work.Picture;
            }
        }
    }
}

// One whole attempt at reading, from a blank document and a fresh extraction. False when the
// version is unknown (already reported); raises the first run-time error.
bool readOnce(const QString& FileName, CalDocument& Doc, const QString& Password) {
    // A fresh private folder per attempt: nothing left by an earlier read is ever used.
    QTemporaryDir work;
    if (!work.isValid())
        throw rt::RtError(rt::ErrPathFileAccess, QString(), QString::fromLatin1(rt::kAppTitle));
    const QDir dir(work.path());

    Doc = BlankDocument(true);
    setStep(10029);
    Doc.Password = Password;
    rt::ZipArchive::extract(FileName, dir.path(), Doc.Password);
    rt::DoEventsNoInput();
    setStep(10030);

    QFile data(dir.filePath(kCalDataEntry));
    if (!data.exists()) rt::raise(rt::ErrFileNotFound);
    if (!data.open(QIODevice::ReadOnly)) rt::raise(rt::ErrPathFileAccess);
    CalTextReader in(data.readAll());
    data.close();
    switch (LayoutOfVersion(in.Value().toString())) {
    case CalLayout::V21:
        ReadCalData21(Doc, in);
        break;
    case CalLayout::V20:
        ReadCalData20(Doc, in);
        break;
    case CalLayout::Unknown:
        ShowCalFileError(FileName, CalFileError::UnknownVersion, 0, nullptr, QString());
        return false;
    }

    setStep(10031);
    loadPictures(Doc, dir, FileName);
    Doc.FileName = FileName;
    return true;
}

} // namespace

bool ReadCalData21(CalDocument& Doc, CalTextReader& In) {
    readHeader(Doc, In);

    const int16_t aeCount = In.Count(8);
    Doc.AutoEvents.NextKey = In.L();
    Doc.AutoEvents.Items.assign(size_t(aeCount), AEItem());
    for (AEItem& ae : Doc.AutoEvents.Items) {
        ae.EndDate = In.D();
        ae.StartDate = In.D();
        ae.Day = In.I();
        ae.Month = In.I();
        ae.Key = In.S();
        ae.Recurrence = In.L();
        const QString text = In.MS();
        ae.Kind = In.L();
        ae.Text = textOfKind(text, ae.Kind);
    }
    Doc.AutoEvents.Count = aeCount;

    readDebtsSavings(Doc, In);

    const int16_t bdCount = In.Count(3);
    Doc.Birthdays.NextKey = In.L();
    Doc.Birthdays.Items.assign(size_t(bdCount), BDItem());
    for (BDItem& bd : Doc.Birthdays.Items) {
        bd.BirthDate = In.D();
        bd.Key = In.S();
        bd.Name = In.S();
    }
    Doc.Birthdays.Count = bdCount;

    readDayItems(Doc, In, true);
    readDisplay(Doc, In);
    return true;
}

bool ReadCalData20(CalDocument& Doc, CalTextReader& In) {
    readHeader(Doc, In);

    // No keys in this layout: they are issued in file order, as new auto-events get them.
    const int16_t aeCount = In.Count(6);
    Doc.AutoEvents.NextKey = 0;
    Doc.AutoEvents.Items.assign(size_t(aeCount), AEItem());
    for (AEItem& ae : Doc.AutoEvents.Items) {
        ae.EndDate = In.D();
        ae.StartDate = In.D();
        ae.Day = In.I();
        ae.Recurrence = In.L();
        const QString text = In.MS();
        ae.Kind = In.L();
        ae.Text = textOfKind(text, ae.Kind);
        ae.Month = 0;
        ++Doc.AutoEvents.NextKey;
        ae.Key = QStringLiteral("AE%1").arg(Doc.AutoEvents.NextKey, 16, 10, QLatin1Char('0'));
    }
    Doc.AutoEvents.Count = aeCount;

    readDebtsSavings(Doc, In);
    // No birthdays in this layout; the blank document's list stays empty.
    readDayItems(Doc, In, false);
    readDisplay(Doc, In);
    return true;
}

bool LoadCalFile(const QString& FileName, CalDocument& Doc) {
    rt::SetHourglass(true);
    if (views().AppState() != QLatin1String("Load")) views().SetMainMode(2);
    views().SetLoadingCaption(0, rt::LoadResString(10028));
    rt::DoEventsNoInput();

    bool read = false;
    int passwordTries = 0;
    QString password;
    for (;;) {
        try {
            read = readOnce(FileName, Doc, password);
            break;
        } catch (const rt::RtError& e) {
            if (e.Number == rt::ErrZipPassword) {
                rt::SetHourglass(false);
                if (passwordTries >= 2) {
                    ShowCalFileError(FileName, CalFileError::InvalidPassword, 0, nullptr,
                                     QString());
                    break;
                }
                if (!views().AskPassword(QString())) break;
                password = PasswordHandOver;
                rt::SetHourglass(true);
                ++passwordTries;
                continue;
            }
            // Retry reads again from the start: a blank document, a new extraction, line 1.
            if (ShowCalFileError(FileName, CalFileError::OtherError, 0, &e, QString()) !=
                rt::vbRetry)
                break;
        }
    }

    PasswordHandOver.clear();
    rt::SetHourglass(false);
    rt::DoEventsNoInput();
    return read;
}

int32_t ShowCalFileError(const QString& FileName, int32_t Code, int32_t Writing,
                         const rt::RtError* ErrorInfo, const QString& PictureName) {
    const QString cr = QStringLiteral("\r");
    QString prompt =
        rt::LoadResString(Writing != 0 ? 10033 : 10032) + cr + rt::TrimBlanks(FileName) + cr + cr;
    int style = rt::vbCritical;
    const int32_t code = Writing != 0 ? int32_t(CalFileError::OtherError) : Code;
    switch (code) {
    case CalFileError::UnknownVersion:
        prompt += rt::LoadResString(10035);
        break;
    case CalFileError::EmbeddedPicture:
        prompt += rt::LoadResString(10034) + cr + cr + rt::LoadResString(10037) + cr +
                  rt::TrimBlanks(PictureName);
        break;
    case CalFileError::PictureFileError:
        prompt += rt::LoadResString(10034) + cr + cr + rt::LoadResString(10046) + cr +
                  rt::TrimBlanks(PictureName);
        break;
    case CalFileError::InvalidPassword:
        prompt += rt::LoadResString(10047);
        break;
    default: {
        const QString number = ErrorInfo ? QString::number(ErrorInfo->Number) : QString();
        const QString description = ErrorInfo ? ErrorInfo->Description : QString();
        const QString source = ErrorInfo ? ErrorInfo->Source : QString();
        prompt += rt::LoadResString(10038) + QStringLiteral("  ") + rt::TrimBlanks(number) + cr +
                  rt::LoadResString(10039) + QStringLiteral("  ") + rt::TrimBlanks(description) +
                  cr + rt::LoadResString(10040) + QStringLiteral("  ") + rt::TrimBlanks(source);
        style |= rt::vbRetryCancel;
        break;
    }
    }
    return rt::MsgBox(prompt, style, rt::LoadResString(10036));
}

bool LoadImageItemPicture(ImageItem& Image) {
    // Paths come from files and settings: a relative one would depend on the working folder,
    // and a device or pipe could block or never end.
    const QFileInfo info(Image.FileName);
    if (Image.FileName.isEmpty() || !info.isAbsolute() || !info.isFile()) {
        Image.Picture = rt::Picture::empty();
        return false;
    }
    try {
        Image.Picture = rt::LoadPicture(Image.FileName);
        return true;
    } catch (const rt::RtError&) {
        Image.Picture = rt::Picture::empty();
        return false;
    }
}
