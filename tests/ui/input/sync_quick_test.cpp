// The quick sync window on generated inputs: live edits inside the input's
// trim, OK with one checkpoint, close and Cancel putting the loaded values
// back, another input asked for, and other commands settling it first.
#include <QLineEdit>

#include "ui/input/sync_fixture.h"
#include "ui/input/wcInputSync.h"
#include "ui/shell/window_calls.h"
#include "ui/support/window_shots.h"

#include "io/files/undo.h"

class QuickSyncTest : public SyncTest {
protected:
  wcInputSync* quick() const { return app->windows().wndInputSync(); }
  // Opens the window for the input from the main window's command.
  QWidget* Open(uint32_t input) {
    main->InputSelect(input);
    main->InputSync_Pressed();
    EXPECT_TRUE(SpinUntil([this]() { return !quick()->FreshWindow(); }));
    return quick()->window();
  }
  void SetTrimEnd(uint32_t input, float end) {
    MainStruct main = Record(input);
    main.TrimEnd = end;
    ASSERT_EQ(InputSetMain(input, &main), 0);
  }
};

TEST_F(QuickSyncTest, EditsGoLiveInsideTheTrimAndOkKeepsThemWithOneCheckpoint) {
  const uint32_t video = AddFlashVideo("flash.mp4", 8.0, 2.0);
  SetTrimEnd(video, 6.0f);
  main->setProjectModified(false);
  QWidget* w = Open(video);
  EXPECT_EQ(quick()->OurIndex(), video);
  EXPECT_EQ(Find<QComboBox>(w, "InputSelection")->currentText(), Name(video));
  EXPECT_DOUBLE_EQ(Find<RealSlider>(w, "StartTimeSlider")->maximum(), 6.0);
  EXPECT_FALSE(Find<TextField>(w, "PlayRateText")->isVisible());
  // Every change is in the project at once.
  Type(Find<TextField>(w, "StartTimeText"), "5.5");
  EXPECT_FLOAT_EQ(Record(video).TrimStart, 5.5f);
  Click(w, "ForwardButton4"); // + 5 s stops at the trim end
  EXPECT_FLOAT_EQ(Record(video).TrimStart, 6.0f);
  EXPECT_EQ(Find<TextField>(w, "StartTimeText")->text(), "00:00:06.00");
  Click(w, "BackButton1");
  EXPECT_FLOAT_EQ(Record(video).TrimStart, 5.97f);
  Type(Find<TextField>(w, "StartTimeText"), "20");
  EXPECT_EQ(Find<TextField>(w, "StartTimeText")->text(), "00:00:06.00");
  Click(w, "BackButton4");
  Click(w, "BackButton3");
  Click(w, "BackButton2");
  EXPECT_FLOAT_EQ(Record(video).TrimStart, 0.0f); // held at 0
  Find<RealSlider>(w, "StartTimeSlider")->knob()->setValue(150); // 1.5 s
  EXPECT_FLOAT_EQ(Record(video).TrimStart, 1.5f);
  Type(Find<TextField>(w, "OffsetTimeText"), "1:02.5");
  EXPECT_FLOAT_EQ(Record(video).StartTime, 62.5f);
  EXPECT_EQ(Find<TextField>(w, "OffsetTimeText")->text(), "00:01:02.50");
  EXPECT_FALSE(main->ProjectModified());
  SaveWindowShot(w, "wcInputSync");
  Click(w, "OkButton");
  EXPECT_FALSE(w->isVisible());
  EXPECT_FLOAT_EQ(Record(video).TrimStart, 1.5f);
  EXPECT_FLOAT_EQ(Record(video).StartTime, 62.5f);
  EXPECT_TRUE(main->ProjectModified());
  // The checkpoint holds the input as it was before the edit.
  app->mnuEditUndo_Clicked();
  EXPECT_FLOAT_EQ(Record(video).TrimStart, 0.0f);
  EXPECT_FLOAT_EQ(Record(video).StartTime, 0.0f);
}

TEST_F(QuickSyncTest, ClosingOrCancelPutsTheLoadedValuesBackWithoutACheckpoint) {
  const uint32_t log = AddPeakLog("run.csv", 12.0, 5.4);
  Place(log, 1.0f, 0.5f);
  ASSERT_EQ(UndoSave(), 0);
  Place(log, 2.0f, 0.5f);
  main->setProjectModified(false);
  QWidget* w = Open(log);
  Click(w, "ForwardButton3");
  Click(w, "ForwardButton2");
  EXPECT_FLOAT_EQ(Record(log).TrimStart, 1.65f);
  w->close(); // the close box
  EXPECT_FALSE(w->isVisible());
  EXPECT_FLOAT_EQ(Record(log).TrimStart, 0.5f);
  EXPECT_FLOAT_EQ(Record(log).StartTime, 2.0f);
  EXPECT_FALSE(main->ProjectModified());
  EXPECT_EQ(quick()->OurIndex(), kNoInput);
  // Cancel the same way; and no checkpoint of the window's: undo goes
  // back to the one taken before it opened.
  w = Open(log);
  Type(Find<TextField>(w, "OffsetTimeText"), "7");
  EXPECT_FLOAT_EQ(Record(log).StartTime, 7.0f);
  Click(w, "CancelButton");
  EXPECT_FLOAT_EQ(Record(log).StartTime, 2.0f);
  app->mnuEditUndo_Clicked();
  EXPECT_FLOAT_EQ(Record(log).StartTime, 1.0f);
}

