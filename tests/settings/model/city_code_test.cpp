#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "settings/model/CityCode.h"
#include "tests/settings/test_support.h"

using namespace settings;

namespace {

using Names = std::vector<std::wstring>;

// The weather stations per province, in the order their blocks stand.
const std::pair<const wchar_t*, int> kBlocks[kProvinceCount] = {
    {L"10101", 16}, {L"10103", 13}, {L"10102", 12}, {L"10109", 11}, {L"10118", 18}, {L"10122", 17}, {L"10121", 11},
    {L"10104", 36}, {L"10123", 10}, {L"10116", 14}, {L"10128", 21}, {L"10130", 14}, {L"10126", 9},  {L"10129", 16},
    {L"10108", 12}, {L"10124", 11}, {L"10120", 17}, {L"10127", 21}, {L"10117", 5},  {L"10115", 9},  {L"10112", 17},
    {L"10111", 10}, {L"10110", 11}, {L"10113", 16}, {L"10114", 7},  {L"10134", 3},  {L"10131", 21}, {L"10125", 15},
    {L"10119", 13}, {L"10105", 13}, {L"10106", 9},  {L"10107", 14}, {L"10132", 3},  {L"10133", 1},
};

std::string ResourceBytes() {
    HRSRC found = ::FindResourceW(nullptr, kCityResourceName, kCityResourceType);
    if (!found) return std::string();
    const void* data = ::LockResource(::LoadResource(nullptr, found));
    return data ? std::string(static_cast<const char*>(data), ::SizeofResource(nullptr, found)) : std::string();
}

Names NamesOf(const std::vector<const TDataEntry*>& rows) {
    Names names;
    for (const TDataEntry* row : rows) names.push_back(row->Name);
    return names;
}

const TDataList& Cities() {
    const TDataList* cities = CityList();
    if (!cities) {
        static const TDataList empty;
        ADD_FAILURE() << "the program carries no city resource";
        return empty;
    }
    return *cities;
}

// ---------------------------------------------------------------- the list type

TEST(DataListTest, LooksUpBothWaysByExactText) {
    TDataList list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.At(0), nullptr);
    TDataEntry& empty = list.AddEntry();
    EXPECT_TRUE(empty.Name.empty());
    EXPECT_TRUE(empty.Code.empty());
    empty.Name = L"甲";
    empty.Code = L"1";
    list.Add(L"乙", L"2");
    list.Add(L"甲", L"3");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.CodeOf(L"甲"), L"1") << "the first match";
    EXPECT_EQ(list.NameOf(L"3"), L"甲");
    EXPECT_EQ(list.NameOf(L"2"), L"乙");
    EXPECT_EQ(list.CodeOf(L"甲 "), L"");
    EXPECT_EQ(list.NameOf(L""), L"");
    EXPECT_EQ(list.At(-1), nullptr);
    EXPECT_EQ(list.At(3), nullptr);
    ASSERT_NE(list.At(2), nullptr);
    EXPECT_EQ(list.At(2)->Code, L"3");
}

TEST(DataListTest, LinesSplitAtTheFirstEqualsSign) {
    struct Case {
        std::wstring text;
        std::vector<std::pair<std::wstring, std::wstring>> rows;
    } cases[] = {
        {L"", {}},
        {L"a=1\r\nb=2\r\n", {{L"a", L"1"}, {L"b", L"2"}}},
        {L"a=1\nb=2", {{L"a", L"1"}, {L"b", L"2"}}},
        {L"a=b=c\r\n", {{L"a", L"b=c"}}},
        {L"=5\r\nname\r\n", {{L"", L"5"}, {L"name", L""}}},
    };
    for (const Case& c : cases) {
        TDataList list;
        ParseCityLines(c.text, list);
        ASSERT_EQ(list.Count(), static_cast<int>(c.rows.size()));
        for (int i = 0; i < list.Count(); ++i) {
            EXPECT_EQ(list.At(i)->Name, c.rows[i].first);
            EXPECT_EQ(list.At(i)->Code, c.rows[i].second);
        }
    }
}

