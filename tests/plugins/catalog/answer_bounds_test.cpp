// What one answer of the web services may cost, for list answers and for
// the software information alike: its bytes are bounded before anything is
// decoded, the start tag is found in the raw bytes, the softs taken are cut
// at a number, and a parse sees the stop event of its owner.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "plugins/catalog/list_answers.h"
#include "plugins/catalog/update_info.h"
#include "tests/plugins/catalog/catalog_fixture.h"
#include "tests/support/text.h"
#include "base/handles.h"

namespace {

std::string Softs(int from, int to) {
    std::string softs;
    for (int id = from; id <= to; ++id) softs += "<soft><id>" + std::to_string(id) + "</id><x>y</x></soft>";
    return softs;
}

class AnswerBounds : public CatalogTest {};

TEST_F(AnswerBounds, AnAnswerIsBoundedInBytesAndSoftsAndStops) {
    base::ComScope com;
    const std::string over(catalog::kMaxAnswerBytes, 'x');
    const std::string junk(3 << 20, 'x');
    base::Event stop(::CreateEventW(nullptr, TRUE, TRUE, nullptr));
    struct Case {
        const char* what;
        std::string body;
        bool stopped;
        size_t softs;  // 0: refused
        uint32_t last;
    } cases[] = {
        {"one over the byte cap", "<ret><softs>" + Softs(1, 1) + "<!--" + over + "--></softs></ret>", false, 0, 0},
        {"3 MB before the tag", junk + "\xB0\xA1<re<RET <ret><softs>" + Softs(1, 2) + "</softs></ret>", false, 2, 2},
        {"softs past the cap", "<ret><softs>" + Softs(1, 1200) + "</softs></ret>", false, catalog::kMaxAnswerSofts,
         static_cast<uint32_t>(catalog::kMaxAnswerSofts)},
        {"the owner stopped", "<ret><softs>" + Softs(1, 2) + "</softs></ret>", true, 0, 0},
    };
    for (const Case& c : cases) {
        const auto* data = reinterpret_cast<const BYTE*>(c.body.data());
        const HANDLE owner = c.stopped ? stop.Get() : nullptr;
        std::vector<catalog::AnswerSoft> softs;
        const bool read = catalog::ReadSoftAnswer(data, c.body.size(), nullptr, nullptr, softs, nullptr, owner);
        EXPECT_EQ(read ? softs.size() : 0u, c.softs) << c.what;
        if (read && !softs.empty()) {
            EXPECT_EQ(softs.back().id, c.last) << c.what;
        }
        catalog::UpdateInfoMap info;
        const bool parsed = catalog::ParseUpdateInfoXml(data, c.body.size(), info, owner);
        EXPECT_EQ(parsed ? info.size() : 0u, c.softs) << c.what;
        if (parsed && !info.empty()) {
            EXPECT_EQ(info.rbegin()->first, c.last) << c.what;
        }
    }
}

}  // namespace

namespace {

// A size of any length reads as its leading digits, held at the largest
// 64-bit value: twenty digits are past it and must not wrap round.
TEST(ListRecordSize, LeadingDigitsHeldAtTheLargestValue) {
    const struct {
        const wchar_t* text;
        int64_t size;
    } cases[] = {
        {L"1234", 1234},
        {L"12 MB", 12},
        {L"9223372036854775807", 0x7FFFFFFFFFFFFFFFLL},
        {L"9223372036854775808", 0x7FFFFFFFFFFFFFFFLL},
        {L"20000000000000000000", 0x7FFFFFFFFFFFFFFFLL},
        {L"x1", 0},
    };
    for (const auto& c : cases) {
        catalog::tagSoftListData record{};
        catalog::FillListRecord(record, {{L"size", c.text}}, catalog::ListContext{});
        EXPECT_EQ(record.size, c.size) << testsupport::Narrow(c.text);
    }
}

}  // namespace
