// The output settings window run from the File menu: what it shows for
// stored values, profiles and single changes, the bitrate warning, the two
// range messages, and a lap range from a log with laps. No render starts
// here (the save panel is cancelled or never reached).
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>

#include "base/util.h"
#include "model/project.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcCreateVideo.h"
#include "ui/support/create_video_fixture.h"
#include "ui/support/window_shots.h"

namespace {

const QColor kRed = QColor::fromRgbF(1.0f, 0.3f, 0.0f, 1.0f);

bool labelIsRed(const QLabel* label) { return label->palette().color(QPalette::WindowText) == kRed; }

float seconds(const QLineEdit* text) { return TimeTextToSeconds(text->text().toStdWString().c_str()); }

void pressCreate(wcCreateVideo* window) { window->window()->findChild<QPushButton*>("CreateButton")->click(); }

} // namespace

TEST_F(CreateVideoTest, WithoutDisplayObjectsOnlyAWarning) {
  ASSERT_NO_FATAL_FAILURE(LaunchMain());
  app->menuAction("mnuFileCreateVideo")->trigger();
  EXPECT_EQ(CountMessages(L"Please add display objects to this project first"), 1);
  EXPECT_EQ(messages.back().flags, 48);
  EXPECT_TRUE(modalRuns.empty());
}

TEST_F(CreateVideoTest, StoredValuesProfilesAndTheBitrateWarning) {
  SetSetting("VideoSize", 500);
  SetSetting("VideoFrameRate", 2398);
  SetSetting("VideoQuality", 9);
  ASSERT_NO_FATAL_FAILURE(BuildProject());
  RunCreateVideo([this](wcCreateVideo* w) {
    EXPECT_EQ(w->PictureSizeSel->currentText(), "480");
    EXPECT_EQ(w->FrameRateSel->currentText(), "29.97 FPS");
    EXPECT_EQ(w->QualitySlider->value(), 4) << "quality 3";
    EXPECT_EQ(w->PictureSizeActual->text(), "856 x 480");
    EXPECT_EQ(w->ProfileSel->count(), 18);
    EXPECT_NEAR(seconds(w->RenderEndText), ProjectGetLength(0), 0.01) << "99 hours become the length";
    EXPECT_TRUE(w->RenderWhole->isChecked());
    EXPECT_FALSE(w->RenderStartText->isEnabled());

    w->ProfileSel->setCurrentText("Internet / Upload: Tiny (180 @ 15 FPS)");
    EXPECT_EQ(w->PictureSizeActual->text(), "240 x 180");
    EXPECT_EQ(w->FrameRateSel->currentText(), "15 FPS");
    EXPECT_EQ(w->AudioChanSel->currentText(), "8-Bit Mono");
    EXPECT_EQ(w->AudioRateSel->currentText(), "44100 Hz");
    EXPECT_EQ(w->VideoBitrateStepper->value(), 256);
    EXPECT_EQ(w->AudioBitrateStepper->value(), 16);
    EXPECT_EQ(w->TotalBitrate->text(), "272 kbps  (2.0 MB / min)");
    EXPECT_FALSE(labelIsRed(w->VideoBitrateLabel)) << "no warning at 180";

    // One change of a setting makes the choice a custom one.
    w->PictureSizeSel->setCurrentText("120");
    EXPECT_EQ(w->ProfileSel->currentText(), "Custom");
    EXPECT_EQ(w->PictureSizeActual->text(), "160 x 120");
    w->PictureRatioSel->setCurrentText("3:2 Enhanced");
    EXPECT_EQ(w->PictureSizeActual->text(), "184 x 120");
    w->PictureSizeSel->setCurrentText("1080");
    EXPECT_EQ(w->PictureSizeActual->text(), "1624 x 1080");

    w->PictureSizeSel->setCurrentText("720");
    w->VideoBitrateStepper->setValue(5999);
    EXPECT_TRUE(labelIsRed(w->VideoBitrateLabel));
    w->VideoBitrateStepper->setValue(6000);
    EXPECT_FALSE(labelIsRed(w->VideoBitrateLabel));
    EXPECT_EQ(w->Settings().VBit, 6000);

    w->ProfileSel->setCurrentText("Local File: High-Def (720)");
    w->VideoBitrateStepper->setValue(5000);
    SaveWindowShot(w->window(), "create-video-settings");
    w->CancelButton_Pressed();
  });
  EXPECT_FALSE(outputWindowOpenAfterRun);
  EXPECT_EQ(Setting("VideoSize").toInt(), 500) << "a cancel stores nothing";
}

