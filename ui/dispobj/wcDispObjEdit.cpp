#include "ui/dispobj/wcDispObjEdit.h"

#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "model/dispobjs.h"
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/dispobj_panels.h"
#include "ui/dispobj/vcDispObjGeneral.h"
#include "ui/seams/desktop.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/util/window_fit.h"

namespace {

constexpr int kColumnMargin = 2; // below the last panel

bool sameName(const DispStruct& a, const DispStruct& b) {
  return std::memcmp(a.Name, b.Name, sizeof(a.Name)) == 0;
}

} // namespace

wcDispObjEdit::wcDispObjEdit() : WindowController("wcDispObjEdit", kOpenRightOfMain) {}

wcDispObjEdit::~wcDispObjEdit() = default;

uint32_t wcDispObjEdit::PanelsForType(uint8_t type) {
  const DispTypeInfo* info = DispTypeFind(type);
  // A kind this program does not know still gets placed and shaped.
  return kPanelGeneral | (info != nullptr ? info->panels : uint32_t{kPanelPicture});
}

QWidget* wcDispObjEdit::makeWindow() {
  auto* window = new QWidget(nullptr, Qt::Window);
  window->setWindowTitle("Display Object Properties");
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(0, 0, 0, 0);
  scrollView_ = new QScrollArea(window);
  scrollView_->setObjectName("ScrollView");
  scrollView_->setFrameShape(QFrame::NoFrame);
  scrollView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scrollView_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  scrollView_->setWidgetResizable(false);
  layout->addWidget(scrollView_);
  column_ = new QWidget();
  column_->setObjectName("PanelColumn");
  columnLayout_ = new QVBoxLayout(column_);
  columnLayout_->setContentsMargins(0, 0, 0, kColumnMargin);
  columnLayout_->setSpacing(0);
  panels_ = MakeDispObjPanels(this);
  for (DispObjPanel* panel : panels_) {
    columnLayout_->addWidget(panel);
    panel->hide();
  }
  columnLayout_->addStretch(1);
  scrollView_->setWidget(column_);
  return window;
}

DispObjPanel* wcDispObjEdit::Panel(DispPanel bit) const {
  for (DispObjPanel* panel : panels_)
    if (panel->panelBit() == bit) return panel;
  return nullptr;
}

vcDispObjGeneral* wcDispObjEdit::General() const { return static_cast<vcDispObjGeneral*>(Panel(kPanelGeneral)); }

bool wcDispObjEdit::SetDisplayObject(int index) {
  window();
  const auto object = static_cast<uint32_t>(index);
  if (object == ourIndex_) {
    // Still the object shown? A removal may have packed another one into
    // this place, or it may have been renamed.
    const DispStruct* now = DispObjGet(object);
    const bool same = (now == nullptr) == !valid_ &&
                      (now == nullptr || (now->Type == record_.Type && sameName(*now, record_)));
    if (same) {
      UpdateControls();
      return true;
    }
  }
  ourIndex_ = object;
  valid_ = false;
  const DispStruct* record = DispObjGet(object);
  if (record != nullptr) {
    record_ = *record;
    valid_ = true;
  } else {
    if (object != kNoDispObj) ErrorShowLast();
    record_ = DispStruct{};
  }
  return SetLayout();
}

void wcDispObjEdit::ReloadAfterChange() {
  const uint32_t object = ourIndex_;
  ourIndex_ = kNoDispObj - 1; // forces the full load
  SetDisplayObject(static_cast<int>(object));
}

void wcDispObjEdit::UpdateControls() {
  for (DispObjPanel* panel : panels_)
    if (!panel->isHidden()) panel->SetData(ourIndex_);
}

bool wcDispObjEdit::SetLayout() {
  window();
  const uint32_t wanted = valid_ ? PanelsForType(record_.Type) : uint32_t{kPanelGeneral};
  int height = kColumnMargin;
  // Filled from the bottom of the column up, the general panel last.
  for (auto it = panels_.rbegin(); it != panels_.rend(); ++it) {
    DispObjPanel* panel = *it;
    bool takesPart = (wanted & panel->panelBit()) != 0;
    if (takesPart) takesPart = panel->SetData(ourIndex_) || panel->panelBit() == kPanelGeneral;
    panel->setVisible(takesPart);
    if (!takesPart) continue;
    const int h = panel->IntendedHeight();
    panel->setFixedHeight(h);
    height += h;
  }
  column_->setFixedSize(kPanelWidth, height);
  resizeForColumn(height);
  scrollView_->verticalScrollBar()->setValue(0);
  return true;
}

// The window is as tall as the column unless the screen is shorter; then
// the column scrolls. The top edge stays where it is while the bottom stays
// on the screen.
void wcDispObjEdit::resizeForColumn(int columnHeight) {
  QWidget* w = window();
  const QRect visible = ScreenVisibleFrame(w);
  const QMargins frame = WindowFrameMargins(w);
  const int titleBar = frame.top() + frame.bottom();
  const int room = visible.isEmpty() ? columnHeight : visible.height() - titleBar;
  const bool scrolls = columnHeight > room;
  const int scroller = scrolls ? w->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 : 0;
  const int width = kPanelWidth + 2 + scroller;
  const int height = std::min(room, columnHeight);
  w->setFixedWidth(width);
  w->resize(width, height);
  if (visible.isEmpty()) return;
  QPoint at = w->geometry().topLeft() - QPoint(frame.left(), frame.top());
  const int bottomRoom = visible.bottom() + 1 - (height + titleBar);
  at.setY(std::max(visible.top(), std::min(at.y(), bottomRoom)));
  MoveWindowFrameTo(w, at);
}

void wcDispObjEdit::windowDidOpen() {
  keepOnScreen();
}

void wcDispObjEdit::windowDidBecomeMain() {
  vcDispObjGeneral* general = General();
  if (general != nullptr && !general->isHidden()) general->SetSegment(true);
}

// Beside a main window that fills the screen the window would open out of
// sight: it is pulled back onto the screen.
void wcDispObjEdit::keepOnScreen() {
  wcMain* main = AppWindows().wndMain();
  FitWindowOnScreen(window(), main != nullptr ? main->windowIfLoaded() : nullptr);
}

bool wcDispObjEdit::eventFilter(QObject* watched, QEvent* event) {
  // Coming back to the window after working in the main window: the
  // preview time may have moved into another timeline segment.
  if (watched == windowIfLoaded() && event->type() == QEvent::WindowActivate && !FreshWindow()) {
    vcDispObjGeneral* general = General();
    if (general != nullptr && !general->isHidden()) general->SetSegment(true);
  }
  return WindowController::eventFilter(watched, event);
}
