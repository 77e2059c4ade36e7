#include "content/face_textures.h"

#include <algorithm>

#include "world/block_registry.h"

namespace content {

namespace {

FaceTextureTable& table() {
    static FaceTextureTable instance;
    return instance;
}

std::array<float, 6> facesOf(uint8_t id, const std::vector<std::string>& paths) {
    const voxel::BlockDef& def = voxel::blockDef(id);
    std::array<float, 6> faces{};
    for (uint32_t face = 0; face < faces.size(); ++face) {
        faces[face] = static_cast<float>(voxel::textureLayer(id, face));
        if (face >= def.textures.size()) continue;
        const auto found = std::lower_bound(paths.begin(), paths.end(), def.textures[face]);
        if (found != paths.end() && *found == def.textures[face])
            faces[face] = customTextureBase + static_cast<float>(found - paths.begin());
    }
    return faces;
}

}  // namespace

const FaceTextureTable& faceTextureTable() {
    return table();
}

void buildFaceTextureTable(std::vector<std::string> paths) {
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    FaceTextureTable& out = table();
    out.faces.clear();
    for (std::size_t id = 0; id < voxel::blockCount(); ++id)
        out.faces.push_back(facesOf(static_cast<uint8_t>(id), paths));
    out.paths = std::move(paths);
    out.built = true;
}

std::vector<std::string> resourceTexturePaths(const std::vector<std::string>& resourceNames) {
    std::vector<std::string> paths;
    for (const std::string& name : resourceNames) {
        const uint8_t id = voxel::findCustomBlock(name);
        if (id == 0) continue;
        const std::vector<std::string>& textures = voxel::blockDef(id).textures;
        paths.insert(paths.end(), textures.begin(), textures.end());
    }
    return paths;
}

}  // namespace content
