#include "html_check.h"

#include <algorithm>
#include <cstdint>
#include <set>

namespace package_test {
namespace {

// The elements the documents may use; void elements take no end tag.
const std::set<std::string> kElements = {"html", "head", "meta", "title", "style", "body", "h1", "h2", "h3",
                                         "p", "a", "strong", "em", "code", "span", "br", "ul", "ol", "li",
                                         "dl", "dt", "dd", "table", "tr", "th", "td"};
const std::set<std::string> kVoidElements = {"meta", "br"};

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, and
// no control characters other than tab and line ends.
bool DecodeUtf8(const std::string& bytes, std::wstring& out, size_t& badOffset) {
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        uint32_t c;
        size_t length;
        if (lead < 0x80) c = lead, length = 1;
        else if ((lead & 0xE0) == 0xC0) c = lead & 0x1F, length = 2;
        else if ((lead & 0xF0) == 0xE0) c = lead & 0x0F, length = 3;
        else if ((lead & 0xF8) == 0xF0) c = lead & 0x07, length = 4;
        else return badOffset = i, false;
        if (i + length > bytes.size()) return badOffset = i, false;
        for (size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return badOffset = i, false;
            c = (c << 6) | (next & 0x3F);
        }
        static const uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return badOffset = i, false;
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return badOffset = i, false;
        out.push_back(static_cast<wchar_t>(c));
        i += length;
    }
    return true;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

bool IsNameChar(wchar_t c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == ':'; }

class Reader {
public:
    Reader(const std::wstring& text, HtmlDocument& doc) : s_(text), doc_(doc) {}

    void Read() {
        static const std::wstring kDoctype = L"<!DOCTYPE html>";
        if (s_.compare(0, kDoctype.size(), kDoctype) != 0) Error("the document does not start with <!DOCTYPE html>");
        else pos_ = kDoctype.size();
        while (pos_ < s_.size()) {
            if (s_[pos_] == '<') Markup();
            else Text();
        }
        if (!open_.empty()) Error("unclosed element <" + open_.back() + ">");
        if (!sawHtml_) Error("no html element");
        if (!sawBody_) Error("no body element");
        if (doc_.title.empty()) Error("no title");
        if (doc_.charset.empty()) Error("no character set declared");
    }

private:
    void Error(const std::string& what) { doc_.errors.push_back(what + " (at character " + std::to_string(pos_) + ")"); }
    bool Inside(const char* name) const { return std::find(open_.begin(), open_.end(), name) != open_.end(); }

    void Text() {
        while (pos_ < s_.size() && s_[pos_] != '<') {
            wchar_t c = s_[pos_];
            if (c == '&') {
                c = Entity();
            } else {
                ++pos_;
            }
            if (open_.empty()) {
                if (c != ' ' && c != '\n' && c != '\r' && c != '\t') Error("text outside the html element");
                continue;
            }
            if (open_.back() == "html" || open_.back() == "head" || open_.back() == "ul" || open_.back() == "ol" ||
                open_.back() == "dl" || open_.back() == "table" || open_.back() == "tr") {
                if (c != ' ' && c != '\n' && c != '\r' && c != '\t') Error("text directly inside <" + open_.back() + ">");
                continue;
            }
            if (Inside("title")) doc_.title.push_back(c);
            else if (Inside("body")) doc_.text.push_back(c);
        }
    }

    wchar_t Entity() {
        static const std::pair<const wchar_t*, wchar_t> kNamed[] = {
            {L"&amp;", '&'}, {L"&lt;", '<'}, {L"&gt;", '>'}, {L"&quot;", '"'}, {L"&apos;", '\''}};
        for (const auto& [name, value] : kNamed) {
            const std::wstring entity(name);
            if (s_.compare(pos_, entity.size(), entity) == 0) {
                pos_ += entity.size();
                return value;
            }
        }
        Error("a bare & or an entity outside the XML set");
        ++pos_;
        return '&';
    }

