// qrbench as a program: two copies sharing one folder, a run without a
// window, and a smoke run in a real X server.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "test_support.h"

namespace apps {

class ProcessesTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    QString program_;

    static QByteArray Decoded(const QString& path) {
        bool found = false;
        return testing::ReadSymbolBytes(QImage(path), &found);
    }

private slots:
    void initTestCase() {
        QVERIFY(folder_.isValid());
        // A private copy, so the program folder is ours alone.
        program_ = folder_.filePath(QStringLiteral("qrbench"));
        QVERIFY(QFile::copy(QStringLiteral(QRBENCH_PATH), program_));
    }

    void secondCopyLeavesTheFirstWorking() {
        QProcess first;
        first.start(program_, {QStringLiteral("--headless"), folder_.filePath(QStringLiteral("1.bmp")),
                               QStringLiteral("--serve")});
        QVERIFY(first.waitForStarted());
        QVERIFY(first.waitForReadyRead(30000));
        const QByteArray sample = Decoded(folder_.filePath(QStringLiteral("1.bmp")));
        QVERIFY(sample.startsWith("Hello from the QR suite"));

        // The second copy writes the library files again while the first has
        // them loaded.
        QProcess second;
        second.start(program_, {QStringLiteral("--headless"), folder_.filePath(QStringLiteral("2.bmp"))});
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(second.readAllStandardOutput().contains("2.bmp"));

        first.readAllStandardOutput();
        first.write(folder_.filePath(QStringLiteral("3.bmp")).toUtf8() + "\n");
        QVERIFY(first.waitForReadyRead(30000));
        first.closeWriteChannel();
        QVERIFY(first.waitForFinished(30000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(Decoded(folder_.filePath(QStringLiteral("3.bmp"))), sample);
        QCOMPARE(Decoded(folder_.filePath(QStringLiteral("2.bmp"))), sample);
        QVERIFY(!QFile::exists(folder_.filePath(QStringLiteral("a.bmp"))));
    }

    void windowRunsInARealXServer() {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
        if (xvfb.isEmpty()) QSKIP("xvfb-run is not installed");
        const QString shot = folder_.filePath(QStringLiteral("shot.png"));
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        run.setProcessEnvironment(env);
        run.start(xvfb, {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1024x768x24"), program_,
                         QStringLiteral("--screenshot"), shot, QStringLiteral("--text"), QStringLiteral("smoke")});
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitCode(), 0);
        const QImage picture(shot);
        QCOMPARE(picture.size(), QSize(793, 539));
        // The symbol sits in the picture box at (8, 7).
        bool found = false;
        QCOMPARE(testing::ReadSymbolBytes(picture.copy(8, 7, 500, 500), &found), QByteArray("smoke"));
    }
};

}  // namespace apps

QTEST_MAIN(apps::ProcessesTest)
#include "processes_test.moc"
