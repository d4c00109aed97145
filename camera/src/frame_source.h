// A running video source as the preview and the frame writer see it.
#pragma once

#include <QImage>
#include <QtGlobal>

namespace vistrel {

class FrameSource {
public:
    virtual ~FrameSource() = default;

    // The newest frame; a null image until the first frame arrives.
    virtual QImage CurrentFrame() const = 0;

    // Changes whenever the current frame changes, so the preview redraws
    // only when there is something new.
    virtual quint64 FrameSerial() const = 0;

    // Called after each frame grab; a source that replays pictures moves on.
    virtual void FrameTaken() {}
};

}  // namespace vistrel
