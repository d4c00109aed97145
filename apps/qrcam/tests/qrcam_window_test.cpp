// qrcam's window on the offscreen platform, driven through its buttons, with
// the camera library's replay source standing in for a camera.
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "camera_library.h"
#include "camera_window.h"
#include "gbk_text.h"
#include "replay_fixture.h"

using qrcam::CameraWindow;

namespace {

template <typename T>
T* Find(const QObject& window, const char* name) {
    return window.findChild<T*>(QString::fromUtf8(name));
}

void Click(const QObject& window, const char* button) { Find<QPushButton>(window, button)->click(); }

}  // namespace

class QrcamWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void controlsFollowTheLayout();
    void sourceNamesSkipEmptyParts();
    void listingTwiceAppendsEverySourceTwice();
    void previewDrawsIntoTheLabel();
    void grabLoopRunsUntilAFrameDecodes();
    void replayedPhotosDecodeOneAtEachClick();
    void symbolReadingLikeAFailureMessageKeepsTheLoopRunning();
    void missingFrameShowsFileNotFoundAndKeepsRunning();
    void listedButUnchosenSourcesPassMinusOne();
    void codePage936SymbolsReadBackWhole();

private:
    // Starts the replay of `pictures` (named in name order) in a new window:
    // list, choose the replay source, start the preview.
    void StartReplay(const QList<QImage>& pictures);
    // Lists the sources, chooses the replay source (the last one) and starts
    // the preview of whatever its folder holds.
    void StartReplayOfFolder();
    // Clicks decode and records each text the box shows, until the loop stops
    // or `ticks` grabs have run.
    QStringList RunGrabLoop(int ticks);

    QTemporaryDir program_folder_;
    QTemporaryDir replay_folder_;
    std::unique_ptr<CameraWindow> window_;
};

void QrcamWindowTest::initTestCase() {
    QVERIFY(program_folder_.isValid() && replay_folder_.isValid());
    QVERIFY(qrcam_test::UseProgramFolder(program_folder_.path()));
}

void QrcamWindowTest::init() {
    QFile::remove(QString::fromStdString(CameraWindow::FrameFile()));
    for (const QString& name : QDir(replay_folder_.path()).entryList(QDir::Files)) {
        QFile::remove(replay_folder_.filePath(name));
    }
    qputenv("VISTREL_REPLAY_DIR", replay_folder_.path().toUtf8());
    window_ = std::make_unique<CameraWindow>();
    window_->show();
}

void QrcamWindowTest::cleanup() {
    window_.reset();
    qunsetenv("VISTREL_REPLAY_DIR");
    qunsetenv("VISTREL_CALL_LOG");
}

void QrcamWindowTest::StartReplay(const QList<QImage>& pictures) {
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        QVERIFY(pictures[i].save(replay_folder_.filePath(QStringLiteral("frame%1.png").arg(i))));
    }
    StartReplayOfFolder();
}

void QrcamWindowTest::StartReplayOfFolder() {
    Click(*window_, "搜索按钮");
    auto* sources = Find<QComboBox>(*window_, "组合框");
    QCOMPARE(sources->itemText(sources->count() - 1), QStringLiteral("Replay: ") + replay_folder_.path());
    sources->setCurrentIndex(sources->count() - 1);
    Click(*window_, "按钮2");
}

QStringList QrcamWindowTest::RunGrabLoop(int ticks) {
    auto* box = Find<QPlainTextEdit>(*window_, "编辑框1");
    auto* timer = Find<QTimer>(*window_, "时钟1");
    QStringList texts;
    int grabs = 0;
    const auto counting = connect(timer, &QTimer::timeout, box, [&] { ++grabs; });
    const auto recording = connect(box, &QPlainTextEdit::textChanged, box, [&] {
        if (texts.isEmpty() || texts.last() != box->toPlainText()) texts << box->toPlainText();
    });
    Click(*window_, "按钮1");
    [&] {
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), CameraWindow::kGrabIntervalMilliseconds);
        QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive() || grabs >= ticks, 20000);
    }();
    disconnect(counting);
    disconnect(recording);
    return texts;
}

