#pragma once
// A label that acts like a button: a mouse-up that ends a click on it emits
// clicked() while it is enabled and visible. It never selects or edits its
// text, and a press is not passed on to the widgets beneath.
#include <QLabel>

class NSTextLabelCustom : public QLabel {
  Q_OBJECT
public:
  explicit NSTextLabelCustom(QWidget* parent = nullptr);
  explicit NSTextLabelCustom(const QString& text, QWidget* parent = nullptr);

signals:
  void clicked();

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  // Clicks counted since the last press; a release without one is no click.
  int clickCount_ = 0;
};
