// A worker thread owned by an object. Run is the thread body; a Run that
// deletes its own object returns kRunDeletedSelf so that nothing touches the
// object afterwards.
#pragma once

#include <windows.h>

#include <atomic>

#include "winlib/handles.h"

class CThreadBase {
public:
    static constexpr int kRunDeletedSelf = 99;
    // The exit code of a thread whose Run threw.
    static constexpr int kRunFailed = 98;
    // Run has handed its object back to the owner, who joins the thread
    // (Join) before it starts it again or deletes it: nothing touches the
    // object or the thread handle afterwards.
    static constexpr int kRunLeftToOwner = 97;

    CThreadBase() = default;
    virtual ~CThreadBase() = default;
    CThreadBase(const CThreadBase&) = delete;
    CThreadBase& operator=(const CThreadBase&) = delete;

    // 0 started; -1 a thread is already held; -3 no thread could be created.
    // The thread always starts suspended and is resumed (unless the caller
    // asked for CREATE_SUSPENDED) only once its handle and id are stored, so a
    // thread that ends at once cannot race this call.
    virtual int Start(unsigned initFlag, unsigned stackSize, SECURITY_ATTRIBUTES* security);
    virtual int Run() = 0;

    HANDLE ThreadHandle() const { return thread_.Get(); }
    unsigned ThreadId() const { return threadId_.load(); }
    // Owner: waits up to `timeoutMs` for a thread whose Run returned
    // kRunLeftToOwner, then lets go of its handle; true when it has ended.
    bool Join(DWORD timeoutMs);

protected:
    // Closes and forgets the thread handle and id (the thread is ending).
    void ReleaseThread();

private:
    static unsigned __stdcall ThreadProc(void* object);

    winlib::Thread thread_;
    std::atomic<unsigned> threadId_{0};
};
