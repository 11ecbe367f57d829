// The timeline segment editor: neighbour times and lengths as the user
// types, the refusals and order questions, the next segment pushed along
// and found again after the engine re-sorts, an engine failure that keeps
// the dialog open, the change mask (kept values, the flags bit dropped),
// and the general panel's time label that opens it.
#include <QCheckBox>
#include <QLabel>

#include "model/dispobjs.h"
#include "ui/controls/NSTextLabelCustom.h"
#include "ui/dispobj/vcDispObjGeneral.h"
#include "ui/input/timeline_fixture.h"
#include "ui/support/window_shots.h"

namespace {

QString t(double seconds) { return FormatTimeNSString(2, 0, seconds); }

} // namespace

class TimelineEditTest : public TimelineTest {
protected:
  void SetUp() override {
    TimelineTest::SetUp();
    object = AddText(10, 10, 20, 10);
    ASSERT_EQ(TimelineDispObjSetStart(object, kFirst, 2), 0);
    for (float start : {5.0f, 8.0f, 12.0f}) ASSERT_NE(TimelineDispObjAdd(object, start), kFirst);
    ProjectSetLength(20);
  }
  // The editor as an opener shows it.
  wcTimelineEdit* Edit(uint32_t segment) {
    wcTimelineEdit* editor = SegmentEditor();
    EXPECT_TRUE(editor->SetData(static_cast<int>(object), static_cast<int>(segment)));
    editor->showWindow();
    return editor;
  }
  std::vector<float> Starts() const {
    std::vector<float> starts;
    for (uint32_t i = 0; i < TimelineDispObjGetCount(object); ++i) starts.push_back(TimelineDispObjGetStart(object, i));
    return starts;
  }
  uint32_t object = 0;
};

TEST_F(TimelineEditTest, NeighboursAndLengthsFollowWhatIsTyped) {
  wcTimelineEdit* editor = Edit(0);
  EXPECT_EQ(editor->ObjectInfoLabel->text(), "Object: " + Name(object) + "\nType: Text");
  EXPECT_EQ(editor->PrevTimeLabel->text(), t(2));
  EXPECT_EQ(editor->PrevLengthLabel->text(), t(3));
  EXPECT_EQ(editor->SegmentTimeText->text(), t(5));
  EXPECT_EQ(editor->SegmentLengthText->text(), t(3));
  EXPECT_EQ(editor->NextTimeLabel->text(), t(8));
  EXPECT_EQ(editor->NextLengthLabel->text(), t(4));
  SaveWindowShot(editor->window(), "timeline_segment_editor");

  // Past the next segment's start, well before the one after: the next
  // one is pushed to the new start plus 0.01 s.
  Type(editor->SegmentTimeText, "9");
  EXPECT_EQ(editor->NextTimeLabel->text(), t(9.01));
  EXPECT_EQ(editor->SegmentLengthText->text(), t(0.01));
  EXPECT_EQ(editor->NextLengthLabel->text(), t(12 - 9.01));
  EXPECT_EQ(editor->PrevLengthLabel->text(), t(7));
  // A length of 0 is the shortest one.
  Type(editor->SegmentTimeText, "6");
  Type(editor->SegmentLengthText, "0");
  EXPECT_EQ(editor->NextTimeLabel->text(), t(6.01));
  Type(editor->SegmentLengthText, "2.5");
  EXPECT_EQ(editor->NextTimeLabel->text(), t(8.5));
  // Within 0.02 s of the segment after next: no length to give.
  Type(editor->SegmentTimeText, "11.99");
  EXPECT_EQ(editor->SegmentLengthText->text(), "");
  EXPECT_FALSE(editor->SegmentLengthText->isEnabled());
  EXPECT_EQ(editor->NextTimeLabel->text(), "");
  // A negative start counts as 0 (and then lies before the previous one).
  Type(editor->SegmentTimeText, "-3");
  EXPECT_EQ(editor->SegmentTimeText->text(), t(0));
  EXPECT_EQ(editor->PrevLengthLabel->text(), "");
  editor->CancelButton_Pressed();
  EXPECT_FALSE(editor->Success());
  EXPECT_EQ(Starts(), (std::vector<float>{5, 8, 12}));

  // The first segment: no previous one, every property, none to change.
  editor = Edit(kFirst);
  EXPECT_EQ(editor->PrevTimeLabel->text(), "N/A");
  for (QCheckBox* box : editor->MaskChecks) {
    EXPECT_TRUE(box->isChecked());
    EXPECT_FALSE(box->isEnabled());
  }
  editor->CancelButton_Pressed();
  // The last segment: the next is the end, the length cannot be given.
  editor = Edit(2);
  EXPECT_EQ(editor->NextTimeLabel->text(), "End");
  EXPECT_EQ(editor->SegmentLengthText->text(), "");
  EXPECT_FALSE(editor->SegmentLengthText->isEnabled());
  EXPECT_EQ(editor->PrevLengthLabel->text(), t(4));
  // The same start again changes no time.
  editor->OkButton_Pressed();
  EXPECT_TRUE(editor->Success());
  EXPECT_FALSE(editor->TimeChanged());
}

