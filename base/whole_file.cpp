#include "base/whole_file.h"

#include <windows.h>

#include <cstdio>

#include "base/log.h"

namespace base {

bool ReadWholeFile(const wchar_t* path, std::string& out, size_t maxBytes) {
    out.clear();
    if (!path || !*path) return false;
    FILE* f = _wfopen(path, L"rb");
    if (!f) return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    long size = ok ? std::ftell(f) : -1;
    ok = ok && size >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok && static_cast<unsigned long>(size) > maxBytes) {
        LogLine(L"reading a whole file", std::wstring(L"refused, larger than the cap of whole files: ") + path);
        ok = false;
    }
    if (ok && size > 0) {
        out.resize(static_cast<size_t>(size));
        ok = std::fread(&out[0], 1, out.size(), f) == out.size();
    }
    std::fclose(f);
    if (!ok) out.clear();
    return ok;
}

}  // namespace base
