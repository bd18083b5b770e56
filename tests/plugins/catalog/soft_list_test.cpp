// The software list manager against the stand-in kernel: catalogues, list
// pages, their records, the events its listeners receive, its life and its
// cache in the value store.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "plugins/catalog/list_answers.h"
#include "plugins/catalog/soft_list_mgr.h"
#include "plugins/catalog/soft_list_record.h"
#include "plugins/common/kernel_calls.h"
#include "tests/plugins/process_figures.h"
#include "tests/plugins/record_slots.h"
#include "tests/plugins/catalog/soft_list_fixture.h"
#include "tests/support/message_pump.h"
#include "tests/support/text.h"

using testsupport::Narrow;

namespace {

namespace k = protocol::kernel;
using catalog::CSoftListMgr;
using record_slots::At;
using record_slots::Call;
using record_slots::Catalog;
using record_slots::List;
using record_slots::Reader;
using catalog::ISoftCatalogData;
using catalog::ISoftListData;
using catalog::ISoftListMgr;

std::string Utf8(const wchar_t* text) { return text ? testsupport::Narrow(text) : "(null)"; }

class SoftListTest : public SoftListMgrTest {
protected:
    void ConfigureCatalog(const std::string& extra = "") {
        Configure("[fetch]\nfixtures=" + FixtureDir("catalog") + "\n" + extra +
                  "\n[environment]\ntail=tail=1\n[details]\nb101=7.26|Good|40\nb102=nan|Odd|1\n");
    }
    // Kind 0's catalogue, fetched and announced.
    void LoadCatalog() {
        mgr_->RequestCatalog(0);
        ASSERT_TRUE(WaitForEvent("0 0 0x00000000"));
        events_.clear();
    }

    std::vector<std::string> Codes() {
        Drain();
        std::vector<std::string> codes;
        for (const std::string& e : events_) codes.push_back(e.substr(0, e.find(' ')));
        return codes;
    }

