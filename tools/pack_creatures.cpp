// The creatures and people of the content pack: mob definitions with their animated models, the
// city's smith with his quest and trade, and the sounds the mobs and the player's edits make,
// synthesised here.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/pack_json.h"
#include "tools/pack_models.h"
#include "tools/texture_canvas.h"

namespace fs = std::filesystem;

namespace packgen {

void writeCreatures(const fs::path& content);

namespace {

using texgen::Canvas;
using texgen::Colour;

constexpr int kTile = 16;
constexpr double kPi = 3.14159265358979323846;

void writeBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out.flush()) throw std::runtime_error("Cannot write " + path.string());
}

// ---- Pictures -------------------------------------------------------------------------------

Colour grained(Colour c, int x, int y, uint32_t salt, int amount) {
    return texgen::shaded(c, static_cast<int>((texgen::noise(x, y, salt) * 2.0 - 1.0) * amount));
}

Canvas filled(Colour base, uint32_t salt, int amount) {
    Canvas tile(kTile, kTile);
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) tile.set(x, y, grained(base, x, y, salt, amount));
    return tile;
}

// A face on a plain ground: two eyes, and a mouth or snout.
Canvas face(Colour skin, uint32_t salt, Colour eye, Colour mouth, int mouthWidth) {
    Canvas c = filled(skin, salt, 8);
    c.fill(3, 5, 6, 8, eye);
    c.fill(10, 5, 13, 8, eye);
    c.fill(8 - mouthWidth / 2, 11, 8 + (mouthWidth + 1) / 2, 13, mouth);
    return c;
}

Canvas boarHide() {
    Canvas c = filled({112, 78, 56}, 301, 14);
    for (int x = 1; x < kTile; x += 3) c.fill(x, 0, x + 1, 3, {72, 50, 36});  // bristles along the back
    return c;
}

Canvas boarFace() {
    Canvas c = face({112, 78, 56}, 302, {24, 18, 14}, {190, 140, 130}, 6);
    c.set(4, 13, {236, 230, 210});  // tusks
    c.set(11, 13, {236, 230, 210});
    return c;
}

Canvas boneWhite() {
    Canvas c = filled({218, 214, 196}, 311, 10);
    for (int y = 2; y < kTile; y += 4) c.fill(2, y, 14, y + 1, {150, 146, 130});  // ribs
    return c;
}

Canvas skull() {
    return face({228, 224, 206}, 312, {30, 28, 30}, {60, 56, 52}, 8);
}

Canvas basalt() {
    Canvas c = filled({58, 56, 62}, 321, 12);
    for (int i = 0; i < kTile; ++i) c.set(i, (i * 7 + 3) % kTile, {232, 110, 40});  // glowing seams
    return c;
}

Canvas golemFace() {
    return face({58, 56, 62}, 322, {255, 170, 60}, {200, 70, 30}, 8);
}

Canvas wardenArmour() {
    Canvas c = filled({70, 40, 44}, 331, 10);
    c.fill(0, 0, kTile, 1, {150, 120, 70});
    c.fill(0, kTile - 1, kTile, kTile, {150, 120, 70});
    c.fill(7, 1, 9, kTile - 1, {110, 64, 60});
    return c;
}

Canvas wardenVisor() {
    Canvas c = filled({70, 40, 44}, 332, 8);
    c.fill(2, 6, 14, 9, {20, 12, 14});
    c.fill(4, 7, 6, 8, {255, 90, 40});
    c.fill(10, 7, 12, 8, {255, 90, 40});
    return c;
}

Canvas skin() {
    return filled({222, 172, 136}, 341, 6);
}

Canvas smithFace() {
    Canvas c = face({222, 172, 136}, 342, {50, 40, 34}, {120, 70, 60}, 4);
    c.fill(2, 12, 14, 16, {96, 64, 40});  // beard
    c.fill(6, 11, 10, 12, {120, 70, 60});
    return c;
}

Canvas apron() {
    Canvas c = filled({86, 60, 44}, 343, 8);
    c.fill(4, 0, 12, kTile, {120, 84, 52});
    return c;
}

