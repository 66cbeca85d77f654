#include "frm_ask_save.h"

#include "core/resources.h"
#include "core/ui_services.h"
#include "document/doc_state.h"
#include "platform/ui_dispatch.h"
#include "services/form_support.h"
#include "services/shell_services.h"

#include <QListWidget>

rt::FormSlot<FrmAskSaveForm> FrmAskSave{"FrmAskSave"};

FrmAskSaveForm::FrmAskSaveForm() : rt::Form(QStringLiteral("FrmAskSave")) {
    setBorderStyle(rt::vbFixedDialog);
    setKeyPreview(true);
    Move(0, 0, 8340, 4680);

    ImgQuestion.Move(180, 180, 480, 480);
    LblAskSave.Move(840, 180, 7230, 285);
    LblAskSave.setFontBold(true);
    LblQuestion.Move(840, 540, 7230, 660);
    LblQuestion.setWordWrap(true);
    LstAskSave.Move(840, 1260, 7230, 2310);
    LstAskSave.setMultiSelect(1);
    CmdYes.Move(840, 3750, 1335, 390);
    CmdYes.setDefault(true);
    CmdNo.Move(2265, 3750, 1335, 390);
    CmdCancel.Move(3690, 3750, 1335, 390);
    CmdCancel.setCancel(true);
    CmdHelp.Move(7590, 3750, 480, 390);
    CmdHelp.setStyle(1);

    CmdYes.onClick = [this] { CmdYes_Click(); };
    CmdNo.onClick = [this] { CmdNo_Click(); };
    CmdCancel.onClick = [this] { CmdCancel_Click(); };
    CmdHelp.onClick = [this] { CmdHelp_Click(); };
    if (auto* list = qobject_cast<QListWidget*>(LstAskSave.widget()))
        QObject::connect(list, &QListWidget::itemSelectionChanged, this,
                         [this] { rt::dispatch([this] { keepYearGroupTogether(); }); });
}

void FrmAskSaveForm::Form_Load() {
    Answer = 0;
    FileName = Exchange.DialogText;
    InitCaptions();
    FillPartsList();
    rt::DoEventsNoInput();
}

void FrmAskSaveForm::InitCaptions() {
    setCaption(QStringLiteral("Mirovanta - ") + rt::LoadResString(1301));
    setIcon(rt::LoadResPicture(1301, rt::vbResIcon));
    LblAskSave.setCaption(rt::LoadResString(1301));

    // The bitmap becomes an icon through the image list, which is left empty.
    ILAskSave.ListImages().Add({}, QStringLiteral("Question"),
                               rt::LoadResPicture(1301, rt::vbResBitmap));
    ImgQuestion.setPicture(ILAskSave.ListImages()(QStringLiteral("Question")).ExtractIcon());
    ILAskSave.ListImages().Clear();

    CmdHelp.setPicture(HelpButtonPicture());
    CmdHelp.setToolTipText(rt::LoadResString(223));
    CmdCancel.setCaption(rt::LoadResString(503));
    CmdYes.setCaption(rt::LoadResString(1302));
    CmdNo.setCaption(rt::LoadResString(1303));
    const QString name = FileName.isEmpty() ? rt::LoadResString(540) : FileName;
    LblQuestion.setCaption(rt::LoadResString(1304) + u' ' + name + u' ' + rt::LoadResString(1305));
}

void FrmAskSaveForm::FillPartsList() {
    lines_ = ChangedPartLines(CurDoc);
    syncing_ = true;
    for (size_t i = 0; i < lines_.size(); ++i) {
        LstAskSave.AddItem(lines_[i].Text);
        LstAskSave.setItemData(LstAskSave.NewIndex(), int32_t(i));
        LstAskSave.setSelected(LstAskSave.NewIndex(), true);
    }
    if (LstAskSave.ListCount() > 0) {
        LstAskSave.setListIndex(0);
        // Making the first line current leaves every line selected.
        for (int i = 0; i < LstAskSave.ListCount(); ++i)
            LstAskSave.setSelected(i, true);
    }
    lastSelection_.assign(lines_.size(), true);
    syncing_ = false;
}

void FrmAskSaveForm::keepYearGroupTogether() {
    if (syncing_ || lastSelection_.size() != size_t(LstAskSave.ListCount())) return;
    syncing_ = true;
    if (YearChangedSinceSave()) {
        std::optional<bool> groupValue;
        for (int i = 0; i < LstAskSave.ListCount(); ++i) {
            const AskSaveLine& line = lines_[size_t(LstAskSave.ItemData(i))];
            if (InYearGroup(line) && LstAskSave.Selected(i) != lastSelection_[size_t(i)]) {
                groupValue = LstAskSave.Selected(i);
                break;
            }
        }
        if (groupValue)
            for (int i = 0; i < LstAskSave.ListCount(); ++i)
                if (InYearGroup(lines_[size_t(LstAskSave.ItemData(i))]))
                    LstAskSave.setSelected(i, *groupValue);
    }
    for (int i = 0; i < LstAskSave.ListCount(); ++i)
        lastSelection_[size_t(i)] = LstAskSave.Selected(i);
    syncing_ = false;
}

void FrmAskSaveForm::CmdYes_Click() {
    Answer = 1;
    Unload();
}

void FrmAskSaveForm::CmdNo_Click() {
    Answer = 2;
    Unload();
}

void FrmAskSaveForm::CmdCancel_Click() {
    Unload();
}

void FrmAskSaveForm::CmdHelp_Click() {
    ShowHelp(QStringLiteral("Html\\d_asksave.htm"));
}

void FrmAskSaveForm::Form_KeyDown(int& KeyCode, int) {
    if (KeyCode == 112) CmdHelp_Click();
}

void FrmAskSaveForm::Form_Unload(int&) {
    if (Answer == 0)
        Exchange.DialogResult = 0;
    else if (Answer == 2)
        Exchange.DialogResult = 1;
    else
        SaveSelectedParts();
    FileName.clear();
}

void FrmAskSaveForm::SaveSelectedParts() {
    Hide();
    rt::DoEventsNoInput();
    std::vector<AskSaveLine> lines;
    std::vector<bool> selected;
    for (int i = 0; i < LstAskSave.ListCount(); ++i) {
        lines.push_back(lines_[size_t(LstAskSave.ItemData(i))]);
        selected.push_back(LstAskSave.Selected(i));
    }
    Exchange.DialogResult = WriteSelectedParts(FileName, lines, selected);
}
