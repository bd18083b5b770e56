// A standard combo box with a flat one-pixel frame and a skinned drop-down
// button whose picture follows the mouse, the focus and the drop-down
// state.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "settings/controls/ButtonImage.h"
#include "settings/controls/QAlpha.h"
#include "settings/controls/QGraphics.h"
#include "settings/forms/control.h"
#include "base/handles.h"
#include "winlib/subclass.h"

namespace settings {

class TQCustomComboBox;
// Decides the skin state; clears `repaintFrameOnly` when the whole control
// must be painted again.
using TSkinStateHandler = std::function<void(TQCustomComboBox&, bool& repaintFrameOnly)>;

class TQCustomComboBox : public forms::TWindowedControl {
public:
    explicit TQCustomComboBox(DWORD style = CBS_DROPDOWNLIST | WS_VSCROLL);
    ~TQCustomComboBox() override;

    void SetNormalResName(const std::wstring& name);
    void SetHoverResName(const std::wstring& name);
    void SetFocusResName(const std::wstring& name) { focusResName_ = name; }
    void SetDisableResName(const std::wstring& name);
    const std::wstring& NormalResName() const { return normalResName_; }
    const std::wstring& HoverResName() const { return hoverResName_; }
    const std::wstring& FocusResName() const { return focusResName_; }
    const std::wstring& DisableResName() const { return disableResName_; }

    TQRGBA NormalBmp, DisableBmp, HoverBmp, DownBmp, CurrentBmp, FullBmp;
    const TQRGBAList& RGBAList() const { return list_; }
    bool UserSystemButtonSize = true;
    int ButtonWidth() const { return buttonWidth_; }
    int ButtonHeight() const { return buttonHeight_; }
    void SetButtonWidth(int width);
    void SetButtonHeight(int height);
    int RoundWidth = 0;

    // Clears the frame list, loads the strip premultiplied; the current
    // picture becomes frame 0.
    bool LoadStrip(const void* data, size_t size, int frameWidth, int frameHeight);
    bool LoadStrip(const std::string& data, int frameWidth, int frameHeight) {
        return LoadStrip(data.data(), data.size(), frameWidth, frameHeight);
    }
    void InstallSkinStateHandler();
    TSkinStateHandler StateHandler;

    bool IsFocused() const { return focused_; }
    bool IsHovered() const { return hover_; }
    bool IsDroppedDown() const;
    COLORREF FontColor() const { return fontColor_; }
    // How the last update ended: true when only the frame was painted.
    bool LastRepaintFrameOnly() const { return lastFrameOnly_; }
    // Counts whole-control repaints asked for by the state handler.
    int FullRepaints() const { return fullRepaints_; }

    // Runs the state handler and paints the frame, or asks for a whole
    // repaint when the handler says so.
    void UpdateState();
    void PaintFrame();

    // The built-in state rule.
    static void UpdateSkinState(TQCustomComboBox& box, bool& repaintFrameOnly);

    COLORREF BorderColor = 0;
    COLORREF ArrowColor = 0;
    COLORREF ButtonColor;
    // The text field's ground; clNone keeps the system's.
    COLORREF FieldColor = clNone;

    bool ReflectedMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    void Attached() override;

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    bool LoadBitmapResource(const std::wstring& name, TQRGBA& into);

    std::wstring normalResName_, hoverResName_, focusResName_, disableResName_;
    TQRGBAList list_;
    int buttonWidth_ = 0;
    int buttonHeight_ = 0;
    bool focused_ = false;
    bool hover_ = false;
    bool painting_ = false;  // painting enabled: between creation and destruction
    bool lastFrameOnly_ = true;
    int fullRepaints_ = 0;
    COLORREF fontColor_ = 0;
    base::Brush fieldBrush_;
    COLORREF fieldBrushColor_ = clNone;
    winlib::Subclass subclass_;
};

class TQComboBox : public TQCustomComboBox {
public:
    using TQCustomComboBox::TQCustomComboBox;
};

}  // namespace settings
