#include "companion/ui/vyn_choose_box.h"

#include "companion/ui/corvalle_skin.h"

CVynChooseBox::CVynChooseBox() : CBexMessageBox(L"为方便使用，你是否选择：", MB_OK) {
    SetBackground(BexSkinBitmap(kBexChooserBack));
    SetCloseStrip(BexSkinBitmap(kBexCloseButton));
    SetButtonBackground(BexSkinBitmap(kBexChooserButton));
    SetTemplateExStyle(WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
}

void CVynChooseBox::DrawBackground(HDC dc, const RECT* rect) {
    CBexMessageBox::DrawBackground(dc, rect);
    DrawImageFrame(BexAppIcon(), dc, 8, 6, 0);
    DrawImageFrame(BexSkinBitmap(kBexChooserTitle), dc, 25, 6, 0);
}

void CVynChooseBox::OnInitDialog() {
    CBexMessageBox::OnInitDialog();
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    const int cy = client.bottom + 15;
    BexSetClientSize(Hwnd(), client.right, cy);
    BexCentreDialog(Hwnd());

    autorun_.Attach(this, kBexVisible | kBexAutoSize, kIdAutorun);
    autorun_.SetStrip(BexSkinBitmap(kBexCheckBox));
    autorun_.SetText(L"开机自启动");
    autorun_.SetCheck(0);
    SetWndPos(&autorun_, 50, cy - 74);
    shortcut_.Attach(this, kBexVisible | kBexAutoSize, kIdShortcut);
    shortcut_.SetStrip(BexSkinBitmap(kBexCheckBox));
    shortcut_.SetText(L"建立桌面快捷方式");
    shortcut_.SetCheck(1);
    SetWndPos(&shortcut_, 50, cy - 54);
}

void CVynChooseBox::OnSize(UINT type, int cx, int cy) {
    CBexMessageBox::OnSize(type, cx, cy);
    for (CBexButton4* button : {&LeftButton(), &MiddleButton(), &RightButton()})
        SetWndPos(button, button->Rect().left, button->Rect().top + 8);
    // The chooser shows its title as a picture instead.
    TitleText().ShowWnd(false);
}
