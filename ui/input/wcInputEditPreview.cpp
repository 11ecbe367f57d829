// The input properties window's preview as an editing surface: zoom buttons
// and pinches grow or shrink the crop, a drag moves the visible part of the
// picture, a rotate gesture turns it, and a double click opens the crop
// window. Points come in the view's pixels, y growing downward; one point is
// one picture pixel.
#include "base/error.h"
#include "model/inputs.h"
#include "ui/input/input_picture_group.h"
#include "ui/input/wcInputCrop.h"
#include "ui/input/wcInputEdit.h"
#include "ui/seams/modal_run.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/window_calls.h"

namespace {

constexpr double kZoomStep = 0.05;

bool gesturesOn() {
  wcMain* main = AppWindows().wndMain();
  return main != nullptr && main->Gestures();
}

} // namespace

void wcInputEdit::Zoom(double fraction) {
  InputGeometry& geometry = picture()->Geometry();
  geometry.TakeCropTexts();
  geometry.SetMargins(CropZoom(geometry.Margins(), records_.Main.Width, records_.Main.Height, fraction));
}

void wcInputEdit::CropZoomIn_Pressed() {
  Zoom(kZoomStep);
  UpdatePreview();
}

void wcInputEdit::CropZoomOut_Pressed() {
  Zoom(-kZoomStep);
  UpdatePreview();
}

void wcInputEdit::imageMouseDown(QPointF point) {
  const CropMargins margins = picture()->Geometry().Margins();
  mouse_.point = point;
  mouse_.left = margins.left;
  mouse_.top = margins.top;
  mouse_.right = margins.right;
  mouse_.bottom = margins.bottom;
}

void wcInputEdit::imageMouseDrag(QPointF point) {
  const CropMargins atPress{mouse_.left, mouse_.right, mouse_.top, mouse_.bottom};
  const QPointF moved = point - mouse_.point;
  picture()->Geometry().SetMargins(
      CropDrag(atPress, records_.Main.Width, records_.Main.Height, moved.x(), moved.y()));
  // The picture follows the pointer whether or not the preview updates itself.
  UpdatePreview(true);
  PreviewUpdate_Pressed();
}

void wcInputEdit::imageMouseUp(QPointF) { UpdatePreview(); }

void wcInputEdit::imageMouseDoubleClick(QPointF) { CropEdit_Pressed(); }

void wcInputEdit::imageMouseMagnify(QPointF, double amount, bool) {
  if (!gesturesOn()) return;
  Zoom(amount);
  UpdatePreview(true);
  PreviewUpdate_Pressed();
}

void wcInputEdit::imageMouseRotate(QPointF, double degrees, bool) {
  if (!gesturesOn()) return;
  picture()->Geometry().SetRotateAmount(records_.Adjust.Rotation - degrees, true);
  UpdatePreview(true);
  PreviewUpdate_Pressed();
}

void wcInputEdit::CropEdit_Pressed() {
  auto* crop = NeededWindow(AppWindows().wndInputCrop());
  if (crop == nullptr) return;
  UpdateStructs();
  if (InputSetAdjust(state_.OurIndex, &records_.Adjust) != 0) {
    ErrorShowLast();
    return;
  }
  if (!crop->SetInput(state_.OurIndex, state_.PreviewTime)) return;
  RunModalForWindow(crop);
  if (crop->Success()) {
    const AdjustStruct* adjust = InputGetAdjust(state_.OurIndex);
    if (adjust == nullptr) {
      ErrorShowLast();
    } else {
      records_.Adjust = *adjust;
      SetInputFile(kNoInput, 0);
    }
  }
  UpdatePreview();
}
