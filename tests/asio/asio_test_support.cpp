#include "asio_test_support.h"

#include <cstring>

#include "driver_factory.h"

namespace asiotest {

CUnknown* DriverRef::CreateDriverObjectForTest() {
    HRESULT hr = S_OK;
    CUnknown* object = CreateDriverObject(nullptr, &hr);
    EXPECT_EQ(hr, S_OK);
    return object;
}

void Host::BufferSwitch(ASIOLong index, ASIOBool directProcess) {
    Host& host = Instance();
    EXPECT_EQ(directProcess, ASIOTrue);
    AsioOurs* drv = host.driver;
    uint64_t position = 0;
    uint64_t stamp = 0;
    std::vector<uint8_t> input;
    if (drv != nullptr) {
        ASIOSamples samples{};
        ASIOTimeStamp time{};
        EXPECT_EQ(drv->getSamplePosition(&samples, &time), ASE_OK);
        position = (uint64_t{samples.hi} << 32) | samples.lo;
        stamp = (uint64_t{time.hi} << 32) | time.lo;
        // The host's buffers: only the half named by `index` is the host's now.
        const uint32_t bytes = drv->m_devAll.m_nHalfBytes;
        const uint32_t ins = static_cast<uint32_t>(drv->m_devAll.m_nIns);
        const uint32_t outs = static_cast<uint32_t>(drv->m_devAll.m_nOuts);
        if (host.recordInput && ins > 0) {
            if (const uint8_t* half = HostHalf(drv, 0, static_cast<uint32_t>(index)))
                input.assign(half, half + bytes);
        }
        if (host.writeOutput) {
            const int call = static_cast<int>(host.Calls()) + 1;
            for (uint32_t k = 0; k < outs; ++k)
                if (uint8_t* half = HostHalf(drv, ins + k, static_cast<uint32_t>(index)))
                    std::memset(half, call & 0xFF, bytes);
        }
    }
    {
        std::lock_guard<std::mutex> lock(host.mutex);
        host.halves.push_back(index);
        host.positions.push_back(position);
        host.stamps.push_back(stamp);
        if (host.recordInput) host.inputs.push_back(std::move(input));
    }
    host.changed.notify_all();
}

ASIOLong Host::AsioMessage(ASIOLong selector, ASIOLong value, void* message, double* opt) {
    (void)selector;
    (void)value;
    (void)message;
    (void)opt;
    ++Instance().messages;
    return 0;
}

}  // namespace asiotest
