// The held self-test: the swing curve and the hand placement of the game's own rules, and the held
// pose of a sword, a drawn bow, a block and a raised shield from the content pack, read through
// the App as the frame reads them.
#include <cmath>
#include <numbers>
#include <sstream>
#include <string>

#include "app/app.h"
#include "selftest/check_list.h"
#include "selftest/scenario_world.h"
#include "selftest/scenarios.h"
#include "world/block_registry.h"

namespace selftest {

namespace {

constexpr double kTolerance = 1e-5;
constexpr double kRestRight = 0.5649375, kRestForward = 0.725;

std::string vectorText(const render::Double3& v) {
    std::ostringstream text;
    text << v[0] << ", " << v[1] << ", " << v[2];
    return text.str();
}

void requireNear(double got, double want, const std::string& check) {
    std::ostringstream found;
    found << got << ", not " << want;
    require(std::abs(got - want) <= kTolerance, check, found.str());
}

void requireOffset(const render::Double3& got, const render::Double3& want, const std::string& check) {
    const bool near = std::abs(got[0] - want[0]) <= kTolerance && std::abs(got[1] - want[1]) <= kTolerance &&
                      std::abs(got[2] - want[2]) <= kTolerance;
    require(near, check, vectorText(got) + ", not " + vectorText(want));
}

void hold(App& app, uint8_t id) {
    app.inventory.selected = 0;
    app.inventory.hotbar[0] = InventorySlot{id, 1, 0};
    app.player.swingPhase = 0.0f;
    app.actions = PlayerActions{};
}

double restUp(uint8_t id) { return voxel::blockDef(id).firstPersonDisplay.authored ? -0.519875 : -0.34; }

void swingCurve(App& app) {
    struct Row {
        const char* what;
        float phase;
        int32_t charge;
        bool heavy, combat;
        double expected;
    };
    const Row rows[] = {
        {"at rest", 0.0f, 0, false, false, 0.0},
        {"quarter", 0.25f, 0, false, false, std::sin(std::numbers::pi / 4)},
        {"half", 0.5f, 0, false, false, 1.0},
        {"heavy blow half", 0.5f, 0, true, true, 1.175},
        {"past the end", 1.5f, 0, true, true, 0.0},
        {"light charge half a step in", 0.0f, 10, false, false, -0.18375},
    };
    for (const Row& row : rows) {
        app.player.swingPhase = row.phase;
        app.actions = PlayerActions{};
        app.actions.chargeRemaining = row.charge;
        app.actions.chargeLength = 20;
        app.actions.chargeHeavy = row.heavy;
        app.actions.combatSwing = row.combat;
        app.clock.accumulator = 0.025;
        requireNear(app.swingAmount(), row.expected, std::string("swing curve, ") + row.what);
    }
    app.clock.accumulator = 0.0;
}

void swordPose(App& app, uint8_t sword) {
    hold(app, sword);
    const std::array<float, 6>& b = voxel::blockDef(sword).modelBounds;
    requireNear(app.heldGripPoint(sword)[1], b[1] + (b[4] - b[1]) * 0.18f, "sword grip point, 18 % up the blade");
    requireOffset(app.firstPersonHandOffset(), {kRestRight, restUp(sword), kRestForward}, "sword at rest");
    app.player.swingPhase = 0.5f;
    // An attack clip of the sword's own moves the item; without one the hand swings by the rule.
    const bool clip = app.armPose() != nullptr;
    const double s = clip ? 0.0 : 1.0;
    requireOffset(app.firstPersonHandOffset(), {kRestRight - 0.08 * s, restUp(sword) - 0.1 * s, kRestForward - 0.15 * s},
                  clip ? "sword swing under its clip" : "sword swing");
}

void bowPose(App& app, uint8_t bow) {
    hold(app, bow);
    require(app.isHoldingBow() && !app.isHoldingShield(), "bow", "not held as a bow");
    const render::Double3 resting = app.handWorldPosition();
    app.clock.tick = 1000;
    app.actions.bowDrawing = true;
    app.actions.bowDrawStartTick = 990;
    requireNear(app.bowDrawProgress(), 0.5, "bow drawn 10 steps");
    app.actions.bowDrawStartTick = 960;
    requireNear(app.bowDrawProgress(), 2.0, "bow drawn 40 steps");
    const bool clip = app.armPose() != nullptr;
    // A full draw pulls the hand 0.13 back; a longer one no further.
    requireOffset(app.firstPersonHandOffset(), {kRestRight - (clip ? 0.0 : 0.13), restUp(bow), kRestForward},
                  "bow fully drawn");
    const render::Double3 raised = app.handWorldPosition();
    require(raised[1] > resting[1] + 0.3, "bow raises the arm",
            "hand at " + vectorText(raised) + ", resting at " + vectorText(resting));
}

void blockPose(App& app, uint8_t block) {
    hold(app, block);
    require(!app.isHoldingBow() && !app.isHoldingShield(), "block", "held as a bow or a shield");
    const std::array<float, 6>& b = voxel::blockDef(block).modelBounds;
    requireNear(app.heldGripPoint(block)[1], (b[1] + b[4]) / 2.0, "block grip point in the middle");
    requireOffset(app.firstPersonHandOffset(), {kRestRight, restUp(block), kRestForward}, "block at rest");
}

void shieldPose(App& app, uint8_t shield) {
    hold(app, shield);
    require(app.isHoldingShield(), "shield", "not held as a shield");
    app.actions.blocking = true;
    app.actions.shieldRaise = 1.0f;
    app.actions.blockTimer = 10;
    requireOffset(app.firstPersonHandOffset(), {kRestRight - 0.13, restUp(shield) + 0.15, kRestForward + 0.08},
                  "shield raised");
    app.actions.shieldRaise = 0.5f;
    app.actions.blockTimer = 0;
    requireOffset(app.firstPersonHandOffset(), {kRestRight - 0.065, restUp(shield) + 0.075, kRestForward},
                  "shield half raised");
}

void heldChecks(const Path& work, const Path& contentRoot) {
    App app;
    prepareScenarioApp(app, work, contentRoot);
    loadScenarioContent(app);
    app.player.x = 0.0f, app.player.y = 1.62f, app.player.z = 0.0f;
    app.player.yaw = 0.0f, app.player.pitch = 0.0f;
    swingCurve(app);
    swordPose(app, requireResource("core:iron_sword", "sword"));
    bowPose(app, requireResource("core:bow", "bow"));
    blockPose(app, requireResource("core:oak_planks", "block"));
    shieldPose(app, requireResource("core:shield", "shield"));
}

}  // namespace

int held(const Path& out, const Path& contentRoot) {
    return runChecks(out / "held-self-test.log",
                     "HELD_OK: swing curve, hand offsets and grip points of a sword, a drawn bow, a block and a "
                     "raised shield",
                     [&] { heldChecks(out / "held-self-test", contentRoot); });
}

}  // namespace selftest
