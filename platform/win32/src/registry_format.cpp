// Text form of the registry file.
//
// The file is UTF-8 text, one record per line:
//
//   mxregistry 1
//   key "HKEY_LOCAL_MACHINE\SOFTWARE\ASIO\Calvera"
//   value "CLSID" 1 a "{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}%0;"
//   value "Count" 4 b "02000000"
//
// The first line names the format. A `key` line gives a key's full path from its
// root; the keys above it need no lines of their own. The `value` lines that follow
// belong to that key: name, type as a decimal number, form and data. The form says
// how the value was written: `a` a string through an A function (data are bytes),
// `w` a string through a W function (data are wchar_t units), `b` anything else
// (data are bytes as hexadecimal digits). Inside quotes, printable ASCII other than
// `"` and `%` stands for itself and every other unit is written `%` hex `;`, so
// "%0;" is a terminating zero and "%e9;" an e-acute byte or character.
//
// Anything else (a missing header, an unknown root, a value before any key, a
// repeated value name, a bad escape) makes the whole file damaged.
#include "registry_store.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace mx::reg {
namespace {

constexpr std::string_view kHeader = "mxregistry 1";

void AppendUnit(std::string& out, uint32_t unit) {
    if (unit >= 0x20 && unit <= 0x7E && unit != '"' && unit != '%') {
        out.push_back(static_cast<char>(unit));
        return;
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%%%x;", static_cast<unsigned>(unit));
    out += buffer;
}

void AppendQuoted(std::string& out, std::string_view bytes) {
    out.push_back('"');
    for (unsigned char byte : bytes) AppendUnit(out, byte);
    out.push_back('"');
}

void AppendData(std::string& out, const Value& value) {
    static const char kHex[] = "0123456789abcdef";
    out.push_back('"');
    if (value.form == Form::Wide) {
        for (size_t i = 0; i + sizeof(WCHAR) <= value.data.size(); i += sizeof(WCHAR)) {
            uint32_t unit;
            memcpy(&unit, value.data.data() + i, sizeof unit);
            AppendUnit(out, unit);
        }
    } else if (value.form == Form::Narrow) {
        for (unsigned char byte : value.data) AppendUnit(out, byte);
    } else {
        for (unsigned char byte : value.data) {
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 15]);
        }
    }
    out.push_back('"');
}

void AppendKey(std::string& out, const Key& key, const std::string& path) {
    out += "key ";
    AppendQuoted(out, path);
    out += '\n';
    for (const Value& value : key.values) {
        out += "value ";
        AppendQuoted(out, value.name);
        out += ' ' + std::to_string(value.type) + ' ' + static_cast<char>(value.form) + ' ';
        AppendData(out, value);
        out += '\n';
    }
    for (const auto& [folded, subkey] : key.subkeys) AppendKey(out, subkey, path + '\\' + subkey.name);
}

// Reads one line's fields from left to right.
class Cursor {
public:
    explicit Cursor(std::string_view line) : m_rest(line) {}

    bool Word(std::string_view word) {
        if (m_rest.substr(0, word.size()) != word || (m_rest.size() > word.size() && m_rest[word.size()] != ' '))
            return false;
        m_rest.remove_prefix(word.size());
        return Space();
    }
    bool Number(DWORD& number) {
        auto [end, error] = std::from_chars(m_rest.data(), m_rest.data() + m_rest.size(), number);
        if (error != std::errc() || end == m_rest.data()) return false;
        m_rest.remove_prefix(static_cast<size_t>(end - m_rest.data()));
        return Space();
    }
    bool FormLetter(Form& form) {
        if (m_rest.empty() || (m_rest[0] != 'a' && m_rest[0] != 'w' && m_rest[0] != 'b')) return false;
        form = static_cast<Form>(m_rest[0]);
        m_rest.remove_prefix(1);
        return Space();
    }
    // A quoted field; each unit is handed to `put`, which says whether it fits.
    template <class Put>
    bool Quoted(Put put) {
        if (m_rest.empty() || m_rest[0] != '"') return false;
        size_t i = 1;
        for (; i < m_rest.size() && m_rest[i] != '"'; ++i) {
            uint32_t unit = static_cast<unsigned char>(m_rest[i]);
            if (unit == '%') {
                const size_t end = m_rest.find(';', i);
                if (end == std::string_view::npos) return false;
                auto [stop, error] = std::from_chars(m_rest.data() + i + 1, m_rest.data() + end, unit, 16);
                if (error != std::errc() || stop != m_rest.data() + end || end == i + 1) return false;
                i = end;
            } else if (unit < 0x20 || unit > 0x7E) {
                return false;
            }
            if (!put(unit)) return false;
        }
        if (i >= m_rest.size()) return false;
        m_rest.remove_prefix(i + 1);
        return Space();
    }
    bool Bytes(std::string& out) {
        return Quoted([&](uint32_t unit) {
            out.push_back(static_cast<char>(unit));
            return unit <= 0xFF;
        });
    }
    bool AtEnd() const { return m_rest.empty(); }

private:
    // Fields are separated by single blanks; none may trail.
    bool Space() {
        if (m_rest.empty()) return true;
        if (m_rest[0] != ' ') return false;
        m_rest.remove_prefix(1);
        return !m_rest.empty();
    }
    std::string_view m_rest;
};

