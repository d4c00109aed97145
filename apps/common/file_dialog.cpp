#include "file_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QStringList>

namespace apps {
namespace {

FileDialogReplacement& Replacement() {
    static FileDialogReplacement replacement;
    return replacement;
}

}  // namespace

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString ToQtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return entries.join(QStringLiteral(";;"));
}

QString ShowFileDialog(QFileDialog* dialog, const FileDialogRequest& request) {
    if (Replacement()) return Replacement()(request);
    dialog->setFileMode(request.kind == FileDialogRequest::Kind::Open ? QFileDialog::ExistingFile
                                                                      : QFileDialog::AnyFile);
    dialog->setAcceptMode(request.kind == FileDialogRequest::Kind::Open ? QFileDialog::AcceptOpen
                                                                        : QFileDialog::AcceptSave);
    dialog->setNameFilter(ToQtFilter(request.filter));
    dialog->setDefaultSuffix(request.default_suffix);
    dialog->selectFile(request.file_name);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
    return dialog->selectedFiles().constFirst();
}

void ReplaceFileDialog(FileDialogReplacement replacement) { Replacement() = std::move(replacement); }

}  // namespace apps
