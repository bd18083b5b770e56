// Calls and stand-ins that must not compile against the kernel's slot
// descriptions. Case 0 holds the same lines written right and must compile:
// it shows that each other case fails for its one wrong line, not for a
// missing header. slot_contract.cmake builds every case.
#include "protocol/bex_kernel.h"
#include "protocol/outside_exports.h"
#include "tests/doubles/kernel/service_object.h"

namespace k = protocol::kernel;

namespace {

int BEX_CALL SetText(IBexPlugin*, const wchar_t*) { return 1; }
int BEX_CALL SetTextAndMore(IBexPlugin*, const wchar_t*, int) { return 1; }
int __cdecl SetTextCaller(IBexPlugin*, const wchar_t*) { return 1; }
int BEX_CALL Count(IBexPlugin*) { return 0; }

}  // namespace

void PluginSide(IBexPlugin* object, IUnknown* sweeper) {
    IBexPlugin* item = nullptr;
    uint32_t extra = 0;
#if CASE == 0
    protocol::Call(k::string::kSetText, object, L"text");
    protocol::Call(k::object_list::kItem, object, 0, &item);
    protocol::Call(k::value_store::kGet, object, 1, L"name", item, &extra);
    protocol::Call(k::statistics::kSend, object, L"%ls", L"x");
    protocol::Call(protocol::outside::sweeper::kScan, sweeper, 1);
#elif CASE == 1  // an argument too few
    protocol::Call(k::string::kSetText, object);
#elif CASE == 2  // an argument too many
    protocol::Call(k::string::kSetText, object, L"text", 1);
#elif CASE == 3  // an object where its address is asked for
    protocol::Call(k::object_list::kItem, object, 0, item);
#elif CASE == 4  // a pointer of another type
    protocol::Call(k::value_store::kGet, object, 1, L"name", item, &item);
#elif CASE == 5  // a kernel slot called on an object of another interface
    protocol::Call(protocol::outside::sweeper::kScan, object, 1);
#elif CASE == 6  // the variadic slot without its format
    protocol::Call(k::statistics::kSend, object);
#endif
    (void)item;
    (void)extra;
    (void)sweeper;
}

void StandInSide() {
    standin::SlotTable<k::string::Of> table;
#if CASE == 0
    table.Set(k::string::kSetText, &SetText);
#elif CASE == 7  // a stand-in taking one parameter more than the contract
    table.Set(k::string::kSetText, &SetTextAndMore);
#elif CASE == 8  // [two conventions] a stand-in of the other calling convention
    table.Set(k::string::kSetText, &SetTextCaller);
#elif CASE == 9  // another class's slot in this class's table
    table.Set(k::object_list::kCount, &Count);
#elif CASE == 10  // a slot number outside the table
    table.Set(protocol::Slot<k::string::Of, 64, int()>{}, &Count);
#endif
    (void)table;
}
