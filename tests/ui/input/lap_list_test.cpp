// The lap list, opened from the main window's toolbar on a project with an
// index video and generated lap sessions: the rows with the best lap and
// the lap in progress, the input box, the set-up button, and choosing a
// row moving the main preview to the first frame of that lap, through the
// log's own start, trim and play rate and those of a join holding it.
#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QTableWidget>
#include <QToolBar>

#include "model/dispobjs.h"
#include "model/project.h"
#include "render/preview/main_preview.h"
#include "support/media_fixtures.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/input/data_fixture.h"
#include "ui/input/wcLapList.h"

namespace {

bool Near(QRgb pixel, int r, int g, int b) {
  return std::abs(qRed(pixel) - r) < 48 && std::abs(qGreen(pixel) - g) < 48 && std::abs(qBlue(pixel) - b) < 48;
}

} // namespace

class LapListTest : public DataWindowTest {
protected:
  wcLapList* Laps() { return app->windows().wndLapList(); }
  QTableWidget* Table() { return Child<QTableWidget>(Laps(), "LapsTable"); }
  QStringList Rows() {
    QStringList rows;
    for (int row = 0; row < Table()->rowCount(); ++row) rows << Table()->item(row, 0)->text();
    return rows;
  }
  // The toolbar's Laps button with the input chosen in the list (or none).
  void OpenLaps(uint32_t selected) {
    if (selected != kNoInput) main->InputSelect(selected);
    main->mainWindow()->findChild<QToolBar*>("CommandsToolBar")->findChild<QAction*>("LapsButton")->trigger();
    ASSERT_TRUE(SpinUntil([this]() { return Laps()->window()->isVisible(); }));
  }
  void ClickRow(int row) {
    QTableWidgetItem* item = Table()->item(row, 0);
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(Table()->viewport(), Qt::LeftButton, {}, Table()->visualItemRect(item).center());
  }
  // An index video of three minutes at one frame a second: the main
  // preview shows frame n from second n of the project.
  void AddIndexVideo() {
    const std::string video = File("onboard.mp4");
    ASSERT_TRUE(MakeIndexVideo(video, 180, 160, 120, "1", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 10"));
    main->AddInputFiles({QString::fromStdString(video)});
    ASSERT_GE(DispObjCount(), 1u);
  }
  static void Place(uint32_t input, float start, float trimStart, float rate) {
    MainStruct record = *InputGetMain(input);
    record.StartTime = start;
    record.TrimStart = trimStart;
    record.PlayRate = rate;
    ASSERT_EQ(InputSetMain(input, &record), 0);
  }
  // The frame index the main preview shows, read inside the clip's own
  // columns (the 4:3 clip sits in the 3:2 picture).
  int ShownFrame() {
    EXPECT_TRUE(SpinUntil([]() { return PreviewIsPlaying() == 0; }));
    // The canvas gets the frame from the redraw thread.
    EXPECT_TRUE(MainPreviewWaitIdle(30000));
    Settle();
    QImage shown = main->PreviewImage()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const int y = shown.height() * 3 / 4;
    int left = 0, right = shown.width() - 1;
    while (left < shown.width() && !Near(shown.pixel(left, y), 255, 0, 0)) ++left;
    while (right > left && !Near(shown.pixel(right, y), 128, 128, 128)) --right;
    if (right - left < 100) return -1;
    QImage clip = shown.copy(left, 0, right - left + 1, shown.height());
    return ReadFrameIndex(clip.constBits(), clip.width(), clip.height(), false);
  }
};

TEST_F(LapListTest, RowsShowEveryLapWithTheBestAndChoosingOneSeeksToItsFirstFrame) {
  ASSERT_NO_FATAL_FAILURE(AddIndexVideo());
  const uint32_t log = AddSession();
  ASSERT_NO_FATAL_FAILURE(Place(log, 3.0f, 1.0f, 1.0f));
  main->InputRefresh(kNoInput);

  ASSERT_NO_FATAL_FAILURE(OpenLaps(kNoInput));
  EXPECT_EQ(Laps()->OurInputID(), static_cast<int>(log)) << "no data log chosen: the project's first one";
  EXPECT_EQ(Child<QComboBox>(Laps(), "InputSelection")->currentText(), "session.csv");
  EXPECT_EQ(Rows(), QStringList({"Lap 000        0:00.400", "Lap 001        1:23.456   (Best)",
                                 "Lap 002        1:25.200", "Lap 003        (incomplete)"}));
  Shot(Laps(), "lap-list");

  // The log starts 3 s into the project and is used from its second 1 on.
  ClickRow(2);
  EXPECT_NEAR(main->PreviewTime(), session.lapStart(2) - 1.0 + 3.0, 1e-4);
  EXPECT_EQ(ShownFrame(), 85) << "the first frame of the lap";
  ClickRow(0);
  EXPECT_DOUBLE_EQ(main->PreviewTime(), 2.0) << "lap 0 starts with the log";

  // Held by a join that starts at 5 s, played at twice its speed: the lap
  // starts where the project really plays it.
  const uint32_t join = InputAddSpecial(kSpecialJoinData);
  SetParentJoin(log, join);
  ASSERT_NO_FATAL_FAILURE(Place(log, 0.0f, 0.0f, 2.0f));
  ASSERT_EQ(InputUpdateJoin(kNoInput), 0);
  MainStruct joinRecord = *InputGetMain(join);
  joinRecord.StartTime = 5.0f;
  ASSERT_EQ(InputSetMain(join, &joinRecord), 0);
  main->InputRefresh(kNoInput);
  ASSERT_NO_FATAL_FAILURE(OpenLaps(log));
  ClickRow(2);
  EXPECT_NEAR(main->PreviewTime(), 5.0 + session.lapStart(2) / 2, 1e-4);
  EXPECT_EQ(ShownFrame(), 46);
}

TEST_F(LapListTest, TheInputBoxFindsLogsByNameAndTheSetupButtonOpensTheProperties) {
  const uint32_t video = Add(MakeTestVideo(File("clip.mp4")));
  session.lapTimes = {61.0, 59.5, 60.25};
  const uint32_t log = AddSession("Thruxton.csv");
  ASSERT_NO_FATAL_FAILURE(OpenLaps(video));
  EXPECT_EQ(Laps()->OurInputID(), static_cast<int>(log));
  EXPECT_EQ(Items(Child<QComboBox>(Laps(), "InputSelection")), QStringList{"Thruxton.csv"}) << "data logs only";
  EXPECT_EQ(Rows(), QStringList({"Lap 000        0:00.400", "Lap 001        1:01.000", "Lap 002        0:59.500   (Best)",
                                 "Lap 003        1:00.250", "Lap 004        (incomplete)"}));

  auto* selection = Child<QComboBox>(Laps(), "InputSelection");
  QLabel* label = Child<QLabel>(Laps(), "InputLabel");
  TypeChoice(selection, "nowhere");
  EXPECT_EQ(Laps()->OurInputID(), 255);
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::red));
  EXPECT_EQ(Table()->rowCount(), 0);
  TypeChoice(selection, "THRUXTON.CSV");
  EXPECT_EQ(Laps()->OurInputID(), static_cast<int>(log)) << "found whatever the letter case";
  EXPECT_NE(label->palette().color(QPalette::WindowText), QColor(Qt::red));
  EXPECT_EQ(Table()->rowCount(), 5);

