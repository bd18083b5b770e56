#include "companion/ui/vyn_choose_box.h"

#include "companion/ui/corvalle_skin.h"

namespace companion {

CVynChooseBox::CVynChooseBox() : toolkit::CBexMessageBox(L"为方便使用，你是否选择：", MB_OK) {
    SetBackground(toolkit::BexSkinBitmap(kBexChooserBack));
    SetCloseStrip(toolkit::BexSkinBitmap(kBexCloseButton));
    SetButtonBackground(toolkit::BexSkinBitmap(kBexChooserButton));
    SetTemplateExStyle(WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
}

void CVynChooseBox::DrawBackground(HDC dc, const RECT* rect) {
    toolkit::CBexMessageBox::DrawBackground(dc, rect);
    toolkit::DrawImageFrame(toolkit::BexAppIcon(), dc, 8, 6, 0);
    toolkit::DrawImageFrame(toolkit::BexSkinBitmap(kBexChooserTitle), dc, 25, 6, 0);
}

void CVynChooseBox::OnInitDialog() {
    toolkit::CBexMessageBox::OnInitDialog();
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    const int cy = client.bottom + 15;
    toolkit::BexSetClientSize(Hwnd(), client.right, cy);
    toolkit::BexCentreDialog(Hwnd());

    autorun_.Attach(this, toolkit::kBexVisible | toolkit::kBexAutoSize, kIdAutorun);
    autorun_.SetStrip(toolkit::BexSkinBitmap(kBexCheckBox));
    autorun_.SetText(L"开机自启动");
    autorun_.SetCheck(0);
    SetWndPos(&autorun_, 50, cy - 74);
    shortcut_.Attach(this, toolkit::kBexVisible | toolkit::kBexAutoSize, kIdShortcut);
    shortcut_.SetStrip(toolkit::BexSkinBitmap(kBexCheckBox));
    shortcut_.SetText(L"建立桌面快捷方式");
    shortcut_.SetCheck(1);
    SetWndPos(&shortcut_, 50, cy - 54);
}

void CVynChooseBox::OnSize(UINT type, int cx, int cy) {
    toolkit::CBexMessageBox::OnSize(type, cx, cy);
    for (toolkit::CBexButton4* button : {&LeftButton(), &MiddleButton(), &RightButton()})
        SetWndPos(button, button->Rect().left, button->Rect().top + 8);
    // The chooser shows its title as a picture instead.
    TitleText().ShowWnd(false);
}

}  // namespace companion
