// qrbench's window on the offscreen platform: start-up, generate, logo,
// save and recognise, driven through its controls, with zxing-cpp as the
// independent reader of the symbols shown and saved.
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <qrencode.h>

#include "binding/library_function.h"
#include "carried_libraries.h"
#include "file_dialog.h"
#include "gbk_text.h"
#include "main_window.h"
#include "picture_box.h"
#include "recognise.h"
#include "symbol_file.h"
#include "test_support.h"

namespace apps {
namespace {

const QString kVersionFirst = QStringLiteral("版本_1   21×21");
const QString kVersionLast = QStringLiteral("版本_40   177×177");

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    MainWindow* window_ = nullptr;

    template <typename T>
    T* Control(const char* name) {
        return testing::FindControl<T>(window_, name);
    }
    QPlainTextEdit* Content() { return Control<QPlainTextEdit>("编辑框1"); }
    QComboBox* Versions() { return Control<QComboBox>("组合框_版本"); }
    QComboBox* Levels() { return Control<QComboBox>("组合框_纠错"); }
    PictureBox* Picture() { return Control<PictureBox>("图片框1"); }
    PictureBox* Logo() { return Control<PictureBox>("图片框2"); }
    QLineEdit* LogoPath() { return Control<QLineEdit>("编辑框2"); }
    QString Path(const QString& name) const { return folder_.filePath(name); }

    // Answers the next dialog with `answer` and records the request.
    FileDialogRequest last_request_;
    void AnswerDialogWith(const QString& answer) {
        ReplaceFileDialog([this, answer](const FileDialogRequest& request) {
            last_request_ = request;
            return answer;
        });
    }

    QImage Shown() { return Picture()->pixmap().toImage(); }

    QString MakeLogo() {
        QImage logo(64, 64, QImage::Format_RGB32);
        logo.fill(QColor(220, 0, 0));
        const QString path = Path(QStringLiteral("logo.bmp"));
        logo.save(path, "BMP");
        return path;
    }

    void ChooseLogo() {
        AnswerDialogWith(MakeLogo());
        window_->ChooseLogo();
    }

    // The symbol for `data` (raw bytes) drawn by the encoder into a file.
    QString SymbolFileWith(const QByteArray& data, const QString& name) {
        const QString path = Path(name);
        const QString failure = WriteSymbolFile({data, 0, 1, 0}, path.toStdString());
        if (!failure.isEmpty()) qFatal("%s", qPrintable(failure));
        return path;
    }

    QString Recognise(const QString& path) {
        AnswerDialogWith(path);
        window_->Recognise();
        return Content()->toPlainText();
    }

private slots:
    void initTestCase() {
        QVERIFY(folder_.isValid());
        // Stale library files of the same names must be replaced at start.
        for (const char* name : {"/Mosaire.dll", "/Lectavo.dll"}) {
            QFile stale(folder_.path() + QLatin1String(name));
            QVERIFY(stale.open(QIODevice::WriteOnly));
            stale.write("stale");
        }
        platform::OverrideProgramFolder(folder_.path().toStdString());
        window_ = new MainWindow;
        window_->show();
    }

    void cleanupTestCase() {
        ReplaceFileDialog({});
        delete window_;
    }

    // First, before any call binds a library.
    void missingLibraryIsShownInThePictureAndTheContentStays() {
        for (const char* name : {"Mosaire.dll", "Lectavo.dll"})
            QVERIFY(QFile::rename(Path(QLatin1String(name)), Path(QLatin1String(name) + QLatin1String(".away"))));
        Content()->setPlainText(QStringLiteral("keep me"));
        window_->Generate();
        QVERIFY2(Picture()->text().startsWith(QStringLiteral("无法加载 Mosaire.dll：")), qPrintable(Picture()->text()));
        QCOMPARE(Content()->toPlainText(), QStringLiteral("keep me"));
        QCOMPARE(Recognise(Path(QStringLiteral("missing.bmp"))), QStringLiteral("keep me"));
        QVERIFY2(Picture()->text().startsWith(QStringLiteral("无法加载 Lectavo")), qPrintable(Picture()->text()));
        for (const char* name : {"Mosaire.dll", "Lectavo.dll"})
            QVERIFY(QFile::rename(Path(QLatin1String(name) + QLatin1String(".away")), Path(QLatin1String(name))));
        Content()->clear();
    }

