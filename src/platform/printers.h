#pragma once
// Printers: the collection of installed printers, the default printer, and devices to draw
// pages on, known to callers by a 32-bit handle (a "device context"). One replaceable
// collection: the program uses the system's printers, tests a scripted one (see
// tests/support/scripted_services.h) whose printers keep their pages as images.

#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace rt {

class ModulePrinter;

// Orientation values as the callers give them.
enum PrinterOrientation : int { cdlPortrait = 1, cdlLandscape = 2 };

// The failure of a job that the printer or the printing system refused, or could not take:
// its pages were not printed. The string table holds its French text under the same number.
constexpr int32_t ErrJobNotPrinted = 10169;

// A device to print on. Pages are drawn in device pixels with the origin at the top-left
// corner of the printable area. A job runs startDoc, then startPage/endPage for each page,
// then endDoc; a job without a page produces no output at all.
class PrintDevice {
public:
    virtual ~PrintDevice();

    virtual QString name() const = 0;
    // The page as set now: paper, margins (the unprintable edges) and orientation.
    virtual QPageLayout pageLayout() const = 0;
    // Dots per inch, across and down.
    virtual int resolution() const = 0;
    int orientation() const;
    void setOrientation(int orientation); // cdlPortrait or cdlLandscape; refused during a job

    // Paper and printable area in device pixels (the printable area relative to the paper).
    QRect paperRect() const;
    QRect printableRect() const;

    bool startDoc(const QString& docName);
    bool startPage();
    // The painter of the current page; nullptr outside a page.
    QPainter* painter();
    bool endPage();
    bool endDoc();
    bool inDoc() const { return inDoc_; }
    int pagesStarted() const { return pages_; }
    // The number of the last failure (never 0 after one), 0 when none, and the printing
    // system's own words on it when it gave some.
    int lastError() const { return lastError_; }
    QString lastErrorReason() const { return lastErrorReason_; }

    // For a printer set-up: the file the device prints into ("" for a printer); the paper
    // sizes it offers; a new device on the same printer with the same page, unregistered, to
    // set up without touching this one.
    virtual QString outputFile() const { return {}; }
    virtual QList<QPageSize> pageSizes() const;
    virtual std::shared_ptr<PrintDevice> duplicate() const = 0;
    void setPageSize(const QPageSize& size); // refused during a job
    // True for a printer of the system, which has a page dialog of its own; showPageDialog
    // opens it, modal over parent.
    virtual bool hasPageDialog() { return false; }
    virtual void showPageDialog(QWidget* /*parent*/) {}

    // The handle under which the device is known, 0 until it is registered.
    int32_t hDC() const { return hdc_; }

protected:
    virtual void applyOrientation(QPageLayout::Orientation orientation) = 0;
    virtual void applyPageSize(const QPageSize& size) = 0;
    // Each step of a job; false on failure.
    virtual bool beginDoc(const QString& docName) = 0;
    virtual bool beginFirstPage(QPainter& painter) = 0; // starts painting on the device
    virtual bool beginNextPage(QPainter& painter) = 0;
    virtual bool endCurrentPage() { return true; }
    virtual bool finish(QPainter& painter) = 0; // ends painting, if it began
    // Called by finish when the job was refused or lost on its way: endDoc then fails with
    // ErrJobNotPrinted.
    void jobNotPrinted(const QString& reason);
    // Ends a job left open; derived classes call it in their destructor, while the device the
    // painter works on still exists.
    void closeJob();

private:
    bool fail(int error);
    friend int32_t registerDevice(const std::shared_ptr<PrintDevice>& device);
    friend void releaseDevice(int32_t hDC);

    QPainter painter_;
    bool inDoc_ = false;
    bool inPage_ = false;
    int pages_ = 0;
    int lastError_ = 0;
    QString lastErrorReason_;
    bool notPrinted_ = false;
    int32_t hdc_ = 0;
};

// A printer of the system, or a PDF file, through Qt's printer (QPrinter, in the print module:
// print_module.h). Each job prints one copy of its pages, all of them: the copies are the pages
// the program sends. A job that the printing system (CUPS) refuses or fails fails at endDoc
// with ErrJobNotPrinted. Without the module no job prints (each fails at startDoc).
class QPrinterDevice : public PrintDevice {
public:
    // A printer of the system by name. Nothing is asked of the printing system until the
    // device is first used (its page, its resolution or a job).
    explicit QPrinterDevice(const QString& printerName);
    // A printer of that name set up elsewhere (the printer set-up).
    QPrinterDevice(const QString& name, std::unique_ptr<ModulePrinter> printer);
    // A virtual printer that writes the pages into a PDF file. Its Qt printer is made when
    // the device is first used, as a printer of the system's is.
    QPrinterDevice(const QString& name, const QString& pdfFile, const QPageLayout& layout, int dpi);
    ~QPrinterDevice() override;

