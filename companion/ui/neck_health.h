// The neck-exercise picture: one of the pictures listed under [VynRest] neck
// of the action file, chosen by the tick count, with a close button.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/bex_controls.h"
#include "toolkit/bex_dialog.h"

namespace companion {

class CNeckHealth : public toolkit::CBexTemplateDialog, public toolkit::CBexWndManager {
public:
    enum : UINT { kIdClose = IDYES };  // the close button ends the dialog with 6

    CNeckHealth();

    // The tick count that picks the picture; the system clock unless set.
    void SetTickSource(DWORD (*tick)()) { tick_ = tick; }

    // The entry of the list that a tick count picks ("" for an empty list).
    static std::wstring PickPicture(const std::wstring& list, DWORD tick);

    toolkit::CBexBitmap* Picture() const { return picture_.get(); }
    toolkit::CBexButton3& CloseButton() { return close_; }

    WL_BEGIN_MSG_MAP()
        WL_CHAIN_MSG_MAP(toolkit::CBexWndManager)
        WL_MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        WL_MESSAGE_HANDLER(WM_SIZE, OnSize)
        WL_COMMAND_ID_HANDLER(IDOK, OnIgnore)
        WL_COMMAND_RANGE_HANDLER(IDCANCEL, IDCONTINUE, OnEnd)
    WL_END_MSG_MAP()

    void DrawBackground(HDC dc, const RECT* rect) override;

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnIgnore(WORD, WORD, HWND, BOOL&) { return 0; }
    LRESULT OnEnd(WORD code, WORD id, HWND, BOOL& handled);

    DWORD (*tick_)() = nullptr;
    std::unique_ptr<toolkit::CBexBitmap> picture_;
    toolkit::CBexButton3 close_;
};

}  // namespace companion
