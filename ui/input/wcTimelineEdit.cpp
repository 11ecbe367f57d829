#include "ui/input/wcTimelineEdit.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "base/error.h"
#include "base/message_box.h"
#include "base/util.h"
#include "model/dispobjs.h"
#include "model/project.h"
#include "model/timeline.h"
#include "ui/controls/dialog_buttons.h"
#include "ui/controls/text_field.h"
#include "ui/util/ui_utils.h"

namespace {

// The shortest segment: a pushed segment starts this much after the one
// before it, and a start this close to the segment after next leaves no
// room for a length (twice the step).
constexpr float kStep = 0.01f;

struct MaskBox {
  uint32_t bit;
  const char* name;
  const char* title;
};
const MaskBox kBoxes[wcTimelineEdit::kMaskBoxes] = {
    {kSegStyle, "StyleCheck", "Style"},
    {kSegPosition, "XyCheck", "Position"},
    {kSegSize, "SizeCheck", "Size"},
    {kSegActive, "ActiveCheck", "Shown (active)"},
    {kSegInput, "InputCheck", "Input"},
    {kSegKeepRatio, "RatioCheck", "Keep aspect ratio"},
    {kSegTransparency, "TransCheck", "Transparency"},
    {kSegMirroring, "MirrorCheck", "Mirroring"},
    {kSegColorChans, "ChansCheck", "Colour channels"},
    {kSegAudioVolume, "VolCheck", "Sound volume"},
    {kSegAudioBalance, "BalCheck", "Sound balance"},
    {kSegParam, "ParamCheck", "Display settings"},
    {kSegBitmap, "BitmapCheck", "Background image"},
};

QString timeText(double seconds) { return FormatTimeNSString(2, 0, seconds); }

float readTime(const TextField* field) { return TimeTextToSeconds(NSStringToWStr(field->text()).c_str()); }

QLabel* valueLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setMinimumWidth(90);
  return label;
}

} // namespace

wcTimelineEdit::wcTimelineEdit() : WindowController("wcTimelineEdit", kOpenCentred) {}

const std::array<uint32_t, wcTimelineEdit::kMaskBoxes>& wcTimelineEdit::MaskBits() {
  static const std::array<uint32_t, kMaskBoxes> bits = [] {
    std::array<uint32_t, kMaskBoxes> b{};
    for (int i = 0; i < kMaskBoxes; ++i) b[i] = kBoxes[i].bit;
    return b;
  }();
  return bits;
}

