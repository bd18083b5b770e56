// Class 24, the keyword service: slot 3 (keyword, &object) makes an object
// whose slot 4 gives the keyword as UTF-8, percent-encoded except for
// letters, digits and "-_.~". Configuration:
//   [keyword]  make=<n> (slot 3's answer, default 1; 0 gives no object)
// Log line:
//   keyword <the wide keyword>
#include <windows.h>

#include <string>

#include "protocol/bex_kernel.h"
#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/service_object.h"
#include "tests/doubles/kernel/services.h"

namespace standin {

namespace k = protocol::kernel;

namespace {

struct Plain : ServiceObject {};

struct Encoded : ServiceObject {
    std::string text;
};

const char* BEX_CALL UrlText(k::keyword::Encoded* self) { return Self<Encoded>(self)->text.c_str(); }

std::string Escape(const std::wstring& keyword) {
    std::string utf8;
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, keyword.c_str(), static_cast<int>(keyword.size()), nullptr, 0,
                                        nullptr, nullptr);
    if (n > 0) {
        utf8.resize(static_cast<size_t>(n));
        ::WideCharToMultiByte(CP_UTF8, 0, keyword.c_str(), static_cast<int>(keyword.size()), &utf8[0], n, nullptr,
                              nullptr);
    }
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : utf8) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
            c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

int BEX_CALL Make(k::Keyword*, const wchar_t* keyword, k::keyword::Encoded** object) {
    const std::wstring text = keyword ? keyword : L"";
    Log(L"keyword " + text);
    if (!object) return 0;
    *object = nullptr;
    if (!ConfigInt(L"keyword", L"make", 1)) return 0;
    static const SlotTable<k::keyword::Encoded> table = [] {
        SlotTable<k::keyword::Encoded> t;
        t.Set(k::keyword::kUrlText, &UrlText);
        return t;
    }();
    Encoded* encoded = NewServiceObject<Encoded>(table, k::kKeyword);
    encoded->text = Escape(text);
    *object = HandOut<k::keyword::Encoded>(encoded);
    return 1;
}

}  // namespace

IBexPlugin* MakeKeyword() {
    static const SlotTable<k::keyword::Of> table = [] {
        SlotTable<k::keyword::Of> t;
        t.Set(k::keyword::kMake, &Make);
        return t;
    }();
    return HandOut(NewServiceObject<Plain>(table, k::kKeyword));
}

}  // namespace standin
