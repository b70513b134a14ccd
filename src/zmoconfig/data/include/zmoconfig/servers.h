// The rules behind frmServers, frmAddServers and frmGetServerFile: the
// checks of one entry (CheckFields, CheckForDups), storing it in gServers,
// and writing zmoserver.dat with the registry values that name it.
#pragma once

#include <string>

#include "zmoconfig/config_state.h"

namespace zmo::config {

// The boxes of frmAddServers as typed, and the chosen language position
// (-1: none).
struct ServerEntry {
  std::string host;      // txtServer
  std::string user;      // txtID
  std::string password;  // txtPW, clear text
  std::string sid;       // txtSID
  std::string client;    // txtClient
  std::string sysnr;     // txtInstanceNo
  int language = -1;     // cmbLanguage.ListIndex
};

// The box a refused entry selects (SelectText); kNone leaves the focus.
enum class ServerBox { kNone, kServer, kId, kPassword, kSid, kClient, kInstanceNo };

// Why an entry was refused: the catalog id, the whole message text to show
// (the id's text, with the limit where it names one) and the box to select.
struct EntryRefusal {
  int text_id = 0;
  std::string text;
  ServerBox box = ServerBox::kNone;
};

// The language letters in the order of cmbLanguage (catalog 1474-1483).
constexpr int kServerLanguageCount = 10;
char ServerLanguageLetter(int position);  // ' ' outside the list
int ServerLanguagePosition(char letter);  // -1 for a letter outside the list

// CheckFields: 0 when the entry may be stored, else the catalog id of the
// first failing check, with *refusal filled. Normalises entry->sid (trimmed,
// upper case), entry->sysnr ("00") and entry->client ("000") as it passes
// them. Host and user hold no inner blank and the password fits the
// scrambled field; client and system number are digits only.
int CheckFields(ServerEntry* entry, EntryRefusal* refusal);

// CheckForDups: true when no row but record_to_skip (0: none) holds the same
// host and SID (both without regard to case), client and system number.
bool CheckForDups(int record_to_skip, const ServerEntry& entry);

// Result codes of StoreServerEntry.
constexpr int kStoreOk = 0;
constexpr int kStoreNoRow = 1;         // row is no row of the table
constexpr int kStoreTableFull = 2;     // no row can be added
constexpr int kStoreNotScrambled = 3;  // scrambling gave nothing (1448 shown)

// Stores a checked entry into row (1-based) of gServers, or appends a row
// when row is 0: host and user trimmed, the password scrambled, the window
// "000000"-"240000", the language letter (none chosen: the row keeps its
// letter, blank in a new row).
int StoreServerEntry(int row, const ServerEntry& entry);

// The boxes of frmAddServers for editing row: host and user, the password
// unscrambled when the row holds one, SID, client, system number and the
// language position.
ServerEntry ServerEntryFromRow(const ServerRow& row);

// Removes row (1-based); the rows after it move up. False for no such row.
bool DeleteServerRow(int row);

// OK of frmServers. Refused with 1520 while gServerFileLoaded is false.
// Writes the table to the file (gServerFile, else the file StatiInput
// names, else BinDir's zmoserver.dat) beside the old one and renames it into
// place after copying the old one to BinDir's zmoserver.bak; only then sets
// StatiInput and SnapInput to that path, stopping at the first failure.
// Every failure is shown (status 1453) and gives kSaveFailed (file_save.h).
int SaveServerFile();

// OK of frmGetServerFile: the chosen file must be named zmoserver.dat,
// without regard to case. Returns 0 and *path (folder and name joined with
// one separator), or 1504.
int ServerFileChoice(const std::string& folder, const std::string& file, std::string* path);

}  // namespace zmo::config
