// Text logs as devices, phone apps and engine loggers write them: one
// generated file per kind, read from disk through the registry and the
// data-log model, checked by channel values at known times, sample counts
// and laps. The synthetic circuit is driven at 72 km/h with the engine at
// 4320 rpm in third gear; its start/finish line is crossed at 2.5 s and
// 34.0 s (the first samples after each crossing at 10 Hz).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <iterator>

#include "model/project.h"
#include "model/project_settings.h"
#include "media/datalog/datalog_test_util.h"
#include "media/datalog/query.h"
#include "media/datalog/recognition.h"
#include "media/datalog/synthetic_track.h"
#include "media/logs/log_registry.h"
#include "media/logs/log_test_util.h"

namespace {

std::string format(const char* fmt, double v) {
  char buffer[64];
  snprintf(buffer, sizeof buffer, fmt, v);
  return buffer;
}

std::string clockText(double secondsOfDay, bool twelveHour) {
  double s = std::fmod(secondsOfDay, 86400.0);
  int hh = static_cast<int>(s / 3600), mm = static_cast<int>((s - hh * 3600) / 60);
  double ss = s - hh * 3600 - mm * 60;
  char buffer[64];
  if (twelveHour)
    snprintf(buffer, sizeof buffer, "%02d:%02d:%06.3f %s", hh % 12 == 0 ? 12 : hh % 12, mm, ss + 1e-9,
             hh < 12 ? "AM" : "PM");
  else
    snprintf(buffer, sizeof buffer, "%02d:%02d:%06.3f", hh, mm, ss + 1e-9);
  return buffer;
}

// One export style of the circuit: the columns time, latitude, longitude,
// speed in km/h, engine speed, gear and lap, plus extra columns, under
// names, rows and preamble lines of the style's own.
struct Export {
  char delimiter = ',';
  bool decimalComma = false;
  bool trailingSeparator = false;
  std::vector<std::string> preamble;
  std::vector<std::string> names = {"Time (s)", "Latitude", "Longitude", "Speed (km/h)", "RPM", "Gear", "Lap"};
  std::vector<std::string> headerRows; // written under the names
  std::function<std::string(const TrackSample&)> time = [](const TrackSample& s) {
    return format("%.3f", s.t);
  };
  std::vector<std::function<std::string(const TrackSample&)>> extra;
  std::function<std::string(size_t, const std::string&)> cell = [](size_t, const std::string& text) {
    return text;
  };

  std::string write(const SyntheticTrack& track) const {
    std::string d(1, delimiter), end = trailingSeparator ? d + "\n" : "\n";
    auto number = [&](const char* fmt, double v) {
      std::string s = format(fmt, v);
      for (char& c : s)
        if (c == '.' && decimalComma)
          c = ',';
      return s;
    };
    std::string text;
    for (const std::string& line : preamble)
      text += line + "\n";
    auto join = [&](const std::vector<std::string>& cells) {
      std::string line;
      for (size_t c = 0; c < cells.size(); ++c)
        line += (c ? d : "") + cells[c];
      return line + end;
    };
    if (!names.empty())
      text += join(names);
    for (const std::string& row : headerRows)
      text += row + end;
    std::vector<TrackSample> samples = track.samples();
    for (size_t i = 0; i < samples.size(); ++i) {
      const TrackSample& s = samples[i];
      std::vector<std::string> cells = {time(s), number("%.9f", s.lat), number("%.9f", s.lon),
                                        number("%.4f", s.speedMs * 3.6), number("%.1f", s.rpm),
                                        std::to_string(s.gear), std::to_string(s.lap)};
      for (const auto& column : extra)
        cells.push_back(column(s));
      for (size_t c = 0; c < cells.size(); ++c)
        cells[c] = cell(i * 100 + c, cells[c]);
      text += join(cells);
    }
    return text;
  }
};

class DeviceExports : public testing::Test {
protected:
  void SetUp() override {
    savedUnit_ = ProjectSettingsRaw().SpeedUnit;
    ProjectSettingsRaw().SpeedUnit = kSpeedKmh;
    track.duration = 40;
  }
  void TearDown() override { ProjectSettingsRaw().SpeedUnit = savedUnit_; }

