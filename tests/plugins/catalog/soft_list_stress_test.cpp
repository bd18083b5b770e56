// The list manager as the kernel shares it between clients: a client that
// comes back while the worker parses answers, and Start and Stop from many
// threads at once.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "base/module_exports.h"
#include "plugins/catalog/soft_list_mgr.h"
#include "tests/plugins/catalog/catalog_fixture.h"
#include "tests/plugins/deadline.h"
#include "tests/plugins/process_figures.h"
#include "tests/support/message_pump.h"

using testsupport::Narrow;

namespace {

using catalog::CSoftListMgr;
using catalog::ISoftListMgr;

using deadline::OnThreads;

class SoftListStress : public CatalogTest {
protected:
    // A catalogue of kind 0 with one entry, whose pages all answer `softs`
    // softs, served byte for byte from a folder of this test's own.
    void ServeLists(int softs, const std::string& fetch) {
        const std::string folder = Narrow(WorkDir()) + "stress";
        ::CreateDirectoryA(folder.c_str(), nullptr);
        ::CreateDirectoryA((folder + "\\static").c_str(), nullptr);
        ::CreateDirectoryA((folder + "\\static\\ess").c_str(), nullptr);
        std::ofstream(folder + "\\static\\ess\\class_6_0.xml", std::ios::binary)
            << "<ret><softs><soft><name>s</name><url>http://127.0.0.1/p?start=%s&amp;%s</url></soft></softs></ret>";
        std::string page = "<ret><softs>";
        for (int i = 1; i <= softs; ++i)
            page += "<soft><id>" + std::to_string(i) + "</id><bname>b" + std::to_string(i) + "</bname></soft>";
        std::ofstream(folder + "\\p", std::ios::binary) << page << "</softs></ret>";
        Configure("[fetch]\nraw=1\nfixtures=" + folder + "\n" + fetch + "\n[environment]\ntail=t=1\n");
        // Every Stop saves what the manager holds; only the balance matters here.
        ForgetfulStore();
    }
};

TEST_F(SoftListStress, AClientComingBackWhileTheWorkerParsesNeverDeadlocks) {
    ServeLists(200, "mode=later\ndelay=10");
    ASSERT_EQ(LoadPlugin(L"Tandrel.dll"), S_OK);
    IBexPlugin* object = nullptr;
    ASSERT_EQ(Create(70, &object), S_OK);
    auto* mgr = static_cast<ISoftListMgr*>(object);
    ASSERT_EQ(mgr->Start(), 1);
    mgr->RequestCatalog(0);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return mgr->GetCatalogCount(0) == 1; }, 10000));
    for (int page = 1; page <= 60; ++page) mgr->RequestList(0, 0, page);

    // The client lets go (the worker drains its queue at count 0) and comes
    // back through the kernel, which holds its own lock around AddRef.
    const auto bex = base::Export<protocol::BexPluginFn>(kernel_, protocol::kBexPluginName);
    size_t parsed = 0;
    OnThreads(1, 30000, [&](int) {
        // At least 300 times, and until the worker parsed ten answers meanwhile.
        for (int i = 0; i < 300 || (parsed < 10 && i < 5000); ++i) {
            mgr->Release();
            ::Sleep(2);
            IBexPlugin* again = nullptr;
            bex(70, &again);
            if (i % 25 == 0) parsed = LinesStartingWith("details.start").size();
        }
    });
    EXPECT_GE(parsed, 10u);
    EXPECT_EQ(mgr->Stop(), 1);
    mgr->Release();
}

TEST_F(SoftListStress, StartAndStopFromEightThreadsLeaveOneWorkerOrNone) {
    // Slow answers, and no client holding the manager (so no pause between
    // passes): the worker is inside a poll whenever Stop waits for it.
    ServeLists(5, "mode=later\ndelay=200");
    ::SetEnvironmentVariableW(L"BEXTEST_LOG", nullptr);  // the balance is counted all the same
    IBexPlugin* object = nullptr;
    ASSERT_EQ(catalog::CreateSoftListMgr(&object), S_OK);
    auto* mgr = static_cast<ISoftListMgr*>(object);
    EXPECT_EQ(mgr->Release(), 0);
    const int before = CountThreads();
    OnThreads(8, 40000, [&](int thread) {
        // Stop, Start, ..., Start: the manager ends started, with one worker.
        for (int i = 0; i < 200; ++i) {
            if (i % 2 == 1) {
                mgr->Start();
                mgr->RequestCatalog(thread % 4);
            } else {
                mgr->Stop();
            }
        }
    });
    // The stand-in's answering threads end within their delay; workers stay.
    EXPECT_TRUE(testsupport::WaitUntil([&] { return CountThreads() <= before + 1; }, 5000))
        << CountThreads() - before << " threads more";
    EXPECT_EQ(mgr->Stop(), 1);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return CountThreads() == before; }, 5000));
    EXPECT_EQ(CSoftListMgr::Terminations(), 0);
    mgr->Release();
}

// The worker alone, its handler the test's: held inside the state's lock,
// or outside every lock for ever, or asking its own worker to stop.
struct WorkerBench {
    enum Mode { kInsideLock, kForEver, kStopsItself };
    explicit WorkerBench(Mode m) : mode(m) {}
    const Mode mode;
    catalog::SoftListWorker worker;
    catalog::GuardedState state;
    base::Event inHandler{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};

    static void Handle(void* self, catalog::SoftListRequest&) {
        auto* bench = static_cast<WorkerBench*>(self);
        ::SetEvent(bench->inHandler.Get());
        if (bench->mode == kInsideLock) bench->state.With([](catalog::SoftListState&) { ::Sleep(3000); });
        if (bench->mode == kForEver) ::Sleep(INFINITE);
        if (bench->mode == kStopsItself) bench->worker.Stop(200, bench->state);
    }
};

TEST_F(SoftListStress, AWorkerIsEndedOnlyOutsideTheLocksAndNeverWaitsForItself) {
    const struct {
        const char* what;
        WorkerBench::Mode mode;
        LONG ended;  // by force
    } cases[] = {
        {"inside the state's lock for 3 s", WorkerBench::kInsideLock, 0},
        {"outside every lock for ever", WorkerBench::kForEver, 1},
        {"asking its own worker to stop", WorkerBench::kStopsItself, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WorkerBench bench(c.mode);
        ASSERT_TRUE(bench.worker.Start(&WorkerBench::Handle, &bench));
        bench.worker.Queue(catalog::SoftListRequest());
        ASSERT_EQ(::WaitForSingleObject(bench.inHandler.Get(), 10000), WAIT_OBJECT_0);
        const LONG before = CSoftListMgr::Terminations();
        OnThreads(1, 20000, [&](int) {
            bench.worker.Stop(200, bench.state);
            bench.state.With([](catalog::SoftListState&) {});  // left free
        });
        EXPECT_EQ(CSoftListMgr::Terminations() - before, c.ended);
    }
}

}  // namespace
