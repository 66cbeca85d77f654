// Times the program on big years generated at run time, on the offscreen platform, and prints
// one table: reading and writing ".cal" files beside the floors of unzip and gzip measured in
// the same run, opening a year in the program with its month windows drawn, selecting a day
// of 2,000 items, refreshing each list pane with 5,000 rows, applying 3,000 daily auto-events,
// and the peak memory. The targets are printed beside the values; nothing is asserted.
//
// The program starts as it does for a user (Main), with its settings and its single-instance
// lock in a temporary folder that also holds the generated files.

#include "core/settings_store.h"
#include "core/ui_services.h"
#include "document/cal_reader.h"
#include "document/cal_writer.h"
#include "document/calendar_entries.h"
#include "document/dates.h"
#include "document/doc_state.h"
#include "document/money_text.h"
#include "document/month_grid.h"
#include "document/records.h"
#include "document_dialogs/document_dialogs.h"
#include "platform/application.h"
#include "shell/frm_main.h"
#include "shell/main_module.h"
#include "shell/month_window.h"
#include "shell/startup.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr int16_t kYear = 2004;
constexpr int kSizes[] = {10000, 50000, 200000};
constexpr int kBigDay = 2000;   // items of the day that is selected
constexpr int kPaneRows = 5000; // rows of each list pane
constexpr int kDailyAEs = 3000; // daily auto-events applied to the calendar
const DateRec kBigDayDate{15, 3, kYear};
const DateRec kPaneDayDate{20, 3, kYear};

// ---- Measuring ----

double elapsedMs(const std::function<void()>& run) {
    QElapsedTimer t;
    t.start();
    run();
    return double(t.nsecsElapsed()) / 1e6;
}

// The median of `runs` timings; `prepare` runs untimed before each.
double medianMs(int runs, const std::function<void()>& run,
                const std::function<void()>& prepare = {}) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare) prepare();
        times.push_back(elapsedMs(run));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Runs the event loop until what is pending, painting included, has been handled.
void runToIdle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

// The temporary folder of the generated files.
QString scratchFolder;

// Stops the run at once, removing the generated files; the windows are not torn down.
[[noreturn]] void fail(const QString& why) {
    std::fprintf(stderr, "calendar_bench: %s\n", qPrintable(why));
    std::fflush(nullptr);
    if (!scratchFolder.isEmpty()) QDir(scratchFolder).removeRecursively();
    std::_Exit(1);
}

// A shell command's wall time, the median of `runs`; it must succeed.
double shellMs(int runs, const QString& command) {
    return medianMs(runs, [&] {
        QProcess p;
        p.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
        if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            fail(QStringLiteral("the command failed: %1").arg(command));
    });
}

bool haveTool(const char* name) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

QString quoted(const QString& path) {
    return u'\'' + path + u'\'';
}

// The peak resident memory of this process in MiB (VmHWM), or -1.
double peakMemoryMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return -1;
}

// ---- The table ----

struct Row {
    QString what;
    QString measured;
    QString floor;
    QString target;
};
std::vector<Row> table;

QString ms(double v) {
    return QStringLiteral("%1 ms").arg(v, 0, 'f', 1);
}

void addRow(const QString& what, const QString& measured, const QString& floor = {},
            const QString& target = {}) {
    table.push_back({what, measured, floor, target});
    // Progress on stderr, so that a long run shows where it is.
    std::fprintf(stderr, "  %s: %s\n", qPrintable(what), qPrintable(measured));
}

void printTable() {
    const Row header{QStringLiteral("What"), QStringLiteral("Measured"), QStringLiteral("Floor"),
                     QStringLiteral("Target")};
    qsizetype w[4] = {0, 0, 0, 0};
    auto widen = [&](const Row& r) {
        w[0] = std::max(w[0], r.what.size());
        w[1] = std::max(w[1], r.measured.size());
        w[2] = std::max(w[2], r.floor.size());
    };
    widen(header);
    for (const Row& r : table)
        widen(r);
    auto print = [&](const Row& r) {
        const QString line = r.what.leftJustified(w[0]) + QStringLiteral("  ") +
                             r.measured.rightJustified(w[1]) + QStringLiteral("  ") +
                             r.floor.leftJustified(w[2]) + QStringLiteral("  ") + r.target;
        std::printf("%s\n", line.trimmed().toUtf8().constData());
    };
    print(header);
    for (const Row& r : table)
        print(r);
}

