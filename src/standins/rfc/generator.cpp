#include "generator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/calendar.h"

namespace zmo::rfc {
namespace {

// Days since 0000-03-01, the generator's day numbers (the hours it seeds
// with are counted from there).
constexpr long long kDaysTo1970 = 719468;

long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  return zmo::DaysFromCivil(y, m, d) + kDaysTo1970;
}

void CivilFromDays(long long z, int* y, unsigned* m, unsigned* d) {
  std::int64_t year;
  int month, day;
  zmo::CivilFromDays(z - kDaysTo1970, &year, &month, &day);
  *y = static_cast<int>(year);
  *m = static_cast<unsigned>(month);
  *d = static_cast<unsigned>(day);
}

// "YYYYMMDD" and "hhmmss" (NUL-ended) of a second count since 0000-03-01.
void StampOf(long long seconds, char date[9], char time[7]) {
  long long days = seconds / 86400;
  long long rest = seconds % 86400;
  int y;
  unsigned m, d;
  CivilFromDays(days, &y, &m, &d);
  auto put = [](char* out, long long v, int digits) {
    for (int i = digits - 1; i >= 0; --i, v /= 10) out[i] = static_cast<char>('0' + v % 10);
  };
  put(date, y, 4);
  put(date + 4, m, 2);
  put(date + 6, d, 2);
  date[8] = '\0';
  put(time, rest / 3600, 2);
  put(time + 2, rest / 60 % 60, 2);
  put(time + 4, rest % 60, 2);
  time[6] = '\0';
}

// A small, fast, well-mixed generator (splitmix64).
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, n).
  long long Below(long long n) {
    return n <= 0 ? 0 : static_cast<long long>(Next() % static_cast<std::uint64_t>(n));
  }
  double Unit() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }
  double Between(double lo, double hi) { return lo + (hi - lo) * Unit(); }
  // Roughly log-normal around median: most steps are quick, a few very slow.
  long long Skewed(double median, double spread) {
    double g = Unit() + Unit() + Unit() + Unit() - 2.0;  // about normal, sd 0.58
    return static_cast<long long>(median * std::exp(spread * g * 1.73));
  }

 private:
  std::uint64_t state_;
};

struct Weighted {
  int weight;
  unsigned task_type;
};

// Task types of normal records: dialog most, then RFC, update, background...
constexpr Weighted kTaskTypes[] = {{62, 0x01}, {14, 0xFE}, {7, 0x02}, {3, 0x08},
                                   {3, 0x03},  {4, 0x04},  {2, 0x07}, {2, 0xFF},
                                   {1, 0x06},  {1, 0x05},  {1, 0xFD}};

struct Transaction {
  const char* tcode;
  const char* program;
  const char* screen;
  double median_ms;
};

constexpr Transaction kDialog[] = {{"VA01", "SAPMV45A", "4001", 900},
                                   {"VA02", "SAPMV45A", "4001", 700},
                                   {"VA03", "SAPMV45A", "4001", 350},
                                   {"ME21N", "SAPLMEGUI", "0014", 1100},
                                   {"ME23N", "SAPLMEGUI", "0014", 400},
                                   {"MM03", "SAPLMGMM", "4000", 300},
                                   {"MIGO", "SAPLMIGO", "0001", 800},
                                   {"FB01", "SAPMF05A", "0100", 600},
                                   {"FB03", "SAPMF05L", "0100", 250},
                                   {"VL01N", "SAPMV50A", "4001", 950},
                                   {"SE38", "SAPMS38M", "1000", 200},
                                   {"SM37", "SAPLBTCH", "2170", 450},
                                   {"ZSD_ORDERS", "ZSD_ORDER_MONITOR", "0100", 2500},
                                   {"ZMM_STOCK", "ZMM_STOCK_OVERVIEW", "1000", 1800},
                                   {"SESSION_MANAGER", "SAPLSMTR_NAVIGATION", "0100", 150}};

constexpr const char* kRfcPrograms[] = {"SAPLSRFC", "SAPLBAPT", "SAPLZIF_ORDERS", "SAPLZIF_STOCK",
                                        "SAPLSYST"};
constexpr const char* kUpdatePrograms[] = {"RSM13000", "SAPLV05I", "SAPLMBWL", "SAPLF005"};
constexpr const char* kOtherPrograms[] = {"RSPOSP01", "RSBTCRTE", "RSCOLL00", "RSDBAJOB",
                                          "ZHOUSEKEEPING"};
