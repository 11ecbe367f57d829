// Adding files from the main window: routing by extension, the first
// display object by input type, the multi-part and embedded-GPS
// questions, a batch's one checkpoint and its collected failures, and
// embedding a still image.
#include <QDir>
#include <QMainWindow>
#include <QPushButton>
#include <filesystem>

#include "base/message_box.h"
#include "io/files/style.h"
#include "io/files/templates.h"
#include "io/files/undo.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/seams/file_dialogs.h"
#include "ui/shell/wcTemplateLoad.h"
#include "ui/support/file_drops.h"
#include "ui/support/input_files.h"
#include "ui/support/lists_fixture.h"
#include "ui/util/ui_utils.h"

namespace {

const wchar_t kMultiPart[] = L"This appears to be part of a multi-file set.";
const wchar_t kEmbedded[] = L"This file appears to contain embedded GPS data.";

} // namespace

class InputsAddTest : public ListsTest {
protected:
  void SetUp() override {
    ListsTest::SetUp();
    main->SetTemplateMenuCommand([this](int mode, uint32_t input) { templateMenus.push_back({mode, input}); });
  }
  QString Added(const std::string& path) { return QString::fromStdString(path); }
  std::vector<std::pair<int, uint32_t>> templateMenus;
};

TEST_F(InputsAddTest, EachInputTypeGetsItsFirstDisplayObject) {
  ASSERT_TRUE(main->UiInputAdd(Added(MakeTestPng(File("picture.png"))), true));
  ASSERT_TRUE(main->UiInputAdd(Added(MakeTestWav(File("sound.wav"))), true));
  ASSERT_TRUE(main->UiInputAdd(Added(MakeTestNmea(File("track.nmea"))), true));
  ASSERT_EQ(InputCount(), 3u);
  EXPECT_EQ(InputGetType(0), kInputImage);
  EXPECT_EQ(InputGetType(1), kInputAudio);
  EXPECT_EQ(InputGetType(2), kInputData);
  ASSERT_EQ(DispObjCount(), 2u);
  EXPECT_EQ(DispObjGet(0)->Type, kDispVideo);
  EXPECT_EQ(DispObjGet(0)->InputID, 0);
  EXPECT_EQ(DispObjGet(1)->Type, kDispAudio);
  EXPECT_EQ(DispObjGet(1)->InputID, 1);
  // The data log opens the data template menu for itself.
  ASSERT_EQ(templateMenus.size(), 1u);
  EXPECT_EQ(templateMenus[0], std::make_pair(3, 2u));
  EXPECT_TRUE(main->ProjectModified());
  EXPECT_EQ(Rows(main->InputFilesTable()).size(), 3);
  EXPECT_EQ(Rows(main->DispObjsTable()).size(), 2);
  // The new data input was selected by its refresh.
  EXPECT_EQ(main->SelectedInputNames(), QStringList({InputName(2)}));
  EXPECT_TRUE(Setting("InputDir").toString().startsWith("file://"));
  EXPECT_TRUE(messages.empty());
}

TEST_F(InputsAddTest, StyleAndTemplateFilesAreRoutedByExtensionInAnyCase) {
  uint32_t text = DispObjAdd(kDispText, kNoInput);
  ASSERT_EQ(DispObjExportStyle(text, NSStringToWStr(QPath("look.QvO")).c_str()), 0);
  ASSERT_EQ(TemplateExportOpen(NSStringToWStr(QPath("set.qVt")).c_str()), 0);
  ASSERT_EQ(TemplateExportAddDispObj(text, u"Title"), 0);
  ASSERT_EQ(TemplateExportClose(), 0);
  DispObjRemove(text, 1);
  ASSERT_EQ(DispObjCount(), 0u);

  ASSERT_TRUE(main->UiInputAdd(QPath("look.QvO"), true));
  ASSERT_EQ(DispObjCount(), 1u);
  EXPECT_EQ(DispObjGet(0)->Type, kDispText);
  // The template's mapping window (it names no inputs) is confirmed as is.
  onModal = [](WindowController* window) {
    if (auto* mapping = qobject_cast<wcTemplateLoad*>(window)) mapping->OkButton_Pressed();
    return 0;
  };
  ASSERT_TRUE(main->UiInputAdd(QPath("set.qVt"), true));
  EXPECT_EQ(modalRuns, std::vector<QString>({"wcTemplateLoad"}));
  EXPECT_EQ(DispObjCount(), 2u);
  // Neither became an input, nor asked anything, nor moved the input folder.
  EXPECT_EQ(InputCount(), 0u);
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(Setting("InputDir").isValid());
  EXPECT_EQ(Rows(main->DispObjsTable()).size(), 2);

  // An installed template command takes template files instead.
  QString handed;
  main->SetTemplateAddCommand([&handed](const QString& path) {
    handed = path;
    return 0;
  });
  main->UiInputAdd(QPath("set.qVt"), true);
  EXPECT_EQ(handed, QPath("set.qVt"));
  EXPECT_EQ(DispObjCount(), 2u);
}

