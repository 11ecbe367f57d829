// Every window of the program on a laptop screen and on a larger one, on a
// second screen that holds the main window and on a netbook's screen: each opens inside the
// usable area of the main window's screen, frame and title bar included,
// and what does not fit scrolls inside it rather than being cut off; a
// window scrolls only that way the screen is too small for it, each time
// it opens.
#include <QLayout>
#include <QMainWindow>
#include <QScrollArea>
#include <QScrollBar>

#include "model/dispobjs.h"
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

// A window whose content scrolls one way takes all the room there is that
// way: it is not made smaller than the screen allows and then scrolled.
std::string scrollsNeedlessly(QWidget* window, const QRect& area) {
  auto* scroller = window->findChild<QScrollArea*>("WindowContentScroller");
  if (scroller == nullptr) return {};
  const QRect frame = window->frameGeometry();
  if (scroller->verticalScrollBar()->isVisible() && frame.height() < area.height())
    return "scrolls down at " + describe(frame);
  if (scroller->horizontalScrollBar()->isVisible() && frame.width() < area.width())
    return "scrolls across at " + describe(frame);
  return {};
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
    Settle();
    QWidget* main = app->windows().wndMain()->windowIfLoaded();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(area.contains(main->frameGeometry())) << "main window at " << describe(main->frameGeometry());
    EXPECT_TRUE(nothingCutOff(main)) << describe(main->geometry());
    // A gauge brings the property window's tallest column.
    const uint32_t gauge = DispObjAdd(kDispGauge, 255);
    ASSERT_NE(gauge, kNoDispObj);
    ASSERT_TRUE(app->windows().wndDispObjEdit()->SetDisplayObject(static_cast<int>(gauge)));
    // Twice: a window opened again after all the others opens as the first time.
    for (int round = 0; round < 2; ++round) {
      for (WindowController* controller : app->windows().All()) {
        if (controller == nullptr || controller == app->windows().wndMain()) continue;
        const std::string name = controller->nibName().toStdString();
        controller->showWindow();
        QWidget* window = controller->windowIfLoaded();
        ASSERT_NE(window, nullptr) << name;
        // Past the placement each controller makes once shown.
        ASSERT_TRUE(SpinUntil([controller]() { return !controller->FreshWindow(); })) << name;
        const QRect frame = window->frameGeometry();
        EXPECT_TRUE(area.contains(frame)) << name << " at " << describe(frame);
        EXPECT_GT(frame.height(), window->height()) << name << " has a title bar";
        EXPECT_TRUE(nothingCutOff(window)) << name << " cuts off its content";
        // The scroll bars settle once the content has its size.
        SpinUntil([window, area]() { return scrollsNeedlessly(window, area).empty(); });
        EXPECT_EQ(scrollsNeedlessly(window, area), "") << name;
        controller->close();
        Settle();
      }
    }
    app->applicationWillTerminate();
    delete app;
    app = nullptr;
  }
}
