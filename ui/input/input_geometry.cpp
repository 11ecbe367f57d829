#include "ui/input/input_geometry.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/input/wcInputEdit.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr double kRotationLimit = 360;
const char* const kOtherAmount = "Other Amount:";

QString rotationText(double degrees) { return QString::asprintf("%.03f", degrees); }

} // namespace

InputGeometry::InputGeometry(wcInputEdit& window) : window_(window) {}

InputGeometry::~InputGeometry() = default;

const QStringList& InputGeometry::RotationTitles() {
  static const QStringList titles = {"None", "90\u00b0", "180\u00b0", "270\u00b0", kOtherAmount};
  return titles;
}

const QStringList& InputGeometry::MirroringTitles() {
  static const QStringList titles = {"None", "Horizontal", "Vertical", "Both"};
  return titles;
}

QString InputGeometry::RotationCellFor(float rotation) {
  if (rotation > -0.001f && rotation < 0.001f) return "None";
  if (rotation > 179.999f && rotation < 180.001f) return "180";
  if (rotation > 89.999f && rotation < 90.001f) return "90";
  if (rotation > 269.999f && rotation < 270.001f) return "270";
  return "Other Amount";
}

QWidget* InputGeometry::Build(QWidget* parent) {
  auto* column = new QWidget(parent);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(makeCropGroup(column));
  layout->addWidget(makeRotateGroup(column));
  auto* mirroring = new QGroupBox(column);
  mirroring->setObjectName("MirroringGroup");
  auto* row = new QHBoxLayout(mirroring);
  auto* label = new QLabel("Mirroring:", mirroring);
  label->setObjectName("MirroringLabel");
  MirroringSelection = new QComboBox(mirroring);
  MirroringSelection->setObjectName("MirroringSelection");
  row->addWidget(label);
  row->addWidget(MirroringSelection, 1);
  layout->addWidget(mirroring);
  QObject::connect(MirroringSelection, &QComboBox::activated, column, [this]() { window_.UpdatePreview(); });
  return column;
}

QWidget* InputGeometry::makeCropGroup(QWidget* parent) {
  auto* box = new QGroupBox("Crop (pixels)", parent);
  box->setObjectName("CropGroup");
  auto* grid = new QGridLayout(box);
  crop_ = std::make_unique<CropFields>(box, grid, [this]() { window_.UpdatePreview(); });
  CropZoomIn = new QPushButton("Zoom In", box);
  CropZoomIn->setObjectName("CropZoomIn");
  CropZoomOut = new QPushButton("Zoom Out", box);
  CropZoomOut->setObjectName("CropZoomOut");
  CropEdit = new QPushButton("Crop...", box);
  CropEdit->setObjectName("CropEdit");
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(CropZoomIn);
  buttons->addWidget(CropZoomOut);
  buttons->addWidget(CropEdit);
  grid->addLayout(buttons, 3, 0, 1, 3);
  QObject::connect(CropZoomIn, &QPushButton::clicked, &window_, &wcInputEdit::CropZoomIn_Pressed);
  QObject::connect(CropZoomOut, &QPushButton::clicked, &window_, &wcInputEdit::CropZoomOut_Pressed);
  QObject::connect(CropEdit, &QPushButton::clicked, &window_, &wcInputEdit::CropEdit_Pressed);
  return box;
}

QWidget* InputGeometry::makeRotateGroup(QWidget* parent) {
  auto* box = new QGroupBox("Rotation", parent);
  box->setObjectName("RotateGroup");
  auto* grid = new QGridLayout(box);
  Rotate = new QButtonGroup(box);
  for (int cell = 0; cell < RotationTitles().size(); ++cell) {
    auto* button = new QRadioButton(RotationTitles()[cell], box);
    button->setObjectName(QString("Rotate%1").arg(cell));
    Rotate->addButton(button, cell);
    grid->addWidget(button, cell / 4, cell % 4);
  }
  RotateAmountText = new TextField(box);
  RotateAmountText->setObjectName("RotateAmountText");
  RotateAmountText->setMaximumWidth(80);
  RotateAmountStepper = new RealStepper(-kRotationLimit, kRotationLimit, 1, box);
  RotateAmountStepper->setObjectName("RotateAmountStepper");
  auto* amount = new QHBoxLayout();
  amount->addWidget(RotateAmountText);
  amount->addWidget(RotateAmountStepper);
  amount->addWidget(new QLabel("\u00b0", box));
  amount->addStretch(1);
  grid->addLayout(amount, 1, 1, 1, 3);
  QObject::connect(Rotate, &QButtonGroup::buttonClicked, box, [this]() { Rotate_Changed(); });
  QObject::connect(RotateAmountText, &TextField::changed, box, [this]() { RotateAmountText_Changed(); });
  QObject::connect(RotateAmountStepper, &RealStepper::changed, box, [this]() { RotateAmountStepper_Changed(); });
  return box;
}

