#include "plugins/catalog/list_answers.h"

#include <oleauto.h>
#include <msxml.h>
#include <shlwapi.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <cwchar>

#include "base/handles.h"
#include "base/log.h"
#include "base/numbers.h"
#include "base/service_addresses.h"
#include "base/text.h"
#include "plugins/catalog/bex_store.h"
#include "plugins/catalog/xml_document.h"

namespace catalog {

namespace {

constexpr UINT kAnswerCodePage = 936;
constexpr size_t kUrlLimit = 1023;
constexpr int kRevisedCatalogNumber = 1856608;

bool Decode(const BYTE* data, size_t size, std::wstring& text) {
    size_t xmlSize = 0;
    const BYTE* xml = AnswerXml(data, size, xmlSize);
    if (!xml) return false;
    text = base::ToWideFromCodePage(reinterpret_cast<const char*>(xml), xmlSize, kAnswerCodePage);
    return !text.empty();
}

// "<ret>" in any case, in raw bytes.
bool IsStartTag(const BYTE* at) {
    static const char kTag[] = "<ret>";
    for (size_t i = 0; i < sizeof(kTag) - 1; ++i) {
        const int c = at[i] >= 'A' && at[i] <= 'Z' ? at[i] - 'A' + 'a' : at[i];
        if (c != kTag[i]) return false;
    }
    return true;
}

// At most ten decimal digits that fit 32 bits, else 0 (none).
uint32_t SoftId(const std::wstring& text) {
    uint64_t value = 0;
    if (text.size() > 10 || !base::ParseDigits(text, value) || value > UINT32_MAX) return 0;
    return static_cast<uint32_t>(value);
}

const std::wstring& Field(const ElementMap& fields, const wchar_t* name) {
    static const std::wstring empty;
    const auto it = fields.find(name);
    return it == fields.end() ? empty : it->second;
}

template <size_t N>
void Set(wchar_t (&field)[N], const ElementMap& fields, const wchar_t* name) {
    SetField(field, Field(fields, name).c_str());
}

// Leading decimal digits, held at the largest 64-bit value.
int64_t Int64(const std::wstring& text) {
    return static_cast<int64_t>(std::min<uint64_t>(base::LeadingDigits(text), INT64_MAX));
}

int32_t Flag(const ElementMap& fields, const wchar_t* name, const wchar_t* wanted) {
    return ::lstrcmpiW(Field(fields, name).c_str(), wanted) == 0 ? 1 : 0;
}

}  // namespace

const BYTE* AnswerXml(const BYTE* data, size_t size, size_t& xmlSize) {
    xmlSize = 0;
    if (!data || size == 0) return nullptr;
    if (size > kMaxAnswerBytes) {
        base::LogLine(L"answer", L"one of " + std::to_wstring(size) + L" bytes was refused (at most " +
                                     std::to_wstring(kMaxAnswerBytes) + L")");
        return nullptr;
    }
    const void* zero = std::memchr(data, 0, size);
    const BYTE* end = zero ? static_cast<const BYTE*>(zero) : data + size;
    // '<' is never part of a double-byte character of code page 936, so the
    // tag found here starts a character of the decoded text.
    constexpr ptrdiff_t kTagSize = 5;
    for (const BYTE* at = data; end - at >= kTagSize; ++at) {
        at = static_cast<const BYTE*>(std::memchr(at, '<', static_cast<size_t>(end - at)));
        if (!at || end - at < kTagSize) return nullptr;
        if (IsStartTag(at)) {
            xmlSize = static_cast<size_t>(end - at);
            return at;
        }
    }
    return nullptr;
}

bool StopSet(HANDLE stop) { return stop && ::WaitForSingleObject(stop, 0) == WAIT_OBJECT_0; }

std::wstring CatalogUrl(int kind, int number, DWORD tick, const std::wstring& tail) {
    const wchar_t* path = nullptr;
    Service server = Service::Catalog;
    switch (kind) {
    case 0:
        path = number == kRevisedCatalogNumber ? L"/static/ess/class_revore.xml?t=" : L"/static/ess/class_6_0.xml?t=";
        break;
    case 1:
        path = L"/static/Quarn/class_6_0.xml?t=";
        break;
    case 2:
        path = L"/Html/class_2_0.xml?src=pellor&t=";
        server = Service::MobileCatalog;
        break;
    case 3:
        path = L"/static/top/class_2_0.xml?t=";
        break;
    default:
        return std::wstring();
    }
    // A tail too long for the address gives none rather than a cut one.
    std::wstring url = ServiceAddress(server) + path + std::to_wstring(tick) + L"&" + tail;
    return url.size() > kUrlLimit ? std::wstring() : url;
}

std::wstring FillListUrl(const wchar_t* format, const std::wstring& start, const std::wstring& tail) {
    if (!format) return std::wstring();
    std::wstring url;
    int filled = 0;
    for (const wchar_t* p = format; *p; ++p) {
        if (p[0] == L'%' && p[1] == L's' && filled < 2) {
            url += filled++ == 0 ? start : tail;
            ++p;
        } else if (p[0] == L'%' && p[1] == L'%') {
            url += L'%';
            ++p;
        } else {
            url += *p;
        }
        if (url.size() > kUrlLimit) return std::wstring();
    }
    return url;
}

std::wstring ListStart(int page, int pageSize) {
    if (page < 1 || pageSize <= 0) return std::wstring();
    const int64_t start = static_cast<int64_t>(page - 1) * pageSize;
    if (start > 0x7FFFFFFF) return std::wstring();
    return std::to_wstring(start);
}

bool ReadChildTexts(IXMLDOMNode* node, uint32_t& id, ElementMap& fields) {
    id = 0;
    fields.clear();
    base::ComPtr<IXMLDOMNodeList> children;
    if (!node || FAILED(node->get_childNodes(children.Put())) || !children) return false;
    long count = 0;
    children->get_length(&count);
    for (long i = 0; i < count; ++i) {
        base::ComPtr<IXMLDOMNode> child;
        if (FAILED(children->get_item(i, child.Put())) || !child) continue;
        DOMNodeType type = NODE_INVALID;
        if (FAILED(child->get_nodeType(&type)) || type != NODE_ELEMENT) continue;
        base::Bstr name;
        base::Bstr text;
        child->get_nodeName(name.Put());
        child->get_text(text.Put());
        std::wstring key = name.Text();
        std::wstring value = text.Text();
        if (key.empty() || value.empty()) continue;
        if (::lstrcmpiW(key.c_str(), L"id") == 0) id = SoftId(value);
        fields[std::move(key)] = std::move(value);
    }
    return !fields.empty();
}

bool ReadSoftAnswer(const BYTE* data, size_t size, CBexStore* store, std::wstring* title,
                    std::vector<AnswerSoft>& softs, std::wstring* total, HANDLE stop) {
    softs.clear();
    std::wstring text;
    return Decode(data, size, text) && ReadSoftNodes(text, store, title, softs, total, stop);
}

namespace {

// Softs kept without an id of their own get one each, from one read of the
// store's bitmap for the whole answer.
void GiveAppIds(CBexStore& store, std::vector<AnswerSoft>& softs) {
    const size_t missing = std::count_if(softs.begin(), softs.end(), [](const AnswerSoft& s) { return s.id == 0; });
    if (missing == 0) return;
    const std::vector<uint32_t> ids = store.AllocateAppIds(missing);
    size_t next = 0;
    for (AnswerSoft& soft : softs)
        if (soft.id == 0 && next < ids.size()) soft.id = ids[next++];
}

std::wstring AttributeText(IXMLDOMNode* node, const wchar_t* name) {
    std::wstring text;
    base::ComPtr<IXMLDOMElement> element;
    if (FAILED(node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(element.Put()))) || !element)
        return text;
    base::Bstr attribute(name);
    VARIANT value;
    ::VariantInit(&value);
    if (element->getAttribute(attribute.Get(), &value) == S_OK && value.vt == VT_BSTR && value.bstrVal)
        text.assign(value.bstrVal, ::SysStringLen(value.bstrVal));
    ::VariantClear(&value);
    return text;
}

}  // namespace

