// The province and city table of the weather settings: the name/code list
// type, the 34 provinces, the weather stations of the "CITYCODE" resource,
// and the province-to-city rules of the two drop-down lists.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace settings {

struct TDataEntry {
    std::wstring Name;
    std::wstring Code;
};

// An owned list of name/code pairs, in the order they were added.
class TDataList {
public:
    // A new empty entry at the end of the list.
    TDataEntry& AddEntry();
    void Add(const std::wstring& name, const std::wstring& code);

    // The first exact match, else the empty text.
    std::wstring CodeOf(const std::wstring& name) const;
    std::wstring NameOf(const std::wstring& code) const;

    int Count() const { return static_cast<int>(entries_.size()); }
    // None for an index out of range.
    const TDataEntry* At(int index) const;

private:
    std::vector<std::unique_ptr<TDataEntry>> entries_;
};

constexpr int kProvinceCount = 34;
constexpr int kCityCount = 446;
constexpr size_t kProvinceCodeLength = 5;
constexpr wchar_t kCityResourceName[] = L"CITYCODE";
constexpr wchar_t kCityResourceType[] = L"DATA";

// The provinces in the order of the province drop-down list.
TDataList BuildProvinceList();

// The resource's bytes as text: a byte-order mark selects UTF-16LE (or
// UTF-8); without one the bytes are in the system's ANSI code page.
std::wstring DecodeResourceText(const void* data, size_t size);
// One "name=code" pair a line, split at the first "="; lines end with CR LF
// or LF, and a line without "=" is a name with an empty code.
void ParseCityLines(const std::wstring& text, TDataList& cities);
// The "CITYCODE" resource of `module` (nullptr: the program itself); false,
// with the list left empty, when the resource is missing.
bool LoadCityList(HMODULE module, TDataList& cities);

// The cities whose code begins with the province's 5 digits, in resource
// order: the rows of the city drop-down list for that province.
std::vector<const TDataEntry*> CitiesOfProvince(const TDataList& cities, const std::wstring& provinceCode);

// The two process-wide lists, built on first use and freed at exit. The
// city list is absent (nullptr) when the program carries no city resource.
const TDataList& ProvinceList();
const TDataList* CityList();

}  // namespace settings
