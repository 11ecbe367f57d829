// The main window's toolbar pressed as a user does: its buttons in order
// with the words the window gives them, and each one doing its command
// (the template menu, the open and save panels, a save, the project
// settings, the output settings, the lap list and the timeline).
#include <QAction>
#include <QFileInfo>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "base/message_box.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "ui/input/wcLapList.h"
#include "ui/input/wcTimeline.h"
#include "ui/seams/file_dialogs.h"
#include "ui/support/input_files.h"
#include "ui/support/lists_fixture.h"
#include "ui/support/window_shots.h"

namespace {

class ToolbarTest : public ListsTest {
protected:
  void SetUp() override {
    ListsTest::SetUp();
    // The panels answer as the fixture's do and note what they were asked.
    FileDialogInstall([this](const FileDialogRequest& request) {
      requests.push_back(request);
      if (panelAnswers.empty()) return QStringList();
      QStringList answer = panelAnswers.front();
      panelAnswers.pop_front();
      return answer;
    });
  }
  QToolBar* Bar() const { return main->mainWindow()->findChild<QToolBar*>("CommandsToolBar"); }
  QToolButton* Button(const char* name) const {
    QAction* action = Bar()->findChild<QAction*>(name);
    EXPECT_NE(action, nullptr) << name;
    return action != nullptr ? qobject_cast<QToolButton*>(Bar()->widgetForAction(action)) : nullptr;
  }
  void Press(const char* name) {
    QToolButton* button = Button(name);
    ASSERT_NE(button, nullptr) << name;
    ASSERT_TRUE(button->isVisible()) << name;
    QTest::mouseClick(button, Qt::LeftButton);
  }

  std::vector<FileDialogRequest> requests;
};

} // namespace

TEST_F(ToolbarTest, ButtonsShowTheirWordsInOrder) {
  QStringList titles;
  QStringList names;
  for (QAction* action : Bar()->actions()) {
    if (action->isSeparator()) continue;
    titles << action->text();
    names << action->objectName();
    EXPECT_TRUE(action->icon().isNull());
  }
  EXPECT_EQ(names, QStringList({"ProjectNewButton", "ProjectOpenButton", "ProjectSaveButton", "ProjectSettingsButton",
                                "CreateVideoButton", "LapsButton", "TimelineButton"}));
  EXPECT_EQ(titles, QStringList({"New", "Open", "Save", "Project Settings", "Create Video File", "Laps",
                                 "Show Timeline"}));
  // The buttons beside the lists carry the window's words as well.
  EXPECT_EQ(main->mainWindow()->findChild<QPushButton*>("InputEdit")->text(), "Configure");
  EXPECT_EQ(main->mainWindow()->findChild<QPushButton*>("DispObjEdit")->text(), "Properties");
  main->mainWindow()->resize(1280, 800);
  SaveWindowShot(main->mainWindow(), "main-toolbar");
}

TEST_F(ToolbarTest, ProjectButtonsOpenSaveAndSetTheProjectUp) {
  // New: a new project, then the template menu for it.
  InputAddSpecial(kSpecialFiller);
  main->setProjectModified(true);
  answers = {kMbNo};
  Press("ProjectNewButton");
  EXPECT_EQ(CountMessages(L"Do you want to save the current project first?"), 1);
  EXPECT_EQ(InputCount(), 0u);
  EXPECT_EQ(modalRuns, std::vector<QString>({"wcTemplateMenu"}));

  // Save with no file yet asks where, through the save panel.
  InputAddSpecial(kSpecialFiller);
  main->setProjectModified(true);
  panelAnswers = {QStringList({QPath("toolbar.qvp")})};
  Press("ProjectSaveButton");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_TRUE(requests[0].save);
  EXPECT_EQ(requests[0].title, "Save Project As...");
  EXPECT_TRUE(QFileInfo::exists(QPath("toolbar.qvp")));
  EXPECT_FALSE(main->ProjectModified());
  // Again with the file known: written without a panel.
  InputAddSpecial(kSpecialFiller);
  main->setProjectModified(true);
  const QDateTime before = QFileInfo(QPath("toolbar.qvp")).lastModified();
  QTest::qWait(20);
  Press("ProjectSaveButton");
  EXPECT_EQ(requests.size(), 1u);
  EXPECT_FALSE(main->ProjectModified());
  EXPECT_GT(QFileInfo(QPath("toolbar.qvp")).lastModified(), before);

  // Open: the open panel, then the project as saved (two fillers).
  answers = {kMbNo};
  Press("ProjectNewButton");
  ASSERT_EQ(InputCount(), 0u);
  panelAnswers = {QStringList({QPath("toolbar.qvp")})};
  Press("ProjectOpenButton");
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_FALSE(requests[1].save);
  EXPECT_EQ(requests[1].title, "Open Project...");
  EXPECT_EQ(requests[1].types, QStringList({"qvp", "qpp"}));
  EXPECT_EQ(InputCount(), 2u);
  EXPECT_EQ(main->ProjectTitle(), "toolbar");

  // Project settings run their window.
  modalRuns.clear();
  Press("ProjectSettingsButton");
  EXPECT_EQ(modalRuns, std::vector<QString>({"wcProject"}));
}

TEST_F(ToolbarTest, OutputLapsAndTimelineButtonsOpenTheirWindows) {
  Press("CreateVideoButton");
  EXPECT_EQ(CountMessages(L"Please add display objects to this project first"), 1);
  EXPECT_TRUE(modalRuns.empty());
  DispObjAdd(kDispText, kNoInput);
  Press("CreateVideoButton");
  EXPECT_EQ(modalRuns, std::vector<QString>({"wcCreateVideo"}));

  Press("LapsButton");
  EXPECT_EQ(CountMessages(L"Please add a data input file to the project first."), 1);
  const uint32_t data = InputAdd(QString::fromStdString(MakeTestNmea(File("laps.nmea"))).toStdU16String().c_str());
  ASSERT_NE(data, kNoInput);
  main->InputRefresh(kNoInput);
  Press("LapsButton");
  EXPECT_TRUE(AppDelegate::IsWindowVisible(app->windows().wndLapList()));
  app->windows().wndLapList()->close();

  Press("TimelineButton");
  EXPECT_TRUE(AppDelegate::IsWindowVisible(app->windows().wndTimeline()));
  app->windows().wndTimeline()->close();
  Press("TimelineButton");
  EXPECT_TRUE(AppDelegate::IsWindowVisible(app->windows().wndTimeline()));
  app->windows().wndTimeline()->close();
}