// ---- Documents ----

// 10000 as "10,000".
QString number(int n) {
    QString digits = QString::number(n);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return digits;
}

QString amount(QRandomGenerator& random) {
    return QStringLiteral("%1.%2")
        .arg(random.bounded(1, 5000))
        .arg(random.bounded(100), 2, 10, QLatin1Char('0'));
}

EVItem dayItem(QRandomGenerator& random, int n) {
    EVItem item;
    item.Kind = random.bounded(1, 4);
    item.Text = item.Kind == ItemKind::Event
                    ? QStringLiteral("Rendez-vous numéro %1").arg(n)
                    : MakeMoneyText(QStringLiteral("Compte%1").arg(n % 300), amount(random));
    item.AlarmDaysBefore = 1;
    item.Checked = random.bounded(5) == 0 ? -1 : 0;
    item.Colour = random.bounded(8) == 0 ? int32_t(random.bounded(0x1000000)) : -1;
    return item;
}

int16_t cellOf(const DateRec& date) {
    return CellOfDay(kYear, date.Month, date.Day);
}

void addToDay(CalDocument& doc, const DateRec& date, const EVItem& item) {
    ListAppend(doc.Months(date.Month).Cells(cellOf(date)), item);
}

QString key(const char* prefix, int n) {
    return QStringLiteral("%1%2").arg(QLatin1String(prefix)).arg(n, 16, 10, QLatin1Char('0'));
}

AEItem autoEvent(QRandomGenerator& random, int n, int32_t recurrence) {
    AEItem ae;
    ae.Recurrence = recurrence;
    ae.Day = int16_t(recurrence == AERecurrence::Weekly || recurrence == AERecurrence::EveryTwoWeeks
                         ? random.bounded(1, 8)
                         : random.bounded(1, 29));
    ae.Month = int16_t(random.bounded(1, 13));
    ae.StartDate = MakeDate(1, 1, kYear);
    ae.EndDate = MakeDate(31, 12, kYear);
    ae.Kind = random.bounded(1, 4);
    ae.Text = ae.Kind == ItemKind::Event
                  ? QStringLiteral("Rappel %1").arg(n)
                  : MakeMoneyText(QStringLiteral("Auto%1").arg(n % 300), amount(random));
    return ae;
}

void addAutoEvent(CalDocument& doc, AEItem ae) {
    ae.Key = key("AE", ++doc.AutoEvents.NextKey);
    ListAppend(doc.AutoEvents, ae);
}

void addDebt(CalDocument& doc, QRandomGenerator& random, int n) {
    DEItem de;
    de.IsSaving = random.bounded(2) == 0 ? -1 : 0;
    de.StartDate = MakeDate(int16_t(random.bounded(1, 29)), int16_t(random.bounded(1, 13)), kYear);
    de.Text = MakeMoneyText(QStringLiteral("Compte%1").arg(n), amount(random));
    ListAppend(doc.DebtsSavings, de);
}

void addBirthday(CalDocument& doc, QRandomGenerator& random, int n) {
    BDItem bd;
    bd.BirthDate = MakeDate(int16_t(random.bounded(1, 29)), int16_t(random.bounded(1, 13)),
                            int16_t(random.bounded(1920, 2004)));
    bd.Name = QStringLiteral("Personne %1").arg(n);
    bd.Key = key("BD", ++doc.Birthdays.NextKey);
    ListAppend(doc.Birthdays, bd);
}

CalDocument emptyYear() {
    CalDocument doc = BlankDocument(true);
    SetDocDefaults(doc);
    doc.Year = QString::number(kYear);
    doc.OpenMonth = QStringLiteral("03");
    doc.EmbedPictures = 0;
    return doc;
}

