#pragma once
// The birthday editor: adds a birthday (a name and a birth date) to CurDoc.Birthdays, or edits
// one. An edit that changes only the birth year keeps the record's key, so the day item written
// for it stays; any other change issues a new key.

#include "editor_frame.h"

class FrmAddBDForm : public EditorForm {
public:
    FrmAddBDForm();

    rt::TabControl TbAddBD{*this, 1, QStringLiteral("TbAddBD")};
    rt::Label LblGenSect{TbAddBD.Page(0), QStringLiteral("LblGenSect")};
    rt::Label LnGen{TbAddBD.Page(0), QStringLiteral("LnGen")};
    // 0 "Nom:", 1 "Date de naissance:".
    rt::ControlArray<rt::Label> LblGen{QStringLiteral("LblGen"), [this](auto& a) {
                                           a.create(0, TbAddBD.Page(0));
                                           a.create(1, TbAddBD.Page(0));
                                       }};
    rt::TextBox TxtGen{TbAddBD.Page(0), QStringLiteral("TxtGen")};
    rt::DTPicker DtGen{TbAddBD.Page(0), QStringLiteral("DtGen")};

protected:
    void LoadCaptions() override;
    void FillDialog() override;
    void StoreItem() override;
    QString HelpTopic() const override;
};

extern rt::FormSlot<FrmAddBDForm> FrmAddBD;