Canvas trousers() {
    return filled({60, 66, 92}, 344, 8);
}

// ---- Models and animation ------------------------------------------------------------------

struct Box {
    const char* name;
    Vec3 from;
    Vec3 to;
    Vec3 pivot;
    FaceTextures textures;
};

// A rotation key of one element: degrees about x and z at a time.
struct Swing {
    double time;
    double x;
    double z;
};

struct Motion {
    std::string element;  // every element of this name moves the same way
    std::vector<Swing> keys;
};

struct Clip {
    std::string name;
    double length;
    std::vector<Motion> motions;
};

struct Creature {
    std::string folder;  // under Content; the last part names the model and its files
    std::string resource;
    std::string name;
    std::string description;
    std::vector<std::pair<std::string, std::function<Canvas()>>> textures;
    std::vector<Box> boxes;
    std::vector<Clip> clips;
};

std::string shortNameOf(const std::string& folder) {
    return folder.substr(folder.rfind('/') + 1);
}

std::vector<Element> elementsOf(const Creature& c) {
    std::vector<Element> elements;
    for (const Box& box : c.boxes) {
        Element e;
        e.name = box.name;
        e.from = box.from;
        e.to = box.to;
        e.origin = box.pivot;
        e.textures = box.textures;
        e.fullUv = true;
        elements.push_back(e);
    }
    return elements;
}

// The uuid the Blockbench writer gives element i, which animators name their bone by.
std::string elementUuid(const std::string& model, const Box& box, std::size_t index) {
    return uuidFor(model + "/" + box.name + "/" + std::to_string(index));
}

Value keyframe(const std::string& seed, const Swing& key) {
    return Value::object()
        .set("channel", "rotation")
        .set("data_points", Value::array({Value::object().set("x", key.x).set("y", 0).set("z", key.z)}))
        .set("uuid", uuidFor(seed))
        .set("time", key.time)
        .set("interpolation", "catmullrom");
}

Value clipJson(const std::string& model, const Creature& c, const Clip& clip) {
    Value animators = Value::object();
    for (std::size_t i = 0; i < c.boxes.size(); ++i) {
        for (const Motion& motion : clip.motions) {
            if (motion.element != c.boxes[i].name) continue;
            const std::string uuid = elementUuid(model, c.boxes[i], i);
            Value keys = Value::array();
            for (std::size_t k = 0; k < motion.keys.size(); ++k)
                keys.push(keyframe(uuid + "/" + clip.name + "/" + std::to_string(k), motion.keys[k]));
            animators.set(uuid, Value::object()
                                    .set("name", c.boxes[i].name)
                                    .set("type", "bone")
                                    .set("keyframes", std::move(keys)));
        }
    }
    return Value::object()
        .set("uuid", uuidFor(model + "/animation/" + clip.name))
        .set("name", clip.name)
        .set("loop", "loop")
        .set("length", clip.length)
        .set("animators", std::move(animators));
}

void writeCreature(const fs::path& content, const Creature& c) {
    const fs::path folder = content / c.folder;
    const std::string model = shortNameOf(c.folder);
    fs::create_directories(folder);
    Value textures = Value::array();
    std::vector<std::string> textureFiles;
    for (const auto& [name, paint] : c.textures) {
        textures.push(name + ".png");
        textureFiles.push_back(name + ".png");
        paint().write(folder / (name + ".png"));
    }
    Value definition = Value::object();
    definition.set("id", c.resource)
        .set("name", c.name)
        .set("description", c.description)
        .set("type", "item")
        .set("textures", std::move(textures))
        .set("model", model + ".bbmodel");
    writeBytes(folder / "definition.json", definition.write());
    Value clips = Value::array();
    for (const Clip& clip : c.clips) clips.push(clipJson(model, c, clip));
    const Value extra = Value::object().set("animations", std::move(clips));
    writeBytes(folder / (model + ".bbmodel"), bbmodel(model, textureFiles, elementsOf(c), extra).write());
}

