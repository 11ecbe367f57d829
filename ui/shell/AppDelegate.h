#pragma once
// The application's spine: the launch with its splash, the registry through
// which every window finds every other, window placement, folders and file
// types, the main menu's actions and the end of the process.
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <thread>

#include "ui/shell/instance_handover.h"
#include "ui/shell/window_registry.h"

class QAction;
class QMenuBar;
class WindowController;

class AppDelegate : public QObject {
  Q_OBJECT
public:
  AppDelegate();
  ~AppDelegate() override;
  // The one delegate (the application's), or null before it exists.
  static AppDelegate* shared();

  // Launch (AppDelegateLaunch.cpp).
  void applicationDidFinishLaunching();
  // The launch sequence proper; runs on the launch thread, never the GUI's.
  void LoadAndLaunch();
  // From any thread; off the GUI thread it posts and returns at once.
  void SetSplashStatus(const QString& text);
  void EndSplash();
  // A question of the start-up stands alone: the splash, which would stand
  // over or beside it, is hidden until EndSplash ends it.
  void HideSplash();
  // Files handed over (AppDelegateHandOver.cpp).
  // A file of the command line or the desktop file. Always true.
  bool applicationOpenFile(const QString& path);
  // Files handed over together (one command line, one later launch): the
  // main window opens the first and adds the rest to that project. While a
  // modal window runs they wait for it to close.
  void applicationOpenFiles(const QStringList& paths);
  // A later launch's files, or its wish to see the window when it names
  // none. It is answered once they are taken, or told to run by itself
  // when the program ends first (its quit question may be open meanwhile).
  void applicationHandOver(const HandOverPtr& handOver);
  // A later launch without files: the program's window (or the window the
  // user is answering) comes to the front.
  void applicationReopen();
  // True: end now. False: the main window asks to save first.
  bool applicationShouldTerminate();
  // Asks the application to end; the main window may still refuse.
  void terminate();
  // The system ends the program (the session logging out): it ends as
  // Quit does but asks nothing, since nobody may be there to answer. Unsaved
  // changes stay for the next start's recovery; a clean project leaves
  // nothing to recover.
  void terminateOnSignal(int signalNumber);
  // The last act of the application layer: ends the engine if it started.
  void applicationWillTerminate();
  // Waits for the launch thread (tests and the end of the process).
  void waitForLaunchThread();

  // Files handed over before the main window was up, in order; the first
  // opens and the others join its project.
  bool HasPendingOpenFiles() const;
  // The main window's first show takes the files kept so far (and empties
  // the list); files handed over after that queue until its start-up ends.
  QStringList TakeOpenFilePaths();
  // The font families the launch found usable, for the font lists; empty
  // before the launch.
  static QStringList SystemFonts();
  bool EngineStarted() const { return engineStarted_; }
  bool LaunchFailed() const { return launchFailed_; }

  // The windows, in launch order. The launch makes them (and a test that
  // needs them without a launch may); only the first call makes anything.
  const WindowRegistry& windows() const { return windows_; }
  bool CreateWindows();

  // Placement (AppDelegatePlacement.cpp).
  static bool IsWindowVisible(WindowController* controller);
  static QString GetDocFolder(const QString& subFolder = QString());
  static QStringList GetMediaFileTypes(int mask);
  void CenterWindow(WindowController* controller);
  void AlignWindow(WindowController* controller, int code);
  void AlignWindow(WindowController* controller, int code, WindowController* reference);

  // Main menu (AppDelegateMenus.cpp): builds the menus into the main
  // window's bar and keeps the items the delegate looks after.
  void BuildMainMenu(QMenuBar* bar);
  // An item of the menus by its name ("mnuFileSave"), or null.
  QAction* menuAction(const QString& objectName) const;
  // The check marks of Snap to Grid and Gestures, as the settings say.
  void SetSettingChecks(bool snapToGrid, bool gestures);

signals:
  // The splash has shown a status (GUI thread).
  void splashStatusShown(const QString& text);
  // The launch has shown the main window ("Launch complete").
  void launchComplete();
  // The application was asked to end and nothing refused.
  void terminating();

public slots:
  void mnuFileNew_Clicked();
  void mnuFileNewTemplate_Clicked();
  void mnuFileRevert_Clicked();
  void mnuFileOpen_Clicked();
  void mnuFileSave_Clicked();
  void mnuFileSaveAs_Clicked();
  void mnuFileTransfer_Clicked();
  void mnuFileInputAdd_Clicked();
  void mnuFileImportTemplate_Clicked();
  void mnuFileInputAddEmbed_Clicked();
  void mnuFileCreateTemplate_Clicked();
  void mnuFileProjectSettings_Clicked();
  void mnuFileCreateVideo_Clicked();
  void mnuFileExportPreview_Clicked();
  void mnuFileUpload_Clicked();
  void mnuFileQuit_Clicked();
  void mnuEditUndo_Clicked();
  void mnuEditSnapToGrid_Clicked();
  void mnuEditGestures_Clicked();
  void mnuHelpDocs_Clicked();
  void mnuHelpInternet_Clicked();
  void mnuHelpUpdateCheck_Clicked();
  void mnuHelpShowLog_Clicked();
  void mnuHelpAbout_Clicked();

private:
  wcMain* mainWindow() const { return windows_.wndMain(); }
  wcSplash* splash() const { return windows_.wndSplash(); }
  void gatherFonts(const QStringList& families);
  void loadWindows();
  void showMainWindow();
  void launchEngineFailed();
  void openWaitingHandOvers();
  // The program ends: every launch still waiting runs by itself.
  void refuseHandOvers();
  void refuse(const QList<HandOverPtr>& handOvers);
  void addMenuAction(class QMenu* menu, const QString& name, const QString& title, void (AppDelegate::*slot)());

  QStringList fontFamilies_;
  std::thread launchThread_;
  std::atomic<bool> engineStarted_{false};
  std::atomic<bool> launchFailed_{false};
  bool terminated_ = false;
  bool terminating_ = false;
  bool keepRecovery_ = false;
  QMenuBar* menuBar_ = nullptr;
  QAction* snapToGridItem_ = nullptr;
  QAction* gesturesItem_ = nullptr;
  // Files that wait for the main window's first show, oldest first.
  QList<HandOverPtr> pendingHandOvers_;
  // Hand-overs that arrived while a modal window ran, oldest first.
  QList<HandOverPtr> waitingHandOvers_;
  bool handOversOpening_ = false;
  bool openFilePathsTaken_ = false;
  bool appRunning_ = false;
  QStringList systemFonts_;
  bool handOverRetryQueued_ = false;
  WindowRegistry windows_;
};

// The application's windows: the shared delegate's, or none before it
// exists (a window tested on its own).
const WindowRegistry& AppWindows();
