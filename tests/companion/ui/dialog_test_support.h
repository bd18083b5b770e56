// Shared pieces of the dialog tests: a driver that acts inside a dialog's
// modal loop, mouse and key input as the dialog gets it, pixels read back,
// the prefix state the dialogs write, and the movie-player stand-in.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/message_pump.h"
#include "tests/support/pixel_surface.h"
#include "tests/support/prefix_state.h"
#include "tests/support/text.h"
#include "toolkit/bex_wnd.h"

namespace toolkit {
class CBexTextWnd;
}  // namespace toolkit

namespace dialog_test {

// Runs `steps` one after the other from a thread timer while `run` (a modal
// run) is going on; a step returns false to be called again at the next
// tick (to wait for something). Steps start once `hwnd()` gives a visible
// window. Gives up after `limitMs`, ending the dialog with -7.
INT_PTR Drive(const std::function<INT_PTR()>& run, const std::function<HWND()>& hwnd,
              std::vector<std::function<bool(HWND)>> steps, DWORD limitMs = 20000);

using testsupport::Pump;
using testsupport::PumpUntil;

// A click on a windowless control (centre), as the manager routes it.
void Click(HWND dialog, const toolkit::CBexWnd& control);
void ClickAt(HWND dialog, int x, int y);
// A key the way the dialog's modal loop sees it.
void Key(HWND dialog, UINT vk);

// 0x00RRGGBB of a client pixel, painted through WM_PRINTCLIENT.
class Snapshot : public testsupport::PixelSurface {
public:
    explicit Snapshot(HWND hwnd) : PixelSurface(hwnd) {}
    COLORREF At(int x, int y) const { return Rgb(x, y); }
};

// Texts of the segments of a marked-up text control, joined.
std::wstring PlainText(const toolkit::CBexTextWnd& text);

// Reads [section] key of Corvalle.ini ("" when missing).
std::wstring ConfigValue(const wchar_t* section, const wchar_t* key);

// Saves Corvalle.ini and puts it back (or removes it) at the end.
class ConfigBackup {
public:
    ConfigBackup();

private:
    std::optional<testsupport::FileBackup> file_;
};

// A fixed local time for the dialogs while alive.
class FixedLocalTime {
public:
    FixedLocalTime(int hour, int minute);
    ~FixedLocalTime();
};

// Takes away any player registration (the "no player" cases need none).
void RemovePlayerRegistration();

// The player stand-in registered under the player's CLSID and ProgID while
// alive (removed afterwards), with its log.
class PlayerStandIn {
public:
    explicit PlayerStandIn(int playMs = 300, bool fsCommand = false);
    ~PlayerStandIn();
    bool Registered() const { return registered_; }
    std::vector<std::string> Log() const;
    bool Logged(const std::string& line) const;

private:
    bool registered_ = false;
    std::wstring log_;
};

// Unpacks the build's skin package into the user's skin folder, as
// Corvalle does at start; false when it cannot.
bool InstallSkin();

// A file of the unpacked skin replaced by `bytes` (or taken away when
// `absent`) while alive.
class SkinFile {
public:
    SkinFile(const std::wstring& name, const std::string& bytes, bool absent = false);
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
    testsupport::FileBackup backup_;
};

// An opaque one-colour PNG.
std::string SolidPng(int cx, int cy, COLORREF color);
using testsupport::Narrow;
// The bytes of a file.
std::string ReadFileBytes(const std::wstring& path);
// The folder of the test program (ending in '\').
std::wstring TestExeDir();

}  // namespace dialog_test
