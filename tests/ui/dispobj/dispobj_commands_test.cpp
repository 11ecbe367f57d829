// The main window's display-object commands with the real engine: their
// refusals, grouping, centring, removal and duplication (failures shown),
// drawing order and rename, the list menus and the canvas menu.
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>

#include "io/files/undo.h"
#include "model/inputs.h"
#include "model/timeline.h"
#include "render/preview/main_preview.h"
#include "ui/dispobj/dispobj_fixture.h"

TEST_F(DispObjTest, EveryCommandRefusesWithNothingSelectedAndChangesNothing) {
  DispObjAdd(kDispText, kNoInput);
  main->DispObjRefresh(kNoDispObj);
  main->DispObjsTable()->clearSelection();
  main->InputFilesTable()->clearSelection();
  const std::string checkpoint = UndoSnapshotState();
  main->setProjectModified(false);
  struct Case {
    std::function<void()> command;
    const wchar_t* text;
  };
  const Case cases[] = {
      {[this] { main->InputAddDispObj(); }, L"Please select the input that you want to create a display object for."},
      {[this] { main->DispObjEdit_Pressed(); }, L"Please select a display object to configure."},
      {[this] { main->DispObjDuplicate_Pressed(); }, L"Please select the display object(s) that you want to duplicate."},
      {[this] { main->DispObjRemove_Pressed(); }, L"Please select the display object(s) that you want to remove."},
      {[this] { main->DispObjGroup_Pressed(); }, L"Please select the items that you want to group or un-group."},
      {[this] { main->DispObjMoveUp_Pressed(); }, L"Please select the item(s) that you want to move."},
      {[this] { main->DispObjMoveToBottom_Clicked(); }, L"Please select the item(s) that you want to move."},
      {[this] { main->DispObjSnapshot_Clicked(); }, L"Please select the visible display object that you want to snapshot."},
      {[this] { main->DispObjCenterB_Clicked(); }, L"Please select the display object that you want to center."},
      {[this] { main->DispObjRename_Clicked(); }, L"Please select the display object that you want to rename."},
  };
  for (const Case& c : cases) {
    messages.clear();
    c.command();
    ASSERT_EQ(messages.size(), 1u) << std::string(c.text, c.text + wcslen(c.text));
    EXPECT_EQ(LastMessage(), c.text);
    EXPECT_EQ(LastFlags(), 48);
  }
  EXPECT_TRUE(modalRuns.empty());
  EXPECT_FALSE(main->ProjectModified());
  EXPECT_EQ(UndoSnapshotState(), checkpoint);
  EXPECT_EQ(DispObjCount(), 1u);

  // A group or a sound object is no visible object to export.
  const uint32_t audio = DispObjAdd(kDispAudio, kNoInput);
  Select({audio});
  messages.clear();
  main->DispObjSnapshot_Clicked();
  EXPECT_EQ(LastMessage(), L"Please select the visible display object that you want to snapshot.");
}

TEST_F(DispObjTest, GroupingMakesJoinsLeavesAndDissolvesGroups) {
  const uint32_t a = DispObjAdd(kDispText, kNoInput);
  const uint32_t b = DispObjAdd(kDispShape, kNoInput);
  const uint32_t c = DispObjAdd(kDispGauge, kNoInput);
  ASSERT_NE(TimelineDispObjAdd(b, 5.0f), 0xFFFFFFFFu);

  // Three free objects, one with timed changes: asked first; No keeps all.
  Select({a, b, c});
  answers = {kMbNo};
  main->DispObjGroup_Pressed();
  EXPECT_EQ(LastFlags(), 36);
  EXPECT_NE(LastMessage().find(L"timeline segments"), std::wstring::npos);
  EXPECT_EQ(DispObjCount(), 3u);
  EXPECT_EQ(TimelineDispObjGetCount(b), 1u);

  answers = {kMbYes};
  main->DispObjGroup_Pressed();
  ASSERT_EQ(DispObjCount(), 4u);
  const uint32_t group = 3;
  EXPECT_EQ(DispObjGetType(group), kDispGroup);
  for (uint32_t member : {a, b, c}) EXPECT_EQ(Parent(member), group);
  EXPECT_EQ(TimelineDispObjGetCount(b), 0u);
  EXPECT_TRUE(main->ProjectModified());
  // The group's box is its members' box.
  EXPECT_GT(DispObjGet(group)->Width, 0.0f);

  // One member out: it leaves, the group stays.
  Select({c});
  main->DispObjGroup_Pressed();
  EXPECT_EQ(Parent(c), kNoDispObj);
  EXPECT_EQ(Parent(a), group);
  // A free object and the group: it joins the group.
  Select({c, group});
  main->DispObjGroup_Pressed();
  EXPECT_EQ(Parent(c), group);
  // Every member selected: they leave and the empty group goes.
  Select({a, b, c});
  main->DispObjGroup_Pressed();
  ASSERT_EQ(DispObjCount(), 3u);
  for (uint32_t i = 0; i < 3; ++i) {
    EXPECT_NE(DispObjGetType(i), kDispGroup);
    EXPECT_EQ(Parent(i), kNoDispObj);
  }

  // Two groups selected: both dissolve, their members stay.
  const uint32_t g1 = MakeGroup({0});
  const uint32_t g2 = MakeGroup({1});
  Select({g1, g2});
  main->DispObjGroup_Pressed();
  EXPECT_EQ(DispObjCount(), 3u);
  EXPECT_EQ(Parent(0), kNoDispObj);
  EXPECT_EQ(Parent(1), kNoDispObj);

  // One Undo takes the last grouping back.
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_EQ(DispObjCount(), 5u);
}

