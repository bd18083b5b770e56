// What the list manager asks the catalogue server and how it reads the
// answers: catalogue and list page addresses, the "ret" > "softs" > "soft"
// answer with one child element per field, and how those fields fill the
// two catalogue records.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "plugins/catalog/soft_list_record.h"
#include "plugins/catalog/update_info.h"

struct IXMLDOMNode;

namespace catalog {

class CBexStore;

// The catalogue's address for `kind` (0 to 3): the catalogue server, or the
// mobile one for kind 2, + the kind's path with `tick` and `tail`. `number`
// is the environment's number (class 40 slot 7). Empty for other kinds.
std::wstring CatalogUrl(int kind, int number, DWORD tick, const std::wstring& tail);

// The entry's list address format with its first two "%s" replaced by
// `start` and `tail` and "%%" by "%"; everything else is copied as it
// stands. Empty when the result exceeds 1023 characters.
std::wstring FillListUrl(const wchar_t* format, const std::wstring& start, const std::wstring& tail);

// The start offset text of `page` (from 1), or empty when the page, the
// page size or the offset is out of range.
std::wstring ListStart(int page, int pageSize);

// One "soft" of an answer.
struct AnswerSoft {
    ElementMap fields;
    uint32_t id = 0;  // 0: none
};

// What one answer may cost. A larger answer is refused before anything of
// it is decoded (real ones are a few hundred kilobytes, and one this large
// parses in well under a second); softs past the count are not read (as
// many as a stored catalogue gives back).
constexpr size_t kMaxAnswerBytes = 8u << 20;
constexpr size_t kMaxAnswerSofts = 1000;

// The part of an answer that is read: from its first "<ret>" (any case),
// found in the raw bytes, up to its first zero byte. Null when the answer
// is larger than kMaxAnswerBytes (logged) or has no such tag.
const BYTE* AnswerXml(const BYTE* data, size_t size, size_t& xmlSize);

// Whether `stop` (may be null) is set: a long parse gives up then.
bool StopSet(HANDLE stop);

// Reads an answer in code page 936 (up to the buffer's end or its first
// zero byte) from its first "<ret>". `title` gets the "title" attribute of
// "softs" (may be null). With `store` each soft read without an id gets one
// allocated there, all in one allocation. False when the answer is
// unreadable or has no "soft".
// `total` (may be null) gets the "total" attribute of "softs".
// Bounded as AnswerXml says; a set `stop` (may be null) ends the reading.
bool ReadSoftAnswer(const BYTE* data, size_t size, CBexStore* store, std::wstring* title,
                    std::vector<AnswerSoft>& softs, std::wstring* total = nullptr, HANDLE stop = nullptr);

// The same for an answer already decoded.
bool ReadSoftNodes(const std::wstring& text, CBexStore* store, std::wstring* title, std::vector<AnswerSoft>& softs,
                   std::wstring* total = nullptr, HANDLE stop = nullptr);

// Every child element of `node`: name to text, empty names and texts
// skipped, later duplicates winning; "id" (any case) gives `id` (0 when
// none). True when anything was read.
bool ReadChildTexts(IXMLDOMNode* node, uint32_t& id, ElementMap& fields);

// The catalogue entry of one "soft" of a catalogue answer of `kind`.
void FillCatalogRecord(tagSoftCatalogData& record, const ElementMap& fields, int kind);

// The list record of one "soft" of a list answer.
struct ListContext {
    bool scoreRanked = false;
    std::wstring systemText;  // service 10's system name
    std::wstring bitness;     // "32" or "64"
};
void FillListRecord(tagSoftListData& record, const ElementMap& fields, const ListContext& context);
// The record of one "soft" of a search answer: the list fields without
// scores or "new", with the partner and home page.
void FillSearchRecord(tagSoftListData& record, const ElementMap& fields, const ListContext& context);

// A score text ("8.75") as tenths and "%0.1f分"; false (score 0, empty
// text) for a text that is no finite number or whose tenfold does not fit.
bool ScoreFromText(const wchar_t* text, int32_t& tenths, std::wstring& display);

// Whether an entry name marks a score-ranked list.
bool IsScoreRanked(const std::wstring& entryName);

}  // namespace catalog