// A four-beat swing: out, back through rest, out the other way, home.
std::vector<Swing> swing(double length, double amplitude) {
    return {{0, 0, 0},
            {length * 0.25, amplitude, 0},
            {length * 0.5, 0, 0},
            {length * 0.75, -amplitude, 0},
            {length, 0, 0}};
}

// A slow nod or sway for the idle clip.
std::vector<Swing> breathe(double length, double x, double z) {
    return {{0, 0, 0}, {length * 0.5, x, z}, {length, 0, 0}};
}

// Head, arms and legs of an upright figure walking: arms against the legs on the same side.
std::vector<Clip> walkerClips(double armSwing, double legSwing) {
    return {{"idle",
             2.0,
             {{"head", breathe(2.0, 4, 0)},
              {"left_arm", breathe(2.0, 0, -3)},
              {"right_arm", breathe(2.0, 0, 3)}}},
            {"walk",
             1.0,
             {{"head", breathe(1.0, 2, 0)},
              {"left_arm", swing(1.0, -armSwing)},
              {"right_arm", swing(1.0, armSwing)},
              {"left_leg", swing(1.0, legSwing)},
              {"right_leg", swing(1.0, -legSwing)}}}};
}

FaceTextures headFaces(int side, int front) {
    return {side, side, front, side, side, side};
}

// Laid out facing -z (north), the figure's right hand on +x, which is the easiest way to picture
// them; turnedToFaceEast turns each one before it is written.
Creature boar() {
    Creature c{"mobs/boar", "core:boar_model", "МОДЕЛЬ КАБАНА", "ОБЛИК КАБАНА.", {}, {}, {}};
    c.textures = {{"boar_hide", boarHide}, {"boar_face", boarFace}};
    c.boxes = {{"body", {-5, 7, -7}, {5, 15, 9}, {0, 11, 0}, allFaces(0)},
               {"head", {-4, 8, -13}, {4, 15, -7}, {0, 12, -7}, headFaces(0, 1)},
               {"snout", {-2, 8, -15}, {2, 11, -13}, {0, 12, -7}, allFaces(0)},
               // Diagonal pairs move together, as a trotting boar's legs do.
               {"left_leg", {-5, 0, -6}, {-2, 7, -3}, {-3.5, 7, -4.5}, allFaces(0)},
               {"right_leg", {2, 0, -6}, {5, 7, -3}, {3.5, 7, -4.5}, allFaces(0)},
               {"right_leg", {-5, 0, 5}, {-2, 7, 8}, {-3.5, 7, 6.5}, allFaces(0)},
               {"left_leg", {2, 0, 5}, {5, 7, 8}, {3.5, 7, 6.5}, allFaces(0)}};
    c.clips = {{"idle", 2.0, {{"head", breathe(2.0, 6, 0)}, {"snout", breathe(2.0, 6, 0)}}},
               {"walk",
                0.8,
                {{"head", breathe(0.8, 3, 0)},
                 {"snout", breathe(0.8, 3, 0)},
                 {"left_leg", swing(0.8, 30)},
                 {"right_leg", swing(0.8, -30)}}}};
    return c;
}

Creature skeleton() {
    Creature c{"mobs/skeleton", "core:skeleton_model", "МОДЕЛЬ СКЕЛЕТА", "ОБЛИК СКЕЛЕТА.", {}, {}, {}};
    c.textures = {{"skeleton_bone", boneWhite}, {"skeleton_skull", skull}};
    c.boxes = {{"head", {-4, 24, -4}, {4, 32, 4}, {0, 24, 0}, headFaces(0, 1)},
               {"body", {-4, 12, -2}, {4, 24, 2}, {0, 18, 0}, allFaces(0)},
               {"left_arm", {-6, 12, -1}, {-4, 24, 1}, {-5, 23, 0}, allFaces(0)},
               {"right_arm", {4, 12, -1}, {6, 24, 1}, {5, 23, 0}, allFaces(0)},
               {"left_leg", {-3, 0, -1}, {-1, 12, 1}, {-2, 12, 0}, allFaces(0)},
               {"right_leg", {1, 0, -1}, {3, 12, 1}, {2, 12, 0}, allFaces(0)}};
    c.clips = walkerClips(35, 30);
    return c;
}

