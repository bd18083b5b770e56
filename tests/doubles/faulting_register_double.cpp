// A library whose registration entry faults, as a damaged system library
// might: the caller must survive it.
#include <windows.h>

extern "C" __declspec(dllexport) HRESULT __stdcall DllRegisterServer() {
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return S_OK;
}
