// The files a run writes beside its batch files, except the load scripts
// and staging tables (staging_tables.cpp).
#include "zmoloader/load_files.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/db_kind.h"
#include "common/record_layouts.h"
#include "lines.h"
#include "platform/files.h"
#include "zmoloader/trace.h"

namespace zmo::loader {

namespace {

// A field line: the name in 17 columns (the first with its "("), the
// position in 20, the type, and "," or, for the last field, ")".
// The field is named as its column in upper case, and read as a date where
// the column is a time stamp, else as Char(width).
std::string FieldLine(const zmo::RecordField& f, int first_column, bool first, bool last) {
  std::string field = f.name;
  for (char& c : field) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  char name[64];
  char position[64];
  char type[64];
  std::snprintf(name, sizeof(name), "%-17s", (std::string(first ? "(" : "") + field).c_str());
  std::snprintf(position, sizeof(position), "%-20s",
                ("POSITION(" + std::to_string(first_column) + ":" +
                 std::to_string(first_column + f.width - 1) + ")")
                    .c_str());
  if (f.column == zmo::ColumnType::kTimestamp) {
    std::snprintf(type, sizeof(type), "Date \"YYYYMMDDHH24MISS\"");
  } else {
    std::snprintf(type, sizeof(type), "Char(%d)", f.width);
  }
  return std::string(name) + position + type + (last ? ")" : ",");
}

int WriteControlFile(const char* name, const std::string& infile, const char* bad,
                     const char* discard, char table, zmo::RecordLayout fields) {
  Lines lines = {
      "Load Data",
      "infile '" + infile + "'",
      "badfile '" + binPath(bad) + "'",
      "discardfile '" + binPath(discard) + "' discardmax 9999",
      "truncate",
      "PRESERVE BLANKS",
      "into table " + tableName(table),
  };
  int column = 1;
  for (size_t i = 0; i < fields.size(); ++i) {
    lines.push_back(FieldLine(fields[i], column, i == 0, i + 1 == fields.size()));
    column += fields[i].width;
  }
  return writeLoaderFile(binPath(name), lines);
}

int WriteBulkSql(const char* name, zmo::DbKind kind, bool on) {
  const char* quote = kind == zmo::DbKind::kMssql ? "\"" : "'";
  std::string option = std::string("sp_dboption r3klv,") + quote + "select into/bulkcopy" + quote +
                       (on ? ",true" : ",false");
  return writeLoaderFile(binPath(name),
                         {"use master", "go", option, "go", "use r3klv", "go", "checkpoint", "go"});
}

// The control file of a staging table's data file.
int WriteTableControl(char table, const std::string& data) {
  const SnapGroup& g = snapGroup(table);
  return WriteControlFile(g.control_file, data, g.bad_file, g.discard_file, table, g.layout());
}

}  // namespace

int writeLoaderFile(const std::string& path, const Lines& lines) {
  std::FILE* f = zmo::OpenPrivateFile(path.c_str(), "wb");
  bool ok = f != nullptr;
  for (size_t i = 0; ok && i < lines.size(); ++i) ok = zmo::WriteLineCrlf(f, lines[i]) == 0;
  if (f != nullptr && std::fclose(f) != 0) ok = false;
  if (ok) return 0;
  std::string text = "Could not write file <" + path + "> (" + std::strerror(errno) + ")";
  return loaderHalt(text.c_str());
}

int writeBulkOnSql(zmo::DbKind kind) { return WriteBulkSql("BulkOn.sql", kind, true); }

int writeBulkOffSql(zmo::DbKind kind) { return WriteBulkSql("BulkOff.sql", kind, false); }

int writeStatiLoadControl() {
  if (!tableOn(kStatiTable)) return 0;
  return WriteTableControl(kStatiTable, loaderState().stati_output);
}

int writeSnapLoadControls() {
  for (const char* t = kLoadOrder; *t; ++t) {
    if (!tableOn(*t)) continue;
    const int rc = WriteTableControl(*t, dataPath(*t));
    if (rc != 0) return rc;
  }
  return 0;
}

}  // namespace zmo::loader
