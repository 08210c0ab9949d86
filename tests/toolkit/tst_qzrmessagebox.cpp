// The message box: wrapping, sizes, layout and the codes ShowMessage returns.
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrmessagebox.h"

#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

const int MaxLine = 500;

int lineWidth(const QFontMetrics &metrics, const QString &text)
{
    return metrics.boundingRect(QRect(), Qt::TextSingleLine, text).width();
}

// Runs action on the first message box that shows up.
void whenShown(const std::function<void(QZRMessageBox *)> &action)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QZRMessageBox *>(widget);
            if (box && box->isVisible()) {
                timer->stop();
                timer->deleteLater();
                action(box);
                return;
            }
        }
    });
    timer->start();
}

QZRBaseButton *buttonWithText(QZRMessageBox *box, const QString &text)
{
    for (QZRBaseButton *button : box->findChildren<QZRBaseButton *>())
        if (button->text() == text)
            return button;
    return nullptr;
}

QString houseOk;
void renameOk(QZRMessageBoxOption *option)
{
    option->okText = houseOk;
}

}

class tst_QZRMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void wrap_data();
    void wrap();
    void wrap_longWordIsCutWhereItStopsFitting_data();
    void wrap_longWordIsCutWhereItStopsFitting();
    void wrap_manyWordsFillLines();
    void textSize_data();
    void textSize();
    void emptyMessageKeepsMinimumSize();
    void fixedSizeNeverBelowMinimum_data();
    void fixedSizeNeverBelowMinimum();
    void buttonsSitAtBottomRight();
    void showMessageReturnsCode_data();
    void showMessageReturnsCode();
    void stayOnTopParent();
    void parentDyingDuringExec();
    void optionCallbackChangesEveryNewBox();
};

void tst_QZRMessageBox::wrap_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("wrapped");

    QTest::newRow("empty") << "" << "";
    QTest::newRow("short") << "File playback failed!" << "File playback failed!";
    QTest::newRow("two spaces survive") << "a  b" << "a  b";
    QTest::newRow("leading and trailing spaces") << " a " << " a ";
}

void tst_QZRMessageBox::wrap()
{
    QFETCH(QString, line);
    QFETCH(QString, wrapped);
    QZRMessageBox box;
    QCOMPARE(box.splitStringline(line), wrapped);
}

void tst_QZRMessageBox::wrap_longWordIsCutWhereItStopsFitting_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("charSize");

    QTest::newRow("latin") << QString(400, 'x') << 1;
    // Characters outside the basic plane are surrogate pairs; a cut never splits one.
    QString astral;
    for (int i = 0; i < 300; ++i)
        astral += QString::fromUcs4(U"\U0001D49C");
    QTest::newRow("surrogate pairs") << astral << 2;
}

void tst_QZRMessageBox::wrap_longWordIsCutWhereItStopsFitting()
{
    QFETCH(QString, word);
    QFETCH(int, charSize);
    QZRMessageBox box;
    const QFontMetrics metrics(box.messageFont());
    QVERIFY(lineWidth(metrics, word) > MaxLine);

    const QStringList lines = box.splitStringline(word).split('\n');
    QVERIFY(lines.size() > 1);
    QCOMPARE(lines.join(QString()), word);
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        QVERIFY(!line.isEmpty());
        QVERIFY2(!line.at(0).isLowSurrogate(), qPrintable(QString("line %1").arg(i)));
        QVERIFY(!line.at(line.size() - 1).isHighSurrogate());
        QVERIFY(lineWidth(metrics, line) <= MaxLine);
        if (i + 1 < lines.size())
            QVERIFY(lineWidth(metrics, line + lines.at(i + 1).left(charSize)) > MaxLine);
    }
}

void tst_QZRMessageBox::wrap_manyWordsFillLines()
{
    QZRMessageBox box;
    const QFontMetrics metrics(box.messageFont());
    QStringList words;
    for (int i = 0; i < 3000; ++i)
        words << QString("word%1").arg(i);
    const QString text = words.join(' ');

    const QStringList lines = box.splitStringline(text).split('\n');
    QCOMPARE(lines.join(' '), text);
    for (int i = 0; i < lines.size(); ++i) {
        QVERIFY(lineWidth(metrics, lines.at(i)) <= MaxLine);
        if (i + 1 < lines.size())
            QVERIFY(lineWidth(metrics, lines.at(i) + ' ' + lines.at(i + 1).section(' ', 0, 0)) > MaxLine);
    }
}

void tst_QZRMessageBox::textSize_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("one line") << "The play file does not exist!" << QStringList{"The play file does not exist!"};
    QTest::newRow("paragraphs with an empty one")
        << "First paragraph\n\nThird one" << QStringList{"First paragraph", "", "Third one"};
}

void tst_QZRMessageBox::textSize()
{
    QFETCH(QString, message);
    QFETCH(QStringList, lines);

    QZRMessageBox box;
    box.setMessageIcon(QZRMessageBox::NoIcon);
    box.setMessage(message);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));

    const QFontMetrics metrics(box.messageFont());
    int width = 0;
    for (const QString &line : lines)
        width = qMax(width, lineWidth(metrics, line));
    const int height = lines.size() * metrics.height();
    QCOMPARE(box.getTextRect().width(), width + 40);
    QCOMPARE(box.getTextRect().height(), height + 40);
    QCOMPARE(box.getIconRect().width(), 0);

    QZRMessageBox withIcon;
    withIcon.setMessageIcon(QZRMessageBox::Warning);
    withIcon.setMessage(message);
    withIcon.show();
    QVERIFY(QTest::qWaitForWindowExposed(&withIcon));
    const QImage icon(withIcon.getMessageBoxOption().imagePath + "warning.png");
    QVERIFY(!icon.isNull());
    QCOMPARE(withIcon.getIconRect().width(), icon.width() / 2 + 40);
    QCOMPARE(withIcon.getTextRect().width(), width + 20);
    QCOMPARE(withIcon.getTextRect().left(), withIcon.getIconRect().right() + 1);
}

