#include "source_catalog.h"

#include <QCameraDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QThread>

namespace vistrel {
namespace {

// The caller splits the list at line breaks and drops empty parts, so a
// name must be one non-empty line or the positions would shift.
QString OneLineName(QString name, qsizetype position) {
    name.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    name = name.trimmed();
    if (name.isEmpty()) {
        name = QStringLiteral("Camera %1").arg(position + 1);
    }
    return name;
}

bool OnApplicationThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

}  // namespace

std::vector<SourceInfo> ListSources() {
    std::vector<SourceInfo> sources;
    if (OnApplicationThread()) {
        const QList<QCameraDevice> devices = QMediaDevices::videoInputs();
        for (const QCameraDevice& device : devices) {
            SourceInfo info;
            info.kind = SourceInfo::Kind::Device;
            info.name = OneLineName(device.description(), static_cast<qsizetype>(sources.size()));
            info.device_id = device.id();
            sources.push_back(std::move(info));
        }
    }
    const QString folder = qEnvironmentVariable(kReplayDirVariable);
    if (!folder.isEmpty()) {
        SourceInfo info;
        info.kind = SourceInfo::Kind::Replay;
        info.name = OneLineName(QStringLiteral("Replay: ") + folder, static_cast<qsizetype>(sources.size()));
        info.folder = folder;
        sources.push_back(std::move(info));
    }
    return sources;
}

std::string JoinSourceNames(const std::vector<SourceInfo>& sources) {
    std::string text;
    for (const SourceInfo& source : sources) {
        if (!text.empty()) {
            text += "\r\n";
        }
        text += source.name.toStdString();
    }
    return text;
}

}  // namespace vistrel
