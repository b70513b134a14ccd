#include "artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "catalog_text.h"
#include "localize.h"

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
  p.setPen(QPen(kLine, qMax(2.0, box.width() / 120), Qt::SolidLine, Qt::RoundCap,
                Qt::RoundJoin));
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
