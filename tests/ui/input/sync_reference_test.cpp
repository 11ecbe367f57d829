// The sync-to-reference window on generated videos and logs: lining a log
// up on a video, the offset arithmetic for any rate, the flags, the link,
// playback, changing inputs and keeping or dropping the edit.
#include <QRadioButton>

#include "base/error.h"
#include "media/datalog/datalog_queries.h"
#include "media/datalog/query.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/input/sync_fixture.h"
#include "ui/input/wcInputSync2.h"
#include "ui/seams/media_clock.h"
#include "ui/support/window_shots.h"

namespace {

// Grey level of the picture's middle, where the video shows.
int Brightness(const QImage& image) {
  if (image.isNull()) return -1;
  return qGray(image.pixel(image.width() / 2, image.height() / 2));
}

} // namespace

class SyncReferenceTest : public SyncTest {
protected:
  void TearDown() override {
    MediaClockInstall(nullptr);
    SyncTest::TearDown();
  }
  wcInputSync2* sync2() const { return app->windows().wndInputSync2(); }
  // Opens the window for the input from the main window's command, and
  // plays the user's part while it runs.
  void Open(uint32_t input, const std::function<void(wcInputSync2*, QWidget*)>& play) {
    onModal = [play](WindowController* controller) {
      auto* window = static_cast<wcInputSync2*>(controller);
      window->showWindow();
      EXPECT_TRUE(SpinUntil([window]() { return !window->FreshWindow(); }));
      play(window, window->window());
      if (window->window()->isVisible()) window->close();
      return 0;
    };
    main->InputSelect(input);
    main->InputSync2_Pressed();
    ASSERT_FALSE(modalRuns.empty());
    EXPECT_EQ(modalRuns.back(), "wcInputSync2");
    EXPECT_FALSE(sync2()->window()->isVisible());
  }
  static TextField* Text(QWidget* w, const char* name) { return Find<TextField>(w, name); }
  static double SliderValue(QWidget* w, const char* name) { return Find<RealSlider>(w, name)->value(); }
};

TEST_F(SyncReferenceTest, LiningUpALogOnTheFlashPutsItsSpeedPeakOnThatFrame) {
  const uint32_t video = AddFlashVideo("flash.mp4", 8.0, 2.0);
  const uint32_t log = AddPeakLog("run.csv", 12.0, 5.4);
  ASSERT_NE(video, kNoInput);
  ASSERT_NE(log, kNoInput);
  main->setProjectModified(false);
  Open(log, [&](wcInputSync2* window, QWidget* w) {
    // The reference is the project's video; the data log may show as a gauge.
    EXPECT_EQ(window->RefInput(), video);
    EXPECT_EQ(Find<QComboBox>(w, "SyncInputSelection")->currentText(), Name(log));
    EXPECT_EQ(Find<QComboBox>(w, "RefInputSelection")->currentText(), Name(video));
    EXPECT_TRUE(Find<QComboBox>(w, "DisplayTypeSelection")->isVisible());
    auto* refImage = Find<NSImageViewCustom>(w, "RefImage");
    // Step the reference onto the flash: only the frame at 2.0 s is white.
    Type(Text(w, "RefText"), "1.9");
    EXPECT_LT(Brightness(refImage->image()), 80);
    Click(w, "RefStepForward2"); // + 0.15
    EXPECT_NEAR(SliderValue(w, "RefSlider"), 2.05, 1e-6);
    EXPECT_GT(Brightness(refImage->image()), 200);
    Click(w, "RefStepForward2");
    EXPECT_LT(Brightness(refImage->image()), 80);
    Type(Text(w, "RefText"), "2");
    EXPECT_GT(Brightness(refImage->image()), 200);
    // Linked: the log side followed and nothing changed yet.
    EXPECT_DOUBLE_EQ(SliderValue(w, "SyncSlider"), 2.0);
    EXPECT_EQ(window->SyncStart(), 0.0);
    // Then the log side onto its speed peak, shown on the speedometer.
    Pick(Find<QComboBox>(w, "DisplayTypeSelection"), "Speed");
    EXPECT_EQ(window->DisplayType(), 2u);
    Type(Text(w, "SyncText"), "5.4");
    EXPECT_NEAR(window->SyncStart(), 3.4, 1e-6);
    EXPECT_EQ(window->SyncOffset(), 0.0);
    EXPECT_EQ(Find<QLabel>(w, "OffsetEffectiveLabel")->text(), "(00:00:00.00)");
    EXPECT_TRUE(Find<QRadioButton>(w, "OffsetAuto")->isChecked());
    EXPECT_GT(Find<NSImageViewCustom>(w, "SyncImage")->framesReceived(), 0);
    SaveWindowShot(w, "wcInputSync2-lined-up");
    Click(w, "OkButton");
  });
  EXPECT_FLOAT_EQ(Record(log).TrimStart, 3.4f);
  EXPECT_FLOAT_EQ(Record(log).StartTime, 0.0f);
  EXPECT_TRUE(main->ProjectModified());
  // In the project the speed now peaks on the flash frame.
  double peakTime = -1, peak = 0;
  for (int i = 0; i <= 80; ++i) {
    const double speed = InputHandlerGetDataTypeValue(log, 0, kQuerySpeed, static_cast<float>(i / 10.0));
    if (speed > peak) peak = speed, peakTime = i / 10.0;
  }
  EXPECT_NEAR(peakTime, 2.0, 1e-9);
  EXPECT_NEAR(peak, InputHandlerGetDataTypeValue(log, 1, kQuerySpeed, 5.4f), 0.5);
  EXPECT_GT(peak, InputHandlerGetDataTypeValue(log, 0, kQuerySpeed, 1.9f) + 5);
  // One checkpoint, taken before the edit: one undo puts the log back.
  app->mnuEditUndo_Clicked();
  EXPECT_FLOAT_EQ(Record(log).TrimStart, 0.0f);
}

