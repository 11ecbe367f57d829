// The inputs and display-objects lists: order with joins and groups,
// indents, selection kept by name across refreshes, double clicks and the
// context menus' rules.
#include <QAction>
#include <QMenu>

#include "support/media_fixtures.h"
#include "ui/support/input_files.h"
#include "ui/support/lists_fixture.h"

namespace {

const char* const kInputItems[] = {"InputMenuConfig",      "InputMenuTrim",       "InputMenuDuplicate",
                                   "InputMenuSync",        "InputMenuSync2",      "InputMenuAddDisplay", "InputMenuAddFiller",
                                   "InputMenuSnapshot",    "InputMenuExportAudio", "InputMenuAddTemplate",
                                   "InputMenuConfigTemplate", "InputMenuLapSetManual"};

} // namespace

TEST_F(ListsTest, AJoinListsItsMembersBelowItIndentedEvenFromLowerIndexes) {
  uint32_t memberA = InputAddSpecial(kSpecialFiller);
  uint32_t join = InputAddSpecial(kSpecialJoinVideo);
  uint32_t memberB = InputAddSpecial(kSpecialFiller);
  uint32_t free = InputAddSpecial(kSpecialFiller);
  ASSERT_EQ(free, 3u);
  SetParentJoin(memberA, join);
  SetParentJoin(memberB, join);
  main->InputRefresh(kNoInput);
  NameListTable* table = main->InputFilesTable();
  EXPECT_EQ(Rows(table), QStringList({InputName(join), InputName(memberA), InputName(memberB), InputName(free)}));
  EXPECT_FALSE(Indented(table, 0));
  EXPECT_TRUE(Indented(table, 1));
  EXPECT_TRUE(Indented(table, 2));
  EXPECT_FALSE(Indented(table, 3));
  EXPECT_EQ(main->InputFileNames(), Rows(table));
}

TEST_F(ListsTest, ObjectsListTheTopOfTheDrawingOrderFirstWithMembersUnderTheirGroup) {
  uint32_t group = DispObjAdd(kDispGroup, kNoInput);
  uint32_t one = DispObjAdd(kDispText, kNoInput);
  uint32_t two = DispObjAdd(kDispGauge, kNoInput);
  uint32_t three = DispObjAdd(kDispShape, kNoInput);
  ASSERT_EQ(three, 3u);
  SetParentObject(one, group);
  SetParentObject(two, group);
  main->DispObjRefresh(kNoDispObj);
  NameListTable* table = main->DispObjsTable();
  EXPECT_EQ(Rows(table), QStringList({ObjectName(three), ObjectName(group), ObjectName(two), ObjectName(one)}));
  EXPECT_FALSE(Indented(table, 0));
  EXPECT_FALSE(Indented(table, 1));
  EXPECT_TRUE(Indented(table, 2));
  EXPECT_TRUE(Indented(table, 3));
}

TEST_F(ListsTest, SelectionIsRestoredByNameOrGivenToTheNamedObject) {
  uint32_t a = DispObjAdd(kDispText, kNoInput);
  uint32_t b = DispObjAdd(kDispShape, kNoInput);
  uint32_t c = DispObjAdd(kDispGauge, kNoInput);
  main->DispObjRefresh(kNoDispObj);
  NameListTable* table = main->DispObjsTable();
  table->selectTexts({ObjectName(a), ObjectName(c)});
  // A new object on top moves every row down; the names stay selected.
  uint32_t d = DispObjAdd(kDispBar, kNoInput);
  main->DispObjRefresh(kNoDispObj);
  EXPECT_EQ(main->SelectedDispObjNames(), QStringList({ObjectName(c), ObjectName(a)}));
  // A refresh for one object selects it alone.
  main->DispObjRefresh(d);
  EXPECT_EQ(main->SelectedDispObjNames(), QStringList({ObjectName(d)}));
  // A renamed object loses its selection.
  main->DispObjSelect(b);
  ASSERT_EQ(DispObjRename(b, u"Renamed"), 0);
  main->DispObjRefresh(kNoDispObj);
  EXPECT_TRUE(main->SelectedDispObjNames().isEmpty());

  uint32_t first = InputAddSpecial(kSpecialFiller);
  uint32_t second = InputAddSpecial(kSpecialFiller);
  main->InputRefresh(kNoInput);
  main->InputSelect(second);
  InputAddSpecial(kSpecialFiller);
  main->InputRefresh(kNoInput);
  EXPECT_EQ(main->SelectedInputNames(), QStringList({InputName(second)}));
  main->InputRefresh(first);
  EXPECT_EQ(main->SelectedInputNames(), QStringList({InputName(first)}));
}