    void Markup() {
        if (s_.compare(pos_, 4, L"<!--") == 0) {
            const size_t end = s_.find(L"-->", pos_ + 4);
            if (end == std::wstring::npos) return Error("unterminated comment"), void(pos_ = s_.size());
            pos_ = end + 3;
            return;
        }
        const size_t start = pos_;
        ++pos_;
        const bool closing = pos_ < s_.size() && s_[pos_] == '/';
        if (closing) ++pos_;
        std::string name;
        while (pos_ < s_.size() && IsNameChar(s_[pos_])) name.push_back(static_cast<char>(s_[pos_++]));
        if (name.empty()) return Error("a bare < in text or a tag without a lower-case name");
        if (kElements.count(name) == 0) Error("element <" + name + "> is not one the documents use");

        if (closing) {
            if (pos_ >= s_.size() || s_[pos_] != '>') return Error("malformed end tag </" + name + ">");
            ++pos_;
            if (kVoidElements.count(name)) return Error("end tag of the void element <" + name + ">");
            if (open_.empty() || open_.back() != name)
                return Error("end tag </" + name + "> does not close <" + (open_.empty() ? "" : open_.back()) + ">");
            open_.pop_back();
            return;
        }

        std::set<std::string> seen;
        std::vector<std::pair<std::string, std::wstring>> attributes;
        for (;;) {
            while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\n' || s_[pos_] == '\t')) ++pos_;
            if (pos_ >= s_.size()) return Error("unterminated tag <" + name + ">");
            if (s_[pos_] == '>' || s_.compare(pos_, 2, L"/>") == 0) break;
            std::string attribute;
            while (pos_ < s_.size() && IsNameChar(s_[pos_])) attribute.push_back(static_cast<char>(s_[pos_++]));
            if (attribute.empty() || s_.compare(pos_, 2, L"=\"") != 0)
                return Error("attribute of <" + name + "> without a double-quoted value"), void(pos_ = s_.find('>', pos_));
            pos_ += 2;
            const size_t end = s_.find('"', pos_);
            if (end == std::wstring::npos) return Error("unterminated attribute value"), void(pos_ = s_.size());
            const std::wstring value = s_.substr(pos_, end - pos_);
            if (value.find('<') != std::wstring::npos || value.find('&') != std::wstring::npos)
                Error("markup or an entity in an attribute value of <" + name + ">");
            pos_ = end + 1;
            if (!seen.insert(attribute).second) Error("repeated attribute " + attribute + " of <" + name + ">");
            attributes.emplace_back(attribute, value);
        }
        const bool selfClosed = s_[pos_] == '/';
        pos_ += selfClosed ? 2 : 1;
        if (selfClosed && !kVoidElements.count(name)) Error("self-closed <" + name + "/>, which HTML does not end");
        Open(name, attributes, start);
        if (kVoidElements.count(name)) return;
        open_.push_back(name);
        if (name == "style" || name == "title") RawText(name);
    }

    // Style content is not markup; the title is plain text.
    void RawText(const std::string& name) {
        const std::wstring end = L"</" + std::wstring(name.begin(), name.end()) + L">";
        const size_t found = s_.find(end, pos_);
        if (found == std::wstring::npos) return Error("unterminated <" + name + ">"), void(pos_ = s_.size());
        const std::wstring content = s_.substr(pos_, found - pos_);
        if (content.find('<') != std::wstring::npos) Error("markup inside <" + name + ">");
        if (name == "title") doc_.title = content;
        pos_ = found + end.size();
        open_.pop_back();
    }

    void Open(const std::string& name, const std::vector<std::pair<std::string, std::wstring>>& attributes,
              size_t start) {
        const std::string parent = open_.empty() ? "" : open_.back();
        if (name == "html") {
            if (!open_.empty() || sawHtml_) Error("html is not the only root element");
            sawHtml_ = true;
        } else if (open_.empty()) {
            Error("<" + name + "> outside the html element");
        }
        if ((name == "head" || name == "body") && parent != "html") Error("<" + name + "> not directly in <html>");
        if (name == "body") {
            if (!sawHead_) Error("body before head");
            sawBody_ = true;
        }
        if (name == "head") sawHead_ = true;
        if ((name == "meta" || name == "title" || name == "style") && parent != "head")
            Error("<" + name + "> outside the head");
        if (name == "title" && doc_.charset.empty()) Error("the title comes before the character set declaration");
        if (name == "li" && parent != "ul" && parent != "ol") Error("<li> outside a list");
        if ((name == "dt" || name == "dd") && parent != "dl") Error("<" + name + "> outside <dl>");
        if (name == "tr" && parent != "table") Error("<tr> outside <table>");
        if ((name == "td" || name == "th") && parent != "tr") Error("<" + name + "> outside <tr>");
        if ((name == "p" || name == "ul" || name == "ol" || name == "dl" || name == "table" || name == "h1" ||
             name == "h2" || name == "h3") &&
            (Inside("p") || Inside("span") || Inside("a") || Inside("strong") || Inside("code")))
            Error("block <" + name + "> inside a paragraph or phrase");
        for (const auto& [attribute, value] : attributes) {
            if (name == "html" && attribute == "lang") doc_.language = Narrow(value);
            if (name == "meta" && attribute == "charset") {
                doc_.charset = Narrow(value);
                doc_.charsetOffset = start;
            }
            if (name == "a" && attribute == "href") doc_.links.push_back(Narrow(value));
        }
        if (name == "a" && std::none_of(attributes.begin(), attributes.end(),
                                        [](const auto& a) { return a.first == "href"; }))
            Error("<a> without href");
    }

    const std::wstring& s_;
    HtmlDocument& doc_;
    size_t pos_ = 0;
    std::vector<std::string> open_;
    bool sawHtml_ = false;
    bool sawHead_ = false;
    bool sawBody_ = false;
};

}  // namespace

HtmlDocument ReadHtml(const std::string& bytes) {
    HtmlDocument doc;
    std::wstring text;
    size_t bad = 0;
    if (!DecodeUtf8(bytes, text, bad)) {
        doc.errors.push_back("not valid UTF-8 at byte " + std::to_string(bad));
        return doc;
    }
    Reader(text, doc).Read();
    return doc;
}

}  // namespace package_test
