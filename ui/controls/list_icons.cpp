#include "ui/controls/list_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

#include "model/disp_types.h"

namespace {

using Drawing = std::function<void(QPainter&)>;

const QColor kInk(40, 44, 52);

QImage drawIcon(const QColor& tile, const Drawing& draw) {
  QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(tile.darker(150), 1));
  p.setBrush(tile);
  p.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 4, 4);
  p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  draw(p);
  return image;
}

void letters(QPainter& p, const QString& text, int pixelSize) {
  QFont font = p.font();
  font.setPixelSize(pixelSize);
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRectF(1.5, 1.5, 21, 21), Qt::AlignCenter, text);
}

void filmStrip(QPainter& p) {
  p.drawRect(QRectF(5, 5, 14, 14));
  p.setBrush(kInk);
  for (int i = 0; i < 3; ++i) {
    p.drawRect(QRectF(6.5, 6.5 + i * 4.5, 1.5, 1.5));
    p.drawRect(QRectF(16, 6.5 + i * 4.5, 1.5, 1.5));
  }
  p.setBrush(Qt::NoBrush);
}

void speaker(QPainter& p) {
  QPolygonF cone({{5, 10}, {8, 10}, {12, 6}, {12, 18}, {8, 14}, {5, 14}});
  p.setBrush(kInk);
  p.drawPolygon(cone);
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(11, 8, 6, 8), -60 * 16, 120 * 16);
  p.drawArc(QRectF(11, 5, 10, 14), -60 * 16, 120 * 16);
}

void picture(QPainter& p) {
  p.drawRect(QRectF(5, 6, 14, 12));
  p.drawPolyline(QPolygonF({{5, 17}, {10, 11}, {13, 14}, {15, 12}, {19, 16}}));
  p.drawEllipse(QPointF(15.5, 9), 1.2, 1.2);
}

void lineChart(QPainter& p) {
  p.drawPolyline(QPolygonF({{5, 5}, {5, 19}, {19, 19}}));
  p.drawPolyline(QPolygonF({{7, 15}, {10, 10}, {13, 13}, {18, 7}}));
}

void chain(QPainter& p) {
  p.drawRoundedRect(QRectF(4, 8, 9, 6), 3, 3);
  p.drawRoundedRect(QRectF(11, 10, 9, 6), 3, 3);
}

void hourglass(QPainter& p) {
  p.drawPolygon(QPolygonF({{7, 5}, {17, 5}, {7, 19}, {17, 19}}));
}

void groupBoxes(QPainter& p) {
  p.setPen(QPen(kInk, 1.2, Qt::DashLine));
  p.drawRect(QRectF(4, 4, 16, 16));
  p.setPen(QPen(kInk, 1.6));
  p.drawRect(QRectF(7, 7, 6, 5));
  p.drawRect(QRectF(11, 13, 6, 4));
}

void shapes(QPainter& p) {
  p.drawEllipse(QRectF(5, 5, 9, 9));
  p.drawRect(QRectF(11, 11, 8, 8));
}

void gauge(QPainter& p) {
  p.drawArc(QRectF(4, 5, 16, 16), -30 * 16, 240 * 16);
  p.drawLine(QPointF(12, 13), QPointF(16.5, 8.5));
  p.setBrush(kInk);
  p.drawEllipse(QPointF(12, 13), 1.4, 1.4);
}

void bars(QPainter& p) {
  p.setBrush(kInk);
  p.drawRect(QRectF(6, 12, 3, 7));
  p.drawRect(QRectF(11, 8, 3, 11));
  p.drawRect(QRectF(16, 5, 3, 14));
}

void trackMap(QPainter& p) {
  QPainterPath path;
  path.moveTo(7, 17);
  path.cubicTo(2, 12, 6, 4, 12, 6);
  path.cubicTo(16, 7, 14, 11, 18, 11);
  path.cubicTo(22, 12, 20, 19, 14, 18);
  path.closeSubpath();
  p.drawPath(path);
  p.setBrush(kInk);
  p.drawEllipse(QPointF(12, 6), 1.6, 1.6);
}

