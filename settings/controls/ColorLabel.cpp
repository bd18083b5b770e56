#include "settings/controls/ColorLabel.h"

namespace settings {

namespace {

// Every run is drawn at this height, whatever it asked for.
constexpr int kRunHeight = -12;

TFontSpec RunFont(const TFontInfo& info) {
    TFontSpec shape;
    shape.Name = info.Name;
    shape.Height = kRunHeight;
    shape.Style = info.Style;
    shape.Color = info.Color;
    return shape;
}

}  // namespace

TColorLabel::TColorLabel() {
    SetBounds(0, 0, 0, 15);
}

void TColorLabel::AddText(const std::wstring& text, const TFontInfo& font, std::unique_ptr<TTextLink> link) {
    runs_.push_back(TTextInfo{text, font, std::move(link)});
    Layout();
    Invalidate();
}

void TColorLabel::ClearText() {
    runs_.clear();
    Layout();
    Invalidate();
}

const TTextInfo* TColorLabel::TextItems(int index) const {
    return index >= 0 && index < TextCount() ? &runs_[static_cast<size_t>(index)] : nullptr;
}

void TColorLabel::SetAutoSize(bool on) {
    autoSize_ = on;
    Layout();
}

SIZE TColorLabel::TextExtent() const {
    SIZE total{0, 0};
    for (const TTextInfo& run : runs_) {
        const base::Font font = MakeFont(RunFont(run.Font));
        total.cx += MeasureText(font.Get(), run.Text).cx + 1;
    }
    if (!runs_.empty()) {
        const base::Font font = MakeFont(RunFont(runs_.back().Font));
        total.cy = MeasureText(font.Get(), L"测试").cy;
    }
    return total;
}

// Sized when the runs change rather than while painting, so a paint never
// moves the label it is drawing.
void TColorLabel::Layout() {
    if (!autoSize_) return;
    SIZE size = TextExtent();
    if (runs_.empty()) size.cy = Height();
    if (size.cx != Width() || size.cy != Height()) SetBounds(Bounds().left, Bounds().top, size.cx, size.cy);
}

void TColorLabel::Paint(HDC target) {
    TControlCanvas canvas(target, Bounds());
    const HDC dc = canvas.Get();
    ::SetBkMode(dc, TRANSPARENT);
    int x = 0;
    for (TTextInfo& run : runs_) {
        const base::Font font = MakeFont(RunFont(run.Font));
        base::SelectObjectScope select(dc, font.Get());
        ::SetTextColor(dc, run.Font.Color);
        RECT r{x, 0, Width(), Height()};
        ::DrawTextW(dc, run.Text.c_str(), static_cast<int>(run.Text.size()), &r,
                    DT_WORD_ELLIPSIS | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SIZE text{};
        ::GetTextExtentPoint32W(dc, run.Text.c_str(), static_cast<int>(run.Text.size()), &text);
        const int width = text.cx + 1;
        if (run.Link) run.Link->HotRect = RECT{x, 0, x + width, Height()};
        x += width;
    }
}

void TColorLabel::UpdateCursor() {
    HCURSOR cursor = ::LoadCursorW(nullptr, IDC_ARROW);
    for (const TTextInfo& run : runs_)
        if (run.Link && ::PtInRect(&run.Link->HotRect, last_)) {
            if (run.Link->Cursor) cursor = run.Link->Cursor;
            break;
        }
    ::SetCursor(cursor);
}

void TColorLabel::MouseMove(POINT pt) {
    last_ = POINT{pt.x - Bounds().left, pt.y - Bounds().top};
    UpdateCursor();
    forms::TControl::MouseMove(pt);
}

void TColorLabel::MouseEnter() {
    UpdateCursor();
    forms::TControl::MouseEnter();
}

void TColorLabel::MouseLeave() {
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    forms::TControl::MouseLeave();
}

void TColorLabel::MouseUp(POINT pt) {
    last_ = POINT{pt.x - Bounds().left, pt.y - Bounds().top};
    forms::TControl::MouseUp(pt);
}

void TColorLabel::Click() {
    forms::TControl::Click();
    // Copied first: a handler may change the runs.
    std::vector<std::function<void(TColorLabel&)>> handlers;
    for (const TTextInfo& run : runs_)
        if (run.Link && run.Link->OnClick && ::PtInRect(&run.Link->HotRect, last_)) handlers.push_back(run.Link->OnClick);
    for (auto& handler : handlers) handler(*this);
}

}  // namespace settings
