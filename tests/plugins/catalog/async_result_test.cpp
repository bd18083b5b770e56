// Completion objects and the two fetch patterns against the stand-in
// kernel's fetch (class 41) and completion (class 406).
#include <string>
#include <thread>
#include <vector>

#include "plugins/catalog/async_result.h"
#include "plugins/common/kernel_binding.h"
#include "tests/doubles/kernel/kernel_fixture.h"
#include "tests/support/message_pump.h"
#include "base/handles.h"

using testsupport::Narrow;

namespace {

using catalog::CreateAsyncResult;
using catalog::FetchAndWait;
using catalog::PendingFetch;

struct Counted : IBexPlugin {
    LONG count = 1;
    uint32_t BEX_CALL GetClassId() override { return 7777; }
    LONG BEX_CALL AddRef() override { return ++count; }
    LONG BEX_CALL Release() override { return --count; }
};

class AsyncResult : public BexKernelTest {
protected:
    void SetUp() override {
        BexKernelTest::SetUp();
        ASSERT_EQ(plugin::LoadKernelDll(), S_OK);
    }
    // The stand-in's fetch serves the repository's fixtures.
    void ConfigureFetch(const std::string& extra) {
        Configure("[fetch]\nfixtures=" + Narrow(Env(L"TEST_SOURCE_DIR")) + "\\..\\..\\fixtures\\bex\n" + extra);
    }
    bool WaitForLine(const std::string& line) {
        return testsupport::WaitUntil([&] { return CountLines(line) > 0; }, 10000);
    }
    static constexpr const wchar_t* kUrl = L"http://127.0.0.1/hello.xml?x=1";
};

TEST_F(AsyncResult, CompletionHoldsOneReferenceAndSignalsItsEvent) {
    base::Event event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    int context = 0;
    IBexAsyncResult* result = CreateAsyncResult(event.Get(), &context).Detach();
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->GetClassId(), 8u);
    EXPECT_EQ(result->GetContext(), &context);
    Counted x;
    result->Complete(1, &x);
    result->Complete(1, &x);
    EXPECT_EQ(x.count, 2);
    EXPECT_EQ(result->Complete(3, nullptr), 0);
    EXPECT_EQ(::WaitForSingleObject(event.Get(), 0), WAIT_OBJECT_0);
    IBexPlugin* held = nullptr;
    EXPECT_EQ(result->GetResult(&held), 3);
    EXPECT_EQ(held, &x);
    EXPECT_EQ(x.count, 3);
    held->Release();
    EXPECT_EQ(result->GetResult(nullptr), 3);
    EXPECT_EQ(x.count, 2);
    EXPECT_EQ(CountLines("-4 8"), 0);
    EXPECT_EQ(result->Release(), 0);
    EXPECT_EQ(CountLines("-3 8"), 1);
    EXPECT_EQ(CountLines("-4 8"), 1);
    EXPECT_EQ(x.count, 1);
}

// Counts a revival from 0: an AddRef on an object already let go of. Its
// AddRef dawdles first, as a slow caller between reading and adding would.
struct Fragile : IBexPlugin {
    volatile LONG count = 1;
    volatile LONG* revived = nullptr;
    uint32_t BEX_CALL GetClassId() override { return 7778; }
    LONG BEX_CALL AddRef() override {
        for (volatile int i = 0; i < 1000; ++i) {
        }
        const LONG now = ::InterlockedIncrement(&count);
        if (now == 1) ::InterlockedIncrement(revived);
        return now;
    }
    LONG BEX_CALL Release() override { return ::InterlockedDecrement(&count); }
};

TEST_F(AsyncResult, AResultTakenWhileAnotherCompletesIsStillAlive) {
    IBexAsyncResult* result = CreateAsyncResult(nullptr, nullptr).Detach();
    ASSERT_NE(result, nullptr);
    volatile LONG revived = 0;
    std::vector<Fragile> objects(20000);
    volatile LONG done = 0;
    volatile LONG reads = 0;
    std::thread reader([&] {
        while (!done) {
            IBexPlugin* out = nullptr;
            result->GetResult(&out);
            if (out) out->Release();
            ::InterlockedIncrement(&reads);
        }
    });
    while (!reads) ::Sleep(0);
    for (Fragile& object : objects) {
        object.revived = &revived;
        result->Complete(1, &object);
        object.Release();  // now only the result holds it
    }
    ::InterlockedExchange(&done, 1);
    reader.join();
    result->Release();
    EXPECT_EQ(revived, 0);
    for (const Fragile& object : objects) ASSERT_EQ(object.count, 0);
}

