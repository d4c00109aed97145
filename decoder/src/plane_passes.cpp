#include "plane_passes.h"

#include "first_search/search_pass.h"
#include "input/binarizer.h"

namespace lectavo {

bool RunPlanePasses(const uint8_t* grey, int width, int height, uint8_t threshold, bool bilevel,
                    const DecoderOptions& options, SearchState& state) {
    const PlaneSearch pass = [&](const uint8_t* plane, int w, int h) {
        SearchOutcome found;
        found.success = RecordedSearchPass(BinaryPlane{plane, w, h}, state, options.symbolCount, found.repeatable);
        found.symbolsHeld = static_cast<int>(state.results.size());
        found.last = state.Spent();
        return found;
    };
    const PlaneRepeat repeat = [&](int search) { RepeatSearchPass(search, state); };
    return Binarize(grey, width, height, threshold, bilevel, options, pass, repeat) == BinarizeStatus::kFound;
}

}  // namespace lectavo
