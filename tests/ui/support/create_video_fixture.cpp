#include "ui/support/create_video_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QSpinBox>
#include <QDir>
#include <QPushButton>
#include <QWidget>

#include "base/text.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "render/loop/output_render.h"
#include "support/media_fixtures.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcCreateStatus.h"
#include "ui/shell/wcCreateVideo.h"
#include "ui/shell/wcMain.h"

namespace {

std::u16string Path16(const std::string& path) { return WideToUtf16(Utf8ToWide(path)); }


} // namespace

void CreateVideoTest::SetUp() {
  PreviewTest::SetUp();
  work = tempDir + "/work";
  QDir().mkpath(QString::fromStdString(work));
}

void CreateVideoTest::BuildProject() {
  ASSERT_NO_FATAL_FAILURE(LaunchMain());
  video = work + "/onboard.mp4";
  ASSERT_TRUE(MakeIndexVideo(video, kVideoFrames, kVideoWidth, kVideoHeight, "15",
                             "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 15",
                             "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=3", "-c:a aac -b:a 96k"));
  const std::string log = circuit.write(work + "/circuit.csv");
  ASSERT_FALSE(log.empty());
  videoInput = InputAdd(Path16(video).c_str());
  ASSERT_NE(videoInput, 255u);
  logInput = InputAdd(Path16(log).c_str());
  ASSERT_NE(logInput, 255u);
  AddObjectInBox(kDispVideo, videoInput, FrameBox{0, 0, 100, 100});
  AddObjectInBox(kDispSpeedo, logInput, kSpeedoBox);
  AddObjectInBox(kDispTrackMap, logInput, kMapBox);
  AddObjectInBox(kDispLapTimer, logInput, kLapTimerBox);
  main->InputRefresh(255);
  main->DispObjRefresh(0xFFFFFFFF);
  main->PreviewRefresh();
  ASSERT_TRUE(WaitIdle());
}

void CreateVideoTest::RunCreateVideo(const std::function<void(wcCreateVideo*)>& settings,
                                     const std::function<void(wcCreateStatus*)>& progress) {
  onModal = [this, settings, progress](WindowController* controller) {
    if (auto* output = qobject_cast<wcCreateVideo*>(controller)) {
      output->showWindow();
      EXPECT_TRUE(SpinUntil([output]() { return !output->FreshWindow(); }));
      settings(output);
      outputWindowOpenAfterRun = output->window()->isVisible();
      if (outputWindowOpenAfterRun) output->close();
    } else if (auto* status = qobject_cast<wcCreateStatus*>(controller)) {
      status->showWindow();
      if (progress) progress(status);
      EXPECT_TRUE(SpinUntil([status]() { return !status->window()->isVisible(); }, 120000))
          << "the progress window never closed";
    } else if (otherWindow) {
      otherWindow(controller);
    }
    return 0;
  };
  QAction* item = app->menuAction("mnuFileCreateVideo");
  ASSERT_NE(item, nullptr);
  ASSERT_TRUE(item->isEnabled());
  item->trigger();
  onModal = nullptr;
}

void CreateVideoTest::ChooseSourceSize(wcCreateVideo* window) {
  window->PictureRatioSel->setCurrentText("16:9 Wide-Screen");
  window->PictureSizeSel->setCurrentText("180");
  window->FrameRateSel->setCurrentText("15 FPS");
  window->VideoBitrateStepper->setValue(1500);
}

void CreateVideoTest::CreateInto(wcCreateVideo* window, const std::string& path) {
  panelAnswers.push_back({QString::fromStdString(path)});
  window->window()->findChild<QPushButton*>("CreateButton")->click();
}