void QrcamWindowTest::controlsFollowTheLayout() {
    const CameraWindow& w = *window_;
    QCOMPARE(w.geometry(), QRect(50, 50, 605, 500));
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("摄像头识别二维码工具 - ")));
    QVERIFY(w.windowTitle().size() > QStringLiteral("摄像头识别二维码工具 - ").size());
    QVERIFY(!w.windowIcon().isNull());

    struct Control {
        const char* name;
        const char* parent;
        QRect geometry;
        const char* caption;
    };
    const Control controls[] = {
        {"标签1", nullptr, {8, 8, 264, 272}, ""},
        {"按钮2", "分组框1", {8, 59, 64, 24}, "开始预览"},
        {"图片框1", nullptr, {286, 8, 306, 272}, ""},
        {"编辑框1", "分组框2", {6, 16, 312, 163}, ""},
        {"分组框2", nullptr, {274, 288, 326, 184}, "识别文本"},
        {"按钮1", "分组框1", {168, 59, 88, 24}, "解码"},
        {"搜索按钮", "分组框1", {224, 18, 34, 24}, "搜索"},
        {"标签2", "分组框1", {15, 22, 64, 16}, "视频来源："},
        {"组合框", "分组框1", {83, 20, 141, 20}, ""},
        {"分组框1", nullptr, {8, 288, 264, 184}, "参数"},
    };
    for (const Control& c : controls) {
        auto* widget = Find<QWidget>(w, c.name);
        QVERIFY2(widget != nullptr, c.name);
        QCOMPARE(widget->parentWidget(), c.parent ? Find<QWidget>(w, c.parent) : &w);
        QCOMPARE(widget->geometry(), c.geometry);
        QVERIFY2(widget->isVisible(), c.name);
        QString caption;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) caption = button->text();
        if (auto* label = qobject_cast<QLabel*>(widget)) caption = label->text();
        if (auto* frame = qobject_cast<QGroupBox*>(widget)) caption = frame->title();
        QCOMPARE(caption, QString::fromUtf8(c.caption));
    }
    // Creation order, as the order of each container's children.
    const auto names = [](const QWidget* parent) {
        QStringList list;
        for (const QObject* child : parent->children()) list << child->objectName();
        return list;
    };
    QCOMPARE(names(Find<QWidget>(w, "分组框1")), QStringList({"按钮2", "按钮1", "搜索按钮", "标签2", "组合框"}));
    const QStringList top = names(&w);
    QVERIFY(top.indexOf("标签1") < top.indexOf("图片框1"));
    QVERIFY(top.indexOf("图片框1") < top.indexOf("分组框2"));
    QVERIFY(top.indexOf("分组框2") < top.indexOf("分组框1"));

    auto* timer = Find<QTimer>(w, "时钟1");
    QCOMPARE(timer->parent(), Find<QObject>(w, "图片框1"));
    QVERIFY(!timer->isActive());
    QCOMPARE(timer->interval(), 0);
    auto* sources = Find<QComboBox>(w, "组合框");
    QCOMPARE(sources->count(), 0);
    QCOMPARE(sources->currentIndex(), -1);
    auto* box = Find<QPlainTextEdit>(w, "编辑框1");
    QCOMPARE(box->font().pixelSize(), 19);
    QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(box->toPlainText().isEmpty());
}

void QrcamWindowTest::sourceNamesSkipEmptyParts() {
    QCOMPARE(qrcam::SourceNames("A\r\n\r\nB\r\n"), QStringList({"A", "B"}));
    QCOMPARE(qrcam::SourceNames("\r\n"), QStringList());
    QCOMPARE(qrcam::SourceNames(""), QStringList());
    QCOMPARE(qrcam::SourceNames("x\ny\rz"), QStringList({"x\ny\rz"}));  // only the pair splits
    QCOMPARE(qrcam::SourceNames("\xe6\x91\x84\xe5\x83\x8f\xe5\xa4\xb4"), QStringList({"摄像头"}));
}

void QrcamWindowTest::listingTwiceAppendsEverySourceTwice() {
    Click(*window_, "搜索按钮");
    auto* sources = Find<QComboBox>(*window_, "组合框");
    const int once = sources->count();
    QVERIFY(once >= 1);                     // at least the replay source
    QCOMPARE(sources->currentIndex(), -1);  // the choice is left to the user
    sources->setCurrentIndex(once - 1);
    Click(*window_, "搜索按钮");
    QCOMPARE(sources->currentIndex(), once - 1);
    QCOMPARE(sources->count(), 2 * once);
    for (int i = 0; i < once; ++i) QCOMPARE(sources->itemText(once + i), sources->itemText(i));
}

