#include "companion/ui/full_screen_dialog.h"

#include <wtsapi32.h>

#include "base/dib_section.h"
#include "companion/ui/corvalle_skin.h"
#include "companion/ui/rest_schedule.h"
#include "companion/system/skin_strip.h"

namespace companion {

namespace {

// A 32-bit top-down DIB section of cx x cy; null on failure.
base::Bitmap MakeDib(int cx, int cy, DWORD** bits) {
    void* data = nullptr;
    base::Bitmap dib = base::CreateTopDownDib(cx, cy, 32, &data);
    *bits = static_cast<DWORD*>(data);
    return dib;
}

}  // namespace

int MakeStretchedBackground(const std::wstring& path, int cx, int cy, std::unique_ptr<toolkit::CBexBitmap>& bitmap) {
    if (path.empty() || cx <= 0 || cy <= 0) return -1;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return -1;
    toolkit::CBexBitmap picture(path.c_str(), toolkit::kBexKindPng, 1);
    if (!picture.Load() || !picture.Handle()) return -1;

    DWORD* bits = nullptr;
    base::Bitmap dib = MakeDib(cx, cy, &bits);
    if (!dib || !bits) return -1;
    base::MemoryDc source(::CreateCompatibleDC(nullptr));
    base::MemoryDc target(::CreateCompatibleDC(nullptr));
    if (!source || !target) return -1;
    {
        base::SelectObjectScope inSource(source.Get(), picture.Handle());
        base::SelectObjectScope inTarget(target.Get(), dib.Get());
        ::SetStretchBltMode(target.Get(), HALFTONE);
        ::SetBrushOrgEx(target.Get(), 0, 0, nullptr);
        if (!::StretchBlt(target.Get(), 0, 0, cx, cy, source.Get(), 0, 0, picture.FrameWidth(), picture.Height(),
                          SRCCOPY))
            return -1;
    }
    ::GdiFlush();
    // StretchBlt leaves the alpha bytes as it pleases (zero from an opaque
    // picture); the screen behind the rest must be fully opaque, or every
    // repaint of the counters would blend it anew.
    const size_t count = static_cast<size_t>(cx) * static_cast<size_t>(cy);
    for (size_t i = 0; i < count; ++i) bits[i] |= 0xFF000000u;
    bitmap = std::make_unique<toolkit::CBexBitmap>(std::move(dib), toolkit::kBexKindBmp, 1);
    return 0;
}

int MakeSolidBackground(int cx, int cy, std::unique_ptr<toolkit::CBexBitmap>& bitmap) {
    if (cx <= 0 || cy <= 0) return -1;
    DWORD* bits = nullptr;
    base::Bitmap dib = MakeDib(cx, cy, &bits);
    if (!dib || !bits) return -1;
    const size_t count = static_cast<size_t>(cx) * static_cast<size_t>(cy);
    for (size_t i = 0; i < count; ++i) bits[i] = 0xFFFFFFFFu;
    bitmap = std::make_unique<toolkit::CBexBitmap>(std::move(dib), toolkit::kBexKindBmp, 1);
    return 0;
}

int MakeRestBackground(std::unique_ptr<toolkit::CBexBitmap>& bitmap) {
    const SYSTEMTIME now = DialogLocalTime();
    return MakeStretchedBackground(SkinFilePath(RestPictureName(now.wHour)), ::GetSystemMetrics(SM_CXSCREEN),
                                   ::GetSystemMetrics(SM_CYSCREEN), bitmap);
}

int MakeWhiteBackground(std::unique_ptr<toolkit::CBexBitmap>& bitmap) {
    return MakeSolidBackground(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), bitmap);
}

// ---------------------------------------------------------------------------
// CFullScreenDialog

