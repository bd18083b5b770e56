#include "plugins/catalog/soft_list_data.h"

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "base/exception_barrier.h"
#include "base/numbers.h"
#include "plugins/catalog/soft_info_data.h"
#include "plugins/common/plugin_object.h"

namespace catalog {

namespace {

template <size_t N>
void ForceEnd(wchar_t (&field)[N]) {
    field[N - 1] = L'\0';
}

template <size_t N>
void CopyText(wchar_t (&to)[N], const wchar_t (&from)[N]) {
    std::memcpy(to, from, sizeof(to));
    ForceEnd(to);
}

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> parts;
    size_t from = 0;
    for (;;) {
        const size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::wstring::npos ? std::wstring::npos : at - from));
        if (at == std::wstring::npos) return parts;
        from = at + 1;
    }
}

template <size_t N>
void FillTheme(wchar_t (&text)[N], int32_t (&numbers)[3], const std::wstring& part) {
    const std::vector<std::wstring> tokens = Split(part, L',');
    if (tokens.size() < 2) return;
    SetField(text, tokens[0].c_str());
    numbers[0] = base::LeadingInteger(tokens[1]);
    if (tokens.size() >= 4) {
        numbers[1] = base::LeadingInteger(tokens[2]);
        numbers[2] = base::LeadingInteger(tokens[3]);
    }
}

}  // namespace

template <typename Interface, typename Record, uint32_t Id>
RecordObject<Interface, Record, Id>::RecordObject() noexcept {
    std::memset(&record_, 0, sizeof(record_));
}

template <typename Interface, typename Record, uint32_t Id>
LONG BEX_CALL RecordObject<Interface, Record, Id>::Release() noexcept {
    auto* self = this;
    return plugin::ReleaseByRuleA(count_, Id, [self] {
        // Both record classes are final and derive from here alone.
        if constexpr (Id == 69) delete static_cast<CSoftCatalogData*>(self);
        else delete static_cast<CSoftListData*>(self);
    });
}

template class RecordObject<ISoftCatalogData, tagSoftCatalogData, 69>;
template class RecordObject<ISoftListData, tagSoftListData, 68>;

void TerminateTexts(tagSoftCatalogData& r) {
    ForceEnd(r.name);
    ForceEnd(r.image);
    ForceEnd(r.urlFormat);
    ForceEnd(r.color);
    ForceEnd(r.theme1);
    ForceEnd(r.theme2);
    ForceEnd(r.alias);
    ForceEnd(r.desc);
}

void CopyStoredListRecord(tagSoftListData& to, const tagSoftListData& from) {
    std::memset(&to, 0, sizeof(to));
    to.softId = from.softId;
    CopyText(to.name, from.name);
    CopyText(to.brief, from.brief);
    CopyText(to.vname, from.vname);
    CopyText(to.bname, from.bname);
    CopyText(to.logo, from.logo);
    CopyText(to.surl, from.surl);
    to.score = from.score;
    CopyText(to.scoreText, from.scoreText);
    CopyText(to.scoreComment, from.scoreComment);
    CopyText(to.pollnum, from.pollnum);
    CopyText(to.ptime, from.ptime);
    CopyText(to.ver, from.ver);
    // The seven words from runs-on-this-system through the language flag.
    std::memcpy(&to.osMatches, &from.osMatches, offsetof(tagSoftListData, isNew) - offsetof(tagSoftListData, osMatches));
    CopyText(to.freeDisp, from.freeDisp);
    to.categoryId = from.categoryId;
    to.bitMatches = from.bitMatches;
}

void ParseListTheme(tagSoftCatalogData& record, const wchar_t* text) {
    if (!text) return;
    int filled = 0;
    for (const std::wstring& part : Split(text, L';')) {
        if (part.empty()) continue;
        if (filled == 0) FillTheme(record.theme1, record.theme1Numbers, part);
        else FillTheme(record.theme2, record.theme2Numbers, part);
        if (++filled == 2) return;
    }
}

CSoftCatalogData::CSoftCatalogData() noexcept {
    record_.pageSize = 50;
    record_.pageCount = 1;
    record_.categoryId = -1;
}

LONG BEX_CALL CSoftCatalogData::Reserved3(void*) noexcept { return 0; }
LONG BEX_CALL CSoftCatalogData::Reserved4(void*) noexcept { return 0; }
const wchar_t* BEX_CALL CSoftCatalogData::GetName() noexcept { return record_.name; }
const wchar_t* BEX_CALL CSoftCatalogData::GetImageUrl() noexcept { return record_.image; }
const wchar_t* BEX_CALL CSoftCatalogData::GetBrowserUrl() noexcept {
    return record_.browser ? record_.urlFormat : nullptr;
}
int32_t BEX_CALL CSoftCatalogData::GetTotal() noexcept { return record_.total; }
int32_t BEX_CALL CSoftCatalogData::GetPageCount() noexcept { return record_.pageCount; }
int32_t BEX_CALL CSoftCatalogData::OpensInBrowser() noexcept { return record_.browser; }
const wchar_t* BEX_CALL CSoftCatalogData::GetThemeText(int which) noexcept {
    return which == 1 ? record_.theme1 : which == 2 ? record_.theme2 : nullptr;
}
BOOL BEX_CALL CSoftCatalogData::GetThemeNumbers(int which, int* a, int* b, int* c) noexcept {
    if ((which != 1 && which != 2) || !a || !b || !c) return FALSE;
    const int32_t* numbers = which == 1 ? record_.theme1Numbers : record_.theme2Numbers;
    *a = numbers[0];
    *b = numbers[1];
    *c = numbers[2];
    return TRUE;
}
const wchar_t* BEX_CALL CSoftCatalogData::GetColor() noexcept { return record_.color; }
const wchar_t* BEX_CALL CSoftCatalogData::GetAlias() noexcept { return record_.alias; }
int32_t BEX_CALL CSoftCatalogData::GetCategoryId() noexcept { return record_.categoryId; }
const wchar_t* BEX_CALL CSoftCatalogData::GetDescription() noexcept { return record_.desc; }

