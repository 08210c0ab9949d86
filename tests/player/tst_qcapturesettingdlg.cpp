// The snapshot settings dialog on its own: what it shows from the stored settings, that only OK
// stores, which keys it answers, and where its controls lie.
#include "player/qcapturesettingdlg.h"

#include "services/qianyutil.h"
#include "services/qsettingxml.h"
#include "toolkit/qzrbasebutton.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

class tst_QCaptureSettingDlg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void closing_data();
    void closing();
    void escapeDoesNothing();
    void storedSuffix_data();
    void storedSuffix();
    void storedFolderMadeAgain();
    void layout();

private:
    QTemporaryDir m_dir;
};

namespace {

template <class T>
T *child(const QObject *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

QByteArray storedSettings()
{
    QFile file(QIAnyUtil::getAppDataPath() + "/ScreenShotsSetting.xml");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the action inside the dialog's own modal loop and returns exec's result.
int runWith(QCaptureSettingDlg &dialog, const std::function<void()> &action)
{
    QTimer::singleShot(0, &dialog, action);
    return dialog.exec();
}

}

void tst_QCaptureSettingDlg::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QSettingXml::getCaptureImgSuffix();
    QSettingXml::setCaptureImgSuffix("JPG");
    QSettingXml::setCaptrueImaPath(m_dir.path());
}

void tst_QCaptureSettingDlg::closing_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("result");
    QTest::newRow("Cancel") << "m_btnCancel" << int(QDialog::Rejected);
    QTest::newRow("the close button") << "m_btnClose" << int(QDialog::Rejected);
    QTest::newRow("Ctrl+W") << "ctrl+w" << int(QDialog::Rejected);
    QTest::newRow("OK") << "m_btnOk" << int(QDialog::Accepted);
}

// A format picked and then dismissed stores nothing; OK stores the format and the folder.
void tst_QCaptureSettingDlg::closing()
{
    QFETCH(QString, way);
    QFETCH(int, result);
    const QByteArray before = storedSettings();
    QCaptureSettingDlg dialog;
    QSignalSpy closed(&dialog, &QCaptureSettingDlg::emitDlgClose);
    const int answer = runWith(dialog, [&] {
        child<QComboBox>(&dialog, "m_cmbFormat")->setCurrentIndex(1);
        if (way == "ctrl+w")
            QTest::keyClick(&dialog, Qt::Key_W, Qt::ControlModifier);
        else
            child<QZRBaseButton>(&dialog, qPrintable(way))->click();
    });
    QCOMPARE(answer, result);
    if (result == QDialog::Accepted) {
        QCOMPARE(QSettingXml::getCaptureImgSuffix(), QString("PNG"));
        QCOMPARE(QSettingXml::getCaptrueImaSavePath(), m_dir.path());
        QSettingXml::setCaptureImgSuffix("JPG");
    } else {
        QCOMPARE(closed.count(), 1);
        QCOMPARE(storedSettings(), before);
    }
}

void tst_QCaptureSettingDlg::escapeDoesNothing()
{
    QCaptureSettingDlg dialog;
    bool stillUp = false;
    const int answer = runWith(dialog, [&] {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QTest::keyClick(child<QComboBox>(&dialog, "m_cmbFormat"), Qt::Key_Escape);
        stillUp = dialog.isVisible();
        dialog.close();
    });
    QVERIFY(stillUp);
    QCOMPARE(answer, int(QDialog::Rejected));
}

void tst_QCaptureSettingDlg::storedSuffix_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("PNG") << "PNG" << "PNG";
    QTest::newRow("JPG") << "JPG" << "JPG";
    QTest::newRow("another letter case") << "png" << "JPG";
    QTest::newRow("unknown") << "GIF" << "JPG";
}

void tst_QCaptureSettingDlg::storedSuffix()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QSettingXml::setCaptureImgSuffix(stored);
    QCaptureSettingDlg dialog;
    QCOMPARE(child<QComboBox>(&dialog, "m_cmbFormat")->currentText(), shown);
    QCOMPARE(child<QComboBox>(&dialog, "m_cmbFormat")->count(), 2);
    QSettingXml::setCaptureImgSuffix("JPG");
}

void tst_QCaptureSettingDlg::storedFolderMadeAgain()
{
    const QString folder = m_dir.path() + "/deleted/again";
    QSettingXml::setCaptrueImaPath(folder);
    QCaptureSettingDlg dialog;
    QVERIFY(QDir(folder).exists());
    auto *field = child<QLineEdit>(&dialog, "m_editPath");
    QCOMPARE(field->text(), folder);
    QCOMPARE(field->cursorPosition(), 0);
    QVERIFY(field->isReadOnly());
    QSettingXml::setCaptrueImaPath(m_dir.path());
}

void tst_QCaptureSettingDlg::layout()
{
    QCaptureSettingDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.size(), QSize(360, 230));
    QCOMPARE(dialog.windowFlags(), Qt::Dialog | Qt::FramelessWindowHint);
    QCOMPARE(child<QWidget>(&dialog, "m_btnClose")->pos(), QPoint(13, 13));
    QVERIFY(!child<QWidget>(&dialog, "m_btnMin")->isEnabled());
    QVERIFY(!child<QWidget>(&dialog, "m_btnMax")->isEnabled());
    const QWidget *format = child<QWidget>(&dialog, "m_labFormat");
    const QWidget *combo = child<QWidget>(&dialog, "m_cmbFormat");
    const QWidget *path = child<QWidget>(&dialog, "m_labPath");
    const QWidget *field = child<QWidget>(&dialog, "m_editPath");
    const QWidget *open = child<QWidget>(&dialog, "m_btnOpen");
    QCOMPARE(format->pos(), QPoint(28, 63));
    QCOMPARE(combo->pos(), QPoint(format->x() + format->width() + 5, 63));
    QCOMPARE(combo->size(), QSize(100, 24));
    QCOMPARE(path->pos(), QPoint(28, 63 + format->height() + 19));
    QCOMPARE(field->geometry(), QRect(path->x() + path->width() + 5, path->y(), 200, 24));
    QCOMPARE(open->pos(), QPoint(field->x() + field->width() - 1, path->y()));
    QCOMPARE(child<QWidget>(&dialog, "m_btnCancel")->geometry(), QRect(360 - 28 - 64, 230 - 28 - 28, 64, 28));
    QCOMPARE(child<QWidget>(&dialog, "m_btnOk")->geometry(), QRect(360 - 28 - 64 - 20 - 64, 230 - 28 - 28, 64, 28));
    QCOMPARE(open->toolTip(), QString("Please choose destination folder"));
}

QTEST_MAIN(tst_QCaptureSettingDlg)
#include "tst_qcapturesettingdlg.moc"
