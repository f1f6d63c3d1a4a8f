#pragma once
#include <QImage>
#include <QWidget>
#include <optional>

#include "core/data/data_set.h"

namespace quendelplot {

// The stations of a data set on a map: a colour surface over the
// triangulation when there is one, coloured points otherwise, with axes in
// map coordinates and a colourbar.
class DataMap : public QWidget {
  Q_OBJECT
 public:
  explicit DataMap(litho::DataSet set, QWidget* parent = nullptr);
  // The value at a map position: interpolated on the surface, else the nearest station's.
  std::optional<double> valueAt(double x, double y) const;
  QPointF toMap(QPointF pixel) const;
  QPointF toPixel(double x, double y) const;
  const litho::DataSet& dataSet() const { return set_; }

 signals:
  void pointed(const QString& text);

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void layoutMap();
  void renderSurface();
  QColor colourOf(double value) const;

  litho::DataSet set_;
  std::vector<double> values_;  // per triangulation node
  double minX_ = 0, maxX_ = 1, minY_ = 0, maxY_ = 1;
  QRectF plot_;  // pixels of the map area
  double scale_ = 1;
  QImage surface_;
  mutable int startNode_ = 1;
};

}  // namespace quendelplot
