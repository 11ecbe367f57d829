#pragma once
// The four crop margin fields (text and stepper each) that the input
// properties window and the crop window share, laid out as the picture's
// edges. Each text action reads the typed whole number into its stepper,
// which holds it between 0 and the picture's size less one, and runs the
// stepper action, which writes the value back and calls the owner's change.
#include <functional>

#include "ui/input/crop_math.h"

class QGridLayout;
class QWidget;
class RealStepper;
class TextField;

class CropFields {
public:
  enum Side { kTop, kLeft, kRight, kBottom, kSides };

  // Adds the four pairs to the grid (rows 0 to 2) of the parent; changed
  // runs after every stepper action.
  CropFields(QWidget* parent, QGridLayout* grid, std::function<void()> changed);

  // Maxima W - 1 and H - 1 (0 for an empty size).
  void SetPictureSize(int32_t width, int32_t height);
  CropMargins Margins() const;
  // Each value held by its stepper; the texts follow. No change action.
  void SetMargins(const CropMargins& margins);
  // The text actions in the given order (typed text counts).
  void TakeTexts(std::initializer_list<Side> order);

  void Text_Changed(Side side);
  void Stepper_Changed(Side side);

private:
  TextField* text_[kSides] = {};
  RealStepper* stepper_[kSides] = {};
  std::function<void()> changed_;
};
