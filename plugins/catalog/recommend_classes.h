// What the recommendations know: the classes of the local data file, and
// the choice of one recommendation from them. Kept free of the kernel so
// the rules are tested on their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace catalog {

struct ReCmdTag {
    std::wstring name;   // at most 49 characters
    std::wstring baike;  // at most 99 characters
};

struct ReCmdTagInfo {
    ReCmdTag own;
    std::vector<ReCmdTag> complements;
};

struct ReCmdSoft {
    uint32_t id = 0;
    uint32_t display = 0;
    std::wstring desp;    // at most 259 characters
    std::wstring baike;   // at most 99 characters
    std::wstring rating;  // the data file fills none
    std::vector<ReCmdTagInfo> tags;
};

struct ReCmdClass {
    std::wstring name;   // at most 49 characters
    std::wstring alias;  // at most 49 characters
    std::vector<uint32_t> softIds;
    std::vector<int> modeFlags;  // 1: compare own tags, 0: complement tags
    std::map<uint32_t, ReCmdSoft> softs;
    uint32_t lastPick = 0;
    uint32_t modeCursor = 0;
    double grade = 0;
};

// The data file's "classes" and "softinfo" (zan names by soft id). False
// when the text is no XML document; incomplete classes and entries are
// skipped. COM must be initialised on the calling thread.
bool ReadReCommendData(const std::wstring& text, std::vector<ReCmdClass>& classes,
                       std::map<uint32_t, std::wstring>& zanNames);

// Decimal values separated by ","; empty and non-numeric parts skipped.
std::vector<uint32_t> ReadIdList(const std::wstring& text);

// One recommendation: what a record gets filled with.
struct ReCmdChoice {
    uint32_t pickId = 0;
    uint32_t softId = 0;
    std::wstring desp;
    std::wstring classBaike;  // class name "_" candidate's baike name
    std::wstring alias;
    std::wstring zanName;
    std::vector<std::wstring> tagBaikes;
};

using IdSet = std::set<uint32_t>;
using CountMap = std::map<uint32_t, uint32_t>;

// The classes and their cursors; the worker's alone.
class ReCmdSelector {
public:
    std::vector<ReCmdClass>& Classes() { return classes_; }
    std::map<uint32_t, std::wstring>& ZanNames() { return zanNames_; }

    // Tries up to every class from the class cursor on (only one with
    // `once`); true with `choice` filled at the first success.
    bool Select(const IdSet& owned, const IdSet& excluded, bool once, const CountMap& counts, ReCmdChoice& choice);

private:
    bool TryClass(ReCmdClass& c, const IdSet& owned, const IdSet& excluded, const CountMap& counts,
                  ReCmdChoice& choice);
    bool TryMode(ReCmdClass& c, int flag, const std::vector<uint32_t>& matches, const IdSet& owned,
                 const IdSet& excluded, const CountMap& counts, ReCmdChoice& choice);
    void Fill(const ReCmdClass& c, const ReCmdSoft& pick, const ReCmdSoft& candidate,
              const std::vector<const ReCmdTag*>& pickTags, ReCmdChoice& choice) const;

    std::vector<ReCmdClass> classes_;
    std::map<uint32_t, std::wstring> zanNames_;
    size_t cursor_ = 0;
};

}  // namespace catalog