constexpr const char* kUsers[] = {"SALES01", "SALES02", "SALES03", "SALES04", "SALES05",
                                  "SALES06", "PURCH01", "PURCH02", "PURCH03", "FIN01",
                                  "FIN02",   "FIN03",   "FIN04",   "WH01",    "WH02",
                                  "DEV01",   "DEV02",   "ADMIN01", "RFC_WEB", "RFC_CRM"};

struct Job {
  const char* name;
  const char* program;
  double median_ms;
};

constexpr Job kJobs[] = {
    {"NIGHTLY_BILLING", "RV60SBAT", 240000},      {"STOCK_REORG", "ZMM_REORG", 90000},
    {"PERFORMANCE_COLLECTOR", "RSCOLL00", 15000}, {"SPOOL_CLEANUP", "RSPO1041", 8000},
    {"ZREPORT_EXPORT", "ZREPORT_EXPORT", 60000},  {"CREDIT_CHECK", "ZSD_CREDIT", 30000}};

template <typename T, size_t N>
const T& Pick(Random& r, const T (&items)[N]) {
  return items[r.Below(N)];
}

// The fields the generator fills, by their names in the layouts.
// clang-format off
#define ZMO_GENERATED_FIELDS(X)                                                                     \
  X(DATE) X(STARTDATE) X(STARTTIME) X(ENDDATE) X(ENDTIME) X(TASKTYPE) X(WPID) X(TABLOAD) X(TCODE)  \
  X(DYNPRONR) X(REPORT) X(CUA_PROG) X(CUA_FUNC) X(ACCOUNT) X(MANDT) X(TERMINALID) X(RESPTI)        \
  X(CPUTI) X(QUEUETI) X(READDIRTI) X(READSEQTI) X(INSTI) X(UPDTI) X(DELTI) X(COMMITTI) X(MCTI)     \
  X(READDIRCNT) X(READDIRREC) X(READSEQCNT) X(READSEQREC) X(PHYREADCNT) X(INSCNT) X(INSREC)        \
  X(PHYINSCNT) X(UPDCNT) X(UPDREC) X(PHYUPDCNT) X(DELCNT) X(DELREC) X(PHYDELCNT) X(GENERATETI)     \
  X(REPLOADTI) X(CUALOADTI) X(DYNPLOADTI) X(NTABCNT) X(DSQLCNT) X(ABAPSCNT) X(ABAPLCNT)            \
  X(DYNPSCNT) X(DYNPLCNT) X(CUALCNT) X(QUECNT) X(DDICCNT) X(USEDBYTES) X(MEMSUM) X(PRIVSUM)        \
  X(MAXROLL) X(MAXPAGE) X(MAXBYTES) X(RFCCNT) X(GUITIME) X(GUINETTIME) X(GUICNT) X(JOBNAME)        \
  X(JOBSTEP)
// clang-format on

enum class F : unsigned {
#define ZMO_FIELD_ID(name) name,
  ZMO_GENERATED_FIELDS(ZMO_FIELD_ID)
#undef ZMO_FIELD_ID
};

constexpr const char* kFieldNames[] = {
#define ZMO_FIELD_NAME(name) #name,
    ZMO_GENERATED_FIELDS(ZMO_FIELD_NAME)
#undef ZMO_FIELD_NAME
};
constexpr unsigned kFieldCount = sizeof kFieldNames / sizeof kFieldNames[0];

// A record kind's fields, looked up by name once per call. The 1-byte
// layout of the release decides which fields a record has and the form of
// their values; the table's layout (of any character width) where they go.
struct RecordLayout {
  const sap::StructLayout* table = nullptr;
  const sap::FieldLayout* form[kFieldCount] = {};
  const sap::FieldLayout* place[kFieldCount] = {};
  std::vector<unsigned char> initial;  // a line of initial values
};

void ResolveLayout(const sap::StructLayout& values, const sap::StructLayout& table,
                   RecordLayout* out) {
  out->table = &table;
  for (unsigned i = 0; i < kFieldCount; ++i) {
    out->form[i] = sap::FindField(&values, kFieldNames[i]);
    out->place[i] = sap::FindField(&table, kFieldNames[i]);
  }
  out->initial.resize(table.line_size);
  EncodeInitialLine(table, out->initial.data());
}

