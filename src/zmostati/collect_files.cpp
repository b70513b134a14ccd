// The files of a collection run: the server file read whole, and the
// statistic data and availability files opened for appending, so that the
// records of an earlier run whose hand-over failed stay in front.

#include <unistd.h>

#include <cstdio>

#include "common/run_mark.h"
#include "common/server_file.h"
#include "common/trace_log.h"
#include "platform/files.h"
#include "zmostati/collect.h"
#include "zmostati/state.h"

namespace zmo::stati {

namespace {

// Closes *file if it is open. 0, or 1 when buffered records could not be
// written out.
int Close(std::FILE** file) {
  if (*file == nullptr) return 0;
  const int rc = std::fclose(*file);
  *file = nullptr;
  return rc == 0 ? 0 : 1;
}

// Opens path for appending into *file (the writers put CR LF themselves);
// a failure traces failed_format with the path. 0 or 1.
int OpenAppend(const std::string& path, std::FILE** file, const char* failed_format) {
  Close(file);
  *file = std::fopen(path.c_str(), "ab");
  if (*file != nullptr) return 0;
  zmo::writeTrace(failed_format, path.c_str());
  return 1;
}

}  // namespace

int statiOpenInFile() {
  StatiCollectRun& run = statiState().collect;
  const char* path = statiState().settings.serverFile.c_str();
  switch (zmo::readServerFile(path, &run.inBuffer)) {
    case 0:
      return 0;
    case 1:
      zmo::writeTrace("open infile <%s> failed\n", path);
      return 1;
    case 2:
      zmo::writeTrace("statiOpenInFile(): statiGetFileSize() failed\n");
      return 1;
    default:
      zmo::writeTrace("statiOpenInFile(): read of <%s> failed\n", path);
      return 1;
  }
}

int statiOpenOutFile() {
  // One data file is open at a time: it is closed before it is opened again.
  static char buffer[kStatiOutBufferBytes];
  StatiCollectRun& run = statiState().collect;
  const std::string& path = statiState().settings.outFile;
  constexpr const char* kFailed = "open outfile <%s> failed\n";
  run.outStartSize = -1;
  if (OpenAppend(path, &run.outFile, kFailed) != 0) return 1;
  if (std::setvbuf(run.outFile, buffer, _IOFBF, sizeof buffer) != 0 ||
      std::fseek(run.outFile, 0, SEEK_END) != 0 ||
      (run.outStartSize = std::ftell(run.outFile)) < 0) {
    Close(&run.outFile);
    run.outStartSize = -1;
    zmo::writeTrace(kFailed, path.c_str());
    return 1;
  }
  return 0;
}

int statiOpenAvailFile() {
  return OpenAppend(statiState().settings.availFile, &statiState().collect.availFile,
                    "open availablity file <%s> failed\n");
}

int closeOutFile() { return Close(&statiState().collect.outFile); }

int closeAvailFile() { return Close(&statiState().collect.availFile); }

int statiFreeInBuffer() {
  std::string().swap(statiState().collect.inBuffer);
  return 0;
}

std::string statiRunMarkPath() { return statiState().settings.outFile + ".mark"; }

void statiCutBackOutFile() {
  StatiCollectRun& run = statiState().collect;
  closeOutFile();
  if (run.outStartSize < 0) return;
  const std::string& path = statiState().settings.outFile;
  if (zmo::FileSize64(path.c_str()) != run.outStartSize) {
    if (truncate(path.c_str(), static_cast<off_t>(run.outStartSize)) != 0) {
      // The mark stays: the next start cuts the file back.
      zmo::writeTrace("cut back of <%s> to <%lld> bytes failed\n", path.c_str(),
                      static_cast<long long>(run.outStartSize));
      return;
    }
    zmo::writeTrace("records of this run removed from <%s>\n", path.c_str());
  }
  std::remove(statiRunMarkPath().c_str());
}

}  // namespace zmo::stati
