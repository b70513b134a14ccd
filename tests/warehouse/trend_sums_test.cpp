// The 30-day trend summaries (r3_trans_sum, r3_prog_sum, the variance
// periods) over runs that collected different measures: a measure switched
// off for a run reaches that run's r3_progresp rows as -9, and the trend
// totals and averages are taken over the rows that carry the measure alone. Two loads of statistic
// data files as zmostati hands them over, inside one trend window (the
// loader's window is the last 30 days of the real date), the real zmoloader,
// its batch, sqlldr and sqlplus on PostgreSQL.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "loader_world.h"
#include "platform/process.h"

namespace {

using dbtools_test::Write;
using warehouse_test::Pad;
using warehouse_test::Rows;
using warehouse_test::Sorted;

const std::string kLabel = "W46_dbw46";

// The measures of a statistic record, in the order of its columns.
enum Measure {
  kCpu,
  kResponse,
  kDatabase,
  kKbTrans,
  kKbChanged,
  kWait,
  kMemory,
  kLoad,
  kGui,
  kGuiCount,
  kGuiNet,
  kMeasureCount
};

struct Record {
  int run;  // 1 or 2
  const char* tcode;
  const char* program;
  const char* time;  // hhmmss of the run's day
  long long figures[kMeasureCount];
};

// The first run has the wait time and the memory switched off; the second
// collects every measure. SE38 is only in the first run.
const std::set<int> kOffInFirstRun = {kWait, kMemory};
const Record kRecords[] = {
    {1, "VA01", "SAPMV45A", "101500", {3, 10, 2, 5, 1, 1, 100, 1, 2, 1, 1}},
    {1, "VA01", "SAPMV45A", "111500", {5, 20, 4, 6, 2, 2, 300, 1, 2, 1, 1}},
    {1, "SE38", "SAPLSEDT", "113000", {7, 30, 5, 7, 3, 3, 500, 2, 2, 1, 1}},
    {2, "VA01", "SAPMV45A", "091000", {4, 12, 3, 6, 2, 2, 200, 1, 3, 1, 1}},
    {2, "VA01", "SAPMV45A", "095000", {6, 18, 3, 8, 2, 4, 400, 1, 3, 1, 2}},
    {2, "VA02", "SAPMV45B", "095500", {2, 9, 1, 4, 1, 1, 50, 1, 3, 1, 1}},
};

// YYYYMMDD of a day relative to today (UTC, the world's zone).
std::string Day(int offset) {
  const std::time_t t = std::time(nullptr) + static_cast<std::time_t>(offset) * 86400;
  std::tm tm{};
  gmtime_r(&t, &tm);
  char text[16];
  std::strftime(text, sizeof text, "%Y%m%d", &tm);
  return text;
}

std::string Figure(long long v, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%*lld", width, v);
  return text;
}

// A record of the statistic data file in the Oracle kind's fixed widths.
std::string DataLine(const Record& r, const std::string& day) {
  const std::string stamp = day + r.time;
  std::string line = "N" + Pad("sapw46_W46_00", 20) + Pad("sapw46.example.net", 30) +
                     Pad(kLabel, 34) + "100" + stamp + stamp + Pad(r.tcode, 20) + "0100" +
                     Pad(r.program, 40) + "0001" + "D" + Pad("SALES01", 30);
  for (int m = 0; m < kMeasureCount; ++m) line += Figure(r.figures[m], m == kKbChanged ? 12 : 8);
  return line;
}

// A trend measure: the columns a record must carry and what it adds.
struct Trend {
  std::vector<Measure> parts;
  long long (*value)(const long long* f);
};
long long Of(const long long* f, Measure m) { return f[m]; }
const Trend kCpuTrend{{kCpu}, [](const long long* f) { return Of(f, kCpu); }};
const Trend kWaitTrend{{kWait}, [](const long long* f) { return Of(f, kWait); }};
const Trend kMemoryTrend{{kMemory}, [](const long long* f) { return Of(f, kMemory); }};
// The other time of r3_trans_sum (less the GUI network time) and of
// r3_prog_sum (without it).
const Trend kOtherTrans{
    {kResponse, kDatabase, kCpu, kWait, kLoad, kGuiNet}, [](const long long* f) {
      return f[kResponse] - f[kDatabase] - f[kCpu] - f[kWait] - f[kLoad] - f[kGuiNet];
    }};
const Trend kOtherProg{{kResponse, kDatabase, kCpu, kWait, kLoad}, [](const long long* f) {
                         return f[kResponse] - f[kDatabase] - f[kCpu] - f[kWait] - f[kLoad];
                       }};

bool Carries(const Record& r, const Trend& t) {
  if (r.run != 1) return true;
  for (Measure m : t.parts) {
    if (kOffInFirstRun.count(m) != 0) return false;
  }
  return true;
}

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", v);
  return text;
}