    void startUpFillsTheWindowAndWritesTheLibraries() {
        QCOMPARE(window_->size(), QSize(793, 539));
        QCOMPARE(window_->windowTitle().left(9), QStringLiteral("二维码生成器 - "));
        QVERIFY(window_->windowTitle().size() > 9);
        QCOMPARE(Versions()->count(), 41);
        QCOMPARE(Versions()->itemText(0), QStringLiteral("自动"));
        QCOMPARE(Versions()->itemText(1), kVersionFirst);
        QCOMPARE(Versions()->itemText(40), kVersionLast);
        QCOMPARE(Versions()->currentIndex(), 0);
        QCOMPARE(Levels()->count(), 4);
        QCOMPARE(Levels()->currentText(), QStringLiteral("L(5%)"));
        QCOMPARE(Levels()->itemText(3), QStringLiteral("H(30%)"));
        QVERIFY(Logo()->isHidden());
        QCOMPARE(Logo()->parentWidget(), Picture());
        QCOMPARE(Logo()->geometry(), QRect(230, 230, 40, 40));
        QCOMPARE(Picture()->geometry(), QRect(8, 7, 500, 500));
        QVERIFY(!Picture()->HasPicture());
        QVERIFY(Content()->toPlainText().isEmpty());
        QVERIFY(LogoPath()->text().isEmpty());
        QCOMPARE(Control<QPushButton>("按钮5")->text(), QStringLiteral("识别"));
        QCOMPARE(Control<QGroupBox>("分组框4")->geometry(), QRect(528, 338, 232, 53));
        QCOMPARE(Control<QLabel>("标签1")->text(), QStringLiteral("如果放了LOGO无法识别，请调整纠错级别！"));

        for (const CarriedFile& file : CarriedLibraries()) {
            QFile written(folder_.path() + QLatin1String(file.name));
            QVERIFY(written.open(QIODevice::ReadOnly));
            const QByteArray bytes = written.readAll();
            QVERIFY2(bytes.size() > 1000, file.name);
            QCOMPARE(bytes, QByteArray(reinterpret_cast<const char*>(file.data), static_cast<qsizetype>(file.size)));
        }
    }

    void generateShowsASymbolOfTheContent_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("level");
        QTest::newRow("ascii, automatic, L") << QStringLiteral("Hello, QR!") << 0 << 0;
        QTest::newRow("chinese, automatic, M") << QStringLiteral("二维码生成器 测试") << 0 << 1;
        QTest::newRow("digits, version 7, Q") << QStringLiteral("0123456789") << 7 << 2;
        QTest::newRow("mixed, version 10, H") << QStringLiteral("版本 10 ×") << 10 << 3;
        QTest::newRow("two lines, version 2, L") << QStringLiteral("a\nb") << 2 << 0;
    }

    void generateShowsASymbolOfTheContent() {
        QFETCH(QString, text);
        QFETCH(int, version);
        QFETCH(int, level);
        Content()->setPlainText(text);
        Versions()->setCurrentIndex(version);
        Levels()->setCurrentIndex(level);
        window_->Generate();
        const QImage shown = Shown();
        QCOMPARE(shown.size(), QSize(500, 500));
        bool found = false;
        const QByteArray bytes = testing::ReadSymbolBytes(shown, &found);
        QVERIFY(found);
        // The content goes out as code page 936 text with CR LF line breaks.
        QString expected = text;
        expected.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        QCOMPARE(bytes, ToGbk(expected));
        QCOMPARE(testing::ReadSymbolLevel(shown), QString(QLatin1Char("LMQH"[level])));
        if (version > 0) {
            const int side = 17 + 4 * version;
            QCOMPARE(testing::DarkWidth(shown) % side, 0);
        }
        QVERIFY(!QFile::exists(Path(QStringLiteral("a.bmp"))));
    }

    void generateUsesTheChosenVersion() {
        Content()->setPlainText(QStringLiteral("1"));
        Levels()->setCurrentIndex(0);
        Versions()->setCurrentIndex(0);
        window_->Generate();
        const int module = testing::DarkWidth(Shown()) / 21;
        QVERIFY(module > 0);
        for (int version : {3, 9}) {
            Versions()->setCurrentIndex(version);
            window_->Generate();
            QCOMPARE(testing::DarkWidth(Shown()), (17 + 4 * version) * module);
        }
        Versions()->setCurrentIndex(0);
    }

    void everyVersionIsShownAndSavedWhole() {
        const QString saved = Path(QStringLiteral("version.bmp"));
        for (int version = 1; version <= 40; ++version) {
            const QByteArray text = "version " + QByteArray::number(version);
            Content()->setPlainText(QString::fromLatin1(text));
            Versions()->setCurrentIndex(version);
            window_->Generate();
            QVERIFY2(testing::IsWholeSymbol(Shown(), version, text), text);
            AnswerDialogWith(saved);
            window_->Save();
            QVERIFY2(testing::IsWholeSymbol(QImage(saved), version, text), text);
        }
        Versions()->setCurrentIndex(0);
    }

