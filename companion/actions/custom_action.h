// The user's own timed reminders and timed shutdowns from Corvalle.ini,
// handed to the main window as tips with their markers (tip_markers.h).
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "companion/actions/action_base.h"
#include "protocol/corvalle_ini.h"

namespace companion {

// An entry as Corvalle holds it: the file's values and whether it fired today.
struct TimerAlertRecord : protocol::ReminderEntry {
    bool firedToday = false;
};

struct ShutdownRecord : protocol::ShutDownEntry {
    bool firedToday = false;
};

// "HH:MM" exactly, hour below 24 and minute below 60.
bool ParseAlertTime(const std::wstring& text, int& hour, int& minute);
// The firing rule both programs share.
using protocol::RepeatAllows;
// At or after the stored time and at most two minutes past it.
bool InAlertWindow(const std::wstring& stored, int hour, int minute, int second);

class CActionCustom : public CActionBase {
public:
    static constexpr int kMaxRecords = 10000;

    explicit CActionCustom(IActionEnvironment& env = SystemActionEnvironment(),
                           SharedSettings& settings = SharedSettings::Instance());
    ~CActionCustom() override;

    bool CheckCondition() override;
    std::wstring GetTipText() override { return tipText_; }

    // Whether the lists are current; the main window clears it when the
    // settings program saved a list.
    static std::atomic<long>& AlertsLoaded();

    void LoadAlerts(const std::wstring& today);
    const std::vector<TimerAlertRecord>& Alerts() const { return alerts_; }
    const std::vector<ShutdownRecord>& Shutdowns() const { return shutdowns_; }

private:
    bool RestModeCoveredTime(const std::wstring& stored, const SYSTEMTIME& now);
    bool WasShutDownForAlert(const ShutdownRecord& record, const std::wstring& today) const;
    void KeepSystemAwake(const SYSTEMTIME& now, const std::wstring& today);

    std::wstring tipText_;
    std::vector<TimerAlertRecord> alerts_;
    std::vector<ShutdownRecord> shutdowns_;
    std::wstring loadDate_;
    bool keptAwake_ = false;
};

}  // namespace companion
