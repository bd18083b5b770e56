// The settings program's skinned image button: four state pictures (normal,
// hover, pressed, disabled) shown through one display picture, an optional
// glyph and a caption, all painted into the form's buffer.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "settings/controls/QAlpha.h"
#include "settings/controls/QGraphics.h"
#include "settings/forms/control.h"
#include "base/handles.h"

namespace settings {

// "No colour": the value the colour properties hold when unset.
constexpr COLORREF clNone = 0x1FFFFFFF;

enum TBlendKind { bkCopy, bkTransparent, bkAlpha };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// What the image button and the tab button share: the state pictures, the
// display picture, strip loading, the caption's font and the glyph.
class TSkinButtonBase : public forms::TControl {
public:
    TSkinButtonBase();

    const TQRGBA& NormalBmp() const { return normal_; }
    const TQRGBA& PassBmp() const { return pass_; }
    const TQRGBA& PressBmp() const { return press_; }
    const TQRGBA& DisableBmp() const { return disable_; }
    const TQRGBA& FaceBmp() const { return face_; }
    const TQRGBA& FullBmp() const { return full_; }
    const TQRGBAList& RGBAList() const { return list_; }
    void SetNormalBmp(const TQRGBA& image);
    void SetPassBmp(const TQRGBA& image);
    void SetPressBmp(const TQRGBA& image);
    void SetDisableBmp(const TQRGBA& image);
    // Cuts the strip into the four states (see SliceFullBmp).
    void SetFullBmp(const TQRGBA& image);
    void SliceFullBmp(int frameCount);

    // Decodes a premultiplied strip and slices it into the control's frame
    // list; the display picture becomes frame 0. False when the data gave
    // no frame (the display picture stays as it was).
    bool LoadStrip(const void* data, size_t size, int frameWidth, int frameHeight);
    bool LoadStrip(const std::string& data, int frameWidth, int frameHeight) {
        return LoadStrip(data.data(), data.size(), frameWidth, frameHeight);
    }

    bool ShowCaption = false;
    COLORREF CaptionColor = 0;
    bool StretchDraw = false;
    int CaptionLeftMargin() const { return captionLeftMargin_; }
    int CaptionTopMargin() const { return captionTopMargin_; }
    void SetCaptionLeftMargin(int margin);
    void SetCaptionTopMargin(int margin);
    TQRGBA BtnPicture;
    TButtonLayout LayOut = blGlyphLeft;
    TBlendKind BlendKind = bkAlpha;
    COLORREF BackgroundColor = clNone;
    COLORREF TransparentColor = clNone;
    void SetFont(const TFontSpec& font);
    HFONT Font() const { return font_.Get(); }
    // Run after OnClick.
    std::function<void()> Action;

    // True between a press and its release.
    bool IsPressed() const { return pressedFlag_; }

protected:
    // Empties the display picture as the blend kind says, then draws
    // `state` into it.
    void ShowState(const TQRGBA& state, bool clearFirst = true);
    void ClearFace(COLORREF color);
    // The state picture for the enabled state, called when Enabled changes.
    virtual void EnabledChanged(bool enabled) = 0;
    // Whether strip loading empties the frame list first.
    virtual bool ClearsListOnLoad() const = 0;
    void StateChanged() override;
    void Click() override;
    // Strictly inside, in the control's own coordinates.
    bool Inside(POINT formPoint) const;

    TQRGBA normal_, pass_, press_, disable_, face_, full_;
    TQRGBAList list_;
    bool pressedFlag_ = false;

private:
    int captionLeftMargin_ = 0;
    int captionTopMargin_ = 6;
    TFontSpec fontSpec_;
    base::Font font_;
    bool lastEnabled_ = true;
};

class TButtonImage : public TSkinButtonBase {
public:
    bool UseOnOff = false;
    bool StateOn() const { return stateOn_; }
    void SetStateOn(bool on);
    void Paint(HDC dc) override;

protected:
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(POINT pt) override;
    void MouseUp(POINT pt) override;
    void EnabledChanged(bool enabled) override;
    bool ClearsListOnLoad() const override { return true; }

private:
    bool stateOn_ = false;
};

// Paints the glyph and returns its width (0 without one); shared by the
// image and tab buttons. `dy` moves it down.
int PaintGlyph(HDC dc, const TSkinButtonBase& button, int dy);

}  // namespace settings
