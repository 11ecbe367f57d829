// The starter set that ships with the program: the committed files are what
// the generator makes from the designs (records exactly, pictures within a
// tolerance, so that the thumbnails and style previews are the golden
// pictures of their designs), and every template, applied as a user would
// apply it to a 10 Hz lap session, renders to a video without an error.
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/codec_id.h>
}

#include <algorithm>
#include <chrono>
#include <thread>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <utility>

#include "app/app.h"
#include "base/file_io.h"
#include "base/identity.h"
#include "base/text.h"
#include "e2e/e2e_support.h"
#include "io/files/style_format.h"
#include "io/files/template_format.h"
#include "model/dispobjs.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"
#include "render/preview/main_preview.h"
#include "starter_set.h"
#include "support/writer_clip.h"

namespace {

std::string W16(const char16_t* text) { return WideToUtf8(Utf16ToWide(text)); }

const std::string kCommitted = std::string(QV_TEST_SOURCE_DIR) + "/../starter";

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  EXPECT_EQ(FileReadAll(Utf8ToWide(path), size_t{1} << 28, bytes), 0) << path;
  return bytes;
}

// The stored part of an object: its record without the block addresses,
// the parameter block and the bitmap.
std::string ObjectBytes(const DispObjEntry& entry) {
  std::string out(reinterpret_cast<const char*>(&entry.Base), offsetof(DispStruct, Param));
  out.append(reinterpret_cast<const char*>(&entry.Base.BitmapSize), sizeof entry.Base.BitmapSize);
  out.append(entry.Param.begin(), entry.Param.end());
  out.append(entry.Bitmap.begin(), entry.Bitmap.end());
  return out;
}

// Pictures drawn from the same design may differ only where text and edges
// are smoothed: most pixels match, and the average difference is small.
void ExpectSamePicture(const std::vector<uint8_t>& made, const std::vector<uint8_t>& committed,
                       const std::string& what) {
  ASSERT_EQ(made.size(), committed.size()) << what;
  size_t off = 0;
  double total = 0;
  for (size_t i = 0; i < made.size(); ++i) {
    const int d = std::abs(int(made[i]) - int(committed[i]));
    total += d;
    if (d > 48) ++off;
  }
  EXPECT_LT(total / static_cast<double>(made.size()), 4.0) << what;
  EXPECT_LT(off, made.size() / 50) << what;
}

class StarterSetTest : public testing::Test {
protected:
  void SetUp() override {
    AppInitIdentity();
    ASSERT_EQ(AppInit(0), 1);
    work = E2eFolder("starter");
    ASSERT_EQ(MakeMaterials(work, &materials), "");
  }
  void TearDown() override {
    RenderEnd();
    AppEnd();
  }
  std::string work;
  Materials materials;
};

} // namespace

TEST_F(StarterSetTest, CommittedFilesAreWhatTheGeneratorMakes) {
  const std::string made = work + "/set";
  ASSERT_EQ(BuildStarterSet(materials, made), "");
  ASSERT_GE(StarterTemplates().size(), 6u);
  int data = 0;
  for (const TemplateDesign& design : StarterTemplates()) {
    SCOPED_TRACE(design.file);
    data += design.data ? 1 : 0;
    const std::vector<uint8_t> a = ReadBytes(made + "/Templates/" + design.file);
    const std::vector<uint8_t> b = ReadBytes(kCommitted + "/Templates/" + design.file);
    TemplateImage fresh, kept;
    ASSERT_EQ(TemplateDecode(a.data(), a.size(), fresh), 0);
    ASSERT_EQ(TemplateDecode(b.data(), b.size(), kept), 0) << "run the starter_set target";
    ASSERT_EQ(fresh.Inputs.size(), kept.Inputs.size());
    for (size_t i = 0; i < fresh.Inputs.size(); ++i) {
      EXPECT_EQ(fresh.Inputs[i].Type, kept.Inputs[i].Type);
      EXPECT_EQ(std::u16string(fresh.Inputs[i].Name), std::u16string(kept.Inputs[i].Name));
    }
    ASSERT_EQ(fresh.Objects.size(), kept.Objects.size());
    for (size_t i = 0; i < fresh.Objects.size(); ++i)
      EXPECT_EQ(ObjectBytes(fresh.Objects[i].Object), ObjectBytes(kept.Objects[i].Object)) << "object " << i;
    ExpectSamePicture(fresh.Thumbnail, kept.Thumbnail, "thumbnail");
    // A data template holds one data input; the names the options switch
    // are there.
    if (design.data) {
      ASSERT_EQ(kept.Inputs.size(), 1u);
      EXPECT_EQ(kept.Inputs[0].Type, kInputData);
      bool map = false;
      for (const TemplateObject& object : kept.Objects) map = map || std::u16string(object.Object.Base.Name) == u"Track Map";
      EXPECT_TRUE(map);
    }
  }
  EXPECT_GE(data, 6);
  for (const std::string& file : StarterStyles()) {
    SCOPED_TRACE(file);
    const std::vector<uint8_t> a = ReadBytes(made + "/" + file);
    const std::vector<uint8_t> b = ReadBytes(kCommitted + "/" + file);
    StyleImage fresh, kept;
    ASSERT_EQ(StyleDecode(a.data(), a.size(), fresh), 0);
    ASSERT_EQ(StyleDecode(b.data(), b.size(), kept), 0) << "run the starter_set target";
    EXPECT_EQ(ObjectBytes(fresh.Object), ObjectBytes(kept.Object));
    ExpectSamePicture(fresh.Preview, kept.Preview, "preview");
  }
  // Nothing in the folders that the generator does not make.
  size_t committed = 0;
  for (const char* folder : {"Templates", "Styles", "Video Positions"})
    committed += E2eListFolder(kCommitted + "/" + folder).size();
  EXPECT_EQ(committed, StarterTemplates().size() + StarterStyles().size());
}

