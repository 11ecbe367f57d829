// The sync-to-reference window's arithmetic and its sliders, typed times,
// link, offset mode, rate and input choices.
//
// Both directions use the engine's one mapping, s = start + (r - offset)
// x rate, so the values worked out of the two sliders put exactly the
// shown sync time s at the shown reference time r, for any rate.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>

#include "model/input_timing.h"
#include "ui/controls/button_faces.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/text_field.h"
#include "ui/input/sync_common.h"
#include "ui/input/wcInputSync2.h"
#include "ui/seams/media_clock.h"

using namespace sync_ui;

namespace {

// A sync time this far past the input's end still counts as its end.
constexpr double kEndTolerance = 0.001;

const QColor kFlagged(220, 0, 0);

} // namespace

void wcInputSync2::setLabelRed(QLabel* label, bool red) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, red ? kFlagged : QApplication::palette(label).color(QPalette::WindowText));
  label->setPalette(palette);
}

void wcInputSync2::SetSyncTime(bool keepSyncSlider) {
  const double r = RefSlider->value();
  const Values& v = values_;
  double result = v.SyncStart;
  bool syncFlagged = false;
  bool rateFlagged = false;
  if (r < v.SyncOffset) {
    // The reference time lies before the sync input starts in the project.
    syncFlagged = true;
  } else if (!PlayRateUsable(v.SyncPlayRate)) {
    rateFlagged = true;
  } else {
    const double t = InputLocalTime(v.SyncStart, v.SyncOffset, v.SyncPlayRate, r);
    result = t;
    if (t > v.SyncLen) {
      result = v.SyncLen;
      syncFlagged = t > v.SyncLen + kEndTolerance;
    }
  }
  if (!keepSyncSlider) {
    SyncSlider->setValue(result);
    SyncText->setText(TimeText(SyncSlider->value()));
  }
  setLabelRed(SyncLabel, syncFlagged);
  setLabelRed(PlayRateLabel, rateFlagged);
}

void wcInputSync2::CalcSyncValues(bool displayOnly) {
  const double s = SyncSlider->value();
  const double r = RefSlider->value();
  const double rate = PlayRateUsable(values_.SyncPlayRate) ? values_.SyncPlayRate : 1.0;
  // The trim start that a start time of 0 would need, in the input's seconds.
  const double d = s - r * rate;
  // The start time that a trim start of 0 would need, in project seconds.
  const double effective = d < 0 ? -d / rate : 0;
  double start = 0;
  double offset = 0;
  if (!manualOffset()) {
    start = d >= 0 ? d : 0;
    offset = d >= 0 ? 0 : effective;
  } else {
    offset = values_.DesiredSyncOffset;
    start = d + values_.DesiredSyncOffset * rate;
    if (start < 0 && !displayOnly) {
      // The typed offset cannot be kept; the brackets say it was overridden.
      offset = effective;
      start = 0;
      OffsetTimeText->setText("(" + TimeText(effective) + ")");
    }
  }
  if (!displayOnly) {
    values_.SyncStart = start;
    values_.SyncOffset = offset;
  }
  OffsetEffectiveLabel->setText("(" + TimeText(effective) + ")");
  SetSyncTime(true);
}

void wcInputSync2::SyncSlider_Changed() {
  SyncText->setText(TimeText(SyncSlider->value()));
  CalcSyncValues();
  UpdatePreview(1);
}

void wcInputSync2::RefSlider_Changed() {
  play_.PlayStartTime = MediaClockNow() - RefSlider->value();
  RefText->setText(TimeText(RefSlider->value()));
  if (play_.Linked) {
    SetSyncTime();
    UpdatePreview(1);
  } else {
    CalcSyncValues();
  }
  UpdatePreview(2);
}

void wcInputSync2::SyncText_Changed() {
  SyncSlider->setValue(ReadTime(SyncText));
  SyncSlider_Changed();
}

void wcInputSync2::RefText_Changed() {
  RefSlider->setValue(ReadTime(RefText));
  RefSlider_Changed();
}

void wcInputSync2::syncStep(double seconds) {
  SyncSlider->setValue(SyncSlider->value() + seconds);
  SyncSlider_Changed();
}

void wcInputSync2::refStep(double seconds) {
  RefSlider->setValue(RefSlider->value() + seconds);
  RefSlider_Changed();
}

void wcInputSync2::LinkButton_Pressed() {
  play_.Linked = !play_.Linked;
  SetLinkIcon();
}

void wcInputSync2::SetLinkIcon() {
  LinkButton->setIcon(ButtonFace(play_.Linked ? "Join" : "UnJoin"));
  LinkLabel->setText(play_.Linked ? "Moving the Reference Input forward will also move the Sync Input forward, "
                                    "keeping their current synchronization."
                                  : "Moving the Reference Input forward will act independently of the Sync "
                                    "Input, and will therefore change their synchronization.");
}

void wcInputSync2::OffsetMatrix_Changed() {
  values_.DesiredSyncOffset = ReadTime(OffsetTimeText);
  values_.SyncOffset = manualOffset() ? values_.DesiredSyncOffset : 0;
  SetInput(inputs_.SyncInput, inputs_.RefInput, 2);
}

void wcInputSync2::OffsetTimeText_Changed() {
  setManualOffset(true);
  values_.SyncOffset = values_.DesiredSyncOffset = ReadTime(OffsetTimeText);
  SetInput(inputs_.SyncInput, inputs_.RefInput, 2);
}

void wcInputSync2::PlayRateText_Changed() {
  values_.SyncPlayRate = ReadRate(PlayRateText);
  SetInput(inputs_.SyncInput, inputs_.RefInput, 2);
}

void wcInputSync2::SyncInputSelection_Changed() {
  const uint32_t input = InputOfComboText(SyncInputSelection);
  if (input == inputs_.SyncInput) return;
  if (!InputChangedPrompt(true)) {
    SelectComboName(SyncInputSelection, inputs_.SyncInputName);
    return;
  }
  SetInput(input, inputs_.RefInput, 1);
}

void wcInputSync2::RefInputSelection_Changed() {
  const uint32_t input = InputOfComboText(RefInputSelection);
  if (input == inputs_.RefInput) return;
  SetInput(inputs_.SyncInput, input, 2);
}

void wcInputSync2::DisplayTypeSelection_Changed() {
  const QString text = DisplayTypeSelection->currentText();
  if (text.isEmpty()) return;
  preview_.DisplayType = text == "Engine RPM" ? 3 : text == "Speed" ? 2 : text == "G-Force" ? 1 : 0;
  CreatePreviews();
}
