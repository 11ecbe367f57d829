#include "ui/dispobj/wcDispObjGaugeDesign.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstring>

#include "base/error.h"
#include "io/files/style.h"
#include "model/dispobjs.h"
#include "render/preview/simple_preview.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/gauge_edit.h"
#include "ui/dispobj/number_pair.h"
#include "ui/dispobj/record_bindings.h"
#include "ui/dispobj/wcDispObjBackground.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/modal_run.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/window_calls.h"
#include "ui/util/ui_utils.h"

namespace {

wcMain* mainWindow() { return AppWindows().wndMain(); }

wcDispObjBackground* backgroundWindow() {
  return AppWindows().wndDispObjBackground();
}

QComboBox* comboBox(const char* name, bool editable, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  if (editable) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setLineEdit(new TextField(combo));
  }
  combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  combo->setMinimumContentsLength(12);
  return combo;
}

// Return ends typing in a field; it never presses a button of the window.
QPushButton* button(const QString& title, const char* name, QWidget* parent) {
  auto* b = new QPushButton(title, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

} // namespace

wcDispObjGaugeDesign::wcDispObjGaugeDesign() : WindowController("wcDispObjGaugeDesign", kOpenCentred) {}

wcDispObjGaugeDesign::~wcDispObjGaugeDesign() { EndPreview(); }

QWidget* wcDispObjGaugeDesign::makeWindow() {
  QDialog* dialog = makeDialog("Gauge Designer");
  auto* whole = new QVBoxLayout(dialog);
  whole->setSizeConstraint(QLayout::SetFixedSize);
  auto* columns = new QHBoxLayout();
  whole->addLayout(columns);
  columns->addWidget(buildSidebar(dialog), 0, Qt::AlignTop);
  Pages = new QTabWidget(dialog);
  Pages->setObjectName("Pages");
  Pages->addTab(buildScalePage(Pages), "Scale");
  Pages->addTab(buildMarksPage(Pages), "Marks");
  Pages->addTab(buildTextPage(Pages), "Text");
  Pages->addTab(buildNeedlePage(Pages), "Needle");
  Pages->addTab(buildFacePage(Pages), "Face and Colours");
  columns->addWidget(Pages, 1);
  auto* buttons = new QHBoxLayout();
  CancelButton = button("Cancel", "CancelButton", dialog);
  OkButton = button("OK", "OkButton", dialog);
  for (QPushButton* b : {CancelButton, OkButton}) b->setMinimumWidth(90);
  buttons->addStretch(1);
  buttons->addWidget(CancelButton);
  buttons->addWidget(OkButton);
  whole->addLayout(buttons);
  connectWindow();
  connectScale();
  connectText();
  connectNeedle();
  return dialog;
}

QWidget* wcDispObjGaugeDesign::buildSidebar(QWidget* parent) {
  auto* side = new QWidget(parent);
  auto* column = new QVBoxLayout(side);
  column->setContentsMargins(0, 0, 0, 0);
  PreviewImage = new NSImageViewCustom(side);
  PreviewImage->setObjectName("PreviewImage");
  PreviewImage->setFixedSize(kPreviewSide, kPreviewSide);
  column->addWidget(PreviewImage);

  auto* grid = new QGridLayout();
  grid->setVerticalSpacing(4);
  FieldLabel = new QLabel("Channel:", side);
  FieldLabel->setObjectName("FieldLabel");
  FieldSelection = comboBox("FieldSelection", true, side);
  TypeSelection = comboBox("TypeSelection", false, side);
  TypeSelection->setToolTip("Speedometers and tachometers read their channel by themselves");
  StyleButton = button("Import Style...", "StyleButton", side);
  StyleButton->setToolTip("Apply a style file to this gauge");
  StyleExportButton = button("Export Style...", "StyleExportButton", side);
  BackgroundButton = button("Background Image...", "BackgroundButton", side);
  int r = 0;
  grid->addWidget(FieldLabel, r, 0);
  grid->addWidget(FieldSelection, r++, 1);
  grid->addWidget(new QLabel("Type:", side), r, 0);
  grid->addWidget(TypeSelection, r++, 1);
  grid->addWidget(new QLabel("Style:", side), r, 0);
  grid->addWidget(StyleButton, r++, 1);
  grid->addWidget(StyleExportButton, r++, 1);
  grid->addWidget(BackgroundButton, r++, 1);
  grid->setColumnStretch(1, 1);
  column->addLayout(grid);
  column->addStretch(1);
  return side;
}

void wcDispObjGaugeDesign::connectWindow() {
  connect(OkButton, &QPushButton::clicked, this, &wcDispObjGaugeDesign::OkButton_Pressed);
  connect(CancelButton, &QPushButton::clicked, this, &wcDispObjGaugeDesign::CancelButton_Pressed);
  DispObjPanel::onListChosen(FieldSelection, this, &wcDispObjGaugeDesign::FieldSelection_Changed);
  connect(TypeSelection, &QComboBox::activated, this, &wcDispObjGaugeDesign::TypeSelection_Changed);
  connect(StyleButton, &QPushButton::clicked, this, &wcDispObjGaugeDesign::StyleButton_Pressed);
  connect(StyleExportButton, &QPushButton::clicked, this, &wcDispObjGaugeDesign::StyleExportButton_Pressed);
  connect(BackgroundButton, &QPushButton::clicked, this, &wcDispObjGaugeDesign::BackgroundButton_Pressed);
  options_ = new OptionChecks(
      gauge_.Options, {{CcwCheck, kGaugeCcw}, {SmoothMovementCheck, kGaugeSmooth}, {HighResCheck, kGaugeHighRes}},
      [this]() { UpdatePreview(); }, this);
}

NumberPair* wcDispObjGaugeDesign::pair(TextField* text, RealStepper* stepper, bool real,
                                       std::function<void(double)> store) {
  auto action = [this, store = std::move(store)](double value) {
    store(value);
    UpdatePreview();
  };
  return new NumberPair(text, stepper, real ? NumberPair::Kind::kReal : NumberPair::Kind::kInteger, action, this);
}

bool wcDispObjGaugeDesign::SetData(int index) {
  window(); // the controls exist from here on
  const uint32_t object = static_cast<uint32_t>(index);
  state_.index = object;
  if (object == kNoDispObj) return false;
  const DispStruct* record = DispObjGet(object);
  const void* param = record != nullptr ? DispObjGetParam(object) : nullptr;
  if (record == nullptr || param == nullptr) {
    ErrorShowLast();
    return false;
  }
  // Only a gauge's own block is read as one.
  if (record->Type != kDispGauge || record->ParamSize != sizeof(GaugeParam)) return false;
  const uint8_t inputId = record->InputID;
  std::memcpy(&gauge_, param, sizeof gauge_);

  state_.loading = true;
  const QStringList fonts = AppDelegate::SystemFonts();
  for (QComboBox* list : {LabelFontSelection, NumberFontSelection}) {
    list->clear();
    list->setEditText("");
    list->addItems(fonts);
  }
  state_.inputId = inputId;
  DispObjPanel::fillFieldCombo(FieldSelection, "(Automatic)", DispObjPanel::dataFieldNames(inputId),
                               W16ToNSString(gauge_.Field));
  options_->show();
  loadReadoutAndLabel();
  TypeSelection->clear();
  TypeSelection->addItems(GaugeKindNames());
  TypeSelection->setCurrentText(GaugeKindName(gauge_.Type));
  loadRangeAndArc();
  loadModeAndNeedles();
  loadMarkColors();
  loadMarks();
  loadNumberOptions();
  loadChangeColors();
  loadTwoPartScale();
  BackgroundButton->setEnabled(backgroundWindow() != nullptr);
  state_.loading = false;
  SetFieldColor();
  SetStyle();

  EndPreview();
  const int slot = SimplePreviewCreateForDispObj(object, PreviewImage->viewHandle(), PreviewImage->width(),
                                                 PreviewImage->height(), 1);
  state_.previewSlot = slot >= 0 ? slot : -1; // without a slot the window edits blind
  return true;
}

void wcDispObjGaugeDesign::readSwitches() {
  // The record holds the label; its field shows what was stored.
  LabelText->setText(W16ToNSString(gauge_.Label));
  GaugeApplySwitches(gauge_, {DoChangeColor2Check->isChecked(), DoLabelCheck->isChecked(), DoNumberCheck->isChecked(),
                              DoFaceCheck->isChecked(), DoFaceGradientCheck->isChecked(), DoTrimCheck->isChecked(),
                              DoMarkColor2Check->isChecked(), DoPinsCheck->isChecked()});
}

void wcDispObjGaugeDesign::UpdatePreview() {
  if (state_.loading || state_.index == kNoDispObj) return;
  readSwitches();
  state_.loading = true;
  StepMidCheck->setChecked(GaugeTwoPartOn(gauge_));
  state_.loading = false;
  SetFieldColor();
  if (DispObjSetParam(state_.index, &gauge_) != 0) ErrorShowLast();
  if (state_.previewSlot >= 0) {
    const wcMain* m = mainWindow();
    SimplePreviewDraw(static_cast<uint32_t>(state_.previewSlot), 0, state_.previewQuality,
                      m != nullptr ? static_cast<float>(m->PreviewTime()) : 0.0f);
  }
}

void wcDispObjGaugeDesign::EndPreview() {
  if (state_.previewSlot < 0) return;
  SimplePreviewClose(static_cast<uint32_t>(state_.previewSlot));
  state_.previewSlot = -1;
}

void wcDispObjGaugeDesign::SetFieldColor() {
  DispObjPanel::showFieldState(FieldLabel, state_.inputId, gauge_.Field, gauge_.Type != kGaugeGeneric);
}

void wcDispObjGaugeDesign::SetStyle() {
  const DispStruct* record = DispObjGet(state_.index);
  if (record == nullptr) return;
  state_.curStyle = W16ToNSString(record->Style);
  StyleButton->setText(state_.curStyle.isEmpty() ? "Import Style..." : state_.curStyle);
}

void wcDispObjGaugeDesign::windowDidOpen() {
  state_.success = false;
  UpdatePreview();
}

void wcDispObjGaugeDesign::windowDidBecomeMain() { window()->setWindowTitle("Gauge Designer"); }

void wcDispObjGaugeDesign::windowWillClose() { EndPreview(); }

void wcDispObjGaugeDesign::OkButton_Pressed() {
  UpdatePreview();
  state_.success = true;
  if (auto* dialog = qobject_cast<QDialog*>(windowIfLoaded())) dialog->accept();
}

void wcDispObjGaugeDesign::CancelButton_Pressed() {
  if (auto* dialog = qobject_cast<QDialog*>(windowIfLoaded())) dialog->reject();
}

void wcDispObjGaugeDesign::FieldSelection_Changed() {
  const QString text = FieldSelection->currentText();
  DispObjPanel::storeText(gauge_.Field, text == "(Automatic)" || text == "(None)" ? QString() : text);
  UpdatePreview();
}

// Only the kind changes: the presets a new object of that kind gets are
// not applied to a designed gauge.
void wcDispObjGaugeDesign::TypeSelection_Changed() {
  gauge_.Type = GaugeKindCode(TypeSelection->currentText());
  UpdatePreview();
}

QString wcDispObjGaugeDesign::styleFolder() const { return AppDelegate::GetDocFolder("Styles"); }

void wcDispObjGaugeDesign::StyleButton_Pressed() {
  const QString path = FileDialogOpen(window(), "Import Display Object Style...", styleFolder(), {"qvo"});
  if (path.isEmpty()) return;
  if (DispObjImportStyle(state_.index, NSStringToWStr(path).c_str(), 0) != 0) ErrorShowLast();
  // Whatever the file did, the window shows what the object holds now.
  SetData(static_cast<int>(state_.index));
  UpdatePreview();
}

void wcDispObjGaugeDesign::StyleExportButton_Pressed() {
  const DispStruct* record = DispObjGet(state_.index);
  const QString name = record != nullptr ? W16ToNSString(record->Name) : QString();
  const QString path =
      FileDialogSave(window(), "Export Display Object Style...", styleFolder(), name + ".qvo", {"qvo"});
  if (path.isEmpty()) return;
  if (DispObjExportStyle(state_.index, NSStringToWStr(path).c_str()) != 0) ErrorShowLast();
  SetData(static_cast<int>(state_.index));
  UpdatePreview();
}

void wcDispObjGaugeDesign::BackgroundButton_Pressed() {
  UpdatePreview();
  wcDispObjBackground* background = backgroundWindow();
  if (background != nullptr && background->SetData(static_cast<int>(state_.index))) {
    RunModalForWindow(background);
    UpdatePreview();
  }
}

void wcDispObjGaugeDesign::setOption(uint8_t bit, bool on) { SetOptionBits(gauge_.Options, bit, on); }

void wcDispObjGaugeDesign::setChangeBit(uint8_t bit, bool on) { SetOptionBits(gauge_.ChangeColorOptions, bit, on); }

void wcDispObjGaugeDesign::setMarkNumberBit(uint8_t bit, bool on) { SetOptionBits(gauge_.MarkNumberType, bit, on); }
