#include <QDir>
#include <QMainWindow>

#include "base/identity.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/WindowController.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcTemplateMenu.h"
#include "ui/support/shell_fixture.h"

class PlacementTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    screen = QRect(0, 0, 1600, 1200);
    AppInitIdentity();
    app = new AppDelegate();
    // The registry's own windows, without a launch or an engine.
    ASSERT_TRUE(app->CreateWindows());
    app->windows().wndMain()->window()->setGeometry(100, 200, 1200, 800);
    dialog.window()->setFixedSize(200, 100);
  }
  QPoint placed(int code) {
    dialog.window()->move(7, 9);
    app->AlignWindow(&dialog, code);
    return dialog.window()->frameGeometry().topLeft();
  }
  EmptyWindowController dialog{"wcPlacedDialog", "Placed"};
};

// Main window frame: x 100..1300, y 200..1000 (y grows downwards).
TEST_F(PlacementTest, CodesPlaceAroundTheMainWindow) {
  QRect main = app->windows().wndMain()->window()->frameGeometry();
  ASSERT_EQ(main, QRect(100, 200, 1200, 800));
  EXPECT_EQ(placed(0), QPoint(600, 550)) << "centred over it";
  EXPECT_EQ(placed(1), QPoint(1140, 940)) << "right edge 40 beyond, bottom 40 below";
  EXPECT_EQ(placed(2), QPoint(1140, 160)) << "right edge 40 beyond, top 40 above";
  EXPECT_EQ(placed(3), QPoint(600, 940)) << "centred across, bottom 40 below";
  EXPECT_EQ(placed(4), QPoint(600, 1000)) << "centred across, top at its bottom";
  EXPECT_EQ(placed(5), QPoint(1304, 200)) << "beside it, tops level";
}

// Beside a main window that fills the screen, or larger than the screen: the
// window is moved back into the visible area, its top left kept visible.
TEST_F(PlacementTest, APlacedWindowStaysInsideTheVisibleArea) {
  screen = QRect(0, 24, 1300, 976);
  EXPECT_EQ(placed(5), QPoint(1100, 200)) << "would stand beyond the right edge";
  EXPECT_EQ(placed(4), QPoint(600, 900)) << "would stand below the bottom";
  EXPECT_EQ(placed(2), QPoint(1100, 160));
  app->windows().wndMain()->window()->setGeometry(0, 0, 1300, 1000);
  EXPECT_EQ(placed(2), QPoint(1100, 24)) << "above the top: the title bar stays reachable";
  dialog.window()->setFixedSize(1400, 1100);
  EXPECT_EQ(placed(0), QPoint(0, 24)) << "larger than the screen: top left first";
}

TEST_F(PlacementTest, UnknownCodesLeaveTheWindowAlone) {
  EXPECT_EQ(placed(6), QPoint(7, 9));
  EXPECT_EQ(placed(-1), QPoint(7, 9));
}

TEST_F(PlacementTest, CenterWindowIsCodeZero) {
  dialog.window()->move(0, 0);
  app->CenterWindow(&dialog);
  EXPECT_EQ(dialog.window()->frameGeometry().topLeft(), QPoint(600, 550));
}

TEST_F(PlacementTest, TheMainWindowAndTheTemplateMenuCentreOnTheirScreen) {
  screen = QRect(0, 0, 1600, 1000);
  app->CenterWindow(app->windows().wndMain());
  EXPECT_EQ(app->windows().wndMain()->window()->frameGeometry().topLeft(), QPoint(200, 100));
  wcTemplateMenu* menu = app->windows().wndTemplateMenu();
  menu->window()->setFixedSize(400, 300);
  app->CenterWindow(menu);
  EXPECT_EQ(menu->window()->frameGeometry().topLeft(), QPoint(600, 350));
}

TEST_F(PlacementTest, NoReferenceMeansTheScreen) {
  screen = QRect(0, 0, 1000, 800);
  app->AlignWindow(&dialog, 0, nullptr);
  EXPECT_EQ(dialog.window()->frameGeometry().topLeft(), QPoint(400, 350));
}

TEST_F(PlacementTest, VisibilityNeedsAShownWindow) {
  EXPECT_FALSE(AppDelegate::IsWindowVisible(nullptr));
  EmptyWindowController unloaded("wcUnloadedDialog", "Unloaded");
  EXPECT_FALSE(AppDelegate::IsWindowVisible(&unloaded));
  EXPECT_FALSE(unloaded.isWindowLoaded());
  EXPECT_FALSE(AppDelegate::IsWindowVisible(&dialog));
  dialog.showWindow();
  EXPECT_TRUE(AppDelegate::IsWindowVisible(&dialog));
  dialog.close();
  EXPECT_FALSE(AppDelegate::IsWindowVisible(&dialog));
}

TEST_F(ShellTest, MediaFileTypesByMask) {
  EXPECT_TRUE(AppDelegate::GetMediaFileTypes(0).isEmpty());
  EXPECT_EQ(AppDelegate::GetMediaFileTypes(4),
            QStringList({"bmp", "dib", "jpg", "jpeg", "gif", "png", "tif", "tiff", "tga", "pic", "pict"}));
  EXPECT_EQ(AppDelegate::GetMediaFileTypes(3).count("asf"), 2);
  EXPECT_EQ(AppDelegate::GetMediaFileTypes(15).size(), 53);
  EXPECT_EQ(AppDelegate::GetMediaFileTypes(255).size(), 53);
  EXPECT_EQ(AppDelegate::GetMediaFileTypes(8).front(), "csv");
}

TEST_F(ShellTest, DocumentFoldersLiveUnderTheProductFolder) {
  QString documents = QString::fromStdString(tempDir + "/Documents");
  EXPECT_EQ(AppDelegate::GetDocFolder(), documents + "/Quelvatron");
  EXPECT_EQ(AppDelegate::GetDocFolder("Templates"), documents + "/Quelvatron/Templates");
  EXPECT_TRUE(QDir(documents + "/Quelvatron/Templates").exists());
}
