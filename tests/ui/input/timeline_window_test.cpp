// The timeline window from the main window's Timeline command: zoom with
// its limits, clicks that select an object's segment and seek the preview
// (the selection surviving the list update they cause), a double click to
// the property window, the rows following removed objects, and the four
// segment commands with their refusals and questions.
#include <QPushButton>

#include "model/dispobjs.h"
#include "ui/controls/real_slider.h"
#include "ui/input/timeline_fixture.h"
#include "ui/support/window_shots.h"

namespace {

constexpr QRgb kSelectedRow = 0xDDE8FF;

} // namespace

TEST_F(TimelineTest, ZoomAndClicksSelectSegmentsAndSeekThePreview) {
  const uint32_t lower = AddText(10, 10, 20, 10);
  const uint32_t upper = AddText(40, 40, 20, 10);
  ASSERT_EQ(TimelineDispObjSetStart(upper, kFirst, 10), 0);
  ASSERT_EQ(TimelineDispObjAdd(upper, 30), 0u);
  ProjectSetLength(60);
  main->DispObjRefresh(kNoDispObj);
  Editor()->showWindow();
  wcTimeline* timeline = OpenTimeline();
  // The whole project across the chart.
  EXPECT_FLOAT_EQ(timeline->TimelineZoom(), 5.0f);
  EXPECT_FLOAT_EQ(timeline->TimelineTime(), 0.0f);
  EXPECT_DOUBLE_EQ(timeline->TimelineTimeSlider->maximum(), 60.0);
  EXPECT_DOUBLE_EQ(timeline->TimelineYSlider->minimum(), -2.0);

  for (int i = 0; i < 3; ++i) Button("ZoomInButton")->click();
  EXPECT_DOUBLE_EQ(kTimelineSpanSeconds / timeline->TimelineZoom(), 7.5);
  for (int i = 0; i < 20; ++i) Button("ZoomInButton")->click();
  EXPECT_NEAR(kTimelineSpanSeconds / timeline->TimelineZoom(), wcTimeline::kShortestSpan, 1e-6);
  for (int i = 0; i < 40; ++i) Button("ZoomOutButton")->click();
  EXPECT_NEAR(kTimelineSpanSeconds / timeline->TimelineZoom(), wcTimeline::kLongestSpan, 0.5);
  Button("ZoomResetButton")->click();
  EXPECT_FLOAT_EQ(timeline->TimelineZoom(), 5.0f);

  // The top row is the higher index. A click after its segment's start
  // selects that segment, seeks there and selects the object in the list
  // and the property window, and the selection stays.
  ClickAt(35, 0);
  EXPECT_EQ(timeline->SelectedDispObjID(), upper);
  EXPECT_EQ(timeline->SelectedSegmentID(), 0u);
  EXPECT_NEAR(main->PreviewTime(), 35.0, SecondsPerPixel());
  EXPECT_EQ(main->SelectedDispObjNames(), QStringList{Name(upper)});
  EXPECT_EQ(Editor()->OurIndex(), upper);
  EXPECT_TRUE(ChartShows(PointAt(2, 0) - QPoint(0, 10), kSelectedRow));
  SaveWindowShot(timeline->window(), "timeline_window");
  // It stays: a while in which a late reaction would undo it.
  Spin(50);
  EXPECT_EQ(timeline->SelectedDispObjID(), upper);

  ClickAt(20, 0); // before its first added segment: the first segment
  EXPECT_EQ(timeline->SelectedSegmentID(), kFirst);
  ClickAt(5, 1);
  EXPECT_EQ(timeline->SelectedDispObjID(), lower);
  EXPECT_EQ(Editor()->OurIndex(), lower);

  // The ruler only seeks; past the project's end seeks to the end.
  ClickAt(15, -1);
  EXPECT_EQ(timeline->SelectedDispObjID(), kNoDispObj);
  EXPECT_NEAR(main->PreviewTime(), 15.0, SecondsPerPixel());
  Button("ZoomOutButton")->click();
  ClickAt(90, 1);
  EXPECT_DOUBLE_EQ(main->PreviewTime(), 60.0);
  EXPECT_EQ(timeline->SelectedDispObjID(), lower);
  // Below the last row: no object.
  QTest::mouseClick(timeline->TimelineImage, Qt::LeftButton, {}, QPoint(40, kTimelineRulerHeight + 2 * 22 + 5));
  EXPECT_EQ(timeline->SelectedDispObjID(), kNoDispObj);

  // A double click opens the property window on the object.
  Editor()->close();
  DoubleClickAt(40, 0);
  EXPECT_TRUE(Editor()->window()->isVisible());
  EXPECT_EQ(Editor()->OurIndex(), upper);

  // The main window's own list selection clears the chart's.
  main->DispObjsTable()->selectOnly(Name(lower));
  EXPECT_EQ(timeline->SelectedDispObjID(), kNoDispObj);
}

