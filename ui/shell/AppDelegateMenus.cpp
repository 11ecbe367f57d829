// The main menu and its actions; most hand over to the main window.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "base/log.h"
#include "base/message_box.h"
#include "engine/files/undo.h"
#include "engine/model/dispobjs.h"
#include "engine/net/release_check.h"
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
  addMenuAction(file, "mnuFileInputAddEmbed", "Add Input with Embedded Data...", &AppDelegate::mnuFileInputAddEmbed_Clicked);
  addMenuAction(file, "mnuFileTransfer", "Receive Files from Network...", &AppDelegate::mnuFileTransfer_Clicked);
  mnuFileTransfer = file->actions().back();
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
  mnuEditSnapToGrid = edit->actions().back();
  addMenuAction(edit, "mnuEditGestures", "Gestures", &AppDelegate::mnuEditGestures_Clicked);
  mnuEditGestures = edit->actions().back();
  mnuEditSnapToGrid->setCheckable(true);
  mnuEditGestures->setCheckable(true);

  QMenu* help = bar->addMenu("&Help");
  addMenuAction(help, "mnuHelpDocs", "Documentation", &AppDelegate::mnuHelpDocs_Clicked);
  addMenuAction(help, "mnuHelpInternet", "Quelvatron on the Internet", &AppDelegate::mnuHelpInternet_Clicked);
  mnuHelpInternet = help->actions().back();
  addMenuAction(help, "mnuHelpUpdateCheck", "Check for Updates...", &AppDelegate::mnuHelpUpdateCheck_Clicked);
  mnuHelpUpdateCheck = help->actions().back();
  addMenuAction(help, "mnuHelpShowLog", "Show Log", &AppDelegate::mnuHelpShowLog_Clicked);
  help->addSeparator();
  addMenuAction(help, "mnuHelpAbout", "About Quelvatron", &AppDelegate::mnuHelpAbout_Clicked);
}

QAction* AppDelegate::menuAction(const QString& objectName) const {
  return menuBar_ != nullptr ? menuBar_->findChild<QAction*>(objectName) : nullptr;
}

void AppDelegate::mnuFileNew_Clicked() {
  if (wndMain == nullptr) return;
  wndMain->NewProject();
  // Still modified: the save question was cancelled, nothing was replaced.
  if (!wndMain->ProjectModified()) wndMain->ShowProjectWizardIfWanted();
}
void AppDelegate::mnuFileOpen_Clicked() {
  if (wndMain != nullptr) wndMain->OpenProject();
}
void AppDelegate::mnuFileSave_Clicked() {
  if (wndMain != nullptr) wndMain->SaveProject();
}
void AppDelegate::mnuFileSaveAs_Clicked() {
  if (wndMain != nullptr) wndMain->SaveProjectAs();
}
void AppDelegate::mnuFileNewTemplate_Clicked() {
  if (wndMain != nullptr) wndMain->NewProjectFromTemplate();
}
void AppDelegate::mnuFileRevert_Clicked() {
  if (wndMain != nullptr) wndMain->RevertProject();
}
void AppDelegate::mnuFileInputAdd_Clicked() {
  if (wndMain != nullptr) wndMain->AddInput();
}
void AppDelegate::mnuFileInputAddEmbed_Clicked() {
  if (wndMain != nullptr) wndMain->AddInputEmbed();
}
void AppDelegate::mnuFileImportTemplate_Clicked() {
  if (wndMain != nullptr) wndMain->ImportTemplate();
}
void AppDelegate::mnuFileCreateTemplate_Clicked() {
  if (wndMain != nullptr) wndMain->ExportTemplate();
}
void AppDelegate::mnuFileProjectSettings_Clicked() {
  if (wndMain != nullptr) wndMain->ProjectSettings();
}
void AppDelegate::mnuFileTransfer_Clicked() {
  if (wndMain != nullptr) wndMain->FileTransfer();
}
void AppDelegate::mnuFileCreateVideo_Clicked() {
  if (wndMain != nullptr) wndMain->CreateVideo();
}
void AppDelegate::mnuFileExportPreview_Clicked() {
  if (wndMain != nullptr) wndMain->ExportPreview();
}
void AppDelegate::mnuFileUpload_Clicked() {
  PreviewStop();
  if (AppMessageBox(L"Do you want to render and upload the current project? Click 'No' to select an existing video "
                    L"file to upload.",
                    36) == kMbYes) {
    if (wndMain != nullptr) wndMain->CreateVideo(true);
    return;
  }
  auto* upload = qobject_cast<wcUpload*>(wndUpload);
  if (upload == nullptr) return;
  upload->SetData(QString(), false, true);
  RunModalForWindow(upload);
}

void AppDelegate::mnuFileQuit_Clicked() { terminate(); }

void AppDelegate::mnuEditUndo_Clicked() {
  if (wndMain == nullptr) return;
  QuickSyncSettle();
  bool playing = PreviewIsPlayingBack() != 0;
  PreviewStop();
  UndoToggle();
  wndMain->InputRefresh(255);
  wndMain->DispObjRefresh(0xFFFFFFFF);
  wndMain->setProjectModified(true);
  wndMain->PreviewRefresh(false, playing);
  const QStringList names = wndMain->SelectedDispObjNames();
  const uint32_t object = names.isEmpty() ? 0xFFFFFFFF : DispObjFind(names.front().toStdU16String().c_str());
  CallWindowIfVisible(wndDispObjEdit, &wcDispObjEdit::SetDisplayObject, static_cast<int>(object));
  // InputRefresh has reloaded a visible lap-list window.
}

// The item has flipped its check mark as it was chosen; the new state is
// stored at once.
void AppDelegate::mnuEditSnapToGrid_Clicked() {
  bool on = mnuEditSnapToGrid->isChecked();
  UserDefaultsWrite("SnapToGrid", on);
  if (wndMain != nullptr) wndMain->SetSnapToGrid(on);
}

void AppDelegate::mnuEditGestures_Clicked() {
  bool on = mnuEditGestures->isChecked();
  UserDefaultsWrite("Gestures", on);
  if (wndMain != nullptr) wndMain->SetGestures(on);
}

void AppDelegate::mnuHelpDocs_Clicked() { OpenUrl(QUrl(VendorDocsUrl())); }

void AppDelegate::mnuHelpInternet_Clicked() { OpenUrl(QUrl(VendorProductUrl())); }

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
      OpenUrl(QUrl(VendorDownloadUrl()));
    }
  }
}

void AppDelegate::mnuHelpShowLog_Clicked() { ShowLog(); }

void AppDelegate::mnuHelpAbout_Clicked() { RunModalForWindow(wndAbout); }
