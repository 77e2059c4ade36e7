#pragma once
// What the device benchmarks share: a private X server, a base folder with the shipped content and
// one world of seed 2, and the median of their frame times.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/xvfb.h"

namespace bench {

class SeedTwoWorld {
public:
    // `name` is the world's shown name; the X server's display is set for the game's window.
    explicit SeedTwoWorld(const std::string& name) {
        setenv("DISPLAY", xvfb_.display().c_str(), 1);
        setenv("QUORVANE_HEADLESS_CHECK", "1", 1);
        std::filesystem::copy(std::filesystem::path(QUORVANE_SOURCE_DIR) / "Content", base_.path() / "Content",
                              std::filesystem::copy_options::recursive);
        testsupport::writeFile(base_.path() / "Saves" / "world_1" / "world.txt",
                               "QUORVANE_WORLD 1\nname " + name + "\nseed 2\ngeneration 4\n");
    }
    const std::filesystem::path& base() const { return base_.path(); }

private:
    testsupport::Xvfb xvfb_;
    testsupport::TempDir base_;
};

// The middle value (the mean of the two middle ones for an even count); 0 for none.
inline double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

}  // namespace bench
