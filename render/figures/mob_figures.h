#pragma once
// The triangles of one mob in world coordinates: its voxel model posed by walk, wings and attack,
// or a built-in box figure (skeleton, boar), then attack telegraphs, state tints and the death
// tip-over. Pure: reads the records it is given and the block registry, nothing else.
#include <cstdint>
#include <vector>

#include "content/mobs.h"
#include "game/entities.h"
#include "render/chunks/mesh_vertex.h"
#include "render/figures/colour_box.h"
#include "render/view/view_planes.h"
#include "world/block_registry.h"

namespace render {

inline constexpr int32_t kAttackHeavy = 3;
inline constexpr int32_t kAttackRush = 4;
inline constexpr int32_t kAttackWave = 5;

// Half-width and height of a mob's body: its own values when above 0, else its template's.
struct MobBody {
    double halfWidth = 0.0;
    double height = 0.0;
};
MobBody mobBody(const Mob& mob);

// The definition whose id is the mob's; else the first (template 0) or second (any other template).
// Null only when the list holds no definition for that fallback.
const content::MobDef* mobDefinition(const std::vector<content::MobDef>& defs, const Mob& mob);

// False when a position, the yaw, the walk phase, a velocity or a body size is not finite: such a
// record (from a peer or a damaged file) is skipped, not drawn.
bool mobIsFinite(const Mob& mob);

// The frustum test; hitbox display and an invalid frustum draw every mob.
bool mobInView(const Mob& mob, const content::MobDef& def, const ViewPlanes& planes, bool planesValid,
               bool hitboxes);

// Arm swing of the attack, 0 at rest: rises through the wind-up, swings and settles after the strike.
double mobAttackPose(const Mob& mob, double alpha);

// Rotation of a model part (2..5) about its pivot in the model's x-y plane, in radians.
double modelPartAngle(uint32_t part, const Mob& mob, const content::MobDef& def, double phase, double speed,
                      double alpha);

// Where and how the mob stands this frame.
struct MobPlacement {
    Double3 position{};  // interpolated feet position
    double yaw = 0.0;
    double phase = 0.0;  // walk phase
    double speed = 0.0;  // horizontal, blocks per second
    double bob = 0.0;
};
// snapshot: the LAN host's previous yaw and phase, or null.
MobPlacement placeMob(const Mob& mob, const MobSnapshot* snapshot, double alpha);

// One box of a built-in figure in the mob's local frame (x forwards, z to the side).
struct FigureBox {
    Double3 min{};
    Double3 max{};
    Double3 colour{};
};
std::vector<FigureBox> skeletonBoxes(double bob, double pose);
std::vector<FigureBox> boarBoxes(double bob);

// The model in the skeleton's hand (the sword or the bow), placed by the mob's frame.
void emitHeldModel(std::vector<MeshVertex>& list, const std::vector<ModelVertex>& model, uint8_t resourceId,
                   const Double3& origin, double yaw);

// The mob's voxel model, posed and placed. Vertices past the part list stay unposed.
void emitMobModel(std::vector<MeshVertex>& list, const std::vector<ModelVertex>& model, uint8_t resourceId,
                  const Mob& mob, const content::MobDef& def, const MobPlacement& place, double alpha);

// Scales list[from..] about origin: horizontally by sx, vertically by sy.
void scaleAbout(std::vector<MeshVertex>& list, std::size_t from, const Double3& origin, double sx, double sy);

// How far a dead mob has tipped, 0..1 (reached after 16 ticks).
double deathProgress(int32_t deathTimer, double alpha);

// Green and blue multipliers of the wind-up and hurt tints; {1, 1} when neither shows.
struct Tint {
    double green = 1.0;
    double blue = 1.0;
};
Tint mobTint(const Mob& mob);

// Tips list[from..] sideways about origin by progress p (angle p x 1.45) and lifts it by
// p x width x 0.5.
void tipOver(std::vector<MeshVertex>& list, std::size_t from, const Double3& origin, double yaw, double progress,
             double width);

// What the telegraphs need beyond the mob and its definition.
struct TelegraphView {
    double alpha = 0.0;
    double viewYaw = 0.0;          // the player's, radians
    double playerX = 0.0, playerZ = 0.0;
    double groundY = 0.0;          // the ring height of a heavy attack
};
void emitTelegraphs(std::vector<MeshVertex>& list, const Mob& mob, const content::MobDef& def,
                    const MobPlacement& place, double figureHeight, const TelegraphView& view);

// The resources a mob is drawn with (0: none).
struct MobResources {
    const std::vector<ModelVertex>* model = nullptr;  // the definition's model vertices
    uint8_t modelId = 0;
    const std::vector<ModelVertex>* held = nullptr;  // the skeleton's sword or bow
    uint8_t heldId = 0;
};

// One mob's body, telegraphs, tints and death tip-over (no hitbox outline).
void emitMob(std::vector<MeshVertex>& list, const Mob& mob, const content::MobDef& def, const MobPlacement& place,
             const MobResources& resources, const TelegraphView& view);

// The outline colour and box of a live mob around its interpolated position.
void emitMobHitbox(std::vector<MeshVertex>& list, const Mob& mob, const Double3& position);

}  // namespace render