TEST_F(TimelineEditTest, MovingPastTheNextSegmentPushesItAlongInOrder) {
  // 5 -> 9 passes the next segment's stored start (8): that one goes to
  // 9.01 and stays after the edited one.
  wcTimelineEdit* editor = Edit(0);
  Type(editor->SegmentTimeText, "9");
  editor->OkButton_Pressed();
  EXPECT_TRUE(editor->Success());
  EXPECT_TRUE(editor->TimeChanged());
  EXPECT_FALSE(editor->ChangedOrder());
  EXPECT_EQ(Starts(), (std::vector<float>{9, 9.01f, 12}));
  // Onto the next segment's stored start exactly.
  editor = Edit(0);
  Type(editor->SegmentTimeText, "9.01");
  editor->OkButton_Pressed();
  EXPECT_EQ(Starts(), (std::vector<float>{9.01f, 9.02f, 12}));
  // A shorter length moves the next segment back.
  editor = Edit(1);
  Type(editor->SegmentLengthText, "1");
  editor->OkButton_Pressed();
  EXPECT_EQ(Starts(), (std::vector<float>{9.01f, 9.02f, 10.02f}));
}

TEST_F(TimelineEditTest, OrderChangesAreRefusedOrAskedAndEngineFailuresKeepTheDialog) {
  // The first segment cannot pass its next one.
  wcTimelineEdit* editor = Edit(kFirst);
  Type(editor->SegmentTimeText, "13");
  editor->OkButton_Pressed();
  EXPECT_EQ(LastMessage(), L"The time you entered is after the start of the next segment. You cannot change the "
                           L"order of the first segment.");
  EXPECT_EQ(LastFlags(), 48);
  EXPECT_TRUE(editor->window()->isVisible());
  EXPECT_FALSE(editor->Success());
  editor->CancelButton_Pressed();
  // Segment 0 cannot go before the object's start.
  editor = Edit(0);
  Type(editor->SegmentTimeText, "1");
  editor->OkButton_Pressed();
  EXPECT_EQ(LastMessage(), L"The time you entered is before the start of the first segment. You cannot change the "
                           L"order of the first segment.");
  editor->CancelButton_Pressed();

  // Segment 0 past the segment after next: asked; No keeps the dialog.
  editor = Edit(0);
  Type(editor->SegmentTimeText, "15");
  answers = {kMbNo};
  editor->OkButton_Pressed();
  EXPECT_EQ(LastMessage(), L"The time you entered is after the start of the next segment and would change the order "
                           L"of the segments. Are you sure you want to do this?");
  EXPECT_EQ(LastFlags(), 36);
  EXPECT_TRUE(editor->window()->isVisible());
  EXPECT_EQ(Starts(), (std::vector<float>{5, 8, 12}));
  // Yes: it moves past, and its old neighbour stays where it was.
  answers = {kMbYes};
  editor->OkButton_Pressed();
  EXPECT_TRUE(editor->Success());
  EXPECT_TRUE(editor->ChangedOrder());
  EXPECT_EQ(Starts(), (std::vector<float>{8, 12, 15}));

  // Back onto the previous segment's start, confirmed: the engine refuses
  // (a segment starts there), and the dialog stays open with it shown.
  editor = Edit(2);
  Type(editor->SegmentTimeText, "12");
  answers = {kMbYes};
  messages.clear();
  editor->OkButton_Pressed();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, L"The time you entered is before the start of the previous segment and would change "
                              L"the order of the segments. Are you sure you want to do this?");
  EXPECT_NE(messages[1].text.find(L"TimelineDispObjSetStart"), std::wstring::npos);
  EXPECT_TRUE(editor->window()->isVisible());
  EXPECT_FALSE(editor->Success());
  EXPECT_EQ(Starts(), (std::vector<float>{8, 12, 15}));
  // Back before it, confirmed: the segments are in a new order.
  answers = {kMbYes};
  Type(editor->SegmentTimeText, "10");
  editor->OkButton_Pressed();
  EXPECT_TRUE(editor->Success());
  EXPECT_TRUE(editor->ChangedOrder());
  EXPECT_EQ(Starts(), (std::vector<float>{8, 10, 12}));
}

