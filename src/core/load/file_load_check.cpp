#include "core/load/file_load_check.h"

namespace litho {

std::optional<FileLoadProblem> validateFileLoad(const LoadDialogValues& v,
                                                const std::function<bool(const std::string&)>& exists) {
  if (v.meshPath.empty()) return FileLoadProblem{"Mesh file is needed.", kMeshEdit};
  if (!exists(v.meshPath)) return FileLoadProblem{"mesh file:\n" + v.meshPath + "\nnot found.", kMeshEdit};
  if (!v.modelPath.empty() && !exists(v.modelPath))
    return FileLoadProblem{"model file:\n" + v.modelPath + "\nnot found.", kModelEdit};
  if (!v.secondModelPath.empty() && !exists(v.secondModelPath))
    return FileLoadProblem{"model file:\n" + v.secondModelPath + "\nnot found.", kSecondModelEdit};
  return std::nullopt;
}

}  // namespace litho
