// The same project rendered again, straight after a render and after the
// preview has played to the end, gives a file with the same sound, sample
// for sample: every input's sound is read again from its start, also an
// MP3 that ends before the project does.
#include "e2e/e2e_project.h"

#include <chrono>
#include <thread>

#include "base/text.h"
#include "model/disp_records.h"
#include "model/inputs.h"
#include "platform/graphics/bitmap_view.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"
#include "render/preview/main_preview.h"
#include "support/media_fixtures.h"
#include "support/writer_clip.h"

namespace {

class RenderTwiceTest : public E2eProjectTest {
protected:
  std::vector<float> RenderSound(const std::string& name) {
    const std::string out = E2eFolder("out") + "/" + name;
    EXPECT_EQ(OutputHandlerCreate(Utf8ToWide(out).c_str(), 8, kWidth, kHeight, 3, 44100, 1500, 128, 0, kRate,
                                  0.0f, 0.0f, 356400.0f),
              0);
    EXPECT_TRUE(WaitIdle(120)) << "render stuck at " << OutputHandlerGetTime() << " s";
    EXPECT_EQ(OutputHandlerGetResult(), 0);
    RenderEnd();
    const MediaProbe probe = ProbeMedia(out, false);
    EXPECT_TRUE(probe.opened);
    EXPECT_EQ(probe.sampleRate, 44100);
    EXPECT_GT(SoundRms(probe.sound, 44100, 0.3, 2.7), 0.05) << name << " is silent";
    return probe.sound;
  }
  // The preview the main window sets up after a render, played to the end.
  void PlayPreviewToTheEnd() {
    int shown = 0;
    ViewRegister(&shown, [&shown](const ViewImage&) { ++shown; });
    ASSERT_EQ(MainPreviewInit(&shown, kWidth / 2, kHeight / 2, 0, 0, 3, 44100, kRate), 0);
    ASSERT_EQ(PreviewPlay(0, 0.0f, kRate), 0);
    for (int waited = 0; PreviewIsPlaying() && waited < 60000; waited += 10)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(PreviewIsPlaying(), 0);
    EXPECT_GT(PreviewGetTime(), kFrames / kRate - 0.2f);
    EXPECT_GT(shown, kFrames / 2);
    MainPreviewEnd();
    ViewUnregister(&shown);
  }
};

TEST_F(RenderTwiceTest, EveryRenderHasTheSameSound) {
  ASSERT_NO_FATAL_FAILURE(BuildSaveAndReopen());
  const std::string mp3 = work + "/music.mp3";
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i sine=frequency=660:sample_rate=44100:duration=2 -c:a libmp3lame " + mp3));
  const uint32_t music = InputAdd(WideToUtf16(Utf8ToWide(mp3)).c_str());
  ASSERT_NE(music, 255u);
  AddObjectInBox(kDispAudio, music, E2eBox{0, 0, 10, 10});
  const std::vector<float> first = RenderSound("first.mp4");
  const std::vector<float> again = RenderSound("again.mp4");
  ASSERT_NO_FATAL_FAILURE(PlayPreviewToTheEnd());
  const std::vector<float> afterPlay = RenderSound("after-play.mp4");
  ASSERT_GT(first.size(), 44100u * 2);
  EXPECT_TRUE(again == first) << "rendered straight again";
  EXPECT_TRUE(afterPlay == first) << "rendered after the preview played to the end";
  // The music is heard in each: its tone beside the video's 440 Hz.
  EXPECT_GT(SoundRms(afterPlay, 44100, 0.5, 1.5), SoundRms(afterPlay, 44100, 2.2, 2.8) * 1.2);
}

} // namespace