TEST_F(AsyncResult, TheKernelsCompletionObjectIsPreferredWhenItHasOne) {
    Configure("[classes]\n406=serve\n");
    base::Event event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    bool kernelMade = false;
    protocol::PluginRef<IBexAsyncResult> result(CreateAsyncResult(event.Get(), event.Get(), &kernelMade));
    ASSERT_TRUE(result);
    EXPECT_TRUE(kernelMade);
    EXPECT_EQ(result->GetClassId(), 406u);
    EXPECT_EQ(result->GetContext(), event.Get());
    EXPECT_EQ(CountLines("406.6"), 1);
    EXPECT_EQ(CountLines("-3 8"), 0);
}

TEST_F(AsyncResult, OnlyAGoodReplyReachesTheParser) {
    struct Case {
        const char* config;
        bool accepted;
    };
    const Case cases[] = {
        {"", true},                     // completed before the start returns
        {"mode=later\ndelay=100\n", true},
        {"status=2\n", false},
        {"reply=string\n", false},      // another class
        {"reply=empty\n", false},
        {"reply=nulldata\n", false},
    };
    for (const Case& c : cases) {
        ConfigureFetch(c.config);
        std::string parsed;
        const bool ok = FetchAndWait(nullptr, kUrl, [&](const BYTE* data, size_t size) {
            parsed.assign(reinterpret_cast<const char*>(data), size);
            return true;
        });
        EXPECT_EQ(ok, c.accepted) << c.config;
        // The fixture's text, in code page 936, without a terminator.
        EXPECT_EQ(parsed, c.accepted ? std::string("<reply>\xC4\xE3\xBA\xC3 catalog</reply>") : std::string())
            << c.config;
    }
    EXPECT_EQ(CountLines("fetch http://127.0.0.1/hello.xml?x=1"), 6);
}

TEST_F(AsyncResult, ARequestThatDoesNotStartIsNotWaitedFor) {
    ConfigureFetch("mode=nostart\n");
    base::Event owner(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    bool parsed = false;
    EXPECT_FALSE(FetchAndWait(owner.Get(), kUrl, [&](const BYTE*, size_t) { return parsed = true; }));
    EXPECT_FALSE(parsed);
}

TEST_F(AsyncResult, ALateCompletionOfAnAbandonedRequestSetsNoOtherEvent) {
    for (const char* classes : {"", "[classes]\n406=serve\n"}) {
        ClearLog();
        ConfigureFetch(std::string("mode=later\ndelay=300\n") + classes);
        base::Event owner(::CreateEventW(nullptr, TRUE, TRUE, nullptr));
        EXPECT_FALSE(FetchAndWait(owner.Get(), kUrl, [](const BYTE*, size_t) { return true; }));
        base::Event unrelated(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(WaitForLine("complete 1")) << classes;
        EXPECT_EQ(::WaitForSingleObject(unrelated.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << classes;
    }
}

TEST_F(AsyncResult, APolledFetchIsPendingUntilItsReplyArrives) {
    ConfigureFetch("mode=later\ndelay=300\n");
    PendingFetch pending = PendingFetch::Start(kUrl);
    ASSERT_TRUE(pending.Started());
    std::string parsed;
    const auto parse = [&](const BYTE* data, size_t size) {
        parsed.assign(reinterpret_cast<const char*>(data), size);
        return true;
    };
    EXPECT_EQ(pending.Poll(parse), PendingFetch::State::Pending);
    PendingFetch::State state = PendingFetch::State::Pending;
    for (int i = 0; i < 200 && state == PendingFetch::State::Pending; ++i) state = pending.Poll(parse);
    EXPECT_EQ(state, PendingFetch::State::Succeeded);
    EXPECT_FALSE(parsed.empty());
}

}  // namespace
