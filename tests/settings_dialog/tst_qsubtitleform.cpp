// The subtitle page on the real hub and playback object: external files through the real file
// dialog, the style as it shows in the picture, the value rules, and media it cannot list for.
#include "modaldriver.h"
#include "playbackrig.h"

#include "engine/qmediainfos.h"
#include "settings_dialog/qsettingdlg.h"
#include "settings_dialog/qsubtitleform.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrbaseslider.h"
#include "toolkit/qzrcombobox.h"
#include "toolkit/qzrlineeditex.h"
#include "toolkit/qzrradiobutton.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

namespace {

// Where the scale slider stands for a scale in percent.
double sliderAt(double scale)
{
    return 2000 + 1000 * std::log2(scale / 100);
}

// A SubRip file of one line shown for the first four seconds.
bool writeSubtitles(const QString &path, const QByteArray &line)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("1\n00:00:00,000 --> 00:00:04,000\n" + line + "\n") > 0;
}

}

class tst_QSubtitleForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void addingFiles();
    void styleShowsInThePicture();
    void positionOfALineOnScreen();
    void scaleSlider_data();
    void scaleSlider();
    void typedValues_data();
    void typedValues();
    void scaleWhileTyped();
    void loading();
    void audioOnlyMedium();
    void badFiles_data();
    void badFiles();

private:
    // Lists the tracks of the open medium as the player window does, with "Disable" chosen.
    void listTracks(const char *fixture)
    {
        QMediaInfos prober;
        prober.setMediaInfo(QString(ZR_FIXTURES_DIR "/") + fixture);
        QList<SubltItemInfo> items;
        QList<QString> audioNames;
        SubtitleValue_Info selection;
        prober.getSubltListOrAudioList(items, audioNames, selection);
        m_rig.hub->setSubltItemInfoListAll(items);
        m_rig.hub->setAudioListAll(audioNames);
        m_rig.hub->setSubtitleAll(selection);
    }
    // Picks a file in the real file dialog of the page, or cancels it for an empty path.
    bool addFile(QSubtitleForm *page, const QString &path)
    {
        ModalDriver<QFileDialog> driver([&](QFileDialog *dialog) {
            m_filters = dialog->nameFilters();
            if (path.isEmpty()) {
                dialog->reject();
                return;
            }
            // The file name field keeps what the user types while it has the focus: type there then.
            dialog->selectFile(path);
            if (auto *typed = qobject_cast<QLineEdit *>(dialog->focusWidget()))
                typed->setText(path);
            static_cast<QDialog *>(dialog)->accept();
        });
        page->findChild<QZRBaseButton *>("m_btnSetFamily")->click();
        return driver.answered();
    }
    SubtitleSettings style() { return m_rig.read(&QMediaSettingManager::getSubtitleSettings); }
    SubtitleValue_Info selection() { return m_rig.read(&QMediaSettingManager::getSubtitle); }
    QList<SubltItemInfo> entries() { return m_rig.read(&QMediaSettingManager::getSubltItemInfoList); }
    template <class T>
    T *control(const char *name)
    {
        return m_page->findChild<T *>(name);
    }

    PlaybackRig m_rig;
    std::unique_ptr<QSubtitleForm> m_page;
    QTemporaryDir m_folder;
    QStringList m_filters;
};

void tst_QSubtitleForm::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QVERIFY(writeSubtitles(m_folder.filePath("movie.en.srt"), "Added line"));
    QVERIFY(writeSubtitles(m_folder.filePath("notes"), "Notes line"));
}

void tst_QSubtitleForm::init()
{
    QVERIFY(m_rig.open("subs.mkv"));
    m_page = m_rig.page<QSubtitleForm>();
    listTracks("subs.mkv");
    m_page->loadingSetting();
}

