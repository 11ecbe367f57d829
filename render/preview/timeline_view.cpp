#include "render/preview/timeline_view.h"

#include "engine/base/access_lock.h"
#include "engine/base/error.h"
#include "engine/base/log.h"
#include "engine/base/sync.h"
#include "engine/model/dispobj_table.h"
#include "render/preview/timeline_draw.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

constexpr int32_t kEndWaitMs = 2000;
constexpr uint32_t kMaxSide = 8192;

struct TimelineView {
  std::mutex mutex; // position and selection
  ImageView view = nullptr;
  uint32_t width = 0, height = 0;
  TimelinePosition position;
  TimelineSelection selection;
  Layer chart;                // top-down, premultiplied (opaque)
  std::vector<uint32_t> flip; // bottom-up copy of the chart
  std::vector<uint32_t> rgba; // handed to the view
  SyncHandle event = 0, thread = 0;
  std::atomic<bool> stop{false};
  std::atomic<bool> force{true};
  uint64_t drawnSignature = 0;
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

void drawOnce(TimelineView& v) {
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
  if (!v.force.exchange(false) && signature == v.drawnSignature) return;
  v.drawnSignature = signature;
  // The bitmaps belong to this thread while it runs (Init and End touch
  // them only with the thread stopped), so no lock is held while the main
  // thread takes the picture.
  TimelineDrawChart(&v.chart, rows, position, selection);
  // The hand-over takes engine bitmaps (bottom row first).
  for (uint32_t y = 0; y < v.height; ++y)
    std::copy(v.chart.row(static_cast<int>(y)), v.chart.row(static_cast<int>(y)) + v.width,
              v.flip.begin() + static_cast<size_t>(v.height - 1 - y) * v.width);
  BitmapFlipToRGBA(v.flip.data(), v.rgba.data(), v.width, v.height);
  ViewSetBitmap(v.rgba.data(), v.width, v.height, v.view);
  v.draws.fetch_add(1);
}

void timelineThread(void*) {
  TimelineView& v = tv();
  while (!v.stop.load() && !SyncThreadShouldStop()) {
    if (SyncWait(v.event, kSyncForever) != kSyncSignalled || v.stop.load()) break;
    drawOnce(v);
  }
}

void requestRedraw(bool force) {
  TimelineView& v = tv();
  if (force) v.force = true;
  if (v.event) SyncEventSet(v.event);
}

} // namespace

void TimelineViewEnd() {
  TimelineView& v = tv();
  if (v.thread) {
    v.stop = true;
    SyncEventSet(v.event);
    if (SyncWait(v.thread, kEndWaitMs) != kSyncSignalled) {
      LogPrintf(L"Timeout in TimelineViewEnd() - terminating thread");
      SyncThreadTerminate(v.thread, 0);
    }
    SyncHandleClose(v.thread);
  }
  if (v.event) SyncHandleClose(v.event);
  v.thread = v.event = 0;
  std::lock_guard lock(v.mutex);
  v.chart = Layer();
  v.flip.clear();
  v.rgba.clear();
  v.view = nullptr;
  v.width = v.height = 0;
}

int TimelineViewInit(ImageView view, uint32_t width, uint32_t height) {
  TimelineViewEnd();
  TimelineView& v = tv();
  if (!view || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
    return ErrorSet(kErrBadArg, "TimelineViewInit");
  {
    std::lock_guard lock(v.mutex);
    try {
      v.chart.resize(static_cast<int>(width), static_cast<int>(height));
      v.flip.assign(static_cast<size_t>(width) * height, 0);
      v.rgba.assign(v.flip.size(), 0);
    } catch (const std::bad_alloc&) {
      return ErrorSet(kErrNoMemory, "TimelineViewInit");
    }
    v.view = view;
    v.width = width;
    v.height = height;
    v.position = TimelinePosition{};
    v.selection = TimelineSelection{};
  }
  v.stop = false;
  v.force = true;
  v.event = SyncEventCreate(L"TimelineViewRedraw", 0, 0);
  if (!v.event) return ErrorSet(kErrNoObject, "TimelineViewInit");
  v.thread = SyncThreadCreate(nullptr, 0, timelineThread, nullptr, 0, nullptr);
  if (!v.thread) {
    TimelineViewEnd();
    return ErrorSet(kErrNoThread, "TimelineViewInit");
  }
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
