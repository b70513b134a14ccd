// The program that shows a log file: the one named by ZMO_VIEWER, else
// xdg-open. It is started with an argument vector, the path one argument of
// its own, never through a shell, so no character of a path is special.
#pragma once

#include <string>
#include <vector>

namespace zmo::config {

constexpr const char* kViewerVariable = "ZMO_VIEWER";
constexpr const char* kDefaultViewer = "xdg-open";

// The viewer's argument vector for path.
std::vector<std::string> ViewerCommand(const std::string& path);

}  // namespace zmo::config
