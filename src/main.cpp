// Mirovanta: builds the application object and hands over to the start-up procedure.

#include "core/heap_growth.h"
#include "core/system.h"
#include "platform/application.h"
#include "platform/printers.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
    // A document named on the command line is read on a thread of its own as the program
    // starts: its records are to grow the main heap, as when it is read on the main thread.
    rt::OneHeapForAllThreads();
    rt::Application app(argc, argv);
    rt::SetProgramArguments(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mirovanta"));
    // MIROVANTA_PDF_PRINTER=file.pdf adds a printer that prints into that file, for a machine
    // without a printer.
    const QString pdfFile = qEnvironmentVariable("MIROVANTA_PDF_PRINTER");
    if (!pdfFile.isEmpty()) {
        auto printers = std::make_shared<rt::QtPrinterServices>();
        printers->addVirtualPrinter(rt::makePdfPrinter(QStringLiteral("PDF"), pdfFile));
        rt::setPrinterServices(printers);
    }
    if (!Main()) return 0;
    return QApplication::exec();
}
