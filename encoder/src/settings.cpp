#include "settings.h"

namespace mosaire {

namespace {
EncoderSettings gSettings{};  // zero at load, as callers expect
WorkingValues gWorking{};
}  // namespace

EncoderSettings& Settings() { return gSettings; }
WorkingValues& Working() { return gWorking; }

}  // namespace mosaire
