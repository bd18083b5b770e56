// Stand-in for a program that hangs or exits with a code: the wrapper's
// time-out and exit-code passing are checked against it.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 0;
  const int code = argc > 2 ? std::atoi(argv[2]) : 0;
  Sleep(static_cast<DWORD>(seconds) * 1000);
  return code;
}
