#include "settings/model/OptionValues.h"

#include <utility>

#include "settings/model/GlobalFuncs.h"

namespace settings {

void TOptionValues::Load() {
    TIniFile ini(Path);
    ini.NormalizeAttributes();

    General = ReadGeneralSettings(ini, DefaultRingPath);
    loadedWiseHealthAlert_ = General.WiseHealthAlert;
    loadedUseWiseAlertRing_ = General.UseWiseAlertRing;

    TReminderRead reminders = ReadTimerAlerts(ini);
    TimerAlerts = std::move(reminders.List);
    timerAlertOldCount_ = reminders.OldCount;

    TShutDownRead shutDowns = ReadShutDowns(ini);
    ShutDowns = std::move(shutDowns.List);
    shutDownOldCount_ = shutDowns.OldCount;
    unnumberedShutDownPending_ = shutDowns.HadUnnumbered;

    Rest = ReadRestSettings(ini);
    Autorun = LoadAutorunState(ExeFolder());
    loadedAutorun_ = Autorun;
}

bool TOptionValues::RewriteShutDownList() {
    TIniFile ini(Path);
    bool saved = SaveShutDownSections(ini, ShutDowns, shutDownOldCount_);
    if (saved && unnumberedShutDownPending_) {
        saved = EraseUnnumberedShutDown(ini);
        if (saved) unnumberedShutDownPending_ = false;
    }
    return saved;
}

bool TOptionValues::SaveGeneral(std::vector<protocol::SettingsEventCode>& changes) {
    TIniFile ini(Path);
    const TStoredGeneralKeys before = ReadGeneralKeys(ini);
    if (!WriteGeneralSettings(ini, General) || !WriteAutorun(ExeFolder(), Autorun)) {
        // The Run key may refuse what the file has already taken: the file
        // goes back to what the form shows again after a failed save.
        RestoreGeneralKeys(ini, before);
        return false;
    }
    if (Autorun != loadedAutorun_) changes.push_back(Autorun ? protocol::kEventAutoOn : protocol::kEventAutoOff);
    if (General.WiseHealthAlert != loadedWiseHealthAlert_)
        changes.push_back(General.WiseHealthAlert ? protocol::kEventRemindOn : protocol::kEventRemindOff);
    if (General.UseWiseAlertRing != loadedUseWiseAlertRing_)
        changes.push_back(General.UseWiseAlertRing ? protocol::kEventSoundOn : protocol::kEventSoundOff);
    loadedAutorun_ = Autorun;
    loadedWiseHealthAlert_ = General.WiseHealthAlert;
    loadedUseWiseAlertRing_ = General.UseWiseAlertRing;
    return true;
}

bool TOptionValues::SaveRest(int interval, int restTime) {
    TIniFile ini(Path);
    std::wstring next;
    if (!WriteRestSettings(ini, interval, restTime, &next)) return false;
    Rest.Interval = ClampInterval(interval);
    Rest.RestTime = ClampRestTime(restTime);
    Rest.NextShown = next;
    return true;
}

bool TOptionValues::WriteRestRun(bool on) {
    TIniFile ini(Path);
    if (!settings::WriteRestRun(ini, on)) return false;
    Rest.Run = on;
    return true;
}

bool TOptionValues::SaveEyeProtectionFlag(bool on) {
    TIniFile ini(Path);
    return WriteEyeProtectionFlag(ini, on);
}

bool TOptionValues::SaveTimerAlerts() {
    TIniFile ini(Path);
    return SaveTimerAlertSections(ini, TimerAlerts, timerAlertOldCount_);
}

bool TOptionValues::SaveShutDowns() {
    TIniFile ini(Path);
    return SaveShutDownSections(ini, ShutDowns, shutDownOldCount_);
}

}  // namespace settings