// Writes the values of one record straight into its table line, in the
// form of each field's kind; the first value that does not encode is kept
// as the record's fault.
class LineWriter {
 public:
  LineWriter(const RecordLayout& layout, unsigned char* line) : layout_(layout), line_(line) {
    std::memcpy(line, layout.initial.data(), layout.initial.size());
  }
  void Text(F id, std::string_view text) {
    const unsigned i = static_cast<unsigned>(id);
    if (layout_.form[i] == nullptr) return;
    if (id == F::ENDDATE) end_stamp_.insert(0, text);
    if (id == F::ENDTIME) end_stamp_.append(text);
    Put(i, text);
  }
  void Number(F id, long long n) {
    const unsigned i = static_cast<unsigned>(id);
    const sap::FieldLayout* f = layout_.form[i];
    if (f == nullptr) return;
    if (n < 0) n = 0;
    char buf[40];
    if (f->kind == sap::FieldKind::kRaw) {
      // As many hex digits as the field has bytes, the leading ones when
      // the number has more.
      const int len = std::snprintf(buf, sizeof buf, "%0*llX", static_cast<int>(2 * f->length),
                                    static_cast<unsigned long long>(n));
      Put(i, std::string_view(buf, std::min<size_t>(static_cast<size_t>(len), 2 * f->length)));
    } else {
      const long long cap = f->kind == sap::FieldKind::kPacked ? 99999999999LL : 2147483647LL;
      const long long v = std::min(n, f->kind == sap::FieldKind::kInt2 ? 32767LL : cap);
      Put(i, std::string_view(
                 buf, static_cast<size_t>(std::to_chars(buf, buf + sizeof buf, v).ptr - buf)));
    }
  }
  // ENDDATE followed by ENDTIME, of those the record has.
  const std::string& end_stamp() const { return end_stamp_; }
  // "" while every value encoded, else "field <name>: why".
  const std::string& fault() const { return fault_; }

 private:
  void Put(unsigned i, std::string_view value) {
    if (!fault_.empty()) return;
    const sap::FieldLayout* place = layout_.place[i];
    if (place == nullptr) {
      fault_ = std::string("field ") + kFieldNames[i] + " is not in " + layout_.table->structure;
      return;
    }
    std::string why;
    if (EncodeField(*place, layout_.table->char_width, value, true, line_, &why) != 0) {
      fault_ = std::string("field ") + kFieldNames[i] + ": " + why;
    }
  }

  const RecordLayout& layout_;
  unsigned char* line_;
  std::string end_stamp_;
  std::string fault_;
};

// Time, database and memory figures common to both kinds.
void PutWork(Random& r, long long resp, LineWriter* v) {
  const long long cpu = static_cast<long long>(resp * r.Between(0.12, 0.45));
  const long long db = static_cast<long long>(resp * r.Between(0.15, 0.5));
  v->Number(F::RESPTI, resp);
  v->Number(F::CPUTI, cpu);
  v->Number(F::QUEUETI, static_cast<long long>(resp * r.Between(0.0, 0.04)));
  v->Number(F::READDIRTI, db * 30 / 100);
  v->Number(F::READSEQTI, db * 40 / 100);
  v->Number(F::INSTI, db * 8 / 100);
  v->Number(F::UPDTI, db * 10 / 100);
  v->Number(F::DELTI, db * 2 / 100);
  v->Number(F::COMMITTI, db * 5 / 100);
  v->Number(F::MCTI, db * 5 / 100);
  const long long reads = 1 + resp / 8;
  v->Number(F::READDIRCNT, reads);
  v->Number(F::READDIRREC, reads);
  v->Number(F::READSEQCNT, 1 + resp / 25);
  v->Number(F::READSEQREC, 1 + resp / 5);
  v->Number(F::PHYREADCNT, reads / 3);
  const long long ins = r.Below(1 + resp / 200), upd = r.Below(1 + resp / 300),
                  del = r.Below(1 + resp / 2000);
  v->Number(F::INSCNT, ins);
  v->Number(F::INSREC, ins);
  v->Number(F::PHYINSCNT, ins);
  v->Number(F::UPDCNT, upd);
  v->Number(F::UPDREC, upd);
  v->Number(F::PHYUPDCNT, upd);
  v->Number(F::DELCNT, del);
  v->Number(F::DELREC, del);
  v->Number(F::PHYDELCNT, del);
  v->Number(F::GENERATETI, r.Below(50) == 0 ? r.Below(3000) : 0);
  v->Number(F::REPLOADTI, r.Below(25));
  v->Number(F::CUALOADTI, r.Below(6));
  v->Number(F::DYNPLOADTI, r.Below(12));
  for (F bytes : {F::NTABCNT, F::DSQLCNT, F::ABAPSCNT, F::ABAPLCNT, F::DYNPSCNT, F::DYNPLCNT,
                  F::CUALCNT, F::QUECNT, F::DDICCNT}) {
    v->Number(bytes, r.Below(6000));
  }
  const long long used = 200000 + r.Below(4800000);
  v->Number(F::USEDBYTES, used);
  v->Number(F::MEMSUM, used);
  v->Number(F::PRIVSUM, r.Below(20) == 0 ? r.Below(50000000) : 0);
  v->Number(F::MAXROLL, 100000 + r.Below(900000));
  v->Number(F::MAXPAGE, r.Below(500000));
  v->Number(F::MAXBYTES, used + r.Below(1000000));
}

