#include "companion/kernel/junk_scan.h"

#include <windows.h>

#include <limits>

#include "companion/system/paths.h"
#include "protocol/outside_exports.h"
#include "base/handles.h"
#include "base/log.h"
#include "base/module_exports.h"

namespace companion {

namespace sw = protocol::outside::sweeper;

namespace {

template <typename S, typename... Args>
bool Step(IUnknown* sweeper, S slot, Args... args) {
    return SUCCEEDED(protocol::Call(slot, sweeper, args...));
}

// The size of one category: reset, select it alone, scan, read back.
bool CategorySize(IUnknown* sweeper, int category, uint64_t& size) {
    uint32_t count = 0;
    size = 0;
    return Step(sweeper, sw::kReset) && Step(sweeper, sw::kSetMode, 0) && Step(sweeper, sw::kSelect, category, 1) &&
           Step(sweeper, sw::kScan, category) && Step(sweeper, sw::kResult, category, &count, &size);
}

bool Measure(IUnknown* sweeper, uint64_t& total) {
    if (!Step(sweeper, sw::kOpen) || !Step(sweeper, sw::kLoadRules) || !Step(sweeper, sw::kReset) ||
        !Step(sweeper, sw::kSetMode, 0))
        return false;
    uint64_t system = 0, other = 0;
    if (!CategorySize(sweeper, sw::kCategorySystem, system) || !CategorySize(sweeper, sw::kCategoryOther, other))
        return false;
    total = AddSizesSaturated(system, other);
    return true;
}

}  // namespace

std::wstring SweeperPath() {
    std::wstring own;
    if (!GetExeDir(own)) return std::wstring();
    const std::wstring parent = ParentDir(own);
    if (parent.empty()) return std::wstring();
    return parent + L"sweeper\\" + protocol::outside::sweeper::kDrovaskLibrary;
}

uint64_t AddSizesSaturated(uint64_t a, uint64_t b) {
    return a > std::numeric_limits<uint64_t>::max() - b ? std::numeric_limits<uint64_t>::max() : a + b;
}

bool ScanJunkSize(const std::wstring& libraryPath) {
    // Declared first, so it is freed last: after the objects and COM.
    base::Library library;
    base::ComScope com;
    if (libraryPath.empty()) return false;
    library.Reset(::LoadLibraryW(libraryPath.c_str()));
    if (!library) {
        base::LogFailedCall((L"clean-up library " + libraryPath).c_str(), L"LoadLibraryW");
        return false;
    }
    const auto getClassObject = base::Export<sw::DllGetClassObjectFn>(library.Get(), sw::kDllGetClassObjectName);
    if (!getClassObject) {
        base::LogLine(L"clean-up library", L"no class factory; not used: " + libraryPath);
        return false;
    }

    base::ComPtr<IClassFactory> factory;
    if (FAILED(getClassObject(sw::kClsid, IID_IClassFactory, factory.PutVoid())) || !factory) return false;
    base::ComPtr<IUnknown> sweeper;
    if (FAILED(factory->CreateInstance(nullptr, sw::kIid, sweeper.PutVoid())) || !sweeper) return false;
    uint64_t total = 0;
    return Measure(sweeper.Get(), total) && total >= kJunkLimitBytes;
}

}  // namespace companion
