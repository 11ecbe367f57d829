// Saving never destroys the previous file. The tests run as root, which
// passes every permission check, so the failures are made with what stops
// root too: a folder that does not exist, a path under a regular file, a
// folder of /proc, and a file-size limit (RLIMIT_FSIZE binds root as well)
// that breaks the write half-way over an existing project.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <sys/resource.h>

#include <chrono>
#include <cstring>
#include <random>
#include <set>
#include <thread>

#include "base/error.h"
#include "base/text.h"
#include "io/files/project_files.h"
#include "io/files/project_format.h"
#include "model/project.h"
#include "files_fixture.h"

namespace {

class ProjectSaveTest : public FilesTest {};

TEST_F(ProjectSaveTest, UnwritablePlacesFailWith82) {
  BuildSmallProject();
  EXPECT_EQ(ProjectSave(WPath("no-such-folder/p.qvp").c_str()), -82);
  EXPECT_EQ(ErrorGetLast(), -82);
  ASSERT_TRUE(WriteFileBytes(Path("plain"), {1, 2, 3}));
  EXPECT_EQ(ProjectSave(WPath("plain/p.qvp").c_str()), -82);
  EXPECT_EQ(ReadFileBytes(Path("plain")), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(ProjectSave(L"/proc/qv-test.qvp"), -82);
  EXPECT_EQ(ProjectSave(L"/proc/self/qv-test.qvp"), -82);
  // The target is a folder: renaming a file over it fails.
  EXPECT_EQ(ProjectSave(Utf8ToWide(Dir()).c_str()), -82);
  EXPECT_EQ(ProjectSave(L""), -21);
}

class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, oldHandler_);
  }

private:
  rlimit old_{};
  sighandler_t oldHandler_;
};

TEST_F(ProjectSaveTest, WriteFailingHalfWayKeepsTheOldFile) {
  BuildSmallProject();
  ASSERT_EQ(ProjectSave(WPath("keep.qvp").c_str()), 0);
  const std::vector<uint8_t> old = ReadFileBytes(Path("keep.qvp"));
  ASSERT_EQ(ProjectNew(), 0);
  BuildRichProject(Dir()); // more inputs and objects: a much larger file
  const std::vector<std::string> namesBefore = FolderNames(Dir());
  {
    FileSizeLimit limit(old.size());
    EXPECT_EQ(ProjectSave(WPath("keep.qvp").c_str()), -82);
  }
  EXPECT_EQ(ReadFileBytes(Path("keep.qvp")), old);
  EXPECT_EQ(FolderNames(Dir()).size(), namesBefore.size()); // no temporary left behind
  // Without the limit the same save goes through.
  EXPECT_EQ(ProjectSave(WPath("keep.qvp").c_str()), 0);
  EXPECT_GT(ReadFileBytes(Path("keep.qvp")).size(), old.size());
}

// A save killed at any moment, as by a crash or a power cut of the
// process, leaves the previous project or the new one on disk, never a
// damaged file nor none. A child saves in a loop, stamping each save with
// a number in the user text, and is killed 200 times at random moments.
TEST_F(ProjectSaveTest, KilledSavesLeaveTheOldOrTheNewProject) {
  BuildSmallProject();
  const std::wstring path = WPath("killed.qvp");
  ProjectSetUserText(u"0");
  const auto before = std::chrono::steady_clock::now();
  ASSERT_EQ(ProjectSave(path.c_str()), 0);
  const auto saveMicros =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - before).count();
  const ProjectImage expected = CaptureModel();
  std::mt19937 rng(7);
  std::set<std::u16string> seen;
  for (int round = 1; round <= 200; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int n = 0;; ++n) {
        const std::u16string stamp = WideToUtf16(std::to_wstring(round * 100000 + n));
        ProjectSetUserText(stamp.c_str());
        ProjectSave(path.c_str());
      }
    }
    // Within the first few saves, so that kills land in every part of one.
    std::this_thread::sleep_for(std::chrono::microseconds(rng() % (2 * saveMicros + 200)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ProjectImage image;
    const std::vector<uint8_t> bytes = ReadFileBytes(Path("killed.qvp"));
    ASSERT_EQ(ProjectDecode(bytes.data(), bytes.size(), image), 0) << "after kill " << round;
    ASSERT_EQ(ProjectValidate(image), 0) << "after kill " << round;
    const std::u16string stamp(image.Settings.UserText);
    ASSERT_FALSE(stamp.empty());
    ASSERT_EQ(stamp.find_first_not_of(u"0123456789"), std::u16string::npos);
    seen.insert(stamp);
    std::memcpy(image.Settings.UserText, expected.Settings.UserText, sizeof(image.Settings.UserText));
    ExpectSameProject(expected, image);
    if (HasFailure()) return;
  }
  EXPECT_GT(seen.size(), 20u) << "the kills hardly ever let a save finish";
}

} // namespace
