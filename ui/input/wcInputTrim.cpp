#include "ui/input/wcInputTrim.h"

#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/error.h"
#include "base/util.h"
#include "model/inputs.h"
#include "render/preview/simple_preview.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/controls/dialog_buttons.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/text_field.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr int kPreviewWidth = 240;
constexpr int kPreviewHeight = 160;
constexpr double kSliderResolution = 0.01;

struct Step {
  const char* face;
  const char* name;
  float seconds;
};
const Step kSteps[] = {{"<<<", "StepBackward3", -1.0f}, {"<<", "StepBackward2", -0.15f}, {"<", "StepBackward", -0.03f},
                       {">", "StepForward", 0.03f},    {">>", "StepForward2", 0.15f},    {">>>", "StepForward3", 1.0f}};

QString timeText(double seconds) { return FormatTimeNSString(2, 0, seconds); }

QString recordName(const MainStruct& main) {
  qsizetype length = 0;
  while (length < kNameLength && main.Name[length] != 0) ++length;
  return QString::fromUtf16(main.Name, length);
}

float readTime(const TextField* field) { return TimeTextToSeconds(NSStringToWStr(field->text()).c_str()); }

} // namespace

wcInputTrim::wcInputTrim() : WindowController("wcInputTrim", kOpenCentred) {}

// Slots are closed with the window; the engine frees any left when it ends,
// which may be before the controllers go.
wcInputTrim::~wcInputTrim() = default;

const QStringList& wcInputTrim::DisplayTypeTitles() {
  static const QStringList titles = {"Track Map", "G-Force", "Speed", "Engine RPM"};
  return titles;
}

