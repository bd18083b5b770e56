// Tests of the catalogue's threads that may deadlock on faulty code: the
// work runs on threads of its own under a deadline, and a deadlock ends the
// test program instead of hanging it. Also the time a call takes while
// another waits on a slow kernel.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace deadline {

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

// `body()` on a thread of its own, as above.
template <typename Body>
void Within(DWORD timeoutMs, Body body) {
    OnThreads(1, timeoutMs, [&body](int) { body(); });
}

// Runs `busy()` on a thread of its own; once `inside()` holds, the
// milliseconds `probe()` takes (-1 when `inside()` never held); then waits
// for `busy` to end.
template <typename Busy, typename Inside, typename Probe>
long long TookWhile(Busy busy, Inside inside, Probe probe) {
    std::thread thread(busy);
    long long took = -1;
    if (inside()) {
        const auto start = std::chrono::steady_clock::now();
        probe();
        took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    }
    thread.join();
    return took;
}

}  // namespace deadline
