#include "ui/controls/NSColorWellCustom.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

// The one colour panel and the well it serves. The panel is parented to the
// active well's window: a modal window blocks every window that is not its
// own child, so a free-standing panel could not be used from a modal editor.
// Parenting also means the panel dies with that window; it is then made anew.
class ColorPanelLink : public QObject {
public:
  static ColorPanelLink& shared() {
    static ColorPanelLink link;
    return link;
  }

  QColorDialog* panel() {
    if (panel_ == nullptr) makePanel();
    return panel_;
  }

  NSColorWellCustom* active() const { return active_; }

  void activate(NSColorWellCustom* well) {
    if (active_ != nullptr && active_ != well) release(active_);
    active_ = well;
    QColorDialog* dialog = panel();
    QWidget* owner = well->window();
    if (dialog->parentWidget() != owner) {
      const QPoint at = dialog->pos();
      const bool placed = everShown_;
      dialog->setParent(owner, dialog->windowFlags() | Qt::Dialog);
      if (placed) dialog->move(at);
    }
    QColor opaque = well->color();
    opaque.setAlpha(255);
    taking_ = true;
    dialog->setCurrentColor(opaque);
    taking_ = false;
    everShown_ = true;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    well->update();
  }

  void release(NSColorWellCustom* well) {
    if (active_ != well || well == nullptr) return;
    active_ = nullptr;
    well->update();
  }

  // The window a hidden well sat in took the panel with it when it held it.
  void ownerHidden(NSColorWellCustom* well) {
    const bool wasActive = active_ == well;
    release(well);
    if (wasActive && panel_ != nullptr && panel_->parentWidget() == well->window()) panel_->hide();
  }

private:
  void makePanel() {
    panel_ = new QColorDialog();
    panel_->setWindowTitle("Colors");
    panel_->setOptions(QColorDialog::NoButtons | QColorDialog::DontUseNativeDialog);
    panel_->setModal(false);
    panel_->setAttribute(Qt::WA_DeleteOnClose, false);
    everShown_ = false;
    connect(panel_, &QColorDialog::currentColorChanged, this, [this](const QColor& colour) {
      if (!taking_ && active_ != nullptr) active_->userPicked(colour);
    });
    connect(panel_, &QDialog::finished, this, [this]() { release(active_); });
  }

  QPointer<QColorDialog> panel_;
  QPointer<NSColorWellCustom> active_;
  bool taking_ = false;
  bool everShown_ = false;
};

NSColorWellCustom::NSColorWellCustom(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setFocusPolicy(Qt::NoFocus);
}

NSColorWellCustom::~NSColorWellCustom() { ColorPanelLink::shared().release(this); }

QColorDialog* NSColorWellCustom::sharedPanel() { return ColorPanelLink::shared().panel(); }

void NSColorWellCustom::setColor(const QColor& colour) {
  color_ = colour.isValid() ? colour : QColor(Qt::black);
  update();
}

void NSColorWellCustom::activate() {
  if (!isEnabled() || isHidden()) return;
  ColorPanelLink::shared().activate(this);
}

void NSColorWellCustom::deactivate() { ColorPanelLink::shared().release(this); }

bool NSColorWellCustom::isActive() const { return ColorPanelLink::shared().active() == this; }

void NSColorWellCustom::userPicked(const QColor& colour) {
  color_ = colour;
  update();
  emit changed();
}

void NSColorWellCustom::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect frame = rect().adjusted(0, 0, -1, -1);
  const QPalette& colours = palette();
  painter.fillRect(frame, colours.color(QPalette::Button));
  painter.setPen(isActive() ? colours.color(QPalette::Highlight) : colours.color(QPalette::Mid));
  painter.drawRect(frame);
  if (isActive()) painter.drawRect(frame.adjusted(1, 1, -1, -1));
  QColor swatch = color_;
  swatch.setAlpha(255);
  if (!isEnabled()) swatch = swatch.lighter(130);
  painter.fillRect(frame.adjusted(4, 4, -3, -3), swatch);
}

void NSColorWellCustom::mousePressEvent(QMouseEvent* event) {
  clickCount_ = 1;
  event->accept();
}

void NSColorWellCustom::mouseDoubleClickEvent(QMouseEvent* event) {
  clickCount_ = 2;
  event->accept();
}

void NSColorWellCustom::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  const int count = clickCount_;
  clickCount_ = 0;
  if (count >= 1 && isEnabled() && isVisible()) activate();
}

void NSColorWellCustom::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && !isEnabled()) deactivate();
  QWidget::changeEvent(event);
}

void NSColorWellCustom::hideEvent(QHideEvent* event) {
  ColorPanelLink::shared().ownerHidden(this);
  QWidget::hideEvent(event);
}
