#pragma once
// The input windows under test: the shell launched with its lists, inputs
// made from small generated files, the windows run through the main
// window's commands with the user's part played on their real controls.
#include <QAbstractButton>
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <functional>
#include <map>
#include <string>

#include "model/inputs.h"
#include "support/media_fixtures.h"
#include "ui/controls/text_field.h"
#include "ui/support/input_files.h"
#include "ui/support/lists_fixture.h"
#include "ui/support/window_shots.h"

class InputWindowTest : public ListsTest {
protected:
  uint32_t Add(const std::string& path) {
    return InputAdd(QString::fromStdString(path).toStdU16String().c_str());
  }
  // A still picture of the size, one colour left of the middle and another right.
  std::string Picture(const std::string& name, int width, int height, QColor left = QColor(30, 120, 200),
                      QColor right = QColor(30, 120, 200)) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(left);
    for (int y = 0; y < height; ++y)
      for (int x = width / 2; x < width; ++x) image.setPixelColor(x, y, right);
    const std::string path = File(name);
    image.save(QString::fromStdString(path));
    return path;
  }

  template <typename T>
  static T* Child(WindowController* controller, const char* name) {
    T* found = controller->window()->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  static void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  // Types the text over the field's own and presses Return.
  static void Type(TextField* field, const QString& text) {
    field->selectAll();
    field->del();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
  }

  // Plays the user's part in the modal windows, by window name; a window
  // without a part is shown and closed.
  void Play(std::map<QString, std::function<void(WindowController*)>> parts) {
    onModal = [parts](WindowController* controller) {
      controller->showWindow();
      SpinUntil([controller]() { return controller->window()->isVisible(); });
      SpinUntil([controller]() { return !controller->FreshWindow(); });
      auto part = parts.find(controller->nibName());
      if (part != parts.end()) part->second(controller);
      if (controller->window()->isVisible()) controller->close();
      return 0;
    };
  }

  static void Shot(WindowController* controller, const QString& name) {
    Settle();
    SaveWindowShot(controller->window(), name);
  }
};
