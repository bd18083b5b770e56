#include "companion/app/tray_icon.h"

#include <cwchar>

namespace companion {

namespace {

constexpr wchar_t kProductName[] = L"ZubVynmar";

class SystemTray : public ITrayShell {
public:
    bool Notify(DWORD message, NOTIFYICONDATAW* data) override {
        return ::Shell_NotifyIconW(message, data) != FALSE;
    }
};

template <size_t N>
void CopyText(wchar_t (&target)[N], const wchar_t* text, size_t capacity = N) {
    const size_t last = (capacity < N ? capacity : N) - 1;
    std::wcsncpy(target, text, last);
    target[last] = L'\0';
}

}  // namespace

void SetTrayTip(NOTIFYICONDATAW& data, const std::wstring& text) {
    CopyText(data.szTip, text.c_str(), kTrayTipCapacity);
}

ITrayShell& SystemTrayShell() {
    static SystemTray tray;
    return tray;
}

CTrayIconBase::CTrayIconBase(ITrayShell& shell, std::wstring tipText)
    : restartMessage_(::RegisterWindowMessageW(protocol::kRestartMessageName)),
      taskbarCreated_(::RegisterWindowMessageW(L"TaskbarCreated")),
      shell_(shell),
      tipText_(std::move(tipText)) {}

CTrayIconBase::~CTrayIconBase() {
    if (added_) RemoveIcon();
}

// The shell of every supported system accepts the record up to the item
// GUID; the later balloon-icon field only makes older shells refuse it.
// 952 bytes on 32-bit Windows; the 64-bit target's handles are wider.
constexpr DWORD kTrayRecordSize = sizeof(void*) == 4 ? 952 : NOTIFYICONDATAW_V3_SIZE;
static_assert(kTrayRecordSize == NOTIFYICONDATAW_V3_SIZE, "record size up to the item GUID");
static_assert(kTrayRecordSize <= sizeof(NOTIFYICONDATAW), "the record holds the fields sent");

void CTrayIconBase::Fill(UINT flags) {
    data_.cbSize = kTrayRecordSize;
    data_.hWnd = owner_;
    data_.uID = static_cast<UINT>(reinterpret_cast<UINT_PTR>(this));
    data_.uFlags = flags;
}

void CTrayIconBase::AddIcon(HWND owner, base::Icon icon) {
    if (icon) icon_ = std::move(icon);
    owner_ = owner;
    Fill(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    data_.uCallbackMessage = WM_TRAY_NOTIFY;
    data_.hIcon = icon_.Get();
    SetTrayTip(data_, tip_);
    shell_.Notify(NIM_ADD, &data_);
    added_ = true;
}

void CTrayIconBase::SetTipText() {
    tip_ = tipText_;
    Fill(NIF_TIP);
    SetTrayTip(data_, tip_);
    shell_.Notify(NIM_MODIFY, &data_);
}

void CTrayIconBase::ShowBalloon() {
    Fill(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO);
    data_.dwInfoFlags = NIIF_INFO;
    data_.uTimeout = 5000;
    CopyText(data_.szInfoTitle, kProductName);
    CopyText(data_.szInfo, L"我在这里哦！");
    shell_.Notify(NIM_MODIFY, &data_);
}

void CTrayIconBase::RemoveIcon() {
    Fill(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    shell_.Notify(NIM_DELETE, &data_);
    added_ = false;
}

}  // namespace companion
