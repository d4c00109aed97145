#include "device_source.h"

namespace vistrel {

DeviceSource::DeviceSource(const QCameraDevice& device) : camera_(device) {
    // The sink may report frames from a capture thread; using the sink as the
    // context object queues them to the application thread that owns it.
    QObject::connect(&sink_, &QVideoSink::videoFrameChanged, &sink_, [this](const QVideoFrame& frame) {
        if (frame.isValid()) {
            frame_ = frame;
            ++serial_;
        }
    });
    session_.setCamera(&camera_);
    session_.setVideoSink(&sink_);
    camera_.start();
}

DeviceSource::~DeviceSource() {
    camera_.stop();
    session_.setVideoSink(nullptr);
    session_.setCamera(nullptr);
}

QImage DeviceSource::CurrentFrame() const {
    if (!frame_.isValid()) {
        return {};
    }
    return frame_.toImage();
}

}  // namespace vistrel
