#include "ui/shell/wcProjectWiz.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <vector>

#include "base/message_box.h"
#include "io/files/undo.h"
#include "model/inputs.h"
#include "model/project.h"
#include "ui/controls/list_icons.h"
#include "ui/dispobj/wcDispObjToolbox.h"
#include "ui/input/wcInputSync.h"
#include "ui/input/wcInputSync2.h"
#include "ui/seams/modal_run.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcProject.h"
#include "ui/shell/window_calls.h"
#include "ui/util/ui_utils.h"

namespace {

const QStringList kUnitNames = {"MPH", "Km/h", "Knots", "m/s"};

AppDelegate* app() { return AppDelegate::shared(); }
wcMain* mainWindow() { return AppWindows().wndMain(); }

// The main window's command for one input, as its inputs menu offers it.
void runInputCommand(uint32_t input, const char* item) {
  wcMain* main = mainWindow();
  if (main == nullptr || input == kNoInput) return;
  main->InputSelect(input);
  if (!main->menuWillOpen(main->InputFilesMenu(), -1)) return;
  QAction* action = main->ListMenuItem(item);
  if (action != nullptr && action->isEnabled()) action->trigger();
}

QString inputName(uint32_t input) { return W16ToNSString(InputGetName(input)); }

} // namespace

wcProjectWiz::wcProjectWiz() : WindowController("wcProjectWiz") { state_.other.fill(kNoInput); }

