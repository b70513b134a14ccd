// The text format of the simulated systems' files: sections "[name]" or
// "[name argument]" holding "key = value" lines; '#' or ';' starts a comment
// line; a value in double quotes keeps its blanks. Every error names the
// file and the line.
#pragma once

#include <string>
#include <vector>

namespace zmo::rfc {

struct ConfEntry {
  std::string key;    // as written
  std::string value;  // trimmed, quotes removed
  int line = 0;
};

struct ConfSection {
  std::string name;  // lower-cased
  std::string arg;   // as written, "" when none
  int line = 0;
  std::vector<ConfEntry> entries;
};

// "<file>:<line>: <message>".
std::string ConfError(const std::string& file, int line, const std::string& message);

// Splits text into sections. Returns 0, or -1 with *error.
int ParseConf(const std::string& text, const std::string& file, std::vector<ConfSection>* out,
              std::string* error);

// ParseConf of the file at path.
int ParseConfFile(const std::string& path, std::vector<ConfSection>* out, std::string* error);

}  // namespace zmo::rfc
