// Joined inputs play: a three-part camera recording added as one joined
// input renders to MP4 with every frame and its sound across the part
// boundaries, and a join of a video and a still image composes each
// member's trim and play rate in previews, snapshots and sound export.
#include "render/render_fixture.h"

#include "base/error.h"
#include "base/text.h"
#include "model/inputs.h"
#include "media/bmp_file.h"
#include "media/input_export.h"
#include "media/wav_file.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"
#include "support/media_fixtures.h"
#include "support/writer_clip.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace {

constexpr int kW = 160, kH = 120;
constexpr int kPartFrames = 40; // 1.6 s at 25 fps: 75 whole AAC frames at 48 kHz
constexpr double kPartSeconds = kPartFrames / 25.0;
const int kPartHz[3] = {500, 1000, 1500};

// One part of a camera recording: frames numbered on from the parts before
// it, and a tone of the part's own pitch.
bool MakePart(const std::string& path, int part) {
  const std::string tone = "-f lavfi -i 'aevalsrc=0.5*sin(2*PI*" + std::to_string(kPartHz[part]) +
                           "*t):s=48000:d=" + std::to_string(kPartSeconds) + "'";
  return MakeIndexVideo(path, kPartFrames, kW, kH, "25", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 10",
                        tone, "-c:a aac -b:a 192k", part * kPartFrames);
}

std::u16string U16Path(const std::string& path) { return WideToUtf16(Utf8ToWide(path)); }

class JoinedInputTest : public RenderTest {
protected:
  WriterTestDir dir_; // a private folder with the session log in it
};

TEST_F(JoinedInputTest, MultiPartRecordingRendersEveryFrameAndItsSoundAcrossTheParts) {
  const std::string first = dir_.File("GOPR0012.MP4");
  ASSERT_TRUE(MakePart(first, 0));
  ASSERT_TRUE(MakePart(dir_.File("GP010012.MP4"), 1));
  ASSERT_TRUE(MakePart(dir_.File("GP020012.MP4"), 2));
  ASSERT_EQ(InputCheckMultiPart(Utf8ToWide(first).c_str()), 150);
  const uint32_t join = InputAddMultiPart(Utf8ToWide(first).c_str());
  ASSERT_NE(join, 255u);
  ASSERT_EQ(InputGetType(join), 5u);
  EXPECT_NEAR(InputGetLength(join, 1), 3 * kPartSeconds, 0.05);
  AddObject(kDispVideo, join, 0, 0, 100, 100);

  const std::string out = dir_.File("joined.mp4");
  ASSERT_EQ(OutputHandlerCreate(Utf8ToWide(out).c_str(), 8, kW, kH, 3, 48000, 2000, 192, 0, 25.0f, 0.0f, 0.0f,
                                356400.0f),
            0);
  ASSERT_TRUE(WaitOutputIdle(120000)) << "render stuck at " << OutputHandlerGetTime() << " s";
  EXPECT_EQ(OutputHandlerGetResult(), 0);
  RenderEnd();

  MediaProbe probe = ProbeMedia(out);
  ASSERT_TRUE(probe.opened);
  ASSERT_EQ(probe.pictures.size(), static_cast<size_t>(3 * kPartFrames));
  for (size_t n = 0; n < probe.pictures.size(); ++n)
    EXPECT_EQ(ReadIndexBlocks(probe.pictures[n]), static_cast<int>(n)) << "output frame " << n;
  ASSERT_EQ(probe.sampleRate, 48000);
  // Each part sounds up to its boundary and the next one from there on,
  // with no silence in between.
  for (int part = 0; part < 3; ++part) {
    const double from = part * kPartSeconds, to = from + kPartSeconds;
    EXPECT_NEAR(ToneFrequency(probe.sound, 48000, from + 0.05, to - 0.05), kPartHz[part], 25) << "part " << part;
    EXPECT_NEAR(ToneFrequency(probe.sound, 48000, to - 0.05, to - 0.01), kPartHz[part], 80) << "end of " << part;
    if (part > 0) {
      EXPECT_NEAR(ToneFrequency(probe.sound, 48000, from + 0.01, from + 0.05), kPartHz[part], 80) << "start of " << part;
    }
  }
  for (int boundary = 1; boundary < 3; ++boundary)
    for (double t = boundary * kPartSeconds - 0.03; t < boundary * kPartSeconds + 0.03; t += 0.005)
      EXPECT_GT(SoundRms(probe.sound, 48000, t, t + 0.01), 0.2) << "gap at " << t << " s";
  EXPECT_EQ(dir_.Log().find("[Code]"), std::string::npos) << dir_.Log();
}