// A year of `items` day items spread over its days, with a few lists beside them.
CalDocument yearOf(int items) {
    QRandomGenerator random{quint32(items)};
    CalDocument doc = emptyYear();
    for (int i = 0; i < items; ++i) {
        const auto month = int16_t(random.bounded(1, 13));
        const auto day = int16_t(random.bounded(1, DaysInMonth(kYear, month) + 1));
        addToDay(doc, MakeDate(day, month, kYear), dayItem(random, i));
    }
    for (int i = 0; i < 40; ++i)
        addAutoEvent(doc, autoEvent(random, i, AERecurrence::Monthly + i % 5));
    for (int i = 0; i < 15; ++i)
        addDebt(doc, random, i);
    for (int i = 0; i < 60; ++i)
        addBirthday(doc, random, i);
    return doc;
}

void write(const QString& path, CalDocument& doc) {
    if (!SaveCalFile(path, doc)) fail(QStringLiteral("could not write %1").arg(path));
}

// ---- The program ----

// Message boxes would wait for a user: the run stops with the message instead.
class BenchUi : public rt::UiServices {
public:
    explicit BenchUi(std::shared_ptr<rt::UiServices> qt) : qt_(std::move(qt)) {}
    int msgBox(const QString& prompt, int, const QString&) override {
        fail(QStringLiteral("the program showed a message: %1").arg(prompt));
    }
    QString inputBox(const QString& prompt, const QString&, const QString&) override {
        fail(QStringLiteral("the program asked for a text: %1").arg(prompt));
    }
    void doEvents(bool excludeUserInput) override { qt_->doEvents(excludeUserInput); }
    void setHourglass(bool on) override { qt_->setHourglass(on); }
    bool hourglass() const override { return qt_->hourglass(); }

private:
    std::shared_ptr<rt::UiServices> qt_;
};

int itemCount(CalDocument& doc) {
    int n = 0;
    for (int m = 1; m <= 12; ++m)
        for (int c = kFirstCell; c <= kLastCell; ++c)
            n += doc.Months(m).Cells(c).Count;
    return n;
}

int dayItemCount() {
    return itemCount(CurDoc);
}

void open(const QString& path) {
    QString name = path;
    OpenDocument(name);
    runToIdle();
}

