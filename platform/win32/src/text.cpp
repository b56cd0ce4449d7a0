// Conversion between the W functions' wchar_t text (UTF-32 on Linux) and the
// UTF-8 that the A functions use: the ANSI code page of this layer is UTF-8.
#include "kernel.h"

#include <cwchar>

namespace mx {
namespace {

void AppendUtf8(std::string& out, uint32_t code) {
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = '?';  // not a character
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at text[i]; returns its length, or 0 if it is not
// well formed (the caller then takes the byte as Latin-1).
size_t DecodeUtf8(const unsigned char* text, size_t size, size_t i, uint32_t& code) {
    const unsigned char lead = text[i];
    size_t length;
    if (lead < 0x80) {
        code = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07;
    } else {
        return 0;
    }
    if (size - i < length) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((text[i + k] & 0xC0) != 0x80) return 0;
        code = (code << 6) | (text[i + k] & 0x3F);
    }
    static const uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::string NarrowFromWide(const WCHAR* text, size_t units) {
    std::string out;
    for (size_t i = 0; i < units; ++i) AppendUtf8(out, static_cast<uint32_t>(text[i]));
    return out;
}

std::string NarrowFromWide(const WCHAR* text) { return NarrowFromWide(text, std::wcslen(text)); }

std::wstring WideFromNarrow(const char* text, size_t bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(text);
    std::wstring out;
    for (size_t i = 0; i < bytes;) {
        uint32_t code = 0;
        const size_t length = DecodeUtf8(data, bytes, i, code);
        if (length == 0) {
            out.push_back(static_cast<WCHAR>(data[i++]));
        } else {
            out.push_back(static_cast<WCHAR>(code));
            i += length;
        }
    }
    return out;
}

}  // namespace mx
