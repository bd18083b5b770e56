// A library that only carries a version resource, for the game-centre
// version checks: the build makes one per version, copied by the tests under
// the game centre's file names.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, void*) { return TRUE; }
