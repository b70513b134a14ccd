#include "artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "catalog_text.h"
#include "localize.h"

namespace zmo::config {

namespace {

const QColor kFieldTop(16, 42, 74);
const QColor kFieldBottom(6, 18, 36);
const QColor kBar(64, 170, 190);
const QColor kLine(250, 180, 60);
const QColor kGrid(255, 255, 255, 40);

void FillField(QPainter& p, const QRect& r) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, kFieldTop);
  g.setColorAt(1, kFieldBottom);
  p.fillRect(r, g);
}

// Bars of a response-time chart with a trend line over them, in box.
void DrawChart(QPainter& p, const QRectF& box) {
  static const double kHeights[] = {0.35, 0.55, 0.45, 0.7, 0.6, 0.85, 0.75, 0.95};
  constexpr int kBars = sizeof kHeights / sizeof kHeights[0];
  p.save();
  p.setPen(QPen(kGrid, 1));
  for (int i = 0; i <= 4; ++i) {
    const double y = box.top() + box.height() * i / 4;
    p.drawLine(QPointF(box.left(), y), QPointF(box.right(), y));
  }
  const double slot = box.width() / kBars;
  QPainterPath trend;
  for (int i = 0; i < kBars; ++i) {
    const double h = box.height() * kHeights[i];
    const QRectF bar(box.left() + i * slot + slot * 0.18, box.bottom() - h, slot * 0.64, h);
    QLinearGradient g(bar.topLeft(), bar.bottomLeft());
    g.setColorAt(0, kBar.lighter(130));
    g.setColorAt(1, kBar.darker(160));
    p.fillRect(bar, g);
    const QPointF top(bar.center().x(), bar.top() - box.height() * 0.06);
    if (i == 0) {
      trend.moveTo(top);
    } else {
      trend.lineTo(top);
    }
  }
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(kLine, qMax(2.0, box.width() / 120), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(trend);
  p.setBrush(kLine);
  const QPointF end = trend.currentPosition();
  const double r = qMax(3.0, box.width() / 70);
  p.drawEllipse(end, r, r);
  p.restore();
}

QFont ArtFont(int pixel_size, bool bold) {
  QFont f(kDialogFontFamily);
  f.setPixelSize(pixel_size);
  f.setBold(bold);
  return f;
}

// The field, the chart between the side margins from chart_top down, and
// the rule under it at rule_y; the pen is left white for the texts below.
void DrawBase(QPainter& p, const QSize& size, int margin, int chart_top, int chart_height,
              int rule_y) {
  FillField(p, QRect(QPoint(0, 0), size));
  DrawChart(p, QRectF(margin, chart_top, size.width() - 2 * margin, chart_height));
  p.setPen(QPen(kLine, 2));
  p.drawLine(margin, rule_y, size.width() - margin, rule_y);
  p.setPen(Qt::white);
}

}  // namespace

QPixmap SplashArt() {
  QPixmap pm(kSplashWidth, kSplashHeight);
  QPainter p(&pm);
  const QRect all(0, 0, kSplashWidth, kSplashHeight);
  DrawBase(p, all.size(), 40, 40, 190, 258);
  p.setFont(ArtFont(22, true));
  p.drawText(QRect(40, 268, kSplashWidth - 80, 70), Qt::AlignLeft | Qt::TextWordWrap,
             CatalogText(kTextMainTitle));
  p.setPen(QColor(200, 210, 225));
  p.setFont(ArtFont(12, false));
  p.drawText(QRect(40, kSplashHeight - 40, kSplashWidth - 80, 24), Qt::AlignLeft | Qt::AlignVCenter,
             CatalogText(kTextNotice));
  p.setPen(QPen(QColor(255, 255, 255, 90), 1));
  p.drawRect(all.adjusted(0, 0, -1, -1));
  return pm;
}

QPixmap AboutArt() {
  QPixmap pm(kAboutWidth, kAboutHeight);
  QPainter p(&pm);
  DrawBase(p, QSize(kAboutWidth, kAboutHeight), 16, 24, 110, 150);
  p.setFont(ArtFont(16, true));
  p.drawText(QRect(8, 156, kAboutWidth - 16, 36), Qt::AlignCenter, QStringLiteral("zmo"));
  return pm;
}

QPixmap LogoArt() {
  QPixmap pm(kLogoSize, kLogoSize);
  QPainter p(&pm);
  FillField(p, QRect(0, 0, kLogoSize, kLogoSize));
  DrawChart(p, QRectF(5, 8, kLogoSize - 10, kLogoSize - 14));
  return pm;
}

