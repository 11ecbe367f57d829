#pragma once
// The timeline window with the launched program: opened from the main
// window's Timeline command, its chart clicked where a time and a row are
// drawn, and the segment editor played through the modal hook.
#include <QApplication>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <cmath>

#include "model/project.h"
#include "model/timeline.h"
#include "render/preview/timeline_view.h"
#include "ui/dispobj/kind_panel_fixture.h"
#include "ui/input/wcTimeline.h"
#include "ui/input/wcTimelineEdit.h"
#include "ui/util/ui_utils.h"

class TimelineTest : public KindPanelTest {
protected:
  static constexpr uint32_t kFirst = 0xFFFFFFFF;

  wcTimeline* Timeline() const { return app->windows().wndTimeline(); }
  wcTimelineEdit* SegmentEditor() const { return app->windows().wndTimelineEdit(); }
  QAction* ToolbarButton(const char* name) {
    return main->mainWindow()->findChild<QToolBar*>("CommandsToolBar")->findChild<QAction*>(name);
  }
  // The user presses Timeline; waits for the window and its first chart.
  wcTimeline* OpenTimeline() {
    ToolbarButton("TimelineButton")->trigger();
    wcTimeline* timeline = Timeline();
    EXPECT_TRUE(SpinUntil([timeline]() { return timeline->window()->isVisible(); }));
    EXPECT_TRUE(SpinUntil([timeline]() { return timeline->TimelineImage->framesReceived() > 0; }));
    return timeline;
  }
  QPushButton* Button(const char* name) const { return Timeline()->window()->findChild<QPushButton*>(name); }
  // The view point (from the top left) of a time on a chart row (0 the top
  // row shown; -1 the ruler).
  QPoint PointAt(double time, int row) const {
    const wcTimeline* t = Timeline();
    const double perPixel = kTimelineSpanSeconds / t->TimelineZoom() / t->TimelineImage->width();
    const int x = static_cast<int>(std::lround((time - t->TimelineTime()) / perPixel));
    const int y = row < 0 ? kTimelineRulerHeight / 2 : kTimelineRulerHeight + row * kTimelineRowHeight + 11;
    return {x, y};
  }
  double SecondsPerPixel() const {
    return kTimelineSpanSeconds / Timeline()->TimelineZoom() / Timeline()->TimelineImage->width();
  }
  void ClickAt(double time, int row) { QTest::mouseClick(Timeline()->TimelineImage, Qt::LeftButton, {}, PointAt(time, row)); }
  // A double click as the window system delivers it: press, release, then
  // a second press reported as a double click, and its release.
  void DoubleClickAt(double time, int row) {
    NSImageViewCustom* view = Timeline()->TimelineImage;
    const QPointF at = PointAt(time, row);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease}) {
      const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
      QMouseEvent event(type, at, view->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
      QApplication::sendEvent(view, &event);
    }
  }
  // Waits until the chart shows the colour at the point.
  bool ChartShows(QPoint point, QRgb colour) {
    NSImageViewCustom* view = Timeline()->TimelineImage;
    return SpinUntil(
        [view, point, colour]() {
          const QImage& image = view->image();
          return image.valid(point) && (image.pixel(point) & 0xFFFFFF) == (colour & 0xFFFFFF);
        });
  }
  // Plays the user in the segment editor during its modal run.
  void OnSegmentEditor(std::function<void(wcTimelineEdit*)> play) {
    onModal = [play](WindowController* w) {
      w->showWindow();
      play(static_cast<wcTimelineEdit*>(w));
      return 0;
    };
  }
};
