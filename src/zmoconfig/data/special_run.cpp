#include "zmoconfig/special_run.h"

#include <cerrno>
#include <cstring>

#include "common/data_files.h"
#include "common/pipeline.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/window_titles.h"
#include "zmoconfig/bin_dir.h"
#include "zmoconfig/catalog.h"
#include "zmoconfig/config_ui.h"
#include "zmoconfig/file_save.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/record_codec.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmoconfig/text_ids.h"
#include "zmoconfig/text_rules.h"
#include "zmoconfig/validators.h"
#include "zmogdlib/config_key.h"

namespace zmo::config {

namespace {

constexpr const char* kSpecRunListFile = "zmoSpecRunServList.dat";
constexpr const char* kStatiProgram = zmo::pipelineProgram(zmo::PipelineProgram::kStati).executable;
// The run writes into the statistics hand-over file, which the next load
// takes along.
constexpr const char* kStatiOutputFile = zmo::pipelineFile(zmo::PipelineFile::kStati).hand_over;
constexpr const char* kLoaderPrefix = "zmoload";

SpecRunServices machine_services;
SpecRunServices* current_services = &machine_services;

int Refuse(SpecRunBox* box, int id, SpecRunBox which) {
  *box = which;
  return id;
}

}  // namespace

int CheckSpecRun(const SpecRunFields& f, size_t selected_count, SpecRunBox* box) {
  *box = SpecRunBox::kNone;
  if (!ValidStartDate(f.start_date))
    return Refuse(box, kTextStartDateInvalid, SpecRunBox::kStartDate);
  if (!ValidStartTime(f.start_time, f.start_date)) {
    return Refuse(box, kTextStartTimeInvalid, SpecRunBox::kStartTime);
  }
  if (!ValidEndDate(f.end_date)) return Refuse(box, kTextEndDateInvalid, SpecRunBox::kEndDate);
  // Both are eight digits now, so text order is number order.
  if (f.end_date < f.start_date) return Refuse(box, kTextEndBeforeStart, SpecRunBox::kEndDate);
  if (!ValidEndTime(f.end_time, f.end_date)) {
    return Refuse(box, kTextEndTimeInvalid, SpecRunBox::kEndTime);
  }
  if (selected_count == 0) return Refuse(box, kTextNoServersSelected, SpecRunBox::kNone);
  if (f.start_date == f.end_date && f.start_time > f.end_time) {
    return Refuse(box, kTextStartAfterEnd, SpecRunBox::kEndTime);
  }
  return 0;
}

int SpecRunServices::StartProgram(const std::string& program,
                                  const std::vector<std::string>& argv) {
  zmo::SpawnRequest request;
  request.path = program;
  request.argv = argv;
  request.detached = true;  // runs on after the configurator, nobody waits for it
  // The console window the guard looks for, before the program runs.
  request.before_exec = [&program](pid_t pid) {
    zmo::SetWindowTitle(pid, program);
    return 0;
  };
  pid_t pid = 0;
  return zmo::SpawnProcess(request, &pid) == 0 ? 0 : errno;
}

int SpecRunServices::WindowTitles(std::vector<std::string>* titles) {
  // The top-level window walk in z-order, each title read with a buffer of
  // its length and the NUL.
  for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    const int length = GetWindowTextLengthA(w);
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(w, text.data(), length + 1);
    titles->emplace_back(text.data(), got > 0 ? static_cast<size_t>(got) : 0);
  }
  return 0;
}

SpecRunServices& specRunServices() { return *current_services; }

void SetSpecRunServices(SpecRunServices* services) {
  current_services = services != nullptr ? services : &machine_services;
}

bool WindowTitleExists(const std::string& text) {
  std::vector<std::string> titles;
  specRunServices().WindowTitles(&titles);
  for (const std::string& title : titles) {
    if (title.find(text) != std::string::npos) return true;
  }
  return false;
}

bool SpecialRunBlocked() {
  // A collection or a load at work has a window: the zmostati service and a
  // one-shot collector while they collect, a started collector or loader,
  // and the loader's batch ("... Load/Aggregate zmostati data"). The service
  // waiting between its schedule times has none.
  return WindowTitleExists(kStatiProgram) || WindowTitleExists(kLoaderPrefix);
}

std::vector<std::string> SpecialRunArguments(const SpecRunFields& f, bool stati_debug,
                                             bool load_debug, const std::string& db_type) {
  std::vector<std::string> argv = {zmo::JoinPath(gBinDir, kStatiProgram), "-np"};
  if (stati_debug) argv.push_back("-d");
  if (load_debug) argv.push_back("-ld");
  const std::string pairs[][2] = {{"-if", zmo::JoinPath(gBinDir, kSpecRunListFile)},
                                  {"-of", zmo::JoinPath(gBinDir, kStatiOutputFile)},
                                  {"-st", f.start_time},
                                  {"-sd", f.start_date},
                                  {"-et", f.end_time},
                                  {"-ed", f.end_date},
                                  {"-bindir", gBinDir},
                                  {"-dbtype", db_type}};
  for (const auto& p : pairs) {
    argv.push_back(p[0]);
    argv.push_back(p[1]);
  }
  return argv;
}

int RunSpecialRun(const std::vector<std::string>& selected, const SpecRunFields& fields) {
  std::string list_path;
  if (BinFilePath(kSpecRunListFile, &list_path) != kBinDirOk) {
    ShowSaveFailure(kSpecRunListFile, "BinDir is not set");
    return kSpecRunNotStarted;
  }
  const std::string db_type = UpperText(GetRegValue(zmo::cfg::kDB));
  // The records of the file the page's list was read from.
  ServerLists lists;
  std::vector<ServerRow> rows;
  if (LoadServerFileCopy("frmSpecRun", {}, &lists, &rows) != kServerLoadOk) {
    return kSpecRunNotStarted;
  }
  std::string data;
  for (size_t r = 1; r < rows.size(); ++r) {
    const std::string item = ServerListItem(rows[r]);
    for (const std::string& s : selected) {
      if (s == item) {
        data += EncodeServerRecord(rows[r]);
        break;  // a record is written once, however many items name it
      }
    }
  }
  if (data.empty()) {
    configUi().MessageOk(LoadResString(kTextSpecialRunError));
    return kSpecRunNoServers;
  }
  // Copies of server records: scrambled passwords, so private as the server file.
  if (ReplaceDataFile(list_path, data, "", FileAccess::kPrivate) != kSaveOk) {
    return kSpecRunNotStarted;
  }
  const bool stati_debug = GetRegValue(zmo::cfg::kStatiDebug) == "True";
  const bool load_debug = GetRegValue(zmo::cfg::kLoadDebug) == "True";
  const std::vector<std::string> argv =
      SpecialRunArguments(fields, stati_debug, load_debug, db_type);
  const int error = specRunServices().StartProgram(argv[0], argv);
  if (error != 0) {
    ShowSaveFailure(argv[0], std::strerror(error));
    return kSpecRunNotStarted;
  }
  return kSpecRunStarted;
}

}  // namespace zmo::config
