#pragma once
// The tests' temporary folders go where the user's TMPDIR says, as the
// program's own do, and into /tmp only without one. Header only, for the
// ground's suite too.
#include <stdlib.h>

#include <cstdlib>
#include <string>

// $TMPDIR when it names a folder from the root, else /tmp; no trailing slash.
inline std::string TempBase() {
  const char* dir = std::getenv("TMPDIR");
  std::string base = dir != nullptr && dir[0] == '/' ? dir : "/tmp";
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base;
}

// A fresh folder <TempBase()>/<prefix>-XXXXXX; empty when none could be made.
inline std::string MakeTempFolder(const std::string& prefix) {
  std::string pattern = TempBase() + "/" + prefix + "-XXXXXX";
  return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}
