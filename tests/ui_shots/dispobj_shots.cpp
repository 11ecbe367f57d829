// The display-object windows: the toolbox, the property window for a
// picture-and-sound object, a gauge and no object, and the canvas menu.
#include <QMenu>

#include "ui/dispobj/dispobj_fixture.h"
#include "ui/support/window_shots.h"

TEST_F(DispObjTest, DisplayObjectWindows) {
  const uint32_t video = DispObjAdd(kDispVideo, kNoInput);
  const uint32_t gauge = DispObjAdd(kDispSpeedo, kNoInput);
  Toolbox()->SetData(kNoInput);
  Toolbox()->showWindow();
  ASSERT_TRUE(SpinUntil([this]() { return Toolbox()->window()->isVisible(); }));
  SaveWindowShot(Toolbox()->window(), "dispobj_toolbox");
  Toolbox()->close();

  wcDispObjEdit* editor = Editor();
  editor->showWindow();
  struct Shot {
    uint32_t object;
    const char* name;
  };
  for (const Shot& shot : {Shot{video, "dispobj_properties_video"}, Shot{gauge, "dispobj_properties_gauge"},
                           Shot{kNoDispObj, "dispobj_properties_none"}}) {
    ASSERT_TRUE(editor->SetDisplayObject(static_cast<int>(shot.object)));
    Spin(30);
    SaveWindowShot(editor->window(), shot.name);
  }
  editor->close();

  Select({gauge});
  main->previewMenuWillOpen(QPointF(700, 470));
  main->PreviewMenu()->adjustSize();
  SaveWindowShot(main->PreviewMenu(), "dispobj_canvas_menu");
}
