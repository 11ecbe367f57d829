// Data-log throughput: load time of a one-hour 20 Hz log in each text
// format (bytes per second through reader, recognition, derivation and
// laps), of a 100 MB delimited log and a 50 MB FIT file, and one million
// mixed time queries (queries per second).
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "media/datalog/process.h"
#include "media/datalog/query.h"
#include "media/logs/log_registry.h"
// The tests' synthetic circuit writers make the logs.
#include "tests/media/datalog/synthetic_track.cpp"
#include "tests/media/datalog/fit_writer.cpp"

namespace {

SyntheticTrack hourTrack() {
  SyntheticTrack track;
  track.rate = 20;
  track.duration = 3600;
  return track;
}

DataStruct settings() {
  DataStruct data;
  std::memset(&data, 0, sizeof data);
  data.TimeUnits = data.GpsAccConv = data.SpeedConv = 1.0f;
  data.LapHeading = -1.0f;
  data.LapHeadTol = 30.0f;
  data.LapManual = 3;
  data.BoostSampleRate = 7;
  SyntheticTrack track = hourTrack();
  data.LapX = track.lapLon();
  data.LapY = track.lapLat();
  return data;
}

const std::string& logFile(int format) {
  static std::string paths[4];
  if (paths[format].empty()) {
    SyntheticTrack track = hourTrack();
    switch (format) {
    case 0:
      paths[0] = WriteDatalogFile("hour.nmea", WriteNmea(track));
      break;
    case 1:
      paths[1] = WriteDatalogFile("hour.gpx", WriteGpx(track, false));
      break;
    case 2:
      paths[2] = WriteDatalogFile("hour.csv", WriteCsv(track, ',', false));
      break;
    default:
      paths[3] = WriteDatalogFile("hour.vbo", WriteVbo(track));
      break;
    }
  }
  return paths[format];
}

void BM_LoadHourLog(benchmark::State& state) {
  const std::string& path = logFile(static_cast<int>(state.range(0)));
  DataStruct data = settings();
  size_t bytes = 0;
  for (auto _ : state) {
    DataloggerRecord record;
    if (!LogRegistryRead(path, record).ok() || DataloggerProcess(record, data) != 0) {
      state.SkipWithError("log refused");
      return;
    }
    benchmark::DoNotOptimize(record.laps.triggers.size());
    bytes += record.rowCount() > 0 ? static_cast<size_t>(std::ifstream(path, std::ios::ate).tellg()) : 0;
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
  const char* names[] = {"NMEA", "GPX", "CSV", "VBO"};
  state.SetLabel(names[state.range(0)]);
}
BENCHMARK(BM_LoadHourLog)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// Logs of a given size: a 100 Hz delimited log of 100 MB and a 1 Hz FIT
// activity of 50 MB, written once (the generators' folder goes at exit).
const std::string& largeFile(int format) {
  static std::string paths[2];
  if (!paths[format].empty())
    return paths[format];
  SyntheticTrack track;
  if (format == 0) {
    track.rate = 100;
    track.duration = 100e6 / 53.5 / track.rate; // rows of about 53 bytes
    paths[0] = WriteDatalogFile("large.csv", WriteCsv(track, ',', false));
  } else {
    track.rate = 1;
    track.duration = 50e6 / 16.0; // records of 14 or 18 bytes
    std::vector<FitPoint> points;
    for (const TrackSample& s : track.samples())
      points.push_back({1000000000u + static_cast<uint32_t>(s.t), s.lat, s.lon, 120.0, s.speedMs, 150});
    paths[1] = WriteDatalogFile("large.fit", WriteFit(points, {}, false));
  }
  return paths[format];
}

void BM_LoadLargeLog(benchmark::State& state) {
  const std::string& path = largeFile(static_cast<int>(state.range(0)));
  DataStruct data = settings();
  data.LapManual = 2;
  auto size = static_cast<size_t>(std::ifstream(path, std::ios::ate).tellg());
  for (auto _ : state) {
    DataloggerRecord record;
    if (!LogRegistryRead(path, record).ok() || DataloggerProcess(record, data) != 0) {
      state.SkipWithError("log refused");
      return;
    }
    benchmark::DoNotOptimize(record.sampleCount());
  }
  state.SetBytesProcessed(static_cast<int64_t>(size) * state.iterations());
  state.SetLabel((state.range(0) == 0 ? "CSV " : "FIT ") + std::to_string(size >> 20) + " MB");
}
BENCHMARK(BM_LoadLargeLog)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_MixedQueries(benchmark::State& state) {
  DataloggerRecord record;
  if (!LogRegistryRead(logFile(2), record).ok() || DataloggerProcess(record, settings()) != 0) {
    state.SkipWithError("log refused");
    return;
  }
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> time(0, 3600);
  std::uniform_int_distribution<int> type(0, kQueryTypeCount - 1);
  constexpr int kQueries = 1000000;
  for (auto _ : state) {
    double sum = 0;
    for (int i = 0; i < kQueries; ++i)
      sum += DataloggerValueAt(record, type(rng), time(rng));
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kQueries);
}
BENCHMARK(BM_MixedQueries)->Unit(benchmark::kMillisecond);

} // namespace
