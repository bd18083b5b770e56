// Soft ids as the kernel's byte buffers (class 7) carry them: whole 32-bit
// words one after the other, in the machine's order.
#pragma once

#include <cstdint>
#include <vector>

#include "protocol/bex_kernel.h"
#include "protocol/kernel_calls.h"
#include "protocol/plugin_ref.h"

namespace catalog {

// The ids in `bytes`; bytes past the last whole word stand for none.
std::vector<uint32_t> ReadIds(const protocol::ByteView& bytes);
// The ids in a buffer; none when it holds no data that holds up.
std::vector<uint32_t> ReadIds(protocol::kernel::ByteBuffer* buffer);

// A new buffer holding `ids` (an empty one for none); null when the kernel
// gives none or cannot hold them.
protocol::PluginRef<protocol::kernel::ByteBuffer> NewIdBuffer(const std::vector<uint32_t>& ids);

}  // namespace catalog
