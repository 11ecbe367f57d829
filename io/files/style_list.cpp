// Listing the style files of a folder that hold one object type.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/text.h"
#include "io/files/style.h"
#include "io/files/style_format.h"
#include "model/dispobj_internal.h"

namespace {

constexpr size_t kMaxListed = 256;

std::mutex g_mutex;
std::vector<std::wstring> g_names;

bool HasStyleExtension(const std::string& name) {
  if (name.size() < 5) return false;
  std::string ext = name.substr(name.size() - 4);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".qvo";
}

// Reads only the header: listing must stay quick with large bitmaps.
bool HoldsType(const std::string& path, uint32_t type) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  uint8_t header[kStyleHeaderBytes];
  const bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                  read(fd, header, sizeof(header)) == static_cast<ssize_t>(sizeof(header));
  close(fd);
  uint32_t found = 0;
  return ok && StyleDecodeHeader(header, sizeof(header), static_cast<uint64_t>(info.st_size), &found) == 0 &&
         (type == kNoDispObj || found == type);
}

int ListStyles(uint32_t object, const wchar_t* folder, std::vector<std::wstring>& names) {
  if (folder == nullptr || folder[0] == 0) return -21;
  uint32_t type = kNoDispObj;
  if (object != kNoDispObj) {
    ReadAccess access("DispObjListStyleInit");
    const int code = DispCheckIndex(object, false);
    if (code != 0) return code;
    type = DispTableEntry(object)->Base.Type;
  }
  std::string dir = WideToUtf8(folder);
  if (dir.back() != '/') dir += '/';
  DIR* listing = opendir(dir.c_str());
  if (listing == nullptr) return 0; // an unreadable folder lists nothing
  std::vector<std::string> found;
  while (const dirent* item = readdir(listing)) {
    const std::string name = item->d_name;
    if (HasStyleExtension(name) && HoldsType(dir + name, type)) found.push_back(name);
  }
  closedir(listing);
  std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
      return std::tolower(x) < std::tolower(y);
    });
  });
  if (found.size() > kMaxListed) found.resize(kMaxListed);
  for (const std::string& name : found) names.push_back(Utf8ToWide(name));
  return 0;
}

} // namespace

int DispObjListStyleInit(uint32_t object, const wchar_t* folder) {
  std::vector<std::wstring> names;
  const int code = ListStyles(object, folder, names);
  std::lock_guard<std::mutex> lock(g_mutex);
  g_names = std::move(names);
  ErrorSet(code, "DispObjListStyleInit");
  return code != 0 ? code : static_cast<int>(g_names.size());
}

const wchar_t* DispObjListStyleGet(uint32_t n) {
  std::lock_guard<std::mutex> lock(g_mutex);
  ErrorSet(0, "DispObjListStyleGet"); // past the count: an empty name, as documented
  return n < g_names.size() ? g_names[n].c_str() : L"";
}
