#include "generator_window.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

#include "binding/library_function.h"
#include "choice_lists.h"
#include "controls.h"
#include "gbk_text.h"
#include "limited_text_edit.h"
#include "picture_box.h"
#include "symbol_file.h"

namespace apps {
namespace {

constexpr int kContentLimit = 120;
// Always the same mask pattern (number 4), so equal input gives equal symbols.
constexpr int kFixedMask = 5;

// A list whose edit field shows `text` while no item is selected.
void ShowWithoutSelection(QComboBox* list, const QString& text) {
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setCurrentIndex(-1);
    list->setEditText(text);
}

}  // namespace

GeneratorWindow::GeneratorWindow() {
    SetUpGeneratorWindow(this, 790, 548);
    level_frame_ = MakeFrame(this, "分组框2", QStringLiteral("纠错级别"), 568, 296, 184, 72);
    level_list_ = Place(new QComboBox(level_frame_), "组合框_纠错", 24, 32, 140, 20);
    level_list_->addItems(LevelItems());
    ShowWithoutSelection(level_list_, QStringLiteral("L(5%)"));
    // The version list lies in a frame made just after it.
    version_list_ = Place(new QComboBox(this), "组合框_版本", 24, 32, 140, 20);
    version_frame_ = MakeFrame(this, "分组框1", QStringLiteral("版本选择"), 568, 216, 184, 72);
    version_list_->setParent(version_frame_);
    version_list_->setGeometry(24, 32, 140, 20);
    picture_box_ = Place(new PictureBox(this), "图片框1", 0, 0, 500, 500);
    content_ = Place(new LimitedTextEdit(this, kContentLimit), "编辑框1", 520, 8, 240, 192);
    StyleContentBox(content_);
    generate_button_ = Place(new QPushButton(QStringLiteral("生成"), this), "按钮1", 680, 456, 80, 40);
    connect(generate_button_, &QPushButton::clicked, this, &GeneratorWindow::Generate);

    FillVersionList(version_list_);
    ShowWithoutSelection(version_list_, QStringLiteral("自动"));
}

void GeneratorWindow::Generate() {
    QString text = content_->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    // An unselected list (-1) is passed on as it is; the encoder takes it as 0.
    const SymbolRequest request{ToGbk(text), version_list_->currentIndex(), level_list_->currentIndex(), kFixedMask};
    // The symbol file stays in the folder after it is shown.
    const std::string path = platform::ProgramFile(kSymbolFileName);
    const QString failure = WriteSymbolFile(request, path);
    // Told in the picture area (never the last symbol shown again): the
    // content stays for the next try.
    if (!failure.isEmpty()) {
        picture_box_->ShowMessage(failure);
        return;
    }
    picture_box_->ShowFile(path);
}

}  // namespace apps
