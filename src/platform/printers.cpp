#include "printers.h"

#include "core/rt_error.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>
#include <map>

namespace rt {

// ---- Devices

PrintDevice::~PrintDevice() = default;

int PrintDevice::orientation() const {
    return pageLayout().orientation() == QPageLayout::Landscape ? cdlLandscape : cdlPortrait;
}

void PrintDevice::setOrientation(int orientation) {
    if (inDoc_) return; // the pages of a job keep one orientation
    if (orientation == cdlPortrait)
        applyOrientation(QPageLayout::Portrait);
    else if (orientation == cdlLandscape)
        applyOrientation(QPageLayout::Landscape);
}

QRect PrintDevice::paperRect() const {
    return pageLayout().fullRectPixels(resolution());
}
QRect PrintDevice::printableRect() const {
    return pageLayout().paintRectPixels(resolution());
}

bool PrintDevice::fail(int error) {
    lastError_ = error;
    return false;
}

bool PrintDevice::startDoc(const QString& docName) {
    if (inDoc_) return fail(ErrInvalidCall);
    if (!beginDoc(docName)) return fail(ErrPrinter);
    inDoc_ = true;
    inPage_ = false;
    pages_ = 0;
    return true;
}

bool PrintDevice::startPage() {
    if (!inDoc_ || inPage_) return fail(ErrInvalidCall);
    if (!(pages_ == 0 ? beginFirstPage(painter_) : beginNextPage(painter_)))
        return fail(ErrPrinter);
    inPage_ = true;
    ++pages_;
    return true;
}

QPainter* PrintDevice::painter() {
    return inPage_ ? &painter_ : nullptr;
}

bool PrintDevice::endPage() {
    if (!inPage_) return fail(ErrInvalidCall);
    inPage_ = false;
    return endCurrentPage() || fail(ErrPrinter);
}

bool PrintDevice::endDoc() {
    if (!inDoc_) return fail(ErrInvalidCall);
    inDoc_ = false;
    inPage_ = false;
    return finish(painter_) || fail(ErrPrinter);
}

void PrintDevice::closeJob() {
    if (inDoc_) endDoc();
    if (painter_.isActive()) painter_.end();
}

// ---- QPrinter

QPrinterDevice::QPrinterDevice(const QString& printerName)
    : name_(printerName), printer_(std::make_unique<QPrinter>(
                              QPrinterInfo::printerInfo(printerName), QPrinter::HighResolution)) {}

QPrinterDevice::QPrinterDevice(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {
    name_ =
        printer_->outputFileName().isEmpty() ? printer_->printerName() : printer_->outputFileName();
}

QPrinterDevice::QPrinterDevice(const QString& name, const QString& pdfFile,
                               const QPageLayout& layout, int dpi)
    : name_(name), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(pdfFile);
    printer_->setResolution(dpi);
    printer_->setPageLayout(layout);
}

QPrinterDevice::~QPrinterDevice() {
    closeJob();
}

QPageLayout QPrinterDevice::pageLayout() const {
    return printer_->pageLayout();
}
int QPrinterDevice::resolution() const {
    return printer_->resolution();
}

void QPrinterDevice::applyOrientation(QPageLayout::Orientation orientation) {
    printer_->setPageOrientation(orientation);
}

bool QPrinterDevice::beginDoc(const QString& docName) {
    printer_->setDocName(docName);
    return printer_->isValid();
}

// Painting starts with the first page, not with the job: QPainter::begin already makes a page.
bool QPrinterDevice::beginFirstPage(QPainter& painter) {
    return painter.begin(printer_.get());
}
bool QPrinterDevice::beginNextPage(QPainter&) {
    return printer_->newPage();
}

bool QPrinterDevice::finish(QPainter& painter) {
    return painter.isActive() ? painter.end() : true;
}

// ---- Pages as images

ImagePrintDevice::ImagePrintDevice(const QString& name, const QPageLayout& layout, int dpi)
    : name_(name), layout_(layout), dpi_(dpi) {}

ImagePrintDevice::~ImagePrintDevice() {
    closeJob();
}

bool ImagePrintDevice::failNow() {
    const bool fail = FailNextStep;
    FailNextStep = false;
    return fail;
}

void ImagePrintDevice::applyOrientation(QPageLayout::Orientation orientation) {
    layout_.setOrientation(orientation);
}

bool ImagePrintDevice::beginDoc(const QString& docName) {
    if (failNow()) return false;
    docName_ = docName;
    return true;
}

bool ImagePrintDevice::newPage(QPainter& painter) {
    if (failNow()) return false;
    if (painter.isActive()) painter.end();
    QImage page(paperRect().size(), QImage::Format_RGB32);
    page.fill(Qt::white);
    const int dotsPerMeter = int(std::lround(dpi_ / 0.0254));
    page.setDotsPerMeterX(dotsPerMeter);
    page.setDotsPerMeterY(dotsPerMeter);
    pages_.push_back(page);
    if (!painter.begin(&pages_.back())) return false;
    // As on a printer: the origin at the printable area, nothing drawn outside it.
    const QRect printable = printableRect();
    painter.translate(printable.topLeft());
    painter.setClipRect(QRect(QPoint(0, 0), printable.size()));
    return true;
}

bool ImagePrintDevice::finish(QPainter& painter) {
    if (painter.isActive()) painter.end();
    if (failNow()) return false;
    ++jobsEnded_;
    return true;
}

// ---- Handles

namespace {
std::map<int32_t, std::shared_ptr<PrintDevice>>& handleTable() {
    static std::map<int32_t, std::shared_ptr<PrintDevice>> table;
    return table;
}

std::shared_ptr<PrintDevice>& defaultDevice() {
    static std::shared_ptr<PrintDevice> device;
    return device;
}
} // namespace

int32_t registerDevice(const std::shared_ptr<PrintDevice>& device) {
    if (!device) return 0;
    auto& table = handleTable();
    if (device->hdc_ != 0 && table.count(device->hdc_)) return device->hdc_;
    static int32_t next = 0x10000;
    device->hdc_ = next++;
    table[device->hdc_] = device;
    return device->hdc_;
}

std::shared_ptr<PrintDevice> deviceFromHandle(int32_t hDC) {
    auto& table = handleTable();
    const auto it = table.find(hDC);
    return it == table.end() ? nullptr : it->second;
}

void releaseDevice(int32_t hDC) {
    auto& table = handleTable();
    const auto it = table.find(hDC);
    if (it == table.end()) return;
    it->second->hdc_ = 0;
    table.erase(it);
}

int GetDeviceCaps(int32_t hDC, int index) {
    const auto device = deviceFromHandle(hDC);
    if (!device) return 0;
    const QRect paper = device->paperRect();
    const QRect printable = device->printableRect();
    const int dpi = device->resolution();
    switch (index) {
    case HORZSIZE:
        return dpi > 0 ? int(std::lround(printable.width() * 25.4 / dpi)) : 0;
    case VERTSIZE:
        return dpi > 0 ? int(std::lround(printable.height() * 25.4 / dpi)) : 0;
    case HORZRES:
        return printable.width();
    case VERTRES:
        return printable.height();
    case LOGPIXELSX:
    case LOGPIXELSY:
        return dpi;
    case PHYSICALWIDTH:
        return paper.width();
    case PHYSICALHEIGHT:
        return paper.height();
    case PHYSICALOFFSETX:
        return printable.left();
    case PHYSICALOFFSETY:
        return printable.top();
    default:
        return 0;
    }
}

// ---- The collection

namespace {
std::shared_ptr<PrinterServices>& current() {
    static std::shared_ptr<PrinterServices> instance = std::make_shared<QtPrinterServices>();
    return instance;
}

void forgetDefaultPrinter() {
    auto& device = defaultDevice();
    if (device) releaseDevice(device->hDC());
    device.reset();
}
} // namespace

PrinterServices& printers() {
    return *current();
}

std::shared_ptr<PrinterServices> setPrinterServices(std::shared_ptr<PrinterServices> services) {
    auto previous = current();
    current() = services ? std::move(services) : std::make_shared<QtPrinterServices>();
    forgetDefaultPrinter();
    return previous;
}

int PrintersCount() {
    return int(printers().printerNames().size());
}

std::shared_ptr<PrintDevice> defaultPrinter() {
    auto& device = defaultDevice();
    if (device) return device;
    const QStringList names = printers().printerNames();
    if (names.isEmpty()) return nullptr;
    QString name = printers().defaultPrinterName();
    if (!names.contains(name)) name = names.first();
    device = printers().openPrinter(name);
    registerDevice(device);
    return device;
}

QStringList QtPrinterServices::printerNames() const {
    QStringList names = QPrinterInfo::availablePrinterNames();
    for (const auto& device : virtual_)
        names << device->name();
    return names;
}

QString QtPrinterServices::defaultPrinterName() const {
    const QStringList names = printerNames();
    const QString name = QPrinterInfo::defaultPrinterName();
    return names.contains(name) ? name : names.value(0);
}

std::shared_ptr<PrintDevice> QtPrinterServices::openPrinter(const QString& name) {
    for (const auto& device : virtual_)
        if (device->name() == name) return device;
    if (!QPrinterInfo::availablePrinterNames().contains(name)) return nullptr;
    return std::make_shared<QPrinterDevice>(name);
}

void QtPrinterServices::addVirtualPrinter(std::shared_ptr<PrintDevice> device) {
    if (device) virtual_.push_back(std::move(device));
}

std::shared_ptr<QPrinterDevice> makePdfPrinter(const QString& name, const QString& pdfFile,
                                               int orientation, int dpi) {
    const QPageLayout layout(QPageSize(QPageSize::Letter),
                             orientation == cdlLandscape ? QPageLayout::Landscape
                                                         : QPageLayout::Portrait,
                             QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
    return std::make_shared<QPrinterDevice>(name, pdfFile, layout, dpi);
}

// ---- Device calls by handle

namespace {
int32_t& lastErrorCode() {
    static int32_t code = 0;
    return code;
}

// The result of a device call: 1 on success, else 0 with the failure kept.
int32_t result(const std::shared_ptr<PrintDevice>& device, bool ok) {
    if (ok) return 1;
    lastErrorCode() = device && device->lastError() != 0 ? device->lastError() : ErrInvalidCall;
    return 0;
}
} // namespace

int32_t StartDoc(int32_t hDC, const QString& docName) {
    const auto device = deviceFromHandle(hDC);
    if (!device || !device->startDoc(docName)) return result(device, false);
    static int32_t jobs = 0;
    return ++jobs;
}

int32_t StartPage(int32_t hDC) {
    const auto device = deviceFromHandle(hDC);
    return result(device, device && device->startPage());
}

int32_t EndPage(int32_t hDC) {
    const auto device = deviceFromHandle(hDC);
    return result(device, device && device->endPage());
}

int32_t EndDoc(int32_t hDC) {
    const auto device = deviceFromHandle(hDC);
    return result(device, device && device->endDoc());
}

int32_t GetLastError() {
    return lastErrorCode();
}

bool StretchBlt(int32_t hDC, int x, int y, int w, int h, const QImage& bitmap, int sx, int sy,
                int sw, int sh) {
    const auto device = deviceFromHandle(hDC);
    QPainter* painter = device ? device->painter() : nullptr;
    if (!painter || bitmap.isNull()) return false;
    painter->drawImage(QRect(x, y, w, h), bitmap, QRect(sx, sy, sw, sh));
    return true;
}

} // namespace rt
