#include "zmoconfig/record_codec.h"

namespace zmo::config {

namespace {

constexpr const char* kCrLf = "\r\n";

}  // namespace

std::string EncodeServerRecord(const ServerRow& row) {
  std::string record;
  for (int f = 0; f < zmo::kServerDataFields; ++f) {
    zmo::putRecordField(&record, zmo::kServerFields[f], row[f + 1]);
  }
  zmo::putRecordField(&record, zmo::kServerLineEnd, kCrLf);
  return record;
}

std::string EncodeIgnoreLine(zmo::IgnoreList list, const std::string& entry) {
  const zmo::IgnoreListLayout& layout = zmo::ignoreListLayout(list);
  std::string line;
  zmo::putRecordField(&line, layout.entry, entry);
  return line + kCrLf;
}

std::string EncodeAppGroupRecord(const std::string& name, const std::string& level) {
  std::string record;
  zmo::putRecordField(&record, zmo::kAppGroupName, name);
  zmo::putRecordField(&record, zmo::kAppGroupLevel, level);
  return record;
}

std::string EncodeTransGroupRecord(const std::string& name, const std::string& code) {
  std::string record;
  zmo::putRecordField(&record, zmo::kTransGroupName, name);
  zmo::putRecordField(&record, zmo::kTransGroupCode, code);
  return record;
}

}  // namespace zmo::config
