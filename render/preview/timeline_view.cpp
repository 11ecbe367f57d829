#include "render/preview/timeline_view.h"

#include "base/access_lock.h"
#include "base/error.h"
#include "base/log.h"
#include "base/sync.h"
#include "model/dispobj_table.h"
#include "render/preview/timeline_draw.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace {

constexpr int32_t kEndWaitMs = 2000;
constexpr uint32_t kMaxSide = 8192;

// What one drawing thread draws with. The thread shares it with the view
// only while it is the view's current one: a thread that outlives its
// view's end (a wait that timed out, or a new view started from the event
// loop pumped by that wait) keeps drawing into its own bitmaps and hands
// nothing over, so no end or start can pull them from under it.
struct DrawContext {
  ImageView view = nullptr;
  uint32_t width = 0, height = 0;
  Layer chart;                // top-down, premultiplied (opaque)
  std::vector<uint32_t> flip; // bottom-up copy of the chart
  std::vector<uint32_t> rgba; // handed to the view
  SyncHandle event = 0;       // closed by the last owner
  std::atomic<bool> stop{false};
  std::atomic<bool> force{true}; // draw even an unchanged chart
  uint64_t drawnSignature = 0;
  ~DrawContext() {
    if (event) SyncHandleClose(event);
  }
};
using DrawContextPtr = std::shared_ptr<DrawContext>;

struct TimelineView {
  std::mutex mutex; // everything below but the counters
  TimelinePosition position;
  TimelineSelection selection;
  uint32_t width = 0, height = 0;
  DrawContextPtr current;
  SyncHandle thread = 0;
  std::atomic<uint64_t> draws{0};
};

TimelineView& tv() {
  static TimelineView v;
  return v;
}

// Everything that changes the picture: the rows and the view's settings.
uint64_t stateSignature(const std::vector<TimelineRow>& rows, const TimelinePosition& p,
                        const TimelineSelection& s) {
  uint64_t h = TimelineRowsSignature(rows);
  auto mix = [&h](uint64_t v) { h = (h ^ v) * 1099511628211ull; };
  uint32_t bits;
  mix(p.firstRow);
  std::memcpy(&bits, &p.startTime, 4);
  mix(bits);
  std::memcpy(&bits, &p.zoom, 4);
  mix(bits);
  mix(s.object);
  mix(s.segment);
  return h;
}

void drawOnce(TimelineView& v, DrawContext& c) {
  std::vector<TimelineRow> rows;
  {
    ReadAccess access("TimelineViewDraw");
    rows = TimelineCollectRows();
  }
  TimelinePosition position;
  TimelineSelection selection;
  {
    std::lock_guard lock(v.mutex);
    position = v.position;
    selection = v.selection;
  }
  const uint64_t signature = stateSignature(rows, position, selection);
  if (!c.force.exchange(false) && signature == c.drawnSignature) return;
  c.drawnSignature = signature;
  TimelineDrawChart(&c.chart, rows, position, selection);
  // The hand-over takes engine bitmaps (bottom row first).
  for (uint32_t y = 0; y < c.height; ++y)
    std::copy(c.chart.row(static_cast<int>(y)), c.chart.row(static_cast<int>(y)) + c.width,
              c.flip.begin() + static_cast<size_t>(c.height - 1 - y) * c.width);
  BitmapFlipToRGBA(c.flip.data(), c.rgba.data(), c.width, c.height);
  if (c.stop.load()) return;
  ViewSetBitmap(c.rgba.data(), c.width, c.height, c.view);
  v.draws.fetch_add(1);
}

// The argument is a heap copy of the context's owning pointer.
void timelineThread(void* arg) {
  const std::unique_ptr<DrawContextPtr> owner(static_cast<DrawContextPtr*>(arg));
  DrawContext& c = **owner;
  TimelineView& v = tv();
  while (!c.stop.load() && !SyncThreadShouldStop()) {
    if (SyncWait(c.event, kSyncForever) != kSyncSignalled || c.stop.load()) break;
    drawOnce(v, c);
  }
}

void requestRedraw(bool force) {
  TimelineView& v = tv();
  DrawContextPtr c;
  {
    std::lock_guard lock(v.mutex);
    c = v.current;
  }
  if (!c) return;
  if (force) c->force = true;
  SyncEventSet(c->event);
}

// Stops a thread taken out of the view. The wait pumps the event loop on
// the main thread, so a window may start a new view meanwhile: nothing of
// the view is touched after it.
void retire(const DrawContextPtr& c, SyncHandle thread) {
  if (c) {
    c->stop = true;
    SyncEventSet(c->event);
  }
  if (!thread) return;
  if (SyncWait(thread, kEndWaitMs) != kSyncSignalled) {
    LogPrintf(L"Timeout in TimelineViewEnd() - terminating thread");
    SyncThreadTerminate(thread, 0);
  }
  SyncHandleClose(thread);
}

