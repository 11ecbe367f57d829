// Real renders through the output and progress windows, the output file
// decoded afterwards: a complete render checked frame by frame, a writer
// failure forced by a file-size limit, a cancel at about half, and the
// shut-down wish at the end of a part of the project.
#include <signal.h>
#include <sys/resource.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/error.h"
#include "base/message_box.h"
#include "media/output_handler.h"
#include "render/loop/output_render.h"
#include "support/media_fixtures.h"
#include "support/writer_clip.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/shell/wcCreateStatus.h"
#include "ui/shell/wcCreateVideo.h"
#include "ui/shell/wcMain.h"
#include "ui/support/create_video_fixture.h"
#include "ui/support/window_shots.h"

namespace {

const std::string kOldContent = "the video of an earlier render";

int differing(const DecodedPicture& a, const DecodedPicture& b, const FrameBox& box, int tolerance = 40) {
  return DifferingPixels(a, b, box, tolerance);
}

int area(const FrameBox& box) { return box.Area(kVideoWidth, kVideoHeight); }

int frameIndex(const DecodedPicture& p) { return ReadFrameIndex(p.bgra.data(), p.width, p.height, false); }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Names in the folder that start with the output's name.
std::vector<std::string> outputFiles(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("race.mp4", 0) == 0) names.push_back(name);
  }
  return names;
}

} // namespace

TEST_F(CreateVideoTest, RenderThroughTheWindowDrawsTheObjectsInEveryFrame) {
  ASSERT_NO_FATAL_FAILURE(BuildProject());
  main->setProjectModified(true);
  answers.push_back(kMbNo); // not saved first: the project as it is
  const std::string out = work + "/race.mp4";
  bool sawProgress = false;
  RunCreateVideo(
      [&](wcCreateVideo* w) {
        ChooseSourceSize(w);
        EXPECT_EQ(w->PictureSizeActual->text(), "320 x 180");
        CreateInto(w, out);
      },
      [&](wcCreateStatus* s) {
        SpinUntil([s]() { return s->RenderProgress->value() >= 30 || !s->window()->isVisible(); }, 60000);
        if (!s->window()->isVisible()) return;
        sawProgress = true;
        SpinUntil([s]() { return s->PreviewImage->framesReceived() > 0 || !s->window()->isVisible(); });
        EXPECT_TRUE(s->window()->windowTitle().startsWith("Quelvatron Video Output ("));
        EXPECT_TRUE(s->RenderTime->text().endsWith(" of 00:00:03.00")) << s->RenderTime->text().toStdString();
        EXPECT_EQ(s->ETA->text(), "ETA: (calculating...)");
        SaveWindowShot(s->window(), "create-video-progress");
      });
  EXPECT_TRUE(sawProgress) << "the render ended before the progress window showed it";
  EXPECT_FALSE(outputWindowOpenAfterRun) << "a complete render closes the output window";
  EXPECT_EQ(CountMessages(L"Do you want to save the current project?"), 1);
  EXPECT_TRUE(main->ProjectModified());
  EXPECT_EQ(CountMessages(L"Video file creation complete!"), 1);
  EXPECT_EQ(messages.back().flags, 64);
  EXPECT_EQ(shutdowns, 0);
  EXPECT_EQ(Setting("VideoFrameRate").toInt(), 1500);
  EXPECT_EQ(outputFiles(work), std::vector<std::string>{"race.mp4"});

  const MediaProbe probe = ProbeMedia(out);
  const MediaProbe source = ProbeMedia(video);
  ASSERT_TRUE(probe.opened && source.opened);
  EXPECT_EQ(probe.width, kVideoWidth);
  EXPECT_EQ(probe.height, kVideoHeight);
  EXPECT_EQ(probe.audioStreams, 1);
  EXPECT_NEAR(probe.duration, 3.0, 0.15);
  ASSERT_GE(probe.pictures.size(), static_cast<size_t>(kVideoFrames - 1));
  // Every frame while the log runs: the source frame of its time under the
  // three data objects, and nothing over the uncovered corner.
  const size_t logFrames = static_cast<size_t>(std::floor(circuit.duration() * 15)) - 1;
  for (size_t k = 0; k < logFrames; ++k) {
    const DecodedPicture& ours = probe.pictures[k];
    const int index = frameIndex(ours);
    ASSERT_LE(std::abs(index - static_cast<int>(k)), 1) << "frame " << k;
    const DecodedPicture& under = source.pictures[static_cast<size_t>(index)];
    EXPECT_GT(differing(ours, under, kSpeedoBox), area(kSpeedoBox) / 4) << "speedometer, frame " << k;
    EXPECT_GT(differing(ours, under, kMapBox), 150) << "track map, frame " << k;
    EXPECT_GT(differing(ours, under, kLapTimerBox), 60) << "lap timer, frame " << k;
    EXPECT_LT(differing(ours, under, kUncoveredBox, 24), area(kUncoveredBox) / 100) << "frame " << k;
  }
  // The preview is back on the main window's canvas, standing where it
  // stood: the render did not set it playing.
  ASSERT_TRUE(WaitIdle());
  Settle();
  EXPECT_NEAR(main->PreviewTime(), 0.0, 0.01);
  const int shown = main->PreviewImage()->framesReceived();
  main->PreviewRefresh();
  EXPECT_TRUE(SpinUntil([&]() { return main->PreviewImage()->framesReceived() > shown; }));
}

