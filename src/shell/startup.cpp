#include "startup.h"

#include "app_state.h"
#include "common_sys_info.h"
#include "core/numeric.h"
#include "core/resources.h"
#include "core/system.h"
#include "core/ui_services.h"
#include "document/cal_reader.h"
#include "document/doc_state.h"
#include "document/doc_views.h"
#include "document/modified.h"
#include "document/paths.h"
#include "document_dialogs/document_dialogs.h"
#include "frm_main.h"
#include "main_module.h"
#include "month_window.h"
#include "platform/single_instance.h"
#include "platform/ui_dispatch.h"
#include "printing/printing.h"
#include "services/settings.h"
#include "shell_views.h"
#include "splash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcHandOff, "mirovanta.handoff", QtWarningMsg)
// Where the start-up found the program's own files; shown with
// QT_LOGGING_RULES="mirovanta.startup.info=true".
Q_LOGGING_CATEGORY(lcStartup, "mirovanta.startup", QtWarningMsg)

namespace {

// The running copy's answer to a command from a later copy, as the main window's link
// execute once the main window exists. Before that (still starting), only a document is taken:
// it waits for the start-up to end.
bool answerLaterCopy(const QString& command) {
    FrmMainForm* main = FrmMain.peek();
    const bool ready = main && main->Loaded() && main->Tag() != QLatin1String("Unload");
    int cancel = 1;
    if (ready) {
        main->MDIForm_LinkExecute(command, cancel);
    } else {
        // Refused once the shutdown has begun.
        const QString document = LinkOpenFileName(command);
        if (!document.isEmpty() && QueueHandedOverDocument(document)) cancel = 0;
    }
    qCInfo(lcHandOff, "received %s: %s", qPrintable(command.left(64)),
           cancel == 0 ? "accepted" : "refused");
    return cancel == 0;
}

// True when another copy runs: it has been handed "RESTORE" (whatever came of it) and then the
// document of this copy's command line, and this copy must end. Otherwise this copy becomes the
// one that later copies reach.
bool handOffToRunningCopy() {
    rt::SingleInstance& instance = rt::singleInstance();
    if (instance.claim()) {
        HoldHandedOverDocuments();
        instance.setCommandHandler(answerLaterCopy);
        return false;
    }
    instance.sendToRunning(kRestoreCommand); // a failed restore is ignored
    const QString document = CommandLineDocument();
    if (!document.isEmpty()) {
        // The running copy has its own working folder: the name travels whole.
        const QString file = QFileInfo(document).absoluteFilePath();
        // Patient: a running copy busy with other work answers later, but it answers.
        if (!instance.sendToRunning(LinkOpenCommand(file), true)) {
            rt::MsgBox(QStringLiteral("Mirovanta est déjà ouvert mais n'a pas pu recevoir ce "
                                      "document :\r\r%1\r\rOuvrez-le depuis Mirovanta.")
                           .arg(file),
                       rt::vbOKOnly + rt::vbExclamation, QStringLiteral("Mirovanta"));
        }
    }
    rt::DoEvents();
    return true;
}

// Releases the main window once its unload has finished: its terminate handler ends the
// program.
void releaseMainWindowWhenUnloaded() {
    QTimer::singleShot(0, [] {
        rt::dispatch([] {
            FrmMainForm* main = FrmMain.peek();
            if (main && !main->Loaded()) FrmMain.release();
        });
    });
}

} // namespace

QString HelpFileFor(const QString& ProgramFolder) {
    const QString name = QStringLiteral("mrv2help.chm");
    const QString beside = AddBackslash(ProgramFolder) + name;
    const QString installed = InstalledFilesFolderFor(ProgramFolder) + name;
    return !QFileInfo::exists(beside) && QFileInfo::exists(installed) ? installed : beside;
}

namespace {

// The document's name as the system handed it over: blanks around it and its double quotes
// taken off as from its text.
QByteArray commandLineDocumentBytes() {
    const auto trimBlanks = [](QByteArray bytes) {
        while (bytes.startsWith(' '))
            bytes.remove(0, 1);
        while (bytes.endsWith(' '))
            bytes.chop(1);
        return bytes;
    };
    QByteArray bytes = trimBlanks(rt::sys().commandLineBytes());
    if (bytes.size() >= 2 && bytes.startsWith('"') && bytes.endsWith('"'))
        bytes = trimBlanks(bytes.mid(1, bytes.size() - 2));
    return bytes;
}

} // namespace

QString CommandLineDocument() {
    QString text = rt::TrimBlanks(rt::sys().commandLine());
    // A file association passes the path in double quotes.
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        text = rt::TrimBlanks(text.mid(1, text.size() - 2));
    // A name that is not valid in the system's encoding: its text shows replacement
    // characters, and its bytes, which name the file, are used for it (as given and absolute).
    const QByteArray bytes = commandLineDocumentBytes();
    if (!text.isEmpty() && bytes != QFile::encodeName(text) &&
        ::access(bytes.constData(), F_OK) == 0) {
        rt::RememberFileNameBytes(text, bytes);
        if (!bytes.startsWith('/'))
            rt::RememberFileNameBytes(QFileInfo(text).absoluteFilePath(),
                                      QFile::encodeName(QDir::currentPath()) + '/' + bytes);
    }
    return text;
}

