// TSystemControl: the display user modes (child, elderly and the settings
// the user had before any mode was applied). It reads the current display
// and text size, keeps a one-time backup of the user's own values in the
// [UserMode] section of Corvalle.ini, applies a mode through the display
// settings and the registry, and marks a pending restart after a DPI change.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/display/DisplayApi.h"
#include "settings/model/SettingsFile.h"

namespace settings {

enum UserModeKind : int {
    kModeChild = 0,
    kModeElderly = 1,
    kModeSaved = 2,
    kModeNone = 3,  // the current settings, matching no mode
};

constexpr int kElderlyDpi = 120;
constexpr int kMinSavedDpi = 96;
constexpr int kMaxSavedDpi = 144;

extern const wchar_t kUserModeSection[];     // "UserMode"
extern const wchar_t kRestartMarkerKey[];    // under HKEY_LOCAL_MACHINE

struct TUserModeInfo {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Frequency = 0;
    int32_t Dpi = 0;
    uint8_t Kind = 0;
    uint8_t Selected = 0;
    uint8_t Reserved = 0;
    uint8_t ApplyFontSmoothing = 0;
    int32_t UseDpiScaling = 0;
    std::wstring Description;
};

// The values as read from the machine. The XP ones are kept as the registry
// holds them, so that they can be written back unchanged.
struct TCurrentDisplayValues {
    int Width = 0, Height = 0, Frequency = 0, Dpi = 96;
    int UseDpiScaling = 0;                       // Vista and later
    std::wstring FontSmoothing;                  // XP from here on
    int FontSmoothingType = 2;
    int AppliedDpi = 96;
    std::wstring ShellIconSize, IconSpacing, IconVerticalSpacing;
};

struct TSavedDisplayValues {
    int Width = 0, Height = 0, Frequency = 0, Dpi = 96;
    int UseDpiScaling = 0;
    int FontDpi = 96;
    std::wstring FontSmoothing;
    int FontSmoothingType = 2;
    std::wstring ShellIconSize, IconSpacing, IconVerticalSpacing;
};

class TSystemControl {
public:
    // `mayWriteBackup` false reads the backup without ever writing one: the
    // uninstall restore has nothing to gain from backing up what is current.
    TSystemControl(IDisplayApi& api, std::wstring iniPath, bool mayWriteBackup = true);
    TSystemControl(const TSystemControl&) = delete;
    TSystemControl& operator=(const TSystemControl&) = delete;

    // Applies mode `kind` (the current settings when no mode has that kind).
    // False, with nothing changed, while the user's own settings are not
    // backed up: they must never be lost.
    bool ApplyMode(int kind);
    // True when the saved mode had to be applied; false when everything
    // already matched it or there is no backup to restore.
    bool RestoreSavedMode();

    const TUserModeInfo* SelectedMode() const;
    const TUserModeInfo* FindMode(int kind) const;
    const TUserModeInfo& CurrentMode() const { return currentMode_; }
    const std::array<TUserModeInfo, 3>& UserModes() const { return userModes_; }
    const std::vector<TDisplayMode>& DisplayModes() const { return displayModes_; }
    const TCurrentDisplayValues& Current() const { return cur_; }
    const TSavedDisplayValues& Saved() const { return saved_; }

    int LastSelected() const { return lastSelected_; }
    void SetLastSelected(int kind) { lastSelected_ = kind; }
    // Writes [UserMode] LastSelected; false when the write failed.
    bool SaveLastSelected();

    bool RestartNeeded() const { return restartNeeded_; }
    bool LogOffSuffices() const { return logOffSuffices_; }
    void ClearLogOffSuffices() { logOffSuffices_ = false; }
    // Setting it creates the restart marker; clearing it leaves the marker
    // to RestoreRestartMarker, which knows how it stood before.
    void SetRestartNeeded(bool needed);
    bool NoRestartPending();
    void RestoreRestartMarker(bool absent);

    // The backup was written for the first time in this run.
    bool FirstBackup() const { return firstBackup_; }
    // The user's own settings are safely in the file.
    bool BackupStored() const { return backupStored_; }
    bool UserChangedInChildMode() const { return userChangedInChildMode_; }

private:
    void ReadRegistryValues();
    void CreateModes();
    void ReadCurrentDisplay();
    void LoadBackup();
    bool WriteBackup();
    void FillModes();
    void MatchLastSelected();
    bool IsListed(int width, int height) const;
    bool IsListed(int width, int height, int frequency) const;
    void ApplyDpi(int dpi, int kind);
    void ApplyDpiVista(int dpi, int kind);
    void ApplyDpiXp(int dpi, int kind);

    IDisplayApi& api_;
    TIniFile ini_;
    bool mayWriteBackup_;
    bool vista_ = false;

    TCurrentDisplayValues cur_;
    TCurrentDisplayValues atStart_;
    TSavedDisplayValues saved_;
    std::vector<TDisplayMode> displayModes_;
    std::array<TUserModeInfo, 3> userModes_{};
    TUserModeInfo currentMode_{};

    int lastSelected_ = kModeSaved;
    bool restartNeeded_ = false;
    bool logOffSuffices_ = false;
    bool firstBackup_ = false;
    bool backupStored_ = false;
    bool userChangedInChildMode_ = false;
    bool applyFontSmoothing_ = false;
};

// The uninstall job: puts the saved display mode back when it differs from
// the current one. True when something was restored.
bool RestoreSavedDisplayMode(IDisplayApi& api, const std::wstring& iniPath);

}  // namespace settings
