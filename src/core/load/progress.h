#pragma once
#include <string>

#include "core/load/document_ui.h"

namespace litho {

// One "Loading ..." window for the length of a read. The window is repainted
// only when the whole percentage changes; the last percentage shown is shared
// by every progress window of the process.
class ProgressReporter {
 public:
  ProgressReporter(DocumentUi& ui, const std::string& path);
  // A window with its own title instead of "Loading " + path.
  struct Titled {
    std::string title;
  };
  ProgressReporter(DocumentUi& ui, const Titled& title);
  ~ProgressReporter();
  ProgressReporter(const ProgressReporter&) = delete;
  ProgressReporter& operator=(const ProgressReporter&) = delete;

  void setTotal(double total) { total_ = total; }
  void report(double count);

  static int lastPercent;

 private:
  DocumentUi& ui_;
  double total_ = 1;
};

}  // namespace litho
