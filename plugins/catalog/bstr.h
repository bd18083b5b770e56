// An owned BSTR for the XML calls of the catalogue's answer readers.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace catalog {

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : s_(::SysAllocString(text)) {}
    Bstr() = default;
    ~Bstr() { ::SysFreeString(s_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR* Put() { return &s_; }
    BSTR Get() const { return s_; }
    std::wstring Text() const { return s_ ? std::wstring(s_, ::SysStringLen(s_)) : std::wstring(); }

private:
    BSTR s_ = nullptr;
};

}  // namespace catalog
