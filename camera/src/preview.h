// Shows a running source's frames in a widget: a QLabel gets the picture as
// its pixmap; any other widget gets a child label that fills it. A timer on
// the application's event loop redraws when the frame or the size changed.
#pragma once

#include "frame_source.h"

#include <QLabel>
#include <QPointer>
#include <QSize>
#include <QTimer>

namespace vistrel {

class Preview final {
public:
    Preview(QWidget* target, const FrameSource& source);
    ~Preview();
    Preview(const Preview&) = delete;
    Preview& operator=(const Preview&) = delete;

    // Redraws now if there is something new to show.
    void Refresh();

private:
    static constexpr int kRefreshMilliseconds = 40;

    const FrameSource& source_;
    QPointer<QWidget> target_;
    QPointer<QLabel> label_;
    bool owns_label_ = false;
    QTimer timer_;
    quint64 shown_serial_ = 0;
    QSize shown_size_;
};

}  // namespace vistrel
