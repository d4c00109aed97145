// The module width the generator windows ask the encoder for.
#pragma once

namespace apps {

// The windows' usual module width: 0.2 cm, which the encoder draws as 8
// pixels at the screen's 96 dots per inch.
inline constexpr double kUsualModuleWidthCm = 0.2;

// The module width in centimetres for a symbol of `side` modules in a square
// picture of `picture_pixels`: the usual width while the symbol fits, else
// the width of the largest whole number of pixels with which the symbol and
// its quiet zone of 4 modules on each side fit. A side of 0 (a message the
// encoder cannot take) keeps the usual width.
double FittingModuleWidthCm(int side, int picture_pixels);

}  // namespace apps
