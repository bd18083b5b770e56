#include "plugins/catalog/bex_store.h"

#include <algorithm>
#include <vector>

#include "base/exception_barrier.h"
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
constexpr size_t kLargeAbove = 1024;

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
    const uint32_t id =
        base::CallGuarded(L"CBexStore::AllocateAppId", uint32_t{0}, [this] { return AllocateLocked(); });
    ::LeaveCriticalSection(&lock_);
    return id;
}

bool CBexStore::Write(const std::vector<BYTE>& bitmap, uint32_t base) {
    return bex::ValueSet(store_.Get(), kValueType, kValueName, bitmap.data(), bitmap.size(),
                         bitmap.size() > kLargeAbove, base);
}

uint32_t CBexStore::AllocateLocked() {
    if (!store_) return 0;
    bex::PluginRef<> buffer;
    if (FAILED(plugin::CreateKernelObject(k::kByteBuffer, buffer))) return 0;

    uint32_t base = kFirstId;
    const auto stored = bex::ValueGet(store_.Get(), kValueType, kValueName, buffer.Get(), &base);
    // A buffer the store filled but that does not hold up says nothing of the
    // ids taken: give none rather than start the bitmap over.
    if (!stored && !bex::BufferBytes(buffer.Get())) return 0;
    // A base the ids could not come from is as good as no value at all.
    if (!stored || base < kFirstId || base > kLastId) {
        Write({1, 0, 0, 0}, kFirstId);
        return kFirstId;
    }
    // A copy: the bitmap changes before it is written back.
    std::vector<BYTE> bitmap(stored->data, stored->data + stored->size);

    // Bytes past the last whole word stand for no id.
    const size_t words = bitmap.size() / 4;
    for (size_t i = 0; i < words; ++i) {
        const uint32_t word = LoadWord(&bitmap[4 * i]);
        if (word == 0xFFFFFFFFu) continue;
        int bit = 0;
        while (word & (1u << bit)) ++bit;
        const uint64_t id = static_cast<uint64_t>(base) + 32ull * i + static_cast<uint64_t>(bit);
        if (id > kLastId) {
            // Out of ids: start over from the base (the base itself stays taken).
            std::fill(bitmap.begin(), bitmap.end(), BYTE{0});
            StoreWord(&bitmap[0], 1);
            Write(bitmap, base);
            return 0;
        }
        StoreWord(&bitmap[4 * i], word | (1u << bit));
        Write(bitmap, base);
        return static_cast<uint32_t>(id);
    }

    const uint64_t id = static_cast<uint64_t>(base) + 32ull * words;
    if (id > kLastId) return 0;
    // Grown by one word, which takes this id; a part word at the end goes.
    bitmap.resize(words * 4 + 4);
    StoreWord(&bitmap[words * 4], 1);
    Write(bitmap, base);
    return static_cast<uint32_t>(id);
}

}  // namespace catalog