TEST_F(InputsAddTest, AnUnreadableFileShowsItsErrorAndLeavesTheProjectUnchanged) {
  EXPECT_FALSE(main->UiInputAdd(Added(MakeTestGarbage(File("broken.mp4"))), true));
  EXPECT_EQ(InputCount(), 0u);
  EXPECT_EQ(main->InputFilesTable()->rowCount(), 0);
  EXPECT_FALSE(main->ProjectModified());
  ASSERT_EQ(messages.size(), 1u);
}

TEST_F(InputsAddTest, OnePartOfACameraSetAsksToAddTheWholeSetAsAJoin) {
  MakeTestVideo(File("GOPR0001.MP4"));
  std::filesystem::copy_file(File("GOPR0001.MP4"), File("GP010001.MP4"));
  answers = {kMbYes};
  main->AddInputFiles({QPath("GP010001.MP4")});
  ASSERT_EQ(CountMessages(kMultiPart), 1);
  EXPECT_EQ(messages[0].flags, 36);
  ASSERT_EQ(InputCount(), 3u);
  uint32_t join = InputFind(u"*JOINV*") != kNoInput ? InputFind(u"*JOINV*") : 0;
  EXPECT_EQ(InputGetType(join), kInputJoinVideo);
  QStringList rows = Rows(main->InputFilesTable());
  ASSERT_EQ(rows.size(), 3);
  EXPECT_EQ(rows[0], InputName(join));
  EXPECT_TRUE(Indented(main->InputFilesTable(), 1));
  EXPECT_TRUE(Indented(main->InputFilesTable(), 2));
  // The joined video got the picture object.
  ASSERT_EQ(DispObjCount(), 1u);
  EXPECT_EQ(DispObjGet(0)->InputID, join);

  // One Undo takes the whole set back.
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_EQ(InputCount(), 0u);
}

TEST_F(InputsAddTest, NoToTheSetQuestionOrABatchAddsSingleFiles) {
  MakeTestVideo(File("GOPR0002.MP4"));
  std::filesystem::copy_file(File("GOPR0002.MP4"), File("GP010002.MP4"));
  answers = {kMbNo};
  main->AddInputFiles({QPath("GOPR0002.MP4")});
  EXPECT_EQ(CountMessages(kMultiPart), 1);
  EXPECT_EQ(InputCount(), 1u);
  EXPECT_EQ(InputGetType(0), kInputVideo);

  messages.clear();
  main->AddInputFiles({QPath("GOPR0002.MP4"), QPath("GP010002.MP4")});
  EXPECT_EQ(CountMessages(kMultiPart), 0);
  EXPECT_EQ(InputCount(), 3u);
}

TEST_F(InputsAddTest, EmbeddedGpsIsOfferedEvenInABatchAndExtractedOnYes) {
  std::string camera = MakeTestGpsVideo(tempDir);
  MakeTestPng(File("still.png"));
  answers = {kMbYes};
  main->AddInputFiles({Added(camera), QPath("still.png")});
  ASSERT_EQ(CountMessages(kEmbedded), 1);
  ASSERT_EQ(InputCount(), 3u);
  EXPECT_EQ(InputGetType(0), kInputVideo);
  EXPECT_EQ(InputGetType(1), kInputData);
  EXPECT_EQ(InputGetType(2), kInputImage);
  ASSERT_EQ(templateMenus.size(), 1u);
  EXPECT_EQ(templateMenus[0], std::make_pair(3, 1u));
  ASSERT_EQ(DispObjCount(), 2u);
  EXPECT_EQ(DispObjGet(0)->InputID, 0);
  EXPECT_EQ(DispObjGet(1)->InputID, 2);
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(InputsAddTest, NoToTheGpsQuestionAddsOnlyTheVideo) {
  std::string camera = MakeTestGpsVideo(tempDir);
  answers = {kMbNo};
  main->AddInputFiles({Added(camera)});
  EXPECT_EQ(CountMessages(kEmbedded), 1);
  EXPECT_EQ(InputCount(), 1u);
  EXPECT_TRUE(templateMenus.empty());
}

TEST_F(InputsAddTest, TheFailuresOfABatchAreListedInOneWarning) {
  MakeTestPng(File("good.png"));
  MakeTestGarbage(File("broken.mp4"));
  main->AddInputFiles({QPath("good.png"), QPath("broken.mp4"), QPath("missing.wav")});
  EXPECT_EQ(InputCount(), 1u);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].flags, 48);
  EXPECT_NE(messages[0].text.find(L"2 of the 3 files"), std::wstring::npos);
  EXPECT_NE(messages[0].text.find(L"broken.mp4"), std::wstring::npos);
  EXPECT_NE(messages[0].text.find(L"missing.wav"), std::wstring::npos);
  EXPECT_EQ(messages[0].text.find(L"good.png"), std::wstring::npos);
}