namespace {

const QColor kFolder(226, 180, 70);
const QColor kOutline(70, 70, 80);

// A folder: closed is a flat front, open shows its front tilted forward.
void DrawFolder(QPainter& p, bool open) {
  p.setPen(QPen(kOutline, 1));
  p.setBrush(kFolder.darker(115));
  p.drawRect(QRectF(1.5, 3.5, 12, 10));
  p.drawRect(QRectF(1.5, 2.5, 5, 2));
  p.setBrush(kFolder);
  if (open) {
    const QPointF front[] = {{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}};
    p.drawPolygon(front, 4);
  } else {
    p.drawRect(QRectF(1.5, 5.5, 12, 8));
  }
}

// A small upright box with a bright front panel and a status light.
void DrawServer(QPainter& p) {
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor(150, 160, 175));
  p.drawRect(QRectF(4.5, 1.5, 7, 13));
  p.setPen(QPen(QColor(60, 70, 90), 1));
  for (double y : {4.5, 6.5, 8.5}) p.drawLine(QPointF(6, y), QPointF(10, y));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(60, 200, 90));
  p.drawEllipse(QPointF(8, 12), 1.2, 1.2);
}

// A database drum.
void DrawData(QPainter& p) {
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor(90, 140, 210));
  p.drawRect(QRectF(2.5, 4, 11, 9));
  p.drawEllipse(QRectF(2.5, 10.5, 11, 4));
  p.setPen(Qt::NoPen);
  p.drawRect(QRectF(3, 5, 10, 8));
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor(150, 190, 240));
  p.drawEllipse(QRectF(2.5, 1.5, 11, 4));
}

// A window with a title bar: the applications image.
void DrawApps(QPainter& p) {
  p.setPen(QPen(kOutline, 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(1.5, 2.5, 13, 11));
  p.setBrush(QColor(40, 90, 170));
  p.drawRect(QRectF(1.5, 2.5, 13, 3));
}

// A sheet with lines: the log and group image.
void DrawSheet(QPainter& p, const QColor& lines) {
  p.setPen(QPen(kOutline, 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(3.5, 1.5, 9, 13));
  p.setPen(QPen(lines, 1));
  for (double y : {4.5, 6.5, 8.5, 10.5, 12.5}) p.drawLine(QPointF(5, y), QPointF(11, y));
}

// A badge with a head: the user-id image.
void DrawId(QPainter& p) {
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor(240, 230, 200));
  p.drawRect(QRectF(1.5, 3.5, 13, 10));
  p.setBrush(QColor(120, 90, 60));
  p.drawEllipse(QPointF(5.5, 7.5), 1.8, 1.8);
  p.drawLine(QPointF(9, 6.5), QPointF(13, 6.5));
  p.drawLine(QPointF(9, 9.5), QPointF(13, 9.5));
  p.drawArc(QRectF(3, 9.5, 5, 4), 0, 180 * 16);
}

// A clock face: the collection schedule image.
void DrawClock(QPainter& p) {
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor(250, 250, 235));
  p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
  p.setPen(QPen(QColor(30, 30, 30), 1.4));
  p.drawLine(QPointF(8, 8), QPointF(8, 3.5));
  p.drawLine(QPointF(8, 8), QPointF(11.5, 9.5));
}

// A gauge with its needle: the service-level image.
void DrawGauge(QPainter& p) {
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor(100, 190, 110));
  p.drawPie(QRectF(1.5, 3.5, 13, 13), 0, 180 * 16);
  p.setPen(QPen(QColor(200, 40, 40), 1.5));
  p.drawLine(QPointF(8, 10), QPointF(12, 5));
}

// A lightning flash: the special-run image.
void DrawFlash(QPainter& p) {
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor(250, 200, 40));
  const QPointF bolt[] = {{9.5, 1}, {3.5, 9}, {7.5, 9}, {5.5, 15}, {12.5, 6}, {8.5, 6}};
  p.drawPolygon(bolt, 6);
}

}  // namespace

QPixmap TreeImage(int index) {
  QPixmap pm(kTreeImageSize, kTreeImageSize);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, true);
  switch (index) {
    case 1:
      DrawServer(p);
      break;
    case 2:
      DrawClock(p);
      break;
    case 3:
      DrawApps(p);
      break;
    case 4:
      DrawSheet(p, QColor(120, 120, 130));
      break;
    case 5:
      DrawFolder(p, false);
      break;
    case 6:
      DrawData(p);
      break;
    case 7:
      DrawId(p);
      break;
    case 8:
      DrawFolder(p, true);
      break;
    case 9:
      DrawGauge(p);
      break;
    case 10:
      DrawFlash(p);
      break;
    case 11:
      DrawSheet(p, QColor(40, 90, 170));
      break;
    default:
      break;
  }
  return pm;
}

}  // namespace zmo::config
