#include "ask_path.h"

#include "core/numeric.h"
#include "core/resources.h"
#include "core/rt_error.h"
#include "core/system.h"
#include "core/ui_services.h"
#include "document/doc_state.h"
#include "document/paths.h"
#include "services/shell_services.h"

#include <QDir>
#include <QFileInfo>

rt::FormSlot<FrmAskPathForm> FrmAskPath{"FrmAskPath"};

namespace {

const QString kTitle = QStringLiteral("Mirovanta");

// The number and description of an error, as the messages show them.
QString errorLines(const rt::RtError& e) {
    return rt::LoadResString(10038) + QStringLiteral("  ") + QString::number(e.Number) + u'\r' +
           rt::LoadResString(10039) + QStringLiteral("  ") + rt::TrimBlanks(e.Description);
}

// Makes one folder whose parent exists, as the runtime's MkDir does.
void MakeFolder(const QString& path) {
    const QFileInfo info(path);
    if (info.exists()) rt::raise(rt::ErrPathFileAccess);
    if (!info.dir().exists()) rt::raise(rt::ErrPathNotFound);
    if (!QFileInfo(info.dir().path()).isWritable()) rt::raise(rt::ErrPermissionDenied);
    if (!QDir().mkdir(path)) rt::raise(rt::ErrPathFileAccess);
}

} // namespace

FrmAskPathForm::FrmAskPathForm() : rt::Form(QStringLiteral("FrmAskPath")) {
    setBorderStyle(rt::vbFixedDialog);
    setKeyPreview(true);
    Move(0, 0, 4815, 4710);

    Drive1.Move(120, 120, 4455, 315);
    Dir1.Move(120, 540, 4455, 2775);
    FrmSelPath.Move(120, 3420, 4455, 615);
    LblSelPath.Move(120, 270, 4215, 255);
    CmdNew.Move(120, 4200, 1815, 375);
    CmdOk.Move(2040, 4200, 1215, 375);
    CmdOk.setDefault(true);
    CmdCancel.Move(3360, 4200, 1215, 375);
    CmdCancel.setCancel(true);

    Drive1.onChange = [this] { Drive1_Change(); };
    Dir1.onChange = [this] { Dir1_Change(); };
    CmdNew.onClick = [this] { CmdNew_Click(); };
    CmdOk.onClick = [this] { CmdOk_Click(); };
    CmdCancel.onClick = [this] { CmdCancel_Click(); };
}

void FrmAskPathForm::Form_Load() {
    Cancelled = -1;
    setIcon(rt::LoadResPicture(1401, rt::vbResIcon));
    setCaption(rt::LoadResString(1401));
    FrmSelPath.setCaption(rt::LoadResString(1402));
    CmdNew.setCaption(rt::LoadResString(1403));
    CmdOk.setCaption(rt::LoadResString(502));
    CmdCancel.setCaption(rt::LoadResString(503));

    try {
        Drive1.setDrive(DriveOf(Exchange.DialogText));
        Dir1.setPath(Exchange.DialogText);
    } catch (const rt::RtError&) {
        const QString program = rt::sys().programFolder();
        try {
            Drive1.setDrive(DriveOf(program));
            Dir1.setPath(program);
        } catch (const rt::RtError&) {
            // The folder list stays where it is.
        }
    }
    showFolder(Dir1.Path());
}

void FrmAskPathForm::Drive1_Change() {
    for (;;) {
        try {
            Dir1.setPath(Drive1.Drive());
            return;
        } catch (const rt::RtError& e) {
            const QString prompt = rt::LoadResString(1407) + u'\r' + Drive1.Drive() +
                                   QStringLiteral(".\r\r") + errorLines(e);
            if (rt::MsgBox(prompt, rt::vbRetryCancel + rt::vbCritical, kTitle) != rt::vbRetry) {
                try {
                    Drive1.setDrive(DriveOf(Dir1.Path()));
                } catch (const rt::RtError&) {
                }
                return;
            }
        }
    }
}

void FrmAskPathForm::Dir1_Change() {
    showFolder(Dir1.Path());
}

void FrmAskPathForm::showFolder(const QString& folder) {
    LblSelPath.setCaption(folder);
    LblSelPath.setToolTipText(folder);
    LblSelPath_Change();
}

void FrmAskPathForm::LblSelPath_Change() {
    ShowShortPath(LblSelPath, 30);
}

void FrmAskPathForm::CmdNew_Click() {
    const QString parent = AddBackslash(Dir1.Path());
    const QString answer = rt::InputBox(rt::LoadResString(1404) + QStringLiteral("\r\r") +
                                            rt::LoadResString(1405) + u'\r' + parent,
                                        kTitle, QString());
    if (answer.isEmpty()) return;
    const QString folder = parent + rt::TrimBlanks(answer);
    try {
        MakeFolder(folder);
        Dir1.Refresh();
        Dir1.setPath(folder);
    } catch (const rt::RtError& e) {
        rt::MsgBox(rt::LoadResString(1406) + QStringLiteral("\r\r") + errorLines(e),
                   rt::vbOKOnly + rt::vbCritical, kTitle);
    }
}

void FrmAskPathForm::CmdOk_Click() {
    Cancelled = 0;
    Unload();
}

void FrmAskPathForm::CmdCancel_Click() {
    Unload();
}

void FrmAskPathForm::Form_Unload(int&) {
    if (Cancelled != 0) {
        Exchange.DialogText.clear();
        Exchange.DialogResult = 0;
    } else {
        Exchange.DialogText = AddBackslash(Dir1.Path());
        Exchange.DialogResult = 1;
    }
}

void FrmAskPathForm::Form_KeyDown(int& KeyCode, int) {
    if (KeyCode == 112) ShowHelp(QStringLiteral("Html\\d_askpath.htm"));
}

QString AskForPath(const QString& StartPath) {
    Exchange.DialogText = StartPath;
    Exchange.DialogResult = 0;
    FrmAskPath->Show(rt::vbModal);
    FrmAskPath.release();
    const QString result = Exchange.DialogResult == 1 ? Exchange.DialogText : StartPath;
    rt::DoEvents();
    Exchange.DialogText.clear();
    return result;
}
