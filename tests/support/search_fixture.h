// A binary plane with the state a search keeps, and the working values of a
// symbol reading, for tests that drive single stages.
#pragma once

#include <memory>
#include <vector>

#include "core/binary_plane.h"
#include "first_search/search_state.h"
#include "sample/symbol_reading.h"

namespace testsearch {

struct Search {
    lectavo::BinaryPlane plane;
    lectavo::SearchState state;
    std::unique_ptr<lectavo::SymbolReading> work = std::make_unique<lectavo::SymbolReading>();

    std::vector<lectavo::FinderPattern>& finders = state.finders;
    std::vector<lectavo::LocatedSymbol>& candidates = state.candidates;
    std::vector<lectavo::DecodeResult>& results = state.results;
    uint8_t& minModuleSize = state.minModuleSize;
    lectavo::ReadingArea& reading = work->area;

    Search() = default;
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;
};

}  // namespace testsearch
