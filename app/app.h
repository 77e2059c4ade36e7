#pragma once
// The one application object: all game state, grouped by the subsystem that owns it, and most of
// the game's logic as member functions defined in that subsystem's folder.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "adventure/adventure_state.h"
#include "adventure/living_clocks.h"
#include "adventure/loot_roll.h"
#include "app/background_tasks.h"
#include "app/chunk_stream_state.h"
#include "app/chunk_window_state.h"
#include "app/game_root.h"
#include "audio/mixer.h"
#include "content/content_state.h"
#include "game/combat_state.h"
#include "game/containers.h"
#include "game/dimension_cells.h"
#include "game/entities.h"
#include "game/hand_rules.h"
#include "game/hand_state.h"
#include "game/machine.h"
#include "game/player_motion.h"
#include "game/player_state.h"
#include "game/potion_effects.h"
#include "game/world_map_state.h"
#include "game/world_sim_state.h"
#include "models/vxm.h"
#include "net/session.h"
#include "render/atlases/atlas_state.h"
#include "render/atlases/content_meta.h"
#include "render/atlases/descriptor_set_state.h"
#include "render/chunks/chunk_mesher.h"
#include "render/chunks/finished_mesh.h"
#include "render/chunks/light_state.h"
#include "render/chunks/mesh_scheduling.h"
#include "render/figure_passes/body_pass_state.h"
#include "render/figure_passes/dynamic_pass_state.h"
#include "render/figure_passes/functional_pass_state.h"
#include "render/figure_passes/npc_pass_state.h"
#include "render/figures/functional_geometry.h"
#include "render/frame/frame_state.h"
#include "render/vulkan/buffers.h"
#include "render/vulkan/device.h"
#include "render/vulkan/swapchain.h"
#include "save/save_state.h"
#include "save/settings.h"
#include "ui/chat.h"
#include "ui/lan_screens_state.h"
#include "ui/map_panel.h"
#include "ui/menu_buttons.h"
#include "ui/screen_texts.h"
#include "ui/ui_state.h"

struct GLFWwindow;

struct App {
    App();
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // --- Application core (app/) ---
    void startUp();
    // Stages 6 to 8 of start-up: the first listed world (or a new one), its terrain and its saves.
    // A world whose saves or chunk files cannot be read is set aside, so the menu still opens.
    void openStartupWorld();
    void run();
    // One turn of the frame loop: events, screens, chunk window, player, world steps, drawing.
    void runFrame();
    // Runs before the App is built in the modes that take an output folder: base, world and saves
    // move there and the chunk window shrinks.
    void useRenderTestBase(const std::filesystem::path& folder);
    // Base, world and saves move to the folder, which is created; the chunk window keeps its size.
    void useBaseDirectory(const std::filesystem::path& folder);
    std::vector<uint32_t> loadShaderCode(const std::string& fileName) const;
    // Acts once for each Escape press latched since the last frame.
    void handleEscape();
    void runWorldSteps(double now);
    void updateSleepFade(double now);
    void easeHandTimers();

    // --- Window and device (render/vulkan/) ---
    void createWindowAndDevice();
    void createFrameSync();
    uint32_t findMemoryType(uint32_t typeBits, VkMemoryPropertyFlags properties) const;
    void uploadBuffer(BufferSlot& slot, uint64_t bytes, VkBufferUsageFlags usage, const void* data);
    void uploadBufferData(BufferSlot& slot, uint64_t bytes, VkBufferUsageFlags usage, const void* data);
    void shutdown();

    // --- Swapchain, pipelines and screenshots (render/vulkan/: swapchain, pipelines, screenshot) ---
    void createSwapchain();
    void destroySwapchainResources();
    void createPipelines();
    // The caller destroys the module once its pipelines exist.
    VkShaderModule createShaderModule(const std::string& fileName);
    // Fulfils a pending screenshot request from the swapchain image just submitted.
    void captureScreenshot(uint32_t imageIndex);

    // --- Content (content/) ---
    // Block and item resources with their stable numeric ids (start-up stage 2).
    void loadContentResources();
    // The rule and catalog loaders in their start-up order (stage 3).
    void loadContentRules();
    // Marks the ids whose behaviour is door, trapdoor, ladder or bed.
    void buildBlockFlagTable();
    // Quests and NPCs checked against the loaded mobs and inhabited structures; the NPC models'
    // textures join the face texture table. The catalog stays when loading fails.
    void loadAdventureContent();
    // The model fields of every mob definition that names a model resource.
    void prepareMobModels();
    // The id of "core:arrow", 0 when no such resource is loaded.
    uint8_t arrowResourceId() const;
    // The id (13 or above) of the available custom resource with this content id; 0 when none.
    uint8_t customResourceId(const std::string& contentId) const;

