#include "cal_reader.h"

#include "cal_limits.h"
#include "core/file_output.h"
#include "core/heap_growth.h"
#include "core/numeric.h"
#include "core/resources.h"
#include "core/rt_error.h"
#include "core/system.h"
#include "core/ui_services.h"
#include "core/zip_archive.h"
#include "doc_state.h"
#include "doc_views.h"
#include "money_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <thread>

namespace {

[[noreturn]] void badFormat(const QString& what) {
    throw rt::RtError(ErrBadFileFormat, QStringLiteral("Format de fichier incorrect : ") + what,
                      QString::fromLatin1(rt::kAppTitle));
}

// A file beyond the document's limits: the writer never makes one.
[[noreturn]] void beyondLimits(int32_t number, const QString& why) {
    throw rt::RtError(number, why, QString::fromLatin1(rt::kAppTitle));
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

// False on the thread that reads a document ahead: the events are the main thread's.
thread_local bool eventsRunAmidItems = true;

// Before each month after the first, the events that came meanwhile run, user input held back:
// the window, shown just before the reading began, is drawn while the items are read. The X
// server then copies that frame while the rest is read, instead of the window waiting for the
// copy when it next paints.
void readDayItems(CalDocument& Doc, CalTextReader& In, bool WithSourceKey) {
    const int linesEach = WithSourceKey ? 9 : 8;
    qint64 items = 0;
    for (int m = 1; m <= 12; ++m) {
        if (m > 1 && eventsRunAmidItems) rt::DoEventsNoInput();
        for (int c = kFirstCell; c <= kLastCell; ++c) {
            DayCell& cell = Doc.Months(m).Cells(c);
            const int16_t count = In.Count(linesEach);
            items += count;
            if (items > kMaxDayItems) beyondLimits(ErrBadFileFormat, TooManyItemsText());
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

// The size a picture setting's picture gives in its header: its archive entry's, or its own
// file's.
QSize declaredPictureSize(const CalDocument& Doc, rt::ZipReader& Zip, const QString& FileName,
                          const QString& EntryName) {
    if (Doc.EmbedPictures == 0) return PictureSizeOfFile(FileName);
    const std::unique_ptr<QIODevice> entry = Zip.open(EntryName);
    return entry ? rt::PictureSize(*entry) : QSize();
}

// Refuses, before any picture is decoded, a document whose pictures would take more memory than
// the limits allow, by the sizes their files give. An embedded picture beyond the per-picture
// limit is refused too: the program never stores one. A picture file of its own beyond it is
// only not loaded, as any file that is no picture.
// A file named by several items (a user picks the same pictures again) is looked at once.
void checkDeclaredSizes(const CalDocument& Doc, rt::ZipReader& Zip) {
    const bool embedded = Doc.EmbedPictures != 0;
    qint64 total = 0;
    QHash<QString, QSize> fileSizes;
    ForEachDocumentPicture(Doc, [&](const rt::Picture&, const QString& name, const QString& entry) {
        QSize size;
        if (embedded) {
            size = declaredPictureSize(Doc, Zip, name, entry);
        } else {
            const auto known = fileSizes.constFind(name);
            size = known != fileSizes.cend() ? *known
                                             : *fileSizes.insert(name, PictureSizeOfFile(name));
        }
        if (qint64(size.width()) * size.height() > kMaxPicturePixels) {
            if (!embedded) return;
            beyondLimits(rt::ErrOutOfMemory, PictureTooLargeText(name, size));
        }
        total += rt::DecodedBytes(size);
        if (total > kMaxPictureBytes) beyondLimits(rt::ErrOutOfMemory, PicturesTooLargeText());
    });
}

// Pictures of one read that are reported each in a box of their own; the rest are counted in
// one box at the end, so that a document with a great many missing pictures still opens.
constexpr int kPictureMessages = 10;

// The start of every message about a document file: reading or writing failed, and its name.
QString fileMessageHead(const QString& FileName, int32_t Writing) {
    const QString cr = QStringLiteral("\r");
    return rt::LoadResString(Writing != 0 ? 10033 : 10032) + cr + rt::TrimBlanks(FileName) + cr +
           cr;
}

void showMorePicturesNotLoaded(const QString& FileName, int Count) {
    const QString cr = QStringLiteral("\r");
    rt::MsgBox(fileMessageHead(FileName, 0) + rt::LoadResString(10034) + cr + cr +
                   rt::LoadResString(10168).arg(Count),
               rt::vbCritical | rt::vbOKOnly, rt::LoadResString(10036));
}

// An embedded picture from its archive entry, decoded from memory. A damaged entry raises, as
// every damaged part of the archive; a missing one or one that is no picture gives false.
bool loadEmbeddedPicture(rt::ZipReader& Zip, const QString& EntryName, rt::Picture& Picture) {
    Picture = rt::Picture::empty();
    if (!Zip.contains(EntryName)) return false;
    const QByteArray bytes = Zip.read(EntryName);
    try {
        Picture = rt::LoadPictureData(bytes, kMaxPicturePixels);
        return true;
    } catch (const rt::RtError&) {
        return false;
    }
}

// Pictures loaded from their own files: a file named by many items is loaded once, and each
// item gets a picture object of its own with its pixels, as loading the file again gives.
// Forgotten when the user is shown a message, since files may change meanwhile.
class PictureFileLoads {
public:
    bool load(const QString& FileName, rt::Picture& Picture) {
        const auto known = loaded_.constFind(FileName);
        if (known != loaded_.cend()) {
            Picture = rt::Picture::fromImage(known->image());
            return true;
        }
        ImageItem work;
        work.FileName = FileName;
        const bool loaded = LoadImageItemPicture(work);
        Picture = work.Picture;
        if (loaded) loaded_.insert(FileName, Picture);
        return loaded;
    }
    void forget() { loaded_.clear(); }

private:
    QHash<QString, rt::Picture> loaded_;
};

// Loads the pictures the document names: from the archive's entries, or from their own files.
// The memory the decoded pictures take is counted as they come and may not pass the limit,
// whatever their files claimed.
void loadPictures(CalDocument& Doc, rt::ZipReader& Zip, const QString& FileName) {
    const bool embedded = Doc.EmbedPictures != 0;
    checkDeclaredSizes(Doc, Zip);

    qint64 decoded = 0;
    int failed = 0;
    PictureFileLoads files;
    // A background's name is a QString, an item's a RareText.
    ForEachDocumentPicture(Doc, [&](rt::Picture& picture, auto& name, const QString& entry) {
        // The setting keeps the path the user chose; only the picture comes from the entry.
        const bool loaded =
            embedded ? loadEmbeddedPicture(Zip, entry, picture) : files.load(name, picture);
        if (loaded) {
            decoded += rt::DecodedBytes(picture.image().size());
            if (decoded > kMaxPictureBytes)
                beyondLimits(rt::ErrOutOfMemory, PicturesTooLargeText());
            return;
        }
        const bool shown = ++failed <= kPictureMessages;
        if (embedded) {
            if (shown) ShowCalFileError(FileName, CalFileError::EmbeddedPicture, 0, nullptr, name);
            return;
        }
        if (shown) {
            ShowCalFileError(FileName, CalFileError::PictureFileError, 0, nullptr, name);
            files.forget();
        }
        name.clear();
    });
    if (failed > kPictureMessages) showMorePicturesNotLoaded(FileName, failed - kPictureMessages);
}

// Reads the values of the text into Doc in the layout its version line names; false when the
// version is unknown.
bool readValues(CalDocument& Doc, CalTextReader& In) {
    switch (LayoutOfVersion(In.Value().toString())) {
    case CalLayout::V21:
        return ReadCalData21(Doc, In);
    case CalLayout::V20:
        return ReadCalData20(Doc, In);
    case CalLayout::Unknown:
        break;
    }
    return false;
}

// The limits every archive of a document is opened with.
rt::ZipLimits documentZipLimits() {
    rt::ZipLimits limits;
    limits.MaxEntries = kMaxEntries;
    limits.MaxTotalSize = kMaxExtractedBytes;
    return limits;
}

// Refuses an archive without the data entry, or whose entry declares more than the limit.
void checkDataEntry(const rt::ZipReader& Zip) {
    if (!Zip.contains(kCalDataEntry)) rt::raise(rt::ErrFileNotFound);
    if (Zip.declaredSize(kCalDataEntry) > kMaxDataBytes)
        beyondLimits(ErrBadFileFormat, DataTooLargeText());
}

// Reads "caldata.cal" into Doc as it comes out of the archive, and the entry to its end; false
// when the version is unknown. The heap is looked at between blocks of the text.
bool readAsItComes(CalDocument& Doc, rt::ZipReader& Zip, rt::HeapGrowth& growth) {
    CalTextReader in(
        [&growth, next = Zip.stream(kCalDataEntry)](char* to, qsizetype size) {
            growth.advise();
            return next(to, size);
        },
        CalTextReader::kUncounted);
    const bool known = readValues(Doc, in);
    in.ReadToEnd();
    return known;
}

// Reads "caldata.cal" from the archive into Doc. False when the version is unknown (already
// reported). The text is never held whole: it is read as it comes out of the archive, and the
// entry is checked whole once read to its end. Should anything fail, it is read again from the
// start, the entry checked and its lines counted first, then its values, so that a damaged
// entry or text fails as it would read whole: the entry's fault first, then the first fault
// of the text in its order, a count of records against the lines left.
bool readData(const QString& FileName, CalDocument& Doc, rt::ZipReader& Zip,
              rt::HeapGrowth& growth) {
    checkDataEntry(Zip);
    const CalDocument before = Doc;
    try {
        if (readAsItComes(Doc, Zip, growth)) return true;
    } catch (const rt::RtError&) {
        Doc = before;
        CalLineCounter lines;
        Zip.readBlocks(kCalDataEntry,
                       [&](const char* bytes, qsizetype size) { lines.add(bytes, size); });
        CalTextReader in(Zip.readAgain(kCalDataEntry), lines.lines());
        if (readValues(Doc, in)) return true;
    }
    ShowCalFileError(FileName, CalFileError::UnknownVersion, 0, nullptr, QString());
    return false;
}

// What tells that a file is still the one read: the file, its size and its times.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
    bool operator==(const FileStamp& o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

std::optional<FileStamp> stampOf(const QString& FileName) {
    struct stat st {};
    if (::stat(rt::FileNameBytes(FileName).constData(), &st) != 0) return std::nullopt;
    return FileStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// The records of a document read on a thread of its own; what the text does not hold is the
// blank's of the reading that takes them.
struct ReadAhead {
    QString FileName;
    std::thread Thread;
    std::future<void> Done;
    bool Read = false;
    FileStamp Stamp;
    CalDocument Doc;
    // The pictures of its own files, decoded: the open finds them decoded while these hold them.
    std::vector<rt::Picture> Pictures;

    ~ReadAhead() {
        if (Thread.joinable()) Thread.join();
    }
};

std::unique_ptr<ReadAhead> pendingReadAhead;

// Decodes the picture files that the records read ahead name, each once, within the limits that
// the open then checks; one beyond them, or one that does not load, is left to the open.
void decodePictureFilesAhead(ReadAhead& Ahead, rt::ZipReader& Zip) {
    if (Ahead.Doc.EmbedPictures != 0) return;
    try {
        checkDeclaredSizes(Ahead.Doc, Zip);
    } catch (const rt::RtError&) {
        return;
    }
    QSet<QString> seen;
    qint64 decoded = 0;
    const CalDocument& doc = Ahead.Doc;
    ForEachDocumentPicture(doc, [&](const rt::Picture&, const QString& name, const QString&) {
        if (decoded > kMaxPictureBytes || seen.contains(name)) return;
        seen.insert(name);
        ImageItem work;
        work.FileName = name;
        if (!LoadImageItemPicture(work)) return;
        decoded += rt::DecodedBytes(work.Picture.image().size());
        Ahead.Pictures.push_back(std::move(work.Picture));
    });
}

// The text of FileName read as readData reads it at its first attempt, without a password and
// without events; any fault leaves Read false.
void readAheadOn(ReadAhead& Ahead) {
    eventsRunAmidItems = false;
    try {
        const std::optional<FileStamp> before = stampOf(Ahead.FileName);
        if (!before) return;
        rt::ZipReader zip(Ahead.FileName, QString(), documentZipLimits());
        checkDataEntry(zip);
        rt::HeapGrowth growth(3 * zip.declaredSize(kCalDataEntry));
        if (!readAsItComes(Ahead.Doc, zip, growth)) return;
        Ahead.Read = stampOf(Ahead.FileName) == before;
        Ahead.Stamp = *before;
        if (Ahead.Read) decodePictureFilesAhead(Ahead, zip);
    } catch (...) {
        Ahead.Read = false;
    }
}

// Takes the records read ahead into Doc, the blank of this reading, when they are of this file
// as Zip opened it, and the pictures decoded ahead into Pictures; false, with Doc untouched, when
// there are none to take. The window is drawn meanwhile, as while a reading of its own goes on.
bool takeReadAhead(const QString& FileName, const QString& Password, const rt::ZipReader& Zip,
                   CalDocument& Doc, std::vector<rt::Picture>& Pictures) {
    const std::unique_ptr<ReadAhead> ahead = std::move(pendingReadAhead);
    if (!ahead) return false;
    while (ahead->Done.wait_for(std::chrono::milliseconds(2)) != std::future_status::ready)
        rt::DoEventsNoInput();
    ahead->Thread.join();
    if (!ahead->Read || ahead->FileName != FileName || !Password.isEmpty()) return false;
    const std::optional<FileStamp> now = stampOf(FileName);
    if (!now || !(*now == ahead->Stamp) ||
        !(Zip.identity() == rt::FileIdentity{quint64(now->device), quint64(now->inode)}))
        return false;
    // What the text does not hold stays the blank's: the pictures and the marks of changes.
    CalDocument& read = ahead->Doc;
    read.IsSaved = Doc.IsSaved;
    read.Password = Doc.Password;
    read.HeaderModified = Doc.HeaderModified;
    read.DefaultBackground.Picture = Doc.DefaultBackground.Picture;
    read.DefaultBackground.Modified = Doc.DefaultBackground.Modified;
    read.DefaultColours.Modified = Doc.DefaultColours.Modified;
    for (int m = 1; m <= 12; ++m) {
        MonthRec& month = read.Months(m);
        const MonthRec& blank = Doc.Months(m);
        month.Background.Picture = blank.Background.Picture;
        month.Background.Modified = blank.Background.Modified;
        month.Colours.Modified = blank.Colours.Modified;
        month.DaysModified = blank.DaysModified;
    }
    Doc = std::move(read);
    Pictures = std::move(ahead->Pictures);
    return true;
}

// One whole attempt at reading, from a blank document and the archive opened afresh. Every
// entry is read into memory: nothing of the document is written anywhere. False when the
// version is unknown (already reported); raises the first run-time error.
bool readOnce(const QString& FileName, CalDocument& Doc, const QString& Password) {
    Doc = BlankDocument(true);
    setStep(10029);
    Doc.Password = Password;
    rt::ZipReader zip(FileName, Doc.Password, documentZipLimits());
    rt::DoEventsNoInput();
    setStep(10030);

    // The records, their texts and their pictures take about twice the text's bytes: the heap
    // grows once, by more than that (what is not touched costs nothing).
    std::vector<rt::Picture> decodedAhead; // found decoded by the pictures' loading below
    if (!takeReadAhead(FileName, Password, zip, Doc, decodedAhead)) {
        rt::HeapGrowth growth(3 * zip.declaredSize(kCalDataEntry));
        if (!readData(FileName, Doc, zip, growth)) return false;
        growth.advise();
    }

    setStep(10031);
    loadPictures(Doc, zip, FileName);
    Doc.FileName = FileName;
    Doc.FileId = zip.identity();
    // A document that reads well needs nothing that killed saves of it left behind.
    rt::removePartialFiles(FileName);
    return true;
}

// Whether the archive at path reads whole: its directory opens and every entry reads to its end
// with the size and CRC it declares. Without a password, an encrypted entry counts as whole when
// the archive around it is, as nothing more can be told of it.
bool archiveReadsWhole(const QString& path, const QString& Password) {
    try {
        rt::ZipReader zip(path, Password, documentZipLimits());
        if (!zip.contains(kCalDataEntry)) return false;
        for (const QString& name : zip.names()) {
            try {
                zip.readBlocks(name, [](const char*, qsizetype) {});
            } catch (const rt::RtError& e) {
                if (e.Number != rt::ErrZipPassword || !Password.isEmpty()) return false;
            }
        }
        return true;
    } catch (const rt::RtError&) {
        return false;
    }
}

// What the reading error adds when the document does not read and a whole copy of it lies
// beside it, one that an interrupted save kept or did not finish renaming: its name, so that the
// user knows the year is not lost. Nothing is removed or renamed.
QString wholeCopyNote(const QString& FileName, const QString& Password) {
    const QString cr = QStringLiteral("\r");
    for (const QString& copy : rt::partialFilesOf(FileName))
        if (archiveReadsWhole(copy, Password))
            return cr + cr + rt::LoadResString(10170) + cr + QDir::toNativeSeparators(copy) + cr +
                   rt::LoadResString(10171);
    return QString();
}

} // namespace

void ReadCalFileAhead(const QString& FileName) {
    DropCalFileReadAhead();
    auto ahead = std::make_unique<ReadAhead>();
    ahead->FileName = FileName;
    std::packaged_task<void()> task([raw = ahead.get()] { readAheadOn(*raw); });
    ahead->Done = task.get_future();
    try {
        ahead->Thread = std::thread(std::move(task));
    } catch (const std::system_error&) {
        return; // no thread to be had: the document is read when it is opened
    }
    pendingReadAhead = std::move(ahead);
}

void DropCalFileReadAhead() {
    pendingReadAhead.reset();
}

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
                    ShowCalFileError(FileName, CalFileError::InvalidPassword, 0, nullptr, QString(),
                                     wholeCopyNote(FileName, password));
                    break;
                }
                if (!views().AskPassword(QString())) break;
                password = PasswordHandOver;
                rt::SetHourglass(true);
                ++passwordTries;
                continue;
            }
            // Retry reads again from the start: a blank document, a new extraction, line 1.
            if (ShowCalFileError(FileName, CalFileError::OtherError, 0, &e, QString(),
                                 wholeCopyNote(FileName, password)) != rt::vbRetry)
                break;
        }
    }

    PasswordHandOver.clear();
    rt::SetHourglass(false);
    rt::DoEventsNoInput();
    return read;
}

int32_t ShowCalFileError(const QString& FileName, int32_t Code, int32_t Writing,
                         const rt::RtError* ErrorInfo, const QString& PictureName,
                         const QString& Note) {
    const QString cr = QStringLiteral("\r");
    QString prompt = fileMessageHead(FileName, Writing);
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
    return rt::MsgBox(prompt + Note, style, rt::LoadResString(10036));
}

QString PictureTooLargeText(const QString& Name, QSize Size) {
    return rt::LoadResString(10161)
        .arg(Name)
        .arg(Size.width())
        .arg(Size.height())
        .arg(kMaxPicturePixels / 1'000'000);
}

QString PicturesTooLargeText() {
    return rt::LoadResString(10162).arg(kMaxPictureBytes >> 20);
}

QString TooManyPicturesText() {
    return rt::LoadResString(10163).arg(kMaxEntries - 1);
}

QString TooManyItemsText() {
    return rt::LoadResString(10164).arg(kMaxDayItems);
}

QString DataTooLargeText() {
    return rt::LoadResString(10165).arg(kMaxDataBytes >> 20);
}

namespace {

// Paths come from files and settings: a relative one would depend on the working folder, and a
// device or pipe could block or never end.
bool isPictureFile(const QString& FileName) {
    const QFileInfo info(FileName);
    return !FileName.isEmpty() && info.isAbsolute() && info.isFile();
}

} // namespace

QSize PictureSizeOfFile(const QString& FileName) {
    return isPictureFile(FileName) ? rt::PictureFileSize(FileName) : QSize();
}

bool LoadImageItemPicture(ImageItem& Image) {
    if (!isPictureFile(Image.FileName)) {
        Image.Picture = rt::Picture::empty();
        return false;
    }
    try {
        Image.Picture = rt::LoadPicture(Image.FileName, kMaxPicturePixels);
        return true;
    } catch (const rt::RtError&) {
        Image.Picture = rt::Picture::empty();
        return false;
    }
}
