// The configurator's writers' half of the data files: one record or line as
// the bytes the file holds, every field cut or blank-padded to its width
// (layouts in common/data_files.h). Texts are Windows-1252 bytes.
#pragma once

#include <string>

#include "common/data_files.h"
#include "zmoconfig/config_state.h"

namespace zmo::config {

// A server record from fields 1-9 of row, then CR LF: 183 bytes.
std::string EncodeServerRecord(const ServerRow& row);

// One line of an exclusion list: the entry, then CR LF.
std::string EncodeIgnoreLine(zmo::IgnoreList list, const std::string& entry);

// An application-group record: name and the service level's four digits.
std::string EncodeAppGroupRecord(const std::string& name, const std::string& level);

// A membership record: group name and transaction code.
std::string EncodeTransGroupRecord(const std::string& name, const std::string& code);

}  // namespace zmo::config
