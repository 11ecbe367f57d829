// The main menu and its actions; most hand over to the main window.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "base/error.h"
#include "base/log.h"
#include "base/message_box.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "io/net/release_check.h"
#include "render/preview/main_preview.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/seams/desktop.h"
#include "ui/seams/modal_run.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/vendor.h"
#include "ui/shell/wcAbout.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcUpload.h"
#include "ui/shell/window_calls.h"
#include "ui/util/ui_utils.h"

void AppDelegate::addMenuAction(QMenu* menu, const QString& name, const QString& title, void (AppDelegate::*slot)()) {
  QAction* action = menu->addAction(title);
  action->setObjectName(name);
  // Only the main window has the menu bar: its keys work from every window
  // of the program (the wizard, the lists, the property window). A modal
  // window still holds them off, as it holds off the menu bar itself.
  action->setShortcutContext(Qt::ApplicationShortcut);
  connect(action, &QAction::triggered, this, slot);
}

void AppDelegate::BuildMainMenu(QMenuBar* bar) {
  menuBar_ = bar;
  QMenu* file = bar->addMenu("&File");
  addMenuAction(file, "mnuFileNew", "New Project", &AppDelegate::mnuFileNew_Clicked);
  file->actions().back()->setShortcut(QKeySequence::New);
  addMenuAction(file, "mnuFileNewTemplate", "New Project from Template...", &AppDelegate::mnuFileNewTemplate_Clicked);
  addMenuAction(file, "mnuFileOpen", "Open Project...", &AppDelegate::mnuFileOpen_Clicked);
  file->actions().back()->setShortcut(QKeySequence::Open);
  addMenuAction(file, "mnuFileRevert", "Revert to Saved", &AppDelegate::mnuFileRevert_Clicked);
  file->addSeparator();
  addMenuAction(file, "mnuFileSave", "Save Project", &AppDelegate::mnuFileSave_Clicked);
  file->actions().back()->setShortcut(QKeySequence::Save);
  addMenuAction(file, "mnuFileSaveAs", "Save Project As...", &AppDelegate::mnuFileSaveAs_Clicked);
  file->addSeparator();
  addMenuAction(file, "mnuFileInputAdd", "Add Input...", &AppDelegate::mnuFileInputAdd_Clicked);
  addMenuAction(file, "mnuFileInputAddEmbed", "Embed Image File...", &AppDelegate::mnuFileInputAddEmbed_Clicked);
  addMenuAction(file, "mnuFileTransfer", "Receive Files from Network...", &AppDelegate::mnuFileTransfer_Clicked);
  file->addSeparator();
  addMenuAction(file, "mnuFileImportTemplate", "Import Template...", &AppDelegate::mnuFileImportTemplate_Clicked);
  addMenuAction(file, "mnuFileCreateTemplate", "Create Template...", &AppDelegate::mnuFileCreateTemplate_Clicked);
  file->addSeparator();
  addMenuAction(file, "mnuFileProjectSettings", "Project Settings...", &AppDelegate::mnuFileProjectSettings_Clicked);
  addMenuAction(file, "mnuFileExportPreview", "Export Preview Image...", &AppDelegate::mnuFileExportPreview_Clicked);
  addMenuAction(file, "mnuFileCreateVideo", "Create Video File...", &AppDelegate::mnuFileCreateVideo_Clicked);
  addMenuAction(file, "mnuFileUpload", "Upload Video...", &AppDelegate::mnuFileUpload_Clicked);
  file->addSeparator();
  addMenuAction(file, "mnuFileQuit", "Quit", &AppDelegate::mnuFileQuit_Clicked);
  file->actions().back()->setShortcut(QKeySequence::Quit);

  QMenu* edit = bar->addMenu("&Edit");
  addMenuAction(edit, "mnuEditUndo", "Undo", &AppDelegate::mnuEditUndo_Clicked);
  edit->actions().back()->setShortcut(QKeySequence::Undo);
  edit->addSeparator();
  addMenuAction(edit, "mnuEditSnapToGrid", "Snap to Grid", &AppDelegate::mnuEditSnapToGrid_Clicked);
  snapToGridItem_ = edit->actions().back();
  addMenuAction(edit, "mnuEditGestures", "Gestures", &AppDelegate::mnuEditGestures_Clicked);
  gesturesItem_ = edit->actions().back();
  snapToGridItem_->setCheckable(true);
  gesturesItem_->setCheckable(true);

  QMenu* help = bar->addMenu("&Help");
  addMenuAction(help, "mnuHelpDocs", "Documentation", &AppDelegate::mnuHelpDocs_Clicked);
  addMenuAction(help, "mnuHelpInternet", "Quelvatron on the Internet", &AppDelegate::mnuHelpInternet_Clicked);
  addMenuAction(help, "mnuHelpUpdateCheck", "Check for Updates...", &AppDelegate::mnuHelpUpdateCheck_Clicked);
  addMenuAction(help, "mnuHelpShowLog", "Show Log", &AppDelegate::mnuHelpShowLog_Clicked);
  help->addSeparator();
  addMenuAction(help, "mnuHelpAbout", "About Quelvatron", &AppDelegate::mnuHelpAbout_Clicked);
}

QAction* AppDelegate::menuAction(const QString& objectName) const {
  return menuBar_ != nullptr ? menuBar_->findChild<QAction*>(objectName) : nullptr;
}

void AppDelegate::SetSettingChecks(bool snapToGrid, bool gestures) {
  if (snapToGridItem_ != nullptr) snapToGridItem_->setChecked(snapToGrid);
  if (gesturesItem_ != nullptr) gesturesItem_->setChecked(gestures);
}

