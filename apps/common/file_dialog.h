// The programs' one open/save file dialog, replaceable so tests can answer
// it without a user.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace apps {

struct FileDialogRequest {
  enum class Kind { Open, Save };
  Kind kind = Kind::Open;
  QString file_name;       // proposed file name (save)
  QString filter;          // in the "label|patterns;patterns|label|..." form
  QString default_suffix;  // appended to a saved name without an extension
};

// Shows the dialog; returns the chosen path, or an empty text when the user
// cancelled.
QString ShowFileDialog(QWidget* parent, const FileDialogRequest& request);

// Replaces the dialog for the whole program (an empty function restores the
// real one). The replacement receives each request and returns the answer.
using FileDialogReplacement = std::function<QString(const FileDialogRequest&)>;
void ReplaceFileDialog(FileDialogReplacement replacement);

// "图片文件|*.jpg;*.bmp;*.gif" -> "图片文件 (*.jpg *.bmp *.gif)"; several
// label/pattern pairs become several ";;"-separated Qt filters.
QString ToQtFilter(const QString& filter);

}  // namespace apps
