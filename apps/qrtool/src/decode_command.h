#pragma once

namespace qrtool {

// "qrtool decode [options] FILE...": returns the process exit status.
int RunDecode(int argc, char** argv);

}  // namespace qrtool
