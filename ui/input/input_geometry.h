#pragma once
// The geometry part of the input properties window's picture group: the
// four crop margins (with the preview's zoom buttons and the crop window's
// button), the rotation cells with their amount, and mirroring. The crop
// steppers hold the margins being edited; the preview's mouse editing works
// on them through Margins and SetMargins.
#include <QStringList>
#include <functional>

#include "model/input_records.h"
#include <memory>

#include "ui/input/crop_fields.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QPushButton;
class QWidget;
class RealStepper;
class TextField;
class wcInputEdit;

class InputGeometry {
public:
  explicit InputGeometry(wcInputEdit& window);
  ~InputGeometry();

  // The crop, rotation and mirroring boxes in one column.
  QWidget* Build(QWidget* parent);
  // Picture size W x H comes from the window's MainStruct copy.
  void Fill(const AdjustStruct& adjust, int32_t width, int32_t height);
  void Read(AdjustStruct& adjust, int32_t width, int32_t height);

  CropMargins Margins() const;
  // Each value held by its stepper; the texts follow. No write-through.
  void SetMargins(const CropMargins& margins);
  // The four text actions, left, right, top, bottom (typed text counts).
  void TakeCropTexts();
  void SetRotateAmount(double degrees, bool controlsOnly);

  // The rotation cell chosen for an angle, by the beginning of its title.
  static QString RotationCellFor(float rotation);
  static const QStringList& RotationTitles();
  static const QStringList& MirroringTitles();

  QPushButton* CropZoomIn = nullptr;
  QPushButton* CropZoomOut = nullptr;
  QPushButton* CropEdit = nullptr;

private:
  void Rotate_Changed();
  void RotateAmountText_Changed();
  void RotateAmountStepper_Changed();
  void selectRotationCell(const QString& start);
  QWidget* makeCropGroup(QWidget* parent);
  QWidget* makeRotateGroup(QWidget* parent);

  wcInputEdit& window_;
  std::unique_ptr<CropFields> crop_;
  QButtonGroup* Rotate = nullptr;
  TextField* RotateAmountText = nullptr;
  RealStepper* RotateAmountStepper = nullptr;
  QComboBox* MirroringSelection = nullptr;
};