void gForce(QPainter& p) {
  p.drawEllipse(QRectF(4.5, 4.5, 15, 15));
  p.drawLine(QPointF(12, 5), QPointF(12, 19));
  p.drawLine(QPointF(5, 12), QPointF(19, 12));
  p.setBrush(kInk);
  p.drawEllipse(QPointF(15, 9), 1.8, 1.8);
}

void lapFlag(QPainter& p) {
  p.drawLine(QPointF(6, 5), QPointF(6, 20));
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 3; ++col) {
      QRectF cell(6 + col * 4, 5 + row * 4, 4, 4);
      if ((row + col) % 2 == 0) p.fillRect(cell, kInk);
    }
  }
  p.drawRect(QRectF(6, 5, 12, 8));
}

QImage inputIcon(uint32_t type) {
  switch (type) {
  case kInputVideo: return drawIcon(QColor(120, 170, 235), filmStrip);
  case kInputAudio: return drawIcon(QColor(140, 210, 140), speaker);
  case kInputImage: return drawIcon(QColor(235, 200, 110), picture);
  case kInputData: return drawIcon(QColor(230, 140, 120), lineChart);
  case kInputJoinVideo:
  case kInputJoinAudio:
  case kInputJoinData: return drawIcon(QColor(190, 160, 225), chain);
  case kInputFiller: return drawIcon(QColor(200, 200, 200), hourglass);
  default: return QImage();
  }
}

} // namespace

QImage InputTypeIcon(uint32_t type) {
  static QImage cache[9];
  static bool failureTold = false;
  if (type == kInputNone || type > kInputFiller) return QImage();
  if (cache[type].isNull()) cache[type] = inputIcon(type);
  // Only a picture that could not be allocated comes back empty.
  if (cache[type].isNull() && !failureTold) {
    failureTold = true;
    qWarning("Input Image Load Fail!");
  }
  return cache[type];
}

QImage DispObjTypeIcon(uint32_t type) {
  const QColor tile(215, 225, 240);
  const DispTypeInfo* info = DispTypeFind(type);
  switch (info != nullptr ? info->icon : DispIcon::kNone) {
  case DispIcon::kGroup: return drawIcon(QColor(225, 225, 210), groupBoxes);
  case DispIcon::kEImage: return drawIcon(tile, picture);
  case DispIcon::kVideo: return drawIcon(tile, filmStrip);
  case DispIcon::kAudio: return drawIcon(tile, speaker);
  case DispIcon::kShape: return drawIcon(tile, shapes);
  case DispIcon::kText: return drawIcon(tile, [](QPainter& p) { letters(p, "T", 15); });
  case DispIcon::kGauge: return drawIcon(tile, gauge);
  case DispIcon::kBar: return drawIcon(tile, bars);
  case DispIcon::kTextData: return drawIcon(tile, [](QPainter& p) { letters(p, "12", 11); });
  case DispIcon::kTimeGraph: return drawIcon(tile, lineChart);
  case DispIcon::kEnhanced: return drawIcon(tile, [](QPainter& p) { letters(p, "{}", 12); });
  case DispIcon::kTrackMap: return drawIcon(tile, trackMap);
  case DispIcon::kGForce: return drawIcon(tile, gForce);
  case DispIcon::kGear: return drawIcon(tile, [](QPainter& p) { letters(p, "N", 14); });
  case DispIcon::kLap: return drawIcon(tile, lapFlag);
  case DispIcon::kNone: break;
  }
  return QImage();
}

QIcon ListRowIcon(const QImage& icon, bool indent) {
  QPixmap row(kListIconWidth, 24);
  row.fill(Qt::transparent);
  if (!icon.isNull()) {
    QPainter p(&row);
    p.drawImage(indent ? kListIconIndent : 0, 0, icon);
  }
  return QIcon(row);
}
