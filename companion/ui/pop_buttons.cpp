#include "companion/ui/pop_buttons.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <tinyxml.h>

#include "base/log.h"
#include "base/numbers.h"
#include "base/text.h"
#include "companion/system/paths.h"
#include "companion/system/skin_strip.h"

namespace companion {

namespace {

constexpr int kAttributeCount = 8;

void LogPopError(const wchar_t* what, const std::wstring& detail = std::wstring()) {
    base::LogLine(std::wstring(L"vynPop.xml: ") + what, detail);
}

// "\r\n" and a lone "\r" both become "\n".
std::string NormaliseLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Strict UTF-8 to UTF-16; false for bytes that are not UTF-8 or for control
// characters, which have no place in a file name or a command line.
bool StrictUtf8ToWide(const char* bytes, std::wstring& out) {
    out.clear();
    if (!bytes) return false;
    const size_t length = std::strlen(bytes);
    if (length == 0) return true;
    if (length > 4 * kPopMaxPathChars) return false;
    if (!base::StrictUtf8ToWide(bytes, length, out)) return false;
    for (wchar_t c : out)
        if (c < 0x20 || c == 0x7f) return false;
    return true;
}

// A name inside its folder: not empty, not absolute, no drive, no step up.
bool IsNameInsideFolder(const std::wstring& name) {
    if (name.empty() || name.find(L':') != std::wstring::npos) return false;
    if (name[0] == L'\\' || name[0] == L'/') return false;
    size_t start = 0;
    for (;;) {
        const size_t end = name.find_first_of(L"\\/", start);
        const std::wstring part = name.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (part == L"..") return false;
        if (end == std::wstring::npos) return true;
        start = end + 1;
    }
}

bool JoinName(const std::wstring& dir, const char* utf8, std::wstring& path) {
    std::wstring name;
    if (!StrictUtf8ToWide(utf8, name) || !IsNameInsideFolder(name)) return false;
    path = dir + name;
    return path.size() <= kPopMaxPathChars;
}

// A decimal integer with an optional sign, within the offset bound; the
// document's blanks (spaces, tabs, line ends) around it are allowed.
bool ParseOffset(const char* text, int& value) {
    if (!text) return false;
    // Any byte outside ASCII fails the reading as it stands.
    std::wstring wide(text, text + std::strlen(text));
    const size_t first = wide.find_first_not_of(L" \t\n");
    if (first == std::wstring::npos) return false;
    wide = wide.substr(first, wide.find_last_not_of(L" \t\n") - first + 1);
    int read = 0;
    if (!base::ParseDecimal(wide, read) || read < -kPopMaxOffset || read > kPopMaxOffset) return false;
    value = read;
    return true;
}

// Walks every element in document order and keeps the valid buttons.
class CPopNode : public TiXmlVisitor {
public:
    CPopNode(const std::wstring& skinDir, const std::wstring& programDir, std::vector<PopButton>& buttons)
        : skinDir_(skinDir), programDir_(programDir), buttons_(buttons) {}

    bool VisitEnter(const TiXmlElement& element, const TiXmlAttribute* first) override {
        Parse(element, first);
        return true;
    }