    void chineseContentReadsBackWhole() {
        const QString text = QStringLiteral("二维码生成器 测试");
        Content()->setPlainText(text);
        window_->Generate();
        const QString saved = Path(QStringLiteral("chinese.bmp"));
        AnswerDialogWith(saved);
        window_->Save();
        Content()->clear();
        QCOMPARE(Recognise(saved), text);
    }

    void chooseAndRemoveLogo() {
        AnswerDialogWith(QString());
        window_->ChooseLogo();  // cancelled: nothing changes
        QVERIFY(Logo()->isHidden());
        QCOMPARE(Versions()->currentIndex(), 0);
        QCOMPARE(last_request_.kind, FileDialogRequest::Kind::Open);
        QCOMPARE(ToQtFilter(last_request_.filter), QStringLiteral("图片文件 (*.jpg *.bmp *.gif)"));

        ChooseLogo();
        QVERIFY(!Logo()->isHidden());
        QVERIFY(Logo()->HasPicture());
        QCOMPARE(LogoPath()->text(), Path(QStringLiteral("logo.bmp")));
        QCOMPARE(Versions()->currentIndex(), 3);
        QVERIFY(!Versions()->isEnabled());
        QVERIFY(Levels()->isEnabled());

        window_->RemoveLogo();
        QVERIFY(Logo()->isHidden());
        QVERIFY(LogoPath()->text().isEmpty());
        QCOMPARE(Versions()->currentIndex(), 0);
        QVERIFY(Versions()->isEnabled());
    }

    void saveCapturesTheSymbolWithTheLogo() {
        Content()->setPlainText(QStringLiteral("logo over the centre"));
        Levels()->setCurrentIndex(3);
        ChooseLogo();
        window_->Generate();
        const QString saved = Path(QStringLiteral("saved.bmp"));
        AnswerDialogWith(saved);
        window_->Save();
        QCOMPARE(last_request_.kind, FileDialogRequest::Kind::Save);
        QCOMPARE(last_request_.file_name, QStringLiteral("二维码"));
        QCOMPARE(last_request_.default_suffix, QStringLiteral("bmp"));
        QCOMPARE(ToQtFilter(last_request_.filter), QStringLiteral("*.bmp (*.bmp)"));

        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(2), QByteArray("BM"));
        const QImage picture(saved);
        QCOMPARE(picture.size(), QSize(500, 500));
        QCOMPARE(picture.pixelColor(250, 250), QColor(220, 0, 0));
        QCOMPARE(picture.pixelColor(231, 231), QColor(220, 0, 0));
        bool found = false;
        QCOMPARE(testing::ReadSymbolBytes(picture, &found), QByteArray("logo over the centre"));
        QVERIFY(found);

