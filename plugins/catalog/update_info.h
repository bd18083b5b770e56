// The update-information server's answer: "ret" > "softs" > "soft", one
// child element per field, and how its fields fill a software record.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "plugins/catalog/soft_info_record.h"

namespace catalog {

// Child element name to text, for one soft.
using ElementMap = std::map<std::wstring, std::wstring>;
// Soft id to its elements.
using UpdateInfoMap = std::map<uint32_t, ElementMap>;

// Parses an answer in code page 936 (through a kernel string, so the kernel
// must be bound). Parsing starts at the first "<ret>" (any case); the
// answer's bytes and softs are bounded as for list answers, and a set
// `stop` ends the parse. A soft without a decimal id above 0 is dropped.
// True when at least one soft was read; `out` is emptied first.
bool ParseUpdateInfoXml(const BYTE* data, size_t size, UpdateInfoMap& out, HANDLE stop = nullptr);

// Fills `record` from a soft's elements; `systemText` is matched against
// "os" ignoring case.
void FillSoftRecord(tagSoftInfoData& record, const ElementMap& elements, const std::wstring& systemText);

// A rating text's value in tenths, truncated; 0 for a text that is no
// number, negative, or whose tenfold does not fit 32 bits.
uint32_t RatingFromText(const wchar_t* text);

// The request addresses for `ids`: `address` (the server, no trailing '/')
// + the update query with the ids joined as "%d," and `tail`. Ids are split
// over as many addresses as needed so that none exceeds 2047 characters.
std::vector<std::wstring> UpdateInfoUrls(const std::wstring& address, const std::vector<uint32_t>& ids,
                                         const std::wstring& tail);

}  // namespace catalog
