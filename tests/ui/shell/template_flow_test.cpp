// The template commands end to end, through the real windows and the
// installed starter set: a data log becomes a dashboard in three clicks;
// "New Project from Template..." goes from a data-logger template through
// the input mapping and the tip to the data template menu and its options;
// replacing an input's objects loads the template first and one Undo
// brings the old objects back; a cancelled mapping leaves the project as
// it was.
#include <QCheckBox>
#include <QFile>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>

#include "io/files/templates.h"
#include "io/files/undo.h"
#include "model/project.h"
#include "media/datalog/datalog_queries.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/shell/wcTemplateConfig.h"
#include "ui/shell/wcTemplateLoad.h"
#include "ui/shell/wcTemplateMenu.h"
#include "ui/shell/wcTip.h"
#include "ui/support/input_files.h"
#include "ui/support/lists_fixture.h"
#include "ui/support/template_files.h"
#include "ui/support/window_shots.h"

namespace {

// The slot showing the template of that name, or -1.
int SlotOf(wcTemplateMenu* menu, const QString& name) {
  for (int k = 0; k < wcTemplateMenu::kSlots; ++k)
    if (menu->SlotShown(k) && menu->TemplateName(k) == name) return k;
  return -1;
}

// The user's click on a thumbnail.
void Choose(wcTemplateMenu* menu, const QString& name) {
  const int slot = SlotOf(menu, name);
  ASSERT_GE(slot, 0) << name.toStdString();
  QTest::mouseClick(menu->PreviewImage(slot), Qt::LeftButton);
}

} // namespace

class TemplateFlowTest : public ListsTest {
protected:
  static bool ShowMenu(wcTemplateMenu* menu) {
    menu->showWindow();
    return SpinUntil([menu]() { return menu->PreviewImage(14)->framesReceived() > 0; });
  }
  QString Templates() const { return QString::fromStdString(DocumentsFolder()) + "/Templates"; }
  // Objects of the project that show the input.
  int ObjectsOf(uint32_t input) const {
    int n = 0;
    for (uint32_t i = 0; i < DispObjCount(); ++i) n += DispObjGet(i)->InputID == input ? 1 : 0;
    return n;
  }
  std::string log;
  void SetUp() override {
    ListsTest::SetUp();
    log = WriteLapSession(tempDir);
  }
};

TEST_F(TemplateFlowTest, ADataLogBecomesADashboardInThreeClicks) {
  onModal = [this](WindowController* window) {
    if (auto* menu = qobject_cast<wcTemplateMenu*>(window)) {
      EXPECT_TRUE(ShowMenu(menu));
      EXPECT_EQ(menu->window()->windowTitle(), "Select Data Template...");
      EXPECT_FALSE(menu->CancelButton()->isHidden());
      EXPECT_TRUE(menu->ShowAtStart()->isHidden());
      SaveWindowShot(menu->window(), "template-menu-data");
      Choose(menu, "Car Dashboard"); // second click
    } else if (auto* options = qobject_cast<wcTemplateConfig*>(window)) {
      options->showWindow();
      EXPECT_TRUE(options->CancelButton()->isHidden()) << "the options follow the menu without Cancel";
      EXPECT_TRUE(options->Box(kOptTach)->isChecked());
      options->Box(kOptLapBest)->click();
      QTest::mouseClick(options->OkButton(), Qt::LeftButton); // third click
    }
    return 0;
  };
  panelAnswers = {{QString::fromStdString(log)}};
  main->AddInput(); // first click: the file chosen in the Add panel
  EXPECT_EQ(modalRuns, std::vector<QString>({"wcTemplateMenu", "wcTemplateConfig"}));
  ASSERT_EQ(InputCount(), 1u);
  EXPECT_EQ(ObjectsOf(0), 9); // and two panels of its own
  EXPECT_EQ(DispObjFind(u"Tachometer") != kNoDispObj, true);
  EXPECT_TRUE(DispObjGet(DispObjFind(u"Best Lap Time"))->Active);
  uint32_t mask = 0;
  float speed = 0, tach = 0, red = 0;
  ASSERT_EQ(ProjectWizGetOpts(&mask, &speed, &tach, &red), 0);
  EXPECT_EQ(mask, ProjectWizScanInput(0) | kOptLapBest);
  EXPECT_TRUE(main->ProjectModified());
  EXPECT_EQ(Rows(main->DispObjsTable()).size(), static_cast<qsizetype>(DispObjCount()));
  // The refreshes of the commands drew the new objects and started no
  // playback of their own: none in a while in which it would have started.
  Spin(400);
  EXPECT_FALSE(wcMain::PreviewIsPlayingNow());
  main->PreviewRefresh();
  main->PreviewRefresh();
  Spin(400); // as above
  EXPECT_FALSE(wcMain::PreviewIsPlayingNow());
  EXPECT_EQ(main->PreviewTime(), 0.0);
  SaveWindowShot(main->window(), "main-with-dashboard");
  // One Undo takes the whole template back and leaves the log.
  UndoToggle();
  EXPECT_EQ(DispObjCount(), 0u);
  EXPECT_EQ(InputCount(), 1u);
}

