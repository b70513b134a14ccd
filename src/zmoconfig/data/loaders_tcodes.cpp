// IsStandardTCode: the shipped standard list by binary search over its
// fixed-width records, then the customer's list line by line.
#include <cstdio>

#include "common/data_files.h"
#include "platform/files.h"
#include "zmoconfig/bin_dir.h"
#include "zmoconfig/codepage.h"
#include "zmoconfig/loaders.h"

namespace zmo::config {

namespace {

std::string UpperTrimmed(std::string_view text) { return zmo::cp1252Upper(zmo::trimBlanks(text)); }

// Record n (1-based) of the open standard list, its code trimmed and
// upper-cased.
std::string CodeAt(std::FILE* f, std::int64_t n) {
  char record[zmo::kTCodeRecordLength];
  const auto offset = static_cast<long>((n - 1) * static_cast<std::int64_t>(sizeof record));
  if (std::fseek(f, offset, SEEK_SET) != 0) return std::string();
  const size_t got = std::fread(record, 1, sizeof record, f);
  return UpperTrimmed(zmo::recordField(std::string_view(record, got), zmo::kTCodeCode));
}

bool InStandardList(std::FILE* f, std::int64_t count, const std::string& code) {
  std::int64_t low = 1;
  std::int64_t high = count;
  while (low <= high) {
    const std::int64_t mid = low + (high - low) / 2;
    const int order = code.compare(CodeAt(f, mid));
    if (order == 0) return true;
    if (order > 0) {
      low = mid + 1;
    } else {
      high = mid - 1;
    }
  }
  return false;
}

bool InCustomList(const std::string& code) {
  std::string path;
  std::string data;
  if (BinFilePath(zmo::kCustomTCodeFile, &path) != kBinDirOk) return false;
  if (zmo::ReadWholeFile(path, &data) != 0) return false;
  size_t start = 0;
  while (start < data.size()) {
    size_t end = data.find('\n', start);
    if (end == std::string::npos) end = data.size();
    std::string_view line(data.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (UpperTrimmed(line) == code) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

bool IsStandardTCode(const std::string& code) {
  std::string path;
  if (BinFilePath(zmo::kTCodeFile, &path) != kBinDirOk) return true;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return true;  // no standard list installed: every code counts
  const std::string searched = UpperTrimmed(code);
  const std::int64_t count =
      zmo::recordCount(zmo::FileSize64(path.c_str()), zmo::kTCodeRecordLength);
  const bool found = InStandardList(f, count, searched);
  std::fclose(f);
  return found || InCustomList(searched);
}

}  // namespace zmo::config
