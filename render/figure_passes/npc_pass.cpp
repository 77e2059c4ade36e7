// NPC figures in the dynamic entity pass and the animation state they are drawn from.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "adventure/residents.h"
#include "app/app.h"
#include "content/face_textures.h"
#include "content/resource_ids.h"
#include "render/figures/npc_animation.h"
#include "render/figures/npc_figures.h"
#include "world/chunk.h"

namespace {

constexpr double kDrawDistance = 48.0;
constexpr double kHeadroom = 0.03;
constexpr render::Double3 kHitboxColour{0.9, 0.7, 0.1};

using render::Double3;

template <typename Map>
auto* findIn(Map& map, const std::string& key) {
    const auto found = map.find(key);
    return found == map.end() ? nullptr : &found->second;
}

const adventure::Npc* activeNpc(const App& app, const std::string& key) {
    const std::string base = adventure::baseIdOf(key);
    for (const adventure::Npc& npc : app.adventureState.catalog.npcs) {
        if (npc.id == base && npc.active) return &npc;
    }
    return nullptr;
}

bool finite(const Double3& p) {
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

bool finite(const render::ActorMotion& m) {
    return std::isfinite(m.bob) && std::isfinite(m.angles[0]) && std::isfinite(m.angles[1]) &&
           std::isfinite(m.angles[2]);
}

bool walking(const NpcMotion* motion) {
    return motion != nullptr && motion->walking && motion->wasWalking;
}

Double3 drawPosition(const std::array<double, 3>& stored, const NpcMotion* motion, double a) {
    if (!walking(motion)) return stored;
    Double3 p{};
    for (std::size_t k = 0; k < 3; ++k) p[k] = a * stored[k] + (1.0 - a) * motion->previous[k];
    return p;
}

// A fitted model is squeezed into its own collision radius; the box figure into its half-width.
double bodyHalfWidth(const adventure::Npc& npc) {
    return npc.modelResource.empty() ? npc.halfWidth : npc.collisionRadius;
}

render::Box bodyBox(const render::NpcBody& body) {
    const Double3& p = body.position;
    const double w = body.halfWidth;
    return {p[0] - w, p[1], p[2] - w, p[0] + w, p[1] + body.height + kHeadroom, p[2] + w};
}

int32_t actionClip(const adventure::Npc& npc, int32_t action) {
    if (action < 0 || static_cast<std::size_t>(action) >= npc.animationClips.size()) return -1;
    const int32_t clip = npc.animationClips[static_cast<std::size_t>(action)];
    return clip >= 0 && static_cast<std::size_t>(clip) < npc.rig.clips.size() ? clip : -1;
}

render::ActorMotion npcMotion(const adventure::Npc& npc, const NpcFigureState& figure, const NpcMotion* motion,
                              double a) {
    render::ActorMotion m = render::actorIdleMotion(figure.idle, npc.animated, npc.motionAmplitude);
    if (motion == nullptr || !npc.animated) return m;
    const double phase = motion->previousWalkPhase + (motion->walkPhase - motion->previousWalkPhase) * a;
    const double swing = std::sin(phase) * 0.22 * motion->walkAmount;
    m.angles[1] += swing;
    m.angles[2] -= swing;
    if (motion->gestureStep != 0)
        m.angles[2] -= std::sin((8 - motion->gestureStep) * std::numbers::pi * 0.125) * 0.9;
    return m;
}

bool finiteBones(const std::vector<std::array<double, 12>>& bones) {
    return std::all_of(bones.begin(), bones.end(), [](const std::array<double, 12>& m) {
        return std::all_of(m.begin(), m.end(), [](double v) { return std::isfinite(v); });
    });
}

// The sampled bones that pose a model NPC by its rig, or null for the part path.
const std::vector<std::array<double, 12>>* rigBones(const adventure::Npc& npc, const NpcMotion* motion) {
    if (npc.modelResource.empty() || !npc.animated || motion == nullptr || motion->bones.empty()) return nullptr;
    return actionClip(npc, motion->action) >= 0 ? &motion->bones : nullptr;
}

}  // namespace

float App::npcTextureLayer(uint8_t id, int32_t face) const {
    const content::FaceTextureTable& table = content::faceTextureTable();
    const bool atlasReady = atlases.atlasImage != VK_NULL_HANDLE && table.built;
    if (face < 0) return static_cast<float>(voxel::textureLayer(id, 0));
    const uint32_t f = static_cast<uint32_t>(face);
    if (atlasReady && f <= 5 && id < table.faces.size()) return table.faces[id][f];
    const std::vector<std::string>& textures = voxel::blockDef(id).textures;
    if (f < textures.size()) {
        const std::vector<std::string>& extra = atlases.npcTextures;
        const auto found = std::find(extra.begin(), extra.end(), textures[f]);
        if (found != extra.end()) return content::customTextureBase + static_cast<float>(found - extra.begin());
    }
    return static_cast<float>(voxel::textureLayer(id, f));
}

void App::emitNpcModel(std::vector<render::MeshVertex>& list, const adventure::Npc& npc, const NpcMotion* motion,
                       const render::NpcBody& body, double alpha) {
    const uint8_t id = content::adventureResourceId(npc.modelResource);
    render::NpcModelFigure model;
    model.vertices = &voxel::blockDef(id).modelVertices;
    model.parts = &npc.vertexParts;
    for (std::size_t k = 0; k < npc.partPivots.size(); ++k) model.pivots[k + 1] = npc.partPivots[k];
    model.scale = npc.modelScale;
    model.foot = {npc.modelCentreX, npc.modelBaseY, npc.modelCentreZ};
    if (const std::vector<std::array<double, 12>>* bones = rigBones(npc, motion)) {
        model.vertexBones = &npc.rig.vertexBones;
        model.bones = bones;
    }
    if (npc.animated && motion != nullptr && motion->walking) {
        model.legSwing = render::modelLegSwing(motion->walkAmount, npc.motionAmplitude);
        model.walkPhase = motion->previousWalkPhase + (motion->walkPhase - motion->previousWalkPhase) * alpha;
    }
    model.layerOf = [this, id](int32_t face) { return npcTextureLayer(id, face); };
    render::emitModelFigure(list, model, body);
}

void App::buildNpcFigures(std::vector<render::MeshVertex>& list) {
    const double a = tickAlpha();
    for (const auto& [key, stored] : adventureState.npcPositions) {
        const NpcMotion* motion = findIn(adventureState.npcMotion, key);
        render::NpcBody body;
        body.position = drawPosition(stored, motion, a);
        const adventure::Npc* npc = activeNpc(*this, key);
        if (npc == nullptr || !finite(body.position)) continue;
        // Distance first: a position near the player converts to cell coordinates safely.
        if (std::hypot(body.position[0] - player.x, body.position[2] - player.z) > kDrawDistance) continue;
        const int32_t cx = voxel::floorDiv(static_cast<int32_t>(std::floor(body.position[0])), 16);
        const int32_t cz = voxel::floorDiv(static_cast<int32_t>(std::floor(body.position[2])), 16);
        if (findChunk(cx, cz) == nullptr) continue;
        body.height = npc->height;
        body.halfWidth = bodyHalfWidth(*npc);
        if (!showHitboxes && frame.planesValid && !render::boxInView(frame.planes, bodyBox(body))) continue;
        NpcFigureState& figure = npcDrawing.figures[key];
        if (!figure.yawSet) {
            figure.yaw = npc->facesPlayer ? std::atan2(player.z - body.position[2], player.x - body.position[0])
                                          : npc->facing * std::numbers::pi / 180.0;
            figure.yawSet = true;
        }
        body.yaw = figure.yaw;
        body.motion = npcMotion(*npc, figure, motion, a);
        const std::vector<std::array<double, 12>>* bones = rigBones(*npc, motion);
        if (!finite(body.motion) || (bones != nullptr && !finiteBones(*bones))) continue;
        if (npc->modelResource.empty()) {
            render::emitBoxFigure(list, body);
        } else {
            emitNpcModel(list, *npc, motion, body, a);
        }
        if (showHitboxes) {
            const render::Box box = bodyBox(body);
            render::emitBoxOutline(list, {box[0], box[1], box[2]}, {box[3], box[4], box[5]}, kHitboxColour);
        }
    }
}

void App::animateNpcs(float seconds) {
    const double dt = std::isfinite(seconds) && seconds > 0.0f ? seconds : 0.0;
    std::erase_if(npcDrawing.figures,
                  [&](const auto& entry) { return !adventureState.npcPositions.contains(entry.first); });
    for (const auto& [key, stored] : adventureState.npcPositions) {
        const adventure::Npc* npc = activeNpc(*this, key);
        if (npc == nullptr) continue;
        auto [entry, fresh] = npcDrawing.figures.try_emplace(key);
        NpcFigureState& figure = entry->second;
        if (fresh) figure.idle.time = render::idleClockStart(key);
        figure.idle.time += dt;
        NpcMotion* motion = findIn(adventureState.npcMotion, key);
        if (motion == nullptr || !npc->animated) continue;
        const int32_t clip = actionClip(*npc, motion->action);
        if (clip < 0) {
            motion->bones.clear();
            continue;
        }
        figure.clipTime = figure.clipAction == motion->action ? figure.clipTime + dt : 0.0;
        figure.clipAction = motion->action;
        const bool loop = motion->action != adventure::npcGesture;
        motion->bones = render::npcBoneMatrices(npc->rig, bbanim::sampleClip(npc->rig, clip, figure.clipTime, loop));
    }
}