TEST_F(JoinedInputTest, VideoAndStillImageJoinComposeTrimPlayRateAndEnd) {
  const std::string video = dir_.File("clip.mp4");
  ASSERT_TRUE(MakeIndexVideo(video, 50, kW, kH, "25", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 10",
                             "-f lavfi -i sine=frequency=800:sample_rate=44100", "-c:a aac -shortest"));
  const uint32_t clip = InputAdd(U16Path(video).c_str());
  const uint32_t still = AddSolidImage(0x2060C0, 64, 48);
  ASSERT_NE(clip, 255u);
  // The steps of the Join command: a new joined video, each input moved
  // into it with its record, then the join laid out.
  const uint32_t join = InputAddSpecial(kSpecialJoinVideo);
  ASSERT_NE(join, 255u);
  MainStruct record = *InputGetMain(clip);
  record.TrimStart = 0.4f; // frames 10 to 39 at twice the speed: 0.6 s
  record.TrimEnd = 1.6f;
  record.PlayRate = 2.0f;
  record.ParentJoin = static_cast<uint8_t>(join);
  ASSERT_EQ(InputSetMain(clip, &record), 0);
  record = *InputGetMain(still);
  record.ParentJoin = static_cast<uint8_t>(join);
  ASSERT_EQ(InputSetMain(still, &record), 0);
  ASSERT_EQ(InputUpdateJoin(join), 0);
  EXPECT_NEAR(InputGetLength(join, 1), 0.6 + 5.0, 1e-4);
  record = *InputGetMain(join);
  record.StartTime = 1.0f; // the join itself starts a second in
  ASSERT_EQ(InputSetMain(join, &record), 0);
  AddObject(kDispVideo, join, 0, 0, 100, 100);

  auto indexAt = [&](float time) {
    std::vector<uint32_t> frame = RenderAt(time, kW, kH);
    return ReadFrameIndex(reinterpret_cast<const uint8_t*>(frame.data()), kW, kH, true);
  };
  EXPECT_EQ(indexAt(1.0f), 10);
  EXPECT_EQ(indexAt(1.1f), 15); // 0.1 s in at twice the speed
  EXPECT_EQ(indexAt(1.58f), 39);
  for (float time : {1.7f, 6.5f}) {
    std::vector<uint32_t> frame = RenderAt(time, kW, kH);
    EXPECT_GT(CountColour(frame, kW, kH, 0, 0, kW, kH, 0x2060C0, 8), kW * kH * 9 / 10) << time;
  }
  // Before and past the members: blank, and no error for any frame.
  ErrorSet(0, "test");
  for (float time : {0.5f, 6.7f, 9.0f}) {
    std::vector<uint32_t> frame = RenderAt(time, kW, kH);
    EXPECT_EQ(CountColour(frame, kW, kH, 0, 0, kW, kH, 0x000000, 0), kW * kH) << time;
  }
  EXPECT_EQ(ErrorGetLast(), 0);

  // A snapshot of the join at its own time 2 s: the still image.
  const std::string snapshot = dir_.File("snap.bmp");
  ASSERT_EQ(InputExportSnapshot(join, Utf8ToWide(snapshot).c_str(), 2.0f), 0);
  MediaImageData image{};
  ASSERT_EQ(BmpReadFile(Utf8ToWide(snapshot), &image), 0);
  EXPECT_EQ(image.Header.biWidth, 64);
  EXPECT_EQ(image.Pixels[0], 0xC0);
  MediaImageDataFree(&image);
  // Sound export of the join: the clip's tone, played at twice the speed,
  // then the silence of the still image.
  const std::string wav = dir_.File("join.wav");
  ASSERT_EQ(InputExportAudio(join, Utf8ToWide(wav).c_str(), 0.0f, 1.0f), 0);
  WavReader reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(wav)), 0);
  const int rate = static_cast<int>(reader.Format().nSamplesPerSec);
  const int bytes = reader.Read(0.0, 1.0);
  ASSERT_GT(bytes, 0);
  std::vector<float> sound;
  const int16_t* pcm = reinterpret_cast<const int16_t*>(reader.Data());
  for (int i = 0; i < bytes / 2; i += reader.Format().nChannels) sound.push_back(pcm[i] / 32768.0f);
  EXPECT_NEAR(ToneFrequency(sound, rate, 0.05, 0.55), 1600, 60);
  EXPECT_LT(SoundRms(sound, rate, 0.65, 1.0), 0.001);
  EXPECT_EQ(dir_.Log().find("[Code]"), std::string::npos) << dir_.Log();
}

} // namespace
