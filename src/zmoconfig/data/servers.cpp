#include "zmoconfig/servers.h"

#include <cctype>

#include "common/data_files.h"
#include "platform/files.h"
#include "zmoconfig/bin_dir.h"
#include "zmoconfig/catalog.h"
#include "zmoconfig/config_ui.h"
#include "zmoconfig/file_save.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/record_codec.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmoconfig/text_ids.h"
#include "zmoconfig/text_rules.h"
#include "zmogdlib/config_key.h"

namespace zmo::config {

namespace {

constexpr char kLanguageLetters[kServerLanguageCount + 1] = "EDJFISPKTC";
constexpr const char* kWindowStart = "000000";
constexpr const char* kWindowEnd = "240000";

int Refuse(EntryRefusal* refusal, int id, ServerBox box, const std::string& suffix = "") {
  refusal->text_id = id;
  refusal->text = LoadResString(id) + suffix;
  refusal->box = box;
  return id;
}

// A number box: digits only, at most width digits once the zeros in front
// are dropped. Returns 0 with *out in the picture of width digits, or the
// message: not_numeric, or negative for a minus sign before digits.
int NumberBox(const std::string& typed, size_t width, int not_numeric, int negative,
              std::string* out) {
  const std::string text = Trimmed(typed);
  if (text.size() > 1 && text[0] == '-' && AllDigits(text.substr(1))) return negative;
  if (!AllDigits(text)) return not_numeric;
  std::string digits = text.substr(std::min(text.find_first_not_of('0'), text.size()));
  if (digits.size() > width) return not_numeric;
  digits.insert(0, width - digits.size(), '0');
  *out = digits;
  return 0;
}

}  // namespace

char ServerLanguageLetter(int position) {
  return position >= 0 && position < kServerLanguageCount ? kLanguageLetters[position] : ' ';
}

int ServerLanguagePosition(char letter) {
  for (int i = 0; i < kServerLanguageCount; ++i) {
    if (kLanguageLetters[i] == letter) return i;
  }
  return -1;
}

int CheckFields(ServerEntry* e, EntryRefusal* refusal) {
  *refusal = EntryRefusal{};
  const std::string host = Trimmed(e->host);
  if (host.empty()) return Refuse(refusal, kTextNoServer, ServerBox::kNone);
  const size_t slash = host.rfind('/');
  const std::string part = slash == std::string::npos ? host : host.substr(slash + 1);
  if (part.find('.') == std::string::npos)
    return Refuse(refusal, kTextNotQualified, ServerBox::kNone);
  std::string undotted;
  for (char c : part) {
    if (c != '.') undotted += c;
  }
  if (LooksNumeric(undotted)) return Refuse(refusal, kTextNotQualified, ServerBox::kNone);
  // The collectors read each field up to its first blank.
  if (HasInnerBlank(host)) return Refuse(refusal, kTextInnerBlank, ServerBox::kServer);
  const std::string user = Trimmed(e->user);
  if (user.empty()) return Refuse(refusal, kTextNoId, ServerBox::kId);
  if (HasInnerBlank(user)) return Refuse(refusal, kTextInnerBlank, ServerBox::kId);
  const std::string password = Trimmed(e->password);
  if (password.empty()) return Refuse(refusal, kTextNoPassword, ServerBox::kPassword);
  const size_t longest = LongestPasswordFor(zmo::kServerPassword.width);
  if (password.size() > longest) {
    return Refuse(refusal, kTextPasswordTooLong, ServerBox::kPassword,
                  " " + std::to_string(longest));
  }
  if (Trimmed(e->sid).empty()) return Refuse(refusal, kTextNoSid, ServerBox::kSid);
  e->sid = UpperText(Trimmed(e->sid));
  if (Trimmed(e->sysnr).empty()) return Refuse(refusal, kTextNoInstance, ServerBox::kInstanceNo);
  int id = NumberBox(e->sysnr, zmo::kServerSysnr.width, kTextInstanceNumeric, kTextInstanceNegative,
                     &e->sysnr);
  if (id != 0) return Refuse(refusal, id, ServerBox::kInstanceNo);
  if (Trimmed(e->client).empty()) return Refuse(refusal, kTextNoClient, ServerBox::kClient);
  id = NumberBox(e->client, zmo::kServerClient.width, kTextClientNumeric, kTextClientNumeric,
                 &e->client);
  if (id != 0) return Refuse(refusal, id, ServerBox::kClient);
  return 0;
}

bool CheckForDups(int record_to_skip, const ServerEntry& e) {
  for (int j = 1; j <= gServerCount && j < static_cast<int>(gServers.size()); ++j) {
    const ServerRow& row = gServers[j];
    if (j != record_to_skip && EqualNoCase(Trimmed(row[kSrvHost]), Trimmed(e.host)) &&
        EqualNoCase(Trimmed(row[kSrvSid]), Trimmed(e.sid)) &&
        Trimmed(row[kSrvClient]) == Trimmed(e.client) &&
        Trimmed(row[kSrvSysnr]) == Trimmed(e.sysnr)) {
      return false;
    }
  }
  return true;
}

int StoreServerEntry(int row, const ServerEntry& e) {
  if (row < 0 || row > gServerCount || row >= static_cast<int>(gServers.size())) {
    return kStoreNoRow;
  }
  if (row == 0 && gServerCount >= kMaxTableRows) return kStoreTableFull;
  const std::string scrambled = EncryptText(e.password);
  if (Trimmed(scrambled).empty()) return kStoreNotScrambled;
  if (row == 0) {
    gServers.resize(static_cast<size_t>(gServerCount) + 1);
    gServers.push_back(ServerRow{});
    ++gServerCount;
    row = gServerCount;
    gServers[row][kSrvLanguage] = " ";
  }
  ServerRow& r = gServers[row];
  r[kSrvHost] = Trimmed(e.host);
  r[kSrvUser] = Trimmed(e.user);
  r[kSrvPassword] = scrambled;
  r[kSrvSid] = e.sid;
  r[kSrvClient] = e.client;
  r[kSrvSysnr] = e.sysnr;
  r[kSrvWindowStart] = kWindowStart;
  r[kSrvWindowEnd] = kWindowEnd;
  if (e.language >= 0 && e.language < kServerLanguageCount) {
    r[kSrvLanguage] = std::string(1, ServerLanguageLetter(e.language));
  }
  return kStoreOk;
}

ServerEntry ServerEntryFromRow(const ServerRow& row) {
  ServerEntry e;
  e.host = Trimmed(row[kSrvHost]);
  e.user = Trimmed(row[kSrvUser]);
  if (!Trimmed(row[kSrvPassword]).empty()) e.password = DecryptText(row[kSrvPassword]);
  e.sid = Trimmed(row[kSrvSid]);
  e.client = Trimmed(row[kSrvClient]);
  e.sysnr = Trimmed(row[kSrvSysnr]);
  const std::string letter = Trimmed(row[kSrvLanguage]);
  e.language = letter.size() == 1 ? ServerLanguagePosition(letter[0]) : -1;
  return e;
}

bool DeleteServerRow(int row) {
  if (row < 1 || row > gServerCount || row >= static_cast<int>(gServers.size())) return false;
  gServers.erase(gServers.begin() + row);
  --gServerCount;
  return true;
}

int SaveServerFile() {
  if (!gServerFileLoaded) {
    configUi().MessageOk(LoadResString(kTextServerFileNotLoaded));
    configUi().StatusText(kTextActionFailed);
    return kSaveFailed;
  }
  std::string local;
  std::string backup;
  if (BinFilePath(zmo::kServerFileName, &local) != kBinDirOk ||
      BinFilePath(zmo::kServerBackupName, &backup) != kBinDirOk) {
    return ShowSaveFailure(zmo::kServerFileName, "BinDir is not set");
  }
  // The file named now stays named unless another one was chosen.
  std::string path = gServerFile;
  if (path.empty()) path = GetRegValue(zmo::cfg::kStatiInput);
  if (path.empty()) path = local;
  std::string data;
  for (int row = 1; row <= gServerCount && row < static_cast<int>(gServers.size()); ++row) {
    data += EncodeServerRecord(gServers[row]);
  }
  // The records hold scrambled passwords: the file and its backup are private.
  if (ReplaceDataFile(path, data, backup, FileAccess::kPrivate) != kSaveOk) return kSaveFailed;
  if (SetRegValue(zmo::cfg::kStatiInput, path) != kRegOk ||
      SetRegValue(zmo::cfg::kSnapInput, path) != kRegOk) {
    configUi().StatusText(kTextActionFailed);
    return kSaveFailed;
  }
  return kSaveOk;
}

int ServerFileChoice(const std::string& folder, const std::string& file, std::string* path) {
  path->clear();
  if (!EqualNoCase(file, zmo::kServerFileName)) return kTextWrongServerFile;
  *path = zmo::JoinPath(folder, file);
  return 0;
}

}  // namespace zmo::config
