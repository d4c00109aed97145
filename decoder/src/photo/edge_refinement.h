// Sub-module corrections of a module map for a sheet that is bent, creased
// or printed on cloth, where no single homography (nor one per alignment
// cell) puts every module centre on its module.
#pragma once

#include "photo/grey_view.h"
#include "photo/grid_sampler.h"

namespace lectavo::photo {

// Measures, on a lattice of at most 12 x 12 module positions, how far the
// colour changes between neighbouring modules lie from where `map` puts the
// module borders, and stores those offsets (each within half a module) as
// the map's corrections. False when too few positions could be measured to
// be worth a new sampling.
bool RefineByModuleEdges(const BinaryPicture& plane, int side, ModuleMap& map);

}  // namespace lectavo::photo