void tst_QSubtitleForm::addingFiles()
{
    QSettingDlg dialog;
    dialog.setSettingManager(m_rig.hub.get());
    QSubtitleForm *page = dialog.findChild<QSubtitleForm *>();
    QSignalSpy changes(&dialog, &QSettingDlg::emitSubtitleChange);
    const auto add = [&](const QString &path) { return addFile(page, path); };
    QZRComboBox *list = page->findChild<QZRComboBox *>("m_cbbSubtitleList");
    QZRLineEdit *shown = page->findChild<QZRLineEdit *>("m_leFamilyPath");
    // "Disable", the embedded stream, the captions and the files of the same name beside the medium.
    const int listed = entries().size();
    QVERIFY(listed >= 3);
    QCOMPARE(list->count(), listed);
    QTRY_VERIFY_WITH_TIMEOUT(PlaybackRig::textPixels(m_rig.picture(), -1) == 0, 10000);

    // A new file: listed, chosen, in the hub's working list and selection, and drawn.
    const QString movie = m_folder.filePath("movie.en.srt");
    QVERIFY(add(movie));
    QVERIFY(m_filters.join(' ').contains("*.srt"));
    QVERIFY(m_filters.join(' ').contains("*.vtt"));
    QVERIFY(m_filters.join(' ').contains("*.SRT"));
    QCOMPARE(list->count(), listed + 1);
    QCOMPARE(list->itemText(listed), QString("(movie.en)[SRT]"));
    QCOMPARE(list->currentIndex(), listed);
    QCOMPARE(shown->text(), movie);
    QCOMPARE(selection().m_subtitleIndex, listed);
    QCOMPARE(QString::fromStdString(selection().m_itemData), movie);
    QCOMPARE(entries().size(), listed + 1);
    QCOMPARE(QString::fromStdString(entries().last().m_text), QString("(movie.en)[SRT]"));
    QCOMPARE(m_rig.hub->getSubltItemInfoListTemp().size(), listed);
    QCOMPARE(changes.count(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(PlaybackRig::textPixels(m_rig.picture(), 2) > 100, 10000);
    QCOMPARE(PlaybackRig::textPixels(m_rig.picture(), 0), 0);

    // The path already shown, and a cancelled dialog, change nothing.
    QVERIFY(add(movie));
    QVERIFY(add(QString()));
    QCOMPARE(list->count(), listed + 1);
    QCOMPARE(changes.count(), 1);

    // A listed path chosen again selects its entry and adds nothing.
    list->setCurrentIndex(0);
    QCOMPARE(selection().m_subtitleIndex, 0);
    QCOMPARE(shown->text(), QString());
    QTRY_VERIFY_WITH_TIMEOUT(PlaybackRig::textPixels(m_rig.picture(), -1) == 0, 10000);
    QVERIFY(add(movie));
    QCOMPARE(list->count(), listed + 1);
    QCOMPARE(list->currentIndex(), listed);
    QCOMPARE(selection().m_subtitleIndex, listed);
    QCOMPARE(changes.count(), 1);

    // A name without an extension gets empty brackets.
    QVERIFY(add(m_folder.filePath("notes")));
    QCOMPARE(list->itemText(listed + 1), QString("(notes)[]"));
    QCOMPARE(changes.count(), 2);

    // The close button forgets the added files: the list comes back from the saved record.
    for (QZRBaseButton *button : dialog.findChildren<QZRBaseButton *>()) {
        if (button->toolTip() == "Close")
            button->click();
    }
    QCOMPARE(entries().size(), listed);
    QCOMPARE(list->count(), listed);
    QCOMPARE(list->currentIndex(), 0);
}

void tst_QSubtitleForm::styleShowsInThePicture()
{
    // The embedded stream: its lines show from 0.5 s and from 2 s; each is laid out where the
    // position stands when it first shows.
    m_page->findChild<QZRComboBox *>("m_cbbSubtitleList")->setCurrentIndex(1);
    QCOMPARE(selection().m_subtitleIndex, 1);
    control<QZRRadioButton>("m_rbtnMiddle")->click();
    QCOMPARE(style().m_position, 32);
    QVERIFY(m_rig.player->setSeek(1000000));
    QTRY_VERIFY_WITH_TIMEOUT(PlaybackRig::textPixels(m_rig.picture(), 1) > 100, 10000);
    QCOMPARE(PlaybackRig::textPixels(m_rig.picture(), 0), 0);
    QCOMPARE(PlaybackRig::textPixels(m_rig.picture(), 2), 0);

    control<QZRRadioButton>("m_rbtnTop")->click();
    QCOMPARE(style().m_position, 16);
    QVERIFY(m_rig.player->setSeek(2500000));
    QTRY_VERIFY_WITH_TIMEOUT(PlaybackRig::textPixels(m_rig.picture(), 0) > 100
                                 && PlaybackRig::textPixels(m_rig.picture(), 1) == 0,
                             10000);
    QCOMPARE(PlaybackRig::textPixels(m_rig.picture(), 2), 0);
    const int normal = PlaybackRig::textPixels(m_rig.picture(), -1);

    // Twice the size: more text.
    emit control<QZRBaseSlider>("m_sliderScale")->sendProgressValue(0.75);
    QCOMPARE(style().m_scaleX, 200);
    QTRY_VERIFY_WITH_TIMEOUT(PlaybackRig::textPixels(m_rig.picture(), -1) > 2 * normal, 10000);

    // Transparent: gone; opaque again: back.
    emit control<QZRBaseSlider>("m_sliderAlpha")->sendProgressValue(0.0);
    QCOMPARE(style().m_alpha, 0);
    QTRY_COMPARE_WITH_TIMEOUT(PlaybackRig::textPixels(m_rig.picture(), -1), 0, 10000);
    emit control<QZRBaseSlider>("m_sliderAlpha")->sendProgressValue(1.0);
    QTRY_VERIFY_WITH_TIMEOUT(PlaybackRig::textPixels(m_rig.picture(), -1) > 2 * normal, 10000);
}

void tst_QSubtitleForm::positionOfALineOnScreen()
{
    // A line on screen, paused, moves with the position at once.
    m_page->findChild<QZRComboBox *>("m_cbbSubtitleList")->setCurrentIndex(1);
    QVERIFY(m_rig.player->setSeek(1000000));
    QTRY_VERIFY_WITH_TIMEOUT(PlaybackRig::textPixels(m_rig.picture(), 2) > 100, 10000);
    control<QZRRadioButton>("m_rbtnTop")->click();
    QTRY_VERIFY_WITH_TIMEOUT(PlaybackRig::textPixels(m_rig.picture(), 0) > 100
                                 && PlaybackRig::textPixels(m_rig.picture(), 2) == 0,
                             10000);
}

void tst_QSubtitleForm::scaleSlider_data()
{
    QTest::addColumn<double>("ratio");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("text");
    QTest::newRow("near the middle") << 0.495 << 100 << "100";
    QTest::newRow("left end") << 0.0 << 25 << "25";
    QTest::newRow("right end") << 1.0 << 400 << "400";
    QTest::newRow("at 0.49") << 0.49 << 97 << "97";
    QTest::newRow("at 0.6") << 0.6 << 131 << "132";
}

void tst_QSubtitleForm::scaleSlider()
{
    QFETCH(double, ratio);
    QFETCH(int, scale);
    QFETCH(QString, text);
    const QString before = control<QZRLineEditEx>("m_leScaleValue")->text();
    emit control<QZRBaseSlider>("m_sliderScale")->sendProgressValue(ratio);
    QCOMPARE(style().m_scaleX, scale);
    QCOMPARE(style().m_scaleY, scale);
    // An unchanged scale leaves the edit alone.
    QCOMPARE(control<QZRLineEditEx>("m_leScaleValue")->text(), scale == 100 ? before : text);
}

void tst_QSubtitleForm::typedValues_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("slider");
    QTest::addColumn<double>("position");
    QTest::addColumn<int>("alpha");
    QTest::addColumn<double>("margin");
    QTest::addColumn<int>("scale");
    QTest::newRow("transparency 50") << "m_leAlphaValue" << "50" << "50" << "m_sliderAlpha" << 100.0 << 127 << 0.05 << 100;
    QTest::newRow("transparency 150") << "m_leAlphaValue" << "150" << "100" << "m_sliderAlpha" << 200.0 << 255 << 0.05
                                      << 100;
    QTest::newRow("transparency cleared") << "m_leAlphaValue" << "" << "0" << "m_sliderAlpha" << 0.0 << 0 << 0.05 << 100;
    QTest::newRow("margin 7") << "m_lePositionValue" << "7" << "7" << "m_sliderPosition" << 70.0 << 255 << 0.07 << 100;
    QTest::newRow("margin 100") << "m_lePositionValue" << "100" << "100" << "m_sliderPosition" << 1000.0 << 255 << 1.0
                                << 100;
    QTest::newRow("scale 1000") << "m_leScaleValue" << "1000" << "400" << "m_sliderScale" << 4000.0 << 255 << 0.05 << 400;
    QTest::newRow("scale 10") << "m_leScaleValue" << "10" << "25" << "m_sliderScale" << 0.0 << 255 << 0.05 << 25;
    QTest::newRow("scale 200") << "m_leScaleValue" << "200" << "200" << "m_sliderScale" << 3000.0 << 255 << 0.05 << 200;
    // Its first digit alone is below the range.
    QTest::newRow("scale 150") << "m_leScaleValue" << "150" << "150" << "m_sliderScale" << sliderAt(150) << 255
                               << 0.05 << 150;
    QTest::newRow("scale cleared") << "m_leScaleValue" << "" << "25" << "m_sliderScale" << 0.0 << 255 << 0.05 << 25;
}

// Typed key by key over the whole text, and the edit finished with Return, Enter or by leaving it.
void tst_QSubtitleForm::typedValues()
{
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, slider);
    QFETCH(double, position);
    QFETCH(int, alpha);
    QFETCH(double, margin);
    QFETCH(int, scale);
    QZRLineEditEx *field = m_page->findChild<QZRLineEditEx *>(edit);
    for (int finish = 0; finish < 3; ++finish) {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, typed);
        if (finish == 0) {
            QTest::keyClick(field, Qt::Key_Return);
        } else if (finish == 1) {
            QTest::keyClick(field, Qt::Key_Enter, Qt::KeypadModifier);
        } else {
            QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
            QCoreApplication::sendEvent(field, &leave);
        }
        QCOMPARE(field->text(), shown);
        QCOMPARE(m_page->findChild<QZRBaseSlider *>(slider)->value(), position);
        QCOMPARE(style().m_alpha, alpha);
        QCOMPARE(style().m_marginY, margin);
        QCOMPARE(style().m_scaleX, scale);
        QCOMPARE(style().m_scaleY, scale);
    }
}

