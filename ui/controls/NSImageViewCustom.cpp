#include "ui/controls/NSImageViewCustom.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QGestureEvent>
#include <QHash>
#include <QMimeData>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QPinchGesture>
#include <QStyleHints>
#include <cmath>
#include <cstring>

#include "platform/graphics/bitmap_view.h"
#include "ui/seams/media_clock.h"

namespace {

QHash<QWidget*, NSDraggingDestination*>& destinations() {
  static QHash<QWidget*, NSDraggingDestination*> table;
  return table;
}

void releaseKept(void* kept) { delete static_cast<std::shared_ptr<const ViewImage>*>(kept); }

QImage toImage(const ViewImage& picture) {
  const int w = static_cast<int>(picture.width), h = static_cast<int>(picture.height);
  const size_t bytes = static_cast<size_t>(picture.width) * picture.height * 4;
  // The painter's own order already, and shared by its owner: shown from
  // its own pixels, with no copy on this thread (a 1080p picture 60 times a
  // second); the owner draws the next picture elsewhere while this is kept.
  if (picture.bgrx && w > 0 && h > 0 && picture.rgba.size() >= bytes)
    if (std::shared_ptr<const ViewImage> owner = picture.weak_from_this().lock())
      return QImage(picture.rgba.data(), w, h, static_cast<qsizetype>(w) * 4, QImage::Format_RGB32, releaseKept,
                    new std::shared_ptr<const ViewImage>(std::move(owner)));
  const QImage::Format format = picture.bgrx ? QImage::Format_RGB32 : QImage::Format_RGBA8888;
  QImage image(w, h, format);
  if (image.isNull() || picture.rgba.size() < static_cast<size_t>(image.sizeInBytes())) return QImage();
  // The painter's own order already: one copy, no conversion.
  if (picture.bgrx) {
    std::memcpy(image.bits(), picture.rgba.data(), static_cast<size_t>(image.sizeInBytes()));
    return image;
  }
  const size_t row = static_cast<size_t>(picture.width) * 4;
  for (uint32_t y = 0; y < picture.height; ++y)
    std::memcpy(image.scanLine(static_cast<int>(y)), picture.rgba.data() + y * row, row);
  // Painted many times per received picture: keep it in the painter's own
  // form, converted in place (a 1080p picture 60 times a second).
  image.convertTo(QImage::Format_ARGB32_Premultiplied);
  return image;
}

bool sameWholePoint(QPointF a, QPointF b) {
  return std::trunc(a.x()) == std::trunc(b.x()) && std::trunc(a.y()) == std::trunc(b.y());
}

} // namespace

void RegisterDraggingDestination(QWidget* window, NSDraggingDestination* destination) {
  if (window == nullptr) return;
  if (destination == nullptr) {
    destinations().remove(window);
    return;
  }
  if (!destinations().contains(window))
    QObject::connect(window, &QObject::destroyed, [window]() { destinations().remove(window); });
  destinations().insert(window, destination);
  window->setAcceptDrops(true);
}

NSDraggingDestination* DraggingDestinationOf(QWidget* window) { return destinations().value(window, nullptr); }

Qt::DropAction FileDropAnswer(Qt::DropActions offered) {
  if (offered & Qt::CopyAction) return Qt::CopyAction;
  if (offered & Qt::LinkAction) return Qt::LinkAction;
  return Qt::IgnoreAction;
}

void AnswerFileDrag(QDropEvent* event, bool taken) {
  if (!taken) {
    event->setDropAction(Qt::IgnoreAction);
    event->ignore();
    return;
  }
  // The same answer while the drag moves as at the drop: the source keeps
  // the last answer it saw over the window, not the drop's.
  event->setDropAction(FileDropAnswer(event->possibleActions()));
  event->accept();
}

NSImageViewCustom::NSImageViewCustom(QWidget* parent) : QWidget(parent) {
  setAcceptDrops(true);
  setMouseTracking(false);
  // Every pixel is painted (the picture, black around it): nothing needs
  // clearing first.
  setAttribute(Qt::WA_OpaquePaintEvent, true);
  // Touch screens pinch through the gesture framework, which needs touches.
  setAttribute(Qt::WA_AcceptTouchEvents, true);
  grabGesture(Qt::PinchGesture);
  ViewRegister(viewHandle(), [this](const ViewImage& picture) {
    ++framesReceived_;
    setImage(toImage(picture));
    emit imageReceived();
  });
}

