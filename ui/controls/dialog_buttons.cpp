#include "ui/controls/dialog_buttons.h"

#include <QBoxLayout>
#include <QPushButton>

DialogButtons AddOkCancelRow(QBoxLayout* layout, QWidget* parent) {
  DialogButtons buttons;
  auto* row = new QHBoxLayout();
  buttons.row = row;
  row->addStretch(1);
  buttons.cancel = new QPushButton("Cancel", parent);
  buttons.cancel->setObjectName("CancelButton");
  buttons.ok = new QPushButton("OK", parent);
  buttons.ok->setObjectName("OkButton");
  buttons.ok->setDefault(true);
  row->addWidget(buttons.cancel);
  row->addWidget(buttons.ok);
  layout->addLayout(row);
  return buttons;
}
