// The main window's preview with the real engine: fitting the window and
// canvas to the preview size, seeking, the time and length displays, the
// preview timer's states against a held media clock, and sound.
#include <QMainWindow>
#include <QGroupBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <atomic>
#include <thread>

#include "model/project.h"
#include "render/preview/main_preview.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/preview/preview_fixture.h"
#include "ui/shell/wcMain.h"
#include "ui/util/ui_utils.h"

namespace {

int distanceFromGroupBottom(wcMain* main) {
  return main->PreviewGroup()->height() - main->PreviewImage()->geometry().bottom() - 1;
}

// The window's minimum: at least the preview's, more where the panes'
// fonts and style ask for it (so that nothing is cut off), never more than
// the panes beside a preview of that size need.
void expectMinimumFor(QMainWindow* window, QSize forPreview) {
  const QSize minimum = window->minimumSize();
  EXPECT_GE(minimum.width(), forPreview.width());
  EXPECT_GE(minimum.height(), forPreview.height());
  EXPECT_LE(minimum.width(), forPreview.width() + 80) << "sized for another preview";
  EXPECT_LE(minimum.height(), forPreview.height() + 20);
}

QColor lengthTitleColour(wcMain* main) { return main->ProjectLengthButton()->palette().color(QPalette::ButtonText); }

} // namespace

TEST_F(PreviewTest, SmallPreviewIsCentredInTheStandardArea) {
  LaunchMain();
  main->SetPreviewArea(false, 320, 240);
  QMainWindow* window = main->mainWindow();
  expectMinimumFor(window, QSize(1020, 645));
  EXPECT_GE(window->width(), 1020);
  EXPECT_GE(window->height(), 645);
  EXPECT_EQ(main->PreviewImage()->geometry().size(), QSize(320, 240));
  EXPECT_EQ(main->PreviewImage()->geometry().x(), 175);
  EXPECT_EQ(distanceFromGroupBottom(main), 197);
  EXPECT_EQ(main->PreviewGroup()->size(), QSize(671, 581));
  EXPECT_EQ(MainPreviewWidth(), 320u);
  EXPECT_EQ(MainPreviewHeight(), 240u);
}

TEST_F(PreviewTest, LargePreviewSetsTheWindowMinimum) {
  screen = QRect(0, 0, 1920, 1200);
  LaunchMain();
  main->SetPreviewArea(false, 1280, 720);
  expectMinimumFor(main->mainWindow(), QSize(1660, 885));
  EXPECT_EQ(main->PreviewImage()->geometry().x(), 15);
  EXPECT_EQ(distanceFromGroupBottom(main), 77);
  EXPECT_EQ(main->PreviewGroup()->size(), QSize(1311, 821));
  EXPECT_EQ(MainPreviewWidth(), 1280u);
}

TEST_F(PreviewTest, TheSameSizeRefitsTheWindowOnlyWhenForced) {
  LaunchMain();
  ASSERT_EQ(main->PreviewSize().width(), 720);
  QMainWindow* window = main->mainWindow();
  window->setMinimumSize(100, 100);
  main->SetPreviewArea(false, 720, 480);
  EXPECT_EQ(window->minimumSize(), QSize(100, 100));
  EXPECT_EQ(MainPreviewWidth(), 720u); // the engine preview was made again
  main->SetPreviewArea(true, 720, 480);
  expectMinimumFor(window, QSize(1100, 645));
  // A zero size keeps the size and only rebuilds the preview.
  main->SetPreviewArea(false, 0, 0);
  EXPECT_EQ(main->PreviewSize().width(), 720);
  EXPECT_EQ(MainPreviewHeight(), 480u);
}

TEST_F(PreviewTest, SeekingStaysWithinTheProject) {
  LaunchMain();
  ProjectSetLength(4.0f);
  main->PreviewRefresh();
  EXPECT_FLOAT_EQ(main->ProjectLength(), 4.0f);
  main->setPreviewTime(0.1);
  main->StepBackwardButton2_Pressed();
  EXPECT_EQ(main->PreviewTime(), 0.0);
  main->setPreviewTime(3.9);
  main->StepForwardButton2_Pressed();
  EXPECT_NEAR(main->PreviewTime(), 4.0, 1e-6);
  main->StepBackwardButton_Pressed();
  EXPECT_NEAR(main->PreviewTime(), 3.97, 1e-6);
  main->StepForwardButton_Pressed();
  EXPECT_NEAR(main->PreviewTime(), 4.0, 1e-6);
  Settle();
  EXPECT_EQ(main->PreviewTimeSlider()->maximum(), 4000);
  EXPECT_EQ(main->PreviewTimeSlider()->value(), 4000);
  EXPECT_EQ(main->PreviewTimeButton()->text(), "4.0");

  // The slider moves the preview time.
  main->PreviewTimeSlider()->setValue(2500);
  EXPECT_DOUBLE_EQ(main->PreviewTime(), 2.5);
}

TEST_F(PreviewTest, LengthButtonIsBlueOnlyForALengthSetByHand) {
  LaunchMain();
  const QColor blue = QColor::fromRgbF(0, 0.4f, 1, 1);
  ProjectSetLength(0.005f);
  main->PreviewRefresh();
  Settle();
  EXPECT_NE(lengthTitleColour(main), blue);
  ProjectSetLength(0.02f);
  main->PreviewRefresh();
  Settle();
  EXPECT_EQ(lengthTitleColour(main), blue);
  EXPECT_EQ(main->ProjectLengthButton()->text(), "0.0");
  ProjectSetLength(0.0f);
  main->PreviewRefresh();
  Settle();
  EXPECT_NE(lengthTitleColour(main), blue);
}

