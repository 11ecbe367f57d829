#include "ui/util/window_fit.h"

#include <QApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "ui/seams/desktop.h"

namespace {

const char* const kScrolls = "qvContentScrolls";
// A title bar as common desktops draw it, when no frame was measured yet.
constexpr QMargins kTypicalFrame(1, 32, 1, 1);

bool windowSystemDrawsNoFrames() {
  const QString platform = QGuiApplication::platformName();
  return platform == "offscreen" || platform == "minimal";
}

QMargins measured(const QWidget* window) {
  if (window == nullptr || !window->isWindow() || !window->isVisible()) return {};
  const QRect frame = window->frameGeometry(), inside = window->geometry();
  return QMargins(inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
                  frame.bottom() - inside.bottom());
}

// The window's content moves into a scroll area filling the window.
void makeContentScroll(QWidget* window) {
  if (window->property(kScrolls).toBool()) return;
  auto* scroller = new QScrollArea();
  scroller->setFrameShape(QFrame::NoFrame);
  scroller->setWidgetResizable(true);
  if (auto* main = qobject_cast<QMainWindow*>(window)) {
    QWidget* central = main->takeCentralWidget();
    if (central == nullptr) {
      delete scroller;
      return;
    }
    scroller->setWidget(central);
    main->setCentralWidget(scroller);
  } else {
    QLayout* layout = window->layout();
    if (layout == nullptr) {
      delete scroller;
      return;
    }
    auto* content = new QWidget();
    content->setLayout(layout); // takes the layout's widgets along
    scroller->setWidget(content);
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroller);
  }
  window->setProperty(kScrolls, true);
}

} // namespace

void MoveWindowFrameTo(QWidget* window, QPoint frameTopLeft) {
  if (window == nullptr) return;
  const QMargins frame = WindowFrameMargins(window);
  window->setGeometry(QRect(frameTopLeft + QPoint(frame.left(), frame.top()), window->size()));
}

QMargins WindowFrameMargins(const QWidget* window) {
  const QMargins own = measured(window);
  if (!own.isNull()) return own;
  // The desktop frames its windows alike.
  for (const QWidget* other : QApplication::topLevelWidgets()) {
    const QMargins seen = measured(other);
    if (!seen.isNull()) return seen;
  }
  return windowSystemDrawsNoFrames() ? QMargins() : kTypicalFrame;
}

QRect WindowScreenArea(QWidget* window, QWidget* anchor) {
  return ScreenVisibleFrame(anchor != nullptr ? anchor : window);
}

void FitWindowOnScreen(QWidget* window, QWidget* anchor) {
  if (window == nullptr || !window->isWindow()) return;
  const QRect area = WindowScreenArea(window, anchor);
  if (area.isEmpty()) return;
  QLayout* layout = window->layout();
  if (layout != nullptr) layout->activate();
  const QMargins frame = WindowFrameMargins(window);
  const QSize room = area.size().shrunkBy(frame);
  // A minimum set by hand may fall short of what the layout needs.
  QSize size = window->size().expandedTo(window->minimumSize());
  if (layout != nullptr && !window->property(kScrolls).toBool()) size = size.expandedTo(layout->totalMinimumSize());
  if (size.width() > room.width() || size.height() > room.height()) {
    makeContentScroll(window);
    // Room for the scroll bars beside and below what no longer fits.
    const int bar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    size = (size + QSize(bar, bar)).boundedTo(room);
    window->setMinimumSize(std::min(size.width(), 160), std::min(size.height(), 120));
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
  if (size != window->size()) window->resize(size);
  const QRect outer(window->geometry().topLeft() - QPoint(frame.left(), frame.top()), window->size().grownBy(frame));
  const int x = std::max(area.left(), std::min(outer.left(), area.right() + 1 - outer.width()));
  const int y = std::max(area.top(), std::min(outer.top(), area.bottom() + 1 - outer.height()));
  if (x != outer.left() || y != outer.top()) MoveWindowFrameTo(window, QPoint(x, y));
}
