#include "plugins/catalog/bex_store.h"

#include <algorithm>
#include <vector>

#include "base/exception_barrier.h"
#include "base/log.h"
#include "plugins/catalog/store_types.h"
#include "plugins/common/kernel_binding.h"
#include "plugins/common/kernel_calls.h"
#include "protocol/bex_kernel.h"

namespace catalog {

namespace k = protocol::kernel;

namespace {

constexpr wchar_t kValueName[] = L"AppIdUsage";
constexpr uint32_t kFirstId = 90000000;
constexpr uint32_t kLastId = 99999999;
constexpr size_t kLargeAbove = 1024;

// The bitmap's lock, one for the process, and the thread that holds it.
SRWLOCK g_bitmapLock = SRWLOCK_INIT;
volatile DWORD g_bitmapOwner = 0;

uint32_t LoadWord(const BYTE* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void StoreWord(BYTE* p, uint32_t word) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<BYTE>(word >> (8 * i));
}

}  // namespace

CBexStore::CBexStore() noexcept {
    if (plugin::HostCallback()) plugin::CreateKernelObject(store_);
}

CBexStore::~CBexStore() { store_.Reset(); }

uint32_t CBexStore::AllocateAppId() noexcept {
    const std::vector<uint32_t> ids = AllocateAppIds(1);
    return ids.empty() ? 0 : ids[0];
}

std::vector<uint32_t> CBexStore::AllocateAppIds(size_t count) noexcept {
    return base::CallGuarded(L"CBexStore::AllocateAppIds", std::vector<uint32_t>(), [this, count] {
        const std::vector<uint32_t> none(count, 0);
        if (!store_ || count == 0) return none;
        protocol::PluginRef<k::ByteBuffer> buffer;
        if (FAILED(plugin::CreateKernelObject(buffer))) return none;
        ::AcquireSRWLockExclusive(&g_bitmapLock);
        g_bitmapOwner = ::GetCurrentThreadId();
        std::vector<uint32_t> ids = base::CallGuarded(L"CBexStore::AllocateLocked", none,
                                                      [&] { return AllocateLocked(count, buffer.Get()); });
        g_bitmapOwner = 0;
        ::ReleaseSRWLockExclusive(&g_bitmapLock);
        return ids;
    });
}

bool CBexStore::HeldBy(DWORD threadId) noexcept { return threadId != 0 && g_bitmapOwner == threadId; }

bool CBexStore::Write(const std::vector<BYTE>& bitmap, uint32_t base) {
    return protocol::ValueSet(store_.Get(), kStoreAppIdUsage, kValueName, bitmap.data(), bitmap.size(),
                         bitmap.size() > kLargeAbove, base);
}

namespace {

// One id taken from `bitmap` (bit b of word i is base + 32 i + b), as one
// allocation would take it; 0 when there is none. `from` is the first word
// that may have a clear bit.
uint32_t TakeId(std::vector<BYTE>& bitmap, uint32_t base, size_t& from) {
    // Bytes past the last whole word stand for no id.
    const size_t words = bitmap.size() / 4;
    for (size_t i = from; i < words; ++i) {
        const uint32_t word = LoadWord(&bitmap[4 * i]);
        if (word == 0xFFFFFFFFu) continue;
        int bit = 0;
        while (word & (1u << bit)) ++bit;
        const uint64_t id = static_cast<uint64_t>(base) + 32ull * i + static_cast<uint64_t>(bit);
        if (id > kLastId) {
            // Out of ids: start over from the base (the base itself stays taken).
            std::fill(bitmap.begin(), bitmap.end(), BYTE{0});
            StoreWord(&bitmap[0], 1);
            from = 0;
            return 0;
        }
        StoreWord(&bitmap[4 * i], word | (1u << bit));
        from = i;
        return static_cast<uint32_t>(id);
    }
    from = words;
    const uint64_t id = static_cast<uint64_t>(base) + 32ull * words;
    if (id > kLastId) return 0;
    // Grown by one word, which takes this id; a part word at the end goes.
    bitmap.resize(words * 4 + 4);
    StoreWord(&bitmap[words * 4], 1);
    return static_cast<uint32_t>(id);
}

}  // namespace

std::vector<uint32_t> CBexStore::AllocateLocked(size_t count, k::ByteBuffer* buffer) {
    const std::vector<uint32_t> none(count, 0);
    uint32_t base = kFirstId;
    const auto stored = protocol::ValueGet(store_.Get(), kStoreAppIdUsage, kValueName, buffer, &base);
    // A buffer the store filled but that does not hold up says nothing of the
    // ids taken: give none rather than start the bitmap over.
    if (!stored && !protocol::BufferBytes(buffer)) return none;
    std::vector<uint32_t> ids;
    std::vector<BYTE> bitmap;
    std::vector<BYTE> read;  // as the store holds it; empty when it holds nothing usable
    // A base the ids could not come from is as good as no value at all.
    if (!stored || base < kFirstId || base > kLastId) {
        base = kFirstId;
        bitmap = {1, 0, 0, 0};
        ids.push_back(kFirstId);
    } else {
        read.assign(stored->data, stored->data + stored->size);
        bitmap = read;
    }
    size_t from = 0;
    while (ids.size() < count) ids.push_back(TakeId(bitmap, base, from));
    if (bitmap != read && !Write(bitmap, base))
        base::LogLine(L"app ids", L"the kernel's store refused the ids taken; they may be given again");
    return ids;
}

}  // namespace catalog
