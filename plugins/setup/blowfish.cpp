#include "plugins/setup/blowfish.h"

#include <cstring>
#include <new>

namespace setup {

namespace {

// The fixed key is taken with its terminating NUL: 45 bytes.
const char kFixedKey[] = "KarXml{7C21A9D4-3B58-4E06-9F1A-52D8B7E3C610}";
static_assert(sizeof(kFixedKey) == 45, "the key schedule uses the 44 characters and the NUL");

constexpr int kRounds = 16;

uint32_t F(const uint32_t* s, uint32_t x) {
    const uint32_t a = x >> 24, b = (x >> 16) & 0xFF, c = (x >> 8) & 0xFF, d = x & 0xFF;
    return ((s[a] + s[256 + b]) ^ s[512 + c]) + s[768 + d];
}

uint32_t ReadBigEndian(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

void WriteBigEndian(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

}  // namespace

bool BlowfishContext::Allocate() {
    P.reset(new (std::nothrow) uint32_t[kBlowfishPWords]);
    S.reset(new (std::nothrow) uint32_t[kBlowfishSWords]);
    return Ready();
}

bool BlowfishSetKey(BlowfishContext& ctx, const uint8_t* key, size_t length) {
    if (!ctx.Ready() || !key || length == 0) return false;
    std::memcpy(ctx.P.get(), kBlowfishInitialWords, kBlowfishPWords * sizeof(uint32_t));
    std::memcpy(ctx.S.get(), kBlowfishInitialWords + kBlowfishPWords, kBlowfishSWords * sizeof(uint32_t));
    size_t k = 0;
    for (size_t i = 0; i < kBlowfishPWords; ++i) {
        uint32_t word = 0;
        for (int j = 0; j < 4; ++j) {
            word = (word << 8) | key[k];
            k = (k + 1) % length;
        }
        ctx.P[i] ^= word;
    }
    uint32_t left = 0, right = 0;
    for (size_t i = 0; i < kBlowfishPWords; i += 2) {
        BlowfishEncryptBlock(ctx, &left, &right);
        ctx.P[i] = left;
        ctx.P[i + 1] = right;
    }
    for (size_t i = 0; i < kBlowfishSWords; i += 2) {
        BlowfishEncryptBlock(ctx, &left, &right);
        ctx.S[i] = left;
        ctx.S[i + 1] = right;
    }
    return true;
}

bool BlowfishInit(BlowfishContext& ctx) {
    ctx.Mode = kBlowfishEcb;
    return BlowfishSetKey(ctx, reinterpret_cast<const uint8_t*>(kFixedKey), sizeof(kFixedKey));
}

namespace {

// Decryption is encryption with the P-array taken in reverse order.
void Feistel(const BlowfishContext& ctx, uint32_t* left, uint32_t* right, bool reverse) {
    if (!ctx.Ready()) return;
    const uint32_t* s = ctx.S.get();
    auto p = [&](int i) { return ctx.P[reverse ? kRounds + 1 - i : i]; };
    uint32_t l = *left, r = *right;
    for (int i = 0; i < kRounds; ++i) {
        l ^= p(i);
        r ^= F(s, l);
        const uint32_t t = l;
        l = r;
        r = t;
    }
    *left = r ^ p(kRounds + 1);
    *right = l ^ p(kRounds);
}

}  // namespace

void BlowfishEncryptBlock(const BlowfishContext& ctx, uint32_t* left, uint32_t* right) {
    Feistel(ctx, left, right, false);
}

void BlowfishDecryptBlock(const BlowfishContext& ctx, uint32_t* left, uint32_t* right) {
    Feistel(ctx, left, right, true);
}

uint32_t BlowfishDecryptBuffer(const uint8_t* input, uint32_t length, const BlowfishContext& ctx,
                               uint8_t* output, uint32_t capacity) {
    if (length == 0) return 0;
    if (!input || !output || !ctx.Ready()) return 0;
    const uint32_t blocks = (length - 1) / 8 + 1;
    if (capacity / 8 < blocks) return 0;
    const uint32_t total = blocks * 8;
    if (output != input) std::memmove(output, input, length);

    uint32_t prevLeft = 0, prevRight = 0;  // CBC's all-zero vector
    for (uint32_t b = 0; b < blocks; ++b) {
        uint8_t* block = output + b * 8;
        const uint32_t cipherLeft = ReadBigEndian(block);
        const uint32_t cipherRight = ReadBigEndian(block + 4);
        uint32_t left = cipherLeft, right = cipherRight;
        BlowfishDecryptBlock(ctx, &left, &right);
        if (ctx.Mode == kBlowfishCbc) {
            left ^= prevLeft;
            right ^= prevRight;
            prevLeft = cipherLeft;
            prevRight = cipherRight;
        }
        WriteBigEndian(block, left);
        WriteBigEndian(block + 4, right);
    }

    uint32_t result = total;
    if (ctx.Mode == kBlowfishCbc) {
        // A last byte of 0 is no padding; one above the block or the result
        // would point outside it.
        const uint32_t pad = output[total - 1];
        if (pad >= 1 && pad <= 8 && pad <= total && output[total - pad] == pad) {
            output[total - pad] = 0;
            result = total - pad;
        }
    }
    return result;
}

}  // namespace setup
