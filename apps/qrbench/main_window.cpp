#include "main_window.h"

#include <QBuffer>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "binding/library_function.h"
#include "carried_libraries.h"
#include "choice_lists.h"
#include "controls.h"
#include "file_dialog.h"
#include "files/whole_file.h"
#include "gbk_text.h"
#include "picture_box.h"
#include "recognise.h"
#include "symbol_picture.h"

namespace apps {
namespace {

const QString kPictureFilter = QStringLiteral("图片文件|*.jpg;*.bmp;*.gif");
constexpr int kLogoVersion = 3;

// The content as the edit box holds it: lines end in CR LF.
QByteArray ContentAsGbk(const QPlainTextEdit* box) {
    QString text = box->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return ToGbk(text);
}

}  // namespace

MainWindow::MainWindow() {
    SetUpGeneratorWindow(this, 793, 539);
    CreateControls();
    StartUp();
}

void MainWindow::CreateControls() {
    label1_ =
        Place(new QLabel(QStringLiteral("如果放了LOGO无法识别，请调整纠错级别！"), this), "标签1", 536, 400, 224, 16);
    QFont hint_font = label1_->font();
    hint_font.setPixelSize(11);
    label1_->setFont(hint_font);
    // The logo box lies inside the picture box, which is made a little later.
    logo_box_ = Place(new PictureBox(this, true), "图片框2", 230, 230, 40, 40);
    logo_box_->hide();
    generate_button_ = Place(new QPushButton(QStringLiteral("生成"), this), "按钮1", 681, 445, 68, 49);
    recognise_button_ = Place(new QPushButton(QStringLiteral("识别"), this), "按钮5", 614, 445, 68, 49);
    picture_box_ = Place(new PictureBox(this), "图片框1", 8, 7, 500, 500);
    logo_box_->setParent(picture_box_);
    logo_box_->setGeometry(230, 230, 40, 40);
    content_frame_ = MakeFrame(this, "分组框3", QStringLiteral("内容"), 528, 24, 232, 192);
    content_ = Place(new QPlainTextEdit(content_frame_), "编辑框1", 11, 16, 208, 168);
    StyleContentBox(content_);
    version_frame_ = MakeFrame(this, "分组框1", QStringLiteral("版本选择"), 528, 224, 232, 56);
    version_list_ = Place(new QComboBox(version_frame_), "组合框_版本", 24, 24, 192, 20);
    level_frame_ = MakeFrame(this, "分组框2", QStringLiteral("纠错级别"), 528, 283, 232, 53);
    level_list_ = Place(new QComboBox(level_frame_), "组合框_纠错", 24, 21, 192, 20);
    level_list_->addItems(LevelItems());
    level_list_->setCurrentIndex(0);
    logo_frame_ = MakeFrame(this, "分组框4", QStringLiteral("LOGO"), 528, 338, 232, 53);
    remove_logo_button_ = Place(new QPushButton(QStringLiteral("删"), logo_frame_), "按钮4", 189, 20, 32, 20);
    logo_path_ = Place(new QLineEdit(logo_frame_), "编辑框2", 25, 20, 127, 20);
    logo_path_->setReadOnly(true);
    choose_logo_button_ = Place(new QPushButton(QStringLiteral("..."), logo_frame_), "按钮3", 158, 20, 32, 20);
    file_dialog_ = new QFileDialog(this);
    file_dialog_->setObjectName(QStringLiteral("通用对话框1"));
    save_button_ = Place(new QPushButton(QStringLiteral("保存"), this), "按钮2", 547, 445, 68, 49);

    connect(generate_button_, &QPushButton::clicked, this, &MainWindow::Generate);
    connect(recognise_button_, &QPushButton::clicked, this, &MainWindow::Recognise);
    connect(choose_logo_button_, &QPushButton::clicked, this, &MainWindow::ChooseLogo);
    connect(remove_logo_button_, &QPushButton::clicked, this, &MainWindow::RemoveLogo);
    connect(save_button_, &QPushButton::clicked, this, &MainWindow::Save);
}

void MainWindow::StartUp() {
    WriteCarriedLibraries(platform::ProgramFolder());
    FillVersionList(version_list_);
    version_list_->setCurrentIndex(0);
}

void MainWindow::Generate() {
    const SymbolRequest request{ContentAsGbk(content_), version_list_->currentIndex(), level_list_->currentIndex(), 0};
    QString failure;
    const QByteArray picture = GenerateSymbolPicture(request, &failure);
    // A library that cannot be bound is told in the picture area, so that
    // the user's content stays for the next try.
    if (!failure.isEmpty()) {
        picture_box_->ShowMessage(failure);
        return;
    }
    picture_box_->SetPictureBytes(picture);
}

void MainWindow::ChooseLogo() {
    const QString path = ShowFileDialog(file_dialog_, {FileDialogRequest::Kind::Open, {}, kPictureFilter, {}});
    if (path.isEmpty()) return;
    logo_box_->show();
    logo_box_->ShowFile(LocalPath(path));
    logo_path_->setText(path);
    version_list_->setCurrentIndex(kLogoVersion);
    version_list_->setEnabled(false);
}

void MainWindow::RemoveLogo() {
    logo_path_->clear();
    logo_box_->hide();
    version_list_->setCurrentIndex(0);
    // Without a logo the version is free again.
    version_list_->setEnabled(true);
}

void MainWindow::Save() {
    const QString path = ShowFileDialog(file_dialog_, {FileDialogRequest::Kind::Save, QStringLiteral("二维码"),
                                                       QStringLiteral("*.bmp|*.bmp"), QStringLiteral("bmp")});
    if (path.isEmpty()) return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const bool drawn = picture_box_->grab().toImage().save(&buffer, "BMP");
    // A failure is told in the picture area, as a failed generate is: the
    // content stays, and generate shows the symbol again.
    if (!drawn || !platform::WriteWholeFile(LocalPath(path), bytes.constData(), static_cast<size_t>(bytes.size()))) {
        picture_box_->ShowMessage(WriteFailureMessage(LocalPath(path)));
    }
}

void MainWindow::Recognise() {
    const QString path = ShowFileDialog(file_dialog_, {FileDialogRequest::Kind::Open, {}, kPictureFilter, {}});
    if (path.isEmpty()) return;
    RemoveLogo();
    picture_box_->ShowFile(LocalPath(path));
    QString library_failure;
    const QString text = RecognisePictureFile(path, &library_failure);
    if (!library_failure.isEmpty()) {
        picture_box_->ShowMessage(library_failure);
        return;
    }
    content_->setPlainText(text);
}

}  // namespace apps
