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
// What the window was before its content was made to scroll.
const char* const kOwnSize = "qvOwnSize";
const char* const kOwnMinimum = "qvOwnMinimum";
const char* const kOwnMaximum = "qvOwnMaximum";
const char* const kScrollerName = "WindowContentScroller";
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

// The window's content moves into a scroll area filling the window; what
// the window was (size and limits) is kept for its next opening.
void makeContentScroll(QWidget* window) {
  if (window->property(kScrolls).toBool()) return;
  auto* scroller = new QScrollArea();
  scroller->setObjectName(kScrollerName);
  scroller->setFrameShape(QFrame::NoFrame);
  scroller->setWidgetResizable(true);
  QLayout* layout = window->layout();
  // A minimum the layout gave is the layout's again when the content comes
  // back; one set by hand is put back as it was.
  const bool ownMinimum = layout == nullptr || window->minimumSize() != layout->totalMinimumSize();
  if (auto* main = qobject_cast<QMainWindow*>(window)) {
    QWidget* central = main->takeCentralWidget();
    if (central == nullptr) {
      delete scroller;
      return;
    }
    scroller->setWidget(central);
    main->setCentralWidget(scroller);
  } else {
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
  window->setProperty(kOwnSize, window->size());
  window->setProperty(kOwnMinimum, ownMinimum ? window->minimumSize() : QSize(0, 0));
  window->setProperty(kOwnMaximum, window->maximumSize());
}

// The content of a window other than the main window, once it scrolls.
QWidget* scrolledContent(QWidget* window) {
  if (!window->property(kScrolls).toBool() || qobject_cast<QMainWindow*>(window) != nullptr) return nullptr;
  auto* scroller = window->findChild<QScrollArea*>(kScrollerName, Qt::FindDirectChildrenOnly);
  return scroller != nullptr ? scroller->widget() : nullptr;
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
  const bool overflows = size.width() > room.width() || size.height() > room.height();
  if (overflows) makeContentScroll(window);
  const int bar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  if (QWidget* content = scrolledContent(window)) {
    // As large as the content asks, up to the room, with a scroll bar beside
    // and below only what does not fit; as the window's minimum, so that a
    // later fit of its own size to its layout does not shrink it further.
    QSize need = content->minimumSizeHint().expandedTo(content->minimumSize());
    if (need.height() > room.height()) need.rwidth() += bar;
    if (need.width() > room.width()) need.rheight() += bar;
    const QSize fitted = need.boundedTo(room);
    window->setMinimumSize(fitted);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    size = window->size().expandedTo(fitted).boundedTo(room);
  } else if (overflows) {
    // The main window: room for the scroll bars beside and below its panes.
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

void EndWindowFit(QWidget* window) {
  if (window == nullptr || !window->property(kScrolls).toBool()) return;
  auto* scroller = window->findChild<QScrollArea*>(kScrollerName, Qt::FindDirectChildrenOnly);
  if (auto* main = qobject_cast<QMainWindow*>(window)) {
    if (scroller == nullptr || main->centralWidget() != scroller) return;
    main->setCentralWidget(scroller->takeWidget()); // the scroller goes with it
  } else {
    QWidget* content = scroller != nullptr ? scroller->widget() : nullptr;
    if (content == nullptr || content->layout() == nullptr) return;
    delete window->layout();
    window->setLayout(content->layout()); // takes the widgets back
    delete scroller;
  }
  window->setProperty(kScrolls, QVariant());
  window->setMinimumSize(window->property(kOwnMinimum).toSize());
  window->setMaximumSize(window->property(kOwnMaximum).toSize());
  if (window->layout() != nullptr) window->layout()->activate();
  window->resize(window->property(kOwnSize).toSize());
}