CSoftListData::CSoftListData() noexcept {
    record_.osMatches = 1;
    record_.bitMatches = 1;
}

LONG BEX_CALL CSoftListData::GetFlag(const wchar_t* name) noexcept {
    return name && ::lstrcmpiW(name, L"new") == 0 ? record_.isNew : 0;
}
const wchar_t* BEX_CALL CSoftListData::GetNamedText(const wchar_t* name) noexcept {
    if (!name) return nullptr;
    if (::lstrcmpiW(name, L"share") == 0) return record_.freeDisp;
    if (::lstrcmpiW(name, L"filename") == 0) return record_.dname;
    return nullptr;
}
uint32_t BEX_CALL CSoftListData::GetSoftId() noexcept { return record_.softId; }
const wchar_t* BEX_CALL CSoftListData::GetName() noexcept { return record_.name; }
const wchar_t* BEX_CALL CSoftListData::GetBrief() noexcept { return record_.brief; }
const wchar_t* BEX_CALL CSoftListData::GetVersionName() noexcept { return record_.vname; }
const wchar_t* BEX_CALL CSoftListData::GetShortName() noexcept { return record_.bname; }
const wchar_t* BEX_CALL CSoftListData::GetLogo() noexcept { return record_.logo; }
const wchar_t* BEX_CALL CSoftListData::GetPageUrl() noexcept { return record_.surl; }
int32_t BEX_CALL CSoftListData::GetScore() noexcept { return record_.score < 101 ? record_.score : 0; }
const wchar_t* BEX_CALL CSoftListData::GetScoreText() noexcept { return record_.scoreText; }
const wchar_t* BEX_CALL CSoftListData::GetScoreComment() noexcept { return record_.scoreComment; }
const wchar_t* BEX_CALL CSoftListData::GetVoteText() noexcept { return record_.pollnum; }
const wchar_t* BEX_CALL CSoftListData::GetPublishTime() noexcept { return record_.ptime; }
const wchar_t* BEX_CALL CSoftListData::GetVersion() noexcept { return record_.ver; }
int32_t BEX_CALL CSoftListData::RunsOnThisSystem() noexcept { return record_.osMatches; }
int64_t BEX_CALL CSoftListData::GetSize() noexcept { return record_.size; }
int32_t BEX_CALL CSoftListData::IsFree() noexcept { return record_.isFree; }
int32_t BEX_CALL CSoftListData::IsPlugin() noexcept { return record_.plugin; }
int32_t BEX_CALL CSoftListData::IsStable() noexcept { return record_.stable; }
int32_t BEX_CALL CSoftListData::IsLanguage() noexcept { return record_.language; }
int32_t BEX_CALL CSoftListData::GetCategoryId() noexcept { return record_.categoryId; }
uint32_t BEX_CALL CSoftListData::HasShellMarkS() {
    return base::CallGuarded(L"CSoftListData::HasShellMarkS", uint32_t{0},
                             [this] { return ShellMark(record_.shell, L"S"); });
}
const wchar_t* BEX_CALL CSoftListData::GetShell() noexcept { return record_.shell; }
const wchar_t* BEX_CALL CSoftListData::GetCommentCount() noexcept { return record_.cnum; }
uint32_t BEX_CALL CSoftListData::HasShellMarkP() {
    return base::CallGuarded(L"CSoftListData::HasShellMarkP", uint32_t{0},
                             [this] { return ShellMark(record_.shell, L"P"); });
}
int32_t BEX_CALL CSoftListData::MatchesBitness() noexcept { return record_.bitMatches; }
const wchar_t* BEX_CALL CSoftListData::GetPartner() noexcept { return record_.coop; }
const wchar_t* BEX_CALL CSoftListData::GetHomePage() noexcept { return record_.home; }

protocol::PluginRef<CSoftCatalogData> NewSoftCatalogData() noexcept {
    return plugin::NewPluginObject<CSoftCatalogData>();
}
protocol::PluginRef<CSoftListData> NewSoftListData() noexcept { return plugin::NewPluginObject<CSoftListData>(); }
HRESULT BEX_CALL CreateSoftCatalogData(IBexPlugin** out) { return plugin::CreatePluginObject<CSoftCatalogData>(out); }
HRESULT BEX_CALL CreateSoftListData(IBexPlugin** out) { return plugin::CreatePluginObject<CSoftListData>(out); }

}  // namespace catalog
