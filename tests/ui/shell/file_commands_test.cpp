// The project file commands with scripted panels and answers: save as,
// save, new, open, revert (also to a damaged or missing file, which must
// leave the project in memory as it was), new from a template, transfer.
#include <QFileInfo>
#include <QMainWindow>
#include <filesystem>
#include <fstream>

#include "base/message_box.h"
#include "io/files/undo.h"
#include "ui/seams/file_dialogs.h"
#include "ui/shell/wcTransfer.h"
#include "ui/support/input_files.h"
#include "ui/support/lists_fixture.h"

class FileCommandsTest : public ListsTest {
protected:
  // A saved project of two fillers and a text object, then one more filler
  // added and not saved.
  void SavedThenChanged() {
    InputAddSpecial(kSpecialFiller);
    InputAddSpecial(kSpecialFiller);
    DispObjAdd(kDispText, kNoInput);
    main->setProjectModified(true);
    panelAnswers = {QStringList({QPath("work.qvp")})};
    ASSERT_TRUE(main->SaveProjectAs());
    InputAddSpecial(kSpecialFiller);
    main->InputRefresh(kNoInput);
    main->DispObjRefresh(kNoDispObj);
    main->setProjectModified(true);
    ASSERT_EQ(InputCount(), 3u);
  }
  // What must not change when a file cannot be read.
  void ExpectUnchanged(const QString& title) {
    EXPECT_EQ(InputCount(), 3u);
    EXPECT_EQ(DispObjCount(), 1u);
    EXPECT_EQ(main->InputFilesTable()->rowCount(), 3);
    EXPECT_TRUE(main->ProjectModified());
    EXPECT_EQ(main->ProjectTitle(), title);
    EXPECT_EQ(QString::fromStdWString(main->ProjectFile()), QPath("work.qvp"));
    EXPECT_TRUE(main->mainWindow()->windowTitle().startsWith("work*"));
  }
  void Damage(const std::string& path) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(100);
    for (int i = 0; i < 64; ++i) f.put('\x5A');
  }
};

TEST_F(FileCommandsTest, SaveAsSaveNewAndOpenRoundTrip) {
  InputAddSpecial(kSpecialFiller);
  main->setProjectModified(true);
  // Save with no file yet is Save As; a cancelled panel leaves it unsaved.
  EXPECT_FALSE(main->SaveProject());
  EXPECT_TRUE(main->ProjectModified());
  panelAnswers = {QStringList({QPath("first.qvp")})};
  ASSERT_TRUE(main->SaveProject());
  EXPECT_FALSE(main->ProjectModified());
  EXPECT_EQ(main->ProjectTitle(), "first");
  EXPECT_TRUE(QFileInfo::exists(QPath("first.qvp")));
  EXPECT_TRUE(Setting("ProjectDir").toString().startsWith("file://"));

  // A later Save writes the same file without a panel.
  InputAddSpecial(kSpecialFiller);
  main->setProjectModified(true);
  ASSERT_TRUE(main->SaveProject());
  EXPECT_TRUE(panelAnswers.empty());

  // New: the modified project is offered for saving; No discards it.
  InputAddSpecial(kSpecialFiller);
  main->setProjectModified(true);
  answers = {kMbNo};
  main->NewProject();
  EXPECT_EQ(CountMessages(L"Do you want to save the current project first?"), 1);
  EXPECT_EQ(InputCount(), 0u);
  EXPECT_EQ(main->ProjectTitle(), "Untitled");
  EXPECT_FALSE(main->ProjectModified());
  EXPECT_EQ(UndoToggle(), 0);
  EXPECT_EQ(InputCount(), 0u); // the checkpoint holds the empty project

  // Open brings back the saved two fillers.
  FileDialogRequest seen;
  FileDialogInstall([&](const FileDialogRequest& request) {
    seen = request;
    return QStringList({QPath("first.qvp")});
  });
  main->OpenProject();
  EXPECT_EQ(seen.title, "Open Project...");
  EXPECT_EQ(seen.types, QStringList({"qvp", "qpp"}));
  EXPECT_EQ(InputCount(), 2u);
  EXPECT_EQ(main->InputFilesTable()->rowCount(), 2);
  EXPECT_EQ(main->ProjectTitle(), "first");
  EXPECT_FALSE(main->ProjectModified());
  EXPECT_EQ(main->PreviewTime(), 0.0);
}

