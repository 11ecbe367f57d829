#include "ui/dispobj/wcDispObjBackground.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "base/error.h"
#include "base/message_box.h"
#include "model/dispobjs.h"
#include "render/objects/background_bitmap.h"
#include "render/preview/main_preview.h"
#include "render/preview/simple_preview.h"
#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/NSTextLabelCustom.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr int kPreviewWidth = 320;
constexpr int kPreviewHeight = 240;
constexpr double kRotateLimit = 180;   // degrees either way
constexpr double kRotateStep = 0.5;
constexpr double kZoomMaximum = 4;     // 0 draws at 1.0, as a new object's zoom
constexpr double kZoomStep = 0.05;
constexpr double kRangeMaximum = 255;  // colour and brightness tolerances
constexpr uint32_t kChromaOff = 0xFF000000;
constexpr uint32_t kOptionKeepRatio = 0x01;
constexpr uint32_t kOptionNoBitmap = 0x80;
constexpr uint32_t kPreviewQuality = 4;
const char* const kFolderKey = "InputDir";

// Half-steps print without a stray minus on zero.
QString rotateText(double degrees) { return QString::asprintf("Rotate: %.01f\u00B0", degrees + 0.0); }
QString zoomText(double zoom) { return QString::asprintf("Zoom: %.01f", zoom + 0.0); }

QHBoxLayout* rangeRow(const QString& title, TextField*& text, RealStepper*& stepper, const QString& name,
                      QWidget* parent) {
  auto* row = new QHBoxLayout();
  row->setSpacing(2);
  row->addWidget(new QLabel(title, parent));
  text = new TextField(parent);
  text->setObjectName(name + "Text");
  text->setFixedWidth(44);
  text->setAlignment(Qt::AlignRight);
  stepper = new RealStepper(0, kRangeMaximum, 1, parent);
  stepper->setObjectName(name + "Stepper");
  row->addWidget(text);
  row->addWidget(stepper);
  return row;
}

} // namespace

wcDispObjBackground::wcDispObjBackground() : WindowController("wcDispObjBackground", kOpenCentred) {}

wcDispObjBackground::~wcDispObjBackground() { EndPreview(); }

