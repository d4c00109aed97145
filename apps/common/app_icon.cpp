#include "app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace apps {
namespace {

// Draws a finder pattern (7 x 7 modules) with its top-left at (x, y).
void DrawFinder(QPainter& p, double x, double y, double m, const QColor& dark) {
    p.fillRect(QRectF(x, y, 7 * m, 7 * m), dark);
    p.fillRect(QRectF(x + m, y + m, 5 * m, 5 * m), Qt::white);
    p.fillRect(QRectF(x + 2 * m, y + 2 * m, 3 * m, 3 * m), dark);
}

}  // namespace

QImage AppIconImage() {
    QImage image(kIconWidth, kIconHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(4, 2, kIconWidth - 8, kIconHeight - 4), 36, 36);
    QLinearGradient gradient(0, 0, 0, kIconHeight);
    gradient.setColorAt(0, QColor(0x2f, 0x80, 0xc8));
    gradient.setColorAt(1, QColor(0x1b, 0x4f, 0x8a));
    p.fillPath(tile, gradient);

    // A 21 x 21 module symbol on a white quiet zone in the middle of the tile.
    const double m = 8.0;
    const double side = 21 * m;
    const double x0 = (kIconWidth - side) / 2;
    const double y0 = (kIconHeight - side) / 2;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRectF(x0 - 2 * m, y0 - 2 * m, side + 4 * m, side + 4 * m), Qt::white);
    const QColor dark(0x10, 0x1c, 0x2c);
    DrawFinder(p, x0, y0, m, dark);
    DrawFinder(p, x0 + 14 * m, y0, m, dark);
    DrawFinder(p, x0, y0 + 14 * m, m, dark);
    // A fixed scatter of data modules (a simple generator, not a real symbol).
    unsigned state = 0x2545F491u;
    for (int r = 0; r < 21; ++r) {
        for (int c = 0; c < 21; ++c) {
            const bool in_finder = (r < 8 && c < 8) || (r < 8 && c > 12) || (r > 12 && c < 8);
            state = state * 1103515245u + 12345u;
            if (!in_finder && ((state >> 16) & 1u)) {
                p.fillRect(QRectF(x0 + c * m, y0 + r * m, m, m), dark);
            }
        }
    }
    // An orange accent module in the lower right, where the alignment would be.
    p.fillRect(QRectF(x0 + 16 * m, y0 + 16 * m, 3 * m, 3 * m), QColor(0xf0, 0x8c, 0x1e));
    return image;
}

QIcon AppIcon() { return QIcon(QPixmap::fromImage(AppIconImage())); }

}  // namespace apps
