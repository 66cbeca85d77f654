// The properties dialog's display page: a background picture and nine colours, as the
// document's defaults and for each month (which may use the defaults instead), edited in
// working copies with a sample of a month grid, and written into the document on OK.

#include "core/numeric.h"
#include "core/resources.h"
#include "core/rt_error.h"
#include "core/ui_services.h"
#include "document/cal_reader.h"
#include "document/compare.h"
#include "document/doc_state.h"
#include "document/modified.h"
#include "frm_prop.h"
#include "printing/printing.h"
#include "services/month_painting.h"

namespace {

// Nodes of the tree: 1 the defaults, 2 to 13 the months, then for each of them an "Image"
// node (12 + 2p) and a "Couleurs" node (13 + 2p).
constexpr int kLastParentNode = 13;
constexpr int kLastNode = 39;

// Where the preview stands: under the heading, or under an open section.
constexpr int kPreviewTopUnderHeading = 560;
constexpr int kPreviewTopUnderSection = 2745;

// The right-hand side of the page, beside the tree.
constexpr int kSideLeft = 2640;
constexpr int kSideWidth = 5280;
constexpr int kSectionHeight = 2565;
constexpr int kHeadHeight = 300;
constexpr int kCellWidth = kSideWidth / 4;
constexpr int kCellHeight = 1200;

// The field of a colour set that swatch Index shows.
int32_t& swatchColour(ColourSet& set, int Index) {
    switch (Index) {
    case 0:
        return set.EventText;
    case 1:
        return set.IncomeText;
    case 2:
        return set.ExpenseText;
    case 4:
        return set.DayText;
    case 5:
        return set.TodayText;
    case 6:
        return set.CellBack;
    case 7:
        return set.SelCellBack;
    case 8:
        return set.HeaderText;
    case 9:
        return set.HeaderBack;
    default:
        rt::raise(rt::ErrSubscript);
    }
}

// The string id of swatch Index's name.
int swatchCaption(int Index) {
    return 530 + Index;
}

// Entry lines of the preview: the label array (1 to 7), its text id and its number in cells 7
// and 9, and the colour it is drawn in (0 events, 1 incomes, 2 expenses).
struct EntryLine {
    int line;
    int textId;
    int numberIn7;
    int numberIn9;
    int kind;
};
constexpr EntryLine kEntryLines[] = {
    {1, 516, 1, 4, 0}, {4, 516, 2, 5, 0}, {7, 516, 3, 6, 0}, {2, 517, 1, 3, 1},
    {5, 517, 2, 4, 1}, {3, 518, 1, 3, 2}, {6, 518, 2, 4, 2},
};

PropPictureTools& pictureTools() {
    static PropPictureTools tools;
    return tools;
}

PicChooseResult choosePicture(const QString& FileName) {
    return pictureTools().Choose ? pictureTools().Choose(FileName) : ChoosePicture(FileName);
}

PicEditResult editPicture(const rt::Picture& Picture, const QString& FileName) {
    return pictureTools().Edit ? pictureTools().Edit(Picture, FileName)
                               : EditPicture(Picture, FileName);
}

// The state of a use-defaults box on the defaults' node: ticked when all twelve months use
// the defaults, clear when none does, grey otherwise.
template <class Get> int allMonthsValue(Get usesDefault) {
    int on = 0;
    for (int n = 2; n <= kLastParentNode; ++n)
        if (usesDefault(n) == -1) ++on;
    int off = 0;
    for (int n = 2; n <= kLastParentNode; ++n)
        if (usesDefault(n) == 0) ++off;
    return on == 12 ? rt::vbChecked : off == 12 ? rt::vbUnchecked : rt::vbGrayed;
}

} // namespace

PropPictureTools setPropPictureTools(PropPictureTools Tools) {
    PropPictureTools previous = pictureTools();
    pictureTools() = std::move(Tools);
    return previous;
}

ImageItem& FrmPropForm::WorkImages(int NodeIndex) {
    if (NodeIndex < 1 || NodeIndex > kLastParentNode) rt::raise(rt::ErrSubscript);
    return workImages_[size_t(NodeIndex - 1)];
}

ColourSet& FrmPropForm::WorkColours(int NodeIndex) {
    if (NodeIndex < 1 || NodeIndex > kLastParentNode) rt::raise(rt::ErrSubscript);
    return workColours_[size_t(NodeIndex - 1)];
}

