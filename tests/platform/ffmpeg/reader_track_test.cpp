// Tracks of the first reader: a file with two picture and two sound
// streams opens on the chosen pair; a track it does not have opens its
// main streams.
#include <gtest/gtest.h>

#include "base/text.h"
#include "platform/ffmpeg/reader.h"
#include "support/media_fixtures.h"
#include "support/writer_clip.h"

namespace {

double Tone(MediaMacAV& reader) {
  EXPECT_EQ(reader.GetAudio(0.2, 1.0), 0);
  std::vector<float> mono;
  const auto* s = reinterpret_cast<const int16_t*>(reader.AudioData());
  const uint32_t channels = reader.Format().nChannels;
  for (uint32_t i = 0; i < reader.AudioDataLength() / 2; i += channels) mono.push_back(s[i] / 32768.0f);
  return ToneFrequency(mono, static_cast<int>(reader.Format().nSamplesPerSec), 0.0, 1.0);
}

TEST(ReaderTrack, ChosenTrackGivesItsPictureAndSound) {
  // Second picture stream: the same frames numbered from 100.
  const std::string second = MediaTestPath("second.mp4");
  ASSERT_TRUE(MakeIndexVideo(second, 40, 64, 32, "20", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p", "", "",
                             100));
  const std::string path = MediaTestPath("tracks.mkv");
  ASSERT_TRUE(MakeIndexVideo(path, 40, 64, 32, "20", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p",
                             "-i " + second +
                                 " -f lavfi -i sine=frequency=400:sample_rate=44100:duration=2"
                                 " -f lavfi -i sine=frequency=1300:sample_rate=44100:duration=2",
                             "-map 0:v -map 1:v -map 2:a -map 3:a -c:v:1 copy -c:a pcm_s16le"));
  struct Case {
    uint32_t track;
    int firstFrame;
    double hz;
  };
  for (const Case& c : {Case{0, 0, 400}, Case{1, 100, 1300}, Case{5, 0, 400}}) {
    MediaMacAV reader;
    reader.SelectTrack(c.track);
    ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0) << c.track;
    EXPECT_EQ(reader.TrackCount(), 2u);
    ASSERT_EQ(reader.GetFrame(0.5), 0);
    EXPECT_EQ(ReadFrameIndex(reader.BitmapData(), 64, 32, true), c.firstFrame + 10) << "track " << c.track;
    EXPECT_NEAR(Tone(reader), c.hz, 15) << "track " << c.track;
  }
  MediaMacAV single;
  ASSERT_EQ(single.Open(Utf8ToWide(second)), 0);
  EXPECT_EQ(single.TrackCount(), 1u);
}

} // namespace
