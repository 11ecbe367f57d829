#include "ui/shell/wcMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <utility>

#include "render/preview/main_preview.h"
#include "ui/shell/AppDelegate.h"

namespace {

// The plain words the window shows on its command buttons, without icons.
const std::pair<const char*, const char*> kRetitled[] = {
    {"ProjectNewButton", nullptr},          {"ProjectOpenButton", nullptr},
    {"ProjectSaveButton", nullptr},         {"InputAdd", nullptr},
    {"InputRemove", nullptr},               {"InputJoin", nullptr},
    {"InputMoveUp", nullptr},               {"InputMoveDown", nullptr},
    {"DispObjAdd", nullptr},                {"DispObjRemove", nullptr},
    {"DispObjGroup", nullptr},              {"DispObjMoveUp", nullptr},
    {"DispObjMoveDown", nullptr},           {"ProjectSettingsButton", "Project Settings"},
    {"TimelineButton", "Show Timeline"},    {"CreateVideoButton", "Create Video File"},
    {"InputEdit", "Configure"},             {"InputTrim", "Trim"},
    {"InputSync", nullptr},                 {"DispObjEdit", "Properties"},
    {"DispObjDuplicate", "Duplicate"},
};
const char* const kHidden[] = {"PreviewMarkStartButton", "PreviewMarkEndButton", "PreviewMarkStartIndicator",
                               "PreviewMarkEndIndicator", "InputAddDispObjButton", "InputOpt1", "InputSync2"};

// A button or toolbar item by name: its icon removed and, with a title,
// retitled.
void setControlTitle(QWidget* window, const char* name, const char* title) {
  if (auto* button = window->findChild<QAbstractButton*>(name)) {
    button->setIcon(QIcon());
    if (title != nullptr) button->setText(title);
  }
  if (auto* action = window->findChild<QAction*>(name)) {
    action->setIcon(QIcon());
    if (title != nullptr) action->setText(title);
  }
}

} // namespace

wcMain::wcMain() : WindowController("wcMain") { InstallTemplateCommands(); }

wcMain::~wcMain() { KillPreviewTimer(); }

QMainWindow* wcMain::mainWindow() { return qobject_cast<QMainWindow*>(window()); }

QWidget* wcMain::makeWindow() {
  auto* window = new QMainWindow();
  if (AppDelegate::shared() != nullptr) AppDelegate::shared()->BuildMainMenu(window->menuBar());
  // Its commands, and their keys from any window, act on the project the
  // start-up makes; a quit in the middle of it would leave its questions
  // asking on the way out.
  window->menuBar()->setEnabled(startupDone_);
  window->menuBar()->setObjectName("MainMenu");
  auto* central = new QWidget(window);
  auto* layout = new QHBoxLayout(central);
  layout->addWidget(makeListsPanel(central));

  layout->addWidget(makePreviewGroup(central), 1, Qt::AlignTop);
  window->setCentralWidget(central);
  QToolBar* bar = makeProjectCommands(window);
  makeCreateVideoCommands(bar);
  return window;
}

// The project buttons lead the window's toolbar; the output and timeline
// commands follow them.
QToolBar* wcMain::makeProjectCommands(QMainWindow* window) {
  QToolBar* bar = window->addToolBar("Commands");
  bar->setObjectName("CommandsToolBar");
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  struct Command {
    const char* name;
    const char* title;
    void (wcMain::*action)();
  };
  const Command commands[] = {
      {"ProjectNewButton", "New", &wcMain::ProjectNew_Pressed},
      {"ProjectOpenButton", "Open", &wcMain::ProjectOpen_Pressed},
      {"ProjectSaveButton", "Save", &wcMain::ProjectSave_Pressed},
      {"ProjectSettingsButton", "Settings", &wcMain::ProjectSettings_Pressed},
  };
  for (const Command& c : commands) {
    QAction* action = bar->addAction(c.title);
    action->setObjectName(c.name);
    connect(action, &QAction::triggered, this, c.action);
  }
  bar->addSeparator();
  return bar;
}

void wcMain::windowDidLoad() {
  WindowCustomLoad();
  windowFirstShow_ = true;
}

// Runs from the load and again at the first show; every step may repeat.
void wcMain::WindowCustomLoad() {
  QWidget* window = windowIfLoaded();
  if (window != nullptr) {
    for (const auto& [name, title] : kRetitled) setControlTitle(window, name, title);
    for (const char* name : kHidden) {
      if (auto* widget = window->findChild<QWidget*>(name)) widget->hide();
    }
  }
  projectModified_ = false;
}

void wcMain::windowWillClose() {
  if (AppDelegate::shared() != nullptr) AppDelegate::shared()->terminate();
}

bool wcMain::StartupMenuPending() const { return startupMenuTimer_ != nullptr && startupMenuTimer_->isActive(); }

