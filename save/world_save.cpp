#include <fstream>
#include <sstream>

#include "app/app.h"
#include "save/chunk_file.h"
#include "save/file_save.h"
#include "save/world_file.h"

namespace fs = std::filesystem;

void App::loadWorld() {
    std::ifstream in(files.world / filesave::kWorldFile, std::ios::binary);
    if (!in) return;
    std::ostringstream text;
    text << in.rdbuf();
    const std::optional<filesave::WorldRecord> record = filesave::parseWorldFile(text.str());
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
