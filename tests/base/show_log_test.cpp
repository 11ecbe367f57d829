#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "base/error.h"
#include "base/log.h"
#include "base_temp_dir.h"
#include "support/scoped_env.h"
#include "support/wait_until.h"

namespace {

class ShowLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A stand-in viewer that records what it was asked to open.
    marker_ = dir_.File("viewer-opened.txt");
    std::string script = dir_.File("viewer.sh");
    std::ofstream(script) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << marker_ << "'\n";
    chmod(script.c_str(), 0700);
    viewer_.Set(script.c_str());
    ASSERT_EQ(LogOpen(dir_.WidePath().c_str()), 0);
  }
  void TearDown() override {
    LogClose();
  }
  ScopedEnv viewer_{"QV_LOG_VIEWER", nullptr};
  std::string Output() const { return ReadWholeFile(dir_.File("QV-LogOutput.txt")); }

  // The viewer runs detached, so its mark may come a little later.
  std::string WaitForViewer() const {
    std::string opened;
    WaitUntil([&] { return !(opened = ReadWholeFile(marker_)).empty(); });
    return opened;
  }

  BaseTempDir dir_;
  std::string marker_;
};

}  // namespace

TEST_F(ShowLogTest, WritesCurrentThenPreviousLogAndOpensIt) {
  LogPrintf(L"from the old session");
  ASSERT_EQ(LogOpen(dir_.WidePath().c_str()), 0);
  LogPrintf(L"from this session");
  std::string current = ReadWholeFile(dir_.File("QV2-log.csv"));
  std::string old = ReadWholeFile(dir_.File("QV2-log-old.csv"));

  EXPECT_EQ(ShowLog(), 0);
  std::string output = Output();
  // ShowLog's own success is not logged, so the current log is unchanged.
  EXPECT_EQ(output, current + old);
  EXPECT_EQ(WaitForViewer(), dir_.File("QV-LogOutput.txt"));
}

TEST_F(ShowLogTest, OutputIsCappedAtOneMillionBytes) {
  std::wstring chunk(4000, L'x');
  for (int i = 0; i < 300; ++i) LogPrintf(L"%d %s", i, chunk.c_str());
  ASSERT_GT(ReadWholeFile(dir_.File("QV2-log.csv")).size(), 1000000u);
  EXPECT_EQ(ShowLog(), 0);
  std::string output = Output();
  EXPECT_EQ(output.size(), 1000000u);
  EXPECT_EQ(output, ReadWholeFile(dir_.File("QV2-log.csv")).substr(0, 1000000));
}

TEST_F(ShowLogTest, AMissingViewerIsNoErrorForTheFile) {
  viewer_.Set("/nonexistent/viewer-program");
  LogPrintf(L"something");
  EXPECT_EQ(ShowLog(), 0);
  EXPECT_NE(Output().find("something"), std::string::npos);
}

TEST_F(ShowLogTest, AnUnwritableOutputIsReported) {
  // A folder in the way of the output file makes it impossible to write.
  ASSERT_EQ(mkdir(dir_.File("QV-LogOutput.txt").c_str(), 0700), 0);
  EXPECT_EQ(ShowLog(), kErrOpen);
  EXPECT_EQ(ErrorGetLast(), kErrOpen);
}
