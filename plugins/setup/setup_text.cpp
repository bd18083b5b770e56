#include "plugins/setup/setup_text.h"

namespace setup {

void CopyTextCut(wchar_t* dest, size_t capacity, const std::wstring& text) {
    if (!dest || capacity == 0) return;
    size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    if (n < text.size() && n > 0 && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
    text.copy(dest, n);
    for (size_t i = n; i < capacity; ++i) dest[i] = L'\0';
}

}  // namespace setup
