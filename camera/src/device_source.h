// A real camera through Qt Multimedia: the capture session delivers frames
// to a video sink, and the newest one is kept.
#pragma once

#include "frame_source.h"

#include <QCamera>
#include <QMediaCaptureSession>
#include <QVideoFrame>
#include <QVideoSink>

namespace vistrel {

class DeviceSource final : public FrameSource {
public:
    explicit DeviceSource(const QCameraDevice& device);
    ~DeviceSource() override;
    DeviceSource(const DeviceSource&) = delete;
    DeviceSource& operator=(const DeviceSource&) = delete;

    QImage CurrentFrame() const override;
    quint64 FrameSerial() const override { return serial_; }

private:
    QCamera camera_;
    QVideoSink sink_;
    QMediaCaptureSession session_;
    QVideoFrame frame_;
    quint64 serial_ = 0;
};

}  // namespace vistrel
