#include "scripted_run.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "file_dialog.h"
#include "main_window.h"

namespace apps {
namespace {

// The window as it is on screen (frame excluded); the widget's own
// rendering where the platform cannot read the screen.
QPixmap CaptureWindow(QWidget* window) {
    QScreen* screen = window->screen();
    if (screen != nullptr && QGuiApplication::platformName() == QLatin1String("xcb")) {
        QPixmap shot = screen->grabWindow(window->winId());
        if (!shot.isNull()) return shot;
    }
    return window->grab();
}

}  // namespace

void StartScriptedRun(MainWindow* window, const ScriptedRun& run) {
    QTimer::singleShot(300, window, [window, run] {
        if (!run.text.isEmpty()) {
            window->findChild<QPlainTextEdit*>(QStringLiteral("编辑框1"))->setPlainText(run.text);
        }
        window->Generate();
        if (!run.logo.isEmpty()) {
            ReplaceFileDialog([logo = run.logo](const FileDialogRequest&) { return logo; });
            window->ChooseLogo();
            ReplaceFileDialog({});
        }
        if (!run.recognise.isEmpty()) {
            ReplaceFileDialog([file = run.recognise](const FileDialogRequest&) { return file; });
            window->Recognise();
            ReplaceFileDialog({});
        }
        QTimer::singleShot(500, window, [window, run] {
            const bool saved = CaptureWindow(window).save(run.screenshot, "PNG");
            QApplication::exit(saved ? 0 : 1);
        });
    });
}

}  // namespace apps
