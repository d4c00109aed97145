// The photo reader's stages work on the shared picture views and points of
// core/.
#pragma once

#include "core/binary_plane.h"
#include "core/grey_view.h"
#include "core/point.h"
