// Snapshots of the playing picture and their settings.
#include "player/qmediaplaywindow.h"

#include "engine/zrhelper.h"
#include "engine/zrqplayobject.h"
#include "player/qcapturesettingdlg.h"
#include "services/qsettingxml.h"
#include "shell/qmenumanager.h"
#include "toolkit/qzrmenu.h"

#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QFile>

namespace {

QString captureTime()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmsszzz"));
}

}

void QMediaPlayWindow::ininScreenshotsInfo()
{
    m_strImgSuffix = QSettingXml::getCaptureImgSuffix();
    m_strImgFolder = QSettingXml::getCaptrueImaSavePath().replace(QLatin1Char('\\'), QLatin1Char('/'));
}

void QMediaPlayWindow::OnScreenshots()
{
    if (m_bAudioOnly)
        return;
    if (!QDir(m_strImgFolder).exists()) {
        showOpacityMsgDlg(QStringLiteral("\"%1\"%2").arg(m_strImgFolder, tr("is not exists")));
        return;
    }
    const QString name = QStringLiteral("ScreenCapture_%1.%2").arg(captureTime(), m_strImgSuffix.toLower());
    const QString path = QStringLiteral("%1/%2").arg(m_strImgFolder, name);
    if (!m_pPlayObject)
        return;
    if (m_pPlayObject->Screenshots(path, m_strImgSuffix))
        showOpacityMsgDlg(tr("Snapshot successfully!"));
    else
        showOpacityMsgDlg(tr("Snapshot failed!"));
}

void QMediaPlayWindow::OnScreenshotsMenu()
{
    if (m_pMenuManager)
        m_pMenuManager->getScreenshotsMenu()->popup(QCursor::pos());
}

void QMediaPlayWindow::openImgPath()
{
    ZRHelper::setOpenFinder(QSettingXml::getCaptrueImaSavePath());
}

void QMediaPlayWindow::showPathSettingDlg()
{
    m_bWindowShowTop = true;
    QCaptureSettingDlg dialog(this);
    const QWidget *main = mainWindow();
    const QPoint corner = main->mapToGlobal(QPoint(0, 0));
    dialog.move(corner.x() + (main->width() - dialog.width()) / 2, corner.y() + (main->height() - dialog.height()) / 2);
    if (dialog.exec() == QDialog::Accepted)
        ininScreenshotsInfo();
    m_bWindowShowTop = false;
}

QString QMediaPlayWindow::getScreenshotOutpath()
{
    const QString folder = QSettingXml::getCaptrueImaSavePath();
    if (!QDir(folder).exists())
        QDir().mkpath(folder);
    const QString stem = QStringLiteral("ScreenCapture_") + captureTime();
    QString path = QStringLiteral("%1/%2.%3").arg(folder, stem, QStringLiteral("png")).replace("//", "/");
    for (int n = 1; QFile::exists(path); ++n)
        path = QStringLiteral("%1/%2(%3).%4").arg(folder, stem).arg(n).arg(QStringLiteral("png")).replace("//", "/");
    return path;
}
