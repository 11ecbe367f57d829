// The data-log model behind the input table: opening an input's file, the
// query routines with their error codes, time conversion, field lists,
// joins and the wizard's option bits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "base/error.h"
#include "base/log.h"
#include "model/input_table.h"
#include "media/datalog/datalog.h"
#include "media/datalog/datalog_queries.h"
#include "media/datalog/datalog_store.h"
#include "media/datalog/datalog_test_util.h"
#include "media/datalog/fit_writer.h"
#include "media/datalog/synthetic_track.h"
#include "media/logs/log_test_util.h"
#include "support/read_file.h"

namespace {

uint32_t addInput(const std::string& path) {
  uint32_t input = InputStoreAppend();
  MainStruct* main = InputTableMain(input);
  EXPECT_NE(main, nullptr);
  if (main)
    Str16CopyNW(main->FilePath, Utf8ToWide(path).c_str(), kPathLength - 1);
  return input;
}

std::u16string u16(const char* text) { return WideToUtf16(Utf8ToWide(text)); }

// Binary noise that no reader takes.
std::string RandomLikeText() {
  std::string bytes;
  for (int i = 0; i < 3000; ++i)
    bytes += static_cast<char>((i * 131 + 17) % 251);
  return bytes;
}

class DatalogInputTest : public testing::Test {
protected:
  void SetUp() override {
    InputStoreClear();
    track.duration = 40;
    csv = WriteDatalogFile("input.csv", WriteCsv(track, ',', false));
    nmea = WriteDatalogFile("input.nmea", WriteNmea(track));
  }
  void TearDown() override {
    for (uint32_t i = 0; i < kMaxInputs; ++i)
      DataloggerClose(i);
    InputStoreClear();
  }
  uint32_t openLog(const std::string& path) {
    uint32_t input = addInput(path);
    EXPECT_EQ(DataloggerOpen(input), 0);
    return input;
  }
  SyntheticTrack track;
  std::string csv, nmea;
};

TEST_F(DatalogInputTest, OpenFillsTypeAndLength) {
  EXPECT_TRUE(DataloggerIsLogFile(Utf8ToWide(csv).c_str()));
  uint32_t input = openLog(csv);
  const MainStruct* main = InputTableMain(input);
  EXPECT_EQ(main->Type, kInputData);
  EXPECT_NEAR(main->Length, track.duration, 1e-4);
  ASSERT_NE(DataloggerGet(input), nullptr);
  DataloggerClose(input);
  EXPECT_EQ(DataloggerGet(input), nullptr);
}

TEST_F(DatalogInputTest, OpenRefusesFilesThatAreNoLog) {
  std::string junk = WriteDatalogFile("junk.bin", RandomLikeText());
  EXPECT_FALSE(DataloggerIsLogFile(Utf8ToWide(junk).c_str()));
  uint32_t input = addInput(junk);
  EXPECT_LT(DataloggerOpen(input), 0);
  EXPECT_EQ(DataloggerGet(input), nullptr);
  uint32_t missing = addInput(DatalogTestDir() + "/nothing-here.csv");
  EXPECT_LT(DataloggerOpen(missing), 0);
  EXPECT_EQ(DataloggerOpen(kNoInput), kErrBadArg);
}

TEST_F(DatalogInputTest, TypeValueErrorCodes) {
  uint32_t input = openLog(csv);
  uint32_t plain = addInput("/nonexistent.mp4");
  EXPECT_EQ(InputHandlerGetDataTypeValue(kNoInput, 1, 15, 1.0f), 0.0);
  EXPECT_EQ(ErrorGetLast(), kErrBadArg);
  EXPECT_EQ(InputHandlerGetDataTypeValue(InputTableCount(), 1, 15, 1.0f), 0.0);
  EXPECT_EQ(ErrorGetLast(), kErrIndex);
  EXPECT_EQ(InputHandlerGetDataTypeValue(plain, 1, 15, 1.0f), 0.0);
  EXPECT_EQ(ErrorGetLast(), kErrNoData);
  EXPECT_EQ(InputHandlerGetDataTypeValue(input, 1, 24, 1.0f), 0.0);
  EXPECT_EQ(ErrorGetLast(), kErrBadArg);
  EXPECT_NEAR(InputHandlerGetDataTypeValue(input, 1, 15, 1.0f), 72.0 * 0.621371192, 1e-6);
  EXPECT_EQ(ErrorGetLast(), 0);
}

TEST_F(DatalogInputTest, ProjectTimeGoesThroughStartTrimAndRate) {
  uint32_t input = openLog(csv);
  MainStruct* main = InputTableMain(input);
  main->StartTime = 10;
  main->TrimStart = 2;
  main->PlayRate = 2;
  double inputTime = 2 + (13 - 10) * 2.0; // project 13 s -> input 8 s
  EXPECT_NEAR(InputHandlerGetDataTypeValue(input, 0, 0, 13.0f), inputTime, 1e-5);
  EXPECT_NEAR(InputHandlerGetDataTypeValue(input, 0, 2, 13.0f),
              InputHandlerGetDataTypeValue(input, 1, 2, static_cast<float>(inputTime)), 1e-12);
  // A lap number is never converted.
  EXPECT_NEAR(InputHandlerGetDataTypeValue(input, 0, 8, 1.0f),
              InputHandlerGetDataTypeValue(input, 1, 8, 1.0f), 1e-12);
  EXPECT_GE(InputHandlerGetDataTypeValue(input, 1, 8, 1.0f), track.crossing(1) - 1e-6);
  EXPECT_EQ(InputHandlerGetDataTypeValue(input, 1, 7, 0.0f), track.crossingsWithin(track.duration));
}

TEST_F(DatalogInputTest, FieldNamesWithAndWithoutExtras) {
  uint32_t input = openLog(csv);
  DataStruct* data = InputTableData(input);
  SetName(data->CustomName, "Double RPM");
  SetName(data->CustomInput, "RPM");
  data->CustomOp = 2;
  data->CustomNum = 2;
  ASSERT_EQ(DataloggerReprocess(input), 0);
  std::vector<std::u16string> own, all;
  for (uint32_t n = 0; n < 128; ++n) {
    const char16_t* name = InputHandlerGetDataFieldName(input, n, 0);
    if (ErrorGetLast() < 0)
      break;
    own.emplace_back(name);
  }
  for (uint32_t n = 0; n < 128; ++n) {
    const char16_t* name = InputHandlerGetDataFieldName(input, n, 1);
    if (ErrorGetLast() < 0)
      break;
    all.emplace_back(name);
  }
  ASSERT_EQ(own.size(), 7u);
  EXPECT_EQ(own[0], u16("Time (s)"));
  EXPECT_EQ(own[6], u16("Lap"));
  ASSERT_GT(all.size(), own.size());
  EXPECT_EQ(all[7], u16("Double RPM"));
  EXPECT_EQ(InputHandlerGetDataFieldName(input, 200, 1)[0], 0);
  EXPECT_EQ(ErrorGetLast(), kErrIndex);
  EXPECT_EQ(InputHandlerGetDataFieldIndex(input, u"Speed (km/h)"), 3);
  EXPECT_EQ(InputHandlerGetDataFieldIndex(input, u"speed (KM/H)"), 3);
  EXPECT_EQ(InputHandlerGetDataFieldIndex(input, u"Double RPM"), 7);
  EXPECT_EQ(InputHandlerGetDataFieldIndex(input, u"(None)"), -1);
  EXPECT_NEAR(InputHandlerGetDataFieldValue(input, 1, 7, 1.0f), 2 * 72 * 60.0, 1e-6);
}

TEST_F(DatalogInputTest, StoredRolesOverrideRecognition) {
  uint32_t input = openLog(csv);
  DataStruct* data = InputTableData(input);
  SetName(data->Speed, "RPM"); // any column can be chosen
  data->SpeedConv = 0.5f;
  ASSERT_EQ(DataloggerReprocess(input), 0);
  EXPECT_NEAR(InputHandlerGetDataTypeValue(input, 1, 15, 1.0f), 72 * 60.0 * 0.5, 1e-6);
  SetName(data->Speed, "(Calculate MPH)");
  data->SpeedConv = 1.0f;
  ASSERT_EQ(DataloggerReprocess(input), 0);
  EXPECT_NEAR(InputHandlerGetDataTypeValue(input, 1, 15, 10.0f), 20.0 / 0.44704, 0.02 * 20.0 / 0.44704);
  SetName(data->RPM, "no such column");
  ASSERT_EQ(DataloggerReprocess(input), 0);
  EXPECT_EQ(InputHandlerGetDataTypeValue(input, 1, 17, 10.0f), 0.0);
}

TEST_F(DatalogInputTest, JoinsAnswerAcrossTheirMembers) {
  uint32_t first = openLog(csv);
  uint32_t second = openLog(WriteDatalogFile("second.csv", WriteCsv(track, ',', false)));
  uint32_t other = openLog(nmea);
  uint32_t join = InputStoreAppend();
  InputTableMain(join)->Type = kInputJoinData;
  EXPECT_EQ(InputHandlerCheckJoin(first, second), 1);
  EXPECT_EQ(InputHandlerCheckJoin(first, other), 0);
  EXPECT_EQ(InputHandlerCheckJoin(join, other), 1); // an empty join takes any log
  EXPECT_EQ(InputHandlerCheckJoin(first, kNoInput), 0);
  uint32_t video = InputStoreAppend();
  InputTableMain(video)->Type = kInputVideo;
  EXPECT_EQ(InputHandlerCheckJoin(first, video), 0);

  InputTableMain(first)->ParentJoin = static_cast<uint8_t>(join);
  InputTableMain(first)->StartTime = 0;
  InputTableMain(second)->ParentJoin = static_cast<uint8_t>(join);
  InputTableMain(second)->StartTime = 100;
  InputTableMain(second)->TrimStart = 5;
  EXPECT_EQ(InputHandlerCheckJoin(join, second), 1);
  EXPECT_EQ(InputHandlerCheckJoin(join, other), 0);
  // Join time 103 lies in the second member at its own time 8.
  EXPECT_NEAR(InputHandlerGetDataTypeValue(join, 1, 2, 103.0f),
              InputHandlerGetDataTypeValue(second, 1, 2, 8.0f), 1e-12);
  EXPECT_NEAR(InputHandlerGetDataTypeValue(join, 1, 2, 3.0f),
              InputHandlerGetDataTypeValue(first, 1, 2, 3.0f), 1e-12);
  EXPECT_EQ(InputHandlerGetDataTypeValue(join, 1, 7, 0.0f),
            InputHandlerGetDataTypeValue(first, 1, 7, 0.0f));
  EXPECT_EQ(std::u16string(InputHandlerGetDataFieldName(join, 0, 0)), u16("Time (s)"));
}

TEST_F(DatalogInputTest, ScanOptionsFollowTheChannels) {
  uint32_t fromCsv = openLog(csv);
  uint32_t fromNmea = openLog(nmea);
  uint32_t bits = DataloggerScanOptions(fromCsv);
  EXPECT_EQ(bits & 0x400u, 0x400u);
  EXPECT_EQ(bits & 0x001u, 0x001u);
  EXPECT_EQ(bits & 0x802u, 0x802u);
  EXPECT_EQ(bits & 0x004u, 0x004u);
  EXPECT_EQ(bits & 0x020u, 0x020u);
  EXPECT_EQ(bits & 0x0C0u, 0x0C0u);
  uint32_t gpsOnly = DataloggerScanOptions(fromNmea);
  EXPECT_EQ(gpsOnly & 0x802u, 0u);
  EXPECT_EQ(gpsOnly & 0x004u, 0u);
  EXPECT_EQ(gpsOnly & 0x0C0u, 0u);
  EXPECT_EQ(DataloggerScanOptions(InputTableCount()), 0u);
}

} // namespace

