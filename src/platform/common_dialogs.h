#pragma once
// The common dialogs: open and save a file, choose a colour, choose a printer. A CommonDialog
// object holds the settings of one dialog between showings, as the callers set them, and
// shows it through the replaceable dialog services: the program uses the Qt ones, tests
// scripted ones (tests/support/scripted_services.h).

#include "printers.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace rt {

// Option flags of the file dialogs.
enum FileDialogFlags : int {
    cdlOFNOverwritePrompt = 0x2,     // save: ask before replacing a file
    cdlOFNHideReadOnly = 0x4,        // no "read-only" box (there is none here)
    cdlOFNFileMustExist = 0x1000,    // open: only an existing file
    cdlOFNNoReadOnlyReturn = 0x8000, // save: refuse a read-only file or folder
};
// Option flags of the colour dialog.
enum ColorDialogFlags : int {
    cdlCCRGBInit = 0x1,  // start from Color
    cdlCCFullOpen = 0x2, // custom colours shown (Qt's dialog always shows them)
};
// Option flags of the printer dialog.
enum PrinterDialogFlags : int {
    cdlPDPrintSetup = 0x40, // choose a printer and its page, print nothing yet
    cdlPDReturnDC = 0x100,  // give the chosen printer's device handle in hDC
};

// What a file dialog is shown with.
struct FileDialogRequest {
    bool save = false;
    QString title;       // "" lets the dialog choose
    QString filter;      // "description|patterns|description|patterns..."
    int filterIndex = 1; // 1-based
    QString defaultExt;  // without the dot
    QString fileName;    // shown at first; a full path also gives the folder
    QString initDir;
    int flags = 0;
};

// What the user chose in a file dialog.
struct FileDialogAnswer {
    QString fileName;
    int filterIndex = 0; // 1-based; 0 leaves the index as it was
};

class CommonDialogServices {
public:
    virtual ~CommonDialogServices() = default;
    // nullopt when cancelled.
    virtual std::optional<FileDialogAnswer> getFileName(const FileDialogRequest& request) = 0;
    // A colour 0x00BBGGRR; nullopt when cancelled.
    virtual std::optional<int32_t> chooseColor(int32_t initial, int flags) = 0;
    // The printer chosen, with its page set up; nullptr when cancelled.
    virtual std::shared_ptr<PrintDevice> choosePrinter(int orientation, int flags) = 0;
};

CommonDialogServices& commonDialogs();
// Installs new services; returns the previous ones. nullptr restores the Qt services.
std::shared_ptr<CommonDialogServices>
setCommonDialogServices(std::shared_ptr<CommonDialogServices> services);

// One common dialog with its settings. Each Show method returns true when the user accepted;
// a cancel returns false, or raises run-time error 32755 when CancelError is set. A cancel
// leaves every property as it was.
class CommonDialog {
public:
    bool CancelError = false;
    QString DialogTitle;
    int Flags = 0;

    // File dialogs.
    QString Filter;
    int FilterIndex = 0;
    QString DefaultExt; // with or without the leading "."
    QString FileName;   // full name: shown at first, the choice afterwards
    QString FileTitle;  // the chosen name without its folder
    QString InitDir;

    // Colour dialog.
    int32_t Color = 0;

    // Printer dialog.
    int Orientation = cdlPortrait;
    bool PrinterDefault = true; // kept for callers; the choice never changes the default printer
    int32_t hDC = 0;

    bool ShowOpen();
    bool ShowSave();
    bool ShowColor();
    bool ShowPrinter();

private:
    bool showFile(bool save);
    bool cancelled();
};

// The filter text of a file dialog as Qt name filters: each description followed by its
// patterns in brackets, in place of any pattern list the description itself ends with; "*.*"
// becomes "*", since on Linux it would only match names with a dot.
QStringList qtNameFilters(const QString& filter);

// A file name with the default extension added when it has none: always on saving; on opening
// only when the name as typed does not exist.
QString withDefaultExtension(const QString& fileName, const QString& defaultExt, bool save);

// True when a file may not be written there: an existing file that is read-only, or a folder
// where no file can be made.
bool isReadOnlyTarget(const QString& fileName);

// The printer set-up of the Qt services: the printer, its paper and the orientation, and the
// printer's own page dialog (Propriétés). Neither copies nor pages to print: the program's
// settings decide those. It lists the printers of the last answer (knownPrinters), the default
// one chosen at first, and names the file of a printer that prints into one.
class PrinterSetupDialog : public QDialog {
public:
    explicit PrinterSetupDialog(int orientation, QWidget* parent = nullptr);
    // The chosen printer as set up, not registered; nullptr when there is no printer.
    std::shared_ptr<PrintDevice> device() const { return device_; }

    QComboBox* printerBox;
    QComboBox* paperBox;
    QRadioButton* portrait;
    QRadioButton* landscape;
    QPushButton* propertiesButton;
    QLabel* fileLabel;
    QDialogButtonBox* buttons;

private:
    void choosePrinter(int index);
    void choosePaper(int index);
    // The paper and orientation boxes as the device has them.
    void showPage();
    void editProperties();

    std::shared_ptr<PrintDevice> device_;
    bool showing_ = false;
};

// The Qt implementation.
class QtCommonDialogs : public CommonDialogServices {
public:
    std::optional<FileDialogAnswer> getFileName(const FileDialogRequest& request) override;
    std::optional<int32_t> chooseColor(int32_t initial, int flags) override;
    std::shared_ptr<PrintDevice> choosePrinter(int orientation, int flags) override;
};

} // namespace rt
