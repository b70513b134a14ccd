// The record writer's benchmark (not a test): the seeded generator makes N
// statistic records an hour on a simulated system, they are encoded into
// the internal tables as SAPWL_STATREC_READ_FILE would fill them, and then
// the real conversion path (statiPutOut) writes them into a data file
// through the collector's buffer. Prints records and bytes per second and
// the peak resident memory, and against them the fwrite ceiling: the same
// ready lines written again with one fwrite each through a buffer of the
// same size, in the same run, and the writer's share of that ceiling.
//
//   zmostati_statrec_bench [--per-hour N] [--hours H] [--release R]
//                          [--kind Oracle|Corva|MSSQL|Sybase|Tessel]
//                          [--seed S] [--out FILE] [--passes P]
//
// With --passes the same tables are converted P times into the file (as P
// servers would be) and the figures are those of all passes together.

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "common/db_kind.h"
#include "common/sap_layouts.h"
#include "encode.h"
#include "generator.h"
#include "rfc/sapitab.h"
#include "zmostati/collect.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"
#include "zmostati/statrec.h"

using namespace zmo::stati;

namespace {

struct Options {
  long perHour = 20000;
  long hours = 50;
  std::string release = "46C";
  std::string kind = "Oracle";
  unsigned long long seed = 20240201;
  std::string out;  // "" = a temporary file, removed at the end
  long passes = 1;
};

int Usage(const char* argv0) {
  std::fprintf(stderr,
               "usage: %s [--per-hour N] [--hours H] [--release R] "
               "[--kind Oracle|Corva|MSSQL|Sybase|Tessel] [--seed S] [--out FILE] [--passes P]\n",
               argv0);
  return 2;
}

int ParseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (i + 1 >= argc) return Usage(argv[0]);
    const char* v = argv[++i];
    if (a == "--per-hour") o->perHour = std::atol(v);
    else if (a == "--hours") o->hours = std::atol(v);
    else if (a == "--release") o->release = v;
    else if (a == "--kind") o->kind = v;
    else if (a == "--seed") o->seed = std::strtoull(v, nullptr, 10);
    else if (a == "--out") o->out = v;
    else if (a == "--passes") o->passes = std::atol(v);
    else return Usage(argv[0]);
  }
  if (o->perHour <= 0 || o->passes <= 0 || o->hours <= 0 ||
      o->hours > zmo::rfc::kMaxGeneratedHours) {
    std::fprintf(stderr, "--per-hour and --passes must be positive and --hours 1 to %lld\n",
                 zmo::rfc::kMaxGeneratedHours);
    return 2;
  }
  return 0;
}

// Resident set size now, in bytes (/proc/self/statm).
long long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

long long PeakResidentBytes() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return static_cast<long long>(ru.ru_maxrss) * 1024;
}

double CpuSeconds() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec +
         (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

// Starts the peak resident size afresh from the current one, so that the
// peak measured is the conversion's, not the generator's (Linux 4.0 and
// later; false where it cannot be done).
bool ResetPeakResident() {
  std::FILE* f = std::fopen("/proc/self/clear_refs", "w");
  if (f == nullptr) return false;
  const bool ok = std::fputs("5", f) >= 0;
  return std::fclose(f) == 0 && ok;
}

double Mb(long long bytes) { return bytes / (1024.0 * 1024.0); }

// "YYYYMMDDhhmmss" of hour h after 2024-01-01 00:00 (hours < 31 days).
std::string HourStamp(long h, bool end) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "202401%02d%02d%s", static_cast<int>(1 + h / 24),
                static_cast<int>(h % 24), end ? "5959" : "0000");
  return buf;
}