namespace {

// Closes the session log and gives its text.
std::string ClosedSessionLog() {
  LogClose();
  return ReadWholeFile(WideToUtf8(LogGetPath()));
}

size_t Occurrences(const std::string& text, const std::string& needle) {
  size_t n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
    ++n;
  return n;
}

// What a reader skipped reaches the session log once per file, with its
// count, and the log still opens.
TEST_F(DatalogInputTest, SkippedPartsAreLoggedOncePerFile) {
  std::string dir = DatalogTestDir() + "/session-log";
  ASSERT_EQ(system(("mkdir -p '" + dir + "'").c_str()), 0);
  ASSERT_EQ(LogOpen(Utf8ToWide(dir).c_str()), 0);
  std::vector<FitPoint> points;
  for (uint32_t s = 0; s < 30; ++s)
    points.push_back({1000000000u + s, 52.0 + s * 1e-4, -1.0, 100.0, 10.0, 120});
  std::vector<size_t> ends;
  std::string fit = WriteFit(points, {}, false, &ends);
  std::string noisy = WriteCsv(track, ',', false);
  for (int k = 0; k < 3; ++k)
    noisy.insert(noisy.find("\n", noisy.size() / 2) + 1, "-- marker --\n");
  uint32_t cut = openLog(WriteDatalogFile("cut.fit", fit.substr(0, ends[19] + 3)));
  uint32_t marked = openLog(WriteDatalogFile("marked.csv", noisy));
  EXPECT_EQ(DataloggerGet(cut)->sampleCount(), 20u);
  EXPECT_EQ(DataloggerGet(marked)->sampleCount(), track.samples().size());
  std::string text = ClosedSessionLog();
  auto count = [&](const std::string& needle) { return Occurrences(text, needle); };
  EXPECT_EQ(count("cut.fit': FIT file cut short"), 1u);
  EXPECT_EQ(count("cut.fit': FIT data ends inside message"), 1u);
  EXPECT_EQ(count("marked.csv': lines without values skipped: 3"), 1u);
}

// An activity as some devices write it: three FIT files one after another,
// the later ones with their own local message types. `part2Ends` receives
// the offsets after part 2's records.
std::string ChainedFit(std::vector<size_t>* part2Ends) {
  std::vector<FitPoint> points;
  for (uint32_t s = 0; s < 30; ++s)
    points.push_back({1000000000u + s, 52.0 + s * 1e-4, -1.0, 100.0, 10.0, 120});
  std::string first = WriteFit(points, {}, false);
  // Part 2: local 0 and 1 redefined (another field order, big-endian) and
  // a lap on local 5 that only this part defines.
  FitBuilder second;
  second.define(0, 20, {{253, 4, 0x86}, {3, 1, 0x02}, {0, 4, 0x85}, {1, 4, 0x85}}, true);
  second.define(1, 20, {{3, 1, 0x02}, {0, 4, 0x85}, {1, 4, 0x85}}, true);
  second.define(5, 19, {{2, 4, 0x86}});
  for (uint32_t s = 30; s < 50; ++s) {
    uint64_t lat = static_cast<uint32_t>(FitSemicircles(52.0 + s * 1e-4));
    uint64_t lon = static_cast<uint32_t>(FitSemicircles(-1.0));
    if (s % 2)
      second.data(1, {130, lat, lon}, static_cast<int>((1000000000u + s) & 0x1F));
    else
      second.data(0, {1000000000u + s, 130, lat, lon});
    part2Ends->push_back(first.size() + second.end());
  }
  second.data(5, {1000000000u + 30});
  // Part 3 ends with a message of local 5, which it never defined.
  FitBuilder third;
  third.define(0, 20, {{253, 4, 0x86}, {0, 4, 0x85}, {1, 4, 0x85}, {3, 1, 0x02}});
  for (uint32_t s = 50; s < 60; ++s)
    third.data(0, {1000000000u + s, static_cast<uint32_t>(FitSemicircles(52.0 + s * 1e-4)),
                   static_cast<uint32_t>(FitSemicircles(-1.0)), 140});
  third.data(5, {});
  return first + second.finish() + third.finish();
}

// Every part of a chained FIT file reaches the log, times running on; a
// part cut short keeps its complete messages; what follows the last part
// and a part's damage are logged once.
TEST_F(DatalogInputTest, ChainedFitFilesAreReadPartAfterPart) {
  std::string dir = DatalogTestDir() + "/chained-log";
  ASSERT_EQ(system(("mkdir -p '" + dir + "'").c_str()), 0);
  ASSERT_EQ(LogOpen(Utf8ToWide(dir).c_str()), 0);
  std::vector<size_t> ends;
  std::string chained = ChainedFit(&ends);
  uint32_t whole = openLog(WriteDatalogFile("chained.fit", chained + "\r\n-- end --"));
  uint32_t cut = openLog(WriteDatalogFile("chained-cut.fit", chained.substr(0, ends[9] + 3)));
  const DataloggerRecord* record = DataloggerGet(whole);
  ASSERT_NE(record, nullptr);
  ASSERT_EQ(record->sampleCount(), 60u);
  EXPECT_NEAR(InputTableMain(whole)->Length, 59.0, 1e-6);
  for (size_t row : {0, 29, 30, 35, 49, 50, 59}) {
    SCOPED_TRACE(row);
    EXPECT_NEAR(record->channels.time[row], static_cast<double>(row), 1e-9);
    EXPECT_NEAR(Cell(*record, "Latitude", row), 52.0 + row * 1e-4, 1e-7);
    EXPECT_EQ(Cell(*record, "Heart Rate", row), row < 30 ? 120 : row < 50 ? 130 : 140);
  }
  EXPECT_EQ(DataloggerGet(cut)->sampleCount(), 40u);
  EXPECT_NEAR(Cell(*DataloggerGet(cut), "Latitude", 39), 52.0039, 1e-7);
  std::string text = ClosedSessionLog();
  auto count = [&](const std::string& needle) { return Occurrences(text, needle); };
  EXPECT_EQ(count("chained.fit': bytes after the FIT data skipped: 11"), 1u);
  EXPECT_EQ(count("chained.fit': FIT data unreadable from message 12 (data message without a definition): "
                  "1 bytes skipped (part 3 of a chained file)"), 1u) << text;
  EXPECT_EQ(count("chained-cut.fit': FIT file cut short"), 1u);
  EXPECT_EQ(count("chained-cut.fit': FIT data ends inside message 14 (data message cut short): 3 bytes "
                  "skipped (part 2 of a chained file)"), 1u) << text;
  EXPECT_EQ(count("checksum"), 0u);
}

} // namespace
