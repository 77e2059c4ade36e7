#include "tools/pack_resources.h"

#include <utility>

namespace packgen {
namespace {

std::string shortName(const std::string& id) {
    return id.substr(id.find(':') + 1);
}

Resource make(const std::string& id, const std::string& name, const std::string& description, bool block) {
    Resource r;
    r.folder = std::string(block ? "blocks/" : "items/") + shortName(id);
    r.definition.set("id", id)
        .set("name", name)
        .set("description", description)
        .set("type", block ? "block" : "item");
    return r;
}

// A full cube. textures are painter names; faces say which one each face (up, down, north, south,
// east, west) shows. Its pictures have no clear texels, so it hides its neighbours' faces and stops
// light, as walls and ground must; the cubes that are seen or walked through say otherwise.
Resource cube(const std::string& id, const std::string& name, const std::string& description,
              std::vector<std::string> textures, FaceTextures faces) {
    Resource r = make(id, name, description, true);
    r.definition.set("opaque", true);
    r.textures = std::move(textures);
    r.elements = {Element{"block", {0, 0, 0}, {16, 16, 16}, faces}};
    return r;
}

Resource plainCube(const std::string& id, const std::string& name, const std::string& description,
                   const std::string& texture) {
    return cube(id, name, description, {texture}, allFaces(0));
}

// Top, bottom, then the four sides.
Resource layeredCube(const std::string& id, const std::string& name, const std::string& description,
                     const std::string& top, const std::string& bottom, const std::string& side) {
    return cube(id, name, description, {top, bottom, side}, {0, 1, 2, 2, 2, 2});
}

// The front faces south (+z), like the chest's latch, opposite the back edge that lids turn about.
// The list holds one picture per face, in face order, so that the face table reads the same sides.
Resource frontedCube(const std::string& id, const std::string& name, const std::string& description,
                     const std::string& top, const std::string& bottom, const std::string& front,
                     const std::string& side) {
    return cube(id, name, description, {top, bottom, side, front, side, side}, {0, 1, 2, 3, 4, 5});
}

Resource plant(const std::string& id, const std::string& name, const std::string& description,
               const std::string& texture) {
    Resource r = make(id, name, description, true);
    r.definition.set("solid", false).set("opaque", false);
    r.textures = {texture};
    r.icon = texture;
    r.elements = crossedPlanes();
    return r;
}

Resource item(const std::string& id, const std::string& name, const std::string& description,
              int maxStack = 64) {
    Resource r = make(id, name, description, false);
    if (maxStack != 64) r.definition.set("max_stack", maxStack);
    r.textures = {shortName(id)};
    r.icon = shortName(id);
    r.elements = itemPlane();
    return r;
}

// Held in the right hand at an angle, the way a tool is carried.
Value toolDisplay() {
    return Value::object().set(
        "display",
        Value::object().set("thirdperson_righthand", Value::object()
                                                         .set("rotation", Value::numbers({0, -90, 55}))
                                                         .set("translation", Value::numbers({0, 4, 0.5}))
                                                         .set("scale", Value::numbers({0.85, 0.85, 0.85}))));
}

Resource equipment(const std::string& id, const std::string& name, const std::string& description,
                   int durability) {
    Resource r = item(id, name, description, 1);
    r.definition.set("durability", durability);
    return r;
}

Resource tool(const std::string& id, const std::string& name, const std::string& description,
              const std::string& kind, int attack, int durability) {
    Resource r = equipment(id, name, description, durability);
    r.definition.set("tool", kind).set("attack", attack);
    r.modelExtra = toolDisplay();
    return r;
}

Resource armour(const std::string& id, const std::string& name, const std::string& description, int slot,
                int defense, int durability) {
    Resource r = equipment(id, name, description, durability);
    r.definition.set("armor_slot", slot).set("defense", defense);
    return r;
}

Value keyframe(double time, Value rotation, Value translation) {
    return Value::object()
        .set("time", time)
        .set("rotation", std::move(rotation))
        .set("translation", std::move(translation));
}

// A sword swings down and back when it strikes.
Resource sword() {
    Resource r = tool("core:iron_sword", "ЖЕЛЕЗНЫЙ МЕЧ", "ОСТРЫЙ КЛИНОК. БЬЁТ СИЛЬНЕЕ ЛЮБОГО ИНСТРУМЕНТА.",
                      "sword", 7, 250);
    Value firstPerson = Value::object()
                            .set("rotation", Value::numbers({0, -90, 25}))
                            .set("translation", Value::numbers({1.13, 3.2, 1.13}))
                            .set("scale", Value::numbers({0.68, 0.68, 0.68}));
    r.modelExtra.merge(Value::object().set(
        "display", Value::object()
                       .set("firstperson_righthand", std::move(firstPerson))
                       .set("thirdperson_righthand", Value::object()
                                                         .set("rotation", Value::numbers({0, -90, 55}))
                                                         .set("translation", Value::numbers({0, 4, 0.5}))
                                                         .set("scale", Value::numbers({0.85, 0.85, 0.85})))));
    Value swing = Value::array();
    swing.push(keyframe(0.0, Value::numbers({0, 0, 0}), Value::numbers({0, 0, 0})));
    swing.push(keyframe(0.12, Value::numbers({-70, 10, 0}), Value::numbers({0, -2, -3})));
    swing.push(keyframe(0.3, Value::numbers({0, 0, 0}), Value::numbers({0, 0, 0})));
    r.modelExtra.set(
        "held_animations",
        Value::object().set(
            "firstperson_righthand",
            Value::object().set(
                "attack",
                Value::object().set("duration", 0.3).set("loop", false).set("keyframes", std::move(swing)))));
    return r;
}

Resource chest() {
    Resource r = make("core:chest", "СУНДУК", "ХРАНИТ ВЕЩИ. КРЫШКА ОТКРЫВАЕТСЯ НА ПЕТЛЯХ.", true);
    r.definition.set("behavior", "chest");
    r.textures = {"chest_top", "chest_side", "chest_front"};
    // The lid turns about its back edge (z 0) at the height where it meets the body.
    r.elements = {
        Element{"body", {1, 0, 1}, {15, 11.5, 15}, {0, 0, 1, 2, 1, 1}},
        Element{"lid", {1, 11.5, 1}, {15, 15, 15}, {0, 0, 1, 1, 1, 1}},
        Element{"latch", {7, 9, 15}, {9, 13, 16}, {0, 0, 2, 2, 2, 2}},
    };
    return r;
}

Resource door() {
    Resource r =
        make("core:oak_door", "ДУБОВАЯ ДВЕРЬ", "ДВЕРЬ В ДВА БЛОКА ВЫСОТОЙ. ОТКРЫВАЕТСЯ НАРУЖУ.", true);
    r.definition.set("behavior", "door");
    r.textures = {"door_lower", "door_upper"};
    r.elements = {
        Element{"lower", {0, 0, 0}, {16, 16, 3}, allFaces(0)},
        Element{"upper", {0, 16, 0}, {16, 32, 3}, allFaces(1)},
    };
    return r;
}

Resource trapdoor() {
    Resource r = make("core:oak_trapdoor", "ЛЮК", "ЗАКРЫВАЕТ ПРОЁМ В ПОЛУ ИЛИ В СТЕНЕ.", true);
    r.definition.set("behavior", "trapdoor");
    r.textures = {"trapdoor"};
    r.elements = {Element{"panel", {0, 0, 0}, {16, 3, 16}, allFaces(0)}};
    return r;
}

Resource ladder() {
    Resource r = make("core:ladder", "ЛЕСТНИЦА", "КРЕПИТСЯ К СТЕНЕ. ПО НЕЙ МОЖНО ЛЕЗТЬ ВВЕРХ.", true);
    r.definition.set("behavior", "ladder");
    r.textures = {"ladder"};
    r.elements = {Element{"rungs", {0, 0, 1}, {16, 16, 2}, {-1, -1, 0, 0, -1, -1}}};
    return r;
}

Resource bed() {
    Resource r = make("core:bed", "КРОВАТЬ", "ЗАНИМАЕТ ДВА БЛОКА. НА НЕЙ МОЖНО ПЕРЕЖДАТЬ НОЧЬ.", true);
    r.definition.set("behavior", "bed");
    r.textures = {"bed_head", "bed_foot", "bed_side", "oak_planks"};
    r.elements = {
        Element{"head", {0, 3, 0}, {16, 9, 16}, {0, 3, 2, -1, 2, 2}},
        Element{"foot", {0, 3, 16}, {16, 9, 32}, {1, 3, -1, 2, 2, 2}},
        Element{"leg_a", {0, 0, 0}, {3, 3, 3}, allFaces(3)},
        Element{"leg_b", {13, 0, 0}, {16, 3, 3}, allFaces(3)},
        Element{"leg_c", {0, 0, 29}, {3, 3, 32}, allFaces(3)},
        Element{"leg_d", {13, 0, 29}, {16, 3, 32}, allFaces(3)},
    };
    return r;
}

Resource torch() {
    Resource r = make("core:torch", "ФАКЕЛ", "ЯРКО ГОРИТ. СТАВИТСЯ НА ЗЕМЛЮ.", true);
    r.definition.set("solid", false)
        .set("opaque", false)
        .set("light", 14)
        .set("particle_effect", "smoke")
        .set("particle_size", 0.04)
        .set("particle_height", 0.75)
        .set("particle_interval_ticks", 30);
    r.textures = {"torch"};
    r.icon = "torch";
    r.elements = {Element{"stick", {7, 0, 7}, {9, 13, 9}, allFaces(0)}};
    return r;
}

Resource lantern() {
    Resource r = make("demo:lantern", "ФОНАРЬ", "ЖЕЛЕЗНЫЙ ФОНАРЬ СО СВЕЧОЙ. ИСКРИТ.", true);
    r.definition.set("solid", false).set("opaque", false).set("light", 15);
    r.textures = {"lantern"};
    Element body{"body", {4, 0, 4}, {12, 9, 12}, allFaces(0)};
    body.fullUv = true;
    Element cap{"cap", {5, 9, 5}, {11, 11, 11}, allFaces(0)};
    cap.fullUv = true;
    r.elements = {body, cap};
    return r;
}

Resource vial() {
    Resource r = make("core:city_vial", "СКЛЯНКА", "СКЛЯНКА АЛХИМИКА С ФИОЛЕТОВЫМ НАСТОЕМ.", true);
    r.definition.set("solid", false).set("opaque", false);
    r.textures = {"city_vial"};
    Element body{"flask", {5, 0, 5}, {11, 7, 11}, allFaces(0)};
    body.fullUv = true;
    r.elements = {body, Element{"neck", {7, 7, 7}, {9, 10, 9}, allFaces(0)}};
    return r;
}

Resource portal(const std::string& id, const std::string& name, const std::string& description,
                const std::string& dimension) {
    Resource r = plainCube(id, name, description, shortName(id));
    r.definition.set("solid", false)
        .set("opaque", false)
        .set("behavior", "portal")
        .set("dimension", dimension)
        .set("light", 11);
    return r;
}

Resource wheatStage(int stage, const std::string& name) {
    const std::string id = "core:wheat_stage_" + std::to_string(stage);
    return plant(id, name, "ПШЕНИЦА РАСТЁТ НА ПАШНЕ. СОЗРЕВАЕТ ЗА ЧЕТЫРЕ СТАДИИ.", shortName(id));
}

std::vector<Resource> blocks() {
    std::vector<Resource> list;
    list.push_back(
        plant("core:tall_grass", "ВЫСОКАЯ ТРАВА", "КАЧАЕТСЯ НА ВЕТРУ. ИЗ НЕЁ ВЬЮТ НИТЬ.", "tall_grass"));
    list.push_back(plant("core:flower", "ЦВЕТОК", "КРАСНЫЙ ЦВЕТОК. НУЖЕН ДЛЯ ЗЕЛЬЯ ЛЕЧЕНИЯ.", "flower"));
    list.push_back(
        layeredCube("core:cactus", "КАКТУС", "РАСТЁТ В ПУСТЫНЕ.", "cactus_top", "cactus_top", "cactus_side"));
    Resource ice = plainCube("core:frost_ice", "ЛЁД", "ЗАМЁРЗШЕЕ МОРЕ ЛЕДЯНОГО КРАЯ.", "frost_ice");
    // Ice is frozen water: daylight still reaches the sea under it.
    ice.definition.set("opaque", false);
    list.push_back(ice);
    Resource updraft =
        plainCube("core:sky_updraft", "ВОСХОДЯЩИЙ ПОТОК", "ПОДНИМАЕТ ПЛАНИРУЮЩЕГО ВВЕРХ.", "sky_updraft");
    updraft.definition.set("solid", false)
        .set("opaque", false)
        .set("behavior", "updraft")
        .set("updraft_lift", 8);
    list.push_back(updraft);
    list.push_back(chest());
    Resource glass = plainCube("core:city_glass", "СТЕКЛО", "ПРОЗРАЧНОЕ СТЕКЛО ДЛЯ ОКОН.", "city_glass");
    glass.definition.set("opaque", false);
    list.push_back(glass);
    list.push_back(
        plainCube("core:city_paving", "МОСТОВАЯ", "КАМЕННЫЕ ПЛИТЫ ГОРОДСКИХ ДОРОГ.", "city_paving"));
    list.push_back(plainCube("core:city_planks", "НАСТИЛ", "СВЕТЛЫЕ ДОСКИ ГОРОДСКИХ ПОЛОВ.", "city_planks"));
    list.push_back(
        plainCube("core:city_plaster", "ШТУКАТУРКА", "БЕЛЁНЫЕ СТЕНЫ ГОРОДСКИХ ДОМОВ.", "city_plaster"));
    list.push_back(plainCube("core:city_roof", "ЧЕРЕПИЦА", "КРАСНАЯ ЧЕРЕПИЦА КРЫШ.", "city_roof"));
    list.push_back(plainCube("core:city_seal", "ГОРОДСКАЯ ПЕЧАТЬ", "ЗНАК ГОРОДА НА ПЛОЩАДИ.", "city_seal"));
    list.push_back(lantern());
    Resource workbench =
        frontedCube("core:workbench", "ВЕРСТАК", "ЗДЕСЬ ДЕЛАЮТ ИНСТРУМЕНТЫ, ОРУЖИЕ И ДОСПЕХИ.",
                    "workbench_top", "oak_planks", "workbench_front", "workbench_side");
    workbench.definition.set("behavior", "workbench");
    list.push_back(workbench);
    Resource furnace = frontedCube("core:furnace", "ПЕЧЬ", "ПЛАВИТ РУДУ И ЖАРИТ ЕДУ НА УГЛЕ.", "furnace_top",
                                   "furnace_top", "furnace_front", "furnace_side");
    furnace.definition.set("behavior", "furnace");
    list.push_back(furnace);
    Resource alchemy = layeredCube("core:alchemy_table", "СТОЛ АЛХИМИКА", "ЗДЕСЬ ВАРЯТ ЗЕЛЬЯ.", "alchemy_top",
                                   "oak_planks", "alchemy_side");
    alchemy.definition.set("behavior", "alchemy");
    list.push_back(alchemy);
    list.push_back(vial());
    list.push_back(wheatStage(0, "ПШЕНИЦА: ВСХОДЫ"));
    list.push_back(wheatStage(1, "ПШЕНИЦА: СТЕБЛИ"));
    list.push_back(wheatStage(2, "ПШЕНИЦА: КОЛОСКИ"));
    list.push_back(wheatStage(3, "СПЕЛАЯ ПШЕНИЦА"));
    list.push_back(layeredCube("core:farmland", "ПАШНЯ", "ВСПАХАННАЯ ЗЕМЛЯ ДЛЯ ПОСЕВОВ.", "farmland_top",
                               "dirt_side", "dirt_side"));
    list.push_back(plainCube("core:oak_planks", "ДУБОВЫЕ ДОСКИ", "ИЗ НИХ СТРОЯТ И МАСТЕРЯТ.", "oak_planks"));
    list.push_back(
        plainCube("core:ash_stone", "ПЕПЕЛЬНЫЙ КАМЕНЬ", "ТЁМНАЯ ПОРОДА ПЕПЕЛЬНЫХ ЗЕМЕЛЬ.", "ash_stone"));
    list.push_back(plainCube("core:ash_soil", "ПЕПЕЛ", "СЕРЫЙ ПЕПЕЛ ПОД НОГАМИ.", "ash_soil"));
    list.push_back(plainCube("core:ash_ore", "ПЕПЕЛЬНАЯ РУДА", "В ПЕЧИ ДАЁТ ПЕПЕЛЬНЫЙ КРИСТАЛЛ.", "ash_ore"));
    list.push_back(
        layeredCube("core:snow", "СНЕГ", "ПОКРЫВАЕТ ЛЕДЯНОЙ КРАЙ.", "snow", "dirt_side", "snow_side"));
    list.push_back(layeredCube("core:sky_grass", "НЕБЕСНАЯ ТРАВА", "РАСТЁТ НА НЕБЕСНЫХ ОСТРОВАХ.",
                               "sky_grass_top", "dirt_side", "sky_grass_side"));
    list.push_back(
        plainCube("core:basalt_bricks", "БАЗАЛЬТОВЫЙ КИРПИЧ", "СТЕНЫ ПЕПЕЛЬНОЙ КРЕПОСТИ.", "basalt_bricks"));
    list.push_back(
        portal("core:ash_portal", "ПОРТАЛ В ПЕПЕЛЬНЫЕ ЗЕМЛИ", "ВЕДЁТ В ПЕПЕЛЬНЫЕ ЗЕМЛИ.", "core:ash"));
    list.push_back(portal("core:frost_portal", "ПОРТАЛ В ЛЕДЯНОЙ КРАЙ", "ВЕДЁТ В ЛЕДЯНОЙ КРАЙ. ТАМ ХОЛОДНО.",
                          "core:frost"));
    list.push_back(
        portal("core:sky_portal", "ПОРТАЛ НА НЕБЕСНЫЕ ОСТРОВА", "ВЕДЁТ НА НЕБЕСНЫЕ ОСТРОВА.", "core:sky"));
    list.push_back(torch());
    list.push_back(door());
    list.push_back(trapdoor());
    list.push_back(ladder());
    list.push_back(bed());
    return list;
}

std::vector<Resource> items() {
    std::vector<Resource> list;
    list.push_back(item("core:stick", "ПАЛКА", "ИЗ ПАЛОК ДЕЛАЮТ РУКОЯТИ И ФАКЕЛЫ."));
    list.push_back(item("core:coal", "УГОЛЬ", "ТОПЛИВО ДЛЯ ПЕЧИ."));
    list.push_back(item("core:iron_ingot", "ЖЕЛЕЗНЫЙ СЛИТОК", "ВЫПЛАВЛЕН ИЗ ЖЕЛЕЗНОЙ РУДЫ."));
    list.push_back(item("core:gold_ingot", "ЗОЛОТОЙ СЛИТОК", "ВЫПЛАВЛЕН ИЗ ЗОЛОТОЙ РУДЫ."));
    list.push_back(item("core:diamond", "АЛМАЗ", "РЕДКИЙ КАМЕНЬ. НУЖЕН ДЛЯ ПОРТАЛОВ."));
    list.push_back(item("core:ash_crystal", "ПЕПЕЛЬНЫЙ КРИСТАЛЛ", "ТЁПЛЫЙ КРИСТАЛЛ ИЗ ПЕПЕЛЬНОЙ РУДЫ."));
    list.push_back(item("core:string", "НИТЬ", "СВИТА ИЗ ТРАВЫ. ИДЁТ НА ЛУКИ И ТКАНЬ."));
    list.push_back(item("core:wheat", "СНОП ПШЕНИЦЫ", "ИЗ ПШЕНИЦЫ ПЕКУТ ХЛЕБ."));
    list.push_back(item("core:wheat_seeds", "СЕМЕНА ПШЕНИЦЫ", "САЖАЮТ НА ПАШНЮ."));
    list.push_back(item("core:bread", "ХЛЕБ", "СЫТНАЯ ЕДА."));
    list.push_back(item("core:apple", "ЯБЛОКО", "СОЧНОЕ ЯБЛОКО."));
    list.push_back(item("core:raw_pork", "СЫРАЯ СВИНИНА", "ЛУЧШЕ ПОЖАРИТЬ В ПЕЧИ."));
    list.push_back(item("core:cooked_pork", "ЖАРЕНАЯ СВИНИНА", "ОЧЕНЬ СЫТНАЯ ЕДА."));
    list.push_back(item("core:bone", "КОСТЬ", "ОСТАЁТСЯ ОТ СКЕЛЕТОВ."));
    list.push_back(item("core:arrow", "СТРЕЛА", "БОЕПРИПАС ДЛЯ ЛУКА."));
    list.push_back(item("core:glass_bottle", "ПУСТОЙ ФЛАКОН", "В НЁМ ВАРЯТ ЗЕЛЬЯ.", 16));
    list.push_back(item("core:healing_potion", "ЗЕЛЬЕ ЛЕЧЕНИЯ", "СРАЗУ ВОССТАНАВЛИВАЕТ ЗДОРОВЬЕ.", 16));
    list.push_back(item("core:speed_potion", "ЗЕЛЬЕ СКОРОСТИ", "НА ВРЕМЯ УСКОРЯЕТ БЕГ.", 16));
    list.push_back(item("core:protection_potion", "ЗЕЛЬЕ ЗАЩИТЫ", "НА ВРЕМЯ ОСЛАБЛЯЕТ УДАРЫ.", 16));
    list.push_back(item("core:water_breathing_potion", "ЗЕЛЬЕ ПОДВОДНОГО ДЫХАНИЯ",
                        "НА ВРЕМЯ ДАЁТ ДЫШАТЬ ПОД ВОДОЙ.", 16));
    list.push_back(tool("core:wooden_pickaxe", "ДЕРЕВЯННАЯ КИРКА", "ПЕРВЫЙ ИНСТРУМЕНТ. ДОБЫВАЕТ КАМЕНЬ.",
                        "pickaxe", 2, 60));
    list.push_back(tool("core:iron_pickaxe", "ЖЕЛЕЗНАЯ КИРКА", "ДОБЫВАЕТ КАМЕНЬ И РУДУ.", "pickaxe", 4, 250));
    list.push_back(tool("core:iron_axe", "ЖЕЛЕЗНЫЙ ТОПОР", "РУБИТ ДЕРЕВЬЯ.", "axe", 6, 250));
    list.push_back(sword());
    list.push_back(tool("core:iron_hoe", "ЖЕЛЕЗНАЯ МОТЫГА", "ВСПАХИВАЕТ ЗЕМЛЮ ПОД ПОСЕВЫ.", "hoe", 2, 250));
    list.push_back(armour("core:iron_helmet", "ЖЕЛЕЗНЫЙ ШЛЕМ", "ЗАЩИЩАЕТ ГОЛОВУ.", 0, 2, 165));
    list.push_back(armour("core:iron_chestplate", "ЖЕЛЕЗНЫЙ НАГРУДНИК", "ЗАЩИЩАЕТ ГРУДЬ.", 1, 6, 240));
    list.push_back(armour("core:iron_leggings", "ЖЕЛЕЗНЫЕ ПОНОЖИ", "ЗАЩИЩАЮТ НОГИ.", 2, 5, 225));
    list.push_back(armour("core:iron_boots", "ЖЕЛЕЗНЫЕ САПОГИ", "ЗАЩИЩАЮТ СТОПЫ.", 3, 2, 195));
    Resource coat = armour("core:fur_coat", "МЕХОВАЯ КУРТКА", "ГРЕЕТ В ЛЕДЯНОМ КРАЕ.", 1, 2, 160);
    coat.definition.set("cold_resistance", 60);
    list.push_back(coat);
    Resource bow = equipment("core:bow", "ЛУК", "СТРЕЛЯЕТ СТРЕЛАМИ. ЧЕМ ДОЛЬШЕ НАТЯЖЕНИЕ, ТЕМ СИЛЬНЕЕ.", 384);
    bow.definition.set("behavior", "bow");
    bow.modelExtra = toolDisplay();
    bow.modelExtra.set("held_bow_deformation", true);
    list.push_back(bow);
    Resource shield = equipment("core:shield", "ЩИТ", "ПРИНИМАЕТ УДАРЫ СПЕРЕДИ.", 336);
    shield.definition.set("behavior", "shield").set("shield_reduction", 80).set("shield_arc", 110);
    list.push_back(shield);
    Resource glider =
        equipment("core:glider", "ДЕЛЬТАПЛАН", "НАДЕВАЕТСЯ НА СПИНУ. ПОЗВОЛЯЕТ ПЛАНИРОВАТЬ.", 200);
    glider.definition.set("behavior", "glider")
        .set("armor_slot", 1)
        .set("glide_speed", 9)
        .set("glide_sink", 2);
    list.push_back(glider);
    return list;
}

}  // namespace

std::vector<Resource> allResources() {
    std::vector<Resource> list = blocks();
    for (Resource& r : items()) list.push_back(std::move(r));
    return list;
}

}  // namespace packgen