bool Main() {
    setDocViews(std::make_shared<ShellViews>());
    setMainWindowHost(std::make_shared<ShellMainWindow>());

    AppVersion = QStringLiteral("2.1");
    HelpFilePath = HelpFileFor(rt::sys().programFolder());

    // The windows are drawn for at least 800 x 600 pixels.
    if (!(GetScreenWidth() >= 800 && GetScreenHeight() >= 600)) {
        const int style = rt::vbYesNo + rt::vbCritical + rt::vbDefaultButton2;
        if (rt::MsgBox(rt::LoadResString(10048), style, QString()) == rt::vbNo) return false;
    }

    if (handOffToRunningCopy()) return false;
    // The document of the command line is read while the windows are made and shown.
    QString document = CommandLineDocument();
    if (!document.isEmpty()) ReadCalFileAhead(document);

    rt::SetHourglass(true);
    const int32_t showSplash = ShowSplashSetting();
    LoadSettings();
    if (lcStartup().isInfoEnabled()) {
        int found = 0;
        for (int n = 1; n <= 10; ++n)
            if (!Settings.SoundFiles(n).isEmpty()) ++found;
        qCInfo(lcStartup, "alarm sounds: %d in %s", found, qPrintable(DefaultWavFolder()));
    }
    Settings.PrinterValue = 0;
    if (showSplash == 1) FrmSplash->Show(rt::vbModeless);
    rt::DoEvents();

    FrmMainForm& main = FrmMain.get();
    if (main.Tag() != QLatin1String("Logo")) SetMainMode(3);
    UpdateMainControls(true);
    SetNavPanel(true, false);
    if (showSplash == 1) FrmSplash->PBar1.setValue(25);
    rt::DoEvents();

    // The month windows are made when a road first reaches them (MonthForms).

    SetModified(0, 0, 0); // the caption of the "Logo" state

    if (showSplash == 1) {
        FrmSplash->PBar1.setValue(100);
        rt::DoEvents();
        FrmSplash.release();
        rt::DoEvents();
    }
    rt::SetHourglass(false);
    rt::DoEvents();

    main.Show(rt::vbModeless);
    rt::DoEvents();

    if (!document.isEmpty()) {
        OpenDocument(document);
        DropCalFileReadAhead();
        rt::DoEvents();
    }
    // Documents handed over while starting open after this copy's own.
    ReleaseHandedOverDocuments();
    qCInfo(lcHandOff, "started");
    return true;
}

void ShutdownApp() {
    // Documents handed over while the closing was asked about do not open any more.
    CloseHandedOverDocuments();
    rt::SetHourglass(true);
    FrmMainForm& main = FrmMain.get();
    main.Hide();
    // From here the month windows unload when asked, and the document commands do nothing.
    main.setTag(QStringLiteral("Unload"));

    // Every other shared form, in the order of their names.
    rt::releaseSharedForms(&FrmMain);
    // Forms without a shared slot here are unloaded all the same.
    for (rt::Form* form : rt::loadedForms())
        if (form != &main && !form->isMdiChild()) form->Unload();
    rt::DoEvents();

    // Resetting the live document in the state "Unload" also unloads the month windows.
    CurDoc = BlankDocument(false);
    SavedDoc = BlankDocument(true);

    // Written while they still hold the values of the run.
    SaveSettings();

    Settings = AppSettings{};

    GridClip.ClipMode = 0;
    GridClip.ClipMonth = 0;
    GridClip.ClipCell = 0;
    GridClip.ClipIndex = 0;
    EVItem& clip = GridClip.ClipItem;
    clip.AlarmOn = 0;
    clip.AlarmDaysBefore = 0;
    clip.Sound = 0;
    clip.Checked = 0;
    clip.Colour = 0;
    clip.Text.clear();
    clip.PictureFile.clear();
    clip.Kind = 1;
    clip.Picture = rt::Picture::empty();
    SelMonth = 0;
    SelCell = 0;
    SelItem = 0;

    Exchange.DialogMode = 0;
    Exchange.DialogResult = 0;
    Exchange.EditIndex = 0;
    Exchange.AlarmCell = 0;
    Exchange.AlarmMonth = 0;
    Exchange.DialogText.clear();
    Exchange.PrintJob.Mode = 0;
    Exchange.PrintJob.Modified = 0;
    Exchange.PrintJob.UseDefault = 0;
    Exchange.PrintJob.FileName.clear();
    Exchange.PrintJob.Picture = rt::Picture::empty();

    PicEditAccepted = 0;
    PicChooseAccepted = 0;
    PicEditFileName.clear();
    PicChooseFileName.clear();
    PicEditPicture = rt::Picture::empty();

    IsBusy = 0;
    AppVersion.clear();
    HelpFilePath.clear();

    rt::SetHourglass(false);
    rt::DoEvents();

    // The main window's own unload goes on after its close handler returns.
    releaseMainWindowWhenUnloaded();
}
