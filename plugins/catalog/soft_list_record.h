// The two fixed records of the catalogue: one catalogue entry and one
// software of a list page. They are also the cache's stored format, so their
// layout never changes. Texts are NUL-terminated UTF-16 of a fixed width.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/catalog/soft_info_record.h"

namespace catalog {

#pragma pack(push, 1)
struct tagSoftCatalogData {
    wchar_t name[50];
    wchar_t image[1024];
    wchar_t urlFormat[1024];
    int32_t total;
    int32_t pageSize;
    int32_t pageCount;
    int32_t browser;
    wchar_t color[120];
    wchar_t theme1[1024];
    int32_t theme1Numbers[3];
    wchar_t theme2[1024];
    int32_t theme2Numbers[3];
    wchar_t alias[100];
    int32_t categoryId;
    wchar_t desc[100];
};

struct tagSoftListData {
    uint32_t softId;
    wchar_t name[30];
    wchar_t reserved[50];
    wchar_t vname[50];
    wchar_t bname[50];
    wchar_t logo[1024];
    wchar_t surl[1024];
    int32_t score;  // tenths
    wchar_t scoreText[50];
    wchar_t scoreComment[1024];
    wchar_t pollnum[50];
    wchar_t ptime[50];
    wchar_t ver[20];
    int32_t osMatches;
    int64_t size;
    int32_t isFree;
    int32_t stable;
    int32_t plugin;
    int32_t language;
    int32_t isNew;
    wchar_t freeDisp[20];
    wchar_t durls[1024];
    wchar_t dname[100];
    wchar_t args[260];
    wchar_t hint2[1024];
    wchar_t pname[1024];
    wchar_t os[64];
    wchar_t sizeText[20];
    wchar_t uurls[1024];
    wchar_t brief[200];
    int32_t categoryId;
    wchar_t shell[1024];
    wchar_t cnum[100];
    int32_t bitMatches;
    wchar_t coop[50];
    wchar_t home[1024];
};
#pragma pack(pop)

static_assert(sizeof(tagSoftCatalogData) == 8976, "a stored catalogue entry");
static_assert(offsetof(tagSoftCatalogData, image) == 100 && offsetof(tagSoftCatalogData, urlFormat) == 2148 &&
                  offsetof(tagSoftCatalogData, total) == 4196 && offsetof(tagSoftCatalogData, pageSize) == 4200 &&
                  offsetof(tagSoftCatalogData, pageCount) == 4204 && offsetof(tagSoftCatalogData, browser) == 4208 &&
                  offsetof(tagSoftCatalogData, color) == 4212 && offsetof(tagSoftCatalogData, theme1) == 4452 &&
                  offsetof(tagSoftCatalogData, theme1Numbers) == 6500 &&
                  offsetof(tagSoftCatalogData, theme2) == 6512 &&
                  offsetof(tagSoftCatalogData, theme2Numbers) == 8560 &&
                  offsetof(tagSoftCatalogData, alias) == 8572 && offsetof(tagSoftCatalogData, categoryId) == 8772 &&
                  offsetof(tagSoftCatalogData, desc) == 8776,
              "catalogue entry layout");

static_assert(sizeof(tagSoftListData) == 20808, "a stored list record");
static_assert(offsetof(tagSoftListData, name) == 4 && offsetof(tagSoftListData, reserved) == 64 &&
                  offsetof(tagSoftListData, vname) == 164 && offsetof(tagSoftListData, bname) == 264 &&
                  offsetof(tagSoftListData, logo) == 364 && offsetof(tagSoftListData, surl) == 2412 &&
                  offsetof(tagSoftListData, score) == 4460 && offsetof(tagSoftListData, scoreText) == 4464 &&
                  offsetof(tagSoftListData, scoreComment) == 4564 && offsetof(tagSoftListData, pollnum) == 6612 &&
                  offsetof(tagSoftListData, ptime) == 6712 && offsetof(tagSoftListData, ver) == 6812 &&
                  offsetof(tagSoftListData, osMatches) == 6852 && offsetof(tagSoftListData, size) == 6856,
              "list record layout");
static_assert(offsetof(tagSoftListData, isFree) == 6864 && offsetof(tagSoftListData, stable) == 6868 &&
                  offsetof(tagSoftListData, plugin) == 6872 && offsetof(tagSoftListData, language) == 6876 &&
                  offsetof(tagSoftListData, isNew) == 6880 && offsetof(tagSoftListData, freeDisp) == 6884 &&
                  offsetof(tagSoftListData, durls) == 6924 && offsetof(tagSoftListData, dname) == 8972 &&
                  offsetof(tagSoftListData, args) == 9172 && offsetof(tagSoftListData, hint2) == 9692 &&
                  offsetof(tagSoftListData, pname) == 11740 && offsetof(tagSoftListData, os) == 13788 &&
                  offsetof(tagSoftListData, sizeText) == 13916 && offsetof(tagSoftListData, uurls) == 13956,
              "list record layout");
static_assert(offsetof(tagSoftListData, brief) == 16004 && offsetof(tagSoftListData, categoryId) == 16404 &&
                  offsetof(tagSoftListData, shell) == 16408 && offsetof(tagSoftListData, cnum) == 18456 &&
                  offsetof(tagSoftListData, bitMatches) == 18656 && offsetof(tagSoftListData, coop) == 18660 &&
                  offsetof(tagSoftListData, home) == 18760,
              "list record layout");

// Forces every text field's last character to NUL (records read from the
// store may come unterminated).
void TerminateTexts(tagSoftCatalogData& record);

// The part of a stored list record that is taken back: ids, names, texts of
// the page, scores, the flags and size, free display text, category and
// bitness; every other field is empty. Texts come out terminated.
void CopyStoredListRecord(tagSoftListData& to, const tagSoftListData& stored);

// "list_theme": parts cut at ';', tokens at ','; the first two non-empty
// parts fill themes 1 and 2 (text, then up to three numbers).
void ParseListTheme(tagSoftCatalogData& record, const wchar_t* text);

}  // namespace catalog
