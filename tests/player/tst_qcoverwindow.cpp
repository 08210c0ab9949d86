// The idle cover: the play picture centred in the pane and the open-media button placed under it
// at every paint, also when the picture file is missing.
#include "player/qcoverwindow.h"
#include "services/qianyutil.h"
#include "toolkit/qzrbuttonext.h"

#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class tst_QCoverWindow : public QObject
{
    Q_OBJECT

private slots:
    void button();
    void buttonUnderThePicture_data();
    void buttonUnderThePicture();
    void buttonFollowsAResizeAtThePaint();
    void withoutThePicture();
    void clickOpensAFile();
};

namespace {

const QColor Panel(1, 1, 1);

QString picturePath()
{
    return QIAnyUtil::getResourcePath() + "/images/playIcon.png";
}

// Set in a copy of this test that runs from a tree whose resource folder lacks the picture.
bool pictureRemoved()
{
    return qEnvironmentVariableIsSet("ZR_COVER_WITHOUT_PICTURE");
}

QZRButtonExt *openButton(QCoverWindow &cover)
{
    return cover.findChild<QZRButtonExt *>("m_btnOpenMedia");
}

// The picture as the pane draws it: at half its pixel size on the panel colour.
QImage pictureOnPanel(const QImage &picture)
{
    QImage out(picture.size() / 2, QImage::Format_RGB32);
    out.fill(Panel);
    QImage scaled = picture;
    scaled.setDevicePixelRatio(2.0);
    QPainter painter(&out);
    painter.drawImage(QPoint(0, 0), scaled);
    return out;
}

}

void tst_QCoverWindow::button()
{
    QCoverWindow cover;
    QZRButtonExt *b = openButton(cover);
    QVERIFY(b);
    QCOMPARE(b->text(), QString("Open media..."));
    // The size set last replaces the one the skin gave.
    QCOMPARE(b->size(), QSize(120, 30));
    QVERIFY(cover.testAttribute(Qt::WA_MouseTracking));
    QCOMPARE(b->currentDrawColor(), QColor(210, 210, 210));
}

void tst_QCoverWindow::buttonUnderThePicture_data()
{
    QTest::addColumn<QSize>("pane");
    QTest::newRow("form size") << QSize(711, 553);
    QTest::newRow("odd sizes") << QSize(301, 199);
    QTest::newRow("large") << QSize(1600, 1000);
}

void tst_QCoverWindow::buttonUnderThePicture()
{
    QFETCH(QSize, pane);
    QCoverWindow cover;
    cover.resize(pane);
    const QImage picture(picturePath());
    QCOMPARE(picture.isNull(), pictureRemoved());

    const QImage shot = cover.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int W = pane.width(), H = pane.height();
    const int bw = openButton(cover)->width();
    QCOMPARE(shot.pixelColor(1, 1), Panel);
    QCOMPARE(shot.pixelColor(W - 2, H - 2), Panel);
    if (pictureRemoved()) {
        // Nothing to centre on: the button sits just below the middle of the plain panel.
        QCOMPARE(openButton(cover)->pos(), QPoint(W / 2 + (-bw) / 2 + 5, H / 2 + 20));
        QCOMPARE(shot.pixelColor(W / 2, H / 2 - 10), Panel);
        return;
    }
    const int iw = picture.width() / 2, ih = picture.height() / 2;
    const int left = (W - iw) / 2, top = (H - ih) / 2;
    QCOMPARE(shot.copy(left, top, iw, ih), pictureOnPanel(picture));
    QCOMPARE(shot.pixelColor(left - 1, top + ih / 2), Panel);
    // Centred under the picture, 5 pixels right of centre and 20 pixels below it.
    QCOMPARE(openButton(cover)->pos(), QPoint(left + (iw - bw) / 2 + 5, top + ih + 20));
}

void tst_QCoverWindow::buttonFollowsAResizeAtThePaint()
{
    if (pictureRemoved())
        QSKIP("needs the picture");
    QCoverWindow cover;
    cover.resize(711, 553);
    cover.show();
    QVERIFY(QTest::qWaitForWindowExposed(&cover));
    const QImage picture(picturePath());
    auto placeFor = [&](QSize pane) {
        const int iw = picture.width() / 2, ih = picture.height() / 2;
        const int left = (pane.width() - iw) / 2, top = (pane.height() - ih) / 2;
        return QPoint(left + (iw - 120) / 2 + 5, top + ih + 20);
    };
    QTRY_COMPARE(openButton(cover)->pos(), placeFor(QSize(711, 553)));
    cover.resize(900, 700);
    QTRY_COMPARE(openButton(cover)->pos(), placeFor(QSize(900, 700)));
}

// Runs the placement test again in a copy of this program whose resource folder holds the
// button skin but no picture.
void tst_QCoverWindow::withoutThePicture()
{
    if (pictureRemoved())
        QSKIP("already the copy");
    QTemporaryDir tree;
    QVERIFY(tree.isValid());
    QVERIFY(QDir().mkpath(tree.filePath("bin")));
    QVERIFY(QDir().mkpath(tree.filePath("Resources/images/PlayerImage")));
    const QString program = tree.filePath("bin/tst_qcoverwindow");
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
    QVERIFY(QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner));
    const QString skin = "/images/PlayerImage/btn_openFIle.png";
    QVERIFY(QFile::copy(QIAnyUtil::getResourcePath() + skin, tree.filePath("Resources") + skin));

    QProcess copy;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZR_COVER_WITHOUT_PICTURE", "1");
    copy.setProcessEnvironment(environment);
    copy.setProcessChannelMode(QProcess::MergedChannels);
    copy.start(program, {"buttonUnderThePicture"});
    QVERIFY(copy.waitForFinished(120000));
    const QString output = QString::fromLocal8Bit(copy.readAll());
    QVERIFY2(copy.exitStatus() == QProcess::NormalExit && copy.exitCode() == 0, qPrintable(output));
    QVERIFY2(output.contains("Totals: 5 passed, 0 failed"), qPrintable(output));
}

void tst_QCoverWindow::clickOpensAFile()
{
    QCoverWindow cover;
    cover.resize(711, 553);
    cover.show();
    QVERIFY(QTest::qWaitForWindowExposed(&cover));
    QSignalSpy open(&cover, &QCoverWindow::emitOpenFile);
    QTest::mouseClick(openButton(cover), Qt::LeftButton, Qt::NoModifier, QPoint(60, 15));
    QCOMPARE(open.count(), 1);
}

QTEST_MAIN(tst_QCoverWindow)
#include "tst_qcoverwindow.moc"
