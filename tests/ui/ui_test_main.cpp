// Entry of the user-interface test program: a QApplication on the
// offscreen platform, the GUI thread marked as main with the event loop
// handed to the engine, and a private TMPDIR per test process. The session
// bus and the bus asked for idle inhibitors point nowhere, so no test ever
// reaches the user's keyring or the machine's session manager.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <string>

#include "app/app.h"
#include "support/test_main.h"
#include "ui/seams/main_thread_qt.h"
#include "ui/seams/session_power.h"
#include "ui/shell/engine_lifecycle.h"

int main(int argc, char** argv) {
  const std::string dir = MakeOwnFolder("ui");
  setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + dir + "/no-session-bus").c_str(), 1);
  setenv("QV_LOGIN_BUS", ("unix:path=" + dir + "/no-login-bus").c_str(), 1);
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  QCoreApplication::setApplicationVersion("2.9.6");
  application.setQuitOnLastWindowClosed(false);
  MainThreadInstallQt();
  EngineLifecycleInstall({AppInit, AppEnd, AppEndKeepingRecovery});
  // No test may ever power the machine off: without a test's own hook the
  // request is refused.
  SystemShutdownInstall([](QString* why) {
    *why = "No test may shut the machine down.";
    return false;
  });
  testing::InitGoogleTest(&argc, argv);
  int result = RUN_ALL_TESTS();
  MainThreadUninstallQt();
  EndOwnFolder(result);
  return result;
}
