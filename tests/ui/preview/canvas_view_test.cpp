// The canvas view on its own: the order of its mouse messages, the gesture
// throttle against both clocks, mouse-moved messages only for a delegate
// that takes them, drags without an owner, and pictures handed over by the
// engine from the GUI thread and from a worker.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QUrl>
#include <string>
#include <thread>
#include <vector>

#include "platform/graphics/bitmap_view.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/seams/media_clock.h"

namespace {

struct Recorder : NSImageViewCustomDelegate {
  std::vector<std::string> log;
  std::vector<double> amounts;
  std::vector<bool> starts;
  bool takesMoves = false;
  void imageMouseDown(QPointF) override { log.push_back("down"); }
  void imageMouseUp(QPointF) override { log.push_back("up"); }
  void imageMouseClick(QPointF) override { log.push_back("click"); }
  void imageMouseDoubleClick(QPointF) override { log.push_back("double"); }
  void imageMouseDrag(QPointF p) override { log.push_back("drag " + std::to_string(int(p.x()))); }
  bool respondsToImageMouseMove() const override { return takesMoves; }
  void imageMouseMove(QPointF) override { log.push_back("move"); }
  void imageMouseMagnify(QPointF, double amount, bool start) override {
    log.push_back("magnify");
    amounts.push_back(amount);
    starts.push_back(start);
  }
  void imageMouseRotate(QPointF, double degrees, bool start) override {
    log.push_back("rotate");
    amounts.push_back(degrees);
    starts.push_back(start);
  }
};

class CanvasViewTest : public ::testing::Test {
protected:
  void SetUp() override {
    MediaClockInstall([this]() { return now; });
    view.resize(200, 100);
    view.setDelegate(&recorder);
  }
  void TearDown() override { MediaClockInstall(nullptr); }

  void mouse(QEvent::Type type, QPointF at, quint64 ms, Qt::MouseButtons held) {
    QMouseEvent event(type, at, view.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      held, Qt::NoModifier);
    event.setTimestamp(ms);
    QApplication::sendEvent(&view, &event);
  }

  double now = 100.0;
  NSImageViewCustom view;
  Recorder recorder;
};

TEST_F(CanvasViewTest, DoubleClickDeliversDownUpClickThenDownUpDoubleClick) {
  mouse(QEvent::MouseButtonPress, {10, 10}, 1000, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, {10, 10}, 1050, Qt::NoButton);
  mouse(QEvent::MouseButtonDblClick, {10, 10}, 1150, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, {10, 10}, 1200, Qt::NoButton);
  EXPECT_EQ(recorder.log, (std::vector<std::string>{"down", "up", "click", "down", "up", "double"}));

  // A third quick click counts 3: only the release is told.
  recorder.log.clear();
  mouse(QEvent::MouseButtonPress, {10, 10}, 1250, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, {10, 10}, 1300, Qt::NoButton);
  EXPECT_EQ(recorder.log, (std::vector<std::string>{"down", "up"}));

  // Much later it is a single click again.
  recorder.log.clear();
  mouse(QEvent::MouseButtonPress, {10, 10}, 9000, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, {10, 10}, 9050, Qt::NoButton);
  EXPECT_EQ(recorder.log, (std::vector<std::string>{"down", "up", "click"}));
}

TEST_F(CanvasViewTest, DragsAlwaysMovesOnlyForADelegateThatTakesThem) {
  mouse(QEvent::MouseButtonPress, {10, 10}, 1000, Qt::LeftButton);
  mouse(QEvent::MouseMove, {30, 10}, 1010, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, {30, 10}, 1020, Qt::NoButton);
  mouse(QEvent::MouseMove, {40, 10}, 1030, Qt::NoButton);
  EXPECT_EQ(recorder.log, (std::vector<std::string>{"down", "drag 30", "up", "click"}));

  recorder.log.clear();
  recorder.takesMoves = true;
  // Moves without a button are followed from the moment the pointer enters.
  QEnterEvent enter(QPointF(40, 10), QPointF(40, 10), view.mapToGlobal(QPointF(40, 10)));
  QApplication::sendEvent(&view, &enter);
  EXPECT_TRUE(view.hasMouseTracking());
  mouse(QEvent::MouseMove, {40, 10}, 1040, Qt::NoButton);
  mouse(QEvent::MouseMove, {400, 10}, 1050, Qt::NoButton); // outside the view
  EXPECT_EQ(recorder.log, (std::vector<std::string>{"move"}));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&view, &leave);
  EXPECT_FALSE(view.hasMouseTracking());
}

