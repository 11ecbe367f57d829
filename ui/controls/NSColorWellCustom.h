#pragma once
// The colour well of every editor: a swatch that opens the one shared colour
// panel for itself.
//
// Contract:
// - The swatch always shows its colour opaque; color() gives back what was
//   set or picked, alpha included.
// - A press does nothing (no colour is dragged out of a well); a release that
//   ends a click on an enabled, visible well activates it.
// - activate() makes this the only active well and shows the shared panel
//   with its colour; the panel then belongs to the well's window, so it can
//   be used while that window runs modally. Every colour the user picks
//   there is set on the active well, which emits changed(), its action.
// - setColor() never emits, and neither does the panel taking the colour of
//   a well being activated.
// - A well stops being active when another one is activated, when the panel
//   is closed, when the well is hidden, disabled or destroyed, or when
//   deactivate() is called; a well's window hiding also hides the panel it
//   holds.
#include <QColor>
#include <QWidget>

class QColorDialog;

class NSColorWellCustom : public QWidget {
  Q_OBJECT
public:
  explicit NSColorWellCustom(QWidget* parent = nullptr);
  ~NSColorWellCustom() override;

  QColor color() const { return color_; }
  void setColor(const QColor& colour);

  void activate();
  void deactivate();
  bool isActive() const;

  // The shared panel, made on first use; for layouts and tests.
  static QColorDialog* sharedPanel();

  QSize sizeHint() const override { return {44, 24}; }

signals:
  void changed();

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

private:
  friend class ColorPanelLink;
  void userPicked(const QColor& colour);

  QColor color_ = Qt::white;
  int clickCount_ = 0;
};
