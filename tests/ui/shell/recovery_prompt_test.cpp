#include <QCheckBox>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/app.h"
#include "base/identity.h"
#include "base/text.h"
#include "io/files/project_files.h"
#include "io/files/session.h"
#include "model/inputs.h"
#include "model/project.h"
#include "io/net/http_client.h"
#include "support/loopback_http_server.h"
#include "support/media_fixtures.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcRecovery.h"
#include "ui/shell/wcSplash.h"
#include "ui/support/shell_fixture.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr uint64_t kPreviousSession = 0xDEADBEEFull;

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A process that is gone, or one that is still there (after its set-up,
// whose result ready() tells).
class PreviousProcess {
public:
  explicit PreviousProcess(bool running, bool (*setUp)() = nullptr) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      const char result = setUp == nullptr || setUp() ? 'y' : 'n';
      if (write(pipeEnds[1], &result, 1) != 1) _exit(1);
      if (running) {
        for (;;) pause();
      }
      _exit(0);
    }
    char result = 0;
    ready_ = pid_ > 0 && read(pipeEnds[0], &result, 1) == 1 && result == 'y';
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    if (!running) waitpid(pid_, nullptr, 0);
  }
  ~PreviousProcess() {
    if (pid_ > 0 && kill(pid_, SIGKILL) == 0) waitpid(pid_, nullptr, 0);
  }
  pid_t pid() const { return pid_; }
  bool ready() const { return ready_; }

private:
  pid_t pid_ = -1;
  bool ready_ = false;
};

} // namespace

class RecoveryPromptTest : public ShellTest {
protected:
  // The log and undo snapshot a session leaves when it dies mid-edit.
  void leavePreviousSession(pid_t pid) {
    AppInitIdentity();
    ASSERT_EQ(AppInit(0), 1);
    ProjectSetUserText(u"Before the crash");
    std::wstring snapshot = RecoverySnapshotFile(kPreviousSession);
    ASSERT_EQ(ProjectSave(snapshot.c_str()), 0);
    AppEnd();
    std::string folder = WideToUtf8(SessionTempFolder());
    std::ofstream log(folder + "QV2-log.csv", std::ios::trunc);
    log << "2026-12-07 04:00:00,\"[App Init] Quelvatron 2.9.6b (Build 20140204)\"\n"
        << "2026-12-07 04:00:00,\"Session ID: " << WideToUtf8(SessionIdText(kPreviousSession)) << "\"\n"
        << "2026-12-07 04:00:00,\"Process ID: " << pid << "\"\n"
        << "2026-12-07 04:00:01,\"Rendering frame 42\"\n";
  }
  // The user's part: optionally ticks the report box, then Yes or No.
  void answerPrompt(bool report, bool recover) {
    onModal = [this, report, recover](WindowController* controller) {
      auto* prompt = qobject_cast<wcRecovery*>(controller);
      if (prompt == nullptr) return 0; // the start-up menu that follows
      prompt->showWindow();
      EXPECT_TRUE(SpinUntil([prompt]() { return !prompt->FreshWindow(); }));
      reportBoxShown = !prompt->SubmitReportCheck->isHidden();
      const QWidget* splash = app->windows().wndSplash()->windowIfLoaded();
      splashShown = splash != nullptr && splash->isVisible();
      menuEnabled = app->windows().wndMain()->mainWindow()->menuBar()->isEnabled();
      if (report) prompt->SubmitReportCheck->click();
      (recover ? prompt->YesButton : prompt->NoButton)->click();
      return 0;
    };
  }
  LoopbackHttpServer server{200, "Thank you"};
  bool reportBoxShown = false;
  bool splashShown = true;
  bool menuEnabled = true;
};

TEST_F(RecoveryPromptTest, ACrashedSessionIsRecoveredWithAReport) {
  PreviousProcess gone(false);
  leavePreviousSession(gone.pid());
  NetSetServerBase(server.baseUrl().c_str());
  server.setReply(200, "20140204\n");
  answerPrompt(true, true);
  inputAnswers = {std::wstring(L"Dragging a gauge")};
  ASSERT_TRUE(Launch());
  ASSERT_EQ(modalRuns.size(), 1u);
  EXPECT_EQ(modalRuns[0], "wcRecovery");
  EXPECT_TRUE(reportBoxShown);
  EXPECT_FALSE(splashShown) << "the question stands alone";
  EXPECT_FALSE(menuEnabled) << "the menu waits for the start-up";
  EXPECT_TRUE(app->windows().wndMain()->mainWindow()->menuBar()->isEnabled());
  ASSERT_EQ(inputPrompts.size(), 1u);
  EXPECT_EQ(inputPrompts[0], L"Please describe what you were doing when the program crashed:");
  bool reported = false;
  for (const std::string& request : server.requests()) {
    if (request.find("POST /BugMail.php") != std::string::npos &&
        request.find("Dragging+a+gauge") != std::string::npos) {
      reported = true;
    }
  }
  EXPECT_TRUE(reported);
  EXPECT_TRUE(app->windows().Find("wndRecovery") != nullptr);
  EXPECT_EQ(W16ToNSString(ProjectGetUserText()), "Before the crash");
  EXPECT_TRUE(app->windows().wndMain()->ProjectModified());
  EXPECT_EQ(app->windows().wndMain()->mainWindow()->windowTitle(), "Untitled* - Quelvatron 2.9.6b");
  EXPECT_TRUE(statuses.contains("Calling Tow Truck"));
  EXPECT_EQ(statuses.back(), "Approaching Start");
  EXPECT_FALSE(app->windows().wndMain()->StartupMenuPending()) << "a recovered project needs no template";
  EXPECT_TRUE(messages.empty());
}

