#include "ui/dispobj/wcDispObjToolbox.h"

#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

#include "base/error.h"
#include "model/disp_types.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "media/datalog/datalog_queries.h"
#include "ui/controls/list_icons.h"
#include "ui/shell/AppDelegate.h"
#include "ui/util/ui_utils.h"

namespace {

bool isVideo(uint32_t t) { return t == kInputVideo || t == kInputJoinVideo; }
bool isSound(uint32_t t) { return t == kInputAudio || t == kInputJoinAudio; }
bool isData(uint32_t t) { return t == kInputData || t == kInputJoinData; }

} // namespace

wcDispObjToolbox::wcDispObjToolbox() : WindowController("wcDispObjToolbox") { spIndex_.fill(-1); }

QWidget* wcDispObjToolbox::makeWindow() {
  QDialog* dialog = makeDialog("Add Display Object");
  auto* row = new QHBoxLayout(dialog);
  row->setSizeConstraint(QLayout::SetFixedSize);
  row->addWidget(makeButtons(dialog));
  row->addWidget(makeStylePage(dialog));
  return dialog;
}

QWidget* wcDispObjToolbox::makeButtons(QWidget* parent) {
  auto* left = new QWidget(parent);
  left->setFixedWidth(kNarrowWidth - 22);
  auto* column = new QVBoxLayout(left);
  column->setContentsMargins(0, 0, 0, 0);
  auto* inputRow = new QHBoxLayout();
  InputLabel = new QLabel("Input:", left);
  InputSelection = new QComboBox(left);
  InputSelection->setObjectName("InputSelection");
  inputRow->addWidget(InputLabel);
  inputRow->addWidget(InputSelection, 1);
  column->addLayout(inputRow);
  SelectInputFileLabel = new QLabel(left);
  SelectInputFileLabel->setObjectName("SelectInputFileLabel");
  column->addWidget(SelectInputFileLabel);
  auto* fieldRow = new QHBoxLayout();
  FieldLabel = new QLabel("Data channel:", left);
  FieldSelection = new QComboBox(left);
  FieldSelection->setObjectName("FieldSelection");
  FieldSelection->setEditable(true);
  FieldSelection->setInsertPolicy(QComboBox::NoInsert);
  fieldRow->addWidget(FieldLabel);
  fieldRow->addWidget(FieldSelection, 1);
  column->addLayout(fieldRow);

  MediaGroup = new QGroupBox("Video and Sound", left);
  MediaGroup->setObjectName("MediaGroup");
  DrawingGroup = new QGroupBox("Drawing", left);
  DrawingGroup->setObjectName("DrawingGroup");
  DataGroup = new QGroupBox("Data", left);
  DataGroup->setObjectName("DataGroup");
  std::array<QGridLayout*, 3> grids{};
  std::array<int, 3> counts{};
  for (int g = 0; g < 3; ++g) {
    QGroupBox* box = std::array<QGroupBox*, 3>{MediaGroup, DrawingGroup, DataGroup}[g];
    grids[g] = new QGridLayout(box);
    grids[g]->setSpacing(4);
    grids[g]->setColumnStretch(4, 1); // buttons from the left
    column->addWidget(box);
  }
  // One button per kind that the type table puts into a box, in its order.
  for (const DispTypeInfo* info = DispTypesBegin(); info != DispTypesEnd(); ++info) {
    if (info->toolboxButton == nullptr || info->toolboxBox == DispToolboxBox::kHidden) continue;
    const int g = info->toolboxBox == DispToolboxBox::kMedia ? 0 : info->toolboxBox == DispToolboxBox::kDrawing ? 1 : 2;
    QGroupBox* box = std::array<QGroupBox*, 3>{MediaGroup, DrawingGroup, DataGroup}[g];
    auto* button = new QToolButton(box);
    button->setObjectName(info->toolboxButton);
    // Long names take two lines under the icon.
    QString title = info->typeName != nullptr ? info->typeName : "Scripted";
    if (button->fontMetrics().horizontalAdvance(title) > 88 && title.contains(' '))
      title.replace(title.lastIndexOf(' '), 1, '\n');
    button->setText(title);
    button->setIcon(QIcon(QPixmap::fromImage(DispObjTypeIcon(info->type))));
    button->setIconSize(QSize(24, 24));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setCheckable(true);
    button->setFixedSize(96, 60);
    grids[g]->addWidget(button, counts[g] / 4, counts[g] % 4);
    ++counts[g];
    const uint32_t type = info->type;
    // Shapes and texts read no input: they are always added without one.
    const bool free = info->input == DispInputKind::kNone;
    connect(button, &QToolButton::clicked, this, [this, button, type, free]() {
      SelectButton(button);
      AddObject(type, free ? kNoInput : newInputID_);
    });
    typeButtons_[typeButtonCount_] = button;
    typeCodes_[typeButtonCount_] = type;
    ++typeButtonCount_;
  }
  column->addStretch(1);
  connect(InputSelection, &QComboBox::activated, this, &wcDispObjToolbox::InputSelection_Changed);
  return left;
}

