#include "platform/graphics/font_map.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <strings.h>
#include <vector>

namespace {

constexpr size_t kFontBufferSize = 256;
char g_fontNameBuffer[kFontBufferSize];
char g_mappedFontBuffer[kFontBufferSize];
std::recursive_mutex g_fontMutex; // fontconfig's config and the buffers

struct Substitute {
  const char* name;
  const char* substitute;
  const char* standIn; // installed on Linux when the first is not
};

// Windows names and the fonts that replace them; the stand-ins are the
// metric-compatible families shipped with the program's dependencies.
constexpr std::array<Substitute, 17> kSubstitutes{{
    {"Microsoft Sans Serif", "MicrosoftSansSerif", "Liberation Sans"},
    {"MS Sans Serif", "MicrosoftSansSerif", "Liberation Sans"},
    {"Arial Black", "Arial-Black", "LiberationSans-Bold"},
    {"Book Antiqua", "Palatino", "Liberation Serif"},
    {"Consolas", "Menlo", "DejaVu Sans Mono"},
    {"Courier New", "Courier", "Liberation Mono"},
    {"Gill Sans MT", "Gill Sans", "DejaVu Sans"},
    {"Lucida Console", "Monaco", "DejaVu Sans Mono"},
    {"Microsoft Serif", "New York", "Liberation Serif"},
    {"MS Serif", "New York", "Liberation Serif"},
    {"Palatino Linotype", "Palatino", "Liberation Serif"},
    {"Tahoma", "Geneva", "DejaVu Sans"},
    {"Verdana", "Geneva", "DejaVu Sans"},
    {"Times New Roman", "Times", "Liberation Serif"},
    {"Trebuchet MS", "Helvetica", "Liberation Sans"},
    {"Wingdings", "Zapf Dingbats", "DejaVu Sans"},
    {"Helvetica", "Helvetica", "Liberation Sans"},
}};

bool isAscii(const char* text) {
  for (const char* p = text; *p; ++p)
    if (static_cast<unsigned char>(*p) > 0x7F) return false;
  return true;
}

bool isGenericFamily(const char* family) {
  static const char* const kGeneric[] = {"sans-serif", "serif",  "monospace", "sans",
                                         "mono",       "cursive", "fantasy",  "system-ui",
                                         "emoji",      "math"};
  for (const char* g : kGeneric)
    if (strcasecmp(family, g) == 0) return true;
  return false;
}

FcConfig* config() {
  static FcConfig* cfg = [] {
    FcInit();
    return FcConfigGetCurrent();
  }();
  return cfg;
}

// PostScript name of the first installed font matching the pattern's one
// property, or empty.
std::string listFirstPostScript(const char* object, const char* value, bool regularFirst) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, object, reinterpret_cast<const FcChar8*>(value));
  FcObjectSet* objects = FcObjectSetBuild(FC_POSTSCRIPT_NAME, FC_WEIGHT, FC_SLANT, nullptr);
  FcFontSet* set = FcFontList(config(), pattern, objects);
  std::string best;
  int bestScore = 1 << 30;
  for (int i = 0; set && i < set->nfont; ++i) {
    FcChar8* ps = nullptr;
    if (FcPatternGetString(set->fonts[i], FC_POSTSCRIPT_NAME, 0, &ps) != FcResultMatch) continue;
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(set->fonts[i], FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(set->fonts[i], FC_SLANT, 0, &slant);
    // The plain face stands for a family; ties broken by name for a stable answer.
    int score = regularFirst ? std::abs(weight - FC_WEIGHT_REGULAR) + slant * 4 : 0;
    std::string name = reinterpret_cast<const char*>(ps);
    if (score < bestScore || (score == bestScore && name < best)) {
      bestScore = score;
      best = name;
    }
  }
  if (set) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return best;
}

std::vector<std::string> substitutedFamilies(const char* name) {
  std::vector<std::string> families;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name));
  FcConfigSubstitute(config(), pattern, FcMatchPattern);
  FcChar8* family = nullptr;
  for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &family) == FcResultMatch; ++i)
    families.emplace_back(reinterpret_cast<const char*>(family));
  FcPatternDestroy(pattern);
  return families;
}

// fontconfig appends the generic fallback lists (each led by its preferred
// family) to every name; where one begins, the name's own aliases end.
bool startsGenericList(const std::string& family) {
  static const std::vector<std::string> heads = [] {
    std::vector<std::string> list;
    for (const char* generic : {"sans-serif", "serif", "monospace"}) {
      std::vector<std::string> families = substitutedFamilies(generic);
      if (!families.empty()) list.push_back(families.front());
    }
    return list;
  }();
  return isGenericFamily(family.c_str()) ||
         std::find(heads.begin(), heads.end(), family) != heads.end();
}

