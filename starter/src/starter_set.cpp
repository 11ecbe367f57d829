#include "starter_set.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>
#include <filesystem>

#include "base/access_lock.h"
#include "base/text.h"
#include "build_kit.h"
#include "io/files/project_files.h"
#include "io/files/style.h"
#include "io/files/templates.h"
#include "model/inputs.h"
#include "model/project.h"
#include "model/timeline.h"
#include "media/datalog/datalog_queries.h"
#include "render/loop/frame_render.h"
#include "style_designs.h"

namespace {

constexpr float kSpeedMaxKmh = 250, kTachMax = 8000, kTachRed = 6500;
constexpr uint32_t kBestLap = 0x100;
constexpr float kCameraMoment = 1.5f; // seconds into the cameras' short videos

std::u16string Path16(const std::string& path) { return WideToUtf16(Utf8ToWide(path)); }

const std::string& LogOf(const Materials& m, SessionKind kind) {
  return kind == SessionKind::kBicycle ? m.rideLog : kind == SessionKind::kMotorbike ? m.bikeLog : m.carLog;
}
const SessionSummary& SummaryOf(const Materials& m, SessionKind kind) {
  return kind == SessionKind::kBicycle ? m.ride : kind == SessionKind::kMotorbike ? m.bike : m.car;
}
const std::string& PictureOf(const Materials& m, Scene scene) {
  switch (scene) {
  case Scene::kCountryRoad: return m.roadPicture;
  case Scene::kCockpit: return m.cockpitPicture;
  case Scene::kSportsBike: return m.bikePicture;
  default: return m.circuitPicture;
  }
}

// Log time of the design's sample picture: a corner of the second lap (the
// steepest climb of a ride), or a moment after the second lap ends, when the
// lap just done is still shown.
float FrameTime(const Materials& m, const TemplateDesign& design) {
  const SessionSummary& s = SummaryOf(m, design.session);
  if (design.afterLine && s.lapStarts.size() > 2) return static_cast<float>(s.lapStarts[2] + 2.5);
  return static_cast<float>(s.showcase);
}

// A new-project template that goes on to a data template.
bool DataLogger(const TemplateDesign& design) { return design.file.find("Datalogger") != std::string::npos; }

// The design's name as the menu shows it: "Data - _1 Car Dashboard.qvt"
// gives "Car Dashboard".
std::u16string ShownName(const TemplateDesign& design) {
  std::string name = design.file.substr(0, design.file.rfind('.'));
  name = name.substr(name.find('_') + 3);
  return Path16(name);
}

bool ShowsInput(uint32_t from, uint32_t to, uint32_t input) {
  for (uint32_t object = from; object < to; ++object)
    if (input != kNoInput && DispObjGet(object)->InputID == input) return true;
  return false;
}

// The design's objects other than cameras go into one group named after
// it: replacing the log's objects by another data template removes the
// whole group, captions and panels with the data.
void GroupObjects(const TemplateDesign& design, uint32_t from, uint32_t to) {
  const uint32_t group = Place(kDispGroup, kNoInput, {0, 0, 100, 100}, ShownName(design));
  for (uint32_t object = from; object < to; ++object) {
    DispStruct record = *DispObjGet(object);
    if (record.Type == kDispVideo) continue;
    record.ParentObject = group;
    DispObjSet(object, &record);
  }
  DispObjGroupCalcPosSize(group);
}

uint32_t AddInput(const std::string& path) { return InputAdd(Path16(path).c_str()); }

// The first-use options of a data template, with the best lap shown.
void FirstUseOptions(uint32_t data) {
  ProjectWizSetOpts(ProjectWizScanInput(data) | kBestLap, kSpeedMaxKmh, kTachMax, kTachRed);
}

std::string ExportTemplate(const Materials& m, const TemplateDesign& design, const std::string& path) {
  ProjectNew();
  ProjectSetSpeedUnit(kSpeedKmh);
  DesignInputs in;
  uint32_t background = kNoInput;
  if (design.data) {
    background = AddInput(PictureOf(m, design.scene));
    Place(kDispVideo, background, {0, 0, 100, 100}, u"Camera");
  } else {
    in.video1 = AddInput(design.scene == Scene::kCountryRoad ? m.rideVideo : m.onboardVideo);
    if (design.videos > 1) in.video2 = AddInput(m.cockpitVideo);
  }
  if (design.dataInput) in.data = AddInput(LogOf(m, design.session));
  if (!design.data && in.data != kNoInput) {
    // The cameras last seconds: the log is started where its picture moment
    // falls a moment into them.
    MainStruct log = *InputGetMain(in.data);
    log.TrimStart = std::max(0.0f, FrameTime(m, design) - kCameraMoment);
    InputSetMain(in.data, &log);
  }
  const uint32_t shown = DispObjCount();
  design.build(in);
  if (ShowsInput(shown, DispObjCount(), in.data)) GroupObjects(design, shown, DispObjCount());
  const uint32_t made = DispObjCount();
  if (made <= shown) return "no objects in " + design.file;
  // A data-logger template's thumbnail shows where it leads: a dashboard
  // over the video (not part of the template).
  if (DataLogger(design)) StarterTemplates().front().build(in);
  if (in.data != kNoInput) FirstUseOptions(in.data);
  // Project templates show their cameras a moment into the video.
  TimelineApply(design.data ? FrameTime(m, design) : kCameraMoment);
  if (TemplateExportOpen(Utf8ToWide(path).c_str()) != 0) return "cannot write " + path;
  int failed = 0;
  if (in.video1 != kNoInput) failed |= TemplateExportAddInput(in.video1, u"Video 1");
  if (in.video2 != kNoInput) failed |= TemplateExportAddInput(in.video2, u"Video 2");
  if (in.data != kNoInput) failed |= TemplateExportAddInput(in.data, u"Data 1");
  for (uint32_t object = shown; object < made; ++object)
    failed |= TemplateExportAddDispObj(object, DispObjGetName(object));
  if (failed != 0) {
    TemplateExportAbort();
    return "cannot add the records of " + design.file;
  }
  return TemplateExportClose() == 0 ? std::string() : "cannot finish " + path;
}

std::string ExportStyle(const Materials& m, const StyleDesign& design, const std::string& path) {
  ProjectNew();
  ProjectSetSpeedUnit(kSpeedKmh);
  const uint32_t data = AddInput(design.ride ? m.rideLog : m.carLog);
  const uint32_t object = design.make(data);
  if (object == kNoDispObj) return "cannot make the style " + design.name;
  DispObjRename(object, Path16(design.name).c_str());
  ProjectWizSetOpts(ProjectWizScanInput(data), kSpeedMaxKmh, kTachMax, kTachRed);
  TimelineApply(static_cast<float>(design.ride ? m.ride.showcase : m.car.showcase));
  return DispObjExportStyle(object, Utf8ToWide(path).c_str()) == 0 ? std::string() : "cannot write " + path;
}

uint32_t g_shownLog = kNoInput;

} // namespace

