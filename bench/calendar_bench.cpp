// Times the program on big years generated at run time, on the offscreen platform, and prints
// one table: reading and writing ".cal" files beside the floors of unzip and gzip measured in
// the same run, opening a year in the program with its month windows drawn, selecting a day
// of 2,000 items, a debt's balance in the biggest year, refreshing each list pane with 5,000
// rows, applying 3,000 daily auto-events, and the memory. The targets are printed beside the
// values; nothing is asserted.
//
// The years are the current year as users keep them: items of every kind with texts as long
// as users write them, some with alarms (a few due today), some naming a picture file, and
// the items auto-events and birthdays put in the days.
//
// The program starts as it does for a user (Main), with its settings and its single-instance
// lock in a temporary folder that also holds the generated files. Its alarm scan is switched
// off there, as an alarm window would wait for a user. Beside it, the program itself (the
// path given as the first argument) is started afresh for each cold open, under $DISPLAY when
// there is one, with a home of its own, on the same years one year back (nothing in them is
// due): its time until it is idle and its peak memory. A
// reference program (the second argument, e.g. a build of an earlier version) is started in
// turn with it, and its times are the cold opens' time targets.

#include "core/settings_store.h"
#include "core/ui_services.h"
#include "document/balances.h"
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
#include "platform/ui_common_controls.h"
#include "platform/ui_toolbar.h"
#include "shell/frm_main.h"
#include "shell/main_module.h"
#include "shell/month_window.h"
#include "shell/startup.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <sys/socket.h>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

namespace {

const QDate kToday = QDate::currentDate();
const auto kYear = int16_t(kToday.year());
constexpr int kSizes[] = {10000, 50000, 200000};
constexpr int kColdRuns = 11;       // cold opens of each size, by each program
constexpr double kColdTarget = 0.6; // the most a cold open may take of the reference's time
constexpr int kClickRuns = 7;       // programs started for the clicks, of each program
constexpr double kAnswerMs = 50;    // a window that answers within this keeps answering
constexpr int kBigDay = 2000;       // items of the day that is selected
constexpr int kPaneRows = 5000;     // rows of each list pane
constexpr int kDailyAEs = 3000;     // daily auto-events applied to the calendar
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

// The programs started and still running, killed when the run stops.
std::vector<qint64> runningPrograms;

// Stops the run at once, killing the programs it started and removing the generated files;
// the windows are not torn down.
[[noreturn]] void fail(const QString& why) {
    std::fprintf(stderr, "calendar_bench: %s\n", qPrintable(why));
    std::fflush(nullptr);
    for (qint64 pid : runningPrograms)
        ::kill(pid_t(pid), SIGKILL);
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

// The peak resident memory of a process in MiB (VmHWM), or -1.
double peakMemoryMiB(const QString& pid = QStringLiteral("self")) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return -1;
}

// The time each thread of a process has spent on a processor and waiting for one, in
// nanoseconds, by thread; empty once the process is gone.
std::map<QString, qint64> threadBusyNs(const QString& pid) {
    std::map<QString, qint64> busy;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& thread : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks + u'/' + thread + QStringLiteral("/schedstat"));
        if (!stat.open(QIODevice::ReadOnly)) continue; // the thread has just ended
        const QList<QByteArray> fields = stat.readAll().trimmed().split(' ');
        if (fields.size() >= 2) busy[thread] = fields[0].toLongLong() + fields[1].toLongLong();
    }
    return busy;
}

// The time the threads of `now` spent busy since `before`: a thread started since counts
// whole, one ended since counts no more.
qint64 busySince(const std::map<QString, qint64>& before, const std::map<QString, qint64>& now) {
    qint64 busy = 0;
    for (const auto& [thread, ns] : now) {
        const auto it = before.find(thread);
        busy += ns - (it == before.end() ? 0 : std::min(it->second, ns));
    }
    return busy;
}

struct ColdOpen {
    double readyMs = 0;
    double peakMiB = 0;
};

// The output of a tool, or "" when it fails.
QByteArray toolOutput(const QString& tool, const QStringList& arguments) {
    QProcess p;
    p.start(tool, arguments);
    p.waitForFinished(-1);
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 ? p.readAllStandardOutput()
                                                                       : QByteArray();
}

// Whether the process shows its window on $DISPLAY: with a document, one whose title names it
// (the main window's caption does once the document is open; a message that it could not be
// read does not). Always true without a display, or without xdotool to tell.
bool showsItsWindow(const QString& pid, const QString& document) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") || !haveTool("xdotool")) return true;
    const QString xdotool = QStringLiteral("xdotool");
    const QList<QByteArray> windows =
        toolOutput(xdotool, {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                             QStringLiteral("--pid"), pid})
            .split('\n');
    for (const QByteArray& window : windows) {
        if (window.trimmed().isEmpty()) continue;
        if (document.isEmpty()) return true;
        const QString title = QString::fromUtf8(
            toolOutput(xdotool, {QStringLiteral("getwindowname"), QString::fromLatin1(window)}));
        if (title.contains(QFileInfo(document).fileName())) return true;
    }
    return false;
}

// The program started afresh as a user starts it, with `file` (if any) on its command line
// and a home of its own, under $DISPLAY when there is one, offscreen otherwise.
class FreshProgram {
public:
    // `home`: a folder made for it, private to the user; none: a temporary one.
    FreshProgram(const QString& program, const QString& file, const QString& home = {}) {
        if (home.isEmpty()) {
            ownHome_.emplace();
            if (!ownHome_->isValid()) fail(QStringLiteral("no temporary home"));
        }
        home_ = home.isEmpty() ? ownHome_->path() : home;
        QFile::setPermissions(home_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home_);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_);
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        env.remove(QStringLiteral("XDG_DATA_HOME"));
        env.remove(QStringLiteral("XDG_CACHE_HOME"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("fr_FR.UTF-8"));
        env.remove(QStringLiteral("LC_ALL"));
        if (env.value(QStringLiteral("DISPLAY")).isEmpty())
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        else
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        process_.setProcessEnvironment(env);
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(QProcess::nullDevice());
        clock_.start();
        process_.start(program, file.isEmpty() ? QStringList() : QStringList{file});
        if (!process_.waitForStarted(-1)) fail(QStringLiteral("%1 did not start").arg(program));
        runningPrograms.push_back(process_.processId());
        pid_ = QString::number(process_.processId());
        program_ = program;
        file_ = file;
    }
    ~FreshProgram() {
        process_.kill();
        process_.waitForFinished(-1);
        std::erase(runningPrograms, pid_.toLongLong());
    }

