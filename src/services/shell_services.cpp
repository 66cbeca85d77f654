#include "shell_services.h"

#include "core/ui_services.h"
#include "document/doc_state.h"
#include "main_window.h"
#include "platform/help.h"
#include "platform/printers.h"
#include "platform/sound.h"
#include "platform/ui_controls.h"
#include "settings.h"

#include <QFileInfo>
#include <QStringList>
#include <cstdlib>

namespace {
std::function<void()>& optionsRunner() {
    static std::function<void()> runner;
    return runner;
}
} // namespace

bool CheckPrinter(int32_t& PrinterValue) {
    PrinterValue = 0;
    if (rt::PrintersCount() <= 0) return false;
    if (Settings.PrinterValue != 0) {
        PrinterValue = Settings.PrinterValue;
    } else {
        // The default printer is opened once and keeps its handle for the run. It prints in
        // landscape, as a printer chosen in the options does.
        const auto device = rt::defaultPrinter();
        if (device) device->setOrientation(rt::cdlLandscape);
        PrinterValue = device ? device->hDC() : 0;
    }
    return true;
}

bool PlayWav(const QString& FileName) {
    return !rt::sound().play(FileName);
}

void ShowHelp(const QString& Topic) {
    const rt::HelpResult result = rt::help().showTopic(HelpFilePath, Topic);
    if (result == rt::HelpResult::Shown) return;
    const QString file = HelpFilePath.isEmpty() ? QStringLiteral("mrv2help.chm") : HelpFilePath;
    QString message;
    switch (result) {
    case rt::HelpResult::NoHelpFile:
        message = QStringLiteral("L'aide n'est pas disponible : le fichier d'aide est introuvable."
                                 "\r\r%1")
                      .arg(file);
        break;
    case rt::HelpResult::NoViewer:
        message = QStringLiteral("L'aide n'est pas disponible : aucun programme capable d'afficher "
                                 "les fichiers d'aide (.chm) n'est installé.\r\rInstallez "
                                 "kchmviewer ou xchm pour consulter l'aide.");
        break;
    default:
        message = QStringLiteral("L'aide n'est pas disponible : le programme d'affichage de "
                                 "l'aide n'a pas pu être lancé.\r\r%1")
                      .arg(file);
        break;
    }
    rt::MsgBox(message, rt::vbOKOnly + rt::vbExclamation, QStringLiteral("Mirovanta"));
}

std::function<void()> setOptionsDialogRunner(std::function<void()> Runner) {
    std::function<void()> previous = optionsRunner();
    optionsRunner() = std::move(Runner);
    return previous;
}

bool ShowOptionsDialog() {
    mainWindow().SetNavPanel(false, true);
    rt::DoEvents();
    Exchange.DialogResult = 0;
    if (optionsRunner())
        optionsRunner()();
    else
        mainWindow().RunOptionsDialog();
    const bool accepted = Exchange.DialogResult == 1;
    rt::DoEvents();
    // The options may have changed whether printing is possible.
    mainWindow().UpdateMainControls(true);
    return accepted;
}

QString ShortPath(const QString& Text, int MaxLen, QChar Separator) {
    if (Text.size() <= MaxLen) return Text;
    QStringList parts = Text.split(Separator);
    const QString dots = QStringLiteral("...");
    auto rebuild = [&] {
        QString s;
        bool dotsWritten = false;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            const bool last = i == parts.size() - 1;
            if (parts[i] == dots) {
                if (dotsWritten) continue; // a later "..." goes with its separator
                dotsWritten = true;
            }
            s += parts[i];
            if (!last) s += Separator;
        }
        return s;
    };
    QString shown = Text;
    // The first part stays; the folders go from the left, the last part last. Once every part
    // but the first is "..." the text cannot get shorter and is shown as it stands.
    for (qsizetype k = 1; shown.size() >= MaxLen && k < parts.size(); ++k) {
        parts[k] = dots;
        shown = rebuild();
    }
    return shown;
}

void ShowShortPath(rt::Control& Label, int16_t MaxLen, QChar Separator) {
    auto* box = dynamic_cast<rt::TextBox*>(&Label);
    const QString text = box ? box->Text() : Label.Caption();
    if (text.size() <= MaxLen) return;
    Label.setToolTipText(text);
    const QString shown = ShortPath(text, MaxLen, Separator);
    if (box)
        box->setText(shown);
    else
        Label.setCaption(shown);
}

void CenterInContainer(rt::Control& Obj, rt::Control& Container) {
    if (Obj.Height() < Container.Height())
        Obj.setTop(std::abs((Container.Height() - Obj.Height()) / 2));
    else
        Obj.setTop(0);
    if (Obj.Width() < Container.Width())
        Obj.setLeft(std::abs((Container.Width() - Obj.Width()) / 2));
    else
        Obj.setLeft(0);
}

QString DriveOf(const QString& Path) {
    if (Path.startsWith(u'/')) return QStringLiteral("/");
    return Path.left(2);
}
