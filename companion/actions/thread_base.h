// A worker thread owned by an object. Run is the thread body. The object
// and its thread have one owner: the thread never frees the object nor its
// own handle; the owner joins the thread (Join) before it starts it again or
// destroys the object.
#pragma once

#include <windows.h>

#include "base/handles.h"

namespace companion {

class CThreadBase {
public:
    // The exit code of a thread whose Run failed or threw.
    static constexpr int kRunFailed = 98;

    CThreadBase() = default;
    // The owner has joined the thread by now.
    virtual ~CThreadBase() = default;
    CThreadBase(const CThreadBase&) = delete;
    CThreadBase& operator=(const CThreadBase&) = delete;

    // 0 started; -1 a thread is already held (running, or ended but not yet
    // joined); -3 no thread could be created.
    virtual int Start(unsigned initFlag, unsigned stackSize, SECURITY_ATTRIBUTES* security);
    virtual int Run() = 0;

    // Owner only: the thread held, or null.
    HANDLE ThreadHandle() const { return thread_.Get(); }
    unsigned ThreadId() const { return threadId_; }
    // Owner: waits up to `timeoutMs` for the thread to end, then lets go of
    // its handle and id; true when no thread is held any more.
    bool Join(DWORD timeoutMs);

private:
    static unsigned __stdcall ThreadProc(void* object);

    base::Thread thread_;
    unsigned threadId_ = 0;
};

}  // namespace companion
