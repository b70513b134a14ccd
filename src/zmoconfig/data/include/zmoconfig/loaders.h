// The loaders of the configurator's data files and data-source values: they
// fill the module tables (config_state.h) and hand back the list items the
// calling page shows. A form name is compared exactly, case included, with
// the forms' class names ("frmServers", "frmSpecRun", "frmCurrentConfig").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/data_files.h"
#include "common/db_kind.h"
#include "zmoconfig/config_state.h"

namespace zmo::config {

// ---- Group files ----

// Reads zmoTransGroup.dat into gTransGroups and gTransGroupCount (trimmed
// group name, trimmed code) under the hourglass. A missing file (or no
// BinDir) empties the table, so a deleted file never shows stale groups.
void LoadTransGroups();

// Reads zmoAppGroup.dat into gAppGroups and gAppGroupCount: each group name
// once, with the service level of its first record, in the order of first
// appearance; the count is the rows filled. A missing file empties the table.
void LoadAppGroups();

// ---- The application-server file ----

// Result codes of LoadServerFile.
constexpr int kServerLoadOk = 0;
// Another process holds a write lock on the file (an open file description
// lock, F_OFD_SETLK), or the file may not be read.
constexpr int kServerLoadLocked = 70;
constexpr int kServerLoadFailed = 1;    // cannot be opened or read (not missing)
constexpr int kServerLoadTooLarge = 2;  // more rows than a table holds

// The list items a server-file load produces for the pages.
struct ServerLists {
  // frmServers.lstServer: "host inst" per server (appended by the page).
  std::vector<std::string> lstServer;
  // frmCurrentConfig.lstServers: host names (appended by the page).
  std::vector<std::string> currentServers;
  // frmSpecRun.lstServers: "host inst" of the servers not yet selected for
  // a special run. After a good load (whichever form) the page clears that
  // list and fills it with these; after a failed one it leaves the list.
  std::vector<std::string> specRunServers;
  // Whether frmServers.lstServer is to be enabled after the load.
  bool lstServerEnabled = false;
};

// The path LoadServerFile reads: gServerFile, or else the registry value
// StatiInput.
std::string ServerFilePath();

// Reads the server file into gServers and gServerCount and fills *lists for
// form: "frmServers" gets lstServer; any other form gets currentServers and
// specRunServers, the latter leaving out every item that equals an entry of
// selected (frmSpecRun.lstSvrsToAgg). Shows 1449 in the status line first.
// Returns kServerLoadOk (a missing file is an empty list, status 1449
// stays), kServerLoadLocked (waits one second on the clock, shows 1437 in a
// box unless form is "frmCurrentConfig", then 1446 in the status line), or
// kServerLoadFailed / kServerLoadTooLarge (shows 1453 in the status line and
// a message naming the file). On any failure the table is emptied and
// gServerFileLoaded is false, so a later save cannot write a stale table.
int LoadServerFile(const std::string& form, const std::vector<std::string>& selected,
                   ServerLists* lists);

// The same read for a page that only shows the servers (frmCurrentConfig,
// frmSpecRun): the rows go to *rows (row 0 empty; emptied on a failure)
// and gServers, gServerCount and gServerFileLoaded stay as they are, so the
// unsaved edits of frmServers survive a visit to those pages.
int LoadServerFileCopy(const std::string& form, const std::vector<std::string>& selected,
                       ServerLists* lists, std::vector<ServerRow>* rows);

// Refills lstServer ("host inst") from gServers without reading the file;
// shows 1449 in the status line. specRunServers comes back empty (the page
// clears frmSpecRun.lstServers).
void FillServerLists(const std::string& form, ServerLists* lists);

// The list item of a server row: trimmed host, one blank, trimmed instance.
std::string ServerListItem(const ServerRow& row);

// ---- Exclusion lists ----

// Appends the trimmed entries of an exclusion list to *entries, in file
// order; a missing file (or no BinDir) appends nothing. A last line without
// its CR LF still counts.
void LoadIgnoreList(zmo::IgnoreList list, std::vector<std::string>* entries);

// True when form is the list's own page ("frmIDsToIgnore",
// "frmProgsToIgnore", "frmTransToIgnore"): its list box gets the entries;
// otherwise frmCurrentConfig's combo box (cmbIDs, cmbPrograms,
// cmbTransactions) does.
bool IgnoreListOwnPage(zmo::IgnoreList list, const std::string& form);

// The design's three loaders, for the pages that call them by name.
void LoadIDsToIgnore(std::vector<std::string>* entries);
void LoadProgsToIgnore(std::vector<std::string>* entries);
void LoadTransToIgnore(std::vector<std::string>* entries);

// ---- Data-source registry values ----

// What LoadDataSource shows. An empty text means: leave the control as it is.
struct DataSourceValues {
  std::string txtUserID;     // frmDataSource only
  std::string dsn;           // frmDataSource.txtDSN, or frmCurrentConfig.txtDataSource
  std::string txtPassword;   // frmDataSource only: DecryptText of Access
  std::string txtCorvainst;  // with the Corva kind: gCorvaInstance
  // The kind DB names, whichever form is named; kNone (DB missing or
  // unknown): no kind is ticked, so a choice that was never saved does not
  // look stored.
  zmo::DbKind kind = zmo::DbKind::kNone;
  // The Oracle client version (a version of zmo::kOracleVersions), read only
  // for "frmDataSource" and the Oracle kind; "" for none or an unknown one.
  std::string oracle_version;
};

// The client program a database kind needs on PATH (FileInPath), by the
// shared kind and tool tables: "" for no kind, or Oracle without a known
// version.
std::string ClientToolName(zmo::DbKind kind, const std::string& oracle_version);

// Reads User, DSN, Access, INST (into gCorvaInstance), DB and, for the
// Oracle kind on "frmDataSource", Oracle, into *values.
void LoadDataSource(const std::string& form, DataSourceValues* values);

// ---- Transaction codes ----

// True when code (trimmed, upper-cased) is a record of zmotcodes.dat (found
// by binary search in the list's order: without regard to case, signs before
// digits before letters) or a line of
// zmoztcodes.dat, or when zmotcodes.dat is missing.
bool IsStandardTCode(const std::string& code);

// ---- Waiting ----

// Returns when n seconds have passed on the system clock (tests: at once on
// the fake clock).
void WaitSeconds(std::int16_t n);

}  // namespace zmo::config
