#include "ui/app.h"

#ifndef _WIN32
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#endif

namespace ui {

#ifdef _WIN32

bool IsExistingFile(const std::wstring& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

#else

namespace {

// The path in the file system's encoding (UTF-8), with Windows separators turned
// into the system's own.
bool ToSystemPath(const std::wstring& path, std::string& out) {
    out.clear();
    for (wchar_t wc : path) {
        const uint32_t c = static_cast<uint32_t>(wc);
        if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        if (c == '\\') {
            out.push_back('/');
        } else if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return true;
}

}  // namespace

bool IsExistingFile(const std::wstring& path) {
    std::string systemPath;
    if (path.empty() || !ToSystemPath(path, systemPath)) return false;
    struct stat info;
    return stat(systemPath.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

#endif

}  // namespace ui
