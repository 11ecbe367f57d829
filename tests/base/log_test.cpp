#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "base/log.h"
#include "base/text.h"
#include "base_temp_dir.h"

namespace {

std::vector<std::string> Lines(const std::string& data) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < data.size()) {
    size_t end = data.find('\n', start);
    if (end == std::string::npos) end = data.size();
    lines.push_back(data.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

bool IsDigits(const std::string& text, size_t from, size_t count) {
  for (size_t i = from; i < from + count; ++i) {
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

// "YYYY-MM-DD hh:mm:ss"
bool IsDateTime(const std::string& text) {
  return text.size() == 19 && IsDigits(text, 0, 4) && text[4] == '-' && IsDigits(text, 5, 2) &&
         text[7] == '-' && IsDigits(text, 8, 2) && text[10] == ' ' && IsDigits(text, 11, 2) &&
         text[13] == ':' && IsDigits(text, 14, 2) && text[16] == ':' && IsDigits(text, 17, 2);
}

// The quoted message of one log line, with doubled quotes undone.
std::string MessageOf(const std::string& line) {
  const std::string bad = "<bad line: " + line + ">";
  if (line.size() < 22 || !IsDateTime(line.substr(0, 19)) || line.compare(19, 2, ",\"") != 0 ||
      line.back() != '"') {
    return bad;
  }
  std::string quoted = line.substr(21, line.size() - 22);
  std::string message;
  for (size_t i = 0; i < quoted.size(); ++i) {
    message.push_back(quoted[i]);
    if (quoted[i] == '"') {
      if (i + 1 >= quoted.size() || quoted[i + 1] != '"') return bad;
      ++i;
    }
  }
  return message;
}

// "thread T line N payload" into T and N.
bool ParseThreadLine(const std::string& text, int& thread, int& line) {
  return std::sscanf(text.c_str(), "thread %d line %d payload", &thread, &line) == 2 &&
         text == "thread " + std::to_string(thread) + " line " + std::to_string(line) + " payload";
}

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(LogOpen(dir_.WidePath().c_str()), 0); }
  void TearDown() override { LogClose(); }
  std::string Current() const { return ReadWholeFile(dir_.File("QV2-log.csv")); }
  std::string Old() const { return ReadWholeFile(dir_.File("QV2-log-old.csv")); }

  BaseTempDir dir_;
};

}  // namespace

TEST_F(LogTest, OneLineOfDateTimeAndQuotedMessage) {
  LogPrintf(L"Memory: %.01f GB, name %s, path %S", 15.96, L"wide", "/tmp/\xc3\xa9");
  std::vector<std::string> lines = Lines(Current());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(MessageOf(lines[0]), "Memory: 16.0 GB, name wide, path /tmp/\xc3\xa9");
}

TEST_F(LogTest, EmbeddedQuotesAreDoubled) {
  LogPrintf(L"Import Template '%s' said \"%S\"", L"t\"1", "hi");
  std::string data = Current();
  EXPECT_NE(data.find(R"(,"Import Template 't""1' said ""hi""")"), std::string::npos) << data;
  EXPECT_EQ(MessageOf(Lines(data)[0]), "Import Template 't\"1' said \"hi\"");
}

TEST_F(LogTest, LineBreaksAreWrittenEscapedSoEachMessageIsOneLine) {
  LogPrintf(L"reply: %S", "HTTP/1.0 400 Bad\r\nServer: x\n\nbody \"quoted\"");
  LogPrintf(L"next");
  std::vector<std::string> lines = Lines(Current());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(MessageOf(lines[0]), "reply: HTTP/1.0 400 Bad\\r\\nServer: x\\n\\nbody \"quoted\"");
  EXPECT_EQ(MessageOf(lines[1]), "next");
}

TEST_F(LogTest, EachLineIsOnDiskAtOnce) {
  for (int i = 0; i < 3; ++i) {
    LogPrintf(L"line %d", i);
    std::vector<std::string> lines = Lines(Current());
    ASSERT_EQ(lines.size(), static_cast<size_t>(i + 1));
    EXPECT_EQ(MessageOf(lines.back()), "line " + std::to_string(i));
  }
}

TEST_F(LogTest, MessagesAreCutAt4095Characters) {
  std::wstring longText(6000, L'm');
  LogPrintf(L"%s", longText.c_str());
  EXPECT_EQ(MessageOf(Lines(Current())[0]), std::string(kFormatMaxChars, 'm'));
}

TEST_F(LogTest, DebugMessagesAreDropped) {
  LogDebug(L"debug %d %s", 5, L"x");
  LogPrintf(L"kept");
  std::vector<std::string> lines = Lines(Current());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(MessageOf(lines[0]), "kept");
}

TEST_F(LogTest, RotationAcrossTwoStarts) {
  LogPrintf(L"first session");
  ASSERT_EQ(LogOpen(dir_.WidePath().c_str()), 0);
  LogPrintf(L"second session");
  EXPECT_NE(Old().find("first session"), std::string::npos);
  EXPECT_EQ(Old().find("second session"), std::string::npos);
  EXPECT_NE(Current().find("second session"), std::string::npos);
  EXPECT_EQ(Current().find("first session"), std::string::npos);

  ASSERT_EQ(LogOpen(dir_.WidePath().c_str()), 0);
  EXPECT_EQ(Old().find("first session"), std::string::npos);
  EXPECT_NE(Old().find("second session"), std::string::npos);
  EXPECT_EQ(Current(), "");
}

TEST_F(LogTest, WithoutACurrentLogNoStaleOldLogIsKept) {
  LogPrintf(L"long ago");
  ASSERT_EQ(LogOpen(dir_.WidePath().c_str()), 0);
  ASSERT_NE(Old().find("long ago"), std::string::npos);
  LogClose();
  std::filesystem::remove(dir_.File("QV2-log.csv"));
  ASSERT_EQ(LogOpen(dir_.WidePath().c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("QV2-log-old.csv")));
}

TEST_F(LogTest, PathsNameTheFilesInTheFolder) {
  EXPECT_EQ(std::wstring(LogGetPath()), dir_.WidePath() + L"/QV2-log.csv");
  EXPECT_EQ(std::wstring(LogGetOldPath()), dir_.WidePath() + L"/QV2-log-old.csv");
  EXPECT_EQ(std::wstring(LogGetOutputPath()), dir_.WidePath() + L"/QV-LogOutput.txt");
}

TEST_F(LogTest, NewLogIsPrivateToTheUser) {
  struct stat info {};
  ASSERT_EQ(stat(dir_.File("QV2-log.csv").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 077, 0u);
}

TEST_F(LogTest, PlantedLinkNeverRedirectsTheLog) {
  BaseTempDir elsewhere;
  std::string victim = elsewhere.File("victim.txt");
  std::ofstream(victim) << "keep me";
  LogClose();
  std::filesystem::remove(dir_.File("QV2-log.csv"));
  std::filesystem::create_symlink(victim, dir_.File("QV2-log.csv"));
  ASSERT_EQ(LogOpen(dir_.WidePath().c_str()), 0);
  LogPrintf(L"secret");
  EXPECT_EQ(ReadWholeFile(victim), "keep me");
  EXPECT_FALSE(std::filesystem::is_symlink(dir_.File("QV2-log.csv")));
  EXPECT_NE(Current().find("secret"), std::string::npos);
}

TEST_F(LogTest, ConcurrentWritersNeverInterleaveLines) {
  constexpr int kThreads = 8;
  constexpr int kLinesEach = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kLinesEach; ++i) LogPrintf(L"thread %d line %d %s", t, i, L"payload");
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::vector<std::string> lines = Lines(Current());
  ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kLinesEach));
  std::vector<int> nextLine(kThreads, 0);
  for (const std::string& line : lines) {
    int thread = -1;
    int number = -1;
    ASSERT_TRUE(ParseThreadLine(MessageOf(line), thread, number)) << line;
    ASSERT_TRUE(thread >= 0 && thread < kThreads) << line;
    EXPECT_EQ(number, nextLine[thread]++);
  }
}

TEST(LogOpenTest, RefusesMissingFolders) {
  EXPECT_EQ(LogOpen(nullptr), -80);
  EXPECT_EQ(LogOpen(L""), -80);
  EXPECT_EQ(LogOpen(L"/nonexistent-folder-for-qv-tests/sub"), -80);
  LogClose();
}

TEST(LogOpenTest, WithoutAnOpenLogLinesGoToStandardError) {
  LogClose();
  ::testing::internal::CaptureStderr();
  LogPrintf(L"early %S", "message");
  std::string captured = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(MessageOf(Lines(captured).at(0)), "early message");
}
