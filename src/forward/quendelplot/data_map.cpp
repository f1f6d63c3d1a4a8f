#include "forward/quendelplot/data_map.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/forward/plot_axes.h"

namespace quendelplot {

using litho::forward::axisTicks;
using litho::forward::tickLabel;
using litho::forward::tickStep;

namespace {
constexpr int kLeft = 90, kBottom = 50, kTop = 20, kRight = 120;
}

DataMap::DataMap(litho::DataSet set, QWidget* parent) : QWidget(parent), set_(std::move(set)) {
  setMouseTracking(true);
  setMinimumSize(400, 300);
  minX_ = minY_ = std::numeric_limits<double>::max();
  maxX_ = maxY_ = std::numeric_limits<double>::lowest();
  for (const auto& p : set_.points) {
    minX_ = std::min(minX_, p.x);
    maxX_ = std::max(maxX_, p.x);
    minY_ = std::min(minY_, p.y);
    maxY_ = std::max(maxY_, p.y);
  }
  if (set_.points.empty()) minX_ = minY_ = 0, maxX_ = maxY_ = 1;
  const double pad = std::max({maxX_ - minX_, maxY_ - minY_, 1e-9}) * 0.02;
  minX_ -= pad, maxX_ += pad, minY_ -= pad, maxY_ += pad;
  if (set_.surface.triangulated())
    for (int n = 1; n <= set_.surface.nodeCount(); ++n) values_.push_back(set_.points[n - 1].value);
}

QColor DataMap::colourOf(double value) const {
  const litho::Rgba c = litho::dataPointColour(set_, value);
  return QColor::fromRgbF(c[0], c[1], c[2]);
}

void DataMap::layoutMap() {
  const double w = std::max(10, width() - kLeft - kRight), h = std::max(10, height() - kTop - kBottom);
  scale_ = std::min(w / (maxX_ - minX_), h / (maxY_ - minY_));
  const double pw = scale_ * (maxX_ - minX_), ph = scale_ * (maxY_ - minY_);
  plot_ = QRectF(kLeft + (w - pw) / 2, kTop + (h - ph) / 2, pw, ph);
}

QPointF DataMap::toPixel(double x, double y) const {
  return {plot_.left() + (x - minX_) * scale_, plot_.bottom() - (y - minY_) * scale_};
}

QPointF DataMap::toMap(QPointF p) const {
  return {minX_ + (p.x() - plot_.left()) / scale_, minY_ + (plot_.bottom() - p.y()) / scale_};
}

std::optional<double> DataMap::valueAt(double x, double y) const {
  if (set_.points.empty()) return std::nullopt;
  if (!values_.empty()) {
    const auto r = set_.surface.interpolateLinear(x, y, values_, startNode_);
    if (r.status == litho::PlanarTriangulation::kInside) return r.value;
    return std::nullopt;
  }
  const auto nearest = std::min_element(set_.points.begin(), set_.points.end(), [&](const auto& a, const auto& b) {
    return std::hypot(a.x - x, a.y - y) < std::hypot(b.x - x, b.y - y);
  });
  return nearest->value;
}

void DataMap::renderSurface() {
  surface_ = QImage(static_cast<int>(std::ceil(plot_.width())), static_cast<int>(std::ceil(plot_.height())),
                    QImage::Format_ARGB32);
  surface_.fill(Qt::transparent);
  if (values_.empty()) return;
  for (int row = 0; row < surface_.height(); ++row) {
    auto* line = reinterpret_cast<QRgb*>(surface_.scanLine(row));
    for (int col = 0; col < surface_.width(); ++col) {
      const QPointF m = toMap(QPointF(plot_.left() + col + 0.5, plot_.top() + row + 0.5));
      const auto r = set_.surface.interpolateLinear(m.x(), m.y(), values_, startNode_);
      if (r.status == litho::PlanarTriangulation::kInside) line[col] = colourOf(r.value).rgba();
    }
  }
}

void DataMap::resizeEvent(QResizeEvent*) {
  layoutMap();
  renderSurface();
}

void DataMap::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  p.drawImage(plot_.topLeft(), surface_);
  const bool surface = !values_.empty();
  p.setRenderHint(QPainter::Antialiasing);
  for (const auto& s : set_.points) {
    const QPointF c = toPixel(s.x, s.y);
    if (surface) {
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::black);
      p.drawEllipse(c, 1.2, 1.2);
    } else {
      p.setPen(QPen(Qt::black, 0.5));
      p.setBrush(colourOf(s.value));
      p.drawEllipse(c, 4, 4);
    }
  }
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(Qt::black);
  p.setBrush(Qt::NoBrush);
  p.drawRect(plot_);
  const QFontMetrics fm(font());
  const double xStep = tickStep(minX_, maxX_, std::max(2, static_cast<int>(plot_.width() / 110)));
  for (double x : axisTicks(minX_, maxX_, std::max(2, static_cast<int>(plot_.width() / 110)))) {
    const double px = toPixel(x, minY_).x();
    p.drawLine(QPointF(px, plot_.bottom()), QPointF(px, plot_.bottom() + 5));
    const QString label = QString::fromStdString(tickLabel(x, xStep));
    p.drawText(QPointF(px - fm.horizontalAdvance(label) / 2.0, plot_.bottom() + 6 + fm.ascent()), label);
  }
  const double yStep = tickStep(minY_, maxY_, std::max(2, static_cast<int>(plot_.height() / 60)));
  for (double y : axisTicks(minY_, maxY_, std::max(2, static_cast<int>(plot_.height() / 60)))) {
    const double py = toPixel(minX_, y).y();
    p.drawLine(QPointF(plot_.left() - 5, py), QPointF(plot_.left(), py));
    const QString label = QString::fromStdString(tickLabel(y, yStep));
    p.drawText(QPointF(plot_.left() - 8 - fm.horizontalAdvance(label), py + fm.ascent() / 2.0 - 1), label);
  }
  p.drawText(QPointF(plot_.center().x() - fm.horizontalAdvance("Easting") / 2.0, height() - 8), "Easting");
  p.save();
  p.translate(14, plot_.center().y() + fm.horizontalAdvance("Northing") / 2.0);
  p.rotate(-90);
  p.drawText(0, 0, "Northing");
  p.restore();

  // Colourbar: the 61 entries, lowest at the bottom.
  const double lo = set_.rangeMin, hi = set_.rangeMax;
  const QRectF bar(width() - kRight + 25, plot_.top(), 20, plot_.height());
  const int entries = litho::kColourmapEntries;
  for (int e = 0; e < entries; ++e) {
    const auto c = set_.colourmap.entries[static_cast<std::size_t>(e)];
    const double top = bar.bottom() - bar.height() * (e + 1) / entries;
    p.fillRect(QRectF(bar.left(), top, bar.width(), bar.height() / entries + 1), QColor::fromRgbF(c[0], c[1], c[2]));
  }
  p.drawRect(bar);
  if (hi > lo) {
    const double vStep = tickStep(lo, hi, 6);
    for (double v : axisTicks(lo, hi, 6)) {
      const double py = bar.bottom() - (v - lo) / (hi - lo) * bar.height();
      p.drawLine(QPointF(bar.right(), py), QPointF(bar.right() + 4, py));
      p.drawText(QPointF(bar.right() + 6, py + fm.ascent() / 2.0 - 1), QString::fromStdString(tickLabel(v, vStep)));
    }
  }
}

void DataMap::mouseMoveEvent(QMouseEvent* event) {
  const QPointF m = toMap(event->position());
  if (!plot_.contains(event->position())) {
    emit pointed(QString());
    return;
  }
  const auto v = valueAt(m.x(), m.y());
  const double step = tickStep(minX_, maxX_, 1000);
  QString text = QString("x %1  y %2").arg(QString::fromStdString(tickLabel(m.x(), step)),
                                           QString::fromStdString(tickLabel(m.y(), step)));
  if (v) text += QString("  value %1").arg(*v, 0, 'g', 6);
  emit pointed(text);
}

}  // namespace quendelplot
