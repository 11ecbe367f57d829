// Sound chunks placed by their time: gaps become silence, overlaps are cut.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/ffmpeg/writer_audio_file.h"
#include "support/writer_clip.h"

namespace {

constexpr int kRate = 44100;

std::vector<uint8_t> ToneChunk(double seconds, double hz) {
  const int frames = static_cast<int>(std::lround(seconds * kRate));
  std::vector<uint8_t> pcm(static_cast<size_t>(frames) * 2);
  for (int i = 0; i < frames; ++i) {
    const auto s = static_cast<int16_t>(std::lround(16000 * std::sin(2 * M_PI * hz * i / kRate)));
    pcm[2 * i] = static_cast<uint8_t>(s & 0xFF);
    pcm[2 * i + 1] = static_cast<uint8_t>((s >> 8) & 0xFF);
  }
  return pcm;
}

} // namespace

TEST(WriterAudioFile, GapIsSilenceAndOverlapIsCut) {
  WriterTestDir dir;
  const std::string path = dir.File("sound.m4a");
  AudioEncodeFile audio;
  ASSERT_EQ(audio.openFile(path), 0);
  ASSERT_EQ(audio.openEncoder(AudioFormatFor(2, kRate), 128), 0);
  ASSERT_EQ(audio.openConverter(), 0);
  ASSERT_EQ(audio.start(), 0);
  const std::vector<uint8_t> tone = ToneChunk(0.2, 1000);
  const auto length = static_cast<uint32_t>(tone.size());
  ASSERT_EQ(audio.putChunk(tone.data(), length, 0.0), 0);
  ASSERT_EQ(audio.putChunk(tone.data(), length, 0.6), 0); // 0.4 s gap
  EXPECT_EQ(audio.samplesPlaced(), std::lround(0.8 * kRate));
  ASSERT_EQ(audio.putChunk(tone.data(), length, 0.7), 0); // half overlaps
  EXPECT_EQ(audio.samplesPlaced(), std::lround(0.9 * kRate));
  ASSERT_EQ(audio.putChunk(nullptr, 0, 0.9), 0);
  EXPECT_EQ(audio.putChunk(tone.data(), length, -1.0), -82);
  ASSERT_EQ(audio.finish(), 0);

  const MediaProbe probe = ProbeMedia(path);
  ASSERT_EQ(probe.audioStreams, 1);
  EXPECT_EQ(probe.channels, 1);
  EXPECT_NEAR(probe.sound.size() / static_cast<double>(kRate), 0.9, 0.03);
  EXPECT_GT(SoundRms(probe.sound, kRate, 0.02, 0.18), 0.2);
  EXPECT_LT(SoundRms(probe.sound, kRate, 0.25, 0.55), 0.01);
  EXPECT_GT(SoundRms(probe.sound, kRate, 0.62, 0.88), 0.2);
  EXPECT_NE(dir.Log().find("overlaps the sound before by 4410 samples"), std::string::npos);
}

TEST(WriterAudioFile, AbsurdGapIsRefused) {
  WriterTestDir dir;
  AudioEncodeFile audio;
  ASSERT_EQ(audio.openFile(dir.File("gap.m4a")), 0);
  ASSERT_EQ(audio.openEncoder(AudioFormatFor(2, kRate), 128), 0);
  ASSERT_EQ(audio.openConverter(), 0);
  ASSERT_EQ(audio.start(), 0);
  const std::vector<uint8_t> tone = ToneChunk(0.1, 1000);
  EXPECT_EQ(audio.putChunk(tone.data(), static_cast<uint32_t>(tone.size()), 1e6), -82);
  EXPECT_EQ(audio.samplesPlaced(), 0);
  audio.abandon();
}
