// Editing display objects on the preview canvas: a press selects, a drag
// moves (snapped, kept partly in frame, one undo checkpoint per drag), a
// double click opens the properties and a pinch scales; files dropped on
// the window become inputs.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/util.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "render/preview/main_preview.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/window_calls.h"

namespace {

constexpr int kDragThreshold = 5;

bool coversFrame(const DispStruct& record) {
  return RoundToIntF(record.X * 10) < 1 && RoundToIntF(record.Y * 10) < 1 && RoundToIntF(record.Width * 10) >= 1000 &&
         RoundToIntF(record.Height * 10) >= 1000;
}

// At least 1 % of the object stays inside the frame.
float keepInFrame(float position, float size) {
  if (position + size < 1) return 1 - size;
  if (position > 99) return 99;
  return position;
}

// The outline of the object in preview pixels, cut at the picture's edges.
QRect selectionRectFor(const DispStruct& record, int previewX, int previewY) {
  const float px = static_cast<float>(previewX), py = static_cast<float>(previewY);
  const int x0 = static_cast<int>(record.X * px / 100), y0 = static_cast<int>(record.Y * py / 100);
  const int w0 = static_cast<int>(record.Width * px / 100), h0 = static_cast<int>(record.Height * py / 100);
  const int x1 = std::max(x0, 0);
  int width = w0 + 1 + std::min(x0, 0);
  if (x1 + width > previewX) width = previewX - x1;
  const int y1 = std::max(y0, 0);
  int height = h0 + 1 + std::min(y0, 0);
  if (y1 + height > previewY) height = previewY - y1;
  return QRect(x1, y1, width, height);
}

uint32_t objectAt(QPointF point, int mode, double time) {
  return MainPreviewGetObjFromClick(RoundToInt(point.x()), RoundToInt(point.y()), mode, static_cast<float>(time));
}

wcDispObjEdit* propertyWindow() { return AppWindows().wndDispObjEdit(); }

} // namespace

void wcMain::imageMouseDown(QPointF point) {
  if (DispObjCount() == 0) return;
  const uint32_t hit = objectAt(point, 0, previewTime_);
  drag_.startX = static_cast<int>(point.x());
  drag_.startY = static_cast<int>(point.y());
  drag_.dragging = false;
  drag_.object = hit;
  if (hit == kNoDispObj) return;
  DispObjSelect(hit);
  // A full-frame object is selected but never moved.
  const DispStruct* record = DispObjGet(hit);
  if (record != nullptr && coversFrame(*record)) drag_.object = kNoDispObj;
}

void wcMain::imageMouseDrag(QPointF point) {
  if (drag_.object == kNoDispObj) return;
  const int dx = RoundToInt(drag_.startX - point.x());
  const int dy = RoundToInt(drag_.startY - point.y());
  if (!drag_.dragging && (std::abs(dx) > kDragThreshold || std::abs(dy) > kDragThreshold)) {
    drag_.dragging = true;
    PreviewStop();
    UndoSave();
    setProjectModified(true);
    DispObjGroupCalcPosSize(drag_.object);
    const DispStruct* start = DispObjGet(drag_.object);
    drag_.objectStartX = start != nullptr ? start->X : 0;
    drag_.objectStartY = start != nullptr ? start->Y : 0;
  }
  if (!drag_.dragging) return;
  const DispStruct* current = DispObjGet(drag_.object);
  if (current == nullptr) return;
  DispStruct record = *current;
  const float sx = previewX_ > 0 ? 100.0f / static_cast<float>(previewX_) : 1.0f;
  const float sy = previewY_ > 0 ? 100.0f / static_cast<float>(previewY_) : 1.0f;
  float x = drag_.objectStartX - static_cast<float>(dx) * sx;
  float y = drag_.objectStartY - static_cast<float>(dy) * sy;
  if (snapToGrid_) {
    x = static_cast<float>(RoundToIntF(x));
    y = static_cast<float>(RoundToIntF(y));
  }
  record.X = keepInFrame(x, record.Width);
  record.Y = keepInFrame(y, record.Height);
  DispObjSet(drag_.object, &record);
  DispObjGroupChangePosSize(drag_.object);
  // The drag stopped playback; the engine's stop frame must not count as
  // playing and start it again.
  PreviewRefresh(true, false);
  drawSelectionRect(record);
}