TEST_F(DispObjTest, CentringMovesOnlyTheAskedAxisAndCarriesGroupMembers) {
  const uint32_t text = AddText(5, 7, 20, 10);
  Select({text});
  main->DispObjCenterH_Clicked();
  EXPECT_FLOAT_EQ(ObjectX(text), 40.0f);
  EXPECT_FLOAT_EQ(ObjectY(text), 7.0f);
  main->DispObjCenterV_Clicked();
  EXPECT_FLOAT_EQ(ObjectY(text), 45.0f);
  // One checkpoint per command: Undo goes back one step only.
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_FLOAT_EQ(ObjectX(text), 40.0f);
  EXPECT_FLOAT_EQ(ObjectY(text), 7.0f);

  // A group centres as a whole, members kept apart.
  const uint32_t left = AddText(0, 0, 10, 10);
  const uint32_t right = AddText(20, 0, 10, 10);
  const uint32_t group = MakeGroup({left, right});
  Select({group});
  main->DispObjCenterB_Clicked();
  EXPECT_NEAR(ObjectX(left), 35.0f, 0.01);
  EXPECT_NEAR(ObjectX(right), 55.0f, 0.01);
  EXPECT_NEAR(ObjectY(right), 45.0f, 0.01);
}

TEST_F(DispObjTest, RemovalAsksByNameOrCountAndTakesGroupsWithTheirMembers) {
  const uint32_t member = DispObjAdd(kDispText, kNoInput);
  const uint32_t other = DispObjAdd(kDispShape, kNoInput);
  const uint32_t group = MakeGroup({member});

  Select({other});
  answers = {kMbNo};
  main->DispObjRemove_Pressed();
  EXPECT_EQ(LastMessage(), L"Are you sure you want to remove '" + Name(other).toStdWString() + L"'?");
  EXPECT_EQ(LastFlags(), 36);
  EXPECT_EQ(DispObjCount(), 3u);

  Select({group, other});
  main->DispObjRemove_Pressed();
  EXPECT_EQ(LastMessage(), L"Are you sure you want to remove the 2 selected display objects?");
  EXPECT_EQ(DispObjCount(), 0u);
  EXPECT_EQ(main->DispObjsTable()->rowCount(), 0);
}

TEST_F(DispObjTest, DuplicatesSelectTheLastCopyAndAFullTableIsShown) {
  const uint32_t text = DispObjAdd(kDispText, kNoInput);
  Select({text});
  main->DispObjDuplicate_Pressed();
  ASSERT_EQ(DispObjCount(), 2u);
  EXPECT_EQ(main->SelectedDispObjNames(), QStringList({Name(1)}));
  EXPECT_NE(Name(1), Name(0));

  while (DispObjCount() < kMaxDispObjs) ASSERT_NE(DispObjAdd(kDispShape, kNoInput), kNoDispObj);
  Select({text});
  messages.clear();
  main->DispObjDuplicate_Pressed();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].text.find(L"Error Code: -40"), std::wstring::npos);
}

