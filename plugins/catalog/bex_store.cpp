#include "plugins/catalog/bex_store.h"

#include <cstring>

#include "plugins/common/kernel_binding.h"
#include "plugins/common/kernel_calls.h"
#include "protocol/bex_kernel.h"

namespace catalog {

namespace k = bex::kernel;

namespace {

constexpr int kValueType = 22;
constexpr wchar_t kValueName[] = L"AppIdUsage";
constexpr uint32_t kFirstId = 90000000;
constexpr uint32_t kLastId = 99999999;
constexpr int kLargeAbove = 1024;

uint32_t LoadWord(const BYTE* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void StoreWord(BYTE* p, uint32_t word) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<BYTE>(word >> (8 * i));
}

}  // namespace

CBexStore::CBexStore() noexcept {
    ::InitializeCriticalSection(&lock_);
    if (plugin::HostCallback()) plugin::CreateKernelObject(k::kValueStore, store_);
}

CBexStore::~CBexStore() {
    store_.Reset();
    ::DeleteCriticalSection(&lock_);
}

uint32_t CBexStore::AllocateAppId() noexcept {
    ::EnterCriticalSection(&lock_);
    uint32_t id = 0;
    try {
        id = AllocateLocked();
    } catch (...) {
        id = 0;
    }
    ::LeaveCriticalSection(&lock_);
    return id;
}

bool CBexStore::Write(const void* data, int size, uint32_t base) {
    return bex::Call(k::value_store::kSet, store_.Get(), kValueType, kValueName, data, size,
                                 size > kLargeAbove ? 1 : 0, base) != 0;
}

uint32_t CBexStore::AllocateLocked() {
    if (!store_) return 0;
    bex::PluginRef<> buffer;
    if (FAILED(plugin::CreateKernelObject(k::kByteBuffer, buffer))) return 0;

    uint32_t base = kFirstId;
    const int got = bex::Call(k::value_store::kGet, store_.Get(), kValueType, kValueName,
                                          buffer.Get(), &base);
    // A base the ids could not come from is as good as no value at all.
    if (got < 0 || base < kFirstId || base > kLastId) {
        const BYTE first[4] = {1, 0, 0, 0};
        Write(first, 4, kFirstId);
        return kFirstId;
    }
    BYTE* data = static_cast<BYTE*>(bex::Call(k::byte_buffer::kData, buffer.Get()));
    const int size = bex::Call(k::byte_buffer::kSize, buffer.Get());
    if (!data || size < 0) return 0;

    // Bytes past the last whole word stand for no id.
    const size_t words = static_cast<size_t>(size) / 4;
    for (size_t i = 0; i < words; ++i) {
        const uint32_t word = LoadWord(data + 4 * i);
        if (word == 0xFFFFFFFFu) continue;
        int bit = 0;
        while (word & (1u << bit)) ++bit;
        const uint64_t id = static_cast<uint64_t>(base) + 32ull * i + static_cast<uint64_t>(bit);
        if (id > kLastId) {
            // Out of ids: start over from the base (the base itself stays taken).
            std::memset(data, 0, static_cast<size_t>(size));
            StoreWord(data, 1);
            Write(data, size, base);
            return 0;
        }
        StoreWord(data + 4 * i, word | (1u << bit));
        Write(data, size, base);
        return static_cast<uint32_t>(id);
    }

    const uint64_t id = static_cast<uint64_t>(base) + 32ull * words;
    if (id > kLastId) return 0;
    const size_t grown = words * 4 + 4;
    bex::PluginRef<> larger;
    if (FAILED(plugin::CreateKernelObject(k::kByteBuffer, larger))) return 0;
    BYTE* next = bex::BufferAllocate(larger.Get(), static_cast<int>(grown));
    if (!next) return 0;
    std::memcpy(next, data, words * 4);
    StoreWord(next + words * 4, 1);
    Write(next, static_cast<int>(grown), base);
    return static_cast<uint32_t>(id);
}

}  // namespace catalog
