// Track maps over the circuit log: the preset, every start/finish style,
// best lap and one lap, the speed blend, rotation, zoom, ghost and the
// animated marker; the marker sits where the log says the car is.
#include "render/objects_data/data_obj_fixture.h"

#include "base/access_lock.h"
#include "media/datalog/datalog_queries.h"
#include "media/datalog/datalog_store.h"
#include "media/datalog/query.h"

#include <algorithm>
#include <fstream>

#include "base/text.h"
#include "model/inputs.h"

#include <cmath>

namespace {

constexpr float kTime = 50.0f;

class TrackMapTest : public DataObjTest {};

TEST_F(TrackMapTest, PresetAndStartStyles) {
  AddBackdrop();
  for (int style = 0; style < 4; ++style) {
    const uint32_t map = AddData(kDispTrackMap, 1 + style * 24.75f, 5, 24, 90);
    EditParam<TrackMapParam>(map, [&](TrackMapParam& p) {
      p.StartStyle = static_cast<uint8_t>(style);
      if (style == 1) p.StartLineAngle = 45; // a given angle
      if (style >= 2) p.StartSize = 24;
    });
  }
  ExpectGolden("track_map_styles", Frame(kTime));
}

TEST_F(TrackMapTest, LapChoicesBlendRotationZoomAndGhost) {
  AddBackdrop();
  const uint32_t best = AddData(kDispTrackMap, 1, 5, 24, 90);
  EditParam<TrackMapParam>(best, [](TrackMapParam& p) {
    p.Options = 0x81 | 0x02; // best lap only, animated marker
    p.MapLowColor = 0x00E02020; // slow stretches turn red
    p.GhostColor = 0x00FFB000;
  });
  const uint32_t one = AddData(kDispTrackMap, 25.75f, 5, 24, 90);
  EditParam<TrackMapParam>(one, [](TrackMapParam& p) {
    p.Options = 0x90; // higher resolution: sizes are thirds
    p.MapLineSize = 30;
    p.StartSize = 30;
    p.PosSize = 45;
    p.SelectedLap = 3;
    p.PosIcon = 3; // arrow along the heading
    p.MapEdgeColor = 0xFF000000;
  });
  const uint32_t turned = AddData(kDispTrackMap, 50.5f, 5, 24, 90);
  EditParam<TrackMapParam>(turned, [](TrackMapParam& p) { p.Options = 0x80 | 0x04; });
  const uint32_t zoomed = AddData(kDispTrackMap, 75.25f, 5, 24, 90);
  EditParam<TrackMapParam>(zoomed, [](TrackMapParam& p) {
    p.ZoomArea = 60; // three times closer, following the car
    p.MapColor = 0x00303030;
  });
  ExpectGolden("track_map_options", Frame(kTime));
}

TEST_F(TrackMapTest, BestLapWinsOverALapChosenBefore) {
  // An out lap and two laps of different shapes: lap 1 a tall oval (the
  // best), lap 2 a wide one.
  const std::string path = TempPath("shaped_laps.csv");
  {
    std::ofstream out(path);
    out << "Time (s),Latitude,Longitude,Lap\n";
    const double lapTimes[] = {10, 8, 12};
    double start = 0;
    for (int lap = 0; lap <= 2; ++lap) {
      const double length = lapTimes[lap];
      const bool tall = lap == 1;
      for (double into = 0; into < length - 1e-9; into += 0.1) {
        const double a = 2 * M_PI * into / length;
        const double x = (tall ? 100 : 300) * std::sin(a), y = (tall ? 300 : 100) * std::cos(a);
        out << start + into << "," << 52 + y / 111320 << "," << -1 + x / 68500 << "," << lap << "\n";
      }
      start += length;
    }
    out << start << ",52.0009,-1,3\n";
  }
  const uint32_t laps = InputAdd(WideToUtf16(Utf8ToWide(path)).c_str());
  ASSERT_NE(laps, 255u);
  ASSERT_EQ(InputHandlerGetDataTypeValue(laps, 1, kQueryBestLapNumber, 1), 1);
  const uint32_t map = AddObject(kDispTrackMap, laps, 0, 0, 56.25f, 100);
  const auto shown = [&](uint8_t options, uint8_t lap) {
    EditParam<TrackMapParam>(map, [&](TrackMapParam& p) {
      p.Options = options;
      p.SelectedLap = lap;
      p.PosColor = p.GhostColor = 0xFF000000u; // nothing that moves
    });
    return Frame(5);
  };
  const auto differing = [](const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += ColourDiff(a[i], b[i]) > 40;
    return n;
  };
  const auto best = shown(kMapHighRes | kMapBestLap, 0);
  const auto second = shown(kMapHighRes, 2);
  EXPECT_GT(differing(best, second), 1000);
  // "Best" chosen after lap 2 keeps the 2 for later and draws the best lap.
  EXPECT_EQ(differing(best, shown(kMapHighRes | kMapBestLap, 2)), 0);
}

TEST_F(TrackMapTest, MarkerAtTheLoggedPosition) {
  AddBackdrop();
  const uint32_t map = AddData(kDispTrackMap, 0, 0, 56.25f, 100); // 270 x 270
  EditParam<TrackMapParam>(map, [](TrackMapParam& p) {
    p.PosColor = 0x0000FF00;
    p.PosIcon = 0;
    p.PosSize = 24;
    p.StartLineAngle = 65535;
    p.StartColor = 0xFF000000;
  });
  // Bounds of the course in the plane the map uses, and the car's place.
  const auto frame = Frame(kTime);
  double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
  for (double t = 0; t < 140; t += 0.1) {
    const double x = InputHandlerGetDataTypeValue(input, 1, kQueryPosX, static_cast<float>(t));
    const double y = InputHandlerGetDataTypeValue(input, 1, kQueryPosY, static_cast<float>(t));
    x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
  }
  const double c = std::cos((y0 + y1) / 2 * M_PI / 180);
  const double margin = 14 / 2.0 * 270 / 480 + 2 * 270 / 480.0, room = 270 - 2 * (18 / 2.0 + 2) * 270 / 480;
  (void)margin;
  const double scale = std::min(room / ((x1 - x0) * c), room / (y1 - y0));
  const double x = InputHandlerGetDataTypeValue(input, 0, kQueryPosX, kTime);
  const double y = InputHandlerGetDataTypeValue(input, 0, kQueryPosY, kTime);
  const int px = static_cast<int>(std::lround(135 + (x - (x0 + x1) / 2) * c * scale));
  const int py = static_cast<int>(std::lround(135 - (y - (y0 + y1) / 2) * scale));
  EXPECT_GT(CountColour(frame, 480, 270, px - 2, py - 2, px + 3, py + 3, 0x00FF00, 30), 15) << px << "," << py;
}

TEST_F(TrackMapTest, KeptCourseFollowsRecordChanges) {
  AddBackdrop();
  const uint32_t map = AddData(kDispTrackMap, 0, 0, 56.25f, 100);
  EditParam<TrackMapParam>(map, [](TrackMapParam& p) { p.MapColor = 0x00FF0000; p.MapLineSize = 30; });
  EXPECT_GT(CountColour(Frame(kTime), 480, 270, 0, 0, 270, 270, 0xFF0000, 20), 500);
  EditParam<TrackMapParam>(map, [](TrackMapParam& p) { p.MapColor = 0x000000FF; });
  const auto after = Frame(kTime + 0.5f);
  EXPECT_EQ(CountColour(after, 480, 270, 0, 0, 270, 270, 0xFF0000, 20), 0);
  EXPECT_GT(CountColour(after, 480, 270, 0, 0, 270, 270, 0x0000FF, 20), 500);
}

TEST_F(TrackMapTest, KeptCourseFollowsAReprocessedLog) {
  AddBackdrop();
  const uint32_t map = AddData(kDispTrackMap, 0, 0, 56.25f, 100);
  EditParam<TrackMapParam>(map, [](TrackMapParam& p) { p.PosColor = 0xFF000000; });
  const auto before = Frame(kTime);
  {
    // Positions rewritten in place, as reprocessing does: the course is
    // squeezed to half its width.
    WriteAccess access("TrackMapTest");
    DataloggerRecord* record = DataloggerGet(input);
    ASSERT_NE(record, nullptr);
    auto& xs = record->channels.role[kRolePosX];
    const double mid = (*std::min_element(xs.begin(), xs.end()) + *std::max_element(xs.begin(), xs.end())) / 2;
    for (double& x : xs) x = mid + (x - mid) / 2;
  }
  const auto after = Frame(kTime);
  int differing = 0;
  for (size_t i = 0; i < before.size(); ++i) differing += ColourDiff(before[i], after[i]) > 40;
  EXPECT_GT(differing, 1000);
}

} // namespace
