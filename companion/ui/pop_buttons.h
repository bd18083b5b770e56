// The navigation pop-up's description "vynPop.xml" in the unpacked skin: one
// "vynpop" element with exactly eight attributes per button, taken by
// position (picture, hover picture, program, parameters, x, y, hover x,
// hover y). The skin folder is writable by the user and the file travels in
// a package, so everything read from it is checked and bounded: a broken
// element is skipped, a broken document gives no buttons.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace companion {

struct PopButton {
    std::wstring picture;       // full path in the skin folder
    std::wstring hoverPicture;  // full path in the skin folder
    std::wstring program;       // full path in Corvalle's own folder
    std::wstring parameters;
    int x = 0;  // relative to the mascot's left edge
    int y = 0;  // relative to the mascot's top edge
    int hoverX = 0;  // relative to the button's left edge
    int hoverY = 0;  // relative to the button's top edge
};

// Bounds on what a description may hold.
constexpr size_t kPopXmlMaxBytes = 64 * 1024;
// Every element costs a level of recursion in the XML reader and its walk;
// a document with more tags than this is refused before it is parsed.
constexpr size_t kPopXmlMaxTags = 256;
constexpr size_t kPopMaxButtons = 16;
// Offsets are pixels around the mascot; anything beyond a screen is noise.
constexpr int kPopMaxOffset = 4096;
constexpr size_t kPopMaxParameterChars = 64;
// A file name from the description, joined to its folder, must still fit a path.
constexpr size_t kPopMaxPathChars = MAX_PATH - 1;

// The description's text (UTF-8) to button records, appended to `buttons`.
// Picture names are joined to `skinDir`, program names to `programDir`
// (both ending in '\'). 0 parsed (possibly no buttons); -3 the document is
// refused (too large, too many tags, not well-formed): nothing is appended.
int ParsePopXml(const std::string& text, const std::wstring& skinDir, const std::wstring& programDir,
                std::vector<PopButton>& buttons);

// Reads and parses a description file. 0 after a walk (a missing file gives
// no buttons); -1 reading the opened file failed or it is too large; -3 the
// document is refused. Nothing is appended on failure.
int LoadPopXmlFile(const std::wstring& path, const std::wstring& skinDir, const std::wstring& programDir,
                   std::vector<PopButton>& buttons);

// The unpacked skin's "vynPop.xml", with Corvalle's own folder for the programs.
int LoadPopXml(std::vector<PopButton>& buttons);

// The buttons of the unpacked skin; empty when the description is missing,
// unreadable or refused.
std::vector<PopButton> LoadPopButtons();

}  // namespace companion
