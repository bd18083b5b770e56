// Calls and stand-ins that must not compile against the kernel's slot
// descriptions. Case 0 holds each line that another case gets wrong,
// written right, and must compile: so each other case fails for its one
// wrong line, not for a missing header. Every other case ends its line with
// a fragment of the error the compiler gives for it, in double quotes;
// slot_contract.cmake builds every case and looks for it.
#include "protocol/bex_kernel.h"
#include "protocol/kernel_calls.h"
#include "protocol/outside_exports.h"
#include "tests/doubles/kernel/service_object.h"

namespace k = protocol::kernel;
namespace ac = protocol::outside::app_centre;

namespace {

int BEX_CALL SetText(k::String*, const wchar_t*) { return 1; }
int BEX_CALL SetTextAndMore(k::String*, const wchar_t*, int) { return 1; }
int __cdecl SetTextCaller(k::String*, const wchar_t*) { return 1; }
int BEX_CALL Count(k::ObjectList*) { return 0; }
int BEX_CALL Length(k::String*) { return 0; }

}  // namespace

// The objects as the plug-ins hold them, each typed by its class.
struct Objects {
    IBexPlugin* plain;
    k::String* string;
    k::ObjectList* list;
    k::ItemList* items;
    k::ValueStore* store;
    k::ByteBuffer* buffer;
    k::Statistics* statistics;
    ac::Data* data;
    ac::Record* record;
    IUnknown* sweeper;
};

void PluginSide(const Objects& o) {
    IBexPlugin* item = nullptr;
    uint32_t extra = 0;
#if CASE == 0
    protocol::Call(k::string::kSetText, o.string, L"text");
    protocol::Call(k::object_list::kItem, o.list, 0, &item);
    protocol::Call(k::value_store::kGet, o.store, 1, L"name", o.buffer, &extra);
    protocol::Call(protocol::outside::sweeper::kScan, o.sweeper, 1);
    protocol::Call(k::statistics::kSend, o.statistics, L"%ls", L"x");
    protocol::ListCount(o.list);
    protocol::Call(k::item_list::kCount, o.items);
    protocol::StringText(o.string);
    protocol::Call(ac::kRecordKind, o.record);
#elif CASE == 1  // an argument too few: "too few arguments"
    protocol::Call(k::string::kSetText, o.string);
#elif CASE == 2  // an argument too many: "too many arguments"
    protocol::Call(k::string::kSetText, o.string, L"text", 1);
#elif CASE == 3  // an object where its address is asked for: "IBexPlugin**"
    protocol::Call(k::object_list::kItem, o.list, 0, item);
#elif CASE == 4  // a pointer of another type: "unsigned int*"
    protocol::Call(k::value_store::kGet, o.store, 1, L"name", o.buffer, &item);
#elif CASE == 5  // a kernel slot called on an object of another interface: "IUnknown*"
    protocol::Call(protocol::outside::sweeper::kScan, o.plain, 1);
#elif CASE == 6  // the variadic slot without its format: "too few arguments"
    protocol::Call(k::statistics::kSend, o.statistics);
#elif CASE == 7  // a slot of one class called on an object of another: "Service<94>::Object*"
    protocol::Call(k::value_store::kGet, o.string, 1, L"name", o.buffer, &extra);
#elif CASE == 8  // another class's object, whose count is the same slot: "kernel::ObjectList*"
    protocol::ListCount(o.items);
#elif CASE == 9  // a plain object of the border where a class's is asked for: "kernel::String*"
    protocol::StringText(o.plain);
#elif CASE == 10  // the app centre's data interface where a record is asked for: "app_centre::Record*"
    protocol::Call(ac::kRecordKind, o.data);
#endif
    (void)item;
    (void)extra;
}

void StandInSide() {
    standin::SlotTable<k::string::Of> table;
    standin::SlotTable<k::object_list::Of> listTable;
#if CASE == 0
    table.Set(k::string::kSetText, &SetText);
    listTable.Set(k::object_list::kCount, &Count);
    table.Set(protocol::Slot<k::string::Of, 63, int()>{}, &Length);
#elif CASE == 11  // a stand-in taking one parameter more than the contract: "const wchar_t*, int)"
    table.Set(k::string::kSetText, &SetTextAndMore);
#elif CASE == 12  // [two conventions] a stand-in of the other calling convention: "cdecl"
    table.Set(k::string::kSetText, &SetTextCaller);
#elif CASE == 13  // another class's slot in this class's table: "Slot<protocol::kernel::Service<4>, 4"
    table.Set(k::object_list::kCount, &Count);
#elif CASE == 14  // a slot number outside the table: "outside the tables"
    table.Set(protocol::Slot<k::string::Of, 64, int()>{}, &Length);
#endif
    (void)table;
    (void)listTable;
}
