// A virtual camera that replays the picture files of a folder in name order,
// one picture per frame grab, starting again after the last.
#pragma once

#include "frame_source.h"

#include <QStringList>

namespace vistrel {

class ReplaySource final : public FrameSource {
public:
    explicit ReplaySource(const QString& folder);

    QImage CurrentFrame() const override { return frame_; }
    quint64 FrameSerial() const override { return serial_; }
    void FrameTaken() override;

private:
    void LoadCurrent();

    QStringList files_;  // taken once, when the source starts
    qsizetype position_ = 0;
    QImage frame_;  // null when the folder has no pictures or one is unreadable
    quint64 serial_ = 0;
};

}  // namespace vistrel
