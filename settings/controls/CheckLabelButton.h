// A skinned check box or radio button with its caption: a tick picture,
// replaced by the frames of a loaded strip for hover and press, and a text
// beside it.
#pragma once

#include <windows.h>

#include <string>

#include "settings/controls/QAlpha.h"
#include "settings/controls/QGraphics.h"
#include "settings/forms/control.h"
#include "base/handles.h"

namespace settings {

enum TCheckButtonType { btRatio, btCheckBox };

class TCheckLabelButton : public forms::TControl {
public:
    TCheckLabelButton();

    // Resizes the control to the caption when AutoSize is on.
    void SetCaption(std::wstring caption);
    COLORREF FontColor() const { return fontColor_; }
    void SetFontColor(COLORREF color);
    bool AutoSize = false;
    bool IsUnderLine() const { return underline_; }
    void SetUnderLine(bool underline);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    const TQRGBA& CheckBmp() const { return check_; }
    const TQRGBA& UnCheckBmp() const { return uncheck_; }
    void SetCheckBmp(const TQRGBA& image);
    void SetUnCheckBmp(const TQRGBA& image);
    TCheckButtonType ButtonType = btCheckBox;
    COLORREF TransparentColor = 0xFFFFFF;
    const TQRGBAList& RGBAList() const { return list_; }
    const TQRGBA& FaceBmp() const { return face_; }
    // Set when a click changed the state.
    bool ChangedByClick() const { return changedByClick_; }
    void ResetChangedByClick() { changedByClick_ = false; }

    // Appends the strip's frames; the display picture becomes frame 0.
    bool LoadStrip(const void* data, size_t size, int frameWidth, int frameHeight);
    bool LoadStrip(const std::string& data, int frameWidth, int frameHeight) {
        return LoadStrip(data.data(), data.size(), frameWidth, frameHeight);
    }
    void SetFont(const TFontSpec& font);
    HFONT Font() const { return font_.Get(); }
    COLORREF TextColor() const { return textColor_; }

    void Paint(HDC dc) override;

protected:
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(POINT pt) override;
    void MouseUp(POINT pt) override;
    void Click() override;
    void StateChanged() override;

private:
    // Frame `index` when the list holds at least `needed` frames, else the
    // plain picture.
    const TQRGBA& FrameOr(int index, int needed, const TQRGBA& plain) const;
    const TQRGBA& HoverLook() const;
    void Show(const TQRGBA& image);
    void UpdateFont();

    TQRGBA check_, uncheck_, face_;
    TQRGBAList list_;
    TFontSpec fontSpec_;
    base::Font font_;
    COLORREF fontColor_ = 0;
    COLORREF textColor_ = 0;
    bool underline_ = false;
    bool checked_ = false;
    bool hover_ = false;
    bool changedByClick_ = false;
    bool lastEnabled_ = true;
};

}  // namespace settings
