// The project's sound for a span: which objects sound, with what volume,
// and the preview sound queue.
#include "render/render_fixture.h"

#include "base/access_lock.h"
#include "base/text.h"
#include "model/inputs.h"
#include "render/loop/audio_mix.h"
#include "render/preview/preview_audio.h"
#include "support/media_fixtures.h"
#include "support/scoped_env.h"

#include <cmath>
#include <cstring>

namespace {

double rms16(const std::vector<uint8_t>& pcm) {
  const size_t n = pcm.size() / 2;
  if (n == 0) return 0;
  double sum = 0;
  for (size_t i = 0; i < n; ++i) {
    int16_t s;
    std::memcpy(&s, pcm.data() + 2 * i, 2);
    sum += double(s) * s;
  }
  return std::sqrt(sum / n);
}

} // namespace

class ProjectAudioTest : public RenderTest {
protected:
  uint32_t AddRamp() {
    const std::string wav = TempPath("ramp" + std::to_string(serial_++) + ".wav");
    EXPECT_TRUE(WriteWav16(wav, 22050, 2, MakeRampPcm16(22050 * 2, 2)));
    return InputAdd(WideToUtf16(Utf8ToWide(wav)).c_str());
  }
  double Level(float time, uint32_t volume = 100) {
    std::vector<uint8_t> pcm;
    ReadAccess access("test");
    RenderMixAudio(time, 4410, AudioFormatFor(3, 44100), &pcm, volume);
    EXPECT_EQ(pcm.size(), 4410u * 4);
    return rms16(pcm);
  }
  int serial_ = 0;
};

TEST_F(ProjectAudioTest, AudioObjectSoundsWithVolumesMultiplied) {
  const uint32_t input = AddRamp();
  ASSERT_NE(input, 255u);
  const uint32_t obj = AddObject(kDispAudio, input, 0, 0, 10, 10);
  const double full = Level(0.5f);
  EXPECT_GT(full, 3000);
  EXPECT_NEAR(Level(0.5f, 50), full / 2, full * 0.05); // the preview volume
  Edit(obj, [](DispStruct& r) { r.AudioVolume = 50; });
  EXPECT_NEAR(Level(0.5f), full / 2, full * 0.05);
  AdjustStruct adjust = *InputGetAdjust(input);
  adjust.Volume = 0;
  ASSERT_EQ(InputSetAdjust(input, &adjust), 0);
  EXPECT_EQ(Level(0.5f), 0);
}

TEST_F(ProjectAudioTest, SilentBeforeStartAfterEndAndWhenInactive) {
  const uint32_t input = AddRamp();
  const uint32_t obj = AddObject(kDispAudio, input, 0, 0, 10, 10);
  Edit(obj, [](DispStruct& r) { r.OffsetTime = 1.0f; });
  EXPECT_EQ(Level(0.5f), 0);
  EXPECT_GT(Level(1.2f), 3000);
  EXPECT_EQ(Level(5.0f), 0); // the two-second sound has ended
  Edit(obj, [](DispStruct& r) { r.Active = 0; });
  EXPECT_EQ(Level(1.2f), 0);
}

TEST_F(ProjectAudioTest, AnInputShownTwiceSoundsOnce) {
  const uint32_t input = AddRamp();
  AddObject(kDispAudio, input, 0, 0, 10, 10);
  const double once = Level(0.5f);
  AddObject(kDispAudio, input, 0, 0, 10, 10);
  EXPECT_NEAR(Level(0.5f), once, 1);
}

TEST(PreviewAudio, QueueHoldsSoundWhilePausedAndClears) {
  ScopedEnv silentSound("SDL_AUDIODRIVER", "dummy");
  const AudioFormat format = AudioFormatFor(3, 22050);
  ASSERT_EQ(PreviewAudioOpen(format), 0);
  EXPECT_TRUE(PreviewAudioIsOpen());
  PreviewAudioPause(true);
  std::vector<uint8_t> pcm(4000, 1);
  PreviewAudioQueue(pcm.data(), static_cast<uint32_t>(pcm.size()));
  EXPECT_EQ(PreviewAudioQueued(), 4000u);
  // Never more than half a second waits: late sound is dropped.
  std::vector<uint8_t> big(format.nAvgBytesPerSec, 0);
  PreviewAudioQueue(big.data(), static_cast<uint32_t>(big.size()));
  EXPECT_EQ(PreviewAudioQueued(), 4000u);
  PreviewAudioClear();
  EXPECT_EQ(PreviewAudioQueued(), 0u);
  PreviewAudioClose();
  EXPECT_FALSE(PreviewAudioIsOpen());
  PreviewAudioQueue(pcm.data(), 4); // closed: ignored
}
