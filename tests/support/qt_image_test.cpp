#include "support/qt_image_test.h"

#include <QDir>
#include <cstdlib>

namespace litho::test {

ImageCheck compareWithBaseline(const QImage& actualIn, const std::string& name, int tolerance, double maxFraction) {
  const QImage actual = actualIn.convertToFormat(QImage::Format_RGB32);
  const QString baselinePath = QString(LITHO_SOURCE_DIR) + "/tests/baselines/" + QString::fromStdString(name) + ".png";
  const QString outDir = QString(LITHO_BINARY_DIR) + "/Testing/Temporary";
  QDir().mkpath(outDir);
  const QString actualPath = outDir + "/" + QString::fromStdString(name) + ".png";
  const char* update = std::getenv("LITHO_UPDATE_BASELINES");
  if (update && std::string(update) == "1") {
    QDir().mkpath(QString(LITHO_SOURCE_DIR) + "/tests/baselines");
    actual.save(baselinePath);
    return {true, "baseline written"};
  }
  QImage baseline(baselinePath);
  if (baseline.isNull()) {
    actual.save(actualPath);
    return {false, "no baseline " + baselinePath.toStdString() + "; the render is in " + actualPath.toStdString() +
                       " (LITHO_UPDATE_BASELINES=1 accepts it)"};
  }
  baseline = baseline.convertToFormat(QImage::Format_RGB32);
  if (baseline.size() != actual.size()) {
    actual.save(actualPath);
    return {false, "size differs from the baseline; render in " + actualPath.toStdString()};
  }
  QImage diff(actual.size(), QImage::Format_RGB32);
  long long differing = 0;
  for (int y = 0; y < actual.height(); ++y) {
    const QRgb* a = reinterpret_cast<const QRgb*>(actual.constScanLine(y));
    const QRgb* b = reinterpret_cast<const QRgb*>(baseline.constScanLine(y));
    QRgb* d = reinterpret_cast<QRgb*>(diff.scanLine(y));
    for (int x = 0; x < actual.width(); ++x) {
      const int dr = std::abs(qRed(a[x]) - qRed(b[x]));
      const int dg = std::abs(qGreen(a[x]) - qGreen(b[x]));
      const int db = std::abs(qBlue(a[x]) - qBlue(b[x]));
      const bool off = dr > tolerance || dg > tolerance || db > tolerance;
      differing += off;
      d[x] = off ? qRgb(255, 0, 0) : qRgb(qGray(b[x]) / 3, qGray(b[x]) / 3, qGray(b[x]) / 3);
    }
  }
  const double fraction = static_cast<double>(differing) / (static_cast<double>(actual.width()) * actual.height());
  if (fraction <= maxFraction) return {true, {}};
  actual.save(actualPath);
  const QString diffPath = outDir + "/" + QString::fromStdString(name) + ".diff.png";
  diff.save(diffPath);
  return {false, std::to_string(differing) + " pixels differ (" + std::to_string(fraction * 100) + "%); render " +
                     actualPath.toStdString() + ", differences " + diffPath.toStdString()};
}

int countPixels(const QImage& img, QRgb colour) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == colour;
  return n;
}

}  // namespace litho::test