void PutTimes(long long end_seconds, long long resp, LineWriter* v) {
  char start_date[9], start_time[7], end_date[9], end_time[7];
  StampOf(end_seconds - (resp + 999) / 1000, start_date, start_time);
  StampOf(end_seconds, end_date, end_time);
  v->Text(F::DATE, end_date);
  v->Text(F::STARTDATE, start_date);
  v->Text(F::STARTTIME, start_time);
  v->Text(F::ENDDATE, end_date);
  v->Text(F::ENDTIME, end_time);
}

void NormalRecord(Random& r, const SimSystem& sys, long long end_seconds, LineWriter* v) {
  int total = 0;
  for (const Weighted& w : kTaskTypes) total += w.weight;
  long long pick = r.Below(total);
  unsigned task = 0x01;
  for (const Weighted& w : kTaskTypes) {
    if ((pick -= w.weight) < 0) {
      task = w.task_type;
      break;
    }
  }
  const char* tcode = "";
  const char* program = "";
  const char* screen = "0000";
  double median = 400;
  if (task == 0x01) {
    const Transaction& t = Pick(r, kDialog);
    tcode = t.tcode;
    program = t.program;
    screen = t.screen;
    median = t.median_ms;
  } else if (task == 0xFE || task == 0xFF || task == 0xFD) {
    program = Pick(r, kRfcPrograms);
    median = 300;
  } else if (task == 0x02 || task == 0x08) {
    program = Pick(r, kUpdatePrograms);
    median = 250;
  } else {
    program = Pick(r, kOtherPrograms);
    median = 1500;
  }
  const long long resp = 1 + r.Skewed(median, 0.8);
  PutTimes(end_seconds, resp, v);
  v->Number(F::TASKTYPE, task);
  v->Number(F::WPID, task == 0x01 || task >= 0xFD ? r.Below(12) : 12 + r.Below(6));
  v->Number(F::TABLOAD, 0);
  v->Text(F::TCODE, tcode);
  v->Text(F::DYNPRONR, screen);
  v->Text(F::REPORT, program);
  v->Text(F::CUA_PROG, program);
  v->Text(F::CUA_FUNC, task == 0x01 ? "ENTR" : "");
  v->Text(F::ACCOUNT, task >= 0xFD ? (r.Below(2) ? "RFC_WEB" : "RFC_CRM") : Pick(r, kUsers));
  v->Text(F::MANDT, sys.client);
  char terminal[16];
  std::snprintf(terminal, sizeof terminal, "WS%04lld", r.Below(400));
  v->Text(F::TERMINALID, task == 0x01 ? terminal : "");
  PutWork(r, resp, v);
  if (task >= 0xFD) v->Number(F::RFCCNT, 1 + r.Below(5));
  if (task == 0x01) {
    const long long gui = 30 + r.Below(400);
    v->Number(F::GUITIME, gui);
    v->Number(F::GUINETTIME, gui * 3 / 10);
    v->Number(F::GUICNT, 1 + r.Below(3));
  }
}

