// Every window of the program on a laptop screen and on a larger one, on a
// second screen that holds the main window and on a netbook's screen: each opens inside the
// usable area of the main window's screen, frame and title bar included,
// and what does not fit scrolls inside it rather than being cut off.
#include <QLayout>
#include <QMainWindow>
#include <QScrollArea>

#include "engine/model/dispobjs.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/WindowController.h"
#include "ui/shell/wcMain.h"
#include "ui/support/shell_fixture.h"
#include "ui/util/window_fit.h"

namespace {

std::string describe(const QRect& r) {
  return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
         std::to_string(r.height());
}

// The content is whole: the layout's minimum fits the window, or the
// content sits in a scroll area.
bool nothingCutOff(QWidget* window) {
  QLayout* layout = window->layout();
  if (layout == nullptr || window->findChild<QScrollArea*>() != nullptr) return true;
  const QSize minimum = layout->totalMinimumSize();
  return minimum.width() <= window->width() && minimum.height() <= window->height();
}

} // namespace

TEST_F(ShellTest, EveryWindowOpensOnTheMainWindowsScreenWithItsTitleBarOnIt) {
  SetSetting("ShowMenuAtStart", false);
  SetSetting("PreviewX", 1280);
  SetSetting("PreviewY", 720);
  // The last: a netbook screen smaller than the main window's own minimum.
  for (const QRect area : {QRect(0, 0, 1366, 768), QRect(0, 0, 1920, 1080), QRect(1920, 0, 1366, 768),
                           QRect(0, 0, 1024, 600)}) {
    SCOPED_TRACE(describe(area));
    screen = area;
    ASSERT_TRUE(Launch());
    Spin(200);
    QWidget* main = app->wndMain->windowIfLoaded();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(area.contains(main->frameGeometry())) << "main window at " << describe(main->frameGeometry());
    EXPECT_TRUE(nothingCutOff(main)) << describe(main->geometry());
    // A gauge brings the property window's tallest column.
    const uint32_t gauge = DispObjAdd(kDispGauge, 255);
    ASSERT_NE(gauge, kNoDispObj);
    ASSERT_TRUE(static_cast<wcDispObjEdit*>(app->wndDispObjEdit)->SetDisplayObject(static_cast<int>(gauge)));
    for (WindowController* controller : app->Registry()) {
      if (controller == nullptr || controller == app->wndMain) continue;
      const std::string name = controller->nibName().toStdString();
      controller->showWindow();
      QWidget* window = controller->windowIfLoaded();
      ASSERT_NE(window, nullptr) << name;
      Spin(60); // past the placement each controller makes once shown
      const QRect frame = window->frameGeometry();
      EXPECT_TRUE(area.contains(frame)) << name << " at " << describe(frame);
      EXPECT_GT(frame.height(), window->height()) << name << " has a title bar";
      EXPECT_TRUE(nothingCutOff(window)) << name << " cuts off its content";
      controller->close();
      Spin(10);
    }
    app->applicationWillTerminate();
    delete app;
    app = nullptr;
  }
}
