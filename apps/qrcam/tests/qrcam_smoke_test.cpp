// qrcam in a real X server: the program starts and stays up, and a replayed
// decode runs in a shown window, whose picture is saved for inspection.
#include <QComboBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "camera_window.h"
#include "replay_fixture.h"

namespace {

// The window as the X server shows it, once pending painting is done.
void SaveScreenshot(const QWidget& window, const QString& path) {
    QTest::qWait(200);
    const QPixmap shot = window.screen()->grabWindow(window.winId());
    QVERIFY(!shot.isNull());
    QVERIFY(shot.save(path));
}

}  // namespace

class QrcamSmokeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void programStartsAndStaysUp();
    void replayedDecodeInAShownWindow();
};

void QrcamSmokeTest::initTestCase() {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        QSKIP("needs an X server (run under xvfb-run)");
    }
}

void QrcamSmokeTest::programStartsAndStaysUp() {
    QProcess qrcam;
    qrcam.start(QCoreApplication::applicationDirPath() + QStringLiteral("/qrcam"), {});
    QVERIFY(qrcam.waitForStarted());
    QVERIFY(!qrcam.waitForFinished(1500));  // still running: the window is up
    qrcam.terminate();
    if (!qrcam.waitForFinished(3000)) qrcam.kill();
}

void QrcamSmokeTest::replayedDecodeInAShownWindow() {
    QTemporaryDir program_folder;
    QTemporaryDir replay_folder;
    QVERIFY(qrcam_test::UseProgramFolder(program_folder.path()));
    const QString text = QStringLiteral("qrcam 摄像头识别");
    QVERIFY(qrcam_test::BlankPicture().save(replay_folder.filePath(QStringLiteral("1.png"))));
    QVERIFY(qrcam_test::SymbolPicture(text.toUtf8()).save(replay_folder.filePath(QStringLiteral("2.png"))));
    qputenv("VISTREL_REPLAY_DIR", replay_folder.path().toUtf8());

    qrcam::CameraWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.findChild<QPushButton*>(QStringLiteral("搜索按钮"))->click();
    auto* sources = window.findChild<QComboBox*>(QStringLiteral("组合框"));
    sources->setCurrentIndex(sources->count() - 1);
    window.findChild<QPushButton*>(QStringLiteral("按钮2"))->click();
    auto* decode = window.findChild<QPushButton*>(QStringLiteral("按钮1"));
    auto* timer = window.findChild<QTimer*>(QStringLiteral("时钟1"));
    auto* box = window.findChild<QPlainTextEdit*>(QStringLiteral("编辑框1"));

    // Hold the loop after its first grab (the blank frame) to see it running.
    const auto hold = connect(box, &QPlainTextEdit::textChanged, timer, &QTimer::stop);
    decode->click();
    QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), 20000);
    disconnect(hold);
    QCOMPARE(box->toPlainText(), QString::fromUtf8(qrcam_test::kBlankMessage));
    SaveScreenshot(window, QStringLiteral(QRCAM_SCREENSHOT "-running.png"));

    decode->click();  // the next grab is the symbol
    QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), 20000);
    QCOMPARE(box->toPlainText(), text);
    SaveScreenshot(window, QStringLiteral(QRCAM_SCREENSHOT "-decoded.png"));
    qunsetenv("VISTREL_REPLAY_DIR");
}

QTEST_MAIN(QrcamSmokeTest)
#include "qrcam_smoke_test.moc"
