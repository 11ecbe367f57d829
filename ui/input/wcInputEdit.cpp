#include "ui/input/wcInputEdit.h"

#include <QCheckBox>
#include <QDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "model/inputs.h"
#include "media/embedded_data.h"
#include "render/preview/simple_preview.h"
#include "ui/controls/NSTextLabelCustom.h"
#include "ui/controls/dialog_buttons.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/input/input_data_group.h"
#include "ui/input/input_picture_group.h"
#include "ui/input/input_sound_group.h"
#include "ui/input/wcInputTrim.h"
#include "ui/seams/desktop.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/modal_run.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/window_calls.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr int kPreviewWidth = 320;
constexpr int kPreviewHeight = 200;

QString recordText(const char16_t* text, int capacity) {
  qsizetype length = 0;
  while (length < capacity && text[length] != 0) ++length;
  return QString::fromUtf16(text, length);
}

QString timeText(double seconds) { return FormatTimeNSString(2, 0, seconds); }

QString typeText(uint8_t type) {
  switch (type) {
  case kInputVideo: return "Type: Video";
  case kInputAudio: return "Type: Audio";
  case kInputImage: return "Type: Image";
  case kInputData: return "Type: Data";
  case kInputJoinVideo:
  case kInputJoinAudio:
  case kInputJoinData: return "Type: Join";
  default: return "Type: None";
  }
}

InputShows showsFor(uint8_t type, bool hasDataFlag) {
  InputShows shows;
  switch (type) {
  case kInputVideo: shows.HasAudio = shows.HasVideo = shows.HasLength = true; break;
  case kInputAudio: shows.HasAudio = shows.HasLength = true; break;
  case kInputImage: shows.HasVideo = true; break;
  case kInputData: shows.HasData = shows.HasLength = true; break;
  default: break;
  }
  shows.HasData = shows.HasData || hasDataFlag;
  return shows;
}

// Writes a record unless the engine holds it already: every write makes the
// engine re-read what depends on the input.
template <typename Record>
bool writeIfChanged(uint32_t input, const Record& copy, const Record* (*get)(uint32_t),
                    int (*set)(uint32_t, const Record*)) {
  const Record* held = get(input);
  if (held != nullptr && std::memcmp(held, &copy, sizeof(Record)) == 0) return true;
  return set(input, &copy) == 0;
}

} // namespace

wcInputEdit::wcInputEdit() : WindowController("wcInputEdit", kOpenCentred) {
  // In the order the window stacks them below the file group; the data
  // group stands beside them.
  groups_.push_back(std::make_unique<InputSoundGroup>(*this));
  groups_.push_back(std::make_unique<InputPictureGroup>(*this));
  groups_.push_back(std::make_unique<InputDataGroup>(*this));
}

// Slots are closed with the window; the engine frees any left when it ends,
// which may be before the controllers go.
wcInputEdit::~wcInputEdit() = default;

InputPictureGroup* wcInputEdit::picture() const {
  for (const auto& group : groups_) {
    if (auto* found = dynamic_cast<InputPictureGroup*>(group.get())) return found;
  }
  return nullptr;
}

