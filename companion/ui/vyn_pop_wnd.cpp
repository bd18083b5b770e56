#include "companion/ui/vyn_pop_wnd.h"

#include <windowsx.h>

#include <algorithm>
#include <cwctype>

#include "companion/system/settings_launcher.h"
#include "protocol/program_names.h"
#include "protocol/window_messages.h"
#include "companion/system/statistics.h"

namespace companion {

namespace {

// A hover picture beyond this on either side is not a label but a wall.
constexpr int kMaxHoverPictureSide = 1024;
// Far enough off every screen; keeps position sums from overflowing.
constexpr long long kMaxCoordinate = 32000;

int ClampedSum(long long base, int offset) {
    const long long sum = base + offset;
    return static_cast<int>(std::max(-kMaxCoordinate, std::min(kMaxCoordinate, sum)));
}

bool PutOnLayeredWindow(HWND hwnd, toolkit::CBexBitmap& bitmap, int sourceX, int cx, int cy, BYTE alpha) {
    HBITMAP handle = bitmap.Handle();
    if (!hwnd || !handle || cx <= 0 || cy <= 0) return false;
    const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED)) ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    base::WindowDc windowDc(hwnd);
    if (!windowDc) return false;
    base::MemoryDc memory(::CreateCompatibleDC(windowDc.Get()));
    if (!memory) return false;
    base::SelectObjectScope select(memory.Get(), handle);
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    POINT position{rc.left, rc.top};
    SIZE size{cx, cy};
    POINT source{sourceX, 0};
    // A picture without an alpha channel would be all transparent with
    // AC_SRC_ALPHA; it is put on as an opaque rectangle instead.
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, static_cast<BYTE>(bitmap.HasAlpha() ? AC_SRC_ALPHA : 0)};
    return ::UpdateLayeredWindow(hwnd, windowDc.Get(), &position, &size, memory.Get(), &source, 0, &blend,
                                 ULW_ALPHA) != FALSE;
}

}  // namespace

std::wstring NavigationStatistic(const std::wstring& parameters) {
    if (parameters == protocol::kSettingsPageGeneral) return L"vynset&type=fromnavi";
    if (parameters == protocol::kSettingsPageEye) return L"vyneye&type=fromnavi";
    if (parameters == protocol::kSettingsPageTimeShutdown) return L"vynturnoff&type=fromnavi";
    if (parameters == protocol::kSettingsPageTimeAlert) return L"vynremind&type=fromnavi";
    return std::wstring();
}

// ---------------------------------------------------------------------------
// CVynPopTipWnd

CVynPopTipWnd::CVynPopTipWnd(const std::wstring& picturePath)
    : picture_(picturePath.c_str(), toolkit::kBexKindPng, 1) {}

CVynPopTipWnd::~CVynPopTipWnd() {
    if (IsWindow()) DestroyWindow();
}

bool CVynPopTipWnd::Create(HWND owner) {
    RECT rc{0, 0, 1, 1};
    return Window::Create(kClassName, owner, &rc, L"", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                          WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TOPMOST) != nullptr;
}

LRESULT CVynPopTipWnd::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    const int cx = picture_.Width();
    const int cy = picture_.Height();
    hasPicture_ = cx > 0 && cy > 0 && cx <= kMaxHoverPictureSide && cy <= kMaxHoverPictureSide &&
                  PutOnLayeredWindow(Hwnd(), picture_, 0, cx, cy, 255);
    if (!hasPicture_) {
        // Nothing to show; the decoded pixels of an oversized picture are not kept.
        picture_.Unload();
    }
    return 0;
}

