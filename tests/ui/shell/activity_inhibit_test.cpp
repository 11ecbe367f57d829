// A render keeps the machine from idling or sleeping: the session manager
// (a stand-in for logind on a private bus) is asked for an inhibitor as the
// render starts, and it is given back when the render ends. Without the
// service the render goes on all the same.
#include <QFileInfo>
#include <filesystem>

#include "support/scoped_env.h"
#include "support/temp_folder.h"
#include "ui/shell/wcCreateStatus.h"
#include "ui/shell/wcCreateVideo.h"
#include "ui/support/create_video_fixture.h"
#include "ui/support/fake_login_service.h"

TEST_F(CreateVideoTest, ARenderHoldsAnIdleAndSleepInhibitorUntilItEnds) {
  FakeLoginService logind;
  ASSERT_TRUE(logind.ready());
  ScopedEnv bus("QV_LOGIN_BUS", logind.address());
  ASSERT_NO_FATAL_FAILURE(BuildProject());
  for (size_t run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    const std::string out = work + "/race" + std::to_string(run) + ".mp4";
    bool heldDuringRender = false;
    RunCreateVideo(
        [&](wcCreateVideo* w) {
          ChooseSourceSize(w);
          CreateInto(w, out);
        },
        [&](wcCreateStatus*) { heldDuringRender = logind.calls().size() == run + 1 && logind.held(run); });
    EXPECT_TRUE(QFileInfo(QString::fromStdString(out)).size() > 0);
    ASSERT_EQ(logind.calls().size(), run + 1);
    const InhibitCall call = logind.calls()[run];
    EXPECT_EQ(call.what, "idle:sleep");
    EXPECT_EQ(call.who, "Quelvatron");
    EXPECT_EQ(call.why, "Rendering");
    EXPECT_EQ(call.mode, "block");
    EXPECT_TRUE(heldDuringRender);
    EXPECT_FALSE(logind.held(run)) << "the inhibitor outlived the render";
  }
}

TEST_F(CreateVideoTest, WithoutTheSessionServiceTheRenderGoesOn) {
  PrivateBus empty; // a bus on which nobody answers for logind
  const std::string folder = MakeTempFolder("qv-nologin");
  ASSERT_FALSE(folder.empty());
  ASSERT_TRUE(empty.Start(folder));
  ASSERT_NO_FATAL_FAILURE(BuildProject());
  for (const std::string& address : {empty.address(), "unix:path=" + std::string(folder) + "/none"}) {
    ScopedEnv bus("QV_LOGIN_BUS", address);
    const std::string out = work + "/race.mp4";
    RunCreateVideo([&](wcCreateVideo* w) {
      ChooseSourceSize(w);
      CreateInto(w, out);
    });
    EXPECT_TRUE(QFileInfo(QString::fromStdString(out)).size() > 0) << address;
    std::filesystem::remove(out);
  }
  std::filesystem::remove_all(folder);
}
