// LoadServerFile, FillServerLists and WaitSeconds.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "common/data_files.h"
#include "platform/clock.h"
#include "zmoconfig/catalog.h"
#include "zmoconfig/config_state.h"
#include "zmoconfig/config_ui.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmoconfig/text_ids.h"
#include "zmogdlib/config_key.h"

namespace zmo::config {

namespace {

const std::string kCurrentConfigForm = "frmCurrentConfig";
const std::string kServersForm = "frmServers";

std::string Trimmed(const std::string& text) { return std::string(zmo::trimBlanks(text)); }

void EmptyServerTable() {
  gServers.assign(1, ServerRow{});
  gServerCount = 0;
}

// Reads the whole file under a shared lock of its open file description, so
// that a writer holding the file locked is seen as "locked by another
// process", the same as a file the user may not read. Returns 0, or errno.
int ReadLocked(const std::string& path, std::string* data) {
  data->clear();
  // Non-blocking, so that a FIFO in the file's place cannot hang the window;
  // only a regular file is read (a device could be endless).
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno;
  struct stat st;
  int error = fstat(fd, &st) != 0 ? errno : 0;
  if (error == 0 && !S_ISREG(st.st_mode)) error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  struct flock lock = {};
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  if (error == 0 && fcntl(fd, F_OFD_SETLK, &lock) != 0) error = errno;
  char buffer[8192];
  while (error == 0) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno != EINTR) error = errno;
      continue;
    }
    data->append(buffer, static_cast<size_t>(got));
  }
  close(fd);  // releases the lock
  if (error != 0) data->clear();
  return error;
}

// A failed load leaves no table that a later save could write back.
int Failed(int result, const std::string& form, const std::string& path, const char* reason) {
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

namespace {

// Reads the server file into rows (row 0 empty) and fills *lists for form.
// Returns kServerLoadOk, or a failure already shown.
int ReadServerRows(const std::string& form, const std::vector<std::string>& selected,
                   ServerLists* lists, std::vector<ServerRow>* rows) {
  configUi().StatusText(kTextLoadingServers);
  const std::string path = ServerFilePath();
  std::string data;
  const int error = path.empty() ? ENOENT : ReadLocked(path, &data);
  if (error != 0 && error != ENOENT) {  // a missing file is an empty list
    const int result = error == EACCES || error == EPERM || error == EAGAIN ? kServerLoadLocked
                                                                            : kServerLoadFailed;
    return Failed(result, form, path, std::strerror(error));
  }
  const std::int64_t count =
      zmo::recordCount(static_cast<std::int64_t>(data.size()), zmo::kServerRecordLength);
  if (count > kMaxTableRows) return Failed(kServerLoadTooLarge, form, path, "too many servers");

  rows->assign(1, ServerRow{});
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
    rows->push_back(row);
  }
  lists->lstServerEnabled = true;
  return kServerLoadOk;
}

}  // namespace

int LoadServerFile(const std::string& form, const std::vector<std::string>& selected,
                   ServerLists* lists) {
  std::vector<ServerRow> rows;
  const int rc = ReadServerRows(form, selected, lists, &rows);
  if (rc != kServerLoadOk) {
    EmptyServerTable();
    gServerFileLoaded = false;
    return rc;
  }
  gServers = std::move(rows);
  gServerCount = static_cast<std::int16_t>(gServers.size() - 1);
  gServerFileLoaded = true;
  return kServerLoadOk;
}

int LoadServerFileCopy(const std::string& form, const std::vector<std::string>& selected,
                       ServerLists* lists, std::vector<ServerRow>* rows) {
  const int rc = ReadServerRows(form, selected, lists, rows);
  if (rc != kServerLoadOk) rows->assign(1, ServerRow{});
  return rc;
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

}  // namespace zmo::config
