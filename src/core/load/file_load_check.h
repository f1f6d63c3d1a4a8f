#pragma once
#include <functional>
#include <optional>
#include <string>

#include "core/load/document_ui.h"

namespace litho {

// Fields of the Load Model dialog that a failed check puts the focus into.
enum FileLoadField { kMeshEdit = 1006, kModelEdit = 1008, kSecondModelEdit = 1011 };

struct FileLoadProblem {
  std::string message;
  int field = kMeshEdit;
};

// The Load Model dialog's OK check, in its order.
std::optional<FileLoadProblem> validateFileLoad(const LoadDialogValues& values,
                                                const std::function<bool(const std::string&)>& exists);

}  // namespace litho
