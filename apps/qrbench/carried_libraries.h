// The library files qrbench carries inside itself and writes into its
// folder at every start.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace apps {

struct CarriedFile {
    const char* name;  // "/Mosaire.dll", after the program folder
    const unsigned char* data;
    size_t size;
};

// Both library files; a file missing from this build has size 0.
std::vector<CarriedFile> CarriedLibraries();

// Writes each carried file (that this build holds) to `folder` + its name,
// replacing an existing file atomically so a copy of the program that has
// the old file loaded keeps working. The outcome is not reported.
void WriteCarriedLibraries(const std::string& folder);

}  // namespace apps
