// The rules behind frmSpecRun and its launcher: CheckSpecRun, the guard
// against a run while a collector or the loader is active, and
// RunSpecialRun, which writes zmoSpecRunServList.dat and starts
// "zmostati -np" without waiting.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zmo::config {

// ---- The page's check ----

struct SpecRunFields {
  std::string start_date;  // txtStartDate, yyyymmdd
  std::string start_time;  // txtStartTime, hhmmss
  std::string end_date;    // txtEndDate
  std::string end_time;    // txtEndTime
};

// The box a refusal selects; kNone leaves the focus.
enum class SpecRunBox { kNone, kStartDate, kStartTime, kEndDate, kEndTime };

// CheckSpecRun: 0 when a run may start, else the catalog id of the first
// failing check (1408-1411, 1441, 1442, 1443), with *box the box to select.
int CheckSpecRun(const SpecRunFields& fields, size_t selected_count, SpecRunBox* box);

// ---- What the launcher asks of the machine ----

// Replaceable in part: tests override what they need.
class SpecRunServices {
 public:
  virtual ~SpecRunServices() = default;
  // Starts program with argv (argv[0] is the program) as a process of its
  // own, with a window titled by the program path, and does not wait.
  // Returns 0, or the errno of the failed start.
  virtual int StartProgram(const std::string& program, const std::vector<std::string>& argv);
  // The titles of the top-level windows, by the window walk of
  // platform/window_titles.h in z-order. Returns 0, or an errno.
  virtual int WindowTitles(std::vector<std::string>* titles);
};

// The services in force: the installed ones, else the machine's.
SpecRunServices& specRunServices();
// Installs services (nullptr: the machine's again). The caller keeps ownership.
void SetSpecRunServices(SpecRunServices* services);

// ---- The guard ----

// WindowTitleExists: true when the title of a top-level window contains text
// (case-sensitive): "zmoload" finds zmoloader's window, "zmostati" a
// collector's and the loader batch's "... Load/Aggregate zmostati data".
bool WindowTitleExists(const std::string& text);

// True when a special run must not start: a window whose title holds
// "zmostati" or "zmoload". A collector has one only while it collects (the
// service between its schedule times has none), so a waiting service does
// not refuse the run.
bool SpecialRunBlocked();

// ---- The launcher ----

// Result codes of RunSpecialRun.
constexpr int kSpecRunStarted = 0;
constexpr int kSpecRunNoServers = 1;   // no record matched (1438 shown)
constexpr int kSpecRunNotStarted = 2;  // list or start failed (shown)

// The argument vector of the run: zmostati, -np, -d when StatiDebug is
// "True", -ld when LoadDebug is "True", then -if, -of, -st, -sd, -et, -ed,
// -bindir and -dbtype each followed by its value as one element.
std::vector<std::string> SpecialRunArguments(const SpecRunFields& fields, bool stati_debug,
                                             bool load_debug, const std::string& db_type);

// RunSpecialRun: copies each record of the server file (the one the page's
// list was read from) whose list item is one of selected, once, in file
// order, into BinDir's zmoSpecRunServList.dat (written beside and renamed
// into place), then starts BinDir's zmostati with SpecialRunArguments.
// Returns kSpecRunStarted only when the process was started.
int RunSpecialRun(const std::vector<std::string>& selected, const SpecRunFields& fields);

}  // namespace zmo::config
