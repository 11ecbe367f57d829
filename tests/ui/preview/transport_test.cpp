// The transport with the real engine: play and pause, stop, the typed time
// and project length (text that is no time is refused), and the snapshot.
#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QUrl>

#include "io/files/undo.h"
#include "model/project.h"
#include "render/preview/main_preview.h"
#include "ui/preview/preview_fixture.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcPreview.h"

TEST_F(PreviewTest, PlayAtTheEndStartsAgainAndPlayWhilePlayingPauses) {
  LaunchMain();
  ProjectSetLength(4.0f);
  main->PreviewRefresh();
  main->setPreviewTime(4.0);
  ASSERT_TRUE(WaitIdle());
  main->PlayButton_Pressed();
  EXPECT_EQ(main->PreviewTime(), 0.0);
  EXPECT_TRUE(main->PreviewIsPlayingNow());
  ASSERT_TRUE(SpinUntil([]() { return PreviewGetTime() > 0.0f; }));
  main->PlayButton_Pressed();
  EXPECT_EQ(main->PlayButton()->property("face").toString(), "PlayImage");
  ASSERT_TRUE(SpinUntil([]() { return !wcMain::PreviewIsPlayingNow(); }));

  main->setPreviewTime(2.0);
  main->StopButton_Pressed();
  EXPECT_EQ(main->PreviewTime(), 0.0);
  EXPECT_FALSE(main->Scrolling());
}

TEST_F(PreviewTest, TypedTimeIsKeptWithinTheProjectAndGarbageIsRefused) {
  LaunchMain();
  ProjectSetLength(4.0f);
  main->PreviewRefresh();
  inputAnswers.push_back(std::wstring(L"00:00:09.00"));
  main->PreviewTimeButton_Pressed();
  EXPECT_DOUBLE_EQ(main->PreviewTime(), 4.0);
  ASSERT_EQ(inputPrompts.size(), 1u);
  EXPECT_EQ(inputPrompts[0], L"Enter time to seek to...\n(hh:mm:ss.nn)");

  inputAnswers.push_back(std::wstring(L"0:1,5"));
  main->PreviewTimeButton_Pressed();
  EXPECT_DOUBLE_EQ(main->PreviewTime(), 1.5);

  // Not a time: said so, and the preview stays (it used to jump to 0).
  for (const wchar_t* text : {L"banana", L"1:2:3:4", L"1.5s", L"::"}) {
    inputAnswers.push_back(std::wstring(text));
    main->PreviewTimeButton_Pressed();
    EXPECT_DOUBLE_EQ(main->PreviewTime(), 1.5) << QString::fromWCharArray(text).toStdString();
  }
  EXPECT_EQ(CountMessages(L"could not be read"), 4);

  inputAnswers.push_back(std::nullopt); // Cancel
  main->PreviewTimeButton_Pressed();
  EXPECT_DOUBLE_EQ(main->PreviewTime(), 1.5);
}

TEST_F(PreviewTest, TypedProjectLengthIsStoredWithACheckpoint) {
  LaunchMain();
  ProjectSetLength(4.0f);
  main->PreviewRefresh();
  main->setPreviewTime(3.0);
  inputAnswers.push_back(std::wstring(L"2"));
  main->ProjectLengthButton_Pressed();
  EXPECT_FLOAT_EQ(ProjectGetLength(1), 2.0f);
  EXPECT_DOUBLE_EQ(main->PreviewTime(), 2.0);
  EXPECT_TRUE(main->ProjectModified());
  EXPECT_EQ(inputPrompts.back(), L"Enter the desired project length...\n (set to zero or blank to use automatic length)");
  // Undo brings the length before the entry back.
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_FLOAT_EQ(ProjectGetLength(1), 4.0f);

  inputAnswers.push_back(std::wstring(L"oops"));
  main->ProjectLengthButton_Pressed();
  EXPECT_FLOAT_EQ(ProjectGetLength(1), 4.0f);
  EXPECT_EQ(CountMessages(L"could not be read"), 1);

  // Blank: automatic length, and the preview goes to the start.
  main->setPreviewTime(1.0);
  inputAnswers.push_back(std::wstring(L""));
  main->ProjectLengthButton_Pressed();
  EXPECT_FLOAT_EQ(ProjectGetLength(1), 0.0f);
  EXPECT_EQ(main->PreviewTime(), 0.0);
}

TEST_F(PreviewTest, SnapshotWritesTheShownPictureAndRemembersTheFolder) {
  LaunchMain();
  const QString path = QString::fromStdString(tempDir) + "/shot.bmp";
  panelAnswers.push_back({path});
  main->SnapshotButton_Pressed();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.read(2), QByteArray("BM"));
  EXPECT_GT(file.size(), 720 * 480 * 3);
  EXPECT_EQ(QUrl(Setting("OutputDir").toString()).toLocalFile(), QString::fromStdString(tempDir) + "/");
  EXPECT_TRUE(messages.empty());

  // Cancel writes nothing.
  main->ExportPreview();
  EXPECT_TRUE(messages.empty());
}

TEST_F(PreviewTest, FileMenuExportsThePreviewAndTheRegistryHoldsTheSettingsWindow) {
  LaunchMain();
  EXPECT_NE(app->windows().wndPreview(), nullptr);
  QAction* item = app->menuAction("mnuFileExportPreview");
  ASSERT_NE(item, nullptr);
  ASSERT_TRUE(item->isEnabled());
  const QString path = QString::fromStdString(tempDir) + "/menu.bmp";
  panelAnswers.push_back({path});
  item->trigger();
  EXPECT_TRUE(QFile::exists(path));
}
