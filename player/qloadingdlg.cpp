#include "player/qloadingdlg.h"

#include "player/qdialogkeys.h"
#include "services/qianyutil.h"
#include "toolkit/qinitctrlstyle.h"
#include "ui_qloadingdlg.h"

namespace {

const QColor White(255, 255, 255);

QString skin(const char *path)
{
    return QIAnyUtil::getResourcePath() + QLatin1String(path);
}

void setLabelStyle(QLabel *label)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, White);
    label->setPalette(palette);
}

}

QLoadingDlg::QLoadingDlg(QWidget *parent) : QZRDialogEx(parent), ui(new Ui_QLoadingDlg)
{
    ui->setupUi(this);
    Init();
    OnInitCtrl();
    installEventFilter(this);
}

QLoadingDlg::~QLoadingDlg()
{
    delete ui;
}

void QLoadingDlg::Init()
{
    setWindowTitle(QStringLiteral("ZRPlayer"));
    setDlgTitle(QStringLiteral("ZRPlayer"));
    setBackgroundImage(skin("/images/bg_1.png"), true);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setTitleRect(QRect(0, 8, 0, 0));
    QBaseDrawWidget::setAlignment(Qt::AlignCenter);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, White);
    setPalette(palette);
    setMoveTopHeight(30);
    setStretchPolicy(StretchNone);
    QInitCtrlStyle::InitFont(this, 12);
    const rectSize corner{56, 56};
    setGridViewInfo(corner, corner, corner, corner);
    setFixedSize(440, 170);
}

void QLoadingDlg::OnInitCtrl()
{
    addCloseBtn(skin("/images/btn_close.png"), true);
    QInitCtrlStyle::InitZRButton(ui->m_btnCancel, 100, 24);
    ui->m_btnCancel->setText(tr("Cancel"));
    ui->m_btnCancel->move(315, 130);
    addMinBtn(skin("/images/btn_min.png"), true);
    addMaxBtn(skin("/images/btn_max.png"), true);

    ui->m_labAddingPath->setText(tr("Add File(s):"));
    ui->m_labAdded->setText(tr("Added:"));
    for (QLabel *label : {ui->m_labAddingPath, ui->m_labAdded, ui->m_labAddingPath_2, ui->m_labAdded_2}) {
        QInitCtrlStyle::InitFont(label, 11);
        setLabelStyle(label);
    }

    ui->m_progressBar->setBottomImage(skin("/images/common/slider_bottom.png"));
    ui->m_progressBar->setTopImage(skin("/images/common/slider_top.png"));
    ui->m_progressBar->setCircle(true);
    ui->m_progressBar->setCircleLenght(4);
    ui->m_progressBar->move(34, 98);
    ui->m_progressBar->setFormat(QString());
    ui->m_progressBar->setValue(0.0);

    ui->m_labAddingPath->adjustSize();
    ui->m_labAdded->adjustSize();

    connect(m_btnClose, &QPushButton::clicked, this, &QLoadingDlg::OnCloseStop);
    connect(ui->m_btnCancel, &QPushButton::clicked, this, &QLoadingDlg::OnCloseStop);
}

void QLoadingDlg::resetControlLocation()
{
    const int W = width();
    const int H = height();
    ui->m_btnCancel->move(W - 30 - ui->m_btnCancel->width(), H - 28 - ui->m_btnCancel->height());
    ui->m_labAddingPath->move(34, 48);
    ui->m_labAdded->move(34, 73);
    // Each value 4 pixels after its caption; the path ends 34 pixels from the right edge.
    const int pathLeft = ui->m_labAddingPath->x() + ui->m_labAddingPath->width() + 4;
    ui->m_labAddingPath_2->setGeometry(pathLeft, 48, W - 35 - pathLeft + 1, ui->m_labAddingPath->height());
    ui->m_labAdded_2->setGeometry(ui->m_labAdded->x() + ui->m_labAdded->width() + 4, 73, 100,
                                  ui->m_labAdded->height());
    ui->m_progressBar->setGeometry(34, 98, W - 68, 4);
}

void QLoadingDlg::setAddFilePath(QString path)
{
    QLabel *label = ui->m_labAddingPath_2;
    label->setText(QFontMetrics(label->font()).elidedText(path, Qt::ElideMiddle, label->width()));
}

void QLoadingDlg::setAddCount(QString count)
{
    ui->m_labAdded_2->setText(count);
}

void QLoadingDlg::setProgressVale(float value)
{
    ui->m_progressBar->setValue(double(value));
}

void QLoadingDlg::OnCloseStop()
{
    close();
    emit seedStopAddFile();
}

bool QLoadingDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (QDialogKeys::handle(event, [this] { OnCloseStop(); }))
        return true;
    return QDialog::eventFilter(watched, event);
}
