#pragma once
// The main window: the open project's identity and title, the first-show
// start-up (settings, release check, crash recovery), the project file
// commands, and the places where the preview and the lists go.
#include <QIcon>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "model/disp_records.h"
#include "ui/shell/WindowController.h"

class NSImageViewCustom;
class NameListTable;
class QAction;
class QFrame;
class QGroupBox;
class QMainWindow;
class QMenu;
class QPushButton;
class QSlider;
class QSpinBox;
class QTimer;
class QToolBar;
class wcRecovery;
struct DispStruct;
struct MainStruct;

// What the preview settings window edits (stored under "PreviewQuality",
// "PreviewFrameRate", "PreviewAudioType", "PreviewAudioRate",
// "PreviewFastSeek").
struct PreviewOptions {
  int quality = 1; // 0 best .. 5 fastest
  double frameRate = 29.97;
  int audioType = 3; // 2 mono, 3 stereo
  int audioRate = 22050;
  bool fastSeek = true;
  bool operator==(const PreviewOptions&) const = default;
};

// The preview timer: seconds between acting ticks, the media-clock time of
// the last acting tick, whether the last one found playback, and a repaint
// asked of the next one.
struct PreviewTicks {
  double interval = 0.05;
  double lastUpdate = 0;
  bool wasPlaying = false;
  bool updateRequest = false;
};

class wcMain : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcMain();

