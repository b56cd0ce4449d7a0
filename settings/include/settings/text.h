// Text helpers of the settings program: placeholder substitution and the
// formatting of the numeric lines from string-table formats.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace settings {

inline constexpr wchar_t kModelPlaceholder[] = L"__MODEL__";
inline constexpr wchar_t kVersionPlaceholder[] = L"__VERSION__";

// The model name the program is built for ("Calvera").
std::wstring ModelName();

// Replaces every occurrence of `placeholder`, left to right, without looking
// into the inserted text again.
std::wstring ReplaceAll(const std::wstring& text, const std::wstring& placeholder, const std::wstring& value);

// printf-style formatting limited to what the string tables use: "%d" with an
// optional '-' or '0' flag and a width, and "%%". The values are used in order;
// any other '%' sequence, or a conversion without a value left, is copied as it
// is, so a faulty translation shows wrong text instead of reading past its
// arguments.
std::wstring FormatDecimal(const std::wstring& format, std::initializer_list<int64_t> values);

}  // namespace settings
