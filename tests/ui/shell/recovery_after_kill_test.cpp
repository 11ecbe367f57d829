// The real program opens a saved project, takes more files into it and is
// killed outright (SIGKILL) right after; the next start, answering Yes to
// the recovery question, gets the project back with those files, under its
// own name and marked modified, and Undo still swaps. Answered either way,
// the killed session's files stay until the answer and not after it; a
// session killed with nothing unsaved leaves no file behind at all.
#include <QAction>
#include <QMainWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "app/app.h"
#include "base/identity.h"
#include "base/text.h"
#include "io/files/project_files.h"
#include "io/files/session.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "model/project.h"
#include "media/bmp_file.h"
#include "support/media_fixtures.h"
#include "support/program_child.h"
#include "support/read_file.h"
#include "support/test_main.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcRecovery.h"
#include "ui/support/shell_fixture.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr int kStartSeconds = 90; // a sanitizer build starts slowly

// The files of the engine's folder named after a session (undo, redo and
// recovery files, and any of them a write cut short left), by session.
using SessionFiles = std::map<std::string, std::set<std::string>>;

class RecoveryAfterKillTest : public ShellTest {
protected:
  // The project as saved: its text and a shape.
  std::string saveProject() {
    AppInitIdentity();
    if (AppInit(0) != 1) return {};
    ProjectSetUserText(u"Sunday final");
    DispObjAdd(kDispShape, 255);
    const std::string path = tempDir + "/Final Heat.qvp";
    const int saved = ProjectSave(Utf8ToWide(path).c_str());
    AppEnd();
    return saved == 0 ? path : std::string();
  }
  std::string wav(const std::string& name, int channels, uint32_t frames) const {
    const std::string path = tempDir + "/" + name;
    return WriteWav16(path, 22050, channels, MakeRampPcm16(frames, channels)) ? path : std::string();
  }
  // The session the latest program started, by its log.
  std::string programSession() const {
    const std::string log = ProgramSessionLog(tempDir);
    const size_t at = log.rfind("Session ID: ");
    return at == std::string::npos ? std::string() : log.substr(at + 12, 16);
  }
  void expectKilled(pid_t child, bool ready, const std::string& output) {
    kill(child, SIGKILL);
    const int status = WaitChild(child, 30);
    ASSERT_TRUE(ready) << ProgramSessionLog(tempDir) << ReadWholeFile(tempDir + "/" + output);
    ASSERT_TRUE(status != -1 && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  }
  // The program opens the project, takes the other files and is killed at
  // once; its session.
  std::string openAndKill(const std::vector<std::string>& args) {
    const pid_t child = StartProgram(args, tempDir + "/home", tempDir);
    EXPECT_GT(child, 0);
    if (child <= 0) return {};
    const std::string taken = "Handed-over files taken: the first and " + std::to_string(args.size() - 1) + " of " +
                              std::to_string(args.size() - 1) + " more";
    const bool ready = WaitForProgramLog(tempDir, taken, kStartSeconds);
    expectKilled(child, ready, "child-output.txt");
    return programSession();
  }
  // The program, in a child process, opens the project with a file handed
  // over, the user saves, and it is killed; its session.
  std::string saveAndKill() {
    const std::string marker = tempDir + "/saved";
    const pid_t child = StartTestInChild("RecoveryAfterKillTest.ChildSavesAndWaitsForTheKill", tempDir + "/home",
                                         tempDir, "saving-child-output.txt");
    EXPECT_GT(child, 0);
    if (child <= 0) return {};
    bool ready = false;
    for (int waited = 0; !ready && waited < kStartSeconds * 20; ++waited) {
      ready = !ReadWholeFile(marker).empty();
      if (!ready) Spin(50);
    }
    expectKilled(child, ready, "saving-child-output.txt");
    // The child's own test folders, which its end would have removed.
    std::istringstream folders(ReadWholeFile(marker));
    std::error_code ignored;
    for (std::string folder; ready && std::getline(folders, folder);)
      if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
    return programSession();
  }
  SessionFiles sessionFiles() const {
    static const QRegularExpression named(R"(^\.?QV-(Undo|Redo|Recover)-([0-9A-F]{16})\.(qvp|txt))");
    SessionFiles files;
    std::error_code error;
    const std::string folder = tempDir + "/quelvatron-" + std::to_string(geteuid());
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      const std::string name = entry.path().filename();
      const QRegularExpressionMatch match = named.match(QString::fromStdString(name));
      if (match.hasMatch()) files[match.captured(2).toStdString()].insert(name);
    }
    return files;
  }
  // None but the running session's own.
  void expectOnlyOwnFiles() const {
    const std::string own = WideToUtf8(SessionIdText(SessionGetId()));
    for (const auto& [session, names] : sessionFiles()) EXPECT_EQ(session, own) << *names.begin();
  }
  // The user's answer, and the files the folder held while they were asked.
  void answerRecovery(bool recover) {
    onModal = [this, recover](WindowController* controller) {
      auto* prompt = qobject_cast<wcRecovery*>(controller);
      if (prompt == nullptr) return 0;
      filesWhileAsked = sessionFiles();
      prompt->showWindow();
      (recover ? prompt->YesButton : prompt->NoButton)->click();
      return 0;
    };
  }
  // Killed with work unsaved: the session's files wait for the answer.
  void expectKeptUntilAnswered(const std::string& killed, const SessionFiles& left) {
    ASSERT_EQ(left.size(), 1u);
    ASSERT_EQ(left.count(killed), 1u);
    EXPECT_EQ(left.at(killed).count("QV-Recover-" + killed + ".qvp"), 1u);
    EXPECT_EQ(filesWhileAsked[killed], left.at(killed));
    expectOnlyOwnFiles();
  }
  SessionFiles filesWhileAsked;
};