void checkOpen(const QString& path, int items) {
    if (FrmMain->Tag() != QLatin1String("Edit") || dayItemCount() != items)
        fail(QStringLiteral("%1 did not open with its %2 items").arg(path).arg(items));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir scratch;
    if (!scratch.isValid()) fail(QStringLiteral("no temporary folder"));
    scratchFolder = scratch.path();
    const QString runtime = scratch.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    // Only the program's name: Main opens a document named on the command line.
    int appArgc = std::min(argc, 1);
    rt::Application app(appArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Mirovanta"));
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type >= QtCriticalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    const QString settings = scratch.filePath(QStringLiteral("config"));
    QDir().mkpath(settings);
    rt::setSettingsFolder(settings);
    rt::setUiServices(std::make_shared<BenchUi>(rt::setUiServices(nullptr)));

    const bool floors = haveTool("unzip") && haveTool("gzip") && haveTool("wc");
    auto file = [&](const QString& name) { return scratch.filePath(name); };

    // ---- The files, and the floors ----
    std::fprintf(stderr, "Generating the years in %s\n", qPrintable(scratch.path()));
    auto runsFor = [](int size) { return size >= 200000 ? 3 : 5; };
    auto yearFile = [&](int size) { return file(QStringLiteral("year%1.cal").arg(size)); };
    std::vector<double> unzipMs, gzipMs;
    for (int size : kSizes) {
        const QString text = file(QStringLiteral("year%1.txt").arg(size));
        {
            CalDocument doc = yearOf(size);
            write(yearFile(size), doc);
            QFile out(text);
            if (!out.open(QIODevice::WriteOnly) || out.write(WriteCalData(doc)) < 0)
                fail(QStringLiteral("could not write %1").arg(text));
        }
        // What the machine takes to inflate and count the lines of the same text, and to
        // deflate it, started from this process.
        if (!floors) continue;
        unzipMs.push_back(
            shellMs(runsFor(size), QStringLiteral("unzip -p %1 caldata.cal | wc -l >/dev/null")
                                       .arg(quoted(yearFile(size)))));
        gzipMs.push_back(
            shellMs(runsFor(size), QStringLiteral("gzip -6 -c %1 >/dev/null").arg(quoted(text))));
    }

    // The day to select and the panes to fill, on top of the 10,000-item year.
    int bigDayYearItems = 0;
    {
        QRandomGenerator random(kBigDay);
        CalDocument doc = yearOf(kSizes[0]);
        DayCell& day = doc.Months(kBigDayDate.Month).Cells(cellOf(kBigDayDate));
        ListClear(day);
        for (int i = 0; i < kBigDay; ++i)
            addToDay(doc, kBigDayDate, dayItem(random, i));
        bigDayYearItems = itemCount(doc);
        write(file(QStringLiteral("bigday.cal")), doc);
    }
    {
        QRandomGenerator random(kPaneRows);
        CalDocument doc = emptyYear();
        for (int i = 0; i < kPaneRows; ++i) {
            addToDay(doc, kPaneDayDate, dayItem(random, i));
            addAutoEvent(doc, autoEvent(random, i, AERecurrence::Monthly + i % 5));
            addDebt(doc, random, i);
            addBirthday(doc, random, i);
        }
        write(file(QStringLiteral("panes.cal")), doc);
    }
    {
        QRandomGenerator random(kDailyAEs);
        CalDocument doc = yearOf(kSizes[0]);
        ListClear(doc.AutoEvents);
        for (int i = 0; i < kDailyAEs; ++i)
            addAutoEvent(doc, autoEvent(random, i, AERecurrence::Daily));
        write(file(QStringLiteral("daily.cal")), doc);
    }

    // ---- The program ----
    if (!Main()) fail(QStringLiteral("the program did not start"));
    runToIdle();
    FrmMainForm& main = FrmMain.get();

    // Reading and writing in the running program, as Open and Save do.
    for (size_t i = 0; i < std::size(kSizes); ++i) {
        const int size = kSizes[i];
        const QString path = yearFile(size);
        const QString copy = file(QStringLiteral("copy%1.cal").arg(size));
        CalDocument doc;
        const double readMs = medianMs(
            runsFor(size),
            [&] {
                if (!LoadCalFile(path, doc)) fail(QStringLiteral("could not read %1").arg(path));
            },
            [&] { doc = BlankDocument(true); });
        const double writeMs = medianMs(runsFor(size), [&] { write(copy, doc); });
        const bool target = size == 50000;
        auto floor = [&](double measured, const std::vector<double>& floorMs, const char* tool) {
            if (!floors) return QStringLiteral("no %1").arg(QLatin1String(tool));
            return QStringLiteral("%1 %2 (x%3)")
                .arg(ms(floorMs[i]), QLatin1String(tool))
                .arg(measured / floorMs[i], 0, 'f', 1);
        };
        addRow(QStringLiteral("Read a %1-item year").arg(number(size)), ms(readMs),
               floor(readMs, unzipMs, "unzip -p | wc -l"),
               target && floors ? QStringLiteral("<= 3x floor (%1)").arg(ms(3 * unzipMs[i]))
                                : QString());
        addRow(QStringLiteral("Write a %1-item year").arg(number(size)), ms(writeMs),
               floor(writeMs, gzipMs, "gzip -6"),
               target && floors ? QStringLiteral("<= 2x floor (%1)").arg(ms(2 * gzipMs[i]))
                                : QString());
    }
    // Reading and writing leave the loading view up: back to the logo, with no document.
    SetMainMode(3);
    runToIdle();

    for (int size : kSizes) {
        const QString path = yearFile(size);
        const double openMs = medianMs(runsFor(size), [&] { open(path); });
        checkOpen(path, size);
        addRow(
            QStringLiteral("Open a %1-item year, month windows drawn, to idle").arg(number(size)),
            ms(openMs), {}, size == 10000 ? QStringLiteral("<= 210.0 ms") : QString());
    }

    // Selecting the big day, after another day each time, with the events pane shown.
    open(file(QStringLiteral("bigday.cal")));
    checkOpen(file(QStringLiteral("bigday.cal")), bigDayYearItems);
    main.TbMenu.setTab(4);
    runToIdle();
    const int16_t bigCell = cellOf(kBigDayDate);
    const double selectMs = medianMs(
        5,
        [&] {
            SelectDay(kBigDayDate.Month, bigCell);
            runToIdle();
        },
        [&] {
            SelectDay(kBigDayDate.Month, int16_t(bigCell + 1));
            runToIdle();
        });
    if (main.LstEV.ListCount() != kBigDay)
        fail(QStringLiteral("the big day shows %1 rows (day %2/%3, tab %4)")
                 .arg(main.LstEV.ListCount())
                 .arg(CurMonth)
                 .arg(CurCell)
                 .arg(main.TbMenu.Tab()));
    addRow(QStringLiteral("Select the day of %1 items, to idle").arg(number(kBigDay)), ms(selectMs),
           {}, QStringLiteral("< 30.0 ms"));

    // Each list pane refreshed with its rows.
    open(file(QStringLiteral("panes.cal")));
    checkOpen(file(QStringLiteral("panes.cal")), kPaneRows);
    struct Pane {
        int tab;
        const char* name;
        rt::ListBox* list;
    };
    const Pane panes[] = {{4, "events of the day", &main.LstEV},
                          {3, "auto-events", &main.LstAE},
                          {2, "debts/savings", &main.LstDE},
                          {1, "birthdays", &main.LstBD}};
    for (const Pane& pane : panes) {
        main.TbMenu.setTab(pane.tab);
        if (pane.tab == 4) SelectDay(kPaneDayDate.Month, cellOf(kPaneDayDate));
        runToIdle();
        const double fillMs = medianMs(5, [] {
            RefreshPane(false, -1);
            runToIdle();
        });
        if (pane.list->ListCount() != kPaneRows)
            fail(QStringLiteral("the %1 pane shows %2 rows")
                     .arg(QLatin1String(pane.name))
                     .arg(pane.list->ListCount()));
        addRow(QStringLiteral("Fill the %1 pane, %2 rows, to idle")
                   .arg(QLatin1String(pane.name), number(kPaneRows)),
               ms(fillMs), {}, QStringLiteral("< 50.0 ms"));
    }

    // The daily auto-events written into every day of a 10,000-item year.
    open(file(QStringLiteral("daily.cal")));
    checkOpen(file(QStringLiteral("daily.cal")), kSizes[0]);
    main.TbMenu.setTab(5);
    runToIdle();
    const double applyMs = elapsedMs([] {
        ApplyAEToCalendar();
        runToIdle();
    });
    const int days = DaysInMonth(kYear, 2) == 29 ? 366 : 365;
    if (dayItemCount() != kSizes[0] + kDailyAEs * days)
        fail(QStringLiteral("the auto-events were not applied"));
    addRow(QStringLiteral("Apply %1 daily auto-events to a %2-item year, to idle")
               .arg(number(kDailyAEs), number(kSizes[0])),
           ms(applyMs));
    CurDoc.IsSaved = -1; // nothing to ask when the program closes

    addRow(QStringLiteral("Peak memory (VmHWM)"),
           QStringLiteral("%1 MiB").arg(peakMemoryMiB(), 0, 'f', 0));

    std::printf("\n");
    printTable();
    std::fflush(stdout);

    main.setTag(QStringLiteral("Unload"));
    for (int m = 1; m <= 12; ++m)
        MonthForms(m).release();
    FrmMain.release();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
