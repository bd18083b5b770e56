#include "dialog_test_support.h"

#include <png.h>

#include <cstdio>
#include <map>

#include "companion/system/shared_settings.h"
#include "companion/system/ui_package.h"
#include "companion/ui/flash_host.h"
#include "companion/ui/rest_schedule.h"
#include "companion/system/skin_strip.h"
#include "tests/support/png_writer.h"
#include "toolkit/bex_text_wnd.h"

using namespace companion;
using namespace toolkit;

namespace dialog_test {

namespace {

struct DriveState {
    std::function<HWND()> hwnd;
    std::vector<std::function<bool(HWND)>> steps;
    size_t next = 0;
    DWORD start = 0;
    DWORD limit = 0;
    DWORD shown = 0;
    bool busy = false;
};
DriveState* g_drive = nullptr;

DWORD LingerMs() {
    wchar_t linger[16] = {};
    return ::GetEnvironmentVariableW(L"DIALOG_TEST_LINGER_MS", linger, 16) ? static_cast<DWORD>(_wtoi(linger)) : 0;
}

void CALLBACK DriveTick(HWND, UINT, UINT_PTR, DWORD) {
    DriveState* state = g_drive;
    if (!state || state->busy) return;
    HWND dialog = state->hwnd();
    if (::GetTickCount() - state->start > state->limit + LingerMs()) {
        if (dialog) ::EndDialog(dialog, -7);
        return;
    }
    if (!dialog || !::IsWindowVisible(dialog) || state->next >= state->steps.size()) return;
    // DIALOG_TEST_LINGER_MS keeps each dialog up that long before it is
    // driven, to look at it (or take a screenshot).
    if (!state->shown) state->shown = ::GetTickCount();
    if (::GetTickCount() - state->shown < LingerMs()) return;
    // A step may run a nested loop (a message box); no step starts inside it.
    state->busy = true;
    if (state->steps[state->next](dialog)) ++state->next;
    state->busy = false;
}

}  // namespace

INT_PTR Drive(const std::function<INT_PTR()>& run, const std::function<HWND()>& hwnd,
              std::vector<std::function<bool(HWND)>> steps, DWORD limitMs) {
    DriveState state;
    state.hwnd = hwnd;
    state.steps = std::move(steps);
    state.start = ::GetTickCount();
    state.limit = limitMs;
    DriveState* outer = g_drive;
    g_drive = &state;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &DriveTick);
    const INT_PTR result = run();
    ::KillTimer(nullptr, timer);
    g_drive = outer;
    return result;
}

void ClickAt(HWND dialog, int x, int y) {
    POINT screen{x, y};
    ::ClientToScreen(dialog, &screen);
    ::SetCursorPos(screen.x, screen.y);
    const LPARAM at = MAKELPARAM(x, y);
    ::SendMessageW(dialog, WM_MOUSEMOVE, 0, at);
    ::SendMessageW(dialog, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(dialog, WM_MOUSEMOVE, MK_LBUTTON, at);
    ::SendMessageW(dialog, WM_LBUTTONUP, 0, at);
}

void Click(HWND dialog, const CBexWnd& control) {
    const RECT& rc = control.Rect();
    ClickAt(dialog, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
}

void Key(HWND dialog, UINT vk) {
    ::PostMessageW(dialog, WM_KEYDOWN, vk, 1);
    ::PostMessageW(dialog, WM_KEYUP, vk, 0xC0000001);
}

std::wstring PlainText(const CBexTextWnd& text) {
    std::wstring out;
    for (const auto& segment : text.Segments()) out += segment.text;
    return out;
}

std::wstring ConfigValue(const wchar_t* section, const wchar_t* key) {
    std::wstring value;
    ReadConfigString(value, section, key);
    return value;
}

ConfigBackup::ConfigBackup() {
    std::wstring dir;
    if (GetAppDataDir(dir)) ::CreateDirectoryW((dir + L"tarvisk").c_str(), nullptr);
    // The dialogs read the file as it is; it is only put back afterwards.
    file_.emplace(ConfigFilePath(), true);
}

namespace {
SYSTEMTIME g_fixed{};
SYSTEMTIME FixedTime() { return g_fixed; }
}  // namespace

FixedLocalTime::FixedLocalTime(int hour, int minute) {
    ::GetLocalTime(&g_fixed);
    g_fixed.wHour = static_cast<WORD>(hour);
    g_fixed.wMinute = static_cast<WORD>(minute);
    SetDialogLocalTime(&FixedTime);
}

FixedLocalTime::~FixedLocalTime() { SetDialogLocalTime(nullptr); }

std::wstring TestExeDir() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    return dir.substr(0, dir.find_last_of(L'\\') + 1);
}

namespace {

const wchar_t kClsidKey[] = L"Software\\Classes\\CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";
const wchar_t kProgIdKey[] = L"Software\\Classes\\ShockwaveFlash.ShockwaveFlash";

bool SetText(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY h = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG rc = ::RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(h);
    return rc == ERROR_SUCCESS;
}

}  // namespace

void RemovePlayerRegistration() {
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClsidKey);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProgIdKey);
}

