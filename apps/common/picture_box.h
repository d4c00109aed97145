// A picture box: shows a picture given as the bytes of a picture file,
// centred on a white background, or scaled to fill the box; or a message in
// place of a picture.
#pragma once

#include <QByteArray>
#include <QLabel>
#include <string>

namespace apps {

class PictureBox : public QLabel {
public:
    explicit PictureBox(QWidget* parent, bool scale_to_fill = false);

    // Bytes that are not a picture (or no bytes) leave the box empty.
    void SetPictureBytes(const QByteArray& bytes);
    // Reads the file whole and shows its bytes.
    void ShowFile(const std::string& path);
    bool HasPicture() const;
    // Shows a line of text in place of the picture.
    void ShowMessage(const QString& text);
};

}  // namespace apps
