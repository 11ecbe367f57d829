// The main window's lap commands and its bridge to the timeline: the
// start/finish point taken from the preview position (tolerances from the
// log's extent, the heading floor, the refusals, undo), the lap list opened
// for the selected input, and the timeline command.
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <cmath>
#include <fstream>
#include <vector>

#include "base/text.h"
#include "model/inputs.h"
#include "media/datalog/datalog_queries.h"
#include "media/datalog/query.h"
#include "ui/controls/NameListTable.h"
#include "ui/input/wcLapList.h"
#include "ui/input/wcTimeline.h"
#include "ui/preview/preview_fixture.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/WindowController.h"
#include "ui/shell/wcMain.h"
#include "ui/support/input_files.h"

namespace {

// A 20 s log around an oval 200 units across in X and 120 in Y, ten
// samples a second.
std::string writeOvalLog(const std::string& path) {
  std::ofstream out(path);
  out << "Time (s),X,Y,Speed (km/h)\n";
  for (int i = 0; i <= 200; ++i) {
    const double t = i / 10.0;
    const double a = 2 * M_PI * t / 10.0;
    out << t << "," << 100 * std::sin(a) << "," << 60 * std::cos(a) << ",50\n";
  }
  return path;
}

class LapCommandsTest : public PreviewTest {
protected:
  void AddInputs() {
    const std::string dir = tempDir;
    videoInput = InputAdd(WideToUtf16(Utf8ToWide(MakeTestVideo(dir + "/clip.mp4"))).c_str());
    logInput = InputAdd(WideToUtf16(Utf8ToWide(writeOvalLog(dir + "/oval.csv"))).c_str());
    ASSERT_NE(videoInput, 255u);
    ASSERT_NE(logInput, 255u);
    main->InputRefresh(255);
  }
  // Chooses the input's row and the menu item, as the user would.
  void SetStartFinishFromMenu(uint32_t input) {
    main->InputSelect(input);
    const int row = main->InputFilesTable()->selectedRowNumbers().front();
    ASSERT_TRUE(main->menuWillOpen(main->InputFilesMenu(), row));
    QAction* item = main->ListMenuItem("InputMenuLapSetManual");
    ASSERT_TRUE(item->isVisible() && item->isEnabled());
    item->trigger();
  }
  void StoreHeadingTolerance(float tolerance) {
    DataStruct data = *InputGetData(logInput);
    data.LapHeadTol = tolerance;
    data.LapManual = 0x82; // typed by hand, with another lap setting kept
    ASSERT_EQ(InputSetData(logInput, &data), 0);
  }
  QAction* ToolbarButton(const char* name) {
    return main->mainWindow()->findChild<QToolBar*>("CommandsToolBar")->findChild<QAction*>(name);
  }

  uint32_t videoInput = 255, logInput = 255;
};

} // namespace

TEST_F(LapCommandsTest, StartFinishIsTakenFromThePreviewPosition) {
  ASSERT_NO_FATAL_FAILURE(LaunchMain());
  ASSERT_NO_FATAL_FAILURE(AddInputs());
  main->InputLapSetManual_Clicked();
  EXPECT_EQ(CountMessages(L"Please select the input that you want to set the start/finish point for."), 1);
  main->InputSelect(videoInput);
  main->InputLapSetManual_Clicked();
  EXPECT_EQ(CountMessages(L"Please select a data input."), 1);
  EXPECT_EQ(messages.back().flags, 48);

  StoreHeadingTolerance(0.05f);
  main->setProjectModified(false);
  main->setPreviewTime(2.5); // a quarter lap: the right end of the oval
  ASSERT_NO_FATAL_FAILURE(SetStartFinishFromMenu(logInput));
  const DataStruct set = *InputGetData(logInput);
  EXPECT_NEAR(set.LapX, 100.0, 0.5);
  EXPECT_NEAR(set.LapY, 0.0, 0.5);
  EXPECT_NEAR(set.LapHeading, InputHandlerGetDataTypeValue(logInput, 0, kQueryHeading, 2.5f), 0.01);
  EXPECT_DOUBLE_EQ(set.LapTolX, 5.0) << "span 200 / 40";
  EXPECT_DOUBLE_EQ(set.LapTolY, 3.0) << "span 120 / 40";
  EXPECT_FLOAT_EQ(set.LapHeadTol, 30.0f) << "a tolerance below 0.1 degree becomes 30";
  EXPECT_EQ(set.LapManual, 0x03) << "set by the user, no longer typed by hand, the rest kept";
  EXPECT_TRUE(main->ProjectModified());

  // A tolerance of its own stays; a time outside the log changes nothing.
  StoreHeadingTolerance(45.0f);
  main->setPreviewTime(7.5);
  ASSERT_NO_FATAL_FAILURE(SetStartFinishFromMenu(logInput));
  EXPECT_FLOAT_EQ(InputGetData(logInput)->LapHeadTol, 45.0f);
  EXPECT_NEAR(InputGetData(logInput)->LapX, -100.0, 0.5);
  const DataStruct before = *InputGetData(logInput);
  main->setPreviewTime(25.0);
  ASSERT_NO_FATAL_FAILURE(SetStartFinishFromMenu(logInput));
  EXPECT_EQ(CountMessages(L"The preview is outside the data of this input."), 1);
  EXPECT_EQ(InputGetData(logInput)->LapX, before.LapX);

  // Undo brings the settings from before the last start/finish back.
  app->menuAction("mnuEditUndo")->trigger();
  EXPECT_FLOAT_EQ(InputGetData(logInput)->LapHeadTol, 45.0f);
  EXPECT_NE(InputGetData(logInput)->LapX, before.LapX);
}

TEST_F(LapCommandsTest, LapListGetsTheSelectedInputAndTheTimelineOpens) {
  ASSERT_NO_FATAL_FAILURE(LaunchMain());
  auto* lapList = app->windows().wndLapList();
  ToolbarButton("LapsButton")->trigger();
  EXPECT_EQ(CountMessages(L"Please add a data input file to the project first."), 1);
  EXPECT_EQ(messages.back().flags, 64);
  EXPECT_FALSE(AppDelegate::IsWindowVisible(lapList));

  ASSERT_NO_FATAL_FAILURE(AddInputs());
  main->InputFilesTable()->clearSelection();
  ToolbarButton("LapsButton")->trigger();
  EXPECT_TRUE(lapList->window()->isVisible());
  EXPECT_EQ(lapList->OurInputID(), static_cast<int>(logInput)) << "no selection: the first data log";
  lapList->close();
  main->InputSelect(logInput);
  const int row = main->InputFilesTable()->selectedRowNumbers().front();
  ASSERT_TRUE(main->menuWillOpen(main->InputFilesMenu(), row));
  main->InputFilesMenu()->findChild<QAction*>("InputMenuLaps")->trigger();
  EXPECT_TRUE(lapList->window()->isVisible());
  EXPECT_EQ(lapList->OurInputID(), static_cast<int>(logInput));
  // A visible lap list follows a new start/finish.
  const QStringList lapsBefore = lapList->LapLabels();
  main->setPreviewTime(1.0);
  main->InputLapSetManual_Clicked();
  EXPECT_NE(lapList->LapLabels(), lapsBefore);
  lapList->close();

  ToolbarButton("TimelineButton")->trigger();
  EXPECT_TRUE(app->windows().wndTimeline()->window()->isVisible());
  main->TimelineClearSelection();
  main->TimelineRefreshView();
  app->windows().wndTimeline()->close();
}

