#include "settings/text.h"

#include <vector>

#include "device/identity.h"

namespace settings {

namespace {

// Field widths beyond this are a broken format, not a wish for a wide field.
constexpr size_t kMaxFieldWidth = 32;

}  // namespace

std::wstring ModelName() { return device::kModelNameW; }

std::wstring ReplaceAll(const std::wstring& text, const std::wstring& placeholder, const std::wstring& value) {
    if (placeholder.empty()) return text;
    std::wstring result;
    size_t from = 0;
    for (size_t at = text.find(placeholder); at != std::wstring::npos; at = text.find(placeholder, from)) {
        result.append(text, from, at - from);
        result.append(value);
        from = at + placeholder.size();
    }
    result.append(text, from, std::wstring::npos);
    return result;
}

std::wstring FormatDecimal(const std::wstring& format, std::initializer_list<int64_t> values) {
    const std::vector<int64_t> args(values);
    size_t next = 0;
    std::wstring out;
    for (size_t i = 0; i < format.size();) {
        if (format[i] != L'%') {
            out.push_back(format[i++]);
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == L'%') {
            out.push_back(L'%');
            i += 2;
            continue;
        }
        // % [-|0] width d
        size_t j = i + 1;
        bool leftAlign = false;
        bool zeroPad = false;
        while (j < format.size() && (format[j] == L'-' || format[j] == L'0')) {
            if (format[j] == L'-') leftAlign = true;
            else zeroPad = true;
            ++j;
        }
        size_t width = 0;
        bool widthOk = true;
        while (j < format.size() && format[j] >= L'0' && format[j] <= L'9') {
            width = width * 10 + static_cast<size_t>(format[j] - L'0');
            if (width > kMaxFieldWidth) widthOk = false;
            ++j;
        }
        if (j >= format.size() || format[j] != L'd' || !widthOk || next >= args.size()) {
            out.push_back(format[i++]);  // not ours to interpret: copy the '%' and go on
            continue;
        }
        const int64_t value = args[next++];
        const bool negative = value < 0;
        std::wstring digits;
        uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
        do {
            digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
            magnitude /= 10;
        } while (magnitude != 0);
        std::wstring field = digits;
        const size_t used = digits.size() + (negative ? 1 : 0);
        const size_t pad = width > used ? width - used : 0;
        if (leftAlign) {
            field = (negative ? L"-" : L"") + digits + std::wstring(pad, L' ');
        } else if (zeroPad) {
            field = (negative ? L"-" : L"") + std::wstring(pad, L'0') + digits;
        } else {
            field = std::wstring(pad, L' ') + (negative ? L"-" : L"") + digits;
        }
        out += field;
        i = j + 1;
    }
    return out;
}

}  // namespace settings
