#include "search_path.h"

#include <vector>

namespace searchpath {
namespace {

std::wstring Canonical(const std::wstring& entry) {
    size_t begin = 0;
    size_t end = entry.size();
    if (end - begin >= 2 && entry[begin] == L'"' && entry[end - 1] == L'"') ++begin, --end;
    while (end > begin && entry[end - 1] == L'\\') --end;
    std::wstring folded;
    for (size_t i = begin; i < end; ++i) {
        const wchar_t c = entry[i];
        folded.push_back(c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c);
    }
    return folded;
}

std::vector<std::wstring> Split(const std::wstring& list) {
    std::vector<std::wstring> entries;
    size_t start = 0;
    for (;;) {
        const size_t end = list.find(L';', start);
        entries.push_back(list.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) return entries;
        start = end + 1;
    }
}

}  // namespace

bool SameFolder(const std::wstring& entry, const std::wstring& folder) {
    const std::wstring canonical = Canonical(entry);
    return !canonical.empty() && canonical == Canonical(folder);
}

bool AddFolder(std::wstring& list, const std::wstring& folder) {
    if (Canonical(folder).empty()) return false;
    for (const std::wstring& entry : Split(list))
        if (SameFolder(entry, folder)) return false;
    if (!list.empty() && list.back() != L';') list.push_back(L';');
    list += folder;
    return true;
}

bool RemoveFolder(std::wstring& list, const std::wstring& folder) {
    if (list.empty()) return false;
    std::wstring kept;
    bool removed = false;
    bool first = true;
    for (const std::wstring& entry : Split(list)) {
        if (SameFolder(entry, folder)) {
            removed = true;
            continue;
        }
        if (!first) kept.push_back(L';');
        kept += entry;
        first = false;
    }
    if (removed) list = kept;
    return removed;
}

}  // namespace searchpath
