// The typed callers turn kernel answers that do not hold up into "missing"
// and never read past a stated size. The kernel objects here are hand-made
// tables answering what each case needs.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "protocol/kernel_calls.h"

namespace {

struct Fake {
    void* const* table;
    const wchar_t* text = nullptr;
    int number = 0;  // length, size or count
    void* data = nullptr;
    int itemResult = 0;
    IBexPlugin* item = nullptr;
};
Fake* Of(IBexPlugin* self) { return reinterpret_cast<Fake*>(self); }

uint32_t BEX_CALL Id(IBexPlugin*) { return 1; }
LONG BEX_CALL Ref(IBexPlugin*) { return 1; }
const wchar_t* BEX_CALL Text(IBexPlugin* self) { return Of(self)->text; }
int BEX_CALL Number(IBexPlugin* self) { return Of(self)->number; }
void* BEX_CALL Data(IBexPlugin* self) { return Of(self)->data; }
void* BEX_CALL Allocate(IBexPlugin* self, int) { return Of(self)->data; }
int BEX_CALL Item(IBexPlugin* self, int, IBexPlugin** out) {
    *out = Of(self)->item;
    return Of(self)->itemResult;
}

void* const kString[] = {(void*)&Id, (void*)&Ref, (void*)&Ref, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, (void*)&Text, (void*)&Number};
void* const kBuffer[] = {(void*)&Id, (void*)&Ref, (void*)&Ref, (void*)&Allocate, (void*)&Data, (void*)&Number};
void* const kList[] = {(void*)&Id, (void*)&Ref, (void*)&Ref, nullptr, (void*)&Number, nullptr, (void*)&Item};

namespace k = protocol::kernel;

// The hand-made object as an object of the contract of type T.
template <typename T = IBexPlugin>
T* AsPlugin(Fake& fake) {
    return reinterpret_cast<T*>(&fake);
}

TEST(KernelCalls, AStringIsReadNoFurtherThanItsStatedLength) {
    struct Case {
        const wchar_t* text;
        int length;
        bool present;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"abcdef", 3, true, L"abc"},  // longer than stated
        {L"ab", 10, true, L"ab"},      // ends at its NUL
        {L"abc", -1, false, L""},
        {nullptr, 3, false, L""},
    };
    for (const Case& c : cases) {
        Fake string{kString, c.text, c.length};
        const auto text = protocol::StringText(AsPlugin<k::String>(string));
        EXPECT_EQ(text.has_value(), c.present) << c.length;
        if (text) {
            EXPECT_EQ(*text, c.expected);
        }
    }
}

TEST(KernelCalls, ABufferWithoutDataOrOfAnotherSizeIsMissing) {
    char bytes[8] = {};
    struct Case {
        void* data;
        int size;
        bool present;
    };
    for (const Case c :
         {Case{bytes, 8, true}, Case{nullptr, 8, false}, Case{bytes, 0, false}, Case{bytes, -1, false}}) {
        Fake buffer{kBuffer, nullptr, c.size, c.data};
        const auto view = protocol::BufferData(AsPlugin<k::ByteBuffer>(buffer));
        EXPECT_EQ(view.has_value(), c.present) << c.size;
        if (view) {
            EXPECT_EQ(view->size, static_cast<size_t>(c.size));
        }
    }
    Fake shorter{kBuffer, nullptr, 4, bytes};
    EXPECT_EQ(protocol::BufferAllocate(AsPlugin<k::ByteBuffer>(shorter), 8), nullptr);
    Fake exact{kBuffer, nullptr, 8, bytes};
    EXPECT_EQ(protocol::BufferAllocate(AsPlugin<k::ByteBuffer>(exact), 8), reinterpret_cast<BYTE*>(bytes));
}

TEST(KernelCalls, ANegativeListAnswerGivesNothing) {
    Fake item{kList};
    Fake list{kList, nullptr, -3};
    list.item = AsPlugin(item);
    list.itemResult = -1;
    EXPECT_EQ(protocol::ListCount(AsPlugin<k::ObjectList>(list)), 0);
    EXPECT_FALSE(protocol::ListItem(AsPlugin<k::ObjectList>(list), 0));
    list.itemResult = 0;
    protocol::PluginRef<> got = protocol::ListItem(AsPlugin<k::ObjectList>(list), 0);
    EXPECT_EQ(got.Get(), AsPlugin(item));
}

}  // namespace
