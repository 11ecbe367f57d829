#include "ui/dispobj/vcDispObjTimeGraph.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <cmath>

#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/channel_range_rows.h"
#include "ui/dispobj/record_bindings.h"
#include "ui/dispobj/number_pair.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr double kMaxSpan = 3600; // seconds across the graph
constexpr double kMaxLine = 40;
constexpr double kMaxTextSize = 200;
constexpr double kMaxInterval = 100000;

// The presentations a record may hold; only the sliding span is offered.
const char* const kModes[] = {"Time Span", "Fixed + Line", "Fixed + Dot", "Fixed + Both"};

double wholeSize(float size) { return std::isfinite(size) ? std::trunc(size) : 0; }

} // namespace

vcDispObjTimeGraph::vcDispObjTimeGraph(wcDispObjEdit* owner)
    : DispObjPanel(kPanelTimeGraph, "vcDispObjTimeGraph", owner) {
  QGridLayout* grid = titledGrid("Time Graph", "TimeGraphBox");
  int row = 0;
  buildRangeRows(grid, row);
  buildLookRows(grid, row);
  grid->setColumnStretch(3, 1);
  connectControls();
}

void vcDispObjTimeGraph::buildRangeRows(QGridLayout* grid, int& row) {
  QWidget* box = grid->parentWidget();
  Range = new ChannelRangeRows(grid, row, {.range = "graph"}, box);
  static_cast<ChannelRangeOutlets&>(*this) = *Range;
  connect(Range, &ChannelRangeRows::edited, this, &vcDispObjTimeGraph::UpdatePreview);

  // The fixed presentations are kept in records but not offered: the
  // time-span field stands in their place.
  ModeSelection = new QComboBox(box);
  ModeSelection->setObjectName("ModeSelection");
  ValueColor = colorWell("ValueColor", box);
  TimeSpanLabel = new QLabel("Time span:", box);
  TimeSpanLabel->setObjectName("TimeSpanLabel");
  grid->addWidget(TimeSpanLabel, row, 0);
  grid->addWidget(ModeSelection, row, 1, 1, 2);
  grid->addWidget(ValueColor, row, 3, Qt::AlignLeft);
  grid->addLayout(numberField(TimeSpanText, TimeSpanStepper, "TimeSpan", 0.1, kMaxSpan, 1, box, 52, "seconds"), row++,
                  1, 1, 3);

  HighResCheck = checkBox("High resolution", "HighResCheck", box);
  FlipCheck = checkBox("Reversed", "FlipCheck", box);
  FlipCheck->setToolTip("The newest values on the other side");
  VerticalCheck = checkBox("Vertical", "VerticalCheck", box);
  VerticalCheck->setToolTip("Time runs down the graph");
  auto* looks = new QGridLayout();
  looks->addWidget(VerticalCheck, 0, 0);
  looks->addWidget(FlipCheck, 0, 1);
  looks->addWidget(HighResCheck, 1, 0, 1, 2);
  grid->addLayout(looks, row++, 0, 1, 4);
  grid->addWidget(new QLabel("Thickness:", box), row, 0);
  grid->addLayout(numberField(GraphThicknessText, GraphThicknessStepper, "GraphThickness", 1, 100, 1, box, 40, "%"),
                  row++, 1, 1, 3);
}

// One row per element: its switch, its colour and its size.
void vcDispObjTimeGraph::buildLookRows(QGridLayout* grid, int& row) {
  QWidget* box = grid->parentWidget();
  LineColor = colorWell("LineColor", box);
  grid->addWidget(new QLabel("Line:", box), row, 0);
  grid->addWidget(LineColor, row, 1, Qt::AlignLeft);
  grid->addWidget(new QLabel("Width:", box), row, 2, Qt::AlignRight);
  grid->addLayout(numberField(ThicknessText, ThicknessStepper, "Thickness", 1, kMaxLine, 1, box, 36), row++, 3);

  DoBackCheck = elementRow(grid, row++, "Background:", "Back", BackColor, box);
  DoTrimCheck = elementRow(grid, row, "Trim:", "Trim", TrimColor, box);
  elementSize(grid, row++, "Width:", "Trim", TrimSizeText, TrimSizeStepper, 0, kMaxLine, box);
  DoAxisCheck = elementRow(grid, row, "Axis:", "Axis", AxisColor, box);
  DoAxisCheck->setToolTip("Lines across the graph at every interval of the value");
  elementSize(grid, row++, "Width:", "Axis", AxisSizeText, AxisSizeStepper, 1, kMaxLine, box);
  grid->addWidget(new QLabel("Interval:", box), row, 0, Qt::AlignRight);
  grid->addLayout(numberField(AxisIntervalText, AxisIntervalStepper, "AxisInterval", 0.0001, kMaxInterval, 1, box, 64),
                  row++, 1, 1, 3);

  DoLabelCheck = elementRow(grid, row, "Label:", "Label", LabelColor, box);
  elementSize(grid, row++, "Size:", "Label", LabelSizeText, LabelSizeStepper, 1, kMaxTextSize, box);
  LabelText = labelTextField(box);
  grid->addWidget(LabelText, row++, 1, 1, 3);
}

