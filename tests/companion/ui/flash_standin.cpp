// A stand-in for the movie player control, for the dialog tests only. It is
// an in-process COM server that the tests register under the player's CLSID
// and ProgID, so that the system's ActiveX host creates it as it would the
// real player. It logs every call it gets, one line each, to the file named
// by FLASH_STANDIN_LOG, and plays pretend movies:
//   FLASH_STANDIN_PLAY_MS   how long a movie plays after Play (default 300;
//                           negative: it never ends). At the end Playing
//                           turns false and the FlashCall event fires.
//   FLASH_STANDIN_FSCOMMAND "1": an FSCommand event fires at Play.
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdio>
#include <string>

namespace {

const CLSID kClsid = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID kInterface = {0xD27CDB6C, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID kEvents = {0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

LONG g_objects = 0;
HINSTANCE g_module = nullptr;

std::wstring Env(const wchar_t* name) {
    wchar_t buffer[1024] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, buffer, 1024);
    return n && n < 1024 ? std::wstring(buffer, n) : std::wstring();
}

void Log(const std::wstring& line) {
    const std::wstring path = Env(L"FLASH_STANDIN_LOG");
    if (path.empty()) return;
    FILE* f = _wfopen(path.c_str(), L"ab");
    if (!f) return;
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, &text[0], bytes, nullptr, nullptr);
    text.resize(text.size() - 1);
    text += "\n";
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

enum Member : DISPID { kMovie = 102, kLoop = 106, kGotoFrame = 127, kPlay = 112, kStop = 113, kPlaying = 125 };

class Player;
Player* g_playing = nullptr;  // the one whose movie the thread timer ends

LRESULT CALLBACK MovieWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_RBUTTONDOWN: Log(L"RButtonDown"); return 0;
    case WM_RBUTTONUP: Log(L"RButtonUp"); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        RECT rc;
        ::GetClientRect(hwnd, &rc);
        HBRUSH brush = ::CreateSolidBrush(RGB(0xF6, 0xFB, 0xF7));
        ::FillRect(dc, &rc, brush);
        ::DeleteObject(brush);
        HBRUSH disc = ::CreateSolidBrush(RGB(0x3D, 0xAE, 0x69));
        HGDIOBJ old = ::SelectObject(dc, disc);
        const int cx = rc.right / 2, cy = rc.bottom / 2;
        ::Ellipse(dc, cx - 60, cy - 60, cx + 60, cy + 60);
        ::SelectObject(dc, old);
        ::DeleteObject(disc);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

class Player;

// The event connection point: a part of the player (it shares its count),
// kept apart because IOleObject has an Unadvise of the same shape.
class EventPoint : public IConnectionPoint {
public:
    explicit EventPoint(Player* owner) : owner_(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override { *iid = kEvents; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** c) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    IDispatch* sink = nullptr;

private:
    Player* owner_;
};

class Player final : public IDispatch,
               public IOleObject,
               public IOleInPlaceObject,
               public IConnectionPointContainer {
public:
    friend class EventPoint;
    Player() { ::InterlockedIncrement(&g_objects); Log(L"Create"); }
    ~Player() {
        if (g_playing == this) g_playing = nullptr;
        if (timer_) ::KillTimer(nullptr, timer_);
        if (point_.sink) point_.sink->Release();
        if (site_) site_->Release();
        if (window_ && ::IsWindow(window_)) ::DestroyWindow(window_);
        Log(L"Destroy");
        ::InterlockedDecrement(&g_objects);
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kInterface)
            *out = static_cast<IDispatch*>(this);
        else if (riid == IID_IOleObject)
            *out = static_cast<IOleObject*>(this);
        else if (riid == IID_IOleInPlaceObject || riid == IID_IOleWindow)
            *out = static_cast<IOleInPlaceObject*>(this);
        else if (riid == IID_IConnectionPointContainer)
            *out = static_cast<IConnectionPointContainer*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG n = ::InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return n;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        static const struct { const wchar_t* name; DISPID id; } kNames[] = {
            {L"Movie", kMovie}, {L"Loop", kLoop}, {L"GotoFrame", kGotoFrame},
            {L"Play", kPlay}, {L"Stop", kStop}, {L"Playing", kPlaying}};
        if (count != 1) return DISP_E_UNKNOWNNAME;
        for (const auto& entry : kNames)
            if (_wcsicmp(entry.name, names[0]) == 0) {
                ids[0] = entry.id;
                return S_OK;
            }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        VARIANT* arg = params && params->cArgs ? &params->rgvarg[0] : nullptr;
        switch (id) {
        case kMovie:
            if (!(flags & DISPATCH_PROPERTYPUT) || !arg || arg->vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
            Log(std::wstring(L"Movie=") + (arg->bstrVal ? arg->bstrVal : L""));
            return S_OK;
        case kLoop:
            if (!(flags & DISPATCH_PROPERTYPUT) || !arg || arg->vt != VT_BOOL) return DISP_E_TYPEMISMATCH;
            Log(arg->boolVal ? L"Loop=true" : L"Loop=false");
            return S_OK;
        case kGotoFrame:
            if (!arg || arg->vt != VT_I4) return DISP_E_TYPEMISMATCH;
            Log(L"GotoFrame=" + std::to_wstring(arg->lVal));
            return S_OK;
        case kPlay: StartPlaying(); return S_OK;
        case kStop:
            Log(L"Stop");
            StopPlaying();
            return S_OK;
        case kPlaying:
            if (result) {
                ::VariantInit(result);
                result->vt = VT_BOOL;
                result->boolVal = playing_ ? VARIANT_TRUE : VARIANT_FALSE;
            }
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
        if (site) site->AddRef();
        if (site_) site_->Release();
        site_ = site;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override {
        *site = site_;
        if (site_) site_->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) override {
        if (window_) return S_OK;
        IOleInPlaceSite* inPlace = nullptr;
        if (site && SUCCEEDED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)))) {
            inPlace->CanInPlaceActivate();
            inPlace->OnInPlaceActivate();
            HWND siteWindow = nullptr;
            if (SUCCEEDED(inPlace->GetWindow(&siteWindow)) && siteWindow) parent = siteWindow;
            inPlace->Release();
        }
        WNDCLASSW wc{};
        wc.lpfnWndProc = MovieWndProc;
        wc.hInstance = g_module;
        wc.lpszClassName = L"FlashStandInMovie";
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        ::RegisterClassW(&wc);
        RECT rc = rect ? *rect : RECT{0, 0, 0, 0};
        if (parent) ::GetClientRect(parent, &rc);
        window_ = ::CreateWindowExW(0, L"FlashStandInMovie", L"", WS_CHILD | WS_VISIBLE, rc.left, rc.top,
                                    rc.right - rc.left, rc.bottom - rc.top, parent, nullptr, g_module, nullptr);
        Log(window_ ? L"InPlaceActive" : L"NoWindow");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* id) override { *id = kClsid; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD* cookie) override { *cookie = 0; return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override { *status = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) override { *hwnd = window_; return window_ ? S_OK : E_FAIL; }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT pos, LPCRECT) override {
        if (window_ && pos)
            ::MoveWindow(window_, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override {
        if (riid != kEvents) return CONNECT_E_NOCONNECTION;
        *point = &point_;
        AddRef();
        return S_OK;
    }

private:
    static void CALLBACK MovieOver(HWND, UINT, UINT_PTR, DWORD) {
        if (Player* player = g_playing) player->FinishMovie();
    }

    void StartPlaying() {
        Log(L"Play");
        playing_ = true;
        if (Env(L"FLASH_STANDIN_FSCOMMAND") == L"1") Fire(150, L"quit", L"now");
        const std::wstring ms = Env(L"FLASH_STANDIN_PLAY_MS");
        const int length = ms.empty() ? 300 : _wtoi(ms.c_str());
        if (length < 0) return;
        g_playing = this;
        timer_ = ::SetTimer(nullptr, 0, static_cast<UINT>(length), &Player::MovieOver);
    }
    void StopPlaying() {
        playing_ = false;
        if (timer_) ::KillTimer(nullptr, timer_);
        timer_ = 0;
    }
    void FinishMovie() {
        StopPlaying();
        Log(L"MovieOver");
        Fire(197, L"<invoke name=\"over\"/>", nullptr);
    }
    void Fire(DISPID id, const wchar_t* first, const wchar_t* second) {
        if (!point_.sink) return;
        VARIANT args[2];
        ::VariantInit(&args[0]);
        ::VariantInit(&args[1]);
        UINT count = 0;
        // Arguments go last first.
        if (second) {
            args[0].vt = VT_BSTR;
            args[0].bstrVal = ::SysAllocString(second);
            args[1].vt = VT_BSTR;
            args[1].bstrVal = ::SysAllocString(first);
            count = 2;
        } else {
            args[0].vt = VT_BSTR;
            args[0].bstrVal = ::SysAllocString(first);
            count = 1;
        }
        DISPPARAMS params{args, nullptr, count, 0};
        IDispatch* sink = point_.sink;
        sink->AddRef();
        const HRESULT hr = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                                        nullptr, nullptr);
        sink->Release();
        Log((id == 197 ? L"FiredFlashCall hr=" : L"FiredFSCommand hr=") + std::to_wstring(static_cast<long>(hr)));
        ::VariantClear(&args[0]);
        ::VariantClear(&args[1]);
    }

    LONG refs_ = 0;
    IOleClientSite* site_ = nullptr;
    EventPoint point_{this};
    HWND window_ = nullptr;
    bool playing_ = false;
    UINT_PTR timer_ = 0;
};

HRESULT EventPoint::QueryInterface(REFIID riid, void** out) {
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}
ULONG EventPoint::AddRef() { return owner_->AddRef(); }
ULONG EventPoint::Release() { return owner_->Release(); }
HRESULT EventPoint::GetConnectionPointContainer(IConnectionPointContainer** c) {
    *c = static_cast<IConnectionPointContainer*>(owner_);
    AddRef();
    return S_OK;
}
HRESULT EventPoint::Advise(IUnknown* unknown, DWORD* cookie) {
    if (sink) return CONNECT_E_ADVISELIMIT;
    if (!unknown || FAILED(unknown->QueryInterface(kEvents, reinterpret_cast<void**>(&sink))))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = 7;
    Log(L"Advise");
    return S_OK;
}
HRESULT EventPoint::Unadvise(DWORD cookie) {
    if (cookie != 7 || !sink) return CONNECT_E_NOCONNECTION;
    sink->Release();
    sink = nullptr;
    Log(L"Unadvise");
    return S_OK;
}

class Factory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        Player* player = new Player();
        player->AddRef();
        const HRESULT hr = player->QueryInterface(riid, out);
        player->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    if (clsid != kClsid) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return g_objects == 0 ? S_OK : S_FALSE; }
