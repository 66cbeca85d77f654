#include "printers.h"

#include "core/rt_error.h"
#include "module_loader.h"
#include "print_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPointer>
#include <QProcess>
#include <QThreadPool>
#include <QTimer>
#include <cmath>
#include <dlfcn.h>
#include <langinfo.h>
#include <map>
#include <mutex>

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

void PrintDevice::setPageSize(const QPageSize& size) {
    if (!inDoc_ && size.isValid()) applyPageSize(size);
}

QList<QPageSize> PrintDevice::pageSizes() const {
    return {QPageSize(QPageSize::A4), QPageSize(QPageSize::A3), QPageSize(QPageSize::A5),
            QPageSize(QPageSize::Letter), QPageSize(QPageSize::Legal)};
}

bool PrintDevice::fail(int error) {
    lastError_ = error;
    if (error != ErrJobNotPrinted) lastErrorReason_.clear();
    return false;
}

void PrintDevice::jobNotPrinted(const QString& reason) {
    notPrinted_ = true;
    lastErrorReason_ = reason;
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
    notPrinted_ = false;
    return finish(painter_) || fail(notPrinted_ ? ErrJobNotPrinted : ErrPrinter);
}

void PrintDevice::closeJob() {
    if (inDoc_) endDoc();
    if (painter_.isActive()) painter_.end();
}

// ---- Qt's printers

