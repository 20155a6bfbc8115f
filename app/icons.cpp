#include "app/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quillet::app {
namespace {

const QColor kInk(0x2e, 0x5e, 0x3a);       // the program's green
const QColor kDisabledInk(0xa0, 0xa0, 0xa0);

QPixmap programPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  // The page.
  p.setPen(QPen(kInk.darker(130), 2));
  p.setBrush(QColor(0xf4, 0xf1, 0xe4));
  p.drawRoundedRect(QRectF(8, 4, 44, 56), 5, 5);
  // Ledger lines.
  p.setPen(QPen(QColor(0x8f, 0xa9, 0x95), 2));
  for (int y = 18; y <= 48; y += 10) p.drawLine(QPointF(15, y), QPointF(40, y));
  // The quill.
  QPainterPath quill;
  quill.moveTo(58, 6);
  quill.cubicTo(44, 10, 32, 26, 26, 46);
  quill.cubicTo(36, 36, 48, 24, 58, 6);
  p.setPen(QPen(kInk.darker(150), 1.5));
  p.setBrush(kInk);
  p.drawPath(quill);
  p.setPen(QPen(kInk.darker(150), 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(26, 46), QPointF(22, 56));
  return pixmap;
}

// One navigator picture on a 16 by 16 grid.
QPixmap navigatorPixmap(NavigatorPicture picture, int size, const QColor& ink) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 16.0, size / 16.0);
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  auto triangle = [&p](bool left, qreal x) {
    const QPointF tip(left ? x : x + 6, 8);
    const QPointF top(left ? x + 6 : x, 3);
    const QPointF bottom(left ? x + 6 : x, 13);
    const QPointF points[] = {tip, top, bottom};
    p.drawPolygon(points, 3);
  };
  switch (picture) {
    case NavigatorPicture::First:
      p.drawRect(QRectF(3, 3, 2, 10));
      triangle(true, 6);
      break;
    case NavigatorPicture::Prior:
      triangle(true, 5);
      break;
    case NavigatorPicture::Next:
      triangle(false, 5);
      break;
    case NavigatorPicture::Last:
      triangle(false, 4);
      p.drawRect(QRectF(11, 3, 2, 10));
      break;
    case NavigatorPicture::Refresh: {
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::FlatCap));
      p.drawArc(QRectF(3, 3, 10, 10), 100 * 16, 280 * 16);
      p.setPen(Qt::NoPen);
      p.setBrush(ink);
      const QPointF head[] = {QPointF(7.5, 0.5), QPointF(11.5, 3.2), QPointF(7.5, 6)};
      p.drawPolygon(head, 3);
      break;
    }
  }
  return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(programPixmap(size));
  return icon;
}

QIcon NavigatorIcon(NavigatorPicture picture) {
  QIcon icon;
  for (int size : {16, 24, 32}) {
    icon.addPixmap(navigatorPixmap(picture, size, kInk), QIcon::Normal);
    icon.addPixmap(navigatorPixmap(picture, size, kDisabledInk), QIcon::Disabled);
  }
  return icon;
}

}  // namespace quillet::app
