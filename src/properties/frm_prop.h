#pragma once
// The document properties dialog: three tabs over the live document.
//  - "Général": the year, the author, the month opened first, the file's name and size;
//  - "Affichage": the backgrounds and colours, by default and per month, with a preview;
//  - "Enregistrement": embedded pictures and the read password.
// Nothing in the document changes while the dialog is open. OK confirms a new password, then
// writes the pages back in the order general, display, saving; Cancel and the close box write
// nothing. The frame and the general page are in frm_prop.cpp, the display page in
// frm_prop_display.cpp, the saving page in frm_prop_save.cpp.

#include "document/records.h"
#include "platform/common_dialogs.h"
#include "platform/ui_common_controls.h"
#include "platform/ui_controls.h"
#include "platform/ui_form.h"
#include "platform/ui_lists.h"
#include "platform/ui_picture_box.h"
#include "platform/ui_toolbar.h"
#include "platform/ui_tree_view.h"
#include "printing/printing.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class FrmPropForm : public rt::Form {
public:
    FrmPropForm();

    // -1 from the moment the form loads until OK; the pages are written back only at 0.
    int16_t Cancelled = -1;

    // Working copies of the display page: entry 1 the document's defaults, entry m + 1 month m.
    // Any other entry is run-time error 9.
    ImageItem& WorkImages(int NodeIndex);
    ColourSet& WorkColours(int NodeIndex);

    // ---- Frame ----
    rt::ImageList ImgLstProp{*this, QStringLiteral("ImgLstProp")};
    rt::Label LblProp{*this, QStringLiteral("LblProp")};
    rt::TabControl TbProp{*this, 3, QStringLiteral("TbProp")};
    rt::PictureBox PicGen{TbProp.Page(0), QStringLiteral("PicGen")};
    // 0 the panel of the display tab, 1 the heading panel shown over the preview.
    rt::ControlArray<rt::PictureBox> PicDisp{QStringLiteral("PicDisp"), [this](auto& a) {
                                                 a.create(0, TbProp.Page(1));
                                                 a.create(1, a(0));
                                             }};
    rt::PictureBox PicSave{TbProp.Page(2), QStringLiteral("PicSave")};
    rt::CommandButton CmdOk{*this, QStringLiteral("CmdOk")};
    rt::CommandButton CmdCancel{*this, QStringLiteral("CmdCancel")};
    rt::CommandButton CmdHelp{*this, QStringLiteral("CmdHelp")};

    // ---- General page ----
    rt::ControlArray<rt::Label> LblGenSect{QStringLiteral("LblGenSect"), [this](auto& a) {
                                               for (int i = 0; i <= 1; ++i)
                                                   a.create(i, PicGen);
                                           }};
    rt::ListView LstVGen{PicGen, QStringLiteral("LstVGen")};
    rt::ControlArray<rt::Label> LblGen{QStringLiteral("LblGen"), [this](auto& a) {
                                           for (int i = 0; i <= 3; ++i)
                                               a.create(i, PicGen);
                                       }};
    // 0 the author, 1 the file's name, 2 its size.
    rt::ControlArray<rt::TextBox> TxtGen{QStringLiteral("TxtGen"), [this](auto& a) {
                                             for (int i = 0; i <= 2; ++i)
                                                 a.create(i, PicGen);
                                         }};
    rt::ComboBox CmbGen{PicGen, QStringLiteral("CmbGen")};

    // ---- Display page ----
    rt::TreeView TreeDisp{PicDisp(0), QStringLiteral("TreeDisp")};
    rt::Label LblDispSect{PicDisp(1), QStringLiteral("LblDispSect")};
    rt::PictureBox PicBck{PicDisp(0), QStringLiteral("PicBck")};
    rt::Label LblBckSect{PicBck, QStringLiteral("LblBckSect")};
    // 0 use the defaults, 1 no picture, 2 stretch, 3 tile.
    rt::ControlArray<rt::CheckBox> ChkBck{QStringLiteral("ChkBck"), [this](auto& a) {
                                              for (int i = 0; i <= 3; ++i)
                                                  a.create(i, PicBck);
                                          }};
    rt::Label LblBck{PicBck, QStringLiteral("LblBck")};
    rt::TextBox TxtBck{PicBck, QStringLiteral("TxtBck")};
    rt::CommandButton CmdBck{PicBck, QStringLiteral("CmdBck")};
    rt::CommandButton CmdBckAdjust{PicBck, QStringLiteral("CmdBckAdjust")};
    rt::PictureBox PicCol{PicDisp(0), QStringLiteral("PicCol")};
    rt::Label LblColSect{PicCol, QStringLiteral("LblColSect")};
    // 0 use the defaults, 1 show the grid.
    rt::ControlArray<rt::CheckBox> ChkCol{QStringLiteral("ChkCol"), [this](auto& a) {
                                              for (int i = 0; i <= 1; ++i)
                                                  a.create(i, PicCol);
                                          }};
    // The colour swatches and their names, 0 to 9 without 3.
    rt::ControlArray<rt::PictureBox> PicSelCol{QStringLiteral("PicSelCol"), [this](auto& a) {
                                                   for (int i : kSwatches)
                                                       a.create(i, PicCol);
                                               }};
    rt::ControlArray<rt::Label> LblCol{QStringLiteral("LblCol"), [this](auto& a) {
                                           for (int i : kSwatches)
                                               a.create(i, PicCol);
                                       }};
    rt::PictureBox PicView{PicDisp(0), QStringLiteral("PicView")};
    rt::ControlArray<rt::PictureBox> PicEvent{QStringLiteral("PicEvent"), [this](auto& a) {
                                                  for (int i = 0; i <= 3; ++i)
                                                      a.create(i, PicView);
                                              }};
    rt::ControlArray<rt::Label> LblFix{QStringLiteral("LblFix"), [this](auto& a) {
                                           for (int i = 0; i <= 3; ++i)
                                               a.create(i, PicEvent(i));
                                       }};
    rt::PictureBox PicCalPrev{PicView, QStringLiteral("PicCalPrev")};
    rt::ControlArray<rt::Label> LblDay{QStringLiteral("LblDay"),
                                       previewCells({kPreviewCells.begin(), kPreviewCells.end()})};
    rt::ControlArray<rt::Label> LblEV1{QStringLiteral("LblEV1"), previewCells({7, 8, 9, 10})};
    rt::ControlArray<rt::Label> LblEV2{QStringLiteral("LblEV2"), previewCells({7, 9})};
    rt::ControlArray<rt::Label> LblEV3{QStringLiteral("LblEV3"), previewCells({7, 9})};
    rt::ControlArray<rt::Label> LblEV4{QStringLiteral("LblEV4"), previewCells({7, 9})};
    rt::ControlArray<rt::Label> LblEV5{QStringLiteral("LblEV5"), previewCells({7, 9})};
    rt::ControlArray<rt::Label> LblEV6{QStringLiteral("LblEV6"), previewCells({7, 9})};
    rt::ControlArray<rt::Label> LblEV7{QStringLiteral("LblEV7"), previewCells({7, 9})};
    rt::PictureBox PicTemp{PicDisp(0), QStringLiteral("PicTemp")};
    rt::CommonDialog CDSelColor;

    // ---- Saving page ----
    rt::Label LblSaveSect{PicSave, QStringLiteral("LblSaveSect")};
    // 0 embed the pictures, 1 protect with a password.
    rt::ControlArray<rt::CheckBox> ChkSave{QStringLiteral("ChkSave"), [this](auto& a) {
                                               for (int i = 0; i <= 1; ++i)
                                                   a.create(i, PicSave);
                                           }};
    rt::Label LblSave{PicSave, QStringLiteral("LblSave")};
    rt::TextBox TxtSave{PicSave, QStringLiteral("TxtSave")};

    // Entry line n (1 to 7) of the preview's cells: LblEV1 to LblEV7.
    rt::ControlArray<rt::Label>& LblEV(int n);

    // ---- Frame and general page ----
    void Form_Load() override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void Form_Unload(int& Cancel) override;
    void InitForm();
    void ShowGeneralPage();
    void ApplyGeneral();
    void Frm_EnableCmdButtons(bool Enable);
    void CmdOk_Click();
    void CmdCancel_Click();
    void CmdHelp_Click();
    void TbProp_Click(int PreviousTab);

    // ---- Display page ----
    void LoadDisplayWorkCopies();
    void ApplyDisplaySettings();
    void TreeDisp_NodeClick(rt::Node& Node);
    void ShowBackgroundPage(int16_t NodeIndex);
    void ShowColourPage(int16_t NodeIndex);
    void UpdateDisplayControls(int16_t NodeIndex, bool DoImage, bool DoColours);
    void DrawPreview(int16_t NodeIndex);
    void ChkBck_Click(int Index);
    void ChkCol_Click(int Index);
    void CmdBck_Click();
    void CmdBckAdjust_Click();
    void PicSelCol_Click(int Index);
    void LblCol_Click(int Index);

    // ---- Saving page ----
    void ShowSavePage();
    void UpdateSaveControls();
    void ChkSave_Click(int Index);
    void TxtSave_Change();
    // True when the password needs no confirmation or the user confirmed it; otherwise says so.
    // A password that the file's code page cannot hold is refused before any confirmation.
    bool ConfirmPassword();
    void ApplySaveOptions();

    // The preview's day cells: three weeks of four days, Sunday to Wednesday.
    static constexpr std::array<int, 12> kPreviewCells{7, 8, 9, 10, 14, 15, 16, 17, 21, 22, 23, 24};
    // The swatch indexes.
    static constexpr std::array<int, 9> kSwatches{0, 1, 2, 4, 5, 6, 7, 8, 9};

