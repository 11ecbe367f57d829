#pragma once
// Scripted objects with the launched program: an object as a project or
// style brings it (with its whole record), a record whose every field,
// kept ones included, holds a value of its own, and the script editor
// opened from the panel's button with the user's part played by a test.
#include <QPlainTextEdit>
#include <QTextCursor>
#include <functional>
#include <memory>

#include "base/access_lock.h"
#include "model/dispobj_table.h"
#include "model/model_text.h"
#include "ui/dispobj/kind_panel_fixture.h"
#include "ui/dispobj/vcDispObjEnhanced.h"
#include "ui/dispobj/wcDispObjEnhEdit.h"

class EnhancedTest : public KindPanelTest {
protected:
  // A record with a value in every field: the kept ones travel unchanged.
  static std::unique_ptr<EnhParam> Sample() {
    auto p = std::make_unique<EnhParam>();
    FieldCopy(p->Label, kNameLength, u"Boost");
    p->Min = kRangeAutoMin;
    p->Max = kRangeAutoMax;
    p->TriggerValue = 1.5;
    p->SizeX = 320;
    p->SizeY = 200;
    p->Options = 0xFC; // trigger and top layer off, the other bits kept
    p->Reserved1 = 0xA5;
    p->Reserved2 = 0xBEEF;
    p->LabelColor = 0xFF00C000; // label off
    p->NumberColor = 0x12345678;
    p->LabelX = 10;
    p->LabelY = 20;
    p->NumberX = 0x1111;
    p->NumberY = 0x2222;
    FieldCopy(p->LabelFont, kNameLength, u"DejaVu Sans");
    FieldCopy(p->NumberFont, kNameLength, u"Kept Font");
    p->LabelSize = 24;
    p->NumberSize = 7.25f;
    p->NumberStyle = 0x5A;
    p->Reserved3 = 0x3333;
    p->Reserved4 = 0x4444;
    p->ColorCount = 2;
    p->ParamCount = 3;
    for (int i = 0; i < kEnhColors; ++i) {
      p->Color[i] = 0x00101010u * static_cast<uint32_t>(i + 1);
      p->Param[i] = i + 0.5;
      p->ParamMin[i] = -i;
      p->ParamMax[i] = 100 + i;
      p->ParamStep[i] = 0.25 * i;
      FieldCopy(p->ParamName[i], kEnhNameUnits, u"Param " + std::u16string(1, char16_t(u'1' + i)));
    }
    FieldCopy(p->ColorName[0], kEnhNameUnits, u"Needle");
    std::strcpy(p->BackScript, "old back");
    std::strcpy(p->ForeScript, "old fore");
    return p;
  }
  // A scripted object with the record, as a project brings one.
  static uint32_t AddScripted(const EnhParam& record, uint32_t input = kNoInput) {
    const uint32_t object = DispObjAdd(kDispEnhanced, input);
    WriteAccess access("test");
    DispObjEntry& entry = *DispTableEntry(object);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    entry.Param.assign(bytes, bytes + sizeof(EnhParam));
    DispTableSync(object);
    return object;
  }
  static std::unique_ptr<EnhParam> Stored(uint32_t object) {
    auto p = std::make_unique<EnhParam>();
    std::memcpy(p.get(), DispObjGetParam(object), sizeof(EnhParam));
    return p;
  }
  static bool SameBytes(const EnhParam& a, const EnhParam& b) { return std::memcmp(&a, &b, sizeof(EnhParam)) == 0; }

  wcDispObjEnhEdit* ScriptEditor() const { return app->windows().wndDispObjEnhEdit(); }
  // Presses the panel's Script button; the user's part in the editor is
  // played by the function after the window has come up.
  void EditScripts(vcDispObjEnhanced* panel, const std::function<void(wcDispObjEnhEdit*)>& user) {
    onModal = [this, user](WindowController* w) {
      auto* editor = static_cast<wcDispObjEnhEdit*>(w);
      editor->showWindow();
      SpinUntil([editor]() { return !editor->FreshWindow(); });
      user(editor);
      if (editor->window()->isVisible()) editor->close();
      return 0;
    };
    panel->ScriptButton->click();
    onModal = nullptr;
  }
  // The user replaces the script view's text.
  static void TypeScript(QPlainTextEdit* view, const QString& text) {
    view->selectAll();
    view->insertPlainText(text);
  }
};
