// Opens one ".cal" file as the program does, in a process of its own, and reports the outcome
// and the process's peak resident memory, so that a test can check what a file costs to open.
// Every message box is answered Cancel. Prints:
//   read 1|0
//   message <the prompt of each message box, carriage returns shown as "|">
//   vmhwm <peak resident memory in KiB>
// With --save, it saves instead a year of ITEMS day items as FILE and prints "saved 1|0" and
// the messages. With --resave, it opens FILE, prints "read 1|0", waits for a line (or the end)
// on its standard input, saves the document over FILE as the Save command does and prints
// "saved 1|0" and the messages.
// A save prints "waiting" when it begins to wait for another save of the file. With
// MRV_HOLD_SAVE set, it prints "holding" once it holds the file and is about to write it, and
// waits for a line on its standard input; MRV_SAVE_LOCK_WAIT_MS sets how long it waits for
// another save.
//
// cal_open_helper FILE
// cal_open_helper --save FILE ITEMS
// cal_open_helper --resave FILE

#include "core/file_output.h"
#include "core/rt_error.h"
#include "document/cal_reader.h"
#include "document/cal_writer.h"
#include "document/doc_state.h"
#include "support/recording_views.h"
#include "support/scripted_ui_services.h"

#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <cstdio>

namespace {

// The peak resident memory of this process, from the kernel's account of it.
long peakResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

void onSaveStep(rt::SaveStep step) {
    if (step == rt::SaveStep::WaitForOtherSave) {
        std::printf("waiting\n");
    } else if (qEnvironmentVariableIsSet("MRV_HOLD_SAVE")) {
        std::printf("holding\n");
        std::fflush(stdout);
        char line[16];
        (void)std::fgets(line, sizeof line, stdin);
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    rt::prepareProcessSignals(); // as the program's application object does
    rt::setSaveStepHook(onSaveStep);
    if (qEnvironmentVariableIsSet("MRV_SAVE_LOCK_WAIT_MS"))
        rt::setSaveLockWait(qEnvironmentVariableIntValue("MRV_SAVE_LOCK_WAIT_MS"));
    const bool save = app.arguments().value(1) == QLatin1String("--save");
    const bool resave = app.arguments().value(1) == QLatin1String("--resave");
    if (app.arguments().size() != (save ? 4 : resave ? 3 : 2)) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    // The locale the test programs pin, so that numbers in messages read the same.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    auto views = std::make_shared<RecordingViews>();
    views->State = QStringLiteral("Edit");
    setDocViews(views);
    auto ui = std::make_shared<rt::ScriptedUiServices>();
    ui->msgBoxAnswers.assign(1000, rt::vbCancel);
    rt::setUiServices(ui);
    AppVersion = QStringLiteral("2.1");
    const auto printMessages = [&] {
        for (const auto& box : ui->msgBoxCalls)
            std::printf("message %s\n", qPrintable(QString(box.prompt).replace(u'\r', u'|')));
    };

    if (save) {
        CalDocument doc = BlankDocument(true);
        doc.Year = QStringLiteral("2004");
        doc.OpenMonth = QStringLiteral("00");
        const int items = app.arguments()[3].toInt();
        for (int i = 0; i < items; ++i) {
            DayCell& cell = doc.Months(i % 12 + 1).Cells(kFirstCell + i / 12 % 42);
            EVItem item;
            item.Text = QStringLiteral("Élément n° %1 du grand calendrier").arg(i);
            ListAppend(cell, item);
        }
        std::printf("saved %d\n", SaveCalFile(app.arguments()[2], doc) ? 1 : 0);
        printMessages();
        return 0;
    }
    if (resave) {
        const QString file = app.arguments()[2];
        std::printf("read %d\n", LoadCalFile(file, CurDoc) ? 1 : 0);
        std::fflush(stdout);
        char line[16];
        (void)std::fgets(line, sizeof line, stdin);
        std::printf("saved %d\n", SaveCalFile(file, CurDoc) ? 1 : 0);
        printMessages();
        return 0;
    }

    bool read = false;
    {
        CalDocument doc;
        read = LoadCalFile(app.arguments()[1], doc);
    }
    std::printf("read %d\n", read ? 1 : 0);
    printMessages();
    std::printf("vmhwm %ld\n", peakResidentKiB());
    return 0;
}