QWidget* wcDispObjBackground::makeWindow() {
  QDialog* dialog = makeDialog("Background Image");
  auto* layout = new QVBoxLayout(dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  auto* top = new QHBoxLayout();
  top->addWidget(makePreviewColumn(dialog));
  top->addWidget(makeButtonColumn(dialog), 0, Qt::AlignTop);
  layout->addLayout(top);

  auto* sliders = new QGridLayout();
  RotateLabel = new NSTextLabelCustom(rotateText(0), dialog);
  RotateLabel->setObjectName("RotateLabel");
  RotateLabel->setToolTip("Click to set the rotation back to 0");
  RotateLabel->setMinimumWidth(110);
  RotateSlider = new RealSlider(-kRotateLimit, kRotateLimit, kRotateStep, dialog);
  RotateSlider->setObjectName("RotateSlider");
  ZoomLabel = new NSTextLabelCustom(zoomText(1), dialog);
  ZoomLabel->setObjectName("ZoomLabel");
  ZoomLabel->setToolTip("Click to set the zoom back to its automatic value");
  ZoomSlider = new RealSlider(0, kZoomMaximum, kZoomStep, dialog);
  ZoomSlider->setObjectName("ZoomSlider");
  sliders->addWidget(RotateLabel, 0, 0);
  sliders->addWidget(RotateSlider, 0, 1);
  sliders->addWidget(ZoomLabel, 1, 0);
  sliders->addWidget(ZoomSlider, 1, 1);
  layout->addLayout(sliders);

  ChromaEnabledCheck = new QCheckBox("Chroma key: make one colour of the picture transparent", dialog);
  ChromaEnabledCheck->setObjectName("ChromaEnabledCheck");
  layout->addWidget(ChromaEnabledCheck);
  layout->addWidget(makeChromaGroup(dialog));

  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  OkButton = new QPushButton("OK", dialog);
  OkButton->setObjectName("OkButton");
  OkButton->setDefault(true);
  buttons->addWidget(OkButton);
  layout->addLayout(buttons);

  connect(OkButton, &QPushButton::clicked, this, &wcDispObjBackground::OkButton_Pressed);
  connect(RotateSlider, &RealSlider::changed, this, &wcDispObjBackground::RotateSlider_Changed);
  connect(RotateLabel, &NSTextLabelCustom::clicked, this, &wcDispObjBackground::RotateLabel_Clicked);
  connect(ZoomSlider, &RealSlider::changed, this, &wcDispObjBackground::ZoomSlider_Changed);
  connect(ZoomLabel, &NSTextLabelCustom::clicked, this, &wcDispObjBackground::ZoomLabel_Clicked);
  connect(ChromaEnabledCheck, &QCheckBox::clicked, this, &wcDispObjBackground::ChromaEnabledCheck_Changed);
  return dialog;
}

QWidget* wcDispObjBackground::makePreviewColumn(QWidget* parent) {
  auto* column = new QWidget(parent);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* frame = new QWidget(column);
  frame->setFixedSize(kPreviewWidth, kPreviewHeight);
  auto* stack = new QGridLayout(frame);
  stack->setContentsMargins(0, 0, 0, 0);
  PreviewImage = new NSImageViewCustom(frame);
  PreviewImage->setObjectName("PreviewImage");
  PreviewImage->setFixedSize(kPreviewWidth, kPreviewHeight);
  NoImageLabel = new QLabel("No Background Image", frame);
  NoImageLabel->setObjectName("NoImageLabel");
  NoImageLabel->setAlignment(Qt::AlignCenter);
  NoImageLabel->setFrameShape(QFrame::StyledPanel);
  stack->addWidget(PreviewImage, 0, 0);
  stack->addWidget(NoImageLabel, 0, 0);
  layout->addWidget(frame);
  PreviewAllCheck = new QCheckBox("Preview the whole display object", column);
  PreviewAllCheck->setObjectName("PreviewAllCheck");
  layout->addWidget(PreviewAllCheck);
  EditWaitingLabel = new QLabel("Waiting for the image editor to close...", column);
  EditWaitingLabel->setObjectName("EditWaitingLabel");
  EditWaitingLabel->setStyleSheet("color: #B04000;");
  // Hidden, the label keeps its room: nothing below jumps while an editor runs.
  QSizePolicy keepRoom = EditWaitingLabel->sizePolicy();
  keepRoom.setRetainSizeWhenHidden(true);
  EditWaitingLabel->setSizePolicy(keepRoom);
  EditWaitingLabel->hide();
  layout->addWidget(EditWaitingLabel);
  connect(PreviewAllCheck, &QCheckBox::clicked, this, &wcDispObjBackground::PreviewAllCheck_Changed);
  return column;
}

QWidget* wcDispObjBackground::makeButtonColumn(QWidget* parent) {
  auto* column = new QWidget(parent);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  auto button = [column, layout](const char* title, const char* name, const char* tip) {
    auto* b = new QPushButton(title, column);
    b->setObjectName(name);
    b->setToolTip(tip);
    layout->addWidget(b);
    return b;
  };
  ImportButton = button("Import...", "ImportButton", "Load the picture from an image file");
  ExportButton = button("Export...", "ExportButton", "Save the picture as a BMP file");
  EditButton = button("Edit...", "EditButton", "Edit the picture in your image editor");
  ClearButton = button("Clear", "ClearButton", "Remove the picture");
  layout->addSpacing(8);
  KeepRatioCheck = new QCheckBox("Keep aspect ratio", column);
  KeepRatioCheck->setObjectName("KeepRatioCheck");
  layout->addWidget(KeepRatioCheck);
  layout->addStretch(1);
  connect(ImportButton, &QPushButton::clicked, this, &wcDispObjBackground::ImportButton_Pressed);
  connect(ExportButton, &QPushButton::clicked, this, &wcDispObjBackground::ExportButton_Pressed);
  connect(EditButton, &QPushButton::clicked, this, &wcDispObjBackground::EditButton_Pressed);
  connect(ClearButton, &QPushButton::clicked, this, &wcDispObjBackground::ClearButton_Pressed);
  connect(KeepRatioCheck, &QCheckBox::clicked, this, &wcDispObjBackground::KeepRatioCheck_Changed);
  return column;
}

QGroupBox* wcDispObjBackground::makeChromaGroup(QWidget* parent) {
  ChromaGroup = new QGroupBox(parent);
  ChromaGroup->setObjectName("ChromaGroup");
  auto* layout = new QVBoxLayout(ChromaGroup);
  auto* colour = new QHBoxLayout();
  colour->addWidget(new QLabel("Key colour:", ChromaGroup));
  ChromaColor = new NSColorWellCustom(ChromaGroup);
  ChromaColor->setObjectName("ChromaColor");
  ChromaColorChoose = new QPushButton("Choose...", ChromaGroup);
  ChromaColorChoose->setObjectName("ChromaColorChoose");
  colour->addWidget(ChromaColor);
  colour->addWidget(ChromaColorChoose);
  colour->addStretch(1);
  layout->addLayout(colour);
  auto* ranges = new QHBoxLayout();
  ranges->addLayout(rangeRow("Colour range:", ChromaColorRangeText, ChromaColorRangeStepper, "ChromaColorRange",
                             ChromaGroup));
  ranges->addSpacing(16);
  ranges->addLayout(rangeRow("Brightness range:", ChromaBrightRangeText, ChromaBrightRangeStepper,
                             "ChromaBrightRange", ChromaGroup));
  ranges->addStretch(1);
  layout->addLayout(ranges);
  connect(ChromaColor, &NSColorWellCustom::changed, this, &wcDispObjBackground::ChromaColor_Changed);
  connect(ChromaColorChoose, &QPushButton::clicked, this, &wcDispObjBackground::ChromaColorChoose_Pressed);
  connect(ChromaColorRangeText, &TextField::changed, this, &wcDispObjBackground::ChromaColorRangeText_Changed);
  connect(ChromaColorRangeStepper, &RealStepper::changed, this,
          &wcDispObjBackground::ChromaColorRangeStepper_Changed);
  connect(ChromaBrightRangeText, &TextField::changed, this, &wcDispObjBackground::ChromaBrightRangeText_Changed);
  connect(ChromaBrightRangeStepper, &RealStepper::changed, this,
          &wcDispObjBackground::ChromaBrightRangeStepper_Changed);
  return ChromaGroup;
}

bool wcDispObjBackground::SetData(int index) {
  window();
  state_.OurIndex = static_cast<uint32_t>(index);
  PreviewAllCheck->setChecked(false);
  UpdatePreview();
  return true;
}

void wcDispObjBackground::UpdatePreview() {
  if (!isWindowLoaded()) return;
  const uint32_t options = DispObjBitmapGetOptions(state_.OurIndex);
  if (const DispStruct* record = DispObjGet(state_.OurIndex)) {
    // The renderer turns the picture clockwise by the stored angle, as the
    // slider reads: moved right, it turns the picture right.
    RotateSlider->setValue(record->BitmapRotate);
    RotateLabel->setText(rotateText(RotateSlider->value()));
    ZoomSlider->setValue(record->BitmapZoom);
    ZoomLabel->setText(zoomText(ZoomSlider->value()));
    ChromaEnabledCheck->setChecked((record->BitmapChroma & kChromaOff) < kChromaOff);
    ChromaColor->setColor(ColorToNSColor(record->BitmapChroma | kChromaOff));
    ChromaColorRangeStepper->setValue(record->BitmapChromaCRange);
    ChromaColorRangeText->setText(QString::number(ChromaColorRangeStepper->intValue()));
    ChromaBrightRangeStepper->setValue(record->BitmapChromaBRange);
    ChromaBrightRangeText->setText(QString::number(ChromaBrightRangeStepper->intValue()));
  }
  KeepRatioCheck->setChecked((options & kOptionKeepRatio) != 0 && (options & kOptionNoBitmap) == 0);
  SetEnabled();
  EndPreview();
  const bool whole = PreviewAllCheck->isChecked();
  const bool picture = whole || (options & kOptionNoBitmap) == 0;
  NoImageLabel->setVisible(!picture);
  PreviewImage->setVisible(picture);
  if (picture) {
    preview_.hold(whole ? SimplePreviewCreateForDispObj(state_.OurIndex, PreviewImage->viewHandle(), kPreviewWidth,
                                                        kPreviewHeight, 1)
                        : DispObjBitmapSimplePreview(state_.OurIndex, PreviewImage->viewHandle(), kPreviewWidth,
                                                     kPreviewHeight));
  }
  RedrawPreview();
}

void wcDispObjBackground::RedrawPreview() {
  if (!preview_.isHeld()) return;
  if (PreviewAllCheck->isChecked()) {
    preview_.draw(0, kPreviewQuality, PreviewGetTime());
  } else {
    preview_.redraw();
  }
}

void wcDispObjBackground::SetEnabled() {
  const bool bitmap = (DispObjBitmapGetOptions(state_.OurIndex) & kOptionNoBitmap) == 0;
  for (QWidget* control : std::initializer_list<QWidget*>{ClearButton, EditButton, ExportButton, KeepRatioCheck,
                                                          RotateLabel, RotateSlider, ZoomLabel, ZoomSlider,
                                                          ChromaEnabledCheck})
    UISetControlEnabled(control, bitmap);
  UISetControlEnabled(ChromaGroup, bitmap && ChromaEnabledCheck->isChecked());
  ImportButton->setEnabled(true);
}

template <typename Change> void wcDispObjBackground::editRecord(Change change) {
  if (const DispStruct* current = DispObjGet(state_.OurIndex)) {
    DispStruct record = *current;
    change(record);
    if (DispObjSet(state_.OurIndex, &record) != 0) ErrorShowLast();
  }
  UpdatePreview();
}

void wcDispObjBackground::ZoomSlider_Changed() {
  const auto zoom = static_cast<float>(ZoomSlider->value());
  editRecord([zoom](DispStruct& r) { r.BitmapZoom = zoom; });
}

void wcDispObjBackground::ZoomLabel_Clicked() {
  editRecord([](DispStruct& r) { r.BitmapZoom = 0.0f; });
}

void wcDispObjBackground::RotateSlider_Changed() {
  const auto degrees = static_cast<float>(RotateSlider->value());
  editRecord([degrees](DispStruct& r) { r.BitmapRotate = degrees; });
}

void wcDispObjBackground::RotateLabel_Clicked() {
  editRecord([](DispStruct& r) { r.BitmapRotate = 0.0f; });
}

void wcDispObjBackground::ChromaEnabledCheck_Changed() {
  const bool on = ChromaEnabledCheck->isChecked();
  SetEnabled();
  editRecord([on](DispStruct& r) { r.BitmapChroma = on ? r.BitmapChroma & ~kChromaOff : r.BitmapChroma | kChromaOff; });
}

void wcDispObjBackground::ChromaColor_Changed() {
  const uint32_t key = NSColorToColor(ChromaColor->color()) & ~kChromaOff;
  editRecord([key](DispStruct& r) { r.BitmapChroma = key; });
}

void wcDispObjBackground::ChromaColorChoose_Pressed() { ChromaColor->activate(); }

void wcDispObjBackground::ChromaColorRangeStepper_Changed() {
  const int value = ChromaColorRangeStepper->intValue();
  ChromaColorRangeText->setText(QString::number(value));
  editRecord([value](DispStruct& r) { r.BitmapChromaCRange = static_cast<uint16_t>(value); });
}

void wcDispObjBackground::ChromaBrightRangeStepper_Changed() {
  const int value = ChromaBrightRangeStepper->intValue();
  ChromaBrightRangeText->setText(QString::number(value));
  editRecord([value](DispStruct& r) { r.BitmapChromaBRange = static_cast<uint16_t>(value); });
}

void wcDispObjBackground::ChromaColorRangeText_Changed() {
  ChromaColorRangeStepper->setValue(NSStringToInt(ChromaColorRangeText->text()));
  ChromaColorRangeStepper_Changed();
}

void wcDispObjBackground::ChromaBrightRangeText_Changed() {
  ChromaBrightRangeStepper->setValue(NSStringToInt(ChromaBrightRangeText->text()));
  ChromaBrightRangeStepper_Changed();
}

void wcDispObjBackground::KeepRatioCheck_Changed() {
  const uint32_t options = DispObjBitmapGetOptions(state_.OurIndex);
  const uint32_t changed = KeepRatioCheck->isChecked() ? options | kOptionKeepRatio : options & 0xFE;
  if (DispObjBitmapSetOptions(state_.OurIndex, static_cast<uint8_t>(changed)) != 0) ErrorShowLast();
  UpdatePreview();
}

void wcDispObjBackground::ClearButton_Pressed() {
  if (AppMessageBox(L"Are you sure you want to remove the background image?", 36) != kMbYes) return;
  state_.EditCancel = true;
  if (DispObjBitmapClear(state_.OurIndex) != 0) ErrorShowLast();
  UpdatePreview();
}

void wcDispObjBackground::importFile(const QString& path) {
  // A running editor session must not bring back an older picture later.
  state_.EditCancel = true;
  if (DispObjBitmapImport(state_.OurIndex, NSStringToWStr(path).c_str()) != 0) ErrorShowLast();
}

void wcDispObjBackground::ImportButton_Pressed() {
  FileDialogRequest request;
  request.title = "Import Background Image File...";
  request.directory = UserDefaultsReadFolder(kFolderKey);
  request.types = AppDelegate::GetMediaFileTypes(4);
  request.otherTypes = true;
  const QStringList chosen = FileDialogRun(window(), request);
  if (!chosen.isEmpty()) {
    importFile(chosen.front());
    UserDefaultsWriteFolderOf(kFolderKey, chosen.front());
  }
  UpdatePreview();
}

void wcDispObjBackground::ExportButton_Pressed() {
  const char16_t* name = DispObjGetName(state_.OurIndex);
  const QString fileName = (name != nullptr ? W16ToNSString(name) : QString("Background")) + ".bmp";
  const QString path =
      FileDialogSave(window(), "Export Background Image File...", UserDefaultsReadFolder(kFolderKey), fileName, {"bmp"});
  if (path.isEmpty()) return;
  if (DispObjBitmapExport(state_.OurIndex, NSStringToWStr(path).c_str()) != 0) ErrorShowLast();
  UserDefaultsWriteFolderOf(kFolderKey, path);
}

Qt::DropActions wcDispObjBackground::draggingEntered(const QMimeData*) { return Qt::CopyAction; }

bool wcDispObjBackground::prepareForDragOperation(const QMimeData*) { return true; }

bool wcDispObjBackground::performDragOperation(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return false;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) continue;
    importFile(url.toLocalFile());
    UpdatePreview();
    break;
  }
  // The drop itself is not a move or copy of the file.
  return false;
}

void wcDispObjBackground::OkButton_Pressed() { close(); }

void wcDispObjBackground::windowDidOpen() {
  EditWaitingLabel->setVisible(state_.EditRunning);
  PreviewImage->setOwnerWindow(window());
  RegisterDraggingDestination(window(), this);
}

void wcDispObjBackground::windowWillClose() {
  state_.EditCancel = true;
  EndPreview();
}