void vcDispObjTimeGraph::connectControls() {
  options_ = new OptionChecks(
      graph_.Options,
      {{HighResCheck, kTimeGraphHighRes}, {FlipCheck, kTimeGraphFlip}, {VerticalCheck, kTimeGraphVertical}},
      [this]() { UpdatePreview(); }, this);
  // The element switches are read by the write path.
  for (QCheckBox* check : {DoBackCheck, DoTrimCheck, DoLabelCheck, DoAxisCheck})
    connect(check, &QCheckBox::clicked, this, &vcDispObjTimeGraph::UpdatePreview);
  colors_ = new ColorElements(this,
                    {{BackColor, &graph_.BackColor, DoBackCheck}, {TrimColor, &graph_.TrimColor, DoTrimCheck},
                     {LineColor, &graph_.LineColor}, {LabelColor, &graph_.LabelColor, DoLabelCheck},
                     {AxisColor, &graph_.AxisColor, DoAxisCheck}, {ValueColor, &graph_.ValueColor}},
                    [this]() { UpdatePreview(); });
  connect(LabelText, &TextField::changed, this, &vcDispObjTimeGraph::LabelText_Changed);
  bindNumbers();
}

// A size of an element switches the element on; the line and the graph
// have no switch.
void vcDispObjTimeGraph::bindNumbers() {
  const NumberBinder bind(this, [this]() { UpdatePreview(); });
  numbers_.timeSpan = bind.real(TimeSpanText, TimeSpanStepper, graph_.TimeSpan, nullptr, 2);
  numbers_.trimSize = bind.whole(TrimSizeText, TrimSizeStepper, graph_.TrimSize, DoTrimCheck);
  numbers_.thickness = bind.whole(ThicknessText, ThicknessStepper, graph_.LineSize);
  numbers_.axisSize = bind.whole(AxisSizeText, AxisSizeStepper, graph_.AxisSize, DoAxisCheck);
  numbers_.graphThickness = bind.whole(GraphThicknessText, GraphThicknessStepper, graph_.Thickness);
  numbers_.labelSize = bind.whole(LabelSizeText, LabelSizeStepper, graph_.LabelSize, DoLabelCheck);
  numbers_.axisInterval = bind.real(AxisIntervalText, AxisIntervalStepper, graph_.AxisInterval, DoAxisCheck);
}

bool vcDispObjTimeGraph::SetData(uint32_t index) {
  DispStruct record{};
  if (!loadRecords(index, graph_, record)) return false;
  LoadingData = true;
  inputId_ = record.InputID;
  Range->Load(graph_.Field, graph_.Min, graph_.Max, inputId_);

  ModeSelection->clear();
  ModeSelection->setEditText("");
  for (const char* mode : kModes) ModeSelection->addItem(mode);
  ModeSelection->setCurrentIndex(0);
  ModeSelection->hide();
  ValueColor->hide();
  numbers_.timeSpan->show(graph_.TimeSpan);
  options_->show();
  colors_->show();

  numbers_.trimSize->show(graph_.TrimSize);
  numbers_.thickness->show(graph_.LineSize);
  numbers_.labelSize->show(wholeSize(graph_.LabelSize));
  numbers_.axisSize->show(graph_.AxisSize);
  numbers_.graphThickness->show(graph_.Thickness);
  numbers_.axisInterval->show(graph_.AxisInterval);
  LabelText->setText(W16ToNSString(graph_.Label));
  LoadingData = false;
  SetFieldColor();
  return true;
}

void vcDispObjTimeGraph::SetFieldColor() { Range->SetFieldColor(); }

void vcDispObjTimeGraph::UpdatePreview() {
  if (LoadingData) return;
  colors_->store();
  storeText(graph_.Label, LabelText->text());
  SetFieldColor();
  if (writeParam(graph_)) updateOtherPanels();
}

// The write path stores the text itself.
void vcDispObjTimeGraph::LabelText_Changed() {
  DoLabelCheck->setChecked(true);
  UpdatePreview();
}

