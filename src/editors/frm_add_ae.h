#pragma once
// The auto-event editor: adds an auto-event to CurDoc.AutoEvents, or edits one, on three pages:
// the general page (type, description and amount, free or linked to a debt or saving by its
// name), the recurrence page (daily, monthly, weekly, every two weeks or yearly, with its day,
// weekday or month) and the range page (start and end dates, which snap onto days the recurrence
// selects). Every stored change gives the record a new key, so that the next apply replaces the
// day items written under the old one.

#include "editor_frame.h"
#include "platform/ui_lists.h"

#include <QDate>

class FrmAddAEForm : public EditorForm {
public:
    FrmAddAEForm();

    rt::TabControl TbAddAE{*this, 3, QStringLiteral("TbAddAE")};
    // The panel of each page's controls; only the current page's is enabled.
    rt::ControlArray<rt::PictureBox> PicTab{QStringLiteral("PicTab"), [this](auto& a) {
                                                for (int i = 0; i <= 2; ++i)
                                                    a.create(i, TbAddAE.Page(i));
                                            }};

    // ---- General page ----
    // 0 free entry, 1 linked entry, 2 the hint shown instead of 1 while no debt/saving exists.
    rt::ControlArray<rt::PictureBox> PicGen{QStringLiteral("PicGen"), [this](auto& a) {
                                                for (int i = 0; i <= 2; ++i)
                                                    a.create(i, PicTab(0));
                                            }};
    // 0 the page's heading, then the heading of each panel.
    rt::ControlArray<rt::Label> LblGenSect{QStringLiteral("LblGenSect"), [this](auto& a) {
                                               a.create(0, PicTab(0));
                                               for (int i = 1; i <= 3; ++i)
                                                   a.create(i, PicGen(i - 1));
                                           }};
    rt::CheckBox ChkGen{PicTab(0), QStringLiteral("ChkGen")};
    // Kind of a free entry: 0 income, 1 expense, 2 event.
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
    // 0 and 1 on the linked panel, 4 the hint.
    rt::ControlArray<rt::Label> LblDE{QStringLiteral("LblDE"), [this](auto& a) {
                                          a.create(0, PicGen(1));
                                          a.create(1, PicGen(1));
                                          a.create(4, PicGen(2));
                                      }};
    // The names of the debts and savings, in the list's order.
    rt::ComboBox CmbDE{PicGen(1), QStringLiteral("CmbDE")};
    // The linked entry's amount, kept equal to TxtEV(1).
    rt::ControlArray<rt::TextBox> TxtDE{QStringLiteral("TxtDE"),
                                        [this](auto& a) { a.create(0, PicGen(1)); }};
    // 0 add to the balance, 1 deduct from it.
    rt::ControlArray<rt::CheckBox> ChkDE{QStringLiteral("ChkDE"), [this](auto& a) {
                                             a.create(0, PicGen(1));
                                             a.create(1, PicGen(1));
                                         }};

    // ---- Recurrence page ----
    rt::Label LblAESect{PicTab(1), QStringLiteral("LblAESect")};
    // 0 monthly, 1 weekly, 2 every two weeks, 3 daily, 4 yearly: one group of option buttons.
    rt::ControlArray<rt::CheckBox> ChkAE{QStringLiteral("ChkAE"), [this](auto& a) {
                                             for (int i = 0; i <= 4; ++i)
                                                 a.create(i, PicTab(1));
                                         }};
    // Each day or weekday combo bears its box's index; 5 is the yearly month. No member 3.
    rt::ControlArray<rt::ComboBox> CmbAE{QStringLiteral("CmbAE"), [this](auto& a) {
                                             for (int i : {0, 1, 2, 4, 5})
                                                 a.create(i, PicTab(1));
                                         }};

    // ---- Range page ----
    rt::Label LblRGSect{PicTab(2), QStringLiteral("LblRGSect")};
    rt::ControlArray<rt::Label> LblRG{QStringLiteral("LblRG"), [this](auto& a) {
                                          a.create(0, PicTab(2));
                                          a.create(1, PicTab(2));
                                      }};
    // 0 the start, 1 the end.
    rt::ControlArray<rt::DTPicker> DtRG{QStringLiteral("DtRG"), [this](auto& a) {
                                            a.create(0, PicTab(2));
                                            a.create(1, PicTab(2));
                                        }};

    // ---- Handlers ----
    void ChkEV_Click(int Index);
    void ChkGen_Click();
    void ChkDE_Click(int Index);
    void CmbDE_Click();
    void TxtEV_Change(int Index);
    void TxtDE_Change(int Index);
    void TbAddAE_Click(int PreviousTab);
    void ChkAE_Click(int Index);
    void CmbAE_Click(int Index);
    // Moves range date Index (0 start, 1 end) onto a day the chosen recurrence selects,
    // reckoned from the date last picked in that picker (or filled in before any pick).
    void DtRG_Change(int Index);

protected:
    void LoadCaptions() override;
    void FillDialog() override;
    void StoreItem() override;
    QString HelpTopic() const override;
    // IsBusy is set while the captions and the controls are filled; the range dates snap after.
    void LoadAndFill() override;

private:
    void layoutGeneralPage();
    void layoutRecurrencePage();
    void layoutRangePage();
    bool ticked(rt::CheckBox& Box) const { return Box.Value() == rt::vbChecked; }

    // Per range picker: the date picked or filled in, which every snapping starts from, and the
    // date the last snapping wrote.
    QDate rangePicked_[2];
    QDate rangeShown_[2];
};

extern rt::FormSlot<FrmAddAEForm> FrmAddAE;
