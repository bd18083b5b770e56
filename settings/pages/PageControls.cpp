#include "settings/pages/PageControls.h"

#include <algorithm>
#include <cstdint>

#include <commctrl.h>
#include <commdlg.h>

#include "base/numbers.h"
#include "settings/model/GlobalFuncs.h"
#include "settings/model/TimerList.h"
#include "base/handles.h"

namespace settings {

void TPageComboBox::Clear() {
    if (Handle()) ::SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
}

void TPageComboBox::AddItem(const std::wstring& text) {
    if (Handle()) ::SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TPageComboBox::AddItems(const std::vector<std::wstring>& items) {
    for (const auto& item : items) AddItem(item);
}

int TPageComboBox::ItemIndex() const {
    return Handle() ? static_cast<int>(::SendMessageW(Handle(), CB_GETCURSEL, 0, 0)) : -1;
}

void TPageComboBox::SetItemIndex(int index) {
    if (Handle()) ::SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int TPageComboBox::ItemCount() const {
    return Handle() ? static_cast<int>(::SendMessageW(Handle(), CB_GETCOUNT, 0, 0)) : 0;
}

std::wstring TPageComboBox::Text() const {
    if (!Handle()) return std::wstring();
    wchar_t text[256] = {};
    ::GetWindowTextW(Handle(), text, 256);
    return text;
}

void TPageComboBox::SetText(const std::wstring& text) {
    if (!Handle()) return;
    if (!SelectText(text)) ::SetWindowTextW(Handle(), text.c_str());
}

bool TPageComboBox::SelectText(const std::wstring& text) {
    if (!Handle()) return false;
    const LRESULT index = ::SendMessageW(Handle(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(text.c_str()));
    if (index == CB_ERR) return false;
    SetItemIndex(static_cast<int>(index));
    return true;
}

bool TPageComboBox::ReflectedMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_COMMAND) {
        if (HIWORD(wParam) == CBN_SELCHANGE && OnChange) OnChange();
        if (HIWORD(wParam) == CBN_KILLFOCUS && OnLeave) OnLeave();
    }
    return TQComboBox::ReflectedMessage(msg, wParam, lParam, result);
}

int ClampedListNumber(const std::wstring& text, int limit) {
    uint64_t value = 0;
    // An empty box reads as 0.
    if (!text.empty() && !base::ParseDigits(text, value)) return 0;
    return value >= static_cast<uint64_t>(limit) ? limit - 1 : static_cast<int>(value);
}

void StyleDropDown(TQComboBox& box) {
    constexpr int kButtonSize = 18;
    box.BorderColor = kFrameColor;
    box.RoundWidth = 1;
    box.SetButtonWidth(kButtonSize);
    box.SetButtonHeight(kButtonSize);
    box.FieldColor = kFieldColor;
    box.InstallSkinStateHandler();
}

TPageComboBox& AddTimeList(forms::TForm& form, int left, int top, int count) {
    constexpr int kWidth = 45, kDroppedHeight = 260;
    TPageComboBox& box = form.Add<TPageComboBox>(left, top, kWidth, kDroppedHeight, CBS_DROPDOWN | WS_VSCROLL);
    box.SetTabStop(true);
    for (int n = 0; n < count; ++n) box.AddItem(std::to_wstring(n));
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (box.Handle() && ::GetComboBoxInfo(box.Handle(), &info) && info.hwndItem)
        ::SetWindowLongW(info.hwndItem, GWL_STYLE, ::GetWindowLongW(info.hwndItem, GWL_STYLE) | ES_NUMBER);
    TPageComboBox* self = &box;
    box.OnLeave = [self, count] { self->SetText(std::to_wstring(ClampedListNumber(self->Text(), count))); };
    return box;
}

void ShowTime(const std::wstring& time, TPageComboBox& hour, TPageComboBox& minute) {
    const TDateTime t = ParseTime(time);
    hour.SetText(std::to_wstring(t.Hour));
    minute.SetText(std::to_wstring(t.Minute));
}

std::vector<std::wstring> RepeatListItems() {
    std::vector<std::wstring> items;
    for (int kind = protocol::kRepeatEveryDay; kind <= protocol::kRepeatWeekend; ++kind)
        items.push_back(RepeatKindText(kind, false));
    return items;
}

void StyleRadio(TCheckLabelButton& radio, const std::wstring& caption) {
    radio.ButtonType = btRatio;
    radio.AutoSize = true;
    radio.SetFont(TFontSpec{UiFontName(), kPageFontHeight, fsNone, 0});
    radio.SetFontColor(kLabelColor);
    radio.SetTabStop(true);
    radio.SetCaption(caption);
}

void SelectRadioRow(TCheckLabelButton& on, std::initializer_list<forms::TControl*> onRow, TCheckLabelButton& off,
                    std::initializer_list<forms::TControl*> offRow) {
    on.SetChecked(true);
    off.SetChecked(false);
    for (forms::TControl* c : onRow) c->SetEnabled(true);
    for (forms::TControl* c : offRow) c->SetEnabled(false);
}

void TRingBox::SetPath(const std::wstring& path) {
    path_ = path;
    SetHint(path);
    const size_t slash = path.find_last_of(L"\\/");
    SetCaption(slash == std::wstring::npos ? path : path.substr(slash + 1));
    Invalidate();
}

void TRingBox::Paint(HDC dc) {
    RECT r = Bounds();
    base::Brush field(::CreateSolidBrush(Enabled() ? RGB(255, 255, 255) : RGB(244, 246, 247)));
    ::FillRect(dc, &r, field.Get());
    base::Brush frame(::CreateSolidBrush(kFrameColor));
    ::FrameRect(dc, &r, frame.Get());
    RECT text{r.left + 5, r.top, r.right - 24, r.bottom};
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, Enabled() ? kLabelColor : kGreyTextColor);
    // Without a form (or its font) nothing is selected and nothing put back.
    const base::SelectObjectScope select(dc, Form() ? Form()->Font() : nullptr);
    ::DrawTextW(dc, Caption().c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

std::wstring TEditBox::Text() const {
    if (!Handle()) return Caption();
    const int n = ::GetWindowTextLengthW(Handle());
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    ::GetWindowTextW(Handle(), &text[0], n + 1);
    text.resize(static_cast<size_t>(n));
    return text;
}

void TEditBox::SetText(const std::wstring& text) {
    if (Handle()) ::SetWindowTextW(Handle(), text.c_str());
    else SetCaption(text);
}

bool TEditBox::ReflectedMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wParam) == EN_CHANGE && !changing_ && OnChange) {
        changing_ = true;
        OnChange();
        changing_ = false;
        return false;
    }
    if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC) {
        ::SetTextColor(reinterpret_cast<HDC>(wParam), kLabelColor);
        ::SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        result = reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
        return true;
    }
    return false;
}