TEST_F(CreateVideoTest, BadRangesAreRefusedWithTheirMessages) {
  ASSERT_NO_FATAL_FAILURE(BuildProject());
  RunCreateVideo([this](wcCreateVideo* w) {
    w->RenderStartCheck->click();
    EXPECT_TRUE(w->RenderPart->isChecked()) << "a ticked start means part of the project";
    EXPECT_TRUE(w->RenderStartText->isEnabled());
    EXPECT_FALSE(w->RenderEndText->isEnabled());
    w->RenderStartText->setText("10");
    pressCreate(w);
    EXPECT_EQ(CountMessages(L"The render start time must be less than the total project length."), 1);
    EXPECT_EQ(messages.back().flags, 16);
    EXPECT_NEAR(seconds(w->RenderStartText), ProjectGetLength(0), 0.01) << "limited to the length";

    w->RenderEndCheck->click();
    w->RenderStartText->setText("1");
    w->RenderEndText->setText("00:00:01");
    pressCreate(w);
    EXPECT_EQ(CountMessages(L"The render start time cannot be at or after the render end time."), 1);
    EXPECT_EQ(w->RenderEndText->text(), "00:00:01.00");
    EXPECT_TRUE(w->window()->isVisible());
  });
  EXPECT_TRUE(outputWindowOpenAfterRun);
  EXPECT_TRUE(panelAnswers.empty());
  EXPECT_EQ(Setting("VideoSize").toInt(), 720) << "Create stores the settings before any check";
}

TEST_F(CreateVideoTest, LapRangeFromALogWithLaps) {
  circuit.outLap = 10;
  circuit.lapTimes = {20, 22};
  circuit.tail = 10;
  circuit.rate = 10;
  ASSERT_NO_FATAL_FAILURE(BuildProject());
  const float length = ProjectGetLength(0);
  ASSERT_NEAR(length, circuit.duration(), 0.2) << "the log's objects make the length";
  RunCreateVideo([&](wcCreateVideo* w) {
    EXPECT_EQ(w->LapInputID(), logInput);
    ASSERT_EQ(w->LapCount(), 3);
    const QStringList expected{"Lap 0: 00:00:10.00", "Lap 1: 00:00:20.00", "Lap 2: 00:00:22.00",
                               "Lap 3: (incomplete)"};
    ASSERT_EQ(w->RenderFirstLapSelection->count(), 4);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(w->RenderFirstLapSelection->itemText(i), expected[i]);
      EXPECT_EQ(w->RenderLastLapSelection->itemText(i), expected[i]);
    }
    EXPECT_FALSE(w->RenderFirstLapSelection->isEnabled());

    w->RenderLaps->click();
    EXPECT_TRUE(w->RenderFirstLapSelection->isEnabled());
    EXPECT_TRUE(w->RenderStartCheck->isChecked() && w->RenderEndCheck->isChecked());
    EXPECT_NEAR(seconds(w->RenderStartText), 0.0, 0.01) << "8 s before the out lap's start";
    EXPECT_NEAR(seconds(w->RenderEndText), circuit.lapStart(1) + 8, 0.11);
    // The larger lap number decides the end: lap 3's start, 8 s later.
    w->RenderFirstLapSelection->setCurrentIndex(2);
    w->RenderLastLapSelection->setCurrentIndex(1);
    EXPECT_NEAR(seconds(w->RenderStartText), circuit.lapStart(2) - 8, 0.11);
    EXPECT_NEAR(seconds(w->RenderEndText), circuit.lapStart(3) + 8, 0.11);
    w->RenderLastLapSelection->setCurrentIndex(3);
    EXPECT_NEAR(seconds(w->RenderEndText), length, 0.01) << "the incomplete lap runs to the end";
    pressCreate(w); // the save panel is cancelled
    EXPECT_TRUE(w->window()->isVisible());
  });
  EXPECT_TRUE(outputWindowOpenAfterRun);
  EXPECT_EQ(CountMessages(L"render start time"), 0);
}
