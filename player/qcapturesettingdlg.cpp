#include "player/qcapturesettingdlg.h"

#include "player/qdialogkeys.h"
#include "services/qianyutil.h"
#include "services/qsettingxml.h"
#include "toolkit/qinitctrlstyle.h"
#include "ui_qcapturesettingdlg.h"

#include <QDir>
#include <QFileDialog>

namespace {

QString skin(const char *path)
{
    return QIAnyUtil::getResourcePath() + QLatin1String(path);
}

int rightOf(const QWidget *control)
{
    return control->x() + control->width();
}

int bottomOf(const QWidget *control)
{
    return control->y() + control->height();
}

}

QCaptureSettingDlg::QCaptureSettingDlg(QWidget *parent) : QZRDialog(parent), ui(new Ui_QCaptureSettingDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setDlgTitle(tr("Snapshot Setting"));
    setTitleRect(QRect(0, 8, 0, 0));
    QBaseDrawWidget::setAlignment(Qt::AlignCenter);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 255, 255));
    setPalette(palette);
    setMoveTopHeight(30);
    setStretchWidth(6);
    setBackgroundImage(skin("/images/bg_1.png"), false);
    setAttribute(Qt::WA_TranslucentBackground);
    QFont font = this->font();
    font.setFamily(QStringLiteral("Tahoma"));
    font.setPixelSize(12);
    setFont(font);
    initControls();
    initCbbSuffix();
    setSavePath();
    setFixedSize(360, 230);
    const rectSize corner{50, 50};
    setGridViewInfo(corner, corner, corner, corner);
    installEventFilter(this);
}

QCaptureSettingDlg::~QCaptureSettingDlg()
{
    delete ui;
}

void QCaptureSettingDlg::initControls()
{
    ui->m_btnClose->setButtonImage(skin("/images/btn_close.png"), true);
    ui->m_btnMin->setButtonImage(skin("/images/btn_min.png"), true);
    ui->m_btnMin->setEnabled(false);
    ui->m_btnMax->setButtonImage(skin("/images/btn_max.png"), true);
    ui->m_btnMax->setEnabled(false);
    ui->m_btnOpen->setButtonImage(skin("/images/Settings/btn_family.png"), true);
    ui->m_btnOpen->setToolTip(tr("Please choose destination folder"));

    QInitCtrlStyle::InitQZRLineEdit(ui->m_editPath);
    ui->m_editPath->setAlignment(Qt::AlignLeft | Qt::AlignHCenter);
    ui->m_editPath->setReadOnly(true);
    ui->m_editPath->resize(200, 24);

    QInitCtrlStyle::InitLabel2(ui->m_labFormat, tr("Format:"), 12);
    QInitCtrlStyle::InitLabel2(ui->m_labPath, tr("Save to:"), 12);

    QInitCtrlStyle::InitZRButton(ui->m_btnCancel, 64, 28);
    QInitCtrlStyle::InitZRButton(ui->m_btnOk, 64, 28);

    QInitCtrlStyle::InitZRCombox(ui->m_cmbFormat, 100, 24, QString());
    ui->m_cmbFormat->setBtnMargins(83, 8, 0, 0);
    ui->m_cmbFormat->addItems({QStringLiteral("JPG"), QStringLiteral("PNG")});
    ui->m_cmbFormat->setCurrentIndex(0);

    connect(ui->m_btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->m_btnCancel, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->m_btnOpen, &QPushButton::clicked, this, &QCaptureSettingDlg::onOpenPath);
    connect(ui->m_btnOk, &QPushButton::clicked, this, &QCaptureSettingDlg::onOk);
}

// Only an exact match selects: a suffix stored in another letter case leaves "JPG".
void QCaptureSettingDlg::initCbbSuffix()
{
    const int index = ui->m_cmbFormat->findText(QSettingXml::getCaptureImgSuffix(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        ui->m_cmbFormat->setCurrentIndex(index);
}

void QCaptureSettingDlg::setSavePath()
{
    m_strSavePath = QSettingXml::getCaptrueImaSavePath();
    if (!QDir(m_strSavePath).exists())
        QDir().mkpath(m_strSavePath);
    m_strSavePath.replace(QLatin1Char('\\'), QLatin1Char('/'));
    ui->m_editPath->setText(m_strSavePath);
    ui->m_editPath->setCursorPosition(0);
}

void QCaptureSettingDlg::onOpenPath()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Save to"), QStringLiteral("."),
                                                             QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (!folder.isEmpty()) {
        m_strSavePath = folder;
        ui->m_editPath->setText(folder);
    }
    ui->m_editPath->setCursorPosition(0);
}

void QCaptureSettingDlg::onOk()
{
    QSettingXml::setCaptureImgSuffix(ui->m_cmbFormat->currentText());
    QSettingXml::setCaptrueImaPath(m_strSavePath);
    accept();
}

bool QCaptureSettingDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (QDialogKeys::handle(event, [this] { close(); }))
        return true;
    return QDialog::eventFilter(watched, event);
}

void QCaptureSettingDlg::closeEvent(QCloseEvent *event)
{
    emit emitDlgClose();
    QDialog::closeEvent(event);
}

void QCaptureSettingDlg::resetControlLocation()
{
    const int W = width();
    const int H = height();
    ui->m_btnClose->move(13, 13);
    ui->m_btnMin->move(rightOf(ui->m_btnClose) + 8, 13);
    ui->m_btnMax->move(rightOf(ui->m_btnMin) + 8, 13);
    ui->m_labFormat->move(28, 63);
    ui->m_cmbFormat->move(rightOf(ui->m_labFormat) + 5, ui->m_labFormat->y());
    ui->m_labPath->move(28, bottomOf(ui->m_labFormat) + 19);
    ui->m_editPath->move(rightOf(ui->m_labPath) + 5, ui->m_labPath->y());
    ui->m_btnOpen->move(rightOf(ui->m_editPath) - 1, ui->m_labPath->y());
    ui->m_btnCancel->move(W - 28 - ui->m_btnCancel->width(), H - 28 - ui->m_btnCancel->height());
    ui->m_btnOk->move(ui->m_btnCancel->x() - 20 - ui->m_btnOk->width(), ui->m_btnCancel->y());
}
