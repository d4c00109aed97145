// One finder triple to sampled grids: version estimate, perspective from the
// finders and a fourth point, version information, the alignment pattern
// grid on large versions, and both orientations (a mirrored symbol reads as
// the transposed grid).
#pragma once

#include "photo/finder_detector.h"
#include "photo/grid_sampler.h"
#include "photo/photo_stage.h"

namespace lectavo::photo {

// Symbol-to-picture maps for a symbol of `version` whose finder centres are
// at tl, tr and bl, best first (at most two): fourth point from the
// bottom-right alignment pattern (version 2 and up), else from the symbol's
// outer edges, with the affine map as the alternative; on version 7 and up
// every alignment pattern found refines its own region. Returns the count.
int MapSymbol(const BinaryPicture& plane, const PointF& tl, const PointF& tr, const PointF& bl, int version,
              ModuleMap maps[2]);

// A finder made up where it completes the right angle of two seen ones (the
// third lost under glare, a shadow edge or damage) lies off the real one
// wherever the symbol is seen at a slant. The timing patterns run from the
// top-left finder to the two others and read best where the made-up one sits
// on the real one: finders[made] (of tl, tr, bl) is moved, within two
// modules of `module` pixels in half-module steps, to where they read best
// for the versions the finder distances suggest; it stays where it was when
// no position reads clearly better than chance.
void SettleMadeFinder(const BinaryPicture& plane, PointF* finders[3], int made, float module);

// The module sizes of a triple along its top leg (tl to tr) and its left leg
// (tl to bl), each the mean of what both ends measure along the leg.
struct LegModules {
    float top = 0, left = 0;
};
LegModules MeasureLegs(const BinaryPicture& plane, const FinderCandidate& tl, const FinderCandidate& tr,
                       const FinderCandidate& bl);

// Tries the grids of the triple with finder centres tl, tr and bl and leg
// modules `legs` until `trial` accepts one; each map sampled spends one unit
// of `budget`. The quads given to `trial` are in this plane's pixels.
bool ReadSymbol(const BinaryPicture& plane, const PointF& tl, const PointF& tr, const PointF& bl, LegModules legs,
                const GridTrial& trial, int& budget);

}  // namespace lectavo::photo
