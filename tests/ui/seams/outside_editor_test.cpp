// The outside editor's command: field codes filled in for the file, the
// configured command before the desktop's, and a run that returns only
// once the program has ended.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <thread>

#include "ui/seams/outside_editor.h"
#include "ui/seams/user_defaults.h"

TEST(OutsideEditorTest, FieldCodesStandForTheFile) {
  const QString file = "/tmp/a folder/picture.bmp";
  EXPECT_EQ(OutsideEditorExpand("gimp --new-instance %U", file),
            (QStringList{"gimp", "--new-instance", "file:///tmp/a%20folder/picture.bmp"}));
  EXPECT_EQ(OutsideEditorExpand("\"my editor\" --icon %i %c %f", file), (QStringList{"my editor", "--icon", file}));
  EXPECT_EQ(OutsideEditorExpand("paint --file=%f --zoom 100%%", file),
            (QStringList{"paint", "--file=" + file, "--zoom", "100%"}));
  // Without a file code the file comes last.
  EXPECT_EQ(OutsideEditorExpand("pinta", file), (QStringList{"pinta", file}));
  EXPECT_TRUE(OutsideEditorExpand("   ", file).isEmpty());
}

TEST(OutsideEditorTest, TheConfiguredCommandRunsToItsEnd) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  UserDefaultsUseFile(dir.filePath("settings.ini"));
  const QString marker = dir.filePath("done");
  UserDefaultsWrite("ImageEditor", "/bin/sh -c \"sleep 0.3; echo edited > '" + marker + "'\" editor %f");
  const QStringList command = OutsideEditorCommand(dir.filePath("picture.bmp"));
  EXPECT_EQ(command.last(), dir.filePath("picture.bmp"));
  QString reason;
  const auto start = std::chrono::steady_clock::now();
  // Off the GUI thread, as the window runs it.
  bool ran = false;
  std::thread([&]() { ran = OutsideEditorRunAndWait(command, &reason); }).join();
  EXPECT_TRUE(ran) << reason.toStdString();
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
  EXPECT_TRUE(QFile::exists(marker));

  EXPECT_FALSE(OutsideEditorRunAndWait({dir.filePath("missing-editor")}, &reason));
  EXPECT_FALSE(reason.isEmpty());
  EXPECT_FALSE(OutsideEditorRunAndWait({}, &reason));
  UserDefaultsReset();
}