void QrcamWindowTest::previewDrawsIntoTheLabel() {
    StartReplay({qrcam_test::BlankPicture()});
    auto* preview = Find<QLabel>(*window_, "标签1");
    QTRY_VERIFY(!preview->pixmap().isNull());
    QCOMPARE(preview->pixmap().toImage().pixelColor(5, 5), QColor(Qt::white));
}

void QrcamWindowTest::grabLoopRunsUntilAFrameDecodes() {
    const QString text = QStringLiteral("摄像头 QR 2024");
    StartReplay({qrcam_test::BlankPicture(), qrcam_test::SymbolPicture(text.toUtf8())});
    const QStringList texts = RunGrabLoop(20);
    QCOMPARE(texts, QStringList({qrcam_test::kBlankMessage, text}));
    QVERIFY(Find<apps::PictureBox>(*window_, "图片框1")->HasPicture());
    QVERIFY(QFile::exists(QString::fromStdString(CameraWindow::FrameFile())));  // kept

    QTest::qWait(3 * CameraWindow::kGrabIntervalMilliseconds);  // the result stays
    QCOMPARE(Find<QPlainTextEdit>(*window_, "编辑框1")->toPlainText(), text);
}

// Camera-like photos of printed symbols (a 640 x 480 phone photo, a small
// grey one, a JPEG) replayed as frames: each click of decode grabs the next
// frame, which decodes to its expected text and stops the loop again.
void QrcamWindowTest::replayedPhotosDecodeOneAtEachClick() {
    const QDir photos(QStringLiteral(QR_SOURCE_DIR "/testdata/qr-photos"));
    const QStringList names = {"qrcode-1/14.png", "qrcode-3/10.png", "qrcode-2/#199b.jpg"};
    QStringList expected;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QFileInfo photo(photos.filePath(names[i]));
        QVERIFY(
            QFile::copy(photo.filePath(), replay_folder_.filePath(QStringLiteral("%1-").arg(i) + photo.fileName())));
        QFile text(photo.dir().filePath(photo.completeBaseName() + QStringLiteral(".txt")));
        QVERIFY(text.open(QIODevice::ReadOnly));
        expected << QString::fromUtf8(text.readAll());
    }
    StartReplayOfFolder();
    for (const QString& text : expected) {
        QCOMPARE(RunGrabLoop(3), QStringList({text}));
        QVERIFY(!Find<QTimer>(*window_, "时钟1")->isActive());
    }
}

void QrcamWindowTest::symbolReadingLikeAFailureMessageKeepsTheLoopRunning() {
    const QString message = QStringLiteral("文件未找到！");
    StartReplay({qrcam_test::SymbolPicture(message.toUtf8())});
    const QStringList texts = RunGrabLoop(4);
    QCOMPARE(texts, QStringList({message}));
    QVERIFY(Find<QTimer>(*window_, "时钟1")->isActive());
}

void QrcamWindowTest::missingFrameShowsFileNotFoundAndKeepsRunning() {
    // The last run's frame holds a symbol: it must not pass for a new frame.
    QVERIFY(qrcam_test::SymbolPicture("old frame").save(QString::fromStdString(CameraWindow::FrameFile()), "BMP"));
    Click(*window_, "按钮2");  // nothing chosen: no source runs, no frame is written
    const QStringList texts = RunGrabLoop(3);
    QCOMPARE(texts, QStringList({QStringLiteral("文件未找到！")}));
    QVERIFY(Find<QTimer>(*window_, "时钟1")->isActive());
    QVERIFY(!Find<apps::PictureBox>(*window_, "图片框1")->HasPicture());
}

void QrcamWindowTest::listedButUnchosenSourcesPassMinusOne() {
    const QString log_path = program_folder_.filePath(QStringLiteral("calls.log"));
    QFile::remove(log_path);
    qputenv("VISTREL_CALL_LOG", QFile::encodeName(log_path));
    Click(*window_, "搜索按钮");
    Click(*window_, "按钮2");
    window_.reset();
    QFile log(log_path);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), QByteArray("GetCameraList\nSetCameraID -1\nStartCamera window\nCloseCamera -1\n"));
}

void QrcamWindowTest::codePage936SymbolsReadBackWhole() {
    // The generator windows put the user's code page 936 text into the symbol
    // as it is; UTF-8 symbols of other encoders are covered above.
    const QString text = QStringLiteral("二维码生成器 测试");
    StartReplay({qrcam_test::SymbolPicture(apps::ToGbk(text))});
    QCOMPARE(RunGrabLoop(4), QStringList({text}));
}

QTEST_MAIN(QrcamWindowTest)
#include "qrcam_window_test.moc"
