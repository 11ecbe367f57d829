// Finding the parts of one camera recording: "GOPRnnnn.MP4" holds the
// first part and "GPxxnnnn.MP4" the parts xx = 01 to 08 that follow.
#include <cstdio>
#include <cwctype>
#include <dirent.h>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "model/inputs.h"
#include "model/multipart_scan.h"

namespace {

std::vector<std::wstring> g_parts;

std::wstring Upper(const std::wstring& text) {
  std::wstring upper = text;
  for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  return upper;
}

// The file name's pattern with its digits replaced by 'n'.
std::wstring DigitPattern(const std::wstring& name) {
  std::wstring pattern = name;
  for (wchar_t& c : pattern)
    if (c >= L'0' && c <= L'9') c = L'n';
  return pattern;
}

int Digits(const std::wstring& text, size_t from, size_t count) {
  int value = 0;
  for (size_t i = from; i < from + count; ++i) value = value * 10 + (text[i] - L'0');
  return value;
}

// Folder entries by upper-cased name, so "gopr0001.mp4" is found as well.
std::vector<std::wstring> FolderEntries(const std::wstring& folder) {
  std::vector<std::wstring> names;
  DIR* dir = opendir(WideToUtf8(folder.empty() ? L"." : folder).c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = readdir(dir)) names.push_back(Utf8ToWide(entry->d_name));
  closedir(dir);
  return names;
}

bool FindEntry(const std::vector<std::wstring>& entries, const std::wstring& wanted,
               std::wstring& found) {
  for (const std::wstring& name : entries)
    if (Upper(name) == wanted) {
      found = name;
      return true;
    }
  return false;
}

} // namespace

std::vector<std::wstring> MultiPartScan(const std::wstring& path) {
  const size_t slash = path.find_last_of(L'/');
  const std::wstring folder = slash == std::wstring::npos ? L"" : path.substr(0, slash + 1);
  const std::wstring name = Upper(slash == std::wstring::npos ? path : path.substr(slash + 1));
  const std::wstring pattern = DigitPattern(name);
  // The extension's own digit becomes 'n' too; it must still be "MP4".
  const bool mp4 = name.size() > 4 && name.compare(name.size() - 4, 4, L".MP4") == 0;
  int recording = -1;
  if (mp4 && (pattern == L"GOPRnnnn.MPn" || pattern == L"GPnnnnnn.MPn"))
    recording = Digits(name, 4, 4);
  std::vector<std::wstring> parts;
  if (recording < 0) return parts;
  const std::vector<std::wstring> entries = FolderEntries(folder);
  for (int part = 0; part <= 8; ++part) {
    wchar_t wanted[32];
    if (part == 0) std::swprintf(wanted, 32, L"GOPR%04d.MP4", recording);
    else std::swprintf(wanted, 32, L"GP%02d%04d.MP4", part, recording);
    std::wstring found;
    if (!FindEntry(entries, wanted, found)) break;
    parts.push_back(folder + found);
  }
  return parts;
}

const std::vector<std::wstring>& MultiPartFound() { return g_parts; }

int InputCheckMultiPart(const wchar_t* path) {
  g_parts.clear();
  if (path != nullptr) g_parts = MultiPartScan(path);
  const int result = g_parts.size() >= 2 ? kMultiPartFound : 0;
  if (result == 0) g_parts.clear();
  ErrorSet(0, "InputCheckMultiPart");
  return result;
}
