// The settings dialog on the real hub and playback object: keep, revert and reset through the whole
// chain to the shown picture, the tag row, the keys, and a dialog without a hub.
#include "playbackrig.h"

#include "settings_dialog/qaudiocontrolform.h"
#include "settings_dialog/qsettingdlg.h"
#include "settings_dialog/qsubtitleform.h"
#include "settings_dialog/qsynchrionizationform.h"
#include "settings_dialog/qvideocontrolform.h"
#include "settings_dialog/qvideoedittag.h"
#include "toolkit/qhorizontallistfrom.h"
#include "toolkit/qhorizontallistitem.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrbaseslider.h"
#include "toolkit/qzrlineeditex.h"
#include "toolkit/qzrradiobutton.h"

#include <QtTest>

#include "glleaks.h"

namespace {

// A loaded machine may take minutes for what usually takes a moment.
const int Long = 180000;
QVector<double> values(const double *array, int count)
{
    return count > 0 ? QVector<double>(array, array + count) : QVector<double>();
}

// The first field in which two records differ, or an empty text when they are the same.
QString difference(const MediaSettting &a, const MediaSettting &b)
{
    const auto itemData = [](const QList<SubltItemInfo> &items) {
        QStringList data;
        for (const SubltItemInfo &item : items)
            data << QString::fromStdString(item.m_text + "|" + item.m_itemData);
        return data;
    };
    const SubtitleSettings &s = a.m_subtitle;
    const SubtitleSettings &t = b.m_subtitle;
    const QList<QPair<const char *, bool>> fields{
        {"equaliser", values(a.m_equalize.m_gains, a.m_equalize.m_count) == values(b.m_equalize.m_gains, b.m_equalize.m_count)
                          && values(a.m_equalize.m_frequencies, a.m_equalize.m_count)
                                 == values(b.m_equalize.m_frequencies, b.m_equalize.m_count)
                          && a.m_equalize.m_preamp == b.m_equalize.m_preamp},
        {"subtitle style", s.m_alpha == t.m_alpha && s.m_scaleX == t.m_scaleX && s.m_scaleY == t.m_scaleY
                               && s.m_delay == t.m_delay && s.m_fontName == t.m_fontName && s.m_pointSize == t.m_pointSize
                               && s.m_fontColour == t.m_fontColour && s.m_position == t.m_position
                               && s.m_marginY == t.m_marginY},
        {"effects", a.m_effect.m_brightness == b.m_effect.m_brightness && a.m_effect.m_contrast == b.m_effect.m_contrast
                        && a.m_effect.m_saturation == b.m_effect.m_saturation && a.m_effect.m_hue == b.m_effect.m_hue},
        {"selection", a.m_subtitleValue.m_subtitleIndex == b.m_subtitleValue.m_subtitleIndex
                          && a.m_subtitleValue.m_embeddedCount == b.m_subtitleValue.m_embeddedCount
                          && a.m_subtitleValue.m_audioTrack == b.m_subtitleValue.m_audioTrack
                          && a.m_subtitleValue.m_itemData == b.m_subtitleValue.m_itemData},
        {"subtitle entries", itemData(a.m_subltItemList) == itemData(b.m_subltItemList)},
        {"audio names", a.m_audioTrackList == b.m_audioTrackList},
        {"audio delay", a.m_audioDelay == b.m_audioDelay},
        {"fill mode", a.m_fillMode == b.m_fillMode},
        {"aspect", a.m_ratio == b.m_ratio},
        {"turn", a.m_rotate == b.m_rotate && a.m_mirror == b.m_mirror},
        {"deinterlace", a.m_deinterlace == b.m_deinterlace},
        {"speed", a.m_audioSettings.m_speed == b.m_audioSettings.m_speed},
    };
    for (const auto &field : fields) {
        if (!field.second)
            return field.first;
    }
    return QString();
}

// What the menus hear from the dialog.
struct MenuMarks
{
    QVector<int> aspects;
    QVector<int> fills;
    QVector<int> deinterlaces;

