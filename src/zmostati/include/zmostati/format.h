// printf-style formatting into a std::string, for trace lines and the
// fixed-form texts (dates, times, loader arguments) that zmostati builds.
#pragma once

#include <string>

namespace zmo::stati {

std::string statiFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace zmo::stati
