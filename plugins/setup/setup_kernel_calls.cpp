#include "plugins/setup/setup_kernel_calls.h"

#include "plugins/common/kernel_calls.h"

namespace k = bex::kernel;
using bex::PluginRef;

namespace {

// A class-3 string handed out through an out-parameter, as its text.
std::wstring TextOf(PluginRef<>& string) {
    if (!string) return std::wstring();
    return bex::StringText(string.Get()).value_or(std::wstring());
}

}  // namespace

std::wstring KernelManagerFolder() {
    PluginRef<> environment;
    if (FAILED(plugin::CreateKernelObject(k::kEnvironment, environment))) return std::wstring();
    PluginRef<> folder;
    if (bex::Call(k::environment::kManagerFolder, environment.Get(), folder.PutPlugin()) < 0) {
        folder.Detach();  // a failure hands over nothing
        return std::wstring();
    }
    return TextOf(folder);
}

std::optional<DWORD> KernelOptionNumber(const wchar_t* key) {
    PluginRef<> options;
    if (FAILED(plugin::CreateKernelObject(k::kOptions, options))) return std::nullopt;
    DWORD value = 0;
    if (bex::Call(k::options::kGetNumber, options.Get(), key, &value) == 0) return 0;
    return value;
}

WORD KernelSystemCode(PluginRef<>& system) {
    if (FAILED(plugin::CreateKernelObject(k::kSystem, system))) return 0;
    PluginRef<> text;
    const int code =
        bex::Call(k::system_info::kDescribe, system.Get(), k::system_info::kDescribeKind, text.PutPlugin());
    return static_cast<WORD>(code & 0xFFFF);
}

std::wstring KernelShortcutTarget(const wchar_t* linkPath) {
    PluginRef<> shortcut;
    if (FAILED(plugin::CreateKernelObject(k::kShortcut, shortcut))) return std::wstring();
    PluginRef<> target;
    if (bex::Call(k::shortcut::kTarget, shortcut.Get(), linkPath, target.PutPlugin()) < 0) {
        target.Detach();
        return std::wstring();
    }
    return TextOf(target);
}
