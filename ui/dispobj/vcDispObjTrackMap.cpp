#include "ui/dispobj/vcDispObjTrackMap.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <algorithm>
#include <cmath>
#include <tuple>

#include "base/util.h"
#include "model/dispobjs.h"
#include "media/datalog/datalog_queries.h"
#include "media/datalog/query.h"
#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/number_pair.h"
#include "ui/dispobj/record_bindings.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr int kSizeMaxPerFactor = 20; // the size steppers reach 20 x the resolution factor
constexpr double kZoomSliderMax = 200; // ZoomArea up to 220: the course 11 times closer

const char* const kStartStyles[] = {"Rounded", "Flat", "Checker 1", "Checker 2"};

QString lapTitle(int lap) { return QString::asprintf("%d", lap); }

} // namespace

vcDispObjTrackMap::vcDispObjTrackMap(wcDispObjEdit* owner) : DispObjPanel(kPanelTrackMap, "vcDispObjTrackMap", owner) {
  buildControls();
  connectControls();
}

void vcDispObjTrackMap::buildControls() {
  QGridLayout* grid = titledGrid("Track Map", "TrackMapBox");
  QWidget* box = grid->parentWidget();
  int row = 0;
  HighResCheck = checkBox("High resolution", "HighResCheck", box);
  HighResCheck->setToolTip("Sizes are given at twice the drawing's scale");
  HigherResCheck = checkBox("Higher (x3)", "HigherResCheck", box);
  HigherResCheck->setToolTip("Sizes are given at three times the drawing's scale");
  grid->addWidget(HighResCheck, row, 0, 1, 2);
  grid->addWidget(HigherResCheck, row++, 2, 1, 2);
  buildMapRows(grid, row);
  buildMarkerRows(grid, row);
  grid->setColumnStretch(3, 1);
}

void vcDispObjTrackMap::buildMapRows(QGridLayout* grid, int& row) {
  QWidget* box = grid->parentWidget();
  DoMapCheck = checkBox("Map:", "DoMapCheck", box);
  LineColor = colorWell("LineColor", box);
  grid->addWidget(DoMapCheck, row, 0);
  grid->addWidget(LineColor, row, 1, Qt::AlignLeft);
  elementSize(grid, row++, "Size:", "Line", LineSizeText, LineSizeStepper, 1, kSizeMaxPerFactor, box);

  LapSelection = typableList("LapSelection", box);
  LapSelection->setToolTip("All laps, the best lap, or one lap (a lap number may be typed)");
  grid->addWidget(new QLabel("Laps:", box), row, 0);
  grid->addWidget(LapSelection, row++, 1, 1, 3);

  LowCheck = checkBox("Slow:", "LowCheck", box);
  LowCheck->setToolTip("Slow stretches of the course blend towards this colour");
  LowColor = colorWell("LowColor", box);
  EdgeCheck = checkBox("Edge:", "EdgeCheck", box);
  EdgeColor = colorWell("EdgeColor", box);
  grid->addWidget(LowCheck, row, 0);
  grid->addWidget(LowColor, row, 1, Qt::AlignLeft);
  auto* edge = new QHBoxLayout();
  edge->addStretch(1);
  edge->addWidget(EdgeCheck);
  edge->addWidget(EdgeColor);
  grid->addLayout(edge, row++, 2, 1, 2);

  StartCheck = checkBox("Start:", "StartCheck", box);
  StartCheck->setToolTip("The start/finish marker");
  StartColor = colorWell("StartColor", box);
  grid->addWidget(StartCheck, row, 0);
  grid->addWidget(StartColor, row, 1, Qt::AlignLeft);
  elementSize(grid, row++, "Size:", "Start", StartSizeText, StartSizeStepper, 1, kSizeMaxPerFactor, box);

  StartLineCheck = checkBox("Line:", "StartLineCheck", box);
  StartLineCheck->setToolTip("A start/finish line across the course; off: a dot");
  StartStyleSelection = new QComboBox(box);
  StartStyleSelection->setObjectName("StartStyleSelection");
  grid->addWidget(StartLineCheck, row, 0);
  grid->addWidget(StartStyleSelection, row++, 1, 1, 3);
  StartLineAutoCheck = checkBox("Auto", "StartLineAutoCheck", box);
  StartLineAutoCheck->setToolTip("The line square to the course");
  auto* angle = numberField(StartLineText, StartLineStepper, "StartLine", 0, 359, 1, box, 36, "degrees");
  StartLineStepper->setWraps(true);
  grid->addWidget(new QLabel("Angle:", box), row, 0, Qt::AlignRight);
  grid->addWidget(StartLineAutoCheck, row, 1);
  grid->addLayout(angle, row++, 2, 1, 2);
}

