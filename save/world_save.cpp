#include <optional>
#include <string>

#include "app/app.h"
#include "platform/file_read.h"
#include "save/chunk_file.h"
#include "save/file_save.h"
#include "save/world_file.h"

namespace fs = std::filesystem;

void App::loadWorld() {
    const std::optional<std::string> text = platform::readFileBytes(files.world / filesave::kWorldFile);
    if (!text) return;
    const std::optional<filesave::WorldRecord> record = filesave::parseWorldFile(*text);
    if (!record) throw std::runtime_error("Invalid world file: " + (files.world / filesave::kWorldFile).string());
    files.worldName = ui::utf8ToUtf32(record->name);
    files.seed = record->seed;
    generationStage = record->generation;
}

void App::saveWorld() {
    // Changed chunks first: the world file is the record that the folder is a complete world.
    for (const ChunkKey& key : world.modified)
        if (const voxel::Chunk* chunk = findChunk(key.first, key.second))
            filesave::writeChunk(files.world, files.seed, generationStage, *chunk);
    world.modified.clear();
    filesave::Output out(files.world / filesave::kWorldFile);
    out << filesave::formatWorldFile({ui::utf32ToUtf8(files.worldName), files.seed, generationStage});
    out.finish();
}

void App::autosave() {
    filesave::SnapshotScope snapshot;
    saveWorld();
}