namespace {
// True when the last request that this thread made to the CUPS server failed, with the
// server's reason. Qt's print support hands a finished job to CUPS inside QPainter::end and
// keeps CUPS's answer to itself (the painter and the printer report success); libcups keeps
// that answer for the thread that asked, which is this one. Without libcups in the process Qt
// printed through something else, and nothing more is known.
bool cupsRefusedLastRequest(QString& reason) {
    void* cups = dlopen("libcups.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (!cups) return false;
    using StatusFn = int (*)();
    using TextFn = const char* (*)();
    const auto status = reinterpret_cast<StatusFn>(dlsym(cups, "cupsLastError"));
    const auto text = reinterpret_cast<TextFn>(dlsym(cups, "cupsLastErrorString"));
    // IPP status codes from 0x0400 on are errors (client or server).
    const bool refused = status && status() >= 0x0400;
    if (refused && text && text()) reason = QString::fromUtf8(text());
    dlclose(cups);
    return refused;
}

// The print module's functions; nullptr when the module cannot be used. From any thread: the
// printer list may be asked from a worker.
const PrintModule* printModule() {
    const auto entry = moduleFunction<PrintModuleEntry>(kPrintModule, kPrintEntry);
    return entry ? entry() : nullptr;
}

} // namespace

QPrinterDevice::QPrinterDevice(const QString& printerName) : name_(printerName) {}

QPrinterDevice::QPrinterDevice(const QString& name, std::unique_ptr<ModulePrinter> printer)
    : name_(name), printer_(std::move(printer)), made_(true) {}

QPrinterDevice::QPrinterDevice(const QString& name, const QString& pdfFile,
                               const QPageLayout& layout, int dpi)
    : name_(name), pdf_(true), pdfFile_(pdfFile), pdfLayout_(layout), pdfDpi_(dpi) {}

QPrinterDevice::~QPrinterDevice() {
    closeJob();
}

ModulePrinter* QPrinterDevice::printer() const {
    if (!made_) {
        made_ = true;
        if (const PrintModule* module = printModule())
            printer_.reset(pdf_ ? module->pdfPrinter(pdfFile_, pdfDpi_, pdfLayout_)
                                : module->systemPrinter(name_));
        if (printer_ && orientationSet_) printer_->setPageOrientation(pendingOrientation_);
    }
    return printer_.get();
}

QPageLayout QPrinterDevice::pageLayout() const {
    if (const ModulePrinter* p = printer()) return p->pageLayout();
    // Without the module: the page asked for, which nothing prints on.
    QPageLayout layout =
        pdf_ ? pdfLayout_ : QPageLayout(localePaperSize(), pendingOrientation_, {});
    if (orientationSet_) layout.setOrientation(pendingOrientation_);
    return layout;
}

int QPrinterDevice::resolution() const {
    constexpr int kWithoutModule = 300;
    if (const ModulePrinter* p = printer()) return p->resolution();
    return pdf_ ? pdfDpi_ : kWithoutModule;
}

QList<QPageSize> QPrinterDevice::pageSizes() const {
    const ModulePrinter* p = printer();
    if (!p || p->isPdf()) return PrintDevice::pageSizes();
    const QList<QPageSize> sizes = p->supportedPageSizes();
    return sizes.isEmpty() ? PrintDevice::pageSizes() : sizes;
}

std::shared_ptr<PrintDevice> QPrinterDevice::duplicate() const {
    if (pdf_) return std::make_shared<QPrinterDevice>(name_, pdfFile_, pageLayout(), resolution());
    const PrintModule* module = made_ ? printModule() : nullptr;
    if (!printer_ || !module) {
        // Not used yet: the copy asks the printing system nothing either.
        auto copy = std::make_shared<QPrinterDevice>(name_);
        copy->pendingOrientation_ = pendingOrientation_;
        copy->orientationSet_ = orientationSet_;
        return copy;
    }
    std::unique_ptr<ModulePrinter> copy(module->systemPrinter(name_));
    copy->setPageLayout(pageLayout());
    return std::make_shared<QPrinterDevice>(name_, std::move(copy));
}

bool QPrinterDevice::hasPageDialog() {
    const ModulePrinter* p = printer();
    return p && !p->isPdf();
}

void QPrinterDevice::showPageDialog(QWidget* parent) {
    if (hasPageDialog()) printer()->editPageSetup(parent);
}

void QPrinterDevice::applyOrientation(QPageLayout::Orientation orientation) {
    if (printer_) {
        printer_->setPageOrientation(orientation);
    } else {
        // Kept until the printer is first used: setting it asks the printing system nothing.
        pendingOrientation_ = orientation;
        orientationSet_ = true;
    }
}

void QPrinterDevice::applyPageSize(const QPageSize& size) {
    if (ModulePrinter* p = printer()) p->setPageSize(size);
}

bool QPrinterDevice::beginDoc(const QString& docName) {
    // One copy of every page: the program sends each copy's pages itself.
    ModulePrinter* p = printer();
    return p && p->prepareJob(docName);
}

// Painting starts with the first page, not with the job: QPainter::begin already makes a page.
bool QPrinterDevice::beginFirstPage(QPainter& painter) {
    return painter.begin(printer()->device());
}
bool QPrinterDevice::beginNextPage(QPainter&) {
    return printer()->device()->newPage();
}

bool QPrinterDevice::finish(QPainter& painter) {
    if (!painter.isActive()) return true;
    const bool system = !printer()->isPdf();
    QString reason;
    if (!painter.end() || printer()->failed() || (system && cupsRefusedLastRequest(reason))) {
        jobNotPrinted(reason);
        return false;
    }
    return true;
}

// ---- Pages as images

ImagePrintDevice::ImagePrintDevice(const QString& name, const QPageLayout& layout, int dpi)
    : name_(name), layout_(layout), dpi_(dpi) {}

ImagePrintDevice::~ImagePrintDevice() {
    closeJob();
}

std::shared_ptr<PrintDevice> ImagePrintDevice::duplicate() const {
    return std::make_shared<ImagePrintDevice>(name_, layout_, dpi_);
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
    if (!RefuseNextJob.isEmpty()) {
        jobNotPrinted(RefuseNextJob);
        RefuseNextJob.clear();
        return false;
    }
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

// What a worker thread shares with the main thread: where to post its answer, while it exists.
struct AskMailbox {
    std::mutex mutex;
    QObject* receiver = nullptr;
};

// Receives the answers of the worker threads and runs the background asks, on the main thread.
class PrinterAsker : public QObject {
public:
    explicit PrinterAsker(std::shared_ptr<AskMailbox> mailbox)
        : QObject(QCoreApplication::instance()), mailbox_(std::move(mailbox)) {
        std::lock_guard lock(mailbox_->mutex);
        mailbox_->receiver = this;
        timer.setSingleShot(false);
        QObject::connect(&timer, &QTimer::timeout, this, [] { askPrintersInBackground(); });
    }
    ~PrinterAsker() override {
        std::lock_guard lock(mailbox_->mutex);
        mailbox_->receiver = nullptr;
    }
    QTimer timer;

private:
    std::shared_ptr<AskMailbox> mailbox_;
};

struct ListState {
    PrinterList known;
    bool asked = false;      // an ask has started since the services were installed
    bool inFlight = false;   // a worker is asking
    uint64_t started = 0;    // the number of the last ask started
    uint64_t answered = 0;   // the number of the ask that gave the known list
    uint64_t generation = 0; // counts the services installed
    int interval = 60 * 1000;
    std::function<void()> handler;
    std::shared_ptr<AskMailbox> mailbox = std::make_shared<AskMailbox>();
    QPointer<PrinterAsker> asker;
};

ListState& listState() {
    static ListState state;
    return state;
}

// The asker of this application; nullptr without an application.
PrinterAsker* asker() {
    ListState& st = listState();
    if (!st.asker && QCoreApplication::instance()) {
        st.asker = new PrinterAsker(st.mailbox);
        st.asker->timer.start(st.interval);
    }
    return st.asker;
}

void restartTimer() {
    if (PrinterAsker* a = asker()) a->timer.start(listState().interval);
}

void forgetDefaultPrinter() {
    auto& device = defaultDevice();
    if (device) releaseDevice(device->hDC());
    device.reset();
}

PrinterList askServices(const PrinterServices& services, bool inBackground = false) {
    PrinterList answer;
    if (std::optional<PrinterList> given =
            inBackground ? services.askedInBackground() : std::nullopt) {
        answer = std::move(*given);
    } else {
        answer.names = services.printerNames();
        answer.defaultName = services.defaultPrinterName();
    }
    if (!answer.names.contains(answer.defaultName)) answer.defaultName = answer.names.value(0);
    return answer;
}

// Takes the answer of ask number `number`, unless a later ask has answered already.
void takeAnswer(const PrinterList& answer, uint64_t number) {
    ListState& st = listState();
    if (number <= st.answered) return;
    st.answered = number;
    if (answer == st.known) return;
    if (answer.defaultName != st.known.defaultName) {
        // The next job opens the new default printer. The old device keeps its handle, which a
        // job or the preview may still hold.
        defaultDevice().reset();
    }
    st.known = answer;
    if (st.handler) st.handler();
}
} // namespace

PrinterServices& printers() {
    return *current();
}

std::shared_ptr<PrinterServices> setPrinterServices(std::shared_ptr<PrinterServices> services) {
    auto previous = current();
    current() = services ? std::move(services) : std::make_shared<QtPrinterServices>();
    forgetDefaultPrinter();
    ListState& st = listState();
    ++st.generation;
    st.inFlight = false; // an answer of the previous services is dropped when it comes
    if (current()->askableInBackground()) {
        // Asked when the list is next read: asking loads the printing system's libraries,
        // which a run that never reads the list does without.
        st.asked = false;
        takeAnswer(PrinterList{}, ++st.started);
    } else {
        st.asked = true;
        askPrinters();
    }
    return previous;
}

const PrinterList& knownPrinters() {
    ListState& st = listState();
    if (!st.asked) {
        st.asked = true;
        askPrintersInBackground();
    }
    return st.known;
}

void askPrinters() {
    ListState& st = listState();
    st.asked = true;
    const uint64_t number = ++st.started;
    takeAnswer(askServices(*current()), number);
    restartTimer();
}

void askPrintersInBackground() {
    ListState& st = listState();
    st.asked = true;
    if (st.inFlight) return;
    const std::shared_ptr<PrinterServices> services = current();
    if (!services->askableInBackground() || !asker()) {
        askPrinters();
        return;
    }
    st.inFlight = true;
    const uint64_t number = ++st.started;
    const uint64_t generation = st.generation;
    const std::shared_ptr<AskMailbox> mailbox = st.mailbox;
    QThreadPool::globalInstance()->start([services, number, generation, mailbox] {
        const PrinterList answer = askServices(*services, true);
        std::lock_guard lock(mailbox->mutex);
        if (!mailbox->receiver) return;
        QMetaObject::invokeMethod(
            mailbox->receiver,
            [answer, number, generation] {
                ListState& st = listState();
                if (generation != st.generation) return;
                st.inFlight = false;
                takeAnswer(answer, number);
            },
            Qt::QueuedConnection);
    });
}

void setPrinterAskInterval(int milliseconds) {
    listState().interval = milliseconds;
    restartTimer();
}

void setPrinterListHandler(std::function<void()> handler) {
    listState().handler = std::move(handler);
}

int PrintersCount() {
    return int(knownPrinters().names.size());
}

std::shared_ptr<PrintDevice> defaultPrinter() {
    auto& device = defaultDevice();
    if (device) return device;
    const PrinterList& list = knownPrinters();
    if (list.names.isEmpty()) return nullptr;
    device = printers().openPrinter(list.defaultName);
    registerDevice(device);
    return device;
}

QtPrinterServices::QtPrinterServices() : listProgram_(printerListProgram()) {}

std::optional<PrinterList> QtPrinterServices::askedInBackground() const {
    if (loadedHere_ || listProgram_.isEmpty()) return std::nullopt;
    std::optional<PrinterList> list = printersListedBy(listProgram_);
    if (!list) return std::nullopt;
    return PrinterList{withVirtualPrinters(list->names), orFirstVirtualPrinter(list->defaultName)};
}

QStringList QtPrinterServices::printerNames() const {
    loadedHere_ = true;
    const PrintModule* module = printModule();
    return withVirtualPrinters(module ? module->printerNames() : QStringList());
}

QString QtPrinterServices::defaultPrinterName() const {
    loadedHere_ = true;
    const PrintModule* module = printModule();
    return orFirstVirtualPrinter(module ? module->defaultPrinterName() : QString());
}

QStringList QtPrinterServices::withVirtualPrinters(QStringList names) const {
    for (const auto& device : virtual_)
        names << device->name();
    return names;
}

QString QtPrinterServices::orFirstVirtualPrinter(const QString& name) const {
    return !name.isEmpty() || virtual_.empty() ? name : virtual_.front()->name();
}

std::shared_ptr<PrintDevice> QtPrinterServices::openPrinter(const QString& name) {
    for (const auto& device : virtual_)
        if (device->name() == name) return device;
    if (!knownPrinters().names.contains(name)) return nullptr;
    loadedHere_ = true;
    return std::make_shared<QPrinterDevice>(name);
}

QString printerListProgram() {
    for (const QString& folder : moduleFolders()) {
        const QFileInfo program(QDir(folder).filePath(QStringLiteral("mirovanta-printers")));
        if (program.isFile() && program.isExecutable()) return program.filePath();
    }
    return {};
}

std::optional<PrinterList> printersListedBy(const QString& program) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, {});
    // A print server may be slow; one that has not answered in a minute is not waited for.
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished(5000);
        return std::nullopt;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return std::nullopt;
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    if (!out.endsWith(u'\n')) return std::nullopt;
    QStringList lines = out.split(u'\n');
    lines.removeLast();
    PrinterList list;
    list.defaultName = lines.takeFirst();
    for (const QString& name : lines)
        if (!name.isEmpty()) list.names << name;
    return list;
}

void QtPrinterServices::addVirtualPrinter(std::shared_ptr<PrintDevice> device) {
    if (device) virtual_.push_back(std::move(device));
}

QPageSize localePaperSize() {
#ifdef _NL_PAPER_WIDTH
    // glibc gives the paper's millimetres as numbers in the place of the text.
    union {
        const char* text;
        unsigned int millimetres;
    } width{}, height{};
    width.text = nl_langinfo(_NL_PAPER_WIDTH);
    height.text = nl_langinfo(_NL_PAPER_HEIGHT);
    if (width.millimetres > 0 && height.millimetres > 0 && width.millimetres < 10000 &&
        height.millimetres < 10000)
        return QPageSize(QSizeF(width.millimetres, height.millimetres), QPageSize::Millimeter);
#endif
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                : QPageSize::A4);
}

std::shared_ptr<QPrinterDevice> makePdfPrinter(const QString& name, const QString& pdfFile,
                                               int orientation, int dpi) {
    const QPageLayout layout(localePaperSize(),
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
