// The real program on a real X server, with the keys pressed as a person
// presses them: files handed over by a later launch while the quit
// question is open are never lost, whatever the answer; the menu's keys
// work from the new-project wizard; and after a kill the recovery question
// stands alone, without the splash.
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

constexpr const char* kQuitQuestion = "Do you want to save the project before exiting?";
constexpr const char* kOpenQuestion = "Do you want to save the current project before opening this file?";

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

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
  bool asks(const char* question) {
    return WaitFor([question](const ProbeView& view) { return view.message(question); });
  }
  std::string engineFolder() const { return folder() + "/quelvatron-" + std::to_string(geteuid()); }
  // Until the running program's log holds the line so many times.
  bool logged(const std::string& line, size_t times = 1) const {
    for (int waited = 0; waited < 1200; ++waited) {
      if (Count(ProgramSessionLog(folder()), line) >= times) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  bool exitedCleanly(pid_t child) {
    const int status = WaitForExit(child, 60);
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
};

// The project holds a sound with unsaved changes. Ctrl+Q asks whether to
// save; meanwhile a file opened from a terminal hands itself over, and its
// launch waits. Cancel: the program goes on and opens the file (the launch
// then ends). No: the program ends without opening it, and the launch,
// told so, starts the program itself with its file once the first is gone.
TEST_F(LaunchAndQuitTest, FilesHandedOverDuringTheQuitQuestionAreNeverLost) {
  const std::string warmUp = sound("Warm Up.wav");
  const std::string pitRadio = sound("Pit Radio.wav");
  const std::string lastLap = sound("Last Lap.wav");
  ASSERT_FALSE(lastLap.empty());
  ASSERT_TRUE(StartProgram({warmUp}, {"ShowMenuAtStart=false"})) << ProgramOutput();
  ASSERT_TRUE(logged("Handed-over files taken")) << ProgramOutput();

  pressWithControl("q");
  ASSERT_TRUE(asks(kQuitQuestion)) << ProgramOutput();
  const pid_t kept = StartLaunch({pitRadio}, "kept");
  ASSERT_TRUE(logged("Files handed over by a later launch: 1")) << ProgramOutput();
  EXPECT_TRUE(Running(kept)) << "the launch ended before its file was taken";
  Shot("quit-question-with-a-launch-waiting");
  input().tap("Escape"); // Cancel
  // The handed-over file replaces the unsaved project, which asks first.
  ASSERT_TRUE(asks(kOpenQuestion)) << ProgramOutput();
  input().tap("n");
  EXPECT_TRUE(exitedCleanly(kept)) << ReadWholeFile(folder() + "/kept-output.txt");
  ASSERT_TRUE(WaitFor([](const ProbeView& view) {
    return view.row("wcMain", "InputFilesTable", "Pit Radio.wav") != nullptr;
  })) << ProgramOutput();
  EXPECT_TRUE(Running(program()));

  // Back to the main window (no window manager gives it the keys back).
  input().click(Probe().row("wcMain", "InputFilesTable", "Pit Radio.wav")->rect.center());
  ASSERT_TRUE(WaitFor([](const ProbeView& view) { return view.active == "wcMain"; })) << ProgramOutput();
  pressWithControl("q");
  ASSERT_TRUE(asks(kQuitQuestion)) << ProgramOutput();
  const pid_t started = StartLaunch({lastLap}, "started");
  ASSERT_TRUE(logged("Files handed over by a later launch: 1", 2)) << ProgramOutput();
  EXPECT_TRUE(Running(started)) << "the launch ended before its file was taken";
  input().tap("n");
  const pid_t first = program();
  EXPECT_TRUE(exitedCleanly(first)) << ProgramOutput();
  ASSERT_TRUE(WaitFor(
      [](const ProbeView& view) { return view.row("wcMain", "InputFilesTable", "Last Lap.wav") != nullptr; }, 120,
      "started"))
      << ReadWholeFile(folder() + "/started-output.txt") << ProgramSessionLog(folder());
  Shot("started-by-the-launch");
  EXPECT_TRUE(Running(started));
  // The ended program's log, kept beside the new one: nothing opened on its
  // way out.
  const std::string ended = ReadWholeFile(engineFolder() + "/QV2-log-old.csv");
  EXPECT_NE(ended.find("Ending: later launches told to start by themselves: 1"), std::string::npos) << ended;
  EXPECT_EQ(ended.find("Opening project '" + lastLap + "'"), std::string::npos) << ended;
  EXPECT_NE(ended.find("[App End] Complete"), std::string::npos) << ended;
  const std::string log = ProgramSessionLog(folder());
  EXPECT_NE(log.find("Opening project '" + lastLap + "'"), std::string::npos) << log;
  EXPECT_EQ(log.find("recoverable"), std::string::npos) << log;
}

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
