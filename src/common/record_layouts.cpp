#include "common/record_layouts.h"

#include <array>
#include <cstddef>

namespace zmo {
namespace {

// The row builders: a text field and its varchar column (key: not null), a
// plain field, and numbers with integer columns.
constexpr RecordField Text(const char* name, int width, int size) {
  return {name, width, FieldType::kText, ColumnType::kVarchar, size, false};
}
constexpr RecordField Key(const char* name, int width) {
  return {name, width, FieldType::kText, ColumnType::kVarchar, width, true};
}
constexpr RecordField Stamp(const char* name) {
  return {name, 14, FieldType::kPlain, ColumnType::kTimestamp, 0, false};
}
constexpr RecordField Number(const char* name, int width, ColumnType column) {
  return {name, width, FieldType::kNumber, column, 0, false};
}
constexpr RecordField Figure(const char* name) {
  return {name, 8, FieldType::kFigure, ColumnType::kInteger, 0, false};
}

// The statistic record's time stamps are loaded as text: their form is the
// kind's, up to the Corva one's 26 characters.
constexpr RecordField StatStamp(const char* name) {
  return {name, 14, FieldType::kPlain, ColumnType::kVarchar, 26, false};
}

constexpr RecordField kStatRecord[kStatFieldCount] = {
    Key("record_type", 1),
    Key("rfc_dest_str", 20),
    Text("host_name", 30, 55),
    Text("system_label", 34, 34),
    Key("client", 3),
    StatStamp("start_date"),
    StatStamp("end_date"),
    Text("t_code", 20, 20),
    // The Oracle control file binds the field by this name.
    Text("dynpro_number", 4, 4),
    Text("cua_prog", 40, 40),
    Key("wp_id", 4),
    Text("task_type", 1, 1),
    Text("user_name", 30, 30),
    Number("cpu_time", 8, ColumnType::kInteger),
    Number("response_time", 8, ColumnType::kInteger),
    Number("database_time", 8, ColumnType::kInteger),
    Number("kb_transfered", 8, ColumnType::kInteger),
    Number("kb_changed", 12, ColumnType::kInteger),
    Number("wait_time", 8, ColumnType::kInteger),
    Number("memory_used", 8, ColumnType::kInteger),
    Number("load_time", 8, ColumnType::kInteger),
    Number("gui_time", 8, ColumnType::kBigint),
    Number("gui_count", 8, ColumnType::kBigint),
    Number("gui_net_time", 8, ColumnType::kBigint),
};

constexpr RecordField kSnapPrefix[kSnapPrefixCount] = {
    Key("rfc_dest_str", 20),
    Text("host_name", 30, 55),
    Text("system_label", 34, 34),
    Text("sys_id", 3, 3),
    {"snap_client", 3, FieldType::kPlain, ColumnType::kInteger, 0, false},
    Stamp("snap_date"),
};

// The prefix followed by the fields of one snapshot record.
template <std::size_t N>
constexpr std::array<RecordField, kSnapPrefixCount + N> WithPrefix(const RecordField (&rest)[N]) {
  std::array<RecordField, kSnapPrefixCount + N> out{};
  for (int i = 0; i < kSnapPrefixCount; ++i) out[i] = kSnapPrefix[i];
  for (std::size_t i = 0; i < N; ++i) out[kSnapPrefixCount + i] = rest[i];
  return out;
}

constexpr RecordField kCpuFields[kSnapCpuFigures] = {
    Figure("num_of_cpu"),   Figure("load1_avg"),   Figure("load5_avg"),  Figure("load15_avg"),
    Figure("user_cpu"),     Figure("system_cpu"),  Figure("idle_CPU"),   Figure("page_in_sec"),
    Figure("page_out_sec"), Figure("free_memory"), Figure("tot_memory"), Figure("num_users"),
    Figure("num_modi"),
};
constexpr RecordField kDiskFields[1 + kSnapDiskFigures] = {
    Text("disk_name", 30, 34), Figure("utilization"), Figure("avg_queue_length"),
    Figure("avg_wait"),        Figure("avg_service"),
};
constexpr RecordField kLanFields[1 + kSnapLanFigures] = {
    Text("lan_name", 30, 34), Figure("packets_in"), Figure("packets_out"),
    Figure("in_errors"),      Figure("out_errors"), Figure("collisions"),
};

constexpr auto kSnapCpu = WithPrefix(kCpuFields);
constexpr auto kSnapDisk = WithPrefix(kDiskFields);
constexpr auto kSnapLan = WithPrefix(kLanFields);

constexpr RecordField kAvail[kAvailFieldCount] = {
    Text("rfc_dest_str", 20, 20),
    Text("host_name", 30, 55),
    Text("system_label", 34, 34),
    Text("sys_id", 3, 3),
    Stamp("snap_date"),
    {"sys_available", 1, FieldType::kPlain, ColumnType::kInteger, 0, false},
};

}  // namespace

RecordLayout statRecordLayout() { return kStatRecord; }
RecordLayout snapCpuLayout() { return kSnapCpu; }
RecordLayout snapDiskLayout() { return kSnapDisk; }
RecordLayout snapLanLayout() { return kSnapLan; }
RecordLayout availLayout() { return kAvail; }

int layoutColumns(RecordLayout layout) {
  int columns = 0;
  for (const RecordField& f : layout) columns += f.width;
  return columns;
}

}  // namespace zmo