std::vector<std::string> StarterStyles() {
  std::vector<std::string> files;
  for (const StyleDesign& design : StarterStyleDesigns()) files.push_back(design.folder + "/" + design.name + ".qvo");
  return files;
}

std::string BuildStarterSet(const Materials& materials, const std::string& outDir) {
  namespace fs = std::filesystem;
  std::error_code error;
  for (const char* folder : {"Templates", "Styles", "Video Positions"}) fs::create_directories(fs::path(outDir) / folder, error);
  for (const TemplateDesign& design : StarterTemplates()) {
    const std::string failed = ExportTemplate(materials, design, outDir + "/Templates/" + design.file);
    if (!failed.empty()) return failed;
  }
  for (const StyleDesign& design : StarterStyleDesigns()) {
    const std::string failed = ExportStyle(materials, design, outDir + "/" + design.folder + "/" + design.name + ".qvo");
    if (!failed.empty()) return failed;
  }
  ProjectNew();
  return {};
}

double ShowTemplate(const Materials& m, const TemplateDesign& design, const std::string& templatesDir) {
  ProjectNew();
  ProjectSetSpeedUnit(kSpeedKmh);
  g_shownLog = kNoInput;
  const uint32_t picture = AddInput(PictureOf(m, design.scene));
  const uint32_t data = design.dataInput ? AddInput(LogOf(m, design.session)) : kNoInput;
  if (picture == kNoInput || (design.dataInput && data == kNoInput)) return -1;
  const std::wstring path = Utf8ToWide(templatesDir + "/" + design.file);
  if (design.data) {
    Place(kDispVideo, picture, {0, 0, 100, 100}, u"Camera");
    if (TemplateImportLoad(path.c_str(), data, 0) != 0) return -1;
  } else {
    if (TemplateImportLoad(path.c_str(), kNoInput, 0) != 0) return -1;
    // The cameras show the pictures: the circuit, then the cockpit.
    const uint32_t cockpit = design.videos > 1 ? AddInput(m.cockpitPicture) : kNoInput;
    int video = 0;
    for (uint32_t n = 0; n < TemplateImportGetInputCount(); ++n) {
      const uint32_t type = TemplateImportGetInputType(n);
      TemplateImportSetInputID(n, type == kInputData ? data : (video++ == 0 ? picture : cockpit));
    }
  }
  const int applied = TemplateImportApply();
  TemplateImportClear();
  if (applied != 0) return -1;
  if (DataLogger(design)) {
    // A data-logger project goes on to the first data template.
    const TemplateDesign& dashboard = StarterTemplates().front();
    DispObjRemoveInput(data, 1);
    const std::wstring dash = Utf8ToWide(templatesDir + "/" + dashboard.file);
    if (TemplateImportLoad(dash.c_str(), data, 0) != 0 || TemplateImportApply() != 0) return -1;
    TemplateImportClear();
  }
  if (data != kNoInput) FirstUseOptions(data);
  g_shownLog = data;
  const float time = FrameTime(m, design);
  TimelineApply(time);
  return time;
}

