#include "ui/input/wcInputCrop.h"

#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "base/error.h"
#include "base/util.h"
#include "model/inputs.h"
#include "render/preview/simple_preview.h"
#include "ui/controls/dialog_buttons.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr int kViewWidth = 512;
constexpr int kViewHeight = 288;
constexpr double kZoomStep = 0.05;

QString recordName(const MainStruct& main) {
  qsizetype length = 0;
  while (length < kNameLength && main.Name[length] != 0) ++length;
  return QString::fromUtf16(main.Name, length);
}

bool gesturesOn() {
  wcMain* main = AppWindows().wndMain();
  return main != nullptr && main->Gestures();
}

// Slides the cropped span of one axis by pixels from the lead margin toward
// the trail one, its length kept and the lead margin inside the picture.
void slideSpan(int32_t& lead, int32_t& trail, int32_t size, int32_t pixels) {
  if (pixels == 0) return;
  const int32_t kept = size - lead - trail;
  lead = std::clamp(lead + pixels, 0, std::max(size - kept, 0));
  trail = size - kept - lead;
}

} // namespace

wcInputCrop::wcInputCrop() : WindowController("wcInputCrop", kOpenCentred) {}

// Slots are closed with the window; the engine frees any left when it ends,
// which may be before the controllers go.
wcInputCrop::~wcInputCrop() = default;

