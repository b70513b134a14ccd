// The configurator's working copy of the configuration: the module state
// that every page reads and changes. It lives for the whole run and is used
// on the GUI thread only.
//
// Text is kept as the files and the registry hold it (Windows-1252 bytes);
// the page layer converts it where it meets a widget (codepage.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zmo::config {

// A row of the server table: fields 1-9 are the nine data fields of a
// server record in record order, untrimmed at their full width; field 0 is
// unused.
using ServerRow = std::array<std::string, 10>;
// A row of a group table: field 1 the group name, field 2 the service level
// text (application groups) or the transaction code (memberships), trimmed;
// field 0 is unused.
using GroupRow = std::array<std::string, 3>;

// Field numbers of ServerRow.
constexpr int kSrvHost = 1, kSrvUser = 2, kSrvPassword = 3, kSrvSid = 4, kSrvClient = 5,
              kSrvSysnr = 6, kSrvWindowStart = 7, kSrvWindowEnd = 8, kSrvLanguage = 9;

// The largest row count a table holds (the counts are 16-bit).
constexpr int kMaxTableRows = 32767;

// The product directory (registry value BinDir); empty when it is not set.
extern std::string gBinDir;
// The network server file chosen by the user; empty: StatiInput names it.
extern std::string gServerFile;

// The tables are indexed row first: gServers[row][field]. Rows run from 1 to
// the count; row 0 exists and holds nothing. A load sizes a table to exactly
// count + 1 rows.
extern std::vector<ServerRow> gServers;
extern std::int16_t gServerCount;
extern std::vector<GroupRow> gAppGroups;
extern std::int16_t gAppGroupCount;
extern std::vector<GroupRow> gTransGroups;
extern std::int16_t gTransGroupCount;

// Registry value INST as LoadDataSource last read it.
extern std::string gCorvaInstance;

// False after a server-file load that failed for any reason but a missing
// file: gServers then does not hold the file, so a save of the server file
// is refused until a load succeeds. True at start and after every good load.
extern bool gServerFileLoaded;

// Empties every table and value above (for a fresh start and for tests).
void ResetConfigState();

}  // namespace zmo::config