TEST_F(FileCommandsTest, CancellingTheSaveQuestionKeepsEverything) {
  SavedThenChanged();
  answers = {kMbCancel};
  main->NewProject();
  EXPECT_EQ(InputCount(), 3u);
  answers = {kMbCancel};
  main->OpenProject();
  EXPECT_EQ(InputCount(), 3u);
  EXPECT_TRUE(main->ProjectModified());
}

TEST_F(FileCommandsTest, RevertReloadsTheSavedFile) {
  SavedThenChanged();
  answers = {kMbNo};
  main->RevertProject();
  EXPECT_EQ(CountMessages(L"Discard all changes to this project since you last saved it?"), 1);
  EXPECT_EQ(InputCount(), 3u);
  answers = {kMbYes};
  main->setPreviewTime(1.5);
  main->RevertProject();
  EXPECT_EQ(InputCount(), 2u);
  EXPECT_EQ(main->InputFilesTable()->rowCount(), 2);
  EXPECT_FALSE(main->ProjectModified());
  EXPECT_EQ(main->PreviewTime(), 1.5);
  // Unchanged: reloads without a question.
  messages.clear();
  main->RevertProject();
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(InputCount(), 2u);
}

TEST_F(FileCommandsTest, RevertOfANeverSavedProjectOnlyExplains) {
  InputAddSpecial(kSpecialFiller);
  main->setProjectModified(true);
  main->RevertProject();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, L"Nothing to revert back to. You have not yet saved this project.");
  EXPECT_EQ(messages[0].flags, 64);
  EXPECT_EQ(InputCount(), 1u);
}

TEST_F(FileCommandsTest, RevertingToADamagedFileKeepsTheProjectInMemory) {
  SavedThenChanged();
  QString title = main->ProjectTitle();
  Damage(File("work.qvp"));
  answers = {kMbYes};
  main->RevertProject();
  // The question, then the error of the file.
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].flags & 0xF0, 16);
  ExpectUnchanged(title);
  // The unsaved work can still be saved over the damaged file.
  ASSERT_TRUE(main->SaveProject());
  main->RevertProject();
  EXPECT_EQ(InputCount(), 3u);
}

TEST_F(FileCommandsTest, RevertingToAMissingFileKeepsTheProjectInMemory) {
  SavedThenChanged();
  QString title = main->ProjectTitle();
  std::filesystem::remove(File("work.qvp"));
  answers = {kMbYes};
  main->RevertProject();
  ASSERT_EQ(messages.size(), 2u);
  ExpectUnchanged(title);
}

TEST_F(FileCommandsTest, OpeningADamagedFileAfterNoToSavingKeepsTheProjectUnsaved) {
  SavedThenChanged();
  QString title = main->ProjectTitle();
  std::filesystem::copy_file(File("work.qvp"), File("other.qvp"));
  Damage(File("other.qvp"));
  answers = {kMbNo};
  panelAnswers = {QStringList({QPath("other.qvp")})};
  main->OpenProject();
  ExpectUnchanged(title);
  // And the close question still protects it.
  answers = {kMbCancel};
  EXPECT_FALSE(main->windowShouldClose());
}

TEST_F(FileCommandsTest, NewFromTemplateOpensTheMenuOnlyForANewProject) {
  std::vector<std::pair<int, uint32_t>> menus;
  main->SetTemplateMenuCommand([&](int mode, uint32_t input) { menus.push_back({mode, input}); });
  InputAddSpecial(kSpecialFiller);
  main->setProjectModified(true);
  answers = {kMbCancel};
  main->NewProjectFromTemplate();
  EXPECT_TRUE(menus.empty());
  EXPECT_EQ(InputCount(), 1u);
  answers = {kMbNo};
  main->NewProjectFromTemplate();
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_EQ(menus[0], std::make_pair(0, 255u));
  EXPECT_EQ(InputCount(), 0u);
}

TEST_F(FileCommandsTest, ATransferStartsANewProjectWithWhatArrived) {
  InputAddSpecial(kSpecialFiller);
  std::string log = MakeTestNmea(File("received.nmea"));
  onModal = [&](WindowController* window) {
    if (auto* transfer = qobject_cast<wcTransfer*>(window)) transfer->setDataFile(QString::fromStdString(log));
    return 0;
  };
  main->FileTransfer();
  // The data log that arrived offers its data templates.
  EXPECT_EQ(modalRuns, std::vector<QString>({"wcTransfer", "wcTemplateMenu"}));
  ASSERT_EQ(InputCount(), 1u);
  EXPECT_EQ(InputGetType(0), kInputData);
  EXPECT_EQ(main->ProjectTitle(), "Untitled");
}
