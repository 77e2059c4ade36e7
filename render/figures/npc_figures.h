#pragma once
// The figures of non-player characters: the breathing, swaying and blinking of an idle person, the
// pose of one point of a body part squeezed into the body cylinder, the box figure of a person
// without a model and the posed triangles of one with a model. Pure: no App, no device.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "render/chunks/mesh_vertex.h"
#include "render/figures/colour_box.h"
#include "world/block_registry.h"

namespace render {

// The idle clock of one figure.
struct ActorIdleState {
    double time = 0.0;    // seconds, t
    double speed = 1.0;   // sway speed factor, v
    double attack = 0.0;  // seconds of a running attack swing, a; 0 when none
    double alert = 0.0;   // seconds alert, e; 0 when calm
};

// Offsets of an idle figure: bob in blocks, pose angles in radians for body parts 1, 2 and 3.
struct ActorMotion {
    double bob = 0.0;
    std::array<double, 3> angles{};
    bool blink = false;
};

// Where and how big a figure stands, and how it is posed this frame.
struct NpcBody {
    Double3 position{};      // feet, world blocks
    double yaw = 0.0;        // radians
    double height = 1.82;    // blocks
    double halfWidth = 0.3;  // blocks
    ActorMotion motion;
};

// Box figures are drawn for this height and scaled evenly to the body's.
inline constexpr double kBoxFigureHeight = 1.82;

// All zero when not animated.
ActorMotion actorIdleMotion(const ActorIdleState& state, bool animated, double amplitude);

// Turns parts 1..3 about the pivot by their angle, lifts parts 0 and 1 by the bob, then clamps the
// point into the body cylinder (x forwards, y up, z to the side, feet at the origin).
Double3 npcPartPoint(const Double3& point, uint32_t part, const Double3& pivot, const NpcBody& body);
// Only the clamp into the body cylinder.
Double3 clampIntoBody(const Double3& point, const NpcBody& body);
// A local point of the figure turned by the yaw and moved to the feet.
Double3 placeOnBody(const Double3& local, const NpcBody& body);

// One shaded box of a box figure: scaled to the body height with its pivot, posed as part, placed.
void emitNpcPartBox(std::vector<MeshVertex>& list, const Double3& min, const Double3& max, const Double3& colour,
                    uint32_t part, const Double3& pivot, const NpcBody& body);
// The whole box figure: legs, torso, belt, head, hair, then arm, hand and eye of each side.
void emitBoxFigure(std::vector<MeshVertex>& list, const NpcBody& body);

// What the model figure needs of the NPC and its model.
struct NpcModelFigure {
    const std::vector<ModelVertex>* vertices = nullptr;
    const std::vector<uint32_t>* parts = nullptr;  // per vertex; 0 beyond its end
    std::array<Double3, 4> pivots{};                // parts 0..3, fitted blocks
    double scale = 1.0;
    Double3 foot{};  // model x, bottom y, model z
    // The rig path: per vertex its bone, and the sampled 3 x 4 matrix of every bone (pixels).
    const std::vector<uint32_t>* vertexBones = nullptr;
    const std::vector<std::array<double, 12>>* bones = nullptr;
    // The leg swing while walking; 0 keeps the legs still.
    double legSwing = 0.0;
    double walkPhase = 0.0;
    // The layer value of a texture index of the model.
    std::function<float(int32_t)> layerOf;
};

// The local point of model vertex i, posed by its bone when it has a sampled one, else by its part.
Double3 modelFigurePoint(const NpcModelFigure& model, std::size_t i, const NpcBody& body);
void emitModelFigure(std::vector<MeshVertex>& list, const NpcModelFigure& model, const NpcBody& body);

// Leg swing angle amplitude of a walking model figure.
double modelLegSwing(double walkAmount, double amplitude);

}  // namespace render
