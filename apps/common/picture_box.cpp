#include "picture_box.h"

#include <QPixmap>

#include "files/whole_file.h"

namespace apps {

PictureBox::PictureBox(QWidget* parent, bool scale_to_fill) : QLabel(parent) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setAlignment(Qt::AlignCenter);
    setScaledContents(scale_to_fill);
}

void PictureBox::SetPictureBytes(const QByteArray& bytes) {
    QPixmap picture;
    if (!bytes.isEmpty() && picture.loadFromData(bytes)) {
        setPixmap(picture);
    } else {
        clear();
    }
}

void PictureBox::ShowFile(const std::string& path) {
    const auto bytes = platform::ReadWholeFile(path);
    SetPictureBytes(
        bytes ? QByteArray(reinterpret_cast<const char*>(bytes->data()), static_cast<qsizetype>(bytes->size()))
              : QByteArray());
}

bool PictureBox::HasPicture() const { return !pixmap().isNull(); }

void PictureBox::ShowMessage(const QString& text) {
    clear();
    setWordWrap(true);
    setText(text);
}

}  // namespace apps