TEST_F(CreateVideoTest, WriterFailureIsShownAndNeverComplete) {
  ASSERT_NO_FATAL_FAILURE(BuildProject());
  const std::string out = work + "/race.mp4";
  std::ofstream(out, std::ios::binary) << kOldContent;
  struct rlimit previous {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
  const auto previousSignal = signal(SIGXFSZ, SIG_IGN);
  RunCreateVideo([&](wcCreateVideo* w) {
    ChooseSourceSize(w);
    // From here no file may grow beyond 16 KB: the picture soon cannot.
    struct rlimit small = previous;
    small.rlim_cur = 16 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    CreateInto(w, out);
    setrlimit(RLIMIT_FSIZE, &previous);
  });
  setrlimit(RLIMIT_FSIZE, &previous);
  signal(SIGXFSZ, previousSignal);
  EXPECT_EQ(CountMessages(L"Video file creation complete!"), 0);
  ASSERT_EQ(CountMessages(L"Video file creation failed"), 1);
  const ShownMessage& failure = messages.back();
  EXPECT_EQ(failure.flags, 16);
  EXPECT_NE(failure.text.find(L"File too large"), std::wstring::npos);
  EXPECT_TRUE(outputWindowOpenAfterRun) << "the settings stay for another try";
  EXPECT_EQ(readFile(out), kOldContent);
  EXPECT_EQ(outputFiles(work), std::vector<std::string>{"race.mp4"});
}

TEST_F(CreateVideoTest, CancelAtAboutHalfKeepsAValidShorterVideo) {
  ASSERT_NO_FATAL_FAILURE(BuildProject());
  const std::string out = work + "/race.mp4";
  std::ofstream(out, std::ios::binary) << kOldContent;
  float pausedAt = 0;
  RunCreateVideo(
      [&](wcCreateVideo* w) {
        ChooseSourceSize(w);
        CreateInto(w, out);
      },
      [&](wcCreateStatus* s) {
        ASSERT_TRUE(SpinUntil([]() { return OutputHandlerGetTime() >= 1.5f || OutputHandlerIsBusy() == 0; }));
        s->MultiTaskPaused->click();
        // The frame in hand is written first; from then on the time stands.
        ASSERT_TRUE(SpinUntil([]() { return OutputHandlerIsHeldByPause() || OutputHandlerIsBusy() == 0; }));
        pausedAt = OutputHandlerGetTime();
        // It stands: a while in which a render going on would move.
        Spin(600);
        EXPECT_EQ(OutputHandlerGetTime(), pausedAt) << "paused";
        EXPECT_EQ(readFile(out), kOldContent) << "the earlier file stays until the new one is complete";
        // The window's close button asks first; No keeps the render.
        answers.push_back(kMbNo);
        s->window()->close();
        Settle();
        EXPECT_TRUE(s->window()->isVisible());
        EXPECT_EQ(CountMessages(L"Cancel video file creation?"), 1);
        s->window()->findChild<QPushButton*>("CancelButton")->click();
      });
  EXPECT_TRUE(outputWindowOpenAfterRun) << "a cancelled render leaves the settings open";
  EXPECT_EQ(CountMessages(L"Video file creation complete!"), 0);
  EXPECT_EQ(CountMessages(L"Video file creation failed"), 0);
  EXPECT_EQ(outputFiles(work), std::vector<std::string>{"race.mp4"});
  ASSERT_GT(pausedAt, 1.4f);
  ASSERT_LT(pausedAt, 2.2f) << "the render was not stopped at about half";
  const MediaProbe probe = ProbeMedia(out);
  ASSERT_TRUE(probe.opened) << "the frames until the cancel make a valid file";
  EXPECT_EQ(probe.videoStreams, 1);
  EXPECT_EQ(probe.audioStreams, 1);
  EXPECT_NEAR(probe.duration, pausedAt, 0.2);
  ASSERT_GE(probe.pictures.size(), 20u);
  const DecodedPicture& last = probe.pictures.back();
  EXPECT_NEAR(frameIndex(last), static_cast<int>(probe.pictures.size()) - 1, 1);
}

TEST_F(CreateVideoTest, ShutdownWishEndsAPartRenderWithoutTheNotice) {
  ASSERT_NO_FATAL_FAILURE(BuildProject());
  const std::string out = work + "/race.mp4";
  RunCreateVideo(
      [&](wcCreateVideo* w) {
        ChooseSourceSize(w);
        w->RenderEndCheck->click();
        w->RenderEndText->setText("00:00:01.00");
        CreateInto(w, out);
      },
      [&](wcCreateStatus* s) {
        EXPECT_DOUBLE_EQ(s->EndTime(), 1.0);
        s->Shutdown->click();
      });
  EXPECT_FALSE(outputWindowOpenAfterRun);
  EXPECT_EQ(CountMessages(L"Video file creation complete!"), 0) << "no notice for a machine going down";
  EXPECT_EQ(shutdowns, 1);
  const MediaProbe probe = ProbeMedia(out, false);
  ASSERT_TRUE(probe.opened);
  EXPECT_NEAR(probe.duration, 1.0, 0.15);
}

// The close button's question runs while the render goes on: a render that
// ends meanwhile is reported once the question is answered, as it ended.
TEST_F(CreateVideoTest, RenderEndingDuringTheCancelQuestionEndsAsItEnded) {
  ASSERT_NO_FATAL_FAILURE(BuildProject());
  bool asking = false;
  int shownWhileAsking = 0;
  AppMessageBoxInstall([&](const std::wstring& text, int flags) {
    messages.push_back({text, flags});
    if (asking) ++shownWhileAsking;
    if (text == L"Cancel video file creation?") {
      asking = true;
      EXPECT_TRUE(SpinUntil([]() { return OutputHandlerIsBusy() == 0; }, 60000));
      Spin(300); // several of the window's ticks, none of which may report meanwhile
      asking = false;
    }
    return flags == 36 ? kMbYes : kMbOk;
  });
  RunCreateVideo(
      [&](wcCreateVideo* w) {
        ChooseSourceSize(w);
        CreateInto(w, work + "/race.mp4");
      },
      [&](wcCreateStatus* s) { s->window()->close(); });
  EXPECT_EQ(shownWhileAsking, 0) << "nothing may end the window under the question";
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, L"Cancel video file creation?");
  EXPECT_EQ(messages[1].text, L"Video file creation complete!");
  EXPECT_FALSE(outputWindowOpenAfterRun);
  EXPECT_NEAR(ProbeMedia(work + "/race.mp4", false).duration, 3.0, 0.15);
}