rt::ControlArray<rt::Label>& FrmPropForm::LblEV(int n) {
    switch (n) {
    case 1:
        return LblEV1;
    case 2:
        return LblEV2;
    case 3:
        return LblEV3;
    case 4:
        return LblEV4;
    case 5:
        return LblEV5;
    case 6:
        return LblEV6;
    case 7:
        return LblEV7;
    default:
        rt::raise(rt::ErrSubscript);
    }
}

int16_t FrmPropForm::sectionNode(const rt::PictureBox& Section) const {
    return rt::CInt(rt::Val(Section.Tag()));
}

// ---- Layout ----

void FrmPropForm::layOutDisplayPage() {
    TreeDisp.Move(120, 120, kSideLeft - 240, kPreviewTopUnderSection + 3900 - 120);

    rt::PictureBox& heading = PicDisp(1);
    heading.Move(kSideLeft, 120, kSideWidth, 360);
    heading.setBorderStyle(0);
    LblDispSect.Move(0, 30, kSideWidth, 285);
    LblDispSect.setFontBold(true);
    LblDispSect.setBackStyle(0);

    for (rt::PictureBox* section : {&PicBck, &PicCol}) {
        section->Move(kSideLeft, 120, kSideWidth, kSectionHeight);
        section->setBorderStyle(0);
        section->setVisible(false);
        section->setEnabled(false);
    }

    // The image section.
    LblBckSect.Move(0, 30, kSideWidth, 285);
    ChkBck(0).Move(120, 390, kSideWidth - 120, 285);
    ChkBck(1).Move(120, 720, kSideWidth - 120, 285);
    ChkBck(2).Move(120, 1050, 2400, 285);
    ChkBck(3).Move(2640, 1050, 2520, 285);
    LblBck.Move(120, 1440, kSideWidth - 120, 255);
    TxtBck.Move(120, 1710, 3330, 315);
    TxtBck.setLocked(true);
    CmdBck.Move(3540, 1680, 1110, 375);
    CmdBckAdjust.Move(4740, 1680, 480, 375);
    CmdBckAdjust.setStyle(1);

    // The colour section: the swatches in two columns, in the order of their indexes.
    LblColSect.Move(0, 30, kSideWidth, 285);
    ChkCol(0).Move(120, 390, kSideWidth - 120, 285);
    ChkCol(1).Move(120, 720, kSideWidth - 120, 285);
    for (size_t k = 0; k < kSwatches.size(); ++k) {
        const int i = kSwatches[k];
        const int column = k < 5 ? 0 : 1;
        const int row = k < 5 ? int(k) : int(k) - 5;
        const int left = 120 + column * 2640, top = 1080 + row * 285;
        PicSelCol(i).Move(left, top + 15, 420, 240);
        PicSelCol(i).setBorderStyle(1);
        LblCol(i).Move(left + 510, top + 15, 2040, 255);
    }
    for (rt::Label* l : {&LblBckSect, &LblColSect}) {
        l->setFontBold(true);
        l->setBackStyle(0);
    }
    for (rt::Label* l : {&LblBck})
        l->setBackStyle(0);
    for (int i : kSwatches)
        LblCol(i).setBackStyle(0);

    // The preview: four weekday heads over three weeks of four days.
    PicView.Move(kSideLeft, kPreviewTopUnderHeading, kSideWidth, kHeadHeight + 3 * kCellHeight);
    PicView.setBorderStyle(0);
    for (int i = 0; i <= 3; ++i) {
        PicEvent(i).Move(i * kCellWidth, 0, kCellWidth, kHeadHeight);
        PicEvent(i).setBorderStyle(1);
        LblFix(i).Move(0, 0, kCellWidth - 30, kHeadHeight - 60);
        LblFix(i).setAlignment(rt::vbCenter);
        LblFix(i).setBackStyle(0);
        LblFix(i).setFontSize(8);
    }
    PicCalPrev.Move(0, kHeadHeight, kSideWidth, 3 * kCellHeight);
    PicCalPrev.setBorderStyle(0);
    PicCalPrev.setBackColor(rt::vbWindowBackground);
    for (int c : kPreviewCells) {
        const int left = (c % 7) * kCellWidth, top = (c / 7 - 1) * kCellHeight;
        rt::Label& day = LblDay(c);
        day.Move(left, top, kCellWidth, kCellHeight);
        day.setAlignment(rt::vbRightJustify);
        day.setFontBold(true);
        day.setFontSize(7);
        const int line = kCellHeight / 8;
        for (int n = 1; n <= 7; ++n) {
            if (!LblEV(n).exists(c)) continue;
            rt::Label& entry = LblEV(n)(c);
            entry.Move(left + 45, top + n * line, kCellWidth - 75, line);
            entry.setBackStyle(0);
            entry.setFontSize(6);
            entry.setUseMnemonic(false);
        }
    }
    PicTemp.setBorderStyle(0);
    PicTemp.setAutoSize(true);
    PicTemp.setVisible(false);

    TreeDisp.onNodeClick = [this](rt::Node& n) { TreeDisp_NodeClick(n); };
    for (int i = 0; i <= 3; ++i)
        ChkBck(i).onClick = [this, i] { ChkBck_Click(i); };
    for (int i = 0; i <= 1; ++i)
        ChkCol(i).onClick = [this, i] { ChkCol_Click(i); };
    CmdBck.onClick = [this] { CmdBck_Click(); };
    CmdBckAdjust.onClick = [this] { CmdBckAdjust_Click(); };
    for (int i : kSwatches) {
        PicSelCol(i).onClick = [this, i] { PicSelCol_Click(i); };
        LblCol(i).onClick = [this, i] { LblCol_Click(i); };
    }
}

