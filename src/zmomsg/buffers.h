// Bounded copies into the run's fixed buffers.
#pragma once

#include <cstddef>
#include <cstring>

namespace zmo::msg {

// Copies src into a buffer of size bytes, cut to size - 1 characters.
inline void msgCopyCut(char* dst, std::size_t size, const char* src) {
  std::size_t n = std::strlen(src);
  if (n > size - 1) n = size - 1;
  std::memcpy(dst, src, n);
  dst[n] = '\0';
}

}  // namespace zmo::msg
