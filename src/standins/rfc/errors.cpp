// The last error and the error handler.
#include <cstdio>
#include <cstring>

#include "state.h"

namespace zmo::rfc {

void SetError(RfcLibState& st, int group, const std::string& key, const std::string& status,
              const std::string& message) {
  st.has_error = true;
  st.last_error = {group, key, status, message};
}

namespace {

void CopyCut(char* dst, size_t size, const std::string& src) {
  std::snprintf(dst, size, "%s", src.c_str());
}

}  // namespace
}  // namespace zmo::rfc

using zmo::rfc::State;

extern "C" void RfcEnvironment(RFC_ENV* env) {
  auto& st = State();
  std::lock_guard<std::mutex> lock(st.mu);
  st.handler = env == nullptr ? nullptr : env->errorhandler;
}

extern "C" int RfcLastError(RFC_ERROR_INFO* info) {
  if (info == nullptr) return 1;
  auto& st = State();
  std::lock_guard<std::mutex> lock(st.mu);
  std::memset(info, 0, sizeof *info);
  if (!st.has_error) return 1;
  zmo::rfc::CopyCut(info->key, sizeof info->key, st.last_error.key);
  zmo::rfc::CopyCut(info->status, sizeof info->status, st.last_error.status);
  zmo::rfc::CopyCut(info->message, sizeof info->message, st.last_error.message);
  zmo::rfc::CopyCut(info->intstat, sizeof info->intstat, "simulated system");
  return 0;
}

extern "C" int RfcLastErrorEx(RFC_ERROR_INFO_EX* info) {
  if (info == nullptr) return 1;
  auto& st = State();
  std::lock_guard<std::mutex> lock(st.mu);
  std::memset(info, 0, sizeof *info);
  if (!st.has_error) return 1;
  info->group = st.last_error.group;
  zmo::rfc::CopyCut(info->key, sizeof info->key, st.last_error.key);
  zmo::rfc::CopyCut(info->message, sizeof info->message, st.last_error.message);
  return 0;
}
