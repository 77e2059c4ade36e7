#include "save/save_set.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "save/file_save.h"
#include "support/failure.h"
#include "support/held_writer.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testsupport::failureOf;

namespace {

fs::path tmpOf(fs::path path) {
    return path += ".tmp";
}

// What each step of a commit saw: the step, whether the manifest was there, what "a.dat" held.
struct Seen {
    std::string step;
    bool manifest;
    std::string a;
};
std::vector<Seen> seen;
fs::path watched;

void record(std::string_view step) {
    const bool manifest = fs::exists(watched / filesave::kManifestFile);
    seen.push_back({std::string(step), manifest, testsupport::readFile(watched / "a.dat")});
}

class SaveSet : public testing::Test {
   protected:
    SaveSet() {
        fs::create_directories(dir.path() / "Chunks");
        testsupport::writeFile(dir.path() / "a.dat", "old a");
        testsupport::writeFile(dir.path() / "c.dat", "old c");
        watched = dir.path();
        seen.clear();
    }
    ~SaveSet() override { filesave::setSaveStepHook(nullptr); }

    std::vector<filesave::SavedFile> newSet() const {
        return {{dir.path() / "a.dat", "new a"},
                {dir.path() / "Chunks" / "0_1.bin", "chunk"},
                {dir.path() / "c.dat", "new c"}};
    }
    // The manifest of newSet, in place, with every .tmp written: a save stopped at its commit point.
    void stopAtTheCommitPoint() {
        std::vector<filesave::ManifestEntry> entries;
        for (const auto& file : newSet()) {
            testsupport::writeFile(tmpOf(file.path), file.bytes);
            entries.push_back({file.path.lexically_relative(dir.path()).generic_string(), file.bytes.size(),
                               filesave::contentHash(file.bytes)});
        }
        testsupport::writeFile(dir.path() / filesave::kManifestFile, filesave::encodeManifest(entries));
    }

    testsupport::TempDir dir;
};

TEST_F(SaveSet, EveryTmpIsWrittenBeforeTheManifestAndEveryFileReplacedAfterIt) {
    filesave::setSaveStepHook(record);
    filesave::commitSaveSet(dir.path(), newSet());
    const std::vector<std::string> order = {
        "tmp a.dat",     "tmp Chunks/0_1.bin",     "tmp c.dat",     "manifest",
        "replace a.dat", "replace Chunks/0_1.bin", "replace c.dat", "done"};
    ASSERT_EQ(seen.size(), order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        SCOPED_TRACE(order[k]);
        EXPECT_EQ(seen[k].step, order[k]);
        // The manifest stands from the commit point until every file is in place.
        EXPECT_EQ(seen[k].manifest, k >= 3 && k < 7);
        EXPECT_EQ(seen[k].a, k < 4 ? "old a" : "new a");
    }
    EXPECT_EQ(testsupport::readFile(dir.path() / "Chunks" / "0_1.bin"), "chunk");
    EXPECT_EQ(testsupport::readFile(dir.path() / "c.dat"), "new c");
    EXPECT_FALSE(fs::exists(tmpOf(dir.path() / "c.dat")));
}

TEST_F(SaveSet, ALoneFileNeedsNoManifest) {
    filesave::setSaveStepHook(record);
    filesave::commitSaveSet(dir.path(), {{dir.path() / "a.dat", "new a"}});
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].step, "tmp a.dat");
    EXPECT_EQ(seen[1].step, "replace a.dat");
    for (const Seen& each : seen) EXPECT_FALSE(each.manifest);
    EXPECT_EQ(testsupport::readFile(dir.path() / "a.dat"), "new a");
}

// A full disk, or any write that fails before the commit point, leaves the world as it was.
TEST_F(SaveSet, AWriteThatFailsBeforeTheManifestChangesNothing) {
    std::vector<filesave::SavedFile> files = newSet();
    files.insert(files.begin() + 1, {dir.path() / "gone" / "b.dat", "b"});
    EXPECT_EQ(failureOf([&] { filesave::commitSaveSet(dir.path(), files); }),
              "Cannot write " + (dir.path() / "gone" / "b.dat").string());
    EXPECT_EQ(testsupport::readFile(dir.path() / "a.dat"), "old a");
    EXPECT_FALSE(fs::exists(tmpOf(dir.path() / "a.dat")));
    EXPECT_FALSE(fs::exists(dir.path() / filesave::kManifestFile));
}

