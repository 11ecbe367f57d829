#pragma once
// Signatures of the delimited-text exports that users bring from lap
// timers, phone apps, OBD apps and loggers. A profile only names the
// format; columns are recognised by their names like any other file.
#include <string_view>

struct DelimitedProfile {
  int formatCode;
  const char* name;
  const char* signature; // text found in the file's first lines (any case)
};

// The profile whose signature occurs in the head, or the generic one.
const DelimitedProfile& DelimitedProfileFind(std::string_view head);
