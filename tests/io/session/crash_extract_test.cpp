#include "io/session/crash_extract.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "app/app.h"
#include "base/identity.h"
#include "base/text.h"
#include "io/files/session.h"
#include "io/net/http_client.h"
#include "io/session/app_test_dir.h"
#include "io/session/recovery.h"
#include "support/loopback_http_server.h"

namespace {

// Runs body in a child process and returns its wait status.
template <typename Body>
int inChild(Body body) {
  pid_t child = fork();
  if (child == 0) {
    body();
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

TEST(CrashExtractTest, AbortWritesTheSignalAndABacktrace) {
  AppTestDir dir;
  std::string folder = dir.path() + "/";
  int status = inChild([&] {
    CrashExtractInstall(Utf8ToWide(folder));
    abort();
  });
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT) << "the signal keeps its course";
  std::string extract = ReadWholeFile(folder + "QV-Crash.log");
  EXPECT_EQ(extract.rfind("Fatal signal 6 (ABRT) in process ", 0), 0u) << extract;
  EXPECT_NE(extract.find("Backtrace:\n"), std::string::npos);
}

TEST(CrashExtractTest, SentSegvIsRecordedAndStillEndsTheProcess) {
  AppTestDir dir;
  std::string folder = dir.path() + "/";
  int status = inChild([&] {
    CrashExtractInstall(Utf8ToWide(folder));
    raise(SIGSEGV);
  });
  EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_NE(ReadWholeFile(folder + "QV-Crash.log").find("Fatal signal 11 (SEGV)"), std::string::npos);
}

TEST(CrashExtractTest, RemovedHandlerWritesNothing) {
  AppTestDir dir;
  std::string folder = dir.path() + "/";
  inChild([&] {
    CrashExtractInstall(Utf8ToWide(folder));
    CrashExtractRemove();
    signal(SIGABRT, SIG_DFL);
    abort();
  });
  EXPECT_NE(access((folder + "QV-Crash.log").c_str(), F_OK), 0);
}

TEST(CrashExtractTest, CrashedSessionIsRecoveredAndReportedWithItsExtract) {
  AppTestDir dir;
  AppInitIdentity();
  int status = inChild([] {
    if (AppInit(0) != 1) _exit(3);
    std::string snapshot = WideToUtf8(RecoverySnapshotFile(SessionGetId()));
    WriteTextFile(snapshot, "QVP2 snapshot");
    abort();
  });
  ASSERT_TRUE(WIFSIGNALED(status)) << "child ended with " << status;
  LoopbackHttpServer server(200, "ok");
  ASSERT_EQ(AppInit(0), 1);
  NetSetServerBase(server.baseUrl().c_str());
  EXPECT_EQ(RecoveryStatus(), 1000);
  EXPECT_EQ(RecoverySubmitReport(1, L"it just stopped"), 0);
  AppEnd();
  NetSetServerBase(L"");
  auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  std::string log = FormField(RequestBody(requests[0]), "log");
  EXPECT_NE(log.find("QV-Crash.log:\nFatal signal 6 (ABRT)"), std::string::npos) << log;
  EXPECT_NE(log.find("[App Init] Complete"), std::string::npos);
}

} // namespace
