#include "shell/qaboutdlg.h"

#include "engine/qconverteroperate.h"
#include "player/qdialogkeys.h"
#include "player/qmediaplaywindowflags.h"
#include "services/qianyutil.h"
#include "services/zrcommoninterface.h"
#include "shell/qzrprojectplatform.h"
#include "toolkit/qzrbasebutton.h"
#include "ui_qaboutdlg.h"

#include <QDesktopServices>
#include <QPainter>
#include <QPointer>
#include <QUrl>

namespace {

const int FrenchLanguage = 3;

}

QAboutDlg::QAboutDlg(QWidget *parent) : QZRDialogEx(parent), ui(new Ui_QAboutDlg)
{
    ui->setupUi(this);
    Init();
    InitCtrl();
    m_icon.load(QIAnyUtil::getResourcePath() + "/images/icon600x600.png");
    installEventFilter(this);
}

QAboutDlg::~QAboutDlg()
{
    delete ui;
}

void QAboutDlg::showAbout(QWidget *owner)
{
    QMediaPlayWindowFlags::m_bWindowShowTop = true;
    // On the heap and guarded: an owner that dies during exec() takes the box with it.
    QPointer<QAboutDlg> dialog = new QAboutDlg(owner);
    if (auto *frame = dynamic_cast<QBaseDrawWidget *>(owner))
        frame->CenterDlg(*dialog);
    dialog->exec();
    QMediaPlayWindowFlags::m_bWindowShowTop = false;
    delete dialog;
}

void QAboutDlg::Init()
{
    initSkin(tr("About"), QSize(400, 250));
}

void QAboutDlg::InitCtrl()
{
    addCloseBtn(QIAnyUtil::getResourcePath() + "/images/btn_close.png", true);
    connect(m_btnClose, &QPushButton::clicked, this, &QWidget::close);
    addMinBtn(QIAnyUtil::getResourcePath() + "/images/btn_min.png", true);
    addMaxBtn(QIAnyUtil::getResourcePath() + "/images/btn_max.png", true);

    ui->m_labProject->setText(QStringLiteral("ZRPlayer"));
    ui->m_labVersion->setText(QString("%1 %2").arg(tr("Version"), ZrCommonInterface::getAppVersion()));
    ui->m_labCopyright->setText(tr("© 2024 Quorvane. All rights reserved."));
    ui->m_labVisit->setText(tr("Visit:"));
    ui->m_labProjectVersion->clear();
    ui->m_labProject->adjustSize();
    ui->m_labVisit->adjustSize();
    ui->m_labVisit->resize(ui->m_labVisit->width(), 21);

    const QString home = QZRProjectPlatform::homePage();
    ui->m_labHome->setText(
        QString("<style> a {text-decoration: 1} </style> <a style='color: %1;' href = %2> %3</a>")
            .arg(QColor(255, 255, 255).name(), home, home));

    QFont labelFont = ui->m_labProject->font();
    labelFont.setFamily(QStringLiteral("helvetica neue"));
    labelFont.setPointSize(15);
    ui->m_labProject->setFont(labelFont);
    ui->m_labProject->adjustSize();
    labelFont.setPointSize(13);
    ui->m_labVersion->setFont(labelFont);
    ui->m_labVisit->setFont(labelFont);
    ui->m_labHome->setFont(labelFont);
    if (QConverterOperate::getLanguageType() == FrenchLanguage) {
        labelFont.setPixelSize(10);
        ui->m_labCopyright->setFont(labelFont);
    }

    for (QLabel *label : {ui->m_labProject, ui->m_labVersion, ui->m_labVisit, ui->m_labHome, ui->m_labCopyright})
        setLabelStyle(*label);
    connect(ui->m_labHome, &QLabel::linkActivated, this, &QAboutDlg::OnClickHome);
}

void QAboutDlg::setLabelStyle(QLabel &label)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label.setPalette(palette);
}

void QAboutDlg::OnClickHome(QString)
{
    QDesktopServices::openUrl(QUrl(QZRProjectPlatform::homePage()));
}

void QAboutDlg::resetControlLocation()
{
    QZRDialogEx::resetControlLocation();
    ui->m_labProject->move(140, 80);
    ui->m_labProjectVersion->move(ui->m_labProject->x() + ui->m_labProject->width() + 5, 78);
    ui->m_labVersion->setGeometry(140, 100, 300, 20);
    // "Visit:" at its natural width in the font it has by now.
    ui->m_labVisit->setGeometry(50, 150, ui->m_labVisit->sizeHint().width(), 21);
    ui->m_labHome->move(ui->m_labVisit->x() + ui->m_labVisit->width() + 4, 150);
    ui->m_labCopyright->move(50, 180);
}

void QAboutDlg::paintEvent(QPaintEvent *event)
{
    QZRDialogEx::paintEvent(event);
    if (m_icon.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(QPoint(50, 61), m_icon.scaled(70, 70, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

bool QAboutDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (QDialogKeys::handle(event, [this] { close(); }))
        return true;
    return QZRDialogEx::eventFilter(watched, event);
}