void FrmPropForm::initDisplayPage() {
    auto& nodes = TreeDisp.Nodes();
    nodes.Clear();
    nodes.Add({}, rt::tvwLast, {}, rt::LoadResString(512));
    for (int m = 1; m <= 12; ++m)
        nodes.Add({}, rt::tvwLast, {}, rt::LoadResString(209 + m));
    for (int p = 1; p <= kLastParentNode; ++p) {
        nodes.Add(p, rt::tvwChild, {}, rt::LoadResString(513));
        nodes.Add(p, rt::tvwChild, {}, rt::LoadResString(514));
    }

    LblDispSect.setCaption(rt::LoadResString(515));
    LblBckSect.setCaption(rt::LoadResString(521));
    for (int i = 0; i <= 3; ++i)
        ChkBck(i).setCaption(rt::LoadResString(522 + i));
    LblBck.setCaption(rt::LoadResString(526));
    CmdBck.setCaption(rt::LoadResString(527));
    CmdBckAdjust.setToolTipText(rt::LoadResString(254));
    CmdBckAdjust.setPicture(rt::LoadResPicture(228, rt::vbResBitmap));
    CmdBckAdjust.setDisabledPicture(rt::LoadResPicture(328, rt::vbResBitmap));
    LblColSect.setCaption(rt::LoadResString(514));
    ChkCol(0).setCaption(rt::LoadResString(522));
    ChkCol(1).setCaption(rt::LoadResString(529));
    for (int i : kSwatches)
        LblCol(i).setCaption(rt::LoadResString(swatchCaption(i)));

    const int heads[] = {407, 401, 402, 403};
    for (int i = 0; i <= 3; ++i)
        LblFix(i).setCaption(rt::LoadResString(heads[i]));
    for (int c : kPreviewCells)
        LblDay(c).setCaption(rt::FormatNumber(c, QStringLiteral("00")));
    for (const EntryLine& e : kEntryLines) {
        const QString text = rt::LoadResString(e.textId) + u' ';
        LblEV(e.line)(7).setCaption(text + QString::number(e.numberIn7));
        LblEV(e.line)(9).setCaption(text + QString::number(e.numberIn9));
    }
    LblEV1(8).setCaption(rt::LoadResString(519));
    LblEV1(10).setCaption(rt::LoadResString(520));
}

// ---- Loading and the tree ----

void FrmPropForm::LoadDisplayWorkCopies() {
    WorkImages(1) = CurDoc.DefaultBackground;
    WorkColours(1) = CurDoc.DefaultColours;
    for (int n = 2; n <= kLastParentNode; ++n) {
        WorkImages(n) = CurDoc.Months(n - 1).Background;
        WorkColours(n) = CurDoc.Months(n - 1).Colours;
    }
    rt::Node& defaults = TreeDisp.Nodes(1);
    defaults.setExpanded(true);
    defaults.setSelected(true);
    TreeDisp_NodeClick(defaults);
}

