// App ids from the bitmap in the stand-in's value store.
#include <algorithm>
#include <set>
#include <thread>
#include <vector>

#include "plugins/catalog/bex_store.h"
#include "tests/plugins/catalog/catalog_fixture.h"

namespace {

using catalog::CBexStore;

class AppIdStore : public CatalogTest {};

constexpr uint32_t kBase = 90000000;
constexpr uint32_t kHighBase = 99999990;

std::string Repeat(const std::string& word, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i) out += word;
    return out;
}

struct Case {
    const char* what;
    bool preset;
    uint32_t extra;
    std::string hex;
    std::vector<uint32_t> ids;  // successive calls
    std::vector<std::string> writes;
};

TEST_F(AppIdStore, IdsFollowTheBitmap) {
    const std::string atBase = "store.set 22 \"AppIdUsage\" size=4 extra=0x55D4A80 large=0 data=01000000";
    const Case cases[] = {
        {"empty store", false, 0, "", {90000000}, {atBase}},
        {"first word full", true, kBase, "FFFFFFFF", {90000032},
         {"store.set 22 \"AppIdUsage\" size=8 extra=0x55D4A80 large=0 data=FFFFFFFF01000000"}},
        {"bit 2 clear", true, kBase, "FBFFFFFF", {90000002},
         {"store.set 22 \"AppIdUsage\" size=4 extra=0x55D4A80 large=0 data=FFFFFFFF"}},
        {"256 full words grow large", true, kBase, Repeat("FFFFFFFF", 256), {kBase + 8192},
         {"store.set 22 \"AppIdUsage\" size=1028 extra=0x55D4A80 large=1"}},
        {"past the highest id: reset", true, kHighBase, "FF030000", {0, 99999991},
         {"store.set 22 \"AppIdUsage\" size=4 extra=0x5F5E0F6 large=0 data=01000000",
          "store.set 22 \"AppIdUsage\" size=4 extra=0x5F5E0F6 large=0 data=03000000"}},
        {"full at the high base", true, kHighBase, "FFFFFFFF", {0}, {}},
        {"base 0 counts as missing", true, 0, "FFFFFFFF", {90000000}, {atBase}},
        {"size 0", true, kBase, "", {90000000}, {atBase}},
        {"size 3", true, kBase, "FFFFFF", {90000000}, {atBase}},
        {"a part word keeps its size", true, kBase, "0F00000077", {90000004},
         {"store.set 22 \"AppIdUsage\" size=5 extra=0x55D4A80 large=0 data=1F00000077"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearStore();
        ClearLog();
        if (c.preset) PresetValue(22, "AppIdUsage", c.extra, c.hex);
        CBexStore store;
        for (uint32_t id : c.ids) EXPECT_EQ(store.AllocateAppId(), id);
        EXPECT_EQ(LinesStartingWith("store.set"), c.writes);
    }
}

TEST_F(AppIdStore, WithoutTheValueStoreNothingIsGivenOrWritten) {
    Configure("[classes]\n94=refuse\n");
    CBexStore store;
    EXPECT_EQ(store.AllocateAppId(), 0u);
    Configure("[classes]\n7=refuse\n");
    CBexStore noBuffer;
    EXPECT_EQ(noBuffer.AllocateAppId(), 0u);
    EXPECT_TRUE(LinesStartingWith("store.").empty());
}

TEST_F(AppIdStore, ThreadsGetDistinctIds) {
    // Two stores, as two managers hold them: the bitmap is one value.
    CBexStore stores[2];
    std::vector<std::vector<uint32_t>> got(8);
    std::vector<std::thread> threads;
    for (auto& ids : got)
        threads.emplace_back([&store = stores[threads.size() % 2], &ids] {
            for (int i = 0; i < 100; ++i) ids.push_back(store.AllocateAppId());
        });
    for (auto& t : threads) t.join();
    std::set<uint32_t> all;
    for (const auto& ids : got) all.insert(ids.begin(), ids.end());
    EXPECT_EQ(all.size(), 800u);
    EXPECT_EQ(*all.begin(), kBase);
    EXPECT_EQ(*all.rbegin(), kBase + 799);
}

}  // namespace
