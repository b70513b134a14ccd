// The staging tables the loads go into, and the check of delimited data
// lines against them.
#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "tools.h"

namespace zmo::dbtools {

namespace {

struct StagingTable {
  char letter;
  size_t columns;
};

// The columns of the per-run tables: cpu, disk, lan, availability, statistics.
constexpr StagingTable kStaging[] = {{'c', 19}, {'d', 11}, {'l', 12}, {'v', 6}, {'s', 24}};

// Fields of a line separated by ","; with quoted_text a field in double
// quotes may hold commas. Returns the count, or 0 for an unclosed quote.
size_t CountFields(const std::string& line, bool quoted_text) {
  size_t fields = 1;
  bool quoted = false;
  for (char c : line) {
    if (quoted_text && c == '"') {
      quoted = !quoted;  // "" inside a quoted field toggles twice
    } else if (c == ',' && !quoted) {
      ++fields;
    }
  }
  return quoted ? 0 : fields;
}

}  // namespace

void WriteRejectedRows(ToolRun* run, const std::string& path, const std::string& rows) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  bool ok = fd >= 0 && write(fd, rows.data(), rows.size()) == static_cast<ssize_t>(rows.size());
  if (fd >= 0) close(fd);
  if (!ok) Reject(run, "cannot write the rejected rows to " + path);
}

size_t StagingColumnCount(const std::string& table) {
  if (table.size() < 2 || !AllDigits(table.substr(1))) return 0;
  char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(table[0])));
  for (const StagingTable& t : kStaging) {
    if (t.letter == letter) return t.columns;
  }
  return 0;
}

void LoadIntoTable(ToolRun* run, const TableColumns& created, const std::string& data_file,
                   const std::string& table, bool quoted_text) {
  auto it = created.find(Lower(table));
  size_t columns = it != created.end() ? it->second : StagingColumnCount(table);
  if (!columns) {
    Reject(run, "table " + table + " does not exist");
    return;
  }
  LoadDelimited(run, data_file, table, columns, quoted_text, "");
}

int LoadDelimited(ToolRun* run, const std::string& data_file, const std::string& table,
                  size_t columns, bool quoted_text, const std::string& bad_file) {
  std::vector<std::string> lines;
  if (ReadLines(data_file, &lines) != 0) {
    Reject(run, "cannot read " + data_file + ": " + std::strerror(errno));
    return -1;
  }
  std::string bad;
  size_t loaded = 0, rejected = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    size_t fields = CountFields(lines[i], quoted_text);
    if (fields == columns) {
      ++loaded;
      continue;
    }
    ++rejected;
    bad += lines[i] + "\r\n";
    Reject(run, "row " + std::to_string(i + 1) + " of " + data_file + " rejected: " +
                    (fields ? std::to_string(fields) + " fields" : std::string("an open quote")) +
                    ", " + table + " has " + std::to_string(columns) + " columns");
  }
  if (rejected && !bad_file.empty()) WriteRejectedRows(run, bad_file, bad);
  Say(run, run->tool + ": " + std::to_string(loaded) + " rows loaded into " + table + ", " +
               std::to_string(rejected) + " rejected");
  return 0;
}

}  // namespace zmo::dbtools