void tst_QSubtitleForm::scaleWhileTyped()
{
    // In range, a typed scale applies as it is typed; out of range it waits for the edit to be finished.
    QZRLineEditEx *field = control<QZRLineEditEx>("m_leScaleValue");
    field->selectAll();
    QTest::keyClicks(field, "2");
    QCOMPARE(field->text(), QString("2"));
    QCOMPARE(style().m_scaleX, 100);
    QTest::keyClicks(field, "50");
    QCOMPARE(field->text(), QString("250"));
    QCOMPARE(style().m_scaleX, 250);
    QCOMPARE(control<QZRBaseSlider>("m_sliderScale")->value(), sliderAt(250));
    QTest::keyClicks(field, "0");
    QCOMPARE(field->text(), QString("2500"));
    QCOMPARE(style().m_scaleX, 250);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(field->text(), QString("400"));
    QCOMPARE(style().m_scaleX, 400);
    // A slider move meanwhile is what a later finish finds.
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(style().m_scaleX, 40);
    emit control<QZRBaseSlider>("m_sliderScale")->sendProgressValue(0.75);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(field->text(), QString("200"));
    QCOMPARE(style().m_scaleY, 200);

    // A stored scale out of range is shown as it is, and leaving the edit untouched keeps it.
    SubtitleSettings record;
    record.m_scaleX = 10;
    record.m_scaleY = 10;
    m_rig.hub->setSubtitleSettingsAll(record);
    m_page->loadingSetting();
    QCOMPARE(field->text(), QString("10"));
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(field, &leave);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(field->text(), QString("10"));
    QCOMPARE(style().m_scaleX, 10);
}