    // --- Models (models/) ---
    void splitPlayerModel();

    // --- Gameplay (game/) ---
    void updatePlayer();
    // The keys held now, and Space pressed since the last step even when already released again.
    game::MoveInput takeMoveInput();
    // One movement step of the player's body through the loaded world, without reading any keys.
    void movePlayer(const game::MoveInput& input, double dt);
    // The item in the body armour slot when it is a glider, else null.
    const voxel::BlockDef* hasGliderEquipped() const;
    void tickWorld();
    void updatePlayerChunk();
    bool useBlock(int32_t x, int32_t y, int32_t z);

    // --- The player's hands (game/hands.cpp, game/dropped_items.cpp) ---
    void handleUseInput();
    // The first cell the view ray meets within reach that is neither air nor water.
    game::RayCell aimedCell() const;
    // Digs the aimed block while active; a mob in melee reach takes the swing instead.
    void mineStep(bool active, const game::RayCell& aim, float dt);
    // Removes the block (both halves of a two-part one), drops what it leaves and wears the tool.
    void breakBlock(int32_t x, int32_t y, int32_t z);
    // Places one block of the selected slot against the aimed cell.
    bool placeHeldBlock(const game::RayCell& aim);
    // Held food is eaten once the timed use has run its full length.
    void eatStep(bool pressed, bool held);
    // A held potion is drunk the same way, and gives its effect (game/potion_drinking.cpp).
    void drinkStep(bool pressed, bool held);
    // A chest of a generated structure takes its loot table's roll the first time it is opened
    // (game/structure_chests.cpp).
    void fillStructureChest(const CellKey& cell);
    void toggleDoor(const CellKey& anchor);
    bool sleepInBed(const CellKey& anchor);
    const adventure::Npc* findNpc(const std::string& id) const;
    void dropItem(uint8_t id, int32_t count, float x, float y, float z);
    // Puts items into the hotbar, then the main slots; answers the count that did not fit.
    int32_t giveItem(uint8_t id, int32_t count);
    // One world step of the dropped items: fall, spin, pick-up and despawn.
    void stepDroppedItems();

    // --- World step: water, crops, furnaces, hunger, portals, orphaned containers (game/water_flow.cpp,
    //     game/crop_growth.cpp, game/furnace.cpp, game/portals.cpp, game/orphaned_containers.cpp) ---
    // Queues the chunk's flowing water cells (heights 1..127, with a level) not yet queued that can
    // flow down or sideways; still water waits for an edit beside it.
    void scanWaterCells(const voxel::Chunk& chunk);
    // Loaded air only: water never flows into a chunk that is not there.
    bool waterCanFlowInto(int32_t x, int32_t y, int32_t z) const;
    void stepWater();
    void stepBlockUpdates();
    // Starts the growth clock of a crop cell that is not ripe, unless it already runs.
    void noteCropCell(const CellKey& cell, uint8_t id);
    void scanCropCells(const voxel::Chunk& chunk);
    void stepCrops();
    void stepFurnaces();
    void updatePortals();
    void spillOrphanedChests();
    void spillOrphanedFurnaces();

    // --- Adventure (adventure/) ---
    // Places the residents of the cities and inhabited structures around the player.
    void prepareCities();

    // --- Persistence (save/) ---
    void loadSettings();
    void saveSettings() const;
    void listWorlds();
    void loadWorld();
    void saveWorld();
    // The periodic save: the writers run in snapshot mode, so the background writer replaces the files.
    void autosave();
    // A world is open and its files are ours: a LAN guest's world is the session's, not saved here.
    bool writesWorldFiles() const;
    // After an action of the player (a block dug or placed, a window closed, an item picked up ...):
    // the files that hold items and those `also` names, as the action left them, go to the background
    // writer as one save set, so a crash loses the action whole or keeps it whole, never half. Files
    // the disk holds already when the writer comes to the set are not written.
    void saveActionFiles(ActionFiles also = {});

