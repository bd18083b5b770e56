// A second process on the web-app counter: "inc N" adds N, "read" ends
// with the counter's value as its exit code.
#include <cwchar>
#include <cstdlib>

#include "plugins/setup/web_app_counter.h"

using namespace setup;

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3 && std::wcscmp(argv[1], L"inc") == 0) {
        const long times = std::wcstol(argv[2], nullptr, 10);
        for (long i = 0; i < times; ++i) IncrementWebAppCounter();
        return 0;
    }
    if (argc >= 2 && std::wcscmp(argv[1], L"read") == 0) return static_cast<int>(SharedWebAppCounter().Value());
    return -1;
}
