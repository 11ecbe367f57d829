#include "ui/shell/wcMain.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

#include "render/preview/main_preview.h"
#include "ui/shell/AppDelegate.h"

wcMain::wcMain() : WindowController("wcMain") { InstallTemplateCommands(); }

wcMain::~wcMain() { KillPreviewTimer(); }

QMainWindow* wcMain::mainWindow() { return qobject_cast<QMainWindow*>(window()); }

QWidget* wcMain::makeWindow() {
  auto* window = new QMainWindow();
  if (AppDelegate::shared() != nullptr) AppDelegate::shared()->BuildMainMenu(window->menuBar());
  auto* central = new QWidget(window);
  auto* layout = new QHBoxLayout(central);
  layout->addWidget(makeListsPanel(central));

  layout->addWidget(makePreviewGroup(central), 1, Qt::AlignTop);
  window->setCentralWidget(central);
  makeCreateVideoCommands(window);
  return window;
}

void wcMain::windowDidLoad() {
  WindowCustomLoad();
  WindowFirstShow = true;
}

// Runs from the load and again at the first show; every step may repeat.
void wcMain::WindowCustomLoad() { projectModified_ = false; }

void wcMain::windowWillClose() {
  if (AppDelegate::shared() != nullptr) AppDelegate::shared()->terminate();
}

bool wcMain::StartupMenuPending() const { return startupMenuTimer_ != nullptr && startupMenuTimer_->isActive(); }

