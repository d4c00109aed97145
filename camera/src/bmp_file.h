// Frames written as uncompressed 24-bit BMP files (bottom-up rows of blue,
// green, red, each row padded to a multiple of four bytes).
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace vistrel {

// The whole file; empty for a null picture or one too large for the
// format's 32-bit sizes.
QByteArray EncodeBmp24(const QImage& image);

// Replaces the file at `path` as a whole (written beside it, then renamed),
// so a reader never sees half a frame. Returns false when nothing was written.
bool WriteBmp24(const QImage& image, const QString& path);

}  // namespace vistrel