uint32_t ShownLogInput() { return g_shownLog; }

std::vector<uint32_t> RenderProjectPixels(float time, int width, int height) {
  std::vector<uint32_t> frame(static_cast<size_t>(width) * height, 0);
  TimelineApply(time);
  ReadAccess access("RenderProjectPixels");
  FrameTarget target{frame.data(), width, height, false};
  if (RenderProjectFrame(time, target, FrameRenderOptions{}) < 0) frame.clear();
  return frame;
}

bool RenderProjectPng(float time, int width, int height, const std::string& path) {
  const std::vector<uint32_t> frame = RenderProjectPixels(time, width, height);
  if (frame.empty()) return false;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return false;
  cairo_surface_flush(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  for (int y = 0; y < height; ++y)
    std::memcpy(data + static_cast<size_t>(y) * stride, frame.data() + static_cast<size_t>(y) * width,
                static_cast<size_t>(width) * 4);
  cairo_surface_mark_dirty(surface);
  const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
}

namespace {

double TextWidth(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  return extents.x_advance;
}

// A name in lines no wider than width: whole when it fits, else broken
// after its " - " parts and then between words.
std::vector<std::string> NameLines(cairo_t* cr, const std::string& name, double width) {
  if (TextWidth(cr, name) <= width) return {name};
  std::vector<std::string> words;
  for (size_t at = 0; at < name.size();) {
    const size_t space = name.find(' ', at);
    words.push_back(name.substr(at, space == std::string::npos ? std::string::npos : space - at));
    at = space == std::string::npos ? name.size() : space + 1;
  }
  std::vector<std::string> lines;
  std::string line;
  for (const std::string& word : words) {
    const std::string longer = line.empty() ? word : line + " " + word;
    if (!line.empty() && (TextWidth(cr, longer) > width || line.back() == '-')) {
      lines.push_back(line);
      line = word;
    } else {
      line = longer;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

} // namespace

bool WriteStyleSheet(const std::string& outDir, const std::string& path) {
  std::vector<std::string> files;
  for (const std::string& file : StarterStyles())
    if (file.rfind("Styles/", 0) == 0) files.push_back(file); // pictures have no preview
  // Names take up to two lines under their pictures.
  constexpr int kSide = 120, kLine = 12, kLabel = 2 * kLine + 10, kColumns = 6, kGap = 8;
  const int rows = static_cast<int>((files.size() + kColumns - 1) / kColumns);
  const int width = kColumns * (kSide + kGap) + kGap, height = rows * (kSide + kLabel + kGap) + kGap;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 0.16, 0.17, 0.19);
  cairo_paint(cr);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 9.5);
  bool ok = true;
  for (size_t i = 0; i < files.size(); ++i) {
    const int x = kGap + static_cast<int>(i % kColumns) * (kSide + kGap);
    const int y = kGap + static_cast<int>(i / kColumns) * (kSide + kLabel + kGap);
    ok = ok && DispObjImportStyle(kNoDispObj, Utf8ToWide(outDir + "/" + files[i]).c_str(), kStylePreviewOnly) == 0;
    const std::vector<uint8_t> picture = DispObjStylePreviewGetPicture();
    if (picture.size() == static_cast<size_t>(kSide) * kSide * 3) {
      cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSide, kSide);
      cairo_surface_flush(tile);
      unsigned char* data = cairo_image_surface_get_data(tile);
      const int stride = cairo_image_surface_get_stride(tile);
      for (int py = 0; py < kSide; ++py)
        for (int px = 0; px < kSide; ++px) {
          const uint8_t* from = &picture[(static_cast<size_t>(py) * kSide + px) * 3];
          uint32_t pixel = 0xFF000000u | static_cast<uint32_t>(from[2]) << 16 | static_cast<uint32_t>(from[1]) << 8 | from[0];
          std::memcpy(data + py * stride + px * 4, &pixel, 4);
        }
      cairo_surface_mark_dirty(tile);
      cairo_set_source_surface(cr, tile, x, y);
      cairo_paint(cr);
      cairo_surface_destroy(tile);
    }
    std::string name = files[i].substr(files[i].find('/') + 1);
    name = name.substr(0, name.rfind('.'));
    cairo_set_source_rgb(cr, 0.85, 0.87, 0.9);
    int baseline = y + kSide + 14;
    for (const std::string& line : NameLines(cr, name, kSide)) {
      cairo_move_to(cr, x, baseline);
      cairo_show_text(cr, line.c_str());
      baseline += kLine;
    }
  }
  cairo_destroy(cr);
  ok = ok && cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
}