void tst_QSubtitleForm::loading()
{
    // Transparency half way: the edit shows the same percentage as the slider.
    emit control<QZRBaseSlider>("m_sliderAlpha")->sendProgressValue(0.5);
    QCOMPARE(style().m_alpha, 127);
    QCOMPARE(control<QZRLineEditEx>("m_leAlphaValue")->text(), QString("50"));

    SubtitleSettings record;
    record.m_alpha = 255;
    record.m_marginY = 0.2;
    record.m_scaleX = 200;
    record.m_position = 16;
    m_rig.hub->setSubtitleSettingsAll(record);
    m_page->loadingSetting();
    QCOMPARE(control<QZRBaseSlider>("m_sliderAlpha")->value(), 200.0);
    QCOMPARE(control<QZRLineEditEx>("m_leAlphaValue")->text(), QString("100"));
    QCOMPARE(control<QZRBaseSlider>("m_sliderPosition")->value(), 200.0);
    QCOMPARE(control<QZRLineEditEx>("m_lePositionValue")->text(), QString("20"));
    QCOMPARE(control<QZRBaseSlider>("m_sliderScale")->value(), 3000.0);
    QCOMPARE(control<QZRLineEditEx>("m_leScaleValue")->text(), QString("200"));
    QVERIFY(control<QZRRadioButton>("m_rbtnTop")->isChecked());
    QCOMPARE(style().m_position, 16);

    // A position the page does not offer checks none of its buttons, on a fresh page and on a
    // reload of this one, where "Top" was checked; and sends nothing.
    QSubtitleForm fresh;
    record.m_position = 8;
    m_rig.hub->setSubtitleSettingsAll(record);
    fresh.setSettingManager(m_rig.hub.get());
    m_page->loadingSetting();
    for (QWidget *page : {static_cast<QWidget *>(&fresh), static_cast<QWidget *>(m_page.get())}) {
        for (const char *name : {"m_rbtnTop", "m_rbtnMiddle", "m_rbtnBottom"})
            QVERIFY2(!page->findChild<QZRRadioButton *>(name)->isChecked(), name);
    }
    QCOMPARE(style().m_position, 8);
    // The buttons still exclude each other.
    control<QZRRadioButton>("m_rbtnMiddle")->click();
    QCOMPARE(style().m_position, 32);
    control<QZRRadioButton>("m_rbtnBottom")->click();
    QCOMPARE(style().m_position, 0);
    QVERIFY(!control<QZRRadioButton>("m_rbtnMiddle")->isChecked());
    QVERIFY(!control<QZRRadioButton>("m_rbtnTop")->isChecked());
}

