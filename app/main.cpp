// Process entry: the Qt application, the prompts and main-thread hand-over
// the engine relies on, the application delegate and its launch, the files
// named on the command line, and the engine's end after the event loop.
//
// One program runs per user: a launch while it runs hands its files (or,
// with none, the wish to see its window) to it and ends once they are
// taken, so that no second program ever rotates, ends or recovers the
// running one's session files. When the running one ends instead, the
// launch waits for that end and runs by itself.
//
// SIGTERM, SIGINT and SIGHUP end the program as Quit does, asking nothing.
//
// --quit-after-launch ends the process as soon as the main window's start-up
// has finished (a smoke test of the whole launch).
#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <csignal>
#include <cstring>

#include "app/app.h"
#include "base/error.h"
#include "base/message_box.h"
#include "io/files/session.h"
#include "ui/controls/no_move_drops.h"
#include "ui/seams/main_thread_qt.h"
#include "ui/seams/message_boxes.h"
#include "ui/seams/modal_run.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/engine_lifecycle.h"
#include "ui/shell/instance_handover.h"
#include "ui/shell/termination_signals.h"
#include "ui/shell/wcMain.h"

// Sanitizer builds: the session bus library keeps one buffer for the life
// of the process, which is no leak of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

namespace {

void quitOnceStarted(AppDelegate& delegate) {
  auto* poll = new QTimer(&delegate);
  QObject::connect(poll, &QTimer::timeout, &delegate, [&delegate, poll]() {
    if (delegate.LaunchFailed()) {
      poll->stop();
    } else if (wcMain* main = delegate.windows().wndMain(); main != nullptr && main->StartupDone()) {
      poll->stop();
      delegate.terminate();
    }
  });
  poll->start(100);
}

} // namespace

int main(int argc, char** argv) {
  // A file grown past the process's size limit fails its write, which the
  // writer reports, instead of ending the program with the project unsaved.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication application(argc, argv);
  QCoreApplication::setOrganizationName("Quelvatron");
  QCoreApplication::setApplicationName("Quelvatron");
  QCoreApplication::setApplicationVersion("2.9.6");
  QGuiApplication::setDesktopFileName("quelvatron");
  // The main window's close decides when the process ends.
  application.setQuitOnLastWindowClosed(false);
  MainThreadInstallQt();
  EngineLifecycleInstall({AppInit, AppEnd, AppEndKeepingRecovery});
  MessageBoxesInstall();
  NoMoveDropsInstall();

  bool quitAfterLaunch = false;
  QStringList files;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quit-after-launch") == 0) quitAfterLaunch = true;
    else files << QFileInfo(QString::fromLocal8Bit(argv[i])).absoluteFilePath();
  }
  // Owning the engine's folder decides which launch runs, atomically: of two
  // launches at the same instant one runs and the other hands over. A launch
  // that hands over ends before any engine starts, so it asks nothing.
  if (SessionClaimTempFolder() == kErrAlreadyRunning) {
    const HandOverResult handedOver = HandOverWhileRunning(files);
    if (handedOver != HandOverResult::kOwnFolder) {
      if (handedOver == HandOverResult::kNoAnswer)
        AppMessageBox(L"The program is already running but does not answer. Please try again later.", 16);
      MainThreadUninstallQt();
      return handedOver == HandOverResult::kTaken ? 0 : 1;
    }
  }

  int result = 0;
  {
    AppDelegate delegate;
    delegate.applicationOpenFiles(files);
    TerminationSignals endSignals;
    QObject::connect(&endSignals, &TerminationSignals::received, &delegate, &AppDelegate::terminateOnSignal);
    HandOverServer handOvers([&delegate](const HandOverPtr& handOver) { delegate.applicationHandOver(handOver); });
    if (!handOvers.listen()) qWarning("Files of later launches open in new programs: no hand-over socket");
    QTimer::singleShot(0, &delegate, [&delegate]() { delegate.applicationDidFinishLaunching(); });
    if (quitAfterLaunch) quitOnceStarted(delegate);
    result = application.exec();
    // Closed before the engine ends and gives up the folder: a launch from
    // here on waits for that and then runs by itself.
    handOvers.close();
    // Past the event loop nobody answers: the engine's end serves events
    // while it waits, and a window that opened then would never close.
    ModalRunInstall([](WindowController*) { return 0; });
    delegate.applicationWillTerminate();
  }
  MainThreadUninstallQt();
  return result;
}
