#pragma once
// The closing row of an editor dialog: Cancel and OK at the right, OK the
// default button, named "CancelButton" and "OkButton" as their actions.
class QBoxLayout;
class QHBoxLayout;
class QPushButton;
class QWidget;

struct DialogButtons {
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
  // The row itself, for a dialog that puts more buttons at its left.
  QHBoxLayout* row = nullptr;
};

DialogButtons AddOkCancelRow(QBoxLayout* layout, QWidget* parent);