TEST_F(SyncReferenceTest, OffsetsComeFromBothSlidersForAnyRateAndFlagWhatCannotBe) {
  const uint32_t camera = AddFlashVideo("camera.mp4", 12.0, 1.0);
  const uint32_t reference = AddFlashVideo("reference.mp4", 12.0, 3.0);
  Open(camera, [&](wcInputSync2* window, QWidget* w) {
    EXPECT_EQ(window->RefInput(), reference);
    EXPECT_FALSE(Find<QComboBox>(w, "DisplayTypeSelection")->isVisible());
    auto* syncLabel = Find<QLabel>(w, "SyncLabel");
    auto* rateLabel = Find<QLabel>(w, "PlayRateLabel");
    // The link texts, and the link: unlinked, moving the reference changes the values.
    EXPECT_TRUE(window->IsLinked());
    EXPECT_EQ(Find<QLabel>(w, "LinkLabel")->text(),
              "Moving the Reference Input forward will also move the Sync Input forward, keeping their current "
              "synchronization.");
    Click(w, "LinkButton");
    EXPECT_EQ(Find<QLabel>(w, "LinkLabel")->text(),
              "Moving the Reference Input forward will act independently of the Sync Input, and will therefore "
              "change their synchronization.");
    // Sync 10, reference 4: trim start 6, start 0.
    Type(Text(w, "SyncText"), "10");
    Type(Text(w, "RefText"), "4");
    EXPECT_DOUBLE_EQ(window->SyncStart(), 6.0);
    EXPECT_DOUBLE_EQ(window->SyncOffset(), 0.0);
    EXPECT_EQ(Find<QLabel>(w, "OffsetEffectiveLabel")->text(), "(00:00:00.00)");
    // Sync 2, reference 5: trim start 0, start 3.
    Type(Text(w, "SyncText"), "2");
    Type(Text(w, "RefText"), "5");
    EXPECT_DOUBLE_EQ(window->SyncStart(), 0.0);
    EXPECT_DOUBLE_EQ(window->SyncOffset(), 3.0);
    EXPECT_EQ(Find<QLabel>(w, "OffsetEffectiveLabel")->text(), "(00:00:03.00)");
    // A reference before the sync input's start: the sync side is flagged.
    Click(w, "LinkButton");
    Type(Text(w, "RefText"), "2");
    EXPECT_TRUE(IsRed(syncLabel));
    EXPECT_DOUBLE_EQ(SliderValue(w, "SyncSlider"), 0.0);
    Type(Text(w, "RefText"), "5");
    EXPECT_FALSE(IsRed(syncLabel));
    // Manual offset 1 with sync 2 at reference 5 cannot hold: start 3, shown in brackets.
    Type(Text(w, "OffsetTimeText"), "1");
    EXPECT_TRUE(Find<QRadioButton>(w, "OffsetManual")->isChecked());
    Click(w, "LinkButton");
    Type(Text(w, "SyncText"), "2");
    EXPECT_DOUBLE_EQ(window->SyncOffset(), 3.0);
    EXPECT_DOUBLE_EQ(window->SyncStart(), 0.0);
    EXPECT_EQ(Text(w, "OffsetTimeText")->text(), "(00:00:03.00)");

    // At twice the speed the values still put the sync time shown at the
    // reference time shown: sync 10 at reference 4 needs trim start 2.
    Find<QRadioButton>(w, "OffsetAuto")->click();
    Type(Text(w, "PlayRateText"), "2");
    Type(Text(w, "SyncText"), "10");
    Type(Text(w, "RefText"), "4");
    EXPECT_DOUBLE_EQ(window->SyncStart(), 2.0);
    EXPECT_DOUBLE_EQ(window->SyncOffset(), 0.0);
    Click(w, "LinkButton"); // linked: the sync side follows at twice the pace
    Type(Text(w, "RefText"), "4.5");
    EXPECT_DOUBLE_EQ(SliderValue(w, "SyncSlider"), 11.0);
    // Sync 3 at reference 4 needs a start time: (3 - 8) / 2 = -2.5 -> 2.5 s later.
    Click(w, "LinkButton");
    Type(Text(w, "RefText"), "4");
    Type(Text(w, "SyncText"), "3");
    EXPECT_DOUBLE_EQ(window->SyncStart(), 0.0);
    EXPECT_DOUBLE_EQ(window->SyncOffset(), 2.5);
    // Half a millisecond past the input's end is its end; two are flagged.
    Click(w, "LinkButton");
    Type(Text(w, "RefText"), "8.50025");
    EXPECT_DOUBLE_EQ(SliderValue(w, "SyncSlider"), 12.0);
    EXPECT_FALSE(IsRed(syncLabel));
    Type(Text(w, "RefText"), "8.501");
    EXPECT_DOUBLE_EQ(SliderValue(w, "SyncSlider"), 12.0);
    EXPECT_TRUE(IsRed(syncLabel));

    // A rate of -2 is held at 0 and flagged (the sync side sits at the trim
    // start); OK refuses it and stays open.
    Type(Text(w, "PlayRateText"), "-2");
    EXPECT_EQ(window->SyncPlayRate(), 0.0);
    EXPECT_TRUE(IsRed(rateLabel));
    EXPECT_FALSE(IsRed(syncLabel));
    const size_t before = messages.size();
    Click(w, "OkButton");
    ASSERT_EQ(messages.size(), before + 1);
    EXPECT_EQ(messages.back().text, L"Please enter a play rate of at least 0.001.");
    EXPECT_TRUE(w->isVisible());
    Type(Text(w, "PlayRateText"), "");
    EXPECT_EQ(Text(w, "PlayRateText")->text(), "1.00000");
    EXPECT_FALSE(IsRed(rateLabel));
    SaveWindowShot(w, "wcInputSync2-offsets");
    Click(w, "CancelButton");
  });
  // Cancel left the project as it was.
  EXPECT_FLOAT_EQ(Record(camera).TrimStart, 0.0f);
  EXPECT_FLOAT_EQ(Record(camera).StartTime, 0.0f);
  EXPECT_FLOAT_EQ(Record(camera).PlayRate, 1.0f);
}

