// What is known about one piece of software: the fixed record that the
// information objects hold and that the cache stores back to back, one
// whole record each. Texts are NUL-terminated UTF-16 of a fixed capacity.
#pragma once

#include <cstddef>
#include <cstdint>

namespace catalog {

#pragma pack(push, 1)
struct tagSoftInfoData {
    uint32_t softId;
    wchar_t name[100];
    wchar_t textA[300];
    wchar_t logo[300];
    uint8_t version1[8];
    wchar_t textB[50];
    uint8_t version2[8];
    wchar_t vdisp[50];
    wchar_t ptime[100];
    wchar_t textC[2000];
    uint32_t rating;  // tenths
    wchar_t ratingText[50];
    wchar_t detailsText[1024];
    wchar_t detailsShortText[50];
    wchar_t surl[1024];
    uint32_t size;
    uint32_t valueD;
    uint32_t flagE;
    uint32_t osMatches;
    uint32_t isFree;
    uint32_t stable;
    uint32_t plugin;
    uint32_t language;
    wchar_t bname[100];
    wchar_t share[20];
    wchar_t durls[1024];
    wchar_t dname[100];
    wchar_t args[260];
    wchar_t hint2[1024];
    wchar_t pname[1024];
    wchar_t os[64];
    wchar_t sizeText[20];
    wchar_t uurls[1024];
    uint32_t important;
    wchar_t urate[20];
    wchar_t eid[20];
    wchar_t shell[1024];
};
#pragma pack(pop)

static_assert(sizeof(tagSoftInfoData) == 21604, "the cache's unit");
static_assert(offsetof(tagSoftInfoData, name) == 4 && offsetof(tagSoftInfoData, textA) == 204 &&
                  offsetof(tagSoftInfoData, logo) == 804 && offsetof(tagSoftInfoData, version1) == 1404 &&
                  offsetof(tagSoftInfoData, textB) == 1412 && offsetof(tagSoftInfoData, version2) == 1512 &&
                  offsetof(tagSoftInfoData, vdisp) == 1520 && offsetof(tagSoftInfoData, ptime) == 1620 &&
                  offsetof(tagSoftInfoData, textC) == 1820,
              "record layout");
static_assert(offsetof(tagSoftInfoData, rating) == 5820 && offsetof(tagSoftInfoData, ratingText) == 5824 &&
                  offsetof(tagSoftInfoData, detailsText) == 5924 &&
                  offsetof(tagSoftInfoData, detailsShortText) == 7972 && offsetof(tagSoftInfoData, surl) == 8072 &&
                  offsetof(tagSoftInfoData, size) == 10120 && offsetof(tagSoftInfoData, valueD) == 10124 &&
                  offsetof(tagSoftInfoData, flagE) == 10128 && offsetof(tagSoftInfoData, osMatches) == 10132 &&
                  offsetof(tagSoftInfoData, isFree) == 10136 && offsetof(tagSoftInfoData, stable) == 10140 &&
                  offsetof(tagSoftInfoData, plugin) == 10144 && offsetof(tagSoftInfoData, language) == 10148,
              "record layout");
static_assert(offsetof(tagSoftInfoData, bname) == 10152 && offsetof(tagSoftInfoData, share) == 10352 &&
                  offsetof(tagSoftInfoData, durls) == 10392 && offsetof(tagSoftInfoData, dname) == 12440 &&
                  offsetof(tagSoftInfoData, args) == 12640 && offsetof(tagSoftInfoData, hint2) == 13160 &&
                  offsetof(tagSoftInfoData, pname) == 15208 && offsetof(tagSoftInfoData, os) == 17256 &&
                  offsetof(tagSoftInfoData, sizeText) == 17384 && offsetof(tagSoftInfoData, uurls) == 17424 &&
                  offsetof(tagSoftInfoData, important) == 19472 && offsetof(tagSoftInfoData, urate) == 19476 &&
                  offsetof(tagSoftInfoData, eid) == 19516 && offsetof(tagSoftInfoData, shell) == 19556,
              "record layout");

// Copies `text` into a field, cut at its capacity - 1 characters.
template <size_t N>
void SetField(wchar_t (&field)[N], const wchar_t* text) {
    size_t i = 0;
    if (text)
        for (; i + 1 < N && text[i]; ++i) field[i] = text[i];
    field[i] = L'\0';
}

// Forces every text field's last character to NUL (records read from the
// store may come unterminated).
void TerminateTexts(tagSoftInfoData& record);

}  // namespace catalog