TEST_F(RecoveryPromptTest, DecliningSendsNoReportAndKeepsTheMenu) {
  PreviousProcess gone(false);
  leavePreviousSession(gone.pid());
  NetSetServerBase(server.baseUrl().c_str());
  server.setReply(200, "20140204\n");
  answerPrompt(false, false);
  SetSetting("ShowMenuAtStart", true);
  ASSERT_TRUE(Launch());
  EXPECT_EQ(modalRuns.size(), 1u);
  EXPECT_TRUE(inputPrompts.empty());
  // Declined work is gone at once, so a start after a kill cannot offer it.
  EXPECT_FALSE(std::filesystem::exists(WideToUtf8(RecoverySnapshotFile(kPreviousSession))));
  for (const std::string& request : server.requests()) EXPECT_EQ(request.find("BugMail"), std::string::npos);
  EXPECT_FALSE(app->windows().wndMain()->ProjectModified());
  EXPECT_EQ(W16ToNSString(ProjectGetUserText()), "");
  // The start-up menu is still offered (it may already have opened).
  EXPECT_TRUE(app->windows().wndMain()->StartupMenuPending() || app->windows().wndMain()->StartupMenuShown() == 1);
}

// A file handed over while the recovery question is open is opened after
// it, and takes the place of the start-up menu as a file given at launch.
TEST_F(RecoveryPromptTest, AFileHandedOverDuringTheQuestionOpensInsteadOfTheMenu) {
  PreviousProcess gone(false);
  leavePreviousSession(gone.pid());
  SetSetting("ShowMenuAtStart", true);
  const std::string wav = tempDir + "/late.wav";
  ASSERT_TRUE(WriteWav16(wav, 22050, 1, MakeRampPcm16(4410, 1)));
  onModal = [this, wav](WindowController* controller) {
    auto* prompt = qobject_cast<wcRecovery*>(controller);
    if (prompt == nullptr) return 0;
    app->applicationOpenFile(QString::fromStdString(wav));
    prompt->showWindow();
    prompt->NoButton->click();
    return 0;
  };
  ASSERT_TRUE(Launch());
  EXPECT_EQ(InputCount(), 1u);
  EXPECT_FALSE(app->windows().wndMain()->StartupMenuPending());
  EXPECT_EQ(app->windows().wndMain()->StartupMenuShown(), 0);
  EXPECT_EQ(modalRuns.size(), 1u);
}

// A session whose program still runs is nobody's to recover: the start
// says why it cannot run and leaves that session's files alone.
TEST_F(RecoveryPromptTest, AStillRunningSessionIsNotOffered) {
  PreviousProcess gone(false);
  leavePreviousSession(gone.pid());
  const std::string folder = WideToUtf8(SessionTempFolder());
  const std::string log = ReadWholeFile(folder + "QV2-log.csv");
  PreviousProcess running(true, [] { return SessionClaimTempFolder() == 0; });
  ASSERT_TRUE(running.ready());
  EXPECT_FALSE(Launch());
  ASSERT_TRUE(SpinUntil([this]() { return terminations == 1; }));
  AppEnd(); // what the refused start had begun
  EXPECT_TRUE(modalRuns.empty());
  EXPECT_EQ(CountMessages(L"The program is already running."), 1);
  EXPECT_EQ(ReadWholeFile(folder + "QV2-log.csv"), log);
  EXPECT_TRUE(std::filesystem::exists(WideToUtf8(RecoverySnapshotFile(kPreviousSession))));
}

TEST_F(RecoveryPromptTest, ClosingThePromptCountsAsNo) {
  PreviousProcess gone(false);
  leavePreviousSession(gone.pid());
  onModal = [this](WindowController* controller) {
    controller->showWindow();
    SpinUntil([controller]() { return !static_cast<wcRecovery*>(controller)->FreshWindow(); });
    controller->close();
    return 0;
  };
  ASSERT_TRUE(Launch());
  EXPECT_FALSE(app->windows().wndRecovery()->DoRecovery());
  EXPECT_TRUE(app->windows().wndRecovery()->FreshWindow()) << "ready to fill itself at the next opening";
  EXPECT_FALSE(app->windows().wndMain()->ProjectModified());
}

TEST_F(RecoveryPromptTest, AHandedOverFileTakesPrecedence) {
  PreviousProcess gone(false);
  leavePreviousSession(gone.pid());
  ASSERT_TRUE(Launch({QString::fromStdString(tempDir + "/missing.wav")}));
  EXPECT_TRUE(modalRuns.empty());
}

TEST_F(RecoveryPromptTest, NoPreviousSessionNoPrompt) {
  ASSERT_TRUE(Launch());
  EXPECT_TRUE(modalRuns.empty());
  EXPECT_FALSE(statuses.contains("Calling Tow Truck"));
}
