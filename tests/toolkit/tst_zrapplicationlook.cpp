// The program's look where no skin is drawn: Qt's own file and colour dialogs, which the program opens
// as the system's, come up dark with light text, and the forms' font families resolve to the interface
// font that the setup installs.
#include "toolkit/zrapplicationlook.h"
#include "textcontrast.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QtTest>

class tst_ZrApplicationLook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void systemDialogsAreDark_data();
    void systemDialogsAreDark();
    void formFamiliesResolve_data();
    void formFamiliesResolve();
};

void tst_ZrApplicationLook::initTestCase()
{
    ZrApplicationLook::install();
}

void tst_ZrApplicationLook::systemDialogsAreDark_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("file dialog") << "file";
    QTest::newRow("colour dialog") << "colour";
}

void tst_ZrApplicationLook::systemDialogsAreDark()
{
    QFETCH(QString, kind);
    std::unique_ptr<QDialog> dialog;
    if (kind == "file")
        dialog.reset(new QFileDialog(nullptr, QString(), QDir::homePath()));
    else
        dialog.reset(new QColorDialog(Qt::white));
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get(), 120000));
    const QImage picture = dialog->grab().toImage();

    // What most of the dialog is drawn in is no lighter than the house selection grey.
    const QRgb background = backgroundAndInk(picture, dialog->rect()).first;
    QVERIFY2(relativeLuminance(background) <= relativeLuminance(qRgb(73, 73, 73)), qPrintable(QColor(background).name()));

    // Its labels read as well as the rest of the program's texts.
    int labels = 0;
    for (QLabel *label : dialog->findChildren<QLabel *>()) {
        if (!label->isVisible() || label->text().trimmed().isEmpty() || label->pixmap())
            continue;
        const QRect area(label->mapTo(dialog.get(), QPoint()), label->size());
        const auto colours = backgroundAndInk(picture, area);
        QVERIFY2(contrastRatio(colours.first, colours.second) >= 4.5,
                 qPrintable(label->text() + ": " + QColor(colours.second).name() + " on " + QColor(colours.first).name()));
        QVERIFY(relativeLuminance(colours.second) > relativeLuminance(colours.first));
        ++labels;
    }
    QVERIFY(labels > 0);
}

void tst_ZrApplicationLook::formFamiliesResolve_data()
{
    QTest::addColumn<QString>("family");
    QTest::newRow("Tahoma") << "Tahoma";
    QTest::newRow("helvetica neue") << "helvetica neue";
}

void tst_ZrApplicationLook::formFamiliesResolve()
{
    QFETCH(QString, family);
    QFont font(family);
    font.setPixelSize(12);
    QCOMPARE(QFontInfo(font).family(), QString("Liberation Sans"));
    QCOMPARE(QFontInfo(QApplication::font()).family(), QString("Liberation Sans"));
}

QTEST_MAIN(tst_ZrApplicationLook)
#include "tst_zrapplicationlook.moc"
