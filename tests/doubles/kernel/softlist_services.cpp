// Classes 81 (bitness) and 99 (software query), as the catalogue's list
// manager uses them (49, software, is in software_services.cpp; 24,
// keyword, in keyword_service.cpp). Configuration:
//   [bitness]   is64=<n>  (slot 3, default 0)
//   [query]     ready=<n> (slot 3, default 1)
// Log lines:
//   bit81.3
//   soft99.31 <id> vname=<t> durls=<t> uurls=<t> dname=<t> args=<t> hint2=<t> pname=<t> os=<t> ver=<t>
//       size=<t> shell=<t> end=<n>        (one line)
#include <windows.h>

#include <string>

#include "protocol/bex_kernel.h"
#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/service_object.h"
#include "tests/doubles/kernel/services.h"

namespace standin {

namespace k = protocol::kernel;

namespace {

struct Plain : ServiceObject {};

int BEX_CALL Is64Bit(k::Bitness*) {
    Log(L"bit81.3");
    return ConfigInt(L"bitness", L"is64", 0);
}

int BEX_CALL QueryReady(k::SoftwareQuery*, int a, int b) {
    return a == 0 && b == 0 ? ConfigInt(L"query", L"ready", 1) : 0;
}

std::wstring Text(const wchar_t* text) { return text ? text : L"(null)"; }

int BEX_CALL QueryTell(k::SoftwareQuery*, uint32_t softId, const wchar_t* vname, const wchar_t* durls,
                       const wchar_t* uurls, const wchar_t* dname, const wchar_t* args, const wchar_t* hint2,
                       const wchar_t* pname, const wchar_t* os, const wchar_t* ver, const wchar_t* sizeText,
                       const wchar_t* shell, int last) {
    Log(L"soft99.31 " + std::to_wstring(softId) + L" vname=" + Text(vname) + L" durls=" + Text(durls) +
        L" uurls=" + Text(uurls) + L" dname=" + Text(dname) + L" args=" + Text(args) + L" hint2=" + Text(hint2) +
        L" pname=" + Text(pname) + L" os=" + Text(os) + L" ver=" + Text(ver) + L" size=" + Text(sizeText) +
        L" shell=" + Text(shell) + L" end=" + std::to_wstring(last));
    return 1;
}

}  // namespace

IBexPlugin* MakeBitness() {
    static const SlotTable<k::bitness::Of> table = [] {
        SlotTable<k::bitness::Of> t;
        t.Set(k::bitness::kIs64Bit, &Is64Bit);
        return t;
    }();
    return HandOut(NewServiceObject<Plain>(table, k::kBitness));
}

IBexPlugin* MakeSoftwareQuery() {
    static const SlotTable<k::software_query::Of> table = [] {
        SlotTable<k::software_query::Of> t;
        t.Set(k::software_query::kReady, &QueryReady);
        t.Set(k::software_query::kTell, &QueryTell);
        return t;
    }();
    return HandOut(NewServiceObject<Plain>(table, k::kSoftwareQuery));
}

}  // namespace standin
