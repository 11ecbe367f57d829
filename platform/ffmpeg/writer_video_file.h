#pragma once
// The writer's video-only temporary MPEG-4 file: 32-bit BGRA pictures
// converted to 4:2:0 with libswscale (in row slices on several threads) and
// encoded to H.264 Main by libx264.
// Set up in three steps (file, encoder, header) so that each failure keeps
// its own message; finish() flushes the encoder and completes the file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ffmpeg/writer_stream_file.h"

struct SwsContext;

struct VideoFileSettings {
  int32_t width = 0;  // picture size as rendered
  int32_t height = 0;
  uint32_t kbitrate = 0; // average, units of 1024 bit/s
  int32_t timeScale = 0; // timestamps per second, 1000 per frame
  int levelIdc = 0;      // 0 leaves the level to the encoder
};

class VideoEncodeFile final : public EncodedStreamFile {
public:
  ~VideoEncodeFile();

  // Creates the container for the path (muxer chosen by name, not by the
  // file's extension); 0 or -82.
  int openFile(const std::string& path);
  // Opens the encoder and the colour converter; 0 or -23. Odd sizes are
  // padded to even (4:2:0 has no odd sizes, and its crop works in steps of
  // two): the last row and column are repeated.
  int openEncoder(const VideoFileSettings& settings);
  // Writes the file header; 0 or -82.
  int start() { return writeHeader(); }
  // Encodes one picture of codedWidth() x codedHeight() BGRA pixels, rows
  // top-down and codedWidth() * 4 bytes apart, at pts (time-scale units,
  // rising); 0 or -82.
  int encode(const uint8_t* bgraTopDown, int64_t pts);
  // Encodes a picture already in 4:2:0 (Y, then Cb, then Cr, each plane
  // packed: codedWidth() and codedWidth() / 2 bytes a row) at pts, without
  // a conversion or a copy of ours: the encoder has taken its own copy when
  // this returns. 0 or -82.
  int encodePlanes(const uint8_t* yuv420, int64_t pts);

  int32_t codedWidth() const { return codedWidth_; }
  int32_t codedHeight() const { return codedHeight_; }

private:
  bool lendSource(const uint8_t* data, size_t bytes, int pixelFormat);
  int encodeLoaded(int64_t pts);
  int drain() override;
  void release() override;

  SwsContext* converter_ = nullptr;
  AVFrame* picture_ = nullptr;
  AVFrame* source_ = nullptr; // the caller's picture while it is converted or encoded
  int32_t codedWidth_ = 0;
  int32_t codedHeight_ = 0;
  int64_t lastPts_ = INT64_MIN;
};
