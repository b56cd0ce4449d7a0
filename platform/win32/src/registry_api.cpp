// The registry functions over the store. Names are UTF-8 inside; the W forms
// convert at the edge. Key and value names are case-insensitive (ASCII) and
// case-preserving. Access masks and the WOW64 view flags are accepted and not
// checked: there is one view and no security.
//
// REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ data are kept as written together with
// the width that wrote them; the other width reads them converted (UTF-8 <->
// wchar_t), so an A read of a W-written string works and vice versa. Every other
// type is read back byte for byte.
#include "registry_store.h"

#include <cstring>

namespace mx::reg {
namespace {

class RegistryKey final : public Object {
public:
    explicit RegistryKey(KeyPath path) : Object(ObjectType::RegistryKey), m_path(std::move(path)) {}
    const KeyPath m_path;
};

bool IsRoot(HKEY key, Root& root) {
    if (key == HKEY_CLASSES_ROOT) root = kClassesRoot;
    else if (key == HKEY_CURRENT_USER) root = kCurrentUser;
    else if (key == HKEY_LOCAL_MACHINE) root = kLocalMachine;
    else return false;
    return true;
}

// The path of an open key: a root or a key handle.
bool PathOfHandle(HKEY key, KeyPath& path) {
    Root root;
    if (IsRoot(key, root)) {
        path = KeyPath{root, {}};
        return true;
    }
    std::shared_ptr<RegistryKey> object = Lookup<RegistryKey>(key, ObjectType::RegistryKey);
    if (!object) return false;
    path = object->m_path;
    return true;
}

// The components of a relative key path, case preserved ("a\\b\\" -> "a", "b").
std::vector<std::string> SplitSubKey(const char* subKey) {
    std::vector<std::string> names;
    for (const char* p = subKey ? subKey : ""; *p;) {
        const char* end = std::strchr(p, '\\');
        if (!end) end = p + std::strlen(p);
        if (end != p) names.emplace_back(p, end);
        p = *end ? end + 1 : end;
    }
    return names;
}

KeyPath Append(KeyPath path, const std::vector<std::string>& names) {
    for (const std::string& name : names) path.names.push_back(Fold(name));
    return path;
}

LONG NewKeyHandle(const KeyPath& path, PHKEY result) {
    *result = static_cast<HKEY>(InsertHandle(std::make_shared<RegistryKey>(path)));
    return *result ? ERROR_SUCCESS : ERROR_NOT_ENOUGH_MEMORY;
}

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// A value's data as a reader of the given width sees it.
std::string DataForReader(const Value& value, bool wide) {
    if (wide && value.form == Form::Narrow) {
        const std::wstring text = WideFromNarrow(value.data.data(), value.data.size());
        return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(WCHAR));
    }
    if (!wide && value.form == Form::Wide) {
        std::wstring text(value.data.size() / sizeof(WCHAR), L'\0');
        std::memcpy(text.data(), value.data.data(), text.size() * sizeof(WCHAR));
        return NarrowFromWide(text.data(), text.size());
    }
    return value.data;
}

}  // namespace

