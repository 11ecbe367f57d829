// The stream-copy merge on good, damaged and foreign files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/ffmpeg/writer_audio_file.h"
#include "platform/ffmpeg/writer_remux.h"
#include "support/writer_clip.h"

namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

RemuxStatus Remux(const std::string& video, const std::string& audio, const std::string& out) {
  std::atomic<bool> cancel{false};
  std::string reason;
  return RemuxVideoAndAudio(video, audio, out, cancel, reason);
}

std::string MakeClip(WriterTestDir& dir) {
  ClipSpec spec;
  spec.width = 160;
  spec.height = 90;
  const std::string clip = dir.File("clip.mp4");
  EXPECT_EQ(WriteClip(spec, clip), 0);
  return clip;
}

} // namespace

TEST(WriterRemux, CopiesPicturesAndSoundInStep) {
  WriterTestDir dir;
  const std::string clip = MakeClip(dir);
  const std::string out = dir.File("copy.mp4");
  ASSERT_EQ(Remux(clip, clip, out), RemuxStatus::kCompleted);
  const MediaProbe probe = ProbeMedia(out);
  ASSERT_EQ(probe.pictures.size(), 50u);
  EXPECT_EQ(ReadFrameNumber(probe.pictures[49]), 49u);
  EXPECT_NEAR(SoundOnset(probe.sound, probe.sampleRate, 0.9, 0.1), 1.0, 0.005);
}

TEST(WriterRemux, CancelledMergeNeverCompletes) {
  WriterTestDir dir;
  const std::string clip = MakeClip(dir);
  std::atomic<bool> cancel{true};
  std::string reason;
  EXPECT_NE(RemuxVideoAndAudio(clip, clip, dir.File("out.mp4"), cancel, reason), RemuxStatus::kCompleted);
}

TEST(WriterRemux, MissingEmptyAndRandomFilesAreRefused) {
  WriterTestDir dir;
  const std::string clip = MakeClip(dir);
  EXPECT_EQ(Remux(dir.File("missing.m4v"), clip, dir.File("o.mp4")), RemuxStatus::kNoVideoFile);
  EXPECT_EQ(Remux(clip, dir.File("missing.m4a"), dir.File("o.mp4")), RemuxStatus::kNoAudioFile);
  WriteBytes(dir.File("empty"), "");
  EXPECT_EQ(Remux(dir.File("empty"), clip, dir.File("o.mp4")), RemuxStatus::kNoVideoFile);
  std::mt19937 random(7);
  std::string noise(20000, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  WriteBytes(dir.File("noise"), noise);
  EXPECT_NE(Remux(dir.File("noise"), clip, dir.File("o.mp4")), RemuxStatus::kCompleted);
  EXPECT_NE(Remux(clip, dir.File("noise"), dir.File("o.mp4")), RemuxStatus::kCompleted);
}

TEST(WriterRemux, SoundOnlyFileHasNoVideoLength) {
  WriterTestDir dir;
  AudioEncodeFile audio;
  const std::string path = dir.File("sound.m4a");
  ASSERT_EQ(audio.openFile(path), 0);
  ASSERT_EQ(audio.openEncoder(AudioFormatFor(3, 44100), 128), 0);
  ASSERT_EQ(audio.openConverter(), 0);
  ASSERT_EQ(audio.start(), 0);
  std::vector<uint8_t> pcm(44100 * 4 / 5, 0);
  ASSERT_EQ(audio.putChunk(pcm.data(), static_cast<uint32_t>(pcm.size()), 0.0), 0);
  ASSERT_EQ(audio.finish(), 0);
  EXPECT_EQ(Remux(path, path, dir.File("o.mp4")), RemuxStatus::kNoVideoLength);
}

// Cut files and flipped bytes must end in a status, never in a crash.
TEST(WriterRemux, DamagedFilesGiveAStatus) {
  WriterTestDir dir;
  const std::string clip = MakeClip(dir);
  const std::string bytes = ReadBytes(clip);
  ASSERT_GT(bytes.size(), 4000u);
  const std::string damaged = dir.File("damaged.mp4");
  // The index sits at the end of the file: without it nothing can be copied.
  for (const size_t keep : {size_t{8}, size_t{100}, bytes.size() / 2}) {
    WriteBytes(damaged, bytes.substr(0, keep));
    EXPECT_NE(Remux(damaged, damaged, dir.File("o.mp4")), RemuxStatus::kCompleted) << keep;
  }
  WriteBytes(damaged, bytes.substr(0, bytes.size() - 50));
  Remux(damaged, damaged, dir.File("o.mp4"));
  std::mt19937 random(11);
  for (int round = 0; round < 20; ++round) {
    std::string flipped = bytes;
    for (int i = 0; i < 16; ++i) flipped[random() % flipped.size()] = static_cast<char>(random());
    WriteBytes(damaged, flipped);
    Remux(damaged, damaged, dir.File("o.mp4"));
  }
}
