#include "platform/system/folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cwchar>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "base/text.h"
#include "platform/system/system_test_dir.h"
#include "support/scoped_env.h"

namespace {

std::string tempFolderText() {
  wchar_t buffer[1024];
  uint32_t result = GetTempFolder(1024, buffer);
  if (result == 0) return {};
  EXPECT_EQ(result, std::wcslen(buffer) + 1);
  return WideToUtf8(buffer);
}

mode_t modeOf(const std::string& path) {
  struct stat st {};
  lstat(path.c_str(), &st);
  return st.st_mode;
}

TEST(TempFolderTest, CreatesAPrivateFolderUnderTmpdir) {
  SystemTestDir dir;
  EXPECT_EQ(tempFolderText(), dir.privateFolder());
  mode_t mode = modeOf(dir.privateFolder());
  EXPECT_TRUE(S_ISDIR(mode));
  EXPECT_EQ(mode & 0777, 0700u);
  EXPECT_EQ(tempFolderText(), dir.privateFolder()) << "an existing folder is taken again";
}

TEST(TempFolderTest, TrailingSlashesOfTmpdirAreDropped) {
  SystemTestDir dir;
  setenv("TMPDIR", (dir.path() + "//").c_str(), 1);
  EXPECT_EQ(tempFolderText(), dir.privateFolder());
}

TEST(TempFolderTest, ShortBufferKeepsTheTerminator) {
  SystemTestDir dir;
  wchar_t buffer[8];
  std::wmemset(buffer, L'#', 8);
  EXPECT_EQ(GetTempFolder(3, buffer), 3u);
  EXPECT_EQ(WideToUtf8(buffer), dir.privateFolder().substr(0, 2));
  EXPECT_EQ(buffer[3], L'#') << "nothing written past the length";
  EXPECT_EQ(GetTempFolder(1, buffer), 1u);
  EXPECT_EQ(buffer[0], L'\0');
}

TEST(TempFolderTest, NullOrZeroLengthWritesNothing) {
  SystemTestDir dir;
  wchar_t buffer[4] = {L'x', L'x', L'x', 0};
  EXPECT_EQ(GetTempFolder(0, buffer), 0u);
  EXPECT_EQ(buffer[0], L'x');
  EXPECT_EQ(GetTempFolder(16, nullptr), 0u);
}

TEST(TempFolderTest, RefusesAFolderThatIsALink) {
  SystemTestDir dir;
  std::string target = dir.path() + "/elsewhere";
  ASSERT_EQ(mkdir(target.c_str(), 0700), 0);
  ASSERT_EQ(symlink(target.c_str(), dir.privateFolder().c_str()), 0);
  wchar_t buffer[1024];
  EXPECT_EQ(GetTempFolder(1024, buffer), 0u);
}

TEST(TempFolderTest, RefusesAFileInThePlaceOfTheFolder) {
  SystemTestDir dir;
  std::ofstream(dir.privateFolder()) << "not a folder";
  wchar_t buffer[1024];
  EXPECT_EQ(GetTempFolder(1024, buffer), 0u);
}

TEST(TempFolderTest, TightensAnOpenFolderOfOurOwn) {
  SystemTestDir dir;
  ASSERT_EQ(mkdir(dir.privateFolder().c_str(), 0700), 0);
  ASSERT_EQ(chmod(dir.privateFolder().c_str(), 0777), 0);
  EXPECT_EQ(tempFolderText(), dir.privateFolder());
  EXPECT_EQ(modeOf(dir.privateFolder()) & 0777, 0700u);
}

TEST(TempFolderTest, RefusesAFolderOwnedBySomeoneElse) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a folder away";
  SystemTestDir dir;
  ASSERT_EQ(mkdir(dir.privateFolder().c_str(), 0700), 0);
  ASSERT_EQ(chown(dir.privateFolder().c_str(), 54321, 54321), 0);
  wchar_t buffer[1024];
  EXPECT_EQ(GetTempFolder(1024, buffer), 0u);
}

TEST(TempFolderTest, MissingTmpdirFallsBackToOurFolderInTmp) {
  SystemTestDir dir;
  const std::string fallback = "/tmp/quelvatron-" + std::to_string(geteuid());
  const bool there = std::filesystem::exists(fallback);
  setenv("TMPDIR", (dir.path() + "/gone/away").c_str(), 1);
  std::string folder = tempFolderText();
  EXPECT_EQ(folder, fallback);
  EXPECT_EQ(modeOf(folder) & 0777, 0700u);
  // The run leaves nothing in /tmp: made here, it goes (while still empty).
  if (!there) rmdir(fallback.c_str());
}

class DocumentsFolderTest : public ::testing::Test {
protected:
  void SetUp() override { std::filesystem::create_directories(dir.path() + "/config"); }
  SystemTestDir dir;
  // Tests may set XDG_DOCUMENTS_DIR themselves: it comes back all the same.
  ScopedEnv documents{"XDG_DOCUMENTS_DIR", nullptr};
  ScopedEnv home{"HOME", dir.path() + "/home"};
  ScopedEnv config{"XDG_CONFIG_HOME", dir.path() + "/config"};
};

TEST_F(DocumentsFolderTest, EnvironmentNamesTheFolder) {
  setenv("XDG_DOCUMENTS_DIR", "/data/docs", 1);
  EXPECT_EQ(WideToUtf8(GetDocumentsFolder()), "/data/docs");
}

TEST_F(DocumentsFolderTest, UserDirsFileNamesTheFolder) {
  std::ofstream(dir.path() + "/config/user-dirs.dirs")
      << "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n";
  EXPECT_EQ(WideToUtf8(GetDocumentsFolder()), dir.path() + "/home/Papiere");
}

TEST_F(DocumentsFolderTest, FallsBackToHomeDocuments) {
  EXPECT_EQ(WideToUtf8(GetDocumentsFolder()), dir.path() + "/home/Documents");
}

TEST_F(DocumentsFolderTest, OverlongFolderIsCutAtTheBufferEnd) {
  std::string longPath = "/" + std::string(5000, 'd');
  setenv("XDG_DOCUMENTS_DIR", longPath.c_str(), 1);
  const wchar_t* folder = GetDocumentsFolder();
  ASSERT_NE(folder, nullptr);
  EXPECT_EQ(std::wcslen(folder), 2047u);
}

} // namespace
