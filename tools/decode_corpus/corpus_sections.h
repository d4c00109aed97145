// The parts of the decoder corpus. Each section sets the options it needs
// (after the defaults: symbol count 0, effect level 3, brightness border 0,
// minimum module size 1) and notes them in the output.
#pragma once

#include <filesystem>
#include <sstream>
#include <vector>

#include <string>

#include "pictures.h"
#include "recorder.h"

namespace corpus {

struct Context {
    Recorder& recorder;
    std::filesystem::path temp;    // scratch folder for picture files
    std::filesystem::path photos;  // the photo collection, empty when absent
};

struct Section {
    const char* name;
    void (*run)(const Context&);
};

const std::vector<Section>& Sections();

// Its arguments as one text.
template <typename... Parts>
std::string Join(const Parts&... parts) {
    std::ostringstream out;
    (out << ... << parts);
    return out.str();
}

// Decodes the file through DecodePictureFile and records the result.
void RecordFile(const Context& c, const std::string& name, const std::filesystem::path& file);

// Decodes through DecodeGrayScaleArray / DecodeBinaryArray (the plane of
// grey < 128) and records the result under `name`.
void RecordGrey(const Context& c, const std::string& name, const Grey& picture);
void RecordBinary(const Context& c, const std::string& name, const Grey& picture);

void EndToEndSection(const Context& c);
void VersionSweepSection(const Context& c);
void VariantSection(const Context& c);
void RectangleSection(const Context& c);
void PhotoSection(const Context& c);
void HostileSection(const Context& c);

}  // namespace corpus
