// qrmake's window: the generator alone.
#pragma once

#include <QWidget>

class QComboBox;
class QGroupBox;
class QPushButton;

namespace apps {

class LimitedTextEdit;
class PictureBox;

class GeneratorWindow : public QWidget {
public:
    GeneratorWindow();

    // The click handler of 按钮1.
    void Generate();

private:
    QGroupBox* level_frame_ = nullptr;
    QComboBox* level_list_ = nullptr;
    QComboBox* version_list_ = nullptr;
    QGroupBox* version_frame_ = nullptr;
    PictureBox* picture_box_ = nullptr;
    LimitedTextEdit* content_ = nullptr;
    QPushButton* generate_button_ = nullptr;
};

}  // namespace apps
