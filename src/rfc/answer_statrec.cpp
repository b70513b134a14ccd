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
  // The tables are filled as the lines are made: the records of the files
  // in the interval merged with the generated ones by end stamp (on equal
  // stamps the file's first), each kind into its own table.
  const StructLayout* layouts[2] = {batch_layout, normal_layout};
  const char* names[2] = {kBatchTable, kNormalTable};
  AnswerTable* out[2] = {nullptr, nullptr};
  std::vector<const StatRecord*> files[2];
  size_t next_file[2] = {0, 0};
  for (int k = 0; k < 2; ++k) {
    if (layouts[k] == nullptr) continue;
    out[k] = &answer->tables[names[k]];
    out[k]->leng = layouts[k]->line_size;
  }
  for (const StatRecord& r : sys.records) {
    const int k = r.batch ? 0 : 1;
    if (out[k] != nullptr && r.end_stamp >= from && r.end_stamp <= to) files[k].push_back(&r);
  }
  for (auto& f : files) {
    std::stable_sort(f.begin(), f.end(),
                     [](const StatRecord* a, const StatRecord* b) { return a->end_stamp < b->end_stamp; });
  }
  std::string fault;
  // The file's records of kind k up to the stamp (all with nullptr).
  auto put_files = [&](int k, const std::string* upto) {
    for (; next_file[k] < files[k].size(); ++next_file[k]) {
      const StatRecord* r = files[k][next_file[k]];
      if (upto != nullptr && r->end_stamp > *upto) break;
      LineBuffer line(new unsigned char[layouts[k]->line_size]);
      std::string why;
      if (EncodeLine(*layouts[k], r->values, true, line.get(), &why) != 0) {
        fault = "table " + std::string(names[k]) + ": " + why;
        return false;
      }
      out[k]->lines.push_back(std::move(line));
    }
    return true;
  };
  GenerateFault generated;
  const int rc = tag == nullptr ? kGenerateOk
                                : GenerateLines(sys, from, to, batch_layout, normal_layout,
                                                [&](bool is_batch, const std::string& stamp, LineBuffer line) {
                                                  const int k = is_batch ? 0 : 1;
                                                  if (!put_files(k, &stamp)) return false;
                                                  out[k]->lines.push_back(std::move(line));
                                                  return true;
                                                },
                                                &generated);
  if (rc == kGenerateTooLong) {
    Raise(answer, RFC_SYS_EXCEPTION, "SYSTEM_FAILURE",
          "the simulator generates records for at most " + std::to_string(kMaxGeneratedHours) + " hours");
    return 0;
  }
  if (rc == kGenerateFault) fault = "table " + std::string(names[generated.batch ? 0 : 1]) + ": " + generated.why;
  for (int k = 0; k < 2 && fault.empty(); ++k) {
    if (out[k] != nullptr) put_files(k, nullptr);
  }
  if (!fault.empty()) {
    *refusal = fault;
    return -1;
  }
  size_t read = 0;
  for (AnswerTable* t : out) read += t != nullptr ? t->lines.size() : 0;
  answer->imports["RECORDS_READ"] = IntValue(static_cast<long long>(read));
  answer->imports["FILE_ERROR"] = TextValue("");
  return 0;
}

}  // namespace zmo::rfc
