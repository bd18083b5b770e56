// Classes 86 (file reader) and 107 (numbered store), as the
// recommendations use them (their options, class 47, are in
// options_services.cpp). Numbered values live in an ini beside the file
// named by BEXTEST_STORE (<store>.ini; a test may preset it), else beside
// the log:
//   [num.<type>] <key>=<data in hex>
// Log lines:
//   num.get <type> <key> size=<n>|missing
//   num.set <type> <key> <size> data=<hex>     num.clear <type>
//   file.read <path> 1|0
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "protocol/bex_kernel.h"
#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/service_object.h"
#include "tests/doubles/kernel/services.h"

namespace standin {

namespace k = protocol::kernel;

namespace {

struct Plain : ServiceObject {};

std::wstring IniPath() {
    wchar_t path[MAX_PATH] = {};
    DWORD len = ::GetEnvironmentVariableW(L"BEXTEST_STORE", path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) len = ::GetEnvironmentVariableW(L"BEXTEST_LOG", path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return L".\\bextest-options.ini";
    return std::wstring(path) + L".ini";
}

std::wstring IniRead(const std::wstring& section, const wchar_t* key, bool& found) {
    std::vector<wchar_t> text(65536);
    const DWORD n = ::GetPrivateProfileStringW(section.c_str(), key, L"\x1", text.data(),
                                               static_cast<DWORD>(text.size()), IniPath().c_str());
    found = !(n == 1 && text[0] == L'\x1');
    return found ? std::wstring(text.data(), n) : std::wstring();
}

void IniWrite(const std::wstring& section, const wchar_t* key, const wchar_t* value) {
    ::WritePrivateProfileStringW(section.c_str(), key, value, IniPath().c_str());
}

std::wstring Section(int type) { return L"num." + std::to_wstring(type); }

std::wstring ToHex(const BYTE* data, size_t size) {
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring hex;
    for (size_t i = 0; i < size; ++i) {
        hex += digits[data[i] >> 4];
        hex += digits[data[i] & 15];
    }
    return hex;
}

int BEX_CALL NumSet(k::NumberedStore*, int type, uint32_t key, const void* data, int size, int, int) {
    if (size < 0 || (size > 0 && !data)) return 0;
    const std::wstring hex = ToHex(static_cast<const BYTE*>(data), static_cast<size_t>(size));
    Log(L"num.set " + std::to_wstring(type) + L" " + std::to_wstring(key) + L" " + std::to_wstring(size) +
        L" data=" + hex);
    KernelLock lock;
    IniWrite(Section(type), std::to_wstring(key).c_str(), hex.c_str());
    return 1;
}
int BEX_CALL NumGet(k::NumberedStore*, int type, uint32_t key, k::ByteBuffer* buffer, int) {
    std::wstring hex;
    bool found = false;
    {
        KernelLock lock;
        hex = IniRead(Section(type), std::to_wstring(key).c_str(), found);
    }
    const std::wstring head = L"num.get " + std::to_wstring(type) + L" " + std::to_wstring(key);
    if (!found) {
        Log(head + L" missing");
        return -1;
    }
    std::vector<BYTE> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<BYTE>(std::wcstoul(hex.substr(i, 2).c_str(), nullptr, 16)));
    Log(head + L" size=" + std::to_wstring(bytes.size()));
    if (buffer) {
        void* out = protocol::Call(k::byte_buffer::kAllocate, buffer, static_cast<int>(bytes.size()));
        if (out && !bytes.empty()) std::memcpy(out, bytes.data(), bytes.size());
    }
    return static_cast<int>(bytes.size());
}
int BEX_CALL NumClear(k::NumberedStore*, int type) {
    Log(L"num.clear " + std::to_wstring(type));
    KernelLock lock;
    IniWrite(Section(type), nullptr, nullptr);
    return 1;
}

std::wstring Decode(const std::string& bytes) {
    std::wstring text;
    if (bytes.size() >= 2 && static_cast<BYTE>(bytes[0]) == 0xFF && static_cast<BYTE>(bytes[1]) == 0xFE) {
        text.resize((bytes.size() - 2) / 2);
        if (!text.empty()) std::memcpy(&text[0], bytes.data() + 2, text.size() * 2);
        return text;
    }
    size_t from = bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data() + from, static_cast<int>(bytes.size() - from),
                                        nullptr, 0);
    if (n > 0) {
        text.resize(static_cast<size_t>(n));
        ::MultiByteToWideChar(CP_UTF8, 0, bytes.data() + from, static_cast<int>(bytes.size() - from), &text[0], n);
    }
    return text;
}

int BEX_CALL FileRead(k::FileReader*, const wchar_t* path, k::String** text) {
    if (text) *text = nullptr;
    std::string bytes;
    bool read = false;
    const HANDLE file = path ? ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
                             : INVALID_HANDLE_VALUE;
    if (file != INVALID_HANDLE_VALUE) {
        char chunk[4096];
        DWORD got = 0;
        while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
        ::CloseHandle(file);
        read = true;
    }
    Log(L"file.read " + std::wstring(path ? path : L"") + (read ? L" 1" : L" 0"));
    if (!read || !text) return 0;
    *text = MakeStringWith(Decode(bytes));
    return 1;
}

}  // namespace

IBexPlugin* MakeFileReader() {
    static const SlotTable<k::file_reader::Of> table = [] {
        SlotTable<k::file_reader::Of> t;
        t.Set(k::file_reader::kRead, &FileRead);
        return t;
    }();
    return HandOut(NewServiceObject<Plain>(table, k::kFileReader));
}

IBexPlugin* MakeNumberedStore() {
    static const SlotTable<k::numbered_store::Of> table = [] {
        SlotTable<k::numbered_store::Of> t;
        t.Set(k::numbered_store::kSet, &NumSet);
        t.Set(k::numbered_store::kGet, &NumGet);
        t.Set(k::numbered_store::kClear, &NumClear);
        return t;
    }();
    return HandOut(NewServiceObject<Plain>(table, k::kNumberedStore));
}

}  // namespace standin
