#include "companion/ui/pre_shutdown_dialog.h"

#include "companion/system/text_utils.h"
#include "companion/ui/corvalle_skin.h"
#include "companion/ui/rest_schedule.h"

namespace companion {

CPreShutdownDialog::CPreShutdownDialog(int mode)
    : mode_(mode == kRest ? kRest : kShutdown), remaining_(mode == kRest ? 30 : 60) {
    SetTemplateExStyle(WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
}

std::wstring CPreShutdownDialog::CountdownMarkup(int mode, int seconds) {
    std::wstring text;
    FormatWString(text,
                  mode == kRest ? L"{&#font=6}{&#color=0x246ce3} %d {&#/color}{&#/font}秒后执行休息事件"
                                : L"{&#font=6}{&#color=0x246ce3} %d {&#/color}{&#/font}秒后执行关机事件",
                  seconds);
    return text;
}

void CPreShutdownDialog::DrawBackground(HDC dc, const RECT*) {
    toolkit::DrawImageFrame(toolkit::BexSkinBitmap(kBexCountdownBack), dc, 0, 0, 0);
    toolkit::DrawImageFrame(toolkit::BexAppIcon(), dc, 10, 6, 0);
}

LRESULT CPreShutdownDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    const DWORD shown = toolkit::kBexVisible | toolkit::kBexAutoSize;
    // A second run of the same object starts its count afresh.
    remaining_ = mode_ == kRest ? 30 : 60;
    initialised_ = 0;
    ended_ = false;

    close_.Attach(this, shown, kIdClose);
    close_.SetStrip(toolkit::BexSkinBitmap(kBexCloseButton));
    execute_.Attach(this, shown, kIdExecute);
    execute_.SetBackground(toolkit::BexSkinBitmap(kBexCountdownButton));
    execute_.SetText(L"立即执行");
    title_.Attach(this, shown, 0);
    title_.SetText(L"{&#font=4}{&#color=0xffffff}ZubVynmar");
    greeting_.Attach(this, shown, 0);
    greeting_.SetText(L"{&#font=6}{&#color=0x1e9818}Pim提醒您：");
    picture_.Attach(this, shown, 0);
    picture_.SetBitmap(toolkit::BexSkinBitmap(kBexCountdownPicture));
    eventLine_.Attach(this, shown, 0);
    eventLine_.SetText(mode_ == kRest ? L"{&#color=0x60606a}定时休息事件的时间已经到了，{&#/color}"
                                      : L"{&#color=0x60606a}定时关机事件的时间已经到了，{&#/color}");
    adviceLine_.Attach(this, shown, 0);
    adviceLine_.SetText(mode_ == kRest ? L"{&#color=0x60606a}看看蓝天白云，休息一下吧~{&#/color}"
                                       : L"{&#color=0x60606a}赶快保存一下文件吧~{&#/color}");
    countdown_.Attach(this, shown, 0);
    countdown_.SetText(CountdownMarkup(mode_, remaining_).c_str());
    postpone_.Attach(this, shown, 0);
    postpone_.SetDefaultTextColor(0x0C2730);
    std::wstring link;
    FormatWString(link, L"{&#a=button:%d}暂不执行", static_cast<int>(kIdPostpone));
    postpone_.SetText(link.c_str());
    PlaceControls();

    toolkit::CBexBitmap* back = toolkit::BexSkinBitmap(kBexCountdownBack);
    const int cx = back ? back->FrameWidth() : 0;
    const int cy = back ? back->Height() : 0;
    const RECT work = toolkit::BexWorkArea();
    ::SetWindowPos(Hwnd(), nullptr, work.right - cx, work.bottom - cy, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetForegroundWindow(Hwnd());
    ::BringWindowToTop(Hwnd());
    ::AnimateWindow(Hwnd(), 1000, AW_BLEND);

    initialised_ = 1;
    PlaceControls();
    CountdownStep();
    ::SetTimer(Hwnd(), kTimerCountdown, tickMs_, nullptr);
    return TRUE;
}

void CPreShutdownDialog::PlaceControls() {
    SetWndPos(&close_, 270, 1);
    SetWndPos(&execute_, 232, 166);
    SetWndPos(&title_, 30, 6);
    SetWndPos(&greeting_, 122, 48);
    SetWndPos(&picture_, 11, 45);
    SetWndPos(&eventLine_, 126, 72);
    SetWndPos(&adviceLine_, 126, 94);
    SetWndPos(&countdown_, 8, 175);
    SetWndPos(&postpone_, 178, 175);
}

LRESULT CPreShutdownDialog::OnSize(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    if (wParam == SIZE_MINIMIZED) return 0;
    toolkit::BexSetDialogRegion(Hwnd(), LOWORD(lParam), HIWORD(lParam));
    ::RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    if (initialised_) PlaceControls();
    return 0;
}

void CPreShutdownDialog::CountdownStep() {
    if (remaining_ <= 0) {
        ::KillTimer(Hwnd(), kTimerCountdown);
        Finish(0);
        return;
    }
    countdown_.SetText(CountdownMarkup(mode_, remaining_).c_str());
    --remaining_;
}

LRESULT CPreShutdownDialog::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    if (wParam != kTimerCountdown) {
        handled = FALSE;
        return 0;
    }
    CountdownStep();
    return 0;
}

LRESULT CPreShutdownDialog::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&) {
    ::SendMessageW(Hwnd(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    return 0;
}

void CPreShutdownDialog::Finish(INT_PTR result) {
    // A click that was already queued must not change the answer.
    if (ended_) return;
    ended_ = true;
    ::KillTimer(Hwnd(), kTimerCountdown);
    ::ShowWindow(Hwnd(), SW_HIDE);
    EndDialog(result);
}

LRESULT CPreShutdownDialog::OnExecute(WORD, WORD, HWND, BOOL&) {
    Finish(0);
    return 0;
}

LRESULT CPreShutdownDialog::OnPostpone(WORD, WORD, HWND, BOOL&) {
    if (ended_) return 0;
    Finish(1);
    if (mode_ == kRest) WriteNextRestTime(DialogLocalTime());
    return 0;
}

LRESULT CPreShutdownDialog::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
    ::KillTimer(Hwnd(), kTimerCountdown);
    handled = FALSE;
    return 0;
}

}  // namespace companion
