#pragma once
// Test helpers of the output writer: a private folder with the session log
// in it, a synthetic render (frames that carry their number as blocks, a
// sine tone in a chosen span) driven through the writer routines, and a
// probe that decodes the written file with libavformat/libavcodec.
#include <cstdint>
#include <string>
#include <vector>

// mkdtemp folder made TMPDIR and the session log's folder; removed after.
class WriterTestDir {
public:
  WriterTestDir();
  ~WriterTestDir();
  WriterTestDir(const WriterTestDir&) = delete;
  WriterTestDir& operator=(const WriterTestDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::string Log() const; // the session log so far
  // Names in the folder (not the log files).
  std::vector<std::string> Entries() const;

private:
  std::string path_;
  std::string previousTmp_;
};

struct ClipSpec {
  int32_t width = 320;
  int32_t height = 240;
  double frameRate = 25.0;
  uint32_t frames = 50;
  uint32_t sampleRate = 44100;
  uint16_t channels = 2;
  uint16_t bits = 16;
  double chunkRate = 5.0;
  uint32_t chunks = 10;
  double toneStart = 1.0; // seconds; the tone plays in [toneStart, toneEnd)
  double toneEnd = 2.0;
  double toneHz = 1000.0;
  uint32_t videoKbit = 3072;
  uint32_t audioKbit = 128;
  bool viaOutputHandler = false; // OutputHandler* instead of MediaMacAv*
  // Frames as 4:2:0 planes, drawn in turn into one buffer more than the
  // writer may hold, each overwritten as soon as the writer lets it go and
  // all let go of (and painted over) before the output is finished; with
  // bgraEvery, every that many'th frame goes as 32-bit pixels instead.
  bool planes = false;
  uint32_t bgraEvery = 0;
};

// Top-down picture of frame n: 8 blocks across the top quarter carry the
// bits of n (white set, black clear); the middle half is FrameColour(n);
// the bottom quarter is blue.
struct Rgb {
  int r, g, b;
};
Rgb FrameColour(uint32_t n);
// Fills a bottom-up BGRA buffer of the spec's size with frame n.
void DrawFrame(const ClipSpec& spec, uint32_t n, std::vector<uint8_t>& bottomUp);
// Fills chunk n of the PCM tone; returns its byte length.
uint32_t FillChunk(const ClipSpec& spec, uint32_t n, std::vector<uint8_t>& pcm);

// Opens the output and feeds it like the render loop does (prepare, sound
// chunk, prepare, frame), stopping after stopAfterFrames frames when given.
// Returns the open result; the put results go to putErrors.
int OpenAndFeed(const ClipSpec& spec, const std::string& path, std::vector<uint8_t>& frameBuffer,
                std::vector<uint8_t>& soundBuffer, int* putErrors = nullptr,
                uint32_t stopAfterFrames = UINT32_MAX);
// OpenAndFeed, then finish and close; returns the finish result (or the
// open result when that failed).
int WriteClip(const ClipSpec& spec, const std::string& path);

struct DecodedPicture {
  double time = 0;
  int width = 0, height = 0;
  std::vector<uint8_t> bgra; // top-down
  Rgb At(int x, int y) const;
};

struct MediaProbe {
  bool opened = false;
  int videoStreams = 0, audioStreams = 0;
  int videoCodec = 0, audioCodec = 0; // AVCodecID
  int profile = -99, level = -99;
  int width = 0, height = 0;
  int sampleRate = 0, channels = 0;
  int timeScale = 0; // video stream time base denominator
  double duration = 0;
  std::vector<DecodedPicture> pictures;
  std::vector<float> sound; // mono mix, from time 0
};
MediaProbe ProbeMedia(const std::string& path, bool decodePictures = true);
// Frame number read back from a decoded picture's blocks.
uint32_t ReadFrameNumber(const DecodedPicture& picture);
// Index read back from a decoded picture of MakeIndexFrame (media_fixtures.h).
int ReadIndexBlocks(const DecodedPicture& picture);
// Zero crossings per second of the sound in [from, to) seconds, halved.
double ToneFrequency(const std::vector<float>& sound, int rate, double from, double to);
// Seconds of the first sample from `from` on whose level exceeds level.
double SoundOnset(const std::vector<float>& sound, int rate, double from, float level);
double SoundRms(const std::vector<float>& sound, int rate, double from, double to);
