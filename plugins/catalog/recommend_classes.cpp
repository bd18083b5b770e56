#include "plugins/catalog/recommend_classes.h"

#include <windows.h>
#include <msxml.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <cwctype>

#include "base/handles.h"
#include "base/numbers.h"
#include "plugins/catalog/xml_document.h"

namespace catalog {

namespace {

std::wstring Cut(std::wstring text, size_t width) {
    if (text.size() > width - 1) text.resize(width - 1);
    return text;
}

std::wstring ChildText(IXMLDOMNode* node, const wchar_t* name) {
    base::ComPtr<IXMLDOMNode> child;
    base::Bstr query(name);
    if (!node || !query.Get() || node->selectSingleNode(query.Get(), child.Put()) != S_OK || !child)
        return std::wstring();
    base::Bstr text;
    child->get_text(text.Put());
    return text.Text();
}

base::ComPtr<IXMLDOMNode> Child(IXMLDOMNode* node, const wchar_t* name) {
    base::ComPtr<IXMLDOMNode> child;
    base::Bstr query(name);
    if (node && query.Get()) node->selectSingleNode(query.Get(), child.Put());
    return child;
}

// Calls `each` with every child element of `node`.
template <typename Each>
void ForEachElement(IXMLDOMNode* node, Each each) {
    base::ComPtr<IXMLDOMNodeList> children;
    if (!node || FAILED(node->get_childNodes(children.Put())) || !children) return;
    long count = 0;
    children->get_length(&count);
    for (long i = 0; i < count; ++i) {
        base::ComPtr<IXMLDOMNode> child;
        if (FAILED(children->get_item(i, child.Put())) || !child) continue;
        DOMNodeType type = NODE_INVALID;
        if (SUCCEEDED(child->get_nodeType(&type)) && type == NODE_ELEMENT) each(child.Get());
    }
}


bool ReadTag(IXMLDOMNode* node, ReCmdTag& tag) {
    tag.name = Cut(ChildText(node, L"tagname"), 50);
    tag.baike = Cut(ChildText(node, L"baike_name"), 100);
    return !tag.name.empty() && !tag.baike.empty();
}

void ReadSoft(IXMLDOMNode* node, std::map<uint32_t, ReCmdSoft>& softs) {
    const std::wstring idText = ChildText(node, L"id");
    if (idText.empty()) return;
    ReCmdSoft soft;
    soft.id = base::LeadingUnsigned(idText);
    soft.display = base::LeadingUnsigned(ChildText(node, L"display"));
    soft.desp = Cut(ChildText(node, L"desp"), 260);
    soft.baike = Cut(ChildText(node, L"baike_name"), 100);
    base::ComPtr<IXMLDOMNode> tags = Child(node, L"soft_tags");
    ForEachElement(tags.Get(), [&](IXMLDOMNode* tagNode) {
        ReCmdTagInfo info;
        base::ComPtr<IXMLDOMNode> own = Child(tagNode, L"taginfo");
        if (!own || !ReadTag(own.Get(), info.own)) return;
        base::ComPtr<IXMLDOMNode> complements = Child(tagNode, L"complement_tag");
        ForEachElement(complements.Get(), [&](IXMLDOMNode* c) {
            ReCmdTag tag;
            if (ReadTag(c, tag)) info.complements.push_back(std::move(tag));
        });
        soft.tags.push_back(std::move(info));
    });
    softs[soft.id] = std::move(soft);
}

bool ReadClass(IXMLDOMNode* node, ReCmdClass& c) {
    c.name = Cut(ChildText(node, L"name"), 50);
    c.alias = Cut(ChildText(node, L"alias"), 50);
    for (uint32_t id : ReadIdList(ChildText(node, L"soft_ids")))
        if (id != 0) c.softIds.push_back(id);
    // The file's mode 0 compares a soft's own tags (flag 1), mode 1 its
    // complement tags (flag 0).
    for (uint32_t mode : ReadIdList(ChildText(node, L"mode")))
        if (mode <= 1) c.modeFlags.push_back(mode == 0 ? 1 : 0);
    base::ComPtr<IXMLDOMNode> softs = Child(node, L"softs");
    if (c.name.empty() || c.alias.empty() || c.softIds.empty() || c.modeFlags.empty() || !softs) return false;
    ForEachElement(softs.Get(), [&](IXMLDOMNode* soft) { ReadSoft(soft, c.softs); });
    const std::wstring grade = ChildText(node, L"grade");
    c.grade = base::LeadingFraction(grade);
    return true;
}

bool SameName(const std::wstring& a, const std::wstring& b) { return ::lstrcmpiW(a.c_str(), b.c_str()) == 0; }

// The pick's tags by the mode flag: its own (1) or its complement tags (0).
std::vector<const ReCmdTag*> PickTags(const ReCmdSoft& pick, int flag) {
    std::vector<const ReCmdTag*> tags;
    for (const ReCmdTagInfo& info : pick.tags) {
        if (flag == 1) {
            tags.push_back(&info.own);
        } else {
            for (const ReCmdTag& tag : info.complements) tags.push_back(&tag);
        }
    }
    return tags;
}

}  // namespace

std::vector<uint32_t> ReadIdList(const std::wstring& text) {
    std::vector<uint32_t> ids;
    size_t from = 0;
    while (from <= text.size()) {
        size_t comma = text.find(L',', from);
        if (comma == std::wstring::npos) comma = text.size();
        const std::wstring part = text.substr(from, comma - from);
        uint64_t id = 0;
        if (base::ParseDigits(part, id)) ids.push_back(static_cast<uint32_t>(std::min<uint64_t>(id, UINT32_MAX)));
        from = comma + 1;
    }
    return ids;
}

bool ReadReCommendData(const std::wstring& text, std::vector<ReCmdClass>& classes,
                       std::map<uint32_t, std::wstring>& zanNames) {
    base::ComPtr<IXMLDOMDocument> document;
    if (FAILED(CreateXmlDocument(document.Put())) || !document) return false;
    base::Bstr xml(text.c_str());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (!xml.Get() || FAILED(document->loadXML(xml.Get(), &loaded)) || loaded != VARIANT_TRUE) return false;
    base::ComPtr<IXMLDOMElement> root;
    if (FAILED(document->get_documentElement(root.Put())) || !root) return false;
    base::ComPtr<IXMLDOMNode> classesNode = Child(root.Get(), L"classes");
    ForEachElement(classesNode.Get(), [&](IXMLDOMNode* node) {
        ReCmdClass c;
        if (ReadClass(node, c)) classes.push_back(std::move(c));
    });
    base::ComPtr<IXMLDOMNode> infoNode = Child(root.Get(), L"softinfo");
    ForEachElement(infoNode.Get(), [&](IXMLDOMNode* node) {
        const std::wstring id = ChildText(node, L"id");
        if (!id.empty()) zanNames[base::LeadingUnsigned(id)] = ChildText(node, L"zan_name");
    });
    return true;
}

bool ReCmdSelector::Select(const IdSet& owned, const IdSet& excluded, bool once, const CountMap& counts,
                           ReCmdChoice& choice) {
    for (size_t tries = 0; tries < classes_.size(); ++tries) {
        if (cursor_ >= classes_.size()) cursor_ = 0;
        ReCmdClass& c = classes_[cursor_++];
        if (TryClass(c, owned, excluded, counts, choice)) return true;
        if (once) return false;
    }
    return false;
}

bool ReCmdSelector::TryClass(ReCmdClass& c, const IdSet& owned, const IdSet& excluded, const CountMap& counts,
                             ReCmdChoice& choice) {
    std::vector<uint32_t> matches;
    for (uint32_t id : c.softIds)
        if (owned.count(id)) matches.push_back(id);
    if (matches.empty() || c.modeFlags.empty()) return false;
    for (size_t tries = 0; tries < c.modeFlags.size(); ++tries) {
        if (++c.modeCursor >= c.modeFlags.size()) c.modeCursor = 0;
        if (TryMode(c, c.modeFlags[c.modeCursor], matches, owned, excluded, counts, choice)) return true;
    }
    return false;
}

bool ReCmdSelector::TryMode(ReCmdClass& c, int flag, const std::vector<uint32_t>& matches, const IdSet& owned,
                            const IdSet& excluded, const CountMap& counts, ReCmdChoice& choice) {
    for (size_t tries = 0; tries < matches.size(); ++tries) {
        const auto last = std::find(matches.begin(), matches.end(), c.lastPick);
        const uint32_t pickId = last == matches.end() || last + 1 == matches.end() ? matches.front() : *(last + 1);
        c.lastPick = pickId;
        const auto pick = c.softs.find(pickId);
        if (pick == c.softs.end()) continue;
        const std::vector<const ReCmdTag*> pickTags = PickTags(pick->second, flag);
        if (pickTags.empty()) continue;

        struct Candidate {
            uint32_t id;
            double similarity;
        };
        std::vector<Candidate> candidates;
        for (uint32_t id : c.softIds) {
            const auto entry = c.softs.find(id);
            if (id == pickId || entry == c.softs.end() || entry->second.display == 0) continue;
            size_t pairs = 0;
            for (const ReCmdTag* tag : pickTags)
                for (const ReCmdTagInfo& info : entry->second.tags) pairs += SameName(tag->name, info.own.name);
            const double similarity = static_cast<double>(pairs) / static_cast<double>(pickTags.size());
            if (similarity >= 0.000001) candidates.push_back({id, similarity});
        }
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const Candidate& a, const Candidate& b) { return a.similarity > b.similarity; });
        const auto countOf = [&counts](uint32_t id) {
            const auto it = counts.find(id);
            return it == counts.end() ? 0u : it->second;
        };
        std::stable_sort(candidates.begin(), candidates.end(),
                         [&](const Candidate& a, const Candidate& b) { return countOf(a.id) < countOf(b.id); });
        for (const Candidate& candidate : candidates) {
            const auto entry = c.softs.find(candidate.id);
            if (entry == c.softs.end()) continue;
            if (base::LeadingFraction(entry->second.rating) < c.grade) continue;
            if (owned.count(candidate.id) || excluded.count(candidate.id)) continue;
            Fill(c, pick->second, entry->second, pickTags, choice);
            return true;
        }
    }
    return false;
}

void ReCmdSelector::Fill(const ReCmdClass& c, const ReCmdSoft& pick, const ReCmdSoft& candidate,
                         const std::vector<const ReCmdTag*>& pickTags, ReCmdChoice& choice) const {
    choice = ReCmdChoice();
    choice.pickId = pick.id;
    choice.softId = candidate.id;
    choice.desp = candidate.desp;
    choice.classBaike = c.name + L"_" + candidate.baike;
    choice.alias = c.alias;
    const auto zan = zanNames_.find(candidate.id);
    if (zan != zanNames_.end()) choice.zanName = zan->second;
    for (const ReCmdTagInfo& info : candidate.tags)
        for (const ReCmdTag* tag : pickTags)
            if (SameName(info.own.name, tag->name)) choice.tagBaikes.push_back(info.own.baike);
}

}  // namespace catalog
