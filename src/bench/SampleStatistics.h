#pragma once

#include <cstddef>
#include <vector>

namespace tolvane {

// A series of measurements (any unit; the bench uses milliseconds) and the
// order statistics the bench reports. Adding is allocation-free up to the
// capacity reserved at construction.
class SampleStatistics {
public:
    explicit SampleStatistics(std::size_t expectedCount = 0);

    void add(double value);
    std::size_t count() const { return values.size(); }
    const std::vector<double>& samples() const { return values; }

    // The p-th percentile (p from 0 to 100) with linear interpolation between
    // the two nearest ranks; 0 for an empty series.
    double percentile(double p) const;
    double median() const { return percentile(50.0); }
    double mean() const;

private:
    std::vector<double> values;  // in the order they were added
};

}  // namespace tolvane
