// Records what the decoder returns on a fixed corpus of pictures, one line a
// picture, through the decoder's exported C functions only. Every picture is
// made from fixed seeds, so two builds of the same decoder print the same
// lines; tools/compare_corpus prints the lines in which two builds differ.
//
// usage: decode_corpus [--photos DIR] [--only SECTION] > corpus.txt
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "corpus_sections.h"
#include "lectavo.h"
#include "recorder.h"

namespace fs = std::filesystem;

namespace {

// The photo collection: in the repository if it has one, else in the shared
// folder beside it (for a worktree, one level further up).
fs::path FindPhotos(const fs::path& root) {
    for (const char* relative :
         {"testdata/qr-photos", "../shared/testdata/qr-photos", "../../shared/testdata/qr-photos"}) {
        const fs::path candidate = root / relative;
        if (fs::is_directory(candidate)) return candidate;
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    fs::path photos;
    std::string only;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--photos") == 0) photos = argv[i + 1];
        if (std::strcmp(argv[i], "--only") == 0) only = argv[i + 1];
    }
    if (photos.empty()) photos = FindPhotos(CORPUS_SOURCE_DIR);

    const fs::path temp = fs::temp_directory_path() / ("decode_corpus_" + std::to_string(::getpid()));
    fs::create_directories(temp);
    corpus::Recorder recorder(stdout);
    const corpus::Context context{recorder, temp, photos};
    for (const corpus::Section& section : corpus::Sections()) {
        if (!only.empty() && only != section.name) continue;
        recorder.Note(std::string("section ") + section.name +
                      " (symbol count 0, effect level 3, brightness border 0, minimum module size 1)");
        SetDecodeSymbolCount(0);
        SetDecodeEffectLevel(3);
        SetBrightnessBorder(0);
        SetMinimumModuleSize(1);
        section.run(context);
    }
    recorder.Note("pictures " + std::to_string(recorder.Pictures()));
    std::error_code ignored;
    fs::remove_all(temp, ignored);
    return 0;
}
