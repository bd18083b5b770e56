// A skinned replacement of the platform message box: title image and text,
// one text line per line of the body, an optional icon and up to three
// buttons chosen by the MB_OK ... MB_CANCELTRYCONTINUE type.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/bex_dialog.h"
#include "toolkit/bex_text_wnd.h"

namespace toolkit {

class CBexMessageBox : public CBexDialog {
public:
    static constexpr int kMinClientWidth = 240;
    static constexpr int kMinBodyHeight = 40;

    // The body lines are split at "\n"; only the low four bits of `type` count.
    CBexMessageBox(const wchar_t* text, UINT type, HICON icon = nullptr);

    void SetText(const wchar_t* text) { text_ = text ? text : L""; }
    void SetType(UINT type) { type_ = type & 0xF; }
    void SetIcon(HICON icon) { icon_ = icon; }
    void SetTitleBitmap(CBexBitmap* bitmap) { titleBitmap_ = bitmap; }
    void SetButtonBackground(CBexBitmap* background) { buttonBackground_ = background; }

    const std::wstring& Text() const { return text_; }
    UINT Type() const { return type_; }
    HICON Icon() const { return icon_; }
    // Valid while the dialog window exists.
    size_t LineCount() const { return lines_.size(); }
    CBexTextWnd& Line(size_t index) { return *lines_[index]; }
    CBexTextWnd& TitleText() { return titleText_; }
    CBexImageWnd& TitleImage() { return titleImage_; }
    CBexButton4& LeftButton() { return left_; }
    CBexButton4& MiddleButton() { return middle_; }
    CBexButton4& RightButton() { return right_; }

    void DrawBackground(HDC dc, const RECT* rect) override;

protected:
    void OnInitDialog() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnDestroy() override;

    // The message-box layout of the content for a client of cx x cy.
    void LayoutContent(int cx, int cy);

private:
    void SetUpButton(CBexButton4& button, const wchar_t* text, UINT id);

    std::wstring text_;
    UINT type_ = 0;
    HICON icon_ = nullptr;
    CBexBitmap* titleBitmap_ = nullptr;
    CBexBitmap* buttonBackground_ = nullptr;
    CBexImageWnd titleImage_;
    CBexTextWnd titleText_;
    // Made when the window is initialised and freed when it goes, so the
    // same object can be run more than once.
    std::vector<std::unique_ptr<CBexTextWnd>> lines_;
    CBexButton4 left_;
    CBexButton4 middle_;
    CBexButton4 right_;
};

}  // namespace toolkit
