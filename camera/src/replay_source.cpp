#include "replay_source.h"

#include <QDir>
#include <QImageReader>

namespace vistrel {
namespace {

QStringList PictureFiles(const QString& folder) {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    }
    QStringList files;
    const QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(patterns, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        files << entry.absoluteFilePath();
    }
    return files;
}

}  // namespace

ReplaySource::ReplaySource(const QString& folder) : files_(PictureFiles(folder)) { LoadCurrent(); }

void ReplaySource::FrameTaken() {
    if (files_.isEmpty()) {
        return;
    }
    position_ = (position_ + 1) % files_.size();
    LoadCurrent();
}

void ReplaySource::LoadCurrent() {
    frame_ = QImage();
    if (!files_.isEmpty()) {
        QImageReader reader(files_.at(position_));
        reader.setAutoTransform(true);
        frame_ = reader.read();
    }
    ++serial_;
}

}  // namespace vistrel
