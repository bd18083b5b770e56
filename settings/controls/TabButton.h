// A skinned tab: the image button's states plus a selected picture that
// wins over hover and press while the tab is selected.
#pragma once

#include "settings/controls/ButtonImage.h"

namespace settings {

enum TCaptionAlign { caBottom, caRight };

class TTabButton : public TSkinButtonBase {
public:
    TTabButton();

    const TQRGBA& SelectBmp() const { return select_; }
    void SetSelectBmp(const TQRGBA& image);
    // The full strip's third frame is the selected picture here.
    void SetFullBmp(const TQRGBA& image);

    TCaptionAlign CaptionAlign = caRight;
    bool Selected() const { return selected_; }
    void SetSelected(bool selected);
    void Paint(HDC dc) override;

protected:
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(POINT pt) override;
    void MouseUp(POINT pt) override;
    void EnabledChanged(bool enabled) override;
    bool ClearsListOnLoad() const override { return false; }

private:
    int LineHeight();

    TQRGBA select_;
    bool selected_ = false;
    int lineHeight_ = -1;
};

}  // namespace settings