CFullScreenDialog::CFullScreenDialog(toolkit::CBexBitmap* background, int minutes)
    : background_(background), minutes_(minutes), remaining_(RestSeconds(minutes)) {
    SetTemplateExStyle(WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
}

int CFullScreenDialog::BackWidth() const { return background_ ? background_->FrameWidth() : 0; }
int CFullScreenDialog::BackHeight() const { return background_ ? background_->Height() : 0; }

void CFullScreenDialog::DrawBackground(HDC dc, const RECT*) {
    if (background_) toolkit::DrawImageFrame(background_, dc, 0, 0, 0);
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    if (toolkit::CBexBitmap* shade = toolkit::BexSkinBitmap(kBexRestShade))
        shade->Draw(dc, 0, 0, client.right, client.bottom, 0);
    toolkit::DrawImageFrame(toolkit::BexSkinBitmap(kBexRestPanel), dc, x0_, y0_, 0);
}

void CFullScreenDialog::RestoreCursor() {
    if (!cursorHidden_) return;
    cursorHidden_ = false;
    ::SetCursorPos(savedCursor_.x, savedCursor_.y);
    ::ShowCursor(TRUE);
}

LRESULT CFullScreenDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    remaining_ = RestSeconds(minutes_);
    ended_ = false;
    initialised_ = 0;
    com_.emplace();
    ::ShowCursor(FALSE);
    cursorHidden_ = true;
    ::GetCursorPos(&savedCursor_);
    ::SetCursorPos(0, 0);

    player_.Create(Hwnd(), kIdHost, RECT{0, 0, 0, 0}, WS_CHILD | WS_VISIBLE, new CRestDlgSink(Hwnd()), &subclass_);

    toolkit::CBexBitmap* panel = toolkit::BexSkinBitmap(kBexRestPanel);
    const int bw = BackWidth(), bh = BackHeight();
    x0_ = bw / 2 - (panel ? panel->FrameWidth() : 0) / 2;
    y0_ = bh / 2 - (panel ? panel->Height() : 0) / 2;

    const DWORD shown = toolkit::kBexVisible | toolkit::kBexAutoSize;
    play_.Attach(this, shown, kIdPlay);
    play_.SetStrip(toolkit::BexSkinBitmap(kBexRestPlay));
    exit_.Attach(this, shown, kIdExit);
    exit_.SetStrip(toolkit::BexSkinBitmap(kBexRestExit));
    SetWndPos(&exit_, bw - exit_.Width(), 0);
    picture_.Attach(this, shown, 0);
    picture_.SetBitmap(toolkit::BexSkinBitmap(kBexRestPicture));
    invitation_.Attach(this, shown, 0);
    invitation_.SetText(L"{&#font=5}{&#color=0x137b35}累了吗？放松一下，做做眼保健操{&#/color}{&#/font}");
    escHint_.Attach(this, shown, 0);
    escHint_.SetText(L"{&#font=5}{&#color=0x827a71}（按Esc键退出休息模式）{&#/color}{&#/font}");
    countdown_.Attach(this, shown, 0);
    countdown_.SetDefaultFont(toolkit::BexTahomaLargeFont());
    countdown_.SetText(FormatRestCountdown(remaining_).c_str());
    hint1_.Attach(this, shown, 0);
    hint1_.SetText(L"{&#font=3}{&#color=0x726a5f}温馨提示：使用键盘后，双手带有大量细菌。{&#/color}{&#/font}");
    SetWndPos(&hint1_, x0_ + 136, y0_ + 159);
    hint2_.Attach(this, shown, 0);
    hint2_.SetText(L"{&#font=3}{&#color=0x726a5f}做眼保健操前请注意清洁双手。{&#/color}{&#/font}");
    SetWndPos(&hint2_, x0_ + 136, y0_ + 179);
    clock_.Attach(this, shown, 0);
    clock_.SetDefaultFont(toolkit::BexVerdanaClockFont());
    clock_.SetText(FormatRestClock(DialogLocalTime()).c_str());
    SetWndPos(&clock_, bw - 70, bh - 30);
    PlacePanelControls();

    if (player_.Host()) ::ShowWindow(player_.Host(), SW_HIDE);
    PlaceMovieWindow();
    play_.ShowWnd(true);

    ::MoveWindow(Hwnd(), 0, 0, bw, bh, TRUE);

    initialised_ = 1;
    CountdownStep();
    ClockStep();
    ::SetTimer(Hwnd(), kTimerCountdown, countdownMs_, nullptr);
    ::SetTimer(Hwnd(), kTimerClock, clockMs_, nullptr);

    sessionRegistered_ = ::WTSRegisterSessionNotification(Hwnd(), NOTIFY_FOR_ALL_SESSIONS) != FALSE;

    HWND foreground = ::GetForegroundWindow();
    const DWORD foreignThread = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
    const DWORD ownThread = ::GetCurrentThreadId();
    const bool attached =
        foreignThread && foreignThread != ownThread && ::AttachThreadInput(foreignThread, ownThread, TRUE);
    ::SetForegroundWindow(Hwnd());
    ::SetFocus(Hwnd());
    if (attached) ::AttachThreadInput(foreignThread, ownThread, FALSE);

    RestoreCursor();
    return TRUE;
}

