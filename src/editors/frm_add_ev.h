#pragma once
// The day-item editor: adds an event, an income or an expense to the current day (CurMonth,
// CurCell), or edits one of its items. Three pages: "Général" (kind, description, amount, or
// the link to a debt or saving with its balance before the day and after this movement),
// "Affichage" (the item's own text colour and picture) and "Alarme" (alarm on or off, days
// ahead, sound).
//
// An income or expense is linked to a debt or saving only by carrying its name: typing the
// name of one in the description links the item at once. An item written by an auto-event or
// a birthday keeps its kind, description and amount: its general page shows a warning instead.

#include "document/records.h"
#include "editor_frame.h"
#include "platform/common_dialogs.h"
#include "platform/ui_lists.h"

class FrmAddEVForm : public EditorForm {
public:
    FrmAddEVForm();

    rt::TabControl TbAddEV{*this, 3, QStringLiteral("TbAddEV")};
    // 0 the general page, 1 display, 2 alarm; 3 lies over 0 for a generated item.
    rt::ControlArray<rt::PictureBox> PicTab{QStringLiteral("PicTab"), [this](auto& a) {
                                                a.create(0, TbAddEV.Page(0));
                                                a.create(1, TbAddEV.Page(1));
                                                a.create(2, TbAddEV.Page(2));
                                                a.create(3, TbAddEV.Page(0));
                                            }};
    rt::CommonDialog CDSelColor;

    // ---- General page (PicTab(0)) ----
    rt::Label LnGen{PicTab(0), QStringLiteral("LnGen")};
    rt::CheckBox ChkGen{PicTab(0), QStringLiteral("ChkGen")};
    // 0 free entry, 1 linked entry, 2 the hint of a document without debts or savings.
    rt::ControlArray<rt::PictureBox> PicGen{QStringLiteral("PicGen"), [this](auto& a) {
                                                for (int i = 0; i <= 2; ++i)
                                                    a.create(i, PicTab(0));
                                            }};
    // 0 "Général", 1 "Événement" (free entry), 2 and 3 "Dettes/Épargne" (linked entry, hint).
    rt::ControlArray<rt::Label> LblGenSect{QStringLiteral("LblGenSect"), [this](auto& a) {
                                               a.create(0, PicTab(0));
                                               a.create(1, PicGen(0));
                                               a.create(2, PicGen(1));
                                               a.create(3, PicGen(2));
                                           }};
    // 0 income, 1 expense, 2 event: they act as option buttons.
    rt::ControlArray<rt::CheckBox> ChkEV{QStringLiteral("ChkEV"), [this](auto& a) {
                                             for (int i = 0; i <= 2; ++i)
                                                 a.create(i, PicGen(0));
                                         }};
    rt::ControlArray<rt::Label> LblEV{QStringLiteral("LblEV"), [this](auto& a) {
                                          a.create(0, PicGen(0));
                                          a.create(1, PicGen(0));
                                      }};
    // 0 the description, 1 the amount.
    rt::ControlArray<rt::TextBox> TxtEV{QStringLiteral("TxtEV"), [this](auto& a) {
                                            a.create(0, PicGen(0));
                                            a.create(1, PicGen(0));
                                        }};
    // 0 "Description:", 1 "Montant:", 2 and 3 the balance dates, 4 the hint.
    rt::ControlArray<rt::Label> LblDE{QStringLiteral("LblDE"), [this](auto& a) {
                                          for (int i = 0; i <= 3; ++i)
                                              a.create(i, PicGen(1));
                                          a.create(4, PicGen(2));
                                      }};
    rt::ComboBox CmbDE{PicGen(1), QStringLiteral("CmbDE")};
    // 0 the amount of the linked movement, 1 the balance before the day, 2 the new balance.
    rt::ControlArray<rt::TextBox> TxtDE{QStringLiteral("TxtDE"), [this](auto& a) {
                                            for (int i = 0; i <= 2; ++i)
                                                a.create(i, PicGen(1));
                                        }};
    // 0 adds to the balance, 1 deducts from it: they act as option buttons.
    rt::ControlArray<rt::CheckBox> ChkDE{QStringLiteral("ChkDE"), [this](auto& a) {
                                             a.create(0, PicGen(1));
                                             a.create(1, PicGen(1));
                                         }};
    // The warnings of an item written by an auto-event (0) or a birthday (1).
    rt::ControlArray<rt::Label> LblGen{QStringLiteral("LblGen"), [this](auto& a) {
                                           a.create(0, PicTab(3));
                                           a.create(1, PicTab(3));
                                       }};

