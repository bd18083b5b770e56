// The software information manager against the stand-in kernel: queries,
// the cache and its refresh, the value store across Start and Stop, and a
// request that never ends.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "plugins/catalog/async_result.h"
#include "plugins/catalog/soft_info.h"
#include "plugins/common/kernel_calls.h"
#include "tests/plugins/catalog/catalog_fixture.h"
#include "tests/plugins/catalog/client_result.h"
#include "tests/plugins/deadline.h"
#include "tests/plugins/process_figures.h"
#include "tests/support/message_pump.h"
#include "base/handles.h"

using testsupport::Narrow;

namespace {

using catalog::CSoftInfo;
using catalog::ISoftInfoData;

constexpr char kIds101And102[] = "soft_ids=101,102,&lrtime=0&tail=1";

class SoftInfoQuery : public CatalogTest {
protected:
    void ConfigureUpdate(const std::string& fixtures, const std::string& extra = "") {
        Configure("[fetch]\nfixtures=" + fixtures + "\n" + extra + "\n[environment]\ntail=tail=1\n" +
                  "[details]\nb101=8.57|Plays everything|short\nb102=12|Views pictures|pics\n");
    }
    CSoftInfo* Make() {
        IBexPlugin* object = nullptr;
        EXPECT_EQ(catalog::CreateSoftInfo(&object), S_OK);
        return static_cast<CSoftInfo*>(object);
    }
    // The kernel keeps its own reference: the last one goes to -1.
    static void Destroy(CSoftInfo* info) {
        EXPECT_EQ(info->Release(), 0);
        EXPECT_EQ(info->Release(), 0);
    }

    struct Pending {
        base::Event event;
        protocol::PluginRef<IBexAsyncResult> result;
        LONG Wait(DWORD ms = 10000) {
            if (::WaitForSingleObject(event.Get(), ms) != WAIT_OBJECT_0) return -1;
            return result->GetResult(nullptr);
        }
    };
    static protocol::PluginRef<protocol::kernel::ByteBuffer> Ids(const std::vector<uint32_t>& ids) {
        protocol::PluginRef<protocol::kernel::ByteBuffer> buffer;
        plugin::CreateKernelObject(buffer);
        BYTE* data = protocol::BufferAllocate(buffer.Get(), static_cast<int>(ids.size() * 4));
        if (!ids.empty()) std::memcpy(data, ids.data(), ids.size() * 4);
        return buffer;
    }
    Pending Query(CSoftInfo* info, const std::vector<uint32_t>& ids) {
        Pending p;
        p.event.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        p.result = catalog::CreateAsyncResult(p.event.Get(), nullptr);
        EXPECT_EQ(info->Query(Ids(ids).Get(), p.result.Get()), 1);
        return p;
    }
    static protocol::PluginRef<ISoftInfoData> Info(CSoftInfo* info, uint32_t id) {
        ISoftInfoData* out = nullptr;
        info->GetInfo(id, &out);
        return protocol::PluginRef<ISoftInfoData>(out);
    }
    std::vector<std::string> Fetches() const { return LinesStartingWith("fetch "); }
};

TEST_F(SoftInfoQuery, AQueryFetchesOnceThenTheCacheAnswersAndIsRefreshedOncePerRun) {
    ConfigureUpdate(FixtureDir("update"));
    CSoftInfo* info = Make();
    ASSERT_EQ(info->Start(), 1);
    EXPECT_EQ(info->Start(), 1);
    EXPECT_EQ(Query(info, {101, 102}).Wait(), 1);
    ASSERT_EQ(Fetches().size(), 1u);
    const std::string url = Fetches()[0];
    EXPECT_EQ(url.substr(url.size() - std::strlen(kIds101And102)), kIds101And102);
    EXPECT_EQ(url.find("fetch http://"), 0u);
    EXPECT_EQ(CountLines("details.start upgrade [b101,b102]"), 1);

    ISoftInfoData* const sentinel = reinterpret_cast<ISoftInfoData*>(0x5EA1);
    ISoftInfoData* out = sentinel;
    EXPECT_EQ(info->GetInfo(999, &out), 0);
    EXPECT_EQ(out, sentinel);
    EXPECT_EQ(info->GetInfo(101, nullptr), 0);
    auto a = Info(info, 101);
    auto b = Info(info, 102);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->GetRating(), 85u);
    EXPECT_EQ(std::wstring(a->GetDetailsText()), L"Plays everything");
    EXPECT_EQ(std::wstring(b->GetRatingText()), L"12");
    EXPECT_EQ(static_cast<catalog::CSoftInfoData*>(b.Get())->Record().rating, 120u);
    EXPECT_EQ(b->GetRating(), 0u);
    EXPECT_EQ(std::wstring(b->GetName()), L"图片查看器");