QWidget* wcProjectWiz::makeWindow() {
  QDialog* dialog = makeDialog("New Project");
  dialog->setModal(false);
  dialog->setMinimumWidth(380);
  auto* layout = new QVBoxLayout(dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  stepA_ = new QGroupBox("Step A: Primary Input", dialog);
  auto* a = new QGridLayout(stepA_);
  primarySelection_ = new QComboBox(stepA_);
  primarySelection_->setEditable(true);
  configPrimary_ = new QPushButton(stepA_);
  configPrimary_->setToolTip("Configure the primary input");
  auto* trim = new QPushButton("Trim...", stepA_);
  lengthMatchCheck_ = new QCheckBox("The project is as long as this input", stepA_);
  auto* more = new QPushButton("More...", stepA_);
  a->addWidget(primarySelection_, 0, 0, 1, 2);
  a->addWidget(configPrimary_, 0, 2);
  a->addWidget(trim, 0, 3);
  a->addWidget(lengthMatchCheck_, 1, 0);
  a->addWidget(more, 1, 1, 1, 3, Qt::AlignRight);
  a->setColumnStretch(0, 1);
  layout->addWidget(stepA_);

  stepB_ = new QGroupBox("Step B: Synchronize Other Inputs", dialog);
  auto* b = new QVBoxLayout(stepB_);
  noOtherInputsLabel_ = new QLabel("No other inputs yet. Add video, audio and data files to the project.", stepB_);
  noOtherInputsLabel_->setWordWrap(true);
  b->addWidget(noOtherInputsLabel_);
  for (int r = 0; r < kRows; ++r) {
    auto* row = new QHBoxLayout();
    rows_[r].sync = new QPushButton(stepB_);
    rows_[r].sync->setStyleSheet("text-align: left;");
    rows_[r].sync->setToolTip("Synchronize this input with the project");
    rows_[r].config = new QPushButton(stepB_);
    rows_[r].config->setToolTip("Configure this input");
    row->addWidget(rows_[r].sync, 1);
    row->addWidget(rows_[r].config);
    b->addLayout(row);
    connect(rows_[r].sync, &QPushButton::clicked, this, [this, r]() { Sync_Pressed(r); });
    connect(rows_[r].config, &QPushButton::clicked, this, [this, r]() { Config_Pressed(r); });
  }
  layout->addWidget(stepB_);

  stepC_ = new QGroupBox("Step C: Data", dialog);
  auto* c = new QGridLayout(stepC_);
  dataSelection_ = new QComboBox(stepC_);
  dataSelection_->setEditable(true);
  configData_ = new QPushButton(stepC_);
  configData_->setToolTip("Configure the data input");
  auto* sync = new QPushButton("Quick Sync...", stepC_);
  auto* sync2 = new QPushButton("Sync to Video...", stepC_);
  auto* loadTemplate = new QPushButton("Load Data Template...", stepC_);
  auto* addDisplay = new QPushButton("Add Data Display...", stepC_);
  speedUnitSelection_ = new QComboBox(stepC_);
  speedUnitSelection_->setEditable(true);
  c->addWidget(dataSelection_, 0, 0, 1, 2);
  c->addWidget(configData_, 0, 2, Qt::AlignRight);
  c->addWidget(sync, 1, 0);
  c->addWidget(sync2, 1, 1, 1, 2);
  c->addWidget(loadTemplate, 2, 0);
  c->addWidget(addDisplay, 2, 1, 1, 2);
  c->addWidget(new QLabel("Speed unit:", stepC_), 3, 0, Qt::AlignRight);
  c->addWidget(speedUnitSelection_, 3, 1, 1, 2);
  layout->addWidget(stepC_);

  auto* bottom = new QHBoxLayout();
  useWizardCheck_ = new QCheckBox("Use the project wizard", dialog);
  auto* settings = new QPushButton("Project Settings...", dialog);
  bottom->addWidget(useWizardCheck_);
  bottom->addStretch(1);
  bottom->addWidget(settings);
  layout->addLayout(bottom);

  connect(primarySelection_, &QComboBox::textActivated, this, &wcProjectWiz::PrimaryInputSelection_Changed);
  connect(configPrimary_, &QPushButton::clicked, this, &wcProjectWiz::ConfigPrimary_Pressed);
  connect(trim, &QPushButton::clicked, this, &wcProjectWiz::TrimPrimary_Pressed);
  connect(lengthMatchCheck_, &QCheckBox::clicked, this, &wcProjectWiz::LengthMatchCheck_Changed);
  connect(more, &QPushButton::clicked, this, &wcProjectWiz::LengthMore_Pressed);
  connect(dataSelection_, &QComboBox::textActivated, this, &wcProjectWiz::DataInputSelection_Changed);
  connect(configData_, &QPushButton::clicked, this, &wcProjectWiz::ConfigData_Pressed);
  connect(sync, &QPushButton::clicked, this, &wcProjectWiz::SyncData_Pressed);
  connect(sync2, &QPushButton::clicked, this, &wcProjectWiz::SyncData2_Pressed);
  connect(loadTemplate, &QPushButton::clicked, this, &wcProjectWiz::LoadDataTemplate_Pressed);
  connect(addDisplay, &QPushButton::clicked, this, &wcProjectWiz::AddDataDisplay_Pressed);
  connect(speedUnitSelection_, &QComboBox::textActivated, this, &wcProjectWiz::SpeedUnitSelection_Changed);
  connect(useWizardCheck_, &QCheckBox::clicked, this, &wcProjectWiz::UseWizardCheck_Changed);
  connect(settings, &QPushButton::clicked, this, &wcProjectWiz::ProjectSettings_Pressed);
  // The configure buttons carry the input's kind as their picture.
  std::vector<QPushButton*> configs = {configPrimary_, configData_};
  for (const Row& row : rows_) configs.push_back(row.config);
  for (QPushButton* config : configs) {
    config->setIconSize(QSize(22, 22));
    config->setFixedSize(34, 30);
  }
  return dialog;
}

QIcon wcProjectWiz::GetInputTypeImage(uint32_t type) {
  switch (type) {
  case kInputVideo: case kInputJoinVideo: return QIcon(QPixmap::fromImage(InputTypeIcon(kInputVideo)));
  case kInputAudio: case kInputJoinAudio: return QIcon(QPixmap::fromImage(InputTypeIcon(kInputAudio)));
  case kInputData: case kInputJoinData: return QIcon(QPixmap::fromImage(InputTypeIcon(kInputData)));
  default: {
    QStyle* style = AppDelegate::shared() != nullptr && AppWindows().wndMain() != nullptr
                        ? AppWindows().wndMain()->window()->style()
                        : nullptr;
    return style != nullptr ? style->standardIcon(QStyle::SP_FileDialogDetailedView) : QIcon();
  }
  }
}

void wcProjectWiz::UpdateControls(bool applyLengthMatch) {
  window();
  state_.primary = pickedOr(ProjectGetPrimaryInput(), picked_.primary);
  state_.data = pickedOr(ProjectGetDataInput(), picked_.data);
  if (applyLengthMatch) ProjectSetLengthMatch(state_.primary);
  state_.other.fill(kNoInput);
  primarySelection_->clear();
  primarySelection_->setCurrentText("");
  dataSelection_->clear();
  dataSelection_->setCurrentText("");
  bool hasData = false;
  int used = 0;
  const uint32_t count = InputCount();
  for (uint32_t i = 0; i < count; ++i) {
    const MainStruct* record = InputGetMain(i);
    if (record == nullptr || record->Type == kInputImage) continue;
    if (record->Type != kInputVideo && record->Type != kInputAudio && record->Type != kInputData) continue;
    // Of a join, only the part that starts it.
    if (record->ParentJoin != kNoInput && record->StartTime > 0.001f) continue;
    const QString name = W16ToNSString(record->Name);
    primarySelection_->addItem(name);
    if (record->Type == kInputData) {
      dataSelection_->addItem(name);
      hasData = true;
    }
    if (i == state_.primary || used >= kRows) continue;
    state_.other[used] = i;
    rows_[used].sync->setText(QString("  %1").arg(name));
    rows_[used].config->setIcon(GetInputTypeImage(record->Type));
    ++used;
  }
  primarySelection_->setCurrentText(state_.primary == kNoInput ? QString("(None)") : inputName(state_.primary));
  configPrimary_->setIcon(GetInputTypeImage(state_.primary == kNoInput ? 0 : InputGetType(state_.primary)));
  dataSelection_->setCurrentText(state_.data == kNoInput ? QString("(None)") : inputName(state_.data));
  configData_->setIcon(GetInputTypeImage(state_.data == kNoInput ? 0 : InputGetType(state_.data)));
  for (int r = 0; r < kRows; ++r) {
    rows_[r].sync->setVisible(r < used);
    rows_[r].config->setVisible(r < used);
  }
  noOtherInputsLabel_->setVisible(used == 0);
  stepC_->setVisible(hasData);
  const uint32_t match = ProjectGetLengthMatch();
  lengthMatchCheck_->setChecked(match != kNoInput && match == InputGetParent(state_.primary));
  speedUnitSelection_->clear();
  speedUnitSelection_->addItems(kUnitNames);
  const uint32_t unit = ProjectGetSpeedUnit();
  speedUnitSelection_->setCurrentIndex(unit >= kSpeedKmh && unit <= kSpeedMs ? static_cast<int>(unit) - 1 : 0);
  bool wanted = true;
  UserDefaultsReadBool("UseProjectWizard", wanted);
  useWizardCheck_->setChecked(wanted);
  window()->adjustSize();
}

void wcProjectWiz::checkpoint() {
  UndoSave();
  if (mainWindow() != nullptr) mainWindow()->setProjectModified(true);
}

uint32_t wcProjectWiz::chosenInput(const QComboBox* combo) const {
  const QString text = combo->currentText();
  if (text.isEmpty() || text.compare("(None)", Qt::CaseInsensitive) == 0) return kNoInput;
  return InputFind(text.toStdU16String().c_str());
}

uint32_t wcProjectWiz::pickedOr(uint32_t fromProject, const QString& picked) {
  if (fromProject != kNoInput || picked.isEmpty()) return fromProject;
  return InputFind(picked.toStdU16String().c_str());
}

void wcProjectWiz::PrimaryInputSelection_Changed() {
  checkpoint();
  state_.primary = chosenInput(primarySelection_);
  picked_.primary = state_.primary != kNoInput ? inputName(state_.primary) : QString();
  lengthMatchCheck_->setChecked(state_.primary != kNoInput && state_.primary == ProjectGetLengthMatch());
  ProjectSetPrimaryInput(state_.primary);
  UpdateControls();
}

void wcProjectWiz::configure(uint32_t input) { runInputCommand(input, "InputMenuConfig"); }

void wcProjectWiz::TrimPrimary_Pressed() { runInputCommand(state_.primary, "InputMenuTrim"); }

void wcProjectWiz::LengthMatchCheck_Changed() {
  checkpoint();
  ProjectSetLengthMatch(lengthMatchCheck_->isChecked() ? state_.primary : kNoInput);
  if (mainWindow() != nullptr) mainWindow()->PreviewRefresh();
}

void wcProjectWiz::LengthMore_Pressed() {
  RunModalForWindow(AppWindows().wndProject());
}

void wcProjectWiz::SyncInput(uint32_t input, bool popup) {
  if (input == kNoInput || app() == nullptr) return;
  if (popup) {
    auto* sync = NeededWindow(AppWindows().wndInputSync());
    if (sync == nullptr) return;
    sync->SetInput(static_cast<int>(input));
    sync->showWindow();
    return;
  }
  if (wcInputSync* sync = AppWindows().wndInputSync(); AppDelegate::IsWindowVisible(sync)) sync->close();
  auto* sync2 = NeededWindow(AppWindows().wndInputSync2());
  if (sync2 == nullptr) return;
  sync2->SetInput(static_cast<int>(input));
  RunModalForWindow(sync2);
}

void wcProjectWiz::syncData(bool popup) {
  if (state_.data == kNoInput) {
    AppMessageBox(L"Please select a data input to synchronize.", 16);
    return;
  }
  SyncInput(state_.data, popup);
}

void wcProjectWiz::DataInputSelection_Changed() {
  checkpoint();
  state_.data = chosenInput(dataSelection_);
  picked_.data = state_.data != kNoInput ? inputName(state_.data) : QString();
  ProjectSetDataInput(state_.data);
}

void wcProjectWiz::LoadDataTemplate_Pressed() {
  if (mainWindow() != nullptr) mainWindow()->InputLoadDataTemplate(InputGetParent(state_.data));
}

void wcProjectWiz::AddDataDisplay_Pressed() {
  wcDispObjToolbox* toolbox = AppWindows().wndDispObjToolbox();
  wcMain* main = mainWindow();
  if (toolbox == nullptr || main == nullptr) return;
  UndoSave();
  toolbox->SetData(InputGetParent(state_.data));
  RunModalForWindow(toolbox);
  const uint32_t added = toolbox->NewIndex();
  if (added == 0xFFFFFFFF) return;
  main->setProjectModified(true);
  main->DispObjRefresh(added);
  main->PreviewRefresh();
  main->DispObjSelect(added);
  main->DispObjEdit(true);
}

void wcProjectWiz::SpeedUnitSelection_Changed() {
  checkpoint();
  const QString text = speedUnitSelection_->currentText();
  if (!text.isEmpty()) {
    const int unit = wcProject::SpeedUnitFromText(text);
    ProjectSetSpeedUnit(static_cast<uint32_t>(unit));
    ProjectSetDefaultSpeedUnit(unit);
    UserDefaultsWrite("DefaultSpeedUnit", unit);
  }
  if (mainWindow() != nullptr) mainWindow()->PreviewRefresh();
}

void wcProjectWiz::UseWizardCheck_Changed() { UserDefaultsWrite("UseProjectWizard", useWizardCheck_->isChecked()); }

void wcProjectWiz::windowDidBecomeMain() {
  UpdateControls();
  if (!freshWindow_) return;
  freshWindow_ = false;
  if (app() != nullptr) app()->AlignWindow(this, 2);
}

void wcProjectWiz::showWindow() {
  picked_ = Picked{};
  WindowController::showWindow();
  if (window()->isVisible()) UpdateControls();
}

void wcProjectWiz::windowWillClose() {
  freshWindow_ = true;
  picked_ = Picked{};
}

bool wcProjectWiz::eventFilter(QObject* watched, QEvent* event) {
  const bool handled = WindowController::eventFilter(watched, event);
  // Coming to the front again: inputs added or removed meanwhile show.
  if (watched == window() && event->type() == QEvent::WindowActivate && window()->isVisible()) UpdateControls();
  return handled;
}
