// The photo reader's input is laid out as the photo stage target's: the
// same seeds.
#include "seed_fuzz_photo_stage.cpp"