    // Cached: answered at once, refreshed by the cache thread once per run.
    EXPECT_EQ(Query(info, {101}).Wait(), 1);
    ASSERT_TRUE(WaitForLines("fetch ", 2));
    EXPECT_NE(Fetches()[1].find("soft_ids=101,&lrtime=0&tail=1"), std::string::npos);
    ASSERT_TRUE(WaitForLines("details.start", 2));
    EXPECT_EQ(Query(info, {101}).Wait(), 1);
    ::Sleep(400);  // a refresh would have happened by now
    EXPECT_EQ(Fetches().size(), 2u);

    EXPECT_EQ(info->Stop(), 1);
    EXPECT_EQ(CountLines("store.set 16 \"data\" size=43208 extra=0x20001 large=1"), 1);
    EXPECT_EQ(info->Stop(), 1);
    EXPECT_TRUE(Info(info, 102)) << "GetInfo after Stop";
    a.Reset();
    b.Reset();
    Destroy(info);
}

TEST_F(SoftInfoQuery, ARefreshWithoutDetailsKeepsTheEarlierOnes) {
    ConfigureUpdate(FixtureDir("update"));
    CSoftInfo* info = Make();
    ASSERT_EQ(info->Start(), 1);
    EXPECT_EQ(Query(info, {101}).Wait(), 1);
    Configure("[fetch]\nfixtures=" + FixtureDir("update") + "\n[details]\nb102=abc|d|s\n");
    EXPECT_EQ(Query(info, {101, 102}).Wait(), 1);
    // The refresh of 101 (102 was fetched by the query); the records are
    // read under the lock the refresh holds until it is done.
    ASSERT_TRUE(WaitForLines("details.find b101 0"));
    EXPECT_EQ(CountLines("details.find b101 0"), 1);
    auto a = Info(info, 101);
    auto b = Info(info, 102);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(std::wstring(a->GetDetailsText()), L"Plays everything");
    EXPECT_EQ(a->GetRating(), 85u);
    EXPECT_EQ(std::wstring(b->GetRatingText()), L"abc");
    EXPECT_EQ(static_cast<catalog::CSoftInfoData*>(b.Get())->Record().rating, 0u);
    a.Reset();
    b.Reset();
    Destroy(info);
}

TEST_F(SoftInfoQuery, NoQueryWhenTheEnvironmentForbidsIt) {
    Configure("[environment]\nquery=0\n");
    CSoftInfo* info = Make();
    ASSERT_EQ(info->Start(), 1);
    EXPECT_EQ(Query(info, {101}).Wait(), 2);
    EXPECT_TRUE(Fetches().empty());
    Destroy(info);
}

