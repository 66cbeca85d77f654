#include "print_run.h"

#include "api_printer.h"
#include "core/numeric.h"
#include "core/resources.h"
#include "core/ui_services.h"
#include "document/doc_state.h"
#include "document/doc_views.h"
#include "month_page.h"
#include "platform/printers.h"
#include "print_preview.h"
#include "services/main_window.h"
#include "services/settings.h"
#include "services/shell_services.h"

#include <memory>

QString PrintDocumentName() {
    return QStringLiteral("Mirovanta v") + AppVersion + QStringLiteral(" - ") +
           (CurDoc.FileName.isEmpty() ? rt::LoadResString(540) : CurDoc.FileName);
}

QString PrintPageStatus(int32_t Page, int32_t Total) {
    const QString pattern = QStringLiteral("0#");
    return rt::LoadResString(10044) + u' ' + rt::FormatNumber(Page, pattern) + u' ' +
           rt::LoadResString(10045) + u' ' + rt::FormatNumber(Total, pattern) +
           QStringLiteral(" ...");
}

int32_t PrintPageTotal() {
    int32_t months = 0;
    for (int m = 1; m <= 12; ++m)
        if (Settings.PrintMonths(m) != 0) ++months;
    return int32_t(Settings.PrintCopies) * months;
}

ImageItem CalendarPrintJob() {
    ImageItem job;
    job.Picture = rt::Picture::empty();
    return job;
}

void PrintCalendar(bool FromPreview, const ImageItem& Job) {
    // The printers as they are now, not as last asked: the user waits for the print anyway.
    rt::askPrinters();
    int32_t device = 0;
    if (!CheckPrinter(device)) {
        rt::DoEvents();
        return;
    }
    auto engine = std::make_unique<cmAPIPrinter>();
    const QString docName = PrintDocumentName();

    // The status on the window that started the run.
    rt::Label* status = nullptr;
    if (FromPreview) {
        FrmPrintPrevForm& preview = FrmPrintPrev.get();
        preview.LblPrinting(0).setCaption(rt::LoadResString(1509));
        preview.PicPrinting.setVisible(true);
        preview.PicPage(0).setVisible(false);
        status = &preview.LblPrinting(1);
    } else {
        // The main window's loading view; the window is created when there is none.
        rt::Label& heading = mainWindow().LoadingLabel(0);
        if (views().AppState() != QLatin1String("Load")) views().SetMainMode(2);
        heading.setCaption(rt::LoadResString(1509));
        status = &mainWindow().LoadingLabel(1);
    }
    rt::DoEvents();

    if (engine->cmPrt_DocStart(device, docName, 1, 1.0f,
                               mainWindow().WorkPicture(WorkPictureKind::PrintPage),
                               mainWindow().WorkPicture(WorkPictureKind::PrintPageScratch))) {
        if (Job.FileName.isEmpty()) {
            // Collated copies: the chosen months of the first copy, then of the second...
            const int32_t total = PrintPageTotal();
            int32_t page = 1;
            for (int copy = 1; copy <= Settings.PrintCopies; ++copy) {
                for (int16_t m = 1; m <= 12; ++m) {
                    if (Settings.PrintMonths(m) == 0) continue;
                    status->setCaption(PrintPageStatus(page, total));
                    rt::DoEvents();
                    engine->cmPrinter_PageStart();
                    PrintMonthPage(*engine, m, Job);
                    engine->cmPrinter_PageEnd();
                    ++page;
                }
            }
        } else {
            status->setCaption(PrintPageStatus(1, 1));
            rt::DoEvents();
            engine->cmPrinter_PageStart();
            PrintMonthPage(*engine, 0, Job);
            engine->cmPrinter_PageEnd();
        }
    }
    if (device != 0) engine->cmPrt_DocEnd();

    if (FromPreview) {
        FrmPrintPrevForm& preview = FrmPrintPrev.get();
        preview.PicPrinting.setVisible(false);
        preview.PicPage(0).setVisible(true);
        preview.LblPrinting(1).setCaption(QString());
    } else if (views().AppState() != QLatin1String("Edit")) {
        views().SetMainMode(1);
    }
    rt::DoEvents();
    engine.reset();
}

void ShowPrintPreview(const ImageItem& Job) {
    rt::askPrinters();
    mainWindow().SetNavPanel(false, true);
    // The preview sets the pointer back once it has drawn its page.
    rt::SetHourglass(true);
    rt::DoEvents();
    Exchange.PrintJob = Job;
    FrmPrintPrev->Show(rt::vbModal);
    FrmPrintPrev.release();
    // A preview closed before it drew its first page leaves no hourglass behind.
    rt::SetHourglass(false);
    rt::DoEvents();
    mainWindow().UpdateMainControls(false);
    Exchange.PrintJob = CalendarPrintJob();
}
