// The two lists filled with every kind of row (the lists and the whole
// main window), and the project settings window.
#include <QMainWindow>

#include "model/project.h"
#include "ui/shell/wcProject.h"
#include "ui/support/input_files.h"
#include "ui/support/lists_fixture.h"
#include "ui/support/window_shots.h"

namespace {

uint32_t add(const std::string& path) { return InputAdd(QString::fromStdString(path).toStdU16String().c_str()); }

} // namespace

TEST_F(ListsTest, BothListsWithIconsAndIndents) {
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

  SaveWindowShot(main->InputFilesTable()->parentWidget()->parentWidget(), "lists");
  SaveWindowShot(main->mainWindow(), "main-lists");
}

TEST_F(ListsTest, ProjectSettingsWindow) {
  ProjectSetUserText(u"Club race, heat two.\nCamera on the roll bar, logger under the seat.");
  ProjectSetLength(83.25f);
  onModal = [](WindowController* controller) {
    controller->showWindow();
    auto* window = static_cast<wcProject*>(controller);
    SpinUntil([window]() { return !window->FreshWindow(); });
    SaveWindowShot(window->window(), "project-settings");
    window->CancelButton_Pressed();
    return 0;
  };
  main->ProjectSettings();
}
