// qrcam: reads QR symbols from a camera.
#include <QApplication>

#include "camera_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    qrcam::CameraWindow window;
    window.show();
    return app.exec();
}
