#include "platform/gstreamer/movie.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <cmath>
#include <cstring>

#include "base/log.h"
#include "platform/gstreamer/task_pool.h"

namespace {

// A file on a stalled share must not hang the engine at open.
constexpr GstClockTime kPrerollTimeout = 20 * GST_SECOND;
// A picture that does not come within this time after a step or a jump
// counts as a stalled pipeline.
constexpr GstClockTime kPullSlice = 50 * GST_MSECOND;
constexpr int kPullSlices = 200;

double Seconds(GstClockTime t) { return static_cast<double>(t) / static_cast<double>(GST_SECOND); }

// The media time of a buffer: its running position in the stream, so that
// pictures line up with the times a jump is asked for.
GstClockTime StreamTime(GstSample* sample, GstClockTime pts) {
  const GstSegment* segment = gst_sample_get_segment(sample);
  if (!segment || segment->format != GST_FORMAT_TIME) return pts;
  GstClockTime st = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, pts);
  return GST_CLOCK_TIME_IS_VALID(st) ? st : pts;
}

} // namespace

bool GstMovieInitialise() {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] {
    GError* error = nullptr;
    ok = gst_init_check(nullptr, nullptr, &error) == TRUE;
    if (error) {
      LogPrintf(L"GStreamer failed to start: %S", error->message);
      g_error_free(error);
    }
  });
  return ok;
}

GstMovie::~GstMovie() { Close(); }

bool GstMovie::Open(const std::string& utf8Path) {
  Close();
  if (!GstMovieInitialise()) return false;
  GError* error = nullptr;
  gchar* uri = gst_filename_to_uri(utf8Path.c_str(), &error);
  if (!uri) {
    g_clear_error(&error);
    return false;
  }
  pipeline_ = gst_pipeline_new(nullptr);
  if (pipeline_) gst_object_ref_sink(pipeline_);
  GstElement* src = gst_element_factory_make("uridecodebin", nullptr);
  if (!pipeline_ || !src) {
    if (src) gst_object_unref(gst_object_ref_sink(src));
    g_free(uri);
    Close();
    return false;
  }
  g_object_set(src, "uri", uri, nullptr);
  g_free(uri);
  gst_bin_add(GST_BIN(pipeline_), src);
  GstBus* bus = gst_element_get_bus(pipeline_);
  GstMovieUseOwnThreads(bus);
  gst_object_unref(bus);
  g_signal_connect(src, "pad-added", G_CALLBACK(&GstMovie::OnPadAdded), this);
  if (!WaitPreroll()) {
    Close();
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(padMutex_);
    sink_ = appsink_;
  }
  gint64 duration = 0;
  if (gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &duration) && duration > 0)
    duration_ = Seconds(static_cast<GstClockTime>(duration));
  // Unsynchronised playing: the pipeline decodes as fast as pictures are
  // pulled and no further.
  if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    Close();
    return false;
  }
  if (sink_ && PullPair() == Step::Failed) {
    Close();
    return false;
  }
  return true;
}

bool GstMovie::WaitPreroll() {
  GstStateChangeReturn rc = gst_element_set_state(pipeline_, GST_STATE_PAUSED);
  if (rc == GST_STATE_CHANGE_FAILURE) return false;
  if (rc != GST_STATE_CHANGE_ASYNC) return true;
  GstBus* bus = gst_element_get_bus(pipeline_);
  GstMessage* msg = gst_bus_timed_pop_filtered(
      bus, kPrerollTimeout, static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR));
  gst_object_unref(bus);
  bool ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ASYNC_DONE;
  if (msg) gst_message_unref(msg);
  return ok;
}

void GstMovie::OnPadAdded(GstElement*, GstPad* pad, void* self) { static_cast<GstMovie*>(self)->LinkPad(pad); }