    // --- Saves: per-world files (save/world_state_save.cpp) ---
    // Start-up's readers in their fixed order; each reads its file when present. A file that exists
    // but cannot be read whole raises and blocks every writer of this world.
    void loadSavedState();
    void loadBlockStates();
    void loadInventory();
    void loadProgression();
    void loadAdventure();
    void loadPlayer();
    void loadDroppedItems();
    void loadArrows();
    void loadMachines();
    void loadChests();
    void loadBedSpawn();
    // Crop clocks and water levels join what the loaded chunks already brought; the file wins.
    void loadCrops();
    void loadWater();
    void loadActors();
    // Potion effects, filled structure chests and the living world's clocks.
    void loadPotionEffects();
    void loadLootState();
    void loadLivingState();
    // The readers loadSavedState calls, in their order.
    using SaveReader = void (App::*)();
    static std::span<const SaveReader> saveReaders();
    void saveInventory();
    void savePlayer();
    void saveMachines();
    // Every per-world file but the inventory, the chunks, generation.json and world.txt.
    void saveWorldState();
    // The state files beside world.txt, name and bytes, in the order they are written; throws
    // "Cannot save <file>: ..." for a collection its reader would refuse.
    std::vector<std::pair<const char*, std::string>> encodeWorldState() const;
    template <typename T>
    std::optional<T> readSaveFile(const char* name, std::optional<T> (*decode)(const std::string&));
    void writeSaveFile(const char* name, const std::string& bytes);

    // --- Interface (ui/) ---
    void throwIfLoadCancelled(LoadingWindow& window, int progress, const std::string& stage);
    void setScreen(int32_t screen);
    void closeScreen();
    void resetTextEntry();
    void handleScreenInput();
    void showToast(const std::u32string& text);
    void releaseHeldActions();
    // Keeps held buttons and keys from acting again after a screen change.
    void rearmInputLatches();
    // Captures the mouse for looking around, or frees the cursor for a screen.
    void setCursorCaptured(bool captured);
    void onKey(GLFWwindow* window, int key, int scanCode, int action, int modifiers);
    void onMouseButton(GLFWwindow* window, int button, int action, int modifiers);
    void onChar(GLFWwindow* window, unsigned int codePoint);
    void onScroll(GLFWwindow* window, double xOffset, double yOffset);

    // --- Chat (ui/chat_input.cpp) ---
    // Opens the chat's text entry over play; a letter key that opened it types nothing.
    void openChat(bool byLetterKey);
    // The entry's share of onKey and onChar while it is open.
    void chatKey(int key);
    void chatChar(unsigned int codePoint);
    // Enter: the line goes to the chat lines with the player's name and, in a LAN session, to the
    // others; the entry closes.
    void submitChat();
    // What the overlay shows of the chat this frame (ui/overlay_panels.cpp).
    ui::ChatOverlay chatOverlay() const;

    // --- Inventory and container screens (ui/inventory_screens.cpp) ---
    void openInventory();
    // Opens the chest, furnace or crafting window of the block at cell over play.
    void openContainerScreen(ContainerKind kind, const CellKey& cell);
    uint32_t craftSelected(bool apply);
    uint32_t craftableCount() const;
    void handleInventoryInput();
    void handleContainerInput();
    void returnCursorStack();
    const std::vector<content::Recipe>& openRecipes() const;
    const content::Recipe* selectedRecipe() const;
    InventorySlot* screenSlot(uint32_t code);
    bool slotAccepts(uint32_t code, const InventorySlot& stack) const;
    void clickScreenSlot(uint32_t code, bool right);
    void quickMoveSlot(uint32_t code);
    void selectRecipeRow(uint32_t row);
    void handleCraftingKeys();
    void handleSlotClicks();
    std::array<float, 2> cursorInFramebuffer() const;
    // The screens' part of the overlay (`words`, the content meta buffer): the toast, the menu
    // buttons' labels, the open window's title and panel contents, the worn armour, the LAN
    // screens, the map and the chat.
    void writeScreenOverlay(std::span<uint32_t> words);
    // Once a frame before recording (render/frame/overlay_writer.cpp): every per-frame region of the
    // content meta buffer, the lamps of the lighting pass, the screens' part and the interface's
    // layout, which it keeps for the frame (FrameState::interface).
    void updateOverlay();