DrawContextPtr makeContext(ImageView view, uint32_t width, uint32_t height) {
  auto c = std::make_shared<DrawContext>();
  c->chart.resize(static_cast<int>(width), static_cast<int>(height));
  c->flip.assign(static_cast<size_t>(width) * height, 0);
  c->rgba.assign(c->flip.size(), 0);
  c->view = view;
  c->width = width;
  c->height = height;
  return c;
}

} // namespace

void TimelineViewEnd() {
  TimelineView& v = tv();
  DrawContextPtr c;
  SyncHandle thread = 0;
  {
    std::lock_guard lock(v.mutex);
    c = std::move(v.current);
    v.current.reset();
    thread = std::exchange(v.thread, 0);
    v.width = v.height = 0;
  }
  retire(c, thread);
}

int TimelineViewInit(ImageView view, uint32_t width, uint32_t height) {
  TimelineViewEnd();
  TimelineView& v = tv();
  if (!view || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
    return ErrorSet(kErrBadArg, "TimelineViewInit");
  DrawContextPtr c;
  try {
    c = makeContext(view, width, height);
  } catch (const std::bad_alloc&) {
    return ErrorSet(kErrNoMemory, "TimelineViewInit");
  }
  c->event = SyncEventCreate(L"TimelineViewRedraw", 0, 0);
  if (!c->event) return ErrorSet(kErrNoObject, "TimelineViewInit");
  auto* arg = new DrawContextPtr(c);
  const SyncHandle thread = SyncThreadCreate(nullptr, 0, timelineThread, arg, 0, nullptr);
  if (!thread) {
    delete arg;
    return ErrorSet(kErrNoThread, "TimelineViewInit");
  }
  DrawContextPtr previous;
  SyncHandle previousThread = 0;
  {
    std::lock_guard lock(v.mutex);
    // Set when a window started a view while the end above was waiting.
    previous = std::exchange(v.current, c);
    previousThread = std::exchange(v.thread, thread);
    v.width = width;
    v.height = height;
    v.position = TimelinePosition{};
    v.selection = TimelineSelection{};
  }
  retire(previous, previousThread);
  requestRedraw(true);
  return ErrorSet(kOk, "TimelineViewInit");
}

void TimelineViewSetPosition(uint32_t firstRow, float startTime, float zoom) {
  TimelineView& v = tv();
  {
    std::lock_guard lock(v.mutex);
    v.position.firstRow = firstRow;
    v.position.startTime = std::isfinite(startTime) ? startTime : 0;
    v.position.zoom = std::isfinite(zoom) && zoom > 0 ? zoom : 1;
  }
  requestRedraw(false);
}

void TimelineViewSetSelection(uint32_t object, uint32_t segment) {
  TimelineView& v = tv();
  {
    std::lock_guard lock(v.mutex);
    v.selection.object = object;
    v.selection.segment = segment;
  }
  requestRedraw(false);
}

void TimelineViewRefresh(uint32_t force) { requestRedraw(force != 0); }

int32_t TimelineViewGetMaxY() {
  ReadAccess access("TimelineViewGetMaxY");
  return static_cast<int32_t>(TimelineCollectRows().size());
}

int TimelineViewFindXY(uint32_t x, uint32_t y, uint32_t* object, uint32_t* segment, float* time) {
  TimelineView& v = tv();
  TimelinePosition pos;
  uint32_t width = 0, height = 0;
  {
    std::lock_guard lock(v.mutex);
    pos = v.position;
    width = v.width;
    height = v.height;
  }
  const double t = pos.startTime + x * TimelineSecondsPerPixel(pos.zoom, width);
  uint32_t foundObject = kNoDispObj, foundSegment = 0xFFFFFFFF;
  // View coordinates count from the bottom; the chart's rows from the top.
  const int64_t fromTop = static_cast<int64_t>(height) - 1 - static_cast<int64_t>(y);
  if (fromTop >= kTimelineRulerHeight) {
    ReadAccess access("TimelineViewFindXY");
    const std::vector<TimelineRow> rows = TimelineCollectRows();
    const uint64_t k =
        TimelineFirstRowIndex(pos.firstRow) + (fromTop - kTimelineRulerHeight) / kTimelineRowHeight;
    if (k < rows.size()) {
      foundObject = rows[k].object;
      for (size_t s = 0; s < rows[k].segments.size(); ++s)
        if (rows[k].segments[s] <= t) foundSegment = static_cast<uint32_t>(s);
    }
  }
  if (object) *object = foundObject;
  if (segment) *segment = foundSegment;
  if (time) *time = static_cast<float>(t);
  return ErrorSet(kOk, "TimelineViewFindXY");
}

uint64_t TimelineViewDrawCount() { return tv().draws.load(); }
