#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>

#include "base/log.h"
#include "base/message_box.h"
#include "io/files/undo.h"
#include "model/project.h"
#include "support/media_fixtures.h"
#include "support/read_file.h"
#include "support/scoped_env.h"
#include "ui/controls/NameListTable.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/input/wcInputSync.h"
#include "ui/input/wcLapList.h"
#include "ui/input/wcTimeline.h"
#include "ui/seams/desktop.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcAbout.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcProjectWiz.h"
#include "ui/shell/vendor.h"
#include "ui/shell/wcTip.h"
#include "ui/support/shell_fixture.h"
#include "ui/util/ui_utils.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <fstream>
#include <sys/stat.h>

TEST_F(ShellTest, TogglesFlipAndAreStoredAtOnce) {
  ASSERT_TRUE(Launch());
  ASSERT_TRUE(app->menuAction("mnuEditSnapToGrid")->isChecked());
  app->menuAction("mnuEditSnapToGrid")->trigger();
  EXPECT_FALSE(app->menuAction("mnuEditSnapToGrid")->isChecked());
  EXPECT_FALSE(app->windows().wndMain()->SnapToGrid());
  EXPECT_EQ(Setting("SnapToGrid").toString(), "false");
  app->menuAction("mnuEditGestures")->trigger();
  EXPECT_FALSE(app->windows().wndMain()->Gestures());
  EXPECT_EQ(Setting("Gestures").toString(), "false");
  app->menuAction("mnuEditGestures")->trigger();
  EXPECT_TRUE(app->windows().wndMain()->Gestures());
  EXPECT_EQ(Setting("Gestures").toString(), "true");
}

TEST_F(ShellTest, EveryMenuItemHasItsWindow) {
  ASSERT_TRUE(Launch());
  for (const char* name : {"mnuFileNew", "mnuFileOpen", "mnuFileSave", "mnuFileSaveAs", "mnuEditUndo",
                           "mnuHelpAbout", "mnuHelpShowLog", "mnuHelpUpdateCheck", "mnuHelpDocs",
                           "mnuFileNewTemplate", "mnuFileRevert", "mnuFileInputAdd", "mnuFileInputAddEmbed",
                           "mnuFileProjectSettings", "mnuFileExportPreview", "mnuFileTransfer", "mnuFileUpload",
                           "mnuFileCreateVideo", "mnuFileImportTemplate", "mnuFileCreateTemplate"}) {
    ASSERT_NE(app->menuAction(name), nullptr) << name;
    EXPECT_TRUE(app->menuAction(name)->isEnabled()) << name;
  }
}

TEST_F(ShellTest, AboutFillsItselfAtEveryOpening) {
  ASSERT_TRUE(Launch());
  int openings = 0;
  onModal = [&openings](WindowController* controller) {
    auto* about = static_cast<wcAbout*>(controller);
    about->showWindow();
    SpinUntil([about]() { return !about->FreshWindow(); });
    EXPECT_EQ(about->window()->windowTitle(), "About Quelvatron 2.9.6b");
    EXPECT_EQ(about->AppLabel->text(), "Quelvatron");
    EXPECT_EQ(about->VerLabel->text(), "Version 2.9.6b");
    EXPECT_TRUE(about->AboutText->text().startsWith("Build ID: 20140204 (64-bit)"));
    about->OkButton->click();
    EXPECT_TRUE(about->FreshWindow());
    ++openings;
    return 0;
  };
  app->menuAction("mnuHelpAbout")->trigger();
  app->menuAction("mnuHelpAbout")->trigger();
  EXPECT_EQ(openings, 2);
  EXPECT_EQ(modalRuns, std::vector<QString>({"wcAbout", "wcAbout"}));
}

