#include "ui/shell/wcTip.h"

#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/seams/user_defaults.h"

wcTip::wcTip() : WindowController("wcTip", kOpenCentred) {}

QWidget* wcTip::makeWindow() {
  QDialog* dialog = makeDialog("Tip");
  dialog->setMinimumWidth(420);
  auto* layout = new QVBoxLayout(dialog);
  auto* text = new QLabel(
      "Data-log templates lay their gauges and maps out for the channels your logger recorded.\n\n"
      "After the template is applied, open the data input's configuration to check the channel "
      "mapping, then use Quick Sync to line the data up with your video.",
      dialog);
  text->setWordWrap(true);
  DoTip = new QCheckBox("Show this tip automatically", dialog);
  OkButton = new QPushButton("OK", dialog);
  OkButton->setDefault(true);
  layout->addWidget(text);
  layout->addSpacing(8);
  auto* row = new QHBoxLayout();
  row->addWidget(DoTip);
  row->addStretch(1);
  row->addWidget(OkButton);
  layout->addLayout(row);
  connect(DoTip, &QCheckBox::clicked, this, &wcTip::DoTip_Changed);
  connect(OkButton, &QPushButton::clicked, this, &wcTip::OkButton_Pressed);
  return dialog;
}

void wcTip::windowDidOpen() {
  bool automatic = true;
  UserDefaultsReadBool("AutomaticTips", automatic);
  DoTip->setChecked(automatic);
}

void wcTip::DoTip_Changed() { UserDefaultsWrite("AutomaticTips", DoTip->isChecked()); }

void wcTip::OkButton_Pressed() { close(); }