TEST_F(StarterSetTest, EachTemplateOnALapSessionRendersTwoSeconds) {
  for (const TemplateDesign& design : StarterTemplates()) {
    SCOPED_TRACE(design.file);
    const double time = ShowTemplate(materials, design, kCommitted + "/Templates");
    ASSERT_GE(time, 0);
    EXPECT_GE(DispObjCount(), design.data ? 4u : 2u);
    // Every object of a data template reads the lap session.
    if (design.data) {
      for (uint32_t object = 1; object < DispObjCount(); ++object) {
        const DispStruct* record = DispObjGet(object);
        if (record->Type != kDispShape && record->Type != kDispText && record->Type != kDispGroup) {
          EXPECT_EQ(record->InputID, ShownLogInput()) << W16(record->Name);
        }
      }
    }
    const std::string out = work + "/" + design.file + ".mp4";
    ASSERT_EQ(OutputHandlerCreate(Utf8ToWide(out).c_str(), 8, 320, 180, 3, 44100, 1000, 96, 0, 15.0f, 0.0f,
                                  static_cast<float>(time - 1), static_cast<float>(time + 1)),
              0);
    for (int waited = 0; OutputHandlerIsBusy() && waited < 6000; ++waited)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(OutputHandlerGetResult(), 0);
    RenderEnd();
    const MediaProbe probe = ProbeMedia(out);
    ASSERT_TRUE(probe.opened);
    EXPECT_EQ(probe.videoCodec, AV_CODEC_ID_H264);
    EXPECT_NEAR(probe.duration, 2.0, 0.2);
    ASSERT_GE(probe.pictures.size(), 28u);
    if (!design.data) continue;
    // The data moves on: the first and last pictures differ.
    const DecodedPicture& first = probe.pictures.front();
    const DecodedPicture& last = probe.pictures.back();
    int changed = 0;
    for (size_t i = 0; i < first.bgra.size(); i += 4)
      if (std::abs(int(first.bgra[i]) - int(last.bgra[i])) + std::abs(int(first.bgra[i + 1]) - int(last.bgra[i + 1])) > 60)
        ++changed;
    EXPECT_GT(changed, 100);
    E2eWritePng(last.bgra, last.width, last.height, E2eFramesDir() + "/starter_" + std::to_string(&design - StarterTemplates().data()) + ".png");
  }
}

namespace {

// Where an object shows in a frame, in pixels (inclusive).
struct Ink {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  bool empty() const { return right < 0; }
  // Whether the two come closer than the gap.
  bool near(const Ink& o, int gap) const {
    return left <= o.right + gap && o.left <= right + gap && top <= o.bottom + gap && o.top <= bottom + gap;
  }
  bool within(const Ink& o) const { return left >= o.left && right <= o.right && top >= o.top && bottom <= o.bottom; }
  bool holdsCentreOf(const Ink& o) const {
    const int x = (o.left + o.right) / 2, y = (o.top + o.bottom) / 2;
    return x >= left && x <= right && y >= top && y <= bottom;
  }
};

std::ostream& operator<<(std::ostream& out, const Ink& ink) {
  return out << "(" << ink.left << "," << ink.top << ")-(" << ink.right << "," << ink.bottom << ")";
}

bool IsText(uint8_t type) {
  return type == kDispText || type == kDispTextData || type == kDispGear || type == kDispLapCount ||
         type == kDispLapTimer;
}

// What a text draws: the pixels of the frame that change when it is taken
// away.
Ink TextInk(uint32_t object, float time, const std::vector<uint32_t>& whole, int width, int height) {
  const DispStruct kept = *DispObjGet(object);
  DispStruct hidden = kept;
  hidden.Active = 0;
  EXPECT_EQ(DispObjSet(object, &hidden), 0);
  const std::vector<uint32_t> without = RenderProjectPixels(time, width, height);
  EXPECT_EQ(DispObjSet(object, &kept), 0);
  Ink ink;
  if (without.size() != whole.size()) return ink;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t a = whole[static_cast<size_t>(y) * width + x], b = without[static_cast<size_t>(y) * width + x];
      int most = 0;
      for (int shift = 0; shift < 24; shift += 8)
        most = std::max(most, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
      if (most <= 40) continue;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
    }
  return ink;
}

// A panel's place in the frame, from its record.
Ink BoxOf(const DispStruct& record, int width, int height) {
  Ink box;
  box.left = static_cast<int>(std::lround(record.X * width / 100));
  box.top = static_cast<int>(std::lround(record.Y * height / 100));
  box.right = static_cast<int>(std::lround((record.X + record.Width) * width / 100)) - 1;
  box.bottom = static_cast<int>(std::lround((record.Y + record.Height) * height / 100)) - 1;
  return box;
}

} // namespace

