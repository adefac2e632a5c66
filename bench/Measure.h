// Measure: medians and the one-line report every figure of the benchmark prints.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace brindlewick::bench {

inline double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// "<figure>  <ours> <unit>  <baseline name> <baseline> <unit>  <note>  1.23x"; the ratio is
// ours over the baseline, so lower is better and 1.00x means no cost above the baseline.
inline void Report(const std::string& figure, double ours, const std::string& baselineName,
                   double baseline, const std::string& unit, const std::string& note) {
    std::printf("%-30s %9.2f %-3s  %-11s %9.2f %-3s  %-44s %5.2fx\n", figure.c_str(), ours,
                unit.c_str(), baselineName.c_str(), baseline, unit.c_str(), note.c_str(),
                baseline > 0 ? ours / baseline : 0.0);
    std::fflush(stdout);
}

}  // namespace brindlewick::bench