Creature basaltGolem() {
    Creature c{"mobs/basalt_golem",
               "core:basalt_golem_model",
               "МОДЕЛЬ БАЗАЛЬТОВОГО ГОЛЕМА",
               "ОБЛИК БАЗАЛЬТОВОГО ГОЛЕМА.",
               {},
               {},
               {}};
    c.textures = {{"golem_basalt", basalt}, {"golem_face", golemFace}};
    c.boxes = {{"head", {-4, 32, -6}, {4, 39, 2}, {0, 32, -2}, headFaces(0, 1)},
               {"body", {-8, 14, -5}, {8, 32, 5}, {0, 22, 0}, allFaces(0)},
               {"left_arm", {-13, 6, -3}, {-8, 31, 3}, {-10.5, 30, 0}, allFaces(0)},
               {"right_arm", {8, 6, -3}, {13, 31, 3}, {10.5, 30, 0}, allFaces(0)},
               {"left_leg", {-6, 0, -3}, {-1, 14, 3}, {-3.5, 14, 0}, allFaces(0)},
               {"right_leg", {1, 0, -3}, {6, 14, 3}, {3.5, 14, 0}, allFaces(0)}};
    c.clips = walkerClips(20, 18);
    return c;
}

Creature fortressWarden() {
    Creature c{"mobs/fortress_warden",
               "core:fortress_warden_model",
               "МОДЕЛЬ СТРАЖА КРЕПОСТИ",
               "ОБЛИК СТРАЖА КРЕПОСТИ.",
               {},
               {},
               {}};
    c.textures = {{"warden_armour", wardenArmour}, {"warden_visor", wardenVisor}, {"warden_basalt", basalt}};
    c.boxes = {{"head", {-4, 34, -4}, {4, 42, 4}, {0, 34, 0}, headFaces(0, 1)},
               {"crest", {-1, 42, -3}, {1, 46, 5}, {0, 34, 0}, allFaces(2)},
               {"body", {-6, 18, -3}, {6, 34, 3}, {0, 26, 0}, allFaces(0)},
               {"left_arm", {-10, 17, -2}, {-6, 34, 2}, {-8, 33, 0}, allFaces(0)},
               {"right_arm", {6, 17, -2}, {10, 34, 2}, {8, 33, 0}, allFaces(0)},
               {"left_leg", {-5, 0, -2}, {-1, 18, 2}, {-3, 18, 0}, allFaces(2)},
               {"right_leg", {1, 0, -2}, {5, 18, 2}, {3, 18, 0}, allFaces(2)}};
    c.clips = walkerClips(30, 25);
    // The crest sits on the helmet and nods with it.
    for (Clip& clip : c.clips) clip.motions.push_back({"crest", clip.motions.front().keys});
    return c;
}

Creature smith() {
    Creature c{"people/smith", "core:smith_model", "МОДЕЛЬ КУЗНЕЦА", "ОБЛИК ГОРОДСКОГО КУЗНЕЦА.", {}, {}, {}};
    c.textures = {{"smith_skin", skin},
                  {"smith_face", smithFace},
                  {"smith_apron", apron},
                  {"smith_trousers", trousers}};
    c.boxes = {{"head", {-4, 24, -4}, {4, 32, 4}, {0, 24, 0}, headFaces(0, 1)},
               {"body", {-4, 12, -2}, {4, 24, 2}, {0, 18, 0}, allFaces(2)},
               {"left_arm", {-8, 12, -2}, {-4, 24, 2}, {-6, 23, 0}, allFaces(0)},
               {"right_arm", {4, 12, -2}, {8, 24, 2}, {6, 23, 0}, allFaces(0)},
               {"left_leg", {-4, 0, -2}, {0, 12, 2}, {-2, 12, 0}, allFaces(3)},
               {"right_leg", {0, 0, -2}, {4, 12, 2}, {2, 12, 0}, allFaces(3)}};
    c.clips = walkerClips(30, 30);
    return c;
}

// ---- Facing --------------------------------------------------------------------------------

