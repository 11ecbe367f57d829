// The property window with the real engine: the column of panels by kind,
// the window's size against the screen, filling without writing, a kind
// or name change under the same index, and no preview slot left behind.
#include <QScrollArea>
#include <QScrollBar>
#include <cstring>

#include "io/files/undo.h"
#include "render/preview/simple_preview.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/dispobj_fixture.h"
#include "ui/dispobj/vcDispObjGeneral.h"

#include <QLabel>
#include <QLineEdit>

namespace {

// The shown panels from the top of the column down.
QStringList Column(wcDispObjEdit* editor) {
  std::vector<DispObjPanel*> shown;
  for (DispObjPanel* panel : editor->Panels())
    if (!panel->isHidden()) shown.push_back(panel);
  std::sort(shown.begin(), shown.end(), [](DispObjPanel* a, DispObjPanel* b) { return a->y() < b->y(); });
  QStringList names;
  for (DispObjPanel* panel : shown) names << panel->objectName();
  return names;
}

std::vector<uint8_t> Bytes(uint32_t object) {
  const DispStruct* record = DispObjGet(object);
  std::vector<uint8_t> bytes(reinterpret_cast<const uint8_t*>(record),
                             reinterpret_cast<const uint8_t*>(record) + offsetof(DispStruct, Param));
  const auto* param = static_cast<const uint8_t*>(DispObjGetParam(object));
  if (param != nullptr) bytes.insert(bytes.end(), param, param + record->ParamSize);
  return bytes;
}

} // namespace

TEST_F(DispObjTest, EachKindGetsItsColumnOfPanels) {
  const uint32_t audio = DispObjAdd(kDispAudio, kNoInput);
  const uint32_t video = DispObjAdd(kDispVideo, kNoInput);
  const uint32_t group = DispObjAdd(kDispGroup, kNoInput);
  const uint32_t scripted = DispObjAdd(kDispEnhanced, kNoInput);
  const uint32_t gear = DispObjAdd(kDispGear, kNoInput);
  wcDispObjEdit* editor = Editor();
  ASSERT_TRUE(editor->SetDisplayObject(static_cast<int>(audio)));
  EXPECT_EQ(Column(editor), QStringList({"vcDispObjGeneral", "vcDispObjAudio"}));
  ASSERT_TRUE(editor->SetDisplayObject(static_cast<int>(video)));
  EXPECT_EQ(Column(editor), QStringList({"vcDispObjGeneral", "vcDispObjPicture", "vcDispObjAudio"}));
  for (uint32_t object : {group, scripted}) {
    ASSERT_TRUE(editor->SetDisplayObject(static_cast<int>(object)));
    EXPECT_EQ(Column(editor), QStringList({"vcDispObjGeneral", "vcDispObjPicture"}));
  }
  ASSERT_TRUE(editor->SetDisplayObject(static_cast<int>(gear)));
  EXPECT_TRUE(Column(editor).contains("vcDispObjPicture"));
  EXPECT_FALSE(Column(editor).contains("vcDispObjAudio"));
  EXPECT_EQ(Column(editor).front(), "vcDispObjGeneral");

  // None: the general panel alone, showing "None", with no message.
  messages.clear();
  ASSERT_TRUE(editor->SetDisplayObject(-1));
  EXPECT_EQ(Column(editor), QStringList({"vcDispObjGeneral"}));
  EXPECT_EQ(editor->General()->TypeText->text(), "None");
  EXPECT_TRUE(messages.empty());
  // An index past the table: the engine's error, once, then the same.
  ASSERT_TRUE(editor->SetDisplayObject(300));
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(Column(editor), QStringList({"vcDispObjGeneral"}));
}

