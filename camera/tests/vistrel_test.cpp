// The camera library through its C interface, on the offscreen platform:
// the replay source stands in for a camera, so every result is known.
#include "vistrel.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdint>

namespace {

QStringList ListedNames() {
    const char* list = GetCameraList();
    return list == nullptr ? QStringList{} : QString::fromUtf8(list).split(QStringLiteral("\r\n"));
}

int IndexOf(const QString& name) { return static_cast<int>(ListedNames().indexOf(name)); }

QImage Picture(int width, int height, QColor top, QColor bottom) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(bottom);
    for (int x = 0; x < width; ++x) image.setPixelColor(x, 0, top);
    return image;
}

std::uint32_t Read32(const QByteArray& bytes, int offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[offset + i]);
    return value;
}

std::uint16_t Read16(const QByteArray& bytes, int offset) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[offset]) |
                                      (static_cast<std::uint8_t>(bytes[offset + 1]) << 8));
}

// The colour of pixel (x, y), counted from the top, of a 24-bit BMP file.
QColor BmpPixel(const QByteArray& file, int x, int y) {
    const int width = static_cast<int>(Read32(file, 18));
    const int height = static_cast<int>(Read32(file, 22));
    const int stride = (width * 3 + 3) / 4 * 4;
    const int at = static_cast<int>(Read32(file, 10)) + (height - 1 - y) * stride + 3 * x;
    return QColor(static_cast<std::uint8_t>(file[at + 2]), static_cast<std::uint8_t>(file[at + 1]),
                  static_cast<std::uint8_t>(file[at]));
}

QColor PixmapCentre(const QLabel& label) {
    const QImage shown = label.pixmap().toImage();
    return shown.pixelColor(shown.width() / 2, shown.height() / 2);
}

}  // namespace

class VistrelTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void listsNoReplaySourceWithoutTheVariable();
    void listsTheReplaySourceLast();
    void earlierListTextsStayValid();
    void saveBmpWritesTheReplayedPicturesInNameOrder();
    void previewShowsTheCurrentPicture();
    void previewFillsAWidgetThatIsNotALabel();
    void indexOutsideTheListStartsNothing();
    void closeStopsOnlyTheRunningSource();
    void emptyOrUnreadablePicturesWriteNothing();
    void nullAndUnknownArgumentsAreHarmless();
    void callLogRecordsEachCall();

private:
    void WritePictures();
    int StartReplay(void* window);

    QTemporaryDir pictures_;
    QTemporaryDir output_;
    QString frame_path_;
    QByteArray frame_path_bytes_;
};

void VistrelTest::init() {
    QVERIFY(pictures_.isValid() && output_.isValid());
    frame_path_ = output_.filePath(QStringLiteral("temp.bmp"));
    frame_path_bytes_ = QFile::encodeName(frame_path_);
    QFile::remove(frame_path_);
    qputenv("VISTREL_REPLAY_DIR", pictures_.path().toUtf8());
}

void VistrelTest::cleanup() {
    CloseCamera(IndexOf(QStringLiteral("Replay: ") + pictures_.path()));
    qunsetenv("VISTREL_REPLAY_DIR");
    qunsetenv("VISTREL_CALL_LOG");
    for (const QString& name : QDir(pictures_.path()).entryList(QDir::Files)) {
        QFile::remove(pictures_.filePath(name));
    }
}

// b.png red over green (5 x 3, so BMP rows carry a padding byte), a.png plain
// blue, and a text file the replay skips. Name order: a.png, b.png.
void VistrelTest::WritePictures() {
    QVERIFY(Picture(5, 3, Qt::red, Qt::green).save(pictures_.filePath(QStringLiteral("b.png"))));
    QVERIFY(Picture(4, 4, Qt::blue, Qt::blue).save(pictures_.filePath(QStringLiteral("a.png"))));
    QFile notes(pictures_.filePath(QStringLiteral("notes.txt")));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("not a picture");
}

int VistrelTest::StartReplay(void* window) {
    const int index = IndexOf(QStringLiteral("Replay: ") + pictures_.path());
    SetCameraID(index);
    StartCamera(window);
    return index;
}

void VistrelTest::listsNoReplaySourceWithoutTheVariable() {
    qunsetenv("VISTREL_REPLAY_DIR");
    const char* list = GetCameraList();
    QVERIFY(list != nullptr);
    if (*list != '\0') {
        for (const QString& name : ListedNames()) {
            QVERIFY(!name.isEmpty());
            QVERIFY(!name.startsWith(QStringLiteral("Replay:")));
        }
    }
}

void VistrelTest::listsTheReplaySourceLast() {
    const QStringList names = ListedNames();
    QCOMPARE(names.last(), QStringLiteral("Replay: ") + pictures_.path());
    QVERIFY(!names.contains(QString()));
}

void VistrelTest::earlierListTextsStayValid() {
    const char* with_replay = GetCameraList();
    const QByteArray expected(with_replay);
    qunsetenv("VISTREL_REPLAY_DIR");
    const char* without_replay = GetCameraList();
    QVERIFY(QByteArray(without_replay) != expected);
    QCOMPARE(QByteArray(with_replay), expected);
}