void FrmPropForm::TreeDisp_NodeClick(rt::Node& Node) {
    Node.setSelected(true);
    const int index = Node.Index();
    if (index <= kLastParentNode) {
        for (rt::PictureBox* section : {&PicBck, &PicCol}) {
            section->setVisible(false);
            section->setEnabled(false);
        }
        PicDisp(1).setVisible(true);
        PicDisp(1).setEnabled(true);
        LblDispSect.setCaption(Node.Text() + u' ' + rt::LoadResString(515));
        PicView.setTop(kPreviewTopUnderHeading);
        DrawPreview(int16_t(index));
        return;
    }
    if (index > kLastNode) return;

    PicView.setTop(kPreviewTopUnderSection);
    PicDisp(1).setVisible(false);
    PicDisp(1).setEnabled(false);
    rt::Node* parent = Node.Parent();
    const int16_t parentIndex = int16_t(parent ? parent->Index() : (index - 12) / 2);
    const QString parentText = parent ? parent->Text() : QString();
    if (index % 2 == 0) {
        PicCol.setVisible(false);
        PicCol.setEnabled(false);
        PicBck.setVisible(true);
        PicBck.setEnabled(true);
        LblBckSect.setCaption(parentText + u' ' + rt::LoadResString(521));
        ShowBackgroundPage(parentIndex);
    } else {
        PicBck.setVisible(false);
        PicBck.setEnabled(false);
        PicCol.setVisible(true);
        PicCol.setEnabled(true);
        LblColSect.setCaption(parentText + u' ' + rt::LoadResString(514));
        ShowColourPage(parentIndex);
    }
    DrawPreview(parentIndex);
}

// ---- The two sections ----

void FrmPropForm::ShowBackgroundPage(int16_t NodeIndex) {
    IsBusy = -1;
    PicBck.setTag(QString::number(NodeIndex));
    const ImageItem& item = WorkImages(NodeIndex);
    if (NodeIndex >= 2) {
        ChkBck(0).setCaption(rt::LoadResString(522));
        ChkBck(0).setValue(item.UseDefault != 0 ? rt::vbChecked : rt::vbUnchecked);
    } else {
        ChkBck(0).setCaption(rt::LoadResString(542));
        ChkBck(0).setValue(allMonthsValue([this](int n) { return WorkImages(n).UseDefault; }));
    }
    if (item.FileName.isEmpty()) {
        ChkBck(1).setValue(rt::vbChecked);
        TxtBck.setText(QString());
    } else {
        ChkBck(1).setValue(rt::vbUnchecked);
        TxtBck.setText(rt::TrimBlanks(item.FileName));
    }
    switch (item.Mode) {
    case ImageMode::AsIs:
        ChkBck(2).setValue(rt::vbUnchecked);
        ChkBck(3).setValue(rt::vbUnchecked);
        break;
    case ImageMode::Stretched:
        ChkBck(3).setValue(rt::vbUnchecked);
        ChkBck(2).setValue(rt::vbChecked);
        break;
    case ImageMode::Tiled:
        ChkBck(2).setValue(rt::vbUnchecked);
        ChkBck(3).setValue(rt::vbChecked);
        break;
    default:
        break;
    }
    UpdateDisplayControls(NodeIndex, true, false);
    IsBusy = 0;
}

void FrmPropForm::ShowColourPage(int16_t NodeIndex) {
    IsBusy = -1;
    PicCol.setTag(QString::number(NodeIndex));
    const ColourSet& set = WorkColours(NodeIndex);
    if (NodeIndex >= 2) {
        ChkCol(0).setCaption(rt::LoadResString(522));
        ChkCol(0).setValue(set.UseDefault != 0 ? rt::vbChecked : rt::vbUnchecked);
    } else {
        ChkCol(0).setCaption(rt::LoadResString(542));
        ChkCol(0).setValue(allMonthsValue([this](int n) { return WorkColours(n).UseDefault; }));
    }
    ChkCol(1).setValue(set.ShowGrid != 0 ? rt::vbChecked : rt::vbUnchecked);
    ColourSet copy = set;
    for (int i : kSwatches)
        PicSelCol(i).setBackColor(DisplayColour(swatchColour(copy, i), rt::vbWindowBackground));
    UpdateDisplayControls(NodeIndex, false, true);
    IsBusy = 0;
}