void vcDispObjTrackMap::buildMarkerRows(QGridLayout* grid, int& row) {
  QWidget* box = grid->parentWidget();
  DoPosCheck = elementRow(grid, row, "Position:", "Pos", PosColor, box);
  elementSize(grid, row++, "Size:", "Pos", PosSizeText, PosSizeStepper, 1, kSizeMaxPerFactor, box);

  PosIconSelection = new QComboBox(box);
  PosIconSelection->setObjectName("PosIconSelection");
  PosAnimCheck = checkBox("Animated", "PosAnimCheck", box);
  PosAnimCheck->setToolTip("The marker sends out a ring every second");
  grid->addWidget(new QLabel("Marker:", box), row, 0, Qt::AlignRight);
  grid->addWidget(PosIconSelection, row, 1, 1, 2);
  grid->addWidget(PosAnimCheck, row++, 3);

  DoGhostCheck = elementRow(grid, row++, "Ghost:", "Ghost", GhostColor, box);
  DoGhostCheck->setToolTip("Where the best lap was at the same time into its lap");

  RotateMapCheck = checkBox("Rotate the map with the heading", "RotateMapCheck", box);
  grid->addWidget(RotateMapCheck, row++, 0, 1, 4);

  ZoomMapCheck = checkBox("Zoom:", "ZoomMapCheck", box);
  ZoomMapCheck->setToolTip("A close view that follows the position");
  ZoomMapSlider = new RealSlider(0, kZoomSliderMax, 0.1, box);
  ZoomMapSlider->setObjectName("ZoomMapSlider");
  grid->addWidget(ZoomMapCheck, row, 0);
  grid->addWidget(ZoomMapSlider, row++, 1, 1, 3);
}

void vcDispObjTrackMap::connectControls() {
  for (auto [check, action] : {std::pair{HighResCheck, &vcDispObjTrackMap::HighResCheck_Changed},
                               std::pair{HigherResCheck, &vcDispObjTrackMap::HigherResCheck_Changed},
                               std::pair{DoMapCheck, &vcDispObjTrackMap::DoMapCheck_Changed},
                               std::pair{LowCheck, &vcDispObjTrackMap::mapEdited},
                               std::pair{EdgeCheck, &vcDispObjTrackMap::mapEdited},
                               std::pair{StartCheck, &vcDispObjTrackMap::mapEdited},
                               std::pair{StartLineCheck, &vcDispObjTrackMap::StartLineCheck_Changed},
                               std::pair{StartLineAutoCheck, &vcDispObjTrackMap::StartLineAutoCheck_Changed},
                               std::pair{DoPosCheck, &vcDispObjTrackMap::DoPosCheck_Changed},
                               std::pair{PosAnimCheck, &vcDispObjTrackMap::PosAnimCheck_Changed},
                               std::pair{DoGhostCheck, &vcDispObjTrackMap::posEdited},
                               std::pair{ZoomMapCheck, &vcDispObjTrackMap::ZoomMapCheck_Changed}})
    connect(check, &QCheckBox::clicked, this, action);
  connect(LineColor, &NSColorWellCustom::changed, this, &vcDispObjTrackMap::LineColor_Changed);
  bindMapParts();
  bindPositionParts();
  options_ = new OptionChecks(map_.Options, {{RotateMapCheck, kMapRotate}}, [this]() { UpdatePreview(); }, this);
  onListChosen(LapSelection, this, &vcDispObjTrackMap::LapSelection_Changed);
  connect(StartStyleSelection, &QComboBox::activated, this, &vcDispObjTrackMap::StartStyleSelection_Changed);
  connect(PosIconSelection, &QComboBox::activated, this, &vcDispObjTrackMap::PosIconSelection_Changed);
  connect(ZoomMapSlider, &RealSlider::changed, this, &vcDispObjTrackMap::ZoomMapSlider_Changed);
}