void InputGeometry::Fill(const AdjustStruct& adjust, int32_t width, int32_t height) {
  crop_->SetPictureSize(width, height);
  SetMargins({adjust.CropLeft, adjust.CropRight, adjust.CropTop, adjust.CropBottom});

  MirroringSelection->clear();
  MirroringSelection->addItems(MirroringTitles());
  MirroringSelection->setCurrentIndex(adjust.Mirroring & 3);

  RotateAmountStepper->setValue(adjust.Rotation);
  RotateAmountText->setText(rotationText(RotateAmountStepper->value()));
  selectRotationCell(RotationCellFor(adjust.Rotation));
}

void InputGeometry::Read(AdjustStruct& adjust, int32_t width, int32_t height) {
  crop_->TakeTexts({CropFields::kTop, CropFields::kBottom, CropFields::kLeft, CropFields::kRight});
  const CropMargins kept = CropKeepPicture(Margins(), width, height);
  SetMargins(kept);
  const CropMargins stored = Margins();
  adjust.CropTop = stored.top;
  adjust.CropBottom = stored.bottom;
  adjust.CropLeft = stored.left;
  adjust.CropRight = stored.right;

  const QString mirroring = MirroringSelection->currentText();
  const qsizetype code = MirroringTitles().indexOf(mirroring);
  adjust.Mirroring = static_cast<uint8_t>((adjust.Mirroring & ~3) | (code > 0 ? code : 0));

  QAbstractButton* cell = Rotate->checkedButton();
  const QString title = cell != nullptr ? cell->text() : QString();
  if (title == kOtherAmount) {
    RotateAmountText_Changed();
    adjust.Rotation = static_cast<float>(RotateAmountStepper->value());
  } else if (title.startsWith("180")) {
    adjust.Rotation = 180;
  } else if (title.startsWith("90")) {
    adjust.Rotation = 90;
  } else if (title.startsWith("270")) {
    adjust.Rotation = 270;
  } else {
    adjust.Rotation = 0;
  }
}

CropMargins InputGeometry::Margins() const { return crop_->Margins(); }

void InputGeometry::SetMargins(const CropMargins& margins) { crop_->SetMargins(margins); }

void InputGeometry::TakeCropTexts() {
  crop_->TakeTexts({CropFields::kLeft, CropFields::kRight, CropFields::kTop, CropFields::kBottom});
}

void InputGeometry::Rotate_Changed() {
  window_.SetEnabled();
  window_.UpdatePreview();
}

void InputGeometry::RotateAmountText_Changed() {
  RotateAmountStepper->setValue(NSStringToDouble(RotateAmountText->text()));
  RotateAmountStepper_Changed();
}

void InputGeometry::RotateAmountStepper_Changed() { SetRotateAmount(RotateAmountStepper->value(), false); }

void InputGeometry::SetRotateAmount(double degrees, bool controlsOnly) {
  RotateAmountStepper->setValue(degrees);
  RotateAmountText->setText(rotationText(RotateAmountStepper->value()));
  selectRotationCell("Other Amount");
  window_.SetEnabled();
  if (!controlsOnly) window_.UpdatePreview();
}

void InputGeometry::selectRotationCell(const QString& start) {
  for (QAbstractButton* cell : Rotate->buttons()) {
    if (cell->text().startsWith(start)) cell->setChecked(true);
  }
}
