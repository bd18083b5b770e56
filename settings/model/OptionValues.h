// The values the settings window shows, as read from Corvalle.ini, and every
// write of them back, apart from the window. What Corvalle must hear of a
// write is handed back to the caller, which holds the window that tells it.
#pragma once

#include <string>
#include <vector>

#include "protocol/window_messages.h"
#include "settings/model/SettingsFile.h"

namespace settings {

class TOptionValues {
public:
    // Corvalle.ini; every read and write goes to this file.
    std::wstring Path;

    TGeneralSettings General;
    bool Autorun = false;
    TRestSettings Rest;
    std::vector<TTimerAlertInfo> TimerAlerts;
    std::vector<TShutDownAlertInfo> ShutDowns;
    std::wstring DefaultRingPath;

    // Reads every value into fresh lists and remembers what the later saves
    // compare against. The shutdown list is not rewritten here.
    void Load();
    // Rewrites the shutdown list, folding the older single-entry section in
    // once its numbered copy is in the file.
    bool RewriteShutDownList();
    // On success `changes` holds the change codes, in the order Corvalle
    // hears them, of the switches that differ from the last load or save.
    // On failure the general keys of the file are put back as they were.
    bool SaveGeneral(std::vector<protocol::SettingsEventCode>& changes);
    bool SaveRest(int interval, int restTime);
    bool WriteRestRun(bool on);
    bool SaveEyeProtectionFlag(bool on);
    bool SaveTimerAlerts();
    bool SaveShutDowns();

private:
    // Remembered at load for the change codes of the general save.
    bool loadedAutorun_ = false;
    bool loadedWiseHealthAlert_ = true;
    bool loadedUseWiseAlertRing_ = false;
    // Section counts remembered for the list saves.
    int timerAlertOldCount_ = 0;
    int shutDownOldCount_ = 0;
    bool unnumberedShutDownPending_ = false;
};

}  // namespace settings
