// Renders of the reopened project that do not finish normally: an output
// path the writer cannot write beside, and a render stopped early.
#include "e2e/e2e_project.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "base/error.h"
#include "base/text.h"
#include "model/project.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"
#include "support/writer_clip.h"

namespace {

class CreateVideoStopTest : public E2eProjectTest {
protected:
  // Starts a render into the path; OutputHandlerCreate's result, or the
  // render's result when it started.
  int RenderTo(const std::string& path) {
    const int created = OutputHandlerCreate(Utf8ToWide(path).c_str(), 8, kWidth, kHeight, 3, 44100,
                                            1500, 128, 0, kRate, 0.0f, 0.0f, 356400.0f);
    if (created != 0) return created;
    EXPECT_TRUE(WaitIdle(120));
    const int result = OutputHandlerGetResult();
    RenderEnd();
    return result;
  }
  static std::string WriteKeeper(const std::string& path) {
    const std::string content = "the video of an earlier render";
    std::ofstream(path, std::ios::binary) << content;
    return content;
  }
};

// A name so long that no temporary fits beside it: the writer refuses it,
// even for the superuser, and the file already there stays as it was.
TEST_F(CreateVideoStopTest, PathWithNoRoomForTemporariesFailsAndKeepsTheFile) {
  ASSERT_NO_FATAL_FAILURE(BuildSaveAndReopen());
  const std::string folder = E2eFolder("long");
  const std::string path = folder + "/" + std::string(246, 'v') + ".mp4";
  const std::string content = WriteKeeper(path);
  ASSERT_EQ(E2eReadFile(path), content) << "the file system takes no 250-character names";
  EXPECT_LT(RenderTo(path), 0);
  EXPECT_EQ(OutputHandlerIsBusy(), 0);
  EXPECT_EQ(E2eReadFile(path), content);
  EXPECT_EQ(E2eListFolder(folder).size(), 1u);
}

TEST_F(CreateVideoStopTest, ReadOnlyFolderFailsAndKeepsTheFile) {
  if (geteuid() == 0) GTEST_SKIP() << "the superuser writes into read-only folders";
  ASSERT_NO_FATAL_FAILURE(BuildSaveAndReopen());
  const std::string folder = E2eFolder("locked");
  const std::string path = folder + "/race.mp4";
  const std::string content = WriteKeeper(path);
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  EXPECT_LT(RenderTo(path), 0);
  chmod(folder.c_str(), 0755);
  EXPECT_EQ(E2eReadFile(path), content);
  EXPECT_EQ(E2eListFolder(folder), std::vector<std::string>{"race.mp4"});
}

TEST_F(CreateVideoStopTest, StoppedRenderLeavesOnlyTheOutputFile) {
  ASSERT_NO_FATAL_FAILURE(BuildSaveAndReopen());
  ProjectSetLength(120.0f); // far longer than the render is let run
  const std::string folder = E2eFolder("stopped");
  const std::string path = folder + "/race.mp4";
  ASSERT_EQ(OutputHandlerCreate(Utf8ToWide(path).c_str(), 8, kWidth, kHeight, 3, 44100, 1500, 128, 0,
                                kRate, 0.0f, 0.0f, 356400.0f),
            0);
  for (int i = 0; i < 3000 && OutputHandlerGetTime() < 0.5f && OutputHandlerIsBusy(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(OutputHandlerIsBusy()) << "the render ended by itself at " << OutputHandlerGetTime();
  OutputHandlerStop();
  ASSERT_TRUE(WaitIdle(60));
  // Stopped early: not a complete video, though its file is written.
  EXPECT_EQ(OutputHandlerGetResult(), kErrStopped);
  EXPECT_TRUE(OutputHandlerGetResultText().empty());
  RenderEnd();
  // The frames written until the stop make the file; no temporary is left.
  EXPECT_EQ(E2eListFolder(folder), std::vector<std::string>{"race.mp4"});
  const MediaProbe probe = ProbeMedia(path);
  ASSERT_TRUE(probe.opened);
  EXPECT_GT(probe.duration, 0.3);
  EXPECT_LT(probe.duration, 60.0);
  // Pictures and sound both play to the stop.
  EXPECT_EQ(probe.videoStreams, 1);
  EXPECT_EQ(probe.audioStreams, 1);
  EXPECT_NEAR(probe.pictures.size() / kRate, probe.duration, 0.2);
  EXPECT_NEAR(probe.sound.size() / static_cast<double>(probe.sampleRate), probe.duration, 0.2);
}

} // namespace
