// The files a run writes beside its batch files, except the load scripts
// and staging tables (staging_tables.cpp).
#include "zmoloader/load_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <span>

#include "common/field_writer.h"
#include "lines.h"
#include "platform/files.h"
#include "zmoloader/trace.h"

namespace {

// One field of a fixed-width record as the Oracle loader reads it.
struct ControlField {
  const char* name;
  int width;
  bool date;  // a time stamp YYYYMMDDHH24MISS, else Char(width)
};

constexpr ControlField Chars(const char* name, int width) { return {name, width, false}; }
constexpr ControlField Char8(const char* name) { return {name, 8, false}; }
constexpr ControlField Stamp(const char* name) { return {name, 14, true}; }

constexpr ControlField kStatiFields[] = {
    Chars("RECORD_TYPE", 1),   Chars("RFC_DEST_STR", 20), Chars("HOST_NAME", 30),
    Chars("SYSTEM_LABEL", 34), Chars("CLIENT", 3),        Chars("START_DATE", 14),
    Chars("END_DATE", 14),     Chars("T_CODE", 20),       Chars("DYNPRO_NUMBER", 4),
    Chars("CUA_PROG", 40),     Chars("WP_ID", 4),         Chars("TASK_TYPE", 1),
    Chars("USER_NAME", 30),    Char8("CPU_TIME"),         Char8("RESPONSE_TIME"),
    Char8("DATABASE_TIME"),    Char8("KB_TRANSFERED"),    Chars("KB_CHANGED", 12),
    Char8("WAIT_TIME"),        Char8("MEMORY_USED"),      Char8("LOAD_TIME"),
    Char8("GUI_TIME"),         Char8("GUI_COUNT"),        Char8("GUI_NET_TIME"),
};
constexpr ControlField kCpuFields[] = {
    Chars("RFC_DEST_STR", 20), Chars("HOST_NAME", 30), Chars("SYSTEM_LABEL", 34),
    Chars("SYS_ID", 3),        Chars("SNAP_CLIENT", 3), Stamp("SNAP_DATE"),
    Char8("NUM_OF_CPU"),       Char8("LOAD1_AVG"),      Char8("LOAD5_AVG"),
    Char8("LOAD15_AVG"),       Char8("USER_CPU"),       Char8("SYSTEM_CPU"),
    Char8("IDLE_CPU"),         Char8("PAGE_IN_SEC"),    Char8("PAGE_OUT_SEC"),
    Char8("FREE_MEMORY"),      Char8("TOT_MEMORY"),     Char8("NUM_USERS"),
    Char8("NUM_MODI"),
};
constexpr ControlField kDiskFields[] = {
    Chars("RFC_DEST_STR", 20), Chars("HOST_NAME", 30),     Chars("SYSTEM_LABEL", 34),
    Chars("SYS_ID", 3),        Chars("SNAP_CLIENT", 3),    Stamp("SNAP_DATE"),
    Chars("DISK_NAME", 30),    Char8("UTILIZATION"),       Char8("AVG_QUEUE_LENGTH"),
    Char8("AVG_WAIT"),         Char8("AVG_SERVICE"),
};
constexpr ControlField kLanFields[] = {
    Chars("RFC_DEST_STR", 20), Chars("HOST_NAME", 30),  Chars("SYSTEM_LABEL", 34),
    Chars("SYS_ID", 3),        Chars("SNAP_CLIENT", 3), Stamp("SNAP_DATE"),
    Chars("LAN_NAME", 30),     Char8("PACKETS_IN"),     Char8("PACKETS_OUT"),
    Char8("IN_ERRORS"),        Char8("OUT_ERRORS"),     Char8("COLLISIONS"),
};
constexpr ControlField kAvailFields[] = {
    Chars("RFC_DEST_STR", 20), Chars("HOST_NAME", 30), Chars("SYSTEM_LABEL", 34),
    Chars("SYS_ID", 3),        Stamp("SNAP_DATE"),     Chars("SYS_AVAILABLE", 1),
};

// A field line: the name in 17 columns (the first with its "("), the
// position in 20, the type, and "," or, for the last field, ")".
std::string FieldLine(const ControlField& f, int first_column, bool first, bool last) {
  char name[64];
  char position[64];
  char type[64];
  std::snprintf(name, sizeof(name), "%-17s", (std::string(first ? "(" : "") + f.name).c_str());
  std::snprintf(position, sizeof(position), "%-20s",
                ("POSITION(" + std::to_string(first_column) + ":" +
                 std::to_string(first_column + f.width - 1) + ")")
                    .c_str());
  if (f.date) {
    std::snprintf(type, sizeof(type), "Date \"YYYYMMDDHH24MISS\"");
  } else {
    std::snprintf(type, sizeof(type), "Char(%d)", f.width);
  }
  return std::string(name) + position + type + (last ? ")" : ",");
}

int WriteControlFile(const char* name, const std::string& infile, const char* bad,
                     const char* discard, char table, std::span<const ControlField> fields) {
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

int WriteBulkSql(const char* name, int kind, bool on) {
  const char* quote = kind == zmo::kDbMssql ? "\"" : "'";
  std::string option = std::string("sp_dboption r3klv,") + quote + "select into/bulkcopy" + quote +
                       (on ? ",true" : ",false");
  return writeLoaderFile(binPath(name),
                         {"use master", "go", option, "go", "use r3klv", "go", "checkpoint", "go"});
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

int writeBulkOnSql(int kind) { return WriteBulkSql("BulkOn.sql", kind, true); }

int writeBulkOffSql(int kind) { return WriteBulkSql("BulkOff.sql", kind, false); }

int writeStatiLoadControl() {
  if (!statiDataOn()) return 0;
  return WriteControlFile("zmoklvload.par", loaderState().stati_output,
                          "trace_zmo_out_put_daily.bad", "trace_zmo_out_put_daily.dsc",
                          kStatiTable, kStatiFields);
}

int writeSnapLoadControls() {
  const std::span<const ControlField> lists[] = {kCpuFields, kDiskFields, kLanFields,
                                                 kAvailFields};
  for (int i = 0; kLoadOrder[i] != '\0'; ++i) {
    const SnapGroup& g = snapGroup(kLoadOrder[i]);
    if (!snapGroupOn(g.table)) continue;
    std::string bad = std::string(g.reject_stem) + ".bad";
    std::string discard = std::string(g.reject_stem) + ".dsk";
    int rc = WriteControlFile(g.control_file, binPath(g.data_file), bad.c_str(), discard.c_str(),
                              g.table, lists[i]);
    if (rc != 0) return rc;
  }
  return 0;
}
