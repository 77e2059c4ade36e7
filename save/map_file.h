#pragma once
// The file of one dimension's world map, "<dimension>.map140.txt" in the world folder:
//
//   QUORVANE_MAP140
//   chunks <n>                      n = 0..4096
//   <cx> <cz> <256 colours>         n lines; each colour six hex digits BBGGRR, z * 16 + x order
//   markers <m>                     m = 0..256
//   <x> <y> <z> <kind> <name>       m lines; y 0..127, kind 0..3, the name the rest of the line
//
// Every count, coordinate and length is checked before anything is kept.
#include <optional>
#include <string>

#include "game/world_map.h"

namespace filesave {

inline constexpr const char* kMapHeader = "QUORVANE_MAP140";
// Large enough for a full map with every marker; a bigger file is refused unread.
inline constexpr std::size_t kMaxMapFileBytes = 8u << 20;

std::string mapFileName(const std::string& dimension);

std::string encodeMap(const game::WorldMap& map);
// Nothing for a file that breaks any rule above, has a chunk twice or anything after the markers.
std::optional<game::WorldMap> decodeMap(const std::string& bytes);

}  // namespace filesave