TEST(DataListTest, TheByteOrderMarkSelectsTheEncoding) {
    const std::string utf16("\xFF\xFE\x17\x53\xAC\x4E", 6);   // 北京
    const std::string utf8("\xEF\xBB\xBF\xE5\x8C\x97\xE4\xBA\xAC");
    const std::string ansi("\xB1\xB1\xBE\xA9");                // code page 936
    EXPECT_EQ(DecodeResourceText(utf16.data(), utf16.size()), L"北京");
    EXPECT_EQ(DecodeResourceText(utf8.data(), utf8.size()), L"北京");
    ASSERT_EQ(::GetACP(), 936u) << "the tests run under the zh_CN locale";
    EXPECT_EQ(DecodeResourceText(ansi.data(), ansi.size()), L"北京");
    EXPECT_EQ(DecodeResourceText(nullptr, 0), L"");
}

// ---------------------------------------------------------------- the provinces

// The table itself is data; what can go wrong is a name or code typed twice
// or wrong, and those show against the station resource.
TEST(ProvinceTableTest, ThirtyFourProvincesEachOnceWithAStationCode) {
    const TDataList& provinces = ProvinceList();
    ASSERT_EQ(provinces.Count(), kProvinceCount);
    for (int i = 0; i < kProvinceCount; ++i) {
        const TDataEntry& province = *provinces.At(i);
        EXPECT_EQ(province.Code.size(), kProvinceCodeLength) << i;
        EXPECT_EQ(province.Code.compare(0, 3, L"101"), 0) << i;
        // Each name and each code once: both look-ups find this row.
        EXPECT_EQ(provinces.NameOf(province.Code), province.Name) << i;
        EXPECT_EQ(provinces.CodeOf(province.Name), province.Code) << i;
        EXPECT_FALSE(CitiesOfProvince(Cities(), province.Code).empty()) << i;
    }
    // Where a province is one city, its first station bears its name.
    for (const wchar_t* city : {L"北京", L"天津", L"上海", L"重庆", L"香港", L"澳门"}) {
        const std::vector<const TDataEntry*> stations = CitiesOfProvince(Cities(), provinces.CodeOf(city));
        ASSERT_FALSE(stations.empty()) << testsupport::Narrow(city);
        EXPECT_EQ(stations.front()->Name, city);
    }
    EXPECT_EQ(provinces.At(0)->Name, L"北京") << "the first, shown for an empty settings file";
    EXPECT_EQ(provinces.NameOf(L"10199"), L"");
}

// ---------------------------------------------------------------- the city resource

TEST(CityResourceTest, IsUtf16WithAByteOrderMarkAndCrLfLineEnds) {
    const std::string bytes = ResourceBytes();
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE"));
    ASSERT_EQ(bytes.size() % 2, 0u);
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    std::memcpy(&text[0], bytes.data() + 2, text.size() * 2);
    int lines = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == L'\r') << "a bare LF at " << i;
            ++lines;
        } else if (text[i] == L'\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == L'\n') << "a bare CR at " << i;
        }
    }
    EXPECT_EQ(lines, kCityCount);
    EXPECT_EQ(text.substr(text.size() - 2), L"\r\n") << "the last line ends too";
    EXPECT_EQ(text.substr(0, 14), L"北京=101010100\r\n");
}

TEST(CityResourceTest, HoldsTheStationListAsKeptInTheSources) {
    // The resource is made from the UTF-8 list at build time: row for row.
    wchar_t source[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableW(L"TEST_SOURCE_DIR", source, MAX_PATH), 0u);
    const std::string utf8 = settingstest::ReadBytes(std::wstring(source) + L"\\..\\..\\..\\settings\\data\\citycode.txt");
    ASSERT_FALSE(utf8.empty());
    TDataList fromSource;
    ParseCityLines(DecodeResourceText(("\xEF\xBB\xBF" + utf8).data(), utf8.size() + 3), fromSource);
    const TDataList& cities = Cities();
    ASSERT_EQ(fromSource.Count(), cities.Count());
    for (int i = 0; i < cities.Count(); ++i) {
        EXPECT_EQ(cities.At(i)->Name, fromSource.At(i)->Name) << i;
        EXPECT_EQ(cities.At(i)->Code, fromSource.At(i)->Code) << i;
    }
}

