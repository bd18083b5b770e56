// Helpers of the settings program's tests: ini fixtures in either encoding,
// a fixed clock, a message pump, an in-process stand-in for Corvalle's window,
// a watcher that answers this process's message boxes, and guards that put
// prefix state back.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>
#include <mutex>

#include "settings/model/DateTime.h"
#include "tests/settings/tools/message_box_scan.h"
#include "tests/support/message_pump.h"
#include "tests/support/prefix_state.h"
#include "tests/support/text.h"
#include "tests/support/work_dir.h"
#include "winlib/window.h"

namespace settingstest {

using namespace settings;

enum class Encoding { Ansi936, Utf16Bom };

inline const char* EncodingName(Encoding e) {
    return e == Encoding::Ansi936 ? "Ansi936" : "Utf16Bom";
}

// Writes `text` (lines joined by "\r\n" already) as the file's whole content.
inline bool WriteFixture(const std::wstring& path, const std::wstring& text, Encoding encoding) {
    std::string bytes;
    if (encoding == Encoding::Utf16Bom) {
        bytes = "\xFF\xFE";
        bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    } else {
        bytes = testsupport::Narrow(text, 936);
    }
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

inline std::string ReadBytes(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes(::GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty()) ::ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

inline std::wstring Profile(const std::wstring& path, const wchar_t* section, const wchar_t* key,
                            const wchar_t* def = L"<none>") {
    wchar_t value[1024] = {};
    ::GetPrivateProfileStringW(section, key, def, value, 1024, path.c_str());
    return value;
}

inline bool IsFile(const std::wstring& path) { return testsupport::FileExists(path); }

using testsupport::RemovePath;

using testsupport::WorkDir;

// A program of the system folder, e.g. one that stays until it is ended.
inline std::wstring SystemProgram(const wchar_t* name) {
    wchar_t dir[MAX_PATH] = {};
    ::GetSystemDirectoryW(dir, MAX_PATH);
    return std::wstring(dir) + L"\\" + name;
}

// The clock stands still at the given moment for the life of the object.
class FixedClock {
public:
    explicit FixedClock(const TDateTime& now) : now_(now) {
        SetClock([this] { return now_; });
    }
    ~FixedClock() { SetClock(nullptr); }
    void Set(const TDateTime& now) { now_ = now; }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

private:
    TDateTime now_;
};

inline TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    TDateTime t;
    TDateTime::Make(y, mo, d, h, mi, s, t);
    return t;
}

using testsupport::Pump;
using testsupport::PumpUntil;

// Rests the real pointer on `at` (client coordinates of `target`, the form
// or one of its child windows) and waits for the form's tip window to show.
// Returns the tip's text; empty when no tip showed in time.
inline std::wstring TipAt(HWND tooltip, HWND target, POINT at, DWORD timeoutMs = 4000) {
    if (!tooltip) return std::wstring();
    ::SendMessageW(tooltip, TTM_POP, 0, 0);
    POINT screen = at;
    ::ClientToScreen(target, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::PostMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        Pump(20);
        if (!::IsWindowVisible(tooltip)) continue;
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        if (!::SendMessageW(tooltip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) continue;
        wchar_t text[512] = {};
        tool.lpszText = text;
        ::SendMessageW(tooltip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
        return text;
    }
    return std::wstring();
}

// Corvalle's main window as far as the settings program can tell: a window
// of class "Corvalle" that logs the companion messages and what Corvalle.ini
// said in the key it is asked to watch at that moment.
struct ReceivedMessage {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    std::string fileBytes;  // Corvalle.ini when the message arrived
};

class StandInCorvalle : public winlib::Window {
public:
    explicit StandInCorvalle(std::wstring settingsPath) : settingsPath_(std::move(settingsPath)) {}
    bool Start() {
        return Create(L"Corvalle", nullptr, nullptr, L"", WS_POPUP, WS_EX_TOOLWINDOW) != nullptr;
    }
    std::vector<ReceivedMessage> messages;
    std::vector<UINT> Numbers() const {
        std::vector<UINT> out;
        for (const auto& m : messages) out.push_back(m.msg);
        return out;
    }
    std::vector<WPARAM> Codes() const {
        std::vector<WPARAM> out;
        for (const auto& m : messages)
            if (m.msg == 0x1604) out.push_back(m.wParam);
        return out;
    }

    WL_BEGIN_MSG_MAP()
        WL_MESSAGE_RANGE_HANDLER(0x1600, 0x1606, OnCompanionMessage)
    WL_END_MSG_MAP()

private:
    LRESULT OnCompanionMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&) {
        messages.push_back({msg, wParam, lParam, ReadBytes(settingsPath_)});
        return 1;
    }
    std::wstring settingsPath_;
};

// Answers every message box of this process from a thread of its own and
// keeps "caption|text" of each.
class MessageBoxWatcher {
public:
    MessageBoxWatcher() : thread_([this] { Run(); }) {}
    ~MessageBoxWatcher() {
        stop_ = true;
        thread_.join();
    }
    std::vector<std::wstring> Seen() {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }

private:
    void Run() {
        std::vector<HWND> answered;
        while (!stop_) {
            for (const msgbox::Box& box : msgbox::Scan(::GetCurrentProcessId())) {
                bool done = false;
                for (HWND h : answered) done = done || h == box.hwnd;
                if (done) continue;
                answered.push_back(box.hwnd);
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    seen_.push_back(box.caption + L"|" + box.text);
                }
                msgbox::Answer(box.hwnd, IDOK);
            }
            ::Sleep(30);
        }
    }
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::wstring> seen_;
    std::thread thread_;
};

// Moves a file (or a folder standing in its place) aside and puts it back.
using PathBackup = testsupport::FileBackup;

// The registry backup every test area shares.
using testsupport::RegValueBackup;

inline bool ReadRegText(HKEY root, const wchar_t* subkey, const wchar_t* name, std::wstring& value) {
    const std::optional<std::wstring> text = testsupport::ReadRegText(root, subkey, name);
    if (!text) return false;
    value = *text;
    return true;
}

inline bool WriteRegText(HKEY root, const wchar_t* subkey, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(root, subkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) return false;
    const LONG rc = ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

}  // namespace settingstest