TEST_F(RecoveryAfterKillTest, TheLatestChangeComesBackUnderTheProjectsName) {
  if (ProgramPath().empty()) GTEST_SKIP() << "built without the application";
  const std::string project = saveProject();
  ASSERT_FALSE(project.empty());
  const std::string onboard = wav("Onboard.wav", 2, 22050);
  const std::string radio = wav("Pit Radio.wav", 1, 11025);
  ASSERT_FALSE(onboard.empty() || radio.empty());
  // A still picture: a data log would open its template menu and wait.
  const std::string picture = tempDir + "/Grid.bmp";
  const std::vector<uint8_t> pixels(64 * 48 * 3, 0x80);
  ASSERT_EQ(BmpWriteFile(Utf8ToWide(picture), pixels.data(), 64, 48, 24, true), 0);
  const std::string killed = openAndKill({project, onboard, radio, picture});
  ASSERT_FALSE(HasFatalFailure());
  const SessionFiles left = sessionFiles();

  answerRecovery(true);
  ASSERT_TRUE(Launch());
  ASSERT_EQ(modalRuns.size(), 1u);
  EXPECT_EQ(modalRuns[0], "wcRecovery");
  ASSERT_NO_FATAL_FAILURE(expectKeptUntilAnswered(killed, left));
  std::vector<std::u16string> inputs;
  for (uint32_t i = 0; i < InputCount(); ++i) inputs.emplace_back(InputGetName(i));
  EXPECT_EQ(inputs, (std::vector<std::u16string>{u"Onboard.wav", u"Pit Radio.wav", u"Grid.bmp"}));
  EXPECT_EQ(W16ToNSString(ProjectGetUserText()), "Sunday final");
  EXPECT_EQ(DispObjCount(), 4u); // the shape, and one object each file brought
  EXPECT_EQ(app->windows().wndMain()->mainWindow()->windowTitle(), "Final Heat* - Quelvatron 2.9.6b");
  EXPECT_EQ(WideToUtf8(app->windows().wndMain()->ProjectFile()), project);
  EXPECT_TRUE(app->windows().wndMain()->ProjectModified());

  // Undo swaps from the recovered project as from any other, both ways.
  ASSERT_EQ(UndoSave(), 0);
  ASSERT_EQ(InputRemove(0, 0), 0);
  app->menuAction("mnuEditUndo")->trigger();
  EXPECT_EQ(InputCount(), 3u);
  app->menuAction("mnuEditUndo")->trigger();
  EXPECT_EQ(InputCount(), 2u);
}

