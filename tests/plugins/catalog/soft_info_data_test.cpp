// Update-information answers, the record they fill and its getters, called
// by slot number as a client calls them.
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "plugins/catalog/soft_info_data.h"
#include "plugins/catalog/update_info.h"
#include "plugins/common/kernel_calls.h"
#include "tests/plugins/catalog/catalog_fixture.h"
#include "tests/plugins/record_slots.h"
#include "tests/support/text.h"
#include "base/handles.h"

using testsupport::Narrow;

namespace {

using catalog::CSoftInfoData;
using catalog::ElementMap;
using catalog::UpdateInfoMap;
using record_slots::Info;
using record_slots::Reader;
template <int N>
constexpr Reader<const wchar_t*> TextAt = record_slots::At<Info, N, const wchar_t*>;
template <int N>
constexpr Reader<uint32_t> NumberAt = record_slots::At<Info, N, uint32_t>;

class SoftInfoRecord : public CatalogTest {
protected:
    void SetUp() override {
        CatalogTest::SetUp();
        ASSERT_TRUE(com_.Ok());
    }
    void TearDown() override {
        catalog::SetWindowsVersionSeam(nullptr);
        CatalogTest::TearDown();
    }
    static std::string Cp936(const std::wstring& text) { return testsupport::Narrow(text, 936); }
    static std::string FixtureAnswer() {
        std::ifstream in(FixtureDir("update") + "\\get_update_info.php", std::ios::binary);
        const std::string utf8((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return Cp936(testsupport::Widen(utf8));
    }
    static bool Parse(const std::string& bytes, UpdateInfoMap& out) {
        return catalog::ParseUpdateInfoXml(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(), out);
    }
    static std::wstring Text(CSoftInfoData* record, Reader<const wchar_t*> slot) {
        const wchar_t* text = slot.read(record);
        return text ? text : L"(null)";
    }
    static uint32_t Number(CSoftInfoData* record, Reader<uint32_t> slot) { return slot.read(record); }

    base::ComScope com_;
};

TEST_F(SoftInfoRecord, AnAnswerFillsEveryGetter) {
    UpdateInfoMap softs;
    ASSERT_TRUE(Parse(FixtureAnswer(), softs));
    ASSERT_EQ(softs.size(), 2u);
    EXPECT_EQ(softs[102].at(L"name"), L"图片查看器");
    protocol::PluginRef<CSoftInfoData> record(catalog::NewSoftInfoData());
    ASSERT_TRUE(record);
    record->Record().softId = 101;
    catalog::FillSoftRecord(record->Record(), softs[101], L"WIN7");
    CSoftInfoData* r = record.Get();
    const struct {
        Reader<const wchar_t*> slot;
        const wchar_t* text;
    } texts[] = {
        {TextAt<7>, L"Alpha Player"},
        {TextAt<8>, L""},
        {TextAt<9>, L"http://l/101.png"},
        {TextAt<10>, L""},
        {TextAt<11>, L"2.1"},
        {TextAt<12>, L"2026-01-02"},
        {TextAt<13>, L""},
        {TextAt<16>, L""},
        {TextAt<17>, L""},
        {TextAt<18>, L""},
        {TextAt<19>, L"http://soft/101"},
        {TextAt<27>, L"90"},
        {TextAt<28>, L"e101"},
        {TextAt<29>, L"http://d/101.exe"},
        {TextAt<30>, L"setup_SP.exe"},
    };
    for (const auto& t : texts) EXPECT_EQ(Text(r, t.slot), t.text) << "slot " << t.slot.slot;
    const struct {
        Reader<uint32_t> slot;
        uint32_t value;
    } numbers[] = {
        {NumberAt<5>, 1},  {NumberAt<6>, 101},   {NumberAt<14>, 0}, {NumberAt<15>, 0},
        {NumberAt<20>, 1}, {NumberAt<21>, 4096}, {NumberAt<22>, 1}, {NumberAt<23>, 1},
        {NumberAt<24>, 1}, {NumberAt<25>, 1},    {NumberAt<26>, 1},
    };
    for (const auto& n : numbers) EXPECT_EQ(Number(r, n.slot), n.value) << "slot " << n.slot.slot;
    EXPECT_EQ((record_slots::Call<Info, 3, LONG(void*)>(r, nullptr)), 0);
    EXPECT_EQ(std::wstring(r->GetNamedText(L"SHARE")), L"Free");
    EXPECT_EQ(std::wstring(r->GetNamedText(L"BaikeName")), L"b101");
    EXPECT_EQ(r->GetNamedText(L"name"), nullptr);
    EXPECT_EQ(r->GetNamedText(nullptr), nullptr);

    // Soft 102: stable "1" is not stable, os "xp" does not match, a size
    // past 32 bits is held at the largest.
    catalog::FillSoftRecord(r->Record(), softs[102], L"WIN7");
    EXPECT_EQ(Text(r, TextAt<7>), L"图片查看器");
    EXPECT_EQ(Number(r, NumberAt<24>), 0u);
    EXPECT_EQ(Number(r, NumberAt<22>), 0u);
    EXPECT_EQ(Number(r, NumberAt<20>), 0u);
    EXPECT_EQ(Number(r, NumberAt<21>), 4294967295u);
    EXPECT_EQ(Text(r, TextAt<11>), L"2.1") << "given only when non-empty";
    EXPECT_EQ(Text(r, TextAt<29>), L"") << "durls follows every answer";
}

TEST_F(SoftInfoRecord, FieldRules) {
    struct Case {
        const char* what;
        ElementMap elements;
        Reader<uint32_t> slot;
        uint32_t value;
    };
    const Case cases[] = {
        {"stable 2", {{L"stable", L"2"}}, NumberAt<24>, 1},
        {"stable 1", {{L"stable", L"1"}}, NumberAt<24>, 0},
        {"free 1", {{L"free", L"1"}}, NumberAt<22>, 1},
        {"free 0", {{L"free", L"0"}}, NumberAt<22>, 0},
        {"plugin 1", {{L"plugin", L"1"}}, NumberAt<23>, 1},
        {"language 2", {{L"language", L"2"}}, NumberAt<25>, 1},
        {"language 1", {{L"language", L"1"}}, NumberAt<25>, 0},
        {"important 1", {{L"important", L"1"}}, NumberAt<26>, 1},
        {"os contains the system, any case", {{L"os", L"xp;win7"}}, NumberAt<20>, 1},
        {"os without the system", {{L"os", L"xp"}}, NumberAt<20>, 0},
        {"no os", {}, NumberAt<20>, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        protocol::PluginRef<CSoftInfoData> record(catalog::NewSoftInfoData());
        catalog::FillSoftRecord(record->Record(), c.elements, L"WIN7");
        EXPECT_EQ(Number(record.Get(), c.slot), c.value);
    }
    protocol::PluginRef<CSoftInfoData> record(catalog::NewSoftInfoData());
    catalog::FillSoftRecord(record->Record(), {{L"name", std::wstring(150, L'n')}, {L"vdisp", std::wstring(80, L'v')}},
                            L"WIN7");
    EXPECT_EQ(Text(record.Get(), TextAt<7>), std::wstring(99, L'n'));
    EXPECT_EQ(Text(record.Get(), TextAt<11>), std::wstring(49, L'v'));
    catalog::FillSoftRecord(record->Record(), {{L"durls", L"d"}}, L"WIN7");
    EXPECT_EQ(Text(record.Get(), TextAt<7>), std::wstring(99, L'n')) << "an answer without a name keeps it";
}

void Windows62(DWORD* major, DWORD* minor) {
    *major = 6;
    *minor = 2;
}

TEST_F(SoftInfoRecord, ShellMarks) {
    const struct {
        const wchar_t* shell;
        bool newer;
        uint32_t s;
        uint32_t p;
    } cases[] = {
        {L"setup_SP.exe", false, 1, 1}, {L"setup_S.exe", false, 1, 0}, {L"setup.exe", false, 0, 0},
        {L"a_b", false, 0, 0},          {L"x_P.y_z.exe", false, 0, 0}, {L"setup_SP.exe", true, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << Narrow(c.shell) << (c.newer ? " at 6.2" : ""));
        catalog::SetWindowsVersionSeam(c.newer ? &Windows62 : nullptr);
        protocol::PluginRef<CSoftInfoData> record(catalog::NewSoftInfoData());
        catalog::FillSoftRecord(record->Record(), {{L"shell", c.shell}}, L"");
        EXPECT_EQ(Number(record.Get(), NumberAt<31>), c.s);
        EXPECT_EQ(Number(record.Get(), NumberAt<32>), c.p);
    }
}

TEST_F(SoftInfoRecord, ASlotThatThrowsAnswersItsFailureValue) {
    // The version seam stands for anything under a slot that may throw.
    catalog::SetWindowsVersionSeam([](DWORD*, DWORD*) { throw std::runtime_error("no version"); });
    protocol::PluginRef<CSoftInfoData> record(catalog::NewSoftInfoData());
    catalog::FillSoftRecord(record->Record(), {{L"shell", L"setup_SP.exe"}}, L"");
    EXPECT_EQ(Number(record.Get(), NumberAt<31>), 0u);
}

TEST_F(SoftInfoRecord, BadAnswersGiveNothing) {
    const std::string soft = "<soft><id>5</id><name>n</name></soft>";
    std::string binary(4096, '\0');
    for (size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(1 + i % 250);
    const struct {
        const char* what;
        std::string answer;
    } cases[] = {
        {"no ret", "<softs>" + soft + "</softs>"},
        {"not well-formed", "<ret><softs>" + soft + "</softs>"},
        {"no softs", "<ret>" + soft + "</ret>"},
        {"no soft", "<ret><softs></softs></ret>"},
        {"empty", ""},
        {"binary without NUL", binary},
        {"id 0", "<ret><softs><soft><id>0</id><name>n</name></soft></softs></ret>"},
        {"id not a number", "<ret><softs><soft><id>12a</id><name>n</name></soft></softs></ret>"},
        {"id past 32 bits", "<ret><softs><soft><id>4294967296</id><name>n</name></soft></softs></ret>"},
        {"invalid code page bytes", "<ret><softs><soft><id>\x81\x20</id></soft></softs></ret>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UpdateInfoMap softs{{1, {{L"x", L"y"}}}};
        EXPECT_FALSE(Parse(c.answer, softs));
        EXPECT_TRUE(softs.empty());
    }
}

TEST_F(SoftInfoRecord, ElementsAreReadAsTheyCome) {
    UpdateInfoMap softs;
    const std::string answer =
        "<?xml version=\"1.0\"?> garbage before <ret><softs>"
        "<soft><ID>7</ID><name>first</name><name>second</name><empty></empty><vdisp/></soft>"
        "<soft><id>bad</id><name>dropped</name></soft>"
        "<soft><id>8</id><name>" + std::string(5 * 1024 * 1024, 'x') + "</name></soft>"
        "</softs></ret>";
    ASSERT_TRUE(Parse(answer, softs));
    ASSERT_EQ(softs.size(), 2u);
    EXPECT_EQ(softs[7].at(L"name"), L"second");
    EXPECT_EQ(softs[7].count(L"empty"), 0u);
    EXPECT_EQ(softs[7].count(L"vdisp"), 0u);
    EXPECT_EQ(softs[8].at(L"name").size(), 5u * 1024 * 1024);
}

TEST_F(SoftInfoRecord, RatingTexts) {
    const struct {
        const wchar_t* text;
        uint32_t rating;
    } cases[] = {{L"8.57", 85}, {L"12", 120}, {L"0", 0}, {L"abc", 0}, {L"-1", 0}, {L"1e30", 0}, {L"nan", 0},
                 {L"inf", 0}, {L"", 0},      {L"500000000", 0}, {L"429496729.5", 4294967295u}};
    for (const auto& c : cases) EXPECT_EQ(catalog::RatingFromText(c.text), c.rating) << Narrow(c.text);
}

TEST_F(SoftInfoRecord, IdsAreSplitSoEveryAddressFits) {
    std::vector<uint32_t> ids;
    for (uint32_t i = 0; i < 400; ++i) ids.push_back(4000000000u + i);
    const auto urls = catalog::UpdateInfoUrls(L"http://update.example", ids, L"tail=1");
    ASSERT_GT(urls.size(), 1u);
    std::wstring joined;
    for (const auto& url : urls) {
        EXPECT_LE(url.size(), 2047u);
        const size_t from = url.find(L"soft_ids=") + 9;
        EXPECT_EQ(url.substr(url.find(L"&lrtime")), L"&lrtime=0&tail=1");
        joined += url.substr(from, url.find(L"&lrtime") - from);
    }
    std::wstring expected;
    for (uint32_t id : ids) expected += std::to_wstring(id) + L",";
    EXPECT_EQ(joined, expected);
    EXPECT_EQ(catalog::UpdateInfoUrls(L"http://h", {101, 102}, L""),
              std::vector<std::wstring>{L"http://h/get_update_info.php?type=update_info&soft_ids=101,102,&lrtime=0&"});
}

}  // namespace