void AppDelegate::mnuFileNew_Clicked() {
  wcMain* main = mainWindow();
  if (main == nullptr) return;
  main->NewProject();
  // Still modified: the save question was cancelled, nothing was replaced.
  if (!main->ProjectModified()) main->ShowProjectWizardIfWanted();
}
void AppDelegate::mnuFileOpen_Clicked() {
  if (mainWindow() != nullptr) mainWindow()->OpenProject();
}
void AppDelegate::mnuFileSave_Clicked() {
  if (mainWindow() != nullptr) mainWindow()->SaveProject();
}
void AppDelegate::mnuFileSaveAs_Clicked() {
  if (mainWindow() != nullptr) mainWindow()->SaveProjectAs();
}
void AppDelegate::mnuFileNewTemplate_Clicked() {
  if (mainWindow() != nullptr) mainWindow()->NewProjectFromTemplate();
}
void AppDelegate::mnuFileRevert_Clicked() {
  if (mainWindow() != nullptr) mainWindow()->RevertProject();
}
void AppDelegate::mnuFileInputAdd_Clicked() {
  if (mainWindow() != nullptr) mainWindow()->AddInput();
}
void AppDelegate::mnuFileInputAddEmbed_Clicked() {
  if (mainWindow() != nullptr) mainWindow()->AddInputEmbed();
}
void AppDelegate::mnuFileImportTemplate_Clicked() {
  if (mainWindow() != nullptr) mainWindow()->ImportTemplate();
}
void AppDelegate::mnuFileCreateTemplate_Clicked() {
  if (mainWindow() != nullptr) mainWindow()->ExportTemplate();
}
void AppDelegate::mnuFileProjectSettings_Clicked() {
  if (mainWindow() != nullptr) mainWindow()->ProjectSettings();
}
void AppDelegate::mnuFileTransfer_Clicked() {
  if (mainWindow() != nullptr) mainWindow()->FileTransfer();
}
void AppDelegate::mnuFileCreateVideo_Clicked() {
  if (mainWindow() != nullptr) mainWindow()->CreateVideo();
}
void AppDelegate::mnuFileExportPreview_Clicked() {
  if (mainWindow() != nullptr) mainWindow()->ExportPreview();
}
void AppDelegate::mnuFileUpload_Clicked() {
  PreviewStop();
  if (AppMessageBox(L"Do you want to render and upload the current project? Click 'No' to select an existing video "
                    L"file to upload.",
                    36) == kMbYes) {
    if (mainWindow() != nullptr) mainWindow()->CreateVideo(true);
    return;
  }
  wcUpload* upload = windows_.wndUpload();
  if (upload == nullptr) return;
  upload->SetData(QString(), false, true);
  RunModalForWindow(upload);
}

void AppDelegate::mnuFileQuit_Clicked() { terminate(); }

void AppDelegate::mnuEditUndo_Clicked() {
  wcMain* main = mainWindow();
  if (main == nullptr) return;
  QuickSyncSettle();
  bool playing = PreviewIsPlayingBack() != 0;
  PreviewStop();
  UndoToggle();
  main->InputRefresh(255);
  main->DispObjRefresh(0xFFFFFFFF);
  main->setProjectModified(true);
  main->PreviewRefresh(false, playing);
  const QStringList names = main->SelectedDispObjNames();
  const uint32_t object = names.isEmpty() ? 0xFFFFFFFF : DispObjFind(names.front().toStdU16String().c_str());
  CallWindowIfVisible(windows_.wndDispObjEdit(), &wcDispObjEdit::SetDisplayObject, static_cast<int>(object));
  // InputRefresh has reloaded a visible lap-list window.
}

// The item has flipped its check mark as it was chosen; the new state is
// stored at once.
void AppDelegate::mnuEditSnapToGrid_Clicked() {
  bool on = snapToGridItem_->isChecked();
  UserDefaultsWrite("SnapToGrid", on);
  if (mainWindow() != nullptr) mainWindow()->SetSnapToGrid(on);
}

void AppDelegate::mnuEditGestures_Clicked() {
  bool on = gesturesItem_->isChecked();
  UserDefaultsWrite("Gestures", on);
  if (mainWindow() != nullptr) mainWindow()->SetGestures(on);
}

void AppDelegate::mnuHelpDocs_Clicked() { OpenUrl(QUrl(VendorDocsUrl()), "the documentation page"); }

void AppDelegate::mnuHelpInternet_Clicked() { OpenUrl(QUrl(VendorProductUrl()), "the product page"); }

void AppDelegate::mnuHelpUpdateCheck_Clicked() {
  int newer = wcMain::ReleaseCheckOffGuiThread(1);
  if (newer < 0) {
    QString text = "Unable to get current release information from " + VendorWebSiteName() + " server!";
    AppMessageBox(NSStringToWStr(text).c_str(), 16);
  } else if (newer == 0) {
    AppMessageBox(L"You have the most current release of this program.", 64);
  } else {
    QString text = "A program update is available. Would you like to go to the " + VendorWebSiteName() +
                   " website to get it now?";
    if (AppMessageBox(NSStringToWStr(text).c_str(), 36) == kMbYes) {
      AppMessageBox(L"Please remember to exit this application before installing the update.", 64);
      OpenUrl(QUrl(VendorDownloadUrl()), "the download page");
    }
  }
}

void AppDelegate::mnuHelpShowLog_Clicked() {
  if (ShowLog() != 0) ErrorShowLast();
}

void AppDelegate::mnuHelpAbout_Clicked() { RunModalForWindow(windows_.wndAbout()); }
