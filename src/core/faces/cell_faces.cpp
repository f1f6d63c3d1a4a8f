#include "core/faces/cell_faces.h"

#include <new>

#include "core/faces/faces_reader.h"
#include "core/load/memory.h"
#include "core/platform/printable.h"

namespace litho {

void CellFacesOverlay::releaseArrays() {
  x.release();
  y.release();
  z.release();
}

void CellFacesOverlay::adoptMeshSize(int meshNx, int meshNy, int meshNz) {
  if (fitsMesh(meshNx, meshNy, meshNz)) return;
  releaseArrays();
  loaded = false;
  nx = meshNx;
  ny = meshNy;
  nz = meshNz;
}

void CellFacesOverlay::rebuildColourmap() {
  Colourmap m;
  m.kind = colourmapKind;
  m.reversed = colourmapReversed;
  buildColourmap(m);
  setColourmapAlpha(m, 1);
  colourmap = m;
}

int facesColourIndex(float w, float min, float max) {
  const float span = max - min;
  if (span == 0) return 0;
  const float index = (w - min) * 60 / span;
  if (!(index > 0)) return 0;  // NaN too
  if (index >= 60) return 60;
  return static_cast<int>(index);
}

bool loadCellFaces(CellFacesOverlay& o, Platform& platform) {
  o.loaded = false;
  if (o.path.empty()) {
    platform.message("Filename missing.", MessageKind::Warning);
    return false;
  }
  if (o.nx < 1 || o.ny < 1 || o.nz < 1) return false;  // no mesh adopted
  const WaitCursor wait(platform);
  LineSource::Buffers buffers;
  LineSource in(o.path, buffers);
  if (!in.isOpen()) {
    const std::string why = in.problem().empty() ? std::string() : in.problem() + "\n";
    platform.message(why + "Could not open\n" + printable(o.path), MessageKind::Warning);
    return false;
  }
  auto fail = [&](const std::string& text) {
    o.releaseArrays();
    platform.message(text, MessageKind::Error);
    return false;
  };
  const long long remaining = in.remainingBytes();
  if (remaining >= 0 && remaining < minimumFacesBytes(o.nx, o.ny, o.nz))
    return fail(facesReadError(o.path) + "\nThe file is too short for a mesh of " + std::to_string(o.nx) + " x " +
                std::to_string(o.ny) + " x " + std::to_string(o.nz) + " cells: it needs " +
                std::to_string(facesFileLines(o.nx, o.ny, o.nz)) + " lines.");
  if (!o.arraysPresent()) {
    const unsigned long long cells = bytesOf(o.nx, o.ny, o.nz);
    if (const auto why = memoryShortfall(bytesOf(3, cells, sizeof(float))))
      return fail("Not enough memory to read the faces file: " + *why + ".\n" + printable(o.path));
    try {
      o.x.allocate(o.nx - 1, o.ny, o.nz);
      o.y.allocate(o.nx, o.ny - 1, o.nz);
      o.z.allocate(o.nx, o.ny, o.nz - 1);
    } catch (const std::bad_alloc&) {
      return fail("Not enough memory to read the faces file\n" + printable(o.path));
    }
  }
  FacesReadSettings settings;
  settings.nx = o.nx;
  settings.ny = o.ny;
  settings.nz = o.nz;
  FacesRange range;
  if (!readFacesFile(in, o.path, settings, o.x, o.y, o.z, range, platform)) {
    o.releaseArrays();
    return false;
  }
  o.dataMin = o.colourMin = range.min;
  o.dataMax = o.colourMax = range.max;
  if (!o.colourmap) o.rebuildColourmap();
  o.loaded = true;
  return true;
}

}  // namespace litho
