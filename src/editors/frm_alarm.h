#pragma once
// The alarm window: shows one day item whose alarm is due, after its sound has started, and
// lets the user switch the alarm off, or keep it with another number of days and sound. It
// edits only the three alarm fields of the item.
//
// ShowAlarm (editors.h) opens it for item EditIndex of day cell (AlarmMonth, AlarmCell).
// OK stores the alarm fields when they changed and remembers the box "Annuler l'alarme (OFF)
// par défaut" in the setting "Alarm", "OffDefault"; Cancel, Escape and the close box store
// nothing.

#include "document/records.h"
#include "platform/ui_common_controls.h"
#include "platform/ui_controls.h"
#include "platform/ui_form.h"
#include "platform/ui_lists.h"
#include "platform/ui_picture_box.h"
#include "platform/ui_timer.h"

class FrmAlarmForm : public rt::Form {
public:
    FrmAlarmForm();

    int16_t Cancelled = -1;

    rt::Label LblAlarm{*this, QStringLiteral("LblAlarm")};
    rt::CommandButton CmdHelp{*this, QStringLiteral("CmdHelp")};
    rt::PictureBox PicAlarm{*this, QStringLiteral("PicAlarm")};
    rt::Label LblALWarning{PicAlarm, QStringLiteral("LblALWarning")};
    rt::Timer TmrAlarm{*this, QStringLiteral("TmrAlarm")};
    rt::Frame FrmALEvent{*this, QStringLiteral("FrmALEvent")};
    // 0 kind, 1 description, 2 amount, 3 the date of the item's day.
    rt::ControlArray<rt::Label> LblEV{QStringLiteral("LblEV"), [this](auto& a) {
                                          for (int i = 0; i <= 3; ++i)
                                              a.create(i, FrmALEvent);
                                      }};
    rt::ControlArray<rt::TextBox> TxtEV{QStringLiteral("TxtEV"), [this](auto& a) {
                                            for (int i = 0; i <= 3; ++i)
                                                a.create(i, FrmALEvent);
                                        }};
    rt::CheckBox ChkAL{FrmALEvent, QStringLiteral("ChkAL")};
    rt::ControlArray<rt::Label> LblAL{QStringLiteral("LblAL"), [this](auto& a) {
                                          for (int i = 0; i <= 2; ++i)
                                              a.create(i, FrmALEvent);
                                      }};
    rt::TextBox TxtAL{FrmALEvent, QStringLiteral("TxtAL")};
    rt::UpDown UDAL{FrmALEvent, QStringLiteral("UDAL")};
    rt::ComboBox CmbAL{FrmALEvent, QStringLiteral("CmbAL")};
    rt::CommandButton CmdAL{FrmALEvent, QStringLiteral("CmdAL")};
    rt::CheckBox ChkALOff{*this, QStringLiteral("ChkALOff")};
    rt::CommandButton CmdOk{*this, QStringLiteral("CmdOk")};
    rt::CommandButton CmdCancel{*this, QStringLiteral("CmdCancel")};

    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void ChkAL_Click();
    void CmbAL_Click();
    void CmdAL_Click();
    void CmdCancel_Click();
    void CmdHelp_Click();
    void CmdOk_Click();
    void TmrAlarm_Timer();
    void TxtAL_Change();

    void LoadCaptions();
    void FillDialog();
    void StoreItem();

    // The item the window works on, taken from Exchange when it loads.
    int16_t AlarmMonth() const { return month_; }
    int16_t AlarmCell() const { return cell_; }
    int16_t AlarmIndex() const { return index_; }

private:
    void layOut();
    // The item shown, or nullptr when the place taken at loading holds none.
    EVItem* item() const;

    int16_t month_ = 0;
    int16_t cell_ = 0;
    int16_t index_ = 0;
};

extern rt::FormSlot<FrmAlarmForm> FrmAlarm;

// ---- The alarm fields, shared by the alarm window and the day-item editor's alarm page ----

// The days text as the days box rewrites it: the absolute value of the number the text begins
// with, written without blanks ("2.50" gives "2.5", letters or nothing "0"), and "365" for any
// value above 365 (also one beyond the range of a double).
QString AlarmDaysText(const QString& Text);
// Rewrites the days box to its AlarmDaysText when that differs.
void ApplyAlarmDaysFilter(rt::TextBox& Box);
// Binds the up-down to its days box, 0 to 365 in steps of 1, at the box's right edge.
void BindDaysUpDown(rt::UpDown& UpDown, rt::TextBox& Box);
// Fills the sound list: "Pas de son", then "Son #01" to "Son #10"; row n is sound n.
void FillSoundList(rt::ComboBox& List);
// The row of the sound list for a stored sound: the sound itself from 0 to 10, and row 0 (no
// sound) for a value out of that range, which only a damaged document holds.
int SoundRow(int16_t Sound);
// Plays sound Sound (1 to 10) of the settings' sound files; nothing for any other number.
void PlayAlarmSound(int Sound);
