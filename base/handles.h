// Move-only owners for the Win32 handles the programs hold. Each owner knows
// the one function that gives its handle back, so no logic has to remember
// whether a DC came from GetDC or CreateCompatibleDC.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace base {

// Owner of a handle whose release needs nothing but the handle itself.
// Traits: static H Invalid(); static void Release(H).
template <typename Traits>
class UniqueHandle {
public:
    using HandleType = decltype(Traits::Invalid());

    UniqueHandle() noexcept : h_(Traits::Invalid()) {}
    explicit UniqueHandle(HandleType h) noexcept : h_(h) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.Detach()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HandleType Get() const noexcept { return h_; }
    bool Valid() const noexcept { return h_ != Traits::Invalid(); }
    explicit operator bool() const noexcept { return Valid(); }

    HandleType Detach() noexcept {
        HandleType h = h_;
        h_ = Traits::Invalid();
        return h;
    }
    void Reset(HandleType h = Traits::Invalid()) noexcept {
        if (h_ != Traits::Invalid() && h_ != h) Traits::Release(h_);
        h_ = h;
    }
    // For out-parameters of creation functions; releases what was held.
    HandleType* Put() noexcept {
        Reset();
        return &h_;
    }

private:
    HandleType h_;
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Release(HANDLE h) { ::CloseHandle(h); }
};
// CreateFile and the snapshot functions report failure as INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Release(HANDLE h) { ::CloseHandle(h); }
};
// FindFirstFile searches end with FindClose, never CloseHandle.
struct FindHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Release(HANDLE h) { ::FindClose(h); }
};
struct LibraryTraits {
    static HMODULE Invalid() { return nullptr; }
    static void Release(HMODULE h) { ::FreeLibrary(h); }
};
struct RegKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static void Release(HKEY h) { ::RegCloseKey(h); }
};
struct MemoryDcTraits {
    static HDC Invalid() { return nullptr; }
    static void Release(HDC h) { ::DeleteDC(h); }
};
template <typename T>
struct GdiObjectTraits {
    static T Invalid() { return nullptr; }
    static void Release(T h) { ::DeleteObject(h); }
};
struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static void Release(HICON h) { ::DestroyIcon(h); }
};
struct MenuTraits {
    static HMENU Invalid() { return nullptr; }
    static void Release(HMENU h) { ::DestroyMenu(h); }
};
// Memory the system allocated for the caller to free (CommandLineToArgvW,
// FormatMessage's own buffer).
struct LocalMemoryTraits {
    static HLOCAL Invalid() { return nullptr; }
    static void Release(HLOCAL h) { ::LocalFree(h); }
};
// A view of a file mapping goes back with UnmapViewOfFile, not CloseHandle.
struct MappedViewTraits {
    static void* Invalid() { return nullptr; }
    static void Release(void* view) { ::UnmapViewOfFile(view); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
using Event = KernelHandle;
using Mutex = KernelHandle;
using Thread = KernelHandle;
using Process = KernelHandle;
using FileHandle = UniqueHandle<FileHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using Library = UniqueHandle<LibraryTraits>;
using RegKey = UniqueHandle<RegKeyTraits>;
using MemoryDc = UniqueHandle<MemoryDcTraits>;
using Bitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using Font = UniqueHandle<GdiObjectTraits<HFONT>>;
using Brush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using Pen = UniqueHandle<GdiObjectTraits<HPEN>>;
using Region = UniqueHandle<GdiObjectTraits<HRGN>>;
using Icon = UniqueHandle<IconTraits>;
using Menu = UniqueHandle<MenuTraits>;
using LocalMemory = UniqueHandle<LocalMemoryTraits>;
using MappedView = UniqueHandle<MappedViewTraits>;

// A DC from GetDC/GetWindowDC must go back to the same window.
class WindowDc {
public:
    WindowDc() noexcept = default;
    explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~WindowDc() { Reset(); }
    WindowDc(WindowDc&& o) noexcept : hwnd_(o.hwnd_), dc_(o.dc_) { o.dc_ = nullptr; }
    WindowDc& operator=(WindowDc&& o) noexcept {
        if (this != &o) {
            Reset();
            hwnd_ = o.hwnd_;
            dc_ = o.dc_;
            o.dc_ = nullptr;
        }
        return *this;
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }
    void Reset() noexcept {
        if (dc_) ::ReleaseDC(hwnd_, dc_);
        dc_ = nullptr;
    }

private:
    HWND hwnd_ = nullptr;
    HDC dc_ = nullptr;
};

// BeginPaint/EndPaint pair for WM_PAINT handlers.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) noexcept : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd, &ps_); }
    ~PaintDc() { ::EndPaint(hwnd_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC Get() const noexcept { return dc_; }
    const PAINTSTRUCT& Info() const noexcept { return ps_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

// Puts an object into a DC for a scope and puts the previous one back.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(::SelectObject(dc, obj)) {}
    ~SelectObjectScope() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Reference-holding pointer for COM interfaces.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ~ComPtr() { Reset(); }
    ComPtr(ComPtr&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) {
            Reset();
            p_ = o.p_;
            o.p_ = nullptr;
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    // A reference of its own to an object the caller keeps holding.
    static ComPtr Share(T* p) noexcept {
        ComPtr held;
        if (p) p->AddRef();
        held.p_ = p;
        return held;
    }

    T* Get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    T** Put() noexcept {
        Reset();
        return &p_;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }
    void Reset() noexcept {
        if (p_) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

// An owned BSTR, the text type of the COM calls.
class Bstr {
public:
    Bstr() noexcept = default;
    // Up to the text's first NUL.
    explicit Bstr(const wchar_t* text) : s_(::SysAllocString(text)) {}
    // The whole text, NULs and all.
    explicit Bstr(const std::wstring& text)
        : s_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { ::SysFreeString(s_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR Get() const noexcept { return s_; }
    // For out-parameters: frees what was held.
    BSTR* Put() noexcept {
        ::SysFreeString(s_);
        s_ = nullptr;
        return &s_;
    }
    std::wstring Text() const { return s_ ? std::wstring(s_, ::SysStringLen(s_)) : std::wstring(); }

private:
    BSTR s_ = nullptr;
};

// CoInitialize/CoUninitialize for a scope; uninitialises only what it initialised.
class ComScope {
public:
    ComScope() noexcept : hr_(::CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool Ok() const noexcept { return SUCCEEDED(hr_); }
    HRESULT Result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

}  // namespace base
