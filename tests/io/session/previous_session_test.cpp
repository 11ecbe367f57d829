#include "io/session/previous_session.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "io/session/app_test_dir.h"

namespace {

class PreviousSessionTest : public ::testing::Test {
protected:
  std::string write(const std::string& text) {
    std::string path = dir.path() + "/QV2-log.csv";
    WriteTextFile(path, text);
    return path;
  }
  AppTestDir dir;
};

TEST_F(PreviousSessionTest, HeaderAndEndLineAreFound) {
  PreviousSessionLog log = ReadPreviousSessionLog(
      write("t,\"[App Init] Quelvatron\"\nt,\"Session ID: 0123456789ABCDEF\"\nt,\"Process ID: 4242\"\n"
            "t,\"[App End]\"\nt,\"[App End] Complete\"\n"),
      kReportMaxLines);
  EXPECT_TRUE(log.found);
  EXPECT_TRUE(log.hasSessionId);
  EXPECT_EQ(log.sessionId, 0x0123456789ABCDEFull);
  EXPECT_EQ(log.processId, 4242);
  EXPECT_TRUE(log.endedCleanly);
  EXPECT_EQ(log.lines.size(), 5u);
}

TEST_F(PreviousSessionTest, MissingFileIsNotFound) {
  PreviousSessionLog log = ReadPreviousSessionLog(dir.path() + "/none.csv", kReportMaxLines);
  EXPECT_FALSE(log.found);
  EXPECT_FALSE(log.hasSessionId);
}

TEST_F(PreviousSessionTest, LinkedLogIsRefused) {
  std::string target = write("t,\"Session ID: 00000000000000AA\"\n");
  std::string link = dir.path() + "/linked.csv";
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  EXPECT_FALSE(ReadPreviousSessionLog(link, kReportMaxLines).found);
}

TEST_F(PreviousSessionTest, TruncatedHeaderGivesNoSession) {
  PreviousSessionLog log = ReadPreviousSessionLog(write("t,\"Session ID: "), kReportMaxLines);
  EXPECT_TRUE(log.found);
  EXPECT_FALSE(log.hasSessionId);
  log = ReadPreviousSessionLog(write("t,\"Process ID: 99999999999999999999\"\n"), kReportMaxLines);
  EXPECT_EQ(log.processId, 0);
  log = ReadPreviousSessionLog(write("t,\"Process ID: -5\"\n"), kReportMaxLines);
  EXPECT_EQ(log.processId, 0);
}

// The question still open when the log ends names the snapshot asked
// about; an answer closes it, and a message merely quoting the line does not
// open one.
TEST_F(PreviousSessionTest, AnOpenRecoveryQuestionIsFound) {
  const std::string asking = "t,\"Recovery question open for session 00000000000000AA\"\n";
  PreviousSessionLog log = ReadPreviousSessionLog(write(asking), kReportMaxLines);
  EXPECT_TRUE(log.hasPendingRecovery);
  EXPECT_EQ(log.pendingRecoveryId, 0xAAu);
  log = ReadPreviousSessionLog(write(asking + "t,\"Recovery question answered\"\n"), kReportMaxLines);
  EXPECT_FALSE(log.hasPendingRecovery);
  log = ReadPreviousSessionLog(write("t,\"Opening 'x,\"\"Recovery question open for session 00000000000000BB'\"\n"),
                               kReportMaxLines);
  EXPECT_FALSE(log.hasPendingRecovery);
}

TEST_F(PreviousSessionTest, OnlyTheFirstHeaderCounts) {
  PreviousSessionLog log = ReadPreviousSessionLog(
      write("t,\"Session ID: 00000000000000AA\"\nt,\"Session ID: 00000000000000BB\"\n"), kReportMaxLines);
  EXPECT_EQ(log.sessionId, 0xAAu);
}

TEST_F(PreviousSessionTest, KeepsOnlyTheLastLines) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line " + std::to_string(i) + "\n";
  PreviousSessionLog log = ReadPreviousSessionLog(write(text), 10);
  ASSERT_EQ(log.lines.size(), 10u);
  EXPECT_EQ(log.lines.front(), "line 90");
  EXPECT_EQ(log.lines.back(), "line 99");
}

TEST_F(PreviousSessionTest, HugeLineAndRandomBytesAreBounded) {
  std::string text(3u << 20, 'x'); // one line of 3 MB without an end
  text += "\nt,\"Session ID: 00000000000000CC\"\n";
  for (int i = 0; i < 100000; ++i) text.push_back(static_cast<char>((i * 2654435761u) >> 24));
  PreviousSessionLog log = ReadPreviousSessionLog(write(text), kReportMaxLines);
  EXPECT_TRUE(log.hasSessionId);
  EXPECT_EQ(log.sessionId, 0xCCu);
  size_t bytes = 0;
  for (const std::string& line : log.lines) bytes += line.size();
  EXPECT_LE(bytes, 9u << 20);
  EXPECT_LE(log.lines.front().size(), 16384u);
}

TEST_F(PreviousSessionTest, ProcessCheckKnowsOurselvesTheDeadAndTheLiving) {
  EXPECT_FALSE(ProcessIsThisProgram(getpid())) << "a new start is not the previous session";
  EXPECT_FALSE(ProcessIsThisProgram(0));
  EXPECT_FALSE(ProcessIsThisProgram(-1));
  pid_t child = fork();
  if (child == 0) {
    for (;;) pause();
  }
  ASSERT_GT(child, 0);
  EXPECT_TRUE(ProcessIsThisProgram(child));
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_FALSE(ProcessIsThisProgram(child));
  EXPECT_FALSE(ProcessIsThisProgram(1)) << "init is another program";
}

TEST_F(PreviousSessionTest, LastLinesOfACrashExtract) {
  std::string path = dir.path() + "/QV-Crash.log";
  WriteTextFile(path, "a\nb\nc");
  auto lines = ReadLastLines(path, 2);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "b");
  EXPECT_EQ(lines[1], "c");
  EXPECT_TRUE(ReadLastLines(dir.path() + "/missing", 2).empty());
}

} // namespace