  // Reads a file through the registry and processes it; the reader's
  // warnings land in `warnings`.
  bool load(const std::string& name, const std::string& content, DataloggerRecord& record,
            const DataStruct& data = NewDataStruct()) {
    LogReadStatus status = LogRegistryRead(WriteDatalogFile(name, content), record);
    warnings = status.warnings;
    EXPECT_TRUE(status.ok()) << name << ": " << status.message << " at line " << status.line;
    return status.ok() && DataloggerProcess(record, data) == 0;
  }

  // The circuit's channels at known times; laps when the file has them.
  void expectCircuit(const DataloggerRecord& record, bool laps = true) {
    std::vector<TrackSample> samples = track.samples();
    EXPECT_EQ(record.sampleCount(), samples.size());
    EXPECT_NEAR(record.channels.time.back(), track.duration, 1e-3);
    for (double t : {1.0, 10.0, 30.3}) {
      const TrackSample& s = samples[static_cast<size_t>(std::lround(t * track.rate))];
      EXPECT_NEAR(DataloggerValueAt(record, kQuerySpeed, t), 72.0, 1e-3) << t;
      EXPECT_NEAR(DataloggerValueAt(record, kQueryRpm, t), 4320.0, 1e-6) << t;
      EXPECT_NEAR(DataloggerValueAt(record, kQueryGear, t), 3.0, 1e-9) << t;
      EXPECT_NEAR(DataloggerValueAt(record, kQueryPosY, t), s.lat, 1e-7) << t;
      EXPECT_NEAR(DataloggerValueAt(record, kQueryPosX, t), s.lon, 1e-7) << t;
    }
    if (laps) {
      EXPECT_EQ(DataloggerValueAt(record, kQueryLapCount, 0), 2);
      EXPECT_NEAR(DataloggerValueAt(record, kQueryLapStart, 1), 2.5, 1e-6);
      EXPECT_NEAR(DataloggerValueAt(record, kQueryLapStart, 2), 34.0, 1e-6);
    }
  }

  SyntheticTrack track;
  std::vector<std::string> warnings;

private:
  uint32_t savedUnit_ = kSpeedMph;
};

std::string utf16(const std::string& utf8, bool bigEndian) {
  std::u16string units = WideToUtf16(Utf8ToWide(utf8));
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t u : units) {
    char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    bytes += bigEndian ? hi : lo;
    bytes += bigEndian ? lo : hi;
  }
  return bytes;
}

TEST_F(DeviceExports, Utf16FilesReadLikeTheirUtf8Twin) {
  Export style;
  style.delimiter = ';';
  style.decimalComma = true;
  style.preamble = {"Fahrer;Jürgen", "Strecke;Nürburgring – Nordschleife"};
  style.names[0] = "Zeit (s)";
  style.names[4] = "Drehzahl (1/min)";
  style.extra = {[](const TrackSample& s) { return format("%.1f", 90 + s.t / 10).replace(2, 1, ","); }};
  style.names.push_back("Öltemperatur (°C)");
  std::string utf8 = style.write(track);
  DataloggerRecord twin;
  ASSERT_TRUE(load("phone.csv", utf8, twin));
  EXPECT_EQ(twin.fieldNames.back(), "Öltemperatur (°C)");
  expectCircuit(twin);
  for (bool bigEndian : {false, true}) {
    DataloggerRecord record;
    ASSERT_TRUE(load(bigEndian ? "phone-be.csv" : "phone-le.csv", utf16(utf8, bigEndian), record));
    EXPECT_TRUE(SameColumns(record, twin)) << bigEndian;
    EXPECT_EQ(record.sampleCount(), twin.sampleCount());
  }
  // Plain ASCII in 16-bit units without a byte-order mark, and UTF-8
  // with one.
  std::string ascii = Export().write(track);
  DataloggerRecord plain, bomLess, bom;
  ASSERT_TRUE(load("ascii.csv", ascii, plain));
  ASSERT_TRUE(load("bomless.csv", utf16(ascii, false).substr(2), bomLess));
  ASSERT_TRUE(load("bom.csv", "\xEF\xBB\xBF" + ascii, bom));
  EXPECT_TRUE(SameColumns(bomLess, plain));
  EXPECT_TRUE(SameColumns(bom, plain));
}

