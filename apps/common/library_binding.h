// The libraries the programs bind by name, and how a failed binding is told
// to the user.
#pragma once

#include <QString>

#include "binding/library_function.h"

namespace apps {

// As the programs name them; a name without an extension gets ".dll".
inline constexpr char kEncoderLibrary[] = "Mosaire.dll";
inline constexpr char kDecoderLibrary[] = "Lectavo";

// "无法加载 Mosaire.dll：<reason>" or "Mosaire.dll 中找不到函数 QRSetMessage：<reason>".
QString BindFailureMessage(const platform::BindError& error);

}  // namespace apps
