#include "common/rfc_options.h"

namespace zmo {
namespace {

const char* OrDefault(const std::string& field, const char* fallback) {
  return field.empty() && fallback != nullptr ? fallback : field.c_str();
}

}  // namespace

void fillRfcOptions(const ServerLine& server, const char* password, const char* default_client,
                    const char* default_language, RfcServerOptions* out) {
  out->connection = {server.host.c_str(), server.sysnr, nullptr, nullptr};
  out->options = {};
  out->options.destination = server.sid.c_str();
  out->options.mode = RFC_MODE_R3ONLY;
  out->options.connopt = &out->connection;
  out->options.client = OrDefault(server.client, default_client);
  out->options.user = server.user.c_str();
  out->options.password = password != nullptr ? password : "";
  out->options.language = OrDefault(server.language, default_language);
  out->options.trace = 0;
}

}  // namespace zmo
