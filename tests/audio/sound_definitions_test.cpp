#include "audio/sound_definitions.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "content/json.h"
#include "content/text.h"
#include "support/failure.h"
#include "support/temp_dir.h"
#include "wav_bytes.h"

namespace {

namespace fs = std::filesystem;
using namespace wavtest;

class LoadSoundsTest : public ::testing::Test {
   protected:
    fs::path content() const { return dir.path() / "Content"; }

    void write(const std::string& relative, const std::string& bytes) {
        fs::create_directories((content() / relative).parent_path());
        testsupport::writeFile(content() / relative, bytes);
    }

    std::string line(const std::string& relative, const std::string& message) const {
        return content::pathToUtf8(content() / relative) + ": " + message + "\n";
    }

    std::vector<std::string> soundIds() const {
        std::vector<std::string> ids;
        for (const audio::Sound& sound : mixer.sounds) ids.push_back(sound.id);
        return ids;
    }

    testsupport::TempDir dir;
    audio::Mixer mixer;
};

std::string jsonFailure(const std::string& text) {
    return testsupport::failureOf<std::exception>([&] { content::parseJsonText(text); });
}

TEST_F(LoadSoundsTest, LoadsGoodFilesInPathOrderAndOneLinePerFaultyFile) {
    const std::string beep = wav(1, 22050, 16, pcm16({0, 1000}));
    // Path order, not id order: the first definition of an id wins.
    write("a/birds.sound.json", R"({"id": "test:zz", "file": "wav/birds.wav", "volume": 0.25})");
    write("a/wav/birds.wav", beep);
    write("b/click.sound.json", R"({"id": "test:aa", "file": "sub\\click.wav"})");
    write("b/sub/click.wav", wav(2, 44100, 8, pcm8({0, 255})));
    write("c01.sound.json", R"({"id": "test:zz", "file": "a/wav/birds.wav"})");
    write("c02.sound.json", R"({"id": "test:c2"})");
    write("c03.sound.json", R"({"file": "a/wav/birds.wav"})");
    write("c04.sound.json", R"({"id": 4, "file": "a/wav/birds.wav"})");
    write("c05.sound.json", R"(["test:c5", "a/wav/birds.wav"])");
    write("c06.sound.json", R"({"id": "nocolon", "file": "a/wav/birds.wav"})");
    write("c07.sound.json", R"({"id": "test:c7", "file": "a/wav/birds.wav", "volume": 1.5})");
    write("c08.sound.json", R"({"id": "test:c8", "file": "a/wav/birds.wav", "volume": -0.1})");
    write("c09.sound.json", R"({"id": "test:c9", "file": "a/wav/birds.wav", "volume": "loud"})");
    write("c10.sound.json", R"({"id": "test:c10", "file": "none.wav"})");
    write("c11.sound.json", R"({"id": "test:c11", "file": "../Content/a/wav/birds.wav"})");
    write("c12.sound.json", R"({"id": "test:c12", "file": "c12.sound.json"})");
    write("c13.sound.json", R"({"id": "test:c13", "file": )");
    write("d/truncated.sound.json", R"({"id": "test:cut", "file": "cut.wav"})");
    write("d/cut.wav", beep.substr(0, beep.size() - 1));
    write("ignored.sound.json.bak", R"({"id": "test:bak", "file": "a/wav/birds.wav"})");
    mixer.errors = "earlier line\n";

    content::loadSounds(mixer, content());

    EXPECT_EQ(soundIds(), (std::vector<std::string>{"test:zz", "test:aa"}));
    ASSERT_EQ(mixer.sounds.size(), 2u);
    EXPECT_EQ(mixer.sounds[0].frames, (std::vector<int16_t>{0, 0, 500, 500, 1000, 1000, 1000, 1000}));
    EXPECT_FLOAT_EQ(mixer.sounds[0].volume, 0.25f);
    EXPECT_EQ(mixer.sounds[1].frames, (std::vector<int16_t>{-32768, 32512}));
    EXPECT_FLOAT_EQ(mixer.sounds[1].volume, 1.0f);
    const std::string needsBoth = "Sound requires id and file";
    EXPECT_EQ(mixer.errors,
              "earlier line\n" + line("c01.sound.json", "Duplicate sound id") + line("c02.sound.json", needsBoth) +
                  line("c03.sound.json", needsBoth) + line("c04.sound.json", needsBoth) +
                  line("c05.sound.json", needsBoth) + line("c06.sound.json", "Invalid sound id") +
                  line("c07.sound.json", "Invalid sound volume") + line("c08.sound.json", "Invalid sound volume") +
                  line("c09.sound.json", "Invalid sound volume") +
                  line("c10.sound.json", "Missing asset: " + (content() / "none.wav").string()) +
                  line("c11.sound.json", "Asset path cannot contain '..'") +
                  line("c12.sound.json", "Invalid WAV file: not a RIFF/WAVE file") +
                  line("c13.sound.json", jsonFailure(R"({"id": "test:c13", "file": )")) +
                  line("d/truncated.sound.json", "Invalid WAV file: chunk extends beyond the end of the file"));
}

TEST_F(LoadSoundsTest, ReplacesEarlierSoundsAndTheVoicesPlayingThem) {
    mixer.sounds.push_back(audio::Sound{"old:sound", {1, 1}});
    mixer.voices.push_back(audio::Voice{&mixer.sounds.front()});
    write("one.sound.json", R"({"id": "test:one", "file": "one.wav", "volume": 0})");
    write("one.wav", wav(1, 44100, 16, pcm16({9})));
    content::loadSounds(mixer, content());
    EXPECT_EQ(soundIds(), std::vector<std::string>{"test:one"});
    EXPECT_FLOAT_EQ(mixer.sounds[0].volume, 0.0f);
    EXPECT_TRUE(mixer.voices.empty());
    EXPECT_EQ(mixer.errors, "");
}

TEST_F(LoadSoundsTest, AMissingContentDirectoryGivesNoSoundsAndNoErrors) {
    mixer.sounds.push_back(audio::Sound{"old:sound", {1, 1}});
    content::loadSounds(mixer, content());
    EXPECT_TRUE(mixer.sounds.empty());
    EXPECT_EQ(mixer.errors, "");
}

TEST_F(LoadSoundsTest, AFailingWalkBecomesOneLineInsteadOfAFailure) {
    // A file where the directory should be cannot be walked.
    testsupport::writeFile(content(), "not a directory");
    EXPECT_NO_THROW(content::loadSounds(mixer, content()));
    EXPECT_TRUE(mixer.sounds.empty());
    const std::string prefix = content::pathToUtf8(content()) + ": ";
    EXPECT_EQ(mixer.errors.rfind(prefix, 0), 0u) << mixer.errors;
    EXPECT_EQ(std::count(mixer.errors.begin(), mixer.errors.end(), '\n'), 1);
    EXPECT_EQ(mixer.errors.back(), '\n');
}

TEST_F(LoadSoundsTest, DecodedSoundsStayWithinTheMemoryLimit) {
    // Each sound decodes to 3 stereo frames, 12 bytes.
    for (const char* name : {"a", "b", "c"}) {
        write(std::string(name) + ".sound.json",
              std::string(R"({"id": "test:)") + name + R"(", "file": ")" + name + R"(.wav"})");
        write(std::string(name) + ".wav", wav(1, 44100, 16, pcm16({1, 2, 3})));
    }
    const std::string refused = "Sound memory limit reached";
    struct Case {
        std::size_t maxBytes;
        std::vector<std::string> kept;
        std::string errors;
    };
    const Case cases[] = {
        {24, {"test:a", "test:b"}, line("c.sound.json", refused)},
        {23, {"test:a"}, line("b.sound.json", refused) + line("c.sound.json", refused)},
        {36, {"test:a", "test:b", "test:c"}, ""},
        {11, {}, line("a.sound.json", refused) + line("b.sound.json", refused) + line("c.sound.json", refused)},
    };
    for (const Case& c : cases) {
        mixer.errors.clear();
        content::loadSounds(mixer, content(), c.maxBytes);
        EXPECT_EQ(soundIds(), c.kept) << c.maxBytes;
        EXPECT_EQ(mixer.errors, c.errors) << c.maxBytes;
    }
}

TEST_F(LoadSoundsTest, ASampleRateBelowTheMixersUseIsRefused) {
    write("low.sound.json", R"({"id": "test:low", "file": "low.wav"})");
    write("low.wav", wav(1, 7999, 16, pcm16({1})));
    write("ok.sound.json", R"({"id": "test:ok", "file": "ok.wav"})");
    write("ok.wav", wav(1, 8000, 16, pcm16({1})));
    content::loadSounds(mixer, content());
    EXPECT_EQ(soundIds(), std::vector<std::string>{"test:ok"});
    EXPECT_EQ(mixer.errors, line("low.sound.json", "Invalid WAV file: sample rate below 8000 Hz"));
}

// A sound file above its limit is refused unread and named, since the line names the definition.
TEST_F(LoadSoundsTest, ASoundFileAboveItsLimitIsNamedAndRefused) {
    const uint64_t limit = content::fileSizeLimit(content::ContentFile::Wave);
    write("big.sound.json", R"({"id": "test:big", "file": "big.wav"})");
    write("big.wav", "");
    fs::resize_file(content() / "big.wav", limit + 1);
    write("small.sound.json", R"({"id": "test:small", "file": "small.wav"})");
    write("small.wav", wav(1, 44100, 16, pcm16({9})));
    content::loadSounds(mixer, content());
    EXPECT_EQ(soundIds(), std::vector<std::string>{"test:small"});
    EXPECT_EQ(mixer.errors, line("big.sound.json", content::pathToUtf8(content() / "big.wav") +
                                                       ": file too large (" + std::to_string(limit + 1) +
                                                       " bytes, at most " + std::to_string(limit) + ")"));
}

}  // namespace
