#include "ui/shell/wcRecovery.h"

#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "io/session/recovery.h"
#include "ui/shell/AppDelegate.h"

wcRecovery::wcRecovery() : WindowController("wcRecovery") {}

QWidget* wcRecovery::makeWindow() {
  QDialog* dialog = makeDialog("Recover Project");
  dialog->setMinimumWidth(440);
  auto* layout = new QVBoxLayout(dialog);
  auto* title = new QLabel("The previous session did not end normally.", dialog);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  auto* text = new QLabel("The project you were working on can be recovered from its last saved state. "
                          "Would you like to recover it now?",
                          dialog);
  text->setWordWrap(true);
  SubmitReportCheck = new QCheckBox("Send a crash report to help fix the problem", dialog);
  YesButton = new QPushButton("Yes", dialog);
  NoButton = new QPushButton("No", dialog);
  YesButton->setDefault(true);
  layout->addWidget(title);
  layout->addWidget(text);
  layout->addSpacing(6);
  layout->addWidget(SubmitReportCheck);
  auto* row = new QHBoxLayout();
  row->addStretch(1);
  row->addWidget(NoButton);
  row->addWidget(YesButton);
  layout->addLayout(row);
  connect(YesButton, &QPushButton::clicked, this, &wcRecovery::YesButton_Pressed);
  connect(NoButton, &QPushButton::clicked, this, &wcRecovery::NoButton_Pressed);
  connect(SubmitReportCheck, &QCheckBox::clicked, this, &wcRecovery::SubmitReportCheck_Changed);
  return dialog;
}

void wcRecovery::windowDidOpen() {
  AppDelegate::shared()->AlignWindow(this, 0, nullptr);
  doRecovery_ = false;
  answered_ = false;
  sendReport_ = false;
  SubmitReportCheck->setChecked(false);
  // A session still running has not crashed: nothing to report.
  SubmitReportCheck->setHidden(RecoveryStatus() == kRecoveryStillRunning);
}

void wcRecovery::YesButton_Pressed() {
  doRecovery_ = true;
  answered_ = true;
  close();
}

void wcRecovery::NoButton_Pressed() {
  answered_ = true;
  close();
}

void wcRecovery::SubmitReportCheck_Changed() { sendReport_ = SubmitReportCheck->isChecked(); }