TEST_F(SoftInfoQuery, ManyIdsAreAskedInAddressesThatFit) {
    const std::wstring dir = WorkDir() + L"many";
    ::CreateDirectoryW(dir.c_str(), nullptr);
    std::vector<uint32_t> ids;
    {
        std::ofstream answer(Narrow(dir) + "\\get_update_info.php", std::ios::binary);
        answer << "<ret><softs>";
        for (uint32_t i = 0; i < 200; ++i) {
            ids.push_back(1000000000u + i * 7);
            answer << "<soft><id>" << ids.back() << "</id><name>n" << i << "</name></soft>";
        }
        answer << "</softs></ret>";
    }
    ConfigureUpdate(Narrow(dir), "raw=1");
    CSoftInfo* info = Make();
    ASSERT_EQ(info->Start(), 1);
    EXPECT_EQ(Query(info, ids).Wait(), 1);
    EXPECT_GT(Fetches().size(), 1u);
    for (const std::string& line : Fetches()) EXPECT_LE(line.size() - 6, 2047u);
    for (uint32_t id : ids) EXPECT_TRUE(Info(info, id)) << id;
    Destroy(info);
}

TEST_F(SoftInfoQuery, CacheValuesOfAnotherShapeAreIgnoredOrBounded) {
    const std::string id7 = "07000000";
    const std::string unterminated = id7 + std::string((21604 - 4) * 2, '4');  // every text "AAA..." without NUL
    const struct {
        const char* what;
        uint32_t extra;
        std::string hex;
        bool cached;
    } cases[] = {
        {"version 2", 0x10002, id7, false},
        {"count 0", 0x00001, id7, false},
        {"size not divisible", 0x20001, id7 + "00", false},
        {"record too large", 0x10001, unterminated + "00", false},
        {"record below 4 bytes", 0x10001, "070000", false},
        {"short record", 0x10001, id7 + "4100", false},
        {"unterminated texts", 0x10001, unterminated, true},
    };
    Configure("[environment]\nquery=0\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearStore();
        PresetValue(16, "data", c.extra, c.hex, 1);
        CSoftInfo* info = Make();
        ASSERT_EQ(info->Start(), 1);
        auto record = Info(info, 7);
        EXPECT_EQ(static_cast<bool>(record), c.cached);
        if (record) {
            EXPECT_LE(std::wcslen(record->GetName()), 99u);
            EXPECT_LE(std::wcslen(record->GetShell()), 1023u);
        }
        record.Reset();
        Destroy(info);
    }
}

TEST_F(SoftInfoQuery, ASetOfTinyRecordsTakesNoMemory) {
    // 65535 records of 4 bytes each, each id its own: taken one by one they
    // would become 1.4 GB of whole records.
    std::string hex;
    char word[9];
    for (uint32_t id = 1; id <= 0xFFFF; ++id) {
        std::snprintf(word, sizeof(word), "%02X%02X0000", id & 0xFF, id >> 8);
        hex += word;
    }
    Configure("[environment]\nquery=0\n");
    PresetValue(16, "data", 0xFFFF0001u, hex, 1);
    const size_t before = PrivateBytes();
    CSoftInfo* info = Make();
    ASSERT_EQ(info->Start(), 1);
    EXPECT_LT(PrivateBytesGrownSince(before), size_t{16} << 20);
    EXPECT_FALSE(Info(info, 7));
    Destroy(info);
}

TEST_F(SoftInfoQuery, StartAndStopFromManyThreadsLeaveOnePairOfThreadsOrNone) {
    Configure("[environment]\nquery=0\n");
    CSoftInfo* info = Make();
    const int before = CountThreads();
    const LONG terminated = CSoftInfo::Terminations();
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([info, t] {
            for (int i = 0; i < 200; ++i) (i + t) % 2 ? info->Stop() : info->Start();
        });
    for (std::thread& t : threads) t.join();
    const int running = CountThreads() - before;
    EXPECT_TRUE(running == 0 || running == 2) << running;
    EXPECT_EQ(info->Stop(), 1);
    EXPECT_EQ(CountThreads(), before);
    EXPECT_EQ(CSoftInfo::Terminations(), terminated);
    Destroy(info);
}

