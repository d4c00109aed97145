// qrbench: make QR symbols from typed text, lay a logo over them, save
// them, and read symbols back from picture files.
//
//   qrbench                         the window
//   qrbench --headless OUT.bmp      the sample symbol to OUT.bmp, no window
//           [--serve]               then one more symbol per path read from stdin
//   qrbench --screenshot OUT.png [--text TEXT] [--logo FILE] [--recognise FILE]
//                                   generate (add the logo, recognise the
//                                   picture file), capture, quit
#include <QApplication>

#include "headless.h"
#include "main_window.h"
#include "scripted_run.h"

namespace {

// Finds "--name value" in argv without an application object.
QString OptionValue(int argc, char** argv, const char* name) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], name) == 0) return QString::fromLocal8Bit(argv[i + 1]);
    }
    return {};
}

bool HasFlag(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], name) == 0) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const QString headless_out = OptionValue(argc, argv, "--headless");
    if (!headless_out.isEmpty()) return apps::RunHeadless(headless_out, HasFlag(argc, argv, "--serve"));

    QApplication app(argc, argv);
    apps::MainWindow window;
    window.show();
    const QString screenshot = OptionValue(argc, argv, "--screenshot");
    if (!screenshot.isEmpty()) {
        apps::StartScriptedRun(&window, {OptionValue(argc, argv, "--text"), OptionValue(argc, argv, "--logo"),
                                         OptionValue(argc, argv, "--recognise"), screenshot});
    }
    return app.exec();
}
