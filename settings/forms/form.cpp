#include "settings/forms/form.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "settings/forms/application.h"

namespace settings::forms {

TForm::TForm(FormParams params) : params_(std::move(params)) {}

TForm::~TForm() {
    if (filtering_) winlib::Module().Loop().RemoveFilter(&filter_);
    // Children go before the controls that describe them.
    if (Hwnd()) DestroyWindow();
}

bool TForm::CreateForm(HWND owner) {
    if (Hwnd()) return false;
    RECT rect{0, 0, params_.ClientWidth, params_.ClientHeight};
    ::AdjustWindowRectEx(&rect, params_.Style, FALSE, params_.ExStyle);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int left = 0, top = 0;
    if (params_.CenterOnScreen) {
        left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    const RECT place{left, top, left + width, top + height};
    winlib::WindowClassOptions options;
    options.style = CS_DBLCLKS;
    return Create(params_.ClassName.c_str(), owner, &place, params_.Caption.c_str(), params_.Style & ~WS_VISIBLE,
                  params_.ExStyle, nullptr, options) != nullptr;
}

void TForm::Show() {
    if (!Hwnd()) return;
    ShowWindow(SW_SHOW);
    ::SetForegroundWindow(Hwnd());
}

void TForm::Hide() {
    if (Hwnd()) ShowWindow(SW_HIDE);
}

void TForm::Close() {
    if (!Hwnd()) return;
    if (modal_) {
        modalResult_ = IDCANCEL;
        return;
    }
    if (CloseQuery()) DestroyWindow();
}

namespace {

struct DisableContext {
    HWND keep;
    std::vector<HWND> disabled;
};

BOOL CALLBACK DisableOthers(HWND hwnd, LPARAM param) {
    auto* ctx = reinterpret_cast<DisableContext*>(param);
    if (hwnd != ctx->keep && ::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd)) {
        ::EnableWindow(hwnd, FALSE);
        ctx->disabled.push_back(hwnd);
    }
    return TRUE;
}

}  // namespace

int TForm::ShowModal() {
    if (!Hwnd() || modal_) return -1;
    modal_ = true;
    modalResult_ = 0;
    DisableContext ctx{Hwnd(), {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), DisableOthers, reinterpret_cast<LPARAM>(&ctx));
    Show();

    bool quit = false;
    WPARAM quitCode = 0;
    while (modalResult_ == 0 && IsWindow()) {
        MSG msg;
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (got == -1) break;
        if (winlib::Module().Loop().PreTranslate(&msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    // Enabled again before this form hides, so the activation returns to
    // the window underneath instead of to another program.
    for (HWND hwnd : ctx.disabled)
        if (::IsWindow(hwnd)) ::EnableWindow(hwnd, TRUE);
    Hide();
    modal_ = false;
    const int result = modalResult_ != 0 ? modalResult_ : IDCANCEL;
    if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
    return result;
}

TControl& TForm::AddControl(std::unique_ptr<TControl> control) {
    control->form_ = this;
    control->tabOrder_ = static_cast<int>(controls_.size());
    controls_.push_back(std::move(control));
    TControl& added = *controls_.back();
    if (Hwnd()) {
        added.Attached();
        if (added.Handle()) SetTool(&added, TTM_ADDTOOLW);
        added.Invalidate();
    }
    return added;
}

void TForm::CreateTooltip() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    // Owned by the form, so it goes with the form's window.
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(), nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (!tooltip_) return;
    ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
    SetTool(nullptr, TTM_ADDTOOLW);
}

void TForm::SetTool(TControl* windowed, UINT message) {
    if (!tooltip_) return;
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS | (windowed ? TTF_IDISHWND : 0);
    tool.hwnd = Hwnd();
    tool.uId = windowed ? reinterpret_cast<UINT_PTR>(windowed->Handle()) : 0;
    const TControl* shown = windowed ? windowed : hovered_;
    std::wstring text = shown ? shown->Hint() : std::wstring();
    tool.lpszText = &text[0];
    if (!windowed && shown) tool.rect = shown->Bounds();
    ::SendMessageW(tooltip_, message, 0, reinterpret_cast<LPARAM>(&tool));
    if (!windowed && message != TTM_ADDTOOLW) ::SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TForm::HintChanged(TControl& control) {
    if (control.Handle()) SetTool(&control, TTM_UPDATETIPTEXTW);
    else if (&control == hovered_) SetTool(nullptr, TTM_UPDATETIPTEXTW);
}

TControl* TForm::ControlAt(POINT pt) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = it->get();
        if (c->Visible() && !c->Handle() && c->HitTest(pt)) return c;
    }
    return nullptr;
}

bool TForm::SetTimer(UINT_PTR id, UINT intervalMs, std::function<void()> handler) {
    if (!Hwnd() || !::SetTimer(Hwnd(), id, intervalMs, nullptr)) return false;
    timers_[id] = std::move(handler);
    return true;
}

void TForm::KillTimer(UINT_PTR id) {
    if (Hwnd()) ::KillTimer(Hwnd(), id);
    timers_.erase(id);
}

TControl* TForm::FocusedControl() const {
    const HWND focus = ::GetFocus();
    if (focus && focus != Hwnd()) {
        for (const auto& c : controls_)
            if (c->Handle() && (c->Handle() == focus || ::IsChild(c->Handle(), focus))) return c.get();
    }
    return focused_;
}

void TForm::FocusControl(TControl* control) {
    TControl* old = focused_;
    focused_ = control;
    if (control && control->Handle()) ::SetFocus(control->Handle());
    else if (control && Hwnd() && ::GetFocus() != Hwnd()) ::SetFocus(Hwnd());
    if (old && old != control) old->StateChanged();
    if (control) control->StateChanged();
}

std::vector<TControl*> TForm::TabOrderList() const {
    std::vector<TControl*> list;
    for (const auto& c : controls_)
        if (c->CanFocus()) list.push_back(c.get());
    std::stable_sort(list.begin(), list.end(),
                     [](const TControl* a, const TControl* b) { return a->TabOrder() < b->TabOrder(); });
    return list;
}

bool TForm::SelectNext(bool forward) {
    const std::vector<TControl*> list = TabOrderList();
    if (list.empty()) return false;
    const int count = static_cast<int>(list.size());
    const auto at = std::find(list.begin(), list.end(), FocusedControl());
    int next;
    if (at == list.end()) next = forward ? 0 : count - 1;
    else next = (static_cast<int>(at - list.begin()) + (forward ? 1 : count - 1)) % count;
    FocusControl(list[next]);
    return true;
}

void TForm::SetClientSize(int width, int height) {
    params_.ClientWidth = width;
    params_.ClientHeight = height;
    if (!Hwnd()) return;
    RECT rect{0, 0, width, height};
    ::AdjustWindowRectEx(&rect, params_.Style, FALSE, params_.ExStyle);
    ::SetWindowPos(Hwnd(), nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::FormPaint(HDC dc, const RECT& client) {
    base::Brush brush(::CreateSolidBrush(params_.Color));
    ::FillRect(dc, &client, brush.Get());
}

bool TForm::DialogKey(UINT key, bool shift) {
    switch (key) {
    case VK_TAB:
        return SelectNext(!shift);
    case VK_RETURN:
    case VK_SPACE: {
        TControl* c = FocusedControl();
        if (!c || c->Handle() || !c->Enabled() || !c->Visible()) return false;
        c->Click();
        return true;
    }
    case VK_ESCAPE:
        if (!modal_) return false;
        modalResult_ = IDCANCEL;
        return true;
    default:
        return false;
    }
}

bool TForm::DialogKeyFilter::PreTranslateMessage(MSG* msg) {
    if (msg->message != WM_KEYDOWN) return false;
    const HWND hwnd = form_.Hwnd();
    if (!hwnd || !::IsWindowEnabled(hwnd) || (msg->hwnd != hwnd && !::IsChild(hwnd, msg->hwnd))) return false;
    return form_.DialogKey(static_cast<UINT>(msg->wParam), ::GetKeyState(VK_SHIFT) < 0);
}

void TForm::CreateFont() {
    LOGFONTW lf{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfHeight = params_.FontHeight;
    lf.lfWidth = 0;
    lf.lfWeight = FW_NORMAL;
    if (!params_.FontName.empty()) lstrcpynW(lf.lfFaceName, params_.FontName.c_str(), LF_FACESIZE);
    font_.Reset(::CreateFontIndirectW(&lf));
}

LRESULT TForm::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    CreateFont();
    winlib::Module().Loop().AddFilter(&filter_);
    filtering_ = true;
    CreateTooltip();
    for (const auto& c : controls_) {
        c->Attached();
        if (c->Handle()) SetTool(c.get(), TTM_ADDTOOLW);
    }
    FormCreate();
    return 0;
}

LRESULT TForm::OnDestroy(UINT, WPARAM, LPARAM, BOOL&) {
    for (const auto& timer : timers_) ::KillTimer(Hwnd(), timer.first);
    timers_.clear();
    if (filtering_) {
        winlib::Module().Loop().RemoveFilter(&filter_);
        filtering_ = false;
    }
    if (tooltip_ && ::IsWindow(tooltip_)) ::DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    FormDestroy();
    if (Application().MainForm() == this) ::PostQuitMessage(0);
    return 0;
}

LRESULT TForm::OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    Close();
    return 0;
}

LRESULT TForm::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
    base::PaintDc paint(Hwnd());
    const RECT client = ClientRect();
    const int width = std::max<LONG>(client.right, 1), height = std::max<LONG>(client.bottom, 1);
    base::MemoryDc buffer(::CreateCompatibleDC(paint.Get()));
    base::Bitmap bitmap(::CreateCompatibleBitmap(paint.Get(), width, height));
    if (!buffer || !bitmap) return 0;
    base::SelectObjectScope selectBitmap(buffer.Get(), bitmap.Get());
    base::SelectObjectScope selectFont(buffer.Get(), font_ ? static_cast<HGDIOBJ>(font_.Get())
                                                             : ::GetStockObject(DEFAULT_GUI_FONT));
    FormPaint(buffer.Get(), client);
    for (const auto& c : controls_)
        if (c->Visible() && !c->Handle()) c->Paint(buffer.Get());
    const RECT& dirty = paint.Info().rcPaint;
    ::BitBlt(paint.Get(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, buffer.Get(),
             dirty.left, dirty.top, SRCCOPY);
    return 0;
}

LRESULT TForm::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    const auto it = timers_.find(wParam);
    if (it == timers_.end()) {
        handled = FALSE;
        return 0;
    }
    // The handler may kill or replace its own timer.
    const std::function<void()> handler = it->second;
    if (handler) handler();
    return 0;
}

void TForm::SetHovered(TControl* control) {
    if (control == hovered_) return;
    TControl* old = hovered_;
    hovered_ = control;
    // The tip of the control left goes; the new one's comes after the delay.
    if (tooltip_) ::SendMessageW(tooltip_, TTM_POP, 0, 0);
    SetTool(nullptr, TTM_UPDATETIPTEXTW);
    if (old) {
        old->hovered_ = false;
        old->StateChanged();
        old->MouseLeave();
    }
    if (control) {
        control->hovered_ = true;
        control->StateChanged();
        control->MouseEnter();
    }
}

LRESULT TForm::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    SetHovered(ControlAt(pt));
    // A pressed control follows the pointer until the button is released.
    if (TControl* mover = pressed_ ? pressed_ : hovered_) mover->MouseMove(pt);
    // Leave tracking only while the pointer really is over the form: a move
    // posted from elsewhere would otherwise be followed at once by a leave.
    POINT cursor{};
    if (!trackingLeave_ && ::GetCursorPos(&cursor) && ::WindowFromPoint(cursor) == Hwnd()) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Hwnd(), 0};
        trackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
    }
    return 0;
}