// Killed at its commit point or after any replace, the save is finished when the world opens.
TEST_F(SaveSet, ASaveStoppedAfterItsCommitPointIsFinished) {
    for (std::size_t replaced = 0; replaced <= 3; ++replaced) {
        SCOPED_TRACE(replaced);
        stopAtTheCommitPoint();
        const auto files = newSet();
        for (std::size_t k = 0; k < replaced; ++k) fs::rename(tmpOf(files[k].path), files[k].path);
        filesave::finishInterruptedSave(dir.path());
        for (const auto& file : files) {
            EXPECT_EQ(testsupport::readFile(file.path), file.bytes);
            EXPECT_FALSE(fs::exists(tmpOf(file.path)));
        }
        EXPECT_FALSE(fs::exists(dir.path() / filesave::kManifestFile));
        testsupport::writeFile(dir.path() / "a.dat", "old a");
    }
}

// A map kept in another folder cannot be named by this folder's manifest: it is written alone.
TEST_F(SaveSet, AFileOutsideTheFolderIsCommittedAlone) {
    testsupport::TempDir other;
    std::vector<filesave::SavedFile> files = newSet();
    files.push_back({other.path() / "core:overworld.map140.txt", "map"});
    filesave::commitSaveSet(dir.path(), files);
    EXPECT_EQ(testsupport::readFile(dir.path() / "c.dat"), "new c");
    EXPECT_EQ(testsupport::readFile(other.path() / "core:overworld.map140.txt"), "map");
}

TEST_F(SaveSet, WithoutAManifestLeftoverTmpFilesAreNoSave) {
    testsupport::writeFile(tmpOf(dir.path() / "a.dat"), "half");
    filesave::finishInterruptedSave(dir.path());
    EXPECT_EQ(testsupport::readFile(dir.path() / "a.dat"), "old a");
    // The next save writes over the leftover.
    filesave::commitSaveSet(dir.path(), newSet());
    EXPECT_EQ(testsupport::readFile(dir.path() / "a.dat"), "new a");
}

TEST_F(SaveSet, TheNextSaveFinishesAnInterruptedOneFirst) {
    stopAtTheCommitPoint();
    filesave::commitSaveSet(dir.path(), {{dir.path() / "a.dat", "newer a"}});
    EXPECT_EQ(testsupport::readFile(dir.path() / "a.dat"), "newer a");
    EXPECT_EQ(testsupport::readFile(dir.path() / "c.dat"), "new c");
}

// A file that matches neither its .tmp's entry nor its own, or a damaged manifest, stops the open
// with everything left as it was found.
TEST_F(SaveSet, ASaveThatCannotBeFinishedIsRefusedAndLeftAsItIs) {
    struct Case {
        const char* what;
        fs::path damaged;
        fs::path named;
    };
    const fs::path manifest = dir.path() / filesave::kManifestFile;
    const Case cases[] = {
        {"a .tmp with one byte changed", tmpOf(dir.path() / "c.dat"), dir.path() / "c.dat"},
        {"a manifest with one byte changed", manifest, manifest},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        stopAtTheCommitPoint();
        std::string bytes = testsupport::readFile(c.damaged);
        bytes[1] = static_cast<char>(bytes[1] ^ 0x20);
        testsupport::writeFile(c.damaged, bytes);
        EXPECT_EQ(failureOf([&] { filesave::finishInterruptedSave(dir.path()); }),
                  "Unreadable save file, left as it is: " + c.named.string());
        EXPECT_EQ(testsupport::readFile(dir.path() / "a.dat"), "old a");
        EXPECT_TRUE(fs::exists(tmpOf(dir.path() / "a.dat")));
        EXPECT_TRUE(fs::exists(manifest));
        fs::remove(manifest);
    }
}