    explicit MenuMarks(QSettingDlg &dialog)
    {
        QObject::connect(&dialog, &QSettingDlg::emitAspectRatio, [this](RatioType r) { aspects << int(r); });
        QObject::connect(&dialog, &QSettingDlg::emitFillMode, [this](int m) { fills << m; });
        QObject::connect(&dialog, &QSettingDlg::emitDeinterlace, [this](int m) { deinterlaces << m; });
    }
    void clear()
    {
        aspects.clear();
        fills.clear();
        deinterlaces.clear();
    }
};

QZRBaseButton *closeButton(QSettingDlg &dialog)
{
    for (QZRBaseButton *button : dialog.findChildren<QZRBaseButton *>()) {
        if (button->toolTip() == "Close")
            return button;
    }
    return nullptr;
}

template <class T>
T *control(QWidget &parent, const char *name)
{
    T *found = parent.findChild<T *>(name);
    if (!found)
        qWarning("no control %s", name);
    return found;
}

}

class tst_QSettingDlg : public QObject
{
    Q_OBJECT

private slots:
    void keepAndRevertThroughThePicture();
    void resetInstallsDefaultsButKeepsTheMedium();
    void tagsChooseThePage();
    void tagRow();
    void keys();
    void withoutHub();

private:
    MediaSettting working(PlaybackRig &rig) { return rig.read(&QMediaSettingManager::getMediaSettting); }
    MediaSettting saved(PlaybackRig &rig) { return rig.read(&QMediaSettingManager::getMediaSetttingTemp); }
};

void tst_QSettingDlg::keepAndRevertThroughThePicture()
{
    PlaybackRig rig;
    QVERIFY(rig.open("clip.mp4"));
    QSettingDlg dialog;
    dialog.setSettingManager(rig.hub.get());
    dialog.move(660, 0);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog, Long));
    MenuMarks marks(dialog);
    QSignalSpy kept(&dialog, &QSettingDlg::emitSettingChange);

    // The first picture is colourful test art, far from black and from white.
    QTRY_VERIFY_WITH_TIMEOUT(rig.shownGrey() > 60, 10000);
    const double neutral = rig.shownGrey();
    QVERIFY(neutral < 200);

    QZRBaseSlider *brightness = control<QZRBaseSlider>(dialog, "m_sliderBrightness");
    QVERIFY(brightness);
    emit brightness->sendProgressValue(1.0);
    QCOMPARE(working(rig).m_effect.m_brightness, 254);
    QCOMPARE(saved(rig).m_effect.m_brightness, 0);
    QTRY_VERIFY_WITH_TIMEOUT(rig.shownGrey() > neutral + 40, 10000);

    // Radio choices reach the hub and the menus at once.
    control<QZRRadioButton>(dialog, "m_btnRatio_16_9")->click();
    control<QZRRadioButton>(dialog, "m_btnFullScreen")->click();
    control<QZRRadioButton>(dialog, "m_btnDisable")->click();
    QCOMPARE(rig.hub->getAspectRatio(), RatioType_16_9);
    QCOMPARE(rig.hub->getFillMode(), 2);
    QCOMPARE(rig.hub->getDeinterlace(), 0u);
    QCOMPARE(marks.aspects.value(marks.aspects.size() - 1), 2);
    QCOMPARE(marks.fills.value(marks.fills.size() - 1), 2);
    QCOMPARE(marks.deinterlaces.value(marks.deinterlaces.size() - 1), 0);
    marks.clear();

    // The close button reverts: the hub, the picture, the controls and the menus.
    QZRBaseButton *close = closeButton(dialog);
    QVERIFY(close);
    close->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(difference(working(rig), saved(rig)), QString());
    QCOMPARE(working(rig).m_effect.m_brightness, 0);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(rig.shownGrey() - neutral) < 3, 10000);
    QVERIFY(!marks.aspects.isEmpty() && !marks.fills.isEmpty() && !marks.deinterlaces.isEmpty());
    QCOMPARE(marks.aspects.last(), 0);
    QCOMPARE(marks.fills.last(), 0);
    QCOMPARE(marks.deinterlaces.last(), 2);
    QVERIFY(control<QZRRadioButton>(dialog, "m_btnOriginal")->isChecked());
    QCOMPARE(control<QZRLineEditEx>(dialog, "m_leBrightnessValue")->text(), QString("100"));
    QCOMPARE(kept.count(), 0);

    // The same change kept with OK survives a later close.
    dialog.show();
    emit brightness->sendProgressValue(1.0);
    control<QZRBaseButton>(dialog, "m_btnOk")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(kept.count(), 1);
    QCOMPARE(saved(rig).m_effect.m_brightness, 254);
    dialog.show();
    close->click();
    QCOMPARE(working(rig).m_effect.m_brightness, 254);
    QTRY_VERIFY_WITH_TIMEOUT(rig.shownGrey() > neutral + 40, 10000);
    QCOMPARE(kept.count(), 1);
}