    // --- World map (save/map_storage.cpp, game/map_exploring.cpp, ui/map_screen.cpp) ---
    // The current dimension's map, read from its file the first time it is needed; a file that
    // cannot be read leaves an empty map that is never written over it.
    game::WorldMap& currentMap();
    // Writes the current dimension's map, then every other changed map of the cache.
    void saveMap();
    // Once a frame in an open world: queues the chunks around the player and records a few queued
    // chunks into the current map, with the cities they show.
    void updateWorldMap();
    // A loaded chunk waits to be recorded again: explored chunks join the map, edited ones only
    // when the map has them already.
    void queueMapChunk(const ChunkKey& key, uint8_t reason);
    // The top block of each column of a loaded chunk as blockColour shows it.
    game::ChunkColours chunkMapColours(const voxel::Chunk& chunk) const;
    // The city whose walls the chunk touches, if any, becomes a marker.
    void markCityOfChunk(const ChunkKey& key);
    void openMapScreen();
    // Screen 18's keys: M closes it, Up and Down choose the marker it centres on.
    void handleMapScreenInput();
    ui::MapPanel mapPanel();
    void writeMapOverlay(std::span<uint32_t> words);

    // --- Loaded world (app/world_edits.cpp, app/world_queries.cpp, app/block_shapes.cpp) ---
    using MeshWork = render::MeshWork;
    struct Light {
        float sky = 0.0f;
        float block = 0.0f;
    };
    voxel::Chunk* findChunk(int32_t cx, int32_t cz);
    const voxel::Chunk* findChunk(int32_t cx, int32_t cz) const;
    void reindexChunks();
    // The chunk from its file, or generated when it has none. A chunk file that cannot be read
    // marks the world unreadable and is raised, as a streamed one is.
    voxel::Chunk readChunk(int32_t cx, int32_t cz);
    // Loads or generates the chunk holding the column when it is not loaded yet.
    void ensureChunkAt(int32_t x, int32_t z);
    uint8_t blockAt(int32_t x, int32_t y, int32_t z) const;
    // Refused (false, nothing changed) for y outside 0..127 or an unloaded chunk.
    bool setBlock(int32_t x, int32_t y, int32_t z, uint8_t id);
    bool setBlockState(int32_t x, int32_t y, int32_t z, uint8_t state);
    void queueCellUpdate(int32_t x, int32_t y, int32_t z);
    void queueNeighbourUpdates(int32_t x, int32_t y, int32_t z);
    void editBlock(int32_t x, int32_t y, int32_t z, uint8_t id, uint8_t state);
    // editBlock without its save, for an action that saves once after several edits.
    void applyEdit(int32_t x, int32_t y, int32_t z, uint8_t id, uint8_t state);
    void placeTwoPartBlock(const BlockEdit& edit, uint8_t side);
    int32_t blockState(int32_t x, int32_t y, int32_t z) const;
    Light lightAt(int32_t x, int32_t y, int32_t z) const;
    uint8_t findBlockEntity(int32_t x, int32_t y, int32_t z) const;
    void registerChunkBlockEntities(voxel::Chunk& chunk);
    voxel::CitySite citySiteCached(int32_t gx, int32_t gz);
    uint32_t blockColour(uint8_t id, int32_t y) const;
    // The column heights, index split and bounds of a finished mesh; installChunkMesh adds the upload.
    ChunkMesh& recordChunkMesh(uint64_t key, const MeshWork& work, render::SplitIndices& split);
    void installChunkMesh(uint64_t key, const MeshWork& work);
    bool hasShapeSupport(int32_t x, int32_t y, int32_t z, const voxel::BlockDef& def, uint8_t state) const;
    // A clickX of INT32_MIN means no clicked cell.
    bool placeBlock(int32_t x, int32_t y, int32_t z, uint8_t id, int32_t clickX, int32_t clickY, int32_t clickZ,
                    float hitHeight);
    CellKey twoPartAnchor(int32_t x, int32_t y, int32_t z) const;
    float doorAngle(const CellKey& cell) const;
    void animateDoors(double dt);
    bool doorSwingBlocked(const CellKey& cell, float from, float to) const;

    // --- Chunk window and background tasks (app/chunk_window.cpp, app/world_reset.cpp) ---
    void generateEnvironment();
    void streamWorld();
    void stopPendingTask();
    void unloadAllChunks();
    void resetWorldState();
    // The load task's body: it gets copies only, never the App; `held`, the chunk's newest bytes
    // that the background writer had not landed when the load was asked for.
    static StreamedChunk streamWorldTask(std::filesystem::path worldDir, uint32_t seed, int32_t generation,
                                         int32_t cx, int32_t cz, voxel::ProfilePtr profile,
                                         std::optional<std::string> held);