TEST_F(SoftInfoQuery, QueriesBeforeStartAndWithoutResultAreServed) {
    ConfigureUpdate(FixtureDir("update"));
    CSoftInfo* info = Make();
    Pending early = Query(info, {101});
    protocol::PluginRef<protocol::kernel::ByteBuffer> buffer;
    plugin::CreateKernelObject(buffer);
    *reinterpret_cast<uint32_t*>(protocol::BufferAllocate(buffer.Get(), 4)) = 102;
    EXPECT_EQ(info->Query(buffer.Get(), nullptr), 1);
    EXPECT_EQ(info->Query(nullptr, nullptr), 0);
    EXPECT_EQ(info->GetInfo(101, nullptr), 0);
    ASSERT_EQ(info->Start(), 1);
    EXPECT_EQ(early.Wait(), 1);
    ASSERT_TRUE(WaitForLines("fetch ", 2));
    // Start after Stop reloads the cache over the records in memory.
    EXPECT_EQ(info->Stop(), 1);
    ASSERT_EQ(info->Start(), 1);
    EXPECT_TRUE(Info(info, 101));
    Destroy(info);
}

TEST_F(SoftInfoQuery, QueuedQueriesAreEndedWhenTheManagerGoes) {
    CSoftInfo* info = Make();
    Pending never = Query(info, {101});
    Destroy(info);
    EXPECT_EQ(never.Wait(0), 2);
}

TEST_F(SoftInfoQuery, StopEndsARequestThatNeverCompletes) {
    ConfigureUpdate(FixtureDir("update"));
    CSoftInfo* info = Make();
    ASSERT_EQ(info->Start(), 1);
    EXPECT_EQ(Query(info, {101}).Wait(), 1);
    ConfigureUpdate(FixtureDir("update"), "mode=never");
    Pending hanging = Query(info, {103});
    ASSERT_TRUE(WaitForLines("fetch ", 2));
    const LONG terminated = CSoftInfo::Terminations();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(info->Stop(), 1);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(took.count(), 1000);
    EXPECT_EQ(CSoftInfo::Terminations(), terminated);
    EXPECT_EQ(hanging.Wait(0), 2);
    EXPECT_EQ(LinesStartingWith("store.set 16 \"data\" size=21604 extra=0x10001").size(), 1u);
    Destroy(info);
}

TEST_F(SoftInfoQuery, OnlyAskedIdsAreKeptAndAtMostTheBoundOfThem) {
    const std::string answer = Narrow(WorkDir()) + "get_update_info.php";  // of every query
    ConfigureUpdate(Narrow(WorkDir()), "raw=1");
    ForgetfulStore();
    CSoftInfo* info = Make();
    ASSERT_EQ(info->Start(), 1);
    const size_t before = PrivateBytes();
    for (uint32_t round = 0; round < 50; ++round) {
        WriteSofts(answer, 1000000 + round * 1000, 1000);  // 1 000 ids nobody asked for
        EXPECT_EQ(Query(info, {round + 1}).Wait(), 2);
    }
    EXPECT_LT(PrivateBytesGrownSince(before), size_t{16} << 20);
    for (uint32_t id = 1000000; id < 1050000; id += 499) EXPECT_FALSE(Info(info, id)) << id;
    // What was asked is kept up to the bound, the latest first.
    for (uint32_t round = 0; round < 12; ++round) {
        std::vector<uint32_t> ids(100);
        for (uint32_t i = 0; i < 100; ++i) ids[i] = 2000000 + round * 100 + i;
        WriteSofts(answer, ids.front(), 100);
        EXPECT_EQ(Query(info, ids).Wait(), 1);
    }
    size_t held = 0;
    for (uint32_t id = 2000000; id < 2001200; ++id) held += Info(info, id) ? 1 : 0;
    EXPECT_EQ(held, CSoftInfo::kMaxRecords);
    EXPECT_TRUE(Info(info, 2001199));
    Destroy(info);
}

