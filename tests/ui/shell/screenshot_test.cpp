// Pictures of the shell's windows for a person to look at: the splash,
// the About box, the recovery prompt and the empty main window, written as
// PNG files into "ui-screenshots" beside the test program.
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QPixmap>

#include "engine/app/recovery.h"
#include "ui/support/shell_fixture.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcAbout.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcRecovery.h"
#include "ui/shell/wcSplash.h"

namespace {

QString shotPath(const QString& name) {
  QString dir = QCoreApplication::applicationDirPath() + "/ui-screenshots";
  QDir().mkpath(dir);
  return dir + "/" + name + ".png";
}

bool save(WindowController* controller, const QString& name) {
  QPixmap picture = controller->window()->grab();
  return !picture.isNull() && picture.width() > 50 && picture.height() > 50 && picture.save(shotPath(name));
}

} // namespace

TEST_F(ShellTest, ScreenshotsOfTheShellWindows) {
  ASSERT_TRUE(Launch());
  // The splash as the launch leaves it for the main window.
  app->wndSplash->showWindow();
  app->wndSplash->SetStatus("Ignition On...");
  EXPECT_TRUE(save(app->wndSplash, "splash"));
  app->wndSplash->close();

  onModal = [](WindowController* controller) {
    controller->showWindow();
    ShellTest::SpinUntil([controller]() { return !static_cast<wcAbout*>(controller)->FreshWindow; }, 5000);
    EXPECT_TRUE(save(controller, "about"));
    controller->close();
    return 0;
  };
  app->mnuHelpAbout_Clicked();

  wcRecovery* recovery = app->wndRecovery;
  recovery->showWindow();
  ASSERT_TRUE(SpinUntil([recovery]() { return !recovery->FreshWindow; }, 5000));
  EXPECT_TRUE(save(recovery, "recovery"));
  recovery->close();

  Spin(50);
  EXPECT_TRUE(save(app->wndMain, "main"));
  EXPECT_TRUE(QFile::exists(shotPath("main")));
}
