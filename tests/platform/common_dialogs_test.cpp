#include "core/rt_error.h"
#include "platform/common_dialogs.h"
#include "support/scripted_services.h"
#include "support/scripted_ui_services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace rt;

namespace {

const QString kCalFilter =
    QStringLiteral("Tous les fichiers (*.*)|*.*|Fichiers Mirovanta (*.cal)|*.cal");

// Scripted dialogs and message boxes for one test; the real ones come back afterwards.
class CommonDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        previousDialogs = setCommonDialogServices(dialogs);
        previousUi = setUiServices(ui);
    }
    void TearDown() override {
        setCommonDialogServices(previousDialogs);
        setUiServices(previousUi);
    }
    // The open or save dialog as the document commands set it up.
    CommonDialog calDialog(int flags) {
        CommonDialog d;
        d.CancelError = true;
        d.DefaultExt = QStringLiteral(".cal");
        d.Flags = flags;
        d.Filter = kCalFilter;
        d.FilterIndex = 2;
        d.InitDir = folder.path();
        return d;
    }
    QString path(const QString& name) const { return folder.filePath(name); }

    std::shared_ptr<ScriptedCommonDialogs> dialogs = std::make_shared<ScriptedCommonDialogs>();
    std::shared_ptr<ScriptedUiServices> ui = std::make_shared<ScriptedUiServices>();
    std::shared_ptr<CommonDialogServices> previousDialogs;
    std::shared_ptr<UiServices> previousUi;
    QTemporaryDir folder;
};

void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

} // namespace