void tst_QSettingDlg::resetInstallsDefaultsButKeepsTheMedium()
{
    // Two audio tracks and an embedded subtitle stream, listed as the player window lists them.
    PlaybackRig rig;
    QVERIFY(rig.open("movie.mkv"));
    QList<SubltItemInfo> entries;
    QList<QString> audioNames;
    SubtitleValue_Info selection;
    rig.player->getSubltListOrAudioList(entries, audioNames, selection, QString(ZR_FIXTURES_DIR "/movie.mkv"));
    QVERIFY(!entries.isEmpty());
    QCOMPARE(audioNames.size(), 2);
    selection.m_embeddedCount = 1;
    selection.m_subtitleIndex = 1;
    rig.hub->setSubltItemInfoListAll(entries);
    rig.hub->setAudioListAll(audioNames);
    rig.hub->setSubtitleAll(selection);
    // The menus set a speed in both records; Reset restores it too.
    AudioSettings speed;
    speed.m_speed = 150;
    rig.hub->setAudioSettingsALL(speed);

    QSettingDlg dialog;
    dialog.setSettingManager(rig.hub.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog, Long));
    MenuMarks marks(dialog);
    emit control<QZRBaseSlider>(dialog, "m_sliderHue")->sendProgressValue(0.0);
    emit control<QZRBaseSlider>(dialog, "m_slider1K")->sendProgressValue(1.0);
    control<QZRRadioButton>(dialog, "m_rbtnRatio_3_4")->click();
    control<QZRRadioButton>(dialog, "m_btnPanScan")->click();
    control<QZRBaseButton>(dialog, "m_btnRotate_L_90")->click();
    rig.hub->setAudioDelay(2.5);
    marks.clear();

    control<QZRBaseButton>(dialog, "m_btnReset")->click();
    QVERIFY(dialog.isVisible());
    const MediaSettting after = working(rig);
    QCOMPARE(difference(after, saved(rig)), QString());
    QCOMPARE(after.m_subltItemList.size(), entries.size());
    QCOMPARE(after.m_subltItemList.first().m_text, entries.first().m_text);
    QCOMPARE(after.m_audioTrackList, audioNames);
    QCOMPARE(after.m_subtitleValue.m_embeddedCount, 1);
    QCOMPARE(after.m_subtitleValue.m_subtitleIndex, 0);
    QCOMPARE(after.m_deinterlace, 1u);
    QCOMPARE(after.m_equalize.m_count, 10);
    QCOMPARE(values(after.m_equalize.m_frequencies, 10),
             QVector<double>({60, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000}));
    QCOMPARE(values(after.m_equalize.m_gains, 10), QVector<double>(10, 0.0));
    QCOMPARE(after.m_equalize.m_preamp, 0.0);
    QCOMPARE(after.m_effect.m_hue, 0);
    QCOMPARE(after.m_ratio, RatioType_Source);
    QCOMPARE(after.m_fillMode, 0);
    QCOMPARE(after.m_rotate, 0);
    QCOMPARE(after.m_audioDelay, 0.0);
    QCOMPARE(after.m_audioSettings.m_speed, 100u);
    // The menus hear the choices now in force.
    QCOMPARE(marks.aspects.value(marks.aspects.size() - 1, -1), 0);
    QCOMPARE(marks.fills.value(marks.fills.size() - 1, -1), 0);
    QCOMPARE(marks.deinterlaces.value(marks.deinterlaces.size() - 1, -1), 1);
    QVERIFY(control<QZRRadioButton>(dialog, "m_btnAuto")->isChecked());
    QCOMPARE(control<QZRLineEditEx>(dialog, "m_leHueValue")->text(), QString("100"));

    // Reset wrote both records: closing keeps it.
    closeButton(dialog)->click();
    QCOMPARE(difference(working(rig), after), QString());
}

