#include "companion/system/skin_strip.h"

#include <cstring>
#include <string>

#include "companion/system/shared_settings.h"
#include "base/png_decoder.h"
#include "base/whole_file.h"
#include "protocol/program_names.h"

namespace companion {

std::wstring SkinFilePath(const std::wstring& fileName) {
    std::wstring dir;
    if (fileName.empty() || !GetAppDataDir(dir)) return std::wstring();
    return protocol::SkinFolderIn(dir) + fileName;
}

base::Bitmap LoadSkinStrip(const std::wstring& fileName) {
    const std::wstring path = SkinFilePath(fileName);
    std::string bytes;
    if (path.empty() || !base::ReadWholeFile(path.c_str(), bytes)) return base::Bitmap();
    return base::DecodePngToDib(bytes.data(), bytes.size());
}

bool StripFramesEqual(HBITMAP strip, int first, int second, int cx, int cy) {
    if (!strip || cx <= 0 || cy <= 0 || first < 0 || second < 0) return false;
    DIBSECTION dib{};
    if (::GetObjectW(strip, sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits) return false;
    const BITMAP& bm = dib.dsBm;
    const int height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    if (bm.bmBitsPixel % 8 != 0 || cy > height) return false;
    const int last = first > second ? first : second;
    if (static_cast<long long>(last + 1) * cx > bm.bmWidth) return false;
    if (first == second) return true;
    const size_t pixelBytes = bm.bmBitsPixel / 8;
    const size_t rowBytes = static_cast<size_t>(cx) * pixelBytes;
    const auto* bits = static_cast<const BYTE*>(bm.bmBits);
    for (int y = 0; y < cy; ++y) {
        const BYTE* row = bits + static_cast<size_t>(y) * bm.bmWidthBytes;
        if (std::memcmp(row + first * rowBytes, row + second * rowBytes, rowBytes) != 0) return false;
    }
    return true;
}

}  // namespace companion