LONG OpenKey(HKEY key, const char* subKey, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    KeyPath base;
    if (!PathOfHandle(key, base)) return ERROR_INVALID_HANDLE;
    const KeyPath path = Append(base, SplitSubKey(subKey));
    const LONG error = ReadStore([&](const Tree& tree) -> LONG {
        if (!FindKey(tree, base)) return ERROR_KEY_DELETED;
        return FindKey(tree, path) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
    return error ? error : NewKeyHandle(path, result);
}

LONG CreateKey(HKEY key, const char* subKey, PHKEY result, LPDWORD disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    KeyPath base;
    if (!PathOfHandle(key, base)) return ERROR_INVALID_HANDLE;
    const std::vector<std::string> names = SplitSubKey(subKey);
    DWORD outcome = REG_OPENED_EXISTING_KEY;
    const LONG error = ChangeStore([&](Tree& tree) -> LONG {
        Key* parent = FindKey(tree, base);
        if (!parent) return ERROR_KEY_DELETED;
        outcome = REG_OPENED_EXISTING_KEY;
        for (const std::string& name : names) {
            auto [entry, created] = parent->subkeys.try_emplace(Fold(name));
            if (created) {
                entry->second.name = name;
                outcome = REG_CREATED_NEW_KEY;
            }
            parent = &entry->second;
        }
        return outcome == REG_CREATED_NEW_KEY ? ERROR_SUCCESS : kUnchanged;
    });
    if (error) return error;
    if (disposition) *disposition = outcome;
    return NewKeyHandle(Append(base, names), result);
}

LONG SetValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size, bool wide) {
    if (!data && size != 0) return ERROR_NOACCESS;
    KeyPath path;
    if (!PathOfHandle(key, path)) return ERROR_INVALID_HANDLE;
    Value written{name ? name : "", type, Form::Bytes, std::string(reinterpret_cast<const char*>(data), data ? size : 0)};
    if (IsStringType(type)) written.form = !wide ? Form::Narrow : size % sizeof(WCHAR) == 0 ? Form::Wide : Form::Bytes;
    return ChangeStore([&](Tree& tree) -> LONG {
        Key* target = FindKey(tree, path);
        if (!target) return ERROR_KEY_DELETED;
        if (Value* existing = FindValue(*target, written.name)) {
            written.name = existing->name;  // the first spelling of a name stays
            *existing = written;
        } else {
            target->values.push_back(written);
        }
        return ERROR_SUCCESS;
    });
}

LONG QueryValue(HKEY key, const char* name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size, bool wide) {
    if (reserved || (data && !size)) return ERROR_INVALID_PARAMETER;
    KeyPath path;
    if (!PathOfHandle(key, path)) return ERROR_INVALID_HANDLE;
    std::string bytes;
    DWORD valueType = REG_NONE;
    const LONG error = ReadStore([&](const Tree& tree) -> LONG {
        const Key* target = FindKey(tree, path);
        if (!target) return ERROR_KEY_DELETED;
        const Value* value = FindValue(*target, name ? name : "");
        if (!value) return ERROR_FILE_NOT_FOUND;
        bytes = DataForReader(*value, wide);
        valueType = value->type;
        return ERROR_SUCCESS;
    });
    if (error) return error;
    if (type) *type = valueType;
    const DWORD needed = static_cast<DWORD>(bytes.size());
    if (!data) {
        if (size) *size = needed;
        return ERROR_SUCCESS;
    }
    const DWORD room = *size;
    *size = needed;
    if (room < needed) return ERROR_MORE_DATA;
    std::memcpy(data, bytes.data(), needed);
    return ERROR_SUCCESS;
}

// The name of the index-th subkey in case-insensitive order.
LONG EnumKey(HKEY key, DWORD index, std::string& name) {
    KeyPath path;
    if (!PathOfHandle(key, path)) return ERROR_INVALID_HANDLE;
    return ReadStore([&](const Tree& tree) -> LONG {
        const Key* parent = FindKey(tree, path);
        if (!parent) return ERROR_KEY_DELETED;
        if (index >= parent->subkeys.size()) return ERROR_NO_MORE_ITEMS;
        name = std::next(parent->subkeys.begin(), index)->second.name;
        return ERROR_SUCCESS;
    });
}

LONG DeleteKey(HKEY key, const char* subKey) {
    if (!subKey) return ERROR_INVALID_PARAMETER;
    KeyPath base;
    if (!PathOfHandle(key, base)) return ERROR_INVALID_HANDLE;
    KeyPath parentPath = Append(base, SplitSubKey(subKey));
    if (parentPath.names.empty()) return ERROR_ACCESS_DENIED;  // a root cannot be deleted
    const std::string last = parentPath.names.back();
    parentPath.names.pop_back();
    return ChangeStore([&](Tree& tree) -> LONG {
        if (!FindKey(tree, base)) return ERROR_KEY_DELETED;
        Key* parent = FindKey(tree, parentPath);
        if (!parent) return ERROR_FILE_NOT_FOUND;
        auto found = parent->subkeys.find(last);
        if (found == parent->subkeys.end()) return ERROR_FILE_NOT_FOUND;
        if (!found->second.subkeys.empty()) return ERROR_ACCESS_DENIED;  // Windows deletes no trees here
        parent->subkeys.erase(found);
        return ERROR_SUCCESS;
    });
}

LONG DeleteValue(HKEY key, const char* name) {
    KeyPath path;
    if (!PathOfHandle(key, path)) return ERROR_INVALID_HANDLE;
    const std::string folded = Fold(name ? name : "");
    return ChangeStore([&](Tree& tree) -> LONG {
        Key* target = FindKey(tree, path);
        if (!target) return ERROR_KEY_DELETED;
        const auto erased =
            std::erase_if(target->values, [&](const Value& value) { return Fold(value.name) == folded; });
        return erased ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LONG CloseKey(HKEY key) {
    Root root;
    if (IsRoot(key, root)) return ERROR_SUCCESS;
    return RemoveHandle(key, {ObjectType::RegistryKey}) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace mx::reg
