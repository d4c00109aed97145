// qrbench without a window: the start-up and the generate job for a sample
// text, the symbol written to a file of the caller's choice.
#pragma once

#include <QString>

namespace apps {

// Writes the symbol for the sample text to `out_path` and prints where.
// With `serve`, then reads one output path per line from standard input and
// generates again into each, until the input ends. Returns the exit code.
int RunHeadless(const QString& out_path, bool serve);

}  // namespace apps
