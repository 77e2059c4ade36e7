#pragma once
// render/frame: one frame from camera to present: fog, daylight, per-frame shader values, drawFrame's passes.
// What the frame keeps between frames: statistics, the view planes of the last camera, the head
// values of the settings that the camera and the menus read, and the menu value that screens store
// for the interface block.
#include <cstdint>
#include <optional>
#include <vector>

#include "render/frame/frame_stats.h"
#include "render/frame/interface_draw.h"
#include "render/interface/interface_block.h"
#include "render/view/camera.h"
#include "render/view/shown_faces.h"
#include "render/view/view_planes.h"

struct ChunkMesh;

// A chunk mesh in view with something to draw; the mesh stays in the chunk window's map. Its plain
// triangles that can show are the ranges [firstRange, firstRange + rangeCount) of
// FrameState::plainRanges.
struct VisibleMesh {
    uint64_t key = 0;
    const ChunkMesh* mesh = nullptr;
    uint32_t firstRange = 0;
    uint32_t rangeCount = 0;
};

struct FrameState {
    render::FrameStats stats;
    render::ViewPlanes planes{};
    bool planesValid = false;  // until the first frame every view test passes
    render::HeadSettings head;
    // Render tests keep the interface in their captures; any other capture hides it.
    bool keepInterface = false;
    uint32_t menuValue = 0;
    // Captures that must come out the same every time run the animation clock at these seconds
    // instead of the wall clock.
    std::optional<double> fixedAnimationSeconds;
    // The seconds this frame shows, taken once before recording so that every pass sees the same
    // instant.
    double animationSeconds = 0.0;
    // This frame's interface as the overlay writer laid it out.
    render::InterfaceDraw interface;
    // GLFW seconds of the last door and lid animation step; below 0 before the first frame.
    double previousDoorAnimation = -1.0;
    // This frame's visible meshes, tested once and drawn by every pass; kept to reuse its storage.
    std::vector<VisibleMesh> visibleMeshes;
    // The same meshes nearest first, for the plain triangles of the solid pass.
    std::vector<VisibleMesh> nearestFirst;
    // The index ranges of the plain triangles each visible mesh draws.
    std::vector<render::IndexRange> plainRanges;
    // Off, every plain triangle of a visible mesh is drawn: the benchmark and the tests compare the two.
    bool cullFaceGroups = true;
    // Off, the face groups that opaque cells hide from the eye are drawn too (with cullFaceGroups on).
    bool cullBuriedGroups = true;
};
