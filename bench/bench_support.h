// Small helpers shared by the timing programs: a throw-away working directory
// that sees the repository's resources, and the median of a set of samples.
#pragma once

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace bench {

inline std::filesystem::path makeWorkDirWithResources() {
    std::random_device seed;
    auto dir = std::filesystem::temp_directory_path() / ("kvr2013-bench-" + std::to_string(seed()));
    std::filesystem::create_directories(dir);
    std::filesystem::create_directory_symlink(std::filesystem::path(KVR_SOURCE_DIR) / "resource", dir / "resource");
    return dir;
}

// The value at a fraction of the sorted samples (0.5 = median).
inline double quantile(std::vector<double> samples, double fraction) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    size_t index = static_cast<size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[index];
}

}  // namespace bench
