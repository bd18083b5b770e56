// Stand-in for the manager's program: only its icon 100 (32 and 48 pixels)
// matters; it is read as a data file and never run.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