void FrmPropForm::UpdateDisplayControls(int16_t NodeIndex, bool DoImage, bool DoColours) {
    if (DoImage) {
        const bool ownSettings = NodeIndex == 1 || ChkBck(0).Value() == rt::vbUnchecked;
        ChkBck(1).setEnabled(ownSettings);
        const bool picture = ChkBck(1).Value() == rt::vbUnchecked && ownSettings;
        for (rt::Control* c :
             std::initializer_list<rt::Control*>{&ChkBck(2), &ChkBck(3), &LblBck, &TxtBck, &CmdBck})
            c->setEnabled(picture);
        CmdBckAdjust.setEnabled(picture && !TxtBck.Text().isEmpty());
        TxtBck.setBackColor(picture ? rt::vbWindowBackground : rt::vbButtonFace);
    }
    if (DoColours) {
        ChkCol(1).setEnabled(NodeIndex == 1 || ChkCol(0).Value() == rt::vbUnchecked);
        for (int i : kSwatches) {
            LblCol(i).setEnabled(ChkCol(1).Enabled());
            PicSelCol(i).setEnabled(ChkCol(1).Enabled());
        }
    }
}

// ---- Handlers ----

void FrmPropForm::ChkBck_Click(int Index) {
    if (IsBusy) return;
    const int16_t n = sectionNode(PicBck);
    switch (Index) {
    case 0: {
        const int16_t flag = ChkBck(0).Value() != rt::vbUnchecked ? -1 : 0;
        if (n == 1) {
            WorkImages(1).UseDefault = flag;
            for (int m = 2; m <= kLastParentNode; ++m)
                WorkImages(m).UseDefault = WorkImages(1).UseDefault;
        } else {
            WorkImages(n).UseDefault = flag;
            DrawPreview(n);
        }
        break;
    }
    case 1:
        if (!TxtBck.Text().isEmpty()) {
            // The name stays in the box, so that unticking gives it back.
            WorkImages(n).FileName =
                ChkBck(1).Value() == rt::vbUnchecked ? TxtBck.Text() : QString();
            DrawPreview(n);
        }
        break;
    case 2:
    case 3:
        if (ChkBck(2).Value() == rt::vbChecked && ChkBck(3).Value() == rt::vbChecked) {
            // Unticking the other box runs this handler for it, which sets the mode.
            ChkBck(Index == 2 ? 3 : 2).setValue(rt::vbUnchecked);
        } else {
            const bool stretch = ChkBck(2).Value() == rt::vbChecked;
            const bool tile = ChkBck(3).Value() == rt::vbChecked;
            WorkImages(n).Mode = stretch ? ImageMode::Stretched
                                 : tile  ? ImageMode::Tiled
                                         : ImageMode::AsIs;
            if (!WorkImages(n).FileName.isEmpty()) DrawPreview(n);
        }
        break;
    default:
        break;
    }
    UpdateDisplayControls(n, true, false);
}

void FrmPropForm::ChkCol_Click(int Index) {
    if (IsBusy) return;
    const int16_t n = sectionNode(PicCol);
    if (Index == 0) {
        const int16_t flag = ChkCol(0).Value() != rt::vbUnchecked ? -1 : 0;
        if (n == 1) {
            WorkColours(1).UseDefault = flag;
            for (int m = 2; m <= kLastParentNode; ++m)
                WorkColours(m).UseDefault = WorkColours(1).UseDefault;
        } else {
            WorkColours(n).UseDefault = flag;
            DrawPreview(n);
        }
    } else if (Index == 1) {
        WorkColours(n).ShowGrid = ChkCol(1).Value() != rt::vbUnchecked ? -1 : 0;
        DrawPreview(n);
    }
    UpdateDisplayControls(n, false, true);
}

void FrmPropForm::CmdBck_Click() {
    Frm_EnableCmdButtons(false);
    const int16_t n = sectionNode(PicBck);
    const PicChooseResult chosen = choosePicture(TxtBck.Text());
    if (chosen.Accepted == 1 && PictureWithinLimit(chosen.FileName)) {
        TxtBck.setText(chosen.FileName);
        WorkImages(n).FileName = TxtBck.Text();
        if (!LoadImageItemPicture(WorkImages(n))) {
            WorkImages(n).FileName.clear();
            TxtBck.setText(QString());
            rt::MsgBox(rt::LoadResString(10049), rt::vbCritical | rt::vbOKOnly,
                       QStringLiteral("Mirovanta"));
        }
    }
    Frm_EnableCmdButtons(true);
    DrawPreview(n);
    UpdateDisplayControls(n, true, false);
}

void FrmPropForm::CmdBckAdjust_Click() {
    const int16_t n = sectionNode(PicBck);
    const PicEditResult edited = editPicture(WorkImages(n).Picture, WorkImages(n).FileName);
    if (edited.Changed != 1) return;
    WorkImages(n).Picture = edited.Picture;
    WorkImages(n).FileName = edited.FileName;
    TxtBck.setText(edited.FileName);
    DrawPreview(n);
}

