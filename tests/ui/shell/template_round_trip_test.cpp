// A project saved with Create Template... and brought back with New Project
// from Template... (then once more with Import Template...) has the same
// objects in the same drawing order, the same groups and members, and
// draws the same frame. A style saved from each object beside and in a
// group and chosen again in the property window changes neither.
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "base/access_lock.h"
#include "io/files/picture24.h"
#include "model/project.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/dispobj/vcDispObjGeneral.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/shell/wcTemplateCreate.h"
#include "ui/shell/wcTemplateLoad.h"
#include "ui/shell/wcTemplateMenu.h"
#include "ui/support/input_files.h"
#include "ui/support/lists_fixture.h"
#include "ui/support/template_files.h"
#include "ui/support/window_shots.h"
#include "ui/util/ui_utils.h"

namespace {

// What the user sees of an object: kind, name, group, input, state.
QString Describe(uint32_t object) {
  const DispStruct* record = DispObjGet(object);
  if (record == nullptr) return "missing";
  QString group = "-";
  if (record->ParentObject != kNoDispObj) group = QString::fromStdU16String(DispObjGetName(record->ParentObject));
  return QString("%1 %2 in %3 input %4 %5")
      .arg(record->Type)
      .arg(QString::fromStdU16String(DispObjGetName(object)), group)
      .arg(record->InputID)
      .arg(record->Active ? "on" : "off");
}

// The objects in drawing order, one line each.
std::string Objects() {
  QStringList list;
  for (uint32_t i = 0; i < DispObjCount(); ++i) list << Describe(i);
  return list.join("\n").toStdString();
}

std::vector<uint8_t> Frame() {
  ReadAccess access("test");
  return Picture24Render(kNoDispObj, 320, 180);
}

size_t DifferingBytes(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size()) return std::max(a.size(), b.size());
  size_t n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i] ? 1 : 0;
  return n;
}

void ClickOk(QWidget* window) {
  for (QPushButton* button : window->findChildren<QPushButton*>())
    if (button->text() == "OK") return QTest::mouseClick(button, Qt::LeftButton);
  ADD_FAILURE() << "no OK button";
}

} // namespace

class TemplateRoundTripTest : public ListsTest {
protected:
  uint32_t Place(uint32_t type, uint32_t input, const char16_t* name, float x, float y, float w, float h) {
    const uint32_t object = DispObjAdd(type, input);
    EXPECT_NE(object, kNoDispObj);
    DispObjRename(object, name);
    DispStruct record = *DispObjGet(object);
    record.X = x;
    record.Y = y;
    record.Width = w;
    record.Height = h;
    DispObjSet(object, &record);
    return object;
  }
  // Camera at the bottom, a gauge, a group of a panel and a lap timer, and
  // a title on top; the panel covers part of the picture.
  void BuildProject() {
    video = MakeTestVideo(File("onboard.mp4"), 30);
    log = WriteLapSession(tempDir);
    ASSERT_EQ(InputAdd(QString::fromStdString(video).toStdU16String().c_str()), 0u);
    ASSERT_EQ(InputAdd(QString::fromStdString(log).toStdU16String().c_str()), 1u);
    Place(kDispVideo, 0, u"Camera", 0, 0, 100, 100);
    Place(kDispSpeedo, 1, u"Speed", 2, 50, 30, 45);
    const uint32_t panel = Place(kDispShape, kNoInput, u"Panel", 55, 60, 40, 30);
    const uint32_t lap = Place(kDispLapTimer, 1, u"Lap Time", 58, 65, 34, 20);
    const uint32_t group = Place(kDispGroup, kNoInput, u"Lap Panel", 0, 0, 0, 0);
    SetParentObject(panel, group);
    SetParentObject(lap, group);
    Place(kDispText, kNoInput, u"Title", 10, 5, 80, 15);
    main->DispObjRefresh(-1);
  }
  QString TemplatePath() const { return QString::fromStdString(DocumentsFolder()) + "/Templates/Project - Round Trip.qvt"; }

  std::string video, log;
};