// The total and the average per step of a measure over the records of one
// key that carry it; -9 for both when none does.
std::vector<std::string> TotalAndAverage(const std::vector<const Record*>& records, const Trend& t,
                                         bool other) {
  long long total = 0, steps = 0;
  for (const Record* r : records) {
    if (!Carries(*r, t)) continue;
    total += t.value(r->figures);
    ++steps;
  }
  if (steps == 0) return {Number(-9), Number(-9)};
  double average = static_cast<double>(total) / static_cast<double>(steps);
  if (other && average < 0) average = 0;
  return {Number(static_cast<double>(total)), Number(average)};
}

class TrendSumsTest : public warehouse_test::LoaderWorld {
 protected:
  void SetUp() override {
    LoaderWorld::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    SetLoaderRegistry(
        {zmo::kSwStatiWait, zmo::kSwApplWait, zmo::kSwStatiMemUsed, zmo::kSwApplMemUsed});
    Set(zmo::cfg::kSystemSLA, "2000");
    Set(zmo::cfg::kCustomGroupDate, "never");
  }

  // One run's data file handed over and loaded as zmostati starts the loader.
  void Load(int run, const std::string& day, const char* pid) {
    std::vector<std::string> lines;
    for (const Record& r : kRecords) {
      if (r.run == run) lines.push_back(DataLine(r, day));
    }
    Write(bin_ + "zmostati.dat", dbtools_test::Crlf(lines));
    const std::string program = bin_ + "zmoloader";
    const std::string start = " -S " + day;
    const std::string end = " -E " + day;
    const std::string pid_arg = std::string(" -I ") + pid;
    const char* argv[] = {program.c_str(), " -A",       " -P STATI",
                          start.c_str(),   end.c_str(), " -H 10.20.30.40",
                          pid_arg.c_str(), nullptr};
    ASSERT_EQ(_spawnv(_P_WAIT, program.c_str(), argv), 0);
  }

  // The records of each key (t_code or program).
  static std::map<std::string, std::vector<const Record*>> ByKey(bool program) {
    std::map<std::string, std::vector<const Record*>> out;
    for (const Record& r : kRecords) out[program ? r.program : r.tcode].push_back(&r);
    return out;
  }
};