// The game draws a creature with model +x forwards and z across, so the figures above are turned
// a quarter about y: x' = -z, z' = x (north becomes east, east south, south west, west north).

// Negated without a "-0" in the written files.
double negated(double v) {
    return v == 0.0 ? 0.0 : -v;
}

Vec3 turned(const Vec3& p) {
    return {negated(p[2]), p[1], p[0]};
}

Box turned(const Box& b) {
    const FaceTextures& t = b.textures;  // up, down, north, south, east, west
    return {b.name, {negated(b.to[2]), b.from[1], b.from[0]}, {negated(b.from[2]), b.to[1], b.to[0]},
            turned(b.pivot), {t[0], t[1], t[5], t[4], t[2], t[3]}};
}

// A swing about x becomes one about z with the same sign, so that a leg swung forwards still goes
// forwards; one about z becomes one about -x. Keys turn about one axis at a time, because the rig
// applies x before z and the turn would swap that order.
Swing turned(const Swing& key) {
    if (key.x != 0.0 && key.z != 0.0)
        throw std::runtime_error("A creature's swing key turns about one axis at a time");
    return {key.time, negated(key.z), key.x};
}

Creature turnedToFaceEast(Creature c) {
    for (Box& box : c.boxes) box = turned(box);
    for (Clip& clip : c.clips)
        for (Motion& motion : clip.motions)
            for (Swing& key : motion.keys) key = turned(key);
    return c;
}

// ---- Mob definitions -----------------------------------------------------------------------

Value drop(const char* item, int count) {
    return Value::object().set("id", item).set("count", count);
}

// The four sounds of a mob, named "core:mob.<name>.<event>".
Value& withSounds(Value& mob, const std::string& name) {
    for (const char* event : {"hurt", "death", "idle", "attack"})
        mob.set(std::string(event) + "_sound", "core:mob." + name + "." + event);
    return mob;
}

Value boarMob() {
    Value mob = Value::object();
    mob.set("template", "boar")
        .set("id", "core:boar")
        .set("name", "КАБАН")
        .set("model_resource", "core:boar_model");
    withSounds(mob, "boar");
    mob.set("drops", Value::array({drop("core:raw_pork", 2)}));
    return mob;
}

Value skeletonMob() {
    Value mob = Value::object();
    mob.set("template", "skeleton")
        .set("id", "core:skeleton")
        .set("name", "СКЕЛЕТ")
        .set("model_resource", "core:skeleton_model");
    withSounds(mob, "skeleton");
    mob.set("drops", Value::array({drop("core:bone", 2), drop("core:arrow", 2)}));
    return mob;
}

Value basaltGolemMob() {
    Value mob = Value::object();
    mob.set("template", "boar")
        .set("id", "core:basalt_golem")
        .set("name", "БАЗАЛЬТОВЫЙ ГОЛЕМ")
        .set("dimensions", Value::array({Value("core:ash")}))
        .set("behavior", "melee")
        .set("spawn", "always")
        .set("faction", "core:ash_raiders")
        .set("health", 40)
        .set("damage", 6)
        .set("attack_ticks", 50)
        .set("windup_ticks", 16)
        .set("heavy_every", 3)
        .set("heavy_damage", 14)
        .set("speed", 0.9)
        .set("width", 1.3)
        .set("height", 2.4)
        .set("spawn_limit", 6)
        .set("model_resource", "core:basalt_golem_model");
    withSounds(mob, "basalt_golem");
    mob.set("drops", Value::array({drop("core:ash_crystal", 1), drop("core:coal", 2)}));
    return mob;
}

