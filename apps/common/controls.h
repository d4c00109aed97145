// Small helpers for laying out the programs' controls by name and position.
#pragma once

#include <QString>
#include <QWidget>

class QGroupBox;
class QPlainTextEdit;

namespace apps {

// Names the control and places it at (x, y, width, height) in its parent.
template <typename Widget>
Widget* Place(Widget* widget, const char* name, int x, int y, int width, int height) {
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

QGroupBox* MakeFrame(QWidget* parent, const char* name, const QString& caption, int x, int y, int width, int height);

// The multi-line content box: white, "宋体" with a 20-pixel character height.
void StyleContentBox(QPlainTextEdit* box);

// Gives the window its caption, icon, size and position.
void SetUpGeneratorWindow(QWidget* window, int width, int height);

}  // namespace apps