TEST_F(SyncReferenceTest, PlaybackFollowsTheClockAndStopsAtTheProjectLength) {
  const uint32_t log = AddPeakLog("run.csv", 12.0, 5.4);
  AddFlashVideo("flash.mp4", 8.0, 2.0);
  // The main preview's playback gives way to the window's.
  main->PlayButton_Pressed();
  ASSERT_TRUE(wcMain::PreviewIsPlayingNow());
  double clock = 100.0;
  MediaClockInstall([&clock]() { return clock; });
  Open(log, [&](wcInputSync2* window, QWidget* w) {
    // (After the frame at the stop time, which the engine draws once.)
    EXPECT_TRUE(SpinUntil([]() { return !wcMain::PreviewIsPlayingNow(); }));
    Type(Text(w, "RefText"), "6");
    Click(w, "PlayButton");
    EXPECT_TRUE(window->IsPlaying());
    EXPECT_EQ(Find<QPushButton>(w, "PlayButton")->text(), "Pause");
    clock += 0.5;
    EXPECT_TRUE(SpinUntil([&]() { return SliderValue(w, "RefSlider") == 6.5; }));
    EXPECT_EQ(Text(w, "RefText")->text(), "00:00:06.50");
    EXPECT_DOUBLE_EQ(SliderValue(w, "SyncSlider"), 6.5);
    // Moved while playing, playback goes on from the new place.
    Click(w, "RefStepBackward3");
    EXPECT_TRUE(window->IsPlaying());
    clock += 0.25;
    EXPECT_TRUE(SpinUntil([&]() { return SliderValue(w, "RefSlider") == 5.75; }));
    // The project is as long as its video: playback stops there by itself.
    clock += 5.0;
    EXPECT_TRUE(SpinUntil([&]() { return !window->IsPlaying(); }));
    EXPECT_DOUBLE_EQ(SliderValue(w, "RefSlider"), 8.0);
    EXPECT_EQ(Find<QPushButton>(w, "PlayButton")->text(), "Play");
    // A change of the rate stops playback too.
    Click(w, "PlayButton");
    Type(Text(w, "PlayRateText"), "1.5");
    EXPECT_FALSE(window->IsPlaying());
    Click(w, "CancelButton");
  });
  EXPECT_FLOAT_EQ(Record(log).PlayRate, 1.0f);
}