bool ReadSoftNodes(const std::wstring& text, CBexStore* store, std::wstring* title, std::vector<AnswerSoft>& softs,
                   std::wstring* total, HANDLE stop) {
    softs.clear();
    const wchar_t* start = ::StrStrIW(text.c_str(), L"<ret>");
    if (!start || StopSet(stop)) return false;
    base::ComPtr<IXMLDOMDocument> document;
    if (FAILED(CreateXmlDocument(document.Put())) || !document) return false;
    base::Bstr xml(start);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (!xml.Get() || FAILED(document->loadXML(xml.Get(), &loaded)) || loaded != VARIANT_TRUE) return false;
    base::ComPtr<IXMLDOMNode> ret;
    base::ComPtr<IXMLDOMNode> softsNode;
    base::ComPtr<IXMLDOMNodeList> list;
    base::Bstr retName(L"ret");
    base::Bstr softsName(L"softs");
    base::Bstr softName(L"soft");
    if (document->selectSingleNode(retName.Get(), ret.Put()) != S_OK || !ret) return false;
    if (ret->selectSingleNode(softsName.Get(), softsNode.Put()) != S_OK || !softsNode) return false;
    if (FAILED(softsNode->selectNodes(softName.Get(), list.Put())) || !list) return false;
    long count = 0;
    if (FAILED(list->get_length(&count)) || count < 1 || StopSet(stop)) return false;
    if (title) *title = AttributeText(softsNode.Get(), L"title");
    if (total) *total = AttributeText(softsNode.Get(), L"total");
    count = std::min(count, static_cast<long>(kMaxAnswerSofts));
    for (long i = 0; i < count; ++i) {
        if (StopSet(stop)) return false;
        base::ComPtr<IXMLDOMNode> soft;
        if (FAILED(list->get_item(i, soft.Put())) || !soft) continue;
        AnswerSoft read;
        if (ReadChildTexts(soft.Get(), read.id, read.fields)) softs.push_back(std::move(read));
    }
    if (store) GiveAppIds(*store, softs);
    return true;
}

