// A video with a steady tone, rendered by Create Video, sounds as clean as
// the ffmpeg tool's own transcode of it: above 4 kHz, where the tone itself
// leaves nothing, a seam between two frames' sound would stand out as a
// click. Checked into an output at the source's rate and at another one.
// And the preview's speakers play a tone on without a break.
#include "e2e/e2e_project.h"

#include <sched.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/text.h"
#include "model/disp_records.h"
#include "model/inputs.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"
#include "platform/graphics/bitmap_view.h"
#include "platform/media/sound_resampler.h"
#include "render/preview/main_preview.h"
#include "support/media_fixtures.h"
#include "support/scoped_env.h"
#include "support/wait_until.h"

namespace {

constexpr int kSeconds = 20;
constexpr int kSourceRate = 48000;
constexpr double kFps = 30000.0 / 1001;
// -40 dBFS: the tone is at -18 dBFS and a one-sample seam in it at about
// -22 dBFS above 4 kHz; an AAC encoding of the tone stays far below.
constexpr int kClick = 328;

struct Click {
  int64_t sample;
  int level;
};

// The file's sound above 4 kHz (the ffmpeg tool's high-pass, twice), mono,
// and every place where it rises past the click level (one per 5 ms).
std::vector<Click> ClicksAbove4kHz(const std::string& file, int rate) {
  const std::string raw = file + ".hp.raw";
  EXPECT_TRUE(RunFfmpeg("-i " + file + " -vn -ac 1 -ar " + std::to_string(rate) +
                        " -af highpass=f=4000,highpass=f=4000 -f s16le -c:a pcm_s16le " + raw));
  const std::vector<uint8_t> bytes = ReadBytes(raw);
  std::vector<Click> clicks;
  const int64_t apart = rate / 200;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    int16_t s;
    std::memcpy(&s, &bytes[i], 2);
    const auto at = static_cast<int64_t>(i / 2);
    if (std::abs(s) < kClick || (!clicks.empty() && at - clicks.back().sample < apart)) continue;
    clicks.push_back({at, std::abs(s)});
  }
  return clicks;
}

std::string Listed(const std::vector<Click>& clicks, int rate) {
  std::string text;
  for (size_t i = 0; i < clicks.size() && i < 12; ++i)
    text += " " + std::to_string(static_cast<double>(clicks[i].sample) / rate) + " s (" +
            std::to_string(clicks[i].level) + ")";
  return text;
}

// What the disk device has written so far, as stereo samples, and where
// the preview's sound starts in it: the device plays silence until then.
std::vector<int16_t> SpeakerSamples(const std::string& file, size_t* start) {
  const std::vector<uint8_t> bytes = ReadBytes(file);
  std::vector<int16_t> samples(bytes.size() / 4 * 2);
  if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  *start = 0;
  while (*start < samples.size() && samples[*start] == 0) *start += 2;
  return samples;
}

// Real speakers keep their own clock. SDL's disk device keeps time by
// sleeping a block's length between writes; on a busy machine it wakes late
// and falls behind the preview's clock, which then drops the sound it has no
// room to queue, as it must for real speakers. Real-time scheduling of the
// device's thread (where the process may ask for it) keeps it on time.
// True once the device's thread was found.
bool KeepSpeakersOnTime() {
  bool found = false;
  std::error_code ignored;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ignored)) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    if (!std::getline(comm, name) || name.rfind("SDLAudioP", 0) != 0) continue;
    found = true;
    sched_param param{};
    param.sched_priority = 10;
    sched_setscheduler(std::stoi(task.path().filename().string()), SCHED_FIFO, &param);
  }
  return found;
}

class RenderSoundTest : public E2eProjectTest, public testing::WithParamInterface<int> {};