TEST_F(ShellTest, TheTipRemembersItsChoiceAtOnce) {
  ASSERT_TRUE(Launch());
  wcTip* tip = app->windows().wndTip();
  tip->showWindow();
  ASSERT_TRUE(SpinUntil([tip]() { return !tip->FreshWindow(); }));
  EXPECT_TRUE(tip->DoTip->isChecked()) << "on while never stored";
  tip->DoTip->click();
  EXPECT_EQ(Setting("AutomaticTips").toString(), "false");
  tip->close();
  EXPECT_TRUE(tip->FreshWindow());
  tip->showWindow();
  ASSERT_TRUE(SpinUntil([tip]() { return !tip->FreshWindow(); }));
  EXPECT_FALSE(tip->DoTip->isChecked());
}

TEST_F(ShellTest, UndoSwapsBackAndMarksTheProjectModified) {
  ASSERT_TRUE(Launch());
  UndoSave();
  ProjectSetUserText(u"after");
  app->menuAction("mnuEditUndo")->trigger();
  EXPECT_EQ(W16ToNSString(ProjectGetUserText()), "");
  EXPECT_TRUE(app->windows().wndMain()->ProjectModified());
  app->menuAction("mnuEditUndo")->trigger();
  EXPECT_EQ(W16ToNSString(ProjectGetUserText()), "after");
}

TEST_F(ShellTest, HelpPagesOpenInTheBrowser) {
  ASSERT_TRUE(Launch());
  app->menuAction("mnuHelpDocs")->trigger();
  app->menuAction("mnuHelpInternet")->trigger();
  ASSERT_EQ(openedUrls.size(), 2u);
  EXPECT_NE(openedUrls[0], openedUrls[1]);
  EXPECT_EQ(openedUrls[0].scheme(), "https");
}

// Without a browser or xdg-open the Help menu's pages and the log tell
// what could not be opened and why, at once or when xdg-open gives up.
TEST_F(ShellTest, HelpItemsTellWhatTheyCouldNotOpen) {
  ASSERT_TRUE(Launch());
  OpenUrlInstall(nullptr); // the desktop's own way
  const std::string bin = tempDir + "/bin";
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(bin)));
  ScopedEnv path("PATH", bin);
  ScopedEnv browser("BROWSER", nullptr);
  ScopedEnv defaultBrowser("DEFAULT_BROWSER", nullptr);
  const QString log = WStrToNSString(LogGetOutputPath());
  auto told = [this](size_t count) { return SpinUntil([this, count]() { return messages.size() >= count; }); };

  app->menuAction("mnuHelpDocs")->trigger();
  app->menuAction("mnuHelpInternet")->trigger();
  app->menuAction("mnuHelpShowLog")->trigger();
  ASSERT_TRUE(told(3));
  const std::wstring none = L"\n\nNo program to open it is installed (xdg-open was not found).";
  EXPECT_EQ(messages[0].text, L"Unable to open the documentation page:\n" + NSStringToWStr(VendorDocsUrl()) + none);
  EXPECT_EQ(messages[0].flags, 16);
  EXPECT_EQ(messages[1].text, L"Unable to open the product page:\n" + NSStringToWStr(VendorProductUrl()) + none);
  EXPECT_EQ(messages[2].text, L"Unable to open the log:\n" + NSStringToWStr(log) + none);
  EXPECT_TRUE(QFileInfo::exists(log)) << "the log is written all the same";

  // An xdg-open that finds no browser ends with 3, as the real one does.
  const std::string asked = bin + "/asked.txt";
  auto standIn = [&](int exitCode) {
    std::ofstream(bin + "/xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << asked << "'\nexit " << exitCode
                                      << "\n";
    ASSERT_EQ(chmod((bin + "/xdg-open").c_str(), 0700), 0);
  };
  auto openersDone = []() {
    return SpinUntil([]() { return QCoreApplication::instance()->findChildren<QProcess*>().isEmpty(); });
  };
  standIn(3);
  app->menuAction("mnuHelpDocs")->trigger();
  ASSERT_TRUE(told(4));
  EXPECT_EQ(messages[3].text, L"Unable to open the documentation page:\n" + NSStringToWStr(VendorDocsUrl()) +
                                  L"\n\nNo program to open it is installed (xdg-open found none).");
  ASSERT_TRUE(openersDone());
  // One that opens it: nothing to tell.
  standIn(0);
  app->menuAction("mnuHelpShowLog")->trigger();
  ASSERT_TRUE(openersDone());
  EXPECT_EQ(messages.size(), 4u);
  EXPECT_EQ(ReadWholeFile(asked), VendorDocsUrl().toStdString() + "\n" + log.toStdString() + "\n");
}