TEST_F(SyncReferenceTest, ChangingInputsAsksToKeepTheEditAndChoosesTheReference) {
  const uint32_t log = AddPeakLog("run.csv", 12.0, 5.4);
  const uint32_t first = AddFlashVideo("first.mp4", 8.0, 2.0);
  const uint32_t second = AddFlashVideo("second.mp4", 8.0, 3.0);
  const uint32_t sound = Add(MakeTestWav(File("sound.wav")));
  main->setProjectModified(false);
  Open(first, [&](wcInputSync2* window, QWidget* w) {
    // The first video other than the one being synced; no sound as a reference.
    EXPECT_EQ(window->RefInput(), second);
    auto* refs = Find<QComboBox>(w, "RefInputSelection");
    EXPECT_EQ(refs->findText(Name(sound)), -1);
    EXPECT_NE(Find<QComboBox>(w, "SyncInputSelection")->findText(Name(sound)), -1);
    // Choosing the sync input itself as reference gives the automatic one.
    Pick(refs, Name(first));
    EXPECT_EQ(window->RefInput(), second);
    Pick(refs, Name(log));
    EXPECT_EQ(window->RefInput(), log);
    EXPECT_TRUE(Find<QComboBox>(w, "DisplayTypeSelection")->isVisible());

    // An edit, then another sync input: Cancel keeps the input and the edit.
    Click(w, "LinkButton");
    Type(Text(w, "SyncText"), "1.5");
    const double start = window->SyncStart();
    EXPECT_GT(start, 0.009);
    auto* syncs = Find<QComboBox>(w, "SyncInputSelection");
    answers = {kMbCancel};
    Pick(syncs, Name(second));
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().text, L"Do you want to save changes to 'first.mp4'?");
    EXPECT_EQ(messages.back().flags, 35);
    EXPECT_EQ(window->SyncInput(), first);
    EXPECT_EQ(syncs->currentText(), Name(first));
    EXPECT_EQ(window->SyncStart(), start);
    // Yes keeps it as OK would: undoable, the project marked changed.
    answers = {kMbYes};
    Pick(syncs, Name(second));
    EXPECT_EQ(window->SyncInput(), second);
    EXPECT_FLOAT_EQ(Record(first).TrimStart, static_cast<float>(start));
    EXPECT_TRUE(main->ProjectModified());
    // Without an edit nothing is asked.
    const size_t asked = messages.size();
    Pick(syncs, Name(log));
    EXPECT_EQ(messages.size(), asked);
    EXPECT_EQ(window->RefInput(), first);
    Click(w, "CancelButton");
  });
  app->mnuEditUndo_Clicked();
  EXPECT_FLOAT_EQ(Record(first).TrimStart, 0.0f);

  // A log's reference is the first video; a sound may be synced, and
  // without a sync input the window still opens and OK still checkpoints.
  main->setProjectModified(false);
  Open(log, [&](wcInputSync2* window, QWidget* w) {
    EXPECT_EQ(window->RefInput(), first);
    Pick(Find<QComboBox>(w, "SyncInputSelection"), Name(sound));
    EXPECT_EQ(window->RefInput(), first);
    window->SetInput(sound, log);
    EXPECT_EQ(window->RefInput(), log);
    window->SetInput(kNoInput, kNoInput, 1);
    EXPECT_FALSE(Find<NSImageViewCustom>(w, "SyncImage")->isVisible());
    Click(w, "OkButton"); // nothing to write, yet a checkpoint as always
  });
  EXPECT_TRUE(main->ProjectModified());
}

