// The sync-to-reference window: its layout, choosing the two inputs, and
// keeping or dropping the edit. The arithmetic and the sliders are in
// wcInputSync2Sync.cpp, previews and playback in wcInputSync2Play.cpp.
#include "ui/input/wcInputSync2.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "base/message_box.h"
#include "io/files/undo.h"
#include "model/inputs.h"
#include "model/project.h"
#include "render/preview/main_preview.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/controls/button_faces.h"
#include "ui/controls/dialog_buttons.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/text_field.h"
#include "ui/input/sync_common.h"
#include "ui/shell/wcMain.h"

using namespace sync_ui;

namespace {

constexpr int kPreviewWidth = 360;
constexpr int kPreviewHeight = 240;
constexpr double kSliderResolution = 0.01;
// A stored value within these of the edited one counts as unchanged.
constexpr double kTimeTolerance = 0.009;
constexpr double kRateTolerance = 9e-6;

const QStringList kDisplayTypes = {"Track Map", "G-Force", "Speed", "Engine RPM"};

} // namespace

wcInputSync2::wcInputSync2() : WindowController("wcInputSync2", kOpenCentred) {}

QWidget* wcInputSync2::makeWindow() {
  QDialog* dialog = makeDialog("Sync to Reference");
  auto* layout = new QVBoxLayout(dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  auto* sides = new QHBoxLayout();
  sides->addWidget(makeSide(dialog, true));
  sides->addWidget(makeSide(dialog, false));
  layout->addLayout(sides);
  layout->addWidget(makeControls(dialog));

  const DialogButtons buttons = AddOkCancelRow(layout, dialog);
  // Return belongs to the typed times and the inputs' names, never to OK.
  buttons.ok->setDefault(false);
  buttons.ok->setAutoDefault(false);
  buttons.cancel->setAutoDefault(false);
  connect(buttons.ok, &QPushButton::clicked, this, &wcInputSync2::OkButton_Pressed);
  connect(buttons.cancel, &QPushButton::clicked, this, &wcInputSync2::CancelButton_Pressed);

  play_.PlayTimer = new QTimer(this);
  play_.PlayTimer->setTimerType(Qt::PreciseTimer);
  connect(play_.PlayTimer, &QTimer::timeout, this, &wcInputSync2::OnTick);
  return dialog;
}

QWidget* wcInputSync2::makeSide(QWidget* parent, bool sync) {
  const QString side = sync ? "Sync" : "Ref";
  auto* box = new QGroupBox(parent);
  auto* column = new QVBoxLayout(box);
  auto* label = new QLabel(sync ? "Sync Input (the input to move):" : "Reference Input (stays where it is):", box);
  auto* combo = new QComboBox(box);
  combo->setObjectName(side + "InputSelection");
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  auto* image = new NSImageViewCustom(box);
  image->setObjectName(side + "Image");
  image->setFixedSize(kPreviewWidth, kPreviewHeight);
  auto* slider = new RealSlider(0, 0, kSliderResolution, box);
  slider->setObjectName(side + "Slider");
  auto* text = new TextField(box);
  text->setObjectName(side + "Text");
  text->setAlignment(Qt::AlignCenter);
  text->setMinimumWidth(110);
  column->addWidget(label);
  column->addWidget(combo);
  // Holds the image's place when a side has no input and its image hides.
  auto* imageHolder = new QWidget(box);
  imageHolder->setFixedSize(kPreviewWidth, kPreviewHeight);
  auto* holderLayout = new QVBoxLayout(imageHolder);
  holderLayout->setContentsMargins(0, 0, 0, 0);
  holderLayout->addWidget(image);
  column->addWidget(imageHolder, 0, Qt::AlignHCenter);
  column->addWidget(slider);
  const std::vector<StepButton> steps = {{"StepBackward3", "<<<", -1.0}, {"StepBackward2", "<<", -0.15},
                                         {"StepBackward", "<", -0.03},   {"StepForward", ">", 0.03},
                                         {"StepForward2", ">>", 0.15},   {"StepForward3", ">>>", 1.0}};
  std::vector<StepButton> named;
  for (const StepButton& s : steps) named.push_back({side + s.name, s.title, s.seconds});
  column->addLayout(StepRow(box, named, text, [this, sync](double seconds) {
    sync ? syncStep(seconds) : refStep(seconds);
  }));
  if (sync) {
    SyncLabel = label;
    SyncLabel->setObjectName("SyncLabel");
    SyncInputSelection = combo;
    SyncImage = image;
    SyncSlider = slider;
    SyncText = text;
    connect(combo, &QComboBox::textActivated, this, &wcInputSync2::SyncInputSelection_Changed);
    connect(slider, &RealSlider::changed, this, &wcInputSync2::SyncSlider_Changed);
    connect(text, &TextField::changed, this, &wcInputSync2::SyncText_Changed);
  } else {
    RefInputSelection = combo;
    RefImage = image;
    RefSlider = slider;
    RefText = text;
    connect(combo, &QComboBox::textActivated, this, &wcInputSync2::RefInputSelection_Changed);
    connect(slider, &RealSlider::changed, this, &wcInputSync2::RefSlider_Changed);
    connect(text, &TextField::changed, this, &wcInputSync2::RefText_Changed);
  }
  return box;
}

QWidget* wcInputSync2::makeControls(QWidget* parent) {
  auto* panel = new QWidget(parent);
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(0, 0, 0, 0);
  LinkButton = new QPushButton(panel);
  LinkButton->setObjectName("LinkButton");
  LinkButton->setIconSize(QSize(28, 28));
  LinkButton->setFixedSize(48, 36);
  LinkButton->setToolTip("Link or unlink the two sides");
  LinkButton->setAutoDefault(false);
  LinkLabel = new QLabel(panel);
  LinkLabel->setObjectName("LinkLabel");
  LinkLabel->setWordWrap(true);
  PlayButton = new QPushButton("Play", panel);
  PlayButton->setObjectName("PlayButton");
  PlayButton->setIcon(ButtonFace("Play-Green"));
  PlayButton->setIconSize(QSize(24, 24));
  PlayButton->setToolTip("Play the reference in real time, the sync input following");
  PlayButton->setAutoDefault(false);
  grid->addWidget(LinkButton, 0, 0);
  grid->addWidget(LinkLabel, 0, 1, 1, 4);
  grid->addWidget(PlayButton, 0, 5);

  grid->addWidget(new QLabel("Start time in the project:", panel), 1, 0, 1, 1);
  OffsetAuto = new QRadioButton("Automatic", panel);
  OffsetAuto->setObjectName("OffsetAuto");
  OffsetManual = new QRadioButton("Manual:", panel);
  OffsetManual->setObjectName("OffsetManual");
  OffsetMatrix = new QButtonGroup(panel);
  OffsetMatrix->setObjectName("OffsetMatrix");
  OffsetMatrix->addButton(OffsetAuto, 0);
  OffsetMatrix->addButton(OffsetManual, 1);
  OffsetTimeText = new TextField(panel);
  OffsetTimeText->setObjectName("OffsetTimeText");
  OffsetTimeText->setMaximumWidth(130);
  OffsetEffectiveLabel = new QLabel(panel);
  OffsetEffectiveLabel->setObjectName("OffsetEffectiveLabel");
  OffsetEffectiveLabel->setToolTip("The start time in the project that the automatic choice gives");
  grid->addWidget(OffsetAuto, 1, 1);
  grid->addWidget(OffsetEffectiveLabel, 1, 2);
  grid->addWidget(OffsetManual, 1, 3);
  grid->addWidget(OffsetTimeText, 1, 4);

  PlayRateLabel = new QLabel("Play rate:", panel);
  PlayRateLabel->setObjectName("PlayRateLabel");
  PlayRateText = new TextField(panel);
  PlayRateText->setObjectName("PlayRateText");
  PlayRateText->setMaximumWidth(130);
  DisplayTypeLabel = new QLabel("Show data as:", panel);
  DisplayTypeLabel->setObjectName("DisplayTypeLabel");
  DisplayTypeSelection = new QComboBox(panel);
  DisplayTypeSelection->setObjectName("DisplayTypeSelection");
  grid->addWidget(PlayRateLabel, 2, 0);
  grid->addWidget(PlayRateText, 2, 1);
  grid->addWidget(DisplayTypeLabel, 2, 3);
  grid->addWidget(DisplayTypeSelection, 2, 4);
  grid->setColumnStretch(2, 1);

  connect(LinkButton, &QPushButton::clicked, this, &wcInputSync2::LinkButton_Pressed);
  connect(PlayButton, &QPushButton::clicked, this, &wcInputSync2::PlayButton_Pressed);
  connect(OffsetMatrix, &QButtonGroup::idClicked, this, &wcInputSync2::OffsetMatrix_Changed);
  connect(OffsetTimeText, &TextField::changed, this, &wcInputSync2::OffsetTimeText_Changed);
  connect(PlayRateText, &TextField::changed, this, &wcInputSync2::PlayRateText_Changed);
  connect(DisplayTypeSelection, &QComboBox::textActivated, this, &wcInputSync2::DisplayTypeSelection_Changed);
  return panel;
}

void wcInputSync2::SetInput(int input) {
  SetInput(input < 0 || input > 255 ? kNoInput : static_cast<uint32_t>(input), kNoInput);
}

void wcInputSync2::SetInput(uint32_t sync, uint32_t reference) { SetInput(sync, reference, 0); }

// The first video other than the sync input, else the first data log;
// joins are never chosen by themselves, nor the parts inside them (the
// list offers neither and no preview shows a part alone).
uint32_t wcInputSync2::automaticReference(uint32_t sync) const {
  uint32_t log = kNoInput;
  for (uint32_t i = 0; i < InputCount(); ++i) {
    if (i == sync || InputGetParent(i) != i) continue;
    const uint32_t type = InputGetType(i);
    if (type == kInputVideo) return i;
    if (type == kInputData && log == kNoInput) log = i;
  }
  return log;
}

void wcInputSync2::SetInput(uint32_t sync, uint32_t reference, uint32_t mode) {
  window();
  SetPlayState(false);
  sync = InputGetParent(sync);
  reference = InputGetParent(reference);
  if (reference == kNoInput) reference = ProjectGetPrimaryInput();
  if (reference == sync) reference = kNoInput;
  if (reference == kNoInput) reference = automaticReference(sync);
  inputs_.SyncInput = sync;
  inputs_.RefInput = reference;
  if (mode != 2) {
    const double projectLen = values_.ProjectLen;
    values_ = Values{};
    values_.ProjectLen = projectLen;
  }
  if (mode == 0) {
    values_.ProjectLen = ProjectGetLength(0);
    const wcMain* main = MainWindow();
    const double frameRate = main != nullptr && main->previewOptions().frameRate > 0 ? main->previewOptions().frameRate : 29.97;
    play_.PlayTickInterval = 0.5 / frameRate;
  }
  fillInputLists(mode);
  showValues(mode);
  SetSyncTime(false);
  CalcSyncValues(true);
  CreatePreviews();
}

void wcInputSync2::fillInputLists(uint32_t mode) {
  SyncInputSelection->clear();
  RefInputSelection->clear();
  inputs_.SyncInputName.clear();
  inputs_.RefInputName.clear();
  inputs_.SyncInputType = inputs_.RefInputType = 0;
  for (uint32_t i = 0; i < InputCount(); ++i) {
    const MainStruct* record = InputGetMain(i);
    if (record == nullptr || record->Type == kInputImage || record->ParentJoin != kNoInput) continue;
    const MainStruct main = *record;
    const QString name = RecordName(main);
    SyncInputSelection->addItem(name);
    if (i == inputs_.SyncInput) {
      inputs_.SyncInputName = name;
      inputs_.SyncInputType = main.Type;
      if (mode != 2) {
        values_.SyncLen = main.Length;
        values_.SyncStart = main.TrimStart;
        values_.SyncOffset = main.StartTime;
        values_.SyncPlayRate = main.PlayRate;
        values_.DesiredSyncOffset = values_.SyncOffset;
      }
    }
    if (main.Type == kInputAudio) continue;
    RefInputSelection->addItem(name);
    if (i == inputs_.RefInput) {
      inputs_.RefInputName = name;
      inputs_.RefInputType = main.Type;
    }
  }
  SelectComboName(SyncInputSelection, inputs_.SyncInputName);
  SelectComboName(RefInputSelection, inputs_.RefInputName);
}

void wcInputSync2::showValues(uint32_t mode) {
  const bool data = inputs_.SyncInputType == kInputData || inputs_.RefInputType == kInputData;
  DisplayTypeLabel->setVisible(data);
  DisplayTypeSelection->setVisible(data);
  if (mode == 0) {
    RefSlider->setRange(0, values_.ProjectLen, kSliderResolution);
    RefSlider->setValue(PreviewGetTime());
    DisplayTypeSelection->clear();
    DisplayTypeSelection->addItems(kDisplayTypes);
    DisplayTypeSelection->setCurrentIndex(0);
    preview_.DisplayType = 0;
  }
  RefText->setText(TimeText(RefSlider->value()));
  PlayRateText->setText(RateText(values_.SyncPlayRate));
  OffsetTimeText->setText(TimeText(values_.SyncOffset));
  setManualOffset(values_.SyncOffset > 0);
  SyncSlider->setRange(0, values_.SyncLen, kSliderResolution);
}

bool wcInputSync2::manualOffset() const { return OffsetManual->isChecked(); }

void wcInputSync2::setManualOffset(bool manual) { (manual ? OffsetManual : OffsetAuto)->setChecked(true); }

void wcInputSync2::Save() {
  sync_ui::StoreTiming(inputs_.SyncInput, values_.SyncStart, values_.SyncOffset, values_.SyncPlayRate);
}

bool wcInputSync2::InputChangedPrompt(bool cancellable) {
  const MainStruct* record = InputGetMain(inputs_.SyncInput);
  // Nothing to keep without an input.
  if (record == nullptr) return true;
  if (std::fabs(record->TrimStart - values_.SyncStart) <= kTimeTolerance &&
      std::fabs(record->StartTime - values_.SyncOffset) <= kTimeTolerance &&
      std::fabs(record->PlayRate - values_.SyncPlayRate) <= kRateTolerance)
    return true;
  const int answer = AskToSaveChanges(inputs_.SyncInputName, cancellable);
  if (cancellable && answer == kMbCancel) return false;
  if (answer != kMbYes) return true;
  if (!CheckPlayRate(values_.SyncPlayRate)) return !cancellable;
  // Kept as OK keeps it: undoable, and the project marked changed.
  UndoSave();
  if (wcMain* main = MainWindow()) main->setProjectModified(true);
  Save();
  return true;
}

void wcInputSync2::OkButton_Pressed() {
  if (InputGetMain(inputs_.SyncInput) != nullptr && !CheckPlayRate(values_.SyncPlayRate)) return;
  EndPreviews();
  UndoSave();
  wcMain* main = MainWindow();
  if (main != nullptr) main->setProjectModified(true);
  Save();
  if (main != nullptr) main->PreviewRefresh();
  close();
}

void wcInputSync2::CancelButton_Pressed() { close(); }

void wcInputSync2::windowDidOpen() {
  SetLinkIcon();
}

void wcInputSync2::windowWillClose() {
  EndPreviews();
}
