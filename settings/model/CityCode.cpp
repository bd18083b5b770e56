#include "settings/model/CityCode.h"

#include <cstring>

#include "base/text.h"

namespace settings {

namespace {

struct ProvinceRow {
    const wchar_t* Name;
    const wchar_t* Code;
};

const ProvinceRow kProvinces[kProvinceCount] = {
    {L"北京", L"10101"}, {L"天津", L"10103"}, {L"上海", L"10102"}, {L"河北", L"10109"},   {L"河南", L"10118"},
    {L"安徽", L"10122"}, {L"浙江", L"10121"}, {L"重庆", L"10104"}, {L"福建", L"10123"},   {L"甘肃", L"10116"},
    {L"广东", L"10128"}, {L"广西", L"10130"}, {L"贵州", L"10126"}, {L"云南", L"10129"},   {L"内蒙古", L"10108"},
    {L"江西", L"10124"}, {L"湖北", L"10120"}, {L"四川", L"10127"}, {L"青海", L"10115"},   {L"宁夏", L"10117"},
    {L"山东", L"10112"}, {L"陕西", L"10111"}, {L"山西", L"10110"}, {L"新疆", L"10113"},   {L"西藏", L"10114"},
    {L"海南", L"10131"}, {L"湖南", L"10125"}, {L"江苏", L"10119"}, {L"黑龙江", L"10105"}, {L"吉林", L"10106"},
    {L"辽宁", L"10107"}, {L"香港", L"10132"}, {L"澳门", L"10133"}, {L"台湾", L"10134"},
};

bool InProvince(const TDataEntry& city, const std::wstring& provinceCode) {
    return provinceCode.size() == kProvinceCodeLength && city.Code.compare(0, kProvinceCodeLength, provinceCode) == 0;
}

}  // namespace

TDataEntry& TDataList::AddEntry() {
    entries_.push_back(std::make_unique<TDataEntry>());
    return *entries_.back();
}

void TDataList::Add(const std::wstring& name, const std::wstring& code) {
    TDataEntry& entry = AddEntry();
    entry.Name = name;
    entry.Code = code;
}

std::wstring TDataList::CodeOf(const std::wstring& name) const {
    for (const auto& entry : entries_)
        if (entry->Name == name) return entry->Code;
    return std::wstring();
}

std::wstring TDataList::NameOf(const std::wstring& code) const {
    for (const auto& entry : entries_)
        if (entry->Code == code) return entry->Name;
    return std::wstring();
}

const TDataEntry* TDataList::At(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return entries_[static_cast<size_t>(index)].get();
}

TDataList BuildProvinceList() {
    TDataList list;
    for (const ProvinceRow& row : kProvinces) list.Add(row.Name, row.Code);
    return list;
}

std::wstring DecodeResourceText(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (!bytes) return std::wstring();
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        std::wstring text((size - 2) / sizeof(wchar_t), L'\0');
        if (!text.empty()) std::memcpy(&text[0], bytes + 2, text.size() * sizeof(wchar_t));
        return text;
    }
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        return base::ToWideFromCodePage(reinterpret_cast<const char*>(bytes) + 3, size - 3, CP_UTF8);
    return base::ToWideFromCodePage(reinterpret_cast<const char*>(bytes), size, CP_ACP);
}

void ParseCityLines(const std::wstring& text, TDataList& cities) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        start = end + 1;
        const size_t eq = line.find(L'=');
        if (eq == std::wstring::npos) cities.Add(line, std::wstring());
        else cities.Add(line.substr(0, eq), line.substr(eq + 1));
    }
}

bool LoadCityList(HMODULE module, TDataList& cities) {
    HRSRC found = ::FindResourceW(module, kCityResourceName, kCityResourceType);
    if (!found) return false;
    HGLOBAL loaded = ::LoadResource(module, found);
    const DWORD size = ::SizeofResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return false;
    ParseCityLines(DecodeResourceText(data, size), cities);
    return true;
}

std::vector<const TDataEntry*> CitiesOfProvince(const TDataList& cities, const std::wstring& provinceCode) {
    std::vector<const TDataEntry*> rows;
    for (int i = 0; i < cities.Count(); ++i)
        if (InProvince(*cities.At(i), provinceCode)) rows.push_back(cities.At(i));
    return rows;
}

const TDataList& ProvinceList() {
    static const TDataList list = BuildProvinceList();
    return list;
}

const TDataList* CityList() {
    static const std::unique_ptr<TDataList> list = [] {
        auto cities = std::make_unique<TDataList>();
        if (!LoadCityList(nullptr, *cities)) cities.reset();
        return cities;
    }();
    return list.get();
}

}  // namespace settings
