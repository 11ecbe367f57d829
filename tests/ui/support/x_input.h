#pragma once
// A person's hands on an X server: the pointer moved and its left button
// pressed, keys held, through the server's XTest extension, so that every
// program on that display gets them as real input. Also the screen as the
// server shows it, for a look.
#include <QImage>
#include <QPoint>
#include <string>

struct _XDisplay;

class XInput {
public:
  explicit XInput(const std::string& display);
  ~XInput();
  XInput(const XInput&) = delete;
  XInput& operator=(const XInput&) = delete;

  bool connected() const { return display_ != nullptr; }
  void moveTo(QPoint at);
  void press();
  void release();
  void click(QPoint at);
  // Keys by their X names ("Escape", "Shift_L", "Return").
  void keyDown(const char* name);
  void keyUp(const char* name);
  void tap(const char* name);
  QImage screen() const;

private:
  void button(bool down);
  void key(const char* name, bool down);

  _XDisplay* display_ = nullptr;
};
