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
  if (date.size() != 8 || time.size() != 6 ||
      (date + time).find_first_not_of("0123456789") != std::string::npos) {
    return "";
  }
  return date + time;
}

// The two tables of an answer as they are filled: the records of the file
// in the interval go in among the generated ones by end stamp (on equal
// stamps the file's first), each kind into its own table (0 batch, 1
// normal), each line made once.
class StatTables {
 public:
  StatTables(const SimSystem& sys, const std::string& from, const std::string& to,
             const sap::StructLayout* batch, const sap::StructLayout* normal, Answer* answer)
      : layouts_{batch, normal} {
    for (int k = 0; k < 2; ++k) {
      if (layouts_[k] == nullptr) continue;
      out_[k] = &answer->tables[kNames[k]];
      out_[k]->leng = layouts_[k]->line_size;
    }
    for (const StatRecord& r : sys.records) {
      const int k = r.batch ? 0 : 1;
      if (out_[k] != nullptr && r.end_stamp >= from && r.end_stamp <= to) files_[k].push_back(&r);
    }
    for (auto& f : files_) {
      std::stable_sort(f.begin(), f.end(), [](const StatRecord* a, const StatRecord* b) {
        return a->end_stamp < b->end_stamp;
      });
    }
  }

  // A generated line, after the file's records up to its stamp. False once
  // a record does not encode.
  bool PutGenerated(bool batch, const std::string& stamp, LineBuffer line) {
    const int k = batch ? 0 : 1;
    if (!PutFiles(k, &stamp)) return false;
    out_[k]->lines.push_back(std::move(line));
    return true;
  }
  // The file's records left. False when a record did not encode (now or
  // before).
  bool Finish() {
    for (int k = 0; k < 2 && fault_.empty(); ++k) {
      if (out_[k] != nullptr) PutFiles(k, nullptr);
    }
    return fault_.empty();
  }
  void NoteFault(int k, const std::string& why) {
    fault_ = "table " + std::string(kNames[k]) + ": " + why;
  }
  const std::string& fault() const { return fault_; }
  size_t Lines() const {
    size_t n = 0;
    for (const AnswerTable* t : out_) n += t != nullptr ? t->lines.size() : 0;
    return n;
  }

 private:
  static constexpr const char* kNames[2] = {kBatchTable, kNormalTable};

  // The file's records of kind k up to the stamp (all with nullptr).
  bool PutFiles(int k, const std::string* upto) {
    for (; next_[k] < files_[k].size(); ++next_[k]) {
      const StatRecord* r = files_[k][next_[k]];
      if (upto != nullptr && r->end_stamp > *upto) break;
      LineBuffer line(new unsigned char[layouts_[k]->line_size]);
      std::string why;
      if (EncodeLine(*layouts_[k], r->values, true, line.get(), &why) != 0) {
        NoteFault(k, why);
        return false;
      }
      out_[k]->lines.push_back(std::move(line));
    }
    return true;
  }

  const sap::StructLayout* layouts_[2];
  AnswerTable* out_[2] = {nullptr, nullptr};
  std::vector<const StatRecord*> files_[2];
  size_t next_[2] = {0, 0};
  std::string fault_;
};

}  // namespace

int AnswerStatrecRead(CallContext& ctx, Answer* answer, std::string* refusal) {
  const SimSystem& sys = ctx.sys;
  const TableArg* batch = FindTableArg(ctx, kBatchTable);
  const TableArg* normal = FindTableArg(ctx, kNormalTable);
  const char* tag = sap::StatLayoutTag(sys.release.c_str());
  if (tag == nullptr && (batch != nullptr || normal != nullptr)) {
    *refusal = "release " + sys.release + " has no statistic record layout to fill the tables with";
    return -1;
  }
  const sap::StructLayout* batch_layout = nullptr;
  const sap::StructLayout* normal_layout = nullptr;
  if (batch != nullptr &&
      (batch_layout = TableLayout(ctx, *batch, sap::kBatchStructure, tag, refusal)) == nullptr)
    return -1;
  if (normal != nullptr &&
      (normal_layout = TableLayout(ctx, *normal, sap::kNormalStructure, tag, refusal)) == nullptr) {
    return -1;
  }
  const std::string from = Bound(ctx.exports, "READ_START_DATE", "READ_START_TIME");
  const std::string to = Bound(ctx.exports, "READ_END_DATE", "READ_END_TIME");
  if (from.empty() || to.empty()) {
    Raise(answer, RFC_SYS_EXCEPTION, "SYSTEM_FAILURE",
          "READ_START_DATE, READ_START_TIME, READ_END_DATE and READ_END_TIME must be a date "
          "YYYYMMDD and a time hhmmss");
    return 0;
  }
  StatTables tables(sys, from, to, batch_layout, normal_layout, answer);
  GenerateFault generated;
  const int rc = tag == nullptr
                     ? kGenerateOk
                     : GenerateLines(
                           sys, from, to, batch_layout, normal_layout,
                           [&](bool is_batch, const std::string& stamp, LineBuffer line) {
                             return tables.PutGenerated(is_batch, stamp, std::move(line));
                           },
                           &generated);
  if (rc == kGenerateTooLong) {
    Raise(answer, RFC_SYS_EXCEPTION, "SYSTEM_FAILURE",
          "the simulator generates records for at most " + std::to_string(kMaxGeneratedHours) +
              " hours");
    return 0;
  }
  if (rc == kGenerateFault) tables.NoteFault(generated.batch ? 0 : 1, generated.why);
  if (!tables.Finish()) {
    *refusal = tables.fault();
    return -1;
  }
  const size_t read = tables.Lines();
  answer->imports["RECORDS_READ"] = IntValue(static_cast<long long>(read));
  answer->imports["FILE_ERROR"] = TextValue("");
  return 0;
}

}  // namespace zmo::rfc
