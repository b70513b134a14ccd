#include "generator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "platform/calendar.h"

namespace zmo::rfc {
namespace {

// Days since 0000-03-01, the generator's day numbers (the hours it seeds
// with are counted from there).
constexpr long long kDaysTo1970 = 719468;

long long DaysFromCivil(long long y, unsigned m, unsigned d) { return zmo::DaysFromCivil(y, m, d) + kDaysTo1970; }

void CivilFromDays(long long z, int* y, unsigned* m, unsigned* d) {
  std::int64_t year;
  int month, day;
  zmo::CivilFromDays(z - kDaysTo1970, &year, &month, &day);
  *y = static_cast<int>(year);
  *m = static_cast<unsigned>(month);
  *d = static_cast<unsigned>(day);
}

// "YYYYMMDD" and "hhmmss" of a second count since 0000-03-01.
void StampOf(long long seconds, std::string* date, std::string* time) {
  long long days = seconds / 86400;
  long long rest = seconds % 86400;
  int y;
  unsigned m, d;
  CivilFromDays(days, &y, &m, &d);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d%02u%02u", y, m, d);
  *date = buf;
  std::snprintf(buf, sizeof buf, "%02lld%02lld%02lld", rest / 3600, rest / 60 % 60, rest % 60);
  *time = buf;
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
  long long Below(long long n) { return n <= 0 ? 0 : static_cast<long long>(Next() % static_cast<std::uint64_t>(n)); }
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
constexpr Weighted kTaskTypes[] = {{62, 0x01}, {14, 0xFE}, {7, 0x02}, {3, 0x08}, {3, 0x03}, {4, 0x04},
                                   {2, 0x07},  {2, 0xFF},  {1, 0x06}, {1, 0x05}, {1, 0xFD}};

struct Transaction {
  const char* tcode;
  const char* program;
  const char* screen;
  double median_ms;
};

constexpr Transaction kDialog[] = {
    {"VA01", "SAPMV45A", "4001", 900},  {"VA02", "SAPMV45A", "4001", 700},
    {"VA03", "SAPMV45A", "4001", 350},  {"ME21N", "SAPLMEGUI", "0014", 1100},
    {"ME23N", "SAPLMEGUI", "0014", 400}, {"MM03", "SAPLMGMM", "4000", 300},
    {"MIGO", "SAPLMIGO", "0001", 800},  {"FB01", "SAPMF05A", "0100", 600},
    {"FB03", "SAPMF05L", "0100", 250},  {"VL01N", "SAPMV50A", "4001", 950},
    {"SE38", "SAPMS38M", "1000", 200},  {"SM37", "SAPLBTCH", "2170", 450},
    {"ZSD_ORDERS", "ZSD_ORDER_MONITOR", "0100", 2500}, {"ZMM_STOCK", "ZMM_STOCK_OVERVIEW", "1000", 1800},
    {"SESSION_MANAGER", "SAPLSMTR_NAVIGATION", "0100", 150}};

constexpr const char* kRfcPrograms[] = {"SAPLSRFC", "SAPLBAPT", "SAPLZIF_ORDERS", "SAPLZIF_STOCK", "SAPLSYST"};
constexpr const char* kUpdatePrograms[] = {"RSM13000", "SAPLV05I", "SAPLMBWL", "SAPLF005"};
constexpr const char* kOtherPrograms[] = {"RSPOSP01", "RSBTCRTE", "RSCOLL00", "RSDBAJOB", "ZHOUSEKEEPING"};
constexpr const char* kUsers[] = {"SALES01", "SALES02", "SALES03", "SALES04", "SALES05", "SALES06", "PURCH01",
                                  "PURCH02", "PURCH03", "FIN01",   "FIN02",   "FIN03",   "FIN04",   "WH01",
                                  "WH02",    "DEV01",   "DEV02",   "ADMIN01", "RFC_WEB", "RFC_CRM"};

struct Job {
  const char* name;
  const char* program;
  double median_ms;
};

constexpr Job kJobs[] = {{"NIGHTLY_BILLING", "RV60SBAT", 240000},    {"STOCK_REORG", "ZMM_REORG", 90000},
                         {"PERFORMANCE_COLLECTOR", "RSCOLL00", 15000}, {"SPOOL_CLEANUP", "RSPO1041", 8000},
                         {"ZREPORT_EXPORT", "ZREPORT_EXPORT", 60000},  {"CREDIT_CHECK", "ZSD_CREDIT", 30000}};

template <typename T, size_t N>
const T& Pick(Random& r, const T (&items)[N]) {
  return items[r.Below(N)];
}

// Values of one record, kept only for the fields the layout has and
// written in the form of each field's kind.
class Values {
 public:
  explicit Values(const StructLayout& layout) : layout_(layout) {}
  void Text(const char* name, const std::string& text) {
    if (FindField(&layout_, name) != nullptr) out_.push_back({name, text});
  }
  void Number(const char* name, long long n) {
    const FieldLayout* f = FindField(&layout_, name);
    if (f == nullptr) return;
    if (n < 0) n = 0;
    if (f->kind == FieldKind::kRaw) {
      char buf[40];
      std::snprintf(buf, sizeof buf, "%0*llX", static_cast<int>(2 * f->length), static_cast<unsigned long long>(n));
      out_.push_back({name, std::string(buf).substr(0, 2 * f->length)});
    } else {
      const long long cap = f->kind == FieldKind::kPacked ? 99999999999LL : 2147483647LL;
      out_.push_back({name, std::to_string(std::min(n, f->kind == FieldKind::kInt2 ? 32767LL : cap))});
    }
  }
  std::vector<FieldValue> Take() { return std::move(out_); }

 private:
  const StructLayout& layout_;
  std::vector<FieldValue> out_;
};

// Time, database and memory figures common to both kinds.
void PutWork(Random& r, long long resp, Values* v) {
  const long long cpu = static_cast<long long>(resp * r.Between(0.12, 0.45));
  const long long db = static_cast<long long>(resp * r.Between(0.15, 0.5));
  v->Number("RESPTI", resp);
  v->Number("CPUTI", cpu);
  v->Number("QUEUETI", static_cast<long long>(resp * r.Between(0.0, 0.04)));
  v->Number("READDIRTI", db * 30 / 100);
  v->Number("READSEQTI", db * 40 / 100);
  v->Number("INSTI", db * 8 / 100);
  v->Number("UPDTI", db * 10 / 100);
  v->Number("DELTI", db * 2 / 100);
  v->Number("COMMITTI", db * 5 / 100);
  v->Number("MCTI", db * 5 / 100);
  const long long reads = 1 + resp / 8;
  v->Number("READDIRCNT", reads);
  v->Number("READDIRREC", reads);
  v->Number("READSEQCNT", 1 + resp / 25);
  v->Number("READSEQREC", 1 + resp / 5);
  v->Number("PHYREADCNT", reads / 3);
  const long long ins = r.Below(1 + resp / 200), upd = r.Below(1 + resp / 300), del = r.Below(1 + resp / 2000);
  v->Number("INSCNT", ins);
  v->Number("INSREC", ins);
  v->Number("PHYINSCNT", ins);
  v->Number("UPDCNT", upd);
  v->Number("UPDREC", upd);
  v->Number("PHYUPDCNT", upd);
  v->Number("DELCNT", del);
  v->Number("DELREC", del);
  v->Number("PHYDELCNT", del);
  v->Number("GENERATETI", r.Below(50) == 0 ? r.Below(3000) : 0);
  v->Number("REPLOADTI", r.Below(25));
  v->Number("CUALOADTI", r.Below(6));
  v->Number("DYNPLOADTI", r.Below(12));
  for (const char* bytes : {"NTABCNT", "DSQLCNT", "ABAPSCNT", "ABAPLCNT", "DYNPSCNT", "DYNPLCNT", "CUALCNT", "QUECNT",
                            "DDICCNT"}) {
    v->Number(bytes, r.Below(6000));
  }
  const long long used = 200000 + r.Below(4800000);
  v->Number("USEDBYTES", used);
  v->Number("MEMSUM", used);
  v->Number("PRIVSUM", r.Below(20) == 0 ? r.Below(50000000) : 0);
  v->Number("MAXROLL", 100000 + r.Below(900000));
  v->Number("MAXPAGE", r.Below(500000));
  v->Number("MAXBYTES", used + r.Below(1000000));
}

void PutTimes(long long end_seconds, long long resp, Values* v) {
  std::string start_date, start_time, end_date, end_time;
  StampOf(end_seconds - (resp + 999) / 1000, &start_date, &start_time);
  StampOf(end_seconds, &end_date, &end_time);
  v->Text("DATE", end_date);
  v->Text("STARTDATE", start_date);
  v->Text("STARTTIME", start_time);
  v->Text("ENDDATE", end_date);
  v->Text("ENDTIME", end_time);
}

StatRecord NormalRecord(Random& r, const SimSystem& sys, const StructLayout& layout, long long end_seconds) {
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
  Values v(layout);
  std::string tcode, program, screen = "0000";
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
  PutTimes(end_seconds, resp, &v);
  v.Number("TASKTYPE", task);
  v.Number("WPID", task == 0x01 || task >= 0xFD ? r.Below(12) : 12 + r.Below(6));
  v.Number("TABLOAD", 0);
  v.Text("TCODE", tcode);
  v.Text("DYNPRONR", screen);
  v.Text("REPORT", program);
  v.Text("CUA_PROG", program);
  v.Text("CUA_FUNC", task == 0x01 ? "ENTR" : "");
  v.Text("ACCOUNT", task >= 0xFD ? std::string(r.Below(2) ? "RFC_WEB" : "RFC_CRM") : std::string(Pick(r, kUsers)));
  v.Text("MANDT", sys.client);
  char terminal[16];
  std::snprintf(terminal, sizeof terminal, "WS%04lld", r.Below(400));
  v.Text("TERMINALID", task == 0x01 ? terminal : "");
  PutWork(r, resp, &v);
  if (task >= 0xFD) v.Number("RFCCNT", 1 + r.Below(5));
  if (task == 0x01) {
    const long long gui = 30 + r.Below(400);
    v.Number("GUITIME", gui);
    v.Number("GUINETTIME", gui * 3 / 10);
    v.Number("GUICNT", 1 + r.Below(3));
  }
  StatRecord rec;
  rec.values = v.Take();
  return rec;
}

StatRecord BatchRecord(Random& r, const SimSystem& sys, const StructLayout& layout, long long end_seconds) {
  const Job& job = Pick(r, kJobs);
  Values v(layout);
  const long long resp = 1000 + r.Skewed(job.median_ms, 1.0);
  PutTimes(end_seconds, resp, &v);
  v.Number("TASKTYPE", 0x04);
  v.Number("WPID", 14 + r.Below(4));
  v.Text("DYNPRONR", "1000");
  v.Text("REPORT", job.program);
  v.Text("ACCOUNT", r.Below(4) == 0 ? "ADMIN01" : "BATCHUSR");
  v.Text("MANDT", sys.client);
  v.Text("JOBNAME", job.name);
  v.Number("JOBSTEP", 1 + r.Below(3));
  PutWork(r, resp, &v);
  StatRecord rec;
  rec.batch = true;
  rec.values = v.Take();
  return rec;
}

// The records of one hour, in end-time order.
void HourRecords(const SimSystem& sys, long long hour, bool batch, std::vector<StatRecord>* out) {
  const char* tag = StatLayoutTag(sys.release.c_str());
  const StructLayout* layout = FindLayout(batch ? kBatchStructure : kNormalStructure, tag);
  const unsigned n = batch ? sys.generator.batch_per_hour : sys.generator.normal_per_hour;
  Random r((sys.generator.seed * 0x100000001B3ull) ^ (static_cast<std::uint64_t>(hour) * 2 + (batch ? 1 : 0)));
  std::vector<long long> seconds(n);
  for (long long& s : seconds) s = r.Below(3600);
  std::sort(seconds.begin(), seconds.end());
  for (long long s : seconds) {
    StatRecord rec = batch ? BatchRecord(r, sys, *layout, hour * 3600 + s) : NormalRecord(r, sys, *layout, hour * 3600 + s);
    for (const FieldValue& f : rec.values) {
      if (f.name == "ENDDATE") rec.end_stamp = f.value + rec.end_stamp;
      if (f.name == "ENDTIME") rec.end_stamp += f.value;
    }
    out->push_back(std::move(rec));
  }
}

}  // namespace

long long StampHour(const std::string& stamp) {
  if (stamp.size() != 14 || stamp.find_first_not_of("0123456789") != std::string::npos) return -1;
  auto num = [&](size_t pos, size_t len) { return std::stoi(stamp.substr(pos, len)); };
  int y = num(0, 4), m = num(4, 2), d = num(6, 2), hh = num(8, 2), mm = num(10, 2), ss = num(12, 2);
  if (m < 1 || m > 12 || d < 1 || d > 31 || hh > 23 || mm > 59 || ss > 59) return -1;
  return DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) * 24 + hh;
}

int GenerateRecords(const SimSystem& sys, const std::string& from, const std::string& to,
                    std::vector<StatRecord>* out) {
  out->clear();
  if (!sys.generator.enabled || from > to) return 0;
  const long long first = StampHour(from), last = StampHour(to);
  if (first < 0 || last < 0) return 0;
  if (last - first + 1 > kMaxGeneratedHours) return -1;
  for (long long hour = first; hour <= last; ++hour) {
    std::vector<StatRecord> hour_records;
    HourRecords(sys, hour, true, &hour_records);
    HourRecords(sys, hour, false, &hour_records);
    for (StatRecord& rec : hour_records) {
      if (rec.end_stamp >= from && rec.end_stamp <= to) out->push_back(std::move(rec));
    }
  }
  std::stable_sort(out->begin(), out->end(),
                   [](const StatRecord& a, const StatRecord& b) { return a.end_stamp < b.end_stamp; });
  return 0;
}

}  // namespace zmo::rfc