QWidget* wcInputEdit::makeWindow() {
  QDialog* dialog = makeDialog("Configure Input File");
  auto* layout = new QVBoxLayout(dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  auto* columns = new QHBoxLayout();
  auto* stacked = new QVBoxLayout();
  auto* top = new QHBoxLayout();
  top->addWidget(makeFileGroup(dialog), 1);
  top->addWidget(makePreviewColumn(dialog));
  stacked->addLayout(top);
  columns->addLayout(stacked);
  for (const auto& group : groups_) {
    if (group->OwnColumn()) columns->addWidget(group->Box(dialog), 0, Qt::AlignTop);
    else stacked->addWidget(group->Box(dialog));
  }
  stacked->addStretch(1);
  layout->addLayout(columns);
  const DialogButtons buttons = AddOkCancelRow(layout, dialog);
  ui_.OkButton = buttons.ok;
  ui_.CancelButton = buttons.cancel;
  connect(ui_.OkButton, &QPushButton::clicked, this, &wcInputEdit::OkButton_Pressed);
  connect(ui_.CancelButton, &QPushButton::clicked, this, &wcInputEdit::CancelButton_Pressed);
  return dialog;
}

QWidget* wcInputEdit::makeFileGroup(QWidget* parent) {
  auto* box = new QGroupBox("File", parent);
  box->setObjectName("FileGroup");
  ui_.FileGroup = box;
  auto* grid = new QGridLayout(box);
  auto label = [box](const char* name, const QString& text = QString()) {
    auto* made = new QLabel(text, box);
    made->setObjectName(name);
    return made;
  };
  ui_.FileNameLabel = label("FileNameLabel");
  ui_.FileNameLabel->setWordWrap(true);
  ui_.FileNameLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  ui_.FileNameLabel->setMinimumWidth(380);
  grid->addWidget(ui_.FileNameLabel, 0, 0, 1, 4);
  grid->addWidget(label("NameLabel", "Name:"), 1, 0);
  ui_.NameText = new TextField(box);
  ui_.NameText->setObjectName("NameText");
  ui_.NameText->setMaxLength(63);
  grid->addWidget(ui_.NameText, 1, 1, 1, 3);
  ui_.FileInfoLabel = label("FileInfoLabel");
  ui_.FileTimesLabel = label("FileTimesLabel");
  ui_.FileInfoLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  ui_.FileTimesLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  grid->addWidget(ui_.FileInfoLabel, 2, 0, 1, 2);
  grid->addWidget(ui_.FileTimesLabel, 2, 2, 1, 2);
  ui_.GeoLocationLabel = new NSTextLabelCustom(box);
  ui_.GeoLocationLabel->setObjectName("GeoLocationLabel");
  ui_.GeoLocationLabel->setToolTip("Show this place on a map");
  ui_.GeoLocationLabel->setStyleSheet("color: #1a5fb4; text-decoration: underline;");
  ui_.GeoLocationLabel->setCursor(Qt::PointingHandCursor);
  grid->addWidget(ui_.GeoLocationLabel, 3, 0, 1, 4);

  auto* row = new QHBoxLayout();
  ui_.TrackLabel = label("TrackLabel", "Track:");
  ui_.TrackText = new TextField(box);
  ui_.TrackText->setObjectName("TrackText");
  ui_.TrackText->setMaximumWidth(40);
  ui_.TrackStepper = new RealStepper(1, 1, 1, box);
  ui_.TrackStepper->setObjectName("TrackStepper");
  ui_.PlayRateLabel = label("PlayRateLabel", "Play rate:");
  ui_.PlayRateText = new TextField(box);
  ui_.PlayRateText->setObjectName("PlayRateText");
  ui_.PlayRateText->setMaximumWidth(80);
  ui_.ChangeFileButton = new QPushButton("Change File...", box);
  ui_.ChangeFileButton->setObjectName("ChangeFileButton");
  ui_.Trim = new QPushButton("Trim...", box);
  ui_.Trim->setObjectName("Trim");
  for (QWidget* w : std::initializer_list<QWidget*>{ui_.TrackLabel, ui_.TrackText, ui_.TrackStepper,
                                                   ui_.PlayRateLabel, ui_.PlayRateText})
    row->addWidget(w);
  row->addStretch(1);
  row->addWidget(ui_.ChangeFileButton);
  row->addWidget(ui_.Trim);
  grid->addLayout(row, 4, 0, 1, 4);
  grid->setRowStretch(5, 1);

  connect(ui_.ChangeFileButton, &QPushButton::clicked, this, &wcInputEdit::ChangeFileButton_Pressed);
  connect(ui_.Trim, &QPushButton::clicked, this, &wcInputEdit::TrimButton_Pressed);
  connect(ui_.TrackText, &TextField::changed, this, &wcInputEdit::TrackText_Changed);
  connect(ui_.TrackStepper, &RealStepper::changed, this, &wcInputEdit::TrackStepper_Changed);
  connect(ui_.PlayRateText, &TextField::changed, this, &wcInputEdit::PlayRateText_Changed);
  connect(ui_.GeoLocationLabel, &NSTextLabelCustom::clicked, this, &wcInputEdit::GeoLocationLabel_Clicked);
  return box;
}

QWidget* wcInputEdit::makePreviewColumn(QWidget* parent) {
  auto* column = new QWidget(parent);
  column->setObjectName("PreviewColumn");
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  ui_.PreviewImage = new NSImageViewCustom(column);
  ui_.PreviewImage->setObjectName("PreviewImage");
  ui_.PreviewImage->setFixedSize(kPreviewWidth, kPreviewHeight);
  ui_.PreviewImage->setDelegate(this);
  ui_.PreviewImage->setToolTip("Drag to move the cropped picture; double-click to crop");
  layout->addWidget(ui_.PreviewImage);
  auto* row = new QHBoxLayout();
  ui_.PreviewAutoCheck = new QCheckBox("Update automatically", column);
  ui_.PreviewAutoCheck->setObjectName("PreviewAutoCheck");
  ui_.PreviewAutoCheck->setChecked(true);
  auto* update = new QPushButton("Update", column);
  update->setObjectName("PreviewUpdate");
  row->addWidget(ui_.PreviewAutoCheck);
  row->addStretch(1);
  row->addWidget(update);
  layout->addLayout(row);
  layout->addStretch(1);
  connect(ui_.PreviewAutoCheck, &QCheckBox::clicked, this, &wcInputEdit::PreviewAutoCheck_Changed);
  connect(update, &QPushButton::clicked, this, &wcInputEdit::PreviewUpdate_Pressed);
  return column;
}

bool wcInputEdit::SetInputFile(uint32_t input, double previewTime) {
  window();
  if (input != kNoInput && !loadRecords(input, previewTime)) return false;
  ++state_.IgnoreUpdate;
  ui_.PlayRateLabel->hide();
  ui_.PlayRateText->hide();
  fillFileGroup();
  if (input != kNoInput) layOutGroups();
  for (const auto& group : groups_) {
    if (group->Shown(state_.Shows)) group->Fill(records_);
  }
  --state_.IgnoreUpdate;
  SetEnabled();
  UpdatePreview();
  return true;
}

bool wcInputEdit::loadRecords(uint32_t input, double previewTime) {
  state_.OurIndex = input;
  state_.PreviewTime = previewTime;
  state_.Shows = InputShows{};
  state_.Success = false;
  const MainStruct* main = InputGetMain(input);
  const DataStruct* data = InputGetData(input);
  const AdjustStruct* adjust = InputGetAdjust(input);
  if (main == nullptr || data == nullptr || adjust == nullptr) {
    ErrorShowLast();
    return false;
  }
  records_.Main = *main;
  records_.Data = *data;
  records_.Adjust = *adjust;
  window()->setWindowTitle("Configure Input File: " + recordText(records_.Main.Name, kNameLength));

  if (InputHandlerGetGeoLocation(input, &state_.Latitude, &state_.Longitude) < 0) {
    ui_.GeoLocationLabel->clear();
    ui_.GeoLocationLabel->hide();
  } else {
    ui_.GeoLocationLabel->setText(WStrToNSString(LocationGetName(state_.Latitude, state_.Longitude)));
    ui_.GeoLocationLabel->show();
  }

  EndPreview();
  ui_.PreviewImage->setImage(QImage());
  const uint8_t type = records_.Main.Type;
  if (type == kInputVideo || type == kInputImage || type == kInputJoinVideo) {
    preview_.hold(
        SimplePreviewCreateForInput(input, ui_.PreviewImage->viewHandle(), kPreviewWidth, kPreviewHeight, 1, 0));
  }
  ui_.PreviewImage->parentWidget()->setVisible(preview_.isHeld());
  return true;
}

void wcInputEdit::fillFileGroup() {
  const MainStruct& main = records_.Main;
  QString path = "File Path: ";
  if (main.OpenFailed != 0) path += "[OPEN FAILED] ";
  ui_.FileNameLabel->setText(path + recordText(main.FilePath, kPathLength));
  ui_.NameText->setText(recordText(main.Name, kNameLength));

  const bool tracks = main.TrackCount >= 2;
  if (tracks) {
    ui_.TrackStepper->setRange(1, main.TrackCount);
    ui_.TrackStepper->setValue(main.TrackIndex + 1);
    ui_.TrackText->setText(QString::number(ui_.TrackStepper->intValue()));
  }
  for (QWidget* w : std::initializer_list<QWidget*>{ui_.TrackLabel, ui_.TrackText, ui_.TrackStepper})
    w->setVisible(tracks);
  ui_.PlayRateText->setText(QString::asprintf("%.05f", main.PlayRate));

  const uint8_t type = main.Type > kInputFiller ? uint8_t{kInputNone} : main.Type;
  InputShows& shows = state_.Shows;
  shows = showsFor(type, main.HasData != 0);
  QString info = typeText(type) + (shows.HasData && type != kInputData ? " + data\n" : "\n");
  if (main.OpenFailed != 0) shows.HasData = false;
  QString times;
  if (shows.HasLength) {
    info += "Length: " + timeText(InputGetLength(state_.OurIndex, 1)) + "\n";
    times += "Starting Time: " + timeText(main.TrimStart) + "\n";
    times += "Ending Time: " + timeText(std::min(main.Length, main.TrimEnd)) + "\n";
  }
  ui_.Trim->setVisible(shows.HasLength);
  if (shows.HasVideo) info += QString::asprintf("Picture Size: %d x %d", main.Width, main.Height);
  if (shows.HasLength || main.StartTime > 0) {
    times += main.ParentJoin == kNoInput ? "Offset Within Project: " : "Offset Within Join: ";
    times += timeText(main.StartTime);
  }
  ui_.FileInfoLabel->setText(info);
  ui_.FileTimesLabel->setText(times);
}

void wcInputEdit::layOutGroups() {
  for (const auto& group : groups_) group->Box()->setVisible(group->Shown(state_.Shows));
  // The window keeps its origin and takes the height of what it shows.
  window()->adjustSize();
}

void wcInputEdit::SetEnabled() {
  for (const auto& group : groups_) group->SetEnabled();
}

void wcInputEdit::UpdateStructs() {
  ++state_.IgnoreUpdate;
  const QString rate = ui_.PlayRateText->text();
  records_.Main.PlayRate = rate.isEmpty() ? 1.0f : std::max(NSStringToFloat(rate), 0.0f);
  for (const auto& group : groups_) {
    if (group->Shown(state_.Shows)) group->Read(records_);
  }
  --state_.IgnoreUpdate;
}

bool wcInputEdit::StoreRecords() {
  UpdateStructs();
  return writeRecords();
}

bool wcInputEdit::writeRecords() {
  const uint32_t input = state_.OurIndex;
  const bool written = writeIfChanged(input, records_.Main, &InputGetMain, &InputSetMain) &&
                       writeIfChanged(input, records_.Data, &InputGetData, &InputSetData) &&
                       writeIfChanged(input, records_.Adjust, &InputGetAdjust, &InputSetAdjust);
  if (!written) ErrorShowLast();
  return written;
}

void wcInputEdit::UpdatePreview(bool quick) {
  if (state_.IgnoreUpdate > 0) return;
  UpdateStructs();
  if (!writeRecords()) return;
  if (!quick && ui_.PreviewAutoCheck->isChecked()) PreviewUpdate_Pressed();
}

void wcInputEdit::PreviewUpdate_Pressed() {
  if (!preview_.isHeld()) return;
  preview_.draw(0, static_cast<uint32_t>(state_.PreviewQuality), static_cast<float>(state_.PreviewTime));
  ui_.PreviewImage->parentWidget()->show();
}

void wcInputEdit::PreviewAutoCheck_Changed() {
  if (ui_.PreviewAutoCheck->isChecked()) PreviewUpdate_Pressed();
}

void wcInputEdit::UpdateAndReloadAll() {
  UpdateStructs();
  writeRecords();
  SetInputFile(state_.OurIndex, state_.PreviewTime);
}

void wcInputEdit::PlayRateText_Changed() { UpdateAndReloadAll(); }

void wcInputEdit::ChangeFileButton_Pressed() {
  FileDialogRequest request;
  request.title = "Change Input File...";
  const QFileInfo current(recordText(records_.Main.FilePath, kPathLength));
  request.directory = current.path();
  request.fileName = current.fileName();
  request.types = AppDelegate::GetMediaFileTypes(255);
  request.otherTypes = true;
  const QStringList chosen = FileDialogRun(window(), request);
  if (chosen.isEmpty() || chosen.front().isEmpty()) return;
  UserDefaultsWriteFolderOf("InputDir", chosen.front());
  UpdateStructs();
  writeRecords();
  if (InputChange(state_.OurIndex, chosen.front().toStdU16String().c_str()) != 0) ErrorShowLast();
  SetInputFile(state_.OurIndex, state_.PreviewTime);
}

void wcInputEdit::TrackText_Changed() {
  ui_.TrackStepper->setValue(NSStringToInt(ui_.TrackText->text()));
  TrackStepper_Changed();
}

void wcInputEdit::TrackStepper_Changed() {
  ui_.TrackText->setText(QString::number(ui_.TrackStepper->intValue()));
  records_.Main.TrackIndex = static_cast<uint16_t>(ui_.TrackStepper->intValue() - 1);
  UpdateStructs();
  writeRecords();
  if (InputChange(state_.OurIndex, records_.Main.FilePath) != 0) ErrorShowLast();
  SetInputFile(state_.OurIndex, state_.PreviewTime);
}

void wcInputEdit::TrimButton_Pressed() {
  auto* trim = NeededWindow(AppWindows().wndInputTrim());
  if (trim == nullptr) return;
  UpdateStructs();
  if (!writeRecords()) return;
  if (!trim->SetInput(state_.OurIndex)) return;
  RunModalForWindow(trim);
  if (!trim->Success()) return;
  const MainStruct* main = InputGetMain(state_.OurIndex);
  if (main == nullptr) {
    ErrorShowLast();
    return;
  }
  records_.Main = *main;
  SetInputFile(kNoInput, 0);
}

void wcInputEdit::GeoLocationLabel_Clicked() {
  const QString place = QString::asprintf("%.07f,%.07f", state_.Latitude, state_.Longitude);
  OpenUrl(QUrl("https://maps.google.com/maps?ll=" + place + "&q=" + place), "the map");
}

void wcInputEdit::OkButton_Pressed() {
  const QString name = ui_.NameText->text();
  if (name != recordText(records_.Main.Name, kNameLength)) {
    const int renamed = InputRename(state_.OurIndex, name.toStdU16String().c_str());
    if (renamed != 0) ErrorShowLast();
    if (renamed < 0) return;
    const MainStruct* main = InputGetMain(state_.OurIndex);
    if (main == nullptr) {
      ErrorShowLast();
      return;
    }
    std::memcpy(records_.Main.Name, main->Name, sizeof(records_.Main.Name));
    ui_.NameText->setText(recordText(records_.Main.Name, kNameLength));
  }
  UpdateStructs();
  if (!writeRecords()) return;
  InputUpdateJoin(state_.OurIndex);
  state_.Success = true;
  close();
}

void wcInputEdit::CancelButton_Pressed() { close(); }

void wcInputEdit::windowWillClose() {
  EndPreview();
}
