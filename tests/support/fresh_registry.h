#pragma once
// The block registry is global: a suite that registers custom blocks starts and ends each test with
// the built-ins only, so that no test sees another's blocks.
#include <gtest/gtest.h>

#include <string>

#include "world/block_registry.h"

namespace testsupport {

class FreshRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { voxel::resetBlockRegistry(); }
    void TearDown() override { voxel::resetBlockRegistry(); }
};

// A custom definition whose content id is also its name; everything else keeps its default.
inline voxel::BlockDef namedBlock(const std::string& contentId) {
    voxel::BlockDef def;
    def.id = contentId;
    def.name = contentId;
    return def;
}

}  // namespace testsupport