void BatchRecord(Random& r, const SimSystem& sys, long long end_seconds, LineWriter* v) {
  const Job& job = Pick(r, kJobs);
  const long long resp = 1000 + r.Skewed(job.median_ms, 1.0);
  PutTimes(end_seconds, resp, v);
  v->Number(F::TASKTYPE, 0x04);
  v->Number(F::WPID, 14 + r.Below(4));
  v->Text(F::DYNPRONR, "1000");
  v->Text(F::REPORT, job.program);
  v->Text(F::ACCOUNT, r.Below(4) == 0 ? "ADMIN01" : "BATCHUSR");
  v->Text(F::MANDT, sys.client);
  v->Text(F::JOBNAME, job.name);
  v->Number(F::JOBSTEP, 1 + r.Below(3));
  PutWork(r, resp, v);
}

// The records of one hour of one kind, in end-time order, each made in its
// own line; those whose end lies in [from, to] go to the sink.
int HourLines(const SimSystem& sys, long long hour, bool batch, const RecordLayout& layout,
              const std::string& from, const std::string& to, const LineSink& sink,
              GenerateFault* fault) {
  const unsigned n = batch ? sys.generator.batch_per_hour : sys.generator.normal_per_hour;
  Random r((sys.generator.seed * 0x100000001B3ull) ^
           (static_cast<std::uint64_t>(hour) * 2 + (batch ? 1 : 0)));
  std::vector<long long> seconds(n);
  for (long long& s : seconds) s = r.Below(3600);
  std::sort(seconds.begin(), seconds.end());
  for (long long s : seconds) {
    LineBuffer line(new unsigned char[layout.table->line_size]);
    LineWriter w(layout, line.get());
    if (batch) {
      BatchRecord(r, sys, hour * 3600 + s, &w);
    } else {
      NormalRecord(r, sys, hour * 3600 + s, &w);
    }
    if (!w.fault().empty()) {
      *fault = {batch, w.fault()};
      return kGenerateFault;
    }
    if (w.end_stamp() < from || w.end_stamp() > to) continue;
    if (!sink(batch, w.end_stamp(), std::move(line))) return kGenerateStopped;
  }
  return kGenerateOk;
}

}  // namespace

long long StampHour(const std::string& stamp) {
  if (stamp.size() != 14 || stamp.find_first_not_of("0123456789") != std::string::npos) return -1;
  auto num = [&](size_t pos, size_t len) { return std::stoi(stamp.substr(pos, len)); };
  int y = num(0, 4), m = num(4, 2), d = num(6, 2), hh = num(8, 2), mm = num(10, 2), ss = num(12, 2);
  if (m < 1 || m > 12 || d < 1 || d > 31 || hh > 23 || mm > 59 || ss > 59) return -1;
  return DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) * 24 + hh;
}

int GenerateLines(const SimSystem& sys, const std::string& from, const std::string& to,
                  const sap::StructLayout* batch_table, const sap::StructLayout* normal_table,
                  const LineSink& sink, GenerateFault* fault) {
  if (!sys.generator.enabled || from > to) return kGenerateOk;
  const long long first = StampHour(from), last = StampHour(to);
  if (first < 0 || last < 0) return kGenerateOk;
  if (last - first + 1 > kMaxGeneratedHours) return kGenerateTooLong;
  const char* tag = sap::StatLayoutTag(sys.release.c_str());
  RecordLayout layouts[2];  // batch, normal
  const sap::StructLayout* tables[2] = {batch_table, normal_table};
  const char* structures[2] = {sap::kBatchStructure, sap::kNormalStructure};
  for (int k = 0; k < 2; ++k) {
    const sap::StructLayout* values =
        tag != nullptr ? sap::FindLayout(structures[k], tag) : nullptr;
    if (values == nullptr) tables[k] = nullptr;
    if (tables[k] != nullptr) ResolveLayout(*values, *tables[k], &layouts[k]);
  }
  for (long long hour = first; hour <= last; ++hour) {
    for (int k = 0; k < 2; ++k) {
      if (tables[k] == nullptr) continue;
      const int rc = HourLines(sys, hour, k == 0, layouts[k], from, to, sink, fault);
      if (rc != kGenerateOk) return rc;
    }
  }
  return kGenerateOk;
}

}  // namespace zmo::rfc