    const QString& pid() const { return pid_; }
    bool running() const { return process_.state() != QProcess::NotRunning; }

    // Waits until the program is idle with its window shown: the time from its start to the
    // end of the last 10 ms in which it was busy (its threads together a fifth of the time or
    // more on a processor or waiting for one: a process kept waiting on a busy machine is not
    // idle) within work of 10 ms or more in 50 ms, before a second without any; and its peak
    // memory then. Every thread counts: a user waits for the work of all of them. A timer
    // that wakes the program for a millisecond or two now and then (a blinking caret, the
    // navigation panel's watch each second) is no work a user waits for.
    ColdOpen waitUntilOpen() {
        std::map<QString, qint64> busy;
        qint64 lastBusyNs = 0, sampledNs = 0;
        // The busy time of the samples of the last 50 ms: (when, how long).
        constexpr qint64 kWorkWindowNs = 50'000'000, kWorkNs = 10'000'000;
        std::deque<std::pair<qint64, qint64>> recent;
        qint64 recentNs = 0;
        bool shown = false;
        for (;;) {
            QThread::msleep(10);
            const std::map<QString, qint64> now = threadBusyNs(pid_);
            if (now.empty() || !running())
                fail(QStringLiteral("%1 ended before it was idle").arg(program_));
            const qint64 at = clock_.nsecsElapsed();
            const qint64 busyNs = busySince(busy, now);
            recent.emplace_back(at, busyNs);
            recentNs += busyNs;
            while (at - recent.front().first > kWorkWindowNs) {
                recentNs -= recent.front().second;
                recent.pop_front();
            }
            if (busyNs * 5 >= at - sampledNs && recentNs >= kWorkNs) lastBusyNs = at;
            busy = now;
            sampledNs = at;
            if (at - lastBusyNs > 1'000'000'000) {
                if (!shown) shown = showsItsWindow(pid_, file_);
                if (shown) return {double(lastBusyNs) / 1e6, peakMemoryMiB(pid_)};
                if (at > 60'000'000'000LL)
                    fail(QStringLiteral("%1 did not show %2").arg(program_, file_));
            }
        }
    }

private:
    std::optional<QTemporaryDir> ownHome_;
    QString home_;
    QProcess process_;
    QElapsedTimer clock_;
    QString pid_, program_, file_;
};

// A cold open: the program started afresh, its time until it is idle and its peak memory.
// It is then killed.
ColdOpen coldOpen(const QString& program, const QString& file) {
    FreshProgram run(program, file);
    return run.waitUntilOpen();
}

struct ColdOpens {
    ColdOpen program;
    std::optional<ColdOpen> reference;
};

ColdOpen medians(const std::vector<ColdOpen>& runs) {
    std::vector<double> ready, peak;
    for (const ColdOpen& run : runs) {
        ready.push_back(run.readyMs);
        peak.push_back(run.peakMiB);
    }
    std::sort(ready.begin(), ready.end());
    std::sort(peak.begin(), peak.end());
    return {ready[ready.size() / 2], peak[peak.size() / 2]};
}

// The medians of kColdRuns cold opens of the program and, when there is one, of the reference
// program in the same series, the two taking turns (each first every other time), so that
// both meet the machine in the same state.
ColdOpens medianColdOpens(const QString& program, const QString& reference, const QString& file) {
    std::vector<ColdOpen> ours, theirs;
    for (int i = 0; i < kColdRuns; ++i) {
        const bool referenceFirst = !reference.isEmpty() && i % 2 == 1;
        if (referenceFirst) theirs.push_back(coldOpen(reference, file));
        ours.push_back(coldOpen(program, file));
        if (!reference.isEmpty() && !referenceFirst) theirs.push_back(coldOpen(reference, file));
    }
    ColdOpens result{medians(ours), std::nullopt};
    if (!theirs.empty()) result.reference = medians(theirs);
    return result;
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
        QString line = r.what.leftJustified(w[0]) + QStringLiteral("  ") +
                       r.measured.rightJustified(w[1]) + QStringLiteral("  ") +
                       r.floor.leftJustified(w[2]) + QStringLiteral("  ") + r.target;
        // Only the end is trimmed: the rows under a row keep their indent.
        while (line.endsWith(u' '))
            line.chop(1);
        std::printf("%s\n", line.toUtf8().constData());
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

// Texts as users write them: an event's description fills the 17 characters its box takes; a
// money text has a name of 10 characters and an amount with cents.
constexpr int kEventTextLength = 17;

// A description of kEventTextLength characters: one of a few beginnings and a time of day.
QString eventText(int n) {
    static const char* const beginnings[] = {"Rendez-vous ", "Coiffeuse à ", "Garage auto ",
                                             "Cours piano ", "Kiné séance ", "Banque, RDV ",
                                             "Vétérinaire "};
    const QString text = QStringLiteral("%1%2h%3")
                             .arg(QString::fromUtf8(beginnings[n % std::size(beginnings)]))
                             .arg(8 + n / 7 % 12, 2, 10, QLatin1Char('0'))
                             .arg(n / 84 % 4 * 15, 2, 10, QLatin1Char('0'));
    if (text.size() != kEventTextLength) fail(QStringLiteral("a description of %1").arg(text));
    return text;
}

// A money name of 10 characters: a word of six letters, a blank and three digits.
QString moneyName(const char* word, int n) {
    return QStringLiteral("%1 %2")
        .arg(QString::fromUtf8(word))
        .arg(n % 1000, 3, 10, QLatin1Char('0'));
}

// The pictures that some items name: files of their own (not embedded in the document), a few
// small ones that the user's items share, as a user picks the same pictures again.
constexpr int kPictureEvery = 10; // one day item in this many names a picture
QStringList pictureFiles;

// Drawn pictures of a few sizes, saved as the picture editor saves them (.bmp) and as photos
// (.jpg), in a pictures folder under `folder`.
void makePictures(const QString& folder) {
    const QString pictures = folder + QStringLiteral("/Images/Mirovanta");
    if (!QDir().mkpath(pictures)) fail(QStringLiteral("could not make %1").arg(pictures));
    const struct {
        const char* name;
        int width, height;
    } files[] = {{"anniversaire.bmp", 96, 64},     {"medecin.bmp", 64, 64},
                 {"voiture.bmp", 120, 80},         {"ecole.bmp", 80, 60},
                 {"vacances-plage.jpg", 160, 120}, {"famille.jpg", 160, 120},
                 {"concert.jpg", 128, 96},         {"jardin.jpg", 120, 90}};
    for (const auto& f : files) {
        QImage image(f.width, f.height, QImage::Format_RGB32);
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x)
                image.setPixel(x, y, qRgb(x * 255 / f.width, y * 255 / f.height, (x ^ y) & 0xFF));
        const QString path = pictures + u'/' + QLatin1String(f.name);
        if (!image.save(path)) fail(QStringLiteral("could not write %1").arg(path));
        pictureFiles << path;
    }
}

// An item of the day `date`: from today on, one in twenty-five has its alarm on, a few days
// ahead, so that those of the next days are due.
EVItem dayItem(QRandomGenerator& random, int n, const DateRec& date) {
    EVItem item;
    item.Kind = random.bounded(1, 4);
    item.Text = item.Kind == ItemKind::Event
                    ? eventText(n)
                    : MakeMoneyText(moneyName("Compte", n % 300), amount(random));
    item.AlarmDaysBefore = random.bounded(0, 4);
    if (QDate(date.Year, date.Month, date.Day) >= kToday && random.bounded(25) == 0)
        item.AlarmOn = -1;
    item.Checked = random.bounded(5) == 0 ? -1 : 0;
    item.Colour = random.bounded(8) == 0 ? int32_t(random.bounded(0x1000000)) : -1;
    if (random.bounded(kPictureEvery) == 0)
        item.PictureFile = pictureFiles[random.bounded(int(pictureFiles.size()))];
    return item;
}

int16_t cellOf(const DateRec& date) {
    return CellOfDay(date.Year, date.Month, date.Day);
}

void addToDay(CalDocument& doc, const DateRec& date, const EVItem& item) {
    ListAppend(doc.Months(date.Month).Cells(cellOf(date)), item);
}

QString key(const char* prefix, int n) {
    return QStringLiteral("%1%2").arg(QLatin1String(prefix)).arg(n, 16, 10, QLatin1Char('0'));
}

AEItem autoEvent(QRandomGenerator& random, int n, int32_t recurrence, int16_t year = kYear) {
    AEItem ae;
    ae.Recurrence = recurrence;
    ae.Day = int16_t(recurrence == AERecurrence::Weekly || recurrence == AERecurrence::EveryTwoWeeks
                         ? random.bounded(1, 8)
                         : random.bounded(1, 29));
    ae.Month = int16_t(random.bounded(1, 13));
    ae.StartDate = MakeDate(1, 1, year);
    ae.EndDate = MakeDate(31, 12, year);
    ae.Kind = random.bounded(1, 4);
    ae.Text = ae.Kind == ItemKind::Event ? eventText(n)
                                         : MakeMoneyText(moneyName("Prélèv", n), amount(random));
    return ae;
}

void addAutoEvent(CalDocument& doc, AEItem ae) {
    ae.Key = key("AE", ++doc.AutoEvents.NextKey);
    ListAppend(doc.AutoEvents, ae);
}

void addDebt(CalDocument& doc, QRandomGenerator& random, int n, int16_t year = kYear) {
    DEItem de;
    de.IsSaving = random.bounded(2) == 0 ? -1 : 0;
    de.StartDate = MakeDate(int16_t(random.bounded(1, 29)), int16_t(random.bounded(1, 13)), year);
    de.Text = MakeMoneyText(moneyName("Compte", n), amount(random));
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

CalDocument emptyYear(int16_t year = kYear) {
    CalDocument doc = BlankDocument(true);
    SetDocDefaults(doc);
    // The defaults give the months the live document's colours and background (New sets them
    // on the live document): a year made aside takes its own, as a year made by New has them.
    for (int16_t m = 1; m <= 12; ++m) {
        doc.Months(m).Colours = doc.DefaultColours;
        doc.Months(m).Background = doc.DefaultBackground;
    }
    doc.Year = QString::number(year);
    doc.OpenMonth = QStringLiteral("%1").arg(kToday.month(), 2, 10, QLatin1Char('0'));
    doc.EmbedPictures = 0;
    return doc;
}

constexpr int kYearAutoEvents = 40;
constexpr int kYearBirthdays = 60;
// The items the auto-events and birthdays of a year put in its days: each auto-event on its
// day of every month, each birthday once.
constexpr int kGeneratedItems = kYearAutoEvents * 12 + kYearBirthdays;

// An item an auto-event or a birthday puts in a day: its source's text, kind and key.
EVItem generatedItem(const QString& text, int32_t kind, const QString& sourceKey) {
    EVItem item;
    item.Text = text;
    item.Kind = kind;
    item.AlarmDaysBefore = 1;
    item.Colour = -1;
    item.SourceKey = sourceKey;
    return item;
}

// A year of `items` day items spread over its days, the generated ones among them, with a few
// lists beside them; two of the items are today's, with their alarm on. In an earlier year no
// alarm is on: nothing in it is due.
CalDocument yearOf(int items, int16_t year = kYear) {
    QRandomGenerator random{quint32(items)};
    CalDocument doc = emptyYear(year);
    for (int i = 0; i < kYearAutoEvents; ++i)
        addAutoEvent(doc, autoEvent(random, i, AERecurrence::Monthly + i % 5, year));
    for (int i = 0; i < 15; ++i)
        addDebt(doc, random, i, year);
    for (int i = 0; i < kYearBirthdays; ++i)
        addBirthday(doc, random, i);
    for (const AEItem& ae : doc.AutoEvents.Items)
        for (int16_t m = 1; m <= 12; ++m)
            addToDay(doc, MakeDate(std::min<int16_t>(ae.Day, 28), m, year),
                     generatedItem(ae.Text, ae.Kind, ae.Key));
    for (const BDItem& bd : doc.Birthdays.Items)
        addToDay(
            doc, MakeDate(bd.BirthDate.Day, bd.BirthDate.Month, year),
            generatedItem(QStringLiteral("Anniversaire : ") + bd.Name, ItemKind::Event, bd.Key));
    const DateRec today =
        MakeDate(int16_t(std::min<int>(kToday.day(), DaysInMonth(year, int16_t(kToday.month())))),
                 int16_t(kToday.month()), year);
    for (int i = kGeneratedItems; i < items; ++i) {
        const bool ofToday = i < kGeneratedItems + 2;
        const auto month = ofToday ? today.Month : int16_t(random.bounded(1, 13));
        const auto day =
            ofToday ? today.Day : int16_t(random.bounded(1, DaysInMonth(year, month) + 1));
        const DateRec date = MakeDate(day, month, year);
        EVItem item = dayItem(random, i, date);
        if (ofToday && year == kYear) item.AlarmOn = -1;
        addToDay(doc, date, item);
    }
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

// The month windows shown, and those filled but hidden.
std::pair<int, int> monthWindowsShownAndHidden() {
    int shown = 0;
    for (int m = 1; m <= 12; ++m)
        shown += MonthForms(m)->Visible() ? 1 : 0;
    return {shown, 12 - shown};
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

// ---- Clicks in the program's window ----

// The bench's own connection to the display the program runs on: which processes serve it
// (the X server, and its clients: the window manager among them), and whether a window
// answers.
class XDisplay {
public:
    XDisplay() {
        conn_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(conn_)) {
            xcb_disconnect(conn_);
            conn_ = nullptr;
            return;
        }
        root_ = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
        // A window answers a ping on the root window, to whoever follows its changes.
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(conn_, root_, XCB_CW_EVENT_MASK, &mask);
        protocols_ = atom("WM_PROTOCOLS");
        ping_ = atom("_NET_WM_PING");
    }
    ~XDisplay() {
        if (conn_) xcb_disconnect(conn_);
    }
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;
    explicit operator bool() const { return conn_ != nullptr; }

    // The X server: the process at the other end of this connection's socket; "" when the
    // display is not a local one.
    QString serverPid() const {
        ucred peer{};
        socklen_t size = sizeof peer;
        if (getsockopt(xcb_get_file_descriptor(conn_), SOL_SOCKET, SO_PEERCRED, &peer, &size) !=
                0 ||
            peer.pid <= 0)
            return {};
        return QString::number(peer.pid);
    }

    // The processes of the display's clients, as the X-Resource extension names them; empty
    // without it.
    QStringList clientPids() {
        QStringList pids;
        xcb_query_extension_reply_t* extension =
            xcb_query_extension_reply(conn_, xcb_query_extension(conn_, 10, "X-Resource"), nullptr);
        const uint8_t major = extension && extension->present ? extension->major_opcode : 0;
        free(extension);
        if (major == 0) return pids;
        // QueryVersion 1.2 (client ids came with 1.2), then QueryClientIds of every client
        // (client None) for their process ids (mask 2).
        uint32_t version[2] = {0, 0};
        std::memcpy(version, std::array<uint8_t, 8>{major, 0, 0, 0, 1, 2, 0, 0}.data(), 8);
        free(request(version, sizeof version));
        uint32_t ids[4] = {0, 1, 0, 2};
        std::memcpy(ids, std::array<uint8_t, 4>{major, 4, 0, 0}.data(), 4);
        auto* reply = static_cast<const uint8_t*>(request(ids, sizeof ids));
        if (!reply) return pids;
        auto word = [&](size_t at) {
            uint32_t w;
            std::memcpy(&w, reply + at, 4);
            return w;
        };
        const size_t size = 32 + size_t(word(4)) * 4;
        size_t at = 32;
        for (uint32_t n = word(8); n > 0 && at + 12 <= size; --n) {
            const uint32_t mask = word(at + 4), length = word(at + 8);
            if (mask == 2 && length == 4 && at + 16 <= size) pids << QString::number(word(at + 12));
            at += 12 + length;
        }
        free(const_cast<uint8_t*>(reply));
        pids.removeDuplicates();
        return pids;
    }

    // Asks a window whether it answers, as a window manager does (_NET_WM_PING), under the
    // number id.
    void ping(uint32_t window, uint32_t id) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = protocols_;
        event.data.data32[0] = ping_;
        event.data.data32[1] = id; // the time field: it comes back as it went
        event.data.data32[2] = window;
        xcb_send_event(conn_, false, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(conn_);
    }
    // The numbers of the pings answered since the last call.
    std::vector<uint32_t> answers() {
        std::vector<uint32_t> ids;
        while (xcb_generic_event_t* e = xcb_poll_for_event(conn_)) {
            if ((e->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto* m = reinterpret_cast<const xcb_client_message_event_t*>(e);
                if (m->window == root_ && m->type == protocols_ && m->data.data32[0] == ping_)
                    ids.push_back(m->data.data32[1]);
            }
            free(e);
        }
        return ids;
    }

private:
    xcb_atom_t atom(const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            conn_, xcb_intern_atom(conn_, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return a;
    }
    // Sends a request of an extension, whose first byte is its major opcode and second its
    // request (the length is filled in); its reply, to be freed, or null.
    void* request(void* bytes, size_t size) {
        iovec parts[3];
        parts[2].iov_base = bytes;
        parts[2].iov_len = size;
        const xcb_protocol_request_t what{1, nullptr, static_cast<const uint8_t*>(bytes)[0], 0};
        const unsigned sequence = xcb_send_request(conn_, XCB_REQUEST_CHECKED, parts + 2, &what);
        xcb_generic_error_t* error = nullptr;
        void* reply = xcb_wait_for_reply(conn_, sequence, &error);
        free(error);
        return reply;
    }

    xcb_connection_t* conn_ = nullptr;
    xcb_window_t root_ = XCB_WINDOW_NONE;
    xcb_atom_t protocols_ = XCB_ATOM_NONE, ping_ = XCB_ATOM_NONE;
};

// xdotool reading its commands a line at a time: the user's hand. A line is written at the
// moment its input is to happen.
class Hand {
public:
    Hand() {
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.start(QStringLiteral("xdotool"), {QStringLiteral("-")});
        if (!process_.waitForStarted(-1)) fail(QStringLiteral("xdotool did not start"));
    }
    ~Hand() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(2000)) process_.kill();
        process_.waitForFinished(-1);
    }
    QString pid() const { return QString::number(process_.processId()); }
    void send(const QString& command) {
        process_.write(command.toUtf8() + '\n');
        process_.waitForBytesWritten(-1);
    }

private:
    QProcess process_;
};

// What the processes that serve a click did in one sample: its end (ns since the input), its
// length and their busy time in it.
struct Sample {
    qint64 at = 0;
    qint64 length = 0;
    qint64 busy = 0;
};

constexpr qint64 kMs = 1'000'000;
constexpr qint64 kPingEvery = 20 * kMs; // how often a window is asked whether it answers

// The end of the work that begins at `from` (ns since the input): the end of its last sample
// in which the processes were busy a fifth of the time or more, within work of 10 ms or more
// in 50 ms, or within 50 ms of `from` (the work an input or a timer begins counts however
// short it is); the cold opens' rule, sampled each millisecond. The work ends at its first
// stillness longer than `stillness`, if any. `from` when there is none.
qint64 workEnd(const std::vector<Sample>& samples, qint64 from,
               qint64 stillness = std::numeric_limits<qint64>::max()) {
    qint64 end = from, recent = 0;
    size_t oldest = 0;
    for (const Sample& s : samples) {
        recent += s.busy;
        while (samples[oldest].at <= s.at - 50 * kMs)
            recent -= samples[oldest++].busy;
        if (s.at - s.length < from) continue;
        if (s.busy * 5 >= s.length && (recent >= 10 * kMs || s.at - from <= 50 * kMs)) {
            if (s.at - s.length - end > stillness) break;
            end = s.at;
        }
    }
    return end;
}

// The start of the first work after `after` (ns since the input): of the first sample busy a
// fifth of the time or more that begins 3 ms of work or more within 20 ms, so that a timer
// waking the program for a moment (a watch each second) is not taken for it; -1 for none.
qint64 workStart(const std::vector<Sample>& samples, qint64 after) {
    for (size_t i = 0; i < samples.size(); ++i) {
        const Sample& s = samples[i];
        const qint64 start = s.at - s.length;
        if (start < after || s.busy * 5 < s.length) continue;
        qint64 work = 0;
        for (size_t j = i; j < samples.size() && samples[j].at - start <= 20 * kMs; ++j)
            work += samples[j].busy;
        if (work >= 3 * kMs) return start;
    }
    return -1;
}

// The processes that serve the program's clicks, watched from an input until they are idle.
class Watch {
public:
    explicit Watch(QStringList pids) : pids_(std::move(pids)) {}

    // Samples each millisecond from now, the input, until a second without work (workEnd),
    // and at least `minimum` ns. With a window, asks it every 20 ms while the work goes on
    // whether it answers, and gives in `longestAnswer` the longest wait for an answer to a
    // ping sent before the end of the work.
    std::vector<Sample> run(qint64 minimum = 0, XDisplay* display = nullptr, uint32_t window = 0,
                            qint64* longestAnswer = nullptr) {
        std::vector<Sample> samples;
        std::map<QString, qint64> busy = busyNow();
        QElapsedTimer clock;
        clock.start();
        std::vector<qint64> pinged, answered;
        if (display) display->answers(); // late answers to earlier pings
        qint64 previous = 0, lastWork = 0;
        for (;;) {
            if (display) {
                for (uint32_t id : display->answers())
                    if (id < answered.size() && answered[id] < 0)
                        answered[id] = clock.nsecsElapsed() - pinged[id];
                // Not once the work is over: answering costs the program, the X server and
                // the window manager a little each time.
                const qint64 now = clock.nsecsElapsed();
                if ((pinged.empty() || now - pinged.back() >= kPingEvery) &&
                    now - lastWork < 100 * kMs) {
                    display->ping(window, uint32_t(pinged.size()));
                    pinged.push_back(now);
                    answered.push_back(-1);
                }
            }
            QThread::usleep(1000);
            const std::map<QString, qint64> now = busyNow();
            const qint64 at = clock.nsecsElapsed();
            samples.push_back({at, at - previous, busySince(busy, now)});
            busy = now;
            previous = at;
            lastWork = workEnd(samples, 0);
            if (at - lastWork > 1000 * kMs && at >= minimum + 1000 * kMs) break;
        }
        if (display && longestAnswer) {
            const qint64 end = workEnd(samples, 0), last = clock.nsecsElapsed();
            *longestAnswer = 0;
            for (size_t id = 0; id < pinged.size() && pinged[id] < end; ++id)
                *longestAnswer =
                    std::max(*longestAnswer, answered[id] >= 0 ? answered[id] : last - pinged[id]);
        }
        return samples;
    }

private:
    std::map<QString, qint64> busyNow() const {
        std::map<QString, qint64> all;
        for (const QString& pid : pids_)
            for (const auto& [thread, ns] : threadBusyNs(pid))
                all[pid + u'/' + thread] = ns;
        return all;
    }

    QStringList pids_;
};

// Where a user points in the main window, in pixels of its client area.
struct Places {
    QSize window;
    QPoint dayCell, eventsTab, editButton, monthButton, summaryTab, chartButton, saveButton;
};

QPoint centreIn(const QWidget* top, const QWidget* widget, const QRect& rect) {
    if (!widget) fail(QStringLiteral("a control to click has no widget"));
    return widget->mapTo(top, rect.center());
}

QPoint centreIn(const QWidget* top, const rt::Control& control) {
    return centreIn(top, control.widget(), control.widget()->rect());
}

QPoint tabIn(const QWidget* top, rt::TabControl& tabs, int tab) {
    const auto* bar = tabs.widget() ? tabs.widget()->findChild<QTabBar*>() : nullptr;
    if (!bar) fail(QStringLiteral("the tab control has no tabs"));
    return centreIn(top, bar, bar->tabRect(tab));
}

QPoint toolbarButtonIn(const QWidget* top, rt::Toolbar& toolbar, const QString& key) {
    const auto* bar = qobject_cast<QToolBar*>(toolbar.widget());
    const int index = toolbar.Buttons(key).Index();
    if (!bar || index < 1 || index > bar->actions().size())
        fail(QStringLiteral("no toolbar button %1").arg(key));
    const QWidget* button = bar->widgetForAction(bar->actions().at(index - 1));
    return centreIn(top, button, button->rect());
}

// The places in this process's own copy of the program, laid out at the size of the program's
// window, which opens the same year there: a day cell of the month shown, the tabs and
// buttons of the navigation panel once it is open, and those of the toolbar.
Places placesIn(const QSize& window, const QString& year, int16_t month, int16_t cell,
                int16_t otherMonth) {
    FrmMainForm& main = FrmMain.get();
    QWidget* top = main.window();
    main.setWindowState(rt::vbNormal);
    top->resize(window);
    runToIdle();
    if (top->size() != window) fail(QStringLiteral("the main window cannot take the size"));
    // The month windows take their size from the main window's as the year opens.
    open(year);
    SetNavPanel(false, true);
    runToIdle();
    Places at;
    at.window = window;
    const rt::Label& day = MonthForms(month)->LblDay(cell);
    at.dayCell = centreIn(top, day.host(), day.placeInHost());
    at.saveButton = toolbarButtonIn(top, main.TbMain, QStringLiteral("Save"));
    at.monthButton = toolbarButtonIn(
        top, main.TbMain, QStringLiteral("m%1").arg(int(otherMonth), 2, 10, QLatin1Char('0')));
    at.eventsTab = tabIn(top, main.TbMenu, 4);
    at.summaryTab = tabIn(top, main.TbMenu, 0);
    SetNavPanel(true, false);
    main.TbMenu.setTab(4);
    runToIdle();
    at.editButton = centreIn(top, main.CmdEVEdit);
    main.TbMenu.setTab(0);
    runToIdle();
    at.chartButton = centreIn(top, main.CmdSUChart(0));
    main.setWindowState(rt::vbMaximized);
    runToIdle();
    return at;
}

// What one run of the clicks measured, in ms.
struct Clicks {
    double day = 0, editor = 0, nextMonth = 0, chartWindow = 0, chartDrawn = 0, save = 0,
           saveAnswer = 0;
    double chart() const { return chartWindow + chartDrawn; }
};

QStringList visibleWindows(const QString& pid) {
    QStringList windows;
    for (const QByteArray& w :
         toolOutput(QStringLiteral("xdotool"),
                    {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--pid"), pid})
             .split('\n'))
        if (!w.trimmed().isEmpty()) windows << QString::fromLatin1(w.trimmed());
    return windows;
}

// The size of a window's client area, as xdotool tells it.
QSize windowSize(const QString& window) {
    const QByteArray geometry =
        toolOutput(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), window});
    const qsizetype at = geometry.indexOf("Geometry:");
    if (at < 0) return {};
    const QList<QByteArray> wh = geometry.mid(at + 9).trimmed().split('\n')[0].split('x');
    return wh.size() == 2 ? QSize(wh[0].toInt(), wh[1].toInt()) : QSize();
}

// A home for the program started for the clicks, with a copy of the year and the alarm check
// off, so that no alarm window waits for an answer, as for a user who switched it off in the
// options. The copy, which the program opens and saves.
QString clickHome(const QTemporaryDir& home, const QString& year, const QString& settingsBack) {
    if (!home.isValid()) fail(QStringLiteral("no temporary home"));
    const QString file = home.filePath(QFileInfo(year).fileName());
    if (!QFile::copy(year, file)) fail(QStringLiteral("could not copy %1").arg(year));
    rt::setSettingsFolder(home.filePath(QStringLiteral(".config")));
    rt::SaveSetting(QStringLiteral("Mirovanta"), QStringLiteral("Alarm"),
                    QStringLiteral("IntervalChk"), QStringLiteral("-1"));
    rt::setSettingsFolder(settingsBack);
    return file;
}

// The program's only window shown, its main window.
QString mainWindowOf(const FreshProgram& run, const QString& program) {
    const QStringList shown = visibleWindows(run.pid());
    if (shown.size() != 1)
        fail(QStringLiteral("%1 shows %2 windows").arg(program).arg(shown.size()));
    return shown[0];
}

// The program started afresh on a copy of the year in its home (clickHome). Once it is open
// and idle, the user's hand takes each step as a user does, and the clicks are timed from the
// input to the program, the X server and the window manager idle (workEnd): the day cell, the
// item editor opened from the events page (then cancelled), Ctrl+F6 from the month window the
// toolbar brought forward to the next, the summary chart (its first: the module loads) and
// Save, during which the window is asked whether it answers.
Clicks clicksOf(const QString& program, const QString& year, const QString& settingsBack,
                const Places& at, XDisplay& display) {
    QTemporaryDir home;
    const QString file = clickHome(home, year, settingsBack);
    FreshProgram run(program, file, home.path());
    run.waitUntilOpen();
    const QString window = mainWindowOf(run, program);
    if (windowSize(window) != at.window)
        fail(QStringLiteral("%1's window is not %2x%3")
                 .arg(program)
                 .arg(at.window.width())
                 .arg(at.window.height()));

    Hand hand;
    QStringList pids{run.pid(), display.serverPid()};
    const QString self = QString::number(QCoreApplication::applicationPid());
    for (const QString& client : display.clientPids())
        if (client != self && client != hand.pid() && !pids.contains(client)) pids << client;
    Watch watch(pids);
    auto ms = [](qint64 ns) { return double(ns) / 1e6; };
    auto settle = [&] { watch.run(); };
    auto pointAt = [&](const QPoint& p) {
        hand.send(QStringLiteral("mousemove --window %1 %2 %3").arg(window).arg(p.x()).arg(p.y()));
        settle();
    };
    auto input = [&](const QString& command, qint64 minimum = 0, qint64* answer = nullptr) {
        hand.send(command);
        return watch.run(minimum, answer ? &display : nullptr, window.toUInt(), answer);
    };
    auto windowsNow = [&](int expected, const char* after) {
        if (visibleWindows(run.pid()).size() != expected)
            fail(QStringLiteral("%1 does not show %2 window(s) after %3")
                     .arg(program)
                     .arg(expected)
                     .arg(QLatin1String(after)));
    };
    const QString click = QStringLiteral("click 1");

    Clicks c;
    pointAt(at.dayCell);
    c.day = ms(workEnd(input(click), 0));
    pointAt(at.eventsTab);
    input(click);
    pointAt(at.editButton);
    c.editor = ms(workEnd(input(click), 0));
    windowsNow(2, "the Edit button");
    input(QStringLiteral("key --delay 0 alt+a"));
    windowsNow(1, "Alt+A in the item editor");

    pointAt(at.monthButton);
    input(click);
    c.nextMonth = ms(workEnd(input(QStringLiteral("key --delay 0 ctrl+F6")), 0));

    // The chart window gathers the totals one second after it loads, by a timer of its own:
    // its window and its chart are timed each from where its work begins.
    pointAt(at.summaryTab);
    input(click);
    pointAt(at.chartButton);
    // Its window's work ends at its first stillness; the timer, which may tick up to 5% early,
    // begins the chart's.
    constexpr qint64 kChartWait = 1000 * kMs, kStill = 200 * kMs;
    const std::vector<Sample> chart = input(click, kChartWait);
    windowsNow(2, "the chart button");
    const qint64 shownAt = workEnd(chart, 0, kStill);
    const qint64 gathered = workStart(chart, shownAt + kStill);
    if (gathered < 0) fail(QStringLiteral("%1's chart window gathered nothing").arg(program));
    c.chartWindow = ms(shownAt);
    c.chartDrawn = ms(workEnd(chart, gathered) - gathered);
    input(QStringLiteral("key --delay 0 Return"));
    windowsNow(1, "Return in the chart window");

    pointAt(at.saveButton);
    const QDateTime before = QFileInfo(file).lastModified();
    qint64 answer = 0;
    const std::vector<Sample> saved = input(click, 0, &answer);
    c.save = ms(workEnd(saved, 0));
    c.saveAnswer = ms(answer);
    if (QFileInfo(file).lastModified() == before)
        fail(QStringLiteral("%1 did not save %2").arg(program, file));
    if (!run.running()) fail(QStringLiteral("%1 ended during its clicks").arg(program));
    return c;
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
    // The program started for the cold opens: the first argument, or the one built beside;
    // and the program whose cold opens give their time targets, the second argument if any.
    const QString program = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString reference = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
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
    rt::SaveSetting(QStringLiteral("Mirovanta"), QStringLiteral("Alarm"),
                    QStringLiteral("IntervalChk"), QStringLiteral("-1"));
    rt::setUiServices(std::make_shared<BenchUi>(rt::setUiServices(nullptr)));

    const bool floors = haveTool("unzip") && haveTool("gzip") && haveTool("wc");
    auto file = [&](const QString& name) { return scratch.filePath(name); };

    // ---- The files, and the floors ----
    std::fprintf(stderr, "Generating the years in %s\n", qPrintable(scratch.path()));
    makePictures(scratch.path());
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

    // The cold opens take the same years one year back, as a user opens a past year: nothing in
    // it is due, and no alarm window comes up.
    auto pastYearFile = [&](int size) { return file(QStringLiteral("past%1.cal").arg(size)); };
    for (int size : kSizes) {
        CalDocument doc = yearOf(size, int16_t(kYear - 1));
        write(pastYearFile(size), doc);
    }

    // The day to select and the panes to fill, on top of the 10,000-item year.
    int bigDayYearItems = 0;
    {
        QRandomGenerator random(kBigDay);
        CalDocument doc = yearOf(kSizes[0]);
        DayCell& day = doc.Months(kBigDayDate.Month).Cells(cellOf(kBigDayDate));
        ListClear(day);
        for (int i = 0; i < kBigDay; ++i)
            addToDay(doc, kBigDayDate, dayItem(random, i, kBigDayDate));
        bigDayYearItems = itemCount(doc);
        write(file(QStringLiteral("bigday.cal")), doc);
    }
    {
        QRandomGenerator random(kPaneRows);
        CalDocument doc = emptyYear();
        for (int i = 0; i < kPaneRows; ++i) {
            addToDay(doc, kPaneDayDate, dayItem(random, i, kPaneDayDate));
            addAutoEvent(doc, autoEvent(random, i, AERecurrence::Monthly + i % 5));
            addDebt(doc, random, i);
            addBirthday(doc, random, i);
        }
        write(file(QStringLiteral("panes.cal")), doc);
    }
    int dailyYearItems = 0;
    {
        QRandomGenerator random(kDailyAEs);
        CalDocument doc = yearOf(kSizes[0]);
        // Only the daily auto-events: the items of the others would go with them.
        ListClear(doc.AutoEvents);
        for (int16_t m = 1; m <= 12; ++m)
            for (int16_t c = kFirstCell; c <= kLastCell; ++c) {
                DayCell& cell = doc.Months(m).Cells(c);
                std::vector<EVItem> kept;
                for (int j = 0; j < cell.Count; ++j)
                    if (!cell.Items[size_t(j)].SourceKey.startsWith(QLatin1String("AE")))
                        kept.push_back(cell.Items[size_t(j)]);
                ListClear(cell);
                for (const EVItem& item : kept)
                    ListAppend(cell, item);
            }
        dailyYearItems = itemCount(doc);
        for (int i = 0; i < kDailyAEs; ++i)
            addAutoEvent(doc, autoEvent(random, i, AERecurrence::Daily));
        write(file(QStringLiteral("daily.cal")), doc);
    }

    // ---- The program, started afresh ----
    const QString built =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/mirovanta");
    const QString coldProgram = program.isEmpty() ? built : program;
    if (!reference.isEmpty() && !QFileInfo(reference).isExecutable())
        fail(QStringLiteral("no reference program at %1").arg(reference));
    if (QFileInfo(coldProgram).isExecutable()) {
        // The peak memory each start may reach; its time is 0.6 x the reference program's,
        // when one is given.
        const struct {
            int size;
            int peakMiB;
        } colds[] = {{0, 41}, {kSizes[0], 43}, {kSizes[1], 50}, {kSizes[2], 76}};
        const QString display = qEnvironmentVariable("DISPLAY");
        const QString platform = display.isEmpty() ? QStringLiteral("offscreen")
                                                   : QStringLiteral("display %1").arg(display);
        if (reference.isEmpty())
            std::fprintf(stderr, "No reference program: the cold starts have no time target\n");
        for (const auto& c : colds) {
            const QString what = c.size ? QStringLiteral("a %1-item year").arg(number(c.size))
                                        : QStringLiteral("no document");
            const ColdOpens cold =
                medianColdOpens(coldProgram, reference, c.size ? pastYearFile(c.size) : QString());
            const QString mib = QStringLiteral("%1 MiB");
            addRow(QStringLiteral("Cold start with %1, whole process to idle (%2)")
                       .arg(what, platform),
                   ms(cold.program.readyMs), {},
                   cold.reference ? QStringLiteral("<= %1 (0.6 x the reference's)")
                                        .arg(ms(kColdTarget * cold.reference->readyMs))
                                  : QString());
            addRow(QStringLiteral("  its peak memory (VmHWM)"),
                   mib.arg(cold.program.peakMiB, 0, 'f', 1), {},
                   QStringLiteral("<= %1 MiB").arg(c.peakMiB));
            if (cold.reference)
                addRow(QStringLiteral("  the reference program, in the same series"),
                       QStringLiteral("%1, %2").arg(ms(cold.reference->readyMs),
                                                    mib.arg(cold.reference->peakMiB, 0, 'f', 1)));
        }
    } else {
        std::fprintf(stderr, "No program at %s: no cold opens\n", qPrintable(coldProgram));
    }

    // ---- The program, in this process ----
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
        const auto [shown, hidden] = monthWindowsShownAndHidden();
        addRow(QStringLiteral("Re-open a %1-item year, %2 month window shown and %3 filled "
                              "hidden, to idle")
                   .arg(number(size))
                   .arg(shown)
                   .arg(hidden),
               ms(openMs), {}, size == 10000 ? QStringLiteral("<= 210.0 ms") : QString());
    }

    // ---- Clicks in the program's window, in the biggest year (the one open now) ----
    const bool canClick = !qEnvironmentVariableIsEmpty("DISPLAY") && haveTool("xdotool") &&
                          QFileInfo(coldProgram).isExecutable();
    XDisplay display;
    if (!canClick || !display || display.serverPid().isEmpty()) {
        std::fprintf(stderr, "No local display, xdotool or program: no clicks\n");
    } else {
        const int size = kSizes[std::size(kSizes) - 1];
        const QString year = yearFile(size);
        const auto month = int16_t(kToday.month());
        // A day of the month the year opens on, and the month before it (after, in January).
        const Places at = [&] {
            // At the size of the program's window on the display, from one started for it.
            QTemporaryDir home;
            FreshProgram probe(coldProgram, clickHome(home, year, settings), home.path());
            probe.waitUntilOpen();
            return placesIn(windowSize(mainWindowOf(probe, coldProgram)), year, month,
                            cellOf({15, month, kYear}), int16_t(month == 1 ? 2 : month - 1));
        }();
        std::vector<Clicks> ours, theirs;
        for (int i = 0; i < kClickRuns; ++i) {
            const bool referenceFirst = !reference.isEmpty() && i % 2 == 1;
            if (referenceFirst) theirs.push_back(clicksOf(reference, year, settings, at, display));
            ours.push_back(clicksOf(coldProgram, year, settings, at, display));
            if (!reference.isEmpty() && !referenceFirst)
                theirs.push_back(clicksOf(reference, year, settings, at, display));
        }
        auto median = [](const std::vector<Clicks>& runs, double (*of)(const Clicks&)) {
            std::vector<double> v;
            for (const Clicks& c : runs)
                v.push_back(of(c));
            std::sort(v.begin(), v.end());
            return v[v.size() / 2];
        };
        const QString where = QStringLiteral("in a %1-item year, display %2")
                                  .arg(number(size), qEnvironmentVariable("DISPLAY"));
        const QString sameSeries = QStringLiteral("  the reference program, in the same series");
        struct ClickRow {
            QString what;
            double (*of)(const Clicks&);
        };
        const ClickRow rows[] = {
            {QStringLiteral("Click a day cell"), [](const Clicks& c) { return c.day; }},
            {QStringLiteral("Open the item editor (Edit on the events page)"),
             [](const Clicks& c) { return c.editor; }},
            {QStringLiteral("Ctrl+F6 to the next month window"),
             [](const Clicks& c) { return c.nextMonth; }},
        };
        for (const ClickRow& r : rows) {
            addRow(QStringLiteral("%1 %2, input to idle").arg(r.what, where),
                   ms(median(ours, r.of)), {}, QStringLiteral("< 30.0 ms"));
            if (!theirs.empty()) addRow(sameSeries, ms(median(theirs, r.of)));
        }
        // The chart: its window, then its chart from the end of the window's own 1 s wait.
        auto chartText = [&](const std::vector<Clicks>& runs) {
            return QStringLiteral("%1 (%2 + %3)")
                .arg(ms(median(runs, [](const Clicks& c) { return c.chart(); })),
                     ms(median(runs, [](const Clicks& c) { return c.chartWindow; })),
                     ms(median(runs, [](const Clicks& c) { return c.chartDrawn; })));
        };
        // A click's response is the window; the chart drawn a second later is work of its own:
        // each is held to the time of a click.
        addRow(QStringLiteral("The summary chart, its first (the module loads) %1: its window, "
                              "input to idle, + its chart after the window's 1 s wait, to idle")
                   .arg(where),
               chartText(ours), {}, QStringLiteral("each < 30.0 ms (window, chart)"));
        if (!theirs.empty()) addRow(sameSeries, chartText(theirs));
        // Save: its time beside the deflate floor, and the longest the window took to answer.
        auto saveText = [&](const std::vector<Clicks>& runs) {
            return QStringLiteral("%1, answering within %2")
                .arg(ms(median(runs, [](const Clicks& c) { return c.save; })),
                     ms(median(runs, [](const Clicks& c) { return c.saveAnswer; })));
        };
        const double saveMs = median(ours, [](const Clicks& c) { return c.save; });
        addRow(QStringLiteral("Save (the toolbar's button) %1, input to idle").arg(where),
               saveText(ours),
               floors ? QStringLiteral("%1 gzip -6 (x%2)")
                            .arg(ms(gzipMs.back()))
                            .arg(saveMs / gzipMs.back(), 0, 'f', 2)
                      : QStringLiteral("no gzip"),
               QStringLiteral("answering within %1, or <= 1.1x floor%2")
                   .arg(ms(kAnswerMs),
                        floors ? QStringLiteral(" (%1)").arg(ms(1.1 * gzipMs.back())) : QString()));
        if (!theirs.empty()) addRow(sameSeries, saveText(theirs));
    }

    // A debt's balance, worked out on each selection of a debt row or a money item, in the
    // biggest year (the one open now).
    {
        const DateRec endOfYear = MakeDate(31, 12, kYear);
        int32_t balance = 0;
        const double balanceMs = medianMs(5, [&] { balance = DEBalanceAtDate(0, endOfYear); });
        if (balance == 0 && CurDoc.DebtsSavings.Count == 0) fail(QStringLiteral("no debt"));
        addRow(QStringLiteral("A debt's balance (DEBalanceAtDate) in the %1-item year")
                   .arg(number(kSizes[std::size(kSizes) - 1])),
               ms(balanceMs), {}, QStringLiteral("< 30.0 ms"));
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

    // The daily auto-events written into every day of a 10,000-item year, opened afresh
    // before each run.
    const int days = DaysInMonth(kYear, 2) == 29 ? 366 : 365;
    const double applyMs = medianMs(
        5,
        [] {
            ApplyAEToCalendar();
            runToIdle();
        },
        [&] {
            CurDoc.IsSaved = -1; // the applied items are not kept
            open(file(QStringLiteral("daily.cal")));
            checkOpen(file(QStringLiteral("daily.cal")), dailyYearItems);
            main.TbMenu.setTab(5);
            runToIdle();
        });
    if (dayItemCount() != dailyYearItems + kDailyAEs * days)
        fail(QStringLiteral("the auto-events were not applied"));
    addRow(QStringLiteral("Apply %1 daily auto-events to a %2-item year, to idle")
               .arg(number(kDailyAEs), number(dailyYearItems)),
           ms(applyMs));
    CurDoc.IsSaved = -1; // nothing to ask when the program closes

    addRow(QStringLiteral("Peak memory of this process, all of the above (VmHWM)"),
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
