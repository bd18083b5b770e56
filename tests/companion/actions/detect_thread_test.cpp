#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "companion/actions/action_base.h"
#include "protocol/window_messages.h"
#include "companion/actions/detect_action_condition.h"
#include "companion/actions/reminder_list.h"
#include "tests/support/message_pump.h"
#include "winlib/window.h"

using namespace companion;

namespace {

// What the actions were asked, in order: "C<name>" check, "D<name>" done,
// "X<name>" destroyed.
class CallLog {
public:
    void Add(std::string entry) {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back(std::move(entry));
    }
    std::vector<std::string> Entries() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return entries_;
    }
    size_t Count(const std::string& entry) const {
        std::lock_guard<std::mutex> lock(mutex_);
        size_t n = 0;
        for (const auto& e : entries_) n += e == entry;
        return n;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> entries_;
};

class RecordingAction : public IVynAction {
public:
    RecordingAction(CallLog& log, char name, std::function<bool()> due)
        : log_(log), name_(1, name), due_(std::move(due)) {}
    ~RecordingAction() override { log_.Add("X" + name_); }

    bool CheckCondition() override {
        log_.Add("C" + name_);
        return due_();
    }
    std::wstring GetTipText() override { return L"tip"; }
    std::wstring GetLinkText() override { return L""; }
    HBITMAP GetBitmap() override { return nullptr; }
    int GetAnimationTime() override { return 0; }
    int GetFrames() override { return 0; }
    int GetFrameTime() override { return 0; }
    int GetCx() override { return 0; }
    int GetCy() override { return 0; }
    ILinkBehavior* GetLinkBehavior() override { return nullptr; }
    void SetScreenSaverRunning(bool running) override { screenSaver = running; }
    void SetAway(bool away) override { this->away = away; }
    int OnDone() override {
        log_.Add("D" + name_);
        return 0;
    }

    std::atomic<bool> screenSaver{false};
    std::atomic<bool> away{false};

private:
    CallLog& log_;
    std::string name_;
    std::function<bool()> due_;
};

// Stands where the main window stands: collects the due actions posted to it.
class DueReceiver : public winlib::Window {
public:
    WL_BEGIN_MSG_MAP()
        WL_MESSAGE_HANDLER(WM_ACTION_DUE, OnActionDue)
    WL_END_MSG_MAP()

    std::vector<IVynAction*> received;

private:
    LRESULT OnActionDue(UINT, WPARAM wParam, LPARAM, BOOL&) {
        received.push_back(reinterpret_cast<IVynAction*>(wParam));
        return 1;
    }
};

// A fixed Pump stays only in front of a check that nothing more happened.
using testsupport::Pump;
using testsupport::PumpUntil;

class DetectThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(receiver_.Create(L"DetectThreadTestReceiver", HWND_MESSAGE, nullptr, L"", 0, 0));
    }
    void TearDown() override { StopThread(); }

    // Starts polling with a short pause; keeps a handle to wait for the end.
    void StartThread(HWND target = nullptr) {
        detect_ = std::make_unique<CDetectActionCondition>(target ? target : receiver_.Hwnd(), 10);
        for (std::unique_ptr<IVynAction>& action : pendingActions_) detect_->AddAction(std::move(action));
        pendingActions_.clear();
        ASSERT_EQ(detect_->Start(CREATE_SUSPENDED, 0, nullptr), 0);
        HANDLE dup = nullptr;
        ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), detect_->ThreadHandle(), ::GetCurrentProcess(), &dup,
                                      0, FALSE, DUPLICATE_SAME_ACCESS));
        thread_.Reset(dup);
        ::ResumeThread(thread_.Get());
    }
    void StopThread() {
        if (!detect_) return;
        ASSERT_TRUE(detect_->StopAndJoin(5000));
        detect_.reset();
    }
    RecordingAction* Add(char name, std::function<bool()> due) {
        auto action = std::make_unique<RecordingAction>(log_, name, std::move(due));
        RecordingAction* added = action.get();
        pendingActions_.push_back(std::move(action));
        return added;
    }
    void AddNull() { pendingActions_.push_back(nullptr); }

    CallLog log_;
    DueReceiver receiver_;
    std::unique_ptr<CDetectActionCondition> detect_;
    base::Thread thread_;
    OwnedActions pendingActions_;
};

TEST_F(DetectThreadTest, TheFirstDueActionWinsAndTheScanStartsOverAfterIt) {
    std::atomic<int> aChecks{0};
    RecordingAction* a = Add('A', [&] { return ++aChecks == 1; });  // due once
    RecordingAction* b = Add('B', [] { return true; });
    StartThread();

    ASSERT_TRUE(PumpUntil([&] { return receiver_.received.size() == 1; }));
    EXPECT_EQ(receiver_.received[0], a);
    EXPECT_EQ(log_.Count("CB"), 0u) << "the action behind the due one is not asked in the same scan";

    ASSERT_TRUE(detect_->ClaimDueAction(a));
    ASSERT_TRUE(detect_->ReleaseDueAction());
    ASSERT_TRUE(PumpUntil([&] { return receiver_.received.size() == 2; }));
    EXPECT_EQ(receiver_.received[1], b);
    const std::vector<std::string> expected = {"CA", "DA", "CA", "CB"};
    EXPECT_EQ(log_.Entries(), expected);
}