    // --- Texture atlases (render/atlases/block_atlas.cpp, render/atlases/interface_atlas_upload.cpp) ---
    void createBlockAtlas();
    // The final block atlas pixels; sets the atlas size, layer count and material rectangles.
    platform::Image buildTextureAtlas(const std::filesystem::path& textureRoot, uint32_t sizeLimit);
    platform::Image buildTextureAtlasImage(const std::vector<render::MaterialRecord>& materials,
                                           const platform::Image& sheet, uint32_t sizeLimit);
    // Builds the new interface atlas before it replaces the old one, which stays when the build fails.
    void buildUiAtlas();

    // --- Content meta buffer and descriptor set (render/atlases/descriptor_set.cpp) ---
    // The buffer with its fixed regions, made from the block registry and the atlas's tables.
    void createContentMeta();
    // Layout, pool and the one set, pointed at both atlases and the content meta buffer.
    void createAtlasDescriptors();
    // Rewrites the biome labels when the current generation profile is not the one they show.
    void uploadContentMeta();

    // --- Frame drawing (render/frame/frame.cpp) ---
    void drawFrame();
    // fov in radians; 0 or less takes the field-of-view setting.
    void computeCamera(float out[16], float fov);
    bool isChunkMeshInView(uint64_t key) const;
    bool isChunkColumnInView(uint64_t key) const;
    // The water pass: blended, farthest chunk first.
    void drawMeshMap(VkCommandBuffer cmd);

    // --- Mesh upload scheduling (render/chunks/mesh_scheduling.cpp) ---
    // render::meshEverything meshes every waiting chunk now; render::meshPoll collects and launches.
    void uploadMesh(uint64_t mode);
    void markChunkDirty(int32_t cx, int32_t cz);
    void destroyMesh(ChunkMesh& mesh);
    ChunkKey nearestDirtyChunk() const;

    // --- Chunk meshing (render/chunks/mesh_task.cpp) ---
    // Pure: reads only the chunks given (any neighbour may be null) and the block registry.
    static render::BlockFaces emitBlockFaces(const voxel::Chunk& chunk, const voxel::Chunk* north,
                                             const voxel::Chunk* south, const voxel::Chunk* east,
                                             const voxel::Chunk* west, bool staticOnly, bool smoothLight,
                                             bool cornerShade);
    // The meshing task's body: the static parts of one chunk, timed.
    static render::MeshWork buildMeshWork(uint64_t key, const voxel::Chunk& chunk, const voxel::Chunk* north,
                                          const voxel::Chunk* south, const voxel::Chunk* east,
                                          const voxel::Chunk* west, bool smoothLight, bool cornerShade);

    // --- Chunk lighting (render/chunks/light_passes.cpp) ---
    // Collects a finished pass, rebuilds the indexes of the chunks waiting for light (every call, so
    // a removed door is gone the next frame) and launches the next pass; sync lights every loaded
    // chunk now.
    void refreshLights(bool sync);
    void applyRelitChunks(std::vector<voxel::Chunk> chunks);
    // The lighting pass's body: it gets copies only, never the App.
    static std::vector<voxel::Chunk> refreshLightsTask(std::vector<voxel::Chunk> chunks,
                                                       std::vector<voxel::LightSource> sources,
                                                       std::set<ChunkKey> targets,
                                                       std::shared_ptr<voxel::LightScratch> scratch);
    // Burning furnaces of loaded chunks, in cell order.
    std::vector<voxel::LightSource> collectLightSources() const;
    // Stores the sources; true when they changed, and then their chunks wait for relighting.
    bool takeLightSources(std::vector<voxel::LightSource> sources);
    void rebuildLightIndexes(const ChunkKey& key);
    // A chunk leaving the window takes its lamps, functional blocks and emitters with it.
    void forgetChunkLighting(const ChunkKey& key);
    // World unload: the pending pass is waited for and dropped, and every index emptied.
    void discardLighting();
    void gatherLamps();
    void collectLightTask(bool sync);
    std::vector<voxel::Chunk> lightingCopies(bool sync) const;
    std::set<ChunkKey> lightingTargets(const std::vector<voxel::Chunk>& copies) const;
    void launchLightPass(bool sync);

    // --- Moving things: shared (game/world_tick.cpp) ---
    // Between the two last world states, 0..1: a LAN guest measures from the last entity message.
    double tickAlpha() const;