// An edit of a part of the map switches the map on, and the part.
void vcDispObjTrackMap::bindMapParts() {
  auto written = [this]() { mapEdited(); };
  new ColorElements(this,
                    {{LowColor, &map_.MapLowColor, LowCheck}, {EdgeColor, &map_.MapEdgeColor, EdgeCheck},
                     {StartColor, &map_.StartColor, StartCheck}},
                    written);
  const NumberBinder bind(this, written);
  numbers_.lineSize = bind.whole(LineSizeText, LineSizeStepper, map_.MapLineSize);
  numbers_.startSize = bind.whole(StartSizeText, StartSizeStepper, map_.StartSize, StartCheck);
  // A typed or stepped angle replaces the automatic one; the write path
  // takes it from the stepper.
  numbers_.startLine = new NumberPair(
      StartLineText, StartLineStepper, NumberPair::Kind::kInteger,
      [this](double) {
        StartLineCheck->setChecked(true);
        StartLineAutoCheck->setChecked(false);
        StartLineCheck_Changed();
      },
      this);
}

// An edit of the position marker or the ghost switches the marker on.
void vcDispObjTrackMap::bindPositionParts() {
  auto written = [this]() { posEdited(); };
  new ColorElements(this, {{PosColor, &map_.PosColor}, {GhostColor, &map_.GhostColor, DoGhostCheck}}, written);
  numbers_.posSize = NumberBinder(this, written).whole(PosSizeText, PosSizeStepper, map_.PosSize);
}

bool vcDispObjTrackMap::SetData(uint32_t index) {
  DispStruct record{};
  if (!loadRecords(index, map_, record)) return false;
  LoadingData = true;
  const bool higher = (map_.Options & kMapHigherRes) != 0;
  HigherResCheck->setChecked(higher);
  HighResCheck->setChecked(higher || (map_.Options & kMapHighRes) != 0);
  showSizeMaximum(TrackMapSizeFactor(map_.Options));

  DoMapCheck->setChecked(!ColorIsOff(map_.MapColor));
  showColor(LineColor, map_.MapColor);
  numbers_.lineSize->show(map_.MapLineSize);
  fillLaps(record.InputID);
  showLapChoice();
  LowCheck->setChecked(!ColorIsOff(map_.MapLowColor));
  showColor(LowColor, map_.MapLowColor);
  EdgeCheck->setChecked(!ColorIsOff(map_.MapEdgeColor));
  showColor(EdgeColor, map_.MapEdgeColor);
  StartCheck->setChecked(!ColorIsOff(map_.StartColor));
  showColor(StartColor, map_.StartColor);
  numbers_.startSize->show(map_.StartSize);

  // No line shows "Auto" checked, so that switching the line on starts
  // from the automatic angle.
  const bool line = map_.StartLineAngle != kMapNoStartLine;
  StartLineCheck->setChecked(line);
  StartLineAutoCheck->setChecked(!line || map_.StartLineAngle >= kMapAutoStartLine);
  if (line && map_.StartLineAngle < kMapAutoStartLine) numbers_.startLine->show(map_.StartLineAngle);
  StartStyleSelection->clear();
  StartStyleSelection->setEditText("");
  for (const char* style : kStartStyles) StartStyleSelection->addItem(style);
  StartStyleSelection->setCurrentIndex(map_.StartStyle <= kStartChecker2 ? int{map_.StartStyle} : int{kStartRounded});

  DoPosCheck->setChecked(!ColorIsOff(map_.PosColor));
  showColor(PosColor, map_.PosColor);
  numbers_.posSize->show(map_.PosSize);
  PosIconSelection->clear();
  PosIconSelection->addItem("Simple");
  PosIconSelection->setCurrentIndex(0);
  PosAnimCheck->setChecked((map_.Options & kMapAnimatePos) != 0);
  DoGhostCheck->setChecked(!ColorIsOff(map_.GhostColor));
  showColor(GhostColor, map_.GhostColor);
  options_->show();
  // Off leaves the slider where it was, ready for switching the zoom on.
  ZoomMapCheck->setChecked(map_.ZoomArea != 0);
  if (map_.ZoomArea != 0) ZoomMapSlider->setValue(map_.ZoomArea - kMapZoomBase);
  LoadingData = false;
  return true;
}

