#include "plugins/setup/blowfish.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/plugins/setup/ruconfig_fixture.h"

using namespace setup;

namespace {

std::vector<uint8_t> Hex(const std::string& hex) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(uint8_t(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return out;
}

std::string ToHex(const uint8_t* data, size_t size) {
    std::string out;
    char byte[3];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(byte, sizeof(byte), "%02X", data[i]);
        out += byte;
    }
    return out;
}

std::string Block(const BlowfishContext& ctx, const std::string& hex, bool encrypt) {
    const std::vector<uint8_t> b = Hex(hex);
    uint32_t l = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
    uint32_t r = uint32_t(b[4]) << 24 | uint32_t(b[5]) << 16 | uint32_t(b[6]) << 8 | b[7];
    if (encrypt) {
        BlowfishEncryptBlock(ctx, &l, &r);
    } else {
        BlowfishDecryptBlock(ctx, &l, &r);
    }
    char out[17];
    std::snprintf(out, sizeof(out), "%08X%08X", static_cast<unsigned>(l), static_cast<unsigned>(r));
    return out;
}

BlowfishContext Keyed(const std::string& key) {
    BlowfishContext ctx;
    EXPECT_TRUE(ctx.Allocate());
    EXPECT_TRUE(BlowfishSetKey(ctx, reinterpret_cast<const uint8_t*>(key.data()), key.size()));
    return ctx;
}

BlowfishContext Fixed() {
    BlowfishContext ctx;
    EXPECT_TRUE(ctx.Allocate());
    EXPECT_TRUE(BlowfishInit(ctx));
    return ctx;
}

TEST(Blowfish, PublishedVectors) {
    struct Case {
        std::string key, plain, cipher;
    } cases[] = {
        {std::string(8, '\0'), "0000000000000000", "4EF997456198DD78"},
        {std::string(8, '\xFF'), "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
        {"abcdefghijklmnopqrstuvwxyz", "424C4F5746495348", "324ED0FEF413A203"},
        {"Who is John Galt?", "FEDCBA9876543210", "CC91732B8022F684"},
    };
    for (const Case& c : cases) {
        const BlowfishContext ctx = Keyed(c.key);
        EXPECT_EQ(Block(ctx, c.plain, true), c.cipher) << c.key;
        EXPECT_EQ(Block(ctx, c.cipher, false), c.plain) << c.key;
    }
}

TEST(Blowfish, FixedKeyIncludesItsTerminator) {
    const BlowfishContext ctx = Fixed();
    EXPECT_EQ(ctx.Mode, kBlowfishEcb);
    EXPECT_EQ(Block(ctx, "0000000000000000", true), "49DAACBCB3F75894");
    EXPECT_EQ(Block(ctx, "0000000000000000", false), "38144D1BDEFF82B8");
    EXPECT_EQ(Block(ctx, "0123456789ABCDEF", true), "6D99E3D2FCBD21DE");
    const BlowfishContext without = Keyed("KarXml{7C21A9D4-3B58-4E06-9F1A-52D8B7E3C610}");
    EXPECT_EQ(Block(without, "0000000000000000", true), "C2AFB6A51C41FF6F");
}

TEST(Blowfish, EcbBufferDecryptsWholeBlocks) {
    const BlowfishContext ctx = Fixed();
    std::vector<uint8_t> one = Hex("7DB6A0825DA36863");
    EXPECT_EQ(BlowfishDecryptBuffer(one.data(), 8, ctx, one.data(), 8), 8u);
    EXPECT_EQ(ToHex(one.data(), 8), "5B5D000000000000");

    const std::string text = R"([{"involve":1,"adId":7,"rcmendUrl":"http://127.0.0.1/x"}])";
    ASSERT_EQ(text.size(), 57u);
    const std::vector<uint8_t> cipher = EncryptRecommendConfigText(text);
    EXPECT_EQ(ToHex(cipher.data(), cipher.size()),
              "DDC77A72E54DBE5B7E1E3EC4B6D529ECDD9BFD44EB7E93F0962B4158090FC37F2AABDB5864AA9DDCCA7B98C62A47C64C"
              "8D9089CFA0F1410E6CBCE14856A440EE");
    std::vector<uint8_t> plain(72, 0);
    EXPECT_EQ(BlowfishDecryptBuffer(cipher.data(), 64, ctx, plain.data(), 64), 64u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(plain.data())), text);

    std::vector<uint8_t> nine(16, 0);
    EXPECT_EQ(BlowfishDecryptBuffer(cipher.data(), 9, ctx, nine.data(), 16), 16u);
    EXPECT_EQ(BlowfishDecryptBuffer(cipher.data(), 9, ctx, nine.data(), 15), 0u) << "capacity below 16";
    EXPECT_EQ(BlowfishDecryptBuffer(cipher.data(), 0, ctx, nine.data(), 0), 0u);
}

TEST(Blowfish, CbcStripsOnlyValidPadding) {
    BlowfishContext ctx = Fixed();
    ctx.Mode = kBlowfishCbc;
    std::vector<uint8_t> buffer = Hex("E7089FE63AC1C11BDC4DDA0E1435931F");
    EXPECT_EQ(BlowfishDecryptBuffer(buffer.data(), 16, ctx, buffer.data(), 16), 13u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), 13), "ABCDEFGHIJKLM");
    EXPECT_EQ(ToHex(buffer.data() + 13, 3), "000303");

    // A last byte of 0 is no padding: nothing stripped, and nothing past the
    // block looked at (a page no one may touch follows it).
    SYSTEM_INFO system = {};
    ::GetSystemInfo(&system);
    const DWORD page = system.dwPageSize;
    auto* pages = static_cast<uint8_t*>(::VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD was = 0;
    ASSERT_TRUE(::VirtualProtect(pages + page, page, PAGE_NOACCESS, &was));
    uint8_t* zero = pages + page - 8;
    const std::vector<uint8_t> block = Hex("49DAACBCB3F75894");
    std::copy(block.begin(), block.end(), zero);
    EXPECT_EQ(BlowfishDecryptBuffer(zero, 8, ctx, zero, 8), 8u);
    EXPECT_EQ(ToHex(zero, 8), "0000000000000000");
    ::VirtualFree(pages, 0, MEM_RELEASE);
}

}  // namespace
