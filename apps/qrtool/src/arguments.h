// A small command-line reader: options with values, flags and positional
// arguments, with readable error messages.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace qrtool {

class Arguments {
public:
    Arguments(int argc, char** argv, int first);

    // Next argument, or nullopt at the end.
    std::optional<std::string> Next();
    // The value of an option: the text after '=' in "--name=value", else the
    // following argument. Throws UsageError when it is missing.
    std::string Value(const std::string& option, const std::string& inlineValue);

private:
    std::vector<std::string> items_;
    size_t position_ = 0;
};

struct UsageError {
    std::string message;
};

// Splits "--name=value" into name and value; value is empty without '='.
void SplitOption(const std::string& argument, std::string& name, std::string& value);

int ParseInt(const std::string& option, const std::string& text, int low, int high);
double ParseDouble(const std::string& option, const std::string& text, double low, double high);
// "RRGGBB" or "#RRGGBB" into three components.
void ParseColour(const std::string& option, const std::string& text, int rgb[3]);
// "x1,y1,x2,y2".
void ParseRectangle(const std::string& option, const std::string& text, int rect[4]);

// Runs `parse`; on --help prints the usage and returns 0, on a usage error
// prints it for `command` and returns 2; otherwise stores the options and
// returns -1 (go on).
template <typename Options, typename Parse>
int ParseOrExit(const char* command, Options& options, Parse parse);

}  // namespace qrtool

#include "terminal_text.h"
#include "usage.h"

template <typename Options, typename Parse>
int qrtool::ParseOrExit(const char* command, Options& options, Parse parse) {
    try {
        options = parse();
    } catch (const HelpRequested&) {
        PrintUsage(stdout);
        return 0;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "qrtool %s: %s\n", command, EscapeForTerminal(e.message).c_str());
        return 2;
    }
    return -1;
}