void CFullScreenDialog::PlacePanelControls() {
    SetWndPos(&play_, x0_ + 362, y0_ + 124);
    SetWndPos(&picture_, x0_ + 142, y0_ + 41);
    SetWndPos(&escHint_, x0_ + 138, y0_ + 72);
    SetWndPos(&countdown_, x0_ + 300, y0_ + 37);
    SetWndPos(&invitation_, x0_ + 136, y0_ + 131);
}

void CFullScreenDialog::PlaceMovieWindow() {
    if (!player_.Host()) return;
    ::MoveWindow(player_.Host(), (BackWidth() - kMovieWidth) / 2, (BackHeight() - kMovieHeight) / 2, kMovieWidth,
                 kMovieHeight, TRUE);
}

LRESULT CFullScreenDialog::OnSize(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (wParam == SIZE_MINIMIZED || !initialised_) return 0;
    PlacePanelControls();
    PlaceMovieWindow();
    return 0;
}

void CFullScreenDialog::CountdownStep() {
    if (remaining_ <= 0) {
        if (player_.HasControl() && player_.HostVisible() && player_.IsPlaying()) {
            countdown_.SetText(L"{&#color=0x30bb82}00:00{&#/color}");
            return;
        }
        ::KillTimer(Hwnd(), kTimerCountdown);
        EndRest();
        return;
    }
    countdown_.SetText(FormatRestCountdown(remaining_).c_str());
    --remaining_;
}

void CFullScreenDialog::ClockStep() { clock_.SetText(FormatRestClock(DialogLocalTime()).c_str()); }

LRESULT CFullScreenDialog::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    if (wParam == kTimerCountdown) {
        CountdownStep();
    } else if (wParam == kTimerClock) {
        ClockStep();
    } else {
        handled = FALSE;
    }
    return 0;
}

LRESULT CFullScreenDialog::OnPlay(WORD, WORD, HWND, BOOL&) {
    if (ended_) return 0;
    if (!player_.HasControl()) {
        ShowNoPlayerNotice(Hwnd());
        EndRest();
        return 0;
    }
    ::ShowWindow(player_.Host(), SW_SHOW);
    player_.StartMovie(SkinFilePath(L"eye.swf"));
    play_.ShowWnd(false);
    const int bw = BackWidth(), bh = BackHeight();
    SetWndPos(&picture_, bw / 2 - 115, (bh - kMovieHeight) / 2 + 436);
    SetWndPos(&countdown_, bw / 2 + 42, (bh - kMovieHeight) / 2 + 431);
    return 0;
}

LRESULT CFullScreenDialog::OnMovieDone(UINT, WPARAM, LPARAM, BOOL&) {
    if (player_.HasControl()) player_.Stop();
    if (player_.Host()) ::ShowWindow(player_.Host(), SW_HIDE);
    countdown_.ShowWnd(true);
    play_.ShowWnd(true);
    SetWndPos(&picture_, x0_ + 142, y0_ + 41);
    SetWndPos(&countdown_, x0_ + 300, y0_ + 37);
    return 0;
}

LRESULT CFullScreenDialog::OnExit(WORD, WORD, HWND, BOOL&) {
    EndRest();
    return 0;
}

LRESULT CFullScreenDialog::OnSessionChange(UINT, WPARAM, LPARAM, BOOL&) {
    EndRest();
    return 0;
}

void CFullScreenDialog::EndRest() {
    // Esc, a session change and the count may all arrive before the modal
    // loop lets go: the next rest is written once.
    if (ended_) return;
    ended_ = true;
    ::KillTimer(Hwnd(), kTimerCountdown);
    ::KillTimer(Hwnd(), kTimerClock);
    EndDialog(0);
    WriteNextRestTime(DialogLocalTime());
}

LRESULT CFullScreenDialog::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
    ::KillTimer(Hwnd(), kTimerCountdown);
    ::KillTimer(Hwnd(), kTimerClock);
    if (sessionRegistered_) {
        ::WTSUnRegisterSessionNotification(Hwnd());
        sessionRegistered_ = false;
    }
    player_.Close();
    com_.reset();
    RestoreCursor();
    handled = FALSE;
    return 0;
}

}  // namespace companion
