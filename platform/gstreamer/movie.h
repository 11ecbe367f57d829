#pragma once
// A movie on GStreamer as the second reader needs it: a file opened into
// uridecodebin, its pictures converted to B, G, R, A and pulled from an
// appsink one at a time, a current frame, a step to the next frame and a
// jump to a time. Sound pads end in fake sinks (this reader has no sound).
//
// The pipeline runs unsynchronised: it decodes ahead only as far as the
// appsink's small queue lets it, so stepping is a pull and a jump is one
// flushing, accurate seek. The picture after the current one is pulled
// ahead, so the current one knows where it ends even in a movie of varying
// frame rate. Not thread-safe: the reader serialises its use.
#include <cstdint>
#include <mutex>
#include <string>

typedef struct _GstElement GstElement;
typedef struct _GstPad GstPad;
typedef struct _GstSample GstSample;

// Where a picture of the movie stands: its start time, its end (the start
// of the picture after it; for the last one its start + duration, or -1
// when the stream gave none), its size and the bytes of one row as
// delivered (B, G, R, A, top row first).
struct MoviePicture {
  double Time = -1.0;
  double EndTime = -1.0;
  int Width = 0, Height = 0;
  int Stride = 0;
};

class GstMovie {
public:
  GstMovie() = default;
  ~GstMovie(); // Close()
  GstMovie(const GstMovie&) = delete;
  GstMovie& operator=(const GstMovie&) = delete;

  // true once the file prerolled; the current frame is then the first
  // picture (none for a file without pictures).
  bool Open(const std::string& utf8Path);
  void Close();
  bool IsOpen() const { return pipeline_ != nullptr; }
  // An error came from the pipeline, or it stalled: no more pictures.
  bool Failed() const { return failed_; }

  double Duration() const { return duration_; } // seconds, 0 when unknown
  bool HasFrame() const { return current_ != nullptr; }
  // The current frame's description; false when there is none.
  bool Picture(MoviePicture* out) const;
  double CurrentTime() const;

  // Moves to the next picture: Advanced, End (the current frame stays) or
  // Failed (a stream error or a stalled pipeline).
  enum class Step { Advanced, End, Failed };
  Step StepForward();
  // Jumps to the picture shown at t: Advanced, End (no picture at or after
  // t: there is no current frame) or Failed.
  Step SetCurrentTime(double t);

  // Takes another reference to the current frame (null when none); the
  // caller releases it with ReleaseSample.
  GstSample* RefCurrent() const;
  static void ReleaseSample(GstSample* sample);
  static bool SamplePicture(GstSample* sample, MoviePicture* out);
  // Copies the sample's rows into width x height x 4 packed bytes, top row
  // first; false when the sample is not of that size.
  static bool CopyPixels(GstSample* sample, uint8_t* dst, int width, int height);

private:
  static void OnPadAdded(GstElement* src, GstPad* pad, void* self);
  void LinkPad(GstPad* pad);
  bool WaitPreroll();
  Step Pull(GstSample** out);
  bool BusHasError();
  void SetCurrent(GstSample* sample, GstSample* next);
  Step PullPair();

  GstElement* pipeline_ = nullptr;
  GstElement* appsink_ = nullptr; // set by the first picture pad, on a streaming thread
  std::mutex padMutex_;           // guards appsink_
  GstElement* sink_ = nullptr;    // appsink_ as taken after preroll; owned by the pipeline
  bool failed_ = false;           // an error came from the pipeline
  GstSample* current_ = nullptr;
  GstSample* next_ = nullptr; // the picture after current_, null at the end
  double duration_ = 0.0;
};

// Loads GStreamer once for the process; false when it cannot start.
bool GstMovieInitialise();
