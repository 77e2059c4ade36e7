#include "ui/screen_texts.h"

#include <algorithm>

#include "ui/ui_state.h"

namespace ui {

namespace {

std::u32string number(int64_t value) { return utf8ToUtf32(std::to_string(value)); }

std::u32string fraction(int64_t part, int64_t whole) { return number(part) + U" / " + number(whole); }

uint32_t thousandths(int64_t part, int64_t whole) {
    if (whole <= 0) return 0;
    return static_cast<uint32_t>(std::clamp<int64_t>(part * 1000 / whole, 0, 1000));
}

constexpr const char32_t* kSkillNames[adventure::kSkillCount] = {U"ВЫНОСЛИВОСТЬ", U"БОЙ", U"ДОБЫЧА",
                                                                 U"ИССЛЕДОВАНИЕ"};

std::u32string questStateText(adventure::QuestState state) {
    switch (state) {
        case adventure::QuestState::available: return U"МОЖНО ПРИНЯТЬ";
        case adventure::QuestState::locked: return U"ЗАКРЫТО: СНАЧАЛА ПРЕДЫДУЩИЙ ЭТАП";
        case adventure::QuestState::accepted: return U"ПРИНЯТО";
        case adventure::QuestState::done: return U"ВЫПОЛНЕНО";
    }
    return U"";
}

uint32_t packTradeItem(uint8_t id, int32_t count) {
    return static_cast<uint32_t>(std::clamp(count, 0, 255)) << 8 | id;
}

}  // namespace

std::vector<std::u32string> wrapText(const std::u32string& text, std::size_t width, std::size_t lines) {
    std::vector<std::u32string> out;
    std::size_t at = 0;
    while (width > 0 && out.size() < lines) {
        while (at < text.size() && text[at] == U' ') ++at;
        if (at >= text.size()) break;
        std::size_t end = std::min(text.size(), at + width);
        if (end < text.size() && text[end] != U' ') {
            const std::size_t space = text.rfind(U' ', end);
            if (space != std::u32string::npos && space > at) end = space;
        }
        out.push_back(text.substr(at, end - at));
        at = end;
    }
    return out;
}

ScreenOverlay connectionOverlay(const std::string& address, const std::string& port, const std::string& roomCode,
                                const ConnectionFormFocus& focus, const std::string& status) {
    ScreenOverlay o;
    o.lines[kLineTitle] = U"ПОДКЛЮЧЕНИЕ К СЕРВЕРУ";
    const std::u32string labels[kFormFields] = {U"IP-АДРЕС", U"ПОРТ", U"КОД КОМНАТЫ"};
    const std::string* texts[kFormFields] = {&address, &port, &roomCode};
    for (uint32_t k = 0; k < kFormFields; ++k) {
        o.lines[kLineFields + 2 * k] = labels[k];
        o.lines[kLineFields + 2 * k + 1] = utf8ToUtf32(*texts[k]);
    }
    o.lines[kLineFormStatus] = utf8ToUtf32(status);
    o.lines[kLineButtons] = U"ПОДКЛЮЧИТЬСЯ";
    o.lines[kLineButtons + 1] = U"НАЗАД";
    o.state[kStateFocus] = focus.field;
    o.state[kStateSelection] = focus.allSelected ? 1u : 0u;
    return o;
}

ScreenOverlay deathOverlay(bool bedSpawn) {
    ScreenOverlay o;
    o.lines[kLineTitle] = U"ВЫ ПОГИБЛИ";
    o.lines[kLineRows] = bedSpawn ? U"ВОЗРОЖДЕНИЕ У КРОВАТИ" : U"ВОЗРОЖДЕНИЕ В ТОЧКЕ ПОЯВЛЕНИЯ";
    o.lines[kLineButtons] = U"ВОЗРОДИТЬСЯ";
    return o;
}

ScreenOverlay characterOverlay(const CharacterSheet& sheet) {
    ScreenOverlay o;
    o.lines[kLineTitle] = U"ПЕРСОНАЖ";
    o.lines[kLineTabs] = U"НАВЫКИ";
    o.lines[kLineTabs + 1] = U"ХАРАКТЕРИСТИКИ";
    o.state[kStateFocus] = sheet.tab;
    const Progression& p = sheet.progression;
    if (sheet.tab == 0) {
        for (uint32_t k = 0; k < adventure::kSkillCount; ++k) {
            const uint32_t xp = p.skillExperience[k];
            o.lines[kLineRows + k] = std::u32string(kSkillNames[k]) + U": УРОВЕНЬ " + number(p.skills[k]) +
                                     U", ОПЫТ " + number(xp);
            o.state[kStateBars + k] = thousandths(adventure::skillLevelProgress(xp), adventure::kExperiencePerSkillLevel);
        }
        o.state[kStateRows] = adventure::kSkillCount;
        return o;
    }
    const int32_t most = adventure::maxHealth(p);
    o.lines[kLineRows] = U"ЗДОРОВЬЕ: " + fraction(sheet.health, most);
    o.lines[kLineRows + 1] = U"СЫТОСТЬ: " + fraction(sheet.food, 20);
    o.lines[kLineRows + 2] = U"БРОНЯ: " + number(sheet.armourPieces) + U" ИЗ 4";
    o.lines[kLineRows + 3] = U"УРОВЕНЬ " + number(p.level) + U", ОПЫТ " + number(p.experience);
    o.state[kStateBars] = thousandths(sheet.health, most);
    o.state[kStateBars + 1] = thousandths(sheet.food, 20);
    o.state[kStateBars + 2] = thousandths(sheet.armourPieces, 4);
    o.state[kStateRows] = 4;
    return o;
}

namespace {

void npcQuestLines(ScreenOverlay& o, const NpcWindow& window) {
    const uint32_t rows = std::min<uint32_t>(static_cast<uint32_t>(window.quests.size()), kNpcRowsShown);
    o.state[kStateRows] = rows;
    o.state[kStateSelection] = window.selected;
    o.state[kStateAccept] = window.acceptEnabled ? 1u : 0u;
    for (uint32_t k = 0; k < rows; ++k) {
        o.lines[kLineRows + k] = window.quests[k].title;
        o.state[kStateRowStates] |= static_cast<uint32_t>(window.quests[k].state) << (2 * k);
    }
    if (window.quests.empty()) {
        o.lines[kLineDetail + 1] = U"ЗАДАНИЙ НЕТ";
        return;
    }
    const NpcQuestRow& row = window.quests[window.selected];
    o.lines[kLineDetail] = U"ПРОГРЕСС: " + fraction(row.progress, row.count);
    o.lines[kLineDetail + 1] = questStateText(row.state);
    o.lines[kLineDetail + 2] = U"ПРИНЯТЬ";
    const std::vector<std::u32string> description = wrapText(row.description, kDescriptionWidth, kDescriptionLines);
    for (std::size_t k = 0; k < description.size(); ++k) o.lines[kLineDetail + 3 + k] = description[k];
    o.state[kStateBars] = thousandths(row.progress, row.count);
}

}  // namespace

ScreenOverlay npcOverlay(const NpcWindow& window) {
    ScreenOverlay o;
    o.lines[kLineTitle] = window.name;
    o.lines[kLineTabs] = U"ЗАДАНИЯ";
    o.lines[kLineTabs + 1] = U"ОБМЕН";
    o.state[kStateFocus] = window.tab;
    if (window.tab == 0) {
        npcQuestLines(o, window);
        return o;
    }
    o.state[kStateTrade] = window.hasTrade ? 1u : 0u;
    if (!window.hasTrade) {
        o.lines[kLineRows] = U"НЕ ТОРГУЕТ";
        return o;
    }
    o.lines[kLineRows] = U"ОТДАТЬ";
    o.lines[kLineRows + 1] = U"ПОЛУЧИТЬ";
    o.state[kStateTradeWants] = packTradeItem(window.trade.wants, window.trade.wantsCount);
    o.state[kStateTradeGives] = packTradeItem(window.trade.gives, window.trade.givesCount);
    return o;
}

ScreenOverlay journalOverlay(const std::vector<JournalRow>& rows) {
    ScreenOverlay o;
    o.lines[kLineTitle] = U"ЖУРНАЛ ЗАДАНИЙ";
    if (rows.empty()) o.lines[kLineRows] = U"НЕТ ПРИНЯТЫХ ЗАДАНИЙ";
    const uint32_t shown = std::min<uint32_t>(static_cast<uint32_t>(rows.size()), kRowsShown);
    for (uint32_t k = 0; k < shown; ++k) {
        const JournalRow& row = rows[k];
        o.lines[kLineRows + k] = row.title + U": " + (row.done ? U"ВЫПОЛНЕНО" : fraction(row.progress, row.count));
    }
    o.state[kStateRows] = rows.empty() ? 1u : shown;
    return o;
}

ScreenOverlay territoryOverlay(const std::vector<TerritoryRow>& rows) {
    ScreenOverlay o;
    o.lines[kLineTitle] = U"ТЕРРИТОРИИ";
    if (rows.empty()) o.lines[kLineRows] = U"ПОБЛИЗОСТИ НЕТ ГОРОДОВ";
    const uint32_t shown = std::min<uint32_t>(static_cast<uint32_t>(rows.size()), kRowsShown);
    for (uint32_t k = 0; k < shown; ++k)
        o.lines[kLineRows + k] = rows[k].name + U": " + number(rows[k].distance) + U" БЛОКОВ";
    o.state[kStateRows] = rows.empty() ? 1u : shown;
    return o;
}

void addPlayerList(ScreenOverlay& overlay, const std::vector<std::string>& names) {
    const uint32_t shown = std::min<uint32_t>(static_cast<uint32_t>(names.size()), kPausePlayersShown);
    overlay.lines[kLinePlayers] = U"ИГРОКИ: " + number(static_cast<int64_t>(names.size()));
    for (uint32_t k = 0; k < shown; ++k) overlay.lines[kLinePlayers + 1 + k] = utf8ToUtf32(names[k]);
    overlay.state[kStatePlayers] = shown;
}

}  // namespace ui
