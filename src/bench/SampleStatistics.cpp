#include "bench/SampleStatistics.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tolvane {

SampleStatistics::SampleStatistics(std::size_t expectedCount)
{
    values.reserve(expectedCount);
}

void SampleStatistics::add(double value)
{
    values.push_back(value);
}

double SampleStatistics::percentile(double p) const
{
    if (values.empty())
        return 0.0;
    std::vector<double> sorted(values);
    std::sort(sorted.begin(), sorted.end());
    const double rank = std::clamp(p, 0.0, 100.0) / 100.0 * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(rank));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    const double weight = rank - static_cast<double>(below);
    return sorted[below] + (sorted[above] - sorted[below]) * weight;
}

double SampleStatistics::mean() const
{
    if (values.empty())
        return 0.0;
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

}  // namespace tolvane