TEST_F(ListsTest, SelectingAnObjectSelectsItsInput) {
  uint32_t input = InputAddSpecial(kSpecialFiller);
  InputAddSpecial(kSpecialFiller);
  uint32_t object = DispObjAdd(kDispText, input);
  main->InputRefresh(kNoInput);
  main->DispObjRefresh(kNoDispObj);
  main->DispObjSelect(object);
  EXPECT_EQ(main->SelectedDispObjNames(), QStringList({ObjectName(object)}));
  EXPECT_EQ(main->SelectedInputNames(), QStringList({InputName(input)}));
  EXPECT_FALSE(main->ListsRefreshing());
}

TEST_F(ListsTest, DoubleClickSelectsTheRowAndRunsItsCommand) {
  uint32_t first = InputAddSpecial(kSpecialFiller);
  InputAddSpecial(kSpecialFiller);
  uint32_t object = DispObjAdd(kDispText, kNoInput);
  DispObjAdd(kDispShape, kNoInput);
  main->InputRefresh(kNoInput);
  main->DispObjRefresh(kNoDispObj);
  int inputRuns = 0, objectRuns = 0;
  QStringList selectedAtRun;
  main->SetListCommand("InputFilesDoubleClicked", [&]() {
    ++inputRuns;
    selectedAtRun = main->SelectedInputNames();
  });
  main->SetListCommand("DispObjsDoubleClicked", [&]() { ++objectRuns; });
  emit main->InputFilesTable()->cellDoubleClicked(0, 1);
  EXPECT_EQ(inputRuns, 1);
  EXPECT_EQ(selectedAtRun, QStringList({InputName(first)}));
  emit main->DispObjsTable()->cellDoubleClicked(1, 1);
  EXPECT_EQ(objectRuns, 1);
  EXPECT_EQ(main->SelectedDispObjNames(), QStringList({ObjectName(object)}));
}

class ListMenuTest : public ListsTest {
protected:
  // The item states of the inputs menu opened over the input's row.
  void OpenOver(uint32_t input) {
    int row = static_cast<int>(Rows(main->InputFilesTable()).indexOf(InputName(input)));
    ASSERT_GE(row, 0);
    ASSERT_TRUE(main->menuWillOpen(main->InputFilesMenu(), row));
  }
  bool On(const char* item) { return main->ListMenuItem(item)->isEnabled(); }
  bool Shown(const char* item) { return main->ListMenuItem(item)->isVisible(); }
  void InstallAll() {
    for (const char* item : kInputItems) main->SetListCommand(item, [] {});
    for (const char* item : {"DispObjMenuEdit", "DispObjMenuDuplicate", "DispObjMenuRename", "DispObjMenuRemove",
                             "DispObjMenuSnapshot"})
      main->SetListCommand(item, [] {});
  }
};

