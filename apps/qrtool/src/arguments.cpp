#include "arguments.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace qrtool {

Arguments::Arguments(int argc, char** argv, int first) {
    for (int i = first; i < argc; ++i) items_.emplace_back(argv[i]);
}

std::optional<std::string> Arguments::Next() {
    if (position_ >= items_.size()) return std::nullopt;
    return items_[position_++];
}

std::string Arguments::Value(const std::string& option, const std::string& inlineValue) {
    if (!inlineValue.empty()) return inlineValue;
    if (position_ >= items_.size()) throw UsageError{"option " + option + " needs a value"};
    return items_[position_++];
}

void SplitOption(const std::string& argument, std::string& name, std::string& value) {
    const size_t eq = argument.find('=');
    if (argument.rfind("--", 0) == 0 && eq != std::string::npos) {
        name = argument.substr(0, eq);
        value = argument.substr(eq + 1);
    } else {
        name = argument;
        value.clear();
    }
}

int ParseInt(const std::string& option, const std::string& text, int low, int high) {
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || v < low || v > high) {
        std::ostringstream m;
        m << "option " << option << " expects a whole number from " << low << " to " << high << ", not '" << text
          << "'";
        throw UsageError{m.str()};
    }
    return static_cast<int>(v);
}

double ParseDouble(const std::string& option, const std::string& text, double low, double high) {
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !(v >= low && v <= high)) {
        std::ostringstream m;
        m << "option " << option << " expects a number from " << low << " to " << high << ", not '" << text << "'";
        throw UsageError{m.str()};
    }
    return v;
}

void ParseColour(const std::string& option, const std::string& text, int rgb[3]) {
    std::string hex = text.size() == 7 && text[0] == '#' ? text.substr(1) : text;
    char* end = nullptr;
    const unsigned long v = std::strtoul(hex.c_str(), &end, 16);
    if (hex.size() != 6 || *end != '\0')
        throw UsageError{"option " + option + " expects a colour as RRGGBB, not '" + text + "'"};
    rgb[0] = static_cast<int>((v >> 16) & 0xFF);
    rgb[1] = static_cast<int>((v >> 8) & 0xFF);
    rgb[2] = static_cast<int>(v & 0xFF);
}

void ParseRectangle(const std::string& option, const std::string& text, int rect[4]) {
    std::istringstream in(text);
    std::string part;
    int i = 0;
    while (std::getline(in, part, ',')) {
        if (i == 4) break;
        rect[i] = ParseInt(option, part, -1000000, 1000000);
        ++i;
    }
    if (i != 4 || in.rdbuf()->in_avail() > 0)
        throw UsageError{"option " + option + " expects x1,y1,x2,y2, not '" + text + "'"};
}

}  // namespace qrtool
