#include "ui/input/wcInputSync.h"

#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "base/message_box.h"
#include "io/files/undo.h"
#include "model/inputs.h"
#include "ui/controls/dialog_buttons.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/text_field.h"
#include "ui/input/sync_common.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"

using namespace sync_ui;

namespace {

constexpr double kSliderResolution = 0.01;

bool sameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

} // namespace

wcInputSync::wcInputSync() : WindowController("wcInputSync", kOpenAtMainBottom) {}

QWidget* wcInputSync::makeWindow() {
  QDialog* dialog = makeDialog("Quick Sync");
  dialog->setModal(false);
  dialog->setMinimumWidth(560);
  auto* layout = new QVBoxLayout(dialog);

  auto* inputRow = new QHBoxLayout();
  inputRow->addWidget(new QLabel("Input:", dialog));
  InputSelection = new QComboBox(dialog);
  InputSelection->setObjectName("InputSelection");
  InputSelection->setEditable(true);
  InputSelection->setInsertPolicy(QComboBox::NoInsert);
  inputRow->addWidget(InputSelection, 1);
  layout->addLayout(inputRow);

  auto* startBox = new QGroupBox("Start point inside the input (trim start)", dialog);
  auto* startLayout = new QVBoxLayout(startBox);
  StartTimeSlider = new RealSlider(0, 0, kSliderResolution, startBox);
  StartTimeSlider->setObjectName("StartTimeSlider");
  startLayout->addWidget(StartTimeSlider);
  StartTimeText = new TextField(startBox);
  StartTimeText->setObjectName("StartTimeText");
  StartTimeText->setAlignment(Qt::AlignCenter);
  StartTimeText->setMinimumWidth(110);
  startLayout->addLayout(StepRow(startBox,
                                 {{"BackButton4", "<<<<", -5.0},
                                  {"BackButton3", "<<<", -1.0},
                                  {"BackButton2", "<<", -0.15},
                                  {"BackButton1", "<", -0.03},
                                  {"ForwardButton1", ">", 0.03},
                                  {"ForwardButton2", ">>", 0.15},
                                  {"ForwardButton3", ">>>", 1.0},
                                  {"ForwardButton4", ">>>>", 5.0}},
                                 StartTimeText, [this](double seconds) { step(seconds); }));
  layout->addWidget(startBox);

  auto* form = new QFormLayout();
  OffsetTimeText = new TextField(dialog);
  OffsetTimeText->setObjectName("OffsetTimeText");
  OffsetTimeText->setMaximumWidth(130);
  form->addRow("Start time in the project:", OffsetTimeText);
  PlayRateLabel = new QLabel("Play rate:", dialog);
  PlayRateLabel->setObjectName("PlayRateLabel");
  PlayRateText = new TextField(dialog);
  PlayRateText->setObjectName("PlayRateText");
  PlayRateText->setMaximumWidth(130);
  form->addRow(PlayRateLabel, PlayRateText);
  layout->addLayout(form);
  auto* hint = new QLabel("Step the start point until the main preview shows this input in time with the others.",
                          dialog);
  hint->setWordWrap(true);
  layout->addWidget(hint);

  const DialogButtons buttons = AddOkCancelRow(layout, dialog);
  // Return belongs to the typed times and the input's name, never to OK.
  buttons.ok->setDefault(false);
  buttons.ok->setAutoDefault(false);
  buttons.cancel->setAutoDefault(false);

  connect(InputSelection, &QComboBox::textActivated, this, &wcInputSync::InputSelection_Changed);
  connect(StartTimeSlider, &RealSlider::changed, this, &wcInputSync::StartTimeSlider_Changed);
  connect(StartTimeText, &TextField::changed, this, &wcInputSync::StartTimeText_Changed);
  connect(OffsetTimeText, &TextField::changed, this, &wcInputSync::OffsetTimeText_Changed);
  connect(PlayRateText, &TextField::changed, this, &wcInputSync::PlayRateText_Changed);
  connect(buttons.ok, &QPushButton::clicked, this, &wcInputSync::OkButton_Pressed);
  connect(buttons.cancel, &QPushButton::clicked, this, &wcInputSync::CancelButton_Pressed);
  return dialog;
}

void wcInputSync::SetInput(int requested) {
  window();
  const uint32_t input = InputGetParent(requested < 0 || requested > 255 ? kNoInput : static_cast<uint32_t>(requested));
  if (input != edit_.OurIndex && edit_.OurIndex != kNoInput) {
    InputChangedPrompt(false);
    refreshMain(false);
  }
  edit_ = Edit{};
  edit_.OurIndex = input;
  edit_.OurInputType = input == kNoInput ? 0 : InputGetType(input);
  if (edit_.OurInputType == kInputImage) edit_.OurIndex = kNoInput;
  fillInputList();
  StartTimeSlider->setRange(0, edit_.EndTime, kSliderResolution);
  SelectComboName(InputSelection, edit_.OurInputName);
  UpdatePreview();
}

void wcInputSync::fillInputList() {
  InputSelection->clear();
  for (uint32_t i = 0; i < InputCount(); ++i) {
    const MainStruct* record = InputGetMain(i);
    if (record == nullptr || record->Type == kInputImage || record->ParentJoin != kNoInput) continue;
    const MainStruct main = *record;
    InputSelection->addItem(RecordName(main));
    if (i != edit_.OurIndex) continue;
    edit_.OurInputName = RecordName(main);
    edit_.now = Values{main.TrimStart, main.StartTime, main.PlayRate};
    edit_.revert = edit_.now;
    edit_.EndTime = std::min(main.Length, main.TrimEnd);
    edit_.writtenTrimStart = main.TrimStart;
    edit_.writtenStart = main.StartTime;
    edit_.writtenRate = main.PlayRate;
  }
}