    // --- Functional blocks and world particles (render/figure_passes/functional_pass.cpp, particle_pass.cpp,
    //     game/world_particles.cpp) ---
    // Once a frame: rebuilds and uploads the moving blocks' geometry when its signature changed.
    void buildFunctionalMeshes();
    // The functional blocks of the chunks in view that are drawn, in chunk-key and list order.
    std::vector<render::FunctionalBlock> visibleFunctionalBlocks() const;
    // Burning furnaces of loaded chunks within reach of the player, in cell order.
    std::vector<CellKey> burningFurnacesNear() const;
    uint64_t functionalSignature(const std::vector<render::FunctionalBlock>& blocks,
                                 const std::vector<CellKey>& furnaces) const;
    // Refills the functional vertex list, lit; no GPU involved.
    void rebuildFunctionalVertices(const std::vector<render::FunctionalBlock>& blocks,
                                   const std::vector<CellKey>& furnaces);
    void drawFunctionalBlocks(VkCommandBuffer cmd);
    // Advances door swings and chest lids by the seconds since the previous call.
    void animateChestLids(float seconds);
    // Appends one particle unless particles are off or the list holds the cap.
    void spawnParticle(const std::array<double, 3>& position, int32_t kind, float size, uint32_t random);
    // The world step of the particle list: cut to the cap, moved, aged, the dead removed.
    void stepParticles();
    // Blocks with a particle effect near the player give off one every interval.
    void spawnBlockParticles();
    void buildParticleGeometry(std::vector<render::MeshVertex>& list) const;
    void drawParticles(VkCommandBuffer cmd);
    // --- The player's body and hands (render/figure_passes/: hand_pose_inputs, held_item_pass,
    // player_body_pass, portrait_pass, remote_player_pass; render/frame/menu_label_inputs.cpp) ---
    float swingAmount() const;
    // The held clip of the current action and view, or null; restarts the clip clock on a change.
    const HeldClip* armPose();
    float useFraction() const;
    content::Float3 heldGripPoint(uint8_t item) const;
    content::Float3 heldItemAnchor(const content::Float3& point, uint8_t item, bool thirdPerson);
    render::Double3 heldModelPoint(const content::Float3& point, uint8_t item);
    render::Double3 firstPersonHandOffset();
    render::Double3 viewToWorld(const render::Double3& local) const;
    render::Double3 handWorldPosition();
    // Seconds the bow has been drawn; 0 when not drawing.
    float bowDrawProgress() const;
    bool isHoldingBow() const;
    bool isHoldingShield() const;
    int32_t countItem(uint8_t id) const;
    const InventorySlot& selectedSlot() const;
    void uploadHeldContent(VkCommandBuffer cmd, std::vector<render::MeshVertex>& vertices);
    // Fills body.heldVertices with the item in the hand as this frame shows it; no GPU involved.
    void buildHeldItem();
    void drawPlayerModel(VkCommandBuffer cmd);
    void uploadPlayerModel();
    void recordMeshDraw(VkCommandBuffer cmd);
    void renderPlayerPortrait();
    void drawPortrait(VkCommandBuffer cmd);
    void buildRemotePlayers();
    void drawRemotePlayers(VkCommandBuffer cmd);
    void buildMenuLabels(std::array<uint32_t, 9>& glyphWords, std::array<uint32_t, 6>& counts) const;
    // Number keys and the mouse wheel choose the hotbar slot.
    void selectHotbarSlot();

    // --- Dynamic entity pass: dropped items, arrows, sparks (render/figure_passes/dynamic_pass.cpp) ---
    // Builds, uploads and draws the frame's moving things in one draw; nothing under most menus.
    void drawDynamicEntities(VkCommandBuffer cmd);
    // The pass's CPU half: items, arrows, actors, NPC figures and sparks, then light.
    void buildDynamicGeometry(std::vector<render::MeshVertex>& list);
    void emitArrowModel(std::vector<render::MeshVertex>& list, const render::Double3& position,
                        const render::Double3& facing, double scale);
    void emitSparkCubes(std::vector<render::MeshVertex>& list);
    void stampVertexLight(std::vector<render::MeshVertex>& list);
    // Hit sparks (game/hit_sparks.cpp): a burst at a point, and one world step of all of them.
    void spawnSparks(double x, double y, double z, double r, double g, double b);
    void stepSparks();