TEST_F(ListMenuTest, InputItemsFollowTheTypeOfTheInputUnderThePointer) {
  MakeTestVideo(File("v.mp4"));
  uint32_t video = InputAdd(QPath("v.mp4").toStdU16String().c_str());
  uint32_t audio = InputAdd(QString::fromStdString(MakeTestWav(File("a.wav"))).toStdU16String().c_str());
  uint32_t image = InputAdd(QString::fromStdString(MakeTestPng(File("i.png"))).toStdU16String().c_str());
  uint32_t data = InputAdd(QString::fromStdString(MakeTestNmea(File("d.nmea"))).toStdU16String().c_str());
  uint32_t join = InputAddSpecial(kSpecialJoinVideo);
  uint32_t member = InputAddSpecial(kSpecialFiller);
  ASSERT_NE(video, kNoInput);
  ASSERT_NE(audio, kNoInput);
  ASSERT_NE(image, kNoInput);
  ASSERT_NE(data, kNoInput);
  SetParentJoin(member, join);
  main->InputRefresh(kNoInput);

  // Without commands nothing can be chosen; the program itself installs
  // the add-object item (the toolbox) and input commands, taken away here.
  for (const char* item : kInputItems)
    if (std::string(item) != "InputMenuAddDisplay") main->SetListCommand(item, nullptr);
  OpenOver(video);
  for (const char* item : kInputItems)
    EXPECT_EQ(On(item), std::string(item) == "InputMenuAddDisplay") << item;
  InstallAll();

  OpenOver(video);
  for (const char* item : {"InputMenuConfig", "InputMenuTrim", "InputMenuDuplicate", "InputMenuSync",
                           "InputMenuSync2", "InputMenuAddDisplay", "InputMenuSnapshot", "InputMenuExportAudio"})
    EXPECT_TRUE(On(item)) << item;
  EXPECT_FALSE(Shown("InputMenuAddFiller"));
  EXPECT_FALSE(Shown("InputMenuAddTemplate"));

  OpenOver(audio);
  EXPECT_FALSE(On("InputMenuSnapshot"));
  EXPECT_TRUE(On("InputMenuExportAudio"));

  OpenOver(image);
  EXPECT_FALSE(On("InputMenuSync"));
  EXPECT_FALSE(On("InputMenuSync2"));
  EXPECT_FALSE(On("InputMenuTrim"));
  EXPECT_TRUE(On("InputMenuSnapshot"));
  EXPECT_FALSE(On("InputMenuExportAudio"));
  EXPECT_TRUE(On("InputMenuConfig"));

  OpenOver(data);
  for (const char* item : {"InputMenuAddTemplate", "InputMenuConfigTemplate", "InputMenuLapSetManual"}) {
    EXPECT_TRUE(Shown(item)) << item;
    EXPECT_TRUE(On(item)) << item;
  }
  EXPECT_FALSE(On("InputMenuSnapshot"));

  OpenOver(join);
  EXPECT_FALSE(On("InputMenuConfig"));
  EXPECT_FALSE(On("InputMenuTrim"));
  EXPECT_FALSE(On("InputMenuDuplicate"));
  EXPECT_TRUE(On("InputMenuSync"));
  EXPECT_TRUE(Shown("InputMenuAddFiller"));
  EXPECT_TRUE(On("InputMenuAddDisplay"));
  EXPECT_FALSE(Shown("InputMenuAddTemplate"));

  OpenOver(member);
  EXPECT_TRUE(Shown("InputMenuAddFiller"));
  EXPECT_FALSE(On("InputMenuAddDisplay"));
  EXPECT_FALSE(On("InputMenuExportAudio"));
  EXPECT_TRUE(On("InputMenuConfig"));
}

TEST_F(ListMenuTest, TheRowUnderThePointerJoinsOrReplacesTheSelection) {
  for (int i = 0; i < 4; ++i) DispObjAdd(kDispText, kNoInput);
  DispObjAdd(kDispGroup, kNoInput);
  DispObjAdd(kDispAudio, kNoInput);
  InstallAll();
  main->DispObjRefresh(kNoDispObj);
  NameListTable* table = main->DispObjsTable();
  ASSERT_EQ(table->rowCount(), 6);
  // Nothing selected over empty space: no menu.
  EXPECT_FALSE(main->menuWillOpen(main->DispObjsMenu(), -1));
  table->selectTexts({table->rowText(2), table->rowText(3), table->rowText(4)});
  EXPECT_TRUE(main->menuWillOpen(main->DispObjsMenu(), 3));
  EXPECT_EQ(main->SelectedDispObjNames().size(), 3);
  EXPECT_TRUE(On("DispObjMenuSnapshot"));
  // Over an unselected row: that row alone.
  EXPECT_TRUE(main->menuWillOpen(main->DispObjsMenu(), 0)); // the audio object
  EXPECT_EQ(main->SelectedDispObjNames(), QStringList({table->rowText(0)}));
  EXPECT_FALSE(On("DispObjMenuSnapshot"));
  EXPECT_TRUE(main->menuWillOpen(main->DispObjsMenu(), 1)); // the group
  EXPECT_FALSE(On("DispObjMenuSnapshot"));
  EXPECT_TRUE(On("DispObjMenuEdit"));
}
