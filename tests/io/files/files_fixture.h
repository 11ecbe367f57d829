#pragma once
// Shared set-up of the file tests: a private folder (TMPDIR points at it,
// so undo snapshots land there too), fresh model tables and media layer,
// and a project holding every input type, every display-object type,
// bitmaps and timeline segments.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "io/files/project_image.h"
#include "support/scoped_env.h"

class FilesTest : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  std::wstring WPath(const std::string& name) const;
  const std::string& Dir() const { return dir_; }

private:
  std::string dir_;
  std::unique_ptr<ScopedEnv> tmpdir_;
};

// Builds the rich project in the model (media files made in dir).
void BuildRichProject(const std::string& dir);
// A smaller project with one of each section kind, for byte-wise damage.
void BuildSmallProject();
// A copy of the model taken under read access.
ProjectImage CaptureModel();
// Every stored byte of two images equal (records, blocks, segments).
void ExpectSameProject(const ProjectImage& a, const ProjectImage& b);
// A bitmap block of w x h pixels with a pattern from seed.
std::vector<uint8_t> MakeBitmap(uint32_t w, uint32_t h, uint32_t seed);
std::vector<uint8_t> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// Names of the files in a folder.
std::vector<std::string> FolderNames(const std::string& dir);
