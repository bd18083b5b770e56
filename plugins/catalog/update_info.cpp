#include "plugins/catalog/update_info.h"

#include <oleauto.h>
#include <msxml.h>
#include <shlwapi.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cwchar>

#include "base/numbers.h"
#include "plugins/catalog/list_answers.h"
#include "plugins/common/kernel_calls.h"
#include "protocol/bex_kernel.h"
#include "base/handles.h"

namespace catalog {

namespace {

constexpr UINT kAnswerCodePage = 936;
constexpr size_t kUrlLimit = 2047;  // characters, the fetch's buffer less its NUL

// The answer from its start tag, as UTF-16, converted into a kernel string.
bool Decode(const BYTE* data, size_t size, std::wstring& text) {
    size_t xmlSize = 0;
    const BYTE* xml = AnswerXml(data, size, xmlSize);
    if (!xml) return false;
    const int bytes = static_cast<int>(xmlSize);
    const char* chars = reinterpret_cast<const char*>(xml);
    const int length = ::MultiByteToWideChar(kAnswerCodePage, 0, chars, bytes, nullptr, 0);
    if (length <= 0) return false;
    protocol::PluginRef<protocol::kernel::String> string;
    if (FAILED(plugin::CreateKernelObject(string))) return false;
    wchar_t* buffer = protocol::StringBuffer(string.Get(), length);
    if (!buffer) return false;
    const int written = ::MultiByteToWideChar(kAnswerCodePage, 0, chars, bytes, buffer, length);
    buffer[written > 0 ? written : 0] = L'\0';
    if (!protocol::StringEnd(string.Get())) return false;
    auto decoded = protocol::StringText(string.Get());
    if (!decoded || decoded->empty()) return false;
    text = std::move(*decoded);
    return true;
}

const std::wstring* Find(const ElementMap& elements, const wchar_t* name) {
    const auto it = elements.find(name);
    return it == elements.end() ? nullptr : &it->second;
}

// Fields overwritten on every update: empty when the element is missing.
template <size_t N>
void Overwrite(wchar_t (&field)[N], const ElementMap& elements, const wchar_t* name) {
    const std::wstring* value = Find(elements, name);
    SetField(field, value ? value->c_str() : L"");
}

// Fields that keep their text unless the answer brings a new one.
template <size_t N>
void FillWhenGiven(wchar_t (&field)[N], const ElementMap& elements, const wchar_t* name) {
    const std::wstring* value = Find(elements, name);
    if (value && !value->empty()) SetField(field, value->c_str());
}

uint32_t Equals(const ElementMap& elements, const wchar_t* name, const wchar_t* wanted, bool ignoreCase) {
    const std::wstring* value = Find(elements, name);
    if (!value) return 0;
    return (ignoreCase ? ::lstrcmpiW(value->c_str(), wanted) : std::wcscmp(value->c_str(), wanted)) == 0 ? 1 : 0;
}

// Leading decimal digits, held at 4294967295.
uint32_t SizeValue(const std::wstring& text) {
    return static_cast<uint32_t>(std::min<uint64_t>(base::LeadingDigits(text), UINT32_MAX));
}

std::wstring JoinIds(const std::vector<uint32_t>& ids, size_t from, size_t to) {
    std::wstring joined;
    for (size_t i = from; i < to; ++i) joined += std::to_wstring(ids[i]) + L",";
    return joined;
}

}  // namespace

bool ParseUpdateInfoXml(const BYTE* data, size_t size, UpdateInfoMap& out, HANDLE stop) {
    out.clear();
    std::wstring text;
    std::vector<AnswerSoft> softs;
    if (!Decode(data, size, text) || !ReadSoftNodes(text, nullptr, nullptr, softs, nullptr, stop)) return false;
    // A soft without a decimal id above 0 is dropped.
    for (AnswerSoft& soft : softs)
        if (soft.id != 0) out[soft.id] = std::move(soft.fields);
    return !out.empty();
}

void FillSoftRecord(tagSoftInfoData& r, const ElementMap& e, const std::wstring& systemText) {
    FillWhenGiven(r.name, e, L"name");
    Overwrite(r.logo, e, L"logo");
    FillWhenGiven(r.vdisp, e, L"vdisp");
    FillWhenGiven(r.ptime, e, L"ptime");
    FillWhenGiven(r.surl, e, L"surl");
    if (const std::wstring* size = Find(e, L"size"); size && !size->empty()) r.size = SizeValue(*size);
    const std::wstring* os = Find(e, L"os");
    r.osMatches = !os || os->empty() || ::StrStrIW(os->c_str(), systemText.c_str()) ? 1 : 0;
    r.isFree = Equals(e, L"free", L"1", true);
    r.stable = Equals(e, L"stable", L"2", false);
    r.plugin = Equals(e, L"plugin", L"1", false);
    r.language = Equals(e, L"language", L"2", false);
    FillWhenGiven(r.bname, e, L"bname");
    FillWhenGiven(r.share, e, L"free_disp");
    Overwrite(r.durls, e, L"durls");
    Overwrite(r.dname, e, L"dname");
    Overwrite(r.args, e, L"args");
    Overwrite(r.hint2, e, L"hint2");
    Overwrite(r.pname, e, L"pname");
    Overwrite(r.os, e, L"os");
    Overwrite(r.sizeText, e, L"size");
    Overwrite(r.uurls, e, L"uurls");
    r.important = Equals(e, L"important", L"1", false);
    Overwrite(r.urate, e, L"urate");
    Overwrite(r.eid, e, L"eid");
    Overwrite(r.shell, e, L"shell");
}

uint32_t RatingFromText(const wchar_t* text) {
    if (!text || !*text) return 0;
    size_t read = 0;
    const double value = base::LeadingFraction(text, &read);
    if (!read || !std::isfinite(value)) return 0;
    const double tenfold = value * 10.0;
    if (!(tenfold >= 0.0) || tenfold >= 4294967296.0) return 0;
    return static_cast<uint32_t>(tenfold);
}

std::vector<std::wstring> UpdateInfoUrls(const std::wstring& address, const std::vector<uint32_t>& ids,
                                         const std::wstring& tail) {
    const std::wstring head = address + L"/get_update_info.php?type=update_info&soft_ids=";
    const std::wstring rest = L"&lrtime=0&" + tail;
    std::vector<std::wstring> urls;
    size_t from = 0;
    while (from < ids.size()) {
        size_t length = head.size() + rest.size();
        size_t to = from;
        while (to < ids.size()) {
            const size_t more = std::to_wstring(ids[to]).size() + 1;
            if (length + more > kUrlLimit && to > from) break;
            length += more;
            ++to;
        }
        std::wstring url = head + JoinIds(ids, from, to) + rest;
        // Even one id does not fit: the request would ask for a cut id.
        if (url.size() > kUrlLimit) break;
        urls.push_back(std::move(url));
        from = to;
    }
    return urls;
}

}  // namespace catalog
