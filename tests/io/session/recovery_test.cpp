#include "io/session/recovery.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/app.h"
#include "base/error.h"
#include "base/identity.h"
#include "base/text.h"
#include "io/files/session.h"
#include "io/net/http_client.h"
#include "io/session/app_test_dir.h"
#include "platform/system/folders.h"
#include "support/loopback_http_server.h"

namespace {

constexpr const char* kPreviousId = "00000000DEADBEEF";

// A child process of this same program: alive until killed, or already gone.
class ChildProcess {
public:
  explicit ChildProcess(bool keepRunning) {
    pid_ = fork();
    if (pid_ == 0) {
      if (keepRunning) {
        for (;;) pause();
      }
      _exit(0);
    }
    if (!keepRunning && pid_ > 0) {
      waitpid(pid_, nullptr, 0);
    }
  }
  ~ChildProcess() {
    if (pid_ > 0 && kill(pid_, SIGKILL) == 0) waitpid(pid_, nullptr, 0);
  }
  pid_t pid() const { return pid_; }

private:
  pid_t pid_;
};

class RecoveryTest : public ::testing::Test {
protected:
  void SetUp() override {
    AppInitIdentity();
    wchar_t folder[1024];
    ASSERT_GT(GetTempFolder(1024, folder), 0u);
  }
  void TearDown() override {
    AppEnd();
    NetSetServerBase(L"");
  }

  // The log a session leaves when it dies: header, work, no end line.
  void writePreviousLog(int pid, const std::string& extraLines = "", bool clean = false) {
    std::string log = "2026-12-07 04:00:00,\"[App Init] Quelvatron 2.9.6b (Build 20140204)\"\n"
                      "2026-12-07 04:00:00,\"Session ID: " + std::string(kPreviousId) + "\"\n"
                      "2026-12-07 04:00:00,\"Process ID: " + std::to_string(pid) + "\"\n"
                      "2026-12-07 04:00:01,\"Rendering frame 42 before the crash\"\n" + extraLines;
    if (clean) log += "2026-12-07 04:00:02,\"[App End] Complete\"\n";
    WriteTextFile(dir.privateFile("QV2-log.csv"), log);
  }
  std::string snapshotFile() const { return dir.privateFile("QV-Recover-" + std::string(kPreviousId) + ".qvp"); }
  void writeSnapshot() { WriteTextFile(snapshotFile(), "QVP2 snapshot"); }
  bool exists(const std::string& path) const { return access(path.c_str(), F_OK) == 0; }

