#pragma once
// The writer's sound-only temporary MPEG-4 file: the render's interleaved
// PCM (8-bit unsigned or 16-bit signed, 1 or 2 channels) resampled with
// libswresample where the AAC encoder needs it and encoded by FFmpeg's own
// AAC encoder. Chunks are placed by their time: a gap before a chunk becomes
// silence, an overlap with the sound already written is cut from the chunk.
#include <cstdint>
#include <string>

#include "platform/ffmpeg/writer_stream_file.h"
#include "platform/media/media_formats.h"

struct AVAudioFifo;
struct SwrContext;

class AudioEncodeFile final : public EncodedStreamFile {
public:
  ~AudioEncodeFile();

  // Creates the container for the path; 0 or -82.
  int openFile(const std::string& path);
  // Opens the AAC encoder at the kbit/s (units of 1024 bit/s) for the PCM
  // format; 0, or -23 when the encoder refuses the format.
  int openEncoder(const AudioFormat& pcm, int32_t kbitrate);
  // Sets up the PCM conversion; 0 or the converter's negative status.
  int openConverter();
  // Writes the file header; 0 or -82.
  int start();
  // Adds one chunk of whole sample frames starting at t seconds; 0 or -82.
  int putChunk(const uint8_t* pcm, uint32_t bytes, double t);
  // The same for a chunk that starts at sample `position` of the PCM rate
  // (t, its time, for the log): chunks numbered by the sound chunk rule
  // follow one another sample for sample.
  int putChunkAt(const uint8_t* pcm, uint32_t bytes, int64_t position, double t);

  int encoderSampleRate() const;
  // Sample frames placed so far at the PCM rate (silence for gaps included).
  int64_t samplesPlaced() const { return placed_; }

private:
  int placeSilence(int64_t frames);
  int convert(const uint8_t* pcm, int64_t frames);
  int encodeQueued(bool flushAll);
  int drain() override;
  void release() override;

  AudioFormat pcm_{};
  SwrContext* converter_ = nullptr;
  AVAudioFifo* queue_ = nullptr;
  AVFrame* frame_ = nullptr;
  int64_t placed_ = 0;
  int64_t encodedSamples_ = 0;
};
