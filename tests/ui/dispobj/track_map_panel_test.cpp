// The track map panel with the real engine and a logged lap session: the
// lap list and what each choice stores, the start/finish line and the
// switches each edit turns on, the derived second colour, the zoom slider
// and the rescaling of sizes between resolutions.
#include <QCheckBox>
#include <QComboBox>
#include <QSlider>

#include "io/files/undo.h"
#include "render/preview/main_preview.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/real_stepper.h"
#include "ui/dispobj/data_panel_fixture.h"
#include "ui/dispobj/vcDispObjGeneral.h"
#include "ui/dispobj/vcDispObjTrackMap.h"
#include "ui/util/ui_utils.h"

class TrackMapPanelTest : public DataPanelTest {
protected:
  static TrackMapParam Map(uint32_t object) { return Param<TrackMapParam>(object); }
  // Types into the lap list's field and presses Return.
  static void TypeLap(vcDispObjTrackMap* panel, const QString& text) {
    Type(static_cast<TextField*>(panel->LapSelection->lineEdit()), text);
  }
};

TEST_F(TrackMapPanelTest, LapListOffersUpTo255LapsAndStoresEachChoice) {
  // The log's last sample lies in lap 300.
  const uint32_t session = AddLapSession(std::vector<double>(299, 0.5), 10);
  uint32_t map = kNoDispObj;
  auto* panel = AddAndOpen<vcDispObjTrackMap>(kDispTrackMap, kPanelTrackMap, &map);
  ASSERT_EQ(DispObjGet(map)->InputID, session);
  const QStringList laps = Items(panel->LapSelection);
  ASSERT_EQ(laps.size(), 2 + 255);
  EXPECT_EQ(laps.mid(0, 3), (QStringList{"All", "Best", "1"}));
  EXPECT_EQ(laps.last(), "255");
  EXPECT_EQ(panel->LapSelection->currentText(), "Best"); // a new map's choice

  Pick(panel->LapSelection, "3");
  EXPECT_EQ(Map(map).SelectedLap, 3);
  EXPECT_EQ(Map(map).Options & kMapBestLap, 0);
  // "Best" keeps the lap chosen before; "All" clears it.
  Pick(panel->LapSelection, "Best");
  EXPECT_NE(Map(map).Options & kMapBestLap, 0);
  EXPECT_EQ(Map(map).SelectedLap, 3);
  Pick(panel->LapSelection, "All");
  EXPECT_EQ(Map(map).Options & kMapBestLap, 0);
  EXPECT_EQ(Map(map).SelectedLap, 0);
  // One checkpoint per choice: Undo brings "Best" back.
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_NE(Map(map).Options & kMapBestLap, 0);
  ASSERT_EQ(UndoToggle(), 0);

  // A session of three laps: a lap typed by hand need not be listed, text
  // that is no number means all laps, a lap beyond a byte stops at 255.
  const uint32_t threeLaps = AddLapSession({4.0, 3.6, 4.2});
  const uint32_t second = AddFromToolbox(kDispTrackMap);
  ASSERT_NE(second, kNoDispObj);
  // Bound to the first session; the user picks the other in the general panel.
  Pick(Editor()->General()->InputSelection, QString::fromUtf16(InputGetName(threeLaps)));
  ASSERT_EQ(DispObjGet(second)->InputID, threeLaps);
  panel = Open<vcDispObjTrackMap>(second, kPanelTrackMap);
  EXPECT_EQ(Items(panel->LapSelection), (QStringList{"All", "Best", "1", "2", "3", "4"}));
  TypeLap(panel, "7");
  EXPECT_EQ(Map(second).SelectedLap, 7);
  panel = Reload<vcDispObjTrackMap>(second, kPanelTrackMap);
  EXPECT_EQ(panel->LapSelection->currentIndex(), -1); // kept, though not listed
  EXPECT_EQ(panel->LapSelection->currentText(), "7");
  TypeLap(panel, "fastest");
  EXPECT_EQ(Map(second).SelectedLap, 0);
  EXPECT_EQ(panel->LapSelection->currentText(), "All");
  TypeLap(panel, "300");
  EXPECT_EQ(Map(second).SelectedLap, 255);

  // Without a data input the list has only its two fixed entries.
  Pick(Editor()->General()->InputSelection, "(None)");
  ASSERT_EQ(DispObjGet(second)->InputID, kNoInput);
  EXPECT_EQ(Items(panel->LapSelection), (QStringList{"All", "Best"}));
}