TEST_F(DispObjTest, TheWindowFitsTheColumnOrTheScreenAndScrollsFromTheTop) {
  const uint32_t video = DispObjAdd(kDispVideo, kNoInput);
  const uint32_t audio = DispObjAdd(kDispAudio, kNoInput);
  wcDispObjEdit* editor = Editor();
  editor->SetDisplayObject(static_cast<int>(video));
  editor->showWindow();
  QWidget* w = editor->window();
  auto* scroll = w->findChild<QScrollArea*>("ScrollView");
  const int column = scroll->widget()->height();
  EXPECT_EQ(w->height(), column);
  EXPECT_EQ(w->width(), wcDispObjEdit::kPanelWidth + 2);
  // Loading the same object again neither stacks nor sizes anew.
  const QRect before = w->geometry();
  editor->SetDisplayObject(static_cast<int>(video));
  EXPECT_EQ(w->geometry(), before);

  // A screen lower than the column: the visible height, a scroller, the top shown.
  screen = QRect(0, 0, 1280, 300);
  editor->SetDisplayObject(static_cast<int>(audio));
  editor->SetDisplayObject(static_cast<int>(video));
  EXPECT_EQ(w->frameGeometry().height(), 300); // the title bar included
  EXPECT_GT(w->width(), wcDispObjEdit::kPanelWidth + 2);
  EXPECT_EQ(scroll->verticalScrollBar()->value(), 0);
  EXPECT_GE(w->frameGeometry().top(), 0);
  EXPECT_LE(w->frameGeometry().bottom(), 299);
  editor->close();
}

TEST_F(DispObjTest, FillingThePanelsWritesNothing) {
  std::vector<uint32_t> objects;
  for (const DispTypeInfo* info = DispTypesBegin(); info != DispTypesEnd(); ++info)
    if (info->type != kDispGroup) objects.push_back(DispObjAdd(info->type, kNoInput));
  main->setProjectModified(false);
  UndoSave();
  const std::string checkpoint = UndoSnapshotState();
  std::vector<std::vector<uint8_t>> before;
  for (uint32_t object : objects) before.push_back(Bytes(object));
  wcDispObjEdit* editor = Editor();
  editor->showWindow();
  for (uint32_t object : objects) {
    ASSERT_TRUE(editor->SetDisplayObject(static_cast<int>(object)));
    editor->UpdateControls();
  }
  Settle(); // what the controls queued
  EXPECT_FALSE(main->ProjectModified());
  EXPECT_EQ(UndoSnapshotState(), checkpoint);
  for (size_t i = 0; i < objects.size(); ++i) EXPECT_EQ(Bytes(objects[i]), before[i]) << "object " << i;
  editor->close();
}

TEST_F(DispObjTest, TheSameIndexHoldingAnotherObjectIsLaidOutAnew) {
  const uint32_t text = DispObjAdd(kDispText, kNoInput);
  const uint32_t audio = DispObjAdd(kDispAudio, kNoInput);
  wcDispObjEdit* editor = Editor();
  editor->SetDisplayObject(static_cast<int>(text));
  EXPECT_TRUE(Column(editor).contains("vcDispObjPicture"));
  ASSERT_EQ(DispObjRemove(text, 1), 0); // the sound object moves into place 0
  editor->SetDisplayObject(0);
  EXPECT_EQ(Column(editor), QStringList({"vcDispObjGeneral", "vcDispObjAudio"}));
  EXPECT_EQ(editor->General()->TypeText->text(), "Audio");

  // Renamed behind the window's back: the new name shows.
  ASSERT_EQ(DispObjRename(0, u"Engine Sound"), 0);
  editor->SetDisplayObject(0);
  EXPECT_EQ(editor->General()->LabelText->text(), "Engine Sound");
  (void)audio;
}

TEST_F(DispObjTest, OpeningAndClosingFortyTimesLeavesNoPreviewSlot) {
  const uint32_t gauge = DispObjAdd(kDispSpeedo, kNoInput);
  const uint32_t text = DispObjAdd(kDispText, kNoInput);
  Select({gauge});
  for (int i = 0; i < 40; ++i) {
    Select({i % 2 == 0 ? gauge : text});
    main->DispObjEdit(true);
    ASSERT_TRUE(AppDelegate::IsWindowVisible(Editor()));
    Editor()->close();
  }
  std::vector<int> open;
  const std::vector<uint32_t> pixels(64, 0xFF808080);
  for (uint32_t i = 0; i < kSimplePreviewSlots; ++i)
    open.push_back(SimplePreviewCreateForBitmap(main->PreviewImage()->viewHandle(), 8, 8, pixels.data(), 8, 8, false));
  for (int slot : open) {
    EXPECT_GE(slot, 0);
    if (slot >= 0) SimplePreviewClose(static_cast<uint32_t>(slot));
  }
}
