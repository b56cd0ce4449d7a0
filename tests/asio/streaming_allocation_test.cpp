// Nothing is allocated on the streaming thread while it streams. This program
// replaces the global allocation functions with counting ones; an allocation is
// counted when it is made on the driver object's streaming thread while a
// window is open. The virtual unit stands in for the kernel driver, so what it
// allocates while it answers a request is not the driver's and is left out.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "asio_test_support.h"
#include "host_harness.h"

namespace {

std::atomic<DWORD> g_watchedThread{0};
std::atomic<long> g_allocations{0};
thread_local bool t_inKernel = false;

void Count() {
    const DWORD watched = g_watchedThread.load(std::memory_order_relaxed);
    if (watched != 0 && !t_inKernel && GetCurrentThreadId() == watched)
        g_allocations.fetch_add(1, std::memory_order_relaxed);
}

void* Allocate(std::size_t size) {
    Count();
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

// The virtual unit behind the device port, with its own allocations marked.
class KernelModel final : public IKernelDriverModel {
public:
    explicit KernelModel(vu::VirtualUnit& unit) : m_unit(unit) {}
    HANDLE Open(LPCWSTR path, DWORD access, DWORD share, DWORD creation, DWORD flags) override {
        Mark mark;
        return m_unit.Open(path, access, share, creation, flags);
    }
    BOOL Control(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, LPDWORD returned,
                 LPOVERLAPPED overlapped) override {
        Mark mark;
        return m_unit.Control(device, code, in, inSize, out, outSize, returned, overlapped);
    }
    BOOL Close(HANDLE device) override {
        Mark mark;
        return m_unit.Close(device);
    }

private:
    struct Mark {
        bool previous = t_inKernel;
        Mark() { t_inKernel = true; }
        ~Mark() { t_inKernel = previous; }
    };
    vu::VirtualUnit& m_unit;
};

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    Count();
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    Count();
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

TEST(StreamingAllocation, NoAllocationOnTheStreamingThreadWhileItStreams) {
    vu::VirtualUnit unit(asiotest::Units("1:source=ramp,in=8,out=8"));
    KernelModel model(unit);
    vu::ScopedInstall install(model);
    asiotest::HostHarness host(unit);
    host.Create();
    ASSERT_EQ(host.Query(), ASE_OK);
    ASSERT_EQ(host.CreateBuffers(64), ASE_OK);
    const DWORD thread = host.Driver()->m_devAll.m_thread.m_dwThreadId;
    ASSERT_NE(thread, 0u);
    ASSERT_EQ(host.Start(), ASE_OK);

    // The counter itself works: an allocation made on that thread is seen.
    // (Through a volatile pointer, which keeps the compiler from leaving the pair out.)
    g_watchedThread = GetCurrentThreadId();
    int* volatile probe = new int(1);
    delete probe;
    g_watchedThread = 0;
    EXPECT_EQ(g_allocations.exchange(0), 1);

    g_watchedThread = thread;
    // Single periods, a burst the thread has to catch up with, status messages
    // and periods past the ring's wrap.
    ASSERT_TRUE(host.Periods(70));
    const size_t calls = host.CallCount();
    ASSERT_EQ(unit.Step(1, 5), 5u);
    ASSERT_TRUE(host.WaitForCalls(calls + 2));
    {
        CCsLock stream(&host.Driver()->m_csStream);  // the burst's pass has ended
    }
    ASSERT_TRUE(unit.RaiseMessages(1, 2));
    ASSERT_TRUE(unit.WaitForRequests(IOCTL_GET_MESSAGES, 1, 10000));
    ASSERT_TRUE(host.Periods(10));
    g_watchedThread = 0;
    EXPECT_EQ(g_allocations.load(), 0);

    EXPECT_EQ(host.Stop(), ASE_OK);
    EXPECT_EQ(host.Dispose(), ASE_OK);
}

}  // namespace
