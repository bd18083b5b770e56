#include "companion/ui/flash_host.h"

#include <commctrl.h>
#include <shellapi.h>

#include "base/log.h"
#include "base/module_exports.h"
#include "base/service_addresses.h"

namespace companion {

const wchar_t kFlashProgId[] = L"ShockwaveFlash.ShockwaveFlash";
const CLSID kFlashClsid = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID kFlashInterfaceId = {0xD27CDB6C, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID kFlashEventsId = {0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

namespace {

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

// atl.dll stays loaded for the life of the process: its window class and the
// controls it hosts must not lose their code while a dialog is open.
struct AxHostLibrary {
    base::Library library;
    AtlAxGetControlFn getControl = nullptr;
    bool ready = false;

    AxHostLibrary() {
        library.Reset(::LoadLibraryW(L"atl.dll"));
        if (!library) {
            base::LogFailedCall(L"movie control host", L"LoadLibraryW atl.dll");
            return;
        }
        const auto init = base::Export<AtlAxWinInitFn>(library.Get(), "AtlAxWinInit");
        getControl = base::Export<AtlAxGetControlFn>(library.Get(), "AtlAxGetControl");
        ready = init && getControl && init();
        if (!ready) base::LogLine(L"movie control host", L"atl.dll cannot host controls; no movies");
    }
};

AxHostLibrary& AxHost() {
    static AxHostLibrary host;
    return host;
}

void SystemNoPlayerNotice(HWND owner) {
    ::MessageBoxW(owner, L"您需要下载最新的flash播放器才能观看眼保健操的视频", L"ZubVynmar", MB_OK);
    const std::wstring page = ServiceAddress(Service::HomePage) + L"/flashplayer.html";
    ::ShellExecuteW(nullptr, L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

NoPlayerNotice g_notice = nullptr;

}  // namespace

bool InitAxHost() { return AxHost().ready; }

HWND CreateAxHostWindow(HWND parent, const wchar_t* progId, UINT id, const RECT& rect, DWORD style) {
    if (!InitAxHost()) return nullptr;
    return ::CreateWindowExW(0, L"AtlAxWin", progId, style, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

HRESULT GetAxHostControl(HWND host, IUnknown** control) {
    if (!control) return E_POINTER;
    *control = nullptr;
    if (!host || !InitAxHost()) return E_FAIL;
    return AxHost().getControl(host, control);
}

void ShowNoPlayerNotice(HWND owner) { (g_notice ? g_notice : &SystemNoPlayerNotice)(owner); }
void SetNoPlayerNotice(NoPlayerNotice notice) { g_notice = notice; }

// ---------------------------------------------------------------------------
// CFlashEventSink

HRESULT CFlashEventSink::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, kFlashEventsId) || IsEqualIID(riid, IID_IUnknown)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CFlashEventSink::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }

ULONG CFlashEventSink::Release() {
    const LONG refs = ::InterlockedDecrement(&refs_);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
}

HRESULT CFlashEventSink::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return E_NOTIMPL;
}

HRESULT CFlashEventSink::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT CFlashEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT CFlashEventSink::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                EXCEPINFO*, UINT*) {
    if (!params) return S_OK;
    switch (dispid) {
    case kFlashEventFlashCall:
        ::PostMessageW(dialog_, doneMessage_, 0, 0);
        return S_OK;
    case kFlashEventFsCommand: {
        if (params->cArgs != 2) return DISP_E_BADPARAMCOUNT;
        if (params->rgvarg[0].vt != VT_BSTR || params->rgvarg[1].vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
        // Arguments arrive last first.
        std::wstring command(params->rgvarg[1].bstrVal ? params->rgvarg[1].bstrVal : L"");
        std::wstring args(params->rgvarg[0].bstrVal ? params->rgvarg[0].bstrVal : L"");
        ::SendMessageW(dialog_, WM_NULL, reinterpret_cast<WPARAM>(&command), reinterpret_cast<LPARAM>(&args));
        return S_OK;
    }
    default:
        return S_OK;
    }
}

// ---------------------------------------------------------------------------
// CFlashWindowSubclass

bool CFlashWindowSubclass::Subclass(HWND hwnd) {
    return subclass_.Install(hwnd, &CFlashWindowSubclass::HandleMessage);
}

void CFlashWindowSubclass::Unsubclass() { subclass_.Remove(); }

LRESULT CFlashWindowSubclass::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP) return 0;
    return winlib::Subclass::Default(hwnd, msg, wParam, lParam);
}

// ---------------------------------------------------------------------------
// CFlashPlayer

bool CFlashPlayer::Create(HWND dialog, UINT id, const RECT& rect, DWORD style, CFlashEventSink* sink,
                          CFlashWindowSubclass* subclass) {
    Close();
    // Whatever happens below, a sink nobody connects must still go away.
    const auto keep = base::ComPtr<CFlashEventSink>::Share(sink);
    host_ = CreateAxHostWindow(dialog, kFlashProgId, id, rect, style);
    base::ComPtr<IUnknown> unknown;
    if (host_ && SUCCEEDED(GetAxHostControl(host_, unknown.Put())) && unknown)
        unknown->QueryInterface(kFlashInterfaceId, control_.PutVoid());
    if (control_) {
        if (subclass && subclass->Subclass(::GetWindow(host_, GW_CHILD))) subclass_ = subclass;
        base::ComPtr<IConnectionPointContainer> container;
        if (sink && SUCCEEDED(control_->QueryInterface(IID_IConnectionPointContainer, container.PutVoid())) &&
            SUCCEEDED(container->FindConnectionPoint(kFlashEventsId, point_.Put())) &&
            FAILED(point_->Advise(sink, &cookie_)))
            point_.Reset();
    }
    if (!HasControl()) base::LogLine(L"movie control", L"not created; no movie is shown");
    return HasControl();
}

void CFlashPlayer::Close() {
    if (point_) {
        point_->Unadvise(cookie_);
        point_.Reset();
        cookie_ = 0;
    }
    if (subclass_) {
        subclass_->Unsubclass();
        subclass_ = nullptr;
    }
    control_.Reset();
    host_ = nullptr;
}

HRESULT CFlashPlayer::Call(const wchar_t* name, WORD flags, VARIANT* args, UINT count, VARIANT* result) {
    if (!control_) return E_FAIL;
    DISPID dispid = 0;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = control_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    if (FAILED(hr)) return hr;
    DISPPARAMS params{};
    params.rgvarg = args;
    params.cArgs = count;
    DISPID named = DISPID_PROPERTYPUT;
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    return control_->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

HRESULT CFlashPlayer::PutMovie(const std::wstring& path) {
    VARIANT arg;
    ::VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = ::SysAllocString(path.c_str());
    const HRESULT hr = Call(L"Movie", DISPATCH_PROPERTYPUT, &arg, 1, nullptr);
    ::VariantClear(&arg);
    return hr;
}

HRESULT CFlashPlayer::PutLoop(bool loop) {
    VARIANT arg;
    ::VariantInit(&arg);
    arg.vt = VT_BOOL;
    arg.boolVal = loop ? VARIANT_TRUE : VARIANT_FALSE;
    return Call(L"Loop", DISPATCH_PROPERTYPUT, &arg, 1, nullptr);
}

HRESULT CFlashPlayer::GotoFrame(long frame) {
    VARIANT arg;
    ::VariantInit(&arg);
    arg.vt = VT_I4;
    arg.lVal = frame;
    return Call(L"GotoFrame", DISPATCH_METHOD, &arg, 1, nullptr);
}

HRESULT CFlashPlayer::Play() { return Call(L"Play", DISPATCH_METHOD, nullptr, 0, nullptr); }

HRESULT CFlashPlayer::Stop() { return Call(L"Stop", DISPATCH_METHOD, nullptr, 0, nullptr); }

bool CFlashPlayer::IsPlaying() {
    VARIANT result;
    ::VariantInit(&result);
    if (FAILED(Call(L"Playing", DISPATCH_PROPERTYGET, nullptr, 0, &result))) return false;
    bool playing = false;
    if (SUCCEEDED(::VariantChangeType(&result, &result, 0, VT_BOOL))) playing = result.boolVal != VARIANT_FALSE;
    ::VariantClear(&result);
    return playing;
}

HRESULT CFlashPlayer::StartMovie(const std::wstring& path) {
    // Every step is tried: a player that refuses one setting may still play.
    const HRESULT results[4] = {PutMovie(path), PutLoop(false), GotoFrame(0), Play()};
    for (HRESULT hr : results)
        if (FAILED(hr)) return hr;
    return S_OK;
}

}  // namespace companion
