#pragma once

#include <cstdio>

namespace qrtool {

struct HelpRequested {};

void PrintUsage(std::FILE* out);

}  // namespace qrtool