// "All", "Best", then a line per lap the log reaches.
void vcDispObjTrackMap::fillLaps(uint32_t input) {
  LapSelection->clear();
  LapSelection->setEditText("");
  LapSelection->addItem("All");
  LapSelection->addItem("Best");
  // The lap reached by the log's last sample; without laps (or without a
  // data input) the query answers 0 and records its own error.
  const double reached = InputHandlerGetDataTypeValue(input, 1, kQueryLapCount, 0.0f);
  const int laps = std::isfinite(reached) ? static_cast<int>(std::clamp(reached, 0.0, double(kMaxListedLaps))) : 0;
  for (int lap = 1; lap <= laps; ++lap) LapSelection->addItem(lapTitle(lap));
}

// A lap stored beyond the list is kept and shown as its number.
void vcDispObjTrackMap::showLapChoice() {
  const QString shown = (map_.Options & kMapBestLap) ? QString("Best")
                        : map_.SelectedLap != 0     ? lapTitle(map_.SelectedLap)
                                                    : QString("All");
  const int row = LapSelection->findText(shown, Qt::MatchFixedString | Qt::MatchCaseSensitive);
  LapSelection->setCurrentIndex(row);
  if (row < 0) LapSelection->setEditText(shown);
}

void vcDispObjTrackMap::showSizeMaximum(int factor) {
  for (RealStepper* stepper : {LineSizeStepper, StartSizeStepper, PosSizeStepper})
    stepper->setRange(stepper->minimum(), kSizeMaxPerFactor * factor);
}

void vcDispObjTrackMap::mapEdited() {
  DoMapCheck->setChecked(true);
  UpdatePreview();
}

void vcDispObjTrackMap::posEdited() {
  DoPosCheck->setChecked(true);
  UpdatePreview();
}

void vcDispObjTrackMap::UpdatePreview() {
  if (LoadingData) return;
  map_.MapColor = ColorSwitched(map_.MapColor, DoMapCheck->isChecked());
  map_.MapLowColor = ColorSwitched(map_.MapLowColor, LowCheck->isChecked());
  map_.MapEdgeColor = ColorSwitched(map_.MapEdgeColor, EdgeCheck->isChecked());
  map_.StartColor = ColorSwitched(map_.StartColor, StartCheck->isChecked());
  map_.StartLineAngle = !StartLineCheck->isChecked()    ? kMapNoStartLine
                        : StartLineAutoCheck->isChecked() ? kMapAutoStartLine
                                                          : static_cast<uint16_t>(StartLineStepper->intValue());
  map_.PosColor = ColorSwitched(map_.PosColor, DoPosCheck->isChecked());
  map_.GhostColor = ColorSwitched(map_.GhostColor, DoGhostCheck->isChecked());
  map_.ZoomArea = ZoomMapCheck->isChecked() ? static_cast<uint8_t>(ZoomMapSlider->intValue() + kMapZoomBase) : 0;
  writeParam(map_);
}