TEST_F(TrendSumsTest, MeasuresSwitchedOffInOneRunAreSummedOverTheOtherRunsRowsAlone) {
  // The first run (yesterday) makes no trend summaries: it filters metrics.
  Load(1, Day(-1), "153");
  EXPECT_EQ(db_->Value("select count(*) from r3_progresp where wait_time = -9 and "
                       "memory_used = -9"),
            "3");
  // The second (today) collects everything and so sums the whole window.
  Set(zmo::cfg::kProcessQRBData, "True");
  Load(2, Day(0), "154");
  // Its two VA01 steps are of one hour: one row.
  ASSERT_EQ(db_->Value("select count(*) from r3_progresp"), "5");

  Rows trans;
  for (const auto& [tcode, records] : ByKey(false)) {
    std::vector<std::string> row = {kLabel, tcode, Number(static_cast<double>(records.size()))};
    std::vector<std::string> averages;
    for (const Trend* t : {&kCpuTrend, &kWaitTrend, &kMemoryTrend, &kOtherTrans}) {
      const std::vector<std::string> f = TotalAndAverage(records, *t, t == &kOtherTrans);
      row.push_back(f[0]);
      averages.push_back(f[1]);
    }
    row.insert(row.end(), averages.begin(), averages.end());
    trans.push_back(row);
  }
  EXPECT_EQ(Sorted(db_->Query(
                "select system_label, t_code, round(diag_count, 4), round(tot_cpu_time, 4), "
                "round(tot_wait_time, 4), round(tot_memory_used, 4), round(tot_other_time, 4), "
                "round(avg_cpu_time, 4), round(avg_wait_time, 4), round(avg_memory_used, 4), "
                "round(avg_other_time, 4) from r3_trans_sum")),
            Sorted(trans));

  Rows prog;
  for (const auto& [program, records] : ByKey(true)) {
    std::vector<std::string> row = {kLabel, program, Number(static_cast<double>(records.size())),
                                    TotalAndAverage(records, kCpuTrend, false)[0]};
    for (const Trend* t : {&kCpuTrend, &kWaitTrend, &kMemoryTrend, &kOtherProg}) {
      row.push_back(TotalAndAverage(records, *t, t == &kOtherProg)[1]);
    }
    prog.push_back(row);
  }
  EXPECT_EQ(Sorted(db_->Query(
                "select system_label, cua_prog, round(diag_count, 4), round(tot_cpu_time, 4), "
                "round(avg_cpu_time, 4), round(avg_wait_time, 4), round(avg_memory_used, 4), "
                "round(avg_other_time, 4) from r3_prog_sum")),
            Sorted(prog));
  // The variance periods divide every figure by the rows they count, so they
  // take only rows that carry all six figures: here the second run's.
  std::map<std::vector<std::string>, std::vector<long long>> period;
  std::map<std::vector<std::string>, std::set<std::string>> hours;
  for (const Record& r : kRecords) {
    if (r.run != 2) continue;
    const std::vector<std::string> key = {r.tcode, r.program};
    std::vector<long long>& f = period[key];
    f.resize(6);
    int i = 0;
    for (Measure m : {kCpu, kKbTrans, kKbChanged, kResponse, kDatabase, kMemory}) {
      f[i++] += r.figures[m];
    }
    hours[key].insert(std::string(r.time).substr(0, 2));
  }
  Rows cur;
  for (const auto& [key, f] : period) {
    std::vector<std::string> row = key;
    row.push_back(std::to_string(hours[key].size()));
    for (long long v : f) row.push_back(std::to_string(v));
    cur.push_back(row);
  }
  EXPECT_EQ(Sorted(db_->Query(
                "select rtrim(t_code), rtrim(cua_prog), tot_count, round(tot_cpu_time), "
                "round(tot_kb_transfered), round(tot_kb_changed), round(tot_response_time), "
                "round(tot_database_time), round(tot_memory_used) from r3_cur_prog")),
            Sorted(cur));

  // Spelt out for one key: VA01's memory is the second run's 200 + 400 over
  // its two steps, though the first run's two rows are in the window too.
  EXPECT_EQ(db_->Value("select round(tot_memory_used, 4) || ' ' || round(avg_memory_used, 4) "
                       "from r3_trans_sum where t_code = 'VA01'"),
            "600.0000 300.0000");
  // And SE38, only in the first run, carries no memory at all.
  EXPECT_EQ(db_->Value("select tot_memory_used || ' ' || avg_memory_used || ' ' || "
                       "tot_wait_time from r3_trans_sum where t_code = 'SE38'"),
            "-9 -9 -9");
}

}  // namespace
