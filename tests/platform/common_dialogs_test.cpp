#include "core/rt_error.h"
#include "platform/common_dialogs.h"
#include "support/scripted_services.h"
#include "support/scripted_ui_services.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
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