// Texts are sized by the frame's height and placed by percent of its
// width, so a layout that fits a wide frame may crowd a narrow one. Each
// template is drawn on every frame shape the program makes (4:3, 3:2,
// 16:9); the texts must keep apart, stay in the frame and stay on the panel
// they are laid on.
TEST_F(StarterSetTest, TextsOfEveryTemplateKeepApartOnEveryFrameShape) {
  const std::pair<int, int> sizes[] = {{640, 480}, {720, 480}, {1280, 720}, {1920, 1080}};
  for (const TemplateDesign& design : StarterTemplates()) {
    SCOPED_TRACE(design.file);
    const float time = static_cast<float>(ShowTemplate(materials, design, kCommitted + "/Templates"));
    ASSERT_GE(time, 0);
    for (const auto& [width, height] : sizes) {
      SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
      const bool failedBefore = HasFailure();
      const std::vector<uint32_t> whole = RenderProjectPixels(time, width, height);
      ASSERT_EQ(whole.size(), static_cast<size_t>(width) * height);
      std::vector<std::pair<std::string, Ink>> texts, panels;
      for (uint32_t object = 0; object < DispObjCount(); ++object) {
        const DispStruct record = *DispObjGet(object);
        const std::string name = W16(DispObjGetName(object));
        if (record.Type == kDispShape) panels.emplace_back(name, BoxOf(record, width, height));
        if (!IsText(record.Type)) continue;
        const Ink ink = TextInk(object, time, whole, width, height);
        EXPECT_FALSE(ink.empty()) << name << " shows nothing";
        if (!ink.empty()) texts.emplace_back(name, ink);
      }
      // Texts that all but touch read as one.
      const int gap = std::max(2, height / 120);
      for (size_t i = 0; i < texts.size(); ++i) {
        const auto& [name, ink] = texts[i];
        EXPECT_TRUE(ink.left > 0 && ink.top > 0 && ink.right < width - 1 && ink.bottom < height - 1)
            << name << " runs off the frame: " << ink;
        for (size_t j = i + 1; j < texts.size(); ++j)
          EXPECT_FALSE(ink.near(texts[j].second, gap))
              << name << " " << ink << " meets " << texts[j].first << " " << texts[j].second;
        for (const auto& [panel, box] : panels)
          if (box.holdsCentreOf(ink)) {
            EXPECT_TRUE(ink.within(box)) << name << " " << ink << " leaves " << panel << " " << box;
          }
      }
      if (HasFailure() && !failedBefore) {
        std::vector<uint8_t> bgra(whole.size() * 4);
        std::memcpy(bgra.data(), whole.data(), bgra.size());
        const std::string shown = std::to_string(&design - StarterTemplates().data());
        E2eWritePng(bgra, width, height,
                    E2eFramesDir() + "/starter_texts_" + shown + "_" + std::to_string(width) + "x" +
                        std::to_string(height) + ".png");
      }
    }
  }
}


// A template applied, the preview shows one picture at a time: the first
// drawn there, the same drawn again (a refresh) and after a seek and back.
TEST_F(StarterSetTest, AnAppliedTemplateShowsOnePictureAtATime) {
  constexpr uint32_t kWidth = 640, kHeight = 360;
  int view = 0;
  ViewRegister(&view, [](const ViewImage&) {});
  const auto still = [](float time) {
    std::vector<uint32_t> pixels;
    EXPECT_EQ(PreviewPlay(0, time, 0), 0);
    for (int waited = 0; PreviewIsPlaying() && waited < 20000; waited += 5)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(MainPreviewWaitIdle(20000));
    uint32_t w = 0, h = 0;
    EXPECT_EQ(MainPreviewSnapshotPixels(&pixels, &w, &h), 0);
    return pixels;
  };
  const auto differing = [](const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) return -1;
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
  };
  for (const TemplateDesign& design : StarterTemplates()) {
    SCOPED_TRACE(design.file);
    const float time = static_cast<float>(ShowTemplate(materials, design, kCommitted + "/Templates"));
    ASSERT_GE(time, 0);
    ASSERT_EQ(MainPreviewInit(&view, kWidth, kHeight, 0, 0, 3, 44100, 25), 0);
    const std::vector<uint32_t> first = still(time);
    ASSERT_EQ(first.size(), size_t{kWidth} * kHeight);
    EXPECT_EQ(differing(still(time), first), 0) << "drawn again";
    still(time + 1.6f);
    EXPECT_EQ(differing(still(time), first), 0) << "back from later";
  }
  MainPreviewEnd();
  ViewUnregister(&view);
}
