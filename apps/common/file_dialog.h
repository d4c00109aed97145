// The programs' one open/save file dialog, replaceable so tests can answer
// it without a user.
#pragma once

#include <QString>
#include <functional>
#include <string>

class QFileDialog;

namespace apps {

struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    QString file_name;       // proposed file name (save)
    QString filter;          // in the "label|patterns;patterns|label|..." form
    QString default_suffix;  // appended to a saved name without an extension
};

// Sets the program's dialog up for the request and shows it; returns the
// chosen path, or an empty text when the user cancelled.
QString ShowFileDialog(QFileDialog* dialog, const FileDialogRequest& request);

// Replaces the dialog for the whole program (an empty function restores the
// real one). The replacement receives each request and returns the answer.
using FileDialogReplacement = std::function<QString(const FileDialogRequest&)>;
void ReplaceFileDialog(FileDialogReplacement replacement);

// A chosen path as the file system spells it.
std::string LocalPath(const QString& path);

// "图片文件|*.jpg;*.bmp;*.gif" -> "图片文件 (*.jpg *.bmp *.gif)"; several
// label/pattern pairs become several ";;"-separated Qt filters.
QString ToQtFilter(const QString& filter);

}  // namespace apps