// The first raw picture stream goes through videoconvert into the appsink;
// every other stream (sound, further pictures, undecodable streams) into a
// fake sink of its own, so the demuxer never stops on an unlinked pad.
void GstMovie::LinkPad(GstPad* pad) {
  GstCaps* caps = gst_pad_get_current_caps(pad);
  if (!caps) caps = gst_pad_query_caps(pad, nullptr);
  bool picture = false;
  if (caps && gst_caps_get_size(caps) > 0)
    picture = std::strcmp(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "video/x-raw") == 0;
  if (caps) gst_caps_unref(caps);
  std::lock_guard<std::mutex> lock(padMutex_);
  GstElement* bin = pipeline_;
  if (picture && !appsink_) {
    GstElement* convert = gst_element_factory_make("videoconvert", nullptr);
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    if (convert && sink) {
      GstCaps* bgra = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRA", nullptr);
      g_object_set(sink, "caps", bgra, "sync", FALSE, "max-buffers", 2u, "drop", FALSE, "enable-last-sample", FALSE,
                   nullptr);
      gst_caps_unref(bgra);
      gst_bin_add_many(GST_BIN(bin), convert, sink, nullptr);
      GstPad* in = gst_element_get_static_pad(convert, "sink");
      bool linked = gst_element_link(convert, sink) && gst_pad_link(pad, in) == GST_PAD_LINK_OK;
      gst_object_unref(in);
      gst_element_sync_state_with_parent(convert);
      gst_element_sync_state_with_parent(sink);
      if (linked) appsink_ = sink;
      return;
    }
    if (convert) gst_object_unref(gst_object_ref_sink(convert));
    if (sink) gst_object_unref(gst_object_ref_sink(sink));
  }
  GstElement* sink = gst_element_factory_make("fakesink", nullptr);
  if (!sink) return;
  g_object_set(sink, "sync", FALSE, nullptr);
  gst_bin_add(GST_BIN(bin), sink);
  GstPad* in = gst_element_get_static_pad(sink, "sink");
  gst_pad_link(pad, in);
  gst_object_unref(in);
  gst_element_sync_state_with_parent(sink);
}

void GstMovie::Close() {
  if (pipeline_) {
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(pipeline_);
    pipeline_ = nullptr;
  }
  {
    std::lock_guard<std::mutex> lock(padMutex_);
    appsink_ = nullptr;
  }
  sink_ = nullptr;
  SetCurrent(nullptr, nullptr);
  duration_ = 0.0;
  failed_ = false;
}

void GstMovie::SetCurrent(GstSample* sample, GstSample* next) {
  if (current_) gst_sample_unref(current_);
  if (next_) gst_sample_unref(next_);
  current_ = sample;
  next_ = next;
}

bool GstMovie::Picture(MoviePicture* out) const {
  if (!SamplePicture(current_, out)) return false;
  MoviePicture following;
  if (next_ && SamplePicture(next_, &following) && following.Time > out->Time) out->EndTime = following.Time;
  return true;
}

double GstMovie::CurrentTime() const {
  MoviePicture p;
  return SamplePicture(current_, &p) ? p.Time : -1.0;
}

bool GstMovie::BusHasError() {
  if (failed_) return true;
  GstBus* bus = gst_element_get_bus(pipeline_);
  // Pops the first error and drops every other message on the way, so the
  // bus does not fill up without a main loop.
  GstMessage* msg = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
  gst_object_unref(bus);
  if (!msg) return false;
  GError* error = nullptr;
  gst_message_parse_error(msg, &error, nullptr);
  LogDebug(L"MediaMacQT: stream error: %S", error ? error->message : "?");
  if (error) g_error_free(error);
  gst_message_unref(msg);
  failed_ = true;
  return true;
}

GstMovie::Step GstMovie::Pull(GstSample** out) {
  *out = nullptr;
  GstAppSink* sink = GST_APP_SINK(sink_);
  for (int i = 0; i < kPullSlices; ++i) {
    if (GstSample* sample = gst_app_sink_try_pull_sample(sink, kPullSlice)) {
      *out = sample;
      BusHasError(); // drains the bus
      return Step::Advanced;
    }
    if (gst_app_sink_is_eos(sink)) return Step::End;
    if (BusHasError()) return Step::Failed;
  }
  LogDebug(L"MediaMacQT: no picture came from the pipeline");
  failed_ = true;
  return Step::Failed;
}

