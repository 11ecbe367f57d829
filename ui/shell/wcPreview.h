#pragma once
// The preview settings dialog: quality, fast seeking, the preview picture
// size, the playback frame rate and the preview sound format. It reads the
// main window's values when it opens and, on OK, stores the choice in the
// user's settings and in the main window, which rebuilds its preview.
#include <QStringList>

#include "ui/shell/WindowController.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QSlider;
class wcMain;

class wcPreview : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcPreview();

public:
  QSlider* QualitySlider = nullptr;
  QCheckBox* FastSeekCheck = nullptr;
  QButtonGroup* PictureSizeGroup = nullptr;
  QButtonGroup* FrameRateGroup = nullptr;
  QButtonGroup* AudioRateGroup = nullptr;
  QButtonGroup* AudioTypeGroup = nullptr;

  // The titles each group offers, in order.
  static const QStringList& PictureSizeTitles();
  static const QStringList& FrameRateTitles();
  static const QStringList& AudioRateTitles();
  static const QStringList& AudioTypeTitles();
  // The selected cell's title ("" with none).
  static QString SelectedTitle(QButtonGroup* group);
  // Selects the cell with the title, or the fallback cell when none has it.
  static void SelectTitle(QButtonGroup* group, const QString& title, const QString& fallback);

  void OkButton_Pressed();
  void CancelButton_Pressed();

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;

private:
  wcMain* mainController() const;
  void fillControls(wcMain* main);
};
