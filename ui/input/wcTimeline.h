#pragma once
// The timeline window: every display object without a group parent as one
// row of a time chart that the engine draws (a ruler on top, a row per
// object with its segments), scrolled and zoomed here; a click selects an
// object's segment and seeks the preview there, a double click opens the
// object's properties, and the segment commands add, edit, shift and remove
// segments. Not modal.
#include <QPointF>
#include <cstdint>

#include "ui/controls/NSImageViewCustom.h"
#include "ui/shell/WindowController.h"

class QPushButton;
class RealSlider;
class wcMain;

class wcTimeline : public WindowController, public NSImageViewCustomDelegate {
  Q_OBJECT
public:
  static constexpr uint32_t kNone = 0xFFFFFFFF;
  // The span across the chart stays within these (a tenth of a second up
  // to the longest project), however often the user zooms.
  static constexpr double kShortestSpan = 0.1;
  static constexpr double kLongestSpan = 356400;

private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcTimeline();

public:
  ~wcTimeline() override;

  // Prepares the window for showing: fresh chart, no selection, the whole
  // project across the chart, first row at the top.
  void SetData();
  void ClearSelection();
  // Follows a change of the project (sent after every preview repaint).
  void RefreshView();
  void UpdateTimeScrollbar();

  float TimelineTime() const { return state_.TimelineTime; }
  uint32_t TimelineY() const { return state_.TimelineY; }
  float TimelineZoom() const { return state_.TimelineZoom; }
  uint32_t SelectedDispObjID() const { return state_.SelectedDispObjID; }
  uint32_t SelectedSegmentID() const { return state_.SelectedSegmentID; }

  // Image-view delegate (points from the top left of the chart).
  void imageMouseDown(QPointF point) override;
  void imageMouseDoubleClick(QPointF point) override;

  // Outlets.
  NSImageViewCustom* TimelineImage = nullptr;
  RealSlider* TimelineTimeSlider = nullptr;
  RealSlider* TimelineYSlider = nullptr;

public slots:
  void TimelineTimeSlider_Changed();
  void TimelineYSlider_Changed();
  void ZoomIn_Pressed();
  void ZoomOut_Pressed();
  void ZoomReset_Pressed();
  void ProjectLength_Pressed();
  void SegmentAdd_Pressed();
  void SegmentEdit_Pressed();
  void SegmentShift_Pressed();
  void SegmentRemove_Pressed();

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  struct State {
    float TimelineTime = 0;
    uint32_t TimelineY = 1;
    float TimelineZoom = 1.0f;
    uint32_t SelectedDispObjID = kNone;
    uint32_t SelectedSegmentID = kNone;
    // The chart's size in pixels as the engine was last given it.
    int chartWidth = 0;
    int chartHeight = 0;
    // A click is selecting: the list update it causes must not undo it.
    bool selecting = false;
    bool resizeQueued = false;
  };
  QWidget* makeCommandRow(QWidget* parent);
  void windowDidResize();
  void keepOnScreen();
  void setPosition();
  void setZoom(double zoom);
  void showSelection();
  // The row slider's lowest value for the rows there are.
  int rowSliderMinimum() const;
  // No object selected: the warning, and true.
  bool refuseWithoutObject(const wchar_t* message);
  // The question before removing the whole object, naming its members.
  std::wstring removeObjectQuestion(uint32_t object) const;
  static wcMain* main();

  State state_;
};