    // --- Mobs and the melee reach (game/mobs.cpp, render/figure_passes/mob_pass.cpp) ---
    // Id, template, half the width and the height of the definition.
    void applyMobDef(Mob& mob, const content::MobDef& def);
    // The triangles of every visible mob, its telegraphs and, with hitbox display, the outlines.
    void buildActorGeometry(std::vector<render::MeshVertex>& list);
    // Arm swing of the mob's attack this frame, 0 at rest.
    double mobAttackPose(const Mob& mob) const;
    // The live mob the view ray reaches within melee range before a block; apply attacks it.
    bool meleeRayHit(bool apply, uint8_t mode);
    uint32_t meleeDamage() const;
    // A segment against solid blocks, doors and trapdoors; fraction 0..1 of the first hit.
    struct SweepHit {
        bool hit = false;
        double fraction = 1.0;
    };
    void sweepBox(const double start[3], const double end[3], SweepHit& out, uint32_t flags) const;
    void startMeleeAttack(uint32_t mobId, uint8_t mode);
    // One world step of the mobs: timers, the night spawn, removal of the long dead.
    void stepMobs();

    // --- NPC figures and their animation (render/figure_passes/npc_pass.cpp) ---
    // Every active NPC of the position map in reach and view: box figure or posed model.
    void buildNpcFigures(std::vector<render::MeshVertex>& list);
    void emitNpcModel(std::vector<render::MeshVertex>& list, const adventure::Npc& npc, const NpcMotion* motion,
                      const render::NpcBody& body, double alpha);
    // The layer value of a model face of an NPC's resource: precomputed, extra texture or block layer.
    float npcTextureLayer(uint8_t id, int32_t face) const;
    // Idle clocks and the sampled bones of each NPC's current clip; residents stand where they are.
    void animateNpcs(float seconds);

    // --- World menus and world sessions (ui/world_menus.cpp, app/world_session.cpp) ---
    // Clicks, Enter and the wheel on the main menu, pause, world list, new-world and delete screens.
    void handleWorldMenus();
    void runMenuAction(ui::MenuAction action);
    // The new-world form's typing, called from the key and character callbacks.
    void onWorldMenuKey(int key, int action);
    void onWorldMenuChar(unsigned int codePoint);
    // Lists the worlds again, selects `select` when listed, keeps the selection in the list and in
    // view, and rebuilds the atlas that shows their previews.
    void refreshWorldList(const std::filesystem::path& select = {});
    // Stages 6 to 10 of start-up for a listed world, then play.
    void openWorld(const std::filesystem::path& folder);
    // A new world under the saves as world_<N>, with world.txt and generation.json, then play.
    void createWorld(const std::u32string& name, uint32_t seed);
    // Saves the open world and returns the App to a clean state in the main menu.
    void leaveWorld();
    // Start-up: the first world behind the menu has a save file that cannot be read. It is left as it
    // is and closed, and the menu opens over a fresh view that is never saved unless played.
    void setAsideUnreadableWorld(const std::string& message);
    // One step of play in the open world (streaming, the hands' edits). A file of the world met on the
    // way that cannot be read closes the world as closeUnreadableWorld does, instead of ending the game.
    void runOpenWorldStep(const std::function<void()>& step);
    // The main loop's streaming step, run as above.
    void streamOpenWorld();
    // In play: a file of the open world cannot be read. The world closes with nothing written over
    // its files and the main menu opens with the message, as at start-up.
    void closeUnreadableWorld(const std::string& message);
    void deleteSelectedWorld();

    // --- LAN (net/) ---
    void startSession(bool host, const std::string& address, uint16_t port, const std::string& roomCode);
    void updateNetwork();
    // LAN session, protocol and host (net/session.cpp, net/block_edits.cpp; the session's edit record in
    // app/session_edits.cpp, its chunk rebuild in app/world_edits.cpp).
    // Ends the session without a report: socket, flags, remote players and the session's cache folder,
    // after leaving the room's world played from it.
    void closeSession();
    // True once a started connect has finished and the hello is queued; fails when it cannot.
    bool finishConnect(double now);
    void applyNetworkMessage(net::Message& message);
    void sendBlockEdit(int32_t x, int32_t y, int32_t z);
    void sendClientEvent(uint32_t event, uint32_t subject = 0, int32_t amount = 0);
    // The world owner's side (net/world_owner.cpp).
    void sendWorldSnapshots(double now);
    // The room's world. The session's side (net/session.cpp): the host's world written into the
    // cache folder, and that world left unsaved when the session ends.
    void storeRoomWorld(const net::WorldMessage& world);
    void leaveRoomWorld();
    // The App's side (app/room_world.cpp), after each network step: whether the App plays a world of
    // its own to bring to the room, bringing it once, playing the host's world once it is stored,
    // the menu once it was left, and the session's notice.
    bool playsOwnWorld() const;
    void offerRoomWorld();
    void followSession();
    void applyClientEvent(const net::ClientEventMessage& event);
    void requestPile(const DroppedItem& item);
    void applyRemoteEdits(const net::BlockEditsMessage& edits);
    // Puts the session's changed cells of the chunk back into it (chunk index rebuild).
    void reapplyChangedCells(voxel::Chunk& chunk);

