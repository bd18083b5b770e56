#include "settings/display/SystemControl.h"

#include "base/log.h"
#include "base/module_exports.h"
#include "base/numbers.h"
#include "base/registry_values.h"
#include "settings/model/GlobalFuncs.h"
#include "base/handles.h"

namespace settings {

const wchar_t kUserModeSection[] = L"UserMode";
const wchar_t kRestartMarkerKey[] = L"SOFTWARE\\Tarvisk\\VynReboot";

namespace {

const wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
const wchar_t kWindowMetricsKey[] = L"Control Panel\\Desktop\\WindowMetrics";
const wchar_t kDwmKey[] = L"Software\\Microsoft\\Windows\\DWM";
const wchar_t kFontDpiKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontDPI";
const wchar_t kHardwareFontsKey[] = L"SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts";
const wchar_t kDesktopBagKey[] = L"Software\\Microsoft\\Windows\\Shell\\Bags\\1\\Desktop";

const wchar_t kDefaultIconSpacing[] = L"-1125";
const wchar_t kDefaultFontSmoothing[] = L"2";
constexpr int kDefaultFontSmoothingType = 2;
constexpr DWORD kDesktopBagFlags = 549;
constexpr int kDefaultDpi = 96;

const wchar_t* const kDescriptions[3] = {
    L"儿童模式先还原到备份模式，然后自动开启豆沙绿保护色，并且开\r\n启一小时休息功能。",
    L"将系统内的字体放大，满足老年人健康使用电脑的需求，彻底抛弃\r\n老花镜。同时关闭自动休息功能。",
    L"您最初使用的显示模式，在应用其他模式后会自动帮您备份最初的\r\n模式，方便您随时恢复。同时自动开启每两小时休息5分钟功能。",
};

int Clamp(int value, int low, int high) {
    return value < low ? low : value > high ? high : value;
}

}  // namespace

// ---------------------------------------------------------------- construction

TSystemControl::TSystemControl(IDisplayApi& api, std::wstring iniPath, bool mayWriteBackup)
    : api_(api), ini_(std::move(iniPath)), mayWriteBackup_(mayWriteBackup), vista_(api.VistaOrLater()) {
    ReadRegistryValues();
    CreateModes();
    ReadCurrentDisplay();
    LoadBackup();
    FillModes();
    MatchLastSelected();
}

void TSystemControl::ReadRegistryValues() {
    DWORD number = 0;
    std::wstring text;
    if (vista_) {
        cur_.Dpi = api_.ReadDword(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", number) ? static_cast<int>(number)
                                                                                          : kDefaultDpi;
        if (cur_.Dpi <= 0) cur_.Dpi = kDefaultDpi;
        cur_.AppliedDpi = cur_.Dpi;
        cur_.UseDpiScaling =
            api_.ReadDword(HKEY_CURRENT_USER, kDwmKey, L"UseDpiScaling", number) ? static_cast<int>(number) : 0;
        return;
    }
    cur_.IconSpacing = api_.ReadString(HKEY_CURRENT_USER, kWindowMetricsKey, L"IconSpacing", text) ? text
                                                                                                   : kDefaultIconSpacing;
    cur_.IconVerticalSpacing =
        api_.ReadString(HKEY_CURRENT_USER, kWindowMetricsKey, L"IconVerticalspacing", text) ? text : kDefaultIconSpacing;
    cur_.FontSmoothing =
        api_.ReadString(HKEY_CURRENT_USER, kDesktopKey, L"FontSmoothing", text) ? text : kDefaultFontSmoothing;
    cur_.FontSmoothingType = api_.ReadDword(HKEY_CURRENT_USER, kDesktopKey, L"FontSmoothingType", number)
                                 ? static_cast<int>(number)
                                 : kDefaultFontSmoothingType;
    cur_.ShellIconSize = api_.ReadString(HKEY_CURRENT_USER, kWindowMetricsKey, L"Shell Icon Size", text) ? text : L"32";
    // XP keeps the text size machine-wide, where the display settings (and a
    // mode applied here) write it for the next start; the per-user value only
    // tells what was applied at log-on. Reading a place XP does not use would
    // make a 120-DPI user's backup say 96.
    int applied = api_.ReadDword(HKEY_LOCAL_MACHINE, kFontDpiKey, L"LogPixels", number) ? static_cast<int>(number) : 0;
    if (applied <= 0)
        applied = api_.ReadDword(HKEY_CURRENT_USER, kWindowMetricsKey, L"AppliedDPI", number) ? static_cast<int>(number) : 0;
    cur_.AppliedDpi = applied > 0 ? applied : kDefaultDpi;
    cur_.Dpi = cur_.AppliedDpi;
}

void TSystemControl::CreateModes() {
    for (int kind = 0; kind < 3; ++kind) {
        TUserModeInfo& mode = userModes_[kind];
        mode = TUserModeInfo();
        mode.Kind = static_cast<uint8_t>(kind);
        mode.ApplyFontSmoothing = 1;
    }
}

void TSystemControl::ReadCurrentDisplay() {
    int width = 0, height = 0, frequency = 0;
    if (api_.CurrentDisplay(width, height, frequency)) {
        cur_.Width = width;
        cur_.Height = height;
        cur_.Frequency = frequency;
    }
    displayModes_ = api_.DisplayModes();
    // The user's own values as they were when the switcher was made: a
    // declined change that matched no mode goes back to exactly these, so
    // applying a mode never changes them.
    atStart_ = cur_;
    currentMode_ = TUserModeInfo();
    currentMode_.Kind = kModeNone;
    currentMode_.Width = atStart_.Width;
    currentMode_.Height = atStart_.Height;
    currentMode_.Frequency = atStart_.Frequency;
    currentMode_.Dpi = atStart_.Dpi;
    currentMode_.UseDpiScaling = atStart_.UseDpiScaling;
}

bool TSystemControl::IsListed(int width, int height) const {
    for (const TDisplayMode& m : displayModes_)
        if (m.Width == width && m.Height == height) return true;
    return false;
}

bool TSystemControl::IsListed(int width, int height, int frequency) const {
    for (const TDisplayMode& m : displayModes_)
        if (m.Width == width && m.Height == height && m.Frequency == frequency) return true;
    return false;
}

void TSystemControl::LoadBackup() {
    userChangedInChildMode_ = ini_.ReadBool(kUserModeSection, L"UserChangedInChildMode", false);
    const bool saved = ini_.ReadBool(kUserModeSection, L"UserModeSaved", false);
    lastSelected_ = ini_.ReadInteger(kUserModeSection, L"LastSelected", kModeSaved);

    if (!saved) {
        // What is current now is the user's own: nothing has been applied
        // while no backup exists.
        saved_.Width = cur_.Width;
        saved_.Height = cur_.Height;
        saved_.Frequency = cur_.Frequency;
        saved_.Dpi = vista_ ? cur_.Dpi : cur_.AppliedDpi;
        saved_.FontDpi = saved_.Dpi;
        saved_.UseDpiScaling = cur_.UseDpiScaling;
        saved_.FontSmoothing = cur_.FontSmoothing;
        saved_.FontSmoothingType = cur_.FontSmoothingType;
        saved_.ShellIconSize = cur_.ShellIconSize;
        saved_.IconSpacing = cur_.IconSpacing;
        saved_.IconVerticalSpacing = cur_.IconVerticalSpacing;
        if (mayWriteBackup_) {
            firstBackup_ = true;
            backupStored_ = WriteBackup();
        }
        return;
    }

    backupStored_ = true;
    // A backup that the display cannot take any more falls back, value by
    // value, to what is current: applying it must never leave the user with
    // a mode the display does not list.
    std::wstring width, height;
    const std::wstring solution = ini_.ReadString(kUserModeSection, L"Solution", L"");
    const bool hasSeparator = solution.find(L'|') != std::wstring::npos;
    SplitAt(solution, L"|", height, width);
    saved_.Width = base::DecimalOr(width, 1440);
    saved_.Height = base::DecimalOr(height, 900);
    if (!hasSeparator || width.empty() || height.empty() || !IsListed(saved_.Width, saved_.Height)) {
        saved_.Width = cur_.Width;
        saved_.Height = cur_.Height;
    }
    saved_.Frequency = ini_.ReadInteger(kUserModeSection, L"DisplayFrequency", cur_.Frequency);
    if (saved_.Frequency <= 0 || !IsListed(saved_.Width, saved_.Height, saved_.Frequency))
        saved_.Frequency = cur_.Frequency;

    if (vista_) {
        saved_.Dpi = base::DecimalOr(ini_.ReadString(kUserModeSection, L"DPI", std::to_wstring(cur_.Dpi)), kDefaultDpi);
        saved_.UseDpiScaling = base::DecimalOr(ini_.ReadString(kUserModeSection, L"UseDPIScaling", L"0"), 0);
    } else {
        saved_.Dpi = ini_.ReadInteger(kUserModeSection, L"FontDPI", cur_.AppliedDpi);
        saved_.FontSmoothing = ini_.ReadString(kUserModeSection, L"FontSmoothing", cur_.FontSmoothing);
        saved_.FontSmoothingType = ini_.ReadInteger(kUserModeSection, L"FontSmoothingType", cur_.FontSmoothingType);
        saved_.IconSpacing = ini_.ReadString(kUserModeSection, L"IconSpacing", cur_.IconSpacing);
        saved_.IconVerticalSpacing = ini_.ReadString(kUserModeSection, L"IconVerticalspacing", cur_.IconVerticalSpacing);
        saved_.ShellIconSize = ini_.ReadString(kUserModeSection, L"ShellIconSize", cur_.ShellIconSize);
    }
    saved_.Dpi = Clamp(saved_.Dpi, kMinSavedDpi, kMaxSavedDpi);
    saved_.FontDpi = saved_.Dpi;
}

// Stops at the first failed write, and marks the backup as saved last: a
// backup that is only half in the file is never taken for a whole one.
bool TSystemControl::WriteBackup() {
    ini_.NormalizeAttributes();
    const wchar_t* s = kUserModeSection;
    bool ok = ini_.WriteInteger(s, L"DisplayFrequency", saved_.Frequency) &&
              ini_.WriteString(s, L"Solution", std::to_wstring(saved_.Width) + L"|" + std::to_wstring(saved_.Height));
    if (vista_) {
        ok = ok && ini_.WriteInteger(s, L"DPI", saved_.Dpi) && ini_.WriteInteger(s, L"UseDPIScaling", saved_.UseDpiScaling);
    } else {
        ok = ok && ini_.WriteString(s, L"FontDPI", std::to_wstring(saved_.FontDpi)) &&
             ini_.WriteString(s, L"FontSmoothing", saved_.FontSmoothing) &&
             ini_.WriteInteger(s, L"FontSmoothingType", saved_.FontSmoothingType) &&
             ini_.WriteString(s, L"IconSpacing", saved_.IconSpacing) &&
             ini_.WriteString(s, L"IconVerticalspacing", saved_.IconVerticalSpacing) &&
             ini_.WriteString(s, L"ShellIconSize", saved_.ShellIconSize);
    }
    return ok && ini_.WriteBool(s, L"UserModeSaved", true);
}

void TSystemControl::FillModes() {
    const int dpis[3] = {saved_.Dpi, kElderlyDpi, saved_.Dpi};
    for (int kind = 0; kind < 3; ++kind) {
        TUserModeInfo& mode = userModes_[kind];
        mode.Width = saved_.Width;
        mode.Height = saved_.Height;
        mode.Frequency = saved_.Frequency;
        mode.Dpi = dpis[kind];
        mode.UseDpiScaling = kind == kModeSaved ? saved_.UseDpiScaling : 0;
        mode.Description = kDescriptions[kind];
    }
}

// A stored choice counts only while the display still shows it. Modes 0 and
// 2 carry the same values, so a display that merely matches a mode cannot
// tell which one the user chose: without a stored choice none is selected.
void TSystemControl::MatchLastSelected() {
    const TUserModeInfo* chosen = FindMode(lastSelected_);
    const bool shown = chosen && chosen->Dpi == cur_.Dpi && chosen->Frequency == cur_.Frequency &&
                       chosen->Width == cur_.Width && chosen->Height == cur_.Height;
    if (!shown) lastSelected_ = kModeNone;
    for (TUserModeInfo& mode : userModes_) mode.Selected = shown && mode.Kind == lastSelected_;
}

// ---------------------------------------------------------------- queries

const TUserModeInfo* TSystemControl::SelectedMode() const {
    for (const TUserModeInfo& mode : userModes_)
        if (mode.Selected) return &mode;
    return nullptr;
}

const TUserModeInfo* TSystemControl::FindMode(int kind) const {
    for (const TUserModeInfo& mode : userModes_)
        if (mode.Kind == kind) return &mode;
    return nullptr;
}

bool TSystemControl::SaveLastSelected() {
    ini_.NormalizeAttributes();
    return ini_.WriteInteger(kUserModeSection, L"LastSelected", lastSelected_);
}

// ---------------------------------------------------------------- applying

bool TSystemControl::ApplyMode(int kind) {
    if (!backupStored_ && mayWriteBackup_) backupStored_ = WriteBackup();
    if (!backupStored_) return false;

    for (TUserModeInfo& mode : userModes_) mode.Selected = mode.Kind == kind;
    const TUserModeInfo* found = FindMode(kind);
    const TUserModeInfo mode = found ? *found : currentMode_;
    applyFontSmoothing_ = mode.ApplyFontSmoothing != 0;

    const TUserModeInfo* selected = SelectedMode();
    ApplyDpi(mode.Dpi, selected ? selected->Kind : currentMode_.Kind);

    int width = 0, height = 0, frequency = 0;
    if (api_.CurrentDisplay(width, height, frequency)) {
        cur_.Width = width;
        cur_.Height = height;
    }
    if (mode.Width > 0 && mode.Height > 0 && (mode.Width != cur_.Width || mode.Height != cur_.Height) &&
        api_.ChangeResolution(mode.Width, mode.Height) == DISP_CHANGE_SUCCESSFUL) {
        cur_.Width = mode.Width;
        cur_.Height = mode.Height;
    }
    if (api_.CurrentDisplay(width, height, frequency)) cur_.Frequency = frequency;
    if (mode.Frequency > 0 && mode.Frequency != cur_.Frequency &&
        api_.ChangeFrequency(mode.Frequency) == DISP_CHANGE_SUCCESSFUL)
        cur_.Frequency = mode.Frequency;
    return true;
}

bool TSystemControl::RestoreSavedMode() {
    if (!backupStored_) return false;
    if (cur_.Width == saved_.Width && cur_.Height == saved_.Height && cur_.Frequency == saved_.Frequency &&
        cur_.Dpi == saved_.Dpi && cur_.UseDpiScaling == saved_.UseDpiScaling)
        return false;
    return ApplyMode(kModeSaved);
}

void TSystemControl::ApplyDpi(int dpi, int kind) {
    if (vista_) ApplyDpiVista(dpi, kind);
    else ApplyDpiXp(dpi, kind);
}

// A restart (or log-off) is asked for only once the new value is really in
// the registry: a failed write changes nothing that a restart would load.
void TSystemControl::ApplyDpiVista(int dpi, int kind) {
    DWORD number = 0;
    const int logPixels =
        api_.ReadDword(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", number) ? static_cast<int>(number) : -1;
    const int target = kind == kModeSaved ? saved_.Dpi : dpi;
    bool holds = logPixels == target;
    if (!holds && api_.WriteDword(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", static_cast<DWORD>(target))) {
        holds = true;
        if (kind == kModeSaved && api_.Win7()) logOffSuffices_ = true;
        SetRestartNeeded(true);
    }
    if (holds) cur_.Dpi = cur_.AppliedDpi = target;
    const int scaling = kind == kModeSaved ? saved_.UseDpiScaling : kind == kModeNone ? atStart_.UseDpiScaling : 0;
    if (api_.WriteDword(HKEY_CURRENT_USER, kDwmKey, L"UseDpiScaling", static_cast<DWORD>(scaling)))
        cur_.UseDpiScaling = scaling;
}

void TSystemControl::ApplyDpiXp(int dpi, int kind) {
    api_.WriteDword(HKEY_CURRENT_USER, kDesktopBagKey, L"FFlags", kDesktopBagFlags);
    int target;
    if (kind == kModeSaved) {
        if (!saved_.IconSpacing.empty())
            api_.WriteString(HKEY_CURRENT_USER, kWindowMetricsKey, L"IconSpacing", saved_.IconSpacing);
        if (!saved_.IconVerticalSpacing.empty())
            api_.WriteString(HKEY_CURRENT_USER, kWindowMetricsKey, L"IconVerticalspacing", saved_.IconVerticalSpacing);
        if (applyFontSmoothing_) {
            if (!saved_.FontSmoothing.empty())
                api_.WriteString(HKEY_CURRENT_USER, kDesktopKey, L"FontSmoothing", saved_.FontSmoothing);
            api_.WriteDword(HKEY_CURRENT_USER, kDesktopKey, L"FontSmoothingType",
                            static_cast<DWORD>(saved_.FontSmoothingType));
        }
        target = saved_.FontDpi;
    } else if (kind == kModeNone) {
        // The user's own values, not the ones every mode writes: a mode
        // applied before may have changed any of them.
        api_.WriteString(HKEY_CURRENT_USER, kWindowMetricsKey, L"IconSpacing", atStart_.IconSpacing);
        api_.WriteString(HKEY_CURRENT_USER, kWindowMetricsKey, L"IconVerticalspacing", atStart_.IconVerticalSpacing);
        api_.WriteString(HKEY_CURRENT_USER, kDesktopKey, L"FontSmoothing", atStart_.FontSmoothing);
        api_.WriteDword(HKEY_CURRENT_USER, kDesktopKey, L"FontSmoothingType", static_cast<DWORD>(atStart_.FontSmoothingType));
        target = dpi;
    } else {
        api_.WriteString(HKEY_CURRENT_USER, kWindowMetricsKey, L"IconSpacing", kDefaultIconSpacing);
        api_.WriteString(HKEY_CURRENT_USER, kWindowMetricsKey, L"IconVerticalspacing", kDefaultIconSpacing);
        if (applyFontSmoothing_) {
            api_.WriteString(HKEY_CURRENT_USER, kDesktopKey, L"FontSmoothing", kDefaultFontSmoothing);
            api_.WriteDword(HKEY_CURRENT_USER, kDesktopKey, L"FontSmoothingType", kDefaultFontSmoothingType);
        }
        target = dpi;
    }
    bool holds = true;
    for (const wchar_t* key : {kFontDpiKey, kHardwareFontsKey}) {
        DWORD number = 0;
        const int stored = api_.ReadDword(HKEY_LOCAL_MACHINE, key, L"LogPixels", number) ? static_cast<int>(number) : 0;
        if (stored == target) continue;
        if (api_.WriteDword(HKEY_LOCAL_MACHINE, key, L"LogPixels", static_cast<DWORD>(target))) SetRestartNeeded(true);
        else holds = false;
    }
    if (holds) cur_.Dpi = cur_.AppliedDpi = target;
}

// ---------------------------------------------------------------- restart marker

void TSystemControl::SetRestartNeeded(bool needed) {
    if (needed == restartNeeded_) return;
    restartNeeded_ = needed;
    if (needed) api_.CreateVolatileKey(HKEY_LOCAL_MACHINE, kRestartMarkerKey);
}

bool TSystemControl::NoRestartPending() {
    return !api_.KeyExists(HKEY_LOCAL_MACHINE, kRestartMarkerKey);
}

void TSystemControl::RestoreRestartMarker(bool absent) {
    if (absent) api_.DeleteKey(HKEY_LOCAL_MACHINE, kRestartMarkerKey);
    else api_.CreateVolatileKey(HKEY_LOCAL_MACHINE, kRestartMarkerKey);
}

bool RestoreSavedDisplayMode(IDisplayApi& api, const std::wstring& iniPath) {
    TSystemControl control(api, iniPath, false);
    return control.RestoreSavedMode();
}

// ---------------------------------------------------------------- the real machine

namespace {

// "HKCU\<key>[ <name>]", where a refused write is logged.
std::wstring Place(HKEY root, const std::wstring& key, const std::wstring& name) {
    std::wstring place = root == HKEY_LOCAL_MACHINE ? L"HKLM\\" : root == HKEY_CURRENT_USER ? L"HKCU\\" : L"";
    place += key;
    if (!name.empty()) place += L" " + name;
    return place;
}

bool LogRefused(HKEY root, const std::wstring& key, const std::wstring& name, const wchar_t* call, DWORD code) {
    base::LogFailedCall(Place(root, key, name).c_str(), call, code);
    return false;
}

// A display change the system did not make now; its answer is the cause.
LONG LogUnlessApplied(LONG answer, const std::wstring& what) {
    if (answer != DISP_CHANGE_SUCCESSFUL)
        base::LogLine(L"display mode: " + what + L" not applied",
                      L"ChangeDisplaySettingsW answered " + std::to_wstring(answer));
    return answer;
}

class SystemDisplay final : public IDisplayApi {
public:
    bool VistaOrLater() override { return IsVistaOrLater(); }
    bool Win7() override { return IsWin7(); }

    bool CurrentDisplay(int& width, int& height, int& frequency) override {
        DEVMODEW dm{};
        dm.dmSize = sizeof(dm);
        if (!::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &dm)) return false;
        width = static_cast<int>(dm.dmPelsWidth);
        height = static_cast<int>(dm.dmPelsHeight);
        frequency = static_cast<int>(dm.dmDisplayFrequency);
        return true;
    }

    std::vector<TDisplayMode> DisplayModes() override {
        std::vector<TDisplayMode> modes;
        DEVMODEW dm{};
        dm.dmSize = sizeof(dm);
        for (DWORD i = 0; ::EnumDisplaySettingsW(nullptr, i, &dm); ++i) {
            modes.push_back({static_cast<int>(i), static_cast<int>(dm.dmPelsWidth), static_cast<int>(dm.dmPelsHeight),
                             static_cast<int>(dm.dmDisplayFrequency)});
            dm = DEVMODEW{};
            dm.dmSize = sizeof(dm);
        }
        return modes;
    }

    LONG ChangeResolution(int width, int height) override {
        DEVMODEW dm{};
        if (!FirstMode(dm)) return DISP_CHANGE_FAILED;
        dm.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        dm.dmPelsWidth = static_cast<DWORD>(width);
        dm.dmPelsHeight = static_cast<DWORD>(height);
        return LogUnlessApplied(::ChangeDisplaySettingsW(&dm, CDS_UPDATEREGISTRY),
                                L"the resolution " + std::to_wstring(width) + L" x " + std::to_wstring(height));
    }

    LONG ChangeFrequency(int frequency) override {
        DEVMODEW dm{};
        if (!FirstMode(dm)) return DISP_CHANGE_FAILED;
        dm.dmFields = DM_DISPLAYFREQUENCY;
        dm.dmDisplayFrequency = static_cast<DWORD>(frequency);
        return LogUnlessApplied(::ChangeDisplaySettingsW(&dm, CDS_UPDATEREGISTRY),
                                L"the frequency " + std::to_wstring(frequency) + L" Hz");
    }

    bool ReadDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD& value) override {
        base::RegKey k;
        if (::RegOpenKeyExW(root, key.c_str(), 0, RegAccess(KEY_READ), k.Put()) != ERROR_SUCCESS) return false;
        return base::ReadRegDword(k.Get(), name.c_str(), value);
    }

    bool ReadString(HKEY root, const std::wstring& key, const std::wstring& name, std::wstring& value) override {
        base::RegKey k;
        if (::RegOpenKeyExW(root, key.c_str(), 0, RegAccess(KEY_READ), k.Put()) != ERROR_SUCCESS) return false;
        return base::ReadRegText(k.Get(), name.c_str(), value);
    }

    bool WriteDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD value) override {
        base::RegKey k;
        if (!Create(root, key, REG_OPTION_NON_VOLATILE, k)) return false;
        return base::WriteRegDword(k.Get(), name.c_str(), value) ||
               LogRefused(root, key, name, L"RegSetValueExW", ::GetLastError());
    }

    bool WriteString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value) override {
        base::RegKey k;
        if (!Create(root, key, REG_OPTION_NON_VOLATILE, k)) return false;
        return base::WriteRegText(k.Get(), name.c_str(), value) ||
               LogRefused(root, key, name, L"RegSetValueExW", ::GetLastError());
    }

    bool CreateVolatileKey(HKEY root, const std::wstring& key) override {
        base::RegKey k;
        return Create(root, key, REG_OPTION_VOLATILE, k);
    }

    bool KeyExists(HKEY root, const std::wstring& key) override {
        base::RegKey k;
        return ::RegOpenKeyExW(root, key.c_str(), 0, RegAccess(KEY_READ), k.Put()) == ERROR_SUCCESS;
    }

    bool DeleteKey(HKEY root, const std::wstring& key) override {
        {
            base::RegKey k;
            const LONG opened = ::RegOpenKeyExW(root, key.c_str(), 0, RegAccess(KEY_ALL_ACCESS), k.Put());
            if (opened == ERROR_FILE_NOT_FOUND) return false;
            if (opened != ERROR_SUCCESS) return LogRefused(root, key, L"", L"RegOpenKeyExW", static_cast<DWORD>(opened));
        }
        // The view-aware delete is not on every system the program runs on.
        using DeleteKeyExFn = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
        const auto deleteKeyEx = base::Export<DeleteKeyExFn>(::GetModuleHandleW(L"advapi32.dll"), "RegDeleteKeyExW");
        const LONG deleted =
            deleteKeyEx ? deleteKeyEx(root, key.c_str(), RegAccess(0), 0) : ::RegDeleteKeyW(root, key.c_str());
        return deleted == ERROR_SUCCESS || LogRefused(root, key, L"", deleteKeyEx ? L"RegDeleteKeyExW" : L"RegDeleteKeyW",
                                                      static_cast<DWORD>(deleted));
    }

private:
    static bool FirstMode(DEVMODEW& dm) {
        dm = DEVMODEW{};
        dm.dmSize = sizeof(dm);
        if (::EnumDisplaySettingsW(nullptr, 0, &dm)) return true;
        base::LogFailedCall(L"display mode: no mode changed", L"EnumDisplaySettingsW");
        return false;
    }

    static bool Create(HKEY root, const std::wstring& key, DWORD options, base::RegKey& k) {
        const LONG created = ::RegCreateKeyExW(root, key.c_str(), 0, nullptr, options, RegAccess(KEY_WRITE | KEY_READ),
                                               nullptr, k.Put(), nullptr);
        return created == ERROR_SUCCESS || LogRefused(root, key, L"", L"RegCreateKeyExW", static_cast<DWORD>(created));
    }
};

}  // namespace

IDisplayApi& SystemDisplayApi() {
    static SystemDisplay api;
    return api;
}

}  // namespace settings
