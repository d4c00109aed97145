// What the programs say about themselves: the caption and its web address.
#pragma once

#include <QString>

namespace apps {

// The project's web address, shown at the end of every window caption.
inline constexpr char kProjectWebAddress[] = "https://qr-werkbank.example.org";

// "二维码生成器 - " followed by the web address.
QString GeneratorCaption();

}  // namespace apps
