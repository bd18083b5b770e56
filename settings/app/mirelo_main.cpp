#include <windows.h>

#include "settings/app/StartUp.h"
#include "winlib/app_module.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    winlib::Module().Init(instance);
    return settings::ProgramMain(::GetCommandLineW());
}
