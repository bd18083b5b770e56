// Stand-in for the clean-up library Drovask.dll: DllGetClassObject for its
// one class, a class factory and a sweeper whose 64 slots take exactly the
// arguments the declarations say (each set through its description). Logs to the file named by DROVASK_LOG:
//   <slot>[(<arguments>)]      every sweeper slot called (20 shows only its category)
//   factory <count> | sweeper <count>   after each AddRef and Release
//   UNEXPECTED <slot>          a slot the companion never calls
//   detach
// Environment: DROVASK_SIZE_<category> the size slot 20 answers (default 0);
// DROVASK_FAIL_SLOT a slot that answers E_FAIL.
#include <windows.h>
#include <unknwn.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <type_traits>
#include <utility>

#include "protocol/outside_exports.h"
#include "tests/doubles/outside_log.h"
#include "tests/doubles/typed_slots.h"

namespace sw = protocol::outside::sweeper;

namespace {

void Log(const std::wstring& line) { AppendLogLine(L"DROVASK_LOG", line.c_str()); }

unsigned long long EnvNumber(const wchar_t* name, unsigned long long fallback) {
    wchar_t value[64] = {};
    const DWORD len = ::GetEnvironmentVariableW(name, value, 64);
    if (len == 0 || len >= 64) return fallback;
    return std::wcstoull(value, nullptr, 10);
}

HRESULT Answer(int slot, const std::wstring& line) {
    Log(line);
    return EnvNumber(L"DROVASK_FAIL_SLOT", ~0ull) == static_cast<unsigned long long>(slot) ? E_FAIL : S_OK;
}

struct Sweeper {
    void* const* table;
    LONG count = 1;
};

HRESULT OUTSIDE_API QueryInterface(Sweeper* self, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != sw::kIid) return E_NOINTERFACE;
    *out = self;
    Log(L"sweeper " + std::to_wstring(::InterlockedIncrement(&self->count)));
    return S_OK;
}
ULONG OUTSIDE_API AddRef(Sweeper* self) {
    const LONG now = ::InterlockedIncrement(&self->count);
    Log(L"sweeper " + std::to_wstring(now));
    return static_cast<ULONG>(now);
}
ULONG OUTSIDE_API Release(Sweeper* self) {
    const LONG now = ::InterlockedDecrement(&self->count);
    Log(L"sweeper " + std::to_wstring(now));
    if (now == 0) delete self;
    return static_cast<ULONG>(now);
}

template <int N>
HRESULT OUTSIDE_API NoArg(IUnknown*) {
    if (N == sw::kOpen.kIndex || N == sw::kLoadRules.kIndex || N == sw::kReset.kIndex)
        return Answer(N, std::to_wstring(N));
    Log(L"UNEXPECTED " + std::to_wstring(N));
    return E_NOTIMPL;
}
HRESULT OUTSIDE_API SetMode(IUnknown*, int mode) {
    return Answer(sw::kSetMode.kIndex, std::to_wstring(sw::kSetMode.kIndex) + L"(" + std::to_wstring(mode) + L")");
}
HRESULT OUTSIDE_API Select(IUnknown*, int category, int on) {
    return Answer(sw::kSelect.kIndex, std::to_wstring(sw::kSelect.kIndex) + L"(" + std::to_wstring(category) + L"," +
                                          std::to_wstring(on) + L")");
}
HRESULT OUTSIDE_API Scan(IUnknown*, int category) {
    return Answer(sw::kScan.kIndex, std::to_wstring(sw::kScan.kIndex) + L"(" + std::to_wstring(category) + L")");
}
HRESULT OUTSIDE_API Result(IUnknown*, int category, uint32_t* count, uint64_t* size) {
    const HRESULT hr =
        Answer(sw::kResult.kIndex, std::to_wstring(sw::kResult.kIndex) + L"(" + std::to_wstring(category) + L")");
    const std::wstring name = L"DROVASK_SIZE_" + std::to_wstring(category);
    if (count) *count = 3;
    if (size) *size = EnvNumber(name.c_str(), 0);
    return hr;
}

template <int... N>
void FillNoArg(void** slots, std::integer_sequence<int, N...>) {
    ((slots[N] = reinterpret_cast<void*>(&NoArg<N>)), ...);
}

void* const* SweeperTable() {
    static void* slots[sw::kSlotCount] = {};
    static const bool filled = [] {
        FillNoArg(slots, std::make_integer_sequence<int, sw::kSlotCount>());
        slots[0] = reinterpret_cast<void*>(&QueryInterface);
        slots[1] = reinterpret_cast<void*>(&AddRef);
        slots[2] = reinterpret_cast<void*>(&Release);
        standin::SetSlot(slots, sw::kOpen, &NoArg<sw::kOpen.kIndex>);
        standin::SetSlot(slots, sw::kLoadRules, &NoArg<sw::kLoadRules.kIndex>);
        standin::SetSlot(slots, sw::kReset, &NoArg<sw::kReset.kIndex>);
        standin::SetSlot(slots, sw::kSetMode, &SetMode);
        standin::SetSlot(slots, sw::kSelect, &Select);
        standin::SetSlot(slots, sw::kScan, &Scan);
        standin::SetSlot(slots, sw::kResult, &Result);
        return true;
    }();
    (void)filled;
    return slots;
}

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        AddRef();
        *out = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        const LONG now = ::InterlockedIncrement(&count_);
        Log(L"factory " + std::to_wstring(now));
        return static_cast<ULONG>(now);
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG now = ::InterlockedDecrement(&count_);
        Log(L"factory " + std::to_wstring(now));
        if (now == 0) delete this;
        return static_cast<ULONG>(now);
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (iid != sw::kIid) return E_NOINTERFACE;
        auto* sweeper = new Sweeper{SweeperTable()};
        Log(L"sweeper 1");
        *out = sweeper;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    LONG count_ = 0;
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT OUTSIDE_API DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != sw::kClsid) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new Factory;
    const HRESULT hr = factory->QueryInterface(iid, out);
    if (FAILED(hr)) delete factory;
    return hr;
}
static_assert(std::is_same<decltype(&DllGetClassObject), sw::DllGetClassObjectFn>::value,
              "the stand-in must match the declared entry");

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
    if (reason == DLL_PROCESS_DETACH) Log(L"detach");
    return TRUE;
}
