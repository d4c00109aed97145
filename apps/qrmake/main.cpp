// qrmake: make a QR symbol from typed text with the encoder library found
// in the program's folder.
#include <QApplication>
#include <QStyleFactory>

#include "generator_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The toolkit's own themed look, the same on every desktop.
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(style);
    apps::GeneratorWindow window;
    window.show();
    return app.exec();
}