QWidget* wcInputTrim::makeWindow() {
  QDialog* dialog = makeDialog("Trim Input File");
  auto* layout = new QVBoxLayout(dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  auto* sides = new QHBoxLayout();
  sides->addWidget(makeSide(dialog, start_, "Start", true));
  sides->addWidget(makeSide(dialog, end_, "End", false));
  layout->addLayout(sides);
  auto* row = new QHBoxLayout();
  DisplayTypeLabel = new QLabel("Preview data as:", dialog);
  DisplayTypeLabel->setObjectName("DisplayTypeLabel");
  DisplayTypeSelection = new QComboBox(dialog);
  DisplayTypeSelection->setObjectName("DisplayTypeSelection");
  EffectiveLengthLabel = new QLabel(dialog);
  EffectiveLengthLabel->setObjectName("EffectiveLengthLabel");
  row->addWidget(DisplayTypeLabel);
  row->addWidget(DisplayTypeSelection);
  row->addStretch(1);
  row->addWidget(EffectiveLengthLabel);
  layout->addLayout(row);
  const DialogButtons buttons = AddOkCancelRow(layout, dialog);
  connect(buttons.ok, &QPushButton::clicked, this, &wcInputTrim::OkButton_Pressed);
  connect(buttons.cancel, &QPushButton::clicked, this, &wcInputTrim::CancelButton_Pressed);
  connect(DisplayTypeSelection, &QComboBox::activated, this, &wcInputTrim::DisplayTypeSelection_Changed);
  return dialog;
}

QGroupBox* wcInputTrim::makeSide(QWidget* parent, Side& side, const char* name, bool start) {
  side.group = new QGroupBox(parent);
  side.group->setObjectName(QString(name) + "Group");
  auto* column = new QVBoxLayout(side.group);
  side.label = new QLabel(side.group);
  side.label->setObjectName(QString(name) + "Label");
  side.image = new NSImageViewCustom(side.group);
  side.image->setObjectName(QString(name) + "Image");
  side.image->setFixedSize(kPreviewWidth, kPreviewHeight);
  side.slider = new RealSlider(0, 0, kSliderResolution, side.group);
  side.slider->setObjectName(QString(name) + "Slider");
  side.text = new TextField(side.group);
  side.text->setObjectName(QString(name) + "Text");
  side.text->setAlignment(Qt::AlignCenter);
  column->addWidget(side.label);
  column->addWidget(side.image, 0, Qt::AlignHCenter);
  column->addWidget(side.slider);
  auto* steps = new QHBoxLayout();
  for (int i = 0; i < 6; ++i) {
    if (i == 3) steps->addWidget(side.text, 1);
    auto* button = new QPushButton(kSteps[i].face, side.group);
    button->setObjectName(QString(name) + kSteps[i].name);
    button->setFixedWidth(40);
    steps->addWidget(button);
    const float seconds = kSteps[i].seconds;
    connect(button, &QPushButton::clicked, this,
            [this, start, seconds]() { start ? StartStep(seconds) : EndStep(seconds); });
  }
  column->addLayout(steps);
  if (start) {
    connect(side.slider, &RealSlider::changed, this, &wcInputTrim::StartSlider_Changed);
    connect(side.text, &TextField::changed, this, &wcInputTrim::StartText_Changed);
  } else {
    connect(side.slider, &RealSlider::changed, this, &wcInputTrim::EndSlider_Changed);
    connect(side.text, &TextField::changed, this, &wcInputTrim::EndText_Changed);
  }
  return side.group;
}

bool wcInputTrim::SetInput(uint32_t input) {
  window();
  state_.OurIndex = input;
  state_.Success = false;
  const MainStruct* record = InputGetMain(input);
  if (record == nullptr) {
    ErrorShowLast();
    return false;
  }
  state_.copy = *record;
  MainStruct& copy = *state_.copy;
  window()->setWindowTitle("Trim Input File: " + recordName(copy));
  EndPreview();
  start_.group->show();
  start_.label->setText("Starting Time in Input File:");
  end_.label->setText("Ending Time in Input File:");
  start_.slider->setRange(0, copy.Length, kSliderResolution);
  end_.slider->setRange(0, copy.Length, kSliderResolution);
  DisplayTypeLabel->hide();
  DisplayTypeSelection->hide();
  const bool pictures = copy.Type != kInputFiller && copy.Type != kInputAudio;
  if (copy.Type == kInputFiller) {
    start_.group->hide();
    copy.TrimStart = 0;
    end_.label->setText("Set Time Filler Length:");
  }
  start_.image->setVisible(pictures);
  end_.image->setVisible(pictures);
  if (pictures) {
    state_.DisplayType = 0;
    if (copy.Type == kInputData) {
      DisplayTypeLabel->show();
      DisplayTypeSelection->show();
      state_.Scrolling = true;
      DisplayTypeSelection->clear();
      DisplayTypeSelection->addItems(DisplayTypeTitles());
      DisplayTypeSelection->setCurrentIndex(0);
      state_.Scrolling = false;
    }
    CreatePreviews();
  }
  UpdateStart();
  UpdateEnd();
  return true;
}

void wcInputTrim::UpdateStart() { updateSide(true); }

void wcInputTrim::UpdateEnd() { updateSide(false); }

// Holds the side's time to the file and behind (start) or after (end) the
// other side, then shows it and draws its frame.
void wcInputTrim::updateSide(bool start) {
  if (!state_.copy) return;
  MainStruct& copy = *state_.copy;
  float& time = start ? copy.TrimStart : copy.TrimEnd;
  const float other = start ? copy.TrimEnd : copy.TrimStart;
  if (time < 0) {
    time = 0;
  } else if (time > copy.Length) {
    time = copy.Length;
  }
  if (start ? time > other : time < other) {
    time = other;
    state_.Scrolling = false;
  }
  Side& side = start ? start_ : end_;
  side.text->setText(timeText(time));
  if (!state_.Scrolling) side.slider->setValue(time);
  state_.Scrolling = false;
  UpdateLength();
  drawPreview(start ? start_.preview : end_.preview, time);
}

void wcInputTrim::UpdateLength() {
  if (!state_.copy) return;
  EffectiveLengthLabel->setText("Effective Length: " + timeText(state_.copy->TrimEnd - state_.copy->TrimStart));
}

void wcInputTrim::StartSlider_Changed() {
  if (!state_.copy) return;
  state_.Scrolling = true;
  state_.copy->TrimStart = static_cast<float>(start_.slider->value());
  UpdateStart();
  state_.Scrolling = false;
}

void wcInputTrim::EndSlider_Changed() {
  if (!state_.copy) return;
  state_.Scrolling = true;
  state_.copy->TrimEnd = static_cast<float>(end_.slider->value());
  UpdateEnd();
  state_.Scrolling = false;
}

void wcInputTrim::StartText_Changed() {
  if (!state_.copy) return;
  state_.copy->TrimStart = readTime(start_.text);
  UpdateStart();
}

void wcInputTrim::EndText_Changed() {
  if (!state_.copy) return;
  state_.copy->TrimEnd = readTime(end_.text);
  UpdateEnd();
}

void wcInputTrim::StartStep(float seconds) {
  if (!state_.copy) return;
  state_.copy->TrimStart += seconds;
  UpdateStart();
}

void wcInputTrim::EndStep(float seconds) {
  if (!state_.copy) return;
  state_.copy->TrimEnd += seconds;
  UpdateEnd();
}

void wcInputTrim::DisplayTypeSelection_Changed() {
  const QString text = DisplayTypeSelection->currentText();
  if (state_.Scrolling || text.isEmpty()) return;
  EndPreview();
  const qsizetype type = DisplayTypeTitles().indexOf(text);
  state_.DisplayType = type > 0 ? static_cast<uint32_t>(type) : 0;
  CreatePreviews();
  UpdateStart();
  UpdateEnd();
}

void wcInputTrim::CreatePreviews() {
  EndPreview();
  for (Side* side : {&start_, &end_}) {
    side->preview.hold(SimplePreviewCreateForInput(state_.OurIndex, side->image->viewHandle(), kPreviewWidth,
                                                   kPreviewHeight, 1, state_.DisplayType));
  }
}

void wcInputTrim::EndPreview() {
  end_.preview.close();
  start_.preview.close();
}

void wcInputTrim::drawPreview(const PreviewSlot& preview, float time) {
  preview.draw(1, state_.PreviewQuality, time);
}

void wcInputTrim::OkButton_Pressed() {
  if (state_.copy) {
    // A time typed but not yet entered counts, held to the file like any other.
    StartText_Changed();
    EndText_Changed();
    if (InputSetMain(state_.OurIndex, &*state_.copy) != 0) {
      ErrorShowLast();
      return;
    }
  }
  state_.Success = true;
  close();
}

void wcInputTrim::CancelButton_Pressed() { close(); }

void wcInputTrim::windowWillClose() {
  EndPreview();
}
