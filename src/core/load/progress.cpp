#include "core/load/progress.h"

#include "core/io/rounding.h"
#include "core/platform/printable.h"

namespace litho {

int ProgressReporter::lastPercent = 0;

ProgressReporter::ProgressReporter(DocumentUi& ui, const std::string& path) : ui_(ui) {
  ui_.progressBegin("Loading " + printable(path));
}

ProgressReporter::ProgressReporter(DocumentUi& ui, const Titled& title) : ui_(ui) { ui_.progressBegin(title.title); }

ProgressReporter::~ProgressReporter() { ui_.progressEnd(); }

void ProgressReporter::report(double count) {
  const int p = total_ > 0 ? roundToInt(count / total_ * 100.0) : 100;
  if (p == lastPercent) return;
  lastPercent = p;
  ui_.progressShow(p);
}

}  // namespace litho