private:
    using LabelBuilder = std::function<void(rt::ControlArray<rt::Label>&)>;
    LabelBuilder previewCells(std::vector<int> cells) {
        return [this, cells](rt::ControlArray<rt::Label>& a) {
            for (int c : cells)
                a.create(c, PicCalPrev);
        };
    }
    void layOutGeneralPage();
    void layOutDisplayPage();
    void layOutSavePage();
    void initDisplayPage();
    void initSavePage();
    // The node index a section last showed, read back from its tag.
    int16_t sectionNode(const rt::PictureBox& Section) const;

    std::array<ImageItem, 13> workImages_;
    std::array<ColourSet, 13> workColours_;
    // The controls that Frm_EnableCmdButtons(false) disabled, to be enabled again.
    std::vector<rt::Control*> disabledByFrame_;
};

// A file's length as the general page shows it, in kilobytes of 1000 bytes: below 1000 bytes
// with up to two decimals (" 0,5 KB"), from 1000 bytes on in whole kilobytes with the digits
// grouped by three ("1 235 KB").
QString FileSizeText(qint64 Bytes);

// Created when the properties dialog opens, released when it has closed.
extern rt::FormSlot<FrmPropForm> FrmProp;

// The picture chooser and editor as the display page calls them: ChoosePicture and
// EditPicture unless a test put doubles in their place. Empty functions restore them; the
// previous ones are returned.
struct PropPictureTools {
    std::function<PicChooseResult(const QString& FileName)> Choose;
    std::function<PicEditResult(const rt::Picture& Picture, const QString& FileName)> Edit;
};
PropPictureTools setPropPictureTools(PropPictureTools Tools);
