// The image, image-button, text-button and check-box controls.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/bex_bitmap.h"
#include "toolkit/bex_wnd.h"

namespace toolkit {

// One frame of a bitmap at its natural size.
class CBexImageWnd : public CBexWnd {
public:
    void SetBitmap(CBexBitmap* bitmap);
    CBexBitmap* Bitmap() const { return bitmap_; }
    void SetFrame(int frame);
    int Frame() const { return frame_; }

    void OnCreate() override;
    void Paint(HDC dc, int clipX, int paintArg) override;

private:
    void ApplyBitmapTraits();

    CBexBitmap* bitmap_ = nullptr;
    int frame_ = 0;
};

// Press, hover and click logic shared by both buttons: a click is sent when
// the capture ends with the mouse still over the button.
class CBexButtonBase : public CBexWnd {
public:
    void OnCaptureLost() override;
    LRESULT OnLButtonDown(POINT pt) override;
    LRESULT OnLButtonUp(POINT pt) override;
    LRESULT OnLButtonDblClk(POINT pt) override { return OnLButtonDown(pt); }
    void OnMouseEnter(POINT pt) override;
    void OnMouseLeave() override;

    bool IsHover() const { return hover_ != 0; }
    bool IsPressed() const { return pressed_ != 0; }
    // 0 normal, 1 hover, 2 pressed, 3 disabled.
    int StateFrame() const;

protected:
    BYTE hover_ = 0;
    BYTE pressed_ = 0;
};

// A button drawn from a strip (frames: normal, hover, pressed, disabled) with
// an optional icon centred on it.
class CBexButton3 : public CBexButtonBase {
public:
    void SetStrip(CBexBitmap* strip);
    void SetIcon(CBexBitmap* icon, int frame = 0);
    CBexBitmap* Strip() const { return strip_; }

    void OnCreate() override;
    void Paint(HDC dc, int clipX, int paintArg) override;

private:
    CBexBitmap* icon_ = nullptr;
    int iconFrame_ = 0;
    CBexBitmap* strip_ = nullptr;
};

// A button with a stretched background, an optional icon and a text.
class CBexButton4 : public CBexButtonBase {
public:
    void SetText(const wchar_t* text);
    const std::wstring& Text() const { return text_; }
    void SetIcon(CBexBitmap* icon, int frame = 0);
    void SetBackground(CBexBitmap* background);
    // Sizes the button to its content (with auto-size) and centres the content.
    void RecalcLayout();
    int ContentOffset() const { return contentOffset_; }

    void OnCreate() override;
    void Paint(HDC dc, int clipX, int paintArg) override;

private:
    std::wstring text_;
    CBexBitmap* icon_ = nullptr;
    int iconFrame_ = 0;
    CBexBitmap* background_ = nullptr;
    int contentOffset_ = 0;
};

// A check box (or radio button) from a nine-frame strip: unchecked, unchecked
// hover, unchecked pressed, unchecked disabled, the same four checked, mixed.
class CBexCheckBox : public CBexWnd {
public:
    void SetStrip(CBexBitmap* strip);
    void SetText(const wchar_t* text);
    const std::wstring& Text() const { return text_; }
    void SetCheck(int checked);
    int GetCheck() const { return checked_; }
    void SetMixed(int mixed);
    int IsMixed() const { return mixed_; }
    void SetRadio(int radio) { radio_ = radio; }
    int IsRadio() const { return radio_; }
    int StateFrame() const;
    void Layout();

    void OnCreate() override;
    void Paint(HDC dc, int clipX, int paintArg) override;
    void OnCaptureLost() override;
    LRESULT OnLButtonDown(POINT pt) override;
    LRESULT OnLButtonUp(POINT pt) override;
    LRESULT OnLButtonDblClk(POINT pt) override { return OnLButtonDown(pt); }
    void OnMouseEnter(POINT pt) override;
    void OnMouseLeave() override;

private:
    int hover_ = 0;
    int checked_ = 0;
    int mixed_ = 0;
    int pressed_ = 0;
    int radio_ = 0;
    CBexBitmap* strip_ = nullptr;
    std::wstring text_;
};

}  // namespace toolkit