TEST_F(DispObjTest, DrawingOrderAndRenameFollowTheRows) {
  const uint32_t a = DispObjAdd(kDispText, kNoInput);
  const uint32_t b = DispObjAdd(kDispShape, kNoInput);
  const QString nameA = Name(a), nameB = Name(b);
  // The topmost object up: nothing changes.
  Select({b});
  main->DispObjMoveUp_Pressed();
  EXPECT_EQ(Name(1), nameB);
  Select({b});
  main->DispObjMoveToBottom_Clicked();
  EXPECT_EQ(Name(0), nameB);
  EXPECT_EQ(Name(1), nameA);

  const uint32_t renamed = DispObjFind(nameA.toStdU16String().c_str());
  Select({renamed});
  inputAnswers = {std::wstring(L"Lap Board")};
  main->DispObjRename_Clicked();
  EXPECT_EQ(inputPrompts.back(), L"Enter new name for display object");
  EXPECT_EQ(Name(renamed), "Lap Board");
  EXPECT_EQ(main->SelectedDispObjNames(), QStringList({"Lap Board"}));
  // A name another object has is refused with the engine's error.
  inputAnswers = {nameB.toStdWString()};
  messages.clear();
  main->DispObjRename_Clicked();
  EXPECT_EQ(Name(renamed), "Lap Board");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].text.find(L"-10"), std::wstring::npos);
}

TEST_F(DispObjTest, ListMenuAndButtonsReachTheCommandsInTheProgram) {
  const uint32_t text = AddText(10, 10, 20, 10);
  Select({text});
  // Installed by the program itself: every object item is enabled.
  ASSERT_TRUE(main->menuWillOpen(main->DispObjsMenu(), 0));
  for (QAction* item : main->DispObjsMenu()->actions()) {
    if (item->isSeparator()) continue;
    EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
  }
  main->ListMenuItem("DispObjMenuCenterH")->trigger();
  EXPECT_FLOAT_EQ(ObjectX(text), 40.0f);

  // The button beside the list and the double click open the properties.
  auto* properties = main->mainWindow()->findChild<QPushButton*>("DispObjEdit");
  ASSERT_NE(properties, nullptr);
  properties->click();
  EXPECT_TRUE(AppDelegate::IsWindowVisible(Editor()));
  EXPECT_EQ(Editor()->OurIndex(), text);
  Editor()->close();
  emit main->DispObjsTable()->cellDoubleClicked(0, 1);
  EXPECT_TRUE(AppDelegate::IsWindowVisible(Editor()));
  Editor()->close();

  // The inputs menu's add item runs the toolbox for that input.
  ASSERT_NE(InputAddSpecial(kSpecialFiller), kNoInput);
  main->InputRefresh(0);
  ASSERT_TRUE(main->menuWillOpen(main->InputFilesMenu(), 0));
  EXPECT_TRUE(main->ListMenuItem("InputMenuAddDisplay")->isEnabled());
  onModal = [](WindowController* w) {
    w->close();
    return 0;
  };
  main->ListMenuItem("InputMenuAddDisplay")->trigger();
  ASSERT_EQ(modalRuns.size(), 1u);
  EXPECT_EQ(modalRuns[0], "wcDispObjToolbox");
  EXPECT_EQ(Toolbox()->NewInputID(), 0u);
}

TEST_F(DispObjTest, CanvasMenuSelectsWhatIsUnderThePointerThenEnablesByIt) {
  // 720 x 480 canvas.
  const uint32_t text = AddText(40, 40, 20, 10);
  const uint32_t other = AddText(0, 0, 10, 10);
  main->DispObjRefresh(kNoDispObj);
  main->DispObjsTable()->clearSelection();
  ASSERT_TRUE(WaitIdle());

  // Over empty canvas with nothing selected: every item off.
  main->previewMenuWillOpen(QPointF(700, 470));
  for (QAction* item : main->PreviewMenu()->actions()) {
    if (item->isSeparator()) continue;
    EXPECT_FALSE(item->isEnabled()) << item->objectName().toStdString();
  }

  main->previewMenuWillOpen(QPointF(300, 216));
  EXPECT_EQ(main->SelectedDispObjNames(), QStringList({Name(text)}));
  EXPECT_TRUE(main->PreviewMenuItem("PreviewMenuCenterB")->isEnabled());
  EXPECT_TRUE(main->PreviewMenuItem("PreviewMenuSnapshotObj")->isEnabled());
  EXPECT_FALSE(main->PreviewMenuItem("PreviewMenuInputEdit")->isEnabled()); // no input

  // Empty canvas keeps the selection; its items follow that object.
  main->previewMenuWillOpen(QPointF(700, 470));
  EXPECT_EQ(main->SelectedDispObjNames(), QStringList({Name(text)}));
  main->PreviewMenuItem("PreviewMenuMoveBottom")->trigger();
  EXPECT_EQ(Name(0), Name(text));
  (void)other;
}
