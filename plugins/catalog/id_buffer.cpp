#include "plugins/catalog/id_buffer.h"

#include <climits>
#include <cstring>

#include "plugins/common/kernel_calls.h"
#include "protocol/bex_kernel.h"

namespace catalog {

namespace {
constexpr size_t kIdSize = sizeof(uint32_t);
}  // namespace

std::vector<uint32_t> ReadIds(const protocol::ByteView& bytes) {
    std::vector<uint32_t> ids(bytes.size / kIdSize);
    if (!ids.empty()) std::memcpy(ids.data(), bytes.data, ids.size() * kIdSize);
    return ids;
}

std::vector<uint32_t> ReadIds(protocol::kernel::ByteBuffer* buffer) {
    const auto bytes = protocol::BufferData(buffer);
    return bytes ? ReadIds(*bytes) : std::vector<uint32_t>();
}

protocol::PluginRef<protocol::kernel::ByteBuffer> NewIdBuffer(const std::vector<uint32_t>& ids) {
    protocol::PluginRef<protocol::kernel::ByteBuffer> buffer;
    if (FAILED(plugin::CreateKernelObject(buffer))) return {};
    if (ids.empty()) return buffer;
    if (ids.size() > static_cast<size_t>(INT_MAX) / kIdSize) return {};
    const int size = static_cast<int>(ids.size() * kIdSize);
    BYTE* data = protocol::BufferAllocate(buffer.Get(), size);
    if (!data) return {};
    std::memcpy(data, ids.data(), ids.size() * kIdSize);
    return buffer;
}

}  // namespace catalog
