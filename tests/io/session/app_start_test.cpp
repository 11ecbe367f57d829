#include "app/app.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "base/error.h"
#include "base/identity.h"
#include "base/sync.h"
#include "base/text.h"
#include "io/files/session.h"
#include "io/session/app_test_dir.h"

namespace {

std::string hexId(uint64_t id) { return WideToUtf8(SessionIdText(id)); }

class AppStartTest : public ::testing::Test {
protected:
  void SetUp() override { AppInitIdentity(); }
  void TearDown() override { AppEnd(); }
  AppTestDir dir;
};

TEST_F(AppStartTest, NonZeroApiModeFails) {
  EXPECT_EQ(AppInit(1), -1);
  EXPECT_EQ(ErrorGetLast(), -1);
  EXPECT_EQ(AppInit(-3), -1);
  EXPECT_EQ(SyncThreadRunningCount(), 0u);
  EXPECT_EQ(AppEnd(), 0);
}

TEST_F(AppStartTest, StartsAndEndsTwiceLeavingNothingBehind) {
  ASSERT_EQ(AppInit(0), 1);
  EXPECT_EQ(ErrorGetLast(), 0);
  EXPECT_EQ(AppEnd(), 0);
  ASSERT_EQ(AppInit(0), 1);
  EXPECT_EQ(AppEnd(), 0);
  EXPECT_EQ(SyncHandleCount(), 0u);
  EXPECT_EQ(SyncThreadRunningCount(), 0u);
}

TEST_F(AppStartTest, SecondStartRotatesTheFirstSessionsLog) {
  ASSERT_EQ(AppInit(0), 1);
  uint64_t first = SessionGetId();
  AppEnd();
  ASSERT_EQ(AppInit(0), 1);
  uint64_t second = SessionGetId();
  AppEnd();
  ASSERT_NE(first, second);
  std::string oldLog = ReadWholeFile(dir.privateFile("QV2-log-old.csv"));
  std::string newLog = ReadWholeFile(dir.privateFile("QV2-log.csv"));
  EXPECT_NE(oldLog.find("Session ID: " + hexId(first)), std::string::npos) << oldLog;
  EXPECT_NE(oldLog.find("[App End] Complete"), std::string::npos);
  EXPECT_EQ(oldLog.find(hexId(second)), std::string::npos);
  EXPECT_NE(newLog.find("Session ID: " + hexId(second)), std::string::npos) << newLog;
  EXPECT_EQ(newLog.find(hexId(first) + "\""), std::string::npos);
}

TEST_F(AppStartTest, LogsEveryStepInOrder) {
  ASSERT_EQ(AppInit(0), 1);
  AppEnd();
  std::string log = ReadWholeFile(dir.privateFile("QV2-log.csv"));
  const std::string steps[] = {
      "[App Init] Quelvatron 2.9.6b (Build 20140204)",
      "Session ID: ",
      "Process ID: " + std::to_string(getpid()) + "\"",
      "Linux version ",
      "CPU Count: ",
      "Previous session",
      "Access locks...",
      "Display object buffers...",
      "Network client...",
      "Colour conversion...",
      "Media handlers...",
      "Previews...",
      "Render workers...",
      "Undo files...",
      "Empty project...",
      "[App Init] Complete",
      "[App End]",
      "Render...",
      "Preview...",
      "Timeline view...",
      "Project and undo...",
      "Media handlers...",
      "Colour conversion...",
      "Network...",
      "Display objects...",
      "Locks...",
      "[App End] Complete",
  };
  size_t at = 0;
  for (const std::string& step : steps) {
    size_t found = log.find(step, at);
    ASSERT_NE(found, std::string::npos) << "missing after offset " << at << ": " << step << "\n" << log;
    at = found + step.size();
  }
  EXPECT_EQ(log.find("\"", log.find("[App End] Complete") + 20), std::string::npos) << "marker is not last";
}

TEST_F(AppStartTest, SecondStartWithoutEndIsRefused) {
  ASSERT_EQ(AppInit(0), 1);
  EXPECT_EQ(AppInit(0), -1);
  EXPECT_EQ(AppEnd(), 0);
  EXPECT_EQ(SyncHandleCount(), 0u);
  ASSERT_EQ(AppInit(0), 1);
}

TEST_F(AppStartTest, SnapshotsAreNamedAfterTheSessionInThePrivateFolder) {
  ASSERT_EQ(AppInit(0), 1);
  EXPECT_EQ(WideToUtf8(UndoSnapshotPath(0x00AB12CD34EF5678ull, 0)),
            dir.privateFile("QV-Undo-00AB12CD34EF5678.qvp"));
  EXPECT_EQ(WideToUtf8(UndoSnapshotPath(1, 1)), dir.privateFile("QV-Redo-0000000000000001.qvp"));
  EXPECT_EQ(WideToUtf8(SessionTempFolder()), dir.privateFolder() + "/");
}

TEST_F(AppStartTest, EndWithoutStartDoesNothing) {
  EXPECT_EQ(AppEnd(), 0);
  EXPECT_EQ(SyncHandleCount(), 0u);
}

} // namespace
