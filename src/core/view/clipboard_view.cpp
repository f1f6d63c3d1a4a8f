#include "core/view/clipboard_view.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/load/document.h"
#include "core/view/view_controller.h"

namespace litho {

std::string clipboardViewString(const ViewState& v, int w, int h) {
  const auto& p = v.hiddenPadding;
  const auto& c = v.cuts;
  char buf[512];
  std::snprintf(buf, sizeof buf,
                "lithoscan3d %g %g %lg %i %i %i %i %i %i  %i %i %i %i %i %i %i %lg %lg  %i %i",
                static_cast<double>(v.rotationX), static_cast<double>(v.rotationZ), v.zoomAngle, p[0], p[1], p[2],
                p[3], p[4], p[5], c[0], c[1], c[2], c[3], c[4], c[5], v.selectedCutPlane, v.panX, v.panY, w, h);
  return buf;
}

std::optional<PastedView> pasteViewString(const std::string& text, ViewController& view) {
  char keyword[12] = {};
  if (std::sscanf(text.c_str(), "%11s", keyword) != 1 || std::strcmp(keyword, "lithoscan3d") != 0) return std::nullopt;
  float rx = 0, rz = 0;
  double zoom = 0, panX = 0, panY = 0;
  int p[6] = {}, c[6] = {}, selected = 0, w = 0, h = 0;
  const int n = std::sscanf(text.c_str(), "%11s %g %g %lg %i %i %i %i %i %i %i %i %i %i %i %i %i %lg %lg  %i %i",
                            keyword, &rx, &rz, &zoom, &p[0], &p[1], &p[2], &p[3], &p[4], &p[5], &c[0], &c[1], &c[2],
                            &c[3], &c[4], &c[5], &selected, &panX, &panY, &w, &h);
  if (n < 17 || n > 21) return std::nullopt;
  // "nan" and "inf" scan as numbers, but no view can be made of them.
  if (!std::isfinite(rx) || !std::isfinite(rz) || !std::isfinite(zoom)) return std::nullopt;
  if (n >= 19 && (!std::isfinite(panX) || !std::isfinite(panY))) return std::nullopt;

  ViewState& v = view.state;
  PastedView result;
  if (n == 21) {
    v.panX = panX;
    v.panY = panY;
    result.windowSize = std::make_pair(w, h);
  }
  v.rotationX = rx;
  v.rotationZ = rz;
  v.zoomAngle = zoom;
  // A plane number outside 1..6 means no selection.
  v.selectedCutPlane = selected >= kNoPlane && selected <= kBottom ? selected : kNoPlane;

  const RectMesh& mesh = view.doc().mesh();
  const int count[3] = {mesh.nx, mesh.ny, mesh.nz};
  auto fits = [](const int* pair, int limit) { return paddingFits(pair[0], pair[1], limit); };
  if (fits(p, count[0]) && fits(p + 2, count[1]) && fits(p + 4, count[2])) {
    for (int s = 0; s < 6; ++s) v.hiddenPadding[static_cast<std::size_t>(s)] = p[s];
    for (int a = 0; a < 3; ++a) v.visibleCount[static_cast<std::size_t>(a)] = count[a] - p[2 * a] - p[2 * a + 1];
  }
  view.resetViewExtents();
  if (fits(c, v.visibleCount[0]) && fits(c + 2, v.visibleCount[1]) && fits(c + 4, v.visibleCount[2]))
    for (int s = 0; s < 6; ++s) v.cuts[static_cast<std::size_t>(s)] = c[s];
  v.frame.rebuild();
  v.frame.redraw();
  return result;
}

}  // namespace litho
