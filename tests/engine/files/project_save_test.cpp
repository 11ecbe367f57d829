// Saving never destroys the previous file. The tests run as root, which
// passes every permission check, so the failures are made with what stops
// root too: a folder that does not exist, a path under a regular file, a
// folder of /proc, and a file-size limit (RLIMIT_FSIZE binds root as well)
// that breaks the write half-way over an existing project.
#include <signal.h>
#include <sys/resource.h>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/files/project_files.h"
#include "engine/model/project.h"
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

} // namespace
