// A driver object streaming through a virtual unit in stepped mode, set up for
// benchmarks: the unit completes a period only when told to and signals no
// period event, so nothing runs on the driver's streaming thread unless the
// benchmark wakes it, and the benchmark thread can call the period path itself.
#pragma once

#include <cstdint>
#include <memory>

#include "asio/iasio.h"
#include "asio_ours.h"
#include "virtual_unit/virtual_unit.h"

namespace bench {

struct StreamShape {
    uint32_t channels = 2;  // per direction: this many inputs and this many outputs
    int32_t frames = 256;   // per period
    uint32_t width = 4;     // bytes per sample
    uint64_t PeriodBytes() const { return uint64_t{channels} * 2 * static_cast<uint64_t>(frames) * width; }
};

class BenchDriver {
public:
    BenchDriver() = default;
    ~BenchDriver();
    BenchDriver(const BenchDriver&) = delete;
    BenchDriver& operator=(const BenchDriver&) = delete;

    // Creates the unit and the driver object and starts a stream of `shape`
    // with `callbacks` (the same steps as start, through the device set: units
    // cleared, output pre-roll of one period, inputs rewound, units started
    // without a period event). False when any step fails.
    bool Open(const StreamShape& shape, ASIOCallbacks* callbacks);
    void Close();

    AsioOurs* Driver() const { return m_driver; }
    vu::VirtualUnit& Unit() { return *m_unit; }
    // The unit completes one period (its input written, its output taken).
    bool Step();
    // The driver's period event, which its streaming thread waits on.
    HANDLE PeriodEvent() const;
    // Waits until the driver has written its output for every period stepped so
    // far, so that the next step does not overlap its work.
    bool WaitUntilCaughtUp(uint32_t timeoutMs);

private:
    std::unique_ptr<vu::VirtualUnit> m_unit;
    std::unique_ptr<vu::ScopedInstall> m_install;
    AsioOurs* m_driver = nullptr;
    uint64_t m_cursorBase = 0;
    uint64_t m_ringLen = 0;
    uint64_t m_periodBytes = 0;
    uint64_t m_stepped = 0;
};

}  // namespace bench
