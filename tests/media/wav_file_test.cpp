// The media layer's WAV reader and writer, with good and bad files.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "base/error.h"
#include "base/text.h"
#include "media/wav_file.h"
#include "support/media_fixtures.h"

namespace {

std::wstring W(const std::string& s) { return Utf8ToWide(s); }

TEST(WavFile, RoundTripKeepsFormatAndSamples) {
  for (int type = 0; type < 4; ++type) {
    AudioFormat f = AudioFormatFor(type, 22050);
    std::vector<uint8_t> pcm(f.nBlockAlign * 3001);
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<uint8_t>(i * 31 + type);
    std::string path = MediaTestPath("round" + std::to_string(type) + ".wav");
    ASSERT_EQ(WavWriteFile(W(path), f, pcm.data(), pcm.size()), 0);
    std::vector<uint8_t> file = ReadBytes(path);
    ASSERT_EQ(file.size(), 44 + pcm.size() + (pcm.size() & 1));
    uint32_t fmtSize;
    std::memcpy(&fmtSize, &file[16], 4);
    EXPECT_EQ(fmtSize, 16u); // a plain PCM fmt chunk
    WavReader reader;
    ASSERT_EQ(reader.Open(W(path)), 0);
    EXPECT_EQ(+reader.FileFormat().nChannels, +f.nChannels);
    EXPECT_EQ(+reader.FileFormat().wBitsPerSample, +f.wBitsPerSample);
    EXPECT_EQ(+reader.Format().nChannels, +f.nChannels);
    EXPECT_EQ(+reader.Format().wBitsPerSample, 16); // delivered as 16-bit
    EXPECT_EQ(+reader.Format().nSamplesPerSec, 22050u);
    EXPECT_NEAR(reader.Length(), 3001.0 / 22050, 1e-9);
    int n = reader.Read(0.0, 10.0);
    if (f.wBitsPerSample == 16) {
      ASSERT_EQ(n, static_cast<int>(pcm.size()));
      EXPECT_EQ(std::memcmp(reader.Data(), pcm.data(), pcm.size()), 0);
    } else {
      ASSERT_EQ(n, static_cast<int>(pcm.size() * 2));
      for (size_t i = 0; i < pcm.size(); ++i) {
        int16_t s;
        std::memcpy(&s, reader.Data() + 2 * i, 2);
        ASSERT_EQ(s, (pcm[i] - 128) * 256) << i;
      }
    }
  }
}

TEST(WavFile, SpansByTimeWithSilenceBeforeTheStart) {
  std::string path = MediaTestPath("ramp.wav");
  ASSERT_TRUE(WriteWav16(path, 8000, 2, MakeRampPcm16(16000, 2)));
  WavReader reader;
  ASSERT_EQ(reader.Open(W(path)), 0);
  ASSERT_EQ(reader.Read(0.5, 0.25), 8000);
  int16_t s;
  std::memcpy(&s, reader.Data(), 2);
  EXPECT_EQ(s, RampSample(4000, 0));
  std::memcpy(&s, reader.Data() + 7998, 2);
  EXPECT_EQ(s, RampSample(5999, 1));
  ASSERT_EQ(reader.Read(-0.1, 0.2), 6400);
  for (int i = 0; i < 3200; ++i) ASSERT_EQ(reader.Data()[i], 0);
  std::memcpy(&s, reader.Data() + 3200, 2);
  EXPECT_EQ(s, RampSample(0, 0));
  EXPECT_EQ(reader.Read(2.0, 0.1), -89);
  EXPECT_EQ(reader.Read(1.9, 1.0), 3200); // shortened at the end
}

TEST(WavFile, EightBitSilenceBeforeTheStartIsZero) {
  AudioFormat f = AudioFormatFor(0, 1000);
  std::vector<uint8_t> pcm(1000, 200);
  std::string path = MediaTestPath("eight.wav");
  ASSERT_EQ(WavWriteFile(W(path), f, pcm.data(), pcm.size()), 0);
  WavReader reader;
  ASSERT_EQ(reader.Open(W(path)), 0);
  ASSERT_EQ(reader.Read(-0.01, 0.02), 40);
  int16_t s;
  std::memcpy(&s, reader.Data(), 2);
  EXPECT_EQ(s, 0);
  std::memcpy(&s, reader.Data() + 20, 2);
  EXPECT_EQ(s, 72 * 256);
}

TEST(WavFile, WriterRefusesFormatsItCannotWrite) {
  AudioFormat f = AudioFormatFor(3, 44100);
  f.wBitsPerSample = 24;
  EXPECT_EQ(WavWriteFile(W(MediaTestPath("bad.wav")), f, "abcd", 4), -21);
  f = AudioFormatFor(3, 44100);
  EXPECT_EQ(WavWriteFile(W(MediaTestDir() + "/no/such/folder/x.wav"), f, "abcd", 4), -82);
}

TEST(WavFile, FailedWriteKeepsTheOldFile) {
  std::string path = MediaTestPath("keep.wav");
  AudioFormat f = AudioFormatFor(2, 8000);
  ASSERT_EQ(WavWriteFile(W(path), f, "abcd", 4), 0);
  std::vector<uint8_t> before = ReadBytes(path);
  WavWriter w;
  ASSERT_EQ(w.Open(W(path), f), 0);
  ASSERT_EQ(w.Append("xyzw", 4), 0);
  w.Abort();
  EXPECT_EQ(ReadBytes(path), before);
}

std::vector<uint8_t> GoodWav() {
  std::string path = MediaTestPath("good.wav");
  EXPECT_TRUE(WriteWav16(path, 8000, 1, MakeRampPcm16(800, 1)));
  return ReadBytes(path);
}

int ParseBytes(const std::vector<uint8_t>& bytes, WavInfo* info) {
  WavByteSource source = [&bytes](uint64_t off, void* buf, size_t n) {
    if (off > bytes.size() || n > bytes.size() - off) return false;
    std::memcpy(buf, bytes.data() + off, n);
    return true;
  };
  return WavParse(source, bytes.size(), info);
}

TEST(WavFile, TruncatedFilesAnswerCodes) {
  std::vector<uint8_t> good = GoodWav();
  WavInfo info{};
  ASSERT_EQ(ParseBytes(good, &info), 0);
  for (size_t cut = 0; cut < 44; ++cut) {
    std::vector<uint8_t> part(good.begin(), good.begin() + static_cast<long>(cut));
    int rc = ParseBytes(part, &info);
    EXPECT_TRUE(rc == -141 || rc == -81) << cut << " " << rc;
  }
  // Cut inside the samples: what is there is kept, in whole frames.
  std::vector<uint8_t> part(good.begin(), good.begin() + 44 + 501);
  ASSERT_EQ(ParseBytes(part, &info), 0);
  EXPECT_EQ(info.DataSize, 500u);
}

TEST(WavFile, OversizedCountsAndOddFormats) {
  std::vector<uint8_t> good = GoodWav();
  auto patched = [&](size_t at, uint32_t v, int bytes) {
    std::vector<uint8_t> b = good;
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    return b;
  };
  WavInfo info{};
  ASSERT_EQ(ParseBytes(patched(40, 0xFFFFFFF0u, 4), &info), 0); // data size beyond the file
  EXPECT_EQ(info.DataSize, 1600u);
  EXPECT_EQ(ParseBytes(patched(16, 0xFFFFFFF0u, 4), &info), -81); // fmt size beyond the file
  EXPECT_EQ(ParseBytes(patched(20, 3, 2), &info), -141);          // float samples
  EXPECT_EQ(ParseBytes(patched(22, 6, 2), &info), -141);          // six channels
  EXPECT_EQ(ParseBytes(patched(22, 0, 2), &info), -141);
  EXPECT_EQ(ParseBytes(patched(34, 24, 2), &info), -141);
  EXPECT_EQ(ParseBytes(patched(24, 0, 4), &info), -141); // rate 0
  EXPECT_EQ(ParseBytes(patched(8, 0x45564157, 4), &info), 0);
  EXPECT_EQ(ParseBytes(patched(8, 0x49564157, 4), &info), -141); // "WAVI"
}

TEST(WavFile, RandomBytesNeverCrash) {
  std::mt19937 rng(99);
  std::vector<uint8_t> good = GoodWav();
  for (int n = 0; n < 2000; ++n) {
    std::vector<uint8_t> b = good;
    int flips = 1 + static_cast<int>(rng() % 8);
    for (int k = 0; k < flips; ++k) b[rng() % 60] = static_cast<uint8_t>(rng());
    if (rng() % 3 == 0) b.resize(rng() % b.size());
    WavInfo info{};
    int rc = ParseBytes(b, &info);
    ASSERT_TRUE(rc == 0 || rc == -141 || rc == -81) << rc;
    if (rc == 0) {
      ASSERT_LE(info.DataOffset + info.DataSize, b.size());
      ASSERT_EQ(info.DataSize % info.Format.nBlockAlign, 0u);
    }
  }
  std::vector<uint8_t> noise(4096);
  for (auto& x : noise) x = static_cast<uint8_t>(rng());
  std::string path = MediaTestPath("noise.wav");
  ASSERT_TRUE(WriteBytes(path, noise.data(), noise.size()));
  WavReader reader;
  EXPECT_EQ(reader.Open(W(path)), -141);
  EXPECT_EQ(reader.Open(W(MediaTestPath("missing.wav"))), -80);
}

} // namespace
