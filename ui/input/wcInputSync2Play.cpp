// The sync-to-reference window's two previews and the reference playback.
//
// Playback runs on a timer of half a preview frame on the GUI thread: the
// step moves sliders and draws previews, which belong to that thread, and
// the reference position comes from the media clock rather than from a
// count of ticks, so a slow step costs no playback time.
#include <QPushButton>
#include <QTimer>
#include <cmath>

#include "model/input_records.h"
#include "render/preview/simple_preview.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/controls/button_faces.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/text_field.h"
#include "ui/input/sync_common.h"
#include "ui/input/wcInputSync2.h"
#include "ui/seams/media_clock.h"

using namespace sync_ui;

namespace {

constexpr uint32_t kDataQuality = 3;
constexpr uint32_t kPictureQuality = 0;

} // namespace

uint32_t wcInputSync2::previewQuality(uint32_t type) const {
  return type == kInputData ? kDataQuality : kPictureQuality;
}

void wcInputSync2::CreatePreviews() {
  EndPreviews();
  auto open = [this](PreviewSlot& preview, uint32_t input, NSImageViewCustom* view) {
    view->setVisible(input != kNoInput);
    if (input == kNoInput) return;
    preview.hold(SimplePreviewCreateForInput(input, view->viewHandle(), static_cast<uint32_t>(view->width()),
                                             static_cast<uint32_t>(view->height()), 1, preview_.DisplayType));
  };
  open(preview_.Sync, inputs_.SyncInput, SyncImage);
  open(preview_.Ref, inputs_.RefInput, RefImage);
  UpdatePreview(3);
}

void wcInputSync2::UpdatePreview(uint32_t mask) {
  if (mask & 1)
    preview_.Sync.draw(1, previewQuality(inputs_.SyncInputType), static_cast<float>(SyncSlider->value()));
  if (mask & 2) preview_.Ref.draw(0, previewQuality(inputs_.RefInputType), static_cast<float>(RefSlider->value()));
}

void wcInputSync2::EndPreviews() {
  SetPlayState(false);
  preview_.Sync.close();
  preview_.Ref.close();
}

void wcInputSync2::PlayButton_Pressed() { SetPlayState(!play_.Playing); }

void wcInputSync2::SetPlayState(bool on) {
  if (play_.Playing == on) return;
  if (play_.PlayTimer != nullptr) play_.PlayTimer->stop();
  if (on) {
    play_.PlayStartTime = MediaClockNow() - RefSlider->value();
    if (play_.PlayTimer != nullptr) {
      play_.PlayTimer->start(std::max(1, static_cast<int>(std::lround(play_.PlayTickInterval * 1000))));
    }
  }
  if (PlayButton != nullptr) {
    PlayButton->setIcon(ButtonFace(on ? "Pause-Blue" : "Play-Green"));
    PlayButton->setText(on ? "Pause" : "Play");
  }
  play_.Playing = on;
}

void wcInputSync2::OnTick() {
  // A tick that finds a step still running is dropped, not queued.
  if (play_.PlayRenderInProgress || !play_.Playing) return;
  play_.PlayRenderInProgress = true;
  playStep();
  play_.PlayRenderInProgress = false;
}

void wcInputSync2::playStep() {
  const double elapsed = MediaClockNow() - play_.PlayStartTime;
  const bool atEnd = elapsed > RefSlider->maximum();
  RefSlider->setValue(atEnd ? RefSlider->maximum() : elapsed);
  RefText->setText(TimeText(RefSlider->value()));
  // The sync side follows through the current values, linked or not.
  SetSyncTime();
  UpdatePreview(3);
  if (atEnd) SetPlayState(false);
}
