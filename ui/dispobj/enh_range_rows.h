#pragma once
// The rows the scripted-object panel and the script editor share: the
// data channel the scripts read and the two ends of its value range, each
// end a check (a fixed end; off: automatic) with its number field. They
// edit the record they are given and report each change the user makes.
#include <QObject>
#include <cstdint>

#include "engine/model/disp_records.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QWidget;
class RealStepper;
class TextField;

class EnhRangeRows : public QObject {
  Q_OBJECT
public:
  // Adds the rows to the grid from row on (label column 0, controls from
  // column 1 across span columns); the number fields are textWidth wide.
  EnhRangeRows(QGridLayout* grid, int& row, int span, int textWidth, QWidget* parent);

  // Shows the record's channel among the input's channels, and its range:
  // an automatic end with its check off and a neutral value to start from.
  void Load(EnhParam& record, uint32_t input);
  // The channel label in red when the input cannot give the channel.
  void SetFieldColor() const;

  // Actions.
  void FieldSelection_Changed();
  void MinManualCheck_Changed();
  void MaxManualCheck_Changed();
  void MinText_Changed();
  void MinStepper_Changed();
  void MaxText_Changed();
  void MaxStepper_Changed();

  QLabel* FieldLabel = nullptr;
  QComboBox* FieldSelection = nullptr;
  QCheckBox *MinManualCheck = nullptr, *MaxManualCheck = nullptr;
  TextField *MinText = nullptr, *MaxText = nullptr;
  RealStepper *MinStepper = nullptr, *MaxStepper = nullptr;

signals:
  // The user changed the record's channel or range.
  void edited();

private:
  void showRanges();

  EnhParam* record_ = nullptr;
  uint32_t input_ = kNoInput;
  bool loading_ = false;
};
