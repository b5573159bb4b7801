#include "HcImageCache.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

namespace {

// Images are drawn with y growing upwards, as the outlines are given.
QImage DrawOutline(const QPolygonF& outline, QSize size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(0, size.height());
  painter.scale(1, -1);
  QPainterPath path;
  path.addPolygon(outline);
  path.closeSubpath();
  painter.fillPath(path, QColor::fromRgbF(0.5f, 1.0f, 0.5f, 0.5f));
  painter.setPen(QPen(Qt::black, 1.0));
  painter.drawPath(path);
  return image;
}

QImage MakePlayhead(int height) {
  const double h = height;
  const QPolygonF outline({{5.5, 0.5}, {5.5, h - 5.5}, {0.5, h - 0.5}, {10.5, h - 0.5}, {5.5, h - 5.5}});
  // The path's bounds made integral: 11 wide, h high.
  return DrawOutline(outline, QSize(11, std::max(1, height)));
}

std::mutex gCacheLock;

}  // namespace

const QImage& HcImageCache::playheadImageOfHeight(int height) {
  static std::map<int, std::unique_ptr<QImage>> cache;
  std::lock_guard lock(gCacheLock);
  auto& slot = cache[height];
  if (!slot) slot = std::make_unique<QImage>(MakePlayhead(height));
  return *slot;
}

const QImage& HcImageCache::inPointMarker() {
  static const QImage image = DrawOutline(
      QPolygonF({{7.5, 0.5}, {7.5, 7.5}, {0.5, 0.5}, {0.5, 14.5}, {7.5, 7.5}, {7.5, 14.5}}), QSize(8, 15));
  return image;
}

const QImage& HcImageCache::outPointMarker() {
  static const QImage image = DrawOutline(
      QPolygonF({{0.5, 0.5}, {0.5, 7.5}, {7.5, 0.5}, {7.5, 14.5}, {0.5, 7.5}, {0.5, 14.5}}), QSize(8, 15));
  return image;
}