    QString name() const override { return name_; }
    QPageLayout pageLayout() const override;
    int resolution() const override;
    QString outputFile() const override { return pdfFile_; }
    QList<QPageSize> pageSizes() const override;
    std::shared_ptr<PrintDevice> duplicate() const override;
    bool hasPageDialog() override;
    void showPageDialog(QWidget* parent) override;

protected:
    void applyOrientation(QPageLayout::Orientation orientation) override;
    void applyPageSize(const QPageSize& size) override;
    bool beginDoc(const QString& docName) override;
    bool beginFirstPage(QPainter& painter) override;
    bool beginNextPage(QPainter& painter) override;
    bool finish(QPainter& painter) override;

private:
    // The Qt printer, made on first use; nullptr without the print module.
    ModulePrinter* printer() const;

    QString name_;
    bool pdf_ = false;
    QString pdfFile_;
    QPageLayout pdfLayout_;
    int pdfDpi_ = 0;
    mutable std::unique_ptr<ModulePrinter> printer_;
    mutable bool made_ = false;
    QPageLayout::Orientation pendingOrientation_ = QPageLayout::Portrait;
    bool orientationSet_ = false;
};

// A printer whose pages are kept as images of the whole paper (white where nothing was drawn):
// exact pixels and page counts for tests.
class ImagePrintDevice : public PrintDevice {
public:
    ImagePrintDevice(const QString& name, const QPageLayout& layout, int dpi);
    ~ImagePrintDevice() override;

    QString name() const override { return name_; }
    QPageLayout pageLayout() const override { return layout_; }
    int resolution() const override { return dpi_; }

    // The pages of the jobs ended so far and of the job running, in order.
    const std::vector<QImage>& pages() const { return pages_; }
    QString docName() const { return docName_; }
    int jobsEnded() const { return jobsEnded_; }
    std::shared_ptr<PrintDevice> duplicate() const override;
    // Makes the next startDoc, startPage, endPage or endDoc fail (tests of failure roads).
    bool FailNextStep = false;
    // Makes the next job end as one the printing system refused, for that reason.
    QString RefuseNextJob;

protected:
    void applyOrientation(QPageLayout::Orientation orientation) override;
    void applyPageSize(const QPageSize& size) override { layout_.setPageSize(size); }
    bool beginDoc(const QString& docName) override;
    bool beginFirstPage(QPainter& painter) override { return newPage(painter); }
    bool beginNextPage(QPainter& painter) override { return newPage(painter); }
    bool endCurrentPage() override { return !failNow(); }
    bool finish(QPainter& painter) override;

private:
    bool newPage(QPainter& painter);
    bool failNow();

    QString name_;
    QPageLayout layout_;
    int dpi_;
    std::vector<QImage> pages_;
    QString docName_;
    int jobsEnded_ = 0;
};

// The installed printers, as one answer.
struct PrinterList {
    QStringList names;
    QString defaultName; // one of names, "" when there is no printer
    bool operator==(const PrinterList& other) const = default;
};

// The installed printers. printerNames and defaultPrinterName ask afresh each time.
class PrinterServices {
public:
    virtual ~PrinterServices() = default;
    virtual QStringList printerNames() const = 0;
    // The name of the default printer; "" when there is no printer.
    virtual QString defaultPrinterName() const = 0;
    // A device for the printer of that name; nullptr when there is none.
    virtual std::shared_ptr<PrintDevice> openPrinter(const QString& name) = 0;

    // True when the services may be asked from a worker thread, as the system's printers are;
    // others are asked on the main thread.
    virtual bool askableInBackground() const { return false; }
    // The answer of a background ask when the services give it by other means than the two
    // calls above; nullopt to be asked through them.
    virtual std::optional<PrinterList> askedInBackground() const { return std::nullopt; }
};

PrinterServices& printers();
// Installs new services; returns the previous ones. nullptr restores the system's printers.
// Services asked in the background (the system's) are asked when the list is next read
// (knownPrinters), which reads the empty list until they answer; others are asked at once. The
// default printer device (below) is forgotten.
std::shared_ptr<PrinterServices> setPrinterServices(std::shared_ptr<PrinterServices> services);

// ---- The printer list, as last asked
// A print server may take seconds to answer, so the list is asked at chosen times only: when
// it is first read, when the user prints, previews or opens the printing options
// (askPrinters), and from then on once a minute in the background. Whatever enables commands
// reads the last answer (knownPrinters), which costs nothing.