TEST(FileDialogFilter, FilterTextsBecomeQtNameFilters) {
    struct Case {
        QString filter;
        QStringList expected;
    };
    const std::vector<Case> cases = {
        {kCalFilter,
         {QStringLiteral("Tous les fichiers (*)"), QStringLiteral("Fichiers Mirovanta (*.cal)")}},
        {QStringLiteral("Tous les fichiers (*.*)|*.*|Fichiers Wave (*.wav)|*.wav"),
         {QStringLiteral("Tous les fichiers (*)"), QStringLiteral("Fichiers Wave (*.wav)")}},
        {QStringLiteral("Images (*.bmp;*.jpg)|*.bmp;*.jpg;*.gif"),
         {QStringLiteral("Images (*.bmp *.jpg *.gif)")}},
        {QStringLiteral("Texte|*.txt"), {QStringLiteral("Texte (*.txt)")}},
        // Brackets that hold no pattern belong to the description.
        {QStringLiteral("Version (2)|*.v2"), {QStringLiteral("Version (2) (*.v2)")}},
        {QStringLiteral("|*.x"), {QStringLiteral("(*.x)")}},
        {QStringLiteral("Rien|"), {}},
        {QStringLiteral("A|*.a|B"), {QStringLiteral("A (*.a)")}},
        {QStringLiteral("Tout|*.*;*.*"), {QStringLiteral("Tout (*)")}},
        {QString(), {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qtNameFilters(c.filter), c.expected) << c.filter.toStdString();
}

TEST(FileDialogFilter, DefaultExtensionIsAddedToNamesWithoutOne) {
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("agenda"));
    touch(existing);
    const QString d = dir.path();
    struct Case {
        QString name;
        QString ext;
        bool save;
        QString expected;
    };
    const std::vector<Case> cases = {
        {d + "/annee", ".cal", true, d + "/annee.cal"},
        {d + "/annee", "cal", true, d + "/annee.cal"},
        {d + "/annee.cal", ".cal", true, d + "/annee.cal"},
        {d + "/annee.bak", ".cal", true, d + "/annee.bak"},
        {d + "/annee", "", true, d + "/annee"},
        {d + "/dossier.v2/annee", ".cal", true, d + "/dossier.v2/annee.cal"},
        {existing, ".cal", true, existing + ".cal"},
        // Opening keeps a name that exists as typed.
        {existing, ".cal", false, existing},
        {d + "/annee", ".cal", false, d + "/annee.cal"},
        {QString(), ".cal", true, QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(withDefaultExtension(c.name, c.ext, c.save), c.expected)
            << c.name.toStdString() << c.save;
}

TEST_F(CommonDialogs, CancelRaisesTheCancelErrorAndChangesNothing) {
    CommonDialog d = calDialog(cdlOFNOverwritePrompt | cdlOFNHideReadOnly | cdlOFNNoReadOnlyReturn);
    d.FileName = path(QStringLiteral("ancien.cal"));
    dialogs->answerCancel();
    try {
        d.ShowSave();
        FAIL() << "no cancel error";
    } catch (const RtError& e) {
        EXPECT_EQ(e.Number, ErrCancel);
    }
    EXPECT_EQ(d.FileName, path(QStringLiteral("ancien.cal")));
    EXPECT_EQ(d.FilterIndex, 2);

    // Without CancelError the cancel is only the result; no queued answer is a cancel too.
    d.CancelError = false;
    EXPECT_FALSE(d.ShowOpen());
    EXPECT_FALSE(d.ShowSave());
    EXPECT_EQ(d.FileName, path(QStringLiteral("ancien.cal")));
}

TEST_F(CommonDialogs, SaveDialogGetsItsSettingsAndGivesTheNameWithTheExtension) {
    CommonDialog d = calDialog(cdlOFNOverwritePrompt | cdlOFNHideReadOnly | cdlOFNNoReadOnlyReturn);
    d.FileName = path(QStringLiteral("ancien.cal"));
    dialogs->answerFile(path(QStringLiteral("budget 2004")), 1);
    ASSERT_TRUE(d.ShowSave());
    ASSERT_EQ(dialogs->fileRequests.size(), 1u);
    const FileDialogRequest& r = dialogs->fileRequests[0];
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.filter, kCalFilter);
    EXPECT_EQ(r.filterIndex, 2);
    EXPECT_EQ(r.defaultExt, QStringLiteral("cal"));
    EXPECT_EQ(r.fileName, path(QStringLiteral("ancien.cal")));
    EXPECT_EQ(r.initDir, folder.path());
    EXPECT_EQ(r.flags, 0x8006);
    EXPECT_EQ(d.FileName, path(QStringLiteral("budget 2004.cal")));
    EXPECT_EQ(d.FileTitle, QStringLiteral("budget 2004.cal"));
    EXPECT_EQ(d.FilterIndex, 1);
    EXPECT_TRUE(ui->msgBoxCalls.empty());
}

TEST_F(CommonDialogs, SaveRefusesReadOnlyTargetsAndAsksAgain) {
    const QString locked = path(QStringLiteral("verrou.cal"));
    touch(locked);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QDir(folder.path()).mkdir(QStringLiteral("protege"));
    const QString lockedFolder = path(QStringLiteral("protege"));
    QFile::setPermissions(lockedFolder, QFile::ReadOwner | QFile::ExeOwner);

    CommonDialog d = calDialog(cdlOFNOverwritePrompt | cdlOFNHideReadOnly | cdlOFNNoReadOnlyReturn);
    dialogs->answerFile(locked);
    dialogs->answerFile(lockedFolder + QStringLiteral("/neuf"));
    dialogs->answerFile(path(QStringLiteral("absent/neuf")));
    dialogs->answerFile(path(QStringLiteral("libre")));
    ASSERT_TRUE(d.ShowSave());
    EXPECT_EQ(d.FileName, path(QStringLiteral("libre.cal")));
    // Each refusal says why, and the dialog comes back on the refused name.
    ASSERT_EQ(ui->msgBoxCalls.size(), 3u);
    EXPECT_TRUE(ui->msgBoxCalls[0].prompt.startsWith(locked));
    EXPECT_TRUE(ui->msgBoxCalls[0].prompt.contains(QStringLiteral("lecture seule")));
    EXPECT_EQ(ui->msgBoxCalls[0].style, int(vbExclamation));
    EXPECT_EQ(ui->msgBoxCalls[2].prompt,
              path(QStringLiteral("absent/neuf.cal")) + QStringLiteral("\rLe dossier ") +
                  path(QStringLiteral("absent")) +
                  QStringLiteral(" n'existe pas.\rChoisissez un autre nom."));
    ASSERT_EQ(dialogs->fileRequests.size(), 4u);
    EXPECT_EQ(dialogs->fileRequests[1].fileName, locked);
    EXPECT_EQ(dialogs->fileRequests[2].fileName, lockedFolder + QStringLiteral("/neuf.cal"));

    // Without the flag, and on opening, a read-only file is taken.
    CommonDialog open = calDialog(cdlOFNHideReadOnly);
    dialogs->answerFile(locked);
    EXPECT_TRUE(open.ShowOpen());
    EXPECT_EQ(open.FileName, locked);
    QFile::setPermissions(lockedFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(CommonDialogs, OpenAddsTheExtensionOnlyWhenTheTypedNameDoesNotExist) {
    touch(path(QStringLiteral("notes")));
    CommonDialog d = calDialog(cdlOFNHideReadOnly);
    dialogs->answerFile(path(QStringLiteral("notes")));
    dialogs->answerFile(path(QStringLiteral("annee")));
    ASSERT_TRUE(d.ShowOpen());
    EXPECT_EQ(d.FileName, path(QStringLiteral("notes")));
    EXPECT_EQ(d.FileTitle, QStringLiteral("notes"));
    ASSERT_TRUE(d.ShowOpen());
    EXPECT_EQ(d.FileName, path(QStringLiteral("annee.cal")));
    EXPECT_FALSE(dialogs->fileRequests[0].save);
    // The second showing starts from the first choice.
    EXPECT_EQ(dialogs->fileRequests[1].fileName, path(QStringLiteral("notes")));
}

TEST_F(CommonDialogs, ColourDialogStartsFromTheColourAndGivesTheChoice) {
    CommonDialog d;
    d.CancelError = true;
    d.Flags = cdlCCRGBInit | cdlCCFullOpen;
    d.Color = 0x00FF8000;
    dialogs->colorAnswers = {0x000000FF, std::nullopt};
    ASSERT_TRUE(d.ShowColor());
    EXPECT_EQ(d.Color, 0x000000FF);
    EXPECT_THROW(d.ShowColor(), RtError);
    EXPECT_EQ(d.Color, 0x000000FF);
    ASSERT_EQ(dialogs->colorRequests.size(), 2u);
    EXPECT_EQ(dialogs->colorRequests[0].initial, 0x00FF8000);
    EXPECT_EQ(dialogs->colorRequests[0].flags, 3);
}

TEST_F(CommonDialogs, PrinterDialogGivesTheChosenPrintersHandle) {
    auto printer = makeImagePrinter(QStringLiteral("Bureau"));
    CommonDialog d;
    d.CancelError = true;
    d.Flags = cdlPDPrintSetup | cdlPDReturnDC;
    d.PrinterDefault = false;
    d.Orientation = cdlLandscape;
    dialogs->printerAnswers = {printer, nullptr};
    ASSERT_TRUE(d.ShowPrinter());
    EXPECT_NE(d.hDC, 0);
    EXPECT_EQ(deviceFromHandle(d.hDC), printer);
    EXPECT_EQ(printer->orientation(), cdlLandscape);
    EXPECT_EQ(GetDeviceCaps(d.hDC, HORZRES), 1008); // landscape letter at 96 dpi less margins
    EXPECT_EQ(dialogs->printerRequests[0].orientation, cdlLandscape);
    EXPECT_EQ(dialogs->printerRequests[0].flags, 0x140);
    const int32_t chosen = d.hDC;
    try {
        d.ShowPrinter();
        FAIL() << "no cancel error";
    } catch (const RtError& e) {
        EXPECT_EQ(e.Number, ErrCancel);
    }
    EXPECT_EQ(d.hDC, chosen);
    releaseDevice(chosen);
}

// The Qt file dialog itself, driven as a user would: it must show the converted filters, the
// chosen one first, the start folder, and add the default suffix.
TEST(QtFileDialog, ShowsTheSettingsAndReturnsTheTypedName) {
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("a.cal")));
    FileDialogRequest request;
    request.save = true;
    request.filter = kCalFilter;
    request.filterIndex = 2;
    request.defaultExt = QStringLiteral("cal");
    request.initDir = dir.path();
    request.flags = cdlOFNOverwritePrompt;

    QStringList seenFilters;
    QString seenFilter, seenSuffix, seenFolder;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seenFilters = dialog->nameFilters();
        seenFilter = dialog->selectedNameFilter();
        seenSuffix = dialog->defaultSuffix();
        seenFolder = dialog->directory().absolutePath();
        dialog->selectFile(QStringLiteral("nouveau"));
        static_cast<QDialog*>(dialog)->accept();
    });
    QtCommonDialogs qtDialogs;
    const auto answer = qtDialogs.getFileName(request);
    EXPECT_EQ(seenFilters, QStringList({QStringLiteral("Tous les fichiers (*)"),
                                        QStringLiteral("Fichiers Mirovanta (*.cal)")}));
    EXPECT_EQ(seenFilter, QStringLiteral("Fichiers Mirovanta (*.cal)"));
    EXPECT_EQ(seenSuffix, QStringLiteral("cal"));
    EXPECT_EQ(seenFolder, QDir(dir.path()).absolutePath());
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->fileName, dir.filePath(QStringLiteral("nouveau.cal")));
    EXPECT_EQ(answer->filterIndex, 2);

    QTimer::singleShot(0, [] {
        if (auto* dialog = QApplication::activeModalWidget()) dialog->close();
    });
    EXPECT_FALSE(qtDialogs.getFileName(request).has_value());
}

