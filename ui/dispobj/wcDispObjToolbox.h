#pragma once
// The add-object toolbox: a modal palette with one button per kind of
// display object and the project's inputs. A kind's button adds the object
// (bound to the chosen input, or to a default input that suits the kind)
// and closes the palette; closing it any other way adds nothing. Beside
// the buttons (in the wide form) a page of up to 16 style previews for the
// new object's kind. Made once at launch and kept as wndDispObjToolbox.
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>

#include "ui/shell/WindowController.h"

class NSImageViewCustom;
class NSTextLabelCustom;
class QComboBox;
class QGroupBox;
class QLabel;
class QSlider;
class QToolButton;

class wcDispObjToolbox : public WindowController {
  Q_OBJECT
public:
  static constexpr int kPageSlots = 16;
  static constexpr int kNarrowWidth = 446;
  static constexpr int kWideWidth = 1030;

private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcDispObjToolbox();

public:
  // Prepares an opening for the input (255: none chosen).
  void SetData(uint32_t input);
  // The object added by the last opening; 0xFFFFFFFF when none.
  uint32_t NewIndex() const { return newIndex_; }
  uint32_t NewInputID() const { return newInputID_; }
  uint32_t NewType() const { return newType_; }
  bool StyleSelected() const { return styleSelected_; }

  void SetWindowSize(bool wide);
  // Checks the sender's button alone (null: none).
  void SelectButton(QToolButton* sender);
  void SetEnabled();
  void InputSelection_Changed();
  void SetInputSelectControls();
  // Creates the object and closes the palette.
  void AddObject(uint32_t type, uint32_t input);
  // The kind's button (by its type code); null for kinds without one.
  QToolButton* TypeButton(uint32_t type) const;

  // Style page (wcDispObjToolboxStyles.cpp).
  void LoadPreviews() { LoadPreviews(false); }
  void LoadPreviews(bool movedOnly);
  void RedrawPreviews();
  void RedrawPreview(int slot);
  void EndPreviews();
  void LoadItem(int slot);
  void OffsetSlider_Changed() { LoadPreviews(true); }
  // A wheel step over the palette turns the page.
  void scrollWheel(double deltaY);
  int PreviewCount() const { return previewCount_; }
  int LastOffset() const { return lastOffset_; }
  QString TemplateName(int slot) const { return templateName_[slot]; }
  QString TemplateFile(int slot) const { return templateFile_[slot]; }
  // The title a style file's name shows under its preview.
  static QString StyleTitle(const QString& fileName);

  // Outlets.
  QLabel* InputLabel = nullptr;
  QComboBox* InputSelection = nullptr;
  QGroupBox* MediaGroup = nullptr;
  QGroupBox* DrawingGroup = nullptr;
  QGroupBox* DataGroup = nullptr;
  QLabel* SelectInputFileLabel = nullptr;
  QLabel* FieldLabel = nullptr;
  QComboBox* FieldSelection = nullptr;
  QSlider* OffsetSlider = nullptr;
  QLabel* PreviewTitleLabel = nullptr;
  std::array<NSImageViewCustom*, kPageSlots> PreviewImage{};
  std::array<NSTextLabelCustom*, kPageSlots> PreviewLabel{};

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;
  void windowWillClose() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget* makeButtons(QWidget* parent);
  QWidget* makeStylePage(QWidget* parent);
  uint32_t inputTypeOf(uint32_t input) const;
  QString styleFolder() const;

  uint32_t newIndex_ = 0xFFFFFFFF;
  uint32_t newType_ = 0;
  uint32_t newInputID_ = 255;
  uint32_t defaultVideoID_ = 255;
  uint32_t defaultAudioID_ = 255;
  uint32_t defaultDataID_ = 255;
  bool styleSelected_ = false;
  int previewCount_ = 0;
  int lastOffset_ = -1;
  std::array<int, kPageSlots> spIndex_{};
  std::array<QString, kPageSlots> templateName_;
  std::array<QString, kPageSlots> templateFile_;
  std::array<QToolButton*, 32> typeButtons_{};
  std::array<uint8_t, 32> typeCodes_{};
  int typeButtonCount_ = 0;
  QImage defaultImage_;
};
