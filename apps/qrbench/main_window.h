// qrbench's window: generate, recognise, logo and save.
#pragma once

#include <QWidget>

class QComboBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace apps {

class PictureBox;

class MainWindow : public QWidget {
public:
    MainWindow();

    // The click handlers, public so a test or a scripted run can press them.
    void Generate();
    void Recognise();
    void ChooseLogo();
    void RemoveLogo();
    void Save();

private:
    void CreateControls();
    void StartUp();

    QLabel* label1_ = nullptr;
    PictureBox* logo_box_ = nullptr;
    QPushButton* generate_button_ = nullptr;
    QPushButton* recognise_button_ = nullptr;
    PictureBox* picture_box_ = nullptr;
    QGroupBox* content_frame_ = nullptr;
    QPlainTextEdit* content_ = nullptr;
    QGroupBox* version_frame_ = nullptr;
    QComboBox* version_list_ = nullptr;
    QGroupBox* level_frame_ = nullptr;
    QComboBox* level_list_ = nullptr;
    QGroupBox* logo_frame_ = nullptr;
    QPushButton* remove_logo_button_ = nullptr;
    QLineEdit* logo_path_ = nullptr;
    QPushButton* choose_logo_button_ = nullptr;
    QFileDialog* file_dialog_ = nullptr;
    QPushButton* save_button_ = nullptr;
};

}  // namespace apps
