// The options dialog's alarm page: alarms off by default, the alarm check and its interval,
// and the ten alarm sounds, shown one at a time.

#include "frm_opt.h"

#include "core/numeric.h"
#include "core/resources.h"
#include "core/rt_error.h"
#include "core/settings_store.h"
#include "services/main_window.h"
#include "services/shell_services.h"

namespace {

const QString kAlarm = QStringLiteral("Alarm");
const QString kOffDefault = QStringLiteral("OffDefault");
const QString kIntervalChk = QStringLiteral("IntervalChk");

// The sound shown: the number in the path box's Tag.
int ShownSound(const rt::TextBox& path) {
    return int(rt::RoundHalfEven(rt::Val(path.Tag())));
}

} // namespace

void FrmOptForm::InitAlarmCaptions() {
    LblALSect(0).setCaption(rt::LoadResString(504));
    LblALSect(1).setCaption(rt::LoadResString(1612));
    ChkAL(1).setCaption(rt::LoadResString(1609));
    ChkAL(2).setCaption(rt::LoadResString(1610));
    LblAl(0).setCaption(rt::LoadResString(1611));
    LblAl(1).setCaption(rt::LoadResString(1613) + QStringLiteral(" #"));
    LblAl(2).setCaption(rt::LoadResString(1613) + QStringLiteral(" #01 ") +
                        rt::LoadResString(1614));
    CmdAL(0).setCaption(rt::LoadResString(527));
    CmdAL(1).setCaption(rt::LoadResString(733));
    TxtAL(1).setTag(QStringLiteral("1"));
}

void FrmOptForm::LoadAlarmOptions() {
    ChkAL(1).setValue(StoredCheckValue(
        rt::Val(rt::GetSetting(kSettingsApp, kAlarm, kOffDefault, QStringLiteral("1")))));
    // The interval as the alarm timer reads it: a number beyond 16 bits counts as the default.
    const int16_t minutes = AlarmIntervalSetting();
    if (minutes == -1) {
        TxtAL(0).setText(QStringLiteral("15"));
        ChkAL(2).setValue(rt::vbUnchecked);
    } else {
        ChkAL(2).setValue(rt::vbChecked);
        TxtAL(0).setText(QString::number(minutes));
    }
    for (int i = 1; i <= 10; ++i)
        WorkSounds(i) = Settings.SoundFiles(i);
    OptAL_Click(0);
}

void FrmOptForm::SaveAlarmOptions() {
    rt::SaveSetting(kSettingsApp, kAlarm, kOffDefault, QString::number(ChkAL(1).Value()));
    int16_t minutes = -1;
    if (ChkAL(2).Value() == rt::vbUnchecked) {
        mainWindow().SetAlarmCheck(false, minutes);
    } else {
        // A number beyond the 16-bit range is held at its limit.
        minutes = TypedInteger(TxtAL(0).Text());
        mainWindow().SetAlarmCheck(true, minutes);
    }
    rt::SaveSetting(kSettingsApp, kAlarm, kIntervalChk, QString::number(minutes));
    for (int i = 1; i <= 10; ++i)
        Settings.SoundFiles(i) = WorkSounds(i);
}

void FrmOptForm::ChkAL_Click(int) {
    UpdateControls();
}

void FrmOptForm::OptAL_Click(int Index) {
    const int n = Index + 1;
    TxtAL(1).setTag(QString::number(n));
    LblAl(2).setCaption(rt::LoadResString(1613) + QStringLiteral(" #") +
                        rt::FormatNumber(n, QStringLiteral("0#")) + u' ' + rt::LoadResString(1614));
    TxtAL(1).setText(rt::TrimBlanks(WorkSounds(n)));
}

void FrmOptForm::CmdAL_Click(int Index) {
    const int n = ShownSound(TxtAL(1));
    if (n < 1 || n > 10) return;
    if (Index == 0) {
        try {
            CDOpen.CancelError = true;
            CDOpen.DefaultExt = QStringLiteral(".wav");
            CDOpen.Flags = rt::cdlOFNHideReadOnly;
            CDOpen.Filter = rt::LoadResString(10051);
            CDOpen.FilterIndex = 2;
            CDOpen.FileName = TxtAL(1).Text();
            CDOpen.ShowOpen();
            WorkSounds(n) = CDOpen.FileName;
            TxtAL(1).setText(CDOpen.FileName);
        } catch (const rt::RtError&) {
            // Cancelled, or the dialog failed: nothing changes, nothing is shown.
        }
    } else if (Index == 1) {
        PlayWav(WorkSounds(n));
    }
}