NSImageViewCustom::~NSImageViewCustom() { ViewUnregister(viewHandle()); }

QWidget* NSImageViewCustom::GetOwner() {
  if (OwnerWindow.isNull()) {
    QWidget* top = window();
    if (top != this) OwnerWindow = top;
  }
  return OwnerWindow.data();
}

void NSImageViewCustom::setImage(const QImage& image) {
  image_ = image;
  update();
}

void NSImageViewCustom::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (image_.isNull()) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  QSize size = image_.size();
  if (size.width() > width() || size.height() > height()) size.scale(this->size(), Qt::KeepAspectRatio);
  QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
  // Black around the picture; under it only where it lets some through.
  const QRegion black = image_.hasAlphaChannel() ? QRegion(rect()) : QRegion(rect()).subtracted(target);
  for (const QRect& r : black) painter.fillRect(r, Qt::black);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, size != image_.size());
  painter.drawImage(target, image_);
  if (selectionRect_.isNull()) return;
  // In the picture's pixels, as drawn: scaled with it when it is scaled.
  painter.translate(target.topLeft());
  painter.scale(static_cast<double>(target.width()) / image_.width(), static_cast<double>(target.height()) / image_.height());
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(QColor(0, 122, 255), 0));
  painter.setBrush(Qt::NoBrush);
  const QRectF r(selectionRect_);
  painter.drawPolygon(QPolygonF({r.topLeft(), QPointF(r.right() + 1, r.top()), QPointF(r.right() + 1, r.bottom() + 1),
                                 QPointF(r.left(), r.bottom() + 1)}));
}

void NSImageViewCustom::setSelectionRect(const QRect& rect) {
  if (rect == selectionRect_) return;
  selectionRect_ = rect;
  update();
}

// Only the left button edits; Qt reports the second press of a double click
// as its own event, and a third quick press as a plain one.
void NSImageViewCustom::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int interval = QApplication::styleHints()->mouseDoubleClickInterval();
  const bool follows = clickCount_ >= 2 && event->timestamp() - lastPressTime_ <= static_cast<quint64>(interval);
  pressed(event, follows ? clickCount_ + 1 : 1);
}

void NSImageViewCustom::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed(event, 2);
}

void NSImageViewCustom::pressed(QMouseEvent* event, int clickCount) {
  clickCount_ = clickCount;
  lastPressTime_ = event->timestamp();
  if (delegate_ != nullptr) delegate_->imageMouseDown(event->position());
}

void NSImageViewCustom::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || delegate_ == nullptr) return;
  const QPointF point = event->position();
  delegate_->imageMouseUp(point);
  if (clickCount_ == 1) delegate_->imageMouseClick(point);
  else if (clickCount_ == 2) delegate_->imageMouseDoubleClick(point);
}

void NSImageViewCustom::contextMenuEvent(QContextMenuEvent* event) {
  if (delegate_ == nullptr) return;
  delegate_->imageMenuRequested(QPointF(event->pos()), event->globalPos());
  event->accept();
}

void NSImageViewCustom::mouseMoveEvent(QMouseEvent* event) {
  if (delegate_ == nullptr) return;
  if (event->buttons() & Qt::LeftButton) {
    delegate_->imageMouseDrag(event->position());
  } else if (delegate_->respondsToImageMouseMove() && rect().contains(event->position().toPoint())) {
    delegate_->imageMouseMove(event->position());
  }
}

// Moves without a button are followed only while the pointer is inside and
// the delegate takes them.
void NSImageViewCustom::enterEvent(QEnterEvent*) {
  const bool wanted = delegate_ != nullptr && delegate_->respondsToImageMouseMove();
  setMouseTracking(wanted);
  if (wanted) setFocus(Qt::MouseFocusReason);
}

void NSImageViewCustom::leaveEvent(QEvent*) { setMouseTracking(false); }

bool NSImageViewCustom::event(QEvent* event) {
  if (event->type() == QEvent::NativeGesture) {
    nativeGesture(static_cast<QNativeGestureEvent*>(event));
    return true;
  }
  if (event->type() == QEvent::Gesture) {
    pinchGesture(static_cast<QGestureEvent*>(event));
    return true;
  }
  return QWidget::event(event);
}

