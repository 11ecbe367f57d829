// The sound of a render is its input's sound run on sample for sample: the
// chunks the render loop hands to the writer, one per frame, put together
// are the source itself (at the same rate) or one continuous resampling of
// it (at another rate or play rate), also over the point where one part of a
// join ends and the next begins.
#include "render/render_fixture.h"

#include "base/text.h"
#include "model/inputs.h"
#include "platform/media/sound_resampler.h"
#include "render/loop/render.h"
#include "support/media_fixtures.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

constexpr double kSeconds = 6.0;

std::vector<int16_t> AsSamples(const std::vector<uint8_t>& bytes) {
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

// Stereo 16-bit sine of the frequency, starting at the phase of sample
// `from`, as a WAV-ready byte block.
std::vector<uint8_t> Sine(int rate, double hz, int64_t from, int64_t frames) {
  std::vector<uint8_t> pcm(static_cast<size_t>(frames) * 4);
  for (int64_t i = 0; i < frames; ++i) {
    const auto v = static_cast<int16_t>(std::lround(12000 * std::sin(2 * M_PI * hz * double(from + i) / rate)));
    std::memcpy(&pcm[static_cast<size_t>(i) * 4], &v, 2);
    std::memcpy(&pcm[static_cast<size_t>(i) * 4 + 2], &v, 2);
  }
  return pcm;
}

// The source as the ffmpeg tool decodes it: stereo 16-bit at its own rate.
std::vector<int16_t> Decoded(const std::string& path) {
  const std::string raw = path + ".raw";
  EXPECT_TRUE(RunFfmpeg("-i " + path + " -vn -ac 2 -f s16le -c:a pcm_s16le " + raw));
  return AsSamples(ReadBytes(raw));
}

// One continuous resampling of the whole source; a play rate other than 1
// counts in hundredths of a hertz.
std::vector<int16_t> Resampled(const std::vector<int16_t>& source, int from, int to, double playRate) {
  SoundResampler resampler;
  std::vector<int16_t> out;
  const int scale = playRate == 1.0 ? 1 : 100;
  EXPECT_EQ(resampler.Open(2, static_cast<int>(std::llround(from * playRate * scale)), to * scale), 0);
  EXPECT_EQ(resampler.Push(source.data(), static_cast<uint32_t>(source.size() / 2), &out), 0);
  return out;
}

// The first sample where the two differ by more than the tolerance over
// their common length less the tail; -1 when none.
int64_t FirstDifference(const std::vector<int16_t>& got, const std::vector<int16_t>& want, int tolerance,
                        size_t tail) {
  const size_t n = std::min(got.size(), want.size());
  for (size_t i = 0; i + tail < n; ++i)
    if (std::abs(got[i] - want[i]) > tolerance) return static_cast<int64_t>(i);
  return -1;
}

std::string Around(const std::vector<int16_t>& got, const std::vector<int16_t>& want, int64_t at) {
  std::string text;
  for (int64_t i = std::max<int64_t>(0, at - 4); i < at + 6 && i < static_cast<int64_t>(std::min(got.size(), want.size())); i += 2)
    text += " [" + std::to_string(i / 2) + "] " + std::to_string(got[i]) + "/" + std::to_string(want[i]);
  return text;
}

struct Case {
  const char* name;
  const char* source; // "wav", "video" (AAC), "mp3" or "join" (two WAV parts)
  int sourceRate;
  int outRate;
  double fps;
  float playRate = 1.0f;
};

class SoundContinuityTest : public RenderTest, public testing::WithParamInterface<Case> {
protected:
  // The input for the case and its sound as a listener takes it in.
  uint32_t AddSource(const Case& c, std::vector<int16_t>* sound) {
    const int64_t frames = static_cast<int64_t>(kSeconds * c.sourceRate);
    const std::string stem = TempPath(std::string(c.name) + "-source");
    if (std::string(c.source) == "join") {
      // A recording in two files; the second goes on with the tone where
      // the first stopped, so the source itself has no seam.
      const int64_t split = frames / 2 + 123;
      const uint32_t join = InputAddSpecial(kSpecialJoinAudio);
      for (int part = 0; part < 2; ++part) {
        const int64_t from = part == 0 ? 0 : split, count = part == 0 ? split : frames - split;
        const std::string path = stem + std::to_string(part) + ".wav";
        EXPECT_TRUE(WriteWav16(path, c.sourceRate, 2, Sine(c.sourceRate, 440, from, count)));
        const uint32_t member = InputAdd(WideToUtf16(Utf8ToWide(path)).c_str());
        MainStruct record = *InputGetMain(member);
        record.ParentJoin = static_cast<uint8_t>(join);
        EXPECT_EQ(InputSetMain(member, &record), 0);
      }
      EXPECT_EQ(InputUpdateJoin(join), 0);
      *sound = AsSamples(Sine(c.sourceRate, 440, 0, frames));
      return join;
    }
    std::string path = stem + ".wav";
    if (std::string(c.source) == "wav") {
      EXPECT_TRUE(WriteWav16(path, c.sourceRate, 2, Sine(c.sourceRate, 440, 0, frames)));
      *sound = AsSamples(Sine(c.sourceRate, 440, 0, frames));
    } else {
      const std::string tone = "-f lavfi -i sine=frequency=440:sample_rate=" + std::to_string(c.sourceRate) +
                               ":duration=" + std::to_string(kSeconds);
      if (std::string(c.source) == "video") {
        path = stem + ".mp4";
        EXPECT_TRUE(MakeIndexVideo(path, static_cast<int>(kSeconds * 30), 64, 36, "30",
                                   "-c:v libx264 -preset ultrafast -pix_fmt yuv420p", tone,
                                   "-ac 2 -c:a aac -b:a 160k -shortest"));
      } else {
        path = stem + ".mp3";
        EXPECT_TRUE(RunFfmpeg(tone + " -ac 2 -c:a libmp3lame -b:a 192k " + path));
      }
      *sound = Decoded(path);
    }
    return InputAdd(WideToUtf16(Utf8ToWide(path)).c_str());
  }

  // Renders the project into an MP4 and keeps every chunk of sound on its
  // way to the writer, joined in order.
  std::vector<int16_t> RenderSound(const Case& c) {
    RenderOutputArgs output;
    output.path = Utf8ToWide(TempPath(std::string(c.name) + ".mp4"));
    output.videoKbit = 500;
    output.audioKbit = 160;
    EXPECT_EQ(RenderInit(kRenderOutput, 64, 36, 3, static_cast<uint32_t>(c.outRate), c.fps, &output), 0);
    std::vector<int16_t> sound;
    RenderSetSinks(nullptr, [&sound](const uint8_t* pcm, uint32_t bytes, float) {
      const size_t had = sound.size();
      sound.resize(had + bytes / 2);
      std::memcpy(sound.data() + had, pcm, bytes);
    });
    EXPECT_EQ(RenderStart(0, static_cast<float>(kSeconds), c.fps, 0, 0), 0);
    EXPECT_TRUE(WaitOutputIdle(240000));
    EXPECT_EQ(RenderGetResult(), 0);
    RenderEnd();
    RenderSetSinks(nullptr, nullptr);
    return sound;
  }
};

TEST_P(SoundContinuityTest, RenderedSoundIsTheSourceRunOnWithoutASeam) {
  const Case c = GetParam();
  std::vector<int16_t> source;
  const uint32_t input = AddSource(c, &source);
  ASSERT_NE(input, 255u);
  MainStruct record = *InputGetMain(input);
  record.PlayRate = c.playRate;
  ASSERT_EQ(InputSetMain(input, &record), 0);
  AddObject(kDispAudio, input, 0, 0, 10, 10);
  std::vector<int16_t> mixed = RenderSound(c);
  // The last frame reaches past the end of the input, which is silent there.
  const auto length = static_cast<size_t>(kSeconds / c.playRate * c.outRate) * 2;
  ASSERT_GE(mixed.size(), length);
  mixed.resize(length);
  if (c.sourceRate == c.outRate && c.playRate == 1.0f) {
    const int64_t at = FirstDifference(mixed, source, 0, 0);
    EXPECT_EQ(at, -1) << "sample " << at / 2 << " of " << mixed.size() / 2 << Around(mixed, source, at);
  } else {
    // Two least steps for the rounding of the resampler's pieces; the last
    // few samples wait for sound past the end.
    const std::vector<int16_t> want = Resampled(source, c.sourceRate, c.outRate, c.playRate);
    const int64_t at = FirstDifference(mixed, want, 2, 2 * 64);
    EXPECT_EQ(at, -1) << "sample " << at / 2 << " of " << mixed.size() / 2 << Around(mixed, want, at);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sources, SoundContinuityTest,
    testing::Values(Case{"Wav44kInto44kAt2997", "wav", 44100, 44100, 30000.0 / 1001},
                    Case{"Video48kInto48kAt2997", "video", 48000, 48000, 30000.0 / 1001},
                    Case{"Video48kInto44kAt2997", "video", 48000, 44100, 30000.0 / 1001},
                    Case{"Mp344kInto48kAt25", "mp3", 44100, 48000, 25},
                    Case{"Wav44kAtOneAndAHalfInto48k", "wav", 44100, 48000, 30000.0 / 1001, 1.5f},
                    Case{"Join48kInto48kAt60", "join", 48000, 48000, 60},
                    Case{"Join48kInto44kAt2997", "join", 48000, 44100, 30000.0 / 1001}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

} // namespace
