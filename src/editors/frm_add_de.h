#pragma once
// The debt/saving editor: adds a debt or a saving to CurDoc.DebtsSavings, or edits one: whether
// it is a debt or a saving, its name, its opening balance and its start date.

#include "editor_frame.h"

class FrmAddDEForm : public EditorForm {
public:
    FrmAddDEForm();

    rt::TabControl TbAddDE{*this, 1, QStringLiteral("TbAddDE")};
    rt::ControlArray<rt::Label> LblGenSect{QStringLiteral("LblGenSect"), [this](auto& a) {
                                               a.create(0, TbAddDE.Page(0));
                                               a.create(1, TbAddDE.Page(0));
                                           }};
    rt::ControlArray<rt::Label> LnGen{QStringLiteral("LnGen"), [this](auto& a) {
                                          a.create(0, TbAddDE.Page(0));
                                          a.create(1, TbAddDE.Page(0));
                                      }};
    // 0 debt, 1 saving: a pair that acts as option buttons.
    rt::ControlArray<rt::CheckBox> ChkGen{QStringLiteral("ChkGen"), [this](auto& a) {
                                              a.create(0, TbAddDE.Page(0));
                                              a.create(1, TbAddDE.Page(0));
                                          }};
    // 0 "Description:", 1 the balance's date, 2 "Date du début de la Dette/Épargne:".
    rt::ControlArray<rt::Label> LblGen{QStringLiteral("LblGen"), [this](auto& a) {
                                           for (int i = 0; i <= 2; ++i)
                                               a.create(i, TbAddDE.Page(0));
                                       }};
    // 0 the name (10 characters), 1 the opening balance (6 characters, amount filter).
    rt::ControlArray<rt::TextBox> TxtGen{QStringLiteral("TxtGen"), [this](auto& a) {
                                             a.create(0, TbAddDE.Page(0));
                                             a.create(1, TbAddDE.Page(0));
                                         }};
    rt::DTPicker DtGen{TbAddDE.Page(0), QStringLiteral("DtGen")};

    void ChkGen_Click(int Index);
    void DtGen_Change();
    void TxtGen_Change(int Index);

protected:
    void LoadCaptions() override;
    void FillDialog() override;
    void StoreItem() override;
    QString HelpTopic() const override;
};

extern rt::FormSlot<FrmAddDEForm> FrmAddDE;