TEST_F(InputsAddTest, TheAddPanelOffersMediaStylesAndTemplatesAndTakesOneCheckpoint) {
  MakeTestPng(File("one.png"));
  MakeTestWav(File("two.wav"));
  uint32_t before = InputAddSpecial(kSpecialFiller);
  ASSERT_EQ(UndoSave(), 0);
  FileDialogRequest seen;
  FileDialogInstall([&](const FileDialogRequest& request) {
    seen = request;
    return QStringList({QPath("one.png"), QPath("two.wav")});
  });
  main->AddInput();
  EXPECT_EQ(seen.title, "Add File(s) to Project...");
  EXPECT_TRUE(seen.multiple);
  for (const char* type : {"mp4", "wav", "png", "nmea", "qvo", "qvt"}) EXPECT_TRUE(seen.types.contains(type)) << type;
  EXPECT_TRUE(seen.otherTypes) << "an \"All files\" choice beside the known types";
  EXPECT_EQ(InputCount(), 3u);
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_EQ(InputCount(), 1u);
  EXPECT_EQ(InputGetType(before), kInputFiller);

  // The next panel starts in the folder of the last added file.
  main->AddInput();
  EXPECT_EQ(QDir(seen.directory).canonicalPath(), QDir(QString::fromStdString(tempDir)).canonicalPath());
}

// Through the File menu's item, which says what it does: the panel it
// opens asks for an image and the image becomes an object, not an input.
TEST_F(InputsAddTest, AnEmbeddedImageBecomesASelectedObject) {
  QAction* item = app->menuAction("mnuFileInputAddEmbed");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), "Embed Image File...");
  MakeTestPng(File("logo.png"));
  FileDialogRequest seen;
  FileDialogInstall([&](const FileDialogRequest& request) {
    seen = request;
    return QStringList({QPath("logo.png")});
  });
  item->trigger();
  EXPECT_EQ(seen.title, item->text());
  EXPECT_TRUE(seen.types.contains("png"));
  EXPECT_FALSE(seen.multiple);
  ASSERT_EQ(DispObjCount(), 1u);
  EXPECT_EQ(DispObjGet(0)->Type, kDispEImage);
  EXPECT_EQ(InputCount(), 0u);
  EXPECT_EQ(main->SelectedDispObjNames(), QStringList({ObjectName(0)}));
  EXPECT_TRUE(main->ProjectModified());

  MakeTestGarbage(File("fake.png"));
  FileDialogInstall([&](const FileDialogRequest&) { return QStringList({QPath("fake.png")}); });
  item->trigger();
  EXPECT_EQ(DispObjCount(), 1u);
  EXPECT_EQ(messages.size(), 1u);
}

// The new object's index is no result code: a style added behind other
// objects (by the Add... button, a drop on the canvas or the list, or a
// hand-over from another launch) shows nothing at all.
TEST_F(InputsAddTest, AStyleAddedBehindOtherObjectsShowsNoError) {
  ASSERT_TRUE(main->UiInputAdd(Added(MakeTestPng(File("picture.png"))), true));
  const uint32_t text = DispObjAdd(kDispText, kNoInput);
  ASSERT_EQ(DispObjExportStyle(text, NSStringToWStr(QPath("look.qvo")).c_str()), 0);
  auto* add = main->mainWindow()->findChild<QPushButton*>("InputAdd");
  ASSERT_NE(add, nullptr);
  uint32_t objects = DispObjCount();
  for (int press = 0; press < 2; ++press) {
    panelAnswers.push_back({QPath("look.qvo")});
    add->click();
    EXPECT_EQ(DispObjCount(), ++objects);
  }
  for (QWidget* target : {static_cast<QWidget*>(main->PreviewImage()), static_cast<QWidget*>(main->DispObjsTable())}) {
    EXPECT_TRUE(DragAndDropFiles(target, {QPath("look.qvo")}, Qt::CopyAction).dropped);
    EXPECT_EQ(DispObjCount(), ++objects);
  }
  EXPECT_TRUE(messages.empty()) << std::string(messages.front().text.begin(), messages.front().text.end());

  // Handed over with a picture first: the picture opens as a new project
  // (not saved, by the answer), the style joins it behind its object.
  answers.push_back(kMbNo);
  app->applicationOpenFiles({QPath("picture.png"), QPath("look.qvo")});
  ASSERT_TRUE(SpinUntil([]() { return DispObjCount() == 2u; }));
  EXPECT_EQ(DispObjGet(1)->Type, kDispText);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].text.find(L"save"), std::wstring::npos);
}