TEST_F(TemplateFlowTest, NewProjectFromTemplateRunsTheWholeChain) {
  const std::string video = MakeTestVideo(File("onboard.mp4"), 30);
  std::vector<std::pair<QString, bool>> menus; // title, Cancel shown
  onModal = [&](WindowController* window) {
    if (auto* menu = qobject_cast<wcTemplateMenu*>(window)) {
      EXPECT_TRUE(ShowMenu(menu));
      menus.push_back({menu->window()->windowTitle(), !menu->CancelButton()->isHidden()});
      if (menus.size() == 1) {
        SaveWindowShot(menu->window(), "template-menu-new-project");
        Choose(menu, "Datalogger Video");
      } else {
        Choose(menu, "Race Telemetry");
      }
    } else if (auto* mapping = qobject_cast<wcTemplateLoad*>(window)) {
      mapping->showWindow();
      panelAnswers = {{QString::fromStdString(video)}, {QString::fromStdString(log)}};
      QTest::mouseClick(mapping->InputAddButton(0), Qt::LeftButton);
      QTest::mouseClick(mapping->InputAddButton(1), Qt::LeftButton);
      SaveWindowShot(mapping->window(), "template-mapping-new-project");
      mapping->OkButton_Pressed();
    } else if (auto* tip = qobject_cast<wcTip*>(window)) {
      tip->showWindow();
      SaveWindowShot(tip->window(), "template-datalogger-tip");
      tip->OkButton_Pressed();
    } else if (auto* options = qobject_cast<wcTemplateConfig*>(window)) {
      options->showWindow();
      SaveWindowShot(options->window(), "template-options-new-project");
      options->close(); // without Cancel, the close box stores too
    }
    return 0;
  };
  main->setProjectModified(false);
  app->menuAction("mnuFileNewTemplate")->trigger();
  EXPECT_EQ(modalRuns, std::vector<QString>({"wcTemplateMenu", "wcTemplateLoad", "wcTip", "wcTemplateMenu",
                                             "wcTemplateConfig"}));
  ASSERT_EQ(menus.size(), 2u);
  EXPECT_EQ(menus[0], std::make_pair(QString("Quelvatron - New Project Menu"), true));
  EXPECT_EQ(menus[1], std::make_pair(QString("Select Data Template..."), false));
  ASSERT_EQ(InputCount(), 2u);
  EXPECT_EQ(InputGetType(0), kInputVideo);
  EXPECT_EQ(InputGetType(1), kInputData);
  EXPECT_EQ(DispObjGet(DispObjFind(u"Camera"))->InputID, 0);
  EXPECT_EQ(DispObjGet(DispObjFind(u"Speed Trace"))->InputID, 1);
  uint32_t mask = 0;
  EXPECT_EQ(ProjectWizGetOpts(&mask, nullptr, nullptr, nullptr), 0);
  EXPECT_NE(mask, 0u);
  EXPECT_TRUE(main->ProjectModified());
  EXPECT_TRUE(messages.empty());
}

