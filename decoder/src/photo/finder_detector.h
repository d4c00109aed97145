// Finder pattern candidates on a binary plane: rows with dark-light-dark-
// light-dark runs in the ratio 1:1:3:1:1, confirmed across the column and the
// diagonals, merged where they mark the same pattern.
#pragma once

#include <vector>

#include "photo/grey_view.h"

namespace lectavo::photo {

struct FinderCandidate {
    PointF centre;
    float moduleSize = 0;  // mean of the horizontal and vertical estimates
    int hits = 0;          // scan rows that confirmed it
    // The estimates along picture rows and columns (0: only moduleSize is
    // known). A finder seen at a slant is narrower one way than the other.
    float rowModule = 0, columnModule = 0;
};

// Pixels per module of the finder along the direction (dx, dy), from its row
// and column estimates: a finder foreshortened to half its width has modules
// half as wide along rows and full height along columns.
float ModuleToward(const FinderCandidate& f, float dx, float dy);
// The same where the caller knows `length`, the length of (dx, dy).
float ModuleToward(const FinderCandidate& f, float dx, float dy, float length);

// At most this many candidates are kept per plane, so crafted pictures full
// of finder-like marks cost a bounded amount of work.
inline constexpr int kMaxFinderCandidates = 256;

// Candidates confirmed on at least three rows (six where the column and row
// modules differ by more than 1.8 times: a finder seen at a slant, up to 3
// times), most confirmations first.
// `lightFinders`, when given, receives the light-on-dark finders (light
// stone, dark ring) confirmed the same way on at least one row more: where
// they can make a symbol, the inverted plane is worth a search.
std::vector<FinderCandidate> DetectFinders(const BinaryPicture& plane,
                                           std::vector<FinderCandidate>* lightFinders = nullptr);

// Candidates found as DetectFinders finds them, except that where a row
// through a centre breaks the pattern (a pale, thin ring cut by a scratch or
// the binariser), the rows next to it may confirm it instead. More texture
// passes too, so these are only looked at where a finder must be.
std::vector<FinderCandidate> DetectLenientFinders(const BinaryPicture& plane);

// The candidate nearest `at` within `radius` pixels whose modules are within
// kNearModuleRatio of `module`; false when there is none.
inline constexpr float kNearModuleRatio = 1.5f;
bool NearestFinder(const std::vector<FinderCandidate>& candidates, PointF at, float radius, float module,
                   FinderCandidate& found);

}  // namespace lectavo::photo
