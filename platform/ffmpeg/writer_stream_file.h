#pragma once
// What the writer's two temporary MPEG-4 files have in common: a container
// holding one stream, the encoder that feeds it, and the writing of its
// packets, header and trailer. The video and the sound file add their own
// conversion in front of the encoder.
#include <string>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;

class EncodedStreamFile {
public:
  EncodedStreamFile(const EncodedStreamFile&) = delete;
  EncodedStreamFile& operator=(const EncodedStreamFile&) = delete;

  // Drains the encoder and what waits in front of it, writes the trailer
  // and closes the file; 0 or -82.
  int finish();
  // Closes without completing the file.
  void abandon();

  bool started() const { return started_; }
  // FFmpeg's code of the first failed write to the file (a full disk, a
  // file-size limit), 0 while none failed.
  int writeError() const { return writeError_; }

protected:
  EncodedStreamFile() = default;
  ~EncodedStreamFile();

  // Creates the container for the path with the named muxer (not chosen by
  // the file's extension); 0 or -82.
  int openContainer(const std::string& path, const char* muxer);
  // Adds the stream, described by the opened encoder; 0 or -23.
  int addStream();
  // Writes the file header; 0 or -82.
  int writeHeader();
  // Sends the frame to the encoder (null drains it) and writes the packets
  // it gives back; 0 or -82.
  int sendAndWrite(const AVFrame* frame);
  // Sends on what the conversion in front of the encoder still holds, then
  // drains the encoder; 0 or -82.
  virtual int drain() = 0;
  // Frees the conversion in front of the encoder, then calls releaseFile.
  virtual void release() = 0;
  void releaseFile();

  AVFormatContext* format_ = nullptr;
  AVCodecContext* encoder_ = nullptr;
  AVStream* stream_ = nullptr;
  AVPacket* packet_ = nullptr;
  bool started_ = false;

private:
  // Writes the trailer and closes the file: result, or -82 when either
  // fails. The file is no longer started.
  int completeFile(int result);
  void noteWriteError(int code);

  int writeError_ = 0;
};