TEST_F(DetectThreadTest, NothingIsAskedWhileAnActionIsShown) {
    RecordingAction* a = Add('A', [] { return true; });
    Add('B', [] { return false; });
    StartThread();

    ASSERT_TRUE(PumpUntil([&] { return receiver_.received.size() == 1; }));
    Pump(300);  // thirty pauses' worth
    EXPECT_EQ(log_.Entries(), std::vector<std::string>{"CA"});

    ASSERT_TRUE(detect_->ClaimDueAction(a));
    ASSERT_TRUE(detect_->ReleaseDueAction());
    ASSERT_TRUE(PumpUntil([&] { return log_.Count("DA") == 1; }));
}

TEST_F(DetectThreadTest, OnlyThePostedActionCanBeClaimedAndOnlyOnce) {
    RecordingAction* a = Add('A', [] { return true; });
    RecordingAction* b = Add('B', [] { return false; });
    StartThread();
    ASSERT_TRUE(PumpUntil([&] { return receiver_.received.size() == 1; }));

    EXPECT_FALSE(detect_->ClaimDueAction(nullptr));
    EXPECT_FALSE(detect_->ClaimDueAction(b));
    EXPECT_FALSE(detect_->ClaimDueAction(reinterpret_cast<IVynAction*>(0x1234)));
    EXPECT_TRUE(detect_->ClaimDueAction(a));
    EXPECT_FALSE(detect_->ClaimDueAction(a)) << "a repeated message must not show the action twice";
}

TEST_F(DetectThreadTest, TheThreadIsReleasedExactlyOncePerPostedAction) {
    RecordingAction* a = Add('A', [] { return true; });
    StartThread();
    ASSERT_TRUE(PumpUntil([&] { return receiver_.received.size() == 1; }));

    EXPECT_FALSE(detect_->ReleaseDueAction()) << "posted but not claimed: its message must still find it";
    ASSERT_TRUE(detect_->ClaimDueAction(a));
    ASSERT_TRUE(detect_->ReleaseDueAction());
    EXPECT_FALSE(detect_->ReleaseDueAction()) << "a second release must not free the next showing early";
    ASSERT_TRUE(PumpUntil([&] { return receiver_.received.size() == 2; }));
    EXPECT_FALSE(detect_->ReleaseDueAction());
    Pump(100);
    EXPECT_EQ(log_.Count("DA"), 1u) << "the second showing is still waiting";
    EXPECT_EQ(receiver_.received[1], a);
    ASSERT_TRUE(detect_->ClaimDueAction(a));
    EXPECT_TRUE(detect_->ReleaseDueAction());
}

TEST_F(DetectThreadTest, ReleasingWithNothingOwedDoesNothing) {
    Add('A', [] { return false; });
    StartThread();
    ASSERT_TRUE(PumpUntil([&] { return log_.Count("CA") >= 2; }));
    EXPECT_FALSE(detect_->ReleaseDueAction());
}

TEST_F(DetectThreadTest, AFailedPostEndsTheShowingAndPollingGoesOn) {
    Add('A', [] { return true; });
    // A window that no longer exists: every post fails.
    DueReceiver gone;
    ASSERT_TRUE(gone.Create(L"DetectThreadTestGone", HWND_MESSAGE, nullptr, L"", 0, 0));
    const HWND stale = gone.Hwnd();
    gone.DestroyWindow();
    StartThread(stale);

    ASSERT_TRUE(PumpUntil([&] { return log_.Count("DA") >= 3; }, 3000))
        << "the thread must not wait for a showing that was never handed over";
    EXPECT_FALSE(detect_->ReleaseDueAction());
}

TEST_F(DetectThreadTest, NullEntriesAreSkipped) {
    AddNull();
    RecordingAction* a = Add('A', [] { return true; });
    StartThread();
    ASSERT_TRUE(PumpUntil([&] { return receiver_.received.size() == 1; }));
    EXPECT_EQ(receiver_.received[0], a);
}

TEST_F(DetectThreadTest, NoticesReachEveryAction) {
    RecordingAction* a = Add('A', [] { return false; });
    RecordingAction* b = Add('B', [] { return false; });
    StartThread();
    detect_->NotifyAway(true);
    detect_->NotifyScreenSaverRunning(true);
    EXPECT_TRUE(a->away && b->away);
    EXPECT_TRUE(a->screenSaver && b->screenSaver);
    detect_->NotifyAway(false);
    EXPECT_FALSE(a->away || b->away);
}

