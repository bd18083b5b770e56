// A label made of text runs of their own colour, face and style, laid one
// after another on a single line; a run may carry a clickable area.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/controls/QGraphics.h"
#include "settings/forms/control.h"

namespace settings {

struct TFontInfo {
    COLORREF Color = 0;
    std::wstring Name = L"Tahoma";
    int Height = -12;
    unsigned Style = fsNone;
};

class TColorLabel;

struct TTextLink {
    RECT HotRect{};  // in the label's coordinates, filled in by painting
    HCURSOR Cursor = nullptr;
    std::function<void(TColorLabel&)> OnClick;
};

struct TTextInfo {
    std::wstring Text;
    TFontInfo Font;
    std::unique_ptr<TTextLink> Link;
};

class TColorLabel : public forms::TControl {
public:
    TColorLabel();

    void AddText(const std::wstring& text, const TFontInfo& font, std::unique_ptr<TTextLink> link = nullptr);
    void ClearText();
    int TextCount() const { return static_cast<int>(runs_.size()); }
    // Null outside 0..TextCount-1.
    const TTextInfo* TextItems(int index) const;

    void SetAutoSize(bool on);
    bool AutoSize() const { return autoSize_; }
    // The size the runs need: widths summed, the height of "测试" in the
    // last run's font; 0 x 0 without runs.
    SIZE TextExtent() const;

    void Paint(HDC dc) override;

protected:
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(POINT pt) override;
    void MouseUp(POINT pt) override;
    void Click() override;

private:
    void Layout();
    void UpdateCursor();

    std::vector<TTextInfo> runs_;
    bool autoSize_ = true;
    POINT last_{-1, -1};  // in the label's coordinates
};

}  // namespace settings
