// Median, 99th percentile, maximum and mean of a set of measurements.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace session {

struct Distribution {
    size_t count = 0;
    int64_t median = 0;
    int64_t p99 = 0;  // the smallest value at or above 99 % of the values
    int64_t max = 0;
    int64_t min = 0;
    double mean = 0;
};

// Summarises `values` (taken by value: it is sorted). All zero when empty.
Distribution Summarise(std::vector<int64_t> values);

}  // namespace session
