// The list manager as the kernel shares it between clients: a client that
// comes back while the worker parses answers, and Start and Stop from many
// threads at once.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "plugins/catalog/soft_list_mgr.h"
#include "tests/plugins/catalog_fixture.h"
#include "tests/plugins/process_figures.h"
#include "tests/support/message_pump.h"

namespace {

using catalog::CSoftListMgr;
using catalog::ISoftListMgr;

template <typename Body>
struct Job {
    Body* body;
    int index;
};

template <typename Body>
DWORD WINAPI RunJob(void* p) {
    auto* job = static_cast<Job<Body>*>(p);
    (*job->body)(job->index);
    return 0;
}

// Runs `body(i)` on `count` threads and waits for them all; a deadlock ends
// the test program after `timeoutMs`.
template <typename Body>
void OnThreads(int count, DWORD timeoutMs, Body body) {
    std::vector<Job<Body>> jobs(static_cast<size_t>(count));
    std::vector<HANDLE> threads;
    for (int i = 0; i < count; ++i) {
        jobs[static_cast<size_t>(i)] = Job<Body>{&body, i};
        threads.push_back(::CreateThread(nullptr, 0, &RunJob<Body>, &jobs[static_cast<size_t>(i)], 0, nullptr));
    }
    const bool ended = ::WaitForMultipleObjects(static_cast<DWORD>(count), threads.data(), TRUE, timeoutMs) ==
                       WAIT_OBJECT_0;
    if (!ended) {
        // A deadlock: nothing can be cleaned up; say so and end here.
        std::printf("the threads did not end within %lu ms\n", static_cast<unsigned long>(timeoutMs));
        std::fflush(stdout);
        ::TerminateProcess(::GetCurrentProcess(), 3);
    }
    for (HANDLE thread : threads) ::CloseHandle(thread);
}

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
        // A store that keeps nothing: every Stop saves what the manager
        // holds, and only the balance matters here.
        ::SetEnvironmentVariableW(L"BEXTEST_STORE", (WorkDir() + L"none\\store").c_str());
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
    const auto bex = reinterpret_cast<protocol::BexPluginFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel_, protocol::kBexPluginName)));
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

}  // namespace
