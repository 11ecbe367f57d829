// Data-log throughput: load time of a one-hour 20 Hz log in each text
// format (bytes per second through reader, recognition, derivation and
// laps) and one million mixed time queries on it (queries per second).
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