    protocol::PluginRef<ISoftCatalogData> Entry(int kind, int index) {
        IBexPlugin* out = nullptr;
        if (!mgr_->GetCatalog(kind, index, &out)) return {};
        return protocol::PluginRef<ISoftCatalogData>(static_cast<ISoftCatalogData*>(out));
    }
    protocol::PluginRef<ISoftListData> Item(int kind, int index, uint32_t id) {
        IBexPlugin* out = nullptr;
        if (!mgr_->GetListItemAt(kind, index, id, &out)) return {};
        return protocol::PluginRef<ISoftListData>(static_cast<ISoftListData*>(out));
    }
    std::vector<uint32_t> Ids(int kind, int index, int page) {
        IBexPlugin* out = nullptr;
        const BOOL handed = mgr_->GetListIdsAt(kind, index, page, &out);
        return BufferIds(handed, out);
    }
    // A list page asked and finished (its last event 3 after 7, or failed).
    void LoadList(int index, int page, bool scored = true) {
        events_.clear();
        mgr_->RequestList(0, index, page);
        const std::string lp = [&] {
            char t[16];
            std::snprintf(t, sizeof(t), "0x%04X%04X", page, index);
            return std::string(t);
        }();
        ASSERT_TRUE(WaitForEvent(std::string(scored ? "7" : "3") + " 0 " + lp));
        if (scored) {
            ASSERT_TRUE(WaitForEvent("3 0 " + lp, 2));
        }
    }
};

TEST_F(SoftListTest, CatalogueEntriesReadBackByTheirSlots) {
    ConfigureCatalog();
    Started();
    LoadCatalog();
    ASSERT_EQ(mgr_->GetCatalogCount(0), 5);
    const auto tools = Entry(0, 0);
    const auto ranked = Entry(0, 1);
    const auto long_ = Entry(0, 2);
    const auto empty = Entry(0, 4);
    ASSERT_TRUE(tools && ranked && long_ && empty);
    struct Row {
        ISoftCatalogData* entry;
        Reader<int> slot;
        int number;
    } numbers[] = {
        {tools.Get(), At<Catalog, 8, int>, 101}, {tools.Get(), At<Catalog, 9, int>, 3},
        {tools.Get(), At<Catalog, 10, int>, 0},  {tools.Get(), At<Catalog, 15, int>, 7},
        {empty.Get(), At<Catalog, 9, int>, 1},  // count 0
        {long_.Get(), At<Catalog, 9, int>, 1},   {long_.Get(), At<Catalog, 10, int>, 1},
        {long_.Get(), At<Catalog, 15, int>, -1},  // browser "1", no cid; page size 50
    };
    EXPECT_EQ((Call<Catalog, 3, int(void*)>(tools.Get(), nullptr)), 0);
    for (const Row& row : numbers) EXPECT_EQ(row.slot.read(row.entry), row.number) << "slot " << row.slot.slot;
    EXPECT_EQ((Call<Catalog, 4, int(void*)>(tools.Get(), nullptr)), 0);
    EXPECT_EQ(Utf8(At<Catalog, 5, const wchar_t*>.read(tools.Get())), "Tools");
    EXPECT_EQ(Utf8(At<Catalog, 6, const wchar_t*>.read(tools.Get())), "http://img/tools.png");
    EXPECT_EQ((At<Catalog, 7, const wchar_t*>.read(tools.Get())), nullptr);
    EXPECT_EQ(Utf8(At<Catalog, 7, const wchar_t*>.read(long_.Get())), "http://127.0.0.1/list/3?start=%s&%s");
    EXPECT_EQ(Utf8((Call<Catalog, 11, const wchar_t*(int)>(tools.Get(), 1))), "a");
    EXPECT_EQ(Utf8((Call<Catalog, 11, const wchar_t*(int)>(tools.Get(), 2))), "b");
    EXPECT_EQ((Call<Catalog, 11, const wchar_t*(int)>(tools.Get(), 3)), nullptr);
    int a = -9, b = -9, c = -9;
    EXPECT_TRUE((Call<Catalog, 12, BOOL(int, int*, int*, int*)>(tools.Get(), 1, &a, &b, &c)));
    EXPECT_EQ((std::vector<int>{a, b, c}), (std::vector<int>{5, 0, 0}));
    EXPECT_TRUE((Call<Catalog, 12, BOOL(int, int*, int*, int*)>(tools.Get(), 2, &a, &b, &c)));
    EXPECT_EQ((std::vector<int>{a, b, c}), (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE((Call<Catalog, 12, BOOL(int, int*, int*, int*)>(tools.Get(), 3, &a, &b, &c)));
    EXPECT_FALSE((Call<Catalog, 12, BOOL(int, int*, int*, int*)>(tools.Get(), 1, nullptr, &b, &c)));
    EXPECT_EQ(Utf8(At<Catalog, 13, const wchar_t*>.read(tools.Get())), "#FF0000");
    EXPECT_EQ(Utf8(At<Catalog, 14, const wchar_t*>.read(tools.Get())), "tools");
    EXPECT_EQ(Utf8(At<Catalog, 16, const wchar_t*>.read(tools.Get())), "Useful tools");
    EXPECT_EQ(Utf8(At<Catalog, 5, const wchar_t*>.read(long_.Get())).size(), 49u);
    EXPECT_EQ(Utf8(At<Catalog, 5, const wchar_t*>.read(ranked.Get())),
              "\xE6\x8C\x89\xE8\xAF\x84\xE5\x88\x86\xE6\x8E\x92\xE8\xA1\x8C");
}

TEST_F(SoftListTest, CatalogueKindsAskTheirOwnAddresses) {
    struct Case {
        int kind;
        std::string number;
        std::string path;  // after the host
        int entries;
    } cases[] = {
        {0, "0", "/static/ess/class_6_0.xml?t=", 5},
        {0, "1856608", "/static/ess/class_revore.xml?t=", 1},
        {1, "0", "/static/Quarn/class_6_0.xml?t=", 1},
        {2, "0", "/Html/class_2_0.xml?src=pellor&t=", 1},
        {3, "0", "/static/top/class_2_0.xml?t=", 1},
    };
    for (const Case& c : cases) {
        ConfigureCatalog("[environment]\nnumber=" + c.number);
        Configure("[fetch]\nfixtures=" + FixtureDir("catalog") + "\n[environment]\ntail=tail=1\nnumber=" + c.number +
                  "\n");
        ClearLog();
        ClearStore();
        Started();
        events_.clear();
        mgr_->RequestCatalog(c.kind);
        char wanted[32];
        std::snprintf(wanted, sizeof(wanted), "0 %d 0x00000000", c.kind);
        ASSERT_TRUE(WaitForEvent(wanted)) << c.path;
        const auto fetched = LinesStartingWith("fetch ");
        ASSERT_EQ(fetched.size(), 1u) << c.path;
        const std::string& url = fetched[0];
        const size_t at = url.find(c.path);
        ASSERT_NE(at, std::string::npos) << url;
        EXPECT_EQ(url.find(c.kind == 2 ? "fetch http://msoft." : "fetch http://soft."), 0u) << url;
        const std::string rest = url.substr(at + c.path.size());
        EXPECT_GT(rest.find_first_not_of("0123456789"), 0u) << url;
        EXPECT_EQ(rest.substr(rest.find_first_not_of("0123456789")), "&tail=1") << url;
        EXPECT_EQ(mgr_->GetCatalogCount(c.kind), c.entries);
        mgr_->Release();
        mgr_->Release();
        mgr_ = nullptr;
    }
    ConfigureCatalog();
    ClearLog();
    Started();
    events_.clear();
    EXPECT_EQ(mgr_->RequestCatalog(7), 0);
    ::Sleep(300);  // nothing may come: give the worker its passes
    EXPECT_TRUE(LinesStartingWith("fetch ").empty());
    EXPECT_TRUE(Codes().empty());
}

TEST_F(SoftListTest, AListPageIsFetchedAnnouncedAndRead) {
    ConfigureCatalog();
    Started();
    LoadCatalog();
    ClearLog();
    LoadList(0, 2);
    EXPECT_EQ(LinesStartingWith("fetch "), std::vector<std::string>{"fetch http://127.0.0.1/list/1?start=50&tail=1"});
    EXPECT_EQ(Codes(), (std::vector<std::string>{"2", "1", "3", "1", "7", "3"}));
    EXPECT_EQ(events_[0], "2 0 0x00020000");
    EXPECT_EQ(LinesStartingWith("details.start"), std::vector<std::string>{"details.start softlist [b101,b102]"});
    EXPECT_EQ(Ids(0, 0, 2), (std::vector<uint32_t>{101, 102}));

    ClearLog();
    const auto alpha = Item(0, 0, 101);
    ASSERT_TRUE(alpha);
    EXPECT_EQ(LinesStartingWith("soft99.31"),
              std::vector<std::string>{"soft99.31 101 vname=Alpha 2 durls=http://dl/101.exe uurls=http://up/101.exe "
                                       "dname=alpha.exe args=/S hint2=hint pname=alpha.exe os=xp;win7 ver=2.0 "
                                       "size=123456789012 shell=setup_SP.exe end=0"});
    struct Number {
        Reader<int> slot;
        long long value;
    } numbers[] = {{At<List, 5, int>, 101},  {At<List, 12, int>, 72}, {At<List, 18, int>, 1}, {At<List, 20, int>, 1},
                   {At<List, 21, int>, 1},   {At<List, 22, int>, 1},  {At<List, 23, int>, 1}, {At<List, 24, int>, 9},
                   {At<List, 25, int>, 1},   {At<List, 28, int>, 1},  {At<List, 29, int>, 1}};
    for (const Number& n : numbers) EXPECT_EQ(n.slot.read(alpha.Get()), n.value) << "slot " << n.slot.slot;
    EXPECT_EQ((At<List, 19, long long>.read(alpha.Get())), 123456789012LL);
    EXPECT_EQ((Call<List, 3, int(const wchar_t*)>(alpha.Get(), L"NEW")), 1);
    EXPECT_EQ((Call<List, 3, int(const wchar_t*)>(alpha.Get(), L"old")), 0);
    EXPECT_EQ(Utf8((Call<List, 4, const wchar_t*(const wchar_t*)>(alpha.Get(), L"share"))), "Free");
    EXPECT_EQ(Utf8((Call<List, 4, const wchar_t*(const wchar_t*)>(alpha.Get(), L"filename"))), "alpha.exe");
    EXPECT_EQ((Call<List, 4, const wchar_t*(const wchar_t*)>(alpha.Get(), L"other")), nullptr);
    struct Text {
        Reader<const wchar_t*> slot;
        const char* text;
    } texts[] = {{At<List, 6, const wchar_t*>, "Alpha Player"},
                 {At<List, 7, const wchar_t*>, "Plays everything"},
                 {At<List, 8, const wchar_t*>, "Alpha 2"},
                 {At<List, 9, const wchar_t*>, "b101"},
                 {At<List, 10, const wchar_t*>, "http://img/101.png"},
                 {At<List, 11, const wchar_t*>, "http://soft/101"},
                 {At<List, 13, const wchar_t*>, "7.3\xE5\x88\x86"},
                 {At<List, 14, const wchar_t*>, "Good"},
                 {At<List, 15, const wchar_t*>, "40"},
                 {At<List, 16, const wchar_t*>, "2026-01-02"},
                 {At<List, 17, const wchar_t*>, "2.0"},
                 {At<List, 26, const wchar_t*>, "setup_SP.exe"},
                 {At<List, 27, const wchar_t*>, "12"},
                 {At<List, 30, const wchar_t*>, ""},
                 {At<List, 31, const wchar_t*>, ""}};
    for (const Text& t : texts) EXPECT_EQ(Utf8(t.slot.read(alpha.Get())), t.text) << t.slot.slot;

    // "os" xp against WIN7, "osbit" 64 against a 32-bit system; a score that
    // is no number.
    const auto beta = Item(0, 0, 102);
    ASSERT_TRUE(beta);
    EXPECT_EQ((At<List, 18, int>.read(beta.Get())), 0);
    EXPECT_EQ((At<List, 29, int>.read(beta.Get())), 0);
    EXPECT_EQ((At<List, 12, int>.read(beta.Get())), 0);

    IBexPlugin* title = nullptr;
    ASSERT_TRUE(mgr_->GetListTitle(0, L"tools", 2, &title));
    EXPECT_EQ(Utf8(protocol::StringText(k::As<k::String>(title)).value_or(L"?").c_str()),
              "\xE5\xB8\xB8\xE7\x94\xA8\xE5\xB7\xA5\xE5\x85\xB7");
    title->Release();
}

TEST_F(SoftListTest, ScoreRankedListsTakeTheirScoresFromTheAnswer) {
    ConfigureCatalog();
    Started();
    LoadCatalog();
    ClearLog();
    LoadList(1, 1);
    EXPECT_EQ(Codes(), (std::vector<std::string>{"2", "1", "3", "1", "7", "3"}));
    EXPECT_TRUE(LinesStartingWith("details.start").empty());
    const auto rated = Item(0, 1, 201);
    const auto over = Item(0, 1, 202);
    ASSERT_TRUE(rated && over);
    EXPECT_EQ((At<List, 12, int>.read(rated.Get())), 87);
    EXPECT_EQ(Utf8(At<List, 13, const wchar_t*>.read(rated.Get())), "8.8\xE5\x88\x86");
    EXPECT_EQ(Utf8(At<List, 15, const wchar_t*>.read(rated.Get())), "33");
    EXPECT_EQ((At<List, 12, int>.read(over.Get())), 0);
}

TEST_F(SoftListTest, ListRequestsFollowTheListState) {
    ConfigureCatalog();
    Started();
    LoadCatalog();
    // Page 0: no address, failed at once.
    ClearLog();
    events_.clear();
    EXPECT_EQ(mgr_->RequestList(0, 0, 0), 0);
    ASSERT_TRUE(WaitForEvent("3 0 0x00000000"));
    EXPECT_EQ(Codes(), (std::vector<std::string>{"2", "1", "3"}));
    EXPECT_TRUE(LinesStartingWith("fetch ").empty());
    IBexPlugin* none = nullptr;
    EXPECT_FALSE(mgr_->GetListIds(0, L"Tools", 0, &none));  // known, failed, no ids
    EXPECT_EQ(none, nullptr);
    // Failed: asked again.
    events_.clear();
    EXPECT_EQ(mgr_->RequestList(0, 0, 0), 0);
    ASSERT_TRUE(WaitForEvent("3 0 0x00000000"));
    // Loaded: event 3 alone.
    LoadList(0, 1);
    events_.clear();
    EXPECT_EQ(mgr_->RequestList(0, 0, 1), 1);
    ::Sleep(100);
    EXPECT_EQ(Codes(), std::vector<std::string>{"3"});
    // Loading: event 2 alone, no second fetch.
    Configure("[fetch]\nmode=never\n[environment]\ntail=tail=1\n");
    ClearLog();
    events_.clear();
    EXPECT_EQ(mgr_->RequestList(0, 0, 3), 0);
    ASSERT_TRUE(WaitForLines("fetch "));
    EXPECT_EQ(mgr_->RequestList(0, 0, 3), 1);
    ::Sleep(200);
    EXPECT_EQ(Codes(), (std::vector<std::string>{"2", "2"}));
    EXPECT_EQ(LinesStartingWith("fetch ").size(), 1u);
    // Out of range: nothing.
    events_.clear();
    mgr_->RequestList(0, 9, 1);
    mgr_->RequestList(0, -1, 1);
    EXPECT_TRUE(Codes().empty());
}

TEST_F(SoftListTest, SlowAnswersArePolledAndHangingOnesLetGo) {
    ConfigureCatalog("mode=later\ndelay=400");
    Started();
    LoadCatalog();  // polled through the queue until it came
    EXPECT_EQ(mgr_->GetCatalogCount(0), 5);
    LoadList(0, 1);
    EXPECT_EQ(Ids(0, 0, 1), (std::vector<uint32_t>{101, 102}));
    // A page whose answer never comes: the manager goes with it pending.
    Configure("[fetch]\nmode=never\n[environment]\ntail=tail=1\n");
    ClearLog();
    events_.clear();
    EXPECT_EQ(mgr_->RequestList(0, 0, 2), 0);
    ASSERT_TRUE(WaitForLines("fetch "));
    const DWORD start = ::GetTickCount();
    mgr_->Release();
    mgr_->Release();
    mgr_ = nullptr;
    EXPECT_LT(::GetTickCount() - start, 2000u);
    EXPECT_EQ(CountLines("-4 70"), 1);
    EXPECT_EQ(CSoftListMgr::Terminations(), 0);
}

TEST_F(SoftListTest, StartStopAndReleaseKeepOneWorker) {
    ConfigureCatalog("[classes]\n41=refuse\n");
    IBexPlugin* object = nullptr;
    ASSERT_EQ(catalog::CreateSoftListMgr(&object), S_OK);
    auto* mgr = static_cast<ISoftListMgr*>(object);
    IBexPlugin* out = nullptr;
    EXPECT_FALSE(mgr->GetListItem(0, L"Tools", 101, &out));
    const int before = CountThreads();
    EXPECT_EQ(mgr->Start(), 0);
    Configure("[software]\nready=0\n");
    EXPECT_EQ(mgr->Start(), 0);
    Configure("[environment]\ntail=tail=1\n");
    EXPECT_EQ(mgr->Start(), 1);
    EXPECT_EQ(mgr->Start(), 1);
    EXPECT_EQ(CountThreads(), before + 1);
    EXPECT_EQ(mgr->Stop(), 1);
    EXPECT_EQ(mgr->Start(), 1);
    EXPECT_EQ(CountThreads(), before + 1);

    // No client left: the worker stays idle.
    EXPECT_EQ(mgr->Release(), 0);
    EXPECT_EQ(mgr->GetClassId(), 70u);
    FILETIME created, exited, kernelStart, userStart, kernelEnd, userEnd;
    const HANDLE process = ::GetCurrentProcess();
    ::GetProcessTimes(process, &created, &exited, &kernelStart, &userStart);
    ::Sleep(1000);
    ::GetProcessTimes(process, &created, &exited, &kernelEnd, &userEnd);
    auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    const unsigned long long used = ticks(kernelEnd) - ticks(kernelStart) + ticks(userEnd) - ticks(userStart);
    EXPECT_LT(used, 2000000ull);  // 200 ms of 1 s

    ClearLog();
    EXPECT_EQ(mgr->Release(), 0);
    EXPECT_EQ(CountLines("-4 70"), 1);
    EXPECT_EQ(CountThreads(), before);
    EXPECT_EQ(CSoftListMgr::Terminations(), 0);
}

TEST_F(SoftListTest, TheCacheOutlivesTheManager) {
    ConfigureCatalog();
    Started();
    LoadCatalog();
    LoadList(0, 2);
    ClearLog();
    EXPECT_EQ(mgr_->Stop(), 1);
    const auto lines = LogLines();
    auto has = [&](const std::string& head) {
        for (const std::string& l : lines)
            if (l.compare(0, head.size(), head) == 0) return true;
        return false;
    };
    EXPECT_TRUE(has("store.set 9 #0 size=4 data=05000000"));
    EXPECT_TRUE(has("store.set 9 #1 size=4 data=00000000"));
    EXPECT_TRUE(has("store.set 8 \"0-0\" size=8976 extra=0x0 large=0"));
    EXPECT_TRUE(has("store.set 7 \"text0-TOOLS-2\" size=8 "));
    EXPECT_TRUE(has("store.set 7 \"data0-TOOLS-2\" size=8 extra=0x0 large=0 data=6500000066000000"));
    EXPECT_TRUE(has("store.set 6 \"0-Tools\" size=41616 extra=0x20001 large=1"));
    mgr_->Release();
    mgr_->Release();
    mgr_ = nullptr;

    // The next manager cannot fetch: it answers from the store.
    Configure("[fetch]\nmode=nostart\n[environment]\ntail=tail=1\n");
    Started();
    EXPECT_EQ(mgr_->GetCatalogCount(0), 5);
    EXPECT_EQ(Ids(0, 0, 2), (std::vector<uint32_t>{101, 102}));
    const auto alpha = Item(0, 0, 101);
    ASSERT_TRUE(alpha);
    EXPECT_EQ(Utf8(alpha->GetName()), "Alpha Player");
    EXPECT_EQ(alpha->GetSize(), 123456789012LL);
    EXPECT_EQ(alpha->GetScore(), 72);
    EXPECT_EQ(Utf8(alpha->GetNamedText(L"filename")), "");  // not kept, by the copy rule
    EXPECT_EQ(Utf8(alpha->GetShell()), "");
    IBexPlugin* out = nullptr;
    EXPECT_FALSE(mgr_->GetListIds(0, L"Tools", 9, &out));
    EXPECT_EQ(out, nullptr);
    // Read back without a state: the page is still asked once in this run.
    EXPECT_EQ(mgr_->RequestList(0, 0, 2), 0);
    // Saved again, the record this run never asked for stays stored.
    ClearLog();
    EXPECT_EQ(mgr_->Stop(), 1);
    EXPECT_EQ(LinesStartingWith("store.set 6 "),
              std::vector<std::string>{"store.set 6 \"0-Tools\" size=41616 extra=0x20001 large=1"});
}

}  // namespace

namespace {

class HostileAnswerTest : public SoftListTest {
protected:
    // A fixture folder of this test's own, served byte for byte.
    std::string Folder() { return Narrow(WorkDir()) + "hostile"; }
    void Write(const std::string& name, const std::string& bytes) {
        const std::string path = Folder() + "\\" + name;
        for (size_t at = path.find('\\', Folder().size()); at != std::string::npos; at = path.find('\\', at + 1))
            ::CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
        std::ofstream(path, std::ios::binary) << bytes;
    }
};

TEST_F(HostileAnswerTest, BadAnswersEndAsFailuresOrCutTexts) {
    ::CreateDirectoryA(Folder().c_str(), nullptr);
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>(1 + i % 255);
    const std::string soft = "<ret><softs><soft><id>7</id><cname>";
    struct Case {
        const char* what;
        std::string body;
        bool loaded;
    } cases[] = {
        {"no ret", "<softs><soft><id>1</id></soft></softs>", false},
        {"not well-formed", "<ret><softs><soft><id>1</id></soft></softs>", false},
        {"no soft", "<ret><softs title=\"t\"></softs></ret>", false},
        {"only softs without id", "<ret><softs><soft><cname>x</cname></soft></softs></ret>", false},
        {"over 8 MB, well-formed", soft + "a</cname><x>" + std::string(8 << 20, 'x') + "</x></soft></softs></ret>",
         false},
        {"binary", binary, false},
        {"binary inside", soft + binary + "</cname></soft></softs></ret>", false},
        {"invalid 936", soft + "\x81\x20\xFF\xFE</cname></soft></softs></ret>", false},
        {"30-digit size", soft + "a</cname><size>" + std::string(30, '9') + "</size></soft></softs></ret>", true},
        {"long name", soft + std::string(40, 'n') + "</cname><point>1e30</point></soft></softs></ret>", true},
    };
    std::string catalogue = "<ret><softs>";
    for (size_t i = 0; i < std::size(cases); ++i) {
        catalogue += "<soft><name>h" + std::to_string(i) + "</name><url>http://127.0.0.1/h/" + std::to_string(i) +
                     "?start=%s&amp;%s</url><total>-5</total></soft>";
        Write("h\\" + std::to_string(i), cases[i].body);
    }
    catalogue += "</softs></ret>";
    Write("static\\ess\\class_6_0.xml", catalogue);
    Configure("[fetch]\nraw=1\nfixtures=" + Folder() + "\n[environment]\ntail=tail=1\n[details]\nb1=1\n");
    Started();
    LoadCatalog();
    ASSERT_EQ(mgr_->GetCatalogCount(0), static_cast<LONG>(std::size(cases)));
    EXPECT_EQ(Entry(0, 0)->GetPageCount(), 1);  // total -5
    for (size_t i = 0; i < std::size(cases); ++i) {
        const int index = static_cast<int>(i);
        events_.clear();
        mgr_->RequestList(0, index, 1);
        char last[32];
        std::snprintf(last, sizeof(last), "3 0 0x0001%04X", index);
        ASSERT_TRUE(WaitForEvent(last)) << cases[i].what;
        EXPECT_EQ(Codes(), (std::vector<std::string>{"2", "1", "3"})) << cases[i].what;
        EXPECT_EQ(Ids(0, index, 1).size(), cases[i].loaded ? 1u : 0u) << cases[i].what;
        // Failed lists are asked again.
        events_.clear();
        EXPECT_EQ(mgr_->RequestList(0, index, 1), cases[i].loaded ? 1 : 0) << cases[i].what;
        ASSERT_TRUE(WaitForEvent(last)) << cases[i].what;
    }
    const auto sized = Item(0, 8, 7);
    ASSERT_TRUE(sized);
    EXPECT_EQ(sized->GetSize(), 0x7FFFFFFFFFFFFFFFLL);
    const auto named = Item(0, 9, 7);
    ASSERT_TRUE(named);
    EXPECT_EQ(Utf8(named->GetName()), std::string(29, 'n'));

    // An unreadable catalogue keeps the entries cached.
    Write("static\\ess\\class_6_0.xml", "<ret><softs>");
    events_.clear();
    mgr_->RequestCatalog(0);
    ASSERT_TRUE(WaitForEvent("0 0 0x00000000"));
    EXPECT_EQ(mgr_->GetCatalogCount(0), static_cast<LONG>(std::size(cases)));
}

TEST_F(HostileAnswerTest, AHundredThousandSoftsCostTheFirstThousandOnly) {
    std::string page = "<ret><softs>";
    for (int id = 1; id <= 100000; ++id) page += "<soft><id>" + std::to_string(id) + "</id></soft>";
    Write("big", page + "</softs></ret>");
    Write("static\\ess\\class_6_0.xml",
          "<ret><softs><soft><name>big</name><url>http://127.0.0.1/big?s=%s&amp;%s</url></soft></softs></ret>");
    Configure("[fetch]\nraw=1\nfixtures=" + Folder() + "\n[environment]\ntail=tail=1\n");
    Started();
    LoadCatalog();
    const size_t before = PrivateBytes();
    LoadList(0, 1);
    const std::vector<uint32_t> ids = Ids(0, 0, 1);
    ASSERT_EQ(ids.size(), 1000u);
    EXPECT_EQ(ids.back(), 1000u);
    EXPECT_TRUE(Item(0, 0, 1000));
    EXPECT_FALSE(Item(0, 0, 1001));
    EXPECT_LT(PrivateBytesGrownSince(before), size_t{100} << 20);
}

TEST_F(SoftListTest, ListAddressesAreFilledLiterally) {
    ConfigureCatalog();
    Started();
    LoadCatalog();
    ClearLog();
    events_.clear();
    mgr_->RequestList(0, 3, 1);
    ASSERT_TRUE(WaitForEvent("3 0 0x00010003"));
    EXPECT_EQ(LinesStartingWith("fetch "),
              std::vector<std::string>{"fetch http://127.0.0.1/list/%E6%8C?a=%n%n%x0&b=tail=1&c=%s&d=%"});
    EXPECT_EQ(catalog::FillListUrl((std::wstring(1020, L'u') + L"%s%s").c_str(), L"100", L"").size(), 1023u);
    EXPECT_EQ(catalog::FillListUrl((std::wstring(1021, L'u') + L"%s%s").c_str(), L"100", L""), L"");
    EXPECT_EQ(catalog::ListStart(2, 50), L"50");
    EXPECT_EQ(catalog::ListStart(0, 50), L"");
    EXPECT_EQ(catalog::ListStart(1, 0), L"");
    EXPECT_EQ(catalog::ListStart(50000000, 50), L"");
}

std::string HexOf(const void* data, size_t size) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (size_t i = 0; i < size; ++i) {
        const unsigned char c = static_cast<const unsigned char*>(data)[i];
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

TEST_F(SoftListTest, StoredValuesAreReadWithinTheirBounds) {
    // An entry whose texts run to the end of their fields.
    catalog::tagSoftCatalogData entry;
    std::memset(&entry, 'A', sizeof(entry));
    entry.name[0] = L'T';
    entry.name[1] = L'\0';
    entry.pageSize = 50;
    catalog::tagSoftListData record;
    std::memset(&record, 0, sizeof(record));
    record.softId = 101;
    for (wchar_t& c : record.name) c = L'x';
    for (wchar_t& c : record.durls) c = L'd';
    const uint32_t ids[] = {101, 7};
    PresetValue(9, "#0", 0, "FFFFFFFF");                  // a count far beyond what is stored
    PresetValue(9, "#1", 0, "010000");                    // not 4 bytes
    PresetValue(8, "0-0", 0, HexOf(&entry, sizeof(entry)));
    PresetValue(8, "0-1", 0, HexOf(&entry, 100));         // not a whole entry
    PresetValue(8, "1-0", 0, HexOf(&entry, sizeof(entry)));
    PresetValue(6, "0-T", 5 << 16 | 1, HexOf(&record, sizeof(record)), 1);  // claims five, holds one
    PresetValue(7, "text0-T-1", 0, "41004200FF");         // an odd size
    PresetValue(7, "data0-T-1", 0, HexOf(ids, 6));        // one and a half ids
    ConfigureCatalog("mode=nostart");
    Started();
    EXPECT_EQ(mgr_->GetCatalogCount(0), 1);
    EXPECT_EQ(mgr_->GetCatalogCount(1), 0);
    const auto stored = Entry(0, 0);
    ASSERT_TRUE(stored);
    EXPECT_EQ(Utf8(stored->GetName()), "T");
    EXPECT_EQ(std::wcslen(stored->GetImageUrl()), 1023u);
    EXPECT_EQ(std::wcslen(stored->GetDescription()), 99u);
    EXPECT_FALSE(Entry(0, 1));

    const auto item = Item(0, 0, 101);
    ASSERT_TRUE(item);
    EXPECT_EQ(Utf8(item->GetName()), std::string(29, 'x'));
    EXPECT_EQ(Utf8((Call<List, 4, const wchar_t*(const wchar_t*)>(item.Get(), L"filename"))), "");
    EXPECT_FALSE(Item(0, 0, 102));
    EXPECT_EQ(Ids(0, 0, 1), std::vector<uint32_t>{101});
    IBexPlugin* title = nullptr;
    ASSERT_TRUE(mgr_->GetListTitle(0, L"t", 1, &title));
    EXPECT_EQ(Utf8(protocol::StringText(k::As<k::String>(title)).value_or(L"?").c_str()), "AB");
    title->Release();
}

TEST_F(SoftListTest, AnOversizedStoredRecordSetIsReadOnceAndWrittenBackCapped) {
    // 1 100 stored records of "Tools" (ids from 5001), claiming 65 535.
    catalog::tagSoftListData record;
    std::memset(&record, 0, sizeof(record));
    std::string hex;
    for (uint32_t i = 0; i < 1100; ++i) {
        record.softId = 5001 + i;
        hex += HexOf(&record, sizeof(record));
    }
    PresetValue(6, "0-Tools", 0xFFFF0001u, hex, 1);
    ConfigureCatalog();
    Started();
    LoadCatalog();
    EXPECT_TRUE(Item(0, 0, 5001));
    EXPECT_FALSE(Item(0, 0, 5001 + 1050));  // past the first 1 000
    // Two softs of the answer are missing from memory: one read of the set.
    ClearLog();
    LoadList(0, 2);
    EXPECT_EQ(LinesStartingWith("store.get 6 ").size(), 1u);
    // Written back: this run's three, then the stored ones, 1 000 in all.
    ClearLog();
    EXPECT_EQ(mgr_->Stop(), 1);
    EXPECT_EQ(LinesStartingWith("store.set 6 "),
              std::vector<std::string>{"store.set 6 \"0-Tools\" size=20808000 extra=0x3E80001 large=1"});
}

TEST_F(SoftListTest, RecordsHeldAreBoundedWhateverTheServersAnswer) {
    // One entry whose pages of 1 000 softs each come from files of their
    // own, and keyword searches answered with 1 000 softs each.
    const std::string folder = Narrow(WorkDir()) + "bounded";
    for (const char* sub : {"", "\\static", "\\static\\ess"}) ::CreateDirectoryA((folder + sub).c_str(), nullptr);
    std::ofstream(folder + "\\static\\ess\\class_6_0.xml", std::ios::binary)
        << "<ret><softs><soft><name>s</name><count>1000</count><url>http://127.0.0.1/p%s?%s</url></soft></softs></ret>";
    constexpr int kPages = 8;
    constexpr int kSearches = 4;
    for (int page = 1; page <= kPages; ++page)
        WriteSofts(folder + "\\p" + std::to_string((page - 1) * 1000), page * 10000, 1000);
    Configure("[fetch]\nraw=1\nfixtures=" + folder + "\n[environment]\ntail=t=1\n");
    ForgetfulStore();
    Started();
    LoadCatalog();
    const size_t before = PrivateBytes();
    for (int page = 1; page <= kPages; ++page) LoadList(0, page);
    for (int search = 1; search <= kSearches; ++search) {
        WriteSofts(folder + "\\index.php", 1000000 + search * 10000, 1000);
        const LONG id = mgr_->Search(5, std::to_wstring(search).c_str());
        char done[32];
        std::snprintf(done, sizeof(done), "4 5 0xFFFF%04lX", static_cast<unsigned long>(id));
        ASSERT_TRUE(WaitForEvent(done));
    }
    EXPECT_LT(PrivateBytesGrownSince(before), size_t{100} << 20);
    // What was let go of is asked again; the last answers stay loaded.
    EXPECT_EQ(Ids(0, 0, 1).size(), 1000u);
    EXPECT_EQ(mgr_->RequestList(0, 0, 1), 0);
    EXPECT_EQ(mgr_->RequestList(0, 0, kPages), 1);
    IBexPlugin* out = nullptr;
    EXPECT_FALSE(mgr_->GetSearchIds(L"1", &out));
    const BOOL last = mgr_->GetSearchIds(std::to_wstring(kSearches).c_str(), &out);
    EXPECT_EQ(BufferIds(last, out).size(), 1000u);
}

TEST_F(SoftListTest, AStoppingManagerAnswersWhatItSavesNotAnOlderStoredPage) {
    PresetValue(7, "data0-TOOLS-2", 0, "01000000");  // an older run's page: soft 1
    ConfigureCatalog();
    Started();
    LoadCatalog();
    LoadList(0, 2);
    auto page = [this] {
        IBexPlugin* out = nullptr;
        const BOOL handed = mgr_->GetListIds(0, L"Tools", 2, &out);
        return BufferIds(handed, out);
    };
    const std::vector<uint32_t> answered{101, 102};
    SlowKernel("store.set 9 #0", 1500);  // the save's first write
    std::thread stop([this] { EXPECT_EQ(mgr_->Stop(), 1); });
    ASSERT_TRUE(WaitForLines("store.set 9"));
    EXPECT_EQ(page(), answered);
    stop.join();
    SlowKernel("", 0);
    EXPECT_EQ(page(), answered);
    ASSERT_EQ(mgr_->Start(), 1);
    EXPECT_EQ(page(), answered);
}

}  // namespace
