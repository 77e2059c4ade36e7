// The world's own files: world.txt with its seed and generation value, generation.json with the
// profiles it was created with, and the changed chunks.
#include <optional>
#include <string>

#include "app/app.h"
#include "platform/file_read.h"
#include "save/chunk_file.h"
#include "save/file_save.h"
#include "save/generation_file.h"
#include "save/loot_state_file.h"
#include "save/potion_effects_file.h"
#include "save/world_file.h"
#include "save/world_state_files.h"

namespace fs = std::filesystem;

namespace {

// The stored profiles brought up to the current content, keeping the world's own sections.
std::optional<filesave::StoredProfiles> readStoredProfiles(const App& app, const fs::path& path) {
    std::error_code error;
    const uintmax_t size = fs::file_size(path, error);
    const std::optional<std::string> text =
        error || size > filesave::maxGenerationFileBytes() ? std::nullopt : platform::readFileBytes(path);
    if (!text) return std::nullopt;
    try {
        return filesave::decodeGenerationFile(*text, *app.stream.defaultProfile, app.rules.dimensions);
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
}

// Joins the save set open on this thread; the caller forgets the modified set once it commits.
void saveModifiedChunks(App& app) {
    for (const ChunkKey& key : app.world.modified)
        if (const voxel::Chunk* chunk = app.findChunk(key.first, key.second))
            filesave::writeChunk(app.files.world, app.files.seed, app.generationStage, *chunk);
}

// Commits the set: a set that is on the disk, or on its way to the background writer, no longer
// needs its chunks written again.
void commitWorldSet(App& app, filesave::SaveSetScope& set) {
    const bool onDisk = set.commit();
    if (!filesave::collectingSaveSet()) app.world.modified.clear();
    if (onDisk) filesave::removeEarlierFiles(app.files.world);
}

void writeItemFiles(App& app) {
    app.saveInventory();
    app.writeSaveFile(filesave::kChestsFile, filesave::encodeChests(app.containers.chests));
    app.writeSaveFile(filesave::kMachinesFile, filesave::encodeMachines(app.machines));
    app.writeSaveFile(filesave::kDroppedItemsFile, filesave::encodeDroppedItems(app.entities.droppedItems));
    app.writeSaveFile(filesave::kLootStateFile, filesave::encodeLootState(app.loot));
}

void writeQuestFiles(App& app) {
    app.writeSaveFile(filesave::kAdventureFile, filesave::encodeAdventure(app.adventureState.standing));
    app.writeSaveFile(filesave::kProgressionFile, filesave::encodeProgression(app.combat.progression));
}

}  // namespace

void App::loadWorld() {
    // A save that a crash stopped after it was committed is finished before anything is read.
    filesave::backgroundWriter().drain();
    try {
        filesave::finishInterruptedSave(files.world);
    } catch (const std::runtime_error&) {
        saves.readFailed = true;
        throw;
    }
    const fs::path worldPath = files.world / filesave::kWorldFile;
    const std::optional<std::string> text = platform::readFileBytes(worldPath);
    if (!text) return;
    std::string nameProblem;
    const std::optional<filesave::WorldRecord> record = filesave::parseWorldFile(*text, &nameProblem);
    if (!record) {
        saves.readFailed = true;
        throw std::runtime_error(filesave::worldFileMessage(worldPath, nameProblem));
    }
    files.worldName = ui::utf8ToUtf32(record->name);
    files.seed = record->seed;
    generationStage = record->generation;
    const fs::path generationPath = files.world / filesave::kGenerationFile;
    if (!fs::exists(generationPath)) return;  // older worlds take the current content's profile
    std::optional<filesave::StoredProfiles> stored = readStoredProfiles(*this, generationPath);
    if (!stored) {
        saves.readFailed = true;
        throw std::runtime_error("Unreadable save file, left as it is: " + generationPath.string());
    }
    saves.profile = std::move(stored->overworld);
    saves.dimensionProfiles = std::move(stored->dimensions);
}

void App::saveWorld() {
    if (saves.readFailed) return;
    // Checked before any file is written, so a refused name leaves the world as it was.
    const std::string name = ui::utf32ToUtf8(files.worldName);
    if (const auto problem = filesave::worldNameProblem(name)) {
        const fs::path file = files.world / filesave::kWorldFile;
        throw std::runtime_error("Invalid world name in " + file.string() + ": " + *problem);
    }
    // Encoded before anything is written, so a collection too large for its file stops the save
    // while every file is as it was.
    const std::vector<std::pair<const char*, std::string>> stateFiles = encodeWorldState();
    // One save set: the chunks, the state files and the inventory commit together, so a block placed
    // and the stone it took, or gold moved from a chest to the pack, are never saved apart.
    filesave::SaveSetScope set(files.world);
    saveModifiedChunks(*this);
    for (const auto& [name, bytes] : stateFiles) writeSaveFile(name, bytes);
    saveInventory();
    if (saves.profile)
        writeSaveFile(filesave::kGenerationFile,
                      filesave::encodeGenerationFile(*saves.profile, saves.dimensionProfiles));
    saveMap();
    writeSaveFile(filesave::kWorldFile,
                  filesave::formatWorldFile({name, files.seed, generationStage}));
    commitWorldSet(*this, set);
}

bool App::writesWorldFiles() const {
    return files.worldOpen && !(lan.networked && !lan.host);
}

void App::saveActionFiles(ActionFiles also) {
    if (!writesWorldFiles() || saves.readFailed) return;
    filesave::SaveSetScope set(files.world);
    if (also.blocks) {
        saveModifiedChunks(*this);
        writeSaveFile(filesave::kBlockStatesFile, filesave::encodeBlockStates(world.blockStates));
    }
    // Every file that holds items, whatever this action moved: items moved before by no action's
    // save (a chest spilled while the world opened) are then never saved on one side only.
    writeItemFiles(*this);
    if (also.quests) writeQuestFiles(*this);
    if (also.player) savePlayer();
    if (also.potionEffects)
        writeSaveFile(filesave::kPotionEffectsFile, filesave::encodePotionEffects(potionEffects));
    // The set is the world as the action left it, in memory: the frame does not wait for the disk.
    // The writer lands it after every earlier save and before every later one, and a kill before
    // it lands leaves the world as it was before the action.
    set.commitChanged(&filesave::removeEarlierFiles);
    if (also.blocks && !filesave::collectingSaveSet()) world.modified.clear();
}

void App::autosave() {
    filesave::SnapshotScope snapshot;
    // The whole autosave is one job of the background writer: it lands whole or not at all.
    filesave::SaveSetScope set(files.world);
    saveWorld();
    saveInventory();
    set.commit();
    world.modified.clear();
}
