// The camera recogniser's window: list the video sources, preview one, and
// grab and decode a frame every 100 ms until one decodes.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <string>

#include "picture_box.h"

namespace qrcam {

class CameraWindow : public QWidget {
public:
    static constexpr int kGrabIntervalMilliseconds = 100;

    explicit CameraWindow(QWidget* parent = nullptr);
    // Releases the chosen source: the window is about to be destroyed.
    ~CameraWindow() override;
    CameraWindow(const CameraWindow&) = delete;
    CameraWindow& operator=(const CameraWindow&) = delete;

    // The frame file: program folder + "/temp.bmp".
    static std::string FrameFile();

private:
    void CreateControls();
    void ListSources();
    void StartPreview();
    void StartGrabLoop();
    void GrabAndDecode();
    void* PreviewWindow() const;

    QTimer* timer1_ = nullptr;              // 时钟1
    QLabel* label1_ = nullptr;              // 标签1, the preview surface
    QPushButton* button2_ = nullptr;        // 按钮2 "开始预览"
    apps::PictureBox* picture1_ = nullptr;  // 图片框1
    QPlainTextEdit* edit1_ = nullptr;       // 编辑框1
    QGroupBox* group2_ = nullptr;           // 分组框2 "识别文本"
    QPushButton* button1_ = nullptr;        // 按钮1 "解码"
    QPushButton* search_ = nullptr;         // 搜索按钮 "搜索"
    QLabel* label2_ = nullptr;              // 标签2 "视频来源："
    QComboBox* sources_ = nullptr;          // 组合框
    QGroupBox* group1_ = nullptr;           // 分组框1 "参数"
};

}  // namespace qrcam