void CVynPopTipWnd::ShowAt(int x, int y) {
    if (!hasPicture_ || !IsWindow()) return;
    ::SetWindowPos(Hwnd(), HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CVynPopTipWnd::Hide() {
    if (IsWindow()) ShowWindow(SW_HIDE);
}

LRESULT CVynPopTipWnd::OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    DestroyWindow();
    return 0;
}

// ---------------------------------------------------------------------------
// CVynPopWnd

UINT CVynPopWnd::StripResourceFor(const std::wstring& picturePath) {
    std::wstring lower = picturePath;
    for (auto& c : lower) c = static_cast<wchar_t>(std::towlower(c));
    static const struct {
        const wchar_t* name;
        UINT id;
    } kStrips[] = {
        {L"eyeprotect.png", kBexNavEyeProtect}, {L"schedule.png", kBexNavSchedule},
        {L"shutdown.png", kBexNavShutdown},     {L"setting.png", kBexNavSetting},
        {L"weather.png", kBexNavWeather},
    };
    for (const auto& s : kStrips)
        if (lower.find(s.name) != std::wstring::npos) return s.id;
    return kBexNavSetting;
}

CVynPopWnd::CVynPopWnd(const PopButton& button)
    : button_(button), strip_(toolkit::BexSkinBitmap(StripResourceFor(button.picture))) {}

CVynPopWnd::~CVynPopWnd() {
    // Destroyed here, while the whole object still answers its messages;
    // the hover window goes with it (it is owned by this one).
    if (IsWindow()) DestroyWindow();
}

HWND CVynPopWnd::Mascot() const {
    return IsWindow() ? ::GetWindow(Hwnd(), GW_OWNER) : nullptr;
}

bool CVynPopWnd::Create(HWND owner) {
    if (IsWindow()) return false;
    RECT mascot{};
    if (owner && ::IsWindow(owner)) ::GetWindowRect(owner, &mascot);
    const int cx = strip_ ? std::max(1, strip_->Width() / kStripFrames) : 1;
    const int cy = strip_ ? std::max(1, strip_->Height()) : 1;
    RECT rc{ClampedSum(mascot.left, button_.x), ClampedSum(mascot.top, button_.y), 0, 0};
    rc.right = rc.left + cx;
    rc.bottom = rc.top + cy;
    if (!Window::Create(kClassName, owner, &rc, L"", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                        WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST))
        return false;
    if (!tip_) tip_ = std::make_unique<CVynPopTipWnd>(button_.hoverPicture);
    if (!tip_->IsWindow()) tip_->Create(Hwnd());
    ShowButton(true, mascot.left, mascot.top);
    return true;
}

void CVynPopWnd::ShowButton(bool show, int mascotLeft, int mascotTop) {
    if (!IsWindow()) return;
    KillTimer(kHoverTimer);
    KillTimer(kFadeTimer);
    fading_ = false;
    fadeAlpha_ = 0;
    if (!show) {
        HideButton();
        return;
    }
    // A new showing starts from the resting state, whatever the last one
    // ended with.
    if (pressed_) {
        pressed_ = false;
        if (::GetCapture() == Hwnd()) ::ReleaseCapture();
    }
    HideHover();
    DrawFrame(0, 0);
    ::SetWindowPos(Hwnd(), HWND_TOPMOST, ClampedSum(mascotLeft, button_.x), ClampedSum(mascotTop, button_.y), 0, 0,
                   SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
    if (strip_) {
        fading_ = true;
        SetTimer(kFadeTimer, kFadePeriodMs);
    }
}

void CVynPopWnd::HideButton() {
    if (!IsWindow()) return;
    KillTimer(kHoverTimer);
    KillTimer(kFadeTimer);
    fading_ = false;
    fadeAlpha_ = 0;
    if (pressed_) {
        pressed_ = false;
        if (::GetCapture() == Hwnd()) ::ReleaseCapture();
    }
    HideHover();
    ShowWindow(SW_HIDE);
}

void CVynPopWnd::DrawFrame(int frame, int alpha) {
    if (!strip_) return;
    const int frameWidth = strip_->Width() / kStripFrames;
    if (PutOnLayeredWindow(Hwnd(), *strip_, frame * frameWidth, frameWidth, strip_->Height(),
                           static_cast<BYTE>(alpha))) {
        lastFrame_ = frame;
        lastAlpha_ = alpha;
    }
}

bool CVynPopWnd::CursorInside() const {
    POINT pt{};
    if (!::GetCursorPos(&pt)) return false;
    const RECT rc = WindowRect();
    return ::PtInRect(&rc, pt) != FALSE;
}

void CVynPopWnd::ShowHover() {
    if (!tip_) return;
    const RECT rc = WindowRect();
    tip_->ShowAt(ClampedSum(rc.left, button_.hoverX), ClampedSum(rc.top, button_.hoverY));
    hoverShown_ = 1;
}

void CVynPopWnd::HideHover() {
    if (tip_) tip_->Hide();
    hovered_ = 0;
    hoverShown_ = 0;
}

LRESULT CVynPopWnd::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
    hovered_ = 1;
    if (pressed_ && ::GetCapture() == Hwnd()) {
        // A held press shows whether letting go here would click.
        const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const RECT client = ClientRect();
        const int frame = ::PtInRect(&client, pt) ? 2 : 0;
        if (frame != lastFrame_ || lastAlpha_ != 255) DrawFrame(frame, 255);
        return 0;
    }
    if (::GetCapture() != Hwnd() && strip_ && !hoverShown_) {
        KillTimer(kFadeTimer);
        fading_ = false;
        SetTimer(kHoverTimer, kHoverPeriodMs);
        DrawFrame(1, 255);
        ShowHover();
    }
    return 0;
}

LRESULT CVynPopWnd::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&) {
    ::SetCapture(Hwnd());
    pressed_ = true;
    // A press during the fade-in ends it: the fade would paint over the
    // pressed frame, and the hover check must run from now on.
    if (fading_) {
        KillTimer(kFadeTimer);
        fading_ = false;
        fadeAlpha_ = 0;
        SetTimer(kHoverTimer, kHoverPeriodMs);
    }
    DrawFrame(2, 255);
    return 0;
}