// Stays over every picture the drag paints, until the release.
void wcMain::drawSelectionRect(const DispStruct& record) {
  if (previewImage_ != nullptr) previewImage_->setSelectionRect(selectionRectFor(record, previewX_, previewY_));
}

void wcMain::imageMouseUp(QPointF) {
  if (drag_.dragging) {
    drag_.dragging = false;
    if (previewImage_ != nullptr) previewImage_->clearSelectionRect();
    PreviewRefresh(false, false);
    editedObjectToPropertyWindow();
  }
  drag_.object = kNoDispObj;
}

void wcMain::editedObjectToPropertyWindow() {
  const QStringList selected = SelectedDispObjNames();
  const uint32_t object = selected.isEmpty() ? kNoDispObj : DispObjFind(selected.first().toStdU16String().c_str());
  CallWindowIfVisible(propertyWindow(), &wcDispObjEdit::SetDisplayObject, static_cast<int>(object));
}

void wcMain::imageMouseDoubleClick(QPointF point) {
  if (DispObjCount() == 0) return;
  const uint32_t hit = objectAt(point, 1, previewTime_);
  if (hit == kNoDispObj) return;
  DispObjSelect(hit);
  dispObjEditFromCanvas();
}

// The properties of the selected object; a window already open has it
// loaded by the selection.
void wcMain::dispObjEditFromCanvas() {
  wcDispObjEdit* editor = propertyWindow();
  if (editor == nullptr || AppDelegate::IsWindowVisible(editor)) return;
  const QStringList selected = SelectedDispObjNames();
  if (selected.isEmpty()) return;
  const int object = static_cast<int>(DispObjFind(selected.first().toStdU16String().c_str()));
  if (editor->SetDisplayObject(object)) editor->showWindow();
}

void wcMain::imageMouseMagnify(QPointF point, double amount, bool start) {
  if (!gestures_) {
    pinch_.object = kNoDispObj;
    return;
  }
  if (start) {
    PreviewStop();
    pinch_.object = objectAt(point, 0, previewTime_);
    if (pinch_.object == kNoDispObj) return;
    DispObjSelect(pinch_.object);
    DispObjGroupCalcPosSize(pinch_.object);
    const DispStruct* record = DispObjGet(pinch_.object);
    if (record == nullptr || coversFrame(*record)) {
      pinch_.object = kNoDispObj;
      return;
    }
    UndoSave();
    setProjectModified(true);
    pinch_.record = *record;
    pinch_.width = record->Width;
    pinch_.height = record->Height;
  }
  if (pinch_.object == kNoDispObj) return;
  pinch_.width = std::clamp(pinch_.width * (amount + 1), 1.0, 100.0);
  pinch_.height = std::clamp(pinch_.height * (amount + 1), 1.0, 100.0);
  // Scales from the object's corner: its position stays.
  pinch_.record.Width = snapToGrid_ ? static_cast<float>(RoundToInt(pinch_.width)) : static_cast<float>(pinch_.width);
  pinch_.record.Height =
      snapToGrid_ ? static_cast<float>(RoundToInt(pinch_.height)) : static_cast<float>(pinch_.height);
  DispObjSet(pinch_.object, &pinch_.record);
  DispObjGroupChangePosSize(pinch_.object);
  ticks_.updateRequest = true;
  editedObjectToPropertyWindow();
}

void wcMain::DropFiles(const QStringList& paths) {
  // One checkpoint for the whole drop (the adding routine takes it), so
  // that one Undo takes every dropped file back.
  if (!paths.isEmpty()) AddInputFiles(paths);
  PreviewRefresh();
}