TEST_F(QuickSyncTest, AnotherInputIsOfferedOnlyAfterTheEditIsSettled) {
  const uint32_t video = AddFlashVideo("flash.mp4", 8.0, 2.0);
  const uint32_t log = AddPeakLog("run.csv", 12.0, 5.4);
  Add(MakeTestPng(File("still.png")));
  QWidget* w = Open(video);
  auto* combo = Find<QComboBox>(w, "InputSelection");
  EXPECT_EQ(combo->count(), 2); // no still image
  Click(w, "ForwardButton1");
  answers = {kMbCancel};
  Pick(combo, Name(log));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages.back().text, L"Do you want to save changes to 'flash.mp4'?");
  EXPECT_EQ(messages.back().flags, 35);
  EXPECT_EQ(quick()->OurIndex(), video);
  EXPECT_EQ(combo->currentText(), Name(video));
  EXPECT_FLOAT_EQ(Record(video).TrimStart, 0.03f);
  answers = {kMbNo};
  Pick(combo, Name(log));
  EXPECT_EQ(quick()->OurIndex(), log);
  EXPECT_FLOAT_EQ(Record(video).TrimStart, 0.0f);
  // Unedited, nothing is asked; a name typed and entered chooses too (and
  // Return is not OK).
  combo->lineEdit()->clear();
  QTest::keyClicks(combo->lineEdit(), "FLASH.mp4");
  QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_EQ(quick()->OurIndex(), video);
  EXPECT_TRUE(w->isVisible());
  // Another input from the main window after an edit: Yes keeps it.
  Click(w, "ForwardButton2");
  answers = {kMbYes};
  quick()->SetInput(static_cast<int>(log));
  EXPECT_EQ(messages.back().flags, 36);
  EXPECT_FLOAT_EQ(Record(video).TrimStart, 0.15f);
  EXPECT_TRUE(main->ProjectModified());
  quick()->close();
  EXPECT_FLOAT_EQ(Record(video).TrimStart, 0.15f);
}

TEST_F(QuickSyncTest, OtherCommandsSettleTheEditBeforeChangingTheInput) {
  const uint32_t log = AddPeakLog("run.csv", 12.0, 5.4);
  main->setProjectModified(false);
  ASSERT_EQ(UndoSave(), 0);
  // Undo while an edit is open: kept (Yes), then undone as the last change.
  QWidget* w = Open(log);
  Click(w, "ForwardButton3");
  answers = {kMbYes};
  app->mnuEditUndo_Clicked();
  EXPECT_EQ(messages.back().text, L"Do you want to save changes to 'run.csv'?");
  EXPECT_FALSE(w->isVisible());
  EXPECT_FLOAT_EQ(Record(log).TrimStart, 0.0f);
  app->mnuEditUndo_Clicked(); // and redone
  EXPECT_FLOAT_EQ(Record(log).TrimStart, 1.0f);

  // A change made by another command while it stays open is never undone
  // by its close.
  w = Open(log);
  Click(w, "ForwardButton3");
  Place(log, 4.0f, 3.0f);
  w->close();
  EXPECT_FLOAT_EQ(Record(log).TrimStart, 3.0f);
  EXPECT_FLOAT_EQ(Record(log).StartTime, 4.0f);
  // Nor does its next step start from values of before that change.
  w = Open(log);
  Click(w, "ForwardButton3");
  Place(log, 5.0f, 2.0f);
  Click(w, "ForwardButton1");
  EXPECT_FLOAT_EQ(Record(log).TrimStart, 2.03f);
  EXPECT_FLOAT_EQ(Record(log).StartTime, 5.0f);
  Click(w, "CancelButton");
  EXPECT_FLOAT_EQ(Record(log).TrimStart, 2.0f);

  // Sync to reference asks for the edit, then opens.
  w = Open(log);
  Click(w, "ForwardButton3");
  answers = {kMbNo};
  onModal = [](WindowController*) { return 0; };
  main->InputSync2_Pressed();
  EXPECT_EQ(messages.back().flags, 36);
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(modalRuns.back(), "wcInputSync2");
  EXPECT_FLOAT_EQ(Record(log).TrimStart, 2.0f);
}
