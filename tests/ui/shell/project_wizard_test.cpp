// The new-project wizard: shown beside the main window for a new project
// while the user wants it, its rows rebuilt from the project each time it
// comes to the front (seven other inputs at most, images and later parts
// of a join never), the data step only with a data input, and its
// commands acting on the project.
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "model/project.h"
#include "ui/util/ui_utils.h"
#include <filesystem>
#include "ui/shell/wcProjectWiz.h"
#include "ui/support/input_files.h"
#include "ui/support/lists_fixture.h"
#include "ui/support/template_files.h"
#include "ui/support/window_shots.h"

namespace {

QStringList Items(QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

} // namespace

class ProjectWizardTest : public ListsTest {
protected:
  void SetUp() override {
    ListsTest::SetUp();
    wizard = app->windows().wndProjectWiz();
    ASSERT_NE(wizard, nullptr);
  }
  uint32_t Add(const std::string& path) { return InputAdd(QString::fromStdString(path).toStdU16String().c_str()); }
  void Show() {
    wizard->showWindow();
    SpinUntil([this]() { return AppDelegate::IsWindowVisible(wizard); });
    wizard->UpdateControls();
  }
  QStringList Rows() const {
    QStringList rows;
    for (int r = 0; r < wcProjectWiz::kRows; ++r)
      if (!wizard->SyncButton(r)->isHidden()) rows << wizard->SyncButton(r)->text().trimmed();
    return rows;
  }
  wcProjectWiz* wizard = nullptr;
};

TEST_F(ProjectWizardTest, ANewProjectShowsTheWizardWhileTheUserWantsIt) {
  app->menuAction("mnuFileNew")->trigger();
  EXPECT_TRUE(SpinUntil([this]() { return AppDelegate::IsWindowVisible(wizard); }));
  // It fills itself as it comes to the front.
  EXPECT_TRUE(SpinUntil([this]() { return !wizard->FreshWindow(); }));
  EXPECT_TRUE(wizard->UseWizardCheck()->isChecked());
  // Without inputs: the hint instead of rows, no data step.
  EXPECT_FALSE(wizard->NoOtherInputsLabel()->isHidden());
  EXPECT_TRUE(Rows().isEmpty());
  EXPECT_TRUE(wizard->StepBoxC()->isHidden());
  EXPECT_EQ(wizard->PrimaryInputSelection()->currentText(), "(None)");
  wizard->UseWizardCheck()->click();
  EXPECT_EQ(Setting("UseProjectWizard").toString(), "false");
  wizard->close();
  app->menuAction("mnuFileNew")->trigger();
  // It does not come: a while in which it would have.
  Spin(100);
  EXPECT_FALSE(AppDelegate::IsWindowVisible(wizard)) << "turned off";
  // The start-up menu's Blank Project leads to it as well.
  SetSetting("UseProjectWizard", true);
  main->TemplateMenu(0, kNoInput); // the modal run closes without a choice
  EXPECT_TRUE(SpinUntil([this]() { return AppDelegate::IsWindowVisible(wizard); }));
  wizard->close();
}

TEST_F(ProjectWizardTest, RowsFollowTheProject) {
  for (int k = 1; k <= 9; ++k) Add(MakeTestVideo(File("lap" + std::to_string(k) + ".mp4")));
  const uint32_t image = Add(MakeTestPng(File("logo.png")));
  const uint32_t log = Add(WriteLapSession(tempDir));
  // A camera's set of two parts: only the part that starts it is listed.
  MakeTestVideo(File("GOPR0001.MP4"));
  std::filesystem::copy_file(File("GOPR0001.MP4"), File("GP010001.MP4"));
  ASSERT_NE(InputAddMultiPart(NSStringToWStr(QPath("GOPR0001.MP4")).c_str()), kNoInput);
  const uint32_t first = InputFind(u"GOPR0001.MP4"), later = InputFind(u"GP010001.MP4");
  ASSERT_NE(later, kNoInput);
  ASSERT_GT(InputGetMain(later)->StartTime, 0.001f);
  Show();
  QStringList seven;
  for (uint32_t i = 0; i < 7; ++i) seven << InputName(i);
  EXPECT_EQ(Rows(), seven);
  const QStringList offered = Items(wizard->PrimaryInputSelection());
  EXPECT_EQ(offered.size(), 11); // nine videos, the log and the set's first part
  EXPECT_TRUE(offered.contains(InputName(8)));
  EXPECT_TRUE(offered.contains(InputName(first)));
  EXPECT_FALSE(offered.contains(InputName(later)));
  EXPECT_FALSE(offered.contains(InputName(image))) << "images are never listed";
  EXPECT_TRUE(wizard->NoOtherInputsLabel()->isHidden());
  EXPECT_FALSE(wizard->StepBoxC()->isHidden());
  EXPECT_EQ(Items(wizard->DataInputSelection()), QStringList({InputName(log)}));
  SaveWindowShot(wizard->window(), "project-wizard");

  // Data sync without a chosen data input: the message, nothing opened.
  QPushButton* quickSync = nullptr;
  for (auto* button : wizard->StepBoxC()->findChildren<QPushButton*>())
    if (button->text() == "Quick Sync...") quickSync = button;
  ASSERT_NE(quickSync, nullptr);
  quickSync->click();
  EXPECT_EQ(CountMessages(L"Please select a data input to synchronize."), 1);
  EXPECT_EQ(messages.back().flags, 16);
  EXPECT_TRUE(modalRuns.empty());

  // The data step's template button runs the data template menu.
  wizard->DataInputSelection()->setCurrentText(InputName(log));
  wizard->DataInputSelection_Changed();
  EXPECT_EQ(wizard->DataInput(), log);
  wizard->LoadDataTemplate_Pressed();
  EXPECT_EQ(modalRuns, std::vector<QString>({"wcTemplateMenu"}));
  // Adding a data display that the user cancels changes nothing.
  const uint32_t objects = DispObjCount();
  wizard->AddDataDisplay_Pressed();
  EXPECT_EQ(modalRuns.back(), "wcDispObjToolbox");
  EXPECT_EQ(DispObjCount(), objects);

  // The speed unit is the project's and the new projects'.
  wizard->SpeedUnitSelection()->setCurrentText("Km/h");
  wizard->SpeedUnitSelection_Changed();
  EXPECT_EQ(ProjectGetSpeedUnit(), 2u);
  EXPECT_EQ(Setting("DefaultSpeedUnit").toInt(), 2);
  EXPECT_TRUE(main->ProjectModified());
  wizard->close();
}

TEST_F(ProjectWizardTest, ComingToTheFrontShowsNewInputsAndKeepsTheUsersChoices) {
  Show();
  EXPECT_FALSE(wizard->NoOtherInputsLabel()->isHidden());
  // Files added in the main window while the wizard stays open.
  const uint32_t video = Add(MakeTestVideo(File("onboard.mp4")));
  const uint32_t log = Add(WriteLapSession(tempDir));
  QEvent activate(QEvent::WindowActivate);
  QCoreApplication::sendEvent(wizard->window(), &activate);
  EXPECT_EQ(Rows(), QStringList({InputName(video), InputName(log)}));
  EXPECT_FALSE(wizard->StepBoxC()->isHidden());

  // The project keeps no primary or data input: the wizard keeps the
  // user's picks through every rebuild.
  wizard->PrimaryInputSelection()->setCurrentText(InputName(video));
  wizard->PrimaryInputSelection_Changed();
  wizard->DataInputSelection()->setCurrentText(InputName(log));
  wizard->DataInputSelection_Changed();
  QCoreApplication::sendEvent(wizard->window(), &activate);
  EXPECT_EQ(wizard->PrimaryInput(), video);
  EXPECT_EQ(wizard->PrimaryInputSelection()->currentText(), InputName(video));
  EXPECT_EQ(Rows(), QStringList({InputName(log)})) << "the primary input is no other input";
  EXPECT_EQ(wizard->DataInput(), log);
  wizard->LoadDataTemplate_Pressed();
  EXPECT_EQ(modalRuns, std::vector<QString>({"wcTemplateMenu"}));
  SaveWindowShot(wizard->window(), "project-wizard-data");

  // A new project starts without them.
  wizard->close();
  main->setProjectModified(false);
  app->menuAction("mnuFileNew")->trigger();
  ASSERT_TRUE(SpinUntil([this]() { return AppDelegate::IsWindowVisible(wizard); }));
  ASSERT_TRUE(SpinUntil([this]() { return !wizard->FreshWindow(); }));
  EXPECT_EQ(wizard->PrimaryInput(), kNoInput);
  EXPECT_EQ(wizard->DataInput(), kNoInput);
  wizard->close();
}