public:
  ~wcMain() override;
  QMainWindow* mainWindow();

  // The preview's settings: picture size, options, volume, and the canvas
  // editing switches of the Edit menu.
  QSize PreviewSize() const { return QSize(previewX_, previewY_); }
  const PreviewOptions& previewOptions() const { return previewOptions_; }
  // The preview settings window's OK (the picture size goes by SetPreviewArea).
  void SetPreviewOptions(const PreviewOptions& options) { previewOptions_ = options; }
  int PreviewVolume() const { return previewVolume_; }
  bool SnapToGrid() const { return snapToGrid_; }
  void SetSnapToGrid(bool on) { snapToGrid_ = on; }
  bool Gestures() const { return gestures_; }
  void SetGestures(bool on) { gestures_ = on; }
  // The first-show start-up has finished (handed-over files open at once).
  bool StartupDone() const { return startupDone_; }
  // The start-up template menu is waiting on its one-shot timer.
  bool StartupMenuPending() const;
  int StartupMenuShown() const { return startupMenuShown_; }

  // Project identity and title (wcMainProject.cpp).
  const std::wstring& ProjectFile() const { return projectFile_; }
  const std::wstring& ProjectName() const { return projectName_; }
  bool ProjectModified() const { return projectModified_; }
  void setProjectModified(bool modified);
  QString ProjectTitle() const;
  bool DocumentEdited() const { return projectModified_; }
  void SetWindowTitle();
  void SetProjectFile(const QString& path);
  void SetProjectFile(const QString& path, bool addQV2);
  // False when the user cancelled the save question (nothing was opened).
  bool OpenAssociatedFile(const QString& path);
  // Several files handed over at once: the first through OpenAssociatedFile,
  // the rest added to its project through UiInputAdd (opening them one by
  // one would keep only the last).
  void OpenAssociatedFiles(const QStringList& paths);
  // The save question before the application ends; false keeps it running.
  bool windowShouldClose() override;
  // That question (and the save it may lead to) is open: whether the
  // program goes on is not known yet.
  bool CloseQuestionOpen() const { return closeQuestionOpen_; }

  // Project file commands (wcMainProject.cpp).
  void NewProject();
  void OpenProject();
  bool SaveProject();
  bool SaveProject(const std::wstring& path);
  bool SaveProjectAs();
  // Adds a file as an input; false when the engine refused it.
  bool UiInputAdd(const QString& path, bool showMessages);

  // Lists, preview and timeline.
  void InputRefresh(uint32_t input);
  void DispObjRefresh(uint32_t object);
  double PreviewTime() const { return previewTime_; }
  void setPreviewTime(double seconds) { previewTime_ = seconds; }
  double ProjectLength() const { return projectLength_; }
  void PreviewRefresh() { PreviewRefresh(false); }
  // quick: the fastest quality, for drags.
  // run: playback goes on when the engine is playing now.
  void PreviewRefresh(bool quick) { PreviewRefresh(quick, PreviewIsPlayingNow()); }
  void PreviewRefresh(bool quick, bool run);
  void TimelineClearSelection();
  void TimelineRefreshView();
  void SetPreviewVolume(int volume, bool userAction);
  void SetPreviewArea(bool resize, int x, int y);

  // Create Video, laps and the timeline (wcMainCreateVideo.cpp).
  void CreateVideo() { CreateVideo(false); }
  // upload: the video is uploaded once it is complete.
  void CreateVideo(bool upload);
  void CreateVideo_Pressed() { CreateVideo(); }
  void Laps_Pressed();
  void InputLaps_Clicked() { Laps_Pressed(); }
  void InputLapSetManual_Clicked();
  void Timeline_Pressed();

  // Start-up (wcMainStartup.cpp).
  void DoProgramStart();
  void UpdateCheck();
  void StartupMenu();
  void CreatePreviewTimer();
  void KillPreviewTimer();
  // The application ends: no timer may start anything more (the engine's
  // end serves events while it waits for its threads).
  void StopTimersForEnd();
  // The release check with the GUI thread kept serving its events.
  static int ReleaseCheckOffGuiThread(int anyRelease);

  // ---- Lists, adding inputs, file commands, project settings ----------
  // The two lists (wcMainLists.cpp). Rows are known by their text, the
  // input's or object's name; a refresh rebuilds them whole.
  const QStringList& InputFileNames() const { return inputFileNames_; }
  const QStringList& DispObjNames() const { return dispObjNames_; }
  NameListTable* InputFilesTable() const { return inputFilesTable_; }
  NameListTable* DispObjsTable() const { return dispObjsTable_; }
  QMenu* InputFilesMenu() const { return inputFilesMenu_; }
  QMenu* DispObjsMenu() const { return dispObjsMenu_; }
  // A refresh of the lists is under way (their selection signals are its own).
  bool ListsRefreshing() const { return ignoreUpdate_ > 0; }
  void AddInputListItem(const MainStruct* record, bool indent);
  void AddDisplayListItem(const DispStruct* record);
  void InputSelect(uint32_t input);
  void DispObjSelect(uint32_t object);
  QStringList SelectedInputNames() const;
  QStringList SelectedDispObjNames() const;
  void InputFilesDoubleClicked(int row);
  void DispObjsDoubleClicked(int row);
  void DispObjsClicked();
  // Prepares a list's context menu for the pointer over row (-1: none);
  // false when the menu must not open.
  bool menuWillOpen(QMenu* menu, int row);
  // Commands of the context-menu items and of a double click, installed by
  // the windows that carry them out, by item name ("InputMenuTrim",
  // "InputFilesDoubleClicked", "DispObjsDoubleClicked"). An item without a
  // command stays disabled whatever its rule says.
  void SetListCommand(const QString& name, std::function<void()> command);
  // The names that have a command now.
  QStringList ListCommandNames() const { return listCommands_.keys(); }
  QAction* ListMenuItem(const QString& name) const;
  // The template menu (mode, input), pointed at TemplateMenu by the
  // constructor.
  void SetTemplateMenuCommand(std::function<void(int mode, uint32_t input)> command) {
    templateMenuCommand_ = std::move(command);
  }
  // Template files added as inputs go to this command (path; 0, or
  // negative when nothing was added), pointed at TemplateAdd by the
  // constructor.
  void SetTemplateAddCommand(std::function<int(const QString& path)> command) {
    templateAddCommand_ = std::move(command);
  }

  // Adding inputs (wcMainInputs.cpp).
  void AddInput();
  // THE BATCH ADDING ROUTINE, for every caller with a list of files (the
  // Add panel, files dropped on the window): one undo checkpoint for the
  // whole batch, each file added by UiInputAdd (messages only for a batch
  // of one), the files that failed listed in one warning afterwards, then
  // the project marked modified when anything was added, and the preview
  // refreshed.
  void AddInputFiles(const QStringList& paths);
  void UiInputAddDispObj(uint32_t input);
  void AddInputEmbed();

  // File commands (wcMainFileCommands.cpp).
  void NewProjectFromTemplate();
  void RevertProject();
  void ProjectSettings();
  // The toolbar's project buttons.
  void ProjectNew_Pressed() { NewProjectFromTemplate(); }
  void ProjectOpen_Pressed() { OpenProject(); }
  void ProjectSave_Pressed() { (void)SaveProject(); }
  void ProjectSettings_Pressed() { ProjectSettings(); }
  void FileTransfer();
  // ---- Input commands (wcMainInputCommands.cpp, wcMainInputJoin.cpp,
  // wcMainInputExport.cpp): the buttons beside the inputs list and the
  // commands on the selected inputs. Each command finds its inputs by the
  // selected names, refuses with a warning before it changes anything, lets
  // an open quick sync window settle its edit, takes one undo checkpoint
  // (rename excepted), and refreshes afterwards.
  void InputEdit_Pressed();
  // The input properties window for the input (255: the selection warning).
  void InputEdit(uint32_t input);
  void InputTrim_Pressed();
  void InputTrim(uint32_t input);
  // The option button: the crop window for a video, the start/finish window
  // for a data log; with Control held a data log is first offered the
  // start/finish point at the displayed position.
  void InputOpt1_Pressed();
  void InputOpt1(bool controlHeld);
  void InputDuplicate_Clicked();
  void InputRemove_Pressed();
  void InputJoin_Pressed();
  void InputMoveUp_Pressed();
  void InputMoveDown_Pressed();
  void InputAddTimeFiller_Clicked();
  void InputExportSnapshot_Clicked();
  void InputExportAudio_Clicked();
  void InputSync_Pressed();
  void InputSync2_Pressed();
  void InputRename_Clicked();

  // ---- Display-object commands (wcMainDispObjCommands.cpp) ----
  // The buttons beside the objects list, its context menu and the canvas
  // menu; objects are found by the names of the selected rows.
  void DispObjAdd_Pressed();
  void InputAddDispObj();
  void DispObjEdit_Pressed() { DispObjEdit(true); }
  // Loads the first selected object into the property window and shows it
  // (a visible window is left as it is unless force).
  void DispObjEdit(bool force);
  void DispObjDuplicate_Pressed();
  void DispObjRemove_Pressed();
  void DispObjGroup_Pressed();
  void DispObjMoveUp_Pressed();
  void DispObjMoveDown_Pressed();
  void DispObjMoveToTop_Clicked();
  void DispObjMoveToBottom_Clicked();
  void DispObjSnapshot_Clicked();
  void DispObjCenterH_Clicked() { DispObjCenter(true, false); }
  void DispObjCenterV_Clicked() { DispObjCenter(false, true); }
  void DispObjCenterB_Clicked() { DispObjCenter(true, true); }
  void DispObjCenter(bool horizontally, bool vertically);
  void DispObjRename_Clicked();
  // The canvas menu: the object under the point is selected first.
  QMenu* PreviewMenu() const { return previewMenu_; }
  QAction* PreviewMenuItem(const QString& name) const;
  // Prepares the canvas menu for a right click at the canvas point.
  void previewMenuWillOpen(QPointF point);
  void imageMenuRequested(QPointF point, QPoint globalPos);

  // ---- Template commands (wcMainTemplates.cpp) --------------------------
  // Menu modes: 0 new project, 1 data template replacing the input's
  // objects, 2 template added to the project, 3 data template for an input
  // just added. 0 when a template was chosen, -1 otherwise. Any thread.
  int TemplateMenu(int mode, uint32_t input, bool noCancel = false);
  // The data template menu (mode 1) for the first data input that is no
  // member of a join; nothing without one.
  void TemplateMenuAutoData(bool noCancel = false);
  // The data template's options window for the input.
  void TemplateConfig(uint32_t input, bool noCancel = false);
  // Loads the template file and, for input 255, asks for its input mapping;
  // one undo checkpoint before anything changes (with replaceInputObjects,
  // before the input's objects are removed). 0, -1 not loaded, -2 mapping
  // cancelled. Any thread.
  int TemplateAdd(const QString& path, uint32_t input = 255, bool replaceInputObjects = false);
  void ImportTemplate();
  void ExportTemplate();
  void InputLoadTemplate_Clicked();
  void InputLoadDataTemplate(uint32_t input);
  void InputConfigTemplate_Clicked();
  // Opens a project file chosen in the template menu; false (with the error
  // shown and the project kept) when it cannot be read.
  bool OpenProjectFromMenu(const QString& path);
  // The new-project wizard beside the window, while the user wants it
  // ("UseProjectWizard"): after New Project and a blank start-up project.
  void ShowProjectWizardIfWanted();
  // Points the template menu and template add commands and the two data template
  // items of the inputs menu at the commands above.
  void InstallTemplateCommands();

  // ---- Preview canvas, timer, transport, preview settings, canvas editing
  // (wcMainPreview.cpp, wcMainPreviewForm.cpp, wcMainTransport.cpp,
  // wcMainCanvasEdit.cpp) ----
  static bool PreviewIsPlayingNow();
  // Outlets of the preview box.
  NSImageViewCustom* PreviewImage() const { return previewImage_; }
  QGroupBox* PreviewGroup() const { return previewGroup_; }
  QSlider* PreviewTimeSlider() const { return previewTimeSlider_; }
  QPushButton* PreviewTimeButton() const { return previewTimeButton_; }
  QPushButton* ProjectLengthButton() const { return projectLengthButton_; }
  QPushButton* PlayButton() const { return playButton_; }
  QPushButton* StopButton() const { return stopButton_; }
  QPushButton* MuteButton() const { return muteButton_; }
  QSpinBox* VolumeStepper() const { return volumeStepper_; }
  const PreviewTicks& previewTicks() const { return ticks_; }
  // The next acting tick repaints the preview.
  void RequestPreviewUpdate() { ticks_.updateRequest = true; }
  // The time slider is being dragged (or stepped by a key).
  bool Scrolling() const { return scrolling_; }
  void ResizeForm();
  // The window's least size for a preview picture of x by y (the panes may
  // need more), and whether that window fits the visible area of its screen.
  static QSize WindowMinimumFor(int x, int y);
  bool PreviewAreaFits(int x, int y);
  void PreviewSeek(double seconds);
  void PreviewTrackbarUpdate();
  void PreviewTimerTick();
  // Transport (wcMainTransport.cpp).
  void PlayButton_Pressed();
  void StopButton_Pressed();
  void StepBackwardButton2_Pressed() { PreviewSeek(-0.15); }
  void StepBackwardButton_Pressed() { PreviewSeek(-0.03); }
  void StepForwardButton_Pressed() { PreviewSeek(0.03); }
  void StepForwardButton2_Pressed() { PreviewSeek(0.15); }
  // released: the slider's button has just been let go (or a key moved it).
  void PreviewTimeSlider_Changed(bool released);
  void PreviewTimeButton_Pressed();
  void ProjectLengthButton_Pressed();
  void MuteButton_Pressed();
  void VolumeStepper_Changed();
  void PreviewSettings_Pressed();
  void SnapshotButton_Pressed() { ExportPreview(); }
  void ExportPreview();
  void PreviewMarkStartButton_Pressed();
  void PreviewMarkEndButton_Pressed();
  // Canvas editing (wcMainCanvasEdit.cpp); points in canvas pixels. The
  // object under the pointer's press (0xFFFFFFFF: none), whether it is
  // being dragged, and the object being pinched.
  uint32_t DraggedDispObj() const { return drag_.object; }
  bool MouseDragging() const { return drag_.dragging; }
  uint32_t PinchedDispObj() const { return pinch_.object; }
  void imageMouseDown(QPointF point);
  void imageMouseUp(QPointF point);
  void imageMouseDoubleClick(QPointF point);
  void imageMouseDrag(QPointF point);
  void imageMouseMagnify(QPointF point, double amount, bool start);
  // Files dropped on the main window or its canvas: added as inputs with one
  // undo checkpoint for the whole drop.
  void DropFiles(const QStringList& paths);

