#pragma once
// The crop window: how many pixels are cut from each edge of a video
// input's picture. It shows the whole frame at the caller's preview time
// with the crop drawn over it in blue; the margins are typed, stepped,
// dragged out with the mouse, moved by a step, set by typing the cropped
// size, or zoomed. Stores the input's adjustment record on OK. Runs modally.
#include <QPointF>
#include <cstdint>
#include <memory>

#include "model/input_records.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/input/crop_fields.h"
#include "ui/shell/WindowController.h"
#include "ui/util/preview_slot.h"

class QLabel;
class QPushButton;
class RealStepper;
class TextField;

class wcInputCrop : public WindowController, public NSImageViewCustomDelegate {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcInputCrop();

public:
  ~wcInputCrop() override;

  // Loads the input and draws its whole frame at the project time; false
  // when there is nothing to crop (no record, or no picture size).
  bool SetInput(uint32_t input, double previewTime);
  bool Success() const { return state_.Success; }

  // Holds the margins inside the picture and redraws the rectangle.
  void UpdatePreview();
  void MoveX(int32_t pixels);
  void MoveY(int32_t pixels);
  void Zoom(double fraction);
  void TextSizeUpdate();

  void imageMouseDown(QPointF point) override;
  void imageMouseDrag(QPointF point) override;
  bool respondsToImageMouseMove() const override { return true; }
  void imageMouseMove(QPointF point) override;
  void imageMouseMagnify(QPointF point, double amount, bool start) override;

public slots:
  void MoveAmountText_Changed();
  void MoveAmountStepper_Changed();
  void MoveLeftButton_Pressed();
  void MoveRightButton_Pressed();
  void MoveUpButton_Pressed();
  void MoveDownButton_Pressed();
  void CropSizeText_Changed();
  void ZoomInButton_Pressed();
  void ZoomOutButton_Pressed();
  void OkButton_Pressed();
  void CancelButton_Pressed();

protected:
  QWidget* makeWindow() override;
  void windowWillClose() override;

private:
  struct State {
    uint32_t OurIndex = 255;
    double PreviewTime = 0;
    uint32_t PreviewQuality = 4;
    MainStruct Main{};
    AdjustStruct Adjust{};
    double ScaleX = 0;
    double ScaleY = 0;
    QPointF MouseStart;
    bool Success = false;
  };
  QWidget* makeCropPairs(QWidget* parent);
  QWidget* makeMoveButtons(QWidget* parent);
  void moveCrop(int32_t dx, int32_t dy);
  void takeCropTexts();
  void drawRectangle(int x, int top, int width, int height);
  // A view point as picture coordinates, y growing upward from the bottom.
  QPointF pictureUp(QPointF viewPoint) const;

  State state_;
  PreviewSlot preview_;
  NSImageViewCustom* PreviewImage = nullptr;
  NSImageViewCustom* PreviewBoxImage = nullptr;
  QLabel* PictureSizeLabel = nullptr;
  TextField* CropSizeText = nullptr;
  QLabel* MousePositionLabel = nullptr;
  TextField* MoveAmountText = nullptr;
  RealStepper* MoveAmountStepper = nullptr;
  std::unique_ptr<CropFields> crop_;
  QPushButton* ZoomInButton = nullptr;
  QPushButton* ZoomOutButton = nullptr;
};
