#pragma once
// The windows the document itself opens while it loads: the start-up banner,
// the Load Model dialog, the Set Background dialog and the "Loading ..."
// progress window. The Qt layer implements them; tests script them.
#include <optional>
#include <string>

#include "core/store/rect_mesh.h"

namespace litho {

struct LoadDialogValues {
  bool octree = false;
  std::string meshPath;
  std::string modelPath;
  bool logModel = false;
  std::string secondModelPath;
  bool logSecondModel = false;
};

struct BackgroundChoice {
  float value = -4.0f;
  int topIndex = 0;  // cells above z = 0 per column ("set only cells below z=0"), else 0
};

class DocumentUi {
 public:
  virtual ~DocumentUi() = default;
  // Returns the driver choice (true: hardware).
  virtual bool runBanner(bool hardwareOpenGL) = 0;
  // False when the user cancelled.
  virtual bool runLoadModelDialog(LoadDialogValues& values) = 0;
  // Empty when the user cancelled.
  virtual std::optional<BackgroundChoice> runBackgroundDialog(const RectMesh& mesh, float initialValue) = 0;

  virtual void progressBegin(const std::string& title) = 0;
  virtual void progressShow(int percent) = 0;
  virtual void progressEnd() = 0;
};

}  // namespace litho