LRESULT CVynPopWnd::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&) {
    // Only a press that began on this button clicks it: a button-up that
    // arrives without one (the press began elsewhere) is not a click.
    const bool held = pressed_ && ::GetCapture() == Hwnd();
    pressed_ = false;
    if (::GetCapture() == Hwnd()) ::ReleaseCapture();
    if (held) Click();
    return 0;
}

LRESULT CVynPopWnd::OnCaptureChanged(UINT, WPARAM, LPARAM lParam, BOOL&) {
    // The press was taken away (another window took the mouse): it can no
    // longer end in a click.
    if (pressed_ && reinterpret_cast<HWND>(lParam) != Hwnd()) {
        pressed_ = false;
        HideHover();
        DrawFrame(0, 255);
    }
    return 0;
}

void CVynPopWnd::Click() {
    HWND mascot = Mascot();
    if (mascot) ::SetWindowPos(mascot, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!CursorInside()) {
        DrawFrame(0, 255);
        return;
    }
    DrawFrame(1, 255);
    // A failed start is not reported: the pop-up closes either way.
    StartProgramForPage(button_.program, button_.parameters);
    const std::wstring event = NavigationStatistic(button_.parameters);
    if (!event.empty()) (statistics_ ? *statistics_ : CStatistics::Instance()).SendStatistic(event);
    if (mascot) ::PostMessageW(mascot, WM_CLOSE_NAVIGATION, 0, 0);
}

LRESULT CVynPopWnd::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    if (wParam == kFadeTimer)
        FadeStep();
    else if (wParam == kHoverTimer)
        HoverCheck();
    else
        handled = FALSE;
    return 0;
}

void CVynPopWnd::FadeStep() {
    if (fadeAlpha_ < 256) {
        DrawFrame(0, fadeAlpha_);
        fadeAlpha_ += kFadeStep;
        return;
    }
    KillTimer(kFadeTimer);
    fading_ = false;
    DrawFrame(0, 255);
    SetTimer(kHoverTimer, kHoverPeriodMs);
    fadeAlpha_ = 0;
}

void CVynPopWnd::HoverCheck() {
    if (CursorInside()) return;
    if (::GetCapture() != Hwnd() && strip_ && hovered_) {
        DrawFrame(0, 255);
        HideHover();
    }
}

LRESULT CVynPopWnd::OnSetCursor(UINT, WPARAM, LPARAM, BOOL&) {
    HCURSOR cursor = ::LoadCursorW(toolkit::BexResourceModule(), MAKEINTRESOURCEW(kBexCursorMascot));
    ::SetCursor(cursor ? cursor : ::LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
}

LRESULT CVynPopWnd::OnMoveNavigation(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    // Positions are signed (monitors left of or above the primary one).
    const int mascotLeft = static_cast<int>(static_cast<LONG>(wParam));
    const int mascotTop = static_cast<int>(static_cast<LONG>(lParam));
    // A hidden button stays hidden: it follows the mascot but only an
    // opening shows it, with its fade-in.
    ::SetWindowPos(Hwnd(), nullptr, ClampedSum(mascotLeft, button_.x), ClampedSum(mascotTop, button_.y), 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (hoverShown_) ShowHover();
    return 0;
}

LRESULT CVynPopWnd::OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    DestroyWindow();
    return 0;
}

}  // namespace companion
