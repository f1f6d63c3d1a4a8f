#pragma once
#include <string>

namespace litho {

// One observation data set; its contents arrive with the data overlay.
struct DataSet {
  std::string path;
};

}  // namespace litho
