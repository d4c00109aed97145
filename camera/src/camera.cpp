#include "camera.h"

#include "bmp_file.h"
#include "device_source.h"
#include "replay_source.h"

#include <QApplication>
#include <QFile>
#include <QMediaDevices>
#include <QThread>

namespace vistrel {
namespace {

bool OnApplicationThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

// The window handle is only trusted when it is one of the application's
// live widgets; anything else (a stale or foreign pointer) is ignored
// without being dereferenced.
QWidget* LiveWidget(void* window) {
    if (window == nullptr || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return nullptr;
    }
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget* widget : widgets) {
        if (static_cast<void*>(widget) == window) {
            return widget;
        }
    }
    return nullptr;
}

void StopOnApplicationExit() { Camera::Instance().Stop(); }

}  // namespace

Camera& Camera::Instance() {
    static Camera camera;
    return camera;
}

const char* Camera::SourceList() {
    sources_ = ListSources();
    listed_ = true;
    return list_texts_.insert(JoinSourceNames(sources_)).first->c_str();
}

void Camera::Choose(int index) { chosen_ = index; }

void Camera::ListIfNeeded() {
    if (!listed_) {
        sources_ = ListSources();
        listed_ = true;
    }
}

std::unique_ptr<FrameSource> Camera::Open(const SourceInfo& source) const {
    if (source.kind == SourceInfo::Kind::Replay) {
        return std::make_unique<ReplaySource>(source.folder);
    }
    if (!OnApplicationThread()) {
        return nullptr;
    }
    const QList<QCameraDevice> devices = QMediaDevices::videoInputs();
    for (const QCameraDevice& device : devices) {
        if (device.id() == source.device_id) {
            return std::make_unique<DeviceSource>(device);
        }
    }
    return nullptr;  // unplugged since it was listed
}

void Camera::Start(void* window) {
    Stop();
    ListIfNeeded();
    if (chosen_ < 0 || static_cast<std::size_t>(chosen_) >= sources_.size()) {
        return;
    }
    source_ = Open(sources_[static_cast<std::size_t>(chosen_)]);
    if (!source_) {
        return;
    }
    running_ = chosen_;
    if (OnApplicationThread()) {
        qRemovePostRoutine(StopOnApplicationExit);
        qAddPostRoutine(StopOnApplicationExit);
        if (QWidget* target = LiveWidget(window)) {
            preview_ = std::make_unique<Preview>(target, *source_);
        }
    }
}

void Camera::SaveFrame(const char* path) {
    if (!source_) {
        return;
    }
    if (path != nullptr) {
        WriteBmp24(source_->CurrentFrame(), QFile::decodeName(path));
    }
    source_->FrameTaken();
    if (preview_) {
        preview_->Refresh();
    }
}

void Camera::Close(int index) {
    if (source_ && index == running_) {
        Stop();
    }
}

void Camera::Stop() {
    preview_.reset();
    source_.reset();
    running_ = -1;
}

}  // namespace vistrel
