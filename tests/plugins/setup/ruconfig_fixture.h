// RUConfig.dat made from JSON text the way the publisher makes it: ECB with
// the fixed key, zero padding to whole blocks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugins/setup/blowfish.h"

inline std::vector<uint8_t> EncryptRecommendConfigText(const std::string& text) {
    setup::BlowfishContext ctx;
    std::vector<uint8_t> data(text.begin(), text.end());
    data.resize((data.size() + 7) / 8 * 8, 0);
    if (!ctx.Allocate() || !setup::BlowfishInit(ctx)) return {};
    for (size_t i = 0; i < data.size(); i += 8) {
        uint8_t* b = &data[i];
        uint32_t l = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
        uint32_t r = uint32_t(b[4]) << 24 | uint32_t(b[5]) << 16 | uint32_t(b[6]) << 8 | b[7];
        setup::BlowfishEncryptBlock(ctx, &l, &r);
        for (int k = 0; k < 4; ++k) {
            b[k] = uint8_t(l >> (24 - 8 * k));
            b[4 + k] = uint8_t(r >> (24 - 8 * k));
        }
    }
    return data;
}
