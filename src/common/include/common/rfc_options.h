// The RFC connection options of one application server, as both collectors
// open their connections: destination = SID, mode R3ONLY with host and
// system number and no gateway, client, user, clear password, language.
#pragma once

#include "common/server_file.h"
#include "rfc/saprfc.h"

namespace zmo {

// The options and the connection record they point to. The texts are those
// of the server line and the password given to fillRfcOptions, which must
// outlive the options. Not copied: options.connopt points at connection.
struct RfcServerOptions {
  RfcServerOptions() = default;
  RfcServerOptions(const RfcServerOptions&) = delete;
  RfcServerOptions& operator=(const RfcServerOptions&) = delete;

  RFC_CONNOPT_R3ONLY connection{};
  RFC_OPTIONS options{};
};

// Fills *out for server with the clear password (nullptr: none). An empty
// client or language field takes default_client or default_language; with
// a nullptr default it stays empty (the system's own default then applies).
void fillRfcOptions(const ServerLine& server, const char* password, const char* default_client,
                    const char* default_language, RfcServerOptions* out);

}  // namespace zmo