void NSImageViewCustom::nativeGesture(QNativeGestureEvent* event) {
  const double eventTime = static_cast<double>(event->timestamp()) / 1000.0;
  if (event->gestureType() == Qt::ZoomNativeGesture) magnifyWithEvent(event->position(), event->value(), eventTime);
  else if (event->gestureType() == Qt::RotateNativeGesture) rotateWithEvent(event->position(), event->value(), eventTime);
}

// Touch screens pinch through the gesture framework: each step's factor and
// turn become the same amounts a touchpad reports.
void NSImageViewCustom::pinchGesture(QGestureEvent* event) {
  auto* pinch = static_cast<QPinchGesture*>(event->gesture(Qt::PinchGesture));
  if (pinch == nullptr) return;
  event->accept(pinch);
  const QPointF point = mapFromGlobal(pinch->centerPoint());
  // Gesture events carry no time stamp of their own.
  const double eventTime = MediaClockNow();
  if (pinch->state() == Qt::GestureStarted) pinchLastRotation_ = pinch->rotationAngle();
  if (pinch->changeFlags() & QPinchGesture::ScaleFactorChanged)
    magnifyWithEvent(point, pinch->scaleFactor() - 1.0, eventTime);
  if (pinch->changeFlags() & QPinchGesture::RotationAngleChanged) {
    rotateWithEvent(point, pinch->rotationAngle() - pinchLastRotation_, eventTime);
    pinchLastRotation_ = pinch->rotationAngle();
  }
}

bool NSImageViewCustom::gestureStep(const GestureTrack& track, QPointF point, double value, double eventTime,
                                    bool& start) {
  const double now = MediaClockNow();
  gestureNow_ = now;
  // A pointer that moved by a whole unit begins a new gesture.
  start = !sameWholePoint(point, *track.lastPoint);
  if (start) {
    *track.lastPoint = point;
    *track.amount = 0;
    *track.lastEventTime = eventTime;
    *track.lastDelegateTime = now;
  }
  *track.amount += value;
  return start || (eventTime > *track.lastEventTime + GestureInterval && now > *track.lastDelegateTime + GestureInterval);
}

void NSImageViewCustom::magnifyWithEvent(QPointF point, double magnification, double eventTime) {
  bool start = false;
  const GestureTrack track{&MagnifyAmount, &MagnifyLastPoint, &MagnifyLastEventTime, &MagnifyLastDelegateTime};
  if (!gestureStep(track, point, magnification, eventTime, start)) return;
  if (delegate_ != nullptr) delegate_->imageMouseMagnify(point, MagnifyAmount, start);
  MagnifyAmount = 0;
  MagnifyLastEventTime = eventTime;
  MagnifyLastDelegateTime = gestureNow_;
}

void NSImageViewCustom::rotateWithEvent(QPointF point, double degrees, double eventTime) {
  bool start = false;
  const GestureTrack track{&RotateDegrees, &RotateLastPoint, &RotateLastEventTime, &RotateLastDelegateTime};
  if (!gestureStep(track, point, degrees, eventTime, start)) return;
  if (delegate_ != nullptr) delegate_->imageMouseRotate(point, RotateDegrees, start);
  RotateDegrees = 0;
  RotateLastEventTime = eventTime;
  RotateLastDelegateTime = gestureNow_;
}

NSDraggingDestination* NSImageViewCustom::destination() {
  QWidget* owner = GetOwner();
  return owner != nullptr ? DraggingDestinationOf(owner) : nullptr;
}

void NSImageViewCustom::dragEnterEvent(QDragEnterEvent* event) {
  NSDraggingDestination* target = destination();
  const bool wanted = target != nullptr && target->draggingEntered(event->mimeData()) != Qt::IgnoreAction;
  AnswerFileDrag(event, wanted);
}

void NSImageViewCustom::dragMoveEvent(QDragMoveEvent* event) {
  NSDraggingDestination* target = destination();
  AnswerFileDrag(event, target != nullptr);
}

void NSImageViewCustom::dragLeaveEvent(QDragLeaveEvent*) {
  if (NSDraggingDestination* target = destination()) target->draggingExited();
}

void NSImageViewCustom::dropEvent(QDropEvent* event) {
  NSDraggingDestination* target = destination();
  if (target == nullptr || !target->prepareForDragOperation(event->mimeData())) {
    AnswerFileDrag(event, false);
    return;
  }
  AnswerFileDrag(event, target->performDragOperation(event->mimeData()));
}
