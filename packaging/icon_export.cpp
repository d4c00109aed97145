// Writes the programs' icon as a square PNG for the desktop icon theme.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "app_icon.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    QGuiApplication app(argc, argv);
    const QImage icon = apps::AppIconImage();
    // Icon themes expect square pictures: centre the 256 x 250 icon.
    QImage square(256, 256, QImage::Format_ARGB32);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage((256 - icon.width()) / 2, (256 - icon.height()) / 2, icon);
    painter.end();
    return square.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
