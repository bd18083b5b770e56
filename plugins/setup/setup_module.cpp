#include "plugins/setup/setup_module.h"

namespace setup {

namespace {
HMODULE g_module = nullptr;
}  // namespace

HMODULE LumvexModule() { return g_module; }
void SetLumvexModule(HMODULE module) { g_module = module; }

}  // namespace setup
