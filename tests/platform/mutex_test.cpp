// Mutexes: names visible across processes, gone with their last holder.
#include "win32.h"
#include "win32_linux.h"

#include "child_process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

namespace {

constexpr DWORD kSentinel = 0xdeadbeef;
using platform_test::Child;
using platform_test::StartChild;
using platform_test::WaitChild;

// A name no other test run uses.
std::string UniqueName(const char* what) { return std::string("com.example.test.") + what + "." + std::to_string(getpid()); }

int Probe(const std::string& name) {
    Child child = StartChild({"mutex-probe", name});
    return WaitChild(child);
}

TEST(Mutex, NameExistsWhileAHandleIsOpen) {
    const std::string name = UniqueName("in-process");
    SetLastError(kSentinel);
    EXPECT_EQ(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    SetLastError(kSentinel);
    HANDLE first = CreateMutexA(nullptr, FALSE, name.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    SetLastError(kSentinel);
    HANDLE second = CreateMutexA(nullptr, FALSE, name.c_str());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    const std::wstring wideName(name.begin(), name.end());
    HANDLE opened = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, wideName.c_str());
    EXPECT_NE(opened, nullptr);
    EXPECT_EQ(Probe(name), 0);  // and another process sees it

    CloseHandle(first);
    CloseHandle(second);
    EXPECT_EQ(Probe(name), 0);  // one handle still holds it
    CloseHandle(opened);
    EXPECT_EQ(Probe(name), 1);
    SetLastError(kSentinel);
    EXPECT_EQ(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    // A name already used by an event is not a mutex.
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, name.c_str());
    SetLastError(kSentinel);
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    CloseHandle(event);
}

TEST(Mutex, NameHeldByAnotherProcessGoesWhenItEnds) {
    const std::string name = UniqueName("other-process");
    Child holder = StartChild({"mutex-hold", name}, {}, true);
    EXPECT_EQ(platform_test::ReadLine(holder), "0");  // created anew over there

    HANDLE opened = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str());
    EXPECT_NE(opened, nullptr);
    CloseHandle(opened);
    SetLastError(kSentinel);
    HANDLE created = CreateMutexA(nullptr, FALSE, name.c_str());
    EXPECT_NE(created, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(created);

    kill(holder.pid, SIGKILL);  // no chance to clean up: the system must drop the name
    EXPECT_EQ(WaitChild(holder), -1);
    SetLastError(kSentinel);
    EXPECT_EQ(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    SetLastError(kSentinel);
    created = CreateMutexA(nullptr, FALSE, name.c_str());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    CloseHandle(created);
}

TEST(Mutex, OwnershipIsRecursiveAndOnlyTheOwnerReleases) {
    HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);  // owner again: count 2
    auto fromOtherThread = [&](LPTHREAD_START_ROUTINE routine) {
        HANDLE thread = CreateThread(nullptr, 0, routine, mutex, 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
        DWORD code = 0;
        GetExitCodeThread(thread, &code);
        CloseHandle(thread);
        return code;
    };
    const LPTHREAD_START_ROUTINE tryTake = [](LPVOID m) -> DWORD {
        const DWORD result = WaitForSingleObject(m, 0);
        if (result == WAIT_OBJECT_0) ReleaseMutex(m);
        return result;
    };
    const LPTHREAD_START_ROUTINE tryRelease = [](LPVOID m) -> DWORD {
        SetLastError(kSentinel);
        return ReleaseMutex(m) ? 0 : GetLastError();
    };
    EXPECT_EQ(fromOtherThread(tryTake), WAIT_TIMEOUT);
    EXPECT_EQ(fromOtherThread(tryRelease), static_cast<DWORD>(ERROR_NOT_OWNER));
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_EQ(fromOtherThread(tryTake), WAIT_TIMEOUT);  // still held once
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_EQ(fromOtherThread(tryTake), WAIT_OBJECT_0);
    SetLastError(kSentinel);
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
    CloseHandle(mutex);
}

}  // namespace
