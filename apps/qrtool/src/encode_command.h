#pragma once

namespace qrtool {

// "qrtool encode [options] TEXT|-": returns the process exit status.
int RunEncode(int argc, char** argv);

}  // namespace qrtool
