// Reading the tools' input files and logons.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/batch.h"
#include "platform/files.h"
#include "tools.h"

namespace zmo::dbtools {

int ReadLines(const std::string& path, std::vector<std::string>* lines) {
  std::string data;
  if (zmo::ReadWholeFile(path, &data) != 0) return -1;
  *lines = zmo::SplitTextLines(data);
  return 0;
}

RecordReader::~RecordReader() {
  if (file_ != nullptr) std::fclose(file_);
  std::free(line_);
}

int RecordReader::Open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "rbe");
  return file_ == nullptr ? -1 : 0;
}

int RecordReader::Next(size_t n, std::vector<std::string_view>* records) {
  records->clear();
  text_.clear();
  ends_.clear();
  while (ends_.size() < n) {
    errno = 0;
    ssize_t len = getline(&line_, &line_size_, file_);
    if (len < 0) {
      if (std::ferror(file_)) return -1;
      break;
    }
    if (len > 0 && line_[len - 1] == '\n') --len;
    if (len > 0 && line_[len - 1] == '\r') --len;
    text_.append(line_, static_cast<size_t>(len));
    ends_.push_back(text_.size());
  }
  size_t start = 0;
  for (size_t end : ends_) {
    records->emplace_back(text_.data() + start, end - start);
    start = end;
  }
  return 0;
}

bool ReadableFile(const std::string& path) {
  return !path.empty() && zmo::FileExists(path.c_str()) && access(path.c_str(), R_OK) == 0;
}

bool ParseLogon(const std::string& text, Logon* out) {
  size_t slash = text.find('/');
  size_t at = text.rfind('@');
  if (slash == std::string::npos || at == std::string::npos || at < slash) return false;
  out->user = text.substr(0, slash);
  out->password = text.substr(slash + 1, at - slash - 1);
  out->source = text.substr(at + 1);
  return !out->user.empty() && !out->password.empty() && !out->source.empty();
}

}  // namespace zmo::dbtools
