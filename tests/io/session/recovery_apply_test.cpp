#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "app/app.h"
#include "base/error.h"
#include "base/identity.h"
#include "base/text.h"
#include "io/files/session.h"
#include "model/project.h"
#include "io/session/app_test_dir.h"
#include "io/session/recovery.h"

namespace {

class RecoveryApplyTest : public ::testing::Test {
protected:
  void SetUp() override { AppInitIdentity(); }
  void TearDown() override { AppEnd(); }

  // A previous session that changed its project (and then found junk in
  // its recovery snapshot's place) and died.
  void crashAfterChange(bool junkSnapshot) {
    pid_t child = fork();
    if (child == 0) {
      if (AppInit(0) != 1) _exit(3);
      ProjectSetUserText(u"changed");
      if (junkSnapshot) WriteTextFile(WideToUtf8(RecoverySnapshotFile(SessionGetId())), "not a project at all");
      abort();
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "child ended with " << status;
  }
  AppTestDir dir;
};

TEST_F(RecoveryApplyTest, NothingToRecoverGivesMinusOne) {
  ASSERT_EQ(AppInit(0), 1);
  EXPECT_EQ(RecoveryApply(), -1);
  EXPECT_EQ(ErrorGetLast(), -1);
  AppEnd();
  EXPECT_NE(ReadWholeFile(dir.privateFile("QV2-log.csv")).find("Recovering previous session..."), std::string::npos);
}

TEST_F(RecoveryApplyTest, CrashedSessionsSnapshotIsReopened) {
  crashAfterChange(false);
  ASSERT_EQ(AppInit(0), 1);
  ASSERT_EQ(RecoveryStatus(), 1000);
  EXPECT_EQ(RecoveryApply(), 0);
}

TEST_F(RecoveryApplyTest, DamagedSnapshotFailsWithTheOpenersCode) {
  crashAfterChange(true);
  ASSERT_EQ(AppInit(0), 1);
  ASSERT_EQ(RecoveryStatus(), 1000);
  int code = RecoveryApply();
  EXPECT_LT(code, 0);
  EXPECT_EQ(ErrorGetLast(), code);
}

} // namespace
