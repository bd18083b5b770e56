// Recommendations through the stand-in kernel: Tandrel's classes 301, 302,
// 147 and 148 made by the kernel, a data file in the manager folder, counts
// and the update time in the numbered store and the options.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlwapi.h>
#include <windows.h>

#include <ctime>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "plugins/catalog/async_result.h"
#include "plugins/catalog/catalog_classes.h"
#include "plugins/catalog/recommend_classes.h"
#include "plugins/catalog/soft_recommend.h"
#include "plugins/common/kernel_calls.h"
#include "tests/plugins/catalog/catalog_fixture.h"
#include "tests/plugins/catalog/client_result.h"
#include "tests/plugins/deadline.h"
#include "tests/plugins/process_figures.h"
#include "tests/support/message_pump.h"
#include "base/handles.h"

using testsupport::Narrow;

namespace {

using catalog::ISoftReCmdData;
using catalog::ISoftReCommend;
using catalog::ISoftReCommend3;

std::string Class(const std::string& name, const std::string& ids, const std::string& mode, const std::string& softs,
                  const std::string& extra = "") {
    return "<c><name>" + name + "</name><alias>A" + name.substr(1) + "</alias><soft_ids>" + ids +
           "</soft_ids><mode>" + mode + "</mode>" + extra + "<softs>" + softs + "</softs></c>";
}
std::string Tag(const std::string& name, const std::string& baike, const std::string& complements = "") {
    return "<t><taginfo><tagname>" + name + "</tagname><baike_name>" + baike + "</baike_name></taginfo>" +
           "<complement_tag>" + complements + "</complement_tag></t>";
}
std::string Soft(int id, int display, const std::string& tags, const std::string& extra = "") {
    return "<s><id>" + std::to_string(id) + "</id><display>" + std::to_string(display) + "</display>" + extra +
           "<soft_tags>" + tags + "</soft_tags></s>";
}
// The class most tests ask for, C1: soft 1 not displayed, soft 2 with soft
// 1's tag in another case and a description and entry name of its own, soft
// 3 with a tag of its own.
std::string C1(const std::string& mode = "0") {
    return Class("C1", "1,2,3", mode,
                 Soft(1, 0, Tag("x", "bx1")) +
                     Soft(2, 1, Tag("X", "bx2"), "<desp>d2</desp><baike_name>b2</baike_name>") +
                     Soft(3, 1, Tag("y", "by3")));
}
std::string Data(const std::string& classes) {
    return "<r><classes>" + classes + "</classes><softinfo><i><id>2</id><zan_name>z2</zan_name></i>"
           "<i><zan_name>none</zan_name></i></softinfo></r>";
}

std::string Utf8(const wchar_t* text) {
    std::string out;
    for (; text && *text; ++text) out += *text < 128 ? static_cast<char>(*text) : '?';
    return out;
}

class Recommend : public CatalogTest {
protected:
    void SetUp() override {
        CatalogTest::SetUp();
        ::CoInitialize(nullptr);
        folder_ = WorkDir() + L"recmd\\";
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        ::DeleteFileW((folder_ + L"SoftReCmdEx.dat").c_str());
        ::DeleteFileW(OptionsPath().c_str());
        Configure("[environment]\nmanagerFolder=" + Narrow(folder_) + "\n");
        ASSERT_EQ(LoadPlugin(L"Tandrel.dll"), S_OK);
    }
    void TearDown() override {
        for (IBexPlugin* object : made_) object->Release();
        CatalogTest::TearDown();
        ::CoUninitialize();
    }

    void WriteData(const std::string& xml) { std::ofstream(Narrow(folder_ + L"SoftReCmdEx.dat")) << xml; }
    std::wstring OptionsPath() { return Env(L"BEXTEST_STORE") + L".ini"; }
    // Options live in the kernel's configuration, numbered values in the store's ini.
    void Preset(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
        const std::wstring path = std::wstring(section) == L"options" ? Env(L"BEXTEST_CONFIG") : OptionsPath();
        ::WritePrivateProfileStringW(section, key, value.c_str(), path.c_str());
    }
    static std::wstring Hex(const std::vector<uint32_t>& words) {
        std::wstring hex;
        wchar_t byte[3];
        for (uint32_t w : words)
            for (int i = 0; i < 4; ++i) {
                swprintf(byte, 3, L"%02X", (w >> (8 * i)) & 0xFF);
                hex += byte;
            }
        return hex;
    }

