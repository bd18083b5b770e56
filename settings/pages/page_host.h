// What the pages ask of the window they lie on: its values, their saving
// with the failure notice, word to Corvalle, and the switch to another page.
// The settings window implements it; the pages see nothing else of it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "protocol/window_messages.h"
#include "settings/forms/form.h"
#include "settings/model/OptionValues.h"
#include "settings/pages/RingPreview.h"

namespace settings {

enum OptionPage : uint8_t {
    kPageGeneral = 0,
    kPageTimerAlertList = 1,
    kPageTimerAlertEdit = 2,
    kPageShutDownList = 3,
    kPageShutDownEdit = 4,
    kPageHealth = 5,
    kPageInit = 6,  // settings migration, no window
    kPageNone = 7,  // anything else: end at once
};

// What the save guard tells the user.
constexpr wchar_t kSaveFailedText[] = L"保存数据失败，文件可能被占用！";

class TPageHost : public forms::TForm {
public:
    static constexpr int kTitleBandHeight = 65;

    using forms::TForm::TForm;

    virtual TOptionValues& Values() = 0;
    virtual const std::wstring& SettingsPath() const = 0;
    virtual OptionPage Page() const = 0;
    virtual void ShowPage(OptionPage page) = 0;
    // The one ring preview of the window's pages.
    virtual TRingPreview& RingPreview() = 0;

    // Each save writes the file, then tells Corvalle what changed.
    virtual bool SaveGeneralSettings() = 0;
    virtual bool SaveRestSettings(int interval, int restTime) = 0;
    virtual bool WriteRestRun(bool on) = 0;
    virtual bool SaveEyeProtectionFlag(bool on) = 0;
    virtual bool SaveTimerAlertList() = 0;
    virtual bool SaveShutDownList() = 0;
    // The save guard: a failed save tells the user and leaves everything as
    // it is. Returns `saved`.
    virtual bool GuardSave(bool saved) = 0;
    virtual void SetWindowColor(bool eyeProtection) = 0;

    virtual void PostToMainProgram(UINT message) = 0;
    virtual void NotifyMainProgram(protocol::SettingsEventCode code) = 0;
};

}  // namespace settings