TEST_P(RenderSoundTest, ARenderOfASteadyToneHasNoClicksThatATranscodeHasNot) {
  const int outRate = GetParam();
  const std::string source = work + "/tone.mp4";
  ASSERT_TRUE(MakeIndexVideo(source, static_cast<int>(kSeconds * kFps), 160, 90, "30000/1001",
                             "-c:v libx264 -preset ultrafast -pix_fmt yuv420p",
                             "-f lavfi -i sine=frequency=440:sample_rate=" + std::to_string(kSourceRate) +
                                 ":duration=" + std::to_string(kSeconds),
                             "-ac 2 -c:a aac -b:a 160k -shortest"));
  const uint32_t input = InputAdd(WideToUtf16(Utf8ToWide(source)).c_str());
  ASSERT_NE(input, 255u);
  AddObjectInBox(kDispVideo, input, E2eBox{0, 0, 100, 100});

  const std::string rendered = work + "/rendered.mp4";
  ASSERT_EQ(OutputHandlerCreate(Utf8ToWide(rendered).c_str(), 8, 160, 90, 3, static_cast<uint32_t>(outRate), 800,
                                160, 0, static_cast<float>(kFps), 0.0f, 0.0f, 356400.0f),
            0);
  ASSERT_TRUE(WaitIdle(300)) << "render stuck at " << OutputHandlerGetTime() << " s";
  ASSERT_EQ(OutputHandlerGetResult(), 0);
  RenderEnd();
  const std::string transcoded = work + "/transcoded.mp4";
  ASSERT_TRUE(RunFfmpeg("-i " + source + " -vn -c:a aac -b:a 160k -ar " + std::to_string(outRate) + " " +
                        transcoded));

  const std::vector<Click> reference = ClicksAbove4kHz(transcoded, outRate);
  const std::vector<Click> clicks = ClicksAbove4kHz(rendered, outRate);
  EXPECT_LE(clicks.size(), reference.size()) << clicks.size() << " clicks:" << Listed(clicks, outRate)
                                             << "\nthe transcode's " << reference.size() << ":"
                                             << Listed(reference, outRate);
}

INSTANTIATE_TEST_SUITE_P(OutputRates, RenderSoundTest, testing::Values(48000, 44100),
                         [](const testing::TestParamInfo<int>& info) {
                           return "Into" + std::to_string(info.param);
                         });

} // namespace

TEST_F(E2eProjectTest, TenSecondsOfPreviewSoundReachTheSpeakersWithoutASeam) {
  // The speakers are SDL's disk device: what it plays goes to a file.
  const std::string speakers = work + "/speakers.raw";
  ScopedEnv driver("SDL_AUDIODRIVER", "disk");
  ScopedEnv file("SDL_DISKAUDIOFILE", speakers);
  // A 48 kHz tone into a 44.1 kHz preview: resampled on the way.
  const int frames = 48000 * 12;
  std::vector<int16_t> tone(static_cast<size_t>(frames) * 2);
  for (int i = 0; i < frames; ++i)
    tone[2 * i] = tone[2 * i + 1] = static_cast<int16_t>(std::lround(12000 * std::cos(2 * M_PI * 440 * i / 48000.0)));
  const std::string wav = work + "/tone.wav";
  ASSERT_TRUE(WriteWav16(wav, 48000, 2, std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(tone.data()),
                                                               reinterpret_cast<const uint8_t*>(tone.data() + tone.size()))));
  const uint32_t input = InputAdd(WideToUtf16(Utf8ToWide(wav)).c_str());
  ASSERT_NE(input, 255u);
  AddObjectInBox(kDispAudio, input, E2eBox{0, 0, 10, 10});

  int shown = 0;
  ViewRegister(&shown, [&shown](const ViewImage&) { ++shown; });
  ASSERT_EQ(MainPreviewInit(&shown, 160, 90, 0, 0, 3, 44100, 30.0f), 0);
  ASSERT_TRUE(WaitUntil(KeepSpeakersOnTime)) << "no sound device thread";
  ASSERT_EQ(PreviewPlay(0, 0.0f, 30.0f), 0);
  // The device starts playing the preview's sound once it has its lead,
  // later on a busy machine: wait for what it has played, not for a time.
  constexpr size_t kTenSeconds = 10 * 44100 * 2;
  std::vector<int16_t> heard;
  size_t start = 0;
  const bool played = WaitUntil(
      [&] {
        std::error_code missing;
        const std::uintmax_t bytes = std::filesystem::file_size(speakers, missing);
        if (missing || bytes < kTenSeconds * 2) return false;
        heard = SpeakerSamples(speakers, &start);
        return heard.size() >= start + kTenSeconds;
      },
      std::chrono::seconds(120), std::chrono::milliseconds(50));
  PreviewStop();
  MainPreviewEnd();
  ViewUnregister(&shown);
  ASSERT_TRUE(played) << "in 2 minutes the speakers played " << ReadBytes(speakers).size() / 4
                      << " sample frames, not 10 s of the preview's sound";

  SoundResampler resampler;
  std::vector<int16_t> want;
  ASSERT_EQ(resampler.Open(2, 48000, 44100), 0);
  ASSERT_EQ(resampler.Push(tone.data(), static_cast<uint32_t>(frames), &want), 0);
  ASSERT_GE(want.size(), kTenSeconds);
  for (size_t i = 0; i < kTenSeconds; ++i)
    ASSERT_LE(std::abs(heard[start + i] - want[i]), 2)
        << "the sound breaks at " << static_cast<double>(i / 2) / 44100 << " s of the preview";
}
