#pragma once
// The main window under test with its lists: the shell launched, helpers
// to add inputs and objects through the engine and to read the lists back.
#include <QIcon>
#include <QImage>
#include <QStringList>
#include <cstdint>
#include <string>

#include "model/dispobjs.h"
#include "model/inputs.h"
#include "ui/controls/NameListTable.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/support/shell_fixture.h"

class ListsTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    SetSetting("ShowMenuAtStart", false);
    ASSERT_TRUE(Launch());
    main = app->windows().wndMain();
  }

  std::string File(const std::string& name) const { return tempDir + "/" + name; }
  QString QPath(const std::string& name) const { return QString::fromStdString(File(name)); }

  static QStringList Rows(NameListTable* table) {
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row) rows << table->rowText(row);
    return rows;
  }
  // Whether the row's icon stands 12 pixels in (a member of a join or group).
  static bool Indented(NameListTable* table, int row) {
    QImage icon = table->item(row, 0)->icon().pixmap(36, 24).toImage();
    return qAlpha(icon.pixel(4, 12)) == 0 && qAlpha(icon.pixel(18, 12)) != 0;
  }
  static QString InputName(uint32_t input) { return QString::fromStdU16String(InputGetName(input)); }
  static QString ObjectName(uint32_t object) { return QString::fromStdU16String(DispObjGetName(object)); }
  static void SetParentJoin(uint32_t input, uint32_t join) {
    MainStruct record = *InputGetMain(input);
    record.ParentJoin = static_cast<uint8_t>(join);
    InputSetMain(input, &record);
  }
  static void SetParentObject(uint32_t object, uint32_t group) {
    DispStruct record = *DispObjGet(object);
    record.ParentObject = group;
    DispObjSet(object, &record);
  }

  wcMain* main = nullptr;
};