void FillCatalogRecord(tagSoftCatalogData& r, const ElementMap& e, int kind) {
    Set(r.name, e, L"name");
    Set(r.image, e, L"img");
    Set(r.urlFormat, e, L"url");
    Set(r.alias, e, L"alias");
    Set(r.color, e, L"color");
    Set(r.desc, e, L"desc");
    ParseListTheme(r, Field(e, L"list_theme").c_str());
    r.total = base::LeadingInteger(Field(e, L"total"));
    if (!Field(e, L"cid").empty()) r.categoryId = base::LeadingInteger(Field(e, L"cid"));
    if (!Field(e, L"count").empty()) r.pageSize = base::LeadingInteger(Field(e, L"count"));
    if (r.pageSize > 0) {
        const int64_t total = r.total > 0 ? r.total : 0;
        const int64_t pages = total / r.pageSize + (total % r.pageSize ? 1 : 0);
        r.pageCount = pages < 1 ? 1 : static_cast<int32_t>(pages);
    } else {
        r.pageCount = 1;
    }
    r.browser = Flag(e, L"browser", L"1") || kind == 2 ? 1 : 0;
}

bool ScoreFromText(const wchar_t* text, int32_t& tenths, std::wstring& display) {
    tenths = 0;
    display.clear();
    if (!text || !*text) return false;
    size_t read = 0;
    const double value = base::LeadingFraction(text, &read);
    if (!read || !std::isfinite(value)) return false;
    const double tenfold = value * 10.0;
    if (!(tenfold > -2147483648.0 && tenfold < 2147483648.0)) return false;
    tenths = static_cast<int32_t>(tenfold);
    wchar_t shown[64] = {};
    std::swprintf(shown, 64, L"%0.1f\x5206", value);
    display = shown;
    return true;
}

bool IsScoreRanked(const std::wstring& entryName) {
    return entryName.find(L"\x6309\x8BC4\x5206\x6392\x884C") != std::wstring::npos;  // 按评分排行
}

void FillListRecord(tagSoftListData& r, const ElementMap& e, const ListContext& context) {
    Set(r.name, e, L"cname");
    Set(r.brief, e, L"brief");
    Set(r.vname, e, L"vname");
    Set(r.bname, e, L"bname");
    Set(r.logo, e, L"logo");
    Set(r.surl, e, L"surl");
    Set(r.ptime, e, L"ptime");
    Set(r.ver, e, L"ver");
    Set(r.shell, e, L"shell");
    Set(r.cnum, e, L"cnum");
    if (context.scoreRanked) {
        const std::wstring& point = Field(e, L"point");
        if (!point.empty()) {
            std::wstring display;
            ScoreFromText(point.c_str(), r.score, display);
            SetField(r.scoreText, display.c_str());
        }
        SetField(r.scoreComment, L"");
        Set(r.pollnum, e, L"pollnum");
    }
    Set(r.durls, e, L"durls");
    Set(r.uurls, e, L"uurls");
    Set(r.dname, e, L"dname");
    Set(r.args, e, L"args");
    Set(r.hint2, e, L"hint2");
    Set(r.pname, e, L"pname");
    const std::wstring& os = Field(e, L"os");
    SetField(r.os, os.c_str());
    r.osMatches = os.empty() || (!context.systemText.empty() && ::StrStrIW(os.c_str(), context.systemText.c_str()))
                      ? 1 : 0;
    const std::wstring& size = Field(e, L"size");
    SetField(r.sizeText, size.c_str());
    if (!size.empty()) r.size = Int64(size);
    const std::wstring& osbit = Field(e, L"osbit");
    r.bitMatches = osbit.empty() || osbit.find(context.bitness) != std::wstring::npos ? 1 : 0;
    if (!Field(e, L"cid").empty()) r.categoryId = base::LeadingInteger(Field(e, L"cid"));
    r.isFree = Flag(e, L"free", L"1");
    r.stable = Flag(e, L"stable", L"2");
    r.plugin = Flag(e, L"plugin", L"1");
    r.language = Flag(e, L"language", L"2");
    if (Flag(e, L"new", L"1")) r.isNew = 1;
    if (!Field(e, L"free_disp").empty()) Set(r.freeDisp, e, L"free_disp");
}

void FillSearchRecord(tagSoftListData& r, const ElementMap& e, const ListContext& context) {
    ListContext unranked = context;
    unranked.scoreRanked = false;
    const int32_t isNew = r.isNew;
    FillListRecord(r, e, unranked);
    r.isNew = isNew;  // searches know nothing new
    Set(r.coop, e, L"coop");
    Set(r.home, e, L"home");
}

}  // namespace catalog