TEST_F(DeviceExports, NamesFoundByUnitAndByWordsInsideLongerNames) {
  Export style;
  style.names = {"Log Time (s)",           "Latitude",
                 "Longitude",              "OBD Vehicle Speed (km/h)",
                 "ECU Engine Speed (rpm)", "Current Gear Position",
                 "Lap Number",             "Throttle Position Sensor (%)",
                 "IMU Lateral Acceleration (g)", "Max Speed (km/h)"};
  style.extra = {[](const TrackSample& s) { return format("%.1f", 20 + s.t); },
                 [](const TrackSample&) { return std::string("0.41"); },
                 [](const TrackSample&) { return std::string("250"); }};
  DataloggerRecord record;
  ASSERT_TRUE(load("obd.csv", style.write(track), record));
  expectCircuit(record);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryThrottle, 10.0), 30.0, 1e-9);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryAccelX, 10.0), 0.41, 1e-9);
  // The user's own choice wins over every name (a chosen speed column takes
  // the window's speed factor, 1: miles per hour).
  DataStruct data = NewDataStruct();
  SetName(data.Throttle, "current gear position");
  SetName(data.Speed, "Max Speed (km/h)");
  ASSERT_EQ(DataloggerProcess(record, data), 0);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryThrottle, 10.0), 3.0, 1e-9);
  EXPECT_NEAR(DataloggerValueAt(record, kQuerySpeed, 10.0), 250.0 * 1.609344, 1e-3);
}

