#include "audio/wav.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "content/text.h"
#include "support/failure.h"
#include "support/temp_dir.h"
#include "wav_bytes.h"

namespace {

using Frames = std::vector<int16_t>;
using namespace wavtest;

std::string failureOf(const std::string& bytes) {
    return testsupport::failureOf([&] { audio::decodeWav(bytes); });
}

TEST(DecodeWav, DecodesEveryLayoutToStereoAtTheOutputRate) {
    const std::string fmt = chunk("fmt ", fmtBody(1, 44100, 16));
    const std::string padded =
        riff(chunk("LIST", "odd") + fmt + chunk("junk", "x") + chunk("data", pcm16({5, 6})) + chunk("tail", "abc"));
    ASSERT_EQ(padded.size(), 12u + 12u + 24u + 10u + 12u + 12u);
    std::string longRiff = wav(1, 44100, 16, pcm16({1}));
    longRiff.replace(4, 4, le32(0xFFFFFFFF));
    const struct {
        const char* name;
        std::string bytes;
        Frames frames;
    } rows[] = {
        {"16-bit stereo kept", wav(2, 44100, 16, pcm16({1, -2, 32767, -32768, 300, 0})),
         {1, -2, 32767, -32768, 300, 0}},
        {"16-bit mono on both sides", wav(1, 44100, 16, pcm16({100, -200})), {100, 100, -200, -200}},
        {"8-bit mono on both sides", wav(1, 44100, 8, pcm8({0, 128, 255})), {-32768, -32768, 0, 0, 32512, 32512}},
        {"8-bit stereo centred", wav(2, 44100, 8, pcm8({0, 255, 128, 64})), {-32768, 32512, 0, -16384}},
        // Half rate: twice the frames; each new frame is the midpoint of its neighbours, the last one held.
        {"half rate, 16-bit", wav(1, 22050, 16, pcm16({0, 1000, -1000})),
         {0, 0, 500, 500, 1000, 1000, 0, 0, -1000, -1000, -1000, -1000}},
        {"half rate, 8-bit stereo", wav(2, 22050, 8, pcm8({128, 0, 192, 0})),
         {0, -32768, 8192, -32768, 16384, -32768, 16384, -32768}},
        // 3 frames at 88,200 Hz last 1.5 output frames: the floor keeps 1, the first.
        {"double rate", wav(1, 88200, 16, pcm16({7, 8, 9})), {7, 7}},
        // 2 frames at 33,075 Hz (3/4 of the output rate) become 2 frames at times 0 and 0.75.
        {"three quarters rate", wav(1, 33075, 16, pcm16({0, 400})), {0, 0, 300, 300}},
        {"unknown chunks skipped with their pad byte", padded, {5, 5, 6, 6}},
        {"RIFF size past the file", longRiff, {1, 1}},
        {"bytes after the RIFF", wav(1, 44100, 16, pcm16({2})) + "garbage after the RIFF", {2, 2}},
        {"trailing partial frame dropped", wav(2, 44100, 16, pcm16({1, 2, 3})), {1, 2}},
        {"data size declaring exactly the bytes present", riff(fmt + "data" + le32(4) + pcm16({7, -7})),
         {7, 7, -7, -7}},
    };
    for (const auto& row : rows) {
        const audio::Sound sound = audio::decodeWav(row.bytes);
        EXPECT_EQ(sound.frames, row.frames) << row.name;
        EXPECT_EQ(sound.id, "") << row.name;
    }
}

TEST(DecodeWav, AcceptsTheLowestSampleRateAndExactlyTenMinutes) {
    EXPECT_EQ(audio::decodeWav(wav(1, 8000, 16, pcm16({0, 0}))).frames.size(), 2u * 11u);
    EXPECT_EQ(audio::decodeWav(wav(1, 8000, 8, std::string(8000 * 600, '\x80'))).frames.size(),
              2u * audio::kMaxWavFrames);
}

TEST(DecodeWav, RefusesWhatItCannotRead) {
    const std::string fmt = chunk("fmt ", fmtBody(1, 44100, 16));
    const std::string data = chunk("data", pcm16({1, 2}));
    std::string badAlign = fmtBody(2, 44100, 16);
    badAlign.replace(12, 2, le16(2));
    const struct {
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"", "too short for a RIFF header"},
        {"RIFF" + le32(4) + "WAV", "too short for a RIFF header"},
        {"RIFX" + le32(4) + "WAVE", "not a RIFF/WAVE file"},
        {"RIFF" + le32(4) + "AVI ", "not a RIFF/WAVE file"},
        {riff(chunk("fmt ", fmtBody(1, 44100, 16, 3)) + data), "unsupported format 3 (only PCM)"},
        {riff(chunk("fmt ", fmtBody(1, 44100, 16, 0xFFFE)) + data), "unsupported format 65534 (only PCM)"},
        {riff(chunk("fmt ", fmtBody(0, 44100, 16)) + data), "zero channels"},
        {riff(chunk("fmt ", fmtBody(3, 44100, 16)) + data), "unsupported channel count 3"},
        {riff(chunk("fmt ", fmtBody(1, 0, 16)) + data), "zero sample rate"},
        {riff(chunk("fmt ", fmtBody(1, 44100, 24)) + data), "unsupported sample size of 24 bits"},
        {riff(chunk("fmt ", badAlign) + data), "block alignment does not match the format"},
        {riff(chunk("fmt ", fmtBody(1, 44100, 16).substr(0, 14)) + data), "fmt chunk too short"},
        {riff(fmt), "data chunk missing"},
        {riff(data), "fmt chunk missing"},
        {riff(""), "fmt chunk missing"},
        {riff(fmt + fmt + data), "repeated fmt chunk"},
        {riff(fmt + data + data), "repeated data chunk"},
        {riff(fmt + "data" + le32(100) + pcm16({1, 2})), "chunk extends beyond the end of the file"},
        {riff(fmt + "LIST" + le32(0xFFFFFFFF) + data), "chunk extends beyond the end of the file"},
        // A declared data size one byte past the samples present, or 4 GiB of them in a few dozen bytes.
        {riff(fmt + "data" + le32(5) + pcm16({7, -7})), "chunk extends beyond the end of the file"},
        {riff(fmt + "data" + le32(0xFFFFFFFF) + pcm16({7, -7})), "chunk extends beyond the end of the file"},
        {riff(fmt + data + "dat"), "truncated chunk header"},
        // One frame past ten minutes at the lowest rate accepted.
        {riff(chunk("fmt ", fmtBody(1, 8000, 8)) + chunk("data", std::string(8000 * 600 + 1, '\x80'))),
         "longer than ten minutes"},
        // 700 frames at 1 Hz would be 30,870,000 output frames.
        {riff(chunk("fmt ", fmtBody(1, 1, 16)) + chunk("data", pcm16(Frames(700, 0)))), "sample rate below 8000 Hz"},
        {riff(chunk("fmt ", fmtBody(1, 7999, 16)) + data), "sample rate below 8000 Hz"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(failureOf(c.bytes), std::string("Invalid WAV file: ") + c.reason) << c.reason;
    }
}

// Only refusals or sounds, never a crash or another kind of failure: the sanitizer build reads this
// as "never out of bounds".
void expectDecodesOrRefuses(const std::string& bytes) {
    try {
        const audio::Sound sound = audio::decodeWav(bytes);
        EXPECT_EQ(sound.frames.size() % 2, 0u);
    } catch (const std::runtime_error& failure) {
        EXPECT_EQ(std::string(failure.what()).rfind("Invalid WAV file: ", 0), 0u) << failure.what();
    }
}

TEST(DecodeWav, SurvivesEveryTruncationAndRandomDamage) {
    const std::string valid = riff(chunk("LIST", "odd") + chunk("fmt ", fmtBody(2, 22050, 16)) +
                                   chunk("data", pcm16({1, 2, 3, 4, 5, 6, 7, 8, 9})));
    std::size_t refused = 0;
    for (std::size_t length = 0; length < valid.size(); ++length) {
        // A copy of exactly length bytes, so that a read past it is a real overrun.
        const std::string prefix = valid.substr(0, length);
        expectDecodesOrRefuses(prefix);
        refused += failureOf(prefix) != "(no failure)";
    }
    EXPECT_EQ(refused, valid.size());  // the data chunk ends the file: every cut damages it
    std::mt19937 random(20240601);
    for (int round = 0; round < 3000; ++round) {
        std::string damaged = valid;
        for (int flips = 1 + round % 4; flips > 0; --flips) {
            damaged[random() % damaged.size()] = static_cast<char>(random() % 256);
        }
        expectDecodesOrRefuses(damaged);
    }
}

TEST(ReadWav, ReadsTheFileOrSaysItCannotOpenIt) {
    testsupport::TempDir dir;
    const std::string bytes = wav(1, 22050, 8, pcm8({128, 255}));
    testsupport::writeFile(dir.path() / "beep.wav", bytes);
    EXPECT_EQ(audio::readWav(dir.path() / "beep.wav").frames, audio::decodeWav(bytes).frames);
    for (const std::filesystem::path& path : {dir.path() / "none.wav", dir.path()})
        EXPECT_EQ(testsupport::failureOf([&] { audio::readWav(path); }), "Cannot open " + content::pathToUtf8(path));
}

}  // namespace
