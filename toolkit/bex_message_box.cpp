#include "toolkit/bex_message_box.h"

#include <algorithm>

namespace toolkit {

CBexMessageBox::CBexMessageBox(const wchar_t* text, UINT type, HICON icon)
    : text_(text ? text : L""), type_(type & 0xF), icon_(icon) {
    const BexSkinSet& skin = RegisteredBexSkinSet();
    SetBackground(BexSkinBitmap(skin.messageBoxBack));
    SetCloseStrip(BexSkinBitmap(skin.messageBoxClose));
    buttonBackground_ = BexSkinBitmap(skin.messageBoxButton);
}

void CBexMessageBox::DrawBackground(HDC dc, const RECT* rect) {
    CBexDialog::DrawBackground(dc, rect);
    if (icon_) ::DrawIconEx(dc, 25, 50, icon_, 32, 32, 0, nullptr, DI_NORMAL);
}

void CBexMessageBox::SetUpButton(CBexButton4& button, const wchar_t* text, UINT id) {
    const bool visible = text != nullptr;
    button.Attach(this, visible ? (kBexVisible | kBexAutoSize) : kBexAutoSize, visible ? id : 0);
    button.SetBackground(buttonBackground_);
    button.SetText(visible ? text : L"");
    button.RecalcLayout();
}

void CBexMessageBox::OnInitDialog() {
    CBexDialog::OnInitDialog();

    titleImage_.Attach(this, kBexVisible | kBexAutoSize, 0);
    titleImage_.SetBitmap(titleBitmap_);
    SetWndPos(&titleImage_, 10, 4);
    titleText_.Attach(this, kBexVisible | kBexAutoSize, 0);
    titleText_.SetText(L"{&#font=4}ZubPellorvan");
    SetWndPos(&titleText_, 30, 4);

    lines_.clear();
    size_t start = 0;
    for (;;) {
        const size_t end = text_.find(L'\n', start);
        auto line = std::make_unique<CBexTextWnd>();
        line->Attach(this, kBexVisible | kBexAutoSize, 0);
        line->SetText(text_.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start).c_str());
        lines_.push_back(std::move(line));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }

    const wchar_t* texts[3] = {nullptr, nullptr, nullptr};
    UINT ids[3] = {0, 0, 0};
    auto set = [&](int slot, const wchar_t* text, UINT id) {
        texts[slot] = text;
        ids[slot] = id;
    };
    switch (type_) {
    case MB_OKCANCEL: set(1, L"确定", IDOK); set(2, L"取消", IDCANCEL); break;
    case MB_ABORTRETRYIGNORE: set(0, L"终止", IDABORT); set(1, L"重试", IDRETRY); set(2, L"忽略", IDIGNORE); break;
    case MB_YESNOCANCEL: set(0, L"是", IDYES); set(1, L"否", IDNO); set(2, L"取消", IDCANCEL); break;
    case MB_YESNO: set(1, L"是", IDYES); set(2, L"否", IDNO); break;
    case MB_RETRYCANCEL: set(1, L"重试", IDRETRY); set(2, L"取消", IDCANCEL); break;
    case MB_CANCELTRYCONTINUE: set(0, L"取消", IDCANCEL); set(1, L"重试", IDTRYAGAIN); set(2, L"继续", IDCONTINUE); break;
    default: set(2, L"确定", IDOK); break;
    }
    SetUpButton(left_, texts[0], ids[0]);
    SetUpButton(middle_, texts[1], ids[1]);
    SetUpButton(right_, texts[2], ids[2]);
    // Abort / retry / ignore must be answered by one of its own buttons.
    if (type_ == MB_ABORTRETRYIGNORE) CloseButton().EnableWnd(false);

    int widest = 0;
    int bodyHeight = 0;
    for (const auto& line : lines_) {
        widest = std::max(widest, line->Width());
        bodyHeight += line->Height() + 5;
    }
    const int cx = std::max(widest + (icon_ ? 40 : 0), kMinClientWidth) + 50;
    const int cy = std::max(bodyHeight, kMinBodyHeight) + 120;
    BexSetClientSize(Hwnd(), cx, cy);
    BexCentreDialog(Hwnd());
    // The size may have been the template's already, which sends no WM_SIZE.
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    OnSize(SIZE_RESTORED, client.right, client.bottom);
}

void CBexMessageBox::OnSize(UINT type, int cx, int cy) {
    CBexDialog::OnSize(type, cx, cy);
    LayoutContent(cx, cy);
}

void CBexMessageBox::LayoutContent(int cx, int cy) {
    SetWndPos(&titleImage_, 10, 4);
    SetWndPos(&titleText_, 30, 4);
    const int x = icon_ ? 65 : 25;
    int y = lines_.size() == 1 ? 59 : 50;
    for (const auto& line : lines_) {
        SetWndPos(line.get(), x, y);
        y = line->Rect().bottom + 5;
    }
    SetWndPos(&right_, cx - 20 - right_.Width(), cy - 40);
    SetWndPos(&middle_, right_.Rect().left - 15 - middle_.Width(), cy - 40);
    SetWndPos(&left_, middle_.Rect().left - 15 - left_.Width(), cy - 40);
}

void CBexMessageBox::OnDestroy() {
    // The manager has let go of every control by now.
    lines_.clear();
}

}  // namespace toolkit
