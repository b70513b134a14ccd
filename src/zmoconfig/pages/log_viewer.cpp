#include "log_viewer.h"

#include <cstdlib>

namespace zmo::config {

std::vector<std::string> ViewerCommand(const std::string& path) {
  const char* viewer = std::getenv(kViewerVariable);
  return {viewer && *viewer ? viewer : kDefaultViewer, path};
}

}  // namespace zmo::config
