// LoadServerFile, FillServerLists and WaitSeconds.
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/data_files.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "zmoconfig/catalog.h"
#include "zmoconfig/config_state.h"
#include "zmoconfig/config_ui.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmogdlib/config_key.h"

namespace {

constexpr int kTextErrorEncountered = 1402;
constexpr int kTextCannotOpenLocked = 1437;
constexpr int kTextServerFileLocked = 1446;
constexpr int kTextLoadingServers = 1449;
constexpr int kTextActionFailed = 1453;

const std::string kCurrentConfigForm = "frmCurrentConfig";
const std::string kServersForm = "frmServers";

std::string Trimmed(const std::string& text) { return std::string(zmo::trimBlanks(text)); }

void EmptyServerTable() {
  gServers.assign(1, ServerRow{});
  gServerCount = 0;
}

// A failed load leaves no table that a later save could write back.
int Failed(int result, const std::string& form, const std::string& path, const char* reason) {
  EmptyServerTable();
  gServerFileLoaded = false;
  if (result == kServerLoadLocked) {
    WaitSeconds(1);
    if (form != kCurrentConfigForm) configUi().MessageOk(LoadResString(kTextCannotOpenLocked));
    configUi().StatusText(kTextServerFileLocked);
  } else {
    configUi().StatusText(kTextActionFailed);
    configUi().MessageOk(LoadResString(kTextErrorEncountered) + path + ": " + reason);
  }
  return result;
}

}  // namespace

std::string ServerFilePath() {
  return gServerFile.empty() ? GetRegValue(zmo::cfg::kStatiInput) : gServerFile;
}

std::string ServerListItem(const ServerRow& row) {
  return Trimmed(row[kSrvHost]) + " " + Trimmed(row[kSrvSysnr]);
}

int LoadServerFile(const std::string& form, const std::vector<std::string>& selected,
                   ServerLists* lists) {
  configUi().StatusText(kTextLoadingServers);
  const std::string path = ServerFilePath();
  std::string data;
  if (path.empty() || zmo::ReadWholeFile(path, &data) != 0) {
    const int error = path.empty() ? ENOENT : errno;
    if (error != ENOENT) {
      const int result =
          error == EACCES || error == EPERM || error == EAGAIN ? kServerLoadLocked
                                                               : kServerLoadFailed;
      return Failed(result, form, path, std::strerror(error));
    }
    data.clear();  // a missing file is an empty list
  }
  const std::int64_t count =
      zmo::recordCount(static_cast<std::int64_t>(data.size()), zmo::kServerRecordLength);
  if (count > kMaxTableRows) return Failed(kServerLoadTooLarge, form, path, "too many servers");

  EmptyServerTable();
  lists->specRunServers.clear();
  for (std::int64_t n = 1; n <= count; ++n) {
    const std::string_view record = zmo::recordAt(data, zmo::kServerRecordLength, n);
    ServerRow row;
    for (int f = 0; f < zmo::kServerDataFields; ++f) {
      // Stored at full width, as a fixed-length read gives it.
      std::string field(zmo::recordField(record, zmo::kServerFields[f]));
      field.resize(zmo::kServerFields[f].width, ' ');
      row[f + 1] = field;
    }
    const std::string item = ServerListItem(row);
    if (form == kServersForm) {
      lists->lstServer.push_back(item);
    } else {
      lists->currentServers.push_back(Trimmed(row[kSrvHost]));
      if (std::find(selected.begin(), selected.end(), item) == selected.end()) {
        lists->specRunServers.push_back(item);
      }
    }
    gServers.push_back(row);
  }
  gServerCount = static_cast<std::int16_t>(count);
  gServerFileLoaded = true;
  lists->lstServerEnabled = true;
  return kServerLoadOk;
}

void FillServerLists(const std::string& /*form*/, ServerLists* lists) {
  configUi().StatusText(kTextLoadingServers);
  lists->specRunServers.clear();
  for (int row = 1; row <= gServerCount && row < static_cast<int>(gServers.size()); ++row) {
    lists->lstServer.push_back(ServerListItem(gServers[row]));
  }
  lists->lstServerEnabled = true;
}

void WaitSeconds(std::int16_t n) {
  const std::int64_t start = zmo::ClockNowMillis();
  const std::int64_t until = start + static_cast<std::int64_t>(n) * 1000;
  while (zmo::ClockNowMillis() < until) {
    zmo::ClockSleepMillis(until - zmo::ClockNowMillis());
  }
}