void VistrelTest::saveBmpWritesTheReplayedPicturesInNameOrder() {
    WritePictures();
    StartReplay(nullptr);

    QFile file(frame_path_);
    SaveBmp(nullptr, frame_path_bytes_.constData());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bmp = file.readAll();
    file.close();
    QCOMPARE(Read32(bmp, 18), 4u);
    QCOMPARE(BmpPixel(bmp, 1, 1), QColor(Qt::blue));

    SaveBmp(nullptr, frame_path_bytes_.constData());
    QVERIFY(file.open(QIODevice::ReadOnly));
    bmp = file.readAll();
    file.close();
    QCOMPARE(bmp.left(2), QByteArray("BM"));
    QCOMPARE(Read32(bmp, 2), static_cast<std::uint32_t>(bmp.size()));
    QCOMPARE(Read32(bmp, 10), 54u);
    QCOMPARE(Read32(bmp, 14), 40u);
    QCOMPARE(Read32(bmp, 18), 5u);
    QCOMPARE(Read32(bmp, 22), 3u);  // positive height: rows stored bottom-up
    QCOMPARE(Read16(bmp, 26), std::uint16_t{1});
    QCOMPARE(Read16(bmp, 28), std::uint16_t{24});
    QCOMPARE(Read32(bmp, 30), 0u);
    QCOMPARE(bmp.size(), 54 + 16 * 3);
    QCOMPARE(BmpPixel(bmp, 4, 0), QColor(Qt::red));
    QCOMPARE(BmpPixel(bmp, 4, 2), QColor(Qt::green));
    QCOMPARE(QImage(frame_path_).pixelColor(0, 0), QColor(Qt::red));  // Qt reads it the same way

    SaveBmp(nullptr, frame_path_bytes_.constData());  // after the last picture, the first again
    QCOMPARE(QImage(frame_path_).pixelColor(1, 1), QColor(Qt::blue));
}

void VistrelTest::previewShowsTheCurrentPicture() {
    WritePictures();
    QLabel label;
    label.resize(64, 64);
    label.show();
    StartReplay(&label);
    QTRY_VERIFY(!label.pixmap().isNull());
    QCOMPARE(PixmapCentre(label), QColor(Qt::blue));

    SaveBmp(&label, frame_path_bytes_.constData());  // moves on to b.png
    QTRY_COMPARE(PixmapCentre(label), QColor(Qt::green));

    CloseCamera(IndexOf(QStringLiteral("Replay: ") + pictures_.path()));
    QVERIFY(label.pixmap().isNull());
}

void VistrelTest::previewFillsAWidgetThatIsNotALabel() {
    WritePictures();
    QWidget surface;
    surface.resize(80, 60);
    surface.show();
    StartReplay(&surface);
    QLabel* shown = surface.findChild<QLabel*>();
    QVERIFY(shown != nullptr);
    QCOMPARE(shown->geometry(), surface.rect());
    QTRY_VERIFY(!shown->pixmap().isNull());

    CloseCamera(IndexOf(QStringLiteral("Replay: ") + pictures_.path()));
    QVERIFY(surface.findChild<QLabel*>() == nullptr);
}

void VistrelTest::indexOutsideTheListStartsNothing() {
    WritePictures();
    const int count = static_cast<int>(ListedNames().size());
    for (int index : {-1, count, count + 7, -100000}) {
        SetCameraID(index);
        StartCamera(nullptr);
        SaveBmp(nullptr, frame_path_bytes_.constData());
        QVERIFY(!QFile::exists(frame_path_));
        CloseCamera(index);
    }
}

void VistrelTest::closeStopsOnlyTheRunningSource() {
    WritePictures();
    const int index = StartReplay(nullptr);
    CloseCamera(index + 1);
    CloseCamera(-1);
    SaveBmp(nullptr, frame_path_bytes_.constData());
    QVERIFY(QFile::remove(frame_path_));

    CloseCamera(index);
    SaveBmp(nullptr, frame_path_bytes_.constData());
    QVERIFY(!QFile::exists(frame_path_));
    CloseCamera(index);  // closing twice is harmless
}

void VistrelTest::emptyOrUnreadablePicturesWriteNothing() {
    StartReplay(nullptr);  // empty folder
    SaveBmp(nullptr, frame_path_bytes_.constData());
    QVERIFY(!QFile::exists(frame_path_));

    QFile broken(pictures_.filePath(QStringLiteral("broken.png")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG\r\n\x1a\n truncated");
    broken.close();
    StartReplay(nullptr);
    SaveBmp(nullptr, frame_path_bytes_.constData());
    QVERIFY(!QFile::exists(frame_path_));
}

void VistrelTest::nullAndUnknownArgumentsAreHarmless() {
    WritePictures();
    int not_a_widget = 0;
    StartReplay(&not_a_widget);  // not a widget of this application: no preview, no crash
    SaveBmp(&not_a_widget, nullptr);
    SaveBmp(nullptr, "");
    SaveBmp(nullptr, frame_path_bytes_.constData());
    QVERIFY(QFile::exists(frame_path_));
    SaveBmp(nullptr, QFile::encodeName(output_.filePath(QStringLiteral("no/such/folder/x.bmp"))).constData());
}

void VistrelTest::callLogRecordsEachCall() {
    const QString log_path = output_.filePath(QStringLiteral("calls.log"));
    qputenv("VISTREL_CALL_LOG", QFile::encodeName(log_path));
    SetCameraID(-1);
    StartCamera(nullptr);
    SaveBmp(nullptr, frame_path_bytes_.constData());
    CloseCamera(-1);
    qunsetenv("VISTREL_CALL_LOG");
    CloseCamera(3);  // not logged any more

    QFile log(log_path);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString expected =
        QStringLiteral("SetCameraID -1\nStartCamera null\nSaveBmp %1\nCloseCamera -1\n").arg(frame_path_);
    QCOMPARE(QString::fromUtf8(log.readAll()), expected);
}

QTEST_MAIN(VistrelTest)
#include "vistrel_test.moc"
