#pragma once
// Which block ids the content the server was started with defines: the server has no registry of
// its own, so it takes the ids the game assigns (the persistent id file, then the next free id for
// each definition it does not list) without loading or writing anything.
#include <cstdint>
#include <filesystem>

namespace net {

// The highest block id a game with this content and id file can know; the built-ins' last id when
// there is no custom content. Definitions that cannot be read are counted as if they could: a
// guest's game may have read them, and an id too high is refused while one too low stops games.
uint8_t highestBlockId(const std::filesystem::path& contentFolder, const std::filesystem::path& idsFile);

}  // namespace net