TEST_F(SoftInfoQuery, NoKernelCallIsMadeUnderItsLocks) {
    ClientResult slowClient;  // outlives every manager below
    slowClient.slowAddRefMs = 2000;
    using Step = std::function<void(CSoftInfo*)>;
    const Step none = [](CSoftInfo*) {};
    const Step cache = [this](CSoftInfo* info) { EXPECT_EQ(Query(info, {101}).Wait(), 1); };
    const struct {
        const char* what;
        const char* slowLine;  // the kernel call that takes 2 s
        Step before, busy;
    } cases[] = {
        {"a client's reference", "", none, [&](CSoftInfo* info) { info->Query(Ids({101}).Get(), &slowClient); }},
        {"a new record", "-3 108", none, [this](CSoftInfo* info) { Query(info, {102}).Wait(); }},
        {"the cache's save", "store.set 16", cache, [](CSoftInfo* info) { info->Stop(); }},
        {"a reloaded record's release", "-4 108",
         [&](CSoftInfo* info) {
             cache(info);
             info->Stop();
         },
         [](CSoftInfo* info) { info->Start(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearStore();
        ConfigureUpdate(FixtureDir("update"));
        CSoftInfo* info = Make();
        ASSERT_EQ(info->Start(), 1);
        c.before(info);
        ClearLog();
        SlowKernel(c.slowLine, 2000);
        const long long took = deadline::TookWhile(
            [&] { c.busy(info); },
            [&] {
                if (*c.slowLine) return WaitForLines(c.slowLine);
                return ::WaitForSingleObject(slowClient.inAddRef.Get(), 10000) == WAIT_OBJECT_0;
            },
            [&] {  // the cache's lock, then the queue's
                Info(info, 101);
                info->Query(Ids({101}).Get(), nullptr);
            });
        EXPECT_TRUE(took >= 0 && took < 700) << took;
        SlowKernel("", 0);
        Destroy(info);
    }
}

TEST_F(SoftInfoQuery, StopWaitsForAThreadInsideItsLockInsteadOfEndingIt) {
    ConfigureUpdate(FixtureDir("update"));
    SlowKernel("details.find", 3000);  // the look-up under the cache lock
    CSoftInfo* info = Make();
    ASSERT_EQ(info->Start(), 1);
    Pending pending = Query(info, {101});
    ASSERT_TRUE(WaitForLines("details.find"));
    const LONG terminated = CSoftInfo::Terminations();
    deadline::Within(20000, [&] {
        EXPECT_EQ(info->Stop(), 1);
        EXPECT_TRUE(Info(info, 101));
    });
    EXPECT_EQ(CSoftInfo::Terminations(), terminated);
    EXPECT_EQ(pending.Wait(0), 1);
    Destroy(info);
}

TEST_F(SoftInfoQuery, AClientMayStopOrLetGoOfTheManagerFromItsCompletion) {
    ConfigureUpdate(FixtureDir("update"));
    const int before = CountThreads();
    for (const bool letGo : {false, true}) {
        SCOPED_TRACE(letGo ? "the last reference" : "Stop");
        ClientResult client;
        CSoftInfo* info = Make();
        ASSERT_EQ(info->Start(), 1);
        client.onComplete = [&] {
            if (letGo) return Destroy(info);
            EXPECT_EQ(info->Stop(), 1);
        };
        deadline::Within(30000, [&] {
            EXPECT_EQ(info->Query(Ids({101}).Get(), &client), 1);
            ASSERT_TRUE(client.Completed());
            if (letGo) return;
            // Refused on its own thread: it still answers, and stops from ours.
            EXPECT_EQ(Query(info, {102}).Wait(), 1);
            EXPECT_EQ(info->Stop(), 1);
            Destroy(info);
        });
        // Either way the threads end, the last one taking the object along.
        EXPECT_TRUE(testsupport::WaitUntil([&] { return CountThreads() == before; }, 5000));
    }
}

}  // namespace
