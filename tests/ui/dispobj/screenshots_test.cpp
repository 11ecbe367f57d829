// Pictures of the display-object windows for a person to look at: the
// toolbox, the property window for a picture-and-sound object, a gauge and
// no object, and the canvas menu, as PNG files in "ui-screenshots" beside
// the test program.
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QPixmap>

#include "ui/dispobj/dispobj_fixture.h"

namespace {

bool Save(QWidget* widget, const QString& name) {
  const QString dir = QCoreApplication::applicationDirPath() + "/ui-screenshots";
  QDir().mkpath(dir);
  const QPixmap picture = widget->grab();
  return !picture.isNull() && picture.width() > 50 && picture.height() > 50 && picture.save(dir + "/" + name + ".png");
}

} // namespace

TEST_F(DispObjTest, ScreenshotsOfTheDisplayObjectWindows) {
  const uint32_t video = DispObjAdd(kDispVideo, kNoInput);
  const uint32_t gauge = DispObjAdd(kDispSpeedo, kNoInput);
  Toolbox()->SetData(kNoInput);
  Toolbox()->showWindow();
  ASSERT_TRUE(SpinUntil([this]() { return Toolbox()->window()->isVisible(); }, 5000));
  EXPECT_TRUE(Save(Toolbox()->window(), "dispobj_toolbox"));
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
    EXPECT_TRUE(Save(editor->window(), shot.name));
  }
  editor->close();

  Select({gauge});
  main->previewMenuWillOpen(QPointF(700, 470));
  main->PreviewMenu->adjustSize();
  EXPECT_TRUE(Save(main->PreviewMenu, "dispobj_canvas_menu"));
}
