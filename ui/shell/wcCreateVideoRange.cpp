// The output settings dialog: the part of the project to render, as a time
// span or as a span of laps of the first data input that has laps.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>

#include "base/error.h"
#include "base/message_box.h"
#include "base/util.h"
#include "model/input_records.h"
#include "model/inputs.h"
#include "model/project.h"
#include "media/datalog/datalog_queries.h"
#include "media/datalog/query.h"
#include "render/loop/output_render.h"
#include "ui/shell/wcCreateVideo.h"
#include "ui/util/ui_utils.h"

namespace {

// Seconds of run-up before the first lap and after the last.
constexpr float kLapMargin = 8.0f;

// "Lap 3: 00:01:02.50" gives 3; an empty text -1.
int lapNumberOf(const QString& item) {
  if (item.isEmpty()) return -1;
  const QString rest = item.mid(4);
  int digits = 0;
  while (digits < rest.size() && rest[digits].isDigit()) ++digits;
  return rest.left(digits).toInt();
}

float lapStart(uint32_t input, int lap) {
  if (lap <= 0) return 0.0f;
  return static_cast<float>(InputHandlerGetDataTypeValue(input, 1, kQueryLapStart, static_cast<float>(lap)));
}

QString timeText(float seconds) { return FormatTimeNSString(2, 0, seconds); }

// Rewrites the text in its normal form, limited to the project's length.
void normaliseTimeText(QLineEdit* text, float length) {
  const std::wstring wide = NSStringToWStr(text->text());
  if (TimeTextToSeconds(wide.c_str()) > length) {
    text->setText(WStrToNSString(SecondsToTimeText(length)));
  } else {
    text->setText(WStrToNSString(TimeTextNormalize(wide.c_str())));
  }
}

float secondsOf(const QLineEdit* text) { return TimeTextToSeconds(NSStringToWStr(text->text()).c_str()); }

} // namespace

void wcCreateVideo::fillLapList() {
  for (QComboBox* box : {RenderFirstLapSelection, RenderLastLapSelection}) box->clear();
  laps_ = Laps();
  const uint32_t count = InputCount();
  for (uint32_t i = 0; i < count && laps_.LapInputID == kNoInput; ++i) {
    if (InputGetType(i) != kInputData) continue;
    const int lapCount = static_cast<int>(InputHandlerGetDataTypeValue(i, 1, kQueryLapCount, 0.0f));
    if (lapCount < 2) continue;
    laps_.LapInputID = i;
    laps_.LapCount = lapCount;
  }
  if (laps_.LapInputID == kNoInput) return;
  QStringList items;
  for (int lap = 0; lap < laps_.LapCount; ++lap) {
    const float time = lapStart(laps_.LapInputID, lap + 1) - lapStart(laps_.LapInputID, lap);
    items << QString("Lap %1: %2").arg(lap).arg(timeText(time));
  }
  items << QString("Lap %1: (incomplete)").arg(laps_.LapCount);
  for (QComboBox* box : {RenderFirstLapSelection, RenderLastLapSelection}) box->addItems(items);
}

// The lap's start on the project's time line, moved by the offset.
float wcCreateVideo::lapProjectTime(int lap, float offset) const {
  float time = lapStart(laps_.LapInputID, lap) + offset;
  if (const MainStruct* input = InputGetMain(laps_.LapInputID)) time = input->StartTime + (time - input->TrimStart);
  return time;
}

void wcCreateVideo::updateRenderRange() {
  const float length = ProjectGetLength(0);
  const bool lapsMode = RenderMatrix->checkedButton() == RenderLaps;
  if (lapsMode) {
    RenderStartCheck->setChecked(true);
    RenderEndCheck->setChecked(true);
    const int first = lapNumberOf(RenderFirstLapSelection->currentText());
    const int last = lapNumberOf(RenderLastLapSelection->currentText());
    float start = 0;
    if (first >= 0) start = std::max(0.0f, lapProjectTime(first, -kLapMargin));
    float end = length;
    if (last >= 0 && last < laps_.LapCount)
      end = std::clamp(lapProjectTime(std::max(first, last) + 1, kLapMargin), 0.0f, length);
    RenderStartText->setText(timeText(start));
    RenderEndText->setText(timeText(end));
  }
  for (QWidget* control : std::initializer_list<QWidget*>{RenderFirstLapLabel, RenderLastLapLabel,
                                                          RenderFirstLapSelection, RenderLastLapSelection})
    control->setEnabled(lapsMode);
  const bool partMode = RenderMatrix->checkedButton() == RenderPart;
  RenderStartText->setEnabled(partMode && RenderStartCheck->isChecked());
  RenderEndText->setEnabled(partMode && RenderEndCheck->isChecked());
  normaliseTimeText(RenderStartText, length);
  normaliseTimeText(RenderEndText, length);
}

bool wcCreateVideo::resolveRenderRange(RenderRange& range) {
  range = RenderRange{0.0f, kRenderToProjectEnd};
  // A project of no length would render without end: refused before the
  // file is even asked for.
  if (!(ProjectGetLength(0) > 0)) {
    AppMessageBox(ErrorGetText(kErrNothingToRender), 16);
    return false;
  }
  if (RenderMatrix->checkedButton() == RenderWhole) return true;
  if (RenderStartCheck->isChecked()) range.start = std::max(0.0f, secondsOf(RenderStartText));
  if (RenderEndCheck->isChecked()) range.end = std::max(0.0f, secondsOf(RenderEndText));
  if (range.start >= ProjectGetLength(0)) {
    AppMessageBox(L"The render start time must be less than the total project length. Please set valid "
                  L"times, or select the \"Render Entire Project\" option.",
                  16);
    return false;
  }
  if (range.start >= range.end) {
    AppMessageBox(L"The render start time cannot be at or after the render end time. Please set valid "
                  L"times, or select the \"Render Entire Project\" option.",
                  16);
    return false;
  }
  return true;
}