// The last answer. The first read, before any ask, starts the asking in the background and
// reads the empty list.
const PrinterList& knownPrinters();
// Asks the printer services now and waits for their answer.
void askPrinters();
// Asks without waiting: in a worker thread when the services allow it; the answer replaces
// the known list on the main thread, unless a later ask has answered first. One ask at a time.
void askPrintersInBackground();
// The interval of the background asks, a minute unless told otherwise (tests).
void setPrinterAskInterval(int milliseconds);
// Called on the main thread after each answer that differs from the last one.
void setPrinterListHandler(std::function<void()> handler);

// The number of installed printers (the printer collection's Count), by the last answer.
int PrintersCount();
// The default printer of the last answer, opened once and registered (it keeps one handle for
// the run, or until the printer services or the default printer change); nullptr when there is
// no printer.
std::shared_ptr<PrintDevice> defaultPrinter();

// Device handles. A registered device keeps its handle, never 0, until it is released.
int32_t registerDevice(const std::shared_ptr<PrintDevice>& device);
// The device of a handle; nullptr for 0 or an unknown handle.
std::shared_ptr<PrintDevice> deviceFromHandle(int32_t hDC);
void releaseDevice(int32_t hDC);

// Device facts by their classic index numbers; 0 for an unknown handle or index.
enum DeviceCapsIndex : int {
    HORZSIZE = 4,        // printable width in whole millimetres
    VERTSIZE = 6,        // printable height in whole millimetres
    HORZRES = 8,         // printable width in pixels
    VERTRES = 10,        // printable height in pixels
    LOGPIXELSX = 88,     // dots per inch across
    LOGPIXELSY = 90,     // dots per inch down
    PHYSICALWIDTH = 110, // paper width in pixels
    PHYSICALHEIGHT = 111,
    PHYSICALOFFSETX = 112, // left edge of the printable area in pixels
    PHYSICALOFFSETY = 113,
};
int GetDeviceCaps(int32_t hDC, int index);

// The system's printers through Qt Print Support, and virtual printers added to them (a PDF
// file printer where no printer is installed). The default printer is the system's, or the
// first virtual printer when the system has none.
// The system's printers. Asked in the background, they are asked of the program that lists them
// (printerListProgram) while this process has not loaded the printing system's libraries
// itself (by a print, a preview or the printing options); otherwise, or when that program
// fails, through Qt here.
class QtPrinterServices : public PrinterServices {
public:
    QtPrinterServices();
    QStringList printerNames() const override;
    QString defaultPrinterName() const override;
    // The printers of the last answer only: opening one asks nothing yet.
    std::shared_ptr<PrintDevice> openPrinter(const QString& name) override;
    bool askableInBackground() const override { return true; }
    std::optional<PrinterList> askedInBackground() const override;

    // Adds a printer that the collection contains besides the system's; before the services
    // are installed, since they are then asked from a worker thread.
    void addVirtualPrinter(std::shared_ptr<PrintDevice> device);

private:
    // The system's printers, then the virtual ones; the system's default, else the first
    // virtual printer.
    QStringList withVirtualPrinters(QStringList names) const;
    QString orFirstVirtualPrinter(const QString& name) const;

    std::vector<std::shared_ptr<PrintDevice>> virtual_;
    QString listProgram_;
    mutable std::atomic<bool> loadedHere_{false}; // the printing libraries are in this process
};

// The program that lists the system's printers ("mirovanta-printers" in the modules' folders,
// module_loader.h); "" when there is none.
QString printerListProgram();
// The printers as that program lists them; nullopt when it cannot be run or fails. Waits for it.
std::optional<PrinterList> printersListedBy(const QString& program);

// The paper of the user's locale (LC_PAPER): A4 under French.
QPageSize localePaperSize();

// A virtual printer that writes each job into one PDF file (a job without a page writes
// nothing): the locale's paper, margins of a quarter inch, 600 dots per inch unless told
// otherwise.
std::shared_ptr<QPrinterDevice> makePdfPrinter(const QString& name, const QString& pdfFile,
                                               int orientation = cdlPortrait, int dpi = 600);

// ---- The device calls of a print job, by handle ----
// Each returns a value below 1 on failure (StartDoc: the job number, above 0 on success) and
// leaves the failure's number for GetLastError.
int32_t StartDoc(int32_t hDC, const QString& docName);
int32_t StartPage(int32_t hDC);
int32_t EndPage(int32_t hDC);
int32_t EndDoc(int32_t hDC);
// The number of the last failure of the calls above (never 0 after a failure).
int32_t GetLastError();
// Copies the part (sx, sy, sw, sh) of a bitmap onto the page being printed, stretched over
// (x, y, w, h) in device pixels of the printable area. False outside a page.
bool StretchBlt(int32_t hDC, int x, int y, int w, int h, const QImage& bitmap, int sx, int sy,
                int sw, int sh);

} // namespace rt
