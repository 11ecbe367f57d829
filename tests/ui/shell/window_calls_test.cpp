// Calls between windows reach their targets: every registry window is of
// its own class (so a call typed for that class finds it), and every item
// of the main window's list menus, and every name the window runs by itself,
// has a command behind it.
#include <QAction>
#include <QMenu>
#include <QSet>

#include "ui/support/lists_fixture.h"

TEST_F(ListsTest, EveryRegistryWindowIsOfItsOwnClass) {
  const std::vector<WindowController*> registry = app->windows().All();
  ASSERT_EQ(registry.size(), 29u);
  for (WindowController* controller : registry) {
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(QString(controller->metaObject()->className()), controller->nibName());
  }
}

TEST_F(ListsTest, EveryListMenuItemAndNamedCommandHasItsCommand) {
  const QStringList names = main->ListCommandNames();
  const QSet<QString> installed(names.begin(), names.end());
  // The names the window runs by itself: the two double clicks, the Control
  // press on the option button, and the canvas menu's input commands.
  QSet<QString> named = {"InputFilesDoubleClicked", "DispObjsDoubleClicked", "InputMenuLapSetManual",
                         "InputMenuConfig", "InputMenuSync"};
  int items = 0;
  for (QMenu* menu : {main->InputFilesMenu(), main->DispObjsMenu()}) {
    for (QAction* action : menu->actions()) {
      // The lap list's item is wired to its command directly, not by name.
      if (action->isSeparator() || action->objectName() == "InputMenuLaps") continue;
      ++items;
      EXPECT_TRUE(installed.contains(action->objectName())) << action->objectName().toStdString();
      EXPECT_EQ(main->ListMenuItem(action->objectName()), action);
      named.insert(action->objectName());
    }
  }
  EXPECT_GE(items, 25);
  for (const QString& name : named) EXPECT_TRUE(installed.contains(name)) << name.toStdString();
  // And nothing is installed under a name that nothing runs.
  for (const QString& name : installed) EXPECT_TRUE(named.contains(name)) << name.toStdString();
}
