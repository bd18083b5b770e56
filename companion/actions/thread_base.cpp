#include "companion/actions/thread_base.h"

#include <process.h>

#include "base/exception_barrier.h"

namespace companion {

int CThreadBase::Start(unsigned initFlag, unsigned stackSize, SECURITY_ATTRIBUTES* security) {
    if (thread_.Valid()) return -1;
    unsigned id = 0;
    const uintptr_t handle = ::_beginthreadex(security, stackSize, &CThreadBase::ThreadProc, this, initFlag, &id);
    if (handle == 0) return -3;
    thread_.Reset(reinterpret_cast<HANDLE>(handle));
    threadId_ = id;
    return 0;
}

bool CThreadBase::Join(DWORD timeoutMs) {
    if (!thread_.Valid()) return true;
    if (::WaitForSingleObject(thread_.Get(), timeoutMs) != WAIT_OBJECT_0) return false;
    thread_.Reset();
    threadId_ = 0;
    return true;
}

// Nothing here touches the object after Run: its owner may destroy it as
// soon as the thread has ended.
unsigned __stdcall CThreadBase::ThreadProc(void* object) {
    auto* self = static_cast<CThreadBase*>(object);
    if (!self) return 1;
    return static_cast<unsigned>(base::CallGuarded(L"thread entry", kRunFailed, [self] { return self->Run(); }));
}

}  // namespace companion
