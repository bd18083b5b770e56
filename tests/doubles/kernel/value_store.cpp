// Class 94, the value store. Values live in the file named by BEXTEST_STORE
// (read and written at every call, so a second process finds them and a
// test may preset them), else in this process only. The file has one value
// per line, fields separated by tabs:
//   <type> <key> <extra> <large> <data in hex>
// where <key> is #<number> or the name, <extra> decimal.
// Log lines (hex data only for values up to 64 bytes):
//   store.set <type> "<name>" size=<n> extra=0x<X> large=<l>[ data=<hex>]
//   store.set <type> #<number> size=<n>[ data=<hex>]
//   store.get <type> "<name>" size=<n> extra=0x<X>[ data=<hex>] | store.get <type> "<name>" missing
//   store.get <type> #<number> size=<n>[ data=<hex>] | ... missing
//   store.error                     the store file could not be read or written
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "protocol/bex_kernel.h"
#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/service_object.h"
#include "tests/doubles/kernel/services.h"
#include "tests/support/text.h"

namespace standin {

namespace k = protocol::kernel;

namespace {

constexpr size_t kLoggedBytes = 64;

struct Value {
    uint32_t extra = 0;
    int large = 0;
    std::string bytes;
};
using Key = std::pair<int, std::wstring>;
using Values = std::map<Key, Value>;

Values& Memory() {
    static auto* values = new Values;
    return *values;
}

std::wstring StorePath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD len = ::GetEnvironmentVariableW(L"BEXTEST_STORE", path, MAX_PATH);
    return len > 0 && len < MAX_PATH ? std::wstring(path) : std::wstring();
}

using testsupport::Narrow;
using testsupport::Widen;

std::string ToHex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

int Nibble(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    throw std::invalid_argument("not a hex digit");
}

std::string FromHex(const std::string& hex) {
    std::string bytes(hex.size() / 2, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(Nibble(hex[2 * i]) << 4 | Nibble(hex[2 * i + 1]));
    return bytes;
}

// The file as last read or written, while its size and time stay the same
// (tests keep record sets of tens of megabytes here).
struct FileStamp {
    std::wstring path;
    ULONGLONG size = 0;
    FILETIME written = {};
    bool operator==(const FileStamp& other) const {
        return path == other.path && size == other.size && ::CompareFileTime(&written, &other.written) == 0;
    }
};
FileStamp g_cachedStamp;
Values g_cached;

FileStamp StampOf(const std::wstring& path) {
    FileStamp stamp;
    stamp.path = path;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        stamp.size = static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
        stamp.written = data.ftLastWriteTime;
    }
    return stamp;
}

// Under the kernel lock.
Values Load() {
    const std::wstring path = StorePath();
    if (path.empty()) return Memory();
    const FileStamp stamp = StampOf(path);
    if (stamp.size != 0 && stamp == g_cachedStamp) return g_cached;
    Values values;
    std::ifstream in(Narrow(path), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields;
        std::stringstream split(line);
        std::string field;
        while (std::getline(split, field, '\t')) fields.push_back(field);
        if (fields.size() < 4) continue;
        Value value;
        value.extra = static_cast<uint32_t>(std::stoul(fields[2]));
        value.large = std::stoi(fields[3]);
        value.bytes = fields.size() > 4 ? FromHex(fields[4]) : std::string();
        values[{std::stoi(fields[0]), Widen(fields[1])}] = value;
    }
    g_cachedStamp = stamp;
    g_cached = values;
    return values;
}

void Save(const Values& values) {
    const std::wstring path = StorePath();
    if (path.empty()) {
        Memory() = values;
        return;
    }
    {
        std::ofstream out(Narrow(path), std::ios::binary | std::ios::trunc);
        for (const auto& [key, value] : values)
            out << key.first << '\t' << Narrow(key.second) << '\t' << value.extra << '\t' << value.large << '\t'
                << ToHex(value.bytes) << '\n';
    }
    g_cachedStamp = StampOf(path);
    g_cached = values;
}

std::wstring KeyText(const std::wstring& key) {
    return key[0] == L'#' ? key : L"\"" + key + L"\"";
}

std::wstring DataText(const std::string& bytes) {
    if (bytes.size() > kLoggedBytes) return std::wstring();
    return L" data=" + Widen(ToHex(bytes));
}

std::wstring HexNumber(uint32_t value) {
    wchar_t text[16] = {};
    std::swprintf(text, 16, L"0x%X", value);
    return text;
}

int Set(int type, const std::wstring& key, const void* data, int size, int large, uint32_t extra, bool named) {
    std::string bytes;
    if (data && size > 0) bytes.assign(static_cast<const char*>(data), static_cast<size_t>(size));
    std::wstring line = L"store.set " + std::to_wstring(type) + L" " + KeyText(key) + L" size=" +
                        std::to_wstring(size);
    if (named) line += L" extra=" + HexNumber(extra) + L" large=" + std::to_wstring(large);
    Log(line + DataText(bytes));
    if (size < 0 || (size > 0 && !data)) return 0;
    KernelLock lock;
    Values values = Load();
    values[{type, key}] = Value{extra, large, bytes};
    Save(values);
    return 1;
}

// Fills the caller's byte buffer (class 7) through its own slots.
int Get(int type, const std::wstring& key, k::ByteBuffer* buffer, uint32_t* extra, bool named) {
    Value value;
    bool found = false;
    {
        KernelLock lock;
        const Values values = Load();
        const auto it = values.find({type, key});
        if (it != values.end()) {
            value = it->second;
            found = true;
        }
    }
    const std::wstring head = L"store.get " + std::to_wstring(type) + L" " + KeyText(key);
    if (!found) {
        Log(head + L" missing");
        return -1;
    }
    std::wstring line = head + L" size=" + std::to_wstring(value.bytes.size());
    if (named) line += L" extra=" + HexNumber(value.extra);
    Log(line + DataText(value.bytes));
    if (extra) *extra = value.extra;
    if (buffer) {
        void* data = protocol::Call(k::byte_buffer::kAllocate, buffer, static_cast<int>(value.bytes.size()));
        if (data && !value.bytes.empty()) std::memcpy(data, value.bytes.data(), value.bytes.size());
    }
    return static_cast<int>(value.bytes.size());
}

std::wstring NumberKey(uint32_t number) { return L"#" + std::to_wstring(number); }

// A store file a test wrote badly must not throw across the border.
template <typename Fn>
int Guarded(Fn fn, int failure) {
    try {
        return fn();
    } catch (...) {
        Log(L"store.error");
        return failure;
    }
}

int BEX_CALL SetByNumber(k::ValueStore*, int type, uint32_t number, const void* data, int size, int, int) {
    return Guarded([&] { return Set(type, NumberKey(number), data, size, 0, 0, false); }, 0);
}
int BEX_CALL GetByNumber(k::ValueStore*, int type, uint32_t number, k::ByteBuffer* buffer, int) {
    return Guarded([&] { return Get(type, NumberKey(number), buffer, nullptr, false); }, -1);
}
int BEX_CALL SetNamed(k::ValueStore*, int type, const wchar_t* name, const void* data, int size, int large,
                      uint32_t extra) {
    if (!name || !*name || name[0] == L'#') return 0;
    return Guarded([&] { return Set(type, name, data, size, large, extra, true); }, 0);
}
int BEX_CALL GetNamed(k::ValueStore*, int type, const wchar_t* name, k::ByteBuffer* buffer,
                      uint32_t* extra) {
    if (!name || !*name || name[0] == L'#') return -1;
    return Guarded([&] { return Get(type, name, buffer, extra, true); }, -1);
}

struct Store : ServiceObject {};

}  // namespace

IBexPlugin* MakeValueStore() {
    static const SlotTable<k::value_store::Of> table = [] {
        SlotTable<k::value_store::Of> t;
        t.Set(k::value_store::kSetByNumber, &SetByNumber);
        t.Set(k::value_store::kGetByNumber, &GetByNumber);
        t.Set(k::value_store::kSet, &SetNamed);
        t.Set(k::value_store::kGet, &GetNamed);
        return t;
    }();
    return HandOut(NewServiceObject<Store>(table, k::kValueStore));
}

}  // namespace standin