protected:
  QWidget* makeWindow() override;
  void windowDidLoad() override;
  void windowDidBecomeMain() override;
  void windowWillClose() override;

private:
  void WindowCustomLoad();
  QToolBar* makeProjectCommands(QMainWindow* window);
  void makeCreateVideoCommands(QToolBar* bar);
  void shutDownAfterRender();
  void readSettings();
  void readStoredSettings(int& unit);
  void migrateSettings();
  void clampSettings(int screenWidth, int screenHeight);
  bool offerRecovery();
  bool carryOutRecoveryAnswer(wcRecovery& recovery);
  void setProjectIdentity(const std::wstring& file, const std::wstring& name);
  bool askSaveFirst(const wchar_t* question);
  void leaveEditingWindows();
  QString projectDirDefault() const;

  // The press on the canvas and what it picked.
  struct CanvasDrag {
    int startX = 0, startY = 0;
    bool dragging = false;
    uint32_t object = 0xFFFFFFFF;
    float objectStartX = 0, objectStartY = 0;
  };
  // A pinch on the canvas: the object and a copy of it taken at the start.
  struct CanvasPinch {
    uint32_t object = 0xFFFFFFFF;
    DispStruct record{};
    double width = 0, height = 0;
  };

  // Start-up and settings.
  bool windowFirstShow_ = true;
  bool showMenuAtStart_ = true;
  int previewX_ = 0;
  int previewY_ = 0;
  // The window's size before it was grown round a larger picture, and the
  // size it was grown to (both invalid when it was not).
  struct WindowGrowth {
    QSize from, to;
  } windowGrowth_;
  PreviewOptions previewOptions_;
  int previewVolume_ = 100;
  bool snapToGrid_ = true;
  bool gestures_ = true;
  // Preview time, timer and transport.
  double projectLength_ = 0;
  double previewTime_ = 0;
  bool scrolling_ = false;
  PreviewTicks ticks_;
  NSImageViewCustom* previewImage_ = nullptr;
  QGroupBox* previewGroup_ = nullptr;
  QSlider* previewTimeSlider_ = nullptr;
  QPushButton* previewTimeButton_ = nullptr;
  QPushButton* projectLengthButton_ = nullptr;
  QPushButton* playButton_ = nullptr;
  QPushButton* stopButton_ = nullptr;
  QPushButton* muteButton_ = nullptr;
  QSpinBox* volumeStepper_ = nullptr;
  QMenu* previewMenu_ = nullptr;
  CanvasDrag drag_;
  CanvasPinch pinch_;
  // The two lists.
  int ignoreUpdate_ = 0;
  QStringList inputFileNames_;
  QList<QIcon> inputFileIcons_;
  QStringList dispObjNames_;
  QList<QIcon> dispObjIcons_;
  NameListTable* inputFilesTable_ = nullptr;
  NameListTable* dispObjsTable_ = nullptr;
  QMenu* inputFilesMenu_ = nullptr;
  QMenu* dispObjsMenu_ = nullptr;
  std::function<void(int mode, uint32_t input)> templateMenuCommand_;
  std::function<int(const QString& path)> templateAddCommand_;

  std::wstring projectFile_;
  std::wstring projectName_;
  bool projectModified_ = false;
  bool startupDone_ = false;
  bool closeQuestionOpen_ = false;
  int startupMenuShown_ = 0;
  QTimer* previewTimer_ = nullptr;
  QTimer* startupMenuTimer_ = nullptr;
  // Preview.
  QWidget* makePreviewGroup(QWidget* parent);
  QWidget* makeTransport(QWidget* parent);
  void positionCanvas();
  void showPreviewTimes(float manualLength);
  void setButtonFace(QPushButton* button, const QString& face);
  void dispObjEditFromCanvas();
  void drawSelectionRect(const DispStruct& record);
  void editedObjectToPropertyWindow();
  QObject* canvasAdapter_ = nullptr;
  int previewRefreshing_ = 0; // a repaint is stopping and starting the engine

  // Lists.
  QWidget* makeListsPanel(QWidget* parent);
  void wireList(NameListTable* table, QMenu* menu);
  void addMenuItem(QMenu* menu, const QString& name, const QString& title);
  void inputMenuWillOpen();
  void dispObjsMenuWillOpen();
  void runListCommand(const QString& name);
  void resetLapList();
  bool reloadProject(const QString& path, bool resetPreviewTime);
  bool saveFirstOrStop();
  bool addOneFile(const QString& path, bool showMessages, QStringList* failures);
  QMap<QString, std::function<void()>> listCommands_;
  // Display-object commands.
  void installDispObjCommands(class QGroupBox* objectsBox);
  void runToolbox(uint32_t input);
  void changeDrawingOrder(int direction, bool toEnd);
  void refreshPropertyWindow();
  // Input commands.
  QWidget* makeInputButtons(QWidget* parent);
  void installInputCommands();
  uint32_t firstSelectedInput() const;
  void stopPreviewPlayback();
  void afterInputWindow();
  void moveSelectedInputs(int direction);
};
