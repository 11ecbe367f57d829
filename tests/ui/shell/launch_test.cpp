#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <fstream>
#include <sstream>

#include "app/app.h"
#include "base/identity.h"
#include "base/log.h"
#include "base/message_box.h"
#include "base/text.h"
#include "io/files/project_files.h"
#include "model/inputs.h"
#include "model/project.h"
#include "support/media_fixtures.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/WindowController.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcRecovery.h"
#include "ui/shell/wcSplash.h"
#include "ui/support/input_files.h"
#include "ui/support/shell_fixture.h"
#include "ui/util/ui_utils.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

} // namespace

TEST_F(ShellTest, LaunchShowsTheStatusesInOrder) {
  SetSetting("ShowMenuAtStart", true);
  ASSERT_TRUE(Launch());
  QStringList expected = {"Powering Up", "Ignition On.", "Ignition On..", "Ignition On...", "Crossing Fingers",
                          "Starter",     "Clunk!",       "Pop!",          "Bang!",          "",
                          "Proceeding to Grid"};
  EXPECT_EQ(statuses, expected);
  EXPECT_FALSE(AppDelegate::IsWindowVisible(app->windows().wndSplash())) << "the start-up ends the splash";
  EXPECT_TRUE(AppDelegate::IsWindowVisible(app->windows().wndMain()));
  EXPECT_TRUE(app->EngineStarted());
  // The start-up template menu waits for its timer, then opens once.
  EXPECT_TRUE(app->windows().wndMain()->StartupMenuPending());
  EXPECT_EQ(app->windows().wndMain()->StartupMenuShown(), 0);
  ASSERT_TRUE(SpinUntil([this]() { return app->windows().wndMain()->StartupMenuShown() == 1; }));
  // Once only: a while in which a second would have come.
  Spin(200);
  EXPECT_EQ(app->windows().wndMain()->StartupMenuShown(), 1);
}

TEST_F(ShellTest, EveryRegistryWindowExistsUnderItsName) {
  ASSERT_TRUE(Launch());
  std::vector<WindowController*> registry = app->windows().All();
  ASSERT_EQ(registry.size(), 29u);
  const char* names[] = {"wndMain", "wndCreateVideo", "wndUpload", "wndAbout", "wndRecovery", "wndInputEdit",
                         "wndDispObjGaugeDesign", "wndTemplateMenu", "wndTimelineEdit", "wndTip", "wndTransfer",
                         "wndProjectWiz", "wndInputSync2", "wndDispObjEnhEdit"};
  for (const char* name : names) {
    WindowController* controller = app->windows().Find(name);
    ASSERT_NE(controller, nullptr) << name;
    EXPECT_EQ(controller->nibName(), "wc" + QString(name).mid(3));
  }
  for (WindowController* controller : registry) {
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(controller->thread(), app->thread()) << controller->nibName().toStdString();
    // Loaded in advance, except the two that load when first shown.
    if (controller != app->windows().wndMain() && controller != app->windows().wndRecovery()) {
      EXPECT_TRUE(controller->isWindowLoaded()) << controller->nibName().toStdString();
    }
  }
  EXPECT_FALSE(app->windows().wndRecovery()->isWindowLoaded());
}

TEST_F(ShellTest, TheEngineEndsOnlyAtTheEndAndOnlyOnce) {
  ASSERT_TRUE(Launch());
  std::string log = WideToUtf8(LogGetPath());
  EXPECT_NE(readFile(log).find("Launch complete"), std::string::npos);
  EXPECT_EQ(readFile(log).find("[App End]"), std::string::npos);
  app->applicationWillTerminate();
  app->applicationWillTerminate();
  std::string text = readFile(log);
  size_t first = text.find("[App End] Complete");
  EXPECT_NE(first, std::string::npos);
  EXPECT_EQ(text.find("[App End] Complete", first + 1), std::string::npos);
}

TEST_F(ShellTest, LaunchingWithAProjectPathOpensIt) {
  // A project saved by an earlier session.
  std::string path = tempDir + "/Race1.qvp";
  {
    ASSERT_TRUE(Launch());
    ProjectSetUserText(u"Saturday heat two");
    ASSERT_EQ(ProjectSave(Utf8ToWide(path).c_str()), 0);
    app->applicationWillTerminate();
    delete app;
    app = nullptr;
    statuses.clear();
  }
  ASSERT_TRUE(Launch({QString::fromStdString(path)}));
  wcMain* main = app->windows().wndMain();
  EXPECT_EQ(WideToUtf8(main->ProjectFile()), path);
  EXPECT_EQ(main->ProjectTitle(), "Race1");
  EXPECT_EQ(main->mainWindow()->windowTitle(), "Race1 - Quelvatron 2.9.6b");
  EXPECT_FALSE(main->ProjectModified());
  EXPECT_EQ(W16ToNSString(ProjectGetUserText()), "Saturday heat two");
  // A handed-over file: no template menu, and the last status before the end
  // of the splash says so.
  EXPECT_FALSE(main->StartupMenuPending());
  EXPECT_TRUE(statuses.contains("Approaching Start"));
  EXPECT_FALSE(statuses.contains("Proceeding to Grid"));
  EXPECT_EQ(statuses.back(), "Gathering Data");
  EXPECT_TRUE(messages.empty());
}

TEST_F(ShellTest, LaunchingWithAMediaFileAddsItAsAnInput) {
  std::string wav = tempDir + "/engine.wav";
  ASSERT_TRUE(WriteWav16(wav, 22050, 2, MakeRampPcm16(22050, 2)));
  ASSERT_TRUE(Launch({QString::fromStdString(wav)}));
  EXPECT_EQ(InputCount(), 1u);
  EXPECT_TRUE(app->windows().wndMain()->ProjectModified());
  EXPECT_EQ(app->windows().wndMain()->mainWindow()->windowTitle(), "Untitled* - Quelvatron 2.9.6b");
}

