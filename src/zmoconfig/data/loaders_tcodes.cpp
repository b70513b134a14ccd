// IsStandardTCode: the shipped standard list by binary search over its
// fixed-width records, then the customer's list line by line.
#include <algorithm>
#include <cstdio>
#include <string_view>

#include "common/data_files.h"
#include "platform/files.h"
#include "zmoconfig/bin_dir.h"
#include "zmoconfig/codepage.h"
#include "zmoconfig/loaders.h"

namespace zmo::config {

namespace {

std::string UpperTrimmed(std::string_view text) { return zmo::cp1252Upper(zmo::trimBlanks(text)); }

// The standard list is sorted by the case-insensitive text comparison of
// the user's collation, in which signs come before digits and digits before
// letters ("S_ALR_87012284" before "SA38"), unlike the byte order. Both
// sides are upper case here.
int CharacterClass(unsigned char c) {
  if (c >= '0' && c <= '9') return 1;
  // Letters of Windows-1252: A-Z and the accented ones, but not the
  // multiplication and division signs.
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c != 0xD7 && c != 0xF7)) return 2;
  return 0;
}

int CompareText(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x == y) continue;
    const int cx = CharacterClass(x);
    const int cy = CharacterClass(y);
    if (cx != cy) return cx < cy ? -1 : 1;
    return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

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
    const int order = CompareText(code, CodeAt(f, mid));
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
