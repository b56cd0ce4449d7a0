// A strict reader for the README documents: the subset of HTML they are
// written in (explicit end tags, double-quoted attributes, the XML entities),
// checked the way a validator would and read back into what a browser shows.
#pragma once

#include <string>
#include <vector>

namespace package_test {

struct HtmlDocument {
    std::vector<std::string> errors;  // empty when the document is valid
    std::string language;             // lang of the html element
    std::string charset;              // from <meta charset>, as written
    size_t charsetOffset = 0;         // character offset of that meta element
    std::wstring title;
    std::wstring text;                // the body's text, entities decoded
    std::vector<std::string> links;   // href values, in order
};

// Reads `bytes` as UTF-8 (the only encoding the documents use; the check of
// the declaration is the caller's) and checks the structure.
HtmlDocument ReadHtml(const std::string& bytes);

}  // namespace package_test
