// Pictures of the two lists filled with every kind of row, for a person to
// look at: "ui-screenshots/lists.png" (the lists) and "main-lists.png"
// (the whole main window) and "project-settings.png", beside the test
// program.
#include <QCoreApplication>
#include <QDir>
#include <QMainWindow>
#include <QPixmap>

#include "engine/model/project.h"
#include "ui/shell/wcProject.h"
#include "ui/support/input_files.h"
#include "ui/support/lists_fixture.h"

namespace {

QString shotPath(const QString& name) {
  QString dir = QCoreApplication::applicationDirPath() + "/ui-screenshots";
  QDir().mkpath(dir);
  return dir + "/" + name + ".png";
}

uint32_t add(const std::string& path) { return InputAdd(QString::fromStdString(path).toStdU16String().c_str()); }

} // namespace

TEST_F(ListsTest, ScreenshotOfBothListsWithIconsAndIndents) {
  uint32_t video = add(MakeTestVideo(File("Lap_run.mp4")));
  add(MakeTestWav(File("Engine sound.wav")));
  add(MakeTestPng(File("Sponsor logo.png")));
  add(MakeTestNmea(File("GPS track.nmea")));
  uint32_t join = InputAddSpecial(kSpecialJoinVideo);
  SetParentJoin(InputAddSpecial(kSpecialFiller), join);
  SetParentJoin(InputAddSpecial(kSpecialFiller), join);
  ASSERT_EQ(InputCount(), 7u);

  DispObjAdd(kDispVideo, video);
  DispObjAdd(kDispAudio, 1);
  uint32_t group = DispObjAdd(kDispGroup, kNoInput);
  for (uint8_t type : {kDispGauge, kDispBar, kDispTrackMap})
    SetParentObject(DispObjAdd(type, 3), group);
  for (uint8_t type : {kDispText, kDispShape, kDispEImage, kDispTextData, kDispTimeGraph, kDispGForce, kDispGear,
                       kDispLapTimer, kDispEnhanced})
    DispObjAdd(type, type == kDispText || type == kDispShape || type == kDispEImage ? kNoInput : 3);
  main->InputRefresh(kNoInput);
  main->DispObjRefresh(kNoDispObj);
  main->InputSelect(video);
  main->mainWindow()->resize(1100, 760);
  Spin(100);

  EXPECT_EQ(main->InputFilesTable->rowCount(), 7);
  EXPECT_EQ(main->DispObjsTable->rowCount(), static_cast<int>(DispObjCount()));
  QWidget* lists = main->InputFilesTable->parentWidget()->parentWidget();
  QPixmap picture = lists->grab();
  ASSERT_FALSE(picture.isNull());
  EXPECT_TRUE(picture.save(shotPath("lists")));
  EXPECT_TRUE(main->mainWindow()->grab().save(shotPath("main-lists")));
}

TEST_F(ListsTest, ScreenshotOfTheProjectSettingsWindow) {
  ProjectSetUserText(u"Club race, heat two.\nCamera on the roll bar, logger under the seat.");
  ProjectSetLength(83.25f);
  bool saved = false;
  onModal = [&saved](WindowController* controller) {
    controller->showWindow();
    auto* window = static_cast<wcProject*>(controller);
    EXPECT_TRUE(SpinUntil([window]() { return !window->FreshWindow; }, 5000));
    saved = window->window()->grab().save(shotPath("project-settings"));
    window->CancelButton_Pressed();
    return 0;
  };
  main->ProjectSettings();
  EXPECT_TRUE(saved);
}
