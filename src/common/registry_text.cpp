#include "common/registry_text.h"

#include <cstdint>
#include <cstring>

namespace zmo {

LONG QueryRegistryBytes(HKEY key, const char* name, std::string* bytes) {
  for (int attempt = 0; attempt < kRegistryReadAttempts; ++attempt) {
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size);
    if (rc != ERROR_SUCCESS) return rc;
    // One spare byte, so that a size of 0 still has a buffer.
    std::string data(static_cast<size_t>(size) + 1, '\0');
    DWORD got = size;
    rc = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &got);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS) return rc;
    data.resize(got > size ? size : got);
    *bytes = std::move(data);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

LONG ReadRegistryText(HKEY key, const char* name, std::string* out) {
  std::string bytes;
  const LONG rc = QueryRegistryBytes(key, name, &bytes);
  if (rc == ERROR_SUCCESS) out->assign(bytes.c_str());
  return rc;
}

LONG WriteRegistryValue(HKEY key, const char* name, DWORD type, std::string_view bytes) {
  if (bytes.size() > UINT32_MAX) return ERROR_INVALID_PARAMETER;
  return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(bytes.size()));
}

LONG WriteRegistryText(HKEY key, const char* name, const char* text, DWORD type) {
  return WriteRegistryValue(key, name, type, std::string_view(text, std::strlen(text) + 1));
}

}  // namespace zmo
