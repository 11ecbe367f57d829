// The upload on the render road: the details are asked for while the
// render already runs, and the complete file is uploaded by itself once the
// progress window has closed, against loopback stand-ins for the service.
// A cancelled details window renders without uploading.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "render/loop/output_render.h"
#include "support/loopback_http_server.h"
#include "ui/shell/YouTubeUpload.h"
#include "ui/shell/wcCreateVideo.h"
#include "ui/shell/wcUpload.h"
#include "ui/support/create_video_fixture.h"

namespace {

class CreateVideoUploadTest : public CreateVideoTest {
protected:
  void SetUp() override {
    CreateVideoTest::SetUp();
    YouTubeUpload::SetServiceHosts("http://127.0.0.1:" + std::to_string(login.port()), "127.0.0.1", upload.port());
  }
  void TearDown() override {
    YouTubeUpload::SetServiceHosts("", "", 0);
    CreateVideoTest::TearDown();
  }

  LoopbackHttpServer login{200, "Auth=TOKEN\n"};
  LoopbackHttpServer upload{201, "<entry/>"};
};

} // namespace

TEST_F(CreateVideoUploadTest, DetailsWhileRenderingThenTheCompleteFileIsUploaded) {
  ASSERT_NO_FATAL_FAILURE(BuildProject());
  const std::string out = work + "/race.mp4";
  std::vector<bool> preRender, renderBusy;
  otherWindow = [&](WindowController* controller) {
    auto* window = qobject_cast<wcUpload*>(controller);
    ASSERT_NE(window, nullptr);
    preRender.push_back(window->PreRenderMode());
    renderBusy.push_back(OutputHandlerIsBusy() != 0);
    window->showWindow();
    ASSERT_TRUE(SpinUntil([window]() { return !window->FreshWindow(); }));
    if (window->PreRenderMode()) {
      const wcUpload::Outlets& ui = window->outlets();
      ui.UserText->setText("driver");
      ui.PasswordText->setText("pw");
      ui.TitleText->setText("Heat 2 onboard");
      ui.UploadButton->click();
    }
    EXPECT_TRUE(SpinUntil([window]() { return !window->window()->isVisible(); }, 30000));
  };
  RunCreateVideo([&](wcCreateVideo* w) {
    ChooseSourceSize(w);
    EXPECT_TRUE(w->UploadCheck->isEnabled());
    w->UploadCheck->click();
    CreateInto(w, out);
  });
  ASSERT_EQ(preRender, (std::vector<bool>{true, false})) << "details first, the upload after the render";
  EXPECT_TRUE(renderBusy[0]) << "the details are asked for while the render runs";
  EXPECT_FALSE(renderBusy[1]);
  EXPECT_EQ(CountMessages(L"Video file creation complete!"), 0) << "the upload window reports instead";
  EXPECT_EQ(CountMessages(L"Upload complete!"), 1);
  EXPECT_FALSE(outputWindowOpenAfterRun);
  EXPECT_EQ(Setting("VideoUpload").toInt(), 1);
  ASSERT_EQ(upload.requests().size(), 1u);
  const std::string request = upload.requests()[0];
  EXPECT_NE(request.find("Heat 2 onboard"), std::string::npos);
  EXPECT_GT(request.size(), std::filesystem::file_size(out)) << "the rendered file is sent whole";
}

TEST_F(CreateVideoUploadTest, CancelledDetailsRenderWithoutUploading) {
  ASSERT_NO_FATAL_FAILURE(BuildProject());
  int uploadRuns = 0;
  otherWindow = [&](WindowController* controller) {
    auto* window = qobject_cast<wcUpload*>(controller);
    ASSERT_NE(window, nullptr);
    ++uploadRuns;
    window->showWindow();
    ASSERT_TRUE(SpinUntil([window]() { return !window->FreshWindow(); }));
    window->outlets().CancelButton->click();
    EXPECT_TRUE(SpinUntil([window]() { return !window->window()->isVisible(); }));
  };
  RunCreateVideo([&](wcCreateVideo* w) {
    ChooseSourceSize(w);
    w->UploadCheck->click();
    CreateInto(w, work + "/race.mp4");
  });
  EXPECT_EQ(uploadRuns, 1);
  EXPECT_EQ(CountMessages(L"Video file creation complete!"), 1);
  EXPECT_TRUE(upload.requests().empty());
  EXPECT_TRUE(login.requests().empty());
}