QWidget* wcInputCrop::makeWindow() {
  QDialog* dialog = makeDialog("Crop Input File");
  auto* layout = new QHBoxLayout(dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  auto* left = new QVBoxLayout();
  PreviewImage = new NSImageViewCustom(dialog);
  PreviewImage->setObjectName("PreviewImage");
  PreviewImage->setFixedSize(kViewWidth, kViewHeight);
  // The frame with the rectangle lies over the frame itself and takes the mouse.
  PreviewBoxImage = new NSImageViewCustom(PreviewImage);
  PreviewBoxImage->setObjectName("PreviewBoxImage");
  PreviewBoxImage->setGeometry(0, 0, kViewWidth, kViewHeight);
  PreviewBoxImage->setDelegate(this);
  PreviewBoxImage->setMouseTracking(true);
  PreviewBoxImage->setCursor(Qt::CrossCursor);
  MousePositionLabel = new QLabel("Mouse Position:", dialog);
  MousePositionLabel->setObjectName("MousePositionLabel");
  left->addWidget(PreviewImage);
  left->addWidget(MousePositionLabel);
  left->addStretch(1);
  layout->addLayout(left);

  auto* right = new QVBoxLayout();
  PictureSizeLabel = new QLabel(dialog);
  PictureSizeLabel->setObjectName("PictureSizeLabel");
  right->addWidget(PictureSizeLabel);
  auto* size = new QHBoxLayout();
  size->addWidget(new QLabel("Cropped size:", dialog));
  CropSizeText = new TextField(dialog);
  CropSizeText->setObjectName("CropSizeText");
  CropSizeText->setToolTip("Width x height of the cropped picture");
  size->addWidget(CropSizeText);
  right->addLayout(size);
  right->addWidget(makeCropPairs(dialog));
  right->addWidget(makeMoveButtons(dialog));
  auto* zoom = new QHBoxLayout();
  ZoomInButton = new QPushButton("Zoom In", dialog);
  ZoomInButton->setObjectName("ZoomInButton");
  ZoomOutButton = new QPushButton("Zoom Out", dialog);
  ZoomOutButton->setObjectName("ZoomOutButton");
  zoom->addWidget(ZoomInButton);
  zoom->addWidget(ZoomOutButton);
  right->addLayout(zoom);
  right->addStretch(1);
  const DialogButtons buttons = AddOkCancelRow(right, dialog);
  layout->addLayout(right);

  connect(CropSizeText, &TextField::changed, this, &wcInputCrop::CropSizeText_Changed);
  connect(ZoomInButton, &QPushButton::clicked, this, &wcInputCrop::ZoomInButton_Pressed);
  connect(ZoomOutButton, &QPushButton::clicked, this, &wcInputCrop::ZoomOutButton_Pressed);
  connect(buttons.ok, &QPushButton::clicked, this, &wcInputCrop::OkButton_Pressed);
  connect(buttons.cancel, &QPushButton::clicked, this, &wcInputCrop::CancelButton_Pressed);
  return dialog;
}

QWidget* wcInputCrop::makeCropPairs(QWidget* parent) {
  auto* box = new QGroupBox("Crop (pixels)", parent);
  auto* grid = new QGridLayout(box);
  crop_ = std::make_unique<CropFields>(box, grid, [this]() { UpdatePreview(); });
  return box;
}

QWidget* wcInputCrop::makeMoveButtons(QWidget* parent) {
  auto* box = new QGroupBox("Move", parent);
  auto* grid = new QGridLayout(box);
  struct Button {
    const char* name;
    const char* face;
    QPoint cell;
    void (wcInputCrop::*action)();
  };
  const Button buttons[] = {{"MoveUpButton", "Up", {1, 0}, &wcInputCrop::MoveUpButton_Pressed},
                            {"MoveLeftButton", "Left", {0, 1}, &wcInputCrop::MoveLeftButton_Pressed},
                            {"MoveRightButton", "Right", {2, 1}, &wcInputCrop::MoveRightButton_Pressed},
                            {"MoveDownButton", "Down", {1, 2}, &wcInputCrop::MoveDownButton_Pressed}};
  for (const Button& b : buttons) {
    auto* button = new QPushButton(b.face, box);
    button->setObjectName(b.name);
    grid->addWidget(button, b.cell.y(), b.cell.x());
    connect(button, &QPushButton::clicked, this, b.action);
  }
  auto* pair = new QHBoxLayout();
  MoveAmountText = new TextField(box);
  MoveAmountText->setObjectName("MoveAmountText");
  MoveAmountText->setMaximumWidth(56);
  MoveAmountText->setToolTip("Pixels moved by each press");
  MoveAmountStepper = new RealStepper(1, 10, 1, box);
  MoveAmountStepper->setObjectName("MoveAmountStepper");
  pair->addWidget(MoveAmountText);
  pair->addWidget(MoveAmountStepper);
  grid->addLayout(pair, 1, 1);
  connect(MoveAmountText, &TextField::changed, this, &wcInputCrop::MoveAmountText_Changed);
  connect(MoveAmountStepper, &RealStepper::changed, this, &wcInputCrop::MoveAmountStepper_Changed);
  return box;
}

bool wcInputCrop::SetInput(uint32_t input, double previewTime) {
  window();
  state_.OurIndex = input;
  state_.PreviewTime = previewTime;
  state_.Success = false;
  const MainStruct* main = InputGetMain(input);
  const AdjustStruct* adjust = InputGetAdjust(input);
  if (main == nullptr || adjust == nullptr) {
    ErrorShowLast();
    return false;
  }
  state_.Main = *main;
  state_.Adjust = *adjust;
  const int32_t width = state_.Main.Width;
  const int32_t height = state_.Main.Height;
  // Without a picture size there is nothing to map the view onto.
  if (width == 0 || height == 0) {
    MessageShow(L"This input has no picture size yet, so it cannot be cropped.", 48);
    return false;
  }
  window()->setWindowTitle("Crop Input File: " + recordName(state_.Main));
  PictureSizeLabel->setText(QString::asprintf("Picture Size: %d x %d", width, height));
  // A position read off the last picture means nothing on this one.
  MousePositionLabel->setText("Mouse Position:");
  crop_->SetPictureSize(width, height);
  crop_->SetMargins({state_.Adjust.CropLeft, state_.Adjust.CropRight, state_.Adjust.CropTop, state_.Adjust.CropBottom});
  const int32_t moveMaximum = std::max((width + height) / 2, 10);
  MoveAmountStepper->setRange(1, moveMaximum);
  MoveAmountStepper->setIncrement(1);
  MoveAmountStepper->setValue(moveMaximum / 100);
  MoveAmountText->setText(QString::number(MoveAmountStepper->intValue()));

  state_.ScaleX = static_cast<double>(PreviewImage->width()) / width;
  state_.ScaleY = static_cast<double>(PreviewImage->height()) / height;
  preview_.close();
  PreviewImage->setImage(QImage());
  preview_.hold(SimplePreviewCreateForInput(input, PreviewImage->viewHandle(), PreviewImage->width(),
                                            PreviewImage->height(), 0, 0));
  if (preview_.isHeld()) {
    // The whole picture is drawn once, with the record put back at once.
    AdjustStruct uncropped = state_.Adjust;
    uncropped.CropLeft = uncropped.CropTop = uncropped.CropRight = uncropped.CropBottom = 0;
    InputSetAdjust(input, &uncropped);
    preview_.draw(0, state_.PreviewQuality, static_cast<float>(previewTime));
    InputSetAdjust(input, &state_.Adjust);
  }
  UpdatePreview();
  return true;
}

void wcInputCrop::takeCropTexts() {
  crop_->TakeTexts({CropFields::kLeft, CropFields::kRight, CropFields::kTop, CropFields::kBottom});
}

void wcInputCrop::UpdatePreview() {
  const int32_t width = state_.Main.Width;
  const int32_t height = state_.Main.Height;
  crop_->SetMargins(CropKeepPicture(crop_->Margins(), width, height));
  const CropMargins m = crop_->Margins();
  const int32_t cw = width - m.left - m.right;
  const int32_t ch = height - m.top - m.bottom;
  CropSizeText->setText(QString::asprintf("%d x %d", cw, ch));
  const int viewWidth = PreviewBoxImage->width();
  const int viewHeight = PreviewBoxImage->height();
  const int x = static_cast<int>(m.left * state_.ScaleX);
  int w = static_cast<int>(cw * state_.ScaleX);
  const int top = static_cast<int>(m.top * state_.ScaleY);
  int h = static_cast<int>(ch * state_.ScaleY);
  if (x + w > viewWidth) w = viewWidth - x;
  if (top + h > viewHeight - 1) h = viewHeight - 1 - top;
  // After the current event, so that a burst of changes draws the last one.
  QMetaObject::invokeMethod(this, [this, x, top, w, h]() { drawRectangle(x, top, w, h); }, Qt::QueuedConnection);
}

void wcInputCrop::drawRectangle(int x, int top, int width, int height) {
  QImage picture = PreviewImage->image().convertToFormat(QImage::Format_RGB32);
  if (picture.isNull()) {
    picture = QImage(PreviewBoxImage->size(), QImage::Format_RGB32);
    picture.fill(Qt::black);
  }
  QPainter painter(&picture);
  painter.setPen(QPen(QColor(0, 122, 255), 1));
  painter.drawPolygon(QPolygon({QPoint(x, top), QPoint(x + width, top), QPoint(x + width, top + height),
                                QPoint(x, top + height)}));
  painter.end();
  PreviewBoxImage->setImage(picture);
  PreviewBoxImage->repaint();
}

void wcInputCrop::MoveAmountText_Changed() {
  MoveAmountStepper->setValue(NSStringToInt(MoveAmountText->text()));
  MoveAmountStepper_Changed();
}

void wcInputCrop::MoveAmountStepper_Changed() {
  MoveAmountText->setText(QString::number(MoveAmountStepper->intValue()));
}

void wcInputCrop::MoveLeftButton_Pressed() {
  MoveAmountText_Changed();
  MoveX(-MoveAmountStepper->intValue());
}

void wcInputCrop::MoveRightButton_Pressed() {
  MoveAmountText_Changed();
  MoveX(MoveAmountStepper->intValue());
}

void wcInputCrop::MoveUpButton_Pressed() {
  MoveAmountText_Changed();
  MoveY(MoveAmountStepper->intValue());
}

void wcInputCrop::MoveDownButton_Pressed() {
  MoveAmountText_Changed();
  MoveY(-MoveAmountStepper->intValue());
}

void wcInputCrop::MoveX(int32_t pixels) { moveCrop(pixels, 0); }

// Positive pixels move the crop up: the bottom margin grows.
void wcInputCrop::MoveY(int32_t pixels) { moveCrop(0, pixels); }

void wcInputCrop::moveCrop(int32_t dx, int32_t dy) {
  if (dx == 0 && dy == 0) return;
  CropMargins m = crop_->Margins();
  slideSpan(m.left, m.right, state_.Main.Width, dx);
  slideSpan(m.bottom, m.top, state_.Main.Height, dy);
  crop_->SetMargins(m);
  UpdatePreview();
}

void wcInputCrop::CropSizeText_Changed() { TextSizeUpdate(); }

void wcInputCrop::TextSizeUpdate() {
  int32_t w = 0;
  int32_t h = 0;
  if (!CropParseSize(CropSizeText->text(), &w, &h)) return;
  const int32_t width = state_.Main.Width;
  const int32_t height = state_.Main.Height;
  w = std::clamp(w, 1, std::max(width, 1));
  h = std::clamp(h, 1, std::max(height, 1));
  CropMargins m = crop_->Margins();
  if (m.left + w > width) m.left = width - w;
  m.right = width - m.left - w;
  if (m.top + h > height) m.top = height - h;
  m.bottom = height - m.top - h;
  crop_->SetMargins(m);
  UpdatePreview();
}

void wcInputCrop::Zoom(double fraction) {
  takeCropTexts();
  crop_->SetMargins(CropZoom(crop_->Margins(), state_.Main.Width, state_.Main.Height, fraction));
}

void wcInputCrop::ZoomInButton_Pressed() {
  Zoom(kZoomStep);
  UpdatePreview();
}

void wcInputCrop::ZoomOutButton_Pressed() {
  Zoom(-kZoomStep);
  UpdatePreview();
}

QPointF wcInputCrop::pictureUp(QPointF viewPoint) const {
  return {viewPoint.x(), PreviewBoxImage->height() - viewPoint.y()};
}

void wcInputCrop::imageMouseDown(QPointF point) { state_.MouseStart = pictureUp(point); }

void wcInputCrop::imageMouseDrag(QPointF point) {
  if (state_.ScaleX <= 0 || state_.ScaleY <= 0) return;
  const QPointF now = pictureUp(point);
  const QPointF& start = state_.MouseStart;
  const int32_t leftEdge = RoundToInt(std::min(start.x(), now.x()) / state_.ScaleX);
  const int32_t rightEdge = RoundToInt(std::max(start.x(), now.x()) / state_.ScaleX);
  const int32_t bottomEdge = RoundToInt(std::min(start.y(), now.y()) / state_.ScaleY);
  const int32_t topEdge = RoundToInt(std::max(start.y(), now.y()) / state_.ScaleY);
  if (leftEdge == rightEdge || bottomEdge == topEdge) return;
  crop_->SetMargins({leftEdge, state_.Main.Width - rightEdge, state_.Main.Height - topEdge, bottomEdge});
  UpdatePreview();
}

void wcInputCrop::imageMouseMove(QPointF point) {
  if (state_.ScaleX <= 0 || state_.ScaleY <= 0) return;
  const QPointF up = pictureUp(point);
  const int x = std::clamp(static_cast<int>(up.x() / state_.ScaleX), 0, std::max(state_.Main.Width - 1, 0));
  const int y = std::clamp(static_cast<int>(up.y() / state_.ScaleY), 0, std::max(state_.Main.Height - 1, 0));
  MousePositionLabel->setText(QString::asprintf("Mouse Position: %d x %d", x, y));
}

void wcInputCrop::imageMouseMagnify(QPointF, double amount, bool) {
  if (!gesturesOn()) return;
  Zoom(-amount);
  UpdatePreview();
}

void wcInputCrop::OkButton_Pressed() {
  takeCropTexts();
  const CropMargins m = crop_->Margins();
  state_.Adjust.CropTop = m.top;
  state_.Adjust.CropBottom = m.bottom;
  state_.Adjust.CropLeft = m.left;
  state_.Adjust.CropRight = m.right;
  if (InputSetAdjust(state_.OurIndex, &state_.Adjust) != 0) {
    ErrorShowLast();
    return;
  }
  state_.Success = true;
  close();
}

void wcInputCrop::CancelButton_Pressed() { close(); }

void wcInputCrop::windowWillClose() { preview_.close(); }