// One command line with several files: the first opens (here a missing
// project: its error, and an empty project), the rest are added to that
// project one by one, each failure shown.
TEST_F(ShellTest, LaunchingWithSeveralFilesOpensTheFirstAndAddsTheRestToItsProject) {
  std::string wav = tempDir + "/engine.wav";
  ASSERT_TRUE(WriteWav16(wav, 22050, 1, MakeRampPcm16(4410, 1)));
  ASSERT_TRUE(Launch({QString::fromStdString(tempDir + "/lost.qvp"), QString::fromStdString(tempDir + "/gone.mp4"),
                      QString::fromStdString(wav)}));
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].flags & 0xF0, 16) << "an engine error";
  EXPECT_NE(messages[0].text.find(L"ProjectOpen"), std::wstring::npos);
  EXPECT_NE(messages[1].text.find(L"InputAdd"), std::wstring::npos);
  ASSERT_EQ(InputCount(), 1u);
  EXPECT_EQ(InputGetType(0), 2u);
  EXPECT_TRUE(app->windows().wndMain()->ProjectModified());
  EXPECT_EQ(app->windows().wndMain()->ProjectTitle(), "Untitled");
}

TEST_F(ShellTest, AFileHandedOverOnceRunningOpensAtOnce) {
  ASSERT_TRUE(Launch());
  std::string wav = tempDir + "/late.wav";
  ASSERT_TRUE(WriteWav16(wav, 22050, 1, MakeRampPcm16(4410, 1)));
  EXPECT_TRUE(app->applicationOpenFile(QString::fromStdString(wav)));
  EXPECT_EQ(InputCount(), 1u);
  EXPECT_FALSE(app->HasPendingOpenFiles());
}

// A later launch hands several files over while a question is still open in
// the running window: they wait for it, then the first replaces the project
// (one save question) and the rest join that new project.
TEST_F(ShellTest, HandOversWaitForAModalWindowAndKeepEveryFile) {
  ASSERT_TRUE(Launch());
  std::vector<QString> wavs;
  for (const char* name : {"first.wav", "second.wav", "third.wav"}) {
    const std::string path = tempDir + "/" + name;
    ASSERT_TRUE(WriteWav16(path, 22050, 1, MakeRampPcm16(4410, 1)));
    wavs.push_back(QString::fromStdString(path));
  }
  app->applicationOpenFiles({wavs[0]});
  ASSERT_EQ(InputCount(), 1u);
  ASSERT_TRUE(app->windows().wndMain()->ProjectModified());

  QDialog question(app->windows().wndMain()->mainWindow());
  question.setWindowModality(Qt::ApplicationModal);
  question.show();
  ASSERT_EQ(QApplication::activeModalWidget(), &question);
  messages.clear();
  app->applicationOpenFiles({wavs[1], wavs[2]});
  EXPECT_TRUE(messages.empty()) << "nothing is asked while the question is open";
  EXPECT_EQ(InputCount(), 1u) << "the project under the question is kept";

  answers.push_back(kMbNo); // do not save the project with first.wav
  question.close();
  ASSERT_TRUE(SpinUntil([]() { return InputCount() == 2u; }));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, L"Do you want to save the current project before opening this file?");
  EXPECT_EQ(std::u16string(InputGetName(0)), u"second.wav");
  EXPECT_EQ(std::u16string(InputGetName(1)), u"third.wav");
}

// A later launch hands a file over while the start-up is still opening the
// files of the first one (here its data log's template menu is open): it is
// opened once the start-up has ended, not kept for a first show that is over.
TEST_F(ShellTest, AFileHandedOverDuringTheStartUpOpensAfterIt) {
  const QString log = QString::fromStdString(MakeTestNmea(tempDir + "/lap.nmea"));
  const QString wav = QString::fromStdString(MakeTestWav(tempDir + "/later.wav"));
  int menus = 0;
  onModal = [&](WindowController*) {
    if (menus++ == 0) app->applicationOpenFiles({wav});
    return 0;
  };
  answers.push_back(kMbNo); // do not save the project with the log
  ASSERT_TRUE(Launch({log}));
  ASSERT_TRUE(SpinUntil([]() { return InputCount() == 1u && InputGetType(0) == 2u; }))
      << InputCount() << " inputs";
  EXPECT_GE(menus, 1) << "the hand-over came while the start-up ran its menu";
  EXPECT_EQ(CountMessages(L"Do you want to save the current project before opening this file?"), 1);
  EXPECT_FALSE(app->HasPendingOpenFiles());
}

TEST_F(ShellTest, AFailedEngineStartShowsTheErrorEndsTheSplashAndQuits) {
  // An engine that is already running refuses a second start.
  AppInitIdentity();
  ASSERT_EQ(AppInit(0), 1);
  EXPECT_FALSE(Launch());
  ASSERT_TRUE(SpinUntil([this]() { return terminations == 1; }));
  EXPECT_FALSE(app->EngineStarted());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].text.find(L"AppInit"), std::wstring::npos);
  EXPECT_FALSE(AppDelegate::IsWindowVisible(app->windows().wndSplash()));
  EXPECT_FALSE(AppDelegate::IsWindowVisible(app->windows().wndMain())) << "the main window is never shown";
  EXPECT_EQ(statuses.back(), "Starter");
  // The launch never started the engine, so its end leaves it to its owner.
  app->applicationWillTerminate();
  std::string log = readFile(WideToUtf8(LogGetPath()));
  EXPECT_EQ(log.find("[App End]"), std::string::npos);
  AppEnd();
}
