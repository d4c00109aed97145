// qrmake's window on the offscreen platform: a missing library, the lists
// without a selection, the kept symbol file, the fixed mask and the
// 120-character content box.
#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "binding/library_function.h"
#include "gbk_text.h"
#include "generator_window.h"
#include "limited_text_edit.h"
#include "picture_box.h"
#include "test_support.h"

namespace apps {

class GeneratorWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    GeneratorWindow* window_ = nullptr;

    template <typename T>
    T* Control(const char* name) {
        return testing::FindControl<T>(window_, name);
    }
    QPlainTextEdit* Content() { return Control<QPlainTextEdit>("编辑框1"); }
    QString SymbolFile() const { return folder_.filePath(QStringLiteral("a.bmp")); }
    QByteArray SymbolFileBytes() const {
        QFile file(SymbolFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase() {
        QVERIFY(folder_.isValid());
        platform::OverrideProgramFolder(folder_.path().toStdString());
        window_ = new GeneratorWindow;
        window_->show();
    }

    void cleanupTestCase() { delete window_; }

    void missingLibraryIsShownInThePictureAndTheContentStays() {
        Content()->setPlainText(QStringLiteral("x"));
        window_->Generate();
        auto* picture = Control<PictureBox>("图片框1");
        QVERIFY2(picture->text().startsWith(QStringLiteral("无法加载 Mosaire.dll：")), qPrintable(picture->text()));
        QCOMPARE(Content()->toPlainText(), QStringLiteral("x"));
        QVERIFY(!picture->HasPicture());
        // Once the library is there, the next generate binds it.
        for (const char* name : {"/Mosaire.dll", "/Lectavo.dll"}) {
            QVERIFY(
                QFile::copy(QStringLiteral(QR_BIN_DIR) + QLatin1String(name), folder_.path() + QLatin1String(name)));
        }
    }

    void startsWithoutListSelections() {
        QCOMPARE(window_->size(), QSize(790, 548));
        auto* levels = Control<QComboBox>("组合框_纠错");
        auto* versions = Control<QComboBox>("组合框_版本");
        QCOMPARE(levels->currentIndex(), -1);
        QCOMPARE(levels->currentText(), QStringLiteral("L(5%)"));
        QCOMPARE(levels->count(), 4);
        QCOMPARE(versions->currentIndex(), -1);
        QCOMPARE(versions->currentText(), QStringLiteral("自动"));
        QCOMPARE(versions->count(), 41);
        QCOMPARE(versions->itemText(40), QStringLiteral("版本_40   177×177"));
        QCOMPARE(versions->parentWidget()->objectName(), QStringLiteral("分组框1"));
        QCOMPARE(Control<PictureBox>("图片框1")->geometry(), QRect(0, 0, 500, 500));
    }

    void generateKeepsTheSymbolFileWithAFixedMask() {
        Content()->setPlainText(QStringLiteral("qrmake 生成"));
        window_->Generate();
        const QByteArray first = SymbolFileBytes();
        QVERIFY(first.startsWith("BM"));
        const QImage shown = Control<PictureBox>("图片框1")->pixmap().toImage();
        QCOMPARE(shown.size(), QSize(500, 500));
        bool found = false;
        QCOMPARE(testing::ReadSymbolBytes(shown, &found), ToGbk(QStringLiteral("qrmake 生成")));
        QCOMPARE(testing::ReadSymbolLevel(shown), QStringLiteral("L"));

        // The decoder library reads the mask back: setting 5 is pattern 4.
        static platform::LibraryFunction<int(const char*)> decode{"Lectavo", "DecodePictureFile"};
        static platform::LibraryFunction<int(int)> mask{"Lectavo", "GetDecodeMaskingNo"};
        QCOMPARE(decode(SymbolFile().toUtf8().constData()), 1);
        QCOMPARE(mask(0), 4);

        window_->Generate();
        QCOMPARE(SymbolFileBytes(), first);
        Content()->setPlainText(QStringLiteral("another"));
        window_->Generate();
        QVERIFY(SymbolFileBytes() != first);
        QCOMPARE(testing::ReadSymbolBytes(QImage(SymbolFile()), &found), QByteArray("another"));
    }

    void aFailedWriteIsToldNeverTheLastSymbol() {
        Content()->setPlainText(QStringLiteral("first"));
        window_->Generate();
        QVERIFY(SymbolFileBytes().startsWith("BM"));
        Content()->setPlainText(QStringLiteral("second"));
        {
            const testing::FileSizeLimit full_disk(1024);
            window_->Generate();
        }
        auto* picture = Control<PictureBox>("图片框1");
        QVERIFY(!picture->HasPicture());
        QVERIFY2(picture->text().startsWith(QStringLiteral("无法写入文件 ")), qPrintable(picture->text()));
        QVERIFY(!QFile::exists(SymbolFile()));
        QCOMPARE(Content()->toPlainText(), QStringLiteral("second"));
    }

    void everyVersionIsShownAndSavedWhole() {
        auto* versions = Control<QComboBox>("组合框_版本");
        for (int version = 1; version <= 40; ++version) {
            const QByteArray text = "version " + QByteArray::number(version);
            Content()->setPlainText(QString::fromLatin1(text));
            versions->setCurrentIndex(version);
            window_->Generate();
            QVERIFY2(testing::IsWholeSymbol(Control<PictureBox>("图片框1")->pixmap().toImage(), version, text), text);
            QVERIFY2(testing::IsWholeSymbol(QImage(SymbolFile()), version, text), text);
        }
        versions->setCurrentIndex(-1);
    }

    void contentBoxRefusesThe121stCharacter() {
        Content()->clear();
        Content()->setFocus();
        QTest::keyClicks(Content(), QString(125, QLatin1Char('x')));
        QCOMPARE(Content()->toPlainText().size(), 120);

        // A line break counts as two characters.
        Content()->clear();
        QTest::keyClicks(Content(), QString(119, QLatin1Char('y')));
        QTest::keyClick(Content(), Qt::Key_Return);
        QCOMPARE(Content()->toPlainText(), QString(119, QLatin1Char('y')));
        QTest::keyClick(Content(), Qt::Key_Backspace);
        QTest::keyClicks(Content(), QStringLiteral("zz"));
        QCOMPARE(Content()->toPlainText().size(), 120);
        QCOMPARE(LimitedTextEdit::CountedLength(QStringLiteral("a\nb")), 4);
    }
};

}  // namespace apps

QTEST_MAIN(apps::GeneratorWindowTest)
#include "generator_window_test.moc"
