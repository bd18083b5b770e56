#include "settings/controls/ComboboxEx.h"

#include <commctrl.h>

#include "winlib/app_module.h"

namespace settings {

namespace {

constexpr COLORREF kGrey = 0x808080;

// Keeps the top-left part of the picture at the new size.
void Resize(TQRGBA& image, int width, int height) {
    if (width <= 0 || height <= 0) return;
    TQRGBA resized;
    resized.SetAlphaMode(image.AlphaMode());
    resized.SetSize(width, height);
    if (!image.Empty()) resized.CopyFrom(0, 0, height, width, 0, 0, image);
    image = std::move(resized);
}

}  // namespace

TQCustomComboBox::TQCustomComboBox(DWORD style)
    : forms::TWindowedControl(L"COMBOBOX", style), ButtonColor(::GetSysColor(COLOR_BTNFACE)) {
    SetTabStop(true);
    for (TQRGBA* image : {&NormalBmp, &DisableBmp, &HoverBmp, &DownBmp, &CurrentBmp, &FullBmp})
        image->SetAlphaMode(amPremultiplied);
}

TQCustomComboBox::~TQCustomComboBox() {
    painting_ = false;
    subclass_.Remove();
}

void TQCustomComboBox::Attached() {
    forms::TWindowedControl::Attached();
    if (!Handle() || subclass_.Installed()) return;
    subclass_.Install(Handle(), [this](HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
        return HandleMessage(msg, wParam, lParam);
    });
    painting_ = true;
}

bool TQCustomComboBox::LoadBitmapResource(const std::wstring& name, TQRGBA& into) {
    HINSTANCE instance = winlib::Module().Instance();
    if (name.empty() || !::FindResourceW(instance, name.c_str(), RT_BITMAP)) return false;
    base::Bitmap bitmap(static_cast<HBITMAP>(
        ::LoadImageW(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    return bitmap && into.AssignBitmap(bitmap.Get());
}

void TQCustomComboBox::SetNormalResName(const std::wstring& name) {
    normalResName_ = name;
    LoadBitmapResource(name, NormalBmp);
}

void TQCustomComboBox::SetHoverResName(const std::wstring& name) {
    hoverResName_ = name;
    LoadBitmapResource(name, HoverBmp);
}

void TQCustomComboBox::SetDisableResName(const std::wstring& name) {
    disableResName_ = name;
    LoadBitmapResource(name, DisableBmp);
}

void TQCustomComboBox::SetButtonWidth(int width) {
    buttonWidth_ = width;
    for (TQRGBA* image : {&NormalBmp, &HoverBmp, &CurrentBmp, &DownBmp}) Resize(*image, width, image->Height() ? image->Height() : buttonHeight_);
}

void TQCustomComboBox::SetButtonHeight(int height) {
    buttonHeight_ = height;
    for (TQRGBA* image : {&NormalBmp, &HoverBmp, &CurrentBmp, &DownBmp}) Resize(*image, image->Width() ? image->Width() : buttonWidth_, height);
}

bool TQCustomComboBox::LoadStrip(const void* data, size_t size, int frameWidth, int frameHeight) {
    list_.Clear();
    list_.LoadStrip(data, size, frameWidth, amPremultiplied, frameHeight);
    if (list_.Count() < 1) return false;
    CurrentBmp.Assign(*list_.Items(0));
    if (Handle()) PaintFrame();
    return true;
}

void TQCustomComboBox::InstallSkinStateHandler() {
    StateHandler = &TQCustomComboBox::UpdateSkinState;
}

bool TQCustomComboBox::IsDroppedDown() const {
    return Handle() && ::SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

void TQCustomComboBox::UpdateSkinState(TQCustomComboBox& box, bool& repaintFrameOnly) {
    if (!box.Enabled() || (box.Handle() && !::IsWindowEnabled(box.Handle()))) {
        box.ButtonColor = 0xE1E9EA;
        box.ArrowColor = 0xC3CAC8;
        box.CurrentBmp.Assign(box.DisableBmp);
        // The text changes colour only with a whole repaint.
        if (box.fontColor_ != kGrey) repaintFrameOnly = false;
        box.fontColor_ = kGrey;
        return;
    }
    if (box.fontColor_ != 0) repaintFrameOnly = false;
    box.fontColor_ = 0;
    if (box.IsDroppedDown()) {
        box.ButtonColor = 0xB59284;
        box.CurrentBmp.Assign(box.DownBmp);
        box.ArrowColor = 0xFFFFFF;
        return;
    }
    if (box.focused_) {
        box.ButtonColor = 0xCEBAB5;
        box.CurrentBmp.Assign(box.NormalBmp);
    } else if (box.hover_) {
        box.ButtonColor = 0xCEBAB5;
        box.CurrentBmp.Assign(box.HoverBmp);
    } else {
        box.ButtonColor = 0xE7D3CE;
        box.CurrentBmp.Assign(box.NormalBmp);
    }
    box.ArrowColor = 0;
}

void TQCustomComboBox::UpdateState() {
    if (!painting_ || !Handle()) return;
    bool frameOnly = true;
    if (StateHandler) StateHandler(*this, frameOnly);
    lastFrameOnly_ = frameOnly;
    if (frameOnly) {
        PaintFrame();
    } else {
        ++fullRepaints_;
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
}

void TQCustomComboBox::PaintFrame() {
    if (!painting_ || !Handle()) return;
    base::WindowDc dc(Handle());
    if (!dc) return;
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const COLORREF frameColor = BorderColor == clNone ? ::GetSysColor(COLOR_WINDOW) : BorderColor;
    base::Brush frame(::CreateSolidBrush(frameColor));
    ::FrameRect(dc.Get(), &client, frame.Get());
    if (BorderColor != clNone) {
        base::Pen pen(::CreatePen(PS_SOLID, 1, BorderColor));
        base::SelectObjectScope select(dc.Get(), pen.Get());
        ::MoveToEx(dc.Get(), client.right - 2, client.top, nullptr);
        ::LineTo(dc.Get(), client.right - 2, client.bottom);
    }
    const int thumb = ::GetSystemMetrics(SM_CXHTHUMB);
    const RECT button{client.right - 1 - (thumb + 1), client.top + 1, client.right - 1, client.bottom - 1};
    if (CurrentBmp.Empty()) {
        base::Brush fill(::CreateSolidBrush(ButtonColor));
        ::FillRect(dc.Get(), &button, fill.Get());
        // A small arrow, so the button reads as one without a picture.
        const int cx = (button.left + button.right) / 2, cy = (button.top + button.bottom) / 2;
        base::Pen arrow(::CreatePen(PS_SOLID, 1, ArrowColor));
        base::SelectObjectScope select(dc.Get(), arrow.Get());
        for (int n = 0; n < 3; ++n) {
            ::MoveToEx(dc.Get(), cx - 2 + n, cy - 1 + n, nullptr);
            ::LineTo(dc.Get(), cx + 3 - n, cy - 1 + n);
        }
    } else if (UserSystemButtonSize) {
        StretchDrawRGBA(dc.Get(), button.left, button.top, 255, CurrentBmp.Height(), CurrentBmp.Width(), 0, 0,
                        CurrentBmp, button.bottom - button.top, button.right - button.left);
    } else {
        DrawRGBA(dc.Get(), client.right - 1 - CurrentBmp.Width(), 1, CurrentBmp);
    }
}

bool TQCustomComboBox::ReflectedMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC: {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, fontColor_);
        if (FieldColor == clNone) return false;
        if (!fieldBrush_ || fieldBrushColor_ != FieldColor) {
            fieldBrush_.Reset(::CreateSolidBrush(FieldColor));
            fieldBrushColor_ = FieldColor;
        }
        ::SetBkColor(dc, FieldColor);
        result = reinterpret_cast<LRESULT>(fieldBrush_.Get());
        return true;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_DROPDOWN || HIWORD(wParam) == CBN_CLOSEUP) UpdateState();
        return false;
    default:
        return false;
    }
}

LRESULT TQCustomComboBox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    const HWND hwnd = Handle();
    const LRESULT result = winlib::Subclass::Default(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT:
    case WM_LBUTTONUP:
    case WM_ENABLE:
        UpdateState();
        break;
    case WM_SETFOCUS:
        focused_ = true;
        UpdateState();
        break;
    case WM_KILLFOCUS:
        focused_ = false;
        UpdateState();
        break;
    case WM_MOUSEMOVE:
        if (!hover_) {
            hover_ = true;
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
            ::TrackMouseEvent(&track);
            UpdateState();
        }
        break;
    case WM_MOUSELEAVE:
        hover_ = false;
        UpdateState();
        break;
    case WM_NCDESTROY:
        // The subclass takes itself off after this.
        painting_ = false;
        break;
    default:
        break;
    }
    return result;
}

}  // namespace settings