TEST_F(ShellTest, NewProjectAfterChangesAsksFirst) {
  ASSERT_TRUE(Launch());
  ProjectSetUserText(u"work");
  app->windows().wndMain()->setProjectModified(true);
  answers = {kMbNo};
  app->menuAction("mnuFileNew")->trigger();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, L"Do you want to save the current project first?");
  EXPECT_EQ(W16ToNSString(ProjectGetUserText()), "");
  EXPECT_FALSE(app->windows().wndMain()->ProjectModified());
}

TEST_F(ShellTest, SaveAsThenOpenThroughTheFilePanels) {
  ASSERT_TRUE(Launch());
  ProjectSetUserText(u"Qualifying");
  app->windows().wndMain()->setProjectModified(true);
  std::string path = tempDir + "/Qualifying.qvp";
  panelAnswers = {QStringList{QString::fromStdString(path)}};
  app->menuAction("mnuFileSaveAs")->trigger();
  EXPECT_EQ(app->windows().wndMain()->mainWindow()->windowTitle(), "Qualifying - Quelvatron 2.9.6b");
  EXPECT_FALSE(app->windows().wndMain()->ProjectModified());

  app->menuAction("mnuFileNew")->trigger();
  EXPECT_EQ(W16ToNSString(ProjectGetUserText()), "");
  EXPECT_EQ(app->windows().wndMain()->ProjectTitle(), "Untitled");

  panelAnswers = {QStringList{QString::fromStdString(path)}};
  app->menuAction("mnuFileOpen")->trigger();
  EXPECT_EQ(W16ToNSString(ProjectGetUserText()), "Qualifying");
  EXPECT_EQ(app->windows().wndMain()->ProjectTitle(), "Qualifying");
  EXPECT_TRUE(messages.empty());

  // A cancelled panel changes nothing.
  app->menuAction("mnuFileOpen")->trigger();
  EXPECT_EQ(app->windows().wndMain()->ProjectTitle(), "Qualifying");
  // Save with a file name writes there without a panel.
  app->windows().wndMain()->setProjectModified(true);
  app->menuAction("mnuFileSave")->trigger();
  EXPECT_FALSE(app->windows().wndMain()->ProjectModified());
  EXPECT_TRUE(panelAnswers.empty());
}

TEST_F(ShellTest, OpeningAFileThatIsNoProjectShowsTheError) {
  ASSERT_TRUE(Launch());
  std::string path = tempDir + "/broken.qvp";
  FILE* file = fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  fputs("not a project at all", file);
  fclose(file);
  panelAnswers = {QStringList{QString::fromStdString(path)}};
  app->menuAction("mnuFileOpen")->trigger();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].text.find(L"ProjectOpen"), std::wstring::npos);
  EXPECT_EQ(app->windows().wndMain()->ProjectTitle(), "Untitled");
}

namespace {

// Ctrl and the key, pressed where the keys go now.
void PressWithControl(Qt::Key key) {
  QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : QApplication::activeWindow();
  ASSERT_NE(target, nullptr);
  QTest::keyClick(target, key, Qt::ControlModifier);
}

} // namespace