TEST_F(TimelineTest, RowsFollowRemovedObjectsWhileScrolledDown) {
  for (int i = 0; i < 12; ++i) AddText(5.0f * i, 10, 5, 5);
  ProjectSetLength(30);
  main->DispObjRefresh(kNoDispObj);
  wcTimeline* timeline = OpenTimeline();
  EXPECT_DOUBLE_EQ(timeline->TimelineYSlider->minimum(), -12.0);
  timeline->TimelineYSlider->setValue(-10);
  timeline->TimelineYSlider_Changed();
  EXPECT_EQ(timeline->TimelineY(), 10u);
  for (uint32_t i = 0; i < 6; ++i) ASSERT_EQ(DispObjRemove(0, 0), 0);
  main->DispObjRefresh(kNoDispObj);
  main->PreviewRefresh();
  EXPECT_EQ(timeline->TimelineY(), 6u);
  EXPECT_DOUBLE_EQ(timeline->TimelineYSlider->minimum(), -6.0);
  EXPECT_EQ(timeline->TimelineYSlider->intValue(), -6);
}

TEST_F(TimelineTest, SegmentCommandsAddShiftEditAndRemove) {
  const uint32_t text = AddText(10, 10, 20, 10);
  ASSERT_EQ(TimelineDispObjSetStart(text, kFirst, 2), 0);
  ProjectSetLength(60);
  main->DispObjRefresh(kNoDispObj);
  wcTimeline* timeline = OpenTimeline();

  // Nothing selected: each command says so and changes nothing.
  messages.clear();
  for (const char* name : {"SegmentAddButton", "SegmentShiftButton"}) Button(name)->click();
  for (const char* name : {"SegmentEditButton", "SegmentRemoveButton"}) Button(name)->click();
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[0].text, L"Please first select a display object in the timeline view.");
  EXPECT_EQ(messages[1].text, L"Please first select a display object in the timeline view.");
  EXPECT_EQ(messages[2].text, L"Please first select a display object segment in the timeline view.");
  EXPECT_EQ(messages[3].flags, 48);
  EXPECT_TRUE(modalRuns.empty());

  ClickAt(5, 0);
  ASSERT_EQ(timeline->SelectedDispObjID(), text);
  // Add: a time at the object's start is refused; a later one is added,
  // selected, seeked to and opened in the property window.
  inputAnswers = {std::wstring(L"0:02"), std::nullopt};
  Button("SegmentAddButton")->click();
  EXPECT_EQ(LastMessage(), L"You cannot place this segment before the first timeline segment.");
  Button("SegmentAddButton")->click(); // Cancel
  EXPECT_EQ(TimelineDispObjGetCount(text), 0u);
  EXPECT_FALSE(main->ProjectModified());
  inputAnswers = {std::wstring(L"0:20")};
  Button("SegmentAddButton")->click();
  EXPECT_EQ(inputPrompts.back(), L"Enter the time in the project for this display object's new timeline segment");
  ASSERT_EQ(TimelineDispObjGetCount(text), 1u);
  EXPECT_EQ(timeline->SelectedSegmentID(), 0u);
  EXPECT_DOUBLE_EQ(main->PreviewTime(), 20.0);
  EXPECT_TRUE(main->ProjectModified());
  EXPECT_TRUE(Editor()->window()->isVisible());
  inputAnswers = {std::wstring(L"30")};
  Button("SegmentAddButton")->click();
  ASSERT_EQ(TimelineDispObjGetCount(text), 2u);
  EXPECT_EQ(timeline->SelectedSegmentID(), 1u);

  // Shift back exactly onto the previous segment's start: refused; before
  // the project's start: refused; forward: never checked here.
  inputAnswers = {std::wstring(L"-10"), std::wstring(L"-31"), std::wstring(L"5")};
  Button("SegmentShiftButton")->click();
  EXPECT_EQ(LastMessage(), L"Cannot shift segment to start before the start of the previous segment");
  Button("SegmentShiftButton")->click();
  EXPECT_EQ(LastMessage(), L"Cannot shift segment to start before the start of the project");
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(text, 1), 30);
  Button("SegmentShiftButton")->click();
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(text, 1), 35);
  EXPECT_DOUBLE_EQ(main->PreviewTime(), 35.0);

  // Edit runs the segment editor; Cancel still leaves the project marked.
  main->setProjectModified(false);
  OnSegmentEditor([](wcTimelineEdit* editor) { editor->CancelButton_Pressed(); });
  Button("SegmentEditButton")->click();
  EXPECT_EQ(modalRuns.back(), "wcTimelineEdit");
  EXPECT_TRUE(main->ProjectModified());
  // A new start that keeps the order: the preview follows it.
  OnSegmentEditor([this](wcTimelineEdit* editor) {
    Type(editor->SegmentTimeText, "40");
    editor->OkButton_Pressed();
  });
  Button("SegmentEditButton")->click();
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(text, 1), 40);
  EXPECT_DOUBLE_EQ(main->PreviewTime(), 40.0);
  EXPECT_EQ(timeline->SelectedSegmentID(), 1u);

  // Remove the selected segment: the one before it becomes selected.
  answers = {kMbNo, kMbYes};
  Button("SegmentRemoveButton")->click();
  EXPECT_EQ(LastMessage(), L"Remove '" + Name(text).toStdWString() +
                               L"' display object changes made during the selected timeline segment?");
  EXPECT_EQ(LastFlags(), 36);
  EXPECT_EQ(TimelineDispObjGetCount(text), 2u);
  Button("SegmentRemoveButton")->click();
  EXPECT_EQ(TimelineDispObjGetCount(text), 1u);
  EXPECT_EQ(timeline->SelectedSegmentID(), 0u);
  answers = {kMbYes};
  Button("SegmentRemoveButton")->click();
  EXPECT_EQ(TimelineDispObjGetCount(text), 0u);
  EXPECT_EQ(timeline->SelectedSegmentID(), kFirst);
  // Undo brings the segment back: the checkpoint came before the change.
  app->menuAction("mnuEditUndo")->trigger();
  EXPECT_EQ(TimelineDispObjGetCount(text), 1u);
}

