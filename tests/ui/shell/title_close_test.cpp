#include <QMainWindow>
#include <filesystem>

#include "base/identity.h"
#include "base/message_box.h"
#include "base/text.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/support/shell_fixture.h"
#include "ui/util/ui_utils.h"

class TitleTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    AppInitIdentity();
    // The registry's main window, without a launch or an engine.
    app = new AppDelegate();
    ASSERT_TRUE(app->CreateWindows());
  }
  QString title() { return main().mainWindow()->windowTitle(); }
  wcMain& main() const { return *app->windows().wndMain(); }
};

TEST_F(TitleTest, TitlesFollowTheNameAndTheModifiedMark) {
  main().SetWindowTitle();
  EXPECT_EQ(title(), "Quelvatron 2.9.6b") << "no project named yet";
  main().SetProjectFile("/home/driver/Race1.qvp");
  EXPECT_EQ(title(), "Race1 - Quelvatron 2.9.6b");
  main().setProjectModified(true);
  EXPECT_EQ(title(), "Race1* - Quelvatron 2.9.6b");
  EXPECT_TRUE(main().DocumentEdited());
  main().setProjectModified(false);
  EXPECT_EQ(title(), "Race1 - Quelvatron 2.9.6b");
  main().SetProjectFile("");
  EXPECT_EQ(title(), "Untitled - Quelvatron 2.9.6b");
  EXPECT_TRUE(main().ProjectFile().empty());
  EXPECT_EQ(main().ProjectTitle(), "Untitled");
}

TEST_F(TitleTest, SettingAFileRemembersItsFolder) {
  main().SetProjectFile("/home/driver/races/Race1.qvp");
  EXPECT_EQ(QUrl(Setting("ProjectDir").toString()).toLocalFile(), "/home/driver/races/");
}

TEST_F(TitleTest, AnOldProjectIsRenamedBesideIt) {
  main().SetProjectFile("/home/driver/old.qpp");
  EXPECT_EQ(WStrToNSString(main().ProjectFile().c_str()), "/home/driver/old-QV2.qvp");
  EXPECT_EQ(main().ProjectTitle(), "old-QV2");
  main().SetProjectFile("/home/lap/lap.qvp", true);
  EXPECT_EQ(WStrToNSString(main().ProjectFile().c_str()), "/home/lap/lap-QV2.qvp") << "folders keep their names";
  EXPECT_EQ(title(), "lap-QV2 - Quelvatron 2.9.6b");
}

TEST_F(TitleTest, OverlongPathsAndNamesAreCut) {
  QString name(200, QChar('n'));
  QString folder = "/" + QString(1000, QChar('f'));
  main().SetProjectFile(folder + "/" + name + ".qvp");
  EXPECT_EQ(main().ProjectFile().size(), 1023u);
  EXPECT_EQ(main().ProjectName().size(), 127u);
}

class CloseTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_TRUE(Launch());
    app->windows().wndMain()->setProjectModified(true);
  }
};

TEST_F(CloseTest, CancelKeepsTheApplicationRunning) {
  answers = {kMbCancel};
  EXPECT_FALSE(app->windows().wndMain()->windowShouldClose());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, L"Do you want to save the project before exiting?");
  EXPECT_EQ(messages[0].flags, 35);
  EXPECT_EQ(terminations, 0);
  EXPECT_TRUE(app->windows().wndMain()->ProjectModified());
}

TEST_F(CloseTest, NoDiscardsAndEnds) {
  answers = {kMbNo};
  EXPECT_TRUE(app->windows().wndMain()->windowShouldClose());
  EXPECT_EQ(terminations, 1);
  EXPECT_FALSE(app->windows().wndMain()->ProjectModified());
}

TEST_F(CloseTest, YesSavesThenEnds) {
  std::string path = tempDir + "/Kept.qvp";
  answers = {kMbYes};
  panelAnswers = {QStringList{QString::fromStdString(path)}};
  EXPECT_TRUE(app->windows().wndMain()->windowShouldClose());
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(terminations, 1);
  EXPECT_EQ(app->windows().wndMain()->ProjectTitle(), "Kept");
}

TEST_F(CloseTest, YesWithACancelledPanelKeepsRunning) {
  answers = {kMbYes};
  EXPECT_FALSE(app->windows().wndMain()->windowShouldClose());
  EXPECT_EQ(terminations, 0);
  EXPECT_TRUE(app->windows().wndMain()->ProjectModified());
}

TEST_F(CloseTest, QuittingAModifiedProjectAsksFirst) {
  answers = {kMbCancel};
  EXPECT_FALSE(app->applicationShouldTerminate());
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(terminations, 0);
  answers = {kMbNo};
  app->terminate();
  EXPECT_EQ(terminations, 1);
  EXPECT_EQ(messages.size(), 2u);
}

TEST_F(CloseTest, TheWindowsCloseButtonAsksToo) {
  answers = {kMbCancel};
  app->windows().wndMain()->mainWindow()->close();
  EXPECT_TRUE(app->windows().wndMain()->mainWindow()->isVisible());
  EXPECT_EQ(terminations, 0);
  answers = {kMbNo};
  app->windows().wndMain()->mainWindow()->close();
  EXPECT_FALSE(app->windows().wndMain()->mainWindow()->isVisible());
  EXPECT_EQ(terminations, 1);
}

TEST_F(CloseTest, AnUnmodifiedProjectEndsWithoutAQuestion) {
  app->windows().wndMain()->setProjectModified(false);
  EXPECT_TRUE(app->applicationShouldTerminate());
  EXPECT_TRUE(app->windows().wndMain()->windowShouldClose());
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(terminations, 1);
}

TEST_F(CloseTest, OpeningAFileAsksAboutTheModifiedProject) {
  answers = {kMbCancel};
  app->windows().wndMain()->OpenAssociatedFile(QString::fromStdString(tempDir + "/other.qvp"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, L"Do you want to save the current project before opening this file?");
  EXPECT_TRUE(app->windows().wndMain()->ProjectModified());
}