TEST_F(DeviceExports, ClockTimesRunAcrossMidnight) {
  track.startOfDay = 86400 - 20; // the clock passes midnight 20 s in
  struct Case {
    const char* name;
    std::function<std::string(const TrackSample&)> time;
    const char* column;
  } cases[] = {
      {"clock.csv", [&](const TrackSample& s) { return clockText(track.startOfDay + s.t, false); }, "Clock"},
      {"ampm.csv", [&](const TrackSample& s) { return clockText(track.startOfDay + s.t, true); }, "Uhrzeit"},
      {"iso.csv",
       [&](const TrackSample& s) {
         double t = track.startOfDay + s.t;
         return std::string(t < 86400 ? "2024-05-17T" : "2024-05-18T") + clockText(t, false) + "+02:00";
       },
       "Stamp"},
      {"unnamed.csv", [&](const TrackSample& s) { return clockText(track.startOfDay + s.t, false); }, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Export style;
    style.time = c.time;
    style.names[0] = c.column;
    DataloggerRecord record;
    ASSERT_TRUE(load(c.name, style.write(track), record));
    expectCircuit(record);
  }
}

TEST_F(DeviceExports, EngineLoggerPreambleNamesTheColumns) {
  Export style;
  style.preamble = {"Engine logger export", "17/05/2024 14:15:46"};
  for (const std::string& name : style.names)
    style.preamble.push_back("Channel : " + name);
  style.preamble.push_back("");
  style.names.clear();
  DataloggerRecord record;
  ASSERT_TRUE(load("engine.txt", style.write(track), record));
  ASSERT_EQ(record.fieldNames.size(), 7u);
  EXPECT_EQ(record.fieldNames[4], "RPM");
  expectCircuit(record);
  // A title and a date line above an ordinary names row.
  style = Export();
  style.preamble = {"Session 3, afternoon", "Date: Fri May 17 14:15:46 CEST 2024"};
  ASSERT_TRUE(load("titled.csv", style.write(track), record));
  EXPECT_EQ(record.fieldNames[0], "Time (s)");
  expectCircuit(record);
}

// A logger export: quoted key/value lines (sample rate, beacon markers,
// segment times), the names row twice, units, column numbers, a separator
// closing every line, and a time that restarts at 0 at each beacon.
std::string beaconExport(const SyntheticTrack& track, bool markers) {
  std::string text = "\"Format\",\"Logger CSV File\"\n\"Venue\",\"Test circle\"\n"
                     "\"Date\",\"Friday, May 17, 2024\"\n\"Time\",\"2:15 PM\"\n\"Sample Rate\",\"10\"\n"
                     "\"Duration\",\"40.000\"\n\"Segment\",\"Outlap\"\n";
  if (markers)
    text += "\"Beacon Markers\",\"2.500 34.000\"\n\"Segment Times\",\"0:02.500\",\"0:31.500\",\"0:06.000\"\n";
  text += "\n";
  const char* names = "\"Time\",\"GPS Speed\",\"RPM\",\"GPS Latitude\",\"GPS Longitude\",\"Gear\",\n";
  text += names;
  text += names;
  text += "\"s\",\"km/h\",\"rpm\",\"deg\",\"deg\",\"#\",\n\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\n\n";
  double segmentStart = 0;
  for (const TrackSample& s : track.samples()) {
    if (std::fabs(s.t - 2.5) < 1e-9 || std::fabs(s.t - 34.0) < 1e-9)
      segmentStart = s.t;
    char line[256];
    snprintf(line, sizeof line, "\"%.3f\",\"%.4f\",\"%.1f\",\"%.9f\",\"%.9f\",\"%d\",\n",
             s.t - segmentStart, s.speedMs * 3.6, s.rpm, s.lat, s.lon, s.gear);
    text += line;
  }
  return text;
}

TEST_F(DeviceExports, BeaconSegmentsRunOnAndBecomeLaps) {
  for (bool markers : {true, false}) {
    SCOPED_TRACE(markers);
    DataloggerRecord record;
    ASSERT_TRUE(load("beacons.csv", beaconExport(track, markers), record));
    EXPECT_EQ(record.fieldNames[0], "Time (s)");
    EXPECT_EQ(record.fieldNames.back(), "Lap");
    expectCircuit(record);
    EXPECT_EQ(warnings.size(), markers ? 0u : 1u);
  }
}

// The logger export as the logger writes it: the key/value block with
// beacon markers in one cell ("2.500, 34.000") and one cell per segment,
// the names twice and units, column numbers left empty over the first two
// columns, a separator closing the header rows only, then unquoted rows.
std::string loggerExport(const SyntheticTrack& track) {
  std::string text = "\"Format\",\"Logger CSV File\"\n\"Venue\",\"Test circle\"\n\"Vehicle\",\"Kart 12\"\n"
                     "\"Racer\",\"\"\n\"Date\",\"Friday, May 17, 2024\"\n\"Time\",\"2:15 PM\"\n"
                     "\"Sample Rate\",\"10\"\n\"Duration\",\"40.000\"\n\"Segment\",\"Session\"\n"
                     "\"Beacon Markers\",\"2.500, 34.000\"\n"
                     "\"Segment Times\",\"0:02.500\",\"0:31.500\",\"0:06.000\"\n\n";
  const char* names = "\"Time\",\"Distance on GPS Speed\",\"GPS Speed\",\"RPM\",\"GPS Latitude\",\"GPS Longitude\","
                      "\"Gear\",\n";
  text += names;
  text += names;
  text += "\"s\",\"m\",\"km/h\",\"rpm\",\"deg\",\"deg\",\"#\",\n\"\",\"\",\"1\",\"2\",\"3\",\"4\",\"5\",\n\n";
  for (const TrackSample& s : track.samples()) {
    char line[256];
    snprintf(line, sizeof line, "%.3f,%.1f,%.4f,%.1f,%.9f,%.9f,%d\n", s.t, s.t * s.speedMs, s.speedMs * 3.6,
             s.rpm, s.lat, s.lon, s.gear);
    text += line;
  }
  return text;
}

TEST_F(DeviceExports, LoggerExportHeaderTakenAsWritten) {
  DataloggerRecord record;
  ASSERT_TRUE(load("logger.csv", loggerExport(track), record));
  std::vector<std::string> expected = {"Time (s)", "Distance on GPS Speed (m)", "GPS Speed (km/h)", "RPM (rpm)",
                                       "GPS Latitude (deg)", "GPS Longitude (deg)", "Gear (#)", "Lap"};
  EXPECT_EQ(record.fieldNames, expected);
  EXPECT_NEAR(record.sampleRate, 10.0, 1e-9);
  expectCircuit(record);
  EXPECT_TRUE(warnings.empty());
}

// An engine logger's preamble: one block of "Key : value" lines per
// channel, whose type says what the raw integers mean; the rows start with
// a clock time that has no block. Twice: with names that say what the
// channels are, and with names that do not (the types do).
std::string engineBlocksExport(bool named) {
  struct Channel {
    const char* name;
    const char* opaque;
    const char* type;
    const char* range;
    const char* value;
  } channels[] = {
      {"RPM", "Ch1", "EngineSpeed", "20000,0", "4320"},      {"GS", "Ch2", "Speed", "3000,0", "720"},
      {"TPS", "Ch3", "ThrottlePosition", "1000,0", "300"},  {"MAP", "Ch4", "Pressure", "4000,0", "1013"},
      {"Ign Adv", "Ch5", "Angle", "900,-900", "125"},       {"Inj PW", "Ch6", "Time", "20000,0", "2500"},
      {"Lambda 1", "Ch7", "Lambda", "2000,0", "998"},
  };
  std::string text = "Engine logger data export\nDate : 17/05/2024\nStart : 09:41:07\n\n";
  for (size_t c = 0; c < std::size(channels); ++c)
    text += std::string("Channel : ") + (named ? channels[c].name : channels[c].opaque) + "\nID : " +
            std::to_string(101 + c) + "\nType : " + channels[c].type + "\nDisplayMaxMin : " +
            channels[c].range + "\n\n";
  for (int i = 0; i < 400; ++i) { // 20 s at 20 Hz
    text += clockText(9 * 3600 + 41 * 60 + 7.02 + i * 0.05, false);
    for (const Channel& channel : channels)
      text += std::string(",") + channel.value;
    text += "\n";
  }
  return text;
}

TEST_F(DeviceExports, EngineLoggerChannelBlocksNameTypeAndScale) {
  for (bool named : {true, false}) {
    SCOPED_TRACE(named);
    DataloggerRecord record;
    ASSERT_TRUE(load("engine.log", engineBlocksExport(named), record));
    std::vector<std::string> expected =
        named ? std::vector<std::string>{"Time", "RPM (rpm)", "GS (km/h)", "TPS (%)", "MAP (kPa)",
                                         "Ign Adv (deg)", "Inj PW (ms)", "Lambda 1"}
              : std::vector<std::string>{"Time", "Ch1 (rpm)", "Ch2 (km/h)", "Ch3 (%)", "Ch4 (kPa)",
                                         "Ch5 (deg)", "Ch6 (ms)", "Ch7"};
    EXPECT_EQ(record.fieldNames, expected);
    EXPECT_EQ(record.sampleCount(), 400u);
    EXPECT_NEAR(record.sampleRate, 20.0, 1e-6);
    EXPECT_NEAR(record.channels.time.back(), 19.95, 1e-6);
    EXPECT_NEAR(record.timeOrigin, 9 * 3600 + 41 * 60 + 7.02, 1e-6);
    for (double t : {0.0, 7.5, 19.95}) {
      EXPECT_NEAR(DataloggerValueAt(record, kQueryRpm, t), 4320, 1e-9);
      EXPECT_NEAR(DataloggerValueAt(record, kQuerySpeed, t), 72, 1e-6);
      EXPECT_NEAR(DataloggerValueAt(record, kQueryThrottle, t), 30, 1e-9);
    }
    EXPECT_NEAR(Cell(record, expected[4], 9), 101.3, 1e-9);
    EXPECT_NEAR(Cell(record, expected[5], 9), 12.5, 1e-9);
    EXPECT_NEAR(Cell(record, expected[6], 9), 2.5, 1e-9);
    EXPECT_EQ(Cell(record, expected[7], 9), 998); // a type of unknown scale keeps the raw value
    std::string unknown = std::string("channels of a type without a known scale kept as written: ") +
                          (named ? "Lambda 1" : "Ch7") + " (Lambda)";
    EXPECT_EQ(warnings, std::vector<std::string>{unknown});
  }
  // One column beside the clock: a "Date" line is no channel block.
  std::string lone = "Date : 17/05/2024\n\n";
  for (int i = 0; i < 20; ++i)
    lone += clockText(36000 + i * 0.05, false) + ",4320\n";
  DataloggerRecord record;
  ASSERT_TRUE(load("lone.log", lone, record));
  EXPECT_EQ(record.fieldNames, (std::vector<std::string>{"Column 1", "Column 2"}));
  EXPECT_NEAR(record.sampleRate, 20.0, 1e-6);
}

TEST_F(DeviceExports, SameNamedColumnsByTheirSource) {
  Export style;
  style.names = {"Time", "Latitude", "Longitude", "Speed", "RPM", "Gear", "Lap", "Speed", "Speed", "RPM"};
  style.headerRows = {"s,deg,deg,km/h,rpm,,,km/h,km/h,rpm", ",GPS,GPS,GPS,ECU,ECU,,OBD,Calc,OBD"};
  // The OBD and computed speeds lag behind the GPS one.
  style.extra = {[](const TrackSample&) { return std::string("70"); },
                 [](const TrackSample&) { return std::string("71"); },
                 [](const TrackSample&) { return std::string("4000"); }};
  // Written in the order OBD, calc, GPS: the GPS one is still taken.
  std::swap(style.names[3], style.names[8]);
  DataloggerRecord record;
  ASSERT_TRUE(load("sources.csv", style.write(track), record));
  std::vector<std::string> expected = {"Time (s)", "Latitude (deg)", "Longitude (deg)", "Speed GPS (km/h)",
                                       "RPM ECU (rpm)", "Gear", "Lap", "Speed OBD (km/h)",
                                       "Speed Calc (km/h)", "RPM OBD (rpm)"};
  EXPECT_EQ(record.fieldNames, expected);
  expectCircuit(record);
  // Without a row of sources: numbered, the first one taken.
  style.headerRows.pop_back();
  ASSERT_TRUE(load("numbered.csv", style.write(track), record));
  EXPECT_EQ(record.fieldNames[7], "Speed 2 (km/h)");
  EXPECT_EQ(record.fieldNames[9], "RPM 2 (rpm)");
  expectCircuit(record);
}

TEST_F(DeviceExports, Windows1252NamesAndUnits) {
  Export style;
  style.names[0] = "Zeit (s)";
  style.names.push_back("\xd6ltemp. (\xb0" "C)");
  style.names.push_back("Neigung \x96 L\xe4ngs (\xb0)");
  // Longer than a stored name holds, with a two-byte character at the cut.
  style.names.push_back(std::string(62, 'x') + "\xfc\xfc (V)");
  style.extra = {[](const TrackSample&) { return std::string("95.5"); },
                 [](const TrackSample&) { return std::string("-2"); },
                 [](const TrackSample&) { return std::string("12.6"); }};
  DataloggerRecord record;
  ASSERT_TRUE(load("latin.csv", style.write(track), record));
  EXPECT_EQ(record.fieldNames[7], "Öltemp. (°C)");
  EXPECT_EQ(record.fieldNames[8], "Neigung – Längs (°)");
  EXPECT_EQ(record.fieldNames[9], std::string(62, 'x') + "ü"); // 63 UTF-16 units, whole characters
  expectCircuit(record);
  EXPECT_EQ(FindFieldByName(record, u"Öltemp. (°C)"), 7);
}

TEST_F(DeviceExports, RichHeaderCellsPathNamesAndGaps) {
  Export style;
  style.names = {"\"Time\"|\"s\"|0|40|10", "\"gps/lat\"|\"deg\"|-90|90|10", "\"gps/lon\"|\"deg\"|-180|180|10",
                 "\"vehicle/speed\"|\"km/h\"|0|300|10", "\"engine/rpm\"|\"rpm\"|0|9000|10",
                 "\"sensors/gear\"||0|6|10", "\"timing/lap\"||0|99|10"};
  // Every seventh engine speed and every fifth gear is missing.
  style.cell = [](size_t at, const std::string& text) {
    size_t row = at / 100, column = at % 100;
    if (column == 4 && row % 7 == 3)
      return std::string("-");
    if (column == 5 && row % 5 == 1)
      return std::string();
    return text;
  };
  // As exported, and with a first data row of blank cells only.
  for (const char* blankRow : {"", ",,,,,,"}) {
    SCOPED_TRACE(blankRow);
    style.headerRows = {blankRow};
    if (!*blankRow)
      style.headerRows.clear();
    DataloggerRecord record;
    ASSERT_TRUE(load("paths.csv", style.write(track), record));
    EXPECT_EQ(record.fieldNames[4], "engine/rpm (rpm)");
    EXPECT_EQ(record.rowCount(), track.samples().size());
    EXPECT_TRUE(std::isnan(record.columns[4][3]));
    EXPECT_TRUE(std::isnan(record.columns[5][1]));
    expectCircuit(record);
    EXPECT_TRUE(warnings.empty());
  }
}

TEST_F(DeviceExports, EngineLoggerTabsDecimalCommasQuotesAndZoneNames) {
  // ".msl": a quoted title, a capture date with weekday and zone name,
  // names, units, tab-separated rows and marker lines between them.
  Export msl;
  msl.delimiter = '\t';
  msl.preamble = {"\"Engine logger 1.4.2: serial 0815\"", "\"Capture Date: Fri May 17 14:15:46 CEST 2024\""};
  msl.headerRows = {"s\tdeg\tdeg\tkm/h\tRPM\t\t"};
  msl.cell = [](size_t at, const std::string& text) {
    return at % 100 == 0 && at / 100 % 50 == 49 ? "MARK 00" + std::to_string(at / 5000) + " - lap\n" + text : text;
  };
  DataloggerRecord record;
  ASSERT_TRUE(load("engine.msl", msl.write(track), record));
  expectCircuit(record);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0], "lines without values skipped: 8");
  // Semicolons with decimal commas, a quoted comment holding the
  // separator, and GPS times with a weekday and a zone name.
  Export phone;
  phone.delimiter = ';';
  phone.decimalComma = true;
  phone.names[0] = "GPS Time";
  phone.time = [&](const TrackSample& s) {
    return "Fri May 17 " + clockText(track.startOfDay + s.t, false) + " CEST 2024";
  };
  phone.names.push_back("Comment");
  phone.extra = {[](const TrackSample& s) { return s.lap ? std::string("\"lap; on track\"") : std::string(); }};
  ASSERT_TRUE(load("phone.log", phone.write(track), record));
  expectCircuit(record);
  EXPECT_TRUE(warnings.empty());
}

} // namespace
