// The video sources the library offers: the machine's cameras, then the
// replay source when VISTREL_REPLAY_DIR names a folder.
#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

namespace vistrel {

inline constexpr char kReplayDirVariable[] = "VISTREL_REPLAY_DIR";

struct SourceInfo {
    enum class Kind { Device, Replay };
    Kind kind = Kind::Device;
    QString name;          // never empty, never holds a line break
    QByteArray device_id;  // Kind::Device: QCameraDevice::id()
    QString folder;        // Kind::Replay: the folder replayed
};

// Enumerates the sources now. Cameras are only asked for when a Qt
// application object exists (Qt Multimedia needs one).
std::vector<SourceInfo> ListSources();

// The names joined by "\r\n", as UTF-8.
std::string JoinSourceNames(const std::vector<SourceInfo>& sources);

}  // namespace vistrel
