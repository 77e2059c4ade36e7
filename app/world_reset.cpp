// Returning the App to a clean state before another world or dimension: the chunk window emptied
// with every background task settled, and the per-world members back at the constructor's values.
#include <utility>

#include "app/app.h"
#include "audio/mixer.h"
#include "render/vulkan/vulkan_check.h"

namespace {

// Waits for a task that was not taken and drops its result; a failure it stored is raised.
template <typename T>
void discardTask(std::future<T>& task) {
    std::future<T> pending = std::move(task);
    if (pending.valid()) pending.get();
}

void destroyAllMeshes(App& app) {
    if (app.gpu.dev && !app.world.meshes.empty()) {
        render::check(vkDeviceWaitIdle(app.gpu.dev), "vkDeviceWaitIdle(dev)", 127);
        for (auto& [key, mesh] : app.world.meshes) app.destroyMesh(mesh);
    }
    app.world.meshes.clear();
}

void forgetAllChunks(ChunkWindowState& world) {
    world.chunks.clear();
    world.chunkMap.clear();
    world.modified.clear();
    world.remesh.clear();
    world.relight.clear();
    world.functionalCells.clear();
    world.columnHeights.clear();
    ++world.heightsRevision;
}

// Survival values, the hand and combat timers and the armour; the pose with its motion.
void resetPlayer(PlayerState& player, double maximumStamina) {
    const PlayerState fresh;
    player.air = fresh.air;
    player.food = fresh.food;
    player.health = fresh.health;
    player.stamina = maximumStamina;
    player.swingHold = fresh.swingHold;
    player.swingSlow = fresh.swingSlow;
    player.decayTimer = fresh.decayTimer;
    player.swingPhase = fresh.swingPhase;
    player.blend = fresh.blend;
    player.blendTarget = fresh.blendTarget;
    player.armor = fresh.armor;
    player.chunkX = fresh.chunkX;
    player.chunkZ = fresh.chunkZ;
    player.x = fresh.x;
    player.y = fresh.y;
    player.z = fresh.z;
    player.yaw = fresh.yaw;
    player.pitch = fresh.pitch;
    player.velocityX = fresh.velocityX;
    player.velocityY = fresh.velocityY;
    player.velocityZ = fresh.velocityZ;
    player.resetMouseLook = fresh.resetMouseLook;
    player.thirdPerson = fresh.thirdPerson;
    player.lightFade = fresh.lightFade;
}

// Block entities, moving doors and chest lids, pending block updates, water levels, furnaces,
// particles and the edit history.
void resetSimulation(App& app) {
    ChunkWindowState& world = app.world;
    world.blockStates.clear();
    world.movingDoors.clear();
    world.doorBlockedUntil = 0.0;
    world.updateSet.clear();
    world.updateQueue.clear();
    world.undo.clear();
    world.redo.clear();
    app.machines.clear();
    // The world's moving things belong to it; the next world starts without them.
    app.entities.mobs.clear();
    app.entities.droppedItems.clear();
    app.entities.arrows.clear();
    app.entities.sparks.clear();
    app.entities.particles.clear();
    app.meshing.waterLevels.clear();
    app.meshing.waterLevelsChanged = true;
    app.sim = WorldSimState{};
    // The next world's moving blocks are built afresh; the buffers stay for reuse.
    app.functional.chestLids.clear();
    app.functional.openChest.reset();
    app.functional.signatureValid = false;
    app.functional.vertices.clear();
}

}  // namespace

void App::unloadAllChunks() {
    world.remesh.clear();
    ++meshing.revision;
    discardTask(meshing.task);
    meshing.solidIndexCount = 0;
    discardLighting();
    meshing.waterLevelsChanged = true;
    stopPendingTask();
    destroyAllMeshes(*this);
    forgetAllChunks(world);
    // Particles live in the cells of the window just emptied: none may drift into the next world.
    entities.particles.clear();
    functional.particleVertexCount = 0;
}

void App::resetWorldState() {
    maps.view = MapViewState{};
    // The map of the world being left is written before the cache forgets it; the next world's
    // maps are read when first needed.
    saveMap();
    maps.cache.clear();
    maps.directory.clear();
    resetPlayer(player, rules.combat.maximum);
    motion = PlayerMotion{};
    // A client holding an action tells the host it ended; the hands are free and hold no button.
    releaseHeldActions();
    resetSimulation(*this);
    // Progression, the standing (wallet, reputation, quest log), the melee timer, the hands' mining
    // target and the NPCs placed in this world.
    combat = CombatState{};
    hands = HandState{};
    // The potions drunk, the structure chests filled and the living world's clocks of this world.
    potionEffects = PotionEffects{};
    loot = LootState{};
    livingClocks = LivingClocks{};
    adventureState.standing = adventure::PlayerStanding{};
    adventureState.npcPositions.clear();
    adventureState.npcMotion.clear();
    hasBed = false;
    sleepStart = -1.0;
    woken = false;
    audio::clearVoices(mixer);
    clock.tick = 0;
    clock.timeOfDay = WorldClock{}.timeOfDay;
    clock.accumulator = 0.0;
    inventory = Inventory{};
    inventory.heldBlock = inventory.hotbar[static_cast<std::size_t>(inventory.selected)].id;
    containers.chests.clear();
    // The next world brings its own generation value, profile and read state.
    generationStage = 4;
    saves = SaveState{};
}

void App::stopPendingTask() {
    if (!stream.task.valid()) return;
    std::future<StreamedChunk> pending = std::move(stream.task);
    // Discarded means discarded, a failed load too: its chunk file stays as it is and is met again
    // when the chunk is next asked for, while leaving or travelling goes on.
    try {
        pending.get();
    } catch (const std::runtime_error&) {
    }
}