// The autosave's files go to the background writer as one job: a failing file keeps the others out.
TEST_F(SaveSet, ASnapshotSetIsCommittedWholeOrNotAtAll) {
    {
        filesave::SnapshotScope snapshot;
        filesave::SaveSetScope set(dir.path());
        for (const auto& [path, bytes] : std::vector<std::pair<fs::path, std::string>>{
                 {dir.path() / "a.dat", "new a"}, {dir.path() / "gone" / "b.dat", "b"}}) {
            filesave::Output out(path);
            out << bytes;
            out.finish();
        }
        EXPECT_FALSE(set.commit()) << "on its way to the writer";
    }
    filesave::backgroundWriter().drain();
    EXPECT_EQ(failureOf([] { filesave::rethrowBackgroundFailure(); }),
              "Cannot write " + (dir.path() / "gone" / "b.dat").string());
    EXPECT_EQ(testsupport::readFile(dir.path() / "a.dat"), "old a");
}

// Compared as it is handed over, the action's "a.dat" would be left out (the disk holds "old a")
// and the older bytes of the save queued before it would win: the writer compares at the set's turn.
TEST_F(SaveSet, AnActionSetIsComparedWithTheDiskAsTheSavesQueuedBeforeItLeaveIt) {
    {
        testsupport::HeldWriter held;
        filesave::backgroundWriter().enqueue(dir.path() / "a.dat", "new a");
        filesave::SaveSetScope action(dir.path());
        for (const auto& [name, bytes] : {std::pair{"a.dat", "old a"}, {"c.dat", "new c"}}) {
            filesave::Output out(dir.path() / name);
            out << bytes;
            out.finish();
        }
        action.commitChanged(nullptr);
        EXPECT_EQ(filesave::backgroundWriter().heldBytes(dir.path() / "a.dat"), "old a") << "the newest";
    }
    EXPECT_EQ(testsupport::readFile(dir.path() / "a.dat"), "old a");
    EXPECT_EQ(testsupport::readFile(dir.path() / "c.dat"), "new c");
}

TEST(SaveSetFiles, ACheckedFileIsRefusedWhateverByteChanges) {
    const std::string records("QVIN\1\0\0\0 records\n", 17);
    const std::string sealed = filesave::sealFile(records);
    EXPECT_EQ(filesave::unsealFile(sealed), records);
    for (std::size_t at = 0; at < sealed.size(); ++at) {
        std::string damaged = sealed;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x04);
        const auto read = filesave::unsealFile(damaged);
        // A change in the check's own prefix makes it an unchecked file with a stray line, which no
        // reader takes whole.
        EXPECT_TRUE(!read || read->size() == damaged.size()) << "byte " << at;
    }
    EXPECT_EQ(filesave::unsealFile(records), records) << "an unchecked file is its own reader's to judge";
    EXPECT_EQ(filesave::unsealFile(""), "");
}

TEST(SaveSetFiles, AManifestNamesOnlyFilesInsideItsFolderEachOnce) {
    const filesave::ManifestEntry entry{"Chunks/-1_2.bin", 32874, 0x0123456789abcdefull};
    const auto read = filesave::decodeManifest(filesave::encodeManifest({entry, {"world.txt", 0, 1}}));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 2u);
    EXPECT_EQ((*read)[0].name, entry.name);
    EXPECT_EQ((*read)[0].size, entry.size);
    EXPECT_EQ((*read)[0].hash, entry.hash);
    for (const char* name : {"../other/world.txt", "/etc/world.txt", "a/../../b", "./a"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(filesave::decodeManifest(filesave::encodeManifest({{name, 1, 1}})));
    }
    EXPECT_FALSE(filesave::decodeManifest(filesave::encodeManifest({entry, entry})));
    const std::string unchecked = "QUORVANE_SAVESET 1\n0123456789abcdef 1 a.dat\nend\n";
    EXPECT_FALSE(filesave::decodeManifest(unchecked)) << "a manifest always carries its check";
}

}  // namespace
