// Skinned dialogs. Every modal dialog of Corvalle is a borderless popup made
// from an in-memory template (there are no dialog resources) that sizes and
// skins itself when it is initialised.
//
// Two layers:
//   CBexTemplateDialog  the template and the shared geometry helpers (window
//                       region, centring); the countdown, exercise and rest
//                       dialogs build on it with message maps of their own,
//                       because their keys and close ids differ.
//   CBexDialog          the skinned dialog with the control manager mixed in,
//                       a nine-part background and a close button (id 2);
//                       buttons with ids 1-11 end it with their id. The
//                       message box and the first-run chooser build on it.
#pragma once

#include <windows.h>

#include "toolkit/bex_bitmap.h"
#include "toolkit/bex_controls.h"
#include "toolkit/bex_wnd_manager.h"
#include "winlib/dialog.h"

namespace toolkit {

// The rounded region every skinned dialog wears: a 7-pixel round rectangle
// with the single pixel left inside each curve taken out as well.
void BexSetDialogRegion(HWND hwnd, int cx, int cy);

// Centres a dialog: a child in its parent's client area; otherwise on a
// visible, not minimised owner, else on the nearest monitor's work area, and
// then pushed inside that work area. Neither sized nor activated.
void BexCentreDialog(HWND hwnd);

// Sizes a window so that its client area is cx x cy.
void BexSetClientSize(HWND hwnd, int cx, int cy);

// The work area of the primary monitor.
RECT BexWorkArea();

class CBexTemplateDialog : public winlib::Dialog {
public:
    static constexpr DWORD kDefaultStyle = 0x80000000;  // WS_POPUP

    // Subclasses change these before the dialog is created.
    void SetTemplateStyle(DWORD style) { templateStyle_ = style; }
    void SetTemplateExStyle(DWORD exStyle) { templateExStyle_ = exStyle; }
    DWORD TemplateStyle() const { return templateStyle_; }
    DWORD TemplateExStyle() const { return templateExStyle_; }

    // Runs the dialog modally; the EndDialog value, -1 when it cannot be made.
    INT_PTR Run(HWND owner) { return DoModal(owner); }

protected:
    winlib::DialogTemplate GetTemplate() const override;

private:
    DWORD templateStyle_ = kDefaultStyle;
    DWORD templateExStyle_ = 0;
};

class CBexDialog : public CBexTemplateDialog, public CBexWndManager {
public:
    static constexpr UINT kCloseId = IDCANCEL;

    CBexDialog() = default;

    void SetBackground(CBexBitmap* background) { background_ = background; }
    void SetCloseStrip(CBexBitmap* strip) { closeStrip_ = strip; }
    CBexBitmap* Background() const { return background_; }
    CBexButton3& CloseButton() { return close_; }

    WL_BEGIN_MSG_MAP()
        WL_CHAIN_MSG_MAP(CBexWndManager)
        WL_MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMsg)
        WL_MESSAGE_HANDLER(WM_SIZE, OnSizeMsg)
        WL_MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDownMsg)
        WL_MESSAGE_HANDLER(WM_COMMAND, OnCommandMsg)
        WL_MESSAGE_HANDLER(WM_DESTROY, OnDestroyMsg)
    WL_END_MSG_MAP()

    void DrawBackground(HDC dc, const RECT* rect) override;

protected:
    // Layers above extend these and call the base first.
    virtual void OnInitDialog();
    // Runs for every WM_SIZE that is not a minimise.
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnDestroy() {}

private:
    LRESULT OnInitDialogMsg(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSizeMsg(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnLButtonDownMsg(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCommandMsg(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnDestroyMsg(UINT, WPARAM, LPARAM, BOOL& handled);

    CBexButton3 close_;
    CBexBitmap* background_ = nullptr;
    CBexBitmap* closeStrip_ = nullptr;
};

}  // namespace toolkit
