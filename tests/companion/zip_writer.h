// Writes small zip archives for the unpacker's tests, including broken and
// hostile ones that no ordinary tool would make: stored entries, exact names,
// optional UTF-8 flag, optional wrong checksum.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

struct ZipEntrySpec {
    std::string name;  // bytes as they go into the archive
    std::string data;
    bool utf8Flag = false;
    bool badCrc = false;
};

inline std::string BuildZip(const std::vector<ZipEntrySpec>& entries) {
    std::string out, central;
    auto u16 = [](std::string& s, uint16_t v) {
        s.push_back(static_cast<char>(v & 0xFF));
        s.push_back(static_cast<char>(v >> 8));
    };
    auto u32 = [&](std::string& s, uint32_t v) {
        u16(s, static_cast<uint16_t>(v & 0xFFFF));
        u16(s, static_cast<uint16_t>(v >> 16));
    };
    for (const ZipEntrySpec& e : entries) {
        uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size()));
        if (e.badCrc) crc ^= 0x5A5A5A5A;
        const uint16_t flags = e.utf8Flag ? (1u << 11) : 0;
        const uint32_t offset = static_cast<uint32_t>(out.size());
        u32(out, 0x04034b50);
        u16(out, 10);
        u16(out, flags);
        u16(out, 0);  // stored
        u16(out, 0);
        u16(out, 0x21);
        u32(out, crc);
        u32(out, static_cast<uint32_t>(e.data.size()));
        u32(out, static_cast<uint32_t>(e.data.size()));
        u16(out, static_cast<uint16_t>(e.name.size()));
        u16(out, 0);
        out += e.name;
        out += e.data;

        u32(central, 0x02014b50);
        u16(central, 20);
        u16(central, 10);
        u16(central, flags);
        u16(central, 0);
        u16(central, 0);
        u16(central, 0x21);
        u32(central, crc);
        u32(central, static_cast<uint32_t>(e.data.size()));
        u32(central, static_cast<uint32_t>(e.data.size()));
        u16(central, static_cast<uint16_t>(e.name.size()));
        u16(central, 0);
        u16(central, 0);
        u16(central, 0);
        u16(central, 0);
        u32(central, 0);
        u32(central, offset);
        central += e.name;
    }
    const uint32_t centralOffset = static_cast<uint32_t>(out.size());
    out += central;
    u32(out, 0x06054b50);
    u16(out, 0);
    u16(out, 0);
    u16(out, static_cast<uint16_t>(entries.size()));
    u16(out, static_cast<uint16_t>(entries.size()));
    u32(out, static_cast<uint32_t>(central.size()));
    u32(out, centralOffset);
    u16(out, 0);
    return out;
}
