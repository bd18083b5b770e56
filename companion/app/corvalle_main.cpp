#include <windows.h>

#include "companion/app/startup.h"
#include "winlib/app_module.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    winlib::Module().Init(instance);
    return companion::CorvalleMain(commandLine, showCommand);
}
