#include "distribution.h"

#include <algorithm>

namespace session {

Distribution Summarise(std::vector<int64_t> values) {
    Distribution d;
    if (values.empty()) return d;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    d.count = n;
    d.min = values.front();
    d.max = values.back();
    d.median = values[(n - 1) / 2];
    // Nearest rank: ceil(0.99 n), counted from 1.
    const size_t rank = (99 * n + 99) / 100;
    d.p99 = values[(rank == 0 ? 1 : rank) - 1];
    double sum = 0;
    for (int64_t v : values) sum += static_cast<double>(v);
    d.mean = sum / static_cast<double>(n);
    return d;
}

}  // namespace session
