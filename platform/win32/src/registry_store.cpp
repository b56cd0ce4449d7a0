// The registry store of the process: in memory, or a text file that several
// processes share (MX_REGISTRY_FILE).
//
// A file store is re-read by every call, so each call sees the other processes'
// changes. A change takes an exclusive flock on a side lock file ("<file>.lock"),
// re-reads the file, applies the change, writes "<file>.tmp" and renames it over
// the file: readers see either the old or the new file, never a torn one, and two
// writers are serialised so neither loses the other's change. A file that does not
// parse is reported as ERROR_REGISTRY_CORRUPT and left exactly as it is.
#include "registry_store.h"
#include "win32_linux.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace mx::reg {

const char* const kRootNames[kRootCount] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};

std::string Fold(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

const Key* FindKey(const Tree& tree, const KeyPath& path) {
    const Key* key = &tree.roots[path.root];
    for (const std::string& name : path.names) {
        auto found = key->subkeys.find(name);
        if (found == key->subkeys.end()) return nullptr;
        key = &found->second;
    }
    return key;
}

Key* FindKey(Tree& tree, const KeyPath& path) {
    return const_cast<Key*>(FindKey(static_cast<const Tree&>(tree), path));
}

const Value* FindValue(const Key& key, std::string_view name) {
    const std::string folded = Fold(name);
    for (const Value& value : key.values)
        if (Fold(value.name) == folded) return &value;
    return nullptr;
}

Value* FindValue(Key& key, std::string_view name) {
    return const_cast<Value*>(FindValue(static_cast<const Key&>(key), name));
}

namespace {

struct Store {
    std::mutex lock;   // serialises the threads of this process
    Tree memory;       // the store when `file` is empty
    std::string file;  // guarded by `lock`
};

Store& TheStore() {
    static Store* store = [] {
        auto* s = new Store;
        if (const char* file = std::getenv("MX_REGISTRY_FILE"); file && *file) s->file = file;
        return s;
    }();
    return *store;
}

// The file's tree; a missing file is an empty registry.
LONG LoadFile(const std::string& path, Tree& tree) {
    tree = Tree{};
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? ERROR_SUCCESS : static_cast<LONG>(ErrorFromErrno(errno));
    std::string text;
    char buffer[8192];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))
        if (got > 0) text.append(buffer, static_cast<size_t>(got));
    const int readError = got < 0 ? errno : 0;
    close(fd);
    if (readError != 0) return static_cast<LONG>(ErrorFromErrno(readError));
    return ParseTree(text, tree) ? ERROR_SUCCESS : ERROR_REGISTRY_CORRUPT;
}

bool WriteAll(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// Replaces the file in one step. Called with the side lock held.
LONG SaveFile(const std::string& path, const Tree& tree) {
    const std::string temporary = path + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return static_cast<LONG>(ErrorFromErrno(errno));
    const bool written = WriteAll(fd, FormatTree(tree)) && fsync(fd) == 0;
    const int writeError = errno;
    if (close(fd) != 0 || !written) {
        unlink(temporary.c_str());
        return static_cast<LONG>(ErrorFromErrno(written ? errno : writeError));
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        const int renameError = errno;
        unlink(temporary.c_str());
        return static_cast<LONG>(ErrorFromErrno(renameError));
    }
    return ERROR_SUCCESS;
}

// The exclusive lock that every change of the file holds, across processes.
class FileLock {
public:
    explicit FileLock(const std::string& path) : m_fd(open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        while (m_fd >= 0 && flock(m_fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                m_error = errno;
                close(m_fd);
                m_fd = -1;
                return;
            }
        }
        if (m_fd < 0 && m_error == 0) m_error = errno;
    }
    ~FileLock() {
        if (m_fd >= 0) close(m_fd);  // releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    LONG Error() const { return m_fd >= 0 ? ERROR_SUCCESS : static_cast<LONG>(ErrorFromErrno(m_error)); }

private:
    int m_fd;
    int m_error = 0;
};

}  // namespace

LONG ReadStore(const std::function<LONG(const Tree&)>& read) {
    Store& store = TheStore();
    std::lock_guard<std::mutex> guard(store.lock);
    if (store.file.empty()) return read(store.memory);
    Tree tree;
    if (const LONG error = LoadFile(store.file, tree)) return error;
    return read(tree);
}

LONG ChangeStore(const std::function<LONG(Tree&)>& change) {
    Store& store = TheStore();
    std::lock_guard<std::mutex> guard(store.lock);
    if (store.file.empty()) {
        const LONG result = change(store.memory);
        return result == kUnchanged ? ERROR_SUCCESS : result;
    }
    FileLock lock(store.file);
    if (const LONG error = lock.Error()) return error;
    Tree tree;
    if (const LONG error = LoadFile(store.file, tree)) return error;
    const LONG result = change(tree);
    if (result == kUnchanged) return ERROR_SUCCESS;
    if (result != ERROR_SUCCESS) return result;
    return SaveFile(store.file, tree);
}

}  // namespace mx::reg

// Linux only: forgets every key of the in-memory registry.
void MxRegistryReset(void) {
    mx::reg::Store& store = mx::reg::TheStore();
    std::lock_guard<std::mutex> guard(store.lock);
    store.memory = mx::reg::Tree{};
}

// Linux only: makes the registry the file at `path`, or memory again for NULL.
void MxRegistryUseFile(const char* path) {
    mx::reg::Store& store = mx::reg::TheStore();
    std::lock_guard<std::mutex> guard(store.lock);
    store.file = path ? path : "";
}
