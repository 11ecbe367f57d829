#pragma once
// The input properties window: everything about one input of the project
// (file, name, track, play rate, camera position) with, by the input's
// type, its sound group, its picture group and its data group, and a live
// preview of its picture. It edits private copies of the input's three
// records and writes each change through to the engine at once, so the
// main preview follows; OK keeps the result, Cancel leaves the main window
// to take it all back with one undo. Runs modally.
#include <QPointF>
#include <cstdint>
#include <memory>
#include <vector>

#include "ui/controls/NSImageViewCustom.h"
#include "ui/input/input_edit_group.h"
#include "ui/shell/WindowController.h"
#include "ui/util/preview_slot.h"

class InputPictureGroup;
class NSTextLabelCustom;
class QCheckBox;
class QLabel;
class QPushButton;
class RealStepper;
class TextField;

class wcInputEdit : public WindowController, public NSImageViewCustomDelegate {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcInputEdit();

public:
  ~wcInputEdit() override;

  // Loads the input's records and fills the window for its type; 255
  // refills the controls from the private copies. False: nothing to show.
  bool SetInputFile(uint32_t input, double previewTime);
  // OK was pressed and the records were stored.
  bool Success() const { return state_.Success; }
  uint32_t OurIndex() const { return state_.OurIndex; }
  double PreviewTime() const { return state_.PreviewTime; }
  const InputShows& Shows() const { return state_.Shows; }
  const InputRecords& Records() const { return records_; }
  // The write-through is held off (filling, reading back).
  bool Loading() const { return state_.IgnoreUpdate > 0; }

  // Reads every control into the private copies.
  void UpdateStructs();
  // UpdateStructs, then the copies to the engine; false (shown) when the
  // engine refused one.
  bool StoreRecords();
  // The data copy replaced by a record a window stored in the engine.
  void TakeData(const DataStruct& data) { records_.Data = data; }
  // The live write-through: the copies to the engine, then (unless quick)
  // the preview when it updates itself.
  void UpdatePreview() { UpdatePreview(false); }
  void UpdatePreview(bool quick);
  void SetEnabled();
  void RedrawPreview() { preview_.redraw(); }
  void EndPreview() { preview_.close(); }
  void UpdateAndReloadAll();

  // Preview zoom and mouse editing of the crop (wcInputEditPreview.cpp).
  void Zoom(double fraction);
  void imageMouseDown(QPointF point) override;
  void imageMouseDrag(QPointF point) override;
  void imageMouseUp(QPointF point) override;
  void imageMouseDoubleClick(QPointF point) override;
  void imageMouseMagnify(QPointF point, double amount, bool start) override;
  void imageMouseRotate(QPointF point, double degrees, bool start) override;

public slots:
  void OkButton_Pressed();
  void CancelButton_Pressed();
  void ChangeFileButton_Pressed();
  void TrackText_Changed();
  void TrackStepper_Changed();
  void PlayRateText_Changed();
  void TrimButton_Pressed();
  void GeoLocationLabel_Clicked();
  void PreviewUpdate_Pressed();
  void PreviewAutoCheck_Changed();
  void CropZoomIn_Pressed();
  void CropZoomOut_Pressed();
  void CropEdit_Pressed();

protected:
  QWidget* makeWindow() override;
  void windowWillClose() override;

private:
  struct State {
    uint32_t OurIndex = 255;
    double PreviewTime = 0;
    int32_t PreviewQuality = 2;
    int IgnoreUpdate = 0;
    InputShows Shows;
    double Latitude = 0;
    double Longitude = 0;
    bool Success = false;
  };
  // Where a drag on the preview began (Part of the mouse editing).
  struct MouseStart {
    QPointF point;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
  };
  struct FileControls {
    QGroupBox* FileGroup = nullptr;
    QLabel* FileNameLabel = nullptr;
    TextField* NameText = nullptr;
    QLabel* FileInfoLabel = nullptr;
    QLabel* FileTimesLabel = nullptr;
    NSTextLabelCustom* GeoLocationLabel = nullptr;
    QLabel* TrackLabel = nullptr;
    TextField* TrackText = nullptr;
    RealStepper* TrackStepper = nullptr;
    QLabel* PlayRateLabel = nullptr;
    TextField* PlayRateText = nullptr;
    QPushButton* ChangeFileButton = nullptr;
    QPushButton* Trim = nullptr;
    NSImageViewCustom* PreviewImage = nullptr;
    QCheckBox* PreviewAutoCheck = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* CancelButton = nullptr;
  };

  QWidget* makeFileGroup(QWidget* parent);
  QWidget* makePreviewColumn(QWidget* parent);
  bool loadRecords(uint32_t input, double previewTime);
  void fillFileGroup();
  void layOutGroups();
  // Writes the copies that differ from the engine's; false (shown) when
  // the engine refused one.
  bool writeRecords();
  InputPictureGroup* picture() const;

  State state_;
  PreviewSlot preview_;
  MouseStart mouse_;
  InputRecords records_;
  FileControls ui_;
  std::vector<std::unique_ptr<InputEditGroup>> groups_;
};
