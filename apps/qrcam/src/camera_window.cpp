#include "camera_window.h"

#include <QFile>

#include <cerrno>

#include "app_icon.h"
#include "app_identity.h"
#include "binding/library_function.h"
#include "camera_library.h"
#include "files/whole_file.h"
#include "library_binding.h"
#include "recognise.h"
#include "symbol_file.h"

namespace qrcam {
namespace {

constexpr int kEditFontPixels = 19;

// `widget` gets its name, its place inside `parent` and shows with it.
template <typename Widget>
Widget* Place(Widget* widget, const char* name, QWidget* parent, QRect geometry) {
    widget->setObjectName(QString::fromUtf8(name));
    widget->setParent(parent);
    widget->setGeometry(geometry);
    widget->show();
    return widget;
}

QByteArray ReadWholeFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

CameraWindow::CameraWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("摄像头识别二维码工具 - ") + QString::fromLatin1(apps::kProjectWebAddress));
    setWindowIcon(apps::AppIcon());
    setGeometry(50, 50, 605, 500);
    CreateControls();
}

// The controls are made in the window's creation order; a control inside a
// frame made later is moved into it once the frame exists.
void CameraWindow::CreateControls() {
    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("时钟1"));
    timer1_->setInterval(0);
    connect(timer1_, &QTimer::timeout, this, [this] { GrabAndDecode(); });

    label1_ = Place(new QLabel, "标签1", this, {8, 8, 264, 272});
    label1_->setAlignment(Qt::AlignCenter);
    button2_ = Place(new QPushButton(QStringLiteral("开始预览")), "按钮2", this, {8, 59, 64, 24});
    picture1_ = Place(new apps::PictureBox(nullptr, true), "图片框1", this, {286, 8, 306, 272});
    timer1_->setParent(picture1_);

    edit1_ = Place(new QPlainTextEdit, "编辑框1", this, {6, 16, 312, 163});
    edit1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = edit1_->palette();
    palette.setColor(QPalette::Base, Qt::white);
    edit1_->setPalette(palette);
    QFont font = edit1_->font();
    font.setPixelSize(kEditFontPixels);
    edit1_->setFont(font);
    group2_ = Place(new QGroupBox(QStringLiteral("识别文本")), "分组框2", this, {274, 288, 326, 184});
    Place(edit1_, "编辑框1", group2_, {6, 16, 312, 163});

    button1_ = Place(new QPushButton(QStringLiteral("解码")), "按钮1", this, {168, 59, 88, 24});
    search_ = Place(new QPushButton(QStringLiteral("搜索")), "搜索按钮", this, {224, 18, 34, 24});
    label2_ = Place(new QLabel(QStringLiteral("视频来源：")), "标签2", this, {15, 22, 64, 16});
    sources_ = Place(new QComboBox, "组合框", this, {83, 20, 141, 20});
    group1_ = Place(new QGroupBox(QStringLiteral("参数")), "分组框1", this, {8, 288, 264, 184});
    Place(button2_, "按钮2", group1_, {8, 59, 64, 24});
    Place(button1_, "按钮1", group1_, {168, 59, 88, 24});
    Place(search_, "搜索按钮", group1_, {224, 18, 34, 24});
    Place(label2_, "标签2", group1_, {15, 22, 64, 16});
    Place(sources_, "组合框", group1_, {83, 20, 141, 20});

    connect(search_, &QPushButton::clicked, this, [this] { ListSources(); });
    connect(button2_, &QPushButton::clicked, this, [this] { StartPreview(); });
    connect(button1_, &QPushButton::clicked, this, [this] { StartGrabLoop(); });
}

CameraWindow::~CameraWindow() {
    try {
        CloseCamera(sources_->currentIndex());
    } catch (...) {
        // Nothing to release when the camera library cannot be loaded.
    }
}

std::string CameraWindow::FrameFile() { return platform::ProgramFile("temp.bmp"); }

void* CameraWindow::PreviewWindow() const { return static_cast<QWidget*>(label1_); }

// Appends every non-empty name; the list is not emptied first.
void CameraWindow::ListSources() {
    try {
        // Adding to an empty list selects item 0; the choice stays the user's.
        const int chosen = sources_->currentIndex();
        sources_->addItems(SourceNames(CameraListText()));
        sources_->setCurrentIndex(chosen);
    } catch (const platform::BindError& error) {
        edit1_->setPlainText(apps::BindFailureMessage(error));
    }
}

void CameraWindow::StartPreview() {
    try {
        SetCameraId(sources_->currentIndex());
        StartCamera(PreviewWindow());
    } catch (const platform::BindError& error) {
        edit1_->setPlainText(apps::BindFailureMessage(error));
    }
}

void CameraWindow::StartGrabLoop() {
    timer1_->setInterval(kGrabIntervalMilliseconds);
    if (!timer1_->isActive()) {
        timer1_->start();
    }
}

// One tick: grab the preview frame into the frame file, show it, decode it.
// A failure message keeps the loop running; any other text ends it. The
// last frame file is removed first, so that only a frame this grab wrote is
// shown and decoded: without one, the decoder finds no file.
void CameraWindow::GrabAndDecode() {
    QString text;
    try {
        const std::string frame_file = FrameFile();
        if (!platform::DeleteFile(frame_file) && errno != ENOENT) {
            edit1_->setPlainText(apps::WriteFailureMessage(frame_file));
            timer1_->stop();
            timer1_->setInterval(0);
            return;
        }
        SaveBmp(PreviewWindow(), frame_file.c_str());
        const QString path = QFile::decodeName(frame_file.c_str());
        picture1_->SetPictureBytes(ReadWholeFile(path));
        text = apps::RecognisePictureFile(path);
    } catch (const platform::BindError& error) {
        text = apps::BindFailureMessage(error);
    }
    edit1_->setPlainText(text);
    if (!apps::FailureMessages().contains(text)) {
        timer1_->stop();
        timer1_->setInterval(0);
    }
}

}  // namespace qrcam
