#include "controls.h"

#include <QFont>
#include <QGroupBox>
#include <QPlainTextEdit>

#include "app_icon.h"
#include "app_identity.h"

namespace apps {

QGroupBox* MakeFrame(QWidget* parent, const char* name, const QString& caption, int x, int y, int width, int height) {
    return Place(new QGroupBox(caption, parent), name, x, y, width, height);
}

void StyleContentBox(QPlainTextEdit* box) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(20);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::Serif);
    box->setFont(font);
    QPalette p = box->palette();
    p.setColor(QPalette::Base, Qt::white);
    box->setPalette(p);
}

void SetUpGeneratorWindow(QWidget* window, int width, int height) {
    // The controls' text at 12 pixels, so the captions fit their boxes.
    QFont font = window->font();
    font.setPixelSize(12);
    window->setFont(font);
    window->setWindowTitle(GeneratorCaption());
    window->setWindowIcon(AppIcon());
    window->setFixedSize(width, height);
    window->move(50, 50);
}

}  // namespace apps