namespace {

bool InitDateControls() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_DATE_CLASSES};
    return ::InitCommonControlsEx(&icc) != FALSE;
}

}  // namespace

TDatePicker::TDatePicker() : TWindowedControl((InitDateControls(), DATETIMEPICK_CLASSW), DTS_SHORTDATEFORMAT) {
    SetTabStop(true);
}

TDateTime TDatePicker::Date() const {
    SYSTEMTIME st{};
    if (!Handle() || ::SendMessageW(Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
        return Now().DateOnly();
    TDateTime out;
    if (!TDateTime::Make(st.wYear, st.wMonth, st.wDay, 0, 0, 0, out)) return Now().DateOnly();
    return out;
}

void TDatePicker::SetDate(const TDateTime& date) {
    if (!Handle()) return;
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(date.Year);
    st.wMonth = static_cast<WORD>(date.Month);
    st.wDay = static_cast<WORD>(date.Day);
    st.wDayOfWeek = static_cast<WORD>(date.DayOfWeek());
    ::SendMessageW(Handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

void SetLabelText(TColorLabel& label, const std::wstring& text, COLORREF color, bool bold) {
    label.ClearText();
    label.AddText(text, TFontInfo{color, UiFontName(), kPageFontHeight, bold ? unsigned(fsBold) : unsigned(fsNone)});
    label.Invalidate();
}

TColorLabel& AddLabel(forms::TForm& form, int left, int top, const std::wstring& text, COLORREF color, bool bold) {
    TColorLabel& label = form.Add<TColorLabel>(left, top, 0, 16);
    SetLabelText(label, text, color, bold);
    return label;
}

void StylePushButton(TButtonImage& button) {
    button.ShowCaption = true;
    button.SetFont(TFontSpec{UiFontName(), kPageFontHeight, fsNone, 0});
    button.CaptionColor = 0x635E57;
    button.SetTabStop(true);
}

TButtonImage& AddPushButton(forms::TForm& form, int left, int top, int width, int height, const std::wstring& caption) {
    TButtonImage& button = form.Add<TButtonImage>(left, top, width, height);
    StylePushButton(button);
    button.SetCaption(caption);
    return button;
}

void SetHandCursor(forms::TControl& control) {
    control.OnMouseMove = [](forms::TControl&, POINT) { ::SetCursor(::LoadCursorW(nullptr, IDC_HAND)); };
}

void ShowControl(forms::TControl* control, bool visible) {
    if (control && control->Visible() != visible) control->SetVisible(visible);
}

// A tab draws its normal picture over the selected one when it is
// deselected; the skins here are see-through, so the face is renewed from
// the normal picture alone.
void SetTabSelected(TTabButton* tab, bool selected) {
    if (!tab) return;
    const bool was = tab->Selected();
    tab->SetSelected(selected);
    if (was && !selected && tab->Enabled()) {
        tab->SetEnabled(false);
        tab->SetEnabled(true);
    }
}

bool ChooseRingFile(HWND owner, const std::wstring& current, std::wstring& chosen) {
    std::wstring filter = kSoundFilter;
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.push_back(L'\0');
    std::wstring folder;
    const size_t slash = current.find_last_of(L"\\/");
    if (slash != std::wstring::npos) {
        folder = current.substr(0, slash);
        const DWORD a = ::GetFileAttributesW(folder.c_str());
        if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) folder.clear();
    }
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameW(&ofn)) return false;
    chosen = file;
    return true;
}

}  // namespace settings
