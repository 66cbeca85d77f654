// Times the filling and drawing of the twelve month windows for a year of 5,000 day items,
// on the offscreen platform unless another one is asked for. Prints the times; asserts nothing.

#include "document/doc_state.h"
#include "document/month_grid.h"
#include "document/records.h"
#include "shell/cell_drawing.h"
#include "shell/frm_main.h"
#include "shell/main_module.h"
#include "shell/month_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>

namespace {

constexpr int kItems = 5000;

// A year of items spread over its days: every kind, some ticked, some in their own colour.
void fillDocument() {
    SetDocDefaults(CurDoc);
    CurDoc.Year = QStringLiteral("2004");
    CurDoc.OpenMonth = QStringLiteral("03");
    QRandomGenerator random(2004);
    for (int i = 0; i < kItems; ++i) {
        const auto month = int16_t(random.bounded(1, 13));
        const auto day = int16_t(random.bounded(1, DaysInMonth(2004, month) + 1));
        EVItem item;
        item.Kind = random.bounded(1, 4);
        item.Text = item.Kind == ItemKind::Event
                        ? QStringLiteral("Rendez-vous %1").arg(i)
                        : QStringLiteral("Compte%1 %2").arg(i % 1000, 4, 10, QChar('0')).arg(i);
        item.Checked = random.bounded(4) == 0 ? -1 : 0;
        item.Colour = random.bounded(5) == 0 ? int32_t(random.bounded(0x1000000)) : -1;
        ListAppend(CurDoc.Months(month).Cells(CellOfDay(2004, month, day)), item);
    }
}

double millis(QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    fillDocument();

    QElapsedTimer t;
    t.start();
    FrmMainForm& main = FrmMain.get();
    main.Move(0, 0, 15360, 11520);
    main.Show();
    main.setTag(QStringLiteral("Edit"));
    for (int m = 1; m <= 12; ++m)
        MonthForms(m).get();
    QCoreApplication::processEvents();
    std::printf("Creating the main window and the twelve month windows: %8.1f ms\n", millis(t));

    for (int pass = 1; pass <= 3; ++pass) {
        t.restart();
        ShowMonthWindows();
        QCoreApplication::processEvents();
        std::printf("Filling and drawing all twelve windows (%d items), pass %d: %8.1f ms\n",
                    kItems, pass, millis(t));
    }

    // The item lines alone, after every line was emptied so that each one is written again.
    for (int16_t m = 1; m <= 12; ++m)
        for (int16_t c = kFirstCell; c <= kLastCell; ++c)
            for (int n = 1; n <= 7; ++n)
                MonthForms(m)->LblEV(n)(c).setCaption(QString());
    t.restart();
    for (int16_t m = 1; m <= 12; ++m)
        RedrawMonthCells(m);
    std::printf("Drawing the item lines of all twelve months:               %8.1f ms\n", millis(t));

    // What the user would see: every window painted, labels and background, into a picture.
    t.restart();
    for (int m = 1; m <= 12; ++m)
        MonthForms(m)->window()->grab();
    std::printf("Painting all twelve windows into pictures:                 %8.1f ms\n", millis(t));

    main.setTag(QStringLiteral("Unload"));
    for (int m = 1; m <= 12; ++m)
        MonthForms(m).release();
    FrmMain.release();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
