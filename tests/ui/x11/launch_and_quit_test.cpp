// The real program on a real X server, with the keys pressed as a person
// presses them: after a kill the recovery question stands alone, without
// the splash.
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
  std::string engineFolder() const { return folder() + "/quelvatron-" + std::to_string(geteuid()); }
  // Until the running program's log holds the line.
  bool logged(const std::string& line) const { return WaitForProgramLog(folder(), line, 60); }
};

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
