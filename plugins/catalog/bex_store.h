// Local ids for software entries that arrive without an id of their own,
// handed out from a bitmap kept in the kernel's value store so that an id
// stays taken across runs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

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

private:
    std::vector<uint32_t> AllocateLocked(size_t count);
    bool Write(const std::vector<BYTE>& bitmap, uint32_t base);

    CRITICAL_SECTION lock_;
    protocol::PluginRef<> store_;
};

}  // namespace catalog