// Generates the records hour by hour straight into table lines and appends
// them to the two tables.
int FillTables(const zmo::rfc::SimSystem& sys, long hours, ITAB_H batch, ITAB_H normal,
               long long* batchLines, long long* normalLines) {
  const char* tag = zmo::sap::StatLayoutTag(sys.release.c_str());
  const zmo::sap::StructLayout* bl = zmo::sap::FindLayout(zmo::sap::kBatchStructure, tag);
  const zmo::sap::StructLayout* nl = zmo::sap::FindLayout(zmo::sap::kNormalStructure, tag);
  zmo::rfc::GenerateFault fault;
  const int rc = zmo::rfc::GenerateLines(
      sys, HourStamp(0, false), HourStamp(hours - 1, true), bl, nl,
      [&](bool isBatch, const std::string&, zmo::rfc::LineBuffer line) {
        std::memcpy(ItAppLine(isBatch ? batch : normal), line.get(),
                    (isBatch ? bl : nl)->line_size);
        ++*(isBatch ? batchLines : normalLines);
        return true;
      },
      &fault);
  if (rc != zmo::rfc::kGenerateOk) {
    std::fprintf(stderr, "the generator refused the interval (%d) %s\n", rc, fault.why.c_str());
    return 1;
  }
  return 0;
}

// A new empty file under /tmp; "" (after a message) when none can be made.
std::string TemporaryFile() {
  char tmpl[] = "/tmp/zmostati_bench_XXXXXX";
  const int fd = mkstemp(tmpl);
  if (fd < 0) {
    std::perror("mkstemp");
    return "";
  }
  close(fd);
  return tmpl;
}