QToolButton* wcDispObjToolbox::TypeButton(uint32_t type) const {
  for (int i = 0; i < typeButtonCount_; ++i)
    if (typeCodes_[i] == type) return typeButtons_[i];
  return nullptr;
}

uint32_t wcDispObjToolbox::inputTypeOf(uint32_t input) const { return input == kNoInput ? 0 : InputGetType(input); }

void wcDispObjToolbox::SetData(uint32_t input) {
  window();
  newIndex_ = kNoDispObj;
  newType_ = 0;
  newInputID_ = input;
  styleSelected_ = false;
  InputSelection->clear();
  InputSelection->addItem("(None)");
  defaultVideoID_ = defaultAudioID_ = defaultDataID_ = kNoInput;
  int chosen = 0;
  for (uint32_t i = 0; i < InputCount(); ++i) {
    const MainStruct* found = InputGetMain(i);
    if (found == nullptr || found->ParentJoin != kNoInput) continue;
    const MainStruct record = *found;
    if (i == newInputID_) chosen = InputSelection->count();
    InputSelection->addItem(W16ToNSString(record.Name));
    if (isVideo(record.Type) && defaultVideoID_ == kNoInput) defaultVideoID_ = i;
    if (isSound(record.Type) && defaultAudioID_ == kNoInput) defaultAudioID_ = i;
    if (isData(record.Type) && defaultDataID_ == kNoInput) defaultDataID_ = i;
  }
  InputSelection->setCurrentIndex(chosen);
  SetEnabled();
  if (QToolButton* enhanced = TypeButton(kDispEnhanced)) enhanced->hide();
}

void wcDispObjToolbox::SetEnabled() {
  const uint32_t t = inputTypeOf(newInputID_);
  const bool none = newInputID_ == kNoInput;
  const bool media = none || isVideo(t) || isSound(t) || t == kInputImage;
  UISetControlEnabled(MediaGroup, media);
  UISetControlEnabled(DrawingGroup, none);
  UISetControlEnabled(DataGroup, none || t == kInputData || t == kInputJoinData);
  if (QToolButton* video = TypeButton(kDispVideo)) video->setEnabled(none || isVideo(t) || t == kInputImage);
  if (QToolButton* audio = TypeButton(kDispAudio)) audio->setEnabled(none || isVideo(t) || isSound(t));
}

void wcDispObjToolbox::InputSelection_Changed() {
  const QString text = InputSelection->currentText();
  newInputID_ = text.isEmpty() ? kNoInput : InputFind(text.toStdU16String().c_str());
  SetEnabled();
  SetInputSelectControls();
}

