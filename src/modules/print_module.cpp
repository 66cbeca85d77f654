// The print module: Qt's printers and the system's printer list through Qt Print Support
// (platform/print_module.h).

#include "platform/print_module.h"

#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <memory>

namespace {

class QtModulePrinter : public rt::ModulePrinter {
public:
    explicit QtModulePrinter(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {}

    bool isPdf() const override { return printer_->outputFormat() == QPrinter::PdfFormat; }
    QPageLayout pageLayout() const override { return printer_->pageLayout(); }
    void setPageLayout(const QPageLayout& layout) override { printer_->setPageLayout(layout); }
    void setPageOrientation(QPageLayout::Orientation orientation) override {
        printer_->setPageOrientation(orientation);
    }
    void setPageSize(const QPageSize& size) override { printer_->setPageSize(size); }
    int resolution() const override { return printer_->resolution(); }
    QList<QPageSize> supportedPageSizes() const override {
        return QPrinterInfo(*printer_).supportedPageSizes();
    }
    bool prepareJob(const QString& docName) override {
        printer_->setDocName(docName);
        printer_->setCopyCount(1);
        printer_->setPrintRange(QPrinter::AllPages);
        return printer_->isValid();
    }
    QPagedPaintDevice* device() override { return printer_.get(); }
    bool failed() const override { return printer_->printerState() == QPrinter::Error; }
    void editPageSetup(QWidget* parent) override {
        QPageSetupDialog dialog(printer_.get(), parent);
        dialog.exec();
    }

private:
    std::unique_ptr<QPrinter> printer_;
};

rt::ModulePrinter* systemPrinter(const QString& name) {
    return new QtModulePrinter(
        std::make_unique<QPrinter>(QPrinterInfo::printerInfo(name), QPrinter::HighResolution));
}

rt::ModulePrinter* pdfPrinter(const QString& file, int dpi, const QPageLayout& layout) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    printer->setResolution(dpi);
    printer->setPageLayout(layout);
    return new QtModulePrinter(std::move(printer));
}

QStringList printerNames() {
    return QPrinterInfo::availablePrinterNames();
}

QString defaultPrinterName() {
    return QPrinterInfo::defaultPrinterName();
}

const rt::PrintModule kModule{systemPrinter, pdfPrinter, printerNames, defaultPrinterName};

} // namespace

extern "C" Q_DECL_EXPORT const rt::PrintModule* mirovanta_print_module() {
    return &kModule;
}
static_assert(std::is_same_v<decltype(&mirovanta_print_module), rt::PrintModuleEntry>);