TEST_F(SyncReferenceTest, TheReferenceIsAnotherVideoElseALogElseNone) {
  const uint32_t video = AddFlashVideo("flash.mp4", 8.0, 2.0);
  const uint32_t log = AddPeakLog("run.csv", 12.0, 5.4);
  Open(video, [&](wcInputSync2* window, QWidget* w) {
    EXPECT_EQ(window->RefInput(), log);
    EXPECT_TRUE(Find<QComboBox>(w, "DisplayTypeSelection")->isVisible());
    EXPECT_TRUE(Find<NSImageViewCustom>(w, "RefImage")->isVisible());
    Click(w, "CancelButton");
  });
  ASSERT_EQ(InputRemove(log, 1), 0);
  Open(video, [&](wcInputSync2* window, QWidget* w) {
    EXPECT_EQ(window->RefInput(), kNoInput);
    EXPECT_FALSE(Find<NSImageViewCustom>(w, "RefImage")->isVisible());
    EXPECT_EQ(Find<QComboBox>(w, "RefInputSelection")->currentText(), "");
    // The reference slider still runs over the project.
    Type(Text(w, "RefText"), "3");
    EXPECT_DOUBLE_EQ(SliderValue(w, "SyncSlider"), 3.0);
    Click(w, "CancelButton");
  });
}

TEST_F(SyncReferenceTest, APartOfAJoinIsNeverTheAutomaticReference) {
  const uint32_t log = AddPeakLog("run.csv", 12.0, 5.4);
  const uint32_t part = AddFlashVideo("part.mp4", 4.0, 1.0);
  const uint32_t join = InputAddSpecial(kSpecialJoinVideo);
  MainStruct member = *InputGetMain(part);
  member.ParentJoin = static_cast<uint8_t>(join);
  ASSERT_EQ(InputSetMain(part, &member), 0);
  ASSERT_EQ(InputUpdateJoin(join), 0);
  const uint32_t free = AddFlashVideo("free.mp4", 8.0, 2.0);
  main->InputRefresh(kNoInput);
  messages.clear();
  Open(log, [&](wcInputSync2* window, QWidget* w) {
    EXPECT_EQ(window->RefInput(), free);
    EXPECT_EQ(Find<QComboBox>(w, "RefInputSelection")->currentText(), QString::fromUtf16(InputGetName(free)));
    EXPECT_TRUE(Find<NSImageViewCustom>(w, "RefImage")->isVisible());
    Click(w, "CancelButton");
  });
  // Without the free video: the join and its part stay unchosen.
  ASSERT_EQ(InputRemove(free, 1), 0);
  main->InputRefresh(kNoInput);
  Open(log, [&](wcInputSync2* window, QWidget* w) {
    EXPECT_EQ(window->RefInput(), kNoInput);
    EXPECT_FALSE(Find<NSImageViewCustom>(w, "RefImage")->isVisible());
    Click(w, "CancelButton");
  });
  EXPECT_TRUE(messages.empty());
}
