// The quick merge: the sound appended to the picture temporary in place,
// the result decoded in full and in step, the same as the copying merge's;
// layouts it does not take leave the picture temporary byte for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <fstream>

#include "platform/ffmpeg/writer_append.h"
#include "platform/ffmpeg/writer_audio_file.h"
#include "platform/ffmpeg/writer_video_file.h"
#include "support/writer_clip.h"

namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ClipSpec Spec() {
  ClipSpec spec;
  spec.width = 160;
  spec.height = 90;
  return spec;
}

// The two temporaries as the writer makes them: pictures only, sound only.
void WriteTemporaries(const std::string& picturePath, const std::string& soundPath) {
  const ClipSpec spec = Spec();
  VideoEncodeFile video;
  ASSERT_EQ(video.openFile(picturePath), 0);
  ASSERT_EQ(video.openEncoder({spec.width, spec.height, spec.videoKbit, 25000, 0}), 0);
  ASSERT_EQ(video.start(), 0);
  std::vector<uint8_t> bottomUp, topDown(static_cast<size_t>(spec.width) * spec.height * 4);
  const size_t row = static_cast<size_t>(spec.width) * 4;
  for (uint32_t n = 0; n < spec.frames; ++n) {
    DrawFrame(spec, n, bottomUp);
    for (int y = 0; y < spec.height; ++y)
      std::copy_n(bottomUp.data() + row * (spec.height - 1 - y), row, topDown.data() + row * y);
    ASSERT_EQ(video.encode(topDown.data(), n * 1000), 0);
  }
  ASSERT_EQ(video.finish(), 0);
  AudioEncodeFile audio;
  ASSERT_EQ(audio.openFile(soundPath), 0);
  ASSERT_EQ(audio.openEncoder(AudioFormatFor(3, spec.sampleRate), 128), 0);
  ASSERT_EQ(audio.openConverter(), 0);
  ASSERT_EQ(audio.start(), 0);
  std::vector<uint8_t> pcm;
  for (uint32_t n = 0; n < spec.chunks; ++n) {
    const uint32_t bytes = FillChunk(spec, n, pcm);
    ASSERT_EQ(audio.putChunk(pcm.data(), bytes, n / spec.chunkRate), 0);
  }
  ASSERT_EQ(audio.finish(), 0);
}

RemuxStatus Append(const std::string& picture, const std::string& sound, std::string* reason = nullptr) {
  std::atomic<bool> cancel{false};
  std::string why;
  const RemuxStatus status = AppendSoundInPlace(picture, sound, cancel, why);
  if (reason) *reason = why;
  return status;
}

} // namespace

TEST(WriterAppend, SoundJoinsThePictureFileInStep) {
  WriterTestDir dir;
  const std::string picture = dir.File("p.m4v"), sound = dir.File("s.m4a"), copy = dir.File("copy.mp4");
  ASSERT_NO_FATAL_FAILURE(WriteTemporaries(picture, sound));
  std::atomic<bool> cancel{false};
  std::string reason;
  ASSERT_EQ(RemuxVideoAndAudio(picture, sound, copy, cancel, reason), RemuxStatus::kCompleted);
  const std::string pictureBytes = ReadBytes(picture);
  struct stat before {};
  ASSERT_EQ(stat(picture.c_str(), &before), 0);
  ASSERT_EQ(Append(picture, sound, &reason), RemuxStatus::kCompleted) << reason;
  // The pictures stay where they were written; only what follows is new.
  const std::string joined = ReadBytes(picture);
  ASSERT_GT(joined.size(), pictureBytes.size());
  const size_t index = pictureBytes.rfind("moov") - 4;
  EXPECT_EQ(joined.compare(0, index, pictureBytes, 0, index), 0);
  const MediaProbe quick = ProbeMedia(picture), copied = ProbeMedia(copy);
  ASSERT_EQ(quick.videoStreams, 1);
  ASSERT_EQ(quick.audioStreams, 1);
  ASSERT_EQ(quick.pictures.size(), 50u);
  for (uint32_t n : {0u, 1u, 25u, 49u}) EXPECT_EQ(ReadFrameNumber(quick.pictures[n]), n);
  EXPECT_NEAR(quick.pictures[49].time, copied.pictures[49].time, 1e-6);
  EXPECT_NEAR(quick.duration, copied.duration, 0.03);
  EXPECT_NEAR(SoundOnset(quick.sound, quick.sampleRate, 0.9, 0.1), 1.0, 0.005);
  ASSERT_EQ(quick.sound.size(), copied.sound.size());
  for (size_t i = 0; i < quick.sound.size(); i += 97) ASSERT_FLOAT_EQ(quick.sound[i], copied.sound[i]) << i;
}

TEST(WriterAppend, FilesItDoesNotTakeAreLeftAsTheyWere) {
  WriterTestDir dir;
  const std::string picture = dir.File("p.m4v"), sound = dir.File("s.m4a");
  ASSERT_NO_FATAL_FAILURE(WriteTemporaries(picture, sound));
  const std::string pictureBytes = ReadBytes(picture);
  // Sound without its index, a picture file given as the sound, a sound
  // file as the picture, and a picture cut short.
  const std::string cut = dir.File("cut.m4a");
  const std::string soundBytes = ReadBytes(sound);
  std::ofstream(cut, std::ios::binary) << soundBytes.substr(0, soundBytes.size() / 2);
  EXPECT_EQ(Append(picture, cut), RemuxStatus::kFailed);
  EXPECT_EQ(Append(picture, dir.File("missing.m4a")), RemuxStatus::kFailed);
  EXPECT_EQ(ReadBytes(picture), pictureBytes);
  const std::string shortPicture = dir.File("short.m4v");
  std::ofstream(shortPicture, std::ios::binary) << pictureBytes.substr(0, pictureBytes.size() - 9);
  EXPECT_EQ(Append(shortPicture, sound), RemuxStatus::kFailed);
  EXPECT_EQ(ReadBytes(shortPicture), pictureBytes.substr(0, pictureBytes.size() - 9));
  std::atomic<bool> cancel{true};
  std::string reason;
  EXPECT_EQ(AppendSoundInPlace(picture, sound, cancel, reason), RemuxStatus::kCancelled);
  EXPECT_EQ(ReadBytes(picture), pictureBytes);
}