// The sizes are stored at the resolution's scale: switching from x2 to x3
// makes a 14 a 21, and back to x1 a 13 at x3 becomes 4.
void vcDispObjTrackMap::SetRes() {
  if (LoadingData) return;
  const int from = TrackMapSizeFactor(map_.Options);
  SetOptionBits(map_.Options, kMapHigherRes, HigherResCheck->isChecked());
  SetOptionBits(map_.Options, kMapHighRes, HighResCheck->isChecked());
  const int to = TrackMapSizeFactor(map_.Options);
  // Each size is read before the new maximum could cut it.
  const int sizes[] = {LineSizeStepper->intValue(), StartSizeStepper->intValue(), PosSizeStepper->intValue()};
  showSizeMaximum(to);
  LoadingData = true;
  const int* old = sizes;
  for (auto [number, size] : {std::pair{numbers_.lineSize, &map_.MapLineSize},
                              std::pair{numbers_.startSize, &map_.StartSize},
                              std::pair{numbers_.posSize, &map_.PosSize}}) {
    number->show(*old++ * to / from);
    *size = static_cast<uint8_t>(number->intValue());
  }
  LoadingData = false;
  UpdatePreview();
}

void vcDispObjTrackMap::HighResCheck_Changed() {
  if (!HighResCheck->isChecked()) HigherResCheck->setChecked(false);
  SetRes();
}

void vcDispObjTrackMap::HigherResCheck_Changed() {
  if (HigherResCheck->isChecked()) HighResCheck->setChecked(true);
  SetRes();
}

// While the second colour is off it follows the line.
void vcDispObjTrackMap::LineColor_Changed() {
  map_.MapColor = wellColor(LineColor);
  followSecondColor(map_.MapColor, map_.MapLowColor, LowCheck, LowColor);
  mapEdited();
}

// "Best" keeps the lap chosen before; a typed lap need not be listed; text
// that is no number means all laps. A lap number is one byte: a larger one
// is held at the last lap that fits.
void vcDispObjTrackMap::LapSelection_Changed() {
  const QString text = LapSelection->currentText().trimmed();
  if (text == "Best") {
    SetOptionBits(map_.Options, kMapBestLap, true);
  } else {
    SetOptionBits(map_.Options, kMapBestLap, false);
    map_.SelectedLap = text == "All" ? 0 : static_cast<uint8_t>(std::clamp(NSStringToInt(text), 0, kMaxListedLaps));
  }
  showLapChoice();
  mapEdited();
}

// The line belongs to the start/finish marker, which belongs to the map.
void vcDispObjTrackMap::StartLineCheck_Changed() {
  StartCheck->setChecked(true);
  mapEdited();
}

void vcDispObjTrackMap::StartLineAutoCheck_Changed() {
  StartLineCheck->setChecked(true);
  StartLineCheck_Changed();
}

void vcDispObjTrackMap::StartStyleSelection_Changed() {
  const QString style = StartStyleSelection->currentText();
  map_.StartStyle = kStartRounded;
  for (uint8_t code = kStartFlat; code <= kStartChecker2; ++code)
    if (style == kStartStyles[code]) map_.StartStyle = code;
  StartLineCheck->setChecked(true);
  StartLineCheck_Changed();
}

// "Simple" is the only marker offered; other icons come only from styles.
void vcDispObjTrackMap::PosIconSelection_Changed() {
  map_.PosIcon = 0;
  posEdited();
}

void vcDispObjTrackMap::PosAnimCheck_Changed() {
  SetOptionBits(map_.Options, kMapAnimatePos, PosAnimCheck->isChecked());
  posEdited();
}

void vcDispObjTrackMap::ZoomMapSlider_Changed() {
  ZoomMapSlider->setValue(RoundToIntF(static_cast<float>(ZoomMapSlider->value())));
  ZoomMapCheck->setChecked(true);
  UpdatePreview();
}