TEST_F(TrackMapPanelTest, StartLineAndElementSwitchesCascade) {
  AddLapSession({4.0, 3.6, 4.2});
  uint32_t map = kNoDispObj;
  auto* panel = AddAndOpen<vcDispObjTrackMap>(kDispTrackMap, kPanelTrackMap, &map);
  EXPECT_TRUE(panel->StartLineCheck->isChecked());
  EXPECT_TRUE(panel->StartLineAutoCheck->isChecked());

  // No line: 65535, shown again as off with "Auto" checked.
  panel->StartLineCheck->click();
  EXPECT_EQ(Map(map).StartLineAngle, kMapNoStartLine);
  panel = Reload<vcDispObjTrackMap>(map, kPanelTrackMap);
  EXPECT_FALSE(panel->StartLineCheck->isChecked());
  EXPECT_TRUE(panel->StartLineAutoCheck->isChecked());

  // With the marker and then the map off, a new style switches all three
  // on (the marker's switch alone would turn the map on again).
  panel->StartCheck->click();
  EXPECT_TRUE(panel->DoMapCheck->isChecked());
  panel->DoMapCheck->click();
  EXPECT_TRUE(ColorIsOff(Map(map).MapColor));
  EXPECT_TRUE(ColorIsOff(Map(map).StartColor));
  Pick(panel->StartStyleSelection, "Checker 2");
  TrackMapParam p = Map(map);
  EXPECT_EQ(p.StartStyle, kStartChecker2);
  EXPECT_EQ(p.StartLineAngle, kMapAutoStartLine);
  EXPECT_FALSE(ColorIsOff(p.MapColor));
  EXPECT_FALSE(ColorIsOff(p.StartColor));
  EXPECT_TRUE(panel->StartLineCheck->isChecked() && panel->StartCheck->isChecked() && panel->DoMapCheck->isChecked());

  // A typed angle replaces the automatic one.
  Type(panel->StartLineText, "45");
  EXPECT_EQ(Map(map).StartLineAngle, 45);
  EXPECT_FALSE(panel->StartLineAutoCheck->isChecked());
  panel = Reload<vcDispObjTrackMap>(map, kPanelTrackMap);
  EXPECT_EQ(panel->StartLineText->text(), "45");
  panel->StartLineAutoCheck->click();
  EXPECT_EQ(Map(map).StartLineAngle, kMapAutoStartLine);

  // While the second colour is off it follows the line a shade darker.
  ASSERT_FALSE(panel->LowCheck->isChecked());
  PickColour(panel->LineColor, QColor(0x50, 0x30, 0x20));
  EXPECT_EQ(Map(map).MapColor, 0x00503020u);
  EXPECT_EQ(Map(map).MapLowColor, 0xFF140000u); // 60, 64 and 56 darker, held at 0
  EXPECT_EQ(NSColorToColor(panel->LowColor->color()) & 0xFFFFFF, 0x140000u);
  panel->LowCheck->click();
  EXPECT_EQ(Map(map).MapLowColor, 0x00140000u);
  PickColour(panel->LineColor, QColor(0x80, 0x80, 0x80)); // now its own
  EXPECT_EQ(Map(map).MapLowColor, 0x00140000u);

  // Sub-elements switch their own box and their group's on.
  panel->EdgeCheck->click();
  panel->DoMapCheck->click();
  PickColour(panel->EdgeColor, QColor(255, 255, 0));
  EXPECT_EQ(Map(map).MapEdgeColor, 0x00FFFF00u);
  EXPECT_FALSE(ColorIsOff(Map(map).MapColor));
  panel->DoPosCheck->click();
  EXPECT_TRUE(ColorIsOff(Map(map).PosColor));
  PickColour(panel->GhostColor, QColor(0, 200, 255));
  EXPECT_EQ(Map(map).GhostColor, 0x0000C8FFu);
  EXPECT_FALSE(ColorIsOff(Map(map).PosColor));
  EXPECT_TRUE(panel->DoGhostCheck->isChecked());
  panel->PosAnimCheck->click();
  panel->RotateMapCheck->click();
  EXPECT_EQ(Map(map).Options & (kMapAnimatePos | kMapRotate), kMapAnimatePos | kMapRotate);
}

