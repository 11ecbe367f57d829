// The table of display-object kinds. Their drawing routines belong to the
// renderer, which keeps its own table of them (render/objects).
#include "model/disp_types.h"

#include "model/disp_presets.h"
#include "model/dispobj_internal.h"

namespace {

#define QV_FIELD(T, F) DispTextField{offsetof(T, F), sizeof(T::F) / sizeof(char16_t)}
#define QV_TEXT_FIELDS(T) QV_FIELD(T, Text), QV_FIELD(T, Font), QV_FIELD(T, Field)
#define QV_GRAPH_FIELDS(T) QV_FIELD(T, Field), QV_FIELD(T, Label), QV_FIELD(T, LabelFont)

using In = DispInputKind;
using Box = DispToolboxBox;
using Folder = DispStyleFolder;

// Column order of the fields below:
// type, stored, name, new name, box, keep ratio,
// param size, block at creation, presets, data field, text fields, extra repair,
// draws, icon, input, optional, background, style folder, style places (panel, toolbox),
// toolbox box, channel chooser, panels, toolbox button.
constexpr uint32_t kPicturePanels = kPanelPicture;

const DispTypeInfo kTypes[] = {
    {kDispVideo, kDispVideo, "Picture / Video", u"Picture / Video", 0, 0, 100, 100, true,
     0, false, nullptr, -1, {}, nullptr,
     true, DispIcon::kVideo, In::kPicture, false, true, Folder::kVideoPositions, true, true,
     Box::kMedia, false, kPanelPicture | kPanelAudio, "VideoButton"},
    {kDispAudio, kDispAudio, "Audio", u"Audio", 0, 0, 0, 0, false,
     0, false, nullptr, -1, {}, nullptr,
     false, DispIcon::kAudio, In::kSound, false, false, Folder::kStyles, true, false,
     Box::kMedia, false, kPanelAudio, "AudioOnlyButton"},
    {kDispShape, kDispShape, "Shape", u"Shape", 10, 10, 20, 20, false,
     sizeof(ShapeStruct), true, DispInitShape, -1, {}, nullptr,
     true, DispIcon::kShape, In::kNone, false, true, Folder::kStyles, true, true,
     Box::kDrawing, false, kPicturePanels | kPanelShape, "ShapeButton"},
    {kDispText, kDispText, "Text", u"Text", 10, 10, 30, 10, false,
     sizeof(TextStruct), true, DispInitText, offsetof(TextStruct, Field), {QV_TEXT_FIELDS(TextStruct)}, nullptr,
     true, DispIcon::kText, In::kNone, false, false, Folder::kStyles, true, false,
     Box::kDrawing, false, kPicturePanels | kPanelText, "TextButton"},
    {kDispTextData, kDispTextData, "Text Data", u"Text Data", 10, 10, 20, 10, false,
     sizeof(TextStruct), true, DispInitTextData, offsetof(TextStruct, Field), {QV_TEXT_FIELDS(TextStruct)}, nullptr,
     true, DispIcon::kTextData, In::kData, false, false, Folder::kStyles, false, false,
     Box::kData, true, kPicturePanels | kPanelText, "TextDataButton"},
    {kDispGauge, kDispGauge, "Gauge", u"Gauge", 5, 50, 25, 44.4f, true,
     sizeof(GaugeParam), true, DispInitGauge, offsetof(GaugeParam, Field),
     {QV_GRAPH_FIELDS(GaugeParam), QV_FIELD(GaugeParam, NumberFont)}, nullptr,
     true, DispIcon::kGauge, In::kData, false, true, Folder::kStyles, false, false,
     Box::kData, true, kPicturePanels | kPanelGauge, "GaugeButton"},
    {kDispSpeedo, kDispGauge, "Speedometer", u"Speedometer", 5, 50, 25, 44.4f, true,
     sizeof(GaugeParam), true, DispInitSpeedo, offsetof(GaugeParam, Field),
     {QV_GRAPH_FIELDS(GaugeParam), QV_FIELD(GaugeParam, NumberFont)}, nullptr,
     true, DispIcon::kGauge, In::kData, false, true, Folder::kStyles, false, false,
     Box::kData, true, kPicturePanels | kPanelGauge, "SpeedButton"},
    {kDispTacho, kDispGauge, "Tachometer", u"Tachometer", 70, 50, 25, 44.4f, true,
     sizeof(GaugeParam), true, DispInitTacho, offsetof(GaugeParam, Field),
     {QV_GRAPH_FIELDS(GaugeParam), QV_FIELD(GaugeParam, NumberFont)}, nullptr,
     true, DispIcon::kGauge, In::kData, false, true, Folder::kStyles, false, false,
     Box::kData, true, kPicturePanels | kPanelGauge, "TachButton"},
    {kDispBar, kDispBar, "Bar Graph", u"Bar Graph", 5, 50, 8, 40, false,
     sizeof(BarParam), true, DispInitBar, offsetof(BarParam, Field),
     {QV_GRAPH_FIELDS(BarParam), QV_FIELD(BarParam, NumberFont)}, nullptr,
     true, DispIcon::kBar, In::kData, false, true, Folder::kStyles, false, false,
     Box::kData, true, kPicturePanels | kPanelBar, "BarGraphButton"},
    {kDispTimeGraph, kDispTimeGraph, "Time Graph", u"Time Graph", 5, 70, 40, 25, false,
     sizeof(TimeGraphParam), true, DispInitTimeGraph, offsetof(TimeGraphParam, Field),
     {QV_GRAPH_FIELDS(TimeGraphParam)}, nullptr,
     true, DispIcon::kTimeGraph, In::kData, false, true, Folder::kStyles, false, false,
     Box::kData, true, kPicturePanels | kPanelTimeGraph, "TimeGraphButton"},
    {kDispTrackMap, kDispTrackMap, "Track Map", u"Track Map", 70, 5, 25, 44.4f, false,
     sizeof(TrackMapParam), true, DispInitTrackMap, -1, {}, nullptr,
     true, DispIcon::kTrackMap, In::kData, false, true, Folder::kStyles, false, false,
     Box::kData, false, kPicturePanels | kPanelTrackMap, "TrackMapButton"},
    {kDispGForce, kDispGForce, "G-Force", u"G-Force", 40, 60, 20, 35.5f, false,
     sizeof(GForceParam), true, DispInitGForce, -1, {QV_FIELD(GForceParam, FieldX), QV_FIELD(GForceParam, FieldY)},
     nullptr,
     true, DispIcon::kGForce, In::kData, false, true, Folder::kStyles, false, false,
     Box::kData, false, kPicturePanels | kPanelGForce, "GForceButton"},
    {kDispGear, kDispGear, "Gear Number", u"Gear Number", 45, 80, 10, 15, false,
     sizeof(TextStruct), true, DispInitGear, offsetof(TextStruct, Field), {QV_TEXT_FIELDS(TextStruct)}, nullptr,
     true, DispIcon::kGear, In::kData, false, false, Folder::kStyles, false, false,
     Box::kData, true, kPicturePanels | kPanelText, "GearButton"},
    {kDispLapCount, kDispLapCount, "Lap Counter", u"Lap Counter", 5, 5, 25, 10, false,
     sizeof(TextStruct), true, DispInitLapCount, offsetof(TextStruct, Field), {QV_TEXT_FIELDS(TextStruct)}, nullptr,
     true, DispIcon::kLap, In::kData, false, false, Folder::kStyles, false, false,
     Box::kData, true, kPicturePanels | kPanelText, "LapCountButton"},
    {kDispLapTimer, kDispLapTimer, "Timer", u"Timer", 60, 5, 35, 10, false,
     sizeof(TextStruct), true, DispInitLapTimer, offsetof(TextStruct, Field), {QV_TEXT_FIELDS(TextStruct)}, nullptr,
     true, DispIcon::kLap, In::kData, false, false, Folder::kStyles, false, false,
     Box::kData, true, kPicturePanels | kPanelText, "TimerButton"},
    {kDispEImage, kDispEImage, "Embedded Image", u"Embedded Image", 10, 10, 10, 17.8f, false,
     sizeof(EImageParam), true, DispInitEImage, offsetof(EImageParam, Field), {QV_FIELD(EImageParam, Field)},
     nullptr,
     true, DispIcon::kEImage, In::kData, true, true, Folder::kImages, false, false,
     Box::kData, false, kPicturePanels | kPanelEImage, "EImageButton"},
    // Stored, copied and edited whole; no renderer draws it. Objects made
    // here get no block: their record comes with a project, template or style.
    {kDispEnhanced, kDispEnhanced, nullptr, u"Enhanced Obj", 5, 50, 25, 44.4f, false,
     sizeof(EnhParam), false, nullptr, offsetof(EnhParam, Field),
     {QV_FIELD(EnhParam, Field), QV_FIELD(EnhParam, Label), QV_FIELD(EnhParam, LabelFont),
      QV_FIELD(EnhParam, NumberFont)},
     ParamSanitizeScripts,
     true, DispIcon::kEnhanced, In::kData, false, true, Folder::kStyles, false, false,
     Box::kData, true, kPicturePanels | kPanelEnhanced, "EnhancedButton"},
    {kDispGroup, kDispGroup, "Group", u"Group", 0, 0, 0, 0, false,
     0, false, nullptr, -1, {}, nullptr,
     false, DispIcon::kGroup, In::kNone, false, false, Folder::kStyles, false, false,
     Box::kHidden, false, kPicturePanels, nullptr},
};

#undef QV_GRAPH_FIELDS
#undef QV_TEXT_FIELDS
#undef QV_FIELD

} // namespace

const DispTypeInfo* DispTypeFind(uint32_t type) {
  for (const DispTypeInfo& info : kTypes)
    if (info.type == type) return &info;
  return nullptr;
}

const DispTypeInfo* DispTypesBegin() { return std::begin(kTypes); }
const DispTypeInfo* DispTypesEnd() { return std::end(kTypes); }

const wchar_t* DispStyleFolderName(DispStyleFolder folder) {
  switch (folder) {
  case DispStyleFolder::kVideoPositions: return L"Video Positions";
  case DispStyleFolder::kImages: return L"Images";
  case DispStyleFolder::kStyles: break;
  }
  return L"Styles";
}