    // ---- Display page (PicTab(1)) ----
    rt::ControlArray<rt::Label> LblDispSect{QStringLiteral("LblDispSect"), [this](auto& a) {
                                                a.create(0, PicTab(1));
                                                a.create(1, PicTab(1));
                                            }};
    rt::ControlArray<rt::Label> LnDisp{QStringLiteral("LnDisp"), [this](auto& a) {
                                           a.create(0, PicTab(1));
                                           a.create(1, PicTab(1));
                                       }};
    rt::CheckBox ChkCol{PicTab(1), QStringLiteral("ChkCol")};
    rt::PictureBox PicSelCol{PicTab(1), QStringLiteral("PicSelCol")};
    rt::Label LblCol{PicTab(1), QStringLiteral("LblCol")};
    // 0 no picture of its own, 1 the preview.
    rt::ControlArray<rt::CheckBox> ChkBck{QStringLiteral("ChkBck"), [this](auto& a) {
                                              a.create(0, PicTab(1));
                                              a.create(1, PicTab(1));
                                          }};
    rt::Label LblBck{PicTab(1), QStringLiteral("LblBck")};
    rt::TextBox TxtBck{PicTab(1), QStringLiteral("TxtBck")};
    rt::CommandButton CmdBck{PicTab(1), QStringLiteral("CmdBck")};
    rt::PictureBox PicBck{PicTab(1), QStringLiteral("PicBck")};
    rt::Image ImgBck{PicBck, QStringLiteral("ImgBck")};

    // ---- Alarm page (PicTab(2)) ----
    rt::Label LblALSect{PicTab(2), QStringLiteral("LblALSect")};
    rt::Label LnAL{PicTab(2), QStringLiteral("LnAL")};
    rt::CheckBox ChkAL{PicTab(2), QStringLiteral("ChkAL")};
    rt::ControlArray<rt::Label> LblAL{QStringLiteral("LblAL"), [this](auto& a) {
                                          for (int i = 0; i <= 2; ++i)
                                              a.create(i, PicTab(2));
                                      }};
    rt::TextBox TxtAL{PicTab(2), QStringLiteral("TxtAL")};
    rt::UpDown UDAL{PicTab(2), QStringLiteral("UDAL")};
    rt::ComboBox CmbAL{PicTab(2), QStringLiteral("CmbAL")};
    rt::CommandButton CmdAL{PicTab(2), QStringLiteral("CmdAL")};

    // The picture chosen for the item: FileName and Picture.
    ImageItem HeldImage;

    // ---- Handlers ----
    void TbAddEV_Click(int PreviousTab);
    void ChkEV_Click(int Index);
    void ChkGen_Click();
    void ChkDE_Click(int Index);
    void CmbDE_Click();
    void TxtEV_Change(int Index);
    void TxtDE_Change(int Index);
    void ChkCol_Click();
    void PicSelCol_Click();
    void LblCol_Click();
    void ChkBck_Click(int Index);
    void CmdBck_Click();
    void ChkAL_Click();
    void TxtAL_Change();
    void CmbAL_Click();
    void CmdAL_Click();

    // ---- Procedures ----
    // Recomputes the new balance of the chosen debt/saving; Recalc also the balance before the
    // day.
    void ShowLinkedBalance(bool Recalc);
    // Greys or enables the display page while the picture chooser is open.
    void Frm_EnableCmdButtons(bool Enable);
    void ShowPicturePreview();

    // The day the editor works on, taken when it loads.
    int16_t DayMonth() const { return month_; }
    int16_t DayCellIndex() const { return cell_; }

protected:
    void LoadAndFill() override;
    void LoadCaptions() override;
    void FillDialog() override;
    void StoreItem() override;
    QString HelpTopic() const override;

private:
    void layOut();
    void bindEvents();
    // The day cell being edited, or nullptr when the current day names no cell.
    DayCell* dayCell() const;
    // The linked debt/saving chosen in CmbDE, or nullptr.
    const DEItem* chosenDebt() const;
    bool locked() const { return !PicTab(3).Tag().isEmpty(); }

    int16_t month_ = 0;
    int16_t cell_ = 0;
    DateRec date_;
};

extern rt::FormSlot<FrmAddEVForm> FrmAddEV;