    template <typename T>
    T* Make(uint32_t id) {
        IBexPlugin* object = nullptr;
        EXPECT_EQ(Create(id, &object), S_OK);
        made_.push_back(object);
        return static_cast<T*>(object);
    }
    ISoftReCommend* Started() {
        auto* r = Make<ISoftReCommend>(301);
        EXPECT_EQ(r->Start(), 1);
        EXPECT_TRUE(WaitForLines("file.read"));
        return r;
    }

    protocol::PluginRef<protocol::kernel::ByteBuffer> Buffer(const std::vector<uint32_t>& ids) {
        protocol::PluginRef<protocol::kernel::ByteBuffer> b;
        EXPECT_EQ(plugin::CreateKernelObject(b), S_OK);
        if (!ids.empty()) memcpy(protocol::BufferAllocate(b.Get(), static_cast<int>(ids.size() * 4)), ids.data(),
                                 ids.size() * 4);
        return b;
    }

    using Slot = LONG (BEX_CALL ISoftReCommend3::*)(IBexPlugin*, IBexPlugin*, void*, IBexAsyncResult*);
    // Queues through `slot` and waits; the status, `out` the result object.
    LONG Ask(ISoftReCommend* r, Slot slot, const std::vector<uint32_t>& owned, const std::vector<uint32_t>& excluded,
             protocol::PluginRef<>* out = nullptr) {
        const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        protocol::PluginRef<IBexAsyncResult> result(catalog::CreateAsyncResult(event, nullptr));
        auto o = Buffer(owned), e = Buffer(excluded);
        EXPECT_EQ((static_cast<ISoftReCommend3*>(r)->*slot)(o.Get(), e.Get(), nullptr, result.Get()), 1);
        EXPECT_EQ(::WaitForSingleObject(event, 10000), WAIT_OBJECT_0);
        ::CloseHandle(event);
        protocol::PluginRef<> object;
        const LONG status = result->GetResult(object.PutPlugin());
        if (out) *out = std::move(object);
        return status;
    }
    LONG Ask(ISoftReCommend* r, const std::vector<uint32_t>& owned, const std::vector<uint32_t>& excluded = {},
             protocol::PluginRef<>* out = nullptr) {
        return Ask(r, &ISoftReCommend3::Request, owned, excluded, out);
    }
    static uint32_t SoftOf(const protocol::PluginRef<>& record) {
        return static_cast<ISoftReCmdData*>(record.Get())->GetSoftId();
    }

    void ExpectNothingFrom(const char* text);
    void ExpectNoAgeing(int64_t offset);

