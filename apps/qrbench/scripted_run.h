// A scripted run of the window for looking at it: optional content, a
// generate, an optional logo, an optional recognise of a picture file, then
// a screenshot of the window and exit.
#pragma once

#include <QString>

namespace apps {

class MainWindow;

struct ScriptedRun {
    QString text;        // typed into the content box before generate
    QString logo;        // picture file chosen as the logo after generate
    QString recognise;   // picture file recognised last
    QString screenshot;  // PNG file the window is captured into
};

// Schedules the steps once the window shows; the application quits after
// the screenshot is written.
void StartScriptedRun(MainWindow* window, const ScriptedRun& run);

}  // namespace apps