void tst_QSubtitleForm::audioOnlyMedium()
{
    QVERIFY(m_rig.open("audio.mp3"));
    // Whatever the hub lists, an audio medium shows no tracks.
    listTracks("subs.mkv");
    SubtitleValue_Info chosen;
    chosen.m_subtitleIndex = 1;
    chosen.m_itemData = "/somewhere/file.srt";
    m_rig.hub->setSubtitleAll(chosen);
    m_page->loadingSetting();
    QCOMPARE(control<QZRComboBox>("m_cbbSubtitleList")->count(), 0);
    QCOMPARE(control<QZRLineEdit>("m_leFamilyPath")->text(), QString());
    QCOMPARE(selection().m_subtitleIndex, 1);
}

void tst_QSubtitleForm::badFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("random bytes") << "broken.srt" << false;
    QTest::newRow("Latin-1") << "latin1.srt" << true;
}

void tst_QSubtitleForm::badFiles()
{
    QFETCH(QString, file);
    QFETCH(bool, drawn);
    // Either file would show at 1 s.
    QVERIFY(m_rig.player->setSeek(1000000));
    QTRY_COMPARE_WITH_TIMEOUT(PlaybackRig::textPixels(m_rig.picture(), -1), 0, 10000);
    const int listed = entries().size();
    QVERIFY(addFile(m_page.get(), QString(ZR_FIXTURES_DIR "/") + file));
    QCOMPARE(selection().m_subtitleIndex, listed);
    QCOMPARE(control<QZRComboBox>("m_cbbSubtitleList")->count(), listed + 1);
    if (drawn) {
        QTRY_VERIFY_WITH_TIMEOUT(PlaybackRig::textPixels(m_rig.picture(), 2) > 100, 10000);
        return;
    }
    QCOMPARE(PlaybackRig::textPixels(m_rig.picture(), -1), 0);
    // The player goes on: the embedded stream still shows.
    control<QZRComboBox>("m_cbbSubtitleList")->setCurrentIndex(1);
    QTRY_VERIFY_WITH_TIMEOUT(PlaybackRig::textPixels(m_rig.picture(), 2) > 100, 10000);
}

QTEST_MAIN(tst_QSubtitleForm)
#include "tst_qsubtitleform.moc"
