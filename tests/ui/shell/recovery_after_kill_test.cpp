// The real program opens a saved project, takes three more files into it
// and is killed outright (SIGKILL) right after; the next start, answering
// Yes to the recovery question, gets the project back with those files, under
// its own name and marked modified, and Undo still swaps.
#include <QAction>
#include <QMainWindow>
#include <QPushButton>
#include <signal.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "app/app.h"
#include "base/identity.h"
#include "base/text.h"
#include "engine/files/project_files.h"
#include "engine/files/undo.h"
#include "engine/model/dispobjs.h"
#include "engine/model/inputs.h"
#include "engine/model/project.h"
#include "media/bmp_file.h"
#include "support/media_fixtures.h"
#include "support/program_child.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcRecovery.h"
#include "ui/support/shell_fixture.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr int kStartSeconds = 90; // a sanitizer build starts slowly

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream data;
  data << in.rdbuf();
  return data.str();
}

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
  // The program opens the project, adds the files and is killed at once.
  void openAndKill(const std::vector<std::string>& args) {
    const pid_t child = StartProgram(args, tempDir + "/home", tempDir);
    ASSERT_GT(child, 0);
    const bool taken = WaitForProgramLog(tempDir, "Handed-over files taken: the first and 3 of 3 more", kStartSeconds);
    kill(child, SIGKILL);
    const int status = WaitChild(child, 30);
    ASSERT_TRUE(taken) << ProgramSessionLog(tempDir) << readFile(tempDir + "/child-output.txt");
    ASSERT_TRUE(status != -1 && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  }
};

TEST_F(RecoveryAfterKillTest, TheLatestChangeComesBackUnderTheProjectsName) {
  if (ProgramPath().empty()) GTEST_SKIP() << "built without the application";
  const std::string project = saveProject();
  ASSERT_FALSE(project.empty());
  const std::string onboard = tempDir + "/Onboard.wav";
  const std::string radio = tempDir + "/Pit Radio.wav";
  ASSERT_TRUE(WriteWav16(onboard, 22050, 2, MakeRampPcm16(22050, 2)));
  ASSERT_TRUE(WriteWav16(radio, 22050, 1, MakeRampPcm16(11025, 1)));
  // A still picture: a data log would open its template menu and wait.
  const std::string picture = tempDir + "/Grid.bmp";
  const std::vector<uint8_t> pixels(64 * 48 * 3, 0x80);
  ASSERT_EQ(BmpWriteFile(Utf8ToWide(picture), pixels.data(), 64, 48, 24, true), 0);
  ASSERT_NO_FATAL_FAILURE(openAndKill({project, onboard, radio, picture}));

  onModal = [](WindowController* controller) {
    auto* prompt = qobject_cast<wcRecovery*>(controller);
    if (prompt == nullptr) return 0;
    prompt->showWindow();
    prompt->YesButton->click();
    return 0;
  };
  ASSERT_TRUE(Launch());
  ASSERT_EQ(modalRuns.size(), 1u);
  EXPECT_EQ(modalRuns[0], "wcRecovery");
  std::vector<std::u16string> inputs;
  for (uint32_t i = 0; i < InputCount(); ++i) inputs.emplace_back(InputGetName(i));
  EXPECT_EQ(inputs, (std::vector<std::u16string>{u"Onboard.wav", u"Pit Radio.wav", u"Grid.bmp"}));
  EXPECT_EQ(W16ToNSString(ProjectGetUserText()), "Sunday final");
  EXPECT_EQ(DispObjCount(), 4u); // the shape, and one object each file brought
  EXPECT_EQ(app->wndMain->mainWindow()->windowTitle(), "Final Heat* - Quelvatron 2.9.6b");
  EXPECT_EQ(WideToUtf8(app->wndMain->ProjectFile()), project);
  EXPECT_TRUE(app->wndMain->ProjectModified());

  // Undo swaps from the recovered project as from any other, both ways.
  ASSERT_EQ(UndoSave(), 0);
  ASSERT_EQ(InputRemove(0, 0), 0);
  app->menuAction("mnuEditUndo")->trigger();
  EXPECT_EQ(InputCount(), 3u);
  app->menuAction("mnuEditUndo")->trigger();
  EXPECT_EQ(InputCount(), 2u);
}

} // namespace