TEST(CityResourceTest, FourHundredFortySixStationsInProvinceBlocks) {
    const TDataList& cities = Cities();
    ASSERT_EQ(cities.Count(), kCityCount);
    int row = 0;
    for (const auto& block : kBlocks) {
        for (int i = 0; i < block.second; ++i, ++row) {
            ASSERT_LT(row, cities.Count());
            const TDataEntry& city = *cities.At(row);
            EXPECT_EQ(city.Code.substr(0, kProvinceCodeLength), block.first) << row;
            EXPECT_EQ(city.Code.size(), 9u) << row;
            EXPECT_EQ(city.Code.find_first_not_of(L"0123456789"), std::wstring::npos) << row;
            EXPECT_FALSE(city.Name.empty()) << row;
        }
        EXPECT_EQ(static_cast<int>(CitiesOfProvince(cities, block.first).size()), block.second) << block.first;
        EXPECT_FALSE(ProvinceList().NameOf(block.first).empty()) << block.first;
    }
    EXPECT_EQ(row, kCityCount);
}

TEST(CityResourceTest, SampleRowsAndLookupsBothWays) {
    const TDataList& cities = Cities();
    ASSERT_GT(cities.Count(), 0);
    EXPECT_EQ(cities.At(0)->Name, L"北京");
    EXPECT_EQ(cities.At(0)->Code, L"101010100");
    const std::pair<const wchar_t*, const wchar_t*> samples[] = {
        {L"北京", L"101010100"}, {L"朝阳", L"101010300"}, {L"香港", L"101320101"}, {L"澳门", L"101330101"},
        {L"石家庄", L"101090101"}, {L"九龙", L"101320102"}, {L"新界", L"101320103"},
    };
    for (const auto& s : samples) {
        EXPECT_EQ(cities.CodeOf(s.first), s.second);
        EXPECT_EQ(cities.NameOf(s.second), s.first);
    }
    // The one name two provinces share: by name the first, by code each.
    EXPECT_EQ(cities.NameOf(L"101071201"), L"朝阳");
    int chaoyang = 0;
    for (int i = 0; i < cities.Count(); ++i) chaoyang += cities.At(i)->Name == L"朝阳";
    EXPECT_EQ(chaoyang, 2);
    EXPECT_EQ(cities.CodeOf(L"不存在"), L"");
}

TEST(CityResourceTest, EachProvinceListsItsOwnCities) {
    const TDataList& cities = Cities();
    const TDataList& provinces = ProvinceList();
    EXPECT_EQ(NamesOf(CitiesOfProvince(cities, provinces.CodeOf(L"香港"))), (Names{L"香港", L"九龙", L"新界"}));
    EXPECT_EQ(NamesOf(CitiesOfProvince(cities, provinces.CodeOf(L"澳门"))), (Names{L"澳门"}));
    const Names beijing = NamesOf(CitiesOfProvince(cities, provinces.CodeOf(L"北京")));
    ASSERT_EQ(beijing.size(), 16u);
    EXPECT_EQ(beijing.front(), L"北京");
    EXPECT_TRUE(CitiesOfProvince(cities, L"").empty());
    EXPECT_TRUE(CitiesOfProvince(cities, L"101").empty()) << "only a whole province code filters";
    EXPECT_TRUE(CitiesOfProvince(cities, L"10199").empty());
    int total = 0;
    for (int i = 0; i < provinces.Count(); ++i)
        total += static_cast<int>(CitiesOfProvince(cities, provinces.At(i)->Code).size());
    EXPECT_EQ(total, kCityCount) << "every station belongs to one province of the table";
}

// The city code of the name under a province: the first row of that
// province with the name, so that a name two provinces share keeps its own
// province's code. Empty when the province has no such row.
std::wstring CityCodeInProvince(const TDataList& cities, const std::wstring& provinceCode, const std::wstring& name) {
    for (const TDataEntry* city : CitiesOfProvince(cities, provinceCode))
        if (city->Name == name) return city->Code;
    return std::wstring();
}

TEST(CityResourceTest, TheStoredCodeIsTheRowOfTheSelectedProvince) {
    const TDataList& cities = Cities();
    struct Case {
        const wchar_t* province;
        const wchar_t* city;
        const wchar_t* code;
    } cases[] = {
        {L"辽宁", L"朝阳", L"101071201"},
        {L"北京", L"朝阳", L"101010300"},
        {L"香港", L"九龙", L"101320102"},
        {L"澳门", L"澳门", L"101330101"},
        {L"北京", L"九龙", L""},  // not a Beijing station
    };
    for (const Case& c : cases)
        EXPECT_EQ(CityCodeInProvince(cities, ProvinceList().CodeOf(c.province), c.city), c.code) << c.code;
}

}  // namespace