TEST_F(TemplateRoundTripTest, ExportedTemplateAppliesInTheProjectsOrder) {
  BuildProject();
  const std::string original = Objects();
  const std::vector<uint8_t> frame = Frame();
  ASSERT_EQ(DispObjCount(), 6u);

  auto* create = app->windows().wndTemplateCreate();
  onModal = [this, create](WindowController* window) {
    if (window != create) return 0;
    create->showWindow();
    EXPECT_TRUE(SpinUntil([create]() { return create->ObjectRows().size() == 6; }));
    panelAnswers = {{TemplatePath()}};
    ClickOk(create->window());
    return 0;
  };
  app->menuAction("mnuFileCreateTemplate")->trigger();
  ASSERT_TRUE(QFile::exists(TemplatePath()));

  onModal = [this](WindowController* window) {
    if (auto* menu = qobject_cast<wcTemplateMenu*>(window)) {
      menu->showWindow();
      int slot = -1;
      for (int k = 0; k < wcTemplateMenu::kSlots && slot < 0; ++k)
        if (menu->SlotShown(k) && menu->TemplateName(k) == "Round Trip") slot = k;
      EXPECT_GE(slot, 0) << "the template is not offered";
      if (slot >= 0) QTest::mouseClick(menu->PreviewImage(slot), Qt::LeftButton);
      else menu->close();
    } else if (auto* mapping = qobject_cast<wcTemplateLoad*>(window)) {
      mapping->showWindow();
      panelAnswers = {{QString::fromStdString(video)}, {QString::fromStdString(log)}};
      QTest::mouseClick(mapping->InputAddButton(0), Qt::LeftButton);
      QTest::mouseClick(mapping->InputAddButton(1), Qt::LeftButton);
      ClickOk(mapping->window());
    }
    return 0;
  };
  main->setProjectModified(false);
  app->menuAction("mnuFileNewTemplate")->trigger();
  ASSERT_EQ(InputCount(), 2u);
  EXPECT_EQ(Objects(), original);
  EXPECT_EQ(DifferingBytes(Frame(), frame), 0u) << "the frame must look as the project's did";
  EXPECT_TRUE(messages.empty());
  const int shown = main->PreviewImage()->framesReceived();
  main->PreviewRefresh();
  EXPECT_TRUE(SpinUntil([&]() { return main->PreviewImage()->framesReceived() > shown; }));
  SaveWindowShot(main->window(), "template-round-trip");

  // Once more into the same project: the same order again, after the first.
  onModal = [](WindowController* window) {
    if (auto* mapping = qobject_cast<wcTemplateLoad*>(window)) {
      mapping->showWindow();
      ClickOk(mapping->window());
    }
    return 0;
  };
  ASSERT_EQ(main->TemplateAdd(TemplatePath()), 0);
  ASSERT_EQ(DispObjCount(), 12u);
  for (uint32_t i = 6; i < 12; ++i) {
    const DispStruct* record = DispObjGet(i);
    EXPECT_EQ(record->Type, DispObjGet(i - 6)->Type) << i;
    const uint32_t parent = record->ParentObject;
    EXPECT_EQ(parent == kNoDispObj ? parent : parent - 6, DispObjGet(i - 6)->ParentObject) << i;
  }
}

// Through the property window's general panel: each object of the group,
// and the others, saved as a style and that style chosen again. (A group
// itself offers no style.)
TEST_F(TemplateRoundTripTest, StylesOfAGroupApplyBackUnchanged) {
  BuildProject();
  const std::string original = Objects();
  const std::vector<uint8_t> frame = Frame();
  auto* editor = app->windows().wndDispObjEdit();
  for (uint32_t object = 0; object < DispObjCount(); ++object) {
    if (DispObjGetType(object) == kDispGroup) continue;
    ASSERT_TRUE(editor->SetDisplayObject(static_cast<int>(object)));
    vcDispObjGeneral* general = editor->General();
    const QString folder =
        AppDelegate::GetDocFolder(DispObjGetType(object) == kDispVideo ? "Video Positions" : "Styles");
    const QString name = QString("Round Trip %1").arg(object);
    panelAnswers = {{folder + "/" + name + ".qvo"}};
    general->StyleExportButton->click();
    for (int round = 0; round < 2; ++round) {
      const int item = general->StyleSelection->findText(name);
      ASSERT_GT(item, 0) << name.toStdString();
      general->StyleSelection->setCurrentIndex(item);
      emit general->StyleSelection->activated(item);
      EXPECT_EQ(QString::fromStdU16String(DispObjGet(object)->Style), name);
    }
  }
  EXPECT_EQ(Objects(), original);
  EXPECT_EQ(DifferingBytes(Frame(), frame), 0u);
  EXPECT_TRUE(messages.empty());
}