    // Appends the element's button when it is one and every value holds.
    void Parse(const TiXmlElement& element, const TiXmlAttribute* first) {
        if (element.ValueStr() != "vynpop") return;
        const char* values[kAttributeCount] = {};
        int count = 0;
        for (const TiXmlAttribute* a = first; a; a = a->Next()) {
            if (count == kAttributeCount) return;  // a ninth: not a button
            values[count++] = a->Value();
        }
        if (count != kAttributeCount) return;
        if (found_ >= kPopMaxButtons) {
            if (found_++ == kPopMaxButtons) LogPopError(L"more buttons than the pop-up holds; the rest are left out");
            return;
        }
        PopButton button;
        int row = element.Row();
        if (!JoinName(skinDir_, values[0], button.picture) || !JoinName(skinDir_, values[1], button.hoverPicture) ||
            !JoinName(programDir_, values[2], button.program) || !StrictUtf8ToWide(values[3], button.parameters) ||
            button.parameters.size() > kPopMaxParameterChars || !ParseOffset(values[4], button.x) ||
            !ParseOffset(values[5], button.y) || !ParseOffset(values[6], button.hoverX) ||
            !ParseOffset(values[7], button.hoverY)) {
            LogPopError(L"a button with a bad value is skipped, line", std::to_wstring(row));
            return;
        }
        ++found_;
        buttons_.push_back(std::move(button));
    }

private:
    const std::wstring& skinDir_;
    const std::wstring& programDir_;
    std::vector<PopButton>& buttons_;
    size_t found_ = 0;
};

}  // namespace

int ParsePopXml(const std::string& text, const std::wstring& skinDir, const std::wstring& programDir,
                std::vector<PopButton>& buttons) {
    if (text.size() > kPopXmlMaxBytes) {
        LogPopError(L"the file is too large");
        return -3;
    }
    // Counting every '<' bounds the number of elements, and with it how deep
    // the reader's recursion can go, whatever the document's shape.
    size_t tags = 0;
    for (char c : text) {
        if (c == '<') ++tags;
        // The reader would stop at a NUL and take what came before for the
        // whole document; a UTF-16 file would even look empty.
        if (c == '\0') {
            LogPopError(L"NUL bytes in the text");
            return -3;
        }
    }
    if (tags > kPopXmlMaxTags) {
        LogPopError(L"too many tags");
        return -3;
    }
    const std::string normalised = NormaliseLineEnds(text);
    std::unique_ptr<TiXmlDocument> document(new (std::nothrow) TiXmlDocument());
    if (!document) return -3;
    document->Parse(normalised.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (document->Error()) {
        // An empty text is an empty document, not a broken one.
        if (document->ErrorId() == TiXmlBase::TIXML_ERROR_DOCUMENT_EMPTY) return 0;
        std::wstring detail;
        if (const char* desc = document->ErrorDesc()) detail.assign(desc, desc + std::strlen(desc));
        LogPopError(L"not well-formed", detail + L", line " + std::to_wstring(document->ErrorRow()));
        return -3;
    }
    std::vector<PopButton> found;
    CPopNode visitor(skinDir, programDir, found);
    document->Accept(&visitor);
    for (auto& b : found) buttons.push_back(std::move(b));
    return 0;
}

int LoadPopXmlFile(const std::wstring& path, const std::wstring& skinDir, const std::wstring& programDir,
                   std::vector<PopButton>& buttons) {
    FILE* f = path.empty() ? nullptr : ::_wfopen(path.c_str(), L"rb");
    if (!f) return 0;
    std::unique_ptr<FILE, int (*)(FILE*)> file(f, &std::fclose);
    std::string text;
    char chunk[4096];
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof(chunk), file.get());
        text.append(chunk, got);
        if (text.size() > kPopXmlMaxBytes) {
            LogPopError(L"the file is too large");
            return -1;
        }
        if (got < sizeof(chunk)) break;
    }
    if (std::ferror(file.get())) {
        LogPopError(L"the file cannot be read");
        return -1;
    }
    return ParsePopXml(text, skinDir, programDir, buttons);
}

int LoadPopXml(std::vector<PopButton>& buttons) {
    const std::wstring path = SkinFilePath(L"vynPop.xml");
    std::wstring programDir;
    if (path.empty() || !GetExeDir(programDir)) return 0;
    const std::wstring skinDir = path.substr(0, path.size() - std::wstring(L"vynPop.xml").size());
    return LoadPopXmlFile(path, skinDir, programDir, buttons);
}

std::vector<PopButton> LoadPopButtons() {
    std::vector<PopButton> buttons;
    if (LoadPopXml(buttons) != 0) buttons.clear();
    return buttons;
}

}  // namespace companion