Value fortressWardenMob() {
    Value mob = Value::object();
    mob.set("template", "skeleton")
        .set("id", "core:fortress_warden")
        .set("name", "СТРАЖ КРЕПОСТИ")
        .set("dimensions", Value::array({Value("core:ash")}))
        .set("behavior", "melee")
        .set("spawn", "always")
        .set("faction", "core:ash_raiders")
        .set("boss", true)
        .set("boss_attacks", true)
        .set("health", 200)
        .set("damage", 10)
        .set("attack_ticks", 40)
        .set("speed", 1.4)
        .set("width", 1.0)
        .set("height", 2.8)
        .set("spawn_limit", 1)
        .set("spawn_interval_ticks", 2400)
        .set("loot_table", "core:ash_fortress")
        .set("model_resource", "core:fortress_warden_model");
    withSounds(mob, "fortress_warden");
    mob.set("drops", Value::array({drop("core:ash_crystal", 4), drop("core:gold_ingot", 3)}));
    return mob;
}

// ---- People --------------------------------------------------------------------------------

Value smithNpc() {
    return Value::object()
        .set("id", "core:smith")
        .set("name", "КУЗНЕЦ ГОРДЕЙ")
        .set("model", "core:smith_model")
        .set("height", 1.82)
        .set("animations", Value::object().set("idle", "idle").set("walk", "walk"))
        .set("quests", Value::array({Value("core:ore_for_the_forge")}))
        .set("trade", Value::object()
                          .set("wants", "core:iron_ingot")
                          .set("wants_count", 3)
                          .set("gives", "core:iron_sword")
                          .set("gives_count", 1));
}

Value smithQuest() {
    return Value::object()
        .set("id", "core:ore_for_the_forge")
        .set("title", "РУДА ДЛЯ КУЗНИЦЫ")
        .set("description", "КУЗНЕЦУ НУЖНА ЖЕЛЕЗНАЯ РУДА. ПРИНЕСИ ВОСЕМЬ КУСКОВ ИЗ РУДНИКА.")
        .set("objective",
             Value::object().set("kind", "gather").set("target", "core:iron_ore").set("count", 8))
        .set("reward",
             Value::object().set("item", "core:iron_pickaxe").set("count", 1).set("experience", 50));
}

// ---- Sounds --------------------------------------------------------------------------------

constexpr int kRate = 22050;

// One synthesised voice: a tone gliding from one pitch to another with some noise, a pulse rate
// that chops it into clicks or grunts (0 for none), and a quick attack and a falling tail.
struct Voice {
    double seconds;
    double startHz;
    double endHz;
    double noise;    // share of noise, 0..1
    double pulseHz;  // amplitude pulses per second
    double tone;     // 0 sine .. 1 sawtooth
};

std::vector<int16_t> synthesise(const Voice& v, uint32_t salt) {
    const int count = static_cast<int>(v.seconds * kRate);
    std::vector<int16_t> samples(static_cast<std::size_t>(count));
    double phase = 0.0;
    double smoothNoise = 0.0;
    uint32_t state = 0x9E3779B9u ^ salt;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double f = static_cast<double>(i) / count;
        phase += (v.startHz + (v.endHz - v.startHz) * f) / kRate;
        phase -= std::floor(phase);
        const double sine = std::sin(2.0 * kPi * phase);
        const double saw = 2.0 * phase - 1.0;
        state = state * 1664525u + 1013904223u;
        const double white = static_cast<double>(state >> 8) / 8388608.0 - 1.0;
        smoothNoise += (white - smoothNoise) * 0.35;
        double s = (sine * (1.0 - v.tone) + saw * v.tone) * (1.0 - v.noise) + smoothNoise * v.noise * 2.0;
        if (v.pulseHz > 0.0) s *= 0.5 + 0.5 * std::cos(2.0 * kPi * v.pulseHz * t);
        const double envelope = std::min(1.0, t / 0.01) * (1.0 - f) * (1.0 - f);
        samples[static_cast<std::size_t>(i)] =
            static_cast<int16_t>(std::lround(std::clamp(s * envelope * 0.8, -1.0, 1.0) * 32767.0));
    }
    return samples;
}

void put16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// A 16-bit mono PCM WAV file.
std::string wavFile(const std::vector<int16_t>& samples) {
    const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1);
    put16(out, 1);
    put32(out, kRate);
    put32(out, kRate * 2);
    put16(out, 2);
    put16(out, 16);
    out += "data";
    put32(out, dataBytes);
    for (int16_t s : samples) put16(out, static_cast<uint16_t>(s));
    return out;
}

