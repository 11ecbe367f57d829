#pragma once
// WAV files: the media layer's own reader (PCM 8/16-bit, mono/stereo) and
// writer. Paths are engine wide text.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "base/file_io.h"
#include <vector>

#include "platform/media/media_formats.h"
#include "platform/media/media_reader.h"

struct WavInfo {
  AudioFormat Format;
  uint64_t DataOffset; // file offset of the first sample byte
  uint64_t DataSize;   // whole sample frames only, clipped to the file
};

// Reads n bytes at an offset; false when they are not all there.
using WavByteSource = std::function<bool(uint64_t offset, void* buffer, size_t n)>;

// Walks the RIFF chunks of a file of fileSize bytes. 0, -141 when it is not
// a WAV file or holds a format we do not read, -81 when truncated.
int WavParse(const WavByteSource& read, uint64_t fileSize, WavInfo* info);

// An open WAV file serving sound spans by time.
class WavReader : public MediaReader {
public:
  WavReader() = default;
  ~WavReader() override;
  WavReader(const WavReader&) = delete;
  WavReader& operator=(const WavReader&) = delete;

  // 0, -80 (cannot open), -141 / -81 as WavParse.
  int Open(const std::wstring& path) override;
  void Close() override;
  // The sound as delivered: 16-bit PCM with the file's rate and channels
  // (8-bit files are widened, so every reader hands out the same kind).
  const AudioFormat& Format() const override { return format_; }
  // The format stored in the file.
  const AudioFormat& FileFormat() const { return info_.Format; }
  double Length() const;
  // Fills Data() with the span [start, start + length) in Format(): bytes
  // rounded to whole sample frames, silence before the start of the file,
  // shortened at its end. The byte count, -89 at or past the end, -81 on a
  // read failure.
  int Read(double start, double length);
  uint8_t* Data() { return block_.empty() ? nullptr : block_.data(); }

  // As a media reader: sound only.
  uint32_t HasVideo() const override { return 0; }
  uint32_t HasAudio() const override { return 1; }
  double MediaLength() const override { return Length(); }
  const tagBITMAPINFOHEADER& BitmapFormat() const override { return noPicture_; }
  uint32_t FlipY() const override { return 1; }
  int GetFrame(double) override;
  uint8_t* BitmapData() override { return nullptr; }
  int GetAudio(double t, double length) override;
  uint8_t* AudioData() override { return delivered_ > 0 ? Data() : nullptr; }
  uint32_t AudioDataLength() const override { return delivered_; }

private:
  int fd_ = -1;
  WavInfo info_{};
  AudioFormat format_{};
  std::vector<uint8_t> block_;
  std::vector<uint8_t> narrow_; // 8-bit samples before widening
  uint32_t delivered_ = 0;      // bytes of the last GetAudio
  tagBITMAPINFOHEADER noPicture_{};
};

// Streams PCM into a temporary file beside the target and renames it over
// the target when finished, so a failed export leaves any old file intact.
class WavWriter {
public:
  WavWriter() = default;
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  // 0, -21 for a format other than PCM 8/16-bit with 1 or 2 channels, -82.
  int Open(const std::wstring& path, const AudioFormat& format);
  int Append(const void* data, size_t size); // 0 or -82 (also beyond 4 GiB)
  int Finish();                              // 0 or -82; writes the sizes and renames
  void Abort();                              // removes the temporary file

private:
  AtomicFile file_;
  AudioFormat format_{};
  uint64_t dataBytes_ = 0;
};

// Whole file in one call.
int WavWriteFile(const std::wstring& path, const AudioFormat& format, const void* data, size_t size);