        AnswerDialogWith(QString());
        QFile::remove(saved);
        window_->Save();  // cancelled: nothing written
        QVERIFY(!QFile::exists(saved));
        window_->RemoveLogo();
        Levels()->setCurrentIndex(0);
    }

    void failedWritesAreToldNeverAnOldPicture() {
        Content()->setPlainText(QStringLiteral("fresh"));
        // A symbol file left in the folder (qrmake keeps its own there) must
        // not pass for the new symbol.
        SymbolFileWith("stale", "a.bmp");
        {
            const testing::FileSizeLimit full_disk(1024);
            window_->Generate();
        }
        QVERIFY(!Picture()->HasPicture());
        QVERIFY2(Picture()->text().startsWith(QStringLiteral("无法写入文件 ")), qPrintable(Picture()->text()));

        window_->Generate();
        QVERIFY(Picture()->HasPicture());
        const QString saved = Path(QStringLiteral("full.bmp"));
        AnswerDialogWith(saved);
        {
            const testing::FileSizeLimit full_disk(1024);
            window_->Save();
        }
        QVERIFY(!QFile::exists(saved));
        QVERIFY2(Picture()->text().startsWith(QStringLiteral("无法写入文件 ")), qPrintable(Picture()->text()));
        QCOMPARE(Content()->toPlainText(), QStringLiteral("fresh"));
        Content()->clear();
    }

    void recogniseShowsTextOrMessage() {
        // Our own symbol, ASCII text.
        Content()->setPlainText(QStringLiteral("round trip"));
        window_->Generate();
        const QString own = Path(QStringLiteral("own.bmp"));
        AnswerDialogWith(own);
        window_->Save();
        Content()->clear();
        QCOMPARE(Recognise(own), QStringLiteral("round trip"));
        QVERIFY(Picture()->HasPicture());

        // UTF-8 data are shown as text; a character without a code page 936
        // form (Hangul here) ends the text.
        QCOMPARE(Recognise(SymbolFileWith(QStringLiteral("二维码 ok").toUtf8(), "utf8.bmp")),
                 QStringLiteral("二维码 ok"));
        QCOMPARE(Recognise(SymbolFileWith(QStringLiteral("ab가cd").toUtf8(), "hangul.bmp")), QStringLiteral("ab"));

        QCOMPARE(Recognise(Path(QStringLiteral("missing.bmp"))), QStringLiteral("文件未找到！"));
        const QString text_file = Path(QStringLiteral("notes.gif"));
        QFile notes(text_file);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("not a picture at all\n");
        notes.close();
        QCOMPARE(Recognise(text_file), QStringLiteral("无法读取此格式文件。"));
        const QString blank = Path(QStringLiteral("blank.bmp"));
        QImage white(200, 200, QImage::Format_RGB32);
        white.fill(Qt::white);
        white.save(blank, "BMP");
        QCOMPARE(Recognise(blank), QStringLiteral("未找到 QR 代码符号。"));
    }

    void recogniseShowsSymbolZeroAndStopsAtAZeroByte() {
        // Two symbols side by side: the decoder returns them in reading order
        // and only the first (the left one) is shown.
        const QImage left(SymbolFileWith("left symbol", "left.bmp"));
        const QImage right(SymbolFileWith("right symbol", "right.bmp"));
        QImage both(left.width() + right.width(), left.height(), QImage::Format_RGB32);
        both.fill(Qt::white);
        QPainter painter(&both);
        painter.drawImage(0, 0, left);
        painter.drawImage(left.width(), 0, right);
        painter.end();
        const QString pair = Path(QStringLiteral("pair.png"));
        QVERIFY(both.save(pair, "PNG"));
        QCOMPARE(Recognise(pair), QStringLiteral("left symbol"));

        // Data holding a zero byte are shown up to that byte. The encoder takes
        // zero-terminated text, so this symbol is drawn from libqrencode.
        const QByteArray data("before\0after", 12);
        QRcode* code =
            QRcode_encodeData(data.size(), reinterpret_cast<const unsigned char*>(data.constData()), 0, QR_ECLEVEL_M);
        QVERIFY(code != nullptr);
        const int scale = 6, quiet = 4, side = (code->width + 2 * quiet) * scale;
        QImage zero(side, side, QImage::Format_RGB32);
        zero.fill(Qt::white);
        for (int y = 0; y < code->width; ++y)
            for (int x = 0; x < code->width; ++x)
                if (code->data[y * code->width + x] & 1)
                    for (int dy = 0; dy < scale; ++dy)
                        for (int dx = 0; dx < scale; ++dx)
                            zero.setPixel((x + quiet) * scale + dx, (y + quiet) * scale + dy, qRgb(0, 0, 0));
        QRcode_free(code);
        const QString zero_path = Path(QStringLiteral("zero.png"));
        QVERIFY(zero.save(zero_path, "PNG"));
        QCOMPARE(Recognise(zero_path), QStringLiteral("before"));
    }

    void recogniseRemovesTheLogoAndCancelChangesNothing() {
        ChooseLogo();
        Content()->setPlainText(QStringLiteral("keep me"));
        AnswerDialogWith(QString());
        window_->Recognise();
        QVERIFY(!Logo()->isHidden());
        QCOMPARE(Versions()->currentIndex(), 3);
        QCOMPARE(Content()->toPlainText(), QStringLiteral("keep me"));

        Recognise(Path(QStringLiteral("missing.bmp")));
        QVERIFY(Logo()->isHidden());
        QVERIFY(LogoPath()->text().isEmpty());
        QCOMPARE(Versions()->currentIndex(), 0);
        QVERIFY(Versions()->isEnabled());
    }

    void messagesAreTheSix() {
        QCOMPARE(FailureMessages().size(), 6);
        QCOMPARE(FailureMessages().at(2), QStringLiteral("读取文件时发生错误。"));
        QCOMPARE(FailureMessages().at(4), QStringLiteral("共享冲突，无法读取文件。"));
        QCOMPARE(FailureMessages().at(5), QStringLiteral("内存不足。"));
    }
};

}  // namespace apps

QTEST_MAIN(apps::MainWindowTest)
#include "main_window_test.moc"