    std::wstring folder_;
    std::vector<IBexPlugin*> made_;
};

TEST_F(Recommend, ARecordCarriesThePickTheSoftAndItsTexts) {
    std::ofstream(Narrow(folder_ + L"SoftReCmd.dat")) << "old";
    WriteData(Data(C1()));
    Preset(L"num.21", L"0", Hex({5}));  // saved before: kept in the union
    ISoftReCommend* r = Started();
    protocol::PluginRef<> record;
    ASSERT_EQ(Ask(r, {1}, {}, &record), 1);
    EXPECT_EQ(r->GetCount(), 1);
    auto* data = static_cast<ISoftReCmdData*>(record.Get());
    EXPECT_EQ(data->GetPickId(), 1u);
    EXPECT_EQ(data->GetSoftId(), 2u);
    EXPECT_EQ(Utf8(data->GetDesp()), "d2");
    EXPECT_EQ(Utf8(data->GetClassBaike()), "C1_b2");
    EXPECT_EQ(Utf8(data->GetAlias()), "A1");
    EXPECT_EQ(Utf8(data->GetZanName()), "z2");
    EXPECT_EQ(Utf8(data->GetText6()), "");
    EXPECT_EQ(data->GetTags(nullptr), 0);
    protocol::PluginRef<protocol::kernel::ObjectList> tags;
    ASSERT_EQ(data->GetTags(tags.PutPlugin()), 1);
    ASSERT_EQ(protocol::ListCount(tags.Get()), 1);
    EXPECT_EQ(Utf8(protocol::StringText(protocol::ListItemOf<protocol::kernel::String>(tags.Get(), 0).Get())->c_str()),
              "bx2");
    EXPECT_FALSE(::PathFileExistsW((folder_ + L"SoftReCmd.dat").c_str()));

    EXPECT_EQ(Ask(r, {1}, {2}), 0);  // excluded
    EXPECT_EQ(Ask(r, {9}), 0);       // owns nothing of the class

    ClearLog();
    EXPECT_EQ(r->SaveUpdateTime(), 1);
    EXPECT_EQ(CountLines("num.set 21 0 8 data=0200000005000000"), 1);
    EXPECT_EQ(LinesStartingWith("47.6 Mirrik\\UpdateTime ").size(), 1u);
    EXPECT_EQ(CountLines("47.7"), 1);
}

TEST_F(Recommend, WithoutStoreOrOptionsNothingIsCountedOrSaved) {
    WriteData(Data(C1()));
    Configure("[environment]\nmanagerFolder=" + Narrow(folder_) + "\n[classes]\n107=refuse\n47=refuse\n");
    ISoftReCommend* r = Started();
    EXPECT_EQ(Ask(r, {1}), 1);
    EXPECT_EQ(r->SaveUpdateTime(), 1);
    EXPECT_TRUE(LinesStartingWith("num.").empty());
    EXPECT_TRUE(LinesStartingWith("47.").empty());
}

TEST_F(Recommend, WithoutARecordTheRequestCompletesWithNothing) {
    WriteData(Data(C1()));
    Configure("[environment]\nmanagerFolder=" + Narrow(folder_) + "\n[classes]\n302=refuse\n");
    ISoftReCommend* r = Started();
    EXPECT_EQ(Ask(r, {1}), 0);
    EXPECT_EQ(r->SaveUpdateTime(), 1);
    EXPECT_TRUE(LinesStartingWith("num.set").empty());
}

TEST_F(Recommend, AClassWithAPositiveGradeNeverRecommends) {
    // The data file fills no rating, so every candidate rates 0.
    WriteData(Data(Class("C1", "1,2", "0", Soft(1, 1, Tag("x", "b")) + Soft(2, 1, Tag("x", "b")),
                         "<grade>0.5</grade>")));
    ISoftReCommend* r = Started();
    EXPECT_EQ(Ask(r, {1}), 0);
}

// Parameterised names hold "/", which the log's file name cannot.
void Recommend::ExpectNothingFrom(const char* text) {
    if (text) WriteData(text);
    ISoftReCommend* r = Started();
    EXPECT_EQ(Ask(r, {1}), 0);
    EXPECT_EQ(r->GetCount(), 0);
    EXPECT_EQ(r->SaveUpdateTime(), 1);
    EXPECT_TRUE(LinesStartingWith("47.6").empty());
}
TEST_F(Recommend, AMissingDataFileRecommendsNothing) { ExpectNothingFrom(nullptr); }
TEST_F(Recommend, AnEmptyDataFileRecommendsNothing) { ExpectNothingFrom(""); }
TEST_F(Recommend, ACutDataFileRecommendsNothing) { ExpectNothingFrom("<r><classes>"); }
TEST_F(Recommend, ADataFileThatIsNoXmlRecommendsNothing) { ExpectNothingFrom("not xml"); }

TEST_F(Recommend, AFreshClassTriesItsSecondModeFirst) {
    // Mode "1,0,2": flags 0 then 1; soft 1's own tag x leads to 2, its
    // complement tag y to 3.
    WriteData(Data(Class("C1", "1,2,3", "1,0,2",
                         Soft(1, 1, Tag("x", "bx1", "<k><tagname>y</tagname><baike_name>cy</baike_name></k>")) +
                             Soft(2, 1, Tag("x", "bx2")) + Soft(3, 1, Tag("y", "by3")))));
    ISoftReCommend* r = Started();
    protocol::PluginRef<> first, second;
    ASSERT_EQ(Ask(r, {1}, {}, &first), 1);
    ASSERT_EQ(Ask(r, {1}, {}, &second), 1);
    EXPECT_EQ(SoftOf(first), 2u);
    EXPECT_EQ(SoftOf(second), 3u);
}

TEST_F(Recommend, RequestOnceWalksTheClassesInTurn) {
    std::string classes;
    for (const char* name : {"C1", "C2", "C3"})
        classes += Class(name, "1,2", "0", Soft(1, 1, Tag("x", "bx1")) + Soft(2, 1, Tag("x", "bx2")));
    classes += Class("C4", "1,2", "0", "", "<grade>x</grade>");
    WriteData(Data(classes + "<c><name>Cx</name><alias>Ax</alias><soft_ids>1</soft_ids><mode>0</mode></c>"));
    ISoftReCommend* r = Started();
    EXPECT_EQ(r->GetCount(), 4);  // the class without "softs" is skipped
    for (const char* name : {"C1_", "C2_", "C3_"}) {
        protocol::PluginRef<> record;
        ASSERT_EQ(Ask(r, &ISoftReCommend3::RequestOnce, {1}, {}, &record), 1);
        EXPECT_EQ(Utf8(static_cast<ISoftReCmdData*>(record.Get())->GetClassBaike()), name);
    }
}

TEST_F(Recommend, TheLeastShownSoftComesFirstAndCountsAgeOnceADay) {
    WriteData(Data(Class("C1", "1,2,4", "0",
                         Soft(1, 1, Tag("x", "b")) + Soft(2, 1, Tag("x", "b")) + Soft(4, 1, Tag("x", "b")))));
    Preset(L"num.20", L"0", Hex({2, 4}));
    Preset(L"num.20", L"2", Hex({5}));
    Preset(L"num.20", L"4", Hex({0}));
    Preset(L"num.21", L"0", Hex({2}));
    Preset(L"options", L"Mirrik\\UpdateTime", std::to_wstring(_time64(nullptr) - 90000));
    ISoftReCommend* r = Started();
    protocol::PluginRef<> record;
    ASSERT_EQ(Ask(r, {1}, {}, &record), 1);
    EXPECT_EQ(SoftOf(record), 4u);
    EXPECT_EQ(CountLines("num.set 20 2 4 data=06000000"), 1);
    EXPECT_EQ(CountLines("num.clear 21"), 1);
}

void Recommend::ExpectNoAgeing(int64_t offset) {
    WriteData(Data(C1()));
    Preset(L"num.21", L"0", Hex({2}));
    Preset(L"options", L"Mirrik\\UpdateTime", std::to_wstring(_time64(nullptr) + offset));
    ISoftReCommend* r = Started();
    EXPECT_EQ(Ask(r, {9}), 0);
    EXPECT_TRUE(LinesStartingWith("num.set").empty());
    EXPECT_TRUE(LinesStartingWith("num.clear").empty());
}
TEST_F(Recommend, ARecentUpdateTimeAgesNothing) { ExpectNoAgeing(-1000); }
TEST_F(Recommend, AFutureUpdateTimeAgesNothing) { ExpectNoAgeing(100000); }
TEST_F(Recommend, AnUpdateTimeThatIsNoNumberAgesNothing) {
    WriteData(Data(C1()));
    Preset(L"num.21", L"0", Hex({2}));
    Preset(L"options", L"Mirrik\\UpdateTime", L"12x");
    ISoftReCommend* r = Started();
    EXPECT_EQ(Ask(r, {9}), 0);
    EXPECT_TRUE(LinesStartingWith("num.clear").empty());
}

TEST_F(Recommend, TheWrappersListAndAskOnlyTheirOwnManager) {
    std::string softs;
    for (int id = 1; id <= 6; ++id) softs += Soft(id, 1, Tag("x", "b" + std::to_string(id)));
    WriteData(Data(Class("C1", "1,2,3,4,5,6", "0", softs)));
    auto* w = Make<ISoftReCommend3>(148);
    EXPECT_EQ(w->IsReady(nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(w->Start(), 1);
    ASSERT_TRUE(WaitForLines("file.read"));
    protocol::PluginRef<> list;
    const LONG n = Ask(w, &ISoftReCommend3::RequestList, {1, 2}, {3}, &list);
    ASSERT_EQ(n, 3);
    auto* records = protocol::kernel::As<protocol::kernel::ObjectList>(list.Get());
    ASSERT_EQ(protocol::ListCount(records), 3);
    std::set<uint32_t> ids;
    for (int i = 0; i < 3; ++i) ids.insert(SoftOf(protocol::ListItem(records, i)));
    EXPECT_EQ(ids, (std::set<uint32_t>{4, 5, 6}));
    EXPECT_EQ(w->ClearRequests(), 1);
}

TEST_F(Recommend, AForeignManagerIsNotAskedForTheWrappersOwnSlots) {
    Configure("[classes]\n301=foreign\n");
    auto* f = Make<ISoftReCommend3>(148);
    auto b = Buffer({1});
    EXPECT_EQ(f->IsReady(nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(f->GetCount(), 0);
    EXPECT_EQ(f->Request(b.Get(), b.Get(), reinterpret_cast<void*>(0x5), nullptr), 0);
    EXPECT_EQ(CountLines("foreign 301.4 []"), 1);
    EXPECT_EQ(LinesStartingWith("foreign 301.5 [").size(), 1u);
    EXPECT_EQ(f->RequestList(b.Get(), b.Get(), nullptr, nullptr), 0);
    EXPECT_EQ(f->RequestFirst(b.Get(), b.Get(), nullptr, nullptr), 0);
    EXPECT_EQ(f->ClearRequests(), 0);
}

TEST_F(Recommend, QueuedRequestsFailWhenClearedOrWhenTheManagerGoes) {
    for (const bool destroy : {true, false}) {
        SCOPED_TRACE(destroy ? "destroyed" : "cleared");
        IBexPlugin* object = nullptr;
        ASSERT_EQ(destroy ? catalog::CreateSoftReCommend(&object) : Create(148, &object), S_OK);
        auto* r = static_cast<ISoftReCommend3*>(object);  // not started: the requests stay queued
        std::vector<base::Event> events;
        std::vector<protocol::PluginRef<IBexAsyncResult>> results;
        auto b = Buffer({1});
        for (int i = 0; i < 3; ++i) {
            events.emplace_back(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
            results.emplace_back(catalog::CreateAsyncResult(events.back().Get(), nullptr));
            ASSERT_EQ(r->Request(b.Get(), b.Get(), nullptr, results.back().Get()), 1);
        }
        if (destroy) {
            EXPECT_EQ(object->Release(), 0);
            EXPECT_EQ(object->Release(), 0);
        } else {
            EXPECT_EQ(r->ClearRequests(), 1);
            object->Release();
        }
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(::WaitForSingleObject(events[i].Get(), 0), WAIT_OBJECT_0) << i;
            EXPECT_EQ(results[i]->GetResult(nullptr), 2) << i;
        }
    }
}

TEST(RecommendData, ReadsClassesAndSkipsWhatIsIncomplete) {
    ::CoInitialize(nullptr);
    EXPECT_EQ(catalog::ReadIdList(L"1,,x,0,2"), (std::vector<uint32_t>{1, 0, 2}));
    const std::wstring longText(300, L'w');
    const std::wstring xml =
        L"<!DOCTYPE r SYSTEM \"http://127.0.0.1:1/none.dtd\"><r><classes>"
        L"<c><name>" + longText + L"</name><alias>A</alias><soft_ids>1,,x,0,2</soft_ids><mode>1,0,2</mode>"
        L"<grade>x</grade><softs><s><id>1</id><desp>" + longText + L"</desp><baike_name>" + longText +
        L"</baike_name><soft_tags><t><taginfo><tagname>only</tagname></taginfo></t></soft_tags></s>"
        L"<s><display>1</display></s></softs></c>"
        L"<c><alias>A</alias><soft_ids>1</soft_ids><mode>0</mode><softs/></c>"
        L"<c><name>N</name><alias>A</alias><soft_ids>1</soft_ids><mode>3</mode><softs/></c>"
        L"</classes></r>";
    std::vector<catalog::ReCmdClass> classes;
    std::map<uint32_t, std::wstring> zan;
    ASSERT_TRUE(catalog::ReadReCommendData(xml, classes, zan));
    ASSERT_EQ(classes.size(), 1u);
    const catalog::ReCmdClass& c = classes[0];
    EXPECT_EQ(c.name.size(), 49u);
    EXPECT_EQ(c.softIds, (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(c.modeFlags, (std::vector<int>{0, 1}));
    EXPECT_EQ(c.grade, 0);
    ASSERT_EQ(c.softs.size(), 1u);
    EXPECT_EQ(c.softs.at(1).desp.size(), 259u);
    EXPECT_EQ(c.softs.at(1).baike.size(), 99u);
    EXPECT_TRUE(c.softs.at(1).tags.empty());  // a tag without its baike name

    std::wstring many = L"<r><classes>";
    for (int i = 0; i < 3000; ++i)
        many += L"<c><name>N</name><alias>A</alias><soft_ids>1</soft_ids><mode>0</mode><softs/></c>";
    classes.clear();
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(catalog::ReadReCommendData(many + L"</classes></r>", classes, zan));
    EXPECT_EQ(classes.size(), 3000u);
    EXPECT_LT(::GetTickCount() - start, 10000u);
    EXPECT_FALSE(catalog::ReadReCommendData(L"<r>", classes, zan));
    ::CoUninitialize();
}

TEST_F(Recommend, NoKernelCallIsMadeUnderItsLock) {
    WriteData(Data(C1()));
    ISoftReCommend* r = Started();
    ASSERT_EQ(Ask(r, {1}), 1);  // recommended: the update time reads the store
    ClientResult slowClient, probe;
    slowClient.slowAddRefMs = 2000;
    slowClient.fastAddRefs = 1;  // the client's own, as it is queued
    auto owned = Buffer({1}), excluded = Buffer({});
    const struct {
        const char* what;
        const char* slowLine;  // the kernel call that takes 2 s
        std::function<void()> busy;
        std::function<bool()> inside;
    } cases[] = {
        {"the stored ids of the update time", "num.get 21", [r] { r->SaveUpdateTime(); },
         [this] { return WaitForLines("num.get 21"); }},
        {"a client's request being served", "",
         [&] {
             r->Request(owned.Get(), excluded.Get(), nullptr, &slowClient);
             slowClient.Completed();
         },
         [&] {  // the worker's reference, or none at all
             const HANDLE either[2] = {slowClient.inAddRef.Get(), slowClient.done.Get()};
             return ::WaitForMultipleObjects(2, either, FALSE, 10000) < WAIT_OBJECT_0 + 2;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLog();
        SlowKernel(c.slowLine, 2000);
        const long long took = deadline::TookWhile(
            c.busy, c.inside, [&] { r->Request(owned.Get(), excluded.Get(), nullptr, &probe); });
        EXPECT_TRUE(took >= 0 && took < 700) << took;
        SlowKernel("", 0);
    }
}

TEST_F(Recommend, AClientMayLetGoOfTheManagerFromItsCompletion) {
    WriteData(Data(C1()));
    const int before = CountThreads();
    IBexPlugin* object = nullptr;
    ASSERT_EQ(catalog::CreateSoftReCommend(&object), S_OK);  // not shared: the client's to end
    auto* r = static_cast<ISoftReCommend*>(object);
    ASSERT_EQ(r->Start(), 1);
    ClientResult client;
    client.onComplete = [r] {
        r->Release();
        r->Release();
    };
    auto owned = Buffer({1}), excluded = Buffer({});
    deadline::Within(30000, [&] {
        EXPECT_EQ(r->Request(owned.Get(), excluded.Get(), nullptr, &client), 1);
        EXPECT_TRUE(client.Completed());
    });
    // The worker ends, taking the manager along.
    EXPECT_TRUE(testsupport::WaitUntil([&] { return CountThreads() == before; }, 5000));
}

}  // namespace
