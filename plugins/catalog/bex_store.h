// Local ids for software entries that arrive without an id of their own,
// handed out from a bitmap kept in the kernel's value store so that an id
// stays taken across runs.
//
// The bitmap is one value for the whole process, so its read, change and
// write are serialised by one lock for the process, whatever store object
// asks: two managers must never hand out the same id. That lock is held
// across the store's get and set and nothing else: the byte buffer is made
// before and let go of after, and the store never calls back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "protocol/bex_kernel.h"
#include "protocol/plugin_ref.h"

namespace catalog {

class CBexStore {
public:
    // The value store is asked of the kernel when it is bound.
    CBexStore() noexcept;
    ~CBexStore();
    CBexStore(const CBexStore&) = delete;
    CBexStore& operator=(const CBexStore&) = delete;

    // The lowest free id from 90000000 to 99999999 (marked taken), or 0 when
    // none can be given.
    uint32_t AllocateAppId() noexcept;
    // `count` ids (0 for none) as that many calls of AllocateAppId would
    // give them, with one read and one write of the bitmap; fewer only when
    // memory ran out.
    std::vector<uint32_t> AllocateAppIds(size_t count) noexcept;
    // Whether the thread `threadId` holds the bitmap's lock now (a worker
    // is never ended by force then).
    static bool HeldBy(DWORD threadId) noexcept;

private:
    // Under the process's lock; `buffer` is a fresh byte buffer.
    std::vector<uint32_t> AllocateLocked(size_t count, protocol::kernel::ByteBuffer* buffer);
    bool Write(const std::vector<BYTE>& bitmap, uint32_t base);

    protocol::PluginRef<protocol::kernel::ValueStore> store_;
};

}  // namespace catalog