void FrmPropForm::PicSelCol_Click(int Index) {
    if (IsBusy) return;
    const int16_t n = sectionNode(PicCol);
    try {
        CDSelColor.CancelError = true;
        CDSelColor.Flags = rt::cdlCCRGBInit | rt::cdlCCFullOpen;
        CDSelColor.Color = PicSelCol(Index).BackColor();
        CDSelColor.ShowColor();
        swatchColour(WorkColours(n), Index) = CDSelColor.Color;
        PicSelCol(Index).setBackColor(CDSelColor.Color);
        DrawPreview(n);
    } catch (const rt::RtError&) {
        // A cancelled dialog, or any other failure, changes nothing.
    }
}

void FrmPropForm::LblCol_Click(int Index) {
    PicSelCol_Click(Index);
}

// ---- Preview ----

void FrmPropForm::DrawPreview(int16_t NodeIndex) {
    rt::SetHourglass(true);
    PicView.setVisible(false);
    rt::DoEvents();

    const ColourSet& C =
        WorkColours(NodeIndex).UseDefault != 0 ? WorkColours(1) : WorkColours(NodeIndex);
    const ImageItem& P =
        WorkImages(NodeIndex).UseDefault != 0 ? WorkImages(1) : WorkImages(NodeIndex);

    const int32_t headerBack = DisplayColour(C.HeaderBack, rt::vbButtonFace);
    const int32_t headerText = DisplayColour(C.HeaderText, rt::vbButtonText);
    for (int i = 0; i <= 3; ++i) {
        PicEvent(i).setBackColor(headerBack);
        LblFix(i).setForeColor(headerText);
    }
    const bool picture = !P.FileName.isEmpty();
    for (int c : kPreviewCells) {
        rt::Label& day = LblDay(c);
        day.setBorderStyle(C.ShowGrid != 0 ? 1 : 0);
        day.setBackStyle(c != 8 && picture ? 0 : 1);
        day.setBackColor(DisplayColour(C.CellBack, rt::vbWindowBackground));
        day.setForeColor(DisplayColour(C.DayText, rt::vbWindowText));
    }
    LblDay(8).setBackColor(DisplayColour(C.SelCellBack, rt::vbHighlight));
    LblDay(10).setForeColor(DisplayColour(C.TodayText, rt::vbWindowText));

    const int32_t kinds[] = {DisplayColour(C.EventText, rt::vbWindowText),
                             DisplayColour(C.IncomeText, rt::vbWindowText),
                             DisplayColour(C.ExpenseText, rt::vbWindowText)};
    for (const EntryLine& e : kEntryLines)
        for (int c : {7, 9})
            LblEV(e.line)(c).setForeColor(kinds[e.kind]);
    LblEV1(8).setForeColor(kinds[0]);
    LblEV1(10).setForeColor(kinds[0]);

    // A setting without a file name shows no picture, even while the working copy still holds
    // the picture that unticking "no picture" gives back.
    ImageItem shown = P;
    if (!picture) shown.Picture = rt::Picture::empty();
    PaintBackground(PicCalPrev, PicTemp, shown);

    PicView.setVisible(true);
    rt::SetHourglass(false);
    rt::DoEvents();
}

// ---- Applying ----

void FrmPropForm::ApplyDisplaySettings() {
    if (CompareImageItem(CurDoc.DefaultBackground, WorkImages(1))) {
        CurDoc.DefaultBackground = WorkImages(1);
        SetModified(DocPart::DefaultBackground, -1, 0);
    }
    if (CompareColourSet(CurDoc.DefaultColours, WorkColours(1))) {
        CurDoc.DefaultColours = WorkColours(1);
        SetModified(DocPart::DefaultColours, -1, 0);
    }
    for (int n = 2; n <= kLastParentNode; ++n) {
        const int16_t m = int16_t(n - 1);
        ImageItem& image = WorkImages(n);
        // A month that uses the default background gives up its own picture.
        if (!image.FileName.isEmpty() && image.UseDefault != 0) {
            image.FileName.clear();
            image.Picture = rt::Picture::empty();
        }
        if (CompareImageItem(CurDoc.Months(m).Background, image)) {
            CurDoc.Months(m).Background = image;
            SetModified(DocPart::MonthBackground, -1, m);
        }
        if (CompareColourSet(CurDoc.Months(m).Colours, WorkColours(n))) {
            CurDoc.Months(m).Colours = WorkColours(n);
            SetModified(DocPart::MonthColours, -1, m);
        }
    }
}