LRESULT TForm::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&) {
    trackingLeave_ = false;
    if (!pressed_) SetHovered(nullptr);
    return 0;
}

LRESULT TForm::OnLButtonDown(UINT msg, WPARAM, LPARAM lParam, BOOL&) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TControl* c = ControlAt(pt);
    SetHovered(c);
    if (!c) {
        FormMouseDown(pt);
        return 0;
    }
    if (!c->Enabled()) return 0;
    pressed_ = c;
    c->pressed_ = true;
    ::SetCapture(Hwnd());
    if (c->CanFocus()) FocusControl(c);
    c->StateChanged();
    c->MouseDown(pt);
    if (msg == WM_LBUTTONDBLCLK) c->DblClick();
    return 0;
}

void TForm::ReleasePressed() {
    TControl* p = pressed_;
    pressed_ = nullptr;
    if (!p) return;
    p->pressed_ = false;
    p->StateChanged();
}

LRESULT TForm::OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TControl* p = pressed_;
    if (!p) return 0;
    ReleasePressed();
    if (::GetCapture() == Hwnd()) ::ReleaseCapture();
    p->MouseUp(pt);
    // A click is a press and a release on the same control.
    if (p->Enabled() && p->Visible() && ControlAt(pt) == p) p->Click();
    return 0;
}

LRESULT TForm::OnCaptureChanged(UINT, WPARAM, LPARAM lParam, BOOL&) {
    if (reinterpret_cast<HWND>(lParam) != Hwnd()) ReleasePressed();
    return 0;
}

LRESULT TForm::OnReflect(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    const HWND child = reinterpret_cast<HWND>(lParam);
    if (child) {
        for (const auto& c : controls_) {
            const HWND own = c->Handle();
            if (!own || (own != child && !::IsChild(own, child))) continue;
            LRESULT result = 0;
            if (c->ReflectedMessage(msg, wParam, lParam, result)) return result;
            break;
        }
    }
    handled = FALSE;
    return 0;
}

LRESULT TForm::OnFocusChange(UINT msg, WPARAM, LPARAM, BOOL&) {
    if (msg == WM_SETFOCUS && focused_ && focused_->Handle() && focused_->CanFocus()) ::SetFocus(focused_->Handle());
    if (focused_) focused_->StateChanged();
    return 0;
}

}  // namespace settings::forms
