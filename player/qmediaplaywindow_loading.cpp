// Adding files: the open-file and open-folder dialogs, drops, and the loading thread.
#include "player/qmediaplaywindow.h"

#include "engine/qmediafileloader.h"
#include "player/qloadingdlg.h"
#include "services/qsettingxml.h"
#include "services/zrlogging.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

void QMediaPlayWindow::actOpenFile()
{
    if (m_bLoading)
        return;
    m_bWindowShowTop = true;
    const QString video = QStringLiteral(
        "*.m4v *.avi *.mts *.ts *.m2ts *.m2t *.tp *.trp *.mp4 *.mpg *.mpeg *.3gp *.3g2 *.wmv *.asf *.rm *.rmvb "
        "*.dat *.mov *.flv *.f4v *.mkv *.dv *.dvr-ms *.h.264 *.nsv *.vob *.webm *.ogv ");
    const QString audio = QStringLiteral(
        "*.mp3 *.m4a *.aac *.ac3 *.ogg *.aiff *.ape *.flac *.wav *.wma *.m4b *.m4p *.m4r *.mka *.au");
    const QString filter =
        tr("All Supported Formats(%1%2);;Apple Video files(*.m4v);;AVI Video files(*.avi);;High-definition "
           "files(*.mts *.ts *.m2ts *.m2t *.tp *.trp);; MPEG4 files(*.mp4 *.m4v);;MPEG files(*.mpg *.mpeg);;3GP "
           "files(*.3gp *.3g2);;Windows Media Video(*.wmv *.asf);; Real Media files(*.rm *.rmvb);;Audio "
           "files(*.mp3 *.m4a *.aac *.ac3 *.ogg *.aiff *.ape *.flac *.wav *.wma *.m4b *m4p *.m4r *.mka *.au);;Video "
           "CD files(*.dat);; Quick Time files(*.mov);; Flash Video files(*.flv *.f4v);;MKV files(*.mkv);; Digital "
           "Video files(*.dv);;Microsoft Digital Video Recorder(*.dvr-ms);; Raw h.264 Video files(*.h.264);; "
           "Nullsoft Stream Video(*.nsv);;Unprotected VOB Files(*.vob);;WEBM Files(*.webm);;OGV "
           "Files(*.ogv);;All files(*.*)")
            .arg(video, audio);
    const QString start = QSettingXml::getItemValue("OpenFile_Item", "OpenFile_Item_Value", ".");
    const QStringList files = QFileDialog::getOpenFileNames(this, QString(), start, QMediaFileLoader::withUpperCasePatterns(filter));
    // Only a choice starts a run: the paths of the last run are still pending.
    if (!files.isEmpty()) {
        QSettingXml::setItemValue("OpenFile_Item", "OpenFile_Item_Value", QFileInfo(files.first()).path());
        m_pendingPaths = files;
        threadLoadingFile();
    }
    m_bWindowShowTop = false;
}

void QMediaPlayWindow::actOpenDir()
{
    if (m_bLoading)
        return;
    m_bWindowShowTop = true;
    const QString start = QSettingXml::getItemValue("OpenDir_Item", "OpenDir_Item_Value", ".");
    const QString folder = QFileDialog::getExistingDirectory(this, QString(), start, QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty()) {
        qCDebug(lcZRPlayer) << "........fileName......" << folder;
        QSettingXml::setItemValue("OpenDir_Item", "OpenDir_Item_Value", folder);
        m_pendingPaths = {folder};
        threadLoadingFile();
    }
    m_bWindowShowTop = false;
}

void QMediaPlayWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(QStringLiteral("text/uri-list")))
        event->acceptProposedAction();
}

// The drag source waits for the answer to the drop, so the loading run, with its modal dialog,
// starts only after this returns.
void QMediaPlayWindow::dropEvent(QDropEvent *event)
{
    if (m_bLoading)
        return;
    QList<QString> paths;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (!url.isLocalFile())
            continue;
        qCDebug(lcZRPlayer) << url.toLocalFile();
        paths.append(url.toLocalFile());
    }
    if (paths.isEmpty())
        return;
    m_pendingPaths = paths;
    event->acceptProposedAction();
    QMetaObject::invokeMethod(this, &QMediaPlayWindow::threadLoadingFile, Qt::QueuedConnection);
}

void QMediaPlayWindow::threadLoadingFile()
{
    if (m_pendingPaths.isEmpty() || m_bLoading)
        return;
    m_bLoading = true;
    m_nTraversalStep = 0;
    m_bStopAddFile = false;
    m_pTraversalTimer->start(1000);
    if (!m_pLoadingDlg) {
        m_pLoadingDlg = new QLoadingDlg(this);
        connect(m_pLoadingDlg, &QLoadingDlg::seedStopAddFile, this, &QMediaPlayWindow::StopAddFileThree);
    }
    const QWidget *main = mainWindow();
    const QPoint corner = main->mapToGlobal(QPoint(0, 0));
    m_pLoadingDlg->move(corner.x() + (main->width() - m_pLoadingDlg->width()) / 2,
                        corner.y() + (main->height() - m_pLoadingDlg->height()) / 2);
    if (StartThread())
        m_pLoadingDlg->exec();
    else
        m_pTraversalTimer->stop();
    // Cancel closes the dialog at once; the thread ends within one file.
    JoinThread();
    m_bLoading = false;
}

void QMediaPlayWindow::OnExecute()
{
    emit emitUpdateLoadDlg({tr("Searching...")});
    const QMediaFileLoader loader(m_bStopAddFile);
    const QStringList files = loader.collectFiles(m_pendingPaths);
    // The timer belongs to the main thread.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_pTraversalTimer->stop();
            m_nTraversalStep = QMediaFileLoader::TraversalStep;
        },
        Qt::QueuedConnection);

    PlayItemInfo first;
    bool found = false;
    loader.probeFiles(
        files, [this](const QList<QString> &report) { emit emitUpdateLoadDlg(report); },
        [&](const PlayItemInfo &item) {
            emit emitDragMediaPlayItemInfo(item);
            if (!found) {
                first = item;
                found = true;
            }
        });
    if (found)
        emit emitLoadedPlayFile(first);
    else
        emit emitPlayFileFailure();
    emit emitLoadThreadCoomplete();
}

void QMediaPlayWindow::updateLoadDlg(QList<QString> list)
{
    if (!m_pLoadingDlg || list.isEmpty())
        return;
    m_pLoadingDlg->setAddFilePath(list.at(0));
    if (list.size() < 3)
        return;
    m_pLoadingDlg->setAddCount(list.at(1));
    m_pLoadingDlg->setProgressVale(list.at(2).toFloat());
}

void QMediaPlayWindow::traversalTimer()
{
    if (m_nTraversalStep < 21) {
        ++m_nTraversalStep;
        if (m_pLoadingDlg)
            m_pLoadingDlg->setProgressVale(m_nTraversalStep);
        return;
    }
    m_pTraversalTimer->stop();
    m_nTraversalStep = QMediaFileLoader::TraversalStep;
}

void QMediaPlayWindow::loadThreadCoompleted()
{
    if (m_pLoadingDlg)
        m_pLoadingDlg->close();
}

void QMediaPlayWindow::StopAddFileThree()
{
    m_bStopAddFile = true;
}