TEST_F(TimelineEditTest, TheMaskKeepsChosenValuesAndDropsTheFlagsBit) {
  // Segment 0 moves the object; the preview stands in the base meanwhile.
  ASSERT_EQ(TimelineDispObjSetChanged(object, 0, kSegPosition | kSegFlags, 0), 0);
  ASSERT_EQ(TimelineApply(6), 0);
  Place(object, 70, 70, 20, 10);
  ASSERT_EQ(TimelineApply(1), 0);
  wcTimelineEdit* editor = Edit(0);
  EXPECT_TRUE(editor->MaskChecks[1]->isChecked()); // XyCheck
  EXPECT_FALSE(editor->MaskChecks[6]->isChecked()); // TransCheck
  editor->MaskChecks[6]->click();
  editor->OkButton_Pressed();
  ASSERT_TRUE(editor->Success());
  EXPECT_EQ(TimelineDispObjGetChanged(object, 0), uint32_t{kSegPosition | kSegTransparency});
  ASSERT_EQ(TimelineApply(6), 0);
  EXPECT_FLOAT_EQ(DispObjGet(object)->X, 70); // not the base's 10
  EXPECT_EQ(DispObjGet(object)->Transparency, 0);
}

TEST_F(TimelineEditTest, TheGeneralPanelsTimeLabelOpensTheEditor) {
  main->DispObjRefresh(kNoDispObj);
  main->setPreviewTime(9);
  Editor()->showWindow();
  ASSERT_TRUE(Editor()->SetDisplayObject(static_cast<int>(object)));
  auto* general = static_cast<vcDispObjGeneral*>(Editor()->Panel(kPanelGeneral));
  ASSERT_EQ(general->SegmentIndex, 1);
  OnSegmentEditor([this](wcTimelineEdit* editor) {
    EXPECT_EQ(editor->SegmentTimeText->text(), t(8));
    Type(editor->SegmentTimeText, "10");
    editor->OkButton_Pressed();
  });
  QTest::mouseClick(general->TimeLabel, Qt::LeftButton);
  EXPECT_EQ(modalRuns, std::vector<QString>{"wcTimelineEdit"});
  EXPECT_EQ(Starts(), (std::vector<float>{5, 10, 12}));
  EXPECT_DOUBLE_EQ(main->PreviewTime(), 10.0);
  EXPECT_TRUE(main->ProjectModified());
}
