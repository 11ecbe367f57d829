#pragma once
// The shape panel: which shape a shape object draws, its fill, its outline
// and whether it is drawn at double resolution.
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/dispobj_fwd.h"

class vcDispObjShape : public DispObjPanel {
  Q_OBJECT
public:
  explicit vcDispObjShape(wcDispObjEdit* owner);

  bool SetData(uint32_t index) override;

  // The shape code of a title in the list; anything else is a rectangle.
  static uint8_t ShapeCodeOf(const QString& title);
  // The title of a shape code, "" for codes without one.
  static QString ShapeTitleOf(uint8_t code);

  // Actions.
  void ShapeSelection_Changed();
  void DoFillCheck_Changed();
  void DoLineCheck_Changed();

  // Outlets.
  QComboBox* ShapeSelection = nullptr;
  QCheckBox* DoFillCheck = nullptr;
  NSColorWellCustom* FillColor = nullptr;
  QCheckBox* DoLineCheck = nullptr;
  NSColorWellCustom* LineColor = nullptr;
  TextField* LineSizeText = nullptr;
  RealStepper* LineSizeStepper = nullptr;
  QCheckBox* HighResCheck = nullptr;

private:
  void UpdatePreview();

  void buildControls();

  ShapeStruct shape_{};
  OptionChecks* options_ = nullptr;
  NumberPair* lineSize_ = nullptr;
};
