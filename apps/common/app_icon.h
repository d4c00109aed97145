// The programs' window icon, drawn at run time.
#pragma once

#include <QIcon>
#include <QImage>

namespace apps {

inline constexpr int kIconWidth = 256;
inline constexpr int kIconHeight = 250;

// A 256 x 250, 32-bit picture: a stylised QR symbol on a rounded tile.
QImage AppIconImage();
QIcon AppIcon();

}  // namespace apps
