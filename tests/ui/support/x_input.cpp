#include "ui/support/x_input.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <thread>

namespace {

// Between two steps of a hand, so that a program sees them as separate
// events; no outcome depends on how long it is.
void betweenSteps() { std::this_thread::sleep_for(std::chrono::milliseconds(30)); }

} // namespace

XInput::XInput(const std::string& display) {
  display_ = XOpenDisplay(display.c_str());
  int event = 0, error = 0, major = 0, minor = 0;
  if (display_ != nullptr && !XTestQueryExtension(display_, &event, &error, &major, &minor)) {
    XCloseDisplay(display_);
    display_ = nullptr;
  }
}

XInput::~XInput() {
  if (display_ != nullptr) XCloseDisplay(display_);
}

void XInput::moveTo(QPoint at) {
  if (display_ == nullptr) return;
  XTestFakeMotionEvent(display_, -1, at.x(), at.y(), CurrentTime);
  XSync(display_, False);
  betweenSteps();
}

void XInput::button(bool down) {
  if (display_ == nullptr) return;
  XTestFakeButtonEvent(display_, 1, down ? True : False, CurrentTime);
  XSync(display_, False);
  betweenSteps();
}

void XInput::press() { button(true); }
void XInput::release() { button(false); }

void XInput::click(QPoint at) {
  moveTo(at);
  press();
  release();
}

void XInput::key(const char* name, bool down) {
  if (display_ == nullptr) return;
  const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(name));
  if (code == 0) return;
  XTestFakeKeyEvent(display_, code, down ? True : False, CurrentTime);
  XSync(display_, False);
  betweenSteps();
}

void XInput::keyDown(const char* name) { key(name, true); }
void XInput::keyUp(const char* name) { key(name, false); }

void XInput::tap(const char* name) {
  keyDown(name);
  keyUp(name);
}

QImage XInput::screen() const {
  if (display_ == nullptr) return {};
  const Window root = DefaultRootWindow(display_);
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display_, root, &attributes)) return {};
  XImage* image = XGetImage(display_, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  if (image == nullptr) return {};
  QImage picture(attributes.width, attributes.height, QImage::Format_RGB32);
  for (int y = 0; y < attributes.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < attributes.width; ++x) line[x] = 0xff000000u | static_cast<QRgb>(XGetPixel(image, x, y));
  }
  XDestroyImage(image);
  return picture;
}
