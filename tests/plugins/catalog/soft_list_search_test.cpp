// The list manager's keyword and partner searches against the stand-in
// kernel: addresses, search ids, events, answers good and bad, and the
// search states across Stop and Start.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "plugins/catalog/soft_list_data.h"
#include "plugins/catalog/soft_list_mgr.h"
#include "plugins/common/kernel_calls.h"
#include "tests/plugins/catalog/soft_list_fixture.h"
#include "tests/support/message_pump.h"

using testsupport::Narrow;

namespace {

using catalog::ISoftListData;
using catalog::ISoftListMgr;

class SoftSearch : public SoftListMgrTest {
protected:
    void Answer(const char* folder, const std::string& extra = "") {
        Configure("[fetch]\nfixtures=" + FixtureDir(folder) + "\n" + extra +
                  "[environment]\ntail=tail=1\n[details]\nb301=7.26|Good|40\n");
    }
    // Waits for event 3 (the search ended); the events then, cleared.
    std::vector<std::string> Ended() {
        testsupport::WaitUntil(
            [&] {
                const auto events = Events();
                return !events.empty() && events.back().compare(0, 2, "3 ") == 0;
            },
            10000);
        std::vector<std::string> events;
        events.swap(events_);
        return events;
    }
    std::vector<uint32_t> SearchIds(const wchar_t* keyword) {
        IBexPlugin* out = nullptr;
        const BOOL ok = mgr_->GetSearchIds(keyword, &out);
        return BufferIds(ok, out);
    }
    std::string Keyword(int searchId) {
        const wchar_t* text = mgr_->GetSearchKeyword(searchId);
        return text ? Narrow(text) : "(null)";
    }
};

using EventList = std::vector<std::string>;

TEST_F(SoftSearch, AKeywordSearchAsksOnceAndAnswersFromItsState) {
    Answer("search\\ok");
    ISoftListMgr* m = Started();
    EXPECT_EQ(m->Search(7, nullptr), 0);
    EXPECT_EQ(m->Search(7, L""), 0);
    EXPECT_EQ(m->Search(7, L"abc#$@*12,34&x=1"), 1);
    EXPECT_EQ(Ended(), (EventList{"2 7 0xFFFF0001", "4 7 0xFFFF0001", "3 7 0xFFFF0001"}));
    EXPECT_EQ(CountLines("fetch http://api.soft.zubpellor.com/index.php?c=Search&a=getSoftList&cver=v1&kw=ABC"
                         "&soft_ids=12&tail=1"), 1);
    EXPECT_EQ(CountLines("keyword ABC"), 1);
    EXPECT_EQ(CountLines("details.start softlist [b301,b302]"), 1);
    EXPECT_EQ(Keyword(1), "ABC#$@*12,34&X=1");
    EXPECT_EQ(Keyword(2), "(null)");

    // Keywords that differ in case share the state: stored, no new fetch.
    EXPECT_EQ(m->Search(3, L"Abc#$@*12,34&X=1"), 1);
    EXPECT_EQ(Ended(), (EventList{"4 3 0xFFFF0001", "3 3 0xFFFF0001"}));
    EXPECT_EQ(LinesStartingWith("fetch ").size(), 1u);
    EXPECT_EQ(SearchIds(L"abc#$@*12,34&x=1"), (std::vector<uint32_t>{301, 302}));
    IBexPlugin* out = nullptr;
    ASSERT_TRUE(m->GetSearchIdsById(1, &out));
    out->Release();

    ASSERT_TRUE(m->GetSearchItem(301, &out));
    protocol::PluginRef<ISoftListData> item(static_cast<ISoftListData*>(out));
    EXPECT_EQ(Narrow(item->GetName()), "First");
    EXPECT_EQ(Narrow(item->GetPartner()), "p1");
    EXPECT_EQ(Narrow(item->GetHomePage()), "http://h/1");
    EXPECT_EQ(item->GetScore(), 72);
    EXPECT_EQ(item->GetFlag(L"new"), 0);
    EXPECT_EQ(CountLines("soft99.31 301 vname=v301 durls= uurls= dname= args= hint2= pname= os= ver= size= shell= "
                         "end=0"), 1);
    EXPECT_EQ(m->GetSearchTotal(L"abc#$@*12,34&X=1"), 42);
}

TEST_F(SoftSearch, WhileAskedOnlyPendingIsAnnounced) {
    Answer("search\\ok", "mode=never\n");
    ISoftListMgr* m = Started();
    EXPECT_EQ(m->Search(7, L"abc"), 1);
    EXPECT_EQ(m->Search(7, L"ABC"), 1);
    ASSERT_TRUE(WaitForLines("fetch "));
    ::Sleep(100);  // nothing else may arrive
    EXPECT_EQ(Events(), (EventList{"2 7 0xFFFF0001", "2 7 0xFFFF0001"}));
}

TEST_F(SoftSearch, SoftsWithoutIdsGetAppIds) {
    Answer("search\\noid");
    ISoftListMgr* m = Started();
    EXPECT_EQ(m->Search(1, L"x"), 1);
    Ended();
    EXPECT_EQ(SearchIds(L"x"), (std::vector<uint32_t>{90000000, 90000001}));
    const auto usage = LinesStartingWith("store.set 22 \"AppIdUsage\"");
    ASSERT_FALSE(usage.empty());
    EXPECT_NE(usage.back().find(" data=03000000"), std::string::npos);  // ids 0 and 1 of the range used
}

TEST_F(SoftSearch, OnlySoftsKeptGetAppIdsFromOneReadOfTheBitmap) {
    Answer("search\\noid_dropped");
    ISoftListMgr* m = Started();
    EXPECT_EQ(m->Search(1, L"x"), 1);
    Ended();
    EXPECT_EQ(SearchIds(L"x"), (std::vector<uint32_t>{90000000, 301, 90000001}));
    EXPECT_EQ(LinesStartingWith("store.get 22 \"AppIdUsage\"").size(), 1u);
    EXPECT_EQ(LinesStartingWith("store.set 22 \"AppIdUsage\"").size(), 1u);
}

TEST_F(SoftSearch, AFailedSearchIsAskedAgainUnderItsId) {
    for (const char* folder : {"search\\bad", "search\\none"}) {
        ClearLog();
        Answer(folder);
        ISoftListMgr* m = Started();
        EXPECT_EQ(m->Search(5, L"k"), 1);
        EXPECT_EQ(Ended(), (EventList{"2 5 0xFFFF0001", "4 5 0xFFFF0001", "3 5 0xFFFF0001"}));
        EXPECT_TRUE(SearchIds(L"k").empty());
        EXPECT_EQ(m->Search(5, L"K"), 1);
        EXPECT_EQ(Ended(), (EventList{"2 5 0xFFFF0001", "4 5 0xFFFF0001", "3 5 0xFFFF0001"}));
        EXPECT_EQ(LinesStartingWith("fetch ").size(), 2u);
        mgr_->Release();
        mgr_->Release();
        mgr_ = nullptr;
    }
}

TEST_F(SoftSearch, AnAddressThatDoesNotFitFailsTheSearch) {
    Answer("search\\ok");
    ISoftListMgr* m = Started();
    const std::wstring longKeyword(400, L'\x4E2D');  // nine bytes each, escaped
    EXPECT_EQ(m->Search(2, longKeyword.c_str()), 1);
    EXPECT_EQ(Ended(), (EventList{"2 2 0xFFFF0001", "4 2 0xFFFF0001", "3 2 0xFFFF0001"}));
    EXPECT_EQ(m->SearchByCoop(2, longKeyword.c_str(), 0, 20), 2);
    EXPECT_EQ(Ended(), (EventList{"2 2 0xFFFF0002", "10 2 0xFFFF0002", "3 2 0xFFFF0002"}));
    EXPECT_TRUE(LinesStartingWith("fetch ").empty());
}

TEST_F(SoftSearch, PartnerSearchesArePagedAndCarryTheirTotal) {
    Answer("search\\ok");
    ISoftListMgr* m = Started();
    EXPECT_EQ(m->SearchByCoop(4, L"abc", 0, 0), 0);
    EXPECT_EQ(m->SearchByCoop(4, L"abc", 0, 20), 1);
    EXPECT_EQ(Ended(), (EventList{"2 4 0xFFFF0001", "10 4 0xFFFF0001", "3 4 0xFFFF0001"}));
    EXPECT_EQ(m->SearchByCoop(4, L"abc", 20, 20), 2);
    Ended();
    EXPECT_EQ(CountLines("fetch http://api.soft.zubpellor.com/index.php?c=Search&a=getSoftListByCoop&cver=v1"
                         "&start=0&count=20&kw=ABC&tail=1"), 1);
    EXPECT_EQ(CountLines("fetch http://api.soft.zubpellor.com/index.php?c=Search&a=getSoftListByCoop&cver=v1"
                         "&start=20&count=20&kw=ABC&tail=1"), 1);
    EXPECT_TRUE(LinesStartingWith("details.").empty());
    EXPECT_EQ(m->GetSearchTotal(L"abc"), 42);
    EXPECT_EQ(Keyword(2), "ABC");
    IBexPlugin* out = nullptr;
    BOOL ok = m->GetCoopSearchIds(L"Abc", 20, &out);
    EXPECT_EQ(BufferIds(ok, out), (std::vector<uint32_t>{301, 302}));
    ok = m->GetCoopSearchIdsById(1, &out);
    EXPECT_EQ(BufferIds(ok, out), (std::vector<uint32_t>{301, 302}));
    EXPECT_FALSE(m->GetCoopSearchIds(L"abc", 40, &out));

    Answer("search\\total");
    EXPECT_EQ(m->SearchByCoop(4, L"abc", 40, 20), 3);
    Ended();
    EXPECT_EQ(m->GetSearchTotal(L"ABC"), 0);  // "lots" is no number
}

TEST_F(SoftSearch, AfterStopAndStartASearchAsksAgain) {
    Answer("search\\ok");
    ISoftListMgr* m = Started();
    EXPECT_EQ(m->Search(7, L"abc"), 1);
    Ended();
    EXPECT_EQ(m->Stop(), 1);
    IBexPlugin* out = nullptr;
    EXPECT_FALSE(m->GetSearchItem(301, &out));
    EXPECT_EQ(Keyword(1), "(null)");
    EXPECT_EQ(m->Search(7, L"abc"), 0);
    EXPECT_EQ(m->Start(), 1);
    EXPECT_TRUE(SearchIds(L"abc").empty());
    EXPECT_EQ(m->Search(7, L"abc"), 1);
    EXPECT_EQ(Ended(), (EventList{"2 7 0xFFFF0001", "4 7 0xFFFF0001", "3 7 0xFFFF0001"}));
    EXPECT_EQ(LinesStartingWith("fetch ").size(), 2u);
    ASSERT_TRUE(m->GetSearchItem(302, &out));
    out->Release();
}

}  // namespace
