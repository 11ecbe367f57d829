// The outside editor's command: field codes filled in for the file, the
// configured command before the desktop's, and a run that returns only
// once the program has ended.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
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

// The desktop's default application is looked up once per process, from
// the folders the environment names then: the lookup runs in a child
// program of its own (this test program again, running only the test
// below) with folders that make a script the default for BMP pictures.
TEST(OutsideEditorTest, WithoutACommandTheDesktopsDefaultApplicationEdits) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString script = dir.filePath("paint.sh");
  QFile file(script);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("#!/bin/sh\nexit 0\n");
  file.close();
  file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QDir().mkpath(dir.filePath("data/applications"));
  QDir().mkpath(dir.filePath("config"));
  QFile entry(dir.filePath("data/applications/qv-test-paint.desktop"));
  ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
  entry.write(("[Desktop Entry]\nType=Application\nName=Test Paint\nExec=" + script + " --open %U\n"
               "MimeType=image/bmp;\n").toUtf8());
  entry.close();
  QFile defaults(dir.filePath("config/mimeapps.list"));
  ASSERT_TRUE(defaults.open(QIODevice::WriteOnly));
  defaults.write("[Default Applications]\nimage/bmp=qv-test-paint.desktop\n");
  defaults.close();

  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_DATA_HOME", dir.filePath("data"));
  // The system's folders still give the type of a ".bmp" file.
  environment.insert("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
  environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
  environment.insert("XDG_CONFIG_DIRS", dir.filePath("none"));
  environment.remove("XDG_CURRENT_DESKTOP");
  environment.insert("QV_EDITOR_CHILD_ANSWER", dir.filePath("answer"));
  child.setProcessEnvironment(environment);
  child.start(QCoreApplication::applicationFilePath(),
              {"--gtest_filter=OutsideEditorTest.DesktopDefaultLookupInAChild"});
  ASSERT_TRUE(child.waitForFinished(60000));
  EXPECT_EQ(child.exitCode(), 0) << child.readAll().toStdString();
  QFile answer(dir.filePath("answer"));
  ASSERT_TRUE(answer.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(answer.readAll()).split('\n'),
            (QStringList{script, "--open", "file:///pictures/back%20ground.bmp"}));
}

TEST(OutsideEditorTest, DesktopDefaultLookupInAChild) {
  const char* answerPath = std::getenv("QV_EDITOR_CHILD_ANSWER");
  if (answerPath == nullptr) GTEST_SKIP() << "runs only as the child of the test above";
  UserDefaultsDisable();
  const QStringList command = OutsideEditorCommand("/pictures/back ground.bmp");
  UserDefaultsReset();
  QFile answer(QString::fromLocal8Bit(answerPath));
  ASSERT_TRUE(answer.open(QIODevice::WriteOnly));
  answer.write(command.join('\n').toUtf8());
}
