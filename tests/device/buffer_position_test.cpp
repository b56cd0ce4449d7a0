#include <gtest/gtest.h>

#include <cstdint>

#include "device/buffer_position.h"

namespace {

TEST(BufferPositionTables, Values) {
    static const int32_t kSafety[] = {1, 1, 1, 1, 2, 3, 3, 4, 5, 10};
    static const int32_t kClamp[] = {2, 3, 3, 4, 4, 4, 4, 4, 5, 7};
    static const int32_t kExtra[] = {0, 1, 1, 1, 1, 0, 0, 0, 0, 0};
    static const int32_t kLow[] = {1, 1, 1, 1, 1, 0, 0, 0, 0, 0};
    for (int p = 0; p < device::kBufferPositions; ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(device::LAT_SAFETY_MS[p], kSafety[p]);
        EXPECT_EQ(device::LAT_CLAMP_MUL[p], kClamp[p]);
        EXPECT_EQ(device::LAT_EXTRA_FLAG[p], kExtra[p]);
        EXPECT_EQ(device::LOW_LATENCY_BY_POS[p], kLow[p]);
        for (int band = 1; band < 4; ++band)
            EXPECT_EQ(device::BUFSIZE_BY_RATE[band][p], 2 * device::BUFSIZE_BY_RATE[band - 1][p]) << "band " << band;
    }
    EXPECT_EQ(device::BUFSIZE_BY_RATE[3][9], 16384);
}

TEST(ComputeBufferSize, BandsEdgesAndHighRates) {
    struct Case {
        int32_t position;
        uint32_t rate;
        int32_t frames;
    };
    static const Case kCases[] = {
        {5, 44100, 256},   {5, 96000, 512},    {5, 176400, 1024},  {5, 352800, 2048},
        {0, 48000, 48},    {0, 48001, 96},     {9, 48000, 2048},   {9, 48001, 4096},
        {3, 96000, 192},   {3, 96001, 384},    {9, 192000, 8192},  {9, 192001, 16384},
        {9, 384000, 16384}, {0, 0, 48},
        // Above 384000 Hz: 3.4 ms rounded up to a frame, then to a multiple of 16.
        {0, 384001, 1312}, {9, 384001, 1312},  {5, 768000, 2624},  {5, 400000, 1360},
        {5, 0xFFFFFFFFu, 14602896},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << "position " << c.position << ", rate " << c.rate);
        EXPECT_EQ(device::ComputeBufferSize(c.position, c.rate), c.frames);
    }
}

TEST(ComputeBufferSize, PositionsZeroAndOneAgreeUpTo384k) {
    for (uint32_t rate = 1000; rate <= 384000; rate += 1000)
        EXPECT_EQ(device::ComputeBufferSize(0, rate), device::ComputeBufferSize(1, rate)) << rate;
}

TEST(ComputeBufferSize, PositionOutsideTheTablesReadsNothingOutside) {
    static const int32_t kBad[] = {-1, 10, 1000, INT32_MIN, INT32_MAX};
    for (int32_t position : kBad) {
        SCOPED_TRACE(position);
        EXPECT_EQ(device::TablePosition(position), 5);
        EXPECT_EQ(device::ComputeBufferSize(position, 44100), 256);
    }
}

}  // namespace
