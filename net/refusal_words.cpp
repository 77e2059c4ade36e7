#include "net/refusal_words.h"

#include <array>
#include <utility>

namespace net {

std::string refusalWords(const std::string& reason) {
    // By how each of the host's reasons begins: some name a version or a wait after it.
    static constexpr std::array<std::pair<const char*, const char*>, 8> kWords{{
        {"Wrong room code", "НЕВЕРНЫЙ КОД КОМНАТЫ"},
        {"Too many wrong room codes", "СЛИШКОМ МНОГО НЕВЕРНЫХ КОДОВ"},
        {"This player is already in the room", "ЭТОТ ИГРОК УЖЕ В КОМНАТЕ"},
        {"Game content differs", "СОДЕРЖИМОЕ ИГРЫ НЕ СОВПАДАЕТ"},
        {"The room is full", "КОМНАТА ЗАПОЛНЕНА"},
        {"Protocol version", "ВЕРСИЯ ИГРЫ НЕ СОВПАДАЕТ"},
        {"The player name", "НЕДОПУСТИМОЕ ИМЯ ИГРОКА"},
        {"The player has no network identity", "НЕТ СЕТЕВОГО ИМЕНИ ИГРОКА"},
    }};
    for (const auto& [start, words] : kWords)
        if (reason.starts_with(start)) return words;
    return "СЕРВЕР НЕ ПРИНЯЛ ПОДКЛЮЧЕНИЕ";
}

std::string failureWords(const LanSession& lan) {
    switch (lan.failure) {
        case LanFailure::noConnection: return "НЕ УДАЛОСЬ ПОДКЛЮЧИТЬСЯ К СЕРВЕРУ";
        case LanFailure::refused: return refusalWords(lan.refusal);
        case LanFailure::lost: return "СВЯЗЬ С СЕРВЕРОМ ПОТЕРЯНА";
        case LanFailure::none: break;
    }
    return "";
}

}  // namespace net
