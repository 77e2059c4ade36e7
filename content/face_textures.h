#pragma once
// The face texture table: for every registry id and face, the texture layer a renderer draws it
// with, or 300000 + n for the n-th custom texture of a sorted path list (the textures of the
// resources that non-player characters are drawn from).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace content {

inline constexpr float customTextureBase = 300000.0f;

struct FaceTextureTable {
    std::vector<std::array<float, 6>> faces;  // one entry per registry id
    std::vector<std::string> paths;           // sorted, without duplicates
    bool built = false;
};

// The process-wide table; empty and not built until buildFaceTextureTable runs.
const FaceTextureTable& faceTextureTable();
// Sorts and deduplicates paths, fills every registry id's faces and marks the table built.
void buildFaceTextureTable(std::vector<std::string> paths);
// The texture paths of the named resources' definitions, in name order then texture order; a name
// that is no available resource contributes nothing.
std::vector<std::string> resourceTexturePaths(const std::vector<std::string>& resourceNames);

}  // namespace content