void wcInputSync::UpdatePreview(bool quick) {
  Values& v = edit_.now;
  if (v.StartTime > edit_.EndTime) v.StartTime = edit_.EndTime;
  if (v.StartTime < 0) v.StartTime = 0;
  StartTimeText->setText(TimeText(v.StartTime));
  if (!Scrolling) StartTimeSlider->setValue(v.StartTime);
  if (v.OffsetTime < 0) v.OffsetTime = 0;
  OffsetTimeText->setText(TimeText(v.OffsetTime));
  PlayRateText->setText(RateText(v.PlayRate));
  // The rate is kept as loaded: this window only moves the input in time.
  PlayRateLabel->hide();
  PlayRateText->hide();
  if (edit_.OurIndex == kNoInput || InputGetMain(edit_.OurIndex) == nullptr) return;
  store(v);
  refreshMain(quick);
}

void wcInputSync::store(const Values& values) {
  const std::optional<MainStruct> main =
      sync_ui::StoreTiming(edit_.OurIndex, values.StartTime, values.OffsetTime, values.PlayRate);
  if (!main) return;
  edit_.writtenTrimStart = main->TrimStart;
  edit_.writtenStart = main->StartTime;
  edit_.writtenRate = main->PlayRate;
}

bool wcInputSync::recordStillOurs() const {
  const MainStruct* record = InputGetMain(edit_.OurIndex);
  return record != nullptr && sameFloat(record->TrimStart, edit_.writtenTrimStart) &&
         sameFloat(record->StartTime, edit_.writtenStart) && sameFloat(record->PlayRate, edit_.writtenRate);
}

// Another command changed the input while the window was open: its values
// win, and become the ones a cancel returns to.
void wcInputSync::followOutsideChange() {
  if (edit_.OurIndex == kNoInput || InputGetMain(edit_.OurIndex) == nullptr || recordStillOurs()) return;
  const uint32_t input = edit_.OurIndex;
  edit_.OurIndex = kNoInput; // nothing of ours to settle
  SetInput(static_cast<int>(input));
}

template <typename Change> void wcInputSync::editValues(Change change) {
  followOutsideChange();
  change(edit_.now);
  UpdatePreview();
}

void wcInputSync::step(double seconds) {
  editValues([seconds](Values& v) { v.StartTime += seconds; });
}

void wcInputSync::StartTimeSlider_Changed() {
  Scrolling = true;
  const double value = StartTimeSlider->value();
  editValues([value](Values& v) { v.StartTime = value; });
  Scrolling = false;
}

void wcInputSync::StartTimeText_Changed() {
  const double value = ReadTime(StartTimeText);
  editValues([value](Values& v) { v.StartTime = value; });
}

void wcInputSync::OffsetTimeText_Changed() {
  const double value = ReadTime(OffsetTimeText);
  editValues([value](Values& v) { v.OffsetTime = value; });
}

void wcInputSync::PlayRateText_Changed() {
  const double value = ReadRate(PlayRateText);
  editValues([value](Values& v) { v.PlayRate = value; });
}

void wcInputSync::InputSelection_Changed() {
  const uint32_t input = InputOfComboText(InputSelection);
  if (input == edit_.OurIndex) return;
  if (!InputChangedPrompt(true)) {
    SelectComboName(InputSelection, edit_.OurInputName);
    return;
  }
  edit_.OurIndex = kNoInput;
  refreshMain(false);
  SetInput(static_cast<int>(input));
}

void wcInputSync::Revert() {
  if (edit_.OurIndex == kNoInput || InputGetMain(edit_.OurIndex) == nullptr) return;
  // A record someone else has changed since keeps their change.
  if (recordStillOurs()) store(edit_.revert);
}

void wcInputSync::Save() {
  edit_.now.StartTime = ReadTime(StartTimeText);
  edit_.now.OffsetTime = ReadTime(OffsetTimeText);
  edit_.now.PlayRate = ReadRate(PlayRateText);
  // The checkpoint must hold the project as it was before the edit.
  Revert();
  UndoSave();
  edit_.revert = edit_.now;
  if (wcMain* main = MainWindow()) main->setProjectModified(true);
  UpdatePreview(false);
}

bool wcInputSync::InputChangedPrompt(bool cancellable) {
  if (edit_.OurIndex == kNoInput || edit_.now == edit_.revert) return true;
  followOutsideChange();
  if (edit_.now == edit_.revert) return true;
  const int answer = AskToSaveChanges(edit_.OurInputName, cancellable);
  if (cancellable && answer == kMbCancel) return false;
  if (answer == kMbYes) {
    Save();
  } else {
    Revert();
    edit_.now = edit_.revert;
  }
  return true;
}

void wcInputSync::InputsWillChange() {
  if (!AppDelegate::IsWindowVisible(this)) return;
  InputChangedPrompt(false);
  edit_.OurIndex = kNoInput;
  close();
}

void wcInputSync::OkButton_Pressed() {
  followOutsideChange();
  Save();
  edit_.OurIndex = kNoInput;
  close();
}

void wcInputSync::CancelButton_Pressed() {
  Revert();
  edit_.OurIndex = kNoInput;
  refreshMain(false);
  close();
}

void wcInputSync::windowWillClose() {
  Revert();
  edit_.OurIndex = kNoInput;
  refreshMain(false);
}

void wcInputSync::refreshMain(bool quick) {
  if (wcMain* main = MainWindow()) main->PreviewRefresh(quick);
}
