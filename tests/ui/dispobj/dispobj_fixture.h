#pragma once
// The launched program with its real engine and preview, for the
// display-object commands, the toolbox and the property window: helpers
// to select objects by name and to reach the windows.
#include <QString>
#include <QStringList>
#include <QToolButton>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "base/message_box.h"
#include "model/dispobjs.h"
#include "ui/controls/NameListTable.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/dispobj/wcDispObjToolbox.h"
#include "ui/preview/preview_fixture.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"

class DispObjTest : public PreviewTest {
protected:
  void SetUp() override {
    PreviewTest::SetUp();
    LaunchMain();
  }

  static QString Name(uint32_t object) {
    const char16_t* name = DispObjGetName(object);
    return name != nullptr ? QString::fromUtf16(name) : QString();
  }
  // Rebuilds the objects list and selects the objects' rows.
  void Select(std::initializer_list<uint32_t> objects) {
    main->DispObjRefresh(kNoDispObj);
    main->DispObjsTable()->clearSelection();
    QStringList names;
    for (uint32_t object : objects) names << Name(object);
    main->DispObjsTable()->selectTexts(names);
  }
  uint32_t Parent(uint32_t object) const { return DispObjGet(object)->ParentObject; }
  static void SetParent(uint32_t object, uint32_t group) {
    DispStruct record = *DispObjGet(object);
    record.ParentObject = group;
    DispObjSet(object, &record);
  }
  // A new group holding the objects; its index.
  static uint32_t MakeGroup(std::initializer_list<uint32_t> members) {
    const uint32_t group = DispObjAdd(kDispGroup, 255);
    for (uint32_t member : members) SetParent(member, group);
    return group;
  }
  // The user adds an object of the type from the toolbox (the main
  // window's add command); the new object's index.
  uint32_t AddFromToolbox(uint32_t type) {
    onModal = [type](WindowController* w) {
      w->showWindow();
      static_cast<wcDispObjToolbox*>(w)->TypeButton(type)->click();
      return 0;
    };
    main->DispObjAdd_Pressed();
    onModal = nullptr;
    return Toolbox()->NewIndex();
  }
  wcDispObjEdit* Editor() const { return app->windows().wndDispObjEdit(); }
  wcDispObjToolbox* Toolbox() const { return app->windows().wndDispObjToolbox(); }
  // The last message shown, "" when none.
  std::wstring LastMessage() const { return messages.empty() ? std::wstring() : messages.back().text; }
  int LastFlags() const { return messages.empty() ? -1 : messages.back().flags; }
  std::string File(const std::string& name) const { return tempDir + "/" + name; }
};
