// Files handed to the program: on its own command line, or by a later
// launch while it runs. A later launch waits until its files are taken for
// good; should the program end first, the launch is told so and runs by
// itself, so that no file is ever lost on the way.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <utility>

#include "base/log.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/instance_handover.h"
#include "ui/shell/wcMain.h"

bool AppDelegate::applicationOpenFile(const QString& path) {
  applicationHandOver(std::make_shared<HandOver>(QStringList{path}));
  return true;
}

void AppDelegate::applicationOpenFiles(const QStringList& paths) {
  if (!paths.isEmpty()) applicationHandOver(std::make_shared<HandOver>(paths));
}

void AppDelegate::applicationHandOver(const HandOverPtr& handOver) {
  const QStringList& paths = handOver->paths();
  if (handOver->fromLaunch()) LogPrintf(L"Files handed over by a later launch: %d", static_cast<int>(paths.size()));
  if (terminating_) {
    refuse({handOver});
    return;
  }
  if (paths.isEmpty()) {
    applicationReopen();
    // Whether there is a window to come back to depends on the answer.
    if (mainWindow() != nullptr && mainWindow()->CloseQuestionOpen()) {
      waitingHandOvers_ << handOver;
      openWaitingHandOvers();
    } else {
      handOver->taken();
    }
    return;
  }
  // Until the main window's first show takes them, files wait for it.
  if (!(appRunning_ && mainWindow() != nullptr && openFilePathsTaken_)) {
    pendingHandOvers_ << handOver;
    return;
  }
  waitingHandOvers_ << handOver;
  openWaitingHandOvers();
}

void AppDelegate::applicationReopen() {
  LogPrintf(L"A later launch asked for the window");
  QWidget* window = QApplication::activeModalWidget();
  if (window == nullptr && mainWindow() != nullptr) window = mainWindow()->windowIfLoaded();
  if (window == nullptr) return; // still launching: the window shows itself
  if (window->isMinimized()) window->showNormal();
  window->show();
  window->raise();
  window->activateWindow();
}

bool AppDelegate::HasPendingOpenFiles() const {
  for (const HandOverPtr& handOver : pendingHandOvers_)
    if (!handOver->abandoned()) return true;
  return false;
}

QStringList AppDelegate::TakeOpenFilePaths() {
  openFilePathsTaken_ = true;
  QStringList paths;
  for (const HandOverPtr& handOver : std::exchange(pendingHandOvers_, {})) {
    if (handOver->abandoned()) continue;
    handOver->taken();
    paths << handOver->paths();
  }
  return paths;
}

// A question, a panel or a menu window that runs modally is still working
// on the project: opening a file under it would replace that project, and
// the window would then act on inputs that are gone. Hand-overs wait until
// the start-up has ended and no modal window runs, as the desktop delivers
// them only outside one. The quit question is one of them: its answer
// decides whether they open here or in the program their launch starts.
void AppDelegate::openWaitingHandOvers() {
  // Nothing opens on the way out: the launches were told to run by themselves.
  if (terminating_) return;
  if (handOversOpening_ || mainWindow() == nullptr) return; // the loop below takes it
  // The start-up (its own hand-overs, questions and menus) ends first.
  if (!mainWindow()->StartupDone() || QApplication::activeModalWidget() != nullptr) {
    if (handOverRetryQueued_) return;
    handOverRetryQueued_ = true;
    QTimer::singleShot(200, this, [this]() {
      handOverRetryQueued_ = false;
      openWaitingHandOvers();
    });
    return;
  }
  handOversOpening_ = true;
  while (!waitingHandOvers_.isEmpty() && !terminating_) {
    const HandOverPtr handOver = waitingHandOvers_.takeFirst();
    if (handOver->abandoned()) {
      LogPrintf(L"A later launch stopped waiting: its files are left");
      continue;
    }
    handOver->taken();
    if (handOver->paths().isEmpty()) {
      applicationReopen();
      continue;
    }
    // The running window comes forward with the files.
    if (QWidget* window = mainWindow()->windowIfLoaded()) {
      window->show();
      window->raise();
      window->activateWindow();
    }
    mainWindow()->OpenAssociatedFiles(handOver->paths());
  }
  handOversOpening_ = false;
}

void AppDelegate::refuseHandOvers() {
  QList<HandOverPtr> all = std::exchange(pendingHandOvers_, {});
  all << std::exchange(waitingHandOvers_, {});
  refuse(all);
}

void AppDelegate::refuse(const QList<HandOverPtr>& handOvers) {
  int launches = 0;
  for (const HandOverPtr& handOver : handOvers) {
    if (!handOver->fromLaunch() || handOver->abandoned()) continue;
    handOver->refused();
    ++launches;
  }
  if (launches > 0) LogPrintf(L"Ending: later launches told to start by themselves: %d", launches);
}
