#pragma once
// The canvas on which the program shows a rendered picture and lets the user
// work on it: the main preview, the editors' previews, the timeline picture.
// It only draws what its window (or the engine, through the bitmap hand-over)
// puts into it; mouse and touchpad events become messages to one delegate,
// pinch and rotate throttled to one delivery per GestureInterval, and file
// drags go to the window that registered itself as a dragging destination.
//
// Points are in the view's own coordinates: origin at the top left, y down,
// one unit per pixel of the view. That is also the row order of the pictures
// it shows (top row first), so a point lands on the picture row drawn there.
#include <QImage>
#include <QPointF>
#include <QPointer>
#include <QWidget>

class QDropEvent;
class QMimeData;
class QNativeGestureEvent;
class QGestureEvent;

// Every message is optional: the defaults do nothing. Mouse-moved messages
// come only to a delegate that says it takes them.
class NSImageViewCustomDelegate {
public:
  virtual ~NSImageViewCustomDelegate() = default;
  virtual void imageMouseDown(QPointF) {}
  virtual void imageMouseUp(QPointF) {}
  virtual void imageMouseClick(QPointF) {}
  virtual void imageMouseDoubleClick(QPointF) {}
  virtual void imageMouseDrag(QPointF) {}
  virtual bool respondsToImageMouseMove() const { return false; }
  virtual void imageMouseMove(QPointF) {}
  // amount: magnification gathered since the last delivery (0.1 = 10 %
  // larger); start: first delivery of a gesture.
  virtual void imageMouseMagnify(QPointF, double /*amount*/, bool /*start*/) {}
  // degrees gathered since the last delivery.
  virtual void imageMouseRotate(QPointF, double /*degrees*/, bool /*start*/) {}
  // A context menu asked for (right click, menu key) at the point; the
  // global position is where the menu opens.
  virtual void imageMenuRequested(QPointF, QPoint /*globalPos*/) {}
};

// What a window that takes file drops answers; its controller does the work.
class NSDraggingDestination {
public:
  virtual ~NSDraggingDestination() = default;
  virtual Qt::DropActions draggingEntered(const QMimeData*) { return Qt::IgnoreAction; }
  virtual void draggingExited() {}
  virtual bool prepareForDragOperation(const QMimeData*) { return false; }
  virtual bool performDragOperation(const QMimeData*) { return false; }
};
// A window registers itself (through its controller) for file drops; null
// takes the registration away. The registration ends with the window.
void RegisterDraggingDestination(QWidget* window, NSDraggingDestination* destination);
NSDraggingDestination* DraggingDestinationOf(QWidget* window);
// A file drop only ever takes copies of the paths, so the source is told
// copy, else link, never move: a source told "move" may delete its file.
// A source that offers move alone is told no action (Qt lets a target
// answer only what the source offers, or nothing), yet its drop is taken:
// the program reads the file where it lies and the source keeps it.
Qt::DropAction FileDropAnswer(Qt::DropActions offered);
// Every event of a drag (entering, moving, the drop) gets that answer, as
// accepted when taken; a drop not taken is refused.
void AnswerFileDrag(QDropEvent* event, bool taken);

class NSImageViewCustom : public QWidget {
  Q_OBJECT
public:
  explicit NSImageViewCustom(QWidget* parent = nullptr);
  ~NSImageViewCustom() override;

  // The engine's handle of this view (platform/graphics/bitmap_view.h);
  // registered for the whole life of the view.
  void* viewHandle() { return this; }

  void setDelegate(NSImageViewCustomDelegate* delegate) { delegate_ = delegate; }
  NSImageViewCustomDelegate* delegate() const { return delegate_; }
  void setOwnerWindow(QWidget* window) { OwnerWindow = window; }
  // The owner window, found on first use: the top-level window holding the
  // view; null when the view is in no window.
  QWidget* GetOwner();

  // The picture shown, drawn scaled down (never up) to fit and centred.
  void setImage(const QImage& image);
  const QImage& image() const { return image_; }
  // A rectangle outlined over the picture (in the picture's pixels) until
  // it is cleared: the selection of an object being moved.
  void setSelectionRect(const QRect& rect);
  void clearSelectionRect() { setSelectionRect(QRect()); }
  const QRect& selectionRect() const { return selectionRect_; }
  // Pictures handed over by the engine since the view was made.
  int framesReceived() const { return framesReceived_; }

  double GestureInterval = 0.05;
  double MagnifyAmount = 0;
  QPointF MagnifyLastPoint{-1, -1};
  double MagnifyLastEventTime = 0;
  double MagnifyLastDelegateTime = 0;
  double RotateDegrees = 0;
  QPointF RotateLastPoint{-1, -1};
  double RotateLastEventTime = 0;
  double RotateLastDelegateTime = 0;

  // The gesture steps with the event's time stamp in seconds (tests drive
  // these directly; the event handlers call them).
  void magnifyWithEvent(QPointF point, double magnification, double eventTime);
  void rotateWithEvent(QPointF point, double degrees, double eventTime);

signals:
  // A picture from the engine has been set (after the repaint was asked).
  void imageReceived();

protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  struct GestureTrack {
    double* amount;
    QPointF* lastPoint;
    double* lastEventTime;
    double* lastDelegateTime;
  };
  // True when the gathered amount is to be delivered now; start is set for
  // the first event of a gesture.
  bool gestureStep(const GestureTrack& track, QPointF point, double value, double eventTime, bool& start);
  void pressed(QMouseEvent* event, int clickCount);
  void nativeGesture(QNativeGestureEvent* event);
  void pinchGesture(QGestureEvent* event);
  NSDraggingDestination* destination();

  QPointer<QWidget> OwnerWindow;
  NSImageViewCustomDelegate* delegate_ = nullptr;
  QImage image_;
  QRect selectionRect_;
  int framesReceived_ = 0;
  int clickCount_ = 0;
  quint64 lastPressTime_ = 0;
  double pinchLastRotation_ = 0;
  double gestureNow_ = 0; // host time of the gesture event being handled
};