// The fwrite ceiling: the lines of the written file, read back, written
// again to a temporary file with one fwrite per line through a buffer of
// the collector's size (all passes' worth, as the writer wrote them).
// *bytes is the written file's size.
int FwriteCeiling(const std::string& written, long passes, long long* bytes, double* seconds) {
  std::ifstream in(written, std::ios::binary | std::ios::ate);
  std::string data(static_cast<size_t>(in.tellg()), '\0');
  in.seekg(0);
  if (!in.read(data.data(), static_cast<std::streamsize>(data.size()))) {
    std::fprintf(stderr, "reading %s back failed\n", written.c_str());
    return 1;
  }
  *bytes = static_cast<long long>(data.size());
  std::vector<std::pair<size_t, size_t>> lines;  // offset, length
  for (size_t at = 0; at < data.size();) {
    const size_t lf = data.find('\n', at);
    const size_t end = lf == std::string::npos ? data.size() : lf + 1;
    lines.emplace_back(at, end - at);
    at = end;
  }
  const std::string tmp = TemporaryFile();
  if (tmp.empty()) return 1;
  std::FILE* out = std::fopen(tmp.c_str(), "ab");
  std::vector<char> buffer(kStatiOutBufferBytes);
  if (out == nullptr || std::setvbuf(out, buffer.data(), _IOFBF, buffer.size()) != 0) {
    std::perror(tmp.c_str());
    return 1;
  }
  // The file holds every pass; one pass's lines are written as often.
  const size_t perPass = lines.size() / static_cast<size_t>(passes);
  const auto start = std::chrono::steady_clock::now();
  bool ok = true;
  for (long pass = 0; pass < passes; ++pass) {
    for (size_t i = 0; i < perPass; ++i) {
      const auto& [at, len] = lines[static_cast<size_t>(pass) * perPass + i];
      ok = std::fwrite(data.data() + at, 1, len, out) == len && ok;
    }
  }
  ok = std::fclose(out) == 0 && ok;
  *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::remove(tmp.c_str());
  if (!ok) std::fprintf(stderr, "writing the fwrite ceiling's file failed\n");
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (const int rc = ParseOptions(argc, argv, &o); rc != 0) return rc;
  const zmo::DbKind kind = zmo::dbKindFromName(o.kind.c_str());
  const char* tag = zmo::sap::StatLayoutTag(o.release.c_str());
  if (kind == zmo::DbKind::kNone || tag == nullptr) {
    std::fprintf(stderr, "unknown kind %s or release %s\n", o.kind.c_str(), o.release.c_str());
    return 2;
  }

  zmo::rfc::SimSystem sys;
  sys.name = "BENCH";
  sys.host = "appbench.example.net";
  sys.client = "100";
  sys.sysid = "BEN";
  sys.dbhost = "dbbench";
  sys.release = o.release;
  sys.generator.enabled = true;
  sys.generator.seed = o.seed;
  sys.generator.normal_per_hour = static_cast<unsigned>(o.perHour - o.perHour / 20);
  sys.generator.batch_per_hour = static_cast<unsigned>(o.perHour / 20);

  const zmo::sap::StructLayout* bl = zmo::sap::FindLayout(zmo::sap::kBatchStructure, tag);
  const zmo::sap::StructLayout* nl = zmo::sap::FindLayout(zmo::sap::kNormalStructure, tag);
  ITAB_H batch = ItCreate("V2_BTC_STEP_RECORDS", bl->line_size, 0, 0);
  ITAB_H normal = ItCreate("V2_NORMAL_RECORDS", nl->line_size, 0, 0);
  long long batchLines = 0, normalLines = 0;
  std::fprintf(stderr, "generating %ld records an hour for %ld hours (release %s)...\n", o.perHour,
               o.hours, o.release.c_str());
  if (FillTables(sys, o.hours, batch, normal, &batchLines, &normalLines) != 0) return 1;
  const long long tableBytes = batchLines * bl->line_size + normalLines * nl->line_size;

  // The collector's state as a collection run leaves it before statiPutOut.
  std::string path = o.out;
  if (path.empty() && (path = TemporaryFile()).empty()) return 1;
  zmo::setDatabaseKind(kind);
  StatiState& st = statiState();
  zmo::setAllMetricSwitches(&st.switches);
  st.collect.host = sys.host;
  st.collect.shortHost = "appbench";
  st.collect.server.sysnr = 0;
  StatiRfcSession& session = statiRfcSession();
  session.systemId = sys.sysid;
  session.dbHost = sys.dbhost;
  statiSetRelease(sys.release);
  session.batchTable = batch;
  session.normalTable = normal;
  st.collect.outFile = std::fopen(path.c_str(), "ab");
  if (st.collect.outFile == nullptr) {
    std::perror(path.c_str());
    return 1;
  }
  std::vector<char> outBuffer(kStatiOutBufferBytes);
  std::setvbuf(st.collect.outFile, outBuffer.data(), _IOFBF, outBuffer.size());

  malloc_trim(0);  // the generator's values are gone; give their pages back
  const long long residentBefore = ResidentBytes();
  const bool peakReset = ResetPeakResident();
  const double cpuBefore = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  int rc = 0;
  for (long pass = 0; pass < o.passes && rc == 0; ++pass) rc = statiPutOut();
  const bool closed = std::fclose(st.collect.outFile) == 0;
  const auto end = std::chrono::steady_clock::now();
  const double cpu = CpuSeconds() - cpuBefore;
  st.collect.outFile = nullptr;
  const long long peak = PeakResidentBytes();
  if (rc != 0 || !closed) {
    std::fprintf(stderr, "statiPutOut() returned %d%s\n", rc,
                 closed ? "" : ", closing the file failed");
    return 1;
  }

  session.batchTable = session.normalTable = ITAB_NULL;
  ItDelete(batch);
  ItDelete(normal);

  double ceilingSeconds = 0;
  long long bytes = 0;
  if (FwriteCeiling(path, o.passes, &bytes, &ceilingSeconds) != 0) return 1;
  if (o.out.empty()) std::remove(path.c_str());
  const double seconds = std::chrono::duration<double>(end - start).count();
  const long long records = (batchLines + normalLines) * o.passes;
  std::printf(
      "release %s, kind %s: %lld records (%lld batch, %lld normal), %ld an hour for %ld hours",
      o.release.c_str(), o.kind.c_str(), batchLines + normalLines, batchLines, normalLines,
      o.perHour, o.hours);
  if (o.passes > 1) std::printf(", converted %ld times", o.passes);
  std::printf("\n");
  std::printf("converted in %.3f s (%.3f s CPU): %.0f records/s, %.1f MB/s (%lld bytes written)\n",
              seconds, cpu, records / seconds, Mb(bytes) / seconds, bytes);
  std::printf(
      "fwrite ceiling, the same lines written with one fwrite each through a buffer of "
      "%zu bytes: %.3f s, %.0f records/s; the writer runs at %.2f of it\n",
      kStatiOutBufferBytes, ceilingSeconds, records / ceilingSeconds, ceilingSeconds / seconds);
  std::printf(
      "table lines %.1f MB; resident before the conversion %.1f MB, peak %s%.1f MB (%+.1f MB)\n",
      Mb(tableBytes), Mb(residentBefore), peakReset ? "during it " : "of the process ", Mb(peak),
      Mb(peak - residentBefore));
  return 0;
}