  // A start/finish line set in the properties rebuilds the rows.
  Play({{"wcInputEdit", [](WindowController* w) {
           Type(Child<TextField>(w, "LapIgnoreTriggersText"), "2");
           Click(Child<QPushButton>(w, "OkButton"));
         }}});
  Click(Child<QPushButton>(Laps(), "SetupButton"));
  ASSERT_FALSE(modalRuns.empty());
  EXPECT_EQ(modalRuns.back(), "wcInputEdit");
  EXPECT_EQ(Rows(), QStringList({"Lap 000        2:00.900", "Lap 001        1:00.250   (Best)", "Lap 002        (incomplete)"}))
      << "the first two triggers ignored";
}

// A log that runs on past the project: its later laps start after the end
// of the video. Choosing one shows the project's last frame, not a black
// picture beyond it, and the list stays as it was for the next choice.
TEST_F(LapListTest, ALapAfterTheProjectsEndShowsItsLastFrame) {
  ASSERT_NO_FATAL_FAILURE(AddIndexVideo());
  const uint32_t log = AddSession();
  ASSERT_NO_FATAL_FAILURE(Place(log, 120.0f, 0.0f, 1.0f));
  main->InputRefresh(kNoInput);
  const double end = ProjectGetLength(0);
  ASSERT_NEAR(end, 180.0, 0.1) << "the video's length";
  ASSERT_GT(120.0 + session.lapStart(2), end);

  ASSERT_NO_FATAL_FAILURE(OpenLaps(log));
  const QStringList rows = Rows();
  ClickRow(2);
  EXPECT_DOUBLE_EQ(main->PreviewTime(), end);
  EXPECT_EQ(ShownFrame(), 179) << "the video's last frame";
  EXPECT_EQ(Table()->currentRow(), 2);
  EXPECT_EQ(Rows(), rows);
  ClickRow(3);
  EXPECT_DOUBLE_EQ(main->PreviewTime(), end) << "the lap in progress starts later still";
  ClickRow(1);
  EXPECT_NEAR(main->PreviewTime(), 120.0 + session.lapStart(1), 1e-4);
  EXPECT_EQ(ShownFrame(), static_cast<int>(120.0 + session.lapStart(1)));
}
