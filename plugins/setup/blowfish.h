// The block cipher that protects the recommend-and-update configuration.
// Only buffer decryption is used by the product; encryption of one block is
// here for the fixture tool and the round-trip check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace setup {

constexpr size_t kBlowfishPWords = 18;
constexpr size_t kBlowfishSWords = 4 * 256;
extern const uint32_t kBlowfishInitialWords[kBlowfishPWords + kBlowfishSWords];

enum BlowfishMode : uint32_t { kBlowfishEcb = 0, kBlowfishCbc = 1 };

struct BlowfishContext {
    std::unique_ptr<uint32_t[]> P;  // 18 words
    std::unique_ptr<uint32_t[]> S;  // S-boxes 0 to 3, 256 words each
    uint32_t Mode = kBlowfishEcb;

    // False when the tables could not be allocated; the context is then
    // unusable and every function below leaves its data alone.
    bool Allocate();
    bool Ready() const { return P && S; }
};

// Keys the context with the product's fixed key and selects ECB.
bool BlowfishInit(BlowfishContext& ctx);
// Any key of 1 to 72 bytes; the fixed key goes through here too.
bool BlowfishSetKey(BlowfishContext& ctx, const uint8_t* key, size_t length);

void BlowfishEncryptBlock(const BlowfishContext& ctx, uint32_t* left, uint32_t* right);
void BlowfishDecryptBlock(const BlowfishContext& ctx, uint32_t* left, uint32_t* right);

// Decrypts `length` bytes of `input` into `output` (which may be `input`)
// and returns the number of plaintext bytes. The last block takes whatever
// follows the data in `output` (the caller's zero padding), so `capacity`
// must reach the length rounded up to 8; otherwise nothing is written and 0
// is returned.
uint32_t BlowfishDecryptBuffer(const uint8_t* input, uint32_t length, const BlowfishContext& ctx,
                               uint8_t* output, uint32_t capacity);

}  // namespace setup
