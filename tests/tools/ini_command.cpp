#include "tests/tools/ini_command.h"

#include <windows.h>

#include <cstdio>

#include "tests/support/text.h"

namespace probe {

int IniCommand(int argc, wchar_t** argv) {
    if (argc < 5) return 2;
    if (argc >= 6) return ::WritePrivateProfileStringW(argv[3], argv[4], argv[5], argv[2]) ? 0 : 1;
    wchar_t value[1024] = {};
    ::GetPrivateProfileStringW(argv[3], argv[4], L"", value, 1024, argv[2]);
    std::printf("%s\n", testsupport::Narrow(value).c_str());
    return 0;
}

}  // namespace probe
