#include "common_dialogs.h"

#include "core/rt_error.h"
#include "core/ui_services.h"

#include <QApplication>
#include <QButtonGroup>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace rt {

namespace {
std::shared_ptr<CommonDialogServices>& current() {
    static std::shared_ptr<CommonDialogServices> instance = std::make_shared<QtCommonDialogs>();
    return instance;
}

QString bareExtension(const QString& ext) {
    QString e = ext.trimmed();
    while (e.startsWith(u'.'))
        e.remove(0, 1);
    return e;
}

// The hourglass must not hide a dialog; it comes back afterwards.
class HourglassOff {
public:
    HourglassOff() : was_(ui().hourglass()) {
        if (was_) ui().setHourglass(false);
    }
    ~HourglassOff() {
        if (was_) ui().setHourglass(true);
    }

private:
    bool was_;
};

QColor fromColorRef(int32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
int32_t toColorRef(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}
} // namespace

CommonDialogServices& commonDialogs() {
    return *current();
}

std::shared_ptr<CommonDialogServices>
setCommonDialogServices(std::shared_ptr<CommonDialogServices> services) {
    auto previous = current();
    current() = services ? std::move(services) : std::make_shared<QtCommonDialogs>();
    return previous;
}

// ---- Rules

QStringList qtNameFilters(const QString& filter) {
    // A pattern list in brackets at the end of a description: "Tous les fichiers (*.*)".
    static const QRegularExpression shownPatterns(
        QStringLiteral("\\s*\\([^()]*[*?][^()]*\\)\\s*$"));
    QStringList result;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (QString p : parts[i + 1].split(u';')) {
            p = p.trimmed();
            if (p.isEmpty()) continue;
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
            if (!patterns.contains(p)) patterns << p;
        }
        if (patterns.isEmpty()) continue;
        QString description = parts[i];
        description.remove(shownPatterns);
        description = description.trimmed();
        const QString list = u'(' + patterns.join(u' ') + u')';
        result << (description.isEmpty() ? list : description + u' ' + list);
    }
    return result;
}

QString withDefaultExtension(const QString& fileName, const QString& defaultExt, bool save) {
    const QString ext = bareExtension(defaultExt);
    if (ext.isEmpty() || fileName.isEmpty()) return fileName;
    const QFileInfo info(fileName);
    if (info.fileName().isEmpty() || info.fileName().contains(u'.')) return fileName;
    if (!save && info.exists()) return fileName;
    return fileName + u'.' + ext;
}

bool isReadOnlyTarget(const QString& fileName) {
    // Not writable for this user, or marked read-only (no write bit for its owner), which
    // holds even for a user such as root whom the system lets write anywhere.
    const auto readOnly = [](const QFileInfo& info) {
        return !info.isWritable() || !(info.permissions() & QFile::WriteOwner);
    };
    const QFileInfo info(fileName);
    if (info.isDir()) return true;
    if (info.exists() && readOnly(info)) return true;
    const QFileInfo folder(info.absolutePath());
    return !folder.isDir() || readOnly(folder);
}

// ---- The dialog object

bool CommonDialog::cancelled() {
    if (CancelError) throw RtError(ErrCancel, {}, QStringLiteral("CommonDialog"));
    return false;
}

bool CommonDialog::ShowOpen() {
    return showFile(false);
}
bool CommonDialog::ShowSave() {
    return showFile(true);
}

bool CommonDialog::showFile(bool save) {
    FileDialogRequest request;
    request.save = save;
    request.title = DialogTitle;
    request.filter = Filter;
    request.filterIndex = FilterIndex;
    request.defaultExt = bareExtension(DefaultExt);
    request.fileName = FileName;
    request.initDir = InitDir;
    request.flags = Flags;
    while (true) {
        const auto answer = commonDialogs().getFileName(request);
        if (!answer || answer->fileName.isEmpty()) return cancelled();
        const QString name = withDefaultExtension(answer->fileName, DefaultExt, save);
        if (save && (Flags & cdlOFNNoReadOnlyReturn) && isReadOnlyTarget(name)) {
            // The dialog refuses the name and stays open on it, saying why.
            const QString folder = QFileInfo(name).absolutePath();
            const QString why =
                QFileInfo(folder).isDir()
                    ? QStringLiteral("Ce fichier est en lecture seule, ou son dossier est "
                                     "protégé en écriture.")
                    : QStringLiteral("Le dossier %1 n'existe pas.")
                          .arg(QDir::toNativeSeparators(folder));
            MsgBox(QDir::toNativeSeparators(name) + u'\r' + why +
                       QStringLiteral("\rChoisissez un autre nom."),
                   vbExclamation, DialogTitle);
            request.fileName = name;
            if (answer->filterIndex > 0) request.filterIndex = answer->filterIndex;
            continue;
        }
        FileName = name;
        FileTitle = QFileInfo(name).fileName();
        if (answer->filterIndex > 0) FilterIndex = answer->filterIndex;
        return true;
    }
}

bool CommonDialog::ShowColor() {
    const auto chosen = commonDialogs().chooseColor(Color, Flags);
    if (!chosen) return cancelled();
    Color = *chosen;
    return true;
}

bool CommonDialog::ShowPrinter() {
    const auto device = commonDialogs().choosePrinter(Orientation, Flags);
    if (!device) return cancelled();
    Orientation = device->orientation();
    hDC = (Flags & cdlPDReturnDC) ? registerDevice(device) : 0;
    return true;
}

// ---- Qt