  AppTestDir dir;
};

TEST_F(RecoveryTest, UncleanSessionWithSnapshotIsRecoverable) {
  ChildProcess gone(false);
  writePreviousLog(gone.pid());
  writeSnapshot();
  ASSERT_EQ(AppInit(0), 1);
  EXPECT_EQ(RecoveryStatus(), 1000);
  EXPECT_EQ(ErrorGetLast(), 1000);
  EXPECT_EQ(WideToUtf8(RecoverySnapshotPath()), snapshotFile());
  EXPECT_EQ(WideToUtf8(RecoverySnapshotFile(0xDEADBEEFull)), snapshotFile());
  AppEnd();
  std::string log = ReadWholeFile(dir.privateFile("QV2-log.csv"));
  EXPECT_NE(log.find("Previous session appears to have crashed and is recoverable."), std::string::npos) << log;
  EXPECT_NE(log.find("[Code] 1000 'RecoveryStatus'"), std::string::npos);
  // Declined or recovered, the dead session's snapshot has no further use.
  EXPECT_FALSE(exists(snapshotFile()));
}

// The folder's lock, not the process id in the log, tells whether the
// session's process is gone: an id given to another copy of this program
// since (a live process of the same name) does not keep the work back.
TEST_F(RecoveryTest, AReusedProcessIdDoesNotHideACrash) {
  ChildProcess running(true);
  ASSERT_GT(running.pid(), 0);
  writePreviousLog(running.pid());
  writeSnapshot();
  ASSERT_EQ(AppInit(0), 1);
  EXPECT_EQ(RecoveryStatus(), 1000);
}

TEST_F(RecoveryTest, CleanEndIsNotRecoverable) {
  ASSERT_EQ(AppInit(0), 1);
  uint64_t first = SessionGetId();
  AppEnd();
  WriteTextFile(WideToUtf8(RecoverySnapshotFile(first)), "QVP2 snapshot");
  ASSERT_EQ(AppInit(0), 1);
  EXPECT_EQ(RecoveryStatus(), 0);
  EXPECT_TRUE(RecoverySnapshotPath().empty());
}

TEST_F(RecoveryTest, CleanEndLineInAWrittenLogCounts) {
  writePreviousLog(1, "", true);
  writeSnapshot();
  ASSERT_EQ(AppInit(0), 1);
  EXPECT_EQ(RecoveryStatus(), 0);
}

TEST_F(RecoveryTest, UncleanSessionWithoutSnapshotIsNotRecoverable) {
  ChildProcess gone(false);
  writePreviousLog(gone.pid());
  ASSERT_EQ(AppInit(0), 1);
  EXPECT_EQ(RecoveryStatus(), 0);
}

TEST_F(RecoveryTest, NoPreviousLogIsNotRecoverable) {
  ASSERT_EQ(AppInit(0), 1);
  EXPECT_EQ(RecoveryStatus(), 0);
  EXPECT_EQ(RecoverySubmitReport(1, L"nothing"), 0);
}

TEST_F(RecoveryTest, GarbledPreviousLogIsNotRecoverable) {
  std::string junk;
  for (int i = 0; i < 200000; ++i) junk.push_back(static_cast<char>((i * 7919) % 251 + 1));
  WriteTextFile(dir.privateFile("QV2-log.csv"), junk);
  ASSERT_EQ(AppInit(0), 1);
  EXPECT_EQ(RecoveryStatus(), 0);
}

class CrashReportTest : public RecoveryTest {
protected:
  // Starts the engine over a crashed previous session and a report server.
  void startCrashed(const std::string& extraLines = "") {
    writePreviousLog(gone.pid(), extraLines);
    writeSnapshot();
    ASSERT_EQ(AppInit(0), 1);
    ASSERT_EQ(RecoveryStatus(), 1000);
    ASSERT_TRUE(server.listening());
    NetSetServerBase(server.baseUrl().c_str());
  }
  std::string onlyRequest() {
    auto requests = server.requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? std::string() : requests[0];
  }
  ChildProcess gone{false};
  LoopbackHttpServer server{200, "Thank you"};
};

TEST_F(CrashReportTest, ReportReachesTheServerUrlEncoded) {
  startCrashed();
  EXPECT_EQ(RecoverySubmitReport(1, L"Rendering a lap & saving = 100% \u00e9"), 0);
  std::string request = onlyRequest();
  EXPECT_EQ(request.rfind("POST /BugMail.php HTTP/1.0\r\n", 0), 0u) << request;
  EXPECT_NE(request.find("application/x-www-form-urlencoded"), std::string::npos);
  std::string body = RequestBody(request);
  EXPECT_EQ(body.find(' '), std::string::npos) << "body is not encoded";
  EXPECT_EQ(FormField(body, "desc"), "User Desc: Rendering a lap & saving = 100% \xC3\xA9");
  std::string log = FormField(body, "log");
  EXPECT_NE(log.find("Rendering frame 42 before the crash"), std::string::npos) << log;
  EXPECT_NE(log.find(std::string("Session ID: ") + kPreviousId), std::string::npos);
  EXPECT_EQ(FormField(body, "build"), "20140204");
}

TEST_F(CrashReportTest, NullDescriptionIsSentAsNull) {
  startCrashed();
  EXPECT_EQ(RecoverySubmitReport(1, nullptr), 0);
  EXPECT_EQ(FormField(RequestBody(onlyRequest()), "desc"), "User Desc: (null)");
}

TEST_F(CrashReportTest, ReportIsSentOnceAndThenFreed) {
  startCrashed();
  EXPECT_EQ(RecoverySubmitReport(1, L"first"), 0);
  EXPECT_EQ(RecoverySubmitReport(1, L"second"), 0);
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(CrashReportTest, NotSendingDiscardsTheReport) {
  startCrashed();
  EXPECT_EQ(RecoverySubmitReport(0, L"ignored"), 0);
  EXPECT_EQ(RecoverySubmitReport(1, L"too late"), 0);
  EXPECT_TRUE(server.requests().empty());
  EXPECT_EQ(RecoveryStatus(), 1000) << "declining the report keeps the recovery";
}

TEST_F(CrashReportTest, ServerDownGivesTheClientsCode) {
  startCrashed();
  int port = LoopbackHttpServer::UnusedPort();
  std::string base = "http://127.0.0.1:" + std::to_string(port) + "/";
  NetSetServerBase(std::wstring(base.begin(), base.end()).c_str());
  int code = RecoverySubmitReport(1, L"down");
  EXPECT_LT(code, 0);
  EXPECT_EQ(ErrorGetLast(), code);
  NetSetServerBase(server.baseUrl().c_str());
  EXPECT_EQ(RecoverySubmitReport(1, L"again"), 0);
  EXPECT_TRUE(server.requests().empty()) << "the report was freed after the failure";
}

TEST_F(CrashReportTest, ServerErrorStatusIsAFailure) {
  startCrashed();
  LoopbackHttpServer failing(500, "broken");
  NetSetServerBase(failing.baseUrl().c_str());
  EXPECT_EQ(RecoverySubmitReport(1, L"500"), kErrNetwork);
  EXPECT_EQ(failing.requests().size(), 1u);
}

TEST_F(CrashReportTest, ServerOffGivesANegativeCode) {
  startCrashed();
  NetSetServerBase(L"");
  EXPECT_LT(RecoverySubmitReport(1, L"off"), 0);
}

TEST_F(CrashReportTest, CrashExtractIsAddedAndConsumed) {
  WriteTextFile(dir.privateFile("QV-Crash.log"), "Fatal signal 11 in RenderThread\n");
  startCrashed();
  EXPECT_FALSE(exists(dir.privateFile("QV-Crash.log")));
  EXPECT_EQ(RecoverySubmitReport(1, L"crash"), 0);
  std::string log = FormField(RequestBody(onlyRequest()), "log");
  EXPECT_NE(log.find("QV-Crash.log:\nFatal signal 11 in RenderThread"), std::string::npos) << log;
}

TEST_F(CrashReportTest, ReportKeepsTheLast20000Lines) {
  std::string filler;
  for (int i = 0; i < 25000; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "2026-12-07 04:00:03,\"filler %05d\"\n", i);
    filler += line;
  }
  startCrashed(filler);
  EXPECT_EQ(RecoverySubmitReport(1, L"long"), 0);
  std::string log = FormField(RequestBody(onlyRequest()), "log");
  EXPECT_EQ(log.find("filler 04999"), std::string::npos);
  EXPECT_NE(log.find("filler 05000"), std::string::npos);
  EXPECT_NE(log.find("filler 24999"), std::string::npos);
}

} // namespace
