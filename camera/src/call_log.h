// An optional record of the calls the library receives: when the
// environment variable VISTREL_CALL_LOG names a file, every exported call
// appends one line to it ("CloseCamera -1"), so a test can check what a
// program asked of the camera without a camera.
#pragma once

#include <QString>

namespace vistrel {

inline constexpr char kCallLogVariable[] = "VISTREL_CALL_LOG";

void LogCall(const char* function, const QString& arguments = {});

}  // namespace vistrel
