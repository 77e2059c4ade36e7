// Drinking the held potion: the right button held for the timed use's length, as food is eaten; the
// potion table of the content gives what it does.
#include <algorithm>

#include "app/app.h"
#include "game/progression.h"

void App::drinkStep(bool pressed, bool held) {
    TimedUse& use = actions.uses[1];
    const int32_t selected = std::clamp(inventory.selected, 0, 8);
    const InventorySlot& slot = selectedSlot();
    const auto potion = rules.potions.find(slot.id);
    const bool drinkable = slot.count > 0 && potion != rules.potions.end();
    if (!held || !drinkable || (use.active && use.slot != selected)) {
        use.active = false;
        return;
    }
    const int32_t most = adventure::maxHealth(combat.progression);
    // Healing at full health would be wasted, as food is at a full food level.
    const bool wanted = potion->second.effect != "healing" || player.health < most;
    if (pressed && !use.active && wanted) use = {true, selected, clock.tick};
    if (!use.active || useFraction() < 1.0f) return;
    game::drinkPotion(potion->second, potionEffects, player.health, most);
    InventorySlot& drunk = inventory.hotbar[static_cast<std::size_t>(use.slot)];
    if (--drunk.count <= 0) drunk = InventorySlot{};
    use.active = false;
    saveActionFiles({.player = true, .potionEffects = true});
}
