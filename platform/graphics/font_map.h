#pragma once
// Font names as projects store them (often Windows names) turned into
// installed fonts, looked up through fontconfig. Results are PostScript
// names, the way faces are named in this system.
#include <string>

// Looks the name up; copies the PostScript name of the font found into a
// shared 256-byte buffer (empty when none) and hands that buffer to *result
// when result is given. 1 only when that PostScript name equals the name
// exactly (case-sensitive), else 0.
int FontCheckName(const char* name, const char** result);
// exact != 0: FontCheckName's result; otherwise 1 when the name resolves to
// any installed font.
int FontExists(const char* name, int exact);
// The PostScript name of the font to draw the named font with, in a shared
// 256-byte buffer that the next call overwrites; empty when not even the
// fallback exists.
const char* FontMapName(const char* name);

// Thread-safe forms for the renderers (the shared buffers above are kept
// for the callers that expect them).
std::string FontMapNameCopy(const std::string& name);
bool FontExistsExact(const std::string& postScriptName);

// The face behind a PostScript name, as Pango wants it.
struct FontFace {
  std::string family;
  int weight = 400; // CSS-like: 400 regular, 700 bold
  bool italic = false;
};
// False when no installed font carries the PostScript name.
bool FontFaceFromPostScript(const std::string& postScriptName, FontFace* face);
