// SAPWL_STATREC_READ_FILE: the statistic records whose end time lies in the
// requested interval (both ends included), batch-step records into
// V2_BTC_STEP_RECORDS and normal records into V2_NORMAL_RECORDS, each in the
// layout of the system's release.
#include <algorithm>

#include "answers.h"
#include "generator.h"

namespace zmo::rfc {
namespace {

constexpr const char* kBatchTable = "V2_BTC_STEP_RECORDS";
constexpr const char* kNormalTable = "V2_NORMAL_RECORDS";

// The interval bound of a date and a time parameter; "" when either is not
// digits of the right length.
std::string Bound(const Exports& ex, const char* date_name, const char* time_name) {
  std::string date = ExportText(ex, date_name), time = ExportText(ex, time_name);
  if (date.size() != 8 || time.size() != 6 || (date + time).find_first_not_of("0123456789") != std::string::npos) {
    return "";
  }
  return date + time;
}

}  // namespace

int AnswerStatrecRead(CallContext& ctx, Answer* answer, std::string* refusal) {
  const SimSystem& sys = ctx.sys;
  const TableArg* batch = FindTableArg(ctx, kBatchTable);
  const TableArg* normal = FindTableArg(ctx, kNormalTable);
  const char* tag = StatLayoutTag(sys.release.c_str());
  if (tag == nullptr && (batch != nullptr || normal != nullptr)) {
    *refusal = "release " + sys.release + " has no statistic record layout to fill the tables with";
    return -1;
  }
  const StructLayout* batch_layout = nullptr;
  const StructLayout* normal_layout = nullptr;
  if (batch != nullptr && (batch_layout = TableLayout(ctx, *batch, kBatchStructure, tag, refusal)) == nullptr) return -1;
  if (normal != nullptr && (normal_layout = TableLayout(ctx, *normal, kNormalStructure, tag, refusal)) == nullptr) {
    return -1;
  }
  const std::string from = Bound(ctx.exports, "READ_START_DATE", "READ_START_TIME");
  const std::string to = Bound(ctx.exports, "READ_END_DATE", "READ_END_TIME");
  if (from.empty() || to.empty()) {
    Raise(answer, RFC_SYS_EXCEPTION, "SYSTEM_FAILURE",
          "READ_START_DATE, READ_START_TIME, READ_END_DATE and READ_END_TIME must be a date YYYYMMDD and a time hhmmss");
    return 0;
  }
  std::vector<StatRecord> generated;
  if (tag != nullptr && GenerateRecords(sys, from, to, &generated) != 0) {
    Raise(answer, RFC_SYS_EXCEPTION, "SYSTEM_FAILURE",
          "the simulator generates records for at most " + std::to_string(kMaxGeneratedHours) + " hours");
    return 0;
  }
  std::vector<const StatRecord*> chosen;
  for (const StatRecord& r : sys.records) {
    if (r.end_stamp >= from && r.end_stamp <= to) chosen.push_back(&r);
  }
  for (const StatRecord& r : generated) chosen.push_back(&r);
  std::stable_sort(chosen.begin(), chosen.end(),
                   [](const StatRecord* a, const StatRecord* b) { return a->end_stamp < b->end_stamp; });
  std::vector<std::vector<FieldValue>> batch_rows, normal_rows;
  for (const StatRecord* r : chosen) {
    if (r->batch && batch_layout != nullptr) batch_rows.push_back(r->values);
    if (!r->batch && normal_layout != nullptr) normal_rows.push_back(r->values);
  }
  if ((batch_layout && PutRows(*batch_layout, batch_rows, true, kBatchTable, answer, refusal) != 0) ||
      (normal_layout && PutRows(*normal_layout, normal_rows, true, kNormalTable, answer, refusal) != 0)) {
    return -1;
  }
  answer->imports["RECORDS_READ"] = IntValue(static_cast<long long>(batch_rows.size() + normal_rows.size()));
  answer->imports["FILE_ERROR"] = TextValue("");
  return 0;
}

}  // namespace zmo::rfc
