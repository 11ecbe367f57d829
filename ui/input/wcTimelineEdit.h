#pragma once
// The timeline segment editor: one segment of a display object, its start,
// its length (which moves the start of the next segment) and the
// properties of the object it changes. Opened by the timeline window and
// by the property window's general panel, which take the undo checkpoint
// first and read Success, TimeChanged and ChangedOrder after the modal run.
// Segment 0xFFFFFFFF is the object's first segment (its own start and base
// record); 0 to n-1 follow in order of start.
#include <QString>
#include <array>
#include <cstdint>

#include "ui/shell/WindowController.h"

class QCheckBox;
class QLabel;
class TextField;

class wcTimelineEdit : public WindowController {
  Q_OBJECT
public:
  static constexpr uint32_t kFirstSegment = 0xFFFFFFFF;
  static constexpr uint32_t kNone = 0xFFFFFFFF;
  static constexpr int kMaskBoxes = 13;

private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcTimelineEdit();

public:
  // Loads the segment (-1 or 0xFFFFFFFF: the first); false, with the
  // engine's error shown, when the object is gone.
  bool SetData(int object, int segment);
  bool Success() const { return state_.Success; }
  bool TimeChanged() const { return state_.TimeChanged; }
  bool ChangedOrder() const { return state_.ChangedOrder; }
  // Mode 0 after loading, 1 after the start changed, 2 after the length
  // changed, 99 before OK.
  void UpdateLengths(uint32_t mode);
  // The change-mask bit of each check box, in box order.
  static const std::array<uint32_t, kMaskBoxes>& MaskBits();

  // Outlets.
  QLabel* ObjectInfoLabel = nullptr;
  QLabel* PrevTimeLabel = nullptr;
  QLabel* PrevLengthLabel = nullptr;
  TextField* SegmentTimeText = nullptr;
  TextField* SegmentLengthText = nullptr;
  QLabel* NextTimeLabel = nullptr;
  QLabel* NextLengthLabel = nullptr;
  // StyleCheck, XyCheck, SizeCheck, ActiveCheck, InputCheck, RatioCheck,
  // TransCheck, MirrorCheck, ChansCheck, VolCheck, BalCheck, ParamCheck,
  // BitmapCheck.
  std::array<QCheckBox*, kMaskBoxes> MaskChecks{};

public slots:
  void SegmentTimeText_Changed();
  void SegmentLengthText_Changed();
  void OkButton_Pressed();
  void CancelButton_Pressed();

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;

private:
  struct State {
    bool Success = false;
    bool TimeChanged = false;
    bool ChangedOrder = false;
    uint32_t SelectedDispObjID = kNone;
    uint32_t SelectedSegmentID = kFirstSegment;
    float PrevSegmentTime = 0;
    uint32_t PrevSegmentIndex = kFirstSegment;
    float NextSegmentTime = 0;
    uint32_t NextSegmentIndex = kNone;
    float NextNextSegmentTime = 0;
    uint32_t NextNextSegmentIndex = kNone;
  };
  QWidget* makeMaskBox(QWidget* parent);
  float typedStart() const;
  // The segment of the object that starts at the time; kNone when none.
  uint32_t segmentStartingAt(float time) const;
  // Writes the starts of the segment and of the one after it; false after
  // an engine failure (shown, the dialog reloaded when anything moved).
  bool writeStarts(float start, float storedStart);

  State state_;
};
