#pragma once
// The rows every panel of a channel with a value range shares (bar graph,
// time graph, gauge, scripted object and its editor): the data channel and
// the two ends of its range, each end a check (a fixed end; off: automatic)
// with its number field. They edit the record's fields they are given and
// report each change the user makes.
#include <QObject>
#include <cstdint>

#include "model/disp_records.h"
#include "ui/dispobj/dispobj_fwd.h"

// The rows' controls, as a panel lists them among its own outlets.
struct ChannelRangeOutlets {
  QLabel* FieldLabel = nullptr;
  QComboBox* FieldSelection = nullptr;
  QCheckBox *MinManualCheck = nullptr, *MaxManualCheck = nullptr;
  TextField *MinText = nullptr, *MaxText = nullptr;
  RealStepper *MinStepper = nullptr, *MaxStepper = nullptr;
};

// How a panel words and sizes the rows.
struct ChannelRangeLook {
  int span = 3;       // grid columns the controls take, from column 1
  int textWidth = 80; // of the number fields
  // The checks' tips: "A fixed <low> of the <range>" and the same for high.
  const char* range = "range";
  const char* low = "bottom";
  const char* high = "top";
};

class ChannelRangeRows : public QObject, public ChannelRangeOutlets {
  Q_OBJECT
public:
  // Adds the rows to the grid from row on (labels in column 0).
  ChannelRangeRows(QGridLayout* grid, int& row, const ChannelRangeLook& look, QWidget* parent);

  // Shows the record's channel among the input's channels, and its range:
  // an automatic end with its check off and a neutral value to start from.
  // The rows keep editing these fields until the next load. With
  // automatic, no channel is offered as "(Automatic)": the object finds
  // its channel itself, so none chosen is no fault.
  void Load(char16_t (&field)[kNameLength], double& min, double& max, uint32_t input, bool automatic = false);
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

signals:
  // The user changed the record's channel or range.
  void edited();

private:
  void showRanges();

  char16_t (*field_)[kNameLength] = nullptr;
  double* min_ = nullptr;
  double* max_ = nullptr;
  uint32_t input_ = kNoInput;
  bool automatic_ = false;
  bool loading_ = false;
};
