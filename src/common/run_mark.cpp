#include "common/run_mark.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/files.h"

namespace zmo {
namespace {

constexpr const char* kStateNames[] = {"collecting", "handing-over", "kept"};

// "name value" of one line: 0, or -1 when the line is not of that form.
int SplitLine(const std::string& line, std::string* name, std::string* value) {
  const size_t blank = line.find(' ');
  if (blank == std::string::npos || blank == 0) return -1;
  *name = line.substr(0, blank);
  *value = line.substr(blank + 1);
  return 0;
}

int ParseLength(const std::string& text, std::int64_t* out) {
  if (text.empty() || text.size() > 18 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return -1;
  }
  *out = std::strtoll(text.c_str(), nullptr, 10);
  return 0;
}

// Cuts path back to length; a file that is missing or not longer is left.
int CutBack(const std::string& path, std::int64_t length) {
  const std::int64_t size = FileSize64(path.c_str());
  if (size < 0 || size <= length) return 0;
  return truncate(path.c_str(), static_cast<off_t>(length)) == 0 ? 0 : -1;
}

}  // namespace

int writeRunMark(const std::string& path, const RunMark& mark) {
  std::string text = std::string("state ") + kStateNames[static_cast<int>(mark.state)] + "\n";
  for (std::int64_t length : mark.lengths) text += "length " + std::to_string(length) + "\n";
  if (!mark.interval.empty()) text += "interval " + mark.interval + "\n";
  return WriteFileAtomic(path, text, 0600) == 0 ? 0 : 1;
}

int readRunMark(const std::string& path, RunMark* mark, int* bad_line) {
  *bad_line = 0;
  *mark = RunMark{};
  std::string text;
  if (ReadWholeFile(path, &text) != 0) return errno == ENOENT ? kRunMarkNone : kRunMarkDamaged;
  int line_no = 0;
  bool has_state = false;
  size_t start = 0;
  while (start < text.size()) {
    ++line_no;
    const size_t nl = text.find('\n', start);
    if (nl == std::string::npos) {
      *bad_line = line_no;  // a line without its end was never written whole
      return kRunMarkDamaged;
    }
    const std::string line = text.substr(start, nl - start);
    start = nl + 1;
    std::string name, value;
    if (SplitLine(line, &name, &value) != 0) {
      *bad_line = line_no;
      return kRunMarkDamaged;
    }
    if (name == "state" && !has_state) {
      int found = -1;
      for (int i = 0; i < 3; ++i) {
        if (value == kStateNames[i]) found = i;
      }
      if (found < 0) {
        *bad_line = line_no;
        return kRunMarkDamaged;
      }
      mark->state = static_cast<RunMarkState>(found);
      has_state = true;
    } else if (name == "length" && has_state) {
      std::int64_t length = 0;
      if (ParseLength(value, &length) != 0) {
        *bad_line = line_no;
        return kRunMarkDamaged;
      }
      mark->lengths.push_back(length);
    } else if (name == "interval" && has_state && mark->interval.empty()) {
      mark->interval = value;
    } else {
      *bad_line = line_no;
      return kRunMarkDamaged;
    }
  }
  if (!has_state) {
    *bad_line = line_no + 1;
    return kRunMarkDamaged;
  }
  return 0;
}

RunRecovery recoverRun(const std::string& mark_path, const HandOverFile* files, size_t count,
                       std::string* interval, int* bad_line) {
  interval->clear();
  RunMark mark;
  const int rc = readRunMark(mark_path, &mark, bad_line);
  if (rc == kRunMarkNone) return RunRecovery::kNone;
  if (rc == 0 && mark.state == RunMarkState::kCollecting && mark.lengths.size() != count) {
    *bad_line = 2;
  } else if (rc == 0) {
    *interval = mark.interval;
  }
  if (rc != 0 || *bad_line != 0) {
    std::remove(mark_path.c_str());
    return RunRecovery::kDamaged;
  }
  RunRecovery result = RunRecovery::kKept;
  switch (mark.state) {
    case RunMarkState::kCollecting:
      for (size_t i = 0; i < count; ++i) {
        if (CutBack(files[i].collecting, mark.lengths[i]) != 0) return RunRecovery::kFailed;
      }
      result = RunRecovery::kCutBack;
      break;
    case RunMarkState::kHandingOver: {
      // When no file was renamed yet, the records are kept for the next
      // hand-over. Otherwise the renames had begun, so the names were free:
      // the files still there follow the others.
      bool begun = false;
      for (size_t i = 0; i < count; ++i) begun = begun || !FileExists(files[i].collecting.c_str());
      if (!begun) break;
      for (size_t i = 0; i < count; ++i) {
        if (FileExists(files[i].collecting.c_str()) &&
            RenameNoReplace(files[i].collecting.c_str(), files[i].hand_over.c_str()) != 0) {
          return RunRecovery::kFailed;
        }
      }
      result = RunRecovery::kHandedOver;
      break;
    }
    case RunMarkState::kKept:
      break;
  }
  if (std::remove(mark_path.c_str()) != 0 && errno != ENOENT) return RunRecovery::kFailed;
  return result;
}

}  // namespace zmo
