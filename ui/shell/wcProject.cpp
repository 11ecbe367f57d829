#include "ui/shell/wcProject.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/util.h"
#include "io/files/undo.h"
#include "model/project.h"
#include "ui/controls/dialog_buttons.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/util/ui_utils.h"

namespace {

const QStringList kUnitNames = {"MPH", "Km/h", "Knots", "m/s"};

} // namespace

wcProject::wcProject() : WindowController("wcProject") {}

QWidget* wcProject::makeWindow() {
  QDialog* dialog = makeDialog("Project Settings");
  dialog->setMinimumWidth(420);
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(new QLabel("Project notes:", dialog));
  UserText = new QPlainTextEdit(dialog);
  layout->addWidget(UserText, 1);
  auto* form = new QFormLayout();
  ManualLengthCheck = new QCheckBox("Set project length manually", dialog);
  ProjectLengthText = new QLineEdit(dialog);
  form->addRow(ManualLengthCheck, ProjectLengthText);
  LengthMatchCheck = new QCheckBox("Match length of input", dialog);
  LengthMatchSelection = new QComboBox(dialog);
  form->addRow(LengthMatchCheck, LengthMatchSelection);
  SpeedUnitSelection = new QComboBox(dialog);
  SpeedUnitSelection->setEditable(true);
  form->addRow("Speed unit:", SpeedUnitSelection);
  layout->addLayout(form);
  const DialogButtons buttons = AddOkCancelRow(layout, dialog);
  CancelButton = buttons.cancel;
  OkButton = buttons.ok;
  connect(OkButton, &QPushButton::clicked, this, &wcProject::OkButton_Pressed);
  connect(CancelButton, &QPushButton::clicked, this, &wcProject::CancelButton_Pressed);
  connect(ManualLengthCheck, &QCheckBox::clicked, this, &wcProject::ManualLengthCheck_Changed);
  connect(ProjectLengthText, &QLineEdit::textEdited, this, &wcProject::ProjectLengthText_Changed);
  connect(LengthMatchCheck, &QCheckBox::clicked, this, &wcProject::LengthMatchCheck_Changed);
  connect(LengthMatchSelection, &QComboBox::textActivated, this, &wcProject::LengthMatchSelection_Changed);
  return dialog;
}

void wcProject::windowDidOpen() {
  fill();
}

void wcProject::fill() {
  // The project never gets a length-match input from here.
  LengthMatchCheck->hide();
  LengthMatchSelection->hide();
  if (AppDelegate::shared() != nullptr) AppDelegate::shared()->CenterWindow(this);
  UserText->setPlainText(W16ToNSString(ProjectGetUserText()));
  ManualLengthCheck->setChecked(ProjectGetLength(1) > 0.01f);
  OriginalLengthText = FormatTimeNSString(2, 0, ProjectGetLength(0));
  ProjectLengthText->setText(OriginalLengthText);
  LengthMatchSelection->clear();
  LengthMatchSelection->addItem("(None)");
  LengthMatchSelection->setCurrentIndex(0);
  LengthMatchCheck->setChecked(false);
  SpeedUnitSelection->clear();
  SpeedUnitSelection->addItems(kUnitNames);
  const uint32_t unit = ProjectGetSpeedUnit();
  SpeedUnitSelection->setCurrentIndex(unit >= kSpeedKmh && unit <= kSpeedMs ? static_cast<int>(unit) - 1 : 0);
}

int wcProject::SpeedUnitFromText(const QString& text) {
  for (int code = static_cast<int>(kSpeedKmh); code <= static_cast<int>(kSpeedMs); ++code) {
    if (text.compare(kUnitNames[code - 1], Qt::CaseInsensitive) == 0) return code;
  }
  return kSpeedMph;
}

QString wcProject::CutUserText(const QString& text) {
  if (text.size() <= kUserTextUnits) return text;
  qsizetype length = kUserTextUnits;
  if (text.at(length - 1).isHighSurrogate()) --length;
  return text.left(length);
}

void wcProject::ManualLengthCheck_Changed() {
  if (ManualLengthCheck->isChecked()) {
    LengthMatchCheck->setChecked(false);
  } else {
    ProjectLengthText->setText(OriginalLengthText);
  }
}

void wcProject::ProjectLengthText_Changed() {
  ManualLengthCheck->setChecked(true);
  LengthMatchCheck->setChecked(false);
}

void wcProject::LengthMatchCheck_Changed() {
  if (LengthMatchCheck->isChecked()) ManualLengthCheck->setChecked(false);
}

void wcProject::LengthMatchSelection_Changed() {
  const QString text = LengthMatchSelection->currentText();
  const bool chosen = !text.isEmpty() && text.compare("(None)", Qt::CaseInsensitive) != 0;
  LengthMatchCheck->setChecked(chosen);
  if (chosen) ManualLengthCheck->setChecked(false);
}

void wcProject::store() {
  if (ProjectLengthText->text() != OriginalLengthText) ManualLengthCheck->setChecked(true);
  UndoSave();
  wcMain* main = AppWindows().wndMain();
  if (main != nullptr) main->setProjectModified(true);
  ProjectSetUserText(CutUserText(UserText->toPlainText()).toStdU16String().c_str());
  ProjectSetLengthMatch(255);
  float length = 0;
  if (ManualLengthCheck->isChecked()) length = TimeTextToSeconds(NSStringToWStr(ProjectLengthText->text()).c_str());
  ProjectSetLength(length);
  const QString unitText = SpeedUnitSelection->currentText();
  if (!unitText.isEmpty()) {
    const int unit = SpeedUnitFromText(unitText);
    ProjectSetSpeedUnit(static_cast<uint32_t>(unit));
    ProjectSetDefaultSpeedUnit(unit);
    UserDefaultsWrite("DefaultSpeedUnit", unit);
  }
  if (main != nullptr) main->PreviewRefresh();
}

void wcProject::OkButton_Pressed() {
  store();
  if (auto* dialog = qobject_cast<QDialog*>(window())) dialog->accept();
}

void wcProject::CancelButton_Pressed() {
  if (auto* dialog = qobject_cast<QDialog*>(window())) dialog->reject();
}
