#pragma once
// The picture menu of templates: a new project from a template, a template
// added to the project, or a data template for one data input. Fifteen
// thumbnails a page from the documents folder's "Templates", paged with a
// slider or the wheel, and a browser for files kept elsewhere. Choosing
// hands the file to the main window, which loads and applies it.
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "ui/shell/WindowController.h"
#include "ui/util/preview_slot.h"

class NSImageViewCustom;
class NSImageViewCustomDelegate;
class NSTextLabelCustom;
class QCheckBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QSlider;

class wcTemplateMenu : public WindowController {
  Q_OBJECT
public:
  static constexpr int kSlots = 15;

private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcTemplateMenu();

public:
  ~wcTemplateMenu() override;

  // Prepares one modal run: titles by mode, switches from the settings,
  // first page filled.
  void SetMode(uint32_t mode, uint32_t inputID, bool noCancel = false);
  void LoadPreviews(bool onlyIfMoved = false);
  void RedrawPreviews();
  void RedrawPreview(int slot);
  void EndPreviews();
  // Applies the template of a slot (0-14).
  void LoadItem(int slot);

  // Results of the last run.
  bool Success() const { return result_.success; }
  bool NewDataProject() const { return result_.newDataProject; }

  // What the slots show, for the windows that check them.
  int PreviewCount() const { return page_.count; }
  QString TemplateName(int slot) const;
  QString TemplateFile(int slot) const;
  bool SlotShown(int slot) const;
  QSlider* OffsetSlider() const { return offsetSlider_; }
  QLabel* Label() const { return label_; }
  QCheckBox* ShowAtStart() const { return showAtStart_; }
  QCheckBox* UseWizardCheck() const { return useWizardCheck_; }
  QPushButton* BrowseButton() const { return browseButton_; }
  QPushButton* CancelButton() const { return cancelButton_; }
  QPushButton* DataloggerButton() const { return dataloggerButton_; }
  NSTextLabelCustom* PreviewLabel(int slot) const;
  NSImageViewCustom* PreviewImage(int slot) const;

  // The name shown for a template file name (with extension) in a mode.
  static QString DisplayName(const QString& fileName, uint32_t mode);
  // The template files of the folder that a mode lists, sorted.
  static QStringList ScanFolder(const QString& folder, uint32_t mode);

public slots:
  void PreviewImage_Clicked(int slot) { LoadItem(slot); }
  void BrowseButton_Pressed();
  void CancelButton_Pressed();
  void DataloggerButton_Pressed();
  void ShowAtStart_Changed();
  void UseWizardCheck_Changed();
  void OffsetSlider_Changed();
  // The wheel moves whole pages: positive deltaY towards the first page.
  void scrollWheel(double deltaY);

protected:
  QWidget* makeWindow() override;
  void windowWillClose() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  struct Run {
    uint32_t mode = 0;
    uint32_t inputID = 255;
    bool noCancel = false;
  };
  struct Result {
    bool success = false;
    bool newDataProject = false;
  };
  struct Page {
    int count = 0;       // slots set up by the last fill
    int lastOffset = -1; // template meant for the first slot at that fill
    std::array<PreviewSlot, kSlots> previews{};
    std::array<QString, kSlots> name;
    std::array<QString, kSlots> file;
  };
  struct SlotWidgets {
    QWidget* cell = nullptr; // the thumbnail over its name
    NSImageViewCustom* image = nullptr;
    NSTextLabelCustom* label = nullptr;
  };

  void ShowDataloggerTip();
  void arrangeTiles();
  void hideSlot(int slot);
  // After a template or project was taken: the results, then the close.
  void finishChoice(const QString& shownName);
  int firstIndex(int count);

  Run run_;
  Result result_;
  Page page_;
  std::array<SlotWidgets, kSlots> slots_{};
  QGridLayout* grid_ = nullptr;
  QLabel* label_ = nullptr;
  QCheckBox* showAtStart_ = nullptr;
  QCheckBox* useWizardCheck_ = nullptr;
  QPushButton* browseButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QPushButton* dataloggerButton_ = nullptr;
  QSlider* offsetSlider_ = nullptr;
  std::array<std::unique_ptr<NSImageViewCustomDelegate>, kSlots> clicks_;
};