// The Qt printer set-up, driven as a user would: printer, paper and orientation only (no copies,
// no pages to print, no button that says it prints); a printer into a file names the file; the
// choice is a new device, the printer's own is left as it was.
TEST(QtPrinterSetup, AsksThePrinterThePaperAndTheOrientationOnly) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("calendrier.pdf"));
    const auto pdf = makePdfPrinter(QStringLiteral("PDF"), file);
    auto scripted = std::make_shared<ScriptedPrinters>();
    scripted->Printers = {makeImagePrinter(QStringLiteral("Salon")), pdf};
    scripted->DefaultIndex = 1;
    const auto previous = setPrinterServices(scripted);
    // The set-up shown, or none (the test fails, and the dialog is closed so that it ends).
    const auto shown = [] {
        auto* dialog = dynamic_cast<PrinterSetupDialog*>(QApplication::activeModalWidget());
        if (!dialog && QApplication::activeModalWidget())
            QApplication::activeModalWidget()->close();
        return dialog;
    };
    QTimer::singleShot(0, [&] {
        PrinterSetupDialog* d = shown();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->printerBox->currentText(), QStringLiteral("PDF"));
        EXPECT_TRUE(d->fileLabel->isVisible());
        EXPECT_TRUE(d->fileLabel->text().contains(QDir::toNativeSeparators(file)));
        EXPECT_TRUE(d->findChildren<QSpinBox*>().isEmpty());
        EXPECT_TRUE(d->findChildren<QLineEdit*>().isEmpty());
        for (const QAbstractButton* button : d->findChildren<QAbstractButton*>())
            EXPECT_FALSE(button->text().contains(QStringLiteral("Imprimer")));
        EXPECT_TRUE(d->landscape->isChecked());
        QTest::keyClick(d->paperBox, Qt::Key_Down); // A4, A3, A5...
        QTest::keyClick(d->paperBox, Qt::Key_Down);
        QTest::mouseClick(d->portrait, Qt::LeftButton, {}, QPoint(6, d->portrait->height() / 2));
        QTest::mouseClick(d->buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QtCommonDialogs qtDialogs;
    const auto device = qtDialogs.choosePrinter(cdlLandscape, cdlPDPrintSetup | cdlPDReturnDC);
    ASSERT_NE(device, nullptr);
    EXPECT_NE(device, pdf);
    EXPECT_EQ(device->name(), QStringLiteral("PDF"));
    EXPECT_EQ(device->outputFile(), file);
    EXPECT_EQ(device->pageLayout().pageSize().id(), QPageSize::A5);
    EXPECT_EQ(device->orientation(), cdlPortrait);
    EXPECT_EQ(pdf->pageLayout().pageSize().id(), QPageSize::A4);
    EXPECT_EQ(pdf->orientation(), cdlPortrait);

    QTimer::singleShot(0, [&] {
        PrinterSetupDialog* d = shown();
        ASSERT_NE(d, nullptr);
        QTest::keyClick(d->printerBox, Qt::Key_Up);
        EXPECT_EQ(d->printerBox->currentText(), QStringLiteral("Salon"));
        EXPECT_FALSE(d->fileLabel->isVisible());
        QTest::mouseClick(d->buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    });
    EXPECT_EQ(qtDialogs.choosePrinter(cdlPortrait, 0), nullptr);
    setPrinterServices(previous);
}