TEST_F(PreviewTest, MuteGoesToZeroAndBackToFullVolume) {
  LaunchMain();
  main->SetPreviewVolume(40, false);
  main->MuteButton()->click();
  EXPECT_EQ(main->PreviewVolume(), 0);
  EXPECT_EQ(Setting("PreviewVolume").toInt(), 0);
  EXPECT_EQ(main->MuteButton()->property("face").toString(), "SoundMuteImage");
  EXPECT_EQ(main->VolumeStepper()->value(), 0);
  main->MuteButton()->click();
  EXPECT_EQ(main->PreviewVolume(), 100);
  EXPECT_EQ(main->MuteButton()->property("face").toString(), "SoundImage");
  main->VolumeStepper()->setValue(70);
  EXPECT_EQ(main->PreviewVolume(), 70);
  EXPECT_EQ(Setting("PreviewVolume").toInt(), 70);
  // Out of range is held at the ends; not a user action, not stored.
  main->SetPreviewVolume(150, false);
  EXPECT_EQ(main->PreviewVolume(), 100);
  main->SetPreviewVolume(-5, false);
  EXPECT_EQ(main->PreviewVolume(), 0);
  EXPECT_EQ(Setting("PreviewVolume").toInt(), 70);
}

TEST_F(PreviewTest, TimerFollowsPlaybackAndTakesTheFinalTimeOnce) {
  LaunchMain();
  // Ticks by hand, against a held clock; killing the timer forgets the
  // system clock's time a tick of it may have left (a loaded machine).
  main->KillPreviewTimer();
  HoldMediaClock();
  ProjectSetLength(4.0f);
  main->PreviewRefresh();
  ASSERT_TRUE(WaitIdle());
  main->PreviewTimerTick();
  EXPECT_DOUBLE_EQ(main->previewTicks().interval, 0.2);
  EXPECT_EQ(main->PlayButton()->property("face").toString(), "PlayImage");

  main->PlayButton_Pressed();
  ASSERT_TRUE(main->PreviewIsPlayingNow());
  EXPECT_EQ(main->PlayButton()->property("face").toString(), "PauseImage");
  clockNow += 0.1; // within the idle interval: nothing
  main->PreviewTimerTick();
  EXPECT_FALSE(main->previewTicks().wasPlaying);

  // Played on: the engine's time has moved on from the start.
  ASSERT_TRUE(SpinUntil([]() { return PreviewGetTime() > 0.0f; }));
  clockNow += 0.15;
  main->RequestPreviewUpdate();
  main->PreviewTimerTick();
  EXPECT_TRUE(main->previewTicks().wasPlaying);
  EXPECT_FALSE(main->previewTicks().updateRequest); // playback repaints anyway
  EXPECT_DOUBLE_EQ(main->previewTicks().interval, 0.05);
  EXPECT_EQ(main->StopButton()->property("face").toString(), "StopRedImage");
  EXPECT_GT(main->PreviewTime(), 0.0);

  // Playback ends: the next acting tick takes the final time once.
  PreviewStop();
  ASSERT_TRUE(SpinUntil([]() { return !wcMain::PreviewIsPlayingNow(); }));
  const double final = PreviewGetTime();
  main->setPreviewTime(99);
  clockNow += 0.06;
  main->PreviewTimerTick();
  EXPECT_FALSE(main->previewTicks().wasPlaying);
  EXPECT_DOUBLE_EQ(main->PreviewTime(), final);
  EXPECT_EQ(main->PreviewTimeButton()->text(), FormatTimeNSString(0, 2, final));
  EXPECT_DOUBLE_EQ(main->previewTicks().interval, 0.2);
  EXPECT_EQ(main->StopButton()->property("face").toString(), "StopImage");
  // After that the time stays where the window puts it.
  main->setPreviewTime(0.5);
  clockNow += 0.3;
  main->PreviewTimerTick();
  EXPECT_DOUBLE_EQ(main->PreviewTime(), 0.5);
}

TEST_F(PreviewTest, SeekingWhilePlayingGoesOnPlaying) {
  LaunchMain();
  ProjectSetLength(6.0f);
  main->PreviewRefresh();
  ASSERT_TRUE(WaitIdle());
  main->PlayButton_Pressed();
  ASSERT_TRUE(main->PreviewIsPlayingNow());
  main->setPreviewTime(3.0);
  main->StepForwardButton2_Pressed();
  EXPECT_TRUE(main->PreviewIsPlayingNow());
  EXPECT_TRUE(SpinUntil([]() { return PreviewGetTime() >= 3.15f; })) << PreviewGetTime();
  main->StopButton_Pressed();
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(main->PreviewTime(), 0.0);
  EXPECT_FALSE(main->PreviewIsPlayingNow());
}

TEST_F(PreviewTest, PreviewAreaFromAnotherThreadFitsTheWindowOnTheGuiThread) {
  LaunchMain();
  const int before = main->PreviewImage()->framesReceived();
  std::atomic<bool> done{false};
  std::thread worker([&]() {
    main->SetPreviewArea(false, 640, 480);
    done = true;
  });
  ASSERT_TRUE(SpinUntil([&]() { return done.load(); }));
  worker.join();
  expectMinimumFor(main->mainWindow(), QSize(1020, 645));
  EXPECT_EQ(main->PreviewImage()->geometry().size(), QSize(640, 480));
  EXPECT_EQ(MainPreviewWidth(), 640u);
  // The repaint came to the GUI thread and painted the canvas.
  EXPECT_TRUE(SpinUntil([&]() { return main->PreviewImage()->framesReceived() > before; }));
}