// Declined, the killed session's work goes with all its files.
TEST_F(RecoveryAfterKillTest, DeclinedWorkLeavesNoFiles) {
  if (ProgramPath().empty()) GTEST_SKIP() << "built without the application";
  const std::string project = saveProject();
  const std::string onboard = wav("Onboard.wav", 2, 22050);
  ASSERT_FALSE(project.empty() || onboard.empty());
  const std::string killed = openAndKill({project, onboard});
  ASSERT_FALSE(HasFatalFailure());
  const SessionFiles left = sessionFiles();

  answerRecovery(false);
  ASSERT_TRUE(Launch());
  ASSERT_EQ(modalRuns, std::vector<QString>{"wcRecovery"});
  ASSERT_NO_FATAL_FAILURE(expectKeptUntilAnswered(killed, left));
  EXPECT_EQ(InputCount(), 0u);
}

// The program is killed with a file taken in and not saved; then it is
// opened on the project with another file, which asks nothing about that
// work (a file given wins, and no later start can offer the work again),
// the user saves and it is killed too. The next start has nothing to
// recover, asks nothing and removes the files of both.
TEST_F(RecoveryAfterKillTest, KilledSessionsWithNothingToRecoverLeaveNoFiles) {
  if (ProgramPath().empty()) GTEST_SKIP() << "built without the application";
  const std::string project = saveProject();
  const std::string onboard = wav("Onboard.wav", 2, 22050);
  ASSERT_FALSE(project.empty() || onboard.empty() || wav("Pit Radio.wav", 1, 11025).empty());
  const std::string unsaved = openAndKill({project, onboard});
  ASSERT_FALSE(HasFatalFailure());
  const std::string saved = saveAndKill();
  ASSERT_FALSE(HasFatalFailure());
  const SessionFiles left = sessionFiles();
  ASSERT_EQ(left.size(), 2u);
  ASSERT_EQ(left.count(unsaved), 1u);
  EXPECT_EQ(left.at(unsaved).count("QV-Recover-" + unsaved + ".qvp"), 1u);
  EXPECT_EQ(left.at(saved), (std::set<std::string>{"QV-Recover-" + saved + ".txt", "QV-Undo-" + saved + ".qvp"}))
      << "saved work is no work to recover";

  ASSERT_TRUE(Launch());
  EXPECT_TRUE(modalRuns.empty());
  expectOnlyOwnFiles();
}

// Played by a child process of the test above: the program opens the
// project with a file handed over, the user saves, and the program idles
// until it is killed.
TEST_F(RecoveryAfterKillTest, ChildSavesAndWaitsForTheKill) {
  const char* folder = std::getenv(kChildTestTmpDir);
  if (folder == nullptr) GTEST_SKIP() << "runs only as a child of KilledSessionsWithNothingToRecoverLeaveNoFiles";
  setenv("TMPDIR", folder, 1);
  const std::string parent = folder;
  ASSERT_TRUE(Launch({QString::fromStdString(parent + "/Final Heat.qvp"),
                      QString::fromStdString(parent + "/Pit Radio.wav")}));
  ASSERT_EQ(InputCount(), 1u);
  ASSERT_TRUE(app->windows().wndMain()->ProjectModified());
  app->menuAction("mnuFileSave")->trigger();
  ASSERT_FALSE(app->windows().wndMain()->ProjectModified());
  // Whole or not at all: the parent removes the folders it names.
  std::ofstream(parent + "/saved.part") << tempDir << '\n' << TestProcessFolder() << '\n';
  ASSERT_EQ(std::rename((parent + "/saved.part").c_str(), (parent + "/saved").c_str()), 0);
  Spin(kStartSeconds * 1000);
}

} // namespace
