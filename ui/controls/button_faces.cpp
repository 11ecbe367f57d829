#include "ui/controls/button_faces.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kSide = 32;

// Two rounded links of a chain; apart, with a gap between them, when broken.
void drawChain(QPainter& p, bool joined) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(joined ? QColor(30, 110, 200) : QColor(150, 150, 150), 3.2, Qt::SolidLine, Qt::RoundCap));
  const qreal shift = joined ? 0 : 3;
  p.drawRoundedRect(QRectF(3 - shift, 11, 15, 10), 5, 5);
  p.drawRoundedRect(QRectF(14 + shift, 11, 15, 10), 5, 5);
  if (!joined) {
    p.setPen(QPen(QColor(200, 40, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 4), QPointF(16, 9));
    p.drawLine(QPointF(16, 23), QPointF(16, 28));
  }
}

} // namespace

QIcon ButtonFace(const QString& name) {
  if (name != "Join" && name != "UnJoin" && name != "Play-Green" && name != "Pause-Blue") return QIcon();
  QPixmap pixmap(kSide, kSide);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  if (name == "Join" || name == "UnJoin") {
    drawChain(p, name == "Join");
  } else if (name == "Play-Green") {
    p.setPen(QPen(QColor(20, 120, 40), 1.5));
    p.setBrush(QColor(40, 170, 70));
    p.drawPolygon(QPolygonF({QPointF(9, 5), QPointF(27, 16), QPointF(9, 27)}));
  } else {
    p.setPen(QPen(QColor(20, 70, 150), 1.5));
    p.setBrush(QColor(50, 120, 210));
    p.drawRoundedRect(QRectF(8, 6, 6, 20), 1.5, 1.5);
    p.drawRoundedRect(QRectF(18, 6, 6, 20), 1.5, 1.5);
  }
  return QIcon(pixmap);
}