TEST_F(TemplateFlowTest, ReplacingAnInputsObjectsLoadsFirstAndUndoesInOneStep) {
  const uint32_t data = InputAdd(QString::fromStdString(log).toStdU16String().c_str());
  main->InputRefresh(data);
  ASSERT_EQ(main->TemplateAdd(StarterTemplate("Data - _4 Speed and Map.qvt"), data), 0);
  ASSERT_EQ(ObjectsOf(data), 2);
  ASSERT_EQ(DispObjCount(), 4u); // in their group, a caption with them
  // A template whose thumbnail reads but whose records are damaged.
  const QString cut = Templates() + "/Data - _0 Damaged.qvt";
  ASSERT_TRUE(QFile::copy(StarterTemplate("Data - _1 Car Dashboard.qvt"), cut));
  QFile file(cut);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(file.seek(file.size() - 3000));
  const char byte = file.peek(1).at(0);
  file.write(QByteArray(1, static_cast<char>(byte ^ 0x5A)));
  file.close();
  int menuRuns = 0;
  onModal = [&](WindowController* window) {
    if (auto* menu = qobject_cast<wcTemplateMenu*>(window)) {
      ++menuRuns;
      EXPECT_TRUE(ShowMenu(menu));
      Choose(menu, "Damaged");
      // Shown, and nothing removed: the menu stays for another choice.
      EXPECT_EQ(messages.size(), 1u);
      EXPECT_EQ(ObjectsOf(data), 2);
      EXPECT_TRUE(AppDelegate::IsWindowVisible(menu));
      Choose(menu, "Motorbike");
    } else if (auto* options = qobject_cast<wcTemplateConfig*>(window)) {
      options->OkButton_Pressed();
    }
    return 0;
  };
  // From the inputs list's menu, as the user would.
  main->InputSelect(data);
  ASSERT_TRUE(main->menuWillOpen(main->InputFilesMenu(), 0));
  ASSERT_TRUE(main->ListMenuItem("InputMenuAddTemplate")->isEnabled());
  main->ListMenuItem("InputMenuAddTemplate")->trigger();
  EXPECT_EQ(menuRuns, 1);
  // The old group went whole, its caption with it.
  EXPECT_EQ(DispObjFind(u"Speed and Map"), kNoDispObj);
  EXPECT_NE(DispObjFind(u"Motorbike"), kNoDispObj);
  EXPECT_NE(DispObjFind(u"Shift Lights"), kNoDispObj);
  EXPECT_GT(ObjectsOf(data), 2);
  // One Undo: the old objects, as they were.
  UndoToggle();
  EXPECT_EQ(ObjectsOf(data), 2);
  EXPECT_NE(DispObjFind(u"Speed and Map"), kNoDispObj);
  EXPECT_EQ(DispObjFind(u"Shift Lights"), kNoDispObj);
}

TEST_F(TemplateFlowTest, ACancelledMappingLeavesTheProjectAsItWas) {
  const std::string video = MakeTestVideo(File("onboard.mp4"));
  onModal = [&](WindowController* window) {
    if (auto* menu = qobject_cast<wcTemplateMenu*>(window)) {
      EXPECT_TRUE(ShowMenu(menu));
      EXPECT_EQ(menu->window()->windowTitle(), "Add Template to Project...");
      EXPECT_EQ(menu->BrowseButton()->text(), "More...");
      // Both kinds are offered, each named with its kind.
      EXPECT_GE(SlotOf(menu, "Data - Lap Timing"), 0);
      EXPECT_GE(SlotOf(menu, "Project - Video with Title"), 0);
      Choose(menu, "Project - Video with Title");
      EXPECT_TRUE(AppDelegate::IsWindowVisible(menu)) << "a cancelled mapping keeps the menu";
      menu->CancelButton_Pressed();
    } else if (auto* mapping = qobject_cast<wcTemplateLoad*>(window)) {
      panelAnswers = {{QString::fromStdString(video)}};
      mapping->InputAdd_Pressed(0);
      EXPECT_EQ(InputCount(), 1u);
      mapping->CancelButton_Pressed();
    }
    return 0;
  };
  app->menuAction("mnuFileImportTemplate")->trigger();
  EXPECT_EQ(modalRuns, std::vector<QString>({"wcTemplateMenu", "wcTemplateLoad"}));
  EXPECT_EQ(InputCount(), 0u) << "the input added in the mapping went with it";
  EXPECT_EQ(DispObjCount(), 0u);
  EXPECT_EQ(main->InputFilesTable()->rowCount(), 0);
}