std::optional<FileDialogAnswer> QtCommonDialogs::getFileName(const FileDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow(), request.title);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!request.save && (request.flags & cdlOFNFileMustExist)
                           ? QFileDialog::ExistingFile
                           : QFileDialog::AnyFile);
    if (!request.save || !(request.flags & cdlOFNOverwritePrompt))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = qtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
            dialog.selectNameFilter(filters[request.filterIndex - 1]);
    }
    if (!request.defaultExt.isEmpty()) dialog.setDefaultSuffix(request.defaultExt);
    if (!request.initDir.isEmpty()) dialog.setDirectory(request.initDir);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    HourglassOff hourglassOff;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return FileDialogAnswer{dialog.selectedFiles().constFirst(),
                            int(filters.indexOf(dialog.selectedNameFilter())) + 1};
}

std::optional<int32_t> QtCommonDialogs::chooseColor(int32_t initial, int flags) {
    const QColor start = (flags & cdlCCRGBInit) ? fromColorRef(initial) : QColor(Qt::black);
    HourglassOff hourglassOff;
    const QColor chosen = QColorDialog::getColor(start, QApplication::activeWindow());
    if (!chosen.isValid()) return {};
    return toColorRef(chosen);
}

std::shared_ptr<PrintDevice> QtCommonDialogs::choosePrinter(int orientation, int) {
    PrinterSetupDialog dialog(orientation, QApplication::activeWindow());
    HourglassOff hourglassOff;
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    return dialog.device();
}

// ---- The printer set-up

PrinterSetupDialog::PrinterSetupDialog(int orientation, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Configuration de l'impression"));
    printerBox = new QComboBox(this);
    propertiesButton = new QPushButton(QStringLiteral("P&ropriétés..."), this);
    fileLabel = new QLabel(this);
    fileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    paperBox = new QComboBox(this);
    portrait = new QRadioButton(QStringLiteral("P&ortrait"), this);
    landscape = new QRadioButton(QStringLiteral("Pa&ysage"), this);
    auto* orientations = new QButtonGroup(this);
    orientations->addButton(portrait);
    orientations->addButton(landscape);
    (orientation == cdlLandscape ? landscape : portrait)->setChecked(true);
    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));

    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(printerBox, 1);
    printerRow->addWidget(propertiesButton);
    auto* form = new QFormLayout;
    auto* printerLabel = new QLabel(QStringLiteral("&Imprimante :"), this);
    printerLabel->setBuddy(printerBox);
    form->addRow(printerLabel, printerRow);
    form->addRow(QString(), fileLabel);
    form->addRow(QStringLiteral("Pa&pier :"), paperBox);
    auto* orientationBox = new QGroupBox(QStringLiteral("Orientation"), this);
    auto* orientationRow = new QHBoxLayout(orientationBox);
    orientationRow->addWidget(portrait);
    orientationRow->addWidget(landscape);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(orientationBox);
    layout->addWidget(buttons);

    const PrinterList& list = knownPrinters();
    printerBox->addItems(list.names);
    printerBox->setCurrentIndex(int(list.names.indexOf(list.defaultName)));
    connect(printerBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { choosePrinter(index); });
    connect(paperBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { choosePaper(index); });
    connect(portrait, &QRadioButton::toggled, this, [this](bool on) {
        if (device_ && !showing_ && on) device_->setOrientation(cdlPortrait);
    });
    connect(landscape, &QRadioButton::toggled, this, [this](bool on) {
        if (device_ && !showing_ && on) device_->setOrientation(cdlLandscape);
    });
    connect(propertiesButton, &QPushButton::clicked, this, [this] { editProperties(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    choosePrinter(printerBox->currentIndex());
}

void PrinterSetupDialog::choosePrinter(int index) {
    const int orientation = landscape->isChecked() ? cdlLandscape : cdlPortrait;
    const auto printer = index >= 0 ? printers().openPrinter(printerBox->itemText(index)) : nullptr;
    // A copy: the printer's own device is not changed unless the set-up is accepted.
    device_ = printer ? printer->duplicate() : nullptr;
    if (device_) device_->setOrientation(orientation);
    showing_ = true;
    paperBox->clear();
    if (device_) {
        for (const QPageSize& size : device_->pageSizes())
            paperBox->addItem(size.name(), QVariant::fromValue(size));
    }
    showing_ = false;
    const QString file = device_ ? device_->outputFile() : QString();
    fileLabel->setText(
        QStringLiteral("Imprime dans le fichier %1").arg(QDir::toNativeSeparators(file)));
    fileLabel->setVisible(!file.isEmpty());
    propertiesButton->setEnabled(device_ && device_->hasPageDialog());
    buttons->button(QDialogButtonBox::Ok)->setEnabled(device_ != nullptr);
    paperBox->setEnabled(device_ != nullptr);
    showPage();
}

void PrinterSetupDialog::choosePaper(int index) {
    if (showing_ || !device_ || index < 0) return;
    device_->setPageSize(paperBox->itemData(index).value<QPageSize>());
}

void PrinterSetupDialog::showPage() {
    if (!device_) return;
    showing_ = true;
    const QPageLayout page = device_->pageLayout();
    int index = -1;
    for (int i = 0; i < paperBox->count() && index < 0; ++i)
        if (paperBox->itemData(i).value<QPageSize>().isEquivalentTo(page.pageSize())) index = i;
    if (index < 0) {
        // A paper the list lacks (set in the printer's own dialog) is shown all the same.
        paperBox->addItem(page.pageSize().name(), QVariant::fromValue(page.pageSize()));
        index = paperBox->count() - 1;
    }
    paperBox->setCurrentIndex(index);
    (page.orientation() == QPageLayout::Landscape ? landscape : portrait)->setChecked(true);
    showing_ = false;
}

void PrinterSetupDialog::editProperties() {
    if (!device_ || !device_->hasPageDialog()) return;
    device_->showPageDialog(this);
    showPage();
}

} // namespace rt
