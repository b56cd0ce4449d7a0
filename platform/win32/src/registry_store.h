// The registry store: a tree of keys per root, kept in memory or in a text file
// shared by processes.
#pragma once

#include "kernel.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace mx::reg {

// How a value's data was written, which decides how the other width reads it.
enum class Form : char {
    Narrow = 'a',  // a string written through an A function: UTF-8 bytes
    Wide = 'w',    // a string written through a W function: wchar_t units
    Bytes = 'b',   // anything else: read back byte for byte by both widths
};

struct Value {
    std::string name;  // UTF-8, case preserved; "" is the default value
    DWORD type = REG_NONE;
    Form form = Form::Bytes;
    std::string data;  // the bytes as written
};

struct Key {
    std::string name;                  // UTF-8, case preserved
    std::map<std::string, Key> subkeys;  // by folded name: enumeration is in case-insensitive order
    std::vector<Value> values;         // in the order they were first written
};

enum Root { kClassesRoot, kCurrentUser, kLocalMachine, kRootCount };
extern const char* const kRootNames[kRootCount];

struct Tree {
    Key roots[kRootCount];
};

// Names compare without regard to ASCII case.
std::string Fold(std::string_view name);

// A key as a root and the folded names below it.
struct KeyPath {
    Root root = kClassesRoot;
    std::vector<std::string> names;
};

Key* FindKey(Tree& tree, const KeyPath& path);
const Key* FindKey(const Tree& tree, const KeyPath& path);
Value* FindValue(Key& key, std::string_view name);
const Value* FindValue(const Key& key, std::string_view name);

// Text form of a tree (the file format is described in registry_format.cpp).
std::string FormatTree(const Tree& tree);
bool ParseTree(std::string_view text, Tree& tree);  // false: the text is damaged

// Runs `read` on the current contents. Returns the Windows error of the store
// (ERROR_REGISTRY_CORRUPT for a damaged file) or the result of `read`.
LONG ReadStore(const std::function<LONG(const Tree&)>& read);
// What a change returns when it succeeded without changing anything (nothing is written).
constexpr LONG kUnchanged = -1;

// Runs `change` on the current contents and keeps the result when it returns
// ERROR_SUCCESS; a change that fails must leave the tree as it found it. With a file store, the change is atomic with respect to every
// other process using the file.
LONG ChangeStore(const std::function<LONG(Tree&)>& change);

// The operations behind the A and W entry points (registry_api.cpp); names are UTF-8.
LONG OpenKey(HKEY key, const char* subKey, PHKEY result);
LONG CreateKey(HKEY key, const char* subKey, PHKEY result, LPDWORD disposition);
LONG SetValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size, bool wide);
LONG QueryValue(HKEY key, const char* name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size, bool wide);
LONG EnumKey(HKEY key, DWORD index, std::string& name);
LONG DeleteKey(HKEY key, const char* subKey);
LONG DeleteValue(HKEY key, const char* name);
LONG CloseKey(HKEY key);

}  // namespace mx::reg