// The family name and the aliases that fontconfig's configuration gives it
// (such as a metric-compatible stand-in): those count as the name resolving.
std::vector<std::string> familyAndAliases(const char* name) {
  std::vector<std::string> families = substitutedFamilies(name);
  for (size_t i = 1; i < families.size(); ++i) {
    if (startsGenericList(families[i])) {
      families.resize(i);
      break;
    }
  }
  return families;
}

// PostScript name of the installed font that the name stands for, or empty.
std::string resolvePostScript(const char* name) {
  if (!name || !*name || !isAscii(name)) return {};
  std::string ps = listFirstPostScript(FC_POSTSCRIPT_NAME, name, false);
  if (!ps.empty()) return ps;
  ps = listFirstPostScript(FC_FULLNAME, name, false);
  if (!ps.empty()) return ps;
  for (const std::string& family : familyAndAliases(name)) {
    ps = listFirstPostScript(FC_FAMILY, family.c_str(), true);
    if (!ps.empty()) return ps;
  }
  return {};
}

void copyToBuffer(char* buffer, const std::string& text) {
  size_t n = std::min(text.size(), kFontBufferSize - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = 0;
  buffer[kFontBufferSize - 1] = 0;
}

std::string truncated(const char* name) {
  if (!name) return {};
  return std::string(name, strnlen(name, kFontBufferSize - 1));
}

std::string mapName(const std::string& requested) {
  std::string ps = resolvePostScript(requested.c_str());
  if (!ps.empty()) return ps;
  std::string name = requested;
  const char* standIn = nullptr;
  for (const Substitute& s : kSubstitutes) {
    if (strcasecmp(requested.c_str(), s.name) == 0) {
      name = s.substitute;
      standIn = s.standIn;
      break;
    }
  }
  ps = resolvePostScript(name.c_str());
  if (ps.empty() && standIn) ps = resolvePostScript(standIn);
  if (ps.empty()) ps = resolvePostScript("Helvetica");
  if (ps.empty()) ps = resolvePostScript("Liberation Sans");
  if (ps.empty()) ps = resolvePostScript("DejaVu Sans");
  return ps;
}

} // namespace

int FontCheckName(const char* name, const char** result) {
  std::lock_guard lock(g_fontMutex);
  std::string wanted = truncated(name);
  std::string ps = resolvePostScript(wanted.c_str());
  copyToBuffer(g_fontNameBuffer, ps);
  if (result) *result = g_fontNameBuffer;
  return !ps.empty() && ps == wanted ? 1 : 0;
}

int FontExists(const char* name, int exact) {
  std::lock_guard lock(g_fontMutex);
  const char* found = nullptr;
  int match = FontCheckName(name, &found);
  if (exact) return match;
  return (match || (found && *found)) ? 1 : 0;
}

const char* FontMapName(const char* name) {
  std::lock_guard lock(g_fontMutex);
  copyToBuffer(g_mappedFontBuffer, mapName(truncated(name)));
  return g_mappedFontBuffer;
}

std::string FontMapNameCopy(const std::string& name) {
  std::lock_guard lock(g_fontMutex);
  return mapName(truncated(name.c_str()));
}

bool FontExistsExact(const std::string& postScriptName) {
  std::lock_guard lock(g_fontMutex);
  std::string wanted = truncated(postScriptName.c_str());
  return !wanted.empty() && resolvePostScript(wanted.c_str()) == wanted;
}

bool FontFaceFromPostScript(const std::string& postScriptName, FontFace* face) {
  if (!face || postScriptName.empty()) return false;
  std::lock_guard lock(g_fontMutex);
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_POSTSCRIPT_NAME,
                     reinterpret_cast<const FcChar8*>(postScriptName.c_str()));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_WEIGHT, FC_SLANT, nullptr);
  FcFontSet* set = FcFontList(config(), pattern, objects);
  bool found = false;
  if (set && set->nfont > 0) {
    FcChar8* family = nullptr;
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetString(set->fonts[0], FC_FAMILY, 0, &family);
    FcPatternGetInteger(set->fonts[0], FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(set->fonts[0], FC_SLANT, 0, &slant);
    if (family) {
      face->family = reinterpret_cast<const char*>(family);
      face->weight = FcWeightToOpenType(weight);
      face->italic = slant != FC_SLANT_ROMAN;
      found = true;
    }
  }
  if (set) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return found;
}
