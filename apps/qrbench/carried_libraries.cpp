#include "carried_libraries.h"

#include "files/whole_file.h"

// Defined by the generated assembler file that embeds the library files.
extern "C" {
extern const unsigned char qrbench_carried_mosaire[];
extern const unsigned long long qrbench_carried_mosaire_size;
extern const unsigned char qrbench_carried_lectavo[];
extern const unsigned long long qrbench_carried_lectavo_size;
}

namespace apps {

std::vector<CarriedFile> CarriedLibraries() {
    return {{"/Mosaire.dll", qrbench_carried_mosaire, static_cast<size_t>(qrbench_carried_mosaire_size)},
            {"/Lectavo.dll", qrbench_carried_lectavo, static_cast<size_t>(qrbench_carried_lectavo_size)}};
}

void WriteCarriedLibraries(const std::string& folder) {
    if (folder.empty()) return;  // no private folder to write them to
    for (const CarriedFile& file : CarriedLibraries()) {
        if (file.size > 0) platform::WriteWholeFile(folder + file.name, file.data, file.size);
    }
}

}  // namespace apps
