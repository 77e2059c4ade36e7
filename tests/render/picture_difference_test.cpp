#include "picture_difference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace rendertest {
namespace {

platform::Image recordedPlay() {
    return platform::decodePng(std::filesystem::path(std::getenv("QUORVANE_SOURCE_DIR")) / "tests" / "fixtures" /
                               "captures" / "play.png");
}

using Change = std::function<int(std::size_t pixel, int channel, int value)>;

// The picture with `change` applied to each channel value (channel 3 is alpha).
platform::Image changed(platform::Image image, const Change& change) {
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = static_cast<uint8_t>(std::clamp(change(i / 4, int(i % 4), image.pixels[i]), 0, 255));
    return image;
}

// The first `count` of pixels 9,001 apart in reading order (7 rows and 41 columns): none of them touch.
constexpr std::size_t kSparse = 9001;
bool sparse(std::size_t pixel, std::size_t count) { return pixel % kSparse == 0 && pixel / kSparse < count; }

struct Row {
    const char* what;
    Change change;
    bool passesOrdinary, passesExact;
};

void expectRows(const platform::Image& picture, std::initializer_list<Row> rows) {
    for (const Row& row : rows) {
        const platform::Image shown = changed(picture, row.change);
        const std::string found = pictureDifference(picture, shown, kDriverRounding);
        EXPECT_EQ(found.empty(), row.passesOrdinary) << row.what << ": " << found;
        EXPECT_EQ(pictureDifference(picture, shown, 0).empty(), row.passesExact) << row.what;
    }
}

TEST(PictureDifference, AllowsOtherCpusRoundingAndCatchesRealChangesOfARecordedFrame) {
    const platform::Image play = recordedPlay();
    ASSERT_EQ(play.width * play.height, 921600u);  // 92 specks and 9,216 shifted colours allowed
    expectRows(play, {
        {"unchanged", [](std::size_t, int, int v) { return v; }, true, true},
        {"a third of the pixels one level up in one channel, as another CPU rounds",
         [](std::size_t p, int c, int v) { return p % 3 == 0 && c == int(p % 9 / 3) ? v + 1 : v; }, true, false},
        {"a checkerboard two levels down in red", [](std::size_t p, int c, int v) { return c == 0 && p % 2 ? v - 2 : v; },
         true, false},
        {"92 lone pixels far off, as texel seams round", [](std::size_t p, int, int v) { return sparse(p, 92) ? (v < 128 ? 255 : 0) : v; },
         true, false},
        {"93 lone pixels far off", [](std::size_t p, int, int v) { return sparse(p, 93) ? (v < 128 ? 255 : 0) : v; }, false, false},
        {"a 1 % brighter picture", [](std::size_t, int c, int v) { return c < 3 ? int(v * 1.01 + 0.5) : v; }, false, false},
        {"a 1 % darker picture", [](std::size_t, int c, int v) { return c < 3 ? int(v * 0.99 + 0.5) : v; }, false, false},
    });
}

TEST(PictureDifference, EachAllowanceHoldsToItsEdge) {
    platform::Image grey;
    grey.width = 1000;
    grey.height = 1000;  // 100 specks and 10,000 shifted colours allowed
    grey.pixels.assign(std::size_t{1000} * 1000 * 4, 128);
    // `n` pixels in a row from (10, 10), each with `channels` channels moved by `by`.
    const auto run = [](std::size_t n, int by, int channels, std::size_t step) {
        return [=](std::size_t p, int c, int v) {
            const bool in = p >= 10010 && (p - 10010) % step == 0 && (p - 10010) / step < n;
            return in && c < channels ? v + by : v;
        };
    };
    expectRows(grey, {
        {"a channel two levels off", run(1, 2, 1, 1), true, false},
        {"a channel three levels off", run(1, 3, 1, 1), true, false},
        {"two touching pixels far off", run(2, 40, 1, 1), true, false},
        {"three touching pixels far off", run(3, 40, 1, 1), false, false},
        {"two pixels touching at a corner", run(2, 40, 1, 1001), true, false},
        {"three pixels touching corner to corner", run(3, 40, 1, 1001), false, false},
        {"100 lone pixels far off", run(100, 40, 1, 7), true, false},
        {"101 lone pixels far off", run(101, 40, 1, 7), false, false},
        {"10,000 pixels shifted one level in two channels", run(10000, 1, 2, 2), true, false},
        {"10,001 pixels shifted one level in two channels", run(10001, 1, 2, 2), false, false},
        {"10,000 pixels one level off in one channel", run(10000, 1, 1, 1), true, false},
    });
}

TEST(PictureDifference, NamesTheFirstOffendingPixelAndTheLargestDifference) {
    platform::Image reference;
    reference.width = 400;
    reference.height = 100;  // 4 specks and 400 shifted colours allowed
    reference.pixels.assign(std::size_t{400} * 100 * 4, 100);
    const auto at = [](std::size_t x, std::size_t y, std::size_t c) { return (y * 400 + x) * 4 + c; };
    platform::Image shown = reference;
    shown.pixels[at(4, 3, 1)] = 102;  // green by 2, within the rounding
    shown.pixels[at(1, 5, 0)] = 103;  // red by 3
    for (std::size_t x : {7u, 8u, 9u}) shown.pixels[at(x, 9, 2)] = uint8_t(90 - x);  // blue 17 .. 19 off
    EXPECT_EQ(pictureDifference(reference, shown, 2),
              "4 pixels differ by more than 2, 3 of them side by side, the first at (1, 5): rgba 103 100 100 100 "
              "instead of rgba 100 100 100 100; the largest by 19 at (9, 9)");
    const std::string exact = pictureDifference(reference, shown, 0);
    EXPECT_EQ(exact.substr(0, exact.find(':')), "5 pixels differ by more than 0, the first at (4, 3)");

    shown = reference;
    for (std::size_t p = 31; p < 31 + 400 * 7; p += 7) shown.pixels[at(p % 400, p / 400, 0)] = shown.pixels[at(p % 400, p / 400, 1)] = 101;
    EXPECT_EQ(pictureDifference(reference, shown, 2), "");
    shown.pixels[at(5, 50, 2)] = shown.pixels[at(5, 50, 3)] = 98;
    EXPECT_EQ(pictureDifference(reference, shown, 2),
              "401 pixels differ in more than one channel, the first at (31, 0): rgba 101 101 100 100 instead of rgba 100 "
              "100 100 100; the largest by 2 at (5, 50)");

    shown.width = 100;
    shown.height = 400;
    EXPECT_EQ(pictureDifference(reference, shown, 2), "size 100x400 instead of 400x100");
}

TEST(PictureDifference, ExactCapturesAreOptIn) {
    unsetenv("QUORVANE_EXACT_CAPTURES");
    EXPECT_EQ(captureAllowance(), kDriverRounding);
    setenv("QUORVANE_EXACT_CAPTURES", "", 1);
    EXPECT_EQ(captureAllowance(), 0);
    unsetenv("QUORVANE_EXACT_CAPTURES");
}

}  // namespace
}  // namespace rendertest