void tst_QSettingDlg::tagsChooseThePage()
{
    QSettingDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog, Long));
    QVideoEditTag *tags = dialog.findChild<QVideoEditTag *>();
    QVERIFY(tags);
    QSignalSpy chosen(tags, &QVideoEditTag::emitSelectedTag);
    QWidget *video = dialog.findChild<QVideoControlForm *>();
    QWidget *audio = dialog.findChild<QAudioControlForm *>();
    QWidget *subtitle = dialog.findChild<QSubtitleForm *>();
    QWidget *sync = dialog.findChild<QSynchrionizationForm *>();
    const auto shown = [&] {
        QList<int> visible;
        for (QWidget *page : {video, audio, subtitle, sync})
            visible << page->isVisible();
        return visible;
    };
    QCOMPARE(shown(), QList<int>({1, 0, 0, 0}));

    // The tag already chosen is disabled: choosing it again sends nothing.
    dialog.setSelectedTag(0);
    QCOMPARE(chosen.count(), 0);
    dialog.setSelectedTag(1);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.last().at(0).toInt(), 1);
    QCOMPARE(shown(), QList<int>({0, 1, 0, 0}));

    // Indices that name no page change nothing.
    dialog.selectedTag(4);
    dialog.selectedTag(-1);
    dialog.setSelectedTag(7);
    QCOMPARE(shown(), QList<int>({0, 1, 0, 0}));
    QCOMPARE(chosen.count(), 1);

    dialog.setSelectedTag(2);
    QCOMPARE(shown(), QList<int>({0, 0, 1, 0}));
    dialog.setSelectedTag(3);
    QCOMPARE(shown(), QList<int>({0, 0, 0, 1}));
    // A click of the user chooses too; the chosen page survives hiding.
    QList<QZRBaseButton *> buttons = tags->findChildren<QZRBaseButton *>();
    QCOMPARE(buttons.size(), 4);
    QTest::mouseClick(buttons.at(0), Qt::LeftButton);
    QCOMPARE(shown(), QList<int>({1, 0, 0, 0}));
    QVERIFY(buttons.at(0)->isChecked() && !buttons.at(0)->isEnabled());
    QVERIFY(!buttons.at(3)->isChecked() && buttons.at(3)->isEnabled());
    dialog.hide();
    dialog.show();
    QCOMPARE(shown(), QList<int>({1, 0, 0, 0}));
}

