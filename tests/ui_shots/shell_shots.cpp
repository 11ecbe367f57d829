// The shell's windows: the splash, the About box, the recovery prompt and
// the empty main window.
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcAbout.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcRecovery.h"
#include "ui/shell/wcSplash.h"
#include "ui/support/shell_fixture.h"
#include "ui/support/window_shots.h"

TEST_F(ShellTest, ShellWindows) {
  ASSERT_TRUE(Launch());
  // The splash as the launch leaves it for the main window.
  wcSplash* splash = app->windows().wndSplash();
  splash->showWindow();
  splash->SetStatus("Ignition On...");
  SaveWindowShot(splash->window(), "splash");
  splash->close();

  onModal = [](WindowController* controller) {
    controller->showWindow();
    ShellTest::SpinUntil([controller]() { return !static_cast<wcAbout*>(controller)->FreshWindow(); });
    SaveWindowShot(controller->window(), "about");
    controller->close();
    return 0;
  };
  app->mnuHelpAbout_Clicked();

  wcRecovery* recovery = app->windows().wndRecovery();
  recovery->showWindow();
  ASSERT_TRUE(SpinUntil([recovery]() { return !recovery->FreshWindow(); }));
  SaveWindowShot(recovery->window(), "recovery");
  recovery->close();

  Spin(50);
  SaveWindowShot(app->windows().wndMain()->window(), "main");
}
