#pragma once
// What the print module (libmirovanta_print.so, src/modules/print_module.cpp) offers: Qt's
// printers, the list of the system's printers and a printer's own page dialog, the part of
// printing that needs Qt Print Support. The module is loaded when a printer is first used, the
// system's printers are first listed in this process or a PDF printer first prints
// (module_loader.h), so that a start that prints nothing does not map Qt Print Support.

#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;
class QWidget;

namespace rt {

// A Qt printer.
class ModulePrinter {
public:
    virtual ~ModulePrinter() = default;
    // True for a printer that writes a PDF file; false for a printer of the system.
    virtual bool isPdf() const = 0;
    virtual QPageLayout pageLayout() const = 0;
    virtual void setPageLayout(const QPageLayout& layout) = 0;
    virtual void setPageOrientation(QPageLayout::Orientation orientation) = 0;
    virtual void setPageSize(const QPageSize& size) = 0;
    virtual int resolution() const = 0;
    // The papers that the system says the printer takes.
    virtual QList<QPageSize> supportedPageSizes() const = 0;
    // Names the job that prints next, of one copy of all its pages; false when the printer
    // cannot print.
    virtual bool prepareJob(const QString& docName) = 0;
    // What the job's pages are painted on.
    virtual QPagedPaintDevice* device() = 0;
    // True when the printer is in its error state (a job that failed).
    virtual bool failed() const = 0;
    // Qt's page set-up dialog for the printer, modal over parent.
    virtual void editPageSetup(QWidget* parent) = 0;
};

struct PrintModule {
    // A printer of the system by name, at high resolution.
    ModulePrinter* (*systemPrinter)(const QString& name);
    // A printer that writes a PDF file at that resolution, on that page.
    ModulePrinter* (*pdfPrinter)(const QString& file, int dpi, const QPageLayout& layout);
    // The system's printers and its default printer ("" when there is none).
    QStringList (*printerNames)();
    QString (*defaultPrinterName)();
};

// The module's entry: the module's functions, for the life of the process. The printers they
// make are the caller's to delete.
inline constexpr char kPrintModule[] = "print";
inline constexpr char kPrintEntry[] = "mirovanta_print_module";
using PrintModuleEntry = const PrintModule* (*)();

} // namespace rt