void wcDispObjToolbox::SetInputSelectControls() {
  const uint32_t t = inputTypeOf(newInputID_);
  const DispTypeInfo* info = DispTypeFind(newType_);
  QString kind, article = "a";
  bool fits = true;
  if (info != nullptr && !info->inputOptional) {
    switch (info->input) {
    case DispInputKind::kPicture: kind = "Video"; fits = isVideo(t); break;
    case DispInputKind::kSound: kind = "Audio"; article = "an"; fits = isVideo(t) || isSound(t); break;
    case DispInputKind::kData: kind = "Data"; fits = isData(t); break;
    case DispInputKind::kNone: break;
    }
  }
  if (!kind.isEmpty() && !fits) {
    FieldLabel->hide();
    FieldSelection->hide();
    SelectInputFileLabel->setText(QString("<-- Select %1 %2 Input File to use for this Display Object").arg(article, kind));
    SelectInputFileLabel->show();
    return;
  }
  SelectInputFileLabel->hide();
  if (info == nullptr || !info->toolboxChannel) {
    FieldSelection->setEditText("(Automatic)");
    FieldLabel->hide();
    FieldSelection->hide();
    return;
  }
  const QString kept = FieldSelection->currentText();
  FieldSelection->clear();
  FieldSelection->addItem("(Automatic)");
  if (newInputID_ != kNoInput) {
    for (uint32_t n = 0; n < 256; ++n) {
      const char16_t* name = InputHandlerGetDataFieldName(newInputID_, n, 1);
      if (ErrorGetLast() < 0) break;
      const QString text = W16ToNSString(name);
      if (!text.isEmpty()) FieldSelection->addItem(text);
    }
  }
  FieldSelection->setEditText(kept.isEmpty() ? QString("(Automatic)") : kept);
  FieldLabel->show();
  FieldSelection->show();
}

void wcDispObjToolbox::AddObject(uint32_t type, uint32_t input) {
  if (newIndex_ != kNoDispObj) DispObjRemove(newIndex_, 1);
  const DispTypeInfo* info = DispTypeFind(type);
  if (input == kNoInput && info != nullptr) {
    uint32_t fallback = kNoInput;
    switch (info->input) {
    case DispInputKind::kPicture: fallback = defaultVideoID_; break;
    case DispInputKind::kSound: fallback = defaultAudioID_; break;
    case DispInputKind::kData: fallback = defaultDataID_; break;
    case DispInputKind::kNone: break;
    }
    if (fallback != kNoInput) {
      input = fallback;
      newInputID_ = fallback;
      const int row = InputSelection->findText(W16ToNSString(InputGetName(fallback)));
      if (row >= 0) InputSelection->setCurrentIndex(row);
    }
  }
  newType_ = type;
  newIndex_ = DispObjAdd(type, input);
  ErrorShowLast();
  styleSelected_ = true;
  close();
}

void wcDispObjToolbox::SetWindowSize(bool wide) {
  QWidget* w = window();
  QWidget* page = w->findChild<QWidget*>("StylePage");
  const int before = w->width();
  if (page != nullptr) page->setVisible(wide);
  w->adjustSize();
  if (wide && before < w->width()) w->move(std::max(0, w->x() - (w->width() - before) / 2), w->y());
}

void wcDispObjToolbox::SelectButton(QToolButton* sender) {
  for (int i = 0; i < typeButtonCount_; ++i) typeButtons_[i]->setChecked(typeButtons_[i] == sender);
}

void wcDispObjToolbox::windowDidOpen() {
  styleSelected_ = false;
  previewCount_ = 0;
  lastOffset_ = -1;
  OffsetSlider->setValue(0);
  SelectInputFileLabel->hide();
  FieldLabel->hide();
  FieldSelection->hide();
  FieldSelection->setEditText(QString());
  FieldSelection->setCurrentIndex(-1);
  if (QToolButton* bar = TypeButton(kDispBar)) bar->setText("Bar Graph");
  SetWindowSize(false);
  SelectButton(nullptr);
  if (AppDelegate::shared() != nullptr) AppDelegate::shared()->CenterWindow(this);
}

void wcDispObjToolbox::windowWillClose() {
  EndPreviews();
  if (!styleSelected_ && newIndex_ != kNoDispObj) {
    DispObjRemove(newIndex_, 1);
    newIndex_ = kNoDispObj;
  }
}

bool wcDispObjToolbox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == windowIfLoaded() && event->type() == QEvent::Wheel) {
    scrollWheel(static_cast<QWheelEvent*>(event)->angleDelta().y() / 120.0);
    return true;
  }
  return WindowController::eventFilter(watched, event);
}