bool ParseHex(std::string_view hex, std::string& out) {
    if (hex.size() % 2 != 0) return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        unsigned byte;
        auto [end, error] = std::from_chars(hex.data() + i, hex.data() + i + 2, byte, 16);
        if (error != std::errc() || end != hex.data() + i + 2) return false;
        out.push_back(static_cast<char>(byte));
    }
    return true;
}

bool ParseData(Cursor& cursor, Value& value) {
    if (value.form == Form::Wide) {
        return cursor.Quoted([&](uint32_t unit) {
            const WCHAR wide = static_cast<WCHAR>(unit);
            value.data.append(reinterpret_cast<const char*>(&wide), sizeof wide);
            return true;
        });
    }
    std::string bytes;
    if (!cursor.Bytes(bytes)) return false;
    if (value.form == Form::Narrow) {
        value.data = std::move(bytes);
        return true;
    }
    return ParseHex(bytes, value.data);
}

// Follows (creating as needed) the key named by a full path such as "HKEY_CLASSES_ROOT\CLSID".
Key* KeyForPath(Tree& tree, const std::string& path) {
    const size_t slash = path.find('\\');
    const std::string rootName = path.substr(0, slash);
    Key* key = nullptr;
    for (int r = 0; r < kRootCount; ++r)
        if (rootName == kRootNames[r]) key = &tree.roots[r];
    if (!key || slash == std::string::npos) return key;
    size_t start = slash + 1;
    for (;;) {
        const size_t end = path.find('\\', start);
        const std::string name = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (name.empty()) return nullptr;
        Key& next = key->subkeys[Fold(name)];
        if (next.name.empty()) next.name = name;
        key = &next;
        if (end == std::string::npos) return key;
        start = end + 1;
    }
}

}  // namespace

std::string FormatTree(const Tree& tree) {
    std::string out(kHeader);
    out += '\n';
    for (int r = 0; r < kRootCount; ++r) AppendKey(out, tree.roots[r], kRootNames[r]);
    return out;
}

bool ParseTree(std::string_view text, Tree& tree) {
    tree = Tree{};
    Key* current = nullptr;
    bool first = true;
    while (!text.empty()) {
        const size_t newline = text.find('\n');
        if (newline == std::string_view::npos) return false;  // every line ends with a newline
        const std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline + 1);
        if (first) {
            if (line != kHeader) return false;
            first = false;
            continue;
        }
        Cursor cursor(line);
        if (cursor.Word("key")) {
            std::string path;
            if (!cursor.Bytes(path) || !cursor.AtEnd() || !(current = KeyForPath(tree, path))) return false;
        } else if (cursor.Word("value")) {
            Value value;
            if (!current || !cursor.Bytes(value.name) || !cursor.Number(value.type) || !cursor.FormLetter(value.form) ||
                !ParseData(cursor, value) || !cursor.AtEnd() || FindValue(*current, value.name))
                return false;
            current->values.push_back(std::move(value));
        } else {
            return false;
        }
    }
    return !first;
}

}  // namespace mx::reg
