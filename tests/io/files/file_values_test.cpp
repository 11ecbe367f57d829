// Numbers out of range in a profile, project, template or style: each
// numeric field of a file written by the program is set to nan, inf, -inf,
// a negative value where its control allows none and a value beyond the
// control's end; the reader refuses the file naming the field and the
// state the program had stays; a value the control allows still reads.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "base/message_box.h"
#include "io/files/profile.h"
#include "io/files/project_files.h"
#include "io/files/project_format.h"
#include "io/files/style.h"
#include "io/files/style_format.h"
#include "io/files/template_format.h"
#include "io/files/templates.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "model/timeline.h"
#include "files_fixture.h"

namespace {

enum class Kind { kF32, kF64, kI8 };

struct Field {
  const char* key;
  size_t offset;
  Kind kind;
  double below, above; // values just past the control's ends; 0 where it has none
  double allowed;      // a value the control allows
};

#define FIELD(record, name, kind, below, above, allowed) \
  Field { #name, offsetof(record, name), Kind::kind, below, above, allowed }

const Field kDataFields[] = {
    FIELD(DataStruct, TimeUnits, kF32, -1, 0, 0.001),      FIELD(DataStruct, GpsAccConv, kF32, -1, 0, 2),
    FIELD(DataStruct, SpeedConv, kF32, -1, 0, 0.5),        FIELD(DataStruct, HeadingAdjust, kF32, -361, 361, -90),
    FIELD(DataStruct, LapX, kF64, 0, 0, -122.4),           FIELD(DataStruct, LapY, kF64, 0, 0, -37.7),
    FIELD(DataStruct, LapTolX, kF64, -1, 0, 1e-5),         FIELD(DataStruct, LapTolY, kF64, -1, 0, 1e-5),
    FIELD(DataStruct, LapHeading, kF32, 0, 361, -1),       FIELD(DataStruct, LapHeadTol, kF32, -1, 361, 45),
    FIELD(DataStruct, CustomNum, kF32, 0, 0, -3),          FIELD(DataStruct, CustomNum2, kF32, 0, 0, -3),
    FIELD(DataStruct, CustomNum3, kF32, 0, 0, -3),         FIELD(DataStruct, CustomNum4, kF32, 0, 0, -3),
    FIELD(DataStruct, GearAdjust, kI8, -10, 10, -2),
};
const Field kMainFields[] = {
    FIELD(MainStruct, Length, kF32, -1, 0, 2),    FIELD(MainStruct, StartTime, kF32, 0, 0, -2),
    FIELD(MainStruct, TrimStart, kF32, -1, 0, 2), FIELD(MainStruct, TrimEnd, kF32, -1, 0, 2),
    FIELD(MainStruct, PlayRate, kF32, -1, 0, 2),
};
const Field kAdjustFields[] = {FIELD(AdjustStruct, Rotation, kF32, -361, 361, -90)};
const Field kDispFields[] = {
    FIELD(DispStruct, X, kF32, 0, 0, -2),          FIELD(DispStruct, Y, kF32, 0, 0, -2),
    FIELD(DispStruct, Width, kF32, -1, 0, 2),      FIELD(DispStruct, Height, kF32, -1, 0, 2),
    FIELD(DispStruct, OffsetTime, kF32, -1, 0, 2), FIELD(DispStruct, BitmapRotate, kF32, -361, 361, -90),
    FIELD(DispStruct, BitmapZoom, kF32, -1, 0, 2), FIELD(DispStruct, BitmapOffsetX, kF32, 0, 0, -2),
    FIELD(DispStruct, BitmapOffsetY, kF32, 0, 0, -2),
};
// The project file's settings section: its payload starts after the
// 32-byte header and the section's identifier and length.
constexpr size_t kSettings = 40;
const Field kSettingsFields[] = {
    {"Length", kSettings + 0, Kind::kF32, -1, 0, 2},
    {"WizSpeedMax", kSettings + 2060, Kind::kF32, -1, 0, 2},
    {"WizTachMax", kSettings + 2064, Kind::kF32, -1, 0, 2},
    {"WizTachRed", kSettings + 2068, Kind::kF32, -1, 0, 2},
    {"TimelineTime", kSettings + 2076, Kind::kF32, -1, 0, 2},
};

// The numbers of the parameter records: any finite value is allowed.
#define PARAM(record, name, kind) Field{#record "." #name, offsetof(record, name), Kind::kind, 0, 0, 2}
#define PARAM_AT(record, name, i) Field{#record "." #name "[" #i "]", offsetof(record, name) + (i) * 8, Kind::kF64, 0, 0, 2}

struct ParamFields {
  uint8_t type;
  std::vector<Field> fields;
};
const ParamFields kParamFields[] = {
    {kDispText,
     {PARAM(TextStruct, Size, kF32), PARAM(TextStruct, MinRange, kF64), PARAM(TextStruct, MaxRange, kF64),
      PARAM(TextStruct, RotateAngle, kF32)}},
    {kDispBar,
     {PARAM(BarParam, Min, kF64), PARAM(BarParam, Max, kF64), PARAM(BarParam, MarkInterval, kF64),
      PARAM(BarParam, MarkSmallInterval, kF64), PARAM(BarParam, ChangeColorValue, kF64),
      PARAM(BarParam, ChangeColor2Value, kF64), PARAM(BarParam, LabelSize, kF32), PARAM(BarParam, NumberSize, kF32)}},
    {kDispGauge,
     {PARAM(GaugeParam, Min, kF64), PARAM(GaugeParam, Max, kF64), PARAM(GaugeParam, MarkInterval, kF64),
      PARAM(GaugeParam, MarkSmallInterval, kF64), PARAM(GaugeParam, ChangeColorValue, kF64),
      PARAM(GaugeParam, LabelSize, kF32), PARAM(GaugeParam, NumberSize, kF32),
      PARAM(GaugeParam, ChangeColor2Value, kF64), PARAM(GaugeParam, StepMidValue, kF64),
      PARAM(GaugeParam, IntervalSize, kF32), PARAM(GaugeParam, DualInterval, kF64)}},
    {kDispGForce, {PARAM(GForceParam, RangeX, kF32), PARAM(GForceParam, RangeY, kF32)}},
    {kDispTrackMap,
     {PARAM(TrackMapParam, MinX, kF64), PARAM(TrackMapParam, MinY, kF64), PARAM(TrackMapParam, MaxX, kF64),
      PARAM(TrackMapParam, MaxY, kF64)}},
    {kDispTimeGraph,
     {PARAM(TimeGraphParam, Min, kF64), PARAM(TimeGraphParam, Max, kF64), PARAM(TimeGraphParam, TimeSpan, kF32),
      PARAM(TimeGraphParam, LabelSize, kF32), PARAM(TimeGraphParam, AxisInterval, kF32),
      PARAM(TimeGraphParam, StartTime, kF32), PARAM(TimeGraphParam, EndTime, kF32)}},
    {kDispEImage,
     {PARAM(EImageParam, MinInput, kF64), PARAM(EImageParam, MaxInput, kF64), PARAM(EImageParam, MinOutput, kF64),
      PARAM(EImageParam, MaxOutput, kF64)}},
    // Scripted objects: the first and last of each parameter array stand for the rest.
    {kDispEnhanced,
     {PARAM(EnhParam, Min, kF64), PARAM(EnhParam, Max, kF64), PARAM(EnhParam, TriggerValue, kF64),
      PARAM(EnhParam, LabelSize, kF32), PARAM(EnhParam, NumberSize, kF32), PARAM_AT(EnhParam, Param, 0),
      PARAM_AT(EnhParam, Param, 7), PARAM_AT(EnhParam, ParamMin, 0), PARAM_AT(EnhParam, ParamMax, 7),
      PARAM_AT(EnhParam, ParamStep, 7)}},
};

#undef PARAM_AT
#undef PARAM
#undef FIELD

// The values no control allows.
std::vector<double> Refused(const Field& f) {
  std::vector<double> values;
  if (f.kind != Kind::kI8)
    values = {std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
  for (double end : {f.below, f.above})
    if (end != 0) values.push_back(end);
  return values;
}

void Put(uint8_t* at, Kind kind, double value) {
  if (kind == Kind::kF32) {
    const float v = static_cast<float>(value);
    std::memcpy(at, &v, sizeof(v));
  } else if (kind == Kind::kF64) {
    std::memcpy(at, &value, sizeof(value));
  } else {
    const int8_t v = static_cast<int8_t>(value);
    std::memcpy(at, &v, sizeof(v));
  }
}

std::string Text(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char buffer[32];
  std::snprintf(buffer, sizeof(buffer), "%g", value);
  return buffer;
}

// Where the bytes of a record first stand in a file.
size_t Find(const std::vector<uint8_t>& file, const void* record, size_t size, size_t from = 0) {
  const auto* bytes = static_cast<const uint8_t*>(record);
  for (size_t at = from; at + size <= file.size(); ++at)
    if (std::memcmp(file.data() + at, bytes, size) == 0) return at;
  ADD_FAILURE() << "record not in the file";
  return 0;
}

// The last error names the field; true when it does.
::testing::AssertionResult Names(int code, const Field& f, double value) {
  const std::wstring detail = ErrorGetLastDetail();
  const std::wstring key(f.key, f.key + std::strlen(f.key));
  if (code == kErrValue && detail.rfind(key + L" = ", 0) == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << f.key << " = " << Text(value) << ": code " << code << ", detail '"
                                       << std::string(detail.begin(), detail.end()) << "'";
}

class FileValuesTest : public FilesTest {};

TEST_F(FileValuesTest, Profile) {
  ASSERT_EQ(InputAddSpecial(kSpecialFiller), 0u);
  ASSERT_EQ(InputExportDataProfile(0, WPath("saved.qvlc").c_str()), 0);
  const std::vector<uint8_t> bytes = ReadFileBytes(Path("saved.qvlc"));
  const std::string saved(bytes.begin(), bytes.end());
  DataStruct before = *InputGetData(0);
  before.CustomNum = 7; // the state before the import, not the file's
  ASSERT_EQ(InputSetData(0, &before), 0);
  auto write = [&](const Field& f, const std::string& value) {
    const std::string line = std::string("\n") + f.key + " = ";
    std::string text = saved;
    const size_t at = text.find(line);
    EXPECT_NE(at, std::string::npos) << f.key;
    text.replace(at + line.size(), text.find('\n', at + 1) - at - line.size(), value);
    return WriteFileBytes(Path("bad.qvlc"), std::vector<uint8_t>(text.begin(), text.end()));
  };
  for (const Field& f : kDataFields) {
    for (double value : Refused(f)) {
      ASSERT_TRUE(write(f, Text(value)));
      EXPECT_TRUE(Names(InputImportDataProfile(0, WPath("bad.qvlc").c_str()), f, value));
      EXPECT_EQ(0, std::memcmp(InputGetData(0), &before, sizeof(DataStruct))) << f.key;
    }
    ASSERT_TRUE(write(f, Text(f.allowed)));
    EXPECT_EQ(InputImportDataProfile(0, WPath("bad.qvlc").c_str()), 0) << f.key;
    ASSERT_EQ(InputSetData(0, &before), 0);
  }
  // What the user is shown names the key and what it may hold.
  std::wstring shown;
  AppMessageBoxInstall([&shown](const std::wstring& text, int) {
    shown = text;
    return 1;
  });
  ASSERT_TRUE(write(kDataFields[0], "nan"));
  EXPECT_EQ(InputImportDataProfile(0, WPath("bad.qvlc").c_str()), kErrValue);
  ErrorShowLast();
  AppMessageBoxInstall(nullptr);
  EXPECT_NE(shown.find(L"out of range"), std::wstring::npos);
  EXPECT_NE(shown.find(L"TimeUnits = nan (allowed: 0 or more)"), std::wstring::npos);
}

TEST_F(FileValuesTest, Project) {
  BuildSmallProject();
  ASSERT_EQ(ProjectSave(WPath("saved.qvp").c_str()), 0);
  const ProjectImage model = CaptureModel();
  const std::vector<uint8_t> saved = ReadFileBytes(Path("saved.qvp"));
  const ProjectInputImage& input = model.Inputs[0];
  const size_t shapeAt = Find(saved, &model.Objects[1].Base, 328);
  struct Record {
    const Field* fields;
    size_t count;
    size_t at; // where the record stands in the file
  };
  const Record records[] = {
      {kSettingsFields, std::size(kSettingsFields), 0},
      {kMainFields, std::size(kMainFields), Find(saved, &input.Main, sizeof(MainStruct))},
      {kDataFields, std::size(kDataFields), Find(saved, &input.Data, sizeof(DataStruct))},
      {kAdjustFields, std::size(kAdjustFields), Find(saved, &input.Adjust, sizeof(AdjustStruct))},
      {kDispFields, std::size(kDispFields), Find(saved, &model.Objects[0].Base, 328)},
      // The values of the shape's timeline segment: the record after its start and mask.
      {kDispFields, std::size(kDispFields), Find(saved, &model.Objects[1].Segments[0].Values, 328, shapeAt + 1)},
  };
  auto patched = [&](const Record& r, const Field& f, double value) {
    std::vector<uint8_t> file = saved;
    Put(file.data() + r.at + f.offset, f.kind, value);
    ProjectSealCrc(file);
    return file;
  };
  for (const Record& r : records) {
    for (size_t i = 0; i < r.count; ++i) {
      const Field& f = r.fields[i];
      for (double value : Refused(f)) {
        ASSERT_TRUE(WriteFileBytes(Path("bad.qvp"), patched(r, f, value)));
        EXPECT_TRUE(Names(ProjectOpen(WPath("bad.qvp").c_str()), f, value));
      }
      std::vector<uint8_t> file = patched(r, f, f.allowed);
      ProjectImage image;
      ASSERT_EQ(ProjectDecode(file.data(), file.size(), image), 0);
      EXPECT_EQ(ProjectValidate(image), 0) << f.key << " = " << f.allowed;
    }
  }
  ExpectSameProject(CaptureModel(), model);
  EXPECT_EQ(ReadFileBytes(Path("saved.qvp")), saved);
}

TEST_F(FileValuesTest, Template) {
  DispObjAdd(kDispText, kNoInput);
  const uint32_t shape = DispObjAdd(kDispShape, kNoInput);
  ASSERT_EQ(TemplateExportOpen(WPath("saved.qvt").c_str()), 0);
  ASSERT_EQ(TemplateExportAddDispObj(0, u"Title"), 0);
  ASSERT_EQ(TemplateExportAddDispObj(shape, u"Panel"), 0);
  ASSERT_EQ(TemplateExportClose(), 0);
  const std::vector<uint8_t> saved = ReadFileBytes(Path("saved.qvt"));
  TemplateImage image;
  ASSERT_EQ(TemplateDecode(saved.data(), saved.size(), image), 0);
  ASSERT_TRUE(image.Scrambled);
  auto load = [&](const Field& f, double value) {
    TemplateImage changed = image;
    Put(reinterpret_cast<uint8_t*>(&changed.Objects[1].Object.Base) + f.offset, f.kind, value);
    std::vector<uint8_t> file;
    EXPECT_EQ(TemplateEncode(changed, file), 0);
    EXPECT_TRUE(WriteFileBytes(Path("bad.qvt"), file));
    return TemplateImportLoad(WPath("bad.qvt").c_str(), kNoInput, 0);
  };
  for (const Field& f : kDispFields) {
    for (double value : Refused(f)) {
      EXPECT_TRUE(Names(load(f, value), f, value));
      EXPECT_EQ(TemplateImportApply(), kErrBadArg) << "nothing stays loaded";
    }
    EXPECT_EQ(load(f, f.allowed), 0) << f.key;
  }
  EXPECT_EQ(DispObjCount(), 2u);
  EXPECT_EQ(TemplateImportLoad(WPath("saved.qvt").c_str(), kNoInput, 0), 0);
  EXPECT_EQ(TemplateImportApply(), 0);
  EXPECT_EQ(DispObjCount(), 4u);
}

TEST_F(FileValuesTest, Style) {
  const uint32_t shape = DispObjAdd(kDispShape, kNoInput);
  ASSERT_EQ(DispObjExportStyle(shape, WPath("saved.qvo").c_str()), 0);
  const std::vector<uint8_t> saved = ReadFileBytes(Path("saved.qvo"));
  StyleImage style;
  ASSERT_EQ(StyleDecode(saved.data(), saved.size(), style), 0);
  const DispStruct before = *DispObjGet(shape);
  auto import = [&](const Field& f, double value, uint32_t object) {
    StyleImage changed = style;
    Put(reinterpret_cast<uint8_t*>(&changed.Object.Base) + f.offset, f.kind, value);
    std::vector<uint8_t> file;
    EXPECT_EQ(StyleEncode(changed, file), 0);
    EXPECT_TRUE(WriteFileBytes(Path("bad.qvo"), file));
    return DispObjImportStyle(object, WPath("bad.qvo").c_str(), kStyleApplyPlace);
  };
  for (const Field& f : kDispFields) {
    for (double value : Refused(f)) {
      EXPECT_TRUE(Names(import(f, value, shape), f, value));
      EXPECT_TRUE(Names(import(f, value, kNoDispObj), f, value));
      EXPECT_EQ(0, std::memcmp(DispObjGet(shape), &before, 328)) << f.key;
      EXPECT_EQ(DispObjCount(), 1u);
    }
    EXPECT_EQ(import(f, f.allowed, kNoDispObj), 1) << f.key;
    ASSERT_EQ(DispObjRemove(1, 1), 0);
  }
}

// A parameter block as the model holds it.
std::vector<uint8_t> ParamOf(uint32_t object) {
  const auto* param = static_cast<const uint8_t*>(DispObjGetParam(object));
  return param == nullptr ? std::vector<uint8_t>() : std::vector<uint8_t>(param, param + DispObjGet(object)->ParamSize);
}

// A style of each kind of object with a parameter record, one number at a
// time made nan or infinite: refused naming the field, the object it was
// applied to unchanged and no object added.
TEST_F(FileValuesTest, StyleParameters) {
  for (const ParamFields& kind : kParamFields) {
    const uint32_t object = DispObjAdd(kind.type, kNoInput);
    ASSERT_EQ(DispObjExportStyle(object, WPath("saved.qvo").c_str()), 0);
    const std::vector<uint8_t> saved = ReadFileBytes(Path("saved.qvo"));
    StyleImage style;
    ASSERT_EQ(StyleDecode(saved.data(), saved.size(), style), 0);
    // Scripted objects made here have no block: theirs comes with a file.
    if (style.Object.Param.empty()) style.Object.Param.assign(DispParamSizeForType(kind.type), 0);
    ASSERT_EQ(style.Object.Param.size(), DispParamSizeForType(kind.type));
    const DispStruct before = *DispObjGet(object);
    const std::vector<uint8_t> param = ParamOf(object);
    const uint32_t count = DispObjCount();
    auto import = [&](const Field& f, double value, uint32_t into) {
      StyleImage changed = style;
      Put(changed.Object.Param.data() + f.offset, f.kind, value);
      std::vector<uint8_t> file;
      EXPECT_EQ(StyleEncode(changed, file), 0);
      EXPECT_TRUE(WriteFileBytes(Path("bad.qvo"), file));
      return DispObjImportStyle(into, WPath("bad.qvo").c_str(), kStyleApplyPlace);
    };
    for (const Field& f : kind.fields) {
      for (double value : Refused(f)) {
        EXPECT_TRUE(Names(import(f, value, object), f, value));
        EXPECT_TRUE(Names(import(f, value, kNoDispObj), f, value));
        EXPECT_EQ(0, std::memcmp(DispObjGet(object), &before, 328)) << f.key;
        EXPECT_EQ(ParamOf(object), param) << f.key;
        EXPECT_EQ(DispObjCount(), count);
      }
      EXPECT_EQ(import(f, f.allowed, kNoDispObj), static_cast<int>(count)) << f.key << ErrorGetLastDetail();
      ASSERT_EQ(DispObjRemove(count, 1), 0);
    }
  }
}

// The same in a project, and in a timeline segment's block of a gauge:
// each block in the file patched; the open project stays as it was.
TEST_F(FileValuesTest, ProjectParameters) {
  BuildSmallProject();
  uint32_t gauge = kNoDispObj;
  for (const ParamFields& kind : kParamFields) {
    if (kind.type == kDispEnhanced) continue;
    const uint32_t object = DispObjAdd(kind.type, kNoInput);
    if (kind.type == kDispGauge) gauge = object;
  }
  ASSERT_NE(TimelineDispObjAdd(gauge, 1.0f), kNoDispObj);
  ASSERT_EQ(TimelineApply(1.5f), 0);
  GaugeParam changed;
  std::memcpy(&changed, DispObjGetParam(gauge), sizeof(changed));
  changed.Max = 123;
  ASSERT_EQ(DispObjSetParam(gauge, &changed), 0);
  ASSERT_EQ(TimelineApply(0), 0);
  ASSERT_EQ(ProjectSave(WPath("saved.qvp").c_str()), 0);
  const ProjectImage model = CaptureModel();
  const std::vector<uint8_t> saved = ReadFileBytes(Path("saved.qvp"));
  std::vector<std::pair<const ParamFields*, size_t>> blocks; // where each block stands in the file
  for (const ParamFields& kind : kParamFields)
    for (const DispObjEntry& entry : model.Objects)
      if (entry.Base.Type == kind.type) {
        blocks.emplace_back(&kind, Find(saved, entry.Param.data(), entry.Param.size()));
        for (const DispSegment& segment : entry.Segments)
          if (!segment.Param.empty()) blocks.emplace_back(&kind, Find(saved, segment.Param.data(), segment.Param.size()));
      }
  // Every kind but scripted objects, the small project's own text and the segment.
  ASSERT_EQ(blocks.size(), std::size(kParamFields) - 1 + 2);
  for (const auto& [kind, at] : blocks) {
    for (const Field& f : kind->fields) {
      for (double value : Refused(f)) {
        std::vector<uint8_t> file = saved;
        Put(file.data() + at + f.offset, f.kind, value);
        ProjectSealCrc(file);
        ASSERT_TRUE(WriteFileBytes(Path("bad.qvp"), file));
        EXPECT_TRUE(Names(ProjectOpen(WPath("bad.qvp").c_str()), f, value));
      }
    }
  }
  ExpectSameProject(CaptureModel(), model);
  EXPECT_EQ(ProjectOpen(WPath("saved.qvp").c_str()), 0) << ErrorGetLastDetail();
}

// A window that lets a value through must not make a file that cannot be
// read again: the writers bring numbers into range.
TEST_F(FileValuesTest, WhatTheProgramWritesReadsBack) {
  ASSERT_EQ(InputAddSpecial(kSpecialFiller), 0u);
  DataStruct data = *InputGetData(0);
  data.TimeUnits = -1;
  data.SpeedConv = std::numeric_limits<float>::infinity();
  data.HeadingAdjust = 400;
  data.CustomNum2 = std::nanf("");
  ASSERT_EQ(InputSetData(0, &data), 0);
  const uint32_t shape = DispObjAdd(kDispShape, kNoInput);
  DispStruct record = *DispObjGet(shape);
  record.BitmapRotate = 720;
  record.BitmapZoom = -std::numeric_limits<float>::infinity();
  DispObjSet(shape, &record);
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(ProjectSave(WPath("p.qvp").c_str()), 0);
    ASSERT_EQ(ProjectOpen(WPath("p.qvp").c_str()), 0) << ErrorGetLastDetail();
  }
  EXPECT_EQ(InputGetData(0)->TimeUnits, 0);
  EXPECT_EQ(InputGetData(0)->SpeedConv, std::numeric_limits<float>::max());
  EXPECT_EQ(InputGetData(0)->HeadingAdjust, 360);
  EXPECT_EQ(InputGetData(0)->CustomNum2, 0);
  ASSERT_EQ(InputSetData(0, &data), 0);
  ASSERT_EQ(InputExportDataProfile(0, WPath("p.qvlc").c_str()), 0);
  EXPECT_EQ(InputImportDataProfile(0, WPath("p.qvlc").c_str()), 0) << ErrorGetLastDetail();
  EXPECT_EQ(InputGetData(0)->HeadingAdjust, 360);

  DispObjSet(shape, &record);
  ASSERT_EQ(DispObjExportStyle(shape, WPath("s.qvo").c_str()), 0);
  EXPECT_EQ(DispObjImportStyle(kNoDispObj, WPath("s.qvo").c_str(), kStyleApply), 1) << ErrorGetLastDetail();
  EXPECT_GE(DispObjGet(1)->BitmapZoom, 0);
  ASSERT_EQ(TemplateExportOpen(WPath("t.qvt").c_str()), 0);
  ASSERT_EQ(TemplateExportAddDispObj(shape, u"Panel"), 0);
  ASSERT_EQ(TemplateExportClose(), 0);
  EXPECT_EQ(TemplateImportLoad(WPath("t.qvt").c_str(), kNoInput, 0), 0) << ErrorGetLastDetail();
}

// The same for the numbers of a parameter record: stored as 0.
TEST_F(FileValuesTest, WrittenParametersReadBack) {
  const uint32_t gauge = DispObjAdd(kDispGauge, kNoInput);
  GaugeParam param;
  std::memcpy(&param, DispObjGetParam(gauge), sizeof(param));
  param.Max = std::nan("");
  param.LabelSize = std::numeric_limits<float>::infinity();
  ASSERT_EQ(DispObjSetParam(gauge, &param), 0);
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(ProjectSave(WPath("p.qvp").c_str()), 0);
    ASSERT_EQ(ProjectOpen(WPath("p.qvp").c_str()), 0) << ErrorGetLastDetail();
  }
  GaugeParam read;
  std::memcpy(&read, DispObjGetParam(gauge), sizeof(read));
  EXPECT_EQ(read.Max, 0);
  EXPECT_EQ(read.LabelSize, 0);
  EXPECT_EQ(read.Min, param.Min);
  ASSERT_EQ(DispObjSetParam(gauge, &param), 0);
  ASSERT_EQ(DispObjExportStyle(gauge, WPath("s.qvo").c_str()), 0);
  EXPECT_EQ(DispObjImportStyle(kNoDispObj, WPath("s.qvo").c_str(), kStyleApply), 1) << ErrorGetLastDetail();
  std::memcpy(&read, DispObjGetParam(1), sizeof(read));
  EXPECT_EQ(read.Max, 0);
  ASSERT_EQ(TemplateExportOpen(WPath("t.qvt").c_str()), 0);
  ASSERT_EQ(TemplateExportAddDispObj(gauge, u"Gauge"), 0);
  ASSERT_EQ(TemplateExportClose(), 0);
  EXPECT_EQ(TemplateImportLoad(WPath("t.qvt").c_str(), kNoInput, 0), 0) << ErrorGetLastDetail();
}

} // namespace