QWidget* wcTimelineEdit::makeWindow() {
  QDialog* dialog = makeDialog("Timeline Segment");
  auto* layout = new QVBoxLayout(dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  ObjectInfoLabel = new QLabel(dialog);
  ObjectInfoLabel->setObjectName("ObjectInfoLabel");
  layout->addWidget(ObjectInfoLabel);

  auto* times = new QGroupBox("Segments", dialog);
  auto* grid = new QGridLayout(times);
  grid->addWidget(new QLabel("<b>Start</b>", times), 0, 1);
  grid->addWidget(new QLabel("<b>Length</b>", times), 0, 2);
  grid->addWidget(new QLabel("Previous segment:", times), 1, 0);
  PrevTimeLabel = valueLabel("PrevTimeLabel", times);
  PrevLengthLabel = valueLabel("PrevLengthLabel", times);
  grid->addWidget(PrevTimeLabel, 1, 1);
  grid->addWidget(PrevLengthLabel, 1, 2);
  grid->addWidget(new QLabel("This segment:", times), 2, 0);
  SegmentTimeText = new TextField(times);
  SegmentTimeText->setObjectName("SegmentTimeText");
  SegmentLengthText = new TextField(times);
  SegmentLengthText->setObjectName("SegmentLengthText");
  grid->addWidget(SegmentTimeText, 2, 1);
  grid->addWidget(SegmentLengthText, 2, 2);
  grid->addWidget(new QLabel("Next segment:", times), 3, 0);
  NextTimeLabel = valueLabel("NextTimeLabel", times);
  NextLengthLabel = valueLabel("NextLengthLabel", times);
  grid->addWidget(NextTimeLabel, 3, 1);
  grid->addWidget(NextLengthLabel, 3, 2);
  layout->addWidget(times);
  layout->addWidget(makeMaskBox(dialog));

  const DialogButtons buttons = AddOkCancelRow(layout, dialog);
  connect(buttons.ok, &QPushButton::clicked, this, &wcTimelineEdit::OkButton_Pressed);
  connect(buttons.cancel, &QPushButton::clicked, this, &wcTimelineEdit::CancelButton_Pressed);
  connect(SegmentTimeText, &TextField::changed, this, &wcTimelineEdit::SegmentTimeText_Changed);
  connect(SegmentLengthText, &TextField::changed, this, &wcTimelineEdit::SegmentLengthText_Changed);
  return dialog;
}

QWidget* wcTimelineEdit::makeMaskBox(QWidget* parent) {
  auto* box = new QGroupBox("This segment changes", parent);
  box->setObjectName("MaskBox");
  auto* grid = new QGridLayout(box);
  constexpr int kRows = 5;
  for (int i = 0; i < kMaskBoxes; ++i) {
    MaskChecks[i] = new QCheckBox(kBoxes[i].title, box);
    MaskChecks[i]->setObjectName(kBoxes[i].name);
    grid->addWidget(MaskChecks[i], i % kRows, i / kRows);
  }
  return box;
}

bool wcTimelineEdit::SetData(int object, int segment) {
  window();
  State& s = state_;
  s.Success = s.TimeChanged = s.ChangedOrder = false;
  s.SelectedDispObjID = static_cast<uint32_t>(object);
  s.SelectedSegmentID = segment < 0 ? kFirstSegment : static_cast<uint32_t>(segment);
  const uint32_t o = s.SelectedDispObjID;
  const char16_t* name = DispObjGetName(o);
  if (name == nullptr) {
    ErrorShowLast();
    return false;
  }
  ObjectInfoLabel->setText(
      QString("Object: %1\nType: %2").arg(W16ToNSString(name), DispObjTypeName(DispObjGetType(o))));
  const bool first = s.SelectedSegmentID == kFirstSegment;
  if (first) {
    s.PrevSegmentTime = 0;
    s.PrevSegmentIndex = kFirstSegment;
    PrevTimeLabel->setText("N/A");
  } else {
    s.PrevSegmentIndex = s.SelectedSegmentID - 1; // segment 0 follows the first segment
    s.PrevSegmentTime = TimelineDispObjGetStart(o, s.PrevSegmentIndex);
    PrevTimeLabel->setText(timeText(s.PrevSegmentTime));
  }
  const uint32_t count = TimelineDispObjGetCount(o);
  const uint32_t next = first ? 0 : s.SelectedSegmentID + 1;
  const float length = ProjectGetLength(0);
  if (next < count) {
    s.NextSegmentIndex = next;
    s.NextSegmentTime = TimelineDispObjGetStart(o, next);
    NextTimeLabel->setText(timeText(s.NextSegmentTime));
  } else {
    s.NextSegmentIndex = kNone;
    s.NextSegmentTime = length;
    NextTimeLabel->setText("End");
  }
  if (s.NextSegmentIndex != kNone && s.NextSegmentIndex + 1 < count) {
    s.NextNextSegmentIndex = s.NextSegmentIndex + 1;
    s.NextNextSegmentTime = TimelineDispObjGetStart(o, s.NextNextSegmentIndex);
  } else {
    s.NextNextSegmentIndex = kNone;
    s.NextNextSegmentTime = length;
    NextLengthLabel->setText("");
  }
  SegmentTimeText->setText(timeText(TimelineDispObjGetStart(o, s.SelectedSegmentID)));
  // The first segment is the object's whole base record: it changes all.
  const uint32_t mask = first ? 0xFFFFFFFF : TimelineDispObjGetChanged(o, s.SelectedSegmentID);
  for (int i = 0; i < kMaskBoxes; ++i) {
    MaskChecks[i]->setEnabled(!first);
    MaskChecks[i]->setChecked((mask & kBoxes[i].bit) != 0);
  }
  UpdateLengths(0);
  return true;
}

float wcTimelineEdit::typedStart() const { return std::max(0.0f, readTime(SegmentTimeText)); }

void wcTimelineEdit::UpdateLengths(uint32_t mode) {
  State& s = state_;
  const float t = typedStart();
  const bool first = s.SelectedSegmentID == kFirstSegment;
  const bool hasNext = s.NextSegmentIndex != kNone;
  const bool locked = (!first && s.PrevSegmentTime >= t) || t + 2 * kStep >= s.NextNextSegmentTime;
  PrevLengthLabel->setText(!locked && !first ? timeText(t - s.PrevSegmentTime) : QString());
  if (mode == 99) mode = SegmentLengthText->text() == timeText(s.NextSegmentTime - t) ? 1 : 2;
  if (mode == 2) s.NextSegmentTime = t + std::max(kStep, readTime(SegmentLengthText));
  if (t + kStep >= s.NextSegmentTime) s.NextSegmentTime = t + kStep;
  if (s.NextSegmentTime + kStep >= s.NextNextSegmentTime) s.NextSegmentTime = s.NextNextSegmentTime - kStep;
  if (!locked && hasNext) {
    SegmentLengthText->setText(timeText(s.NextSegmentTime - t));
    SegmentLengthText->setEnabled(true);
    NextTimeLabel->setText(timeText(s.NextSegmentTime));
    NextLengthLabel->setText(s.NextNextSegmentIndex != kNone ? timeText(s.NextNextSegmentTime - s.NextSegmentTime)
                                                             : QString("End"));
  } else {
    SegmentLengthText->setText(QString());
    SegmentLengthText->setEnabled(false);
    NextTimeLabel->setText(hasNext ? QString() : QString("End"));
    NextLengthLabel->setText(QString());
  }
}

void wcTimelineEdit::SegmentTimeText_Changed() {
  SegmentTimeText->setText(timeText(readTime(SegmentTimeText)));
  UpdateLengths(1);
}

void wcTimelineEdit::SegmentLengthText_Changed() {
  SegmentLengthText->setText(timeText(readTime(SegmentLengthText)));
  UpdateLengths(2);
}

uint32_t wcTimelineEdit::segmentStartingAt(float time) const {
  const uint32_t o = state_.SelectedDispObjID;
  const uint32_t count = TimelineDispObjGetCount(o);
  for (uint32_t i = 0; i < count; ++i)
    if (TimelineDispObjGetStart(o, i) == time) return i;
  return kNone;
}

bool wcTimelineEdit::writeStarts(float start, float storedStart) {
  State& s = state_;
  const uint32_t o = s.SelectedDispObjID;
  const bool first = s.SelectedSegmentID == kFirstSegment;
  const float nextFrom = s.NextSegmentIndex != kNone ? TimelineDispObjGetStart(o, s.NextSegmentIndex) : 0;
  // After a confirmed change of order the edited segment has left its
  // neighbour behind: that one keeps its start.
  const bool moveNext = s.NextSegmentIndex != kNone && !s.ChangedOrder && s.NextSegmentTime != nextFrom;
  // Each segment is found again by its start, since a move re-sorts them.
  bool editedMoved = false;
  auto moveEdited = [&]() {
    if (!s.TimeChanged) return true;
    const uint32_t index = first ? kFirstSegment : segmentStartingAt(storedStart);
    editedMoved = TimelineDispObjSetStart(o, index, start) == 0;
    return editedMoved;
  };
  bool nextMoved = false;
  auto moveNextSegment = [&]() {
    if (!moveNext) return true;
    nextMoved = TimelineDispObjSetStart(o, segmentStartingAt(nextFrom), s.NextSegmentTime) == 0;
    return nextMoved;
  };
  // The segment moving towards the other goes second, so that neither
  // passes the other on the way.
  const bool nextGoesFirst = moveNext && s.NextSegmentTime > nextFrom;
  const bool written = nextGoesFirst ? moveNextSegment() && moveEdited() : moveEdited() && moveNextSegment();
  if (written) return true;
  ErrorShowLast();
  if (editedMoved || nextMoved) {
    const uint32_t now = first ? kFirstSegment : segmentStartingAt(editedMoved ? start : storedStart);
    SetData(static_cast<int>(o), static_cast<int>(now));
  }
  return false;
}

void wcTimelineEdit::OkButton_Pressed() {
  State& s = state_;
  UpdateLengths(99);
  const float t = typedStart();
  s.TimeChanged = s.ChangedOrder = false;
  const uint32_t o = s.SelectedDispObjID;
  const bool first = s.SelectedSegmentID == kFirstSegment;
  const float stored = TimelineDispObjGetStart(o, s.SelectedSegmentID);
  if (t != stored) {
    s.TimeChanged = true;
    if (s.NextSegmentIndex != kNone && t >= s.NextSegmentTime) {
      if (first) {
        AppMessageBox(L"The time you entered is after the start of the next segment. You cannot change the order "
                      L"of the first segment.",
                      48);
        return;
      }
      if (AppMessageBox(L"The time you entered is after the start of the next segment and would change the order "
                        L"of the segments. Are you sure you want to do this?",
                        36) != kMbYes)
        return;
      s.ChangedOrder = true;
    } else if (!first && s.PrevSegmentTime >= t) {
      if (s.SelectedSegmentID == 0) {
        AppMessageBox(L"The time you entered is before the start of the first segment. You cannot change the "
                      L"order of the first segment.",
                      48);
        return;
      }
      if (AppMessageBox(L"The time you entered is before the start of the previous segment and would change the "
                        L"order of the segments. Are you sure you want to do this?",
                        36) != kMbYes)
        return;
      s.ChangedOrder = true;
    }
  }
  if (!writeStarts(t, stored)) return;
  if (!first) {
    uint32_t mask = 0;
    for (int i = 0; i < kMaskBoxes; ++i)
      if (MaskChecks[i]->isChecked()) mask |= kBoxes[i].bit;
    const uint32_t edited = segmentStartingAt(t);
    if (TimelineDispObjSetMask(o, edited, mask) != 0) {
      ErrorShowLast();
      SetData(static_cast<int>(o), static_cast<int>(edited));
      return;
    }
  }
  s.Success = true;
  close();
}

void wcTimelineEdit::CancelButton_Pressed() { close(); }

void wcTimelineEdit::windowDidOpen() {
  state_.Success = false;
}
