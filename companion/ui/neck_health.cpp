#include "companion/ui/neck_health.h"

#include <algorithm>

#include "companion/actions/action_environment.h"
#include "companion/system/shared_settings.h"
#include "companion/system/skin_strip.h"
#include "companion/ui/corvalle_skin.h"

namespace companion {

namespace {

DWORD SystemTick() { return SystemActionEnvironment().TickCount(); }

}  // namespace

CNeckHealth::CNeckHealth() { SetTemplateExStyle(WS_EX_TOOLWINDOW | WS_EX_TOPMOST); }

std::wstring CNeckHealth::PickPicture(const std::wstring& list, DWORD tick) {
    // Every piece counts, empty ones too: an empty value is one empty entry.
    std::vector<std::wstring> names;
    size_t start = 0;
    for (;;) {
        const size_t bar = list.find(L'|', start);
        names.push_back(list.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start));
        if (bar == std::wstring::npos) break;
        start = bar + 1;
    }
    return names[tick % names.size()];
}

void CNeckHealth::DrawBackground(HDC dc, const RECT* rect) {
    // Where the picture does not reach (a missing one), the skin's paper colour.
    RECT area{};
    if (rect) {
        area = *rect;
    } else {
        ::GetClipBox(dc, &area);
    }
    base::Brush paper(::CreateSolidBrush(RGB(0xf6, 0xfb, 0xf7)));
    ::FillRect(dc, &area, paper.Get());
    if (picture_) toolkit::DrawImageFrame(picture_.get(), dc, 0, 0, 0);
}

LRESULT CNeckHealth::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    std::wstring list;
    ReadActionString(list, L"VynRest", L"neck");
    const std::wstring name = PickPicture(list, (tick_ ? tick_ : &SystemTick)());
    const std::wstring path = SkinFilePath(name);
    picture_.reset();
    if (!path.empty()) {
        picture_ = std::make_unique<toolkit::CBexBitmap>(path.c_str(), toolkit::kBexKindPng, 1);
        picture_->Load();
    }
    const int pictureCx = picture_ ? picture_->FrameWidth() : 0;
    const int pictureCy = picture_ ? picture_->Height() : 0;

    close_.Attach(this, toolkit::kBexVisible | toolkit::kBexAutoSize, kIdClose);
    close_.SetStrip(toolkit::BexSkinBitmap(kBexNeckClose));
    SetWndPos(&close_, 570, 0);

    // Never smaller than what it takes to show the close button, so a
    // missing picture still leaves a way out.
    const int cx = std::max(pictureCx, static_cast<int>(close_.Rect().right));
    const int cy = std::max(pictureCy, static_cast<int>(close_.Rect().bottom));
    const RECT work = toolkit::BexWorkArea();
    ::SetWindowPos(Hwnd(), nullptr, (work.right - work.left - cx) / 2, (work.bottom - work.top - cy) / 2, cx, cy,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    toolkit::BexSetDialogRegion(Hwnd(), cx, cy);
    return TRUE;
}

LRESULT CNeckHealth::OnSize(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    if (wParam != SIZE_MINIMIZED) toolkit::BexSetDialogRegion(Hwnd(), LOWORD(lParam), HIWORD(lParam));
    return 0;
}

LRESULT CNeckHealth::OnEnd(WORD code, WORD id, HWND, BOOL& handled) {
    if (code != 0) {
        handled = FALSE;
        return 0;
    }
    EndDialog(id);
    return 0;
}

}  // namespace companion
