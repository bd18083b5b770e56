// The file of ad ids already shown: little-endian u32s, no header; trailing
// bytes short of an entry are ignored.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace setup {

// Anything larger is not an ad-id file and reads as empty.
constexpr DWORD kAdIdFileMaxBytes = 4u * 1024 * 1024;

// The file's whole entries; empty when it is missing, unreadable or too large.
std::vector<uint32_t> ReadAdIdFile(const wchar_t* path);

// Appends `adId` to the whole entries already there. The new content is
// written beside the file and moved over it, so a failed write leaves the
// old entries as they were; a file that is there but cannot be read whole
// is left as it is (false). A path that is not fully qualified (drive and
// "\", or UNC) is refused. True only when everything was written.
bool AppendAdIdToFile(const wchar_t* path, uint32_t adId);

// Writes the new content; replaceable so tests can make a write fail half-way.
using AdIdFileWriter = bool (*)(HANDLE file, const uint8_t* data, DWORD size);
void SetAdIdFileWriterForTest(AdIdFileWriter writer);

}  // namespace setup
