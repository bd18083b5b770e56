#include "companion/actions/thread_base.h"

#include <process.h>

#include "base/exception_barrier.h"

int CThreadBase::Start(unsigned initFlag, unsigned stackSize, SECURITY_ATTRIBUTES* security) {
    if (thread_.Valid()) return -1;
    unsigned id = 0;
    const uintptr_t handle = ::_beginthreadex(security, stackSize, &CThreadBase::ThreadProc, this,
                                              initFlag | CREATE_SUSPENDED, &id);
    if (handle == 0) return -3;
    thread_.Reset(reinterpret_cast<HANDLE>(handle));
    threadId_.store(id);
    if (!(initFlag & CREATE_SUSPENDED)) ::ResumeThread(thread_.Get());
    return 0;
}

void CThreadBase::ReleaseThread() {
    thread_.Reset();
    threadId_.store(0);
}

bool CThreadBase::Join(DWORD timeoutMs) {
    if (!thread_.Valid() || ::WaitForSingleObject(thread_.Get(), timeoutMs) != WAIT_OBJECT_0) return false;
    ReleaseThread();
    return true;
}

unsigned __stdcall CThreadBase::ThreadProc(void* object) {
    auto* self = static_cast<CThreadBase*>(object);
    if (!self) return 1;
    const int result = base::CallGuarded(L"thread entry", kRunFailed, [self] { return self->Run(); });
    if (result == kRunDeletedSelf) return 0;
    if (result == kRunLeftToOwner) return static_cast<unsigned>(result);
    self->ReleaseThread();
    return static_cast<unsigned>(result);
}
