#pragma once
// The general panel, at the top of every property window: the object's
// name, whether it is drawn, the input that drives it, its style (applied
// from or saved to a style file), its timeline segments and the way to its
// background bitmap and to its input's properties.
#include <QString>
#include <vector>

#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/dispobj_fwd.h"

class vcDispObjGeneral : public DispObjPanel {
  Q_OBJECT
public:
  explicit vcDispObjGeneral(wcDispObjEdit* owner);

  // Always true: with no object the panel shows "None".
  bool SetData(uint32_t index) override;
  // Finds the segment at the preview time: onlyCheck rebuilds nothing and
  // reloads the window when the object's segment there has changed.
  void SetSegment(bool onlyCheck);
  // Refills the style list (unless keepList) and selects the object's style.
  void SetStyle(bool keepList);
  void SetInputColor();
  void SetActiveCheckColor();

  // Actions.
  void LabelText_Changed();
  void ActiveCheck_Changed();
  void InputSelection_Changed();
  void InputSetupButton_Pressed();
  void StyleSelection_Changed();
  void StyleExportButton_Pressed();
  void BackgroundButton_Pressed();
  void TimeLabel_Clicked();
  void TimeSelection_Changed();
  void TimeNewButton_Pressed();
  void TimeRemoveButton_Pressed();

  uint32_t OurType = 0;
  int SegmentIndex = -1;
  QString StyleFolder;
  uint32_t StyleMode = 0;
  QString CurStyle;

  // Outlets.
  QLineEdit* LabelText = nullptr;
  QLabel* TypeText = nullptr;
  QCheckBox* ActiveCheck = nullptr;
  QLabel* InputLabel = nullptr;
  QComboBox* InputSelection = nullptr;
  QPushButton* InputSetupButton = nullptr;
  QLabel* StyleLabel = nullptr;
  QComboBox* StyleSelection = nullptr;
  QPushButton* StyleExportButton = nullptr;
  NSTextLabelCustom* TimeLabel = nullptr;
  QComboBox* TimeSelection = nullptr;
  QPushButton* TimeNewButton = nullptr;
  QPushButton* TimeRemoveButton = nullptr;
  QPushButton* BackgroundButton = nullptr;

private:
  // The write paths: with one undo checkpoint, or inside one a caller took.
  void UpdatePreview();
  void UpdatePreviewNoUndo();

  void buildControls();
  void fillInputs(const DispStruct& record);
  void enableInputSetup(uint32_t input);
  QString styleFolderPath() const;
  // The segment (-1 the object's own start) whose time span holds t.
  int segmentAt(double time) const;
  float segmentStart(int segment) const;

  QWidget* inputRow_ = nullptr;
  QWidget* styleRow_ = nullptr;
  QString appliedInputText_;
};
