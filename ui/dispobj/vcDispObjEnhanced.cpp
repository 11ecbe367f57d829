#include "ui/dispobj/vcDispObjEnhanced.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/error.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "render/preview/main_preview.h"
#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/channel_range_rows.h"
#include "ui/dispobj/enh_param_edit.h"
#include "ui/dispobj/number_pair.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/dispobj/wcDispObjEnhEdit.h"
#include "ui/seams/modal_run.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/window_calls.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr double kRangeLimit = 9999999;
constexpr int kScriptButtonGap = 8; // between the last row shown and the button

} // namespace

vcDispObjEnhanced::vcDispObjEnhanced(wcDispObjEdit* owner)
    : DispObjPanel(kPanelEnhanced, "vcDispObjEnhanced", owner) {
  buildControls();
}

void vcDispObjEnhanced::buildControls() {
  QGroupBox* box = titledBox("Scripted Object", "EnhancedBox");
  auto* column = new QVBoxLayout(box);
  column->setSpacing(0);
  auto* grid = new QGridLayout();
  grid->setVerticalSpacing(4);
  column->addLayout(grid);
  int row = 0;

  Range = new ChannelRangeRows(grid, row, {.span = 1}, box);

  // The trigger row keeps its place while hidden, so the colours below do
  // not move when a script switches its trigger on.
  TriggerLabel = new QLabel("Trigger:", box);
  TriggerLabel->setObjectName("TriggerLabel");
  grid->addWidget(TriggerLabel, row, 0);
  grid->addLayout(numberField(TriggerText, TriggerStepper, "Trigger", -kRangeLimit, kRangeLimit, 1, box, 80), row++,
                  1);
  for (QWidget* w : std::initializer_list<QWidget*>{TriggerLabel, TriggerText, TriggerStepper}) {
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
  }
  buildColorRows(grid, row);
  grid->setColumnStretch(1, 1);

  column->addSpacing(kScriptButtonGap);
  ScriptButton = new QPushButton("Edit Scripts...", box);
  ScriptButton->setObjectName("ScriptButton");
  ScriptButton->setToolTip("The script editor: rendering area, label, colour names and both scripts");
  column->addWidget(ScriptButton, 0, Qt::AlignLeft);
  column->addStretch(1);

  connect(Range, &ChannelRangeRows::edited, this, &vcDispObjEnhanced::UpdatePreview);
  trigger_ = NumberBinder(this, [this]() { UpdatePreview(); }).real(TriggerText, TriggerStepper, enh_.TriggerValue);
  connect(ScriptButton, &QPushButton::clicked, this, &vcDispObjEnhanced::ScriptButton_Pressed);
}

void vcDispObjEnhanced::buildColorRows(QGridLayout* grid, int& row) {
  QWidget* box = grid->parentWidget();
  for (int i = 0; i < kEnhColors; ++i) {
    const QString letter(QChar('A' + i));
    ColorLabel[i] = new QLabel(box);
    ColorLabel[i]->setObjectName("ColorLabel" + letter);
    Color[i] = colorWell(("Color" + letter).toLatin1().constData(), box);
    grid->addWidget(ColorLabel[i], row, 0);
    grid->addWidget(Color[i], row++, 1, Qt::AlignLeft);
    connect(Color[i], &NSColorWellCustom::changed, this, [this, i]() { Color_Changed(i); });
  }
}

bool vcDispObjEnhanced::SetData(uint32_t index) {
  OurIndex = index;
  if (index == kNoDispObj) return false;
  DispStruct record{};
  if (!readCommon(index, record) || !EnhParamLoad(index, enh_, record)) return false;
  LoadingData = true;
  inputId_ = record.InputID;
  Range->Load(enh_.Field, enh_.Min, enh_.Max, inputId_);

  trigger_->show(enh_.TriggerValue);
  const bool trigger = (enh_.Options & kEnhTrigger) != 0;
  for (QWidget* w : std::initializer_list<QWidget*>{TriggerLabel, TriggerText, TriggerStepper}) w->setVisible(trigger);

  for (int i = 0; i < kEnhColors; ++i) {
    ColorLabel[i]->setText(EnhColorTitle(enh_, i));
    showColor(Color[i], enh_.Color[i]);
    const bool inUse = i < enh_.ColorCount;
    ColorLabel[i]->setVisible(inUse);
    Color[i]->setVisible(inUse);
  }
  LoadingData = false;
  SetFieldColor();
  return true;
}

void vcDispObjEnhanced::SetFieldColor() { Range->SetFieldColor(); }

void vcDispObjEnhanced::UpdatePreview() {
  if (LoadingData) return;
  UndoSave();
  if (main() != nullptr) main()->setProjectModified(true);
  UpdatePreviewNoUndo();
}

void vcDispObjEnhanced::UpdatePreviewNoUndo() {
  if (LoadingData) return;
  SetFieldColor();
  writeParamNoUndo(enh_);
}

void vcDispObjEnhanced::Color_Changed(int i) {
  enh_.Color[i] = wellColor(Color[i]);
  UpdatePreview();
}

void vcDispObjEnhanced::ScriptButton_Pressed() {
  const uint32_t object = OurIndex;
  PreviewStop();
  UpdatePreview();
  // The checkpoint a cancelled editor returns to: the editor writes as the
  // user works.
  UndoSave();
  wcDispObjEnhEdit* editor = NeededWindow(AppWindows().wndDispObjEnhEdit());
  if (editor != nullptr && editor->SetData(object)) {
    RunModalForWindow(editor);
    if (!editor->Success()) {
      if (UndoToggle() != 0) ErrorShowLast(); // the edits could not be taken back: say so
      else UndoSave();
    }
  }
  SetData(object);
  if (main() != nullptr) main()->setProjectModified(true);
  UpdatePreviewNoUndo();
  // A style applied in the editor shows in the general panel.
  updateOtherPanels();
}