TEST_F(DetectThreadTest, StoppingDestroysEveryActionAndEndsTheThreadCleanly) {
    Add('A', [] { return true; });
    Add('B', [] { return false; });
    StartThread();
    ASSERT_TRUE(PumpUntil([&] { return receiver_.received.size() == 1; }));
    StopThread();  // while A is being shown
    EXPECT_EQ(log_.Count("XA"), 1u);
    EXPECT_EQ(log_.Count("XB"), 1u);
    DWORD code = 1234;
    ASSERT_TRUE(::GetExitCodeThread(thread_.Get(), &code));
    EXPECT_EQ(code, 0u) << "a stopped thread exits with 0";
}

// The polling order is the reminders' priority: swapping two changes which
// one a user sees when both are due.
TEST(ReminderListTest, TheThirteenRemindersArePolledInTheirPriorityOrder) {
    const std::vector<std::wstring> expected = {
        L"VynLoad", L"VynCustom", L"VynRestAF",     L"VynMeal",        L"VynDrink",       L"VynSleep",   L"VynFestival",
        L"VynRest", L"VynWeather", L"VynTrashClean", L"VynSysDiskCheck", L"VynEyeGuardian", L"VynCheckRun"};
    std::vector<std::wstring> polled;
    for (const std::unique_ptr<IVynAction>& action : MakeReminders()) {
        const auto* reminder = dynamic_cast<const CActionBase*>(action.get());
        polled.push_back(reminder ? reminder->Section() : L"<not a reminder>");
    }
    EXPECT_EQ(polled, expected);
}

// A thread object whose body is given by the test.
class ScriptedThread : public CThreadBase {
public:
    explicit ScriptedThread(std::function<int(ScriptedThread*)> body) : body_(std::move(body)) {}
    int Run() override { return body_(this); }

private:
    std::function<int(ScriptedThread*)> body_;
};

base::Thread DuplicateThreadHandle(const CThreadBase& thread) {
    HANDLE dup = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), thread.ThreadHandle(), ::GetCurrentProcess(), &dup, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);
    return base::Thread(dup);
}

TEST(ThreadBaseTest, StartingTwiceReturnsMinusOne) {
    base::Event release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ScriptedThread thread([&](ScriptedThread*) {
        ::WaitForSingleObject(release.Get(), INFINITE);
        return 0;
    });
    ASSERT_EQ(thread.Start(0, 0, nullptr), 0);
    base::Thread handle = DuplicateThreadHandle(thread);
    EXPECT_NE(thread.ThreadId(), 0u);
    EXPECT_EQ(thread.Start(0, 0, nullptr), -1);
    ::SetEvent(release.Get());
    ASSERT_EQ(::WaitForSingleObject(handle.Get(), 5000), WAIT_OBJECT_0);
}

TEST(ThreadBaseTest, TheResultOfRunIsTheExitCodeAndJoiningForgetsTheHandle) {
    ScriptedThread thread([](ScriptedThread*) { return 7; });
    ASSERT_EQ(thread.Start(CREATE_SUSPENDED, 0, nullptr), 0);
    base::Thread handle = DuplicateThreadHandle(thread);
    ::ResumeThread(handle.Get());
    ASSERT_TRUE(thread.Join(5000));
    DWORD code = 0;
    ASSERT_TRUE(::GetExitCodeThread(handle.Get(), &code));
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(thread.ThreadHandle(), nullptr);
    EXPECT_EQ(thread.ThreadId(), 0u);
    // Once joined, the object can be started again.
    EXPECT_EQ(thread.Start(0, 0, nullptr), 0);
    EXPECT_TRUE(thread.Join(5000));
}

TEST(ThreadBaseTest, AnEndedThreadIsHeldUntilItsOwnerJoinsIt) {
    // The body ends at once; only the owner lets go of the thread.
    for (int i = 0; i < 50; ++i) {
        ScriptedThread thread([](ScriptedThread*) { return 3; });
        ASSERT_EQ(thread.Start(CREATE_SUSPENDED, 0, nullptr), 0);
        base::Thread handle = DuplicateThreadHandle(thread);
        ::ResumeThread(handle.Get());
        ASSERT_EQ(::WaitForSingleObject(handle.Get(), 5000), WAIT_OBJECT_0);
        EXPECT_NE(thread.ThreadHandle(), nullptr);
        EXPECT_EQ(thread.Start(0, 0, nullptr), -1);
        ASSERT_TRUE(thread.Join(0));
        EXPECT_EQ(thread.ThreadHandle(), nullptr);
    }
}

TEST(ThreadBaseTest, ARunThatThrowsEndsItsThreadNotTheProgram) {
    ScriptedThread thread([](ScriptedThread*) -> int { throw std::runtime_error("scan failed"); });
    ASSERT_EQ(thread.Start(CREATE_SUSPENDED, 0, nullptr), 0);
    base::Thread handle = DuplicateThreadHandle(thread);
    ::ResumeThread(handle.Get());
    ASSERT_TRUE(thread.Join(5000));
    DWORD code = 0;
    ASSERT_TRUE(::GetExitCodeThread(handle.Get(), &code));
    EXPECT_EQ(code, static_cast<DWORD>(CThreadBase::kRunFailed));
    EXPECT_EQ(thread.ThreadHandle(), nullptr);
}

}  // namespace