// Only the main window has the menu bar, but its keys work from every
// window the program shows beside it; a modal window holds them off.
TEST_F(ShellTest, MenuKeysWorkFromEveryWindowButNotBehindAModalOne) {
  const std::string wav = tempDir + "/Pit Radio.wav";
  ASSERT_TRUE(WriteWav16(wav, 22050, 1, MakeRampPcm16(22050, 1)));
  ASSERT_TRUE(Launch({QString::fromStdString(wav)}));
  wcMain* main = app->windows().wndMain();
  QWidget* mainWindow = main->windowIfLoaded();
  ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow));
  ASSERT_TRUE(main->ProjectModified()) << "the sound joined the project";
  const std::string project = tempDir + "/Heat.qvp";
  panelAnswers = {QStringList{QString::fromStdString(project)}};
  PressWithControl(Qt::Key_S);
  ASSERT_FALSE(main->ProjectModified());
  EXPECT_EQ(main->ProjectTitle(), "Heat");

  // Each window as its control opens it, then Ctrl+S there saves.
  auto* objects = mainWindow->findChild<NameListTable*>("DispObjsTable");
  ASSERT_NE(objects, nullptr);
  ASSERT_EQ(objects->rowCount(), 1);
  objects->selectRow(0);
  const std::vector<std::pair<const char*, WindowController*>> windows = {
      {"InputSync", app->windows().wndInputSync()},
      {"LapsButton", app->windows().wndLapList()},
      {"TimelineButton", app->windows().wndTimeline()},
      {"DispObjEdit", app->windows().wndDispObjEdit()},
  };
  for (const auto& [control, controller] : windows) {
    SCOPED_TRACE(control);
    if (auto* button = mainWindow->findChild<QPushButton*>(control)) button->click();
    else mainWindow->findChild<QAction*>(control)->trigger();
    QWidget* window = controller->windowIfLoaded();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    main->setProjectModified(true);
    PressWithControl(Qt::Key_S);
    EXPECT_FALSE(main->ProjectModified());
    controller->close();
  }
  EXPECT_TRUE(messages.empty());

  // A modal window: neither Save nor New behind it. Modal as a modal run
  // makes it, served here (an earlier test's quit ends nested runs at once).
  bool savedBehind = true;
  onModal = [main, &savedBehind](WindowController* controller) {
    auto* dialog = qobject_cast<QDialog*>(controller->window());
    if (dialog == nullptr) return 0;
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    if (QTest::qWaitForWindowActive(dialog)) {
      PressWithControl(Qt::Key_S);
      PressWithControl(Qt::Key_N);
      savedBehind = !main->ProjectModified();
    }
    dialog->reject();
    dialog->setWindowModality(Qt::NonModal);
    return 0;
  };
  main->setProjectModified(true);
  app->menuAction("mnuHelpAbout")->trigger();
  EXPECT_FALSE(savedBehind);
  EXPECT_TRUE(main->ProjectModified());
  EXPECT_EQ(main->ProjectTitle(), "Heat");
  EXPECT_TRUE(messages.empty());

  // A blank new project brings the wizard forward with the keys; Save there
  // asks where the new project goes.
  main->setProjectModified(false);
  mainWindow->activateWindow(); // the user's click on it
  ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow));
  PressWithControl(Qt::Key_N);
  wcProjectWiz* wizard = app->windows().wndProjectWiz();
  ASSERT_TRUE(SpinUntil([wizard]() { return AppDelegate::IsWindowVisible(wizard); }, 5000));
  ASSERT_TRUE(QTest::qWaitForWindowActive(wizard->windowIfLoaded()));
  EXPECT_EQ(main->ProjectTitle(), "Untitled");
  main->setProjectModified(true);
  panelAnswers = {QStringList{QString::fromStdString(tempDir + "/Final.qvp")}};
  PressWithControl(Qt::Key_S);
  EXPECT_FALSE(main->ProjectModified());
  EXPECT_EQ(main->ProjectTitle(), "Final");
  EXPECT_TRUE(messages.empty());
}
