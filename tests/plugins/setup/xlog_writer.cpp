// Test tool: writes lines through the plug-in's process-wide logger, as a
// host program of the plug-in would.
//   xlog_writer.exe COUNT TAG [TAG...]   COUNT lines per tag, tags in turn
#include <cwchar>
#include <cstdlib>

#include "plugins/setup/x_logger.h"

using namespace setup;

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const int count = std::wcstol(argv[1], nullptr, 10);
    for (int i = 0; i < count; ++i)
        for (int t = 2; t < argc; ++t) Logger().Log(argv[t], L"line %04d from %ls", i, argv[t]);
    return 0;
}
