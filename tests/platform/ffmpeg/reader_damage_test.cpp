// Damaged packets in the first reader's files: a sound packet that does not
// decode is silence for its own span and the sound plays on to its end; a
// damaged picture leaves the frame before it on screen. Each file logs one
// count of what was passed over.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "base/text.h"
#include "platform/ffmpeg/reader.h"
#include "support/damaged_media.h"
#include "support/media_fixtures.h"
#include "support/writer_clip.h"

namespace {

constexpr double kSpan = 1.0 / 30;

double SpanRms(const MediaMacAV& reader, const uint8_t* data, uint32_t bytes, double from, double to) {
  const AudioFormat& f = reader.Format();
  const auto* s = reinterpret_cast<const int16_t*>(data);
  const size_t first = static_cast<size_t>(from * f.nSamplesPerSec) * f.nChannels;
  const size_t last = std::min<size_t>(static_cast<size_t>(to * f.nSamplesPerSec) * f.nChannels, bytes / 2);
  double sum = 0;
  for (size_t i = first; i < last; ++i) sum += static_cast<double>(s[i]) * s[i];
  return last > first ? std::sqrt(sum / static_cast<double>(last - first)) : 0.0;
}

int DamageLines(const std::string& log) {
  int n = 0;
  for (size_t at = log.find("Passed over damaged packets"); at != std::string::npos;
       at = log.find("Passed over damaged packets", at + 1))
    ++n;
  return n;
}

TEST(ReaderDamage, DamagedSoundPacketIsSilenceForItsSpanOnly) {
  WriterTestDir dir;
  const std::string path = dir.File("tone.m4a");
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i sine=frequency=440:sample_rate=44100 -t 20 -ac 2 -c:a aac -b:a 128k " + path));
  const DamagedPacket bad = DamagePacket(path, false, 15.0);
  ASSERT_GT(bad.Time, 14.9);
  ASSERT_GT(bad.Duration, 0.02);
  {
    MediaMacAV reader;
    ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
    // Played through twice: the damaged packet is counted once.
    for (int pass = 0; pass < 2; ++pass) {
      int loud = 0, spans = 0;
      for (double t = 0; t + 0.1 < reader.MediaLength(); t += kSpan) {
        ASSERT_EQ(reader.GetAudio(t, kSpan), 0) << t;
        ASSERT_EQ(reader.AudioDataLength(), 5880u) << t;
        const bool nearDamage = t + kSpan > bad.Time - 0.05 && t < bad.Time + bad.Duration + 0.05;
        if (nearDamage || t < 0.1) continue;
        ++spans;
        loud += SpanRms(reader, reader.AudioData(), 5880, 0, kSpan) > 1000 ? 1 : 0;
      }
      EXPECT_EQ(loud, spans) << "pass " << pass; // the tone plays on to the end
    }
    // The packet's own span is silent, the sound around it in time.
    const double from = bad.Time - 0.2;
    ASSERT_EQ(reader.GetAudio(from, 0.5), 0);
    ASSERT_EQ(reader.AudioDataLength(), 88200u);
    const uint8_t* data = reader.AudioData();
    EXPECT_GT(SpanRms(reader, data, 88200, 0.0, 0.19), 1000);
    EXPECT_EQ(SpanRms(reader, data, 88200, 0.2 + 0.001, 0.2 + bad.Duration - 0.001), 0.0);
    EXPECT_GT(SpanRms(reader, data, 88200, 0.2 + bad.Duration + 0.03, 0.5), 1000);
    EXPECT_EQ(DamageLines(dir.Log()), 0); // logged when the file is closed
  }
  const std::string log = dir.Log();
  EXPECT_EQ(DamageLines(log), 1) << log;
  EXPECT_NE(log.find(": 1 of sound, 0 of video"), std::string::npos) << log;
}

TEST(ReaderDamage, DamagedPictureLeavesThePreviousFrameShown) {
  WriterTestDir dir;
  const std::string path = dir.File("index.mp4");
  ASSERT_TRUE(MakeIndexVideo(path, 100, 64, 32, "10", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 50"));
  const DamagedPacket bad = DamagePacket(path, true, 2.0);
  ASSERT_NEAR(bad.Time, 2.0, 1e-3);
  MediaMacAV reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
  for (int pass = 0; pass < 2; ++pass)
    for (int i = 0; i < 100; ++i) {
      ASSERT_EQ(reader.GetFrame(i / 10.0), 0) << i;
      const int shown = ReadFrameIndex(reader.BitmapData(), 64, 32, true);
      if (i < 20 || i >= 50) EXPECT_EQ(shown, i) << "pass " << pass;
      else EXPECT_EQ(shown, 19) << "frame " << i << " pass " << pass; // up to the next key frame
    }
  reader.Close();
  EXPECT_EQ(DamageLines(dir.Log()), 1) << dir.Log();
}

} // namespace
