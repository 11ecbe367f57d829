#pragma once
// The background bitmap window: the picture a display object carries
// behind it, imported from an image file or a file dropped on the window,
// exported as BMP, cleared, or edited in the user's image editor and taken
// back when the editor quits; its rotation, zoom, aspect ratio and chroma
// key. Every change goes to the engine at once (the opener's undo
// checkpoint takes it back). Runs modally.
#include <QString>
#include <cstdint>
#include <memory>

#include "ui/controls/NSImageViewCustom.h"
#include "ui/shell/WindowController.h"
#include "ui/util/preview_slot.h"

class NSColorWellCustom;
class NSTextLabelCustom;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class RealSlider;
class RealStepper;
class TextField;
struct DispStruct;

class wcDispObjBackground : public WindowController, public NSDraggingDestination {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcDispObjBackground();

public:
  ~wcDispObjBackground() override;

  // Loads the object into the window; always true. The opener then runs
  // the window modally.
  bool SetData(int index);
  // Reloads every control from the engine and repaints the preview.
  void UpdatePreview();
  void SetEnabled();
  void EndPreview() { preview_.close(); }
  void RedrawPreview();
  // An outside editor session is running (at most one, even after a close).
  bool EditRunning() const { return state_.EditRunning; }

  // File drops on the window (the preview is the visible target).
  Qt::DropActions draggingEntered(const QMimeData* data) override;
  void draggingExited() override {}
  bool prepareForDragOperation(const QMimeData* data) override;
  bool performDragOperation(const QMimeData* data) override;

  // Outlets.
  NSImageViewCustom* PreviewImage = nullptr;
  QLabel* NoImageLabel = nullptr;
  QLabel* EditWaitingLabel = nullptr;
  QCheckBox* PreviewAllCheck = nullptr;
  QPushButton* ImportButton = nullptr;
  QPushButton* ExportButton = nullptr;
  QPushButton* EditButton = nullptr;
  QPushButton* ClearButton = nullptr;
  QPushButton* OkButton = nullptr;
  QCheckBox* KeepRatioCheck = nullptr;
  NSTextLabelCustom* RotateLabel = nullptr;
  RealSlider* RotateSlider = nullptr;
  NSTextLabelCustom* ZoomLabel = nullptr;
  RealSlider* ZoomSlider = nullptr;
  QCheckBox* ChromaEnabledCheck = nullptr;
  QGroupBox* ChromaGroup = nullptr;
  NSColorWellCustom* ChromaColor = nullptr;
  QPushButton* ChromaColorChoose = nullptr;
  TextField* ChromaColorRangeText = nullptr;
  RealStepper* ChromaColorRangeStepper = nullptr;
  TextField* ChromaBrightRangeText = nullptr;
  RealStepper* ChromaBrightRangeStepper = nullptr;

public slots:
  void OkButton_Pressed();
  void ClearButton_Pressed();
  void ImportButton_Pressed();
  void EditButton_Pressed();
  void ExportButton_Pressed();
  void ZoomSlider_Changed();
  void ZoomLabel_Clicked();
  void RotateSlider_Changed();
  void RotateLabel_Clicked();
  void KeepRatioCheck_Changed();
  void PreviewAllCheck_Changed() { UpdatePreview(); }
  void ChromaEnabledCheck_Changed();
  void ChromaColor_Changed();
  void ChromaColorChoose_Pressed();
  void ChromaColorRangeText_Changed();
  void ChromaColorRangeStepper_Changed();
  void ChromaBrightRangeText_Changed();
  void ChromaBrightRangeStepper_Changed();

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;
  void windowWillClose() override;

private:
  struct State {
    uint32_t OurIndex = 0xFFFFFFFF;
    // Both only ever touched on the GUI thread: the session's thread just
    // waits for the editor and hands the end back.
    bool EditRunning = false;
    bool EditCancel = false;
  };
  struct EditSession;

  QWidget* makePreviewColumn(QWidget* parent);
  QWidget* makeButtonColumn(QWidget* parent);
  QGroupBox* makeChromaGroup(QWidget* parent);
  // Copies the object's record, lets change edit it and stores it; false
  // when the object is gone (nothing written). The window reloads either way.
  template <typename Change> void editRecord(Change change);
  void importFile(const QString& path);
  // The end of an editor session, on the GUI thread.
  void BackgroundEditDone(const std::shared_ptr<EditSession>& session, bool ran, const QString& reason);

  State state_;
  PreviewSlot preview_;
};