PlayerStandIn::PlayerStandIn(int playMs, bool fsCommand) {
    const std::wstring dll = TestExeDir() + L"flash_standin.dll";
    const std::wstring clsid = L"{D27CDB6E-AE6D-11CF-96B8-444553540000}";
    registered_ = SetText(std::wstring(kClsidKey) + L"\\InprocServer32", nullptr, dll) &&
                  SetText(std::wstring(kClsidKey) + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
                  SetText(std::wstring(kClsidKey) + L"\\ProgID", nullptr, L"ShockwaveFlash.ShockwaveFlash") &&
                  SetText(kProgIdKey, nullptr, L"Shockwave Flash Object") &&
                  SetText(std::wstring(kProgIdKey) + L"\\CLSID", nullptr, clsid);
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    log_ = std::wstring(temp) + L"flash_standin_" + std::to_wstring(::GetCurrentProcessId()) + L".log";
    ::DeleteFileW(log_.c_str());
    ::SetEnvironmentVariableW(L"FLASH_STANDIN_LOG", log_.c_str());
    ::SetEnvironmentVariableW(L"FLASH_STANDIN_PLAY_MS", std::to_wstring(playMs).c_str());
    ::SetEnvironmentVariableW(L"FLASH_STANDIN_FSCOMMAND", fsCommand ? L"1" : nullptr);
}

PlayerStandIn::~PlayerStandIn() {
    ::CoFreeUnusedLibraries();
    // The test prefix never holds a real player: a registration found at
    // the start was left by a run that was cut short, and must not outlive
    // this one (the "no player" tests would find it).
    RemovePlayerRegistration();
    ::SetEnvironmentVariableW(L"FLASH_STANDIN_LOG", nullptr);
    ::DeleteFileW(log_.c_str());
}

std::vector<std::string> PlayerStandIn::Log() const {
    std::vector<std::string> lines;
    const std::string bytes = ReadFileBytes(log_);
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool PlayerStandIn::Logged(const std::string& line) const {
    for (const auto& entry : Log())
        if (entry == line) return true;
    return false;
}

bool InstallSkin() {
    std::wstring dir;
    if (!GetAppDataDir(dir)) return false;
    // The package holds the folder "halvet" itself.
    const std::wstring target = dir + L"tarvisk\\vyn\\";
    const std::wstring archive = TestExeDir() + L"..\\bin\\halvet.ui";
    if (::GetFileAttributesW(ActionFilePath().c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    ::CreateDirectoryW((dir + L"tarvisk").c_str(), nullptr);
    ::CreateDirectoryW(target.c_str(), nullptr);
    return UnzipToDir(archive, target) &&
           ::GetFileAttributesW(ActionFilePath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

SkinFile::SkinFile(const std::wstring& name, const std::string& bytes, bool absent)
    : path_(SkinFilePath(name)), backup_(path_) {
    if (absent) return;
    FILE* f = _wfopen(path_.c_str(), L"wb");
    if (!f) return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

std::string SolidPng(int cx, int cy, COLORREF color) {
    testsupport::PngSpec shape;
    shape.width = cx;
    shape.height = cy;
    shape.colorType = PNG_COLOR_TYPE_RGB;
    for (int i = 0; i < cx * cy; ++i)
        shape.samples.insert(shape.samples.end(), {GetRValue(color), GetGValue(color), GetBValue(color)});
    return testsupport::EncodePng(shape);
}

std::string ReadFileBytes(const std::wstring& path) {
    std::string bytes;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return bytes;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0) bytes.append(buffer, n);
    fclose(f);
    return bytes;
}

}  // namespace dialog_test
