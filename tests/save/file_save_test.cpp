#include "save/file_save.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

using testing::HasSubstr;
using testing::StartsWith;
using testing::ThrowsMessage;

std::filesystem::path tmpOf(std::filesystem::path path) {
    return path += ".tmp";
}

// Every test leaves the shared writer idle and without a stored failure.
class FileSave : public testing::Test {
   protected:
    void TearDown() override {
        filesave::backgroundWriter().drain();
        std::lock_guard lock(filesave::backgroundWriter().mutex);
        filesave::backgroundWriter().failure.reset();
    }
    testsupport::TempDir dir;
};

TEST_F(FileSave, OutputReplacesTheFileThroughItsTmp) {
    const auto path = dir.path() / "chests.txt";
    testsupport::writeFile(path, "old contents that are longer");
    {
        filesave::Output out(path);
        EXPECT_EQ(out.tmpPath(), tmpOf(path));
        out << "VXC072\n" << 42 << '\n';
        EXPECT_TRUE(std::filesystem::exists(tmpOf(path)));
        EXPECT_EQ(testsupport::readFile(path), "old contents that are longer");
        out.finish();
    }
    EXPECT_EQ(testsupport::readFile(path), "VXC072\n42\n");
    EXPECT_FALSE(std::filesystem::exists(tmpOf(path)));
}

TEST_F(FileSave, UnfinishedOutputLeavesNoTraceAndKeepsTheOldFile) {
    const auto path = dir.path() / "player.txt";
    testsupport::writeFile(path, "kept");
    {
        filesave::Output out(path);
        out << "half written";
    }
    EXPECT_EQ(testsupport::readFile(path), "kept");
    EXPECT_FALSE(std::filesystem::exists(tmpOf(path)));
}

TEST_F(FileSave, OutputIntoMissingFolderFailsAtFinish) {
    const auto path = dir.path() / "missing" / "player.txt";
    filesave::Output out(path);
    out << "data";
    EXPECT_THAT([&] { out.finish(); }, ThrowsMessage<std::runtime_error>(StartsWith("Cannot write ")));
}

TEST_F(FileSave, CommitOutsideSnapshotReplacesAtOnce) {
    const auto path = dir.path() / "content_ids.txt";
    testsupport::writeFile(tmpOf(path), "ids");
    filesave::commit(tmpOf(path), path);
    EXPECT_EQ(testsupport::readFile(path), "ids");
    EXPECT_FALSE(std::filesystem::exists(tmpOf(path)));
}

// A target that cannot be replaced (here a folder) keeps what it held, and the failure is reported,
// whether the main thread commits or the background writer does.
TEST_F(FileSave, AReplaceThatCannotHappenKeepsTheOldContentAndFails) {
    const auto target = dir.path() / "chests.dat";
    testsupport::writeFile(target / "kept", "old");
    testsupport::writeFile(tmpOf(target), "new");
    EXPECT_THAT([&] { filesave::commit(tmpOf(target), target); },
                ThrowsMessage<std::runtime_error>(StartsWith("Cannot replace " + target.string())));
    {
        filesave::Output out(target);
        out << "newer";
        EXPECT_THAT([&] { out.finish(); }, ThrowsMessage<std::runtime_error>(StartsWith("Cannot replace ")));
    }
    filesave::commitBytes(target, "newest");
    filesave::backgroundWriter().drain();
    EXPECT_THAT([] { filesave::rethrowBackgroundFailure(); },
                ThrowsMessage<std::runtime_error>(StartsWith("Cannot replace " + target.string())));
    EXPECT_EQ(testsupport::readFile(target / "kept"), "old");
    EXPECT_FALSE(std::filesystem::exists(tmpOf(target))) << "the writers clear their own tmp";
}

TEST_F(FileSave, SnapshotScopeIsPerThreadAndNests) {
    EXPECT_FALSE(filesave::snapshotActive());
    {
        filesave::SnapshotScope outer;
        {
            filesave::SnapshotScope inner;
            EXPECT_TRUE(filesave::snapshotActive());
        }
        EXPECT_TRUE(filesave::snapshotActive());
        bool otherThread = true;
        std::thread([&] { otherThread = filesave::snapshotActive(); }).join();
        EXPECT_FALSE(otherThread);
    }
    EXPECT_FALSE(filesave::snapshotActive());
}

TEST_F(FileSave, SnapshotOutputGoesToTheBackgroundWriter) {
    const auto path = dir.path() / "inventory.txt";
    testsupport::writeFile(path, "before");
    {
        filesave::SnapshotScope snapshot;
        filesave::Output out(path);
        out << "after";
        EXPECT_FALSE(std::filesystem::exists(tmpOf(path)));  // collected in memory
        EXPECT_EQ(testsupport::readFile(path), "before");
        out.finish();
    }
    filesave::backgroundWriter().drain();
    EXPECT_EQ(testsupport::readFile(path), "after");
    EXPECT_FALSE(std::filesystem::exists(tmpOf(path)));
    EXPECT_NO_THROW(filesave::rethrowBackgroundFailure());
}

TEST_F(FileSave, SnapshotCommitReadsTheTmpBackAndHandsItOver) {
    const auto path = dir.path() / "world.bin";
    const std::string bytes("\0\1\2binary\n\r", 11);
    testsupport::writeFile(tmpOf(path), bytes);
    {
        filesave::SnapshotScope snapshot;
        filesave::commit(tmpOf(path), path);
    }
    filesave::backgroundWriter().drain();
    EXPECT_EQ(testsupport::readFile(path), bytes);
    EXPECT_FALSE(std::filesystem::exists(tmpOf(path)));
}

TEST_F(FileSave, WriterFailureIsKeptOnceAndWritingGoesOn) {
    filesave::commitBytes(dir.path() / "gone" / "a.txt", "a");
    filesave::commitBytes(dir.path() / "gone" / "b.txt", "b");
    filesave::commitBytes(dir.path() / "c.txt", "c");
    filesave::backgroundWriter().drain();
    EXPECT_EQ(testsupport::readFile(dir.path() / "c.txt"), "c");
    EXPECT_THAT([] { filesave::rethrowBackgroundFailure(); },
                ThrowsMessage<std::runtime_error>(AllOf(StartsWith("Cannot write "), HasSubstr("a.txt"))));
    EXPECT_NO_THROW(filesave::rethrowBackgroundFailure());
}

TEST_F(FileSave, StopWritesEverythingQueuedAndALaterJobRestarts) {
    filesave::BackgroundWriter writer;
    writer.drain();  // nothing queued yet, no thread: returns at once
    for (int i = 0; i < 50; ++i) writer.enqueue(dir.path() / ("f" + std::to_string(i)), std::to_string(i));
    writer.stop();
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(testsupport::readFile(dir.path() / ("f" + std::to_string(i))), std::to_string(i));

    writer.enqueue(dir.path() / "late", "late");
    writer.drain();
    EXPECT_EQ(testsupport::readFile(dir.path() / "late"), "late");
    writer.stop();
    writer.stop();
    std::lock_guard lock(writer.mutex);
    EXPECT_FALSE(writer.failure);
}

}  // namespace
