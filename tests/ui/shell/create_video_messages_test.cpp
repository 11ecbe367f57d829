// What the user meets around a render: a project of still pictures renders
// its length and ends, one of no length is refused before a file is asked
// for, a video aimed at one of the project's inputs is refused with the
// reason, and a shut-down the system refuses is told.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>

#include "base/error.h"
#include "base/message_box.h"
#include "model/project.h"
#include "support/media_fixtures.h"
#include "support/read_file.h"
#include "ui/shell/wcCreateStatus.h"
#include "ui/shell/wcCreateVideo.h"
#include "ui/shell/wcMain.h"
#include "ui/support/create_video_fixture.h"
#include "ui/support/input_files.h"

namespace {

const std::wstring kNothingToRender = L"The project's length is zero, so there is nothing to render.";

} // namespace

class CreateVideoMessagesTest : public CreateVideoTest {
protected:
  // Two pictures, each shown over the whole frame: the project has no
  // length of its own.
  void BuildStills() {
    ASSERT_NO_FATAL_FAILURE(LaunchMain());
    for (const char* name : {"/left.png", "/right.png"}) {
      const std::string picture = MakeTestPng(work + name);
      ASSERT_TRUE(main->UiInputAdd(QString::fromStdString(picture), true));
    }
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(ProjectGetLength(0), 0.0f);
  }

  // The question to save a modified project first is answered No.
  void NotSavedFirst() {
    if (main->ProjectModified()) answers.push_back(kMbNo);
  }

  // Whole project, the source's small size, Create with the path offered.
  void RenderWholeInto(const std::string& path, const std::function<void(wcCreateStatus*)>& progress = nullptr) {
    NotSavedFirst();
    RunCreateVideo(
        [&](wcCreateVideo* w) {
          ChooseSourceSize(w);
          w->RenderWhole->click();
          CreateInto(w, path);
        },
        progress);
  }
};

TEST_F(CreateVideoMessagesTest, StillPicturesRenderTheProjectLengthAndNoLengthIsRefused) {
  ASSERT_NO_FATAL_FAILURE(BuildStills());
  const std::string out = work + "/stills.mp4";
  for (int attempt = 1; attempt <= 2; ++attempt) {
    RenderWholeInto(out);
    EXPECT_EQ(CountMessages(kNothingToRender), attempt);
    EXPECT_EQ(messages.back().flags, 16);
    EXPECT_EQ(panelAnswers.size(), static_cast<size_t>(attempt)) << "no file was asked for";
    EXPECT_TRUE(outputWindowOpenAfterRun) << "the settings stay for another try";
    EXPECT_FALSE(std::filesystem::exists(out));
  }
  panelAnswers.clear();

  // Two seconds typed into the length button: the whole project is those.
  inputAnswers.push_back(std::wstring(L"00:00:02.00"));
  main->ProjectLengthButton()->click();
  ASSERT_FLOAT_EQ(ProjectGetLength(0), 2.0f);
  bool finalizing = false;
  RenderWholeInto(out, [&](wcCreateStatus* s) {
    EXPECT_DOUBLE_EQ(s->EndTime(), 2.0);
    finalizing = SpinUntil([s]() { return !s->window()->isVisible(); }, 60000);
  });
  EXPECT_TRUE(finalizing) << "the render never ended";
  EXPECT_FALSE(outputWindowOpenAfterRun);
  EXPECT_EQ(CountMessages(L"Video file creation complete!"), 1);
  const MediaProbe probe = ProbeMedia(out);
  ASSERT_TRUE(probe.opened);
  EXPECT_NEAR(probe.duration, 2.0, 0.15);
  EXPECT_NEAR(static_cast<double>(probe.pictures.size()), 30.0, 1.0);
}

TEST_F(CreateVideoMessagesTest, AVideoOverAnInputIsRefusedWithTheReason) {
  ASSERT_NO_FATAL_FAILURE(BuildProject());
  const std::string before = ReadWholeFile(video);
  for (int attempt = 1; attempt <= 2; ++attempt) {
    RenderWholeInto(video);
    ASSERT_FALSE(messages.empty());
    const ShownMessage& refusal = messages.back();
    EXPECT_NE(refusal.text.find(L"it is one of the project's inputs, and the video would overwrite it"),
              std::wstring::npos)
        << std::string(refusal.text.begin(), refusal.text.end());
    EXPECT_EQ(refusal.flags, 16);
    EXPECT_EQ(CountMessages(L"Invalid parameter"), 0);
    EXPECT_TRUE(outputWindowOpenAfterRun);
    EXPECT_EQ(ReadWholeFile(video), before) << "the input is untouched";
  }
}

TEST_F(CreateVideoMessagesTest, AShutDownTheSystemRefusesIsTold) {
  ASSERT_NO_FATAL_FAILURE(BuildProject());
  shutdownRefusal = "Interactive authentication required.";
  for (int attempt = 1; attempt <= 2; ++attempt) {
    const std::string out = work + "/part" + std::to_string(attempt) + ".mp4";
    NotSavedFirst();
    RunCreateVideo(
        [&](wcCreateVideo* w) {
          ChooseSourceSize(w);
          w->RenderPart->click();
          w->RenderEndCheck->setChecked(true);
          w->RenderEndText->setText("00:00:01.00");
          CreateInto(w, out);
        },
        [&](wcCreateStatus* s) { s->Shutdown->click(); });
    EXPECT_EQ(shutdowns, attempt);
    EXPECT_EQ(CountMessages(L"The video file is complete, but the computer was not shut down"), attempt);
    EXPECT_EQ(messages.back().flags, 48);
    EXPECT_NE(messages.back().text.find(L"Interactive authentication required."), std::wstring::npos);
    EXPECT_NEAR(ProbeMedia(out, false).duration, 1.0, 0.15);
  }
  // Taken: nothing more to say.
  shutdownRefusal.clear();
  NotSavedFirst();
  const size_t shown = messages.size();
  RunCreateVideo(
      [&](wcCreateVideo* w) {
        ChooseSourceSize(w);
        CreateInto(w, work + "/whole.mp4");
      },
      [&](wcCreateStatus* s) { s->Shutdown->click(); });
  EXPECT_EQ(shutdowns, 3);
  EXPECT_EQ(messages.size(), shown);
}
