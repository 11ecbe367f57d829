// The main window on the screens users have: laptop screens of 1366 x 768
// and larger ones, with preview sizes stored on bigger screens. The window
// must stand inside the screen's visible area with none of its controls cut
// off, and the preview settings must not offer what would not fit.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QMainWindow>
#include <QPushButton>

#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcPreview.h"
#include "ui/support/shell_fixture.h"

namespace {

class MainWindowFitTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    SetSetting("ShowMenuAtStart", false);
  }

  QMainWindow* LaunchOn(const QRect& visible) {
    screen = visible;
    if (!Launch()) return nullptr;
    QMainWindow* window = app->windows().wndMain()->mainWindow();
    // Layouts settle on the events of the first show.
    Settle();
    return window;
  }

  // Every visible control lies wholly inside the window.
  static void ExpectNothingCutOff(QMainWindow* window) {
    const QRect inside = window->rect();
    for (QWidget* child : window->findChildren<QWidget*>()) {
      if (!child->isVisible() || child->isWindow()) continue;
      const QRect placed(child->mapTo(window, QPoint(0, 0)), child->size());
      EXPECT_TRUE(inside.contains(placed))
          << child->metaObject()->className() << " '" << child->objectName().toStdString() << "' at "
          << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height()
          << " outside the window of " << inside.width() << "x" << inside.height();
    }
  }
};

} // namespace

TEST_F(MainWindowFitTest, TheWindowFitsLaptopAndDesktopScreensWithNothingCutOff) {
  for (const QRect& visible : {QRect(0, 0, 1366, 738), QRect(0, 0, 1600, 1000), QRect(1920, 30, 1366, 738)}) {
    SCOPED_TRACE(visible.width());
    QMainWindow* window = LaunchOn(visible);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(app->windows().wndMain()->PreviewSize().width(), 720);
    EXPECT_TRUE(visible.contains(window->frameGeometry()))
        << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
        << window->frameGeometry().width() << "x" << window->frameGeometry().height();
    ExpectNothingCutOff(window);
    auto* snapshot = window->findChild<QPushButton*>("SnapshotButton");
    ASSERT_NE(snapshot, nullptr);
    EXPECT_TRUE(snapshot->isVisible());
    app->applicationWillTerminate();
    delete app;
    app = nullptr;
  }
}

TEST_F(MainWindowFitTest, APreviewStoredOnALargerScreenIsReplacedAndTheLargeSizesAreNotOffered) {
  SetSetting("PreviewX", 1280);
  SetSetting("PreviewY", 720);
  QMainWindow* window = LaunchOn(QRect(0, 0, 1366, 738));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(app->windows().wndMain()->PreviewSize(), QSize(600, 400));
  EXPECT_TRUE(screen.contains(window->frameGeometry()));
  ExpectNothingCutOff(window);

  QStringList offered;
  onModal = [&](WindowController* controller) {
    auto* settings = qobject_cast<wcPreview*>(controller);
    EXPECT_NE(settings, nullptr);
    if (settings == nullptr) return 0;
    controller->showWindow();
    SpinUntil([settings]() { return !settings->FreshWindow(); });
    for (QAbstractButton* button : settings->PictureSizeGroup->buttons()) {
      if (button->isEnabled()) offered << button->text();
    }
    controller->close();
    return 0;
  };
  window->findChild<QPushButton*>("PreviewSettingsButton")->click();
  EXPECT_TRUE(offered.contains("720 x 480")) << offered.join(", ").toStdString();
  EXPECT_TRUE(offered.contains("960 x 540")) << offered.join(", ").toStdString();
  EXPECT_FALSE(offered.contains("1280 x 720")) << offered.join(", ").toStdString();
}
