// The data source that names a PostgreSQL warehouse, and the names that may
// go into SQL unquoted.
#include <cctype>
#include <string>

#include "warehouse.h"

namespace zmo::dbtools {

bool IsWarehouseSource(const std::string& source) { return source.rfind(kWarehousePrefix, 0) == 0; }

int ParseWarehouseSource(const std::string& source, WarehouseSource* out, std::string* why) {
  const char* form = "a warehouse data source is pg:<socket directory>:<port>:<database>";
  if (!IsWarehouseSource(source)) {
    *why = form;
    return -1;
  }
  std::string rest = source.substr(std::string(kWarehousePrefix).size());
  size_t db_colon = rest.rfind(':');
  if (db_colon == std::string::npos || db_colon == 0) {
    *why = form;
    return -1;
  }
  size_t port_colon = rest.rfind(':', db_colon - 1);
  if (port_colon == std::string::npos) {
    *why = form;
    return -1;
  }
  out->socket_dir = rest.substr(0, port_colon);
  out->port = rest.substr(port_colon + 1, db_colon - port_colon - 1);
  out->database = rest.substr(db_colon + 1);
  if (out->database.empty()) {
    *why = std::string(form) + " (the database is missing)";
    return -1;
  }
  if (!out->port.empty() && (!AllDigits(out->port) || out->port.size() > 5)) {
    *why = "the port of a warehouse data source is a number, not " + out->port;
    return -1;
  }
  return 0;
}

bool PlainSqlName(const std::string& name) {
  if (name.empty() || name.size() > 63) return false;
  auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; };
  if (!letter(name[0])) return false;
  for (char c : name) {
    if (!letter(c) && !std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

}  // namespace zmo::dbtools