TEST_F(CanvasViewTest, PinchIsDeliveredAtOnceThenAtMostOncePerInterval) {
  // Twenty events of 0.01 within 0.05 s after the start.
  for (int i = 0; i < 20; ++i) {
    now = 100.0 + i * 0.002;
    view.magnifyWithEvent({50.4, 20.2}, 0.01, 10.0 + i * 0.002);
  }
  ASSERT_EQ(recorder.amounts.size(), 1u);
  EXPECT_TRUE(recorder.starts[0]);
  EXPECT_DOUBLE_EQ(recorder.amounts[0], 0.01);

  // The interval has passed on the event clock but not on the host clock.
  now = 100.04;
  view.magnifyWithEvent({50.9, 20.7}, 0.0, 10.2);
  EXPECT_EQ(recorder.amounts.size(), 1u);
  // Now on both: the gathered 0.19 arrives, not as a start.
  now = 100.2;
  view.magnifyWithEvent({50.9, 20.7}, 0.0, 10.3);
  ASSERT_EQ(recorder.amounts.size(), 2u);
  EXPECT_FALSE(recorder.starts[1]);
  EXPECT_NEAR(recorder.amounts[1], 0.19, 1e-9);

  // A whole unit of movement starts a new pinch and drops what gathered.
  view.magnifyWithEvent({50.9, 20.7}, 0.05, 10.31);
  view.magnifyWithEvent({51.0, 20.7}, 0.02, 10.32);
  ASSERT_EQ(recorder.amounts.size(), 3u);
  EXPECT_TRUE(recorder.starts[2]);
  EXPECT_DOUBLE_EQ(recorder.amounts[2], 0.02);
}

TEST_F(CanvasViewTest, TouchpadGesturesReachTheDelegateThroughTheirEvents) {
  const QPointingDevice* pad = QPointingDevice::primaryPointingDevice();
  QNativeGestureEvent zoom(Qt::ZoomNativeGesture, pad, 2, QPointF(30, 30), QPointF(30, 30), QPointF(30, 30), 0.25,
                           QPointF());
  zoom.setTimestamp(5000);
  QApplication::sendEvent(&view, &zoom);
  QNativeGestureEvent turn(Qt::RotateNativeGesture, pad, 2, QPointF(30, 30), QPointF(30, 30), QPointF(30, 30), 15.0,
                           QPointF());
  turn.setTimestamp(5001);
  QApplication::sendEvent(&view, &turn);
  EXPECT_EQ(recorder.log, (std::vector<std::string>{"magnify", "rotate"}));
  EXPECT_EQ(recorder.amounts, (std::vector<double>{0.25, 15.0}));
  EXPECT_EQ(recorder.starts, (std::vector<bool>{true, true}));
}

TEST_F(CanvasViewTest, WithoutADelegateEventsAreSwallowedAndGesturesStillGather) {
  view.setDelegate(nullptr);
  mouse(QEvent::MouseButtonPress, {10, 10}, 1000, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, {10, 10}, 1010, Qt::NoButton);
  view.magnifyWithEvent({5, 5}, 0.3, 20.0);
  EXPECT_EQ(view.MagnifyAmount, 0.0); // a start is delivered (to nobody) and reset
  EXPECT_EQ(view.MagnifyLastPoint, QPointF(5, 5));
  view.magnifyWithEvent({5, 5}, 0.2, 20.01);
  EXPECT_DOUBLE_EQ(view.MagnifyAmount, 0.2);
  EXPECT_TRUE(recorder.log.empty());
}

TEST_F(CanvasViewTest, AViewInNoWindowRefusesFileDrags) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile("/tmp/clip.mp4")});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&view, &enter);
  EXPECT_EQ(view.GetOwner(), nullptr);
  EXPECT_FALSE(enter.isAccepted());
}

TEST_F(CanvasViewTest, PicturesFromTheEngineArriveAsCopiesFromAnyThread) {
  // Bottom row blue, green; top row red, white (memory B, G, R, A).
  const uint32_t source[4] = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF};
  std::vector<uint32_t> display(4);
  BitmapFlipToRGBA(source, display.data(), 2, 2);
  ViewSetBitmap(display.data(), 2, 2, view.viewHandle());
  display.assign(4, 0); // the view keeps its own copy
  ASSERT_EQ(view.framesReceived(), 1);
  EXPECT_EQ(view.image().pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(view.image().pixel(1, 0), qRgb(255, 255, 255));
  EXPECT_EQ(view.image().pixel(0, 1), qRgb(0, 0, 255));
  EXPECT_EQ(view.image().pixel(1, 1), qRgb(0, 255, 0));

  // From a worker the hand-over waits for the GUI thread, which serves it.
  BitmapFlipToRGBA(source, display.data(), 2, 2);
  std::atomic<bool> done{false};
  std::thread worker([&]() {
    ViewSetBitmap(display.data(), 2, 2, view.viewHandle());
    done = true;
  });
  while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  worker.join();
  EXPECT_EQ(view.framesReceived(), 2);
  EXPECT_EQ(view.image().pixel(1, 1), qRgb(0, 255, 0));

  // The main preview's pictures come top-down in the painter's own order
  // and are taken as they are, whatever their unused byte holds.
  const uint32_t painterOrder[4] = {0x00FF0000, 0x12FFFFFF, 0xFF0000FF, 0x0000FF00};
  ViewPostImage(ViewImageCopy(painterOrder, 2, 2, nullptr, true), view.viewHandle());
  ASSERT_EQ(view.framesReceived(), 3);
  EXPECT_EQ(view.image().format(), QImage::Format_RGB32);
  EXPECT_EQ(view.image().pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(view.image().pixel(1, 0), qRgb(255, 255, 255));
  EXPECT_EQ(view.image().pixel(0, 1), qRgb(0, 0, 255));
  EXPECT_EQ(view.image().pixel(1, 1), qRgb(0, 255, 0));
}

} // namespace
