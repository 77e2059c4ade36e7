#pragma once
// Records kept per block cell (chests, furnaces, filled structure chests): the same cell in two
// dimensions is two places, so such records are keyed by the dimension id first.
#include <cstddef>
#include <map>
#include <string>
#include <utility>

#include "app/chunk_window_state.h"

using DimensionCell = std::pair<std::string, CellKey>;

template <typename Record>
using CellsByDimension = std::map<std::string, std::map<CellKey, Record>>;

// The records of one dimension; empty when it has none, and reading adds no dimension.
template <typename Record>
const std::map<CellKey, Record>& cellsIn(const CellsByDimension<Record>& records,
                                         const std::string& dimension) {
    static const std::map<CellKey, Record> none;
    const auto found = records.find(dimension);
    return found == records.end() ? none : found->second;
}

template <typename Record>
std::size_t countCells(const CellsByDimension<Record>& records) {
    std::size_t n = 0;
    for (const auto& [dimension, cells] : records) n += cells.size();
    return n;
}