struct SoundSet {
    std::string mob;
    Voice hurt;
    Voice death;
    Voice idle;
    Voice attack;
};

std::vector<SoundSet> soundSets() {
    return {{"boar",
             {0.11, 700, 1100, 0.2, 0, 0.4},
             {0.21, 600, 180, 0.3, 0, 0.5},
             {0.13, 110, 80, 0.5, 18, 0.8},
             {0.12, 140, 90, 0.7, 0, 0.6}},
            {"skeleton",
             {0.09, 900, 600, 0.8, 40, 0.2},
             {0.21, 500, 200, 0.9, 28, 0.1},
             {0.15, 1200, 1000, 0.9, 22, 0.0},
             {0.07, 300, 1500, 0.9, 0, 0.0}},
            {"basalt_golem",
             {0.12, 90, 60, 0.6, 0, 0.9},
             {0.24, 80, 35, 0.8, 6, 0.9},
             {0.18, 55, 45, 0.7, 4, 0.7},
             {0.13, 120, 50, 0.8, 0, 0.9}},
            {"fortress_warden",
             {0.12, 220, 160, 0.4, 0, 0.8},
             {0.27, 200, 60, 0.5, 10, 0.8},
             {0.18, 95, 85, 0.5, 12, 0.9},
             {0.12, 180, 400, 0.6, 0, 0.7}}};
}

// The effects of the player's edits: a short knock for a placed block, a crumble for a broken one.
struct BlockSound {
    const char* event;
    Voice voice;
};

const BlockSound kBlockSounds[] = {
    {"place", {0.09, 180, 120, 0.45, 0, 0.6}},
    {"break", {0.16, 260, 90, 0.85, 35, 0.3}},
};

void writeBlockSounds(const fs::path& content, uint32_t salt) {
    for (const BlockSound& sound : kBlockSounds) {
        const std::string name = std::string("block_") + sound.event;
        const fs::path folder = content / "sounds" / "blocks";
        writeBytes(folder / (name + ".wav"), wavFile(synthesise(sound.voice, salt++)));
        const Value definition = Value::object()
                                     .set("id", std::string("core:block.") + sound.event)
                                     .set("file", name + ".wav")
                                     .set("volume", 0.7);
        writeBytes(folder / (name + ".sound.json"), definition.write());
    }
}

void writeSounds(const fs::path& content) {
    uint32_t salt = 1;
    for (const SoundSet& set : soundSets()) {
        const std::pair<const char*, const Voice*> events[] = {
            {"hurt", &set.hurt}, {"death", &set.death}, {"idle", &set.idle}, {"attack", &set.attack}};
        for (const auto& [event, voice] : events) {
            const std::string name = set.mob + "_" + event;
            const fs::path folder = content / "sounds" / set.mob;
            writeBytes(folder / (name + ".wav"), wavFile(synthesise(*voice, salt++)));
            const Value definition = Value::object()
                                         .set("id", "core:mob." + set.mob + "." + event)
                                         .set("file", name + ".wav")
                                         .set("volume", 0.8);
            writeBytes(folder / (name + ".sound.json"), definition.write());
        }
    }
    writeBlockSounds(content, salt);
}

}  // namespace

void writeCreatures(const fs::path& content) {
    for (const Creature& c : {boar(), skeleton(), basaltGolem(), fortressWarden(), smith()})
        writeCreature(content, turnedToFaceEast(c));
    writeBytes(content / "mobs/boar/boar.mob.json", boarMob().write());
    writeBytes(content / "mobs/skeleton/skeleton.mob.json", skeletonMob().write());
    writeBytes(content / "mobs/basalt_golem/basalt_golem.mob.json", basaltGolemMob().write());
    writeBytes(content / "mobs/fortress_warden/fortress_warden.mob.json", fortressWardenMob().write());
    writeBytes(content / "people/smith/smith.npc.json", smithNpc().write());
    writeBytes(content / "people/smith/ore_for_the_forge.quest.json", smithQuest().write());
    writeSounds(content);
}

}  // namespace packgen