void tst_QZRMessageBox::emptyMessageKeepsMinimumSize()
{
    QZRMessageBox box;
    box.setMessage(QString());
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.size(), QSize(249, 154));
}

void tst_QZRMessageBox::fixedSizeNeverBelowMinimum_data()
{
    QTest::addColumn<int>("fixedWidth");
    QTest::addColumn<int>("fixedHeight");
    QTest::addColumn<QSize>("size");

    QTest::newRow("computed") << -1 << -1 << QSize(249, 154);
    QTest::newRow("fixed") << 400 << 300 << QSize(400, 300);
    QTest::newRow("below the minimum") << 100 << 1 << QSize(249, 154);
}

void tst_QZRMessageBox::fixedSizeNeverBelowMinimum()
{
    QFETCH(int, fixedWidth);
    QFETCH(int, fixedHeight);
    QFETCH(QSize, size);

    QZRMessageBox box;
    QZRMessageBoxOption option = box.getMessageBoxOption();
    option.fixedWidth = fixedWidth;
    option.fixedHeight = fixedHeight;
    box.setMessageBoxOption(option);
    box.setMessage("Short");
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.size(), size);
}

void tst_QZRMessageBox::buttonsSitAtBottomRight()
{
    QZRMessageBox box;
    box.setButtonStyle(QZRMessageBox::YesNo);
    box.setMessage("Delete the play history?");
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));

    QZRBaseButton *yes = buttonWithText(&box, "Yes");
    QZRBaseButton *no = buttonWithText(&box, "No");
    QVERIFY(yes && no);
    QCOMPARE(no->geometry().right(), box.width() - 20 - 1);
    QCOMPARE(yes->geometry().right(), no->x() - 15 - 1);
    QCOMPARE(no->width(), 80);
    QVERIFY(box.getBtnRect().contains(no->geometry()));
    QCOMPARE(no->geometry().center().y(), box.getBtnRect().center().y());
}

void tst_QZRMessageBox::showMessageReturnsCode_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("click");
    QTest::addColumn<int>("code");

    QTest::newRow("OK") << 1 << "OK" << 0x400;
    QTest::newRow("Cancel") << 2 << "Cancel" << 0x400000;
    QTest::newRow("Yes") << 4 << "Yes" << 0x4000;
    QTest::newRow("No") << 4 << "No" << 0x10000;
    QTest::newRow("close button") << 4 << QString() << 0x200000;
}

void tst_QZRMessageBox::showMessageReturnsCode()
{
    QFETCH(int, style);
    QFETCH(QString, click);
    QFETCH(int, code);

    QString title;
    whenShown([&](QZRMessageBox *box) {
        title = box->getTitle();
        if (click.isEmpty()) {
            QZRBaseButton *close = nullptr;
            for (QZRBaseButton *button : box->findChildren<QZRBaseButton *>())
                if (button->text().isEmpty())
                    close = button;
            QVERIFY(close);
            close->click();
        } else {
            QZRBaseButton *button = buttonWithText(box, click);
            QVERIFY(button);
            button->click();
        }
    });
    const int result = QZRMessageBox::ShowMessage(nullptr, "Question", "Go on?", QZRMessageBox::Help,
                                                  QZRMessageBox::ButtonStyle(style));
    QCOMPARE(result, code);
    QCOMPARE(title, QString("Question"));
}

void tst_QZRMessageBox::stayOnTopParent()
{
    QWidget parent(nullptr, Qt::WindowStaysOnTopHint);
    parent.setGeometry(100, 100, 400, 300);
    parent.show();
    bool onTop = false;
    QPoint pos;
    whenShown([&](QZRMessageBox *box) {
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        pos = box->pos() - QPoint(100, 100) + QPoint((box->width() - 400) / 2, (box->height() - 300) / 2);
        box->done(7);
    });
    QCOMPARE(QZRMessageBox::ShowMessage(&parent, QString(), "On top", QZRMessageBox::Warning), 7);
    QVERIFY(onTop);
    QCOMPARE(pos, QPoint(0, 0));
}

void tst_QZRMessageBox::parentDyingDuringExec()
{
    QPointer<QWidget> parent = new QWidget;
    parent->resize(300, 200);
    parent->show();
    QPointer<QZRMessageBox> seen;
    whenShown([&](QZRMessageBox *box) {
        seen = box;
        delete parent.data();
    });
    const int code = QZRMessageBox::ShowMessage(parent, QString(), "Parent goes away", QZRMessageBox::Error);
    QCOMPARE(code, 0);
    QVERIFY(parent.isNull());
    QVERIFY(seen.isNull());
}

void tst_QZRMessageBox::optionCallbackChangesEveryNewBox()
{
    houseOk = "Fine";
    QZRMessageBox::setOptionCallback(renameOk);
    QZRMessageBox box;
    box.setButtonStyle(QZRMessageBox::Ok);
    QZRMessageBox::setOptionCallback(nullptr);
    QVERIFY(buttonWithText(&box, "Fine"));
    QCOMPARE(box.getMessageBoxOption().okText, QString("Fine"));

    QZRMessageBox plain;
    plain.setButtonStyle(QZRMessageBox::Ok);
    QVERIFY(buttonWithText(&plain, "OK"));
}

QTEST_MAIN(tst_QZRMessageBox)
#include "tst_qzrmessagebox.moc"
