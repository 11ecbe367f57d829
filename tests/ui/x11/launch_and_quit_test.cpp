// The real program on a real X server, with the keys pressed as a person
// presses them: the menu's keys work from the new-project wizard; and after
// a kill the recovery question stands alone, without the splash.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "support/media_fixtures.h"
#include "support/read_file.h"
#include "ui/support/x_program.h"

namespace {

class LaunchAndQuitTest : public XProgramTest {
protected:
  std::string sound(const std::string& name) const {
    const std::string path = folder() + "/" + name;
    return WriteWav16(path, 22050, 1, MakeRampPcm16(11025, 1)) ? path : std::string();
  }
  void pressWithControl(const char* key) {
    input().keyDown("Control_L");
    input().tap(key);
    input().keyUp("Control_L");
  }
  std::string engineFolder() const { return folder() + "/quelvatron-" + std::to_string(geteuid()); }
  // Until the running program's log holds the line.
  bool logged(const std::string& line) const { return WaitForProgramLog(folder(), line, 60); }
  bool exitedCleanly(pid_t child) {
    const int status = WaitForExit(child, 60);
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
};

// A blank new project brings the wizard forward with the keys; the menu's
// keys still work there: Ctrl+Q ends the program.
TEST_F(LaunchAndQuitTest, TheMenuKeysWorkFromTheWizard) {
  ASSERT_TRUE(StartProgram({}, {"ShowMenuAtStart=false"})) << ProgramOutput();
  // The menu waits for the start-up.
  ASSERT_TRUE(WaitFor([](const ProbeView& view) {
    const ProbedWidget* menu = view.widget("wcMain", "MainMenu");
    return view.active == "wcMain" && menu != nullptr && menu->enabled;
  })) << ProgramOutput();
  pressWithControl("n");
  ASSERT_TRUE(WaitFor([](const ProbeView& view) { return view.active == "wcProjectWiz"; })) << ProgramOutput();
  Shot("wizard-with-the-keys");
  pressWithControl("q");
  EXPECT_TRUE(exitedCleanly(program())) << ProgramOutput();
}

// A program killed with unsaved changes: the next start asks whether to
// recover them, with the splash out of sight; Return (Yes) brings them back.
TEST_F(LaunchAndQuitTest, TheRecoveryQuestionStandsWithoutTheSplash) {
  const std::string warmUp = sound("Warm Up.wav");
  ASSERT_TRUE(StartProgram({warmUp}, {"ShowMenuAtStart=false"})) << ProgramOutput();
  ASSERT_TRUE(logged("Handed-over files taken")) << ProgramOutput();
  bool kept = false;
  for (int waited = 0; !kept && waited < 1200; ++waited) {
    for (const auto& entry : std::filesystem::directory_iterator(engineFolder()))
      kept = kept || entry.path().filename().string().rfind("QV-Recover-", 0) == 0;
    if (!kept) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_TRUE(kept) << ProgramOutput();
  kill(program(), SIGKILL);
  WaitForExit(program(), 30);

  ASSERT_TRUE(StartProgram({}, {"ShowMenuAtStart=false"})) << ProgramOutput();
  ProbeView asking;
  ASSERT_TRUE(WaitFor([&asking](const ProbeView& view) {
    asking = view;
    return view.window("wcRecovery") != nullptr;
  })) << ProgramOutput();
  EXPECT_EQ(asking.window("wcSplash"), nullptr) << "the splash stands with the recovery question";
  Shot("recovery-question");
  ASSERT_TRUE(WaitFor([](const ProbeView& view) { return view.active == "wcRecovery"; }));
  input().tap("Return");
  ASSERT_TRUE(WaitFor([](const ProbeView& view) {
    return view.row("wcMain", "InputFilesTable", "Warm Up.wav") != nullptr;
  })) << ProgramOutput();
  EXPECT_EQ(Probe().window("wcSplash"), nullptr);
  EXPECT_EQ(Probe().window("wcRecovery"), nullptr);
}

} // namespace
