// Makes the starter set: qv_starter_gen <out folder> [--frames <folder>]
// writes the templates and styles under the out folder and, with --frames,
// one sample picture of each template (the README's pictures).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app.h"
#include "base/identity.h"
#include "base/main_thread.h"
#include "starter_set.h"

// Sanitizer builds: fontconfig and Pango keep their font caches for the
// life of the process, which is no leak of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:libpangoft2\nleak:libpango-1.0\n";
}

namespace {

std::string FrameName(const std::string& templateFile) {
  std::string name = templateFile.substr(0, templateFile.rfind('.'));
  std::string out;
  for (char c : name) {
    if (c == ' ' || c == '_') {
      if (!out.empty() && out.back() != '-') out += '-';
    } else if (c != '-') {
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else if (!out.empty() && out.back() != '-') {
      out += '-';
    }
  }
  return out + ".png";
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <out folder> [--frames <folder>]\n", argv[0]);
    return 2;
  }
  const std::string outDir = argv[1];
  std::string framesDir;
  for (int i = 2; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--frames") framesDir = argv[i + 1];
  // Inside the user's TMPDIR, as the program's own temporary files go.
  std::error_code noTmpdir;
  std::filesystem::path base = std::filesystem::temp_directory_path(noTmpdir);
  if (noTmpdir) base = "/tmp";
  std::string work = (base / "qv-starter-XXXXXX").string();
  if (mkdtemp(work.data()) == nullptr) return 1;
  setenv("TMPDIR", work.c_str(), 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  MainThreadMarkCurrent();
  AppInitIdentity();
  if (AppInit(0) != 1) {
    std::fprintf(stderr, "the engine did not start\n");
    return 1;
  }
  Materials materials;
  std::string failed = MakeMaterials(work, &materials);
  if (failed.empty()) failed = BuildStarterSet(materials, outDir);
  if (failed.empty() && !framesDir.empty()) {
    std::filesystem::create_directories(framesDir);
    for (const TemplateDesign& design : StarterTemplates()) {
      const double time = ShowTemplate(materials, design, outDir + "/Templates");
      if (time < 0 || !RenderProjectPng(static_cast<float>(time), 960, 540, framesDir + "/" + FrameName(design.file))) {
        failed = "cannot show " + design.file;
        break;
      }
    }
    if (failed.empty() && !WriteStyleSheet(outDir, framesDir + "/styles.png")) failed = "cannot draw the style sheet";
  }
  AppEnd();
  std::error_code ignored;
  std::filesystem::remove_all(work, ignored);
  if (!failed.empty()) {
    std::fprintf(stderr, "%s\n", failed.c_str());
    return 1;
  }
  return 0;
}