void tst_QSettingDlg::tagRow()
{
    QVideoEditTag row;
    row.resize(400, 30);
    QSignalSpy chosen(&row, &QVideoEditTag::emitSelectedTag);
    // An empty row takes any index without a word.
    row.setSelectedTag(0);
    row.setHiddenTag(0);
    QCOMPARE(chosen.count(), 0);

    row.createTag({"One", "Two", "Three"});
    QList<QZRBaseButton *> buttons = row.findChildren<QZRBaseButton *>();
    QCOMPARE(buttons.size(), 3);
    QCOMPARE(buttons.at(1)->text(), QString("Two"));
    QCOMPARE(buttons.at(1)->height(), 30);
    row.setSelectedTag(1);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.last().at(0).toInt(), 1);

    // Hiding the chosen tag moves the choice to the next one shown.
    row.setHiddenTag(1);
    QCOMPARE(chosen.count(), 2);
    QCOMPARE(chosen.last().at(0).toInt(), 2);
    QVERIFY(buttons.at(1)->isHidden());
    QVERIFY(buttons.at(2)->isChecked());
    // From a hidden tag on, the next shown one is chosen; past the last, nothing.
    row.setSelectedTag(0);
    row.setSelectedTag(1);
    QCOMPARE(chosen.last().at(0).toInt(), 2);
    row.setSelectedTag(3);
    row.setSelectedTag(-2);
    QCOMPARE(chosen.count(), 4);

    // A new set of tags replaces the old ones.
    row.createTag({"A", "B"});
    QCOMPARE(row.findChildren<QZRBaseButton *>().size(), 2);
    row.createTag({});
    QCOMPARE(row.findChildren<QZRBaseButton *>().size(), 2);
    row.addTag("C", QString(ZR_ROOT_DIR "/Resources/images/Settings/video_icon.png"), 90);
    buttons = row.findChildren<QZRBaseButton *>();
    QCOMPARE(buttons.size(), 3);
    QCOMPARE(buttons.last()->width(), 90);
    QSignalSpy single(&row, &QVideoEditTag::emitSelectedTag);
    row.setSelectedTag(2);
    QCOMPARE(single.count(), 1);
    QCOMPARE(single.last().at(0).toInt(), 2);
}

void tst_QSettingDlg::keys()
{
    PlaybackRig rig;
    QVERIFY(rig.open("clip.mp4"));
    QSettingDlg dialog;
    dialog.setSettingManager(rig.hub.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog, Long));

    // Escape does nothing, also when a control of a page has the key first.
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QZRLineEditEx *edit = control<QZRLineEditEx>(dialog, "m_leBrightnessValue");
    QTest::keyClick(edit, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());

    // Control+W hides the dialog and keeps what it changed live.
    edit->clear();
    QTest::keyClicks(edit, "150");
    QCOMPARE(working(rig).m_effect.m_brightness, 127);
    QTest::keyClick(edit, Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(working(rig).m_effect.m_brightness, 127);
    QCOMPARE(saved(rig).m_effect.m_brightness, 0);
    QCOMPARE(edit->text(), QString("150"));
}

void tst_QSettingDlg::withoutHub()
{
    // Every control of every page, and the dialog's buttons, with no hub to talk to.
    QSettingDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog, Long));
    for (QZRBaseSlider *slider : dialog.findChildren<QZRBaseSlider *>())
        emit slider->sendProgressValue(0.25);
    for (QZRLineEditEx *edit : dialog.findChildren<QZRLineEditEx *>()) {
        const QString before = edit->text();
        emit edit->textEdited("");
        QCOMPARE(edit->text(), before);
    }
    for (QZRRadioButton *radio : dialog.findChildren<QZRRadioButton *>())
        radio->click();
    for (QHorizontalListItem *item : dialog.findChild<QHorizontalListFrom *>()->items())
        QTest::mouseClick(item, Qt::LeftButton);
    QCOMPARE(control<QZRLineEditEx>(dialog, "m_leBrightnessValue")->text(), QString("0"));
    dialog.findChild<QVideoControlForm *>()->aspectRatioChange();
    dialog.updateFrom();
    dialog.updateSync();
    control<QZRBaseButton>(dialog, "m_btnReset")->click();
    control<QZRBaseButton>(dialog, "m_btnRotate_R_90")->click();
    QSignalSpy kept(&dialog, &QSettingDlg::emitSettingChange);
    control<QZRBaseButton>(dialog, "m_btnOk")->click();
    QCOMPARE(kept.count(), 1);
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(tst_QSettingDlg)
#include "tst_qsettingdlg.moc"