TEST_F(TimelineTest, RemovingTheFirstSegmentOffersTheWholeObjectNamingItsGroup) {
  const uint32_t speed = AddText(10, 10, 20, 10);
  const uint32_t rpm = AddText(10, 30, 20, 10);
  const uint32_t group = MakeGroup({speed, rpm});
  const uint32_t other = AddText(50, 50, 10, 10);
  ProjectSetLength(20);
  main->DispObjRefresh(kNoDispObj);
  wcTimeline* timeline = OpenTimeline();
  EXPECT_DOUBLE_EQ(timeline->TimelineYSlider->minimum(), -2.0); // the group and the other object
  // The top row is the other object (highest index), then the group.
  ClickAt(1, 1);
  ASSERT_EQ(timeline->SelectedDispObjID(), group);
  ASSERT_EQ(timeline->SelectedSegmentID(), kFirst);
  const std::wstring groupName = Name(group).toStdWString();
  answers = {kMbNo};
  Button("SegmentRemoveButton")->click();
  EXPECT_EQ(LastMessage(), L"You cannot remove the first timeline segment. Do you want to remove the entire '" +
                               groupName + L"' display object instead?\n\nThe objects of its group go with it: '" +
                               Name(speed).toStdWString() + L"', '" + Name(rpm).toStdWString() + L"'.");
  EXPECT_EQ(DispObjCount(), 4u);
  const QString otherName = Name(other);
  answers = {kMbYes};
  Button("SegmentRemoveButton")->click();
  EXPECT_EQ(DispObjCount(), 1u);
  EXPECT_EQ(Name(0), otherName);
  EXPECT_EQ(timeline->SelectedDispObjID(), kNoDispObj);
  EXPECT_EQ(main->DispObjNames(), QStringList{otherName});
}