TEST_F(TrackMapPanelTest, ZoomIsAWholeSliderStepAndSizesFollowTheResolution) {
  AddLapSession({4.0, 3.6});
  uint32_t map = kNoDispObj;
  auto* panel = AddAndOpen<vcDispObjTrackMap>(kDispTrackMap, kPanelTrackMap, &map);
  EXPECT_FALSE(panel->ZoomMapCheck->isChecked());
  // The user drags the knob to 37.6: the slider snaps to 38.
  panel->ZoomMapSlider->knob()->setValue(376);
  EXPECT_DOUBLE_EQ(panel->ZoomMapSlider->value(), 38);
  EXPECT_TRUE(panel->ZoomMapCheck->isChecked());
  EXPECT_EQ(Map(map).ZoomArea, 58);
  panel->ZoomMapCheck->click();
  EXPECT_EQ(Map(map).ZoomArea, 0);
  panel = Reload<vcDispObjTrackMap>(map, kPanelTrackMap);
  EXPECT_DOUBLE_EQ(panel->ZoomMapSlider->value(), 38); // left where it was

  // High resolution (x2) to higher (x3): sizes times 1.5.
  TrackMapParam p = Map(map);
  ASSERT_EQ(p.Options & (kMapHighRes | kMapHigherRes), kMapHighRes);
  ASSERT_EQ(p.MapLineSize, 14);
  EXPECT_EQ(panel->LineSizeStepper->maximum(), 40);
  panel->HigherResCheck->click();
  p = Map(map);
  EXPECT_EQ(p.Options & (kMapHighRes | kMapHigherRes), kMapHighRes | kMapHigherRes);
  EXPECT_EQ(p.MapLineSize, 21);
  EXPECT_EQ(p.StartSize, 18);
  EXPECT_EQ(p.PosSize, 27);
  EXPECT_EQ(panel->LineSizeText->text(), "21");
  EXPECT_EQ(panel->PosSizeStepper->maximum(), 60);
  EXPECT_NE(p.Options & kMapBestLap, 0); // other bits kept

  // 13 at x3 back to x1 is 4; unchecking high also unchecks higher.
  Type(panel->LineSizeText, "13");
  panel->HighResCheck->click();
  EXPECT_FALSE(panel->HigherResCheck->isChecked());
  p = Map(map);
  EXPECT_EQ(p.Options & (kMapHighRes | kMapHigherRes), 0);
  EXPECT_EQ(p.MapLineSize, 4);
  EXPECT_EQ(p.StartSize, 6);
  EXPECT_EQ(p.PosSize, 9);
  EXPECT_EQ(panel->StartSizeStepper->maximum(), 20);
  // Checking higher checks high too.
  panel->HigherResCheck->click();
  EXPECT_TRUE(panel->HighResCheck->isChecked());
  EXPECT_EQ(Map(map).MapLineSize, 12);
}

// Each move of the knob repaints the preview; a move that comes while the
// last repaint is still being drawn must not start playback.
TEST_F(TrackMapPanelTest, QuickEditsRepaintWithoutPlaying) {
  AddLapSession({4.0, 3.6});
  uint32_t map = kNoDispObj;
  auto* panel = AddAndOpen<vcDispObjTrackMap>(kDispTrackMap, kPanelTrackMap, &map);
  ASSERT_TRUE(WaitIdle());
  const double before = main->PreviewTime();
  for (int step = 100; step <= 400; step += 50) panel->ZoomMapSlider->knob()->setValue(step);
  EXPECT_EQ(Map(map).ZoomArea, 60);
  ASSERT_TRUE(WaitIdle());
  // None starts: a while in which a wrongly started playback would show.
  Spin(300);
  EXPECT_FALSE(PreviewIsPlayingBack());
  EXPECT_EQ(main->PreviewTime(), before);
  EXPECT_FLOAT_EQ(PreviewGetTime(), static_cast<float>(before));
}
