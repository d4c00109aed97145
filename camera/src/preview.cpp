#include "preview.h"

#include <QPixmap>

namespace vistrel {

Preview::Preview(QWidget* target, const FrameSource& source) : source_(source), target_(target) {
    label_ = qobject_cast<QLabel*>(target);
    if (label_ == nullptr) {
        label_ = new QLabel(target);
        label_->setAlignment(Qt::AlignCenter);
        label_->setGeometry(target->rect());
        label_->show();
        owns_label_ = true;
    }
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Refresh(); });
    timer_.start(kRefreshMilliseconds);
    shown_serial_ = source_.FrameSerial() - 1;  // draw the first frame at once
    Refresh();
}

Preview::~Preview() {
    timer_.stop();
    if (owns_label_) {
        delete label_.data();  // null when the target, and with it the label, is gone
    } else if (label_ != nullptr) {
        label_->setPixmap(QPixmap());
    }
}

void Preview::Refresh() {
    if (label_ == nullptr) {
        return;
    }
    if (owns_label_ && target_ != nullptr && label_->size() != target_->size()) {
        label_->setGeometry(target_->rect());
    }
    const QSize size = label_->contentsRect().size();
    if (source_.FrameSerial() == shown_serial_ && size == shown_size_) {
        return;
    }
    shown_serial_ = source_.FrameSerial();
    shown_size_ = size;
    const QImage frame = source_.CurrentFrame();
    if (frame.isNull() || size.isEmpty()) {
        label_->setPixmap(QPixmap());
        return;
    }
    label_->setPixmap(QPixmap::fromImage(frame.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

}  // namespace vistrel
