// Mutexes. A named mutex is visible to other processes and disappears when the
// last process holding a handle to it ends.
//
// Each name has a file in a runtime folder ($XDG_RUNTIME_DIR/mxplatform-mutexes,
// else /tmp/mxplatform-mutexes-<uid>). A process holding the mutex keeps a shared
// flock on its own open description of that file; the name exists while anyone
// holds such a lock, which is exactly when a non-blocking exclusive lock fails. The
// kernel drops the locks of a process that ends, however it ends. Creating and
// opening take an exclusive lock on a second file ("<name>.guard") around the test,
// so two processes creating one name at once cannot both see it as new. The files
// themselves stay behind; an unlocked file means nothing.
//
// Ownership (WaitForSingleObject, ReleaseMutex) works between the threads of one
// process only; another process's ownership is not seen, and a mutex whose owner
// thread ends is not marked abandoned. The settings program needs only existence.
#include "kernel.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mx {
namespace {

class Mutex final : public WaitableObject {
public:
    explicit Mutex(int fd) : WaitableObject(ObjectType::Mutex), m_fd(fd) {}
    ~Mutex() override {
        if (m_fd >= 0) close(m_fd);  // drops this process's hold on the name
    }
    bool IsSignalled(DWORD threadId) const override { return m_count == 0 || m_owner == threadId; }
    void Consume(DWORD threadId) override {
        m_owner = threadId;
        ++m_count;
    }

    const int m_fd;
    DWORD m_owner = 0;  // guarded by KernelLock()
    DWORD m_count = 0;
};

std::string MutexDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string dir = runtime && *runtime ? std::string(runtime) + "/mxplatform-mutexes"
                                                : "/tmp/mxplatform-mutexes-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);  // usually exists already; a real failure shows at open()
    return dir;
}

// A file name for any mutex name: letters, digits, '.', '-' and '_' as they are,
// every other byte as %XX.
std::string FileName(const std::string& name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string file;
    for (unsigned char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                           c == '-' || c == '_';
        if (plain && !(file.empty() && c == '.')) {
            file.push_back(static_cast<char>(c));
        } else {
            file += {'%', kHex[c >> 4], kHex[c & 15]};
        }
    }
    return file;
}

void LockRetrying(int fd, int operation) {
    while (flock(fd, operation) != 0 && errno == EINTR) {
    }
}

// A description of the name's file holding a shared lock, or -1 with the last error
// set. `existed` tells whether another description held the name already.
int HoldName(const std::string& name, bool create, bool& existed) {
    const std::string base = MutexDirectory() + "/" + FileName(name);
    const int guard = open((base + ".guard").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (guard < 0) {
        SetLastError(ErrorFromErrno(errno));
        return -1;
    }
    LockRetrying(guard, LOCK_EX);
    int fd = open(base.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0600);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        existed = flock(fd, LOCK_EX | LOCK_NB) != 0;
        if (existed || create) {
            LockRetrying(fd, LOCK_SH);  // converts our exclusive lock, or joins the holders
        } else {
            close(fd);  // nobody holds it: the name does not exist
            fd = -1;
            error = ENOENT;
        }
    }
    close(guard);
    if (fd < 0) SetLastError(ErrorFromErrno(error));
    return fd;
}

HANDLE CreateMutexNamed(BOOL initialOwner, const std::string* name) {
    std::lock_guard<std::mutex> names(NamespaceLock());
    bool existed = false;
    std::shared_ptr<Mutex> mutex;
    if (name) {
        if (std::shared_ptr<Object> existing = FindNamed(*name)) {
            if (existing->Type() != ObjectType::Mutex) {
                SetLastError(ERROR_INVALID_HANDLE);
                return nullptr;
            }
            mutex = std::static_pointer_cast<Mutex>(existing);
            existed = true;
        } else {
            const int fd = HoldName(*name, true, existed);
            if (fd < 0) return nullptr;
            mutex = std::make_shared<Mutex>(fd);
            AddNamed(*name, mutex);
        }
    } else {
        mutex = std::make_shared<Mutex>(-1);
    }
    HANDLE handle = InsertHandle(mutex);
    if (!handle) return nullptr;
    if (initialOwner && !existed) WaitForSingleObject(handle, 0);  // new and unowned: taken at once
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

HANDLE OpenMutexNamed(const std::string& name) {
    std::lock_guard<std::mutex> names(NamespaceLock());
    std::shared_ptr<Object> existing = FindNamed(name);
    if (existing && existing->Type() != ObjectType::Mutex) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!existing) {
        bool existed = false;
        const int fd = HoldName(name, false, existed);
        if (fd < 0) return nullptr;
        existing = std::make_shared<Mutex>(fd);
        AddNamed(name, existing);
    }
    return InsertHandle(existing);
}

}  // namespace
}  // namespace mx

// Windows: creates a mutex, or opens the existing one of that name anywhere on the
// system (then GetLastError() is ERROR_ALREADY_EXISTS, otherwise 0).
HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name) {
    if (!name || !*name) return mx::CreateMutexNamed(initialOwner, nullptr);
    const std::string key(name);
    return mx::CreateMutexNamed(initialOwner, &key);
}

// Windows: wide form of CreateMutexA.
HANDLE WINAPI CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCWSTR name) {
    if (!name || !*name) return mx::CreateMutexNamed(initialOwner, nullptr);
    const std::string key = mx::NarrowFromWide(name);
    return mx::CreateMutexNamed(initialOwner, &key);
}

// Windows: opens an existing named mutex; NULL with ERROR_FILE_NOT_FOUND if no
// process holds one of that name.
HANDLE WINAPI OpenMutexA(DWORD, BOOL, LPCSTR name) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return mx::OpenMutexNamed(name);
}

// Windows: wide form of OpenMutexA.
HANDLE WINAPI OpenMutexW(DWORD, BOOL, LPCWSTR name) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return mx::OpenMutexNamed(mx::NarrowFromWide(name));
}

// Windows: gives up one level of ownership; ERROR_NOT_OWNER for a thread that does
// not own the mutex.
BOOL WINAPI ReleaseMutex(HANDLE h) {
    std::shared_ptr<mx::Mutex> mutex = mx::Lookup<mx::Mutex>(h, mx::ObjectType::Mutex);
    if (!mutex) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(mx::KernelLock());
    if (mutex->m_count == 0 || mutex->m_owner != mx::CurrentThreadId()) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    if (--mutex->m_count == 0) {
        mutex->m_owner = 0;
        mutex->WakeWaiters();
    }
    return TRUE;
}