// Takes the first picture from the sink as the current one and the one
// after it as the next.
GstMovie::Step GstMovie::PullPair() {
  SetCurrent(nullptr, nullptr);
  GstSample* first = nullptr;
  Step step = Pull(&first);
  if (step != Step::Advanced) return step;
  GstSample* second = nullptr;
  Step after = Pull(&second);
  SetCurrent(first, second);
  return after == Step::Failed ? Step::Failed : Step::Advanced;
}

GstMovie::Step GstMovie::StepForward() {
  if (!sink_) return Step::End;
  if (failed_) return Step::Failed;
  if (!next_) return Step::End;
  GstSample* next = next_;
  next_ = nullptr;
  GstSample* after = nullptr;
  Step step = Pull(&after);
  SetCurrent(next, after);
  return step == Step::Failed ? Step::Failed : Step::Advanced;
}

GstMovie::Step GstMovie::SetCurrentTime(double t) {
  if (!sink_) return Step::End;
  if (failed_) return Step::Failed;
  SetCurrent(nullptr, nullptr);
  gint64 pos = static_cast<gint64>(std::llround((t > 0.0 ? t : 0.0) * static_cast<double>(GST_SECOND)));
  auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
  if (!gst_element_seek_simple(pipeline_, GST_FORMAT_TIME, flags, pos))
    return t >= duration_ && duration_ > 0.0 ? Step::End : Step::Failed;
  return PullPair();
}

GstSample* GstMovie::RefCurrent() const { return current_ ? gst_sample_ref(current_) : nullptr; }

void GstMovie::ReleaseSample(GstSample* sample) {
  if (sample) gst_sample_unref(sample);
}

bool GstMovie::SamplePicture(GstSample* sample, MoviePicture* out) {
  *out = MoviePicture{};
  if (!sample) return false;
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  GstCaps* caps = gst_sample_get_caps(sample);
  GstVideoInfo info;
  if (!buffer || !caps || !gst_video_info_from_caps(&info, caps)) return false;
  GstClockTime pts = GST_BUFFER_PTS(buffer);
  if (!GST_CLOCK_TIME_IS_VALID(pts)) pts = GST_BUFFER_DTS(buffer);
  GstClockTime start = GST_CLOCK_TIME_IS_VALID(pts) ? StreamTime(sample, pts) : 0;
  out->Time = Seconds(start);
  if (GST_BUFFER_DURATION_IS_VALID(buffer) && GST_BUFFER_DURATION(buffer) > 0)
    out->EndTime = Seconds(start + GST_BUFFER_DURATION(buffer));
  out->Width = GST_VIDEO_INFO_WIDTH(&info);
  out->Height = GST_VIDEO_INFO_HEIGHT(&info);
  out->Stride = GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
  return GST_VIDEO_INFO_FORMAT(&info) == GST_VIDEO_FORMAT_BGRA;
}

bool GstMovie::CopyPixels(GstSample* sample, uint8_t* dst, int width, int height) {
  GstBuffer* buffer = sample ? gst_sample_get_buffer(sample) : nullptr;
  GstCaps* caps = sample ? gst_sample_get_caps(sample) : nullptr;
  GstVideoInfo info;
  if (!buffer || !caps || !dst || !gst_video_info_from_caps(&info, caps)) return false;
  if (GST_VIDEO_INFO_FORMAT(&info) != GST_VIDEO_FORMAT_BGRA || GST_VIDEO_INFO_WIDTH(&info) != width ||
      GST_VIDEO_INFO_HEIGHT(&info) != height)
    return false;
  GstVideoFrame frame;
  if (!gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ)) return false;
  const auto* src = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
  const size_t stride = static_cast<size_t>(GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0));
  const size_t row = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height; ++y) std::memcpy(dst + row * static_cast<size_t>(y), src + stride * static_cast<size_t>(y), row);
  gst_video_frame_unmap(&frame);
  return true;
}