    // State, in construction order (the destructor stops the workers in reverse).
    LanSession lan;
    GameFiles files;
    std::vector<VxmVertex> playerMesh;
    bool playerMeshSplit = false;
    GpuState gpu;
    AtlasState atlases;
    DescriptorState descriptors;
    ContentMetaState contentMeta;
    SwapchainState swapchain;
    FrameState frame;
    PlayerState player;
    PlayerActions actions;
    PlayerMotion motion;
    Inventory inventory;
    ContentState rules;
    AdventureState adventureState;
    WorldClock clock;
    std::string dimension = "core:overworld";
    std::string travelDimension = "core:overworld";
    int32_t chunkRadius = 6;
    int32_t lastUnloadRadius = 3;  // differs from the radius so the first streaming pass runs
    int32_t generationStage = 4;
    ChunkWindowState world;
    // Background tasks of the chunk window; tests replace the clock and the launcher.
    BackgroundTasks tasks;
    ChunkStreamState stream;
    MeshSchedule meshing;
    LightingState lighting;
    // Furnaces by dimension and cell (gameplay): a burning one lights its cell.
    CellsByDimension<Machine> machines;
    ContainerState containers;
    // Water queue, crop clocks and portal markers (world step).
    WorldSimState sim;
    // The world maps by dimension, their folder and the map screen's view.
    WorldMapState maps;
    // Saves: the world's stored profile and the read-failure guard.
    SaveState saves;
    audio::Mixer mixer;
    VolumeSettings volumes;
    SettingsBlock settings;
    UiState ui;
    int32_t environmentProgressStart = 10;
    int32_t environmentProgressEnd = 50;
    // Mobs, dropped items, arrows, sparks and particles (gameplay); the renderer draws them.
    EntityState entities;
    // Melee timer and progression (gameplay).
    CombatState combat;
    bool showHitboxes = false;  // F3+B: outlines of mobs, NPCs and shaped blocks
    // The player's body, hands and portrait, and the LAN players (renderer).
    BodyRenderState body;
    // Functional block meshes and particles (renderer).
    FunctionalState functional;

    // Dynamic entity pass (renderer).
    DynamicPassState dynamicPass;

    // NPC drawing (renderer).
    NpcDrawingState npcDrawing;

    // Mining target and held buttons (gameplay).
    HandState hands;
    // The player's running potion effects (gameplay).
    PotionEffects potionEffects;
    // Generated chests already filled (gameplay) and the living world's clocks (adventure).
    LootState loot;
    LivingClocks livingClocks;

    // Sleep fade.
    double sleepStart = -1.0;
    bool woken = false;
    bool hasBed = false;
    int32_t bedX = 0, bedY = 0, bedZ = 0;

    // --- LAN and character screens: the connection form (17), death (7), character and skills
    //     (13), the NPC window (14), the journal (15), territories (16) and the pause screen's
    //     player list (ui/lan_screen_actions.cpp), and the quests they show (adventure/quest_play.cpp) ---
    // Clicks on the open one of these screens; called from handleScreenInput.
    void handleLanScreenInput();
    // The form's share of onKey and onChar; true when the form took the key or character.
    bool connectionFormKey(int key, int modifiers);
    bool connectionFormChar(unsigned int codePoint);
    void connectFromForm();
    // Health 0 in an open world opens the death screen.
    void openDeathScreenIfDead();
    // Back at the bed (or the world's spawn) with full health and food, playing again.
    void respawnPlayer();
    // Screen 14 for a known NPC; false (nothing opened) for an unknown id.
    bool openNpcWindow(const std::string& npcId);
    void buildNpcWindow(ui::NpcWindow& out) const;
    // A visit quest naming the city structure goes to the nearest city.
    bool acceptSelectedQuest();
    std::optional<std::pair<double, double>> nearestCity();
    // Per frame after the portals: accepted quests move on; finished ones pay their reward.
    void updateQuests();
    std::vector<ui::JournalRow> journalRows() const;
    std::vector<ui::TerritoryRow> territoryRows();
    // territoryRows, made again only when the player has moved.
    const std::vector<ui::TerritoryRow>& shownTerritories();
    ui::ScreenOverlay lanScreenOverlay();
    void writeLanScreenOverlay(std::span<uint32_t> words);
    LanScreensState lanScreens;
};
